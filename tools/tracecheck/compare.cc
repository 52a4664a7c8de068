#include "compare.h"

#include <climits>
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

constexpr const char* BAD_PC_LINE = "PC file holds a line that is not a hexadecimal PC";

// Class of each character of the PC text: its value as a hexadecimal digit
// (0 to 15), SPACE for white space, OTHER for anything else.
constexpr uint8_t SPACE = 16;
constexpr uint8_t OTHER = 17;
struct char_classes_t {
  uint8_t of[256];
  constexpr char_classes_t() : of() {
    for (int c = 0; c < 256; ++c)
      of[c] = c >= '0' && c <= '9'   ? c - '0'
              : c >= 'A' && c <= 'F' ? c - 'A' + 10
              : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c == '\n' || c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' ? SPACE
                                                                                    : OTHER;
  }
};
constexpr char_classes_t CHAR;

inline unsigned char_class(const char* p) { return CHAR.of[static_cast<unsigned char>(*p)]; }

// The get area of a stream buffer, reached through a class derived from the
// buffer interface (its members are only open to such classes). Scanning
// the characters in place saves a call through the buffer interface per
// character.
struct get_area_t : std::streambuf {
  static const char* next(std::streambuf* b) { return (b->*&get_area_t::gptr)(); }
  static const char* end(std::streambuf* b) { return (b->*&get_area_t::egptr)(); }
  static void consume(std::streambuf* b, size_t n) {
    for (; n > INT_MAX; n -= INT_MAX) (b->*&get_area_t::gbump)(INT_MAX);
    (b->*&get_area_t::gbump)(static_cast<int>(n));
  }
};

// A cursor over the characters a stream buffer holds in memory. What it has
// scanned is handed back to the buffer before a refill, before the stream
// itself reads, and when the cursor ends.
class buffer_cursor_t {
 public:
  explicit buffer_cursor_t(std::streambuf* buffer) : sb(buffer) { take(); }
  ~buffer_cursor_t() { give_back(); }
  buffer_cursor_t(const buffer_cursor_t&) = delete;
  buffer_cursor_t& operator=(const buffer_cursor_t&) = delete;

  void give_back() {
    if (sb) get_area_t::consume(sb, static_cast<size_t>(p - get_area_t::next(sb)));
  }
  // Starts again where the buffer stands (after the stream has read).
  void take() {
    p = sb ? get_area_t::next(sb) : nullptr;
    end = sb ? get_area_t::end(sb) : nullptr;
  }
  // Refills the characters in memory once all are scanned; false at the end
  // of the data. Once a buffer: kept out of the scanning loops.
  [[gnu::noinline]] bool refill() {
    give_back();
    const bool more = sb && sb->sgetc() != std::char_traits<char>::eof();
    take();
    return more;
  }

  const char* p;
  const char* end;

 private:
  std::streambuf* sb;
};

// The PC file read as a sequence of PCs. The reader scans the stream's buffer
// in place between two PCs and so owns the stream while it lives.
class pc_reader_t {
 public:
  pc_reader_t(std::istream& stream, const std::vector<SkipRangeArg>& ranges)
      : in(stream), at(stream.good() ? stream.rdbuf() : nullptr), skip(ranges) {}

  // The next PC outside every skip range; true when the file has ended.
  [[gnu::always_inline]] bool next(uint64_t& target) {
    for (;;) {
      uint64_t pc = 0;
      if (!read_plain_hex(pc) && read_by_stream(pc)) return true;
      target = pc;
      if (skip.empty() || !in_skip_ranges(skip, pc)) return false;
    }
  }

 private:
  // The decoder writes every PC as hexadecimal digits without leading zeros,
  // which are read here up to the first character that is no digit (left in
  // the stream), after the white space before them. Returns false, having
  // consumed only that white space, for any other text ("0", "0x...", a
  // sign) and at the end of the data: the stream itself then reads it.
  bool read_plain_hex(uint64_t& pc) {
    unsigned c = OTHER;
    for (;;) {
      while (at.p != at.end && (c = char_class(at.p)) == SPACE) ++at.p;
      if (at.p != at.end) break;
      if (!at.refill()) return false;
    }
    if (c == 0 || c > 15) return false;
    uint64_t value = 0;
    size_t digits = 0;
    for (;;) {
      const char* const from = at.p;
      const char* q = from;
      while (q != at.end && (c = char_class(q)) <= 15) {
        value = value << 4 | c;
        ++q;
      }
      digits += static_cast<size_t>(q - from);
      at.p = q;
      if (q != at.end || !at.refill()) break;
    }
    if (digits > 16) throw std::runtime_error(BAD_PC_LINE);  // beyond 64 bits
    pc = value;
    return true;
  }

  // The stream's own extraction, for the text read_plain_hex leaves: true at
  // the end of the file, where only white space is left. Anything else that
  // does not read as a PC (also a stream that never opened) is a broken PC
  // file: it must neither pass for the end of the trace nor be retried for
  // ever.
  [[gnu::noinline]] bool read_by_stream(uint64_t& pc) {
    at.give_back();
    in >> std::ws;
    const bool end = in.eof() && !in.bad();
    if (!end) in >> std::hex >> pc;
    at.take();
    if (end) return true;
    if (in.fail()) throw std::runtime_error(BAD_PC_LINE);
    return false;
  }

  std::istream& in;
  buffer_cursor_t at;
  const std::vector<SkipRangeArg>& skip;
};

}  // namespace

bool read_next_pc(std::istream& in, uint64_t& target, const std::vector<SkipRangeArg>& ranges) {
  return pc_reader_t(in, ranges).next(target);
}

int compare_traces(et_reader_t& reference, std::istream& pcs,
                   const std::vector<SkipRangeArg>& ranges, uint64_t exit_address) {
  enum class state_t { fetch, end_of_reference, read_target, exit_check, compare, pair_compare,
                       store_check, equal, different };
  const verdict_log log;
  pc_reader_t target_pcs(pcs, ranges);
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
        ended = target_pcs.next(target);
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
        if (target_pcs.next(target)) {
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
