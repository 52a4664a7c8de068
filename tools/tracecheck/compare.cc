#include "compare.h"

#include <sstream>
#include <stdexcept>
#include <string>

#include "et_records.h"
#include "fused_word.h"
#include "lynx_logger.h"

namespace {

// Trap causes that do not put a record aside: breakpoint and the three
// environment calls.
bool is_call_or_breakpoint(uint64_t cause) {
  return cause == 3 || cause == 8 || cause == 9 || cause == 11;
}

class verdict_log {
 public:
  verdict_log() : logger(lynx_static_logger_t::get()) {}

  bool enabled() const { return logger->patterns.default_level > lynx_logger_t::WARNING; }

  void line(const std::string& text) const {
    if (enabled()) logger->log(lynx_logger_t::INFO, "tracecheck", text.c_str());
  }

  // "label" followed by the PC in lower-case hexadecimal.
  void pc_line(const char* label, uint64_t pc) const {
    if (!enabled()) return;
    std::ostringstream s;
    s << label << std::hex << pc;
    line(s.str());
  }

 private:
  lynx_logger_t* logger;
};

int hex_digit(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

constexpr const char* BAD_PC_LINE = "PC file holds a line that is not a hexadecimal PC";

// Skips the white space between two PCs straight in the stream buffer (the
// stream's own skipping looks up the locale for every call); false at the
// end of the buffer's data, where the stream takes over.
bool skip_line_ends(std::istream& in) {
  std::streambuf* sb = in.rdbuf();
  int c = sb->sgetc();
  while (c == '\n' || c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') c = sb->snextc();
  return c != std::char_traits<char>::eof();
}

// The decoder writes every PC as hexadecimal digits without leading zeros,
// which are read here straight from the stream buffer, up to the first
// character that is no digit (left in the stream). Returns false, having
// consumed nothing, for any other text ("0", "0x...", a sign), which is
// then read by the stream itself with the same result.
bool read_plain_hex(std::istream& in, uint64_t& pc) {
  std::streambuf* sb = in.rdbuf();
  int d = hex_digit(sb->sgetc());
  if (d <= 0) return false;
  uint64_t value = 0;
  int digits = 0;
  do {
    if (++digits > 16) throw std::runtime_error(BAD_PC_LINE);  // beyond 64 bits
    value = value << 4 | static_cast<uint64_t>(d);
    d = hex_digit(sb->snextc());
  } while (d >= 0);
  pc = value;
  return true;
}

}  // namespace

bool read_next_pc(std::istream& in, uint64_t& target, const std::vector<SkipRangeArg>& ranges) {
  for (;;) {
    // The end is where only white space is left; a last PC without its line
    // end is still a PC. Anything else that does not read as a PC (also a
    // stream that never opened) is a broken PC file: it must neither pass
    // for the end of the trace nor be retried for ever.
    uint64_t pc = 0;
    if (!(in.good() && skip_line_ends(in) && read_plain_hex(in, pc))) {
      in >> std::ws;
      if (in.eof() && !in.bad()) return true;
      in >> std::hex >> pc;
      if (in.fail()) throw std::runtime_error(BAD_PC_LINE);
    }
    target = pc;
    if (!in_skip_ranges(ranges, pc)) return false;
  }
}

int compare_traces(et_reader_t& reference, std::istream& pcs,
                   const std::vector<SkipRangeArg>& ranges, uint64_t exit_address) {
  enum class state_t { fetch, end_of_reference, read_target, exit_check, compare, pair_compare,
                       store_check, equal, different };
  const verdict_log log;
  uint64_t target = 0;
  bool pending = false;
  bool ended = false;
  et_insn_t* current = nullptr;
  state_t state = state_t::fetch;

  for (;;) {
    switch (state) {
      case state_t::fetch: {
        current = nullptr;
        state = state_t::end_of_reference;
        while (et_object_t* obj = reference.get_next_object()) {
          if (obj->type != 1) continue;
          et_insn_t& insn = obj->insn;
          if (in_skip_ranges(ranges, insn.pc)) insn.committed = false;
          if (!insn.committed) continue;
          current = &insn;
          if (!pending)
            state = state_t::read_target;
          else if (insn.pc == exit_address) {
            ended = false;
            state = state_t::exit_check;
          } else {
            state = state_t::compare;
          }
          break;
        }
        break;
      }
      case state_t::end_of_reference:
        if (pending) {
          log.line("No more instruction in reference trace");
          state = state_t::different;
        } else {
          state = state_t::read_target;
        }
        break;
      case state_t::read_target:
        ended = read_next_pc(pcs, target, ranges);
        if (!current) {
          log.line(ended ? "No more instruction in both traces."
                         : "No more instruction in reference trace");
          state = ended ? state_t::equal : state_t::different;
        } else if (current->pc == exit_address) {
          state = state_t::exit_check;
        } else if (ended) {
          log.line("No more instruction in target trace");
          state = state_t::different;
        } else {
          state = state_t::compare;
        }
        break;
      case state_t::exit_check:
        if (target == exit_address || ended) {
          log.line("Traces are finished by reaching the lynx_gdb_exit.");
          state = state_t::equal;
        } else {
          state = state_t::compare;
        }
        break;
      case state_t::compare: {
        const bool fused = current->is_fused();
        if (current->intr || current->trig ||
            (current->trap && !is_call_or_breakpoint(current->cause) && !fused)) {
          pending = true;
          state = state_t::fetch;
          break;
        }
        pending = false;
        if (fused && !current->trap) {
          state = state_t::pair_compare;
        } else if (current->pc != target) {
          log.line("PC does not matched");
          log.pc_line("Reference pc: ", current->pc);
          log.pc_line("Target pc: ", target);
          state = state_t::different;
        } else {
          state = state_t::store_check;
        }
        break;
      }
      case state_t::pair_compare: {
        if (current->pc != target) {
          log.line("PC does not matched for fused insn (first insn in pair)");
          log.pc_line("Reference pc: ", current->pc);
          log.pc_line("Target pc: ", target);
          state = state_t::different;
          break;
        }
        if (read_next_pc(pcs, target, ranges)) {
          log.line("No more instructions in target trace (fused insn is last)");
          state = state_t::different;
          break;
        }
        const uint64_t delta = fused_word::first_insn_length(current->insn);
        if (current->pc + delta != target) {
          log.line("PC does not matched for fused insn (second insn in pair)");
          if (log.enabled()) {
            std::ostringstream s;
            s << "Reference pc: " << std::hex << current->pc << ", delta: " << delta;
            log.line(s.str());
          }
          log.pc_line("Target pc: ", target);
          state = state_t::different;
          break;
        }
        state = state_t::store_check;
        break;
      }
      case state_t::store_check:
        if ((current->insn & 0x707F) == 0x2023 && current->pa_valid &&
            current->pa == MSI_ADDRESS) {
          log.line("Traces are finished by storing to MSI address.");
          state = state_t::equal;
        } else {
          state = state_t::fetch;
        }
        break;
      case state_t::equal:
        log.line("Traces are equal.");
        return 0;
      case state_t::different:
        log.line("Traces are different.");
        return -1;
    }
  }
}
