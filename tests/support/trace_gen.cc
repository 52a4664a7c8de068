#include "trace_gen.h"

#include <utility>

namespace trace_gen {
namespace {

constexpr uint8_t TCODE_DIRECT = 3;
constexpr uint8_t TCODE_INDIRECT = 4;
constexpr uint8_t TCODE_SYNC = 9;
constexpr uint8_t TCODE_RESOURCE_FULL = 27;
constexpr uint8_t TCODE_HISTORY = 28;
constexpr uint8_t TCODE_REPEAT = 30;
constexpr uint8_t TCODE_CORRELATION = 33;
constexpr unsigned VAR = 0;

uint32_t bit(uint32_t w, int n) { return (w >> n) & 1; }
uint32_t bits(uint32_t w, int hi, int lo) { return (w >> lo) & ((1u << (hi - lo + 1)) - 1); }
int64_t sext(uint64_t v, int width) {
  const uint64_t sign = uint64_t(1) << (width - 1);
  return static_cast<int64_t>((v ^ sign) - sign);
}

}  // namespace

insn_info classify(uint32_t word, unsigned xlen) {
  insn_info info;
  if ((word & 3) != 3) {
    info.length = 2;
    const uint32_t quadrant = word & 3;
    const uint32_t funct3 = bits(word, 15, 13);
    if (quadrant == 1 && (funct3 == 5 || (funct3 == 1 && xlen == 32))) {
      info.cls = insn_class::c_jump;
      const uint32_t imm = bit(word, 12) << 11 | bit(word, 11) << 4 | bits(word, 10, 9) << 8 |
                           bit(word, 8) << 10 | bit(word, 7) << 6 | bit(word, 6) << 7 |
                           bits(word, 5, 3) << 1 | bit(word, 2) << 5;
      info.offset = sext(imm, 12);
    } else if (quadrant == 1 && (funct3 == 6 || funct3 == 7)) {
      info.cls = insn_class::c_branch;
      const uint32_t imm = bit(word, 12) << 8 | bits(word, 11, 10) << 3 | bits(word, 6, 5) << 6 |
                           bits(word, 4, 3) << 1 | bit(word, 2) << 5;
      info.offset = sext(imm, 9);
    }
    return info;
  }
  if (bits(word, 4, 2) == 7) {
    info.length = (word & 0x3f) == 0x3f ? 8 : 6;
    return info;
  }
  const uint32_t opcode = word & 0x7f;
  const uint32_t funct3 = bits(word, 14, 12);
  if (opcode == 0x63 && funct3 != 2 && funct3 != 3) {
    info.cls = insn_class::branch;
    const uint32_t imm = bit(word, 31) << 12 | bit(word, 7) << 11 | bits(word, 30, 25) << 5 |
                         bits(word, 11, 8) << 1;
    info.offset = sext(imm, 13);
  } else if (opcode == 0x6f) {
    info.cls = insn_class::jump;
    const uint32_t imm = bit(word, 31) << 20 | bits(word, 19, 12) << 12 | bit(word, 20) << 11 |
                         bits(word, 30, 21) << 1;
    info.offset = sext(imm, 21);
  }
  return info;
}

encoder::encoder(const encoder_options& options, uint32_t source, sink_t message_sink)
    : opt(options), src(source), sink(std::move(message_sink)) {}

void encoder::emit(uint8_t tcode, std::vector<nexus_field> fields) {
  ++message_count;
  sink(nexus_message{tcode, src, std::move(fields)});
}

void encoder::flush_repeat() {
  if (repeat_count > 0) emit(TCODE_REPEAT, {{VAR, repeat_count}});
  repeat_count = 0;
  last_was_direct = false;
}

void encoder::start(uint64_t pc) {
  flush_repeat();
  // SYNC code 5: trace enable; no instructions walked, the PC becomes F-ADDR.
  emit(TCODE_SYNC, {{4, 5}, {VAR, 0}, {VAR, pc >> 1}});
  faddr = pc;
  icnt = 0;
  hist = 1;
  hist_bits = 0;
}

void encoder::indirect(uint64_t target) {
  flush_repeat();
  const uint64_t uaddr = (target ^ faddr) >> 1;
  if (opt.history)
    emit(TCODE_HISTORY, {{2, 0}, {VAR, icnt}, {VAR, uaddr}, {VAR, hist}});
  else
    emit(TCODE_INDIRECT, {{2, 0}, {VAR, icnt}, {VAR, uaddr}});
  faddr = target;
  icnt = 0;
  hist = 1;
  hist_bits = 0;
}

void encoder::step(uint64_t pc, uint32_t word, uint64_t next_pc) {
  const insn_info info = classify(word, opt.xlen);
  icnt += info.length / 2;
  const uint64_t sequential = pc + info.length;
  const uint64_t target = pc + static_cast<uint64_t>(info.offset);

  switch (info.cls) {
    case insn_class::branch:
    case insn_class::c_branch: {
      const bool taken = next_pc != sequential;
      if (taken && next_pc != target) break;  // not explained by the branch
      if (opt.history) {
        hist = hist << 1 | (taken ? 1 : 0);
        if (++hist_bits == opt.max_history_bits) {
          emit(TCODE_RESOURCE_FULL, {{4, 1}, {VAR, hist}});
          hist = 1;
          hist_bits = 0;
          icnt = 0;
        }
      } else if (taken) {
        if (opt.repeat && last_was_direct && last_direct_icnt == icnt) {
          ++repeat_count;
        } else {
          flush_repeat();
          emit(TCODE_DIRECT, {{VAR, icnt}});
          last_was_direct = true;
          last_direct_icnt = icnt;
        }
        icnt = 0;
      }
      return;
    }
    case insn_class::jump:
    case insn_class::c_jump:
      if (next_pc == target) return;
      break;
    case insn_class::other:
      if (next_pc == sequential) return;
      break;
  }
  indirect(next_pc);
}

void encoder::finish(uint64_t pc, uint32_t word) {
  (void)pc;
  icnt += classify(word, opt.xlen).length / 2;
  flush_repeat();
  if (icnt == 0) return;
  // A Correlation message ends the trace: it walks the last instructions and
  // leaves the PC where they end.
  if (opt.history)
    emit(TCODE_CORRELATION, {{4, 0}, {2, 1}, {VAR, icnt}, {VAR, hist}});
  else
    emit(TCODE_CORRELATION, {{4, 0}, {2, 0}, {VAR, icnt}});
  icnt = 0;
  hist = 1;
  hist_bits = 0;
}

}  // namespace trace_gen
