#include "trace_gen.h"

#include <utility>

#include "et_writer.h"

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

operands decode_operands(uint32_t word) {
  operands op;
  auto field = [&](int hi, int lo) { return static_cast<int>((word >> lo) & ((1u << (hi - lo + 1)) - 1)); };
  if ((word & 3) != 3) {
    const int quadrant = word & 3;
    const int funct3 = field(15, 13);
    if (quadrant == 0) {  // c.addi4spn, compressed loads and stores: rd'/rs2' and rs1'
      const int rs1 = 8 + field(9, 7);
      const int r = 8 + field(4, 2);
      const bool fp = funct3 == 1 || funct3 == 5;
      if (funct3 == 0) {
        op.rs[0] = 2;
        op.rd = r;
      } else if (funct3 < 4) {
        op.rs[0] = rs1;
        op.rd = r;
        op.fp_rd = fp;
        op.load = true;
      } else if (funct3 > 4) {
        op.rs[0] = rs1;
        op.rs[1] = r;
        op.fp_rs[1] = fp;
        op.store = true;
      }
    } else if (quadrant == 1) {  // immediate forms on rd/rs1, branches, jumps
      const int r = field(11, 7);
      if (funct3 == 4 && field(11, 10) == 3) {
        op.rs[0] = op.rd = 8 + field(9, 7);
        op.rs[1] = 8 + field(4, 2);
      } else if (funct3 == 4) {
        op.rs[0] = op.rd = 8 + field(9, 7);
      } else if (funct3 >= 6) {
        op.rs[0] = 8 + field(9, 7);
      } else if (funct3 != 5) {
        op.rd = r;
        if (funct3 != 2 && funct3 != 3) op.rs[0] = r;
      }
    } else if (quadrant == 2) {  // stack loads and stores, mv/add/jr/jalr
      const int r = field(11, 7);
      const int r2 = field(6, 2);
      const bool fp = funct3 == 1 || funct3 == 5;
      if (funct3 == 0) {
        op.rs[0] = op.rd = r;
      } else if (funct3 < 4) {
        op.rs[0] = 2;
        op.rd = r;
        op.fp_rd = fp;
        op.load = true;
      } else if (funct3 == 4) {
        if (r2 != 0) {
          op.rs[0] = r2;
          op.rd = r;
          if (field(12, 12)) op.rs[1] = r;
        } else {
          op.rs[0] = r;
          if (field(12, 12)) op.rd = 1;
        }
      } else {
        op.rs[0] = 2;
        op.rs[1] = r2;
        op.fp_rs[1] = fp;
        op.store = true;
      }
    }
    return op;
  }
  const int opcode = word & 0x7f;
  const int rd = field(11, 7);
  const int rs1 = field(19, 15);
  const int rs2 = field(24, 20);
  switch (opcode) {
    case 0x37: case 0x17: case 0x6f:  // lui, auipc, jal
      op.rd = rd;
      break;
    case 0x13: case 0x1b: case 0x67: case 0x73:  // immediate forms, jalr, system
      op.rs[0] = rs1;
      op.rd = rd;
      break;
    case 0x03: case 0x07:  // loads
      op.rs[0] = rs1;
      op.rd = rd;
      op.fp_rd = opcode == 0x07;
      op.load = true;
      break;
    case 0x23: case 0x27:  // stores
      op.rs[0] = rs1;
      op.rs[1] = rs2;
      op.fp_rs[1] = opcode == 0x27;
      op.store = true;
      break;
    case 0x2f:  // atomics
      op.rs[0] = rs1;
      op.rs[1] = rs2;
      op.rd = rd;
      op.load = op.store = true;
      break;
    case 0x33: case 0x3b:  // register-register
      op.rs[0] = rs1;
      op.rs[1] = rs2;
      op.rd = rd;
      break;
    case 0x63:  // branches
      op.rs[0] = rs1;
      op.rs[1] = rs2;
      break;
    case 0x43: case 0x47: case 0x4b: case 0x4f:  // fused multiply-add
      op.rs[2] = field(31, 27);
      op.fp_rs[2] = true;
      [[fallthrough]];
    case 0x53:  // other floating-point operations
      op.rs[0] = rs1;
      op.rs[1] = rs2;
      op.fp_rs[0] = op.fp_rs[1] = true;
      op.rd = rd;
      op.fp_rd = true;
      break;
    default:
      break;
  }
  return op;
}

void write_details(et_writer_t& out, unsigned short piid, uint64_t pc, uint32_t word, uint64_t count) {
  const operands op = decode_operands(word);
  const uint64_t seed = (pc ^ (count << 17)) * 0x9e3779b97f4a7c15ull;
  static const unsigned char int_slot[3] = {1, 2, 3};
  static const unsigned char fp_slot[3] = {5, 6, 7};
  for (int i = 0; i < 3; ++i) {
    if (op.rs[i] < 0) continue;
    const unsigned char reg = static_cast<unsigned char>(op.rs[i]);
    const uint64_t data = seed >> i;
    if (op.fp_rs[i]) {
      out.record_swt_frfra(piid, fp_slot[i], reg);
      out.record_swt_frfrd(piid, fp_slot[i], data);
    } else {
      out.record_swt_irfra(piid, int_slot[i], reg);
      out.record_swt_irfrd(piid, int_slot[i], data);
    }
  }
  if (op.load || op.store) {
    const uint64_t va = 0x3ffff000000ull + ((seed >> 20) & 0xffff8);
    out.record_swt_va(piid, va);
    out.record_swt_pa(piid, va & 0xffffffffffull);
    if (op.store) out.record_swt_std(piid, seed ^ va);
  }
  if (op.rd > 0 || (op.rd == 0 && op.fp_rd)) {
    const unsigned char reg = static_cast<unsigned char>(op.rd);
    if (op.fp_rd) {
      out.record_swt_frfwa(piid, reg);
      out.record_swt_frfwd(piid, ~seed);
    } else {
      out.record_swt_irfwa(piid, reg);
      out.record_swt_irfwd(piid, ~seed);
    }
  }
}

bool detailed(uint64_t count, unsigned percent) {
  if (percent == 0) return false;
  return ((count * 0x9e3779b97f4a7c15ull) >> 32) % 100 < percent;
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
