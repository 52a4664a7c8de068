// The decode walk: the message loop over a Nexus trace and, for every
// message of a selected source, the walk from the source's current PC over
// the instructions the message covers, writing one line per executed
// instruction.
//
// The walk runs once per executed instruction on traces of billions, so its
// inner loop formats into a local buffer and writes straight to the stream
// buffer: no allocation, no stream formatting state, no map search (the
// program image caches its last chunk), and the disassembler is consulted
// only for words whose opcode can be a branch or a direct jump.

#include <cstring>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "disasm.h"
#include "et_records.h"
#include "fused_word.h"
#include "insn_ids.h"
#include "mh_swt_reader/mh_swt_reader.h"
#include "nexus_decoder.h"
#include "soc_accessor.h"

namespace {

enum : unsigned {
  TCODE_OWNERSHIP = 2,
  TCODE_DIRECT = 3,
  TCODE_INDIRECT = 4,
  TCODE_ERROR = 8,
  TCODE_SYNC = 9,
  TCODE_DIRECT_SYNC = 11,
  TCODE_INDIRECT_SYNC = 12,
  TCODE_RESOURCE_FULL = 27,
  TCODE_HISTORY = 28,
  TCODE_HISTORY_SYNC = 29,
  TCODE_REPEAT = 30,
  TCODE_CORRELATION = 33,
};

constexpr int idle_byte = 0xFF;

// The two hexadecimal digits of every byte value, in the order they are
// written (the first digit in the low byte of the pair).
struct hex_pairs_t {
  uint16_t pair[256];
};
constexpr hex_pairs_t make_hex_pairs(const char* digits) {
  hex_pairs_t t{};
  for (unsigned i = 0; i < 256; ++i)
    t.pair[i] = static_cast<uint16_t>(static_cast<uint8_t>(digits[i >> 4]) |
                                      static_cast<uint8_t>(digits[i & 15]) << 8);
  return t;
}
constexpr hex_pairs_t upper_pairs = make_hex_pairs("0123456789ABCDEF");
constexpr hex_pairs_t lower_pairs = make_hex_pairs("0123456789abcdef");

// Letter case of hexadecimal digits.
using hex_case_t = const hex_pairs_t*;
constexpr hex_case_t upper_case = &upper_pairs;
constexpr hex_case_t lower_case = &lower_pairs;

// Stores the last n (1..8) of the eight hexadecimal digits of v at p; the
// 8 - n bytes after them are scratch. The digits are put together four
// pairs at a time in one word: one digit after the other costs a chain of
// dependent steps per digit, and this runs for every executed instruction.
inline void store_hex8(char* p, uint32_t v, int n, hex_case_t letter_case) {
  const uint16_t* pairs = letter_case->pair;
  // In memory order: the most significant byte's digits come first.
  uint64_t digits = uint64_t(pairs[v >> 24]) | uint64_t(pairs[(v >> 16) & 255]) << 16 |
                    uint64_t(pairs[(v >> 8) & 255]) << 32 | uint64_t(pairs[v & 255]) << 48;
  digits >>= 8 * (8 - n);  // drop the leading zeros
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  digits = __builtin_bswap64(digits);
#endif
  std::memcpy(p, &digits, sizeof digits);
}

// Writes v in hexadecimal without leading zeros; returns the end. The 16
// bytes from p must be writable: those after the end are scratch.
inline char* put_hex(char* p, uint64_t v, hex_case_t letter_case) {
  const int n = v == 0 ? 1 : (67 - __builtin_clzll(v)) / 4;
  if (n <= 8) {
    store_hex8(p, static_cast<uint32_t>(v), n, letter_case);
  } else {
    store_hex8(p, static_cast<uint32_t>(v >> 32), n - 8, letter_case);
    store_hex8(p + n - 8, static_cast<uint32_t>(v), 8, letter_case);
  }
  return p + n;
}

std::string lower_hex(uint64_t v) {
  char buf[16];
  return std::string(buf, put_hex(buf, v, lower_case));
}

// Bytes of an instruction from the low bits of its word (RISC-V length
// encoding); a fused-pair word carries the length code of the whole pair.
inline unsigned insn_length(uint64_t w) {
  if ((w & 3) != 3) return 2;
  if ((w & 0x1C) != 0x1C) return 4;
  return (w & 0x3F) == 0x3F ? 8 : 6;
}

inline int64_t sext(uint64_t v, int width) {
  const uint64_t sign = uint64_t(1) << (width - 1);
  return static_cast<int64_t>((v ^ sign) - sign);
}
inline uint64_t bit(uint64_t w, int n) { return (w >> n) & 1; }
inline uint64_t bits(uint64_t w, int hi, int lo) { return (w >> lo) & ((uint64_t(1) << (hi - lo + 1)) - 1); }

inline int64_t b_imm(uint64_t w) {
  return sext(bit(w, 31) << 12 | bit(w, 7) << 11 | bits(w, 30, 25) << 5 | bits(w, 11, 8) << 1, 13);
}
inline int64_t cb_imm(uint64_t w) {
  return sext(bit(w, 12) << 8 | bits(w, 6, 5) << 6 | bit(w, 2) << 5 | bits(w, 11, 10) << 3 |
                  bits(w, 4, 3) << 1,
              9);
}
inline int64_t cj_imm(uint64_t w) {
  return sext(bit(w, 12) << 11 | bit(w, 8) << 10 | bits(w, 10, 9) << 8 | bit(w, 6) << 7 |
                  bit(w, 7) << 6 | bit(w, 2) << 5 | bit(w, 11) << 4 | bits(w, 5, 3) << 1,
              12);
}
inline int64_t j_imm(uint64_t w) {
  return sext(bit(w, 31) << 20 | bits(w, 19, 12) << 12 | bit(w, 20) << 11 | bits(w, 30, 21) << 1, 21);
}

inline bool is_b_type(uint32_t id) {
  return id == ID_BEQ || id == ID_BGE || id == ID_BGEU || id == ID_BLT || id == ID_BLTU || id == ID_BNE;
}
inline bool is_cb_type(uint32_t id) { return id == ID_C_BEQZ || id == ID_C_BNEZ; }
inline bool is_cj_type(uint32_t id) { return id == ID_C_J || id == ID_C_JAL; }
inline bool is_fused_branch(uint32_t id) {
  return id == ID_FUSE_AND_BEQ || id == ID_FUSE_AND_C_BEQ || id == ID_FUSE_ANDI_BEQ ||
         id == ID_FUSE_ANDI_C_BEQ || id == ID_FUSE_C_AND_BEQ || id == ID_FUSE_C_AND_C_BEQ ||
         id == ID_FUSE_C_ANDI_BEQ || id == ID_FUSE_C_ANDI_C_BEQ;
}

// Only words of these encodings can carry the id of a conditional branch or
// a direct jump (B-type and J-type opcodes; compressed quadrant 1 with
// funct3 c.jal, c.j, c.beqz, c.bnez). Every other word moves the PC by its
// length, so the walk looks up only these.
inline bool may_branch(uint64_t w) {
  if ((w & 3) == 3) {
    const uint64_t op = w & 0x7F;
    return op == 0x63 || op == 0x6F;
  }
  if ((w & 3) != 1) return false;
  const uint64_t f3 = bits(w, 15, 13);
  return f3 == 1 || f3 >= 5;
}

// Id of the pattern that decodes w; no pattern reads as -1.
inline uint32_t insn_id(const disassembler_t& d, uint64_t w) {
  const disasm_insn_t* p = d.get_disasm(w);
  return p ? p->insn_id : ~uint32_t(0);
}

// Slot of a word in a direct-mapped table of 2^bits entries: the top bits
// of a multiplicative hash, which mixes every bit of the word into them.
inline size_t cache_slot(uint64_t w, unsigned bits) { return static_cast<size_t>((w * 0x9E3779B97F4A7C15ull) >> (64 - bits)); }

// The ids of recently looked-up words. A program's branches are few and
// executed over and over, while the lookup scans a chain of patterns each
// time; a small direct-mapped table answers most of them at once.
class insn_id_cache_t {
 public:
  explicit insn_id_cache_t(const disassembler_t& d) : disasm_(d) {
    // Every slot starts as the true entry of word 0, so no slot needs a
    // separate "empty" mark.
    const entry_t zero{0, insn_id(d, 0)};
    for (entry_t& e : entries_) e = zero;
  }
  uint32_t id(uint64_t w) {
    entry_t& e = entries_[cache_slot(w, index_bits)];
    if (e.word != w) e = entry_t{w, insn_id(disasm_, w)};
    return e.id;
  }

 private:
  static constexpr unsigned index_bits = 8;
  struct entry_t {
    uint64_t word;
    uint32_t id;
  };
  const disassembler_t& disasm_;
  entry_t entries_[size_t(1) << index_bits];
};

// The disassembly columns of recently executed words. With the column on,
// every executed instruction would be disassembled anew (text built piece
// by piece, one virtual call per operand); a program executes few distinct
// words, over and over.
class disasm_column_cache_t {
 public:
  // Takes room only when the column is written.
  explicit disasm_column_cache_t(bool used) : entries_(used ? size_t(1) << index_bits : 0) {}
  const std::string& column(nexus_decoder_t& decoder, uint64_t w, const disassembler_t& disasm) {
    entry_t& e = entries_[cache_slot(w, index_bits)];
    if (!e.filled || e.word != w) {
      e.text = decoder.get_pc_disasm(w, disasm);
      e.word = w;
      e.filled = true;
    }
    return e.text;
  }

 private:
  static constexpr unsigned index_bits = 8;
  struct entry_t {
    uint64_t word = 0;
    bool filled = false;
    std::string text;
  };
  std::vector<entry_t> entries_;
};

// The caller's stream, fed from a local buffer in large blocks: the walk
// formats its lines straight into the buffer, and the stream sees one call
// per block instead of several per line. Everything is handed on and the
// stream flushed when decoding ends, also when it ends by a failure, so the
// PC file holds every line up to the failure; flushing each line as it is
// written would cost one system call per executed instruction (about ten
// times the whole decode). A write that fails ends decoding instead of
// being lost silently.
class line_sink_t {
 public:
  // Bytes the walk may format in place after one call of room(): more than
  // its longest piece (two PCs of a fused pair, or the count columns).
  static constexpr size_t line_room = 128;

  explicit line_sink_t(std::ostream& out) : out_(out), sb_(out.rdbuf()) {
    if (!sb_ || !out) throw std::runtime_error("Failed to write the decoded trace: the output stream is not usable");
    buf_.reset(new char[capacity]);
    pos_ = buf_.get();
  }
  // Where the next bytes go; at least line_room bytes are free there. The
  // bytes count once they are committed.
  char* room() {
    if (static_cast<size_t>(buf_.get() + capacity - pos_) < line_room) drain();
    return pos_;
  }
  void commit(char* end) { pos_ = end; }

  void write(const char* p, size_t n) {
    if (n > static_cast<size_t>(buf_.get() + capacity - pos_)) {
      drain();
      if (n > capacity) {
        hand_on(p, n);
        return;
      }
    }
    std::memcpy(pos_, p, n);
    pos_ += n;
  }
  void write(const std::string& s) { write(s.data(), s.size()); }
  void put(char c) { *room() = c; ++pos_; }
  void flush() {
    drain();
    if (sb_->pubsync() == -1) fail();
  }
  // On the way out of a failure: what is written so far still goes out, and
  // the failure's own report stays the one that counts.
  void flush_quietly() noexcept {
    const size_t n = static_cast<size_t>(pos_ - buf_.get());
    pos_ = buf_.get();
    if (n != 0 && static_cast<size_t>(sb_->sputn(buf_.get(), static_cast<std::streamsize>(n))) != n)
      mark_bad();
    sb_->pubsync();
  }

 private:
  // The stream's own buffering is bypassed for blocks this large, and each
  // costs one system call. Larger blocks save some kernel time (a file
  // write per 64 KiB takes about half that of one per 16 KiB), but the
  // buffer adds to the peak memory, which is to stay as it was.
  static constexpr size_t capacity = 16 * 1024;

  void drain() {
    const size_t n = static_cast<size_t>(pos_ - buf_.get());
    pos_ = buf_.get();
    if (n != 0) hand_on(buf_.get(), n);
  }
  void hand_on(const char* p, size_t n) {
    if (static_cast<size_t>(sb_->sputn(p, static_cast<std::streamsize>(n))) != n) fail();
  }
  [[noreturn]] void fail() {
    out_.setstate(std::ios::badbit);
    throw std::runtime_error("Failed to write the decoded trace");
  }
  // A lost write while another failure is on its way out: the stream shows
  // it, but must not replace that failure's report (setstate throws when
  // the caller asked the stream for exceptions).
  void mark_bad() noexcept {
    try {
      out_.setstate(std::ios::badbit);
    } catch (...) {
    }
  }
  std::ostream& out_;
  std::streambuf* sb_;
  std::unique_ptr<char[]> buf_;
  char* pos_;
};

// One byte of the message dump: "0x", the byte in hexadecimal without
// leading zeros and a blank.
void write_dump_byte(line_sink_t& sink, unsigned b, hex_case_t letter_case) {
  char* p = sink.room();
  *p++ = '0';
  *p++ = 'x';
  p = put_hex(p, b, letter_case);
  *p++ = ' ';
  sink.commit(p);
}

}  // namespace

std::string nexus_decoder_t::get_pc_disasm(unsigned long insn, const disassembler_t& disasm) {
  char buf[32];
  char* p = buf;
  *p++ = '\t';
  *p++ = '|';
  char digits[16];
  const char* end = put_hex(digits, insn, lower_case);
  for (long pad = 8 - (end - digits); pad > 0; --pad) *p++ = '0';
  std::memcpy(p, digits, static_cast<size_t>(end - digits));
  p += end - digits;
  *p++ = '|';
  *p++ = '\t';
  *p++ = ' ';
  std::string s(buf, p);
  // The instruction text, or "unknown" for a word that no pattern decodes.
  s += disasm.disassemble(insn);
  return s;
}

bool nexus_decoder_t::get_next_hwt_insn(const std::unique_ptr<mh_swt_reader_t>& hwt_reader,
                                        unsigned long& insn, bool& fused, bool& trapped) {
  for (;;) {
    const et_object_t* obj = hwt_reader->get_next_object();
    if (!obj) return false;
    if (obj->type != ET_KIND_INSN) continue;
    const et_insn_t& rec = obj->insn;
    insn = rec.insn;
    // Breakpoints and environment calls end in a trap by design; they are
    // executed instructions like any other.
    trapped = rec.trap && rec.cause != 3 && rec.cause != 8 && rec.cause != 9 && rec.cause != 11;
    if (!rec.committed) continue;
    if (rec.is_fused()) {
      fused = true;
      return true;
    }
    if (rec.intr || rec.trig || trapped) continue;
    fused = false;
    trapped = false;
    return true;
  }
}

void nexus_decoder_t::decode(unsigned long src_mask, std::ostream& out, const std::string& trace_path,
                             const std::vector<std::string>& elf_files,
                             const std::unique_ptr<mh_swt_reader_t>& hwt_reader, bool stop_on_error) {
  const bool use_elf = !elf_files.empty();
  if (!use_elf && !hwt_reader)
    throw std::runtime_error(
        "No source of instruction words: give at least one ELF file or a reference trace");

  trace_stream.open(trace_path, std::ios::in | std::ios::binary);
  if (!trace_stream) throw std::runtime_error("Failed to read Nexus trace file: " + trace_path);
  std::streambuf* in = trace_stream.rdbuf();

  soc_accessor_t image("sacc");
  for (const std::string& path : elf_files) image.parse_elf(path);

  const disassembler_t disasm(static_cast<int>(xlen));
  insn_id_cache_t ids(disasm);
  const size_t sources = tstamp.size();
  std::vector<uint64_t> cur_pc(sources, 0);
  std::vector<uint8_t> last_tcode(sources, 0);
  uint64_t msg_count = 0;
  uint64_t insn_count = 0;
  uint64_t byte_count = 0;

  if (metrics_log) {
    const std::streamoff size = in->pubseekoff(0, std::ios::end, std::ios::in);
    in->pubseekpos(0, std::ios::in);
    if (size > 0) byte_count = static_cast<uint64_t>(size);
  }

  line_sink_t sink(out);
  // The message line, made only when it is printed; its room is reused.
  std::string msg_line;
  // Dump bytes take the case of the output: as the caller set it until the
  // first instruction line, upper case from then on.
  hex_case_t dump_case = (out.flags() & std::ios::uppercase) ? upper_case : lower_case;
  const bool with_disasm = disasm_log;
  const bool with_columns = disasm_log && nexus_log;
  disasm_column_cache_t columns(with_disasm);

  try {
    for (;;) {
      if (nexus_log) {
        // The message's bytes up to the one whose end bits are 3, read
        // without taking them. Usually the buffer already holds them all;
        // a message that runs past its end is read and the position
        // moved back.
        if (in->sgetc() == std::char_traits<char>::eof()) break;
        const char* const ahead = trace_stream.rdbuf()->ahead_begin();
        const char* const ahead_end = trace_stream.rdbuf()->ahead_end();
        const char* last = ahead;
        while (last != ahead_end && (*last & 3) != 3) ++last;
        if (last != ahead_end) {
          for (const char* b = ahead; b <= last; ++b) write_dump_byte(sink, static_cast<unsigned char>(*b), dump_case);
        } else {
          const auto start = in->pubseekoff(0, std::ios::cur, std::ios::in);
          bool cut = false;
          for (;;) {
            const int b = in->sbumpc();
            if (b == std::char_traits<char>::eof()) {
              cut = true;
              break;
            }
            write_dump_byte(sink, static_cast<unsigned>(b), dump_case);
            if ((b & 3) == 3) break;
          }
          if (cut) break;
          in->pubseekpos(start, std::ios::in);
        }
      }

      const int first = in->sbumpc();
      if (first == std::char_traits<char>::eof()) break;
      if (first == idle_byte) continue;

      const unsigned tcode = static_cast<unsigned>(first) >> 2;
      msg_text.clear();
      msg_text.add("\n");
      ++msg_count;
      bcnt = 1;

      switch (tcode) {
        case TCODE_OWNERSHIP: parse_ownership(); break;
        case TCODE_DIRECT: parse_dir_brch(false); break;
        case TCODE_INDIRECT: parse_indir_brch(false); break;
        case TCODE_ERROR:
          parse_error();
          if (stop_on_error) throw std::runtime_error("Detected Nexus Error message");
          break;
        case TCODE_SYNC: parse_sync(); break;
        case TCODE_DIRECT_SYNC: parse_dir_brch(true); break;
        case TCODE_INDIRECT_SYNC: parse_indir_brch(true); break;
        case TCODE_RESOURCE_FULL: parse_resource_full(); break;
        case TCODE_HISTORY: parse_history(false); break;
        case TCODE_HISTORY_SYNC: parse_history(true); break;
        case TCODE_REPEAT: parse_repeat_brch(); break;
        case TCODE_CORRELATION: parse_correlation(); break;
        default: throw std::runtime_error("Unknown tcode: 0x" + lower_hex(tcode) + "\n");
      }

      if (tcode != TCODE_REPEAT) {
        last_icnt[src] = static_cast<uint32_t>(icnt);
        last_tcode[src] = static_cast<uint8_t>(tcode);
      }

      if (src >= 64 || ((src_mask >> src) & 1) == 0) {
        icnt = 0;
        continue;
      }

      if (nexus_log) {
        msg_line.clear();
        msg_text.append_to(msg_line);
        sink.write(msg_line);
      }

      uint64_t& pc = cur_pc[src];
      unsigned long word = 0;
      bool fused = false;
      bool trapped = false;

      // A Repeat Branch of an empty walk (the source's last I-CNT is 0)
      // walks nothing and only applies the target rule again: the Direct
      // Branch rule fails on the first repeat (no word has been fetched),
      // and two XOR targets cancel out. Only the parity of such a count
      // matters, so a count from the trace cannot keep the decoder spinning
      // for billions of rounds that write nothing.
      uint32_t walks = bcnt;
      if (tcode == TCODE_REPEAT && last_icnt[src] == 0 && walks > 2) walks = 2 - (walks & 1);

      for (uint32_t walk = 0; walk < walks; ++walk) {
        fused = false;
        if (tcode == TCODE_REPEAT) icnt = last_icnt[src];
        // State of the loop search of a Resource Full walk (see below).
        uint64_t seen_pc = pc;
        uint64_t seen_hist = hist;
        uint64_t seen_steps = 0;
        uint64_t seen_span = 1;

        while (icnt != 0) {
          char* p = put_hex(sink.room(), pc, upper_case);
          dump_case = upper_case;

          if (use_elf) {
            uint64_t w;
            if (!image.fetch(pc, w)) {
              // The PC of the failed fetch stands in the file, without line end.
              sink.commit(p);
              throw std::runtime_error("Failed to get chunk from pc. pc = 0x" + lower_hex(pc));
            }
            word = w;
          } else {
            // The PC is committed before the reference reader is asked, so
            // that it stands in the file (without line end) if the reader fails.
            sink.commit(p);
            if (!get_next_hwt_insn(hwt_reader, word, fused, trapped)) {
              // The reference trace has ended: the PC stands alone on its line.
              sink.put('\n');
              break;
            }
            p = sink.room();
          }

          if (fused) {
            const unsigned size1 = fused_word::first_insn_length(word);
            *p++ = '\n';
            if (trapped) {
              // Only the first instruction of the pair executed; it is not
              // counted, and the PC stays on it.
              sink.commit(p);
              const uint64_t half = size1 / 2;
              icnt = icnt > half ? icnt - half : 0;
              continue;
            }
            pc += size1;
            p = put_hex(p, pc, upper_case);
          }

          if (with_disasm) {
            sink.commit(p);
            sink.write(columns.column(*this, word, disasm));
            p = sink.room();
            if (with_columns) {
              static const char icnt_label[] = "\t\t| ICNT=0x";
              static const char hist_label[] = ", HIST=0x";
              std::memcpy(p, icnt_label, sizeof icnt_label - 1);
              p = put_hex(p + sizeof icnt_label - 1, icnt, upper_case);
              std::memcpy(p, hist_label, sizeof hist_label - 1);
              p = put_hex(p + sizeof hist_label - 1, hist, upper_case);
            }
          }
          *p++ = '\n';
          sink.commit(p);
          ++insn_count;

          const uint64_t length = insn_length(word);
          const uint64_t half = length / 2;
          if (icnt <= half) {
            // The last instruction of the walk; one that is longer than the
            // half-words left ends the walk as well. The PC stays on it.
            icnt = 0;
            break;
          }
          icnt -= half;

          uint64_t step = length;
          if (fused) {
            step -= fused_word::first_insn_length(word);
          } else if (may_branch(word)) {
            const uint32_t id = ids.id(word);
            if (is_b_type(id) || is_cb_type(id)) {
              const bool taken = hist > 1 && (hist & 1) != 0;
              hist >>= 1;
              if (taken) step = static_cast<uint64_t>(is_b_type(id) ? b_imm(word) : cb_imm(word));
            } else if (is_cj_type(id)) {
              step = static_cast<uint64_t>(cj_imm(word));
            } else if (id == ID_JAL) {
              step = static_cast<uint64_t>(j_imm(word));
            }
          }
          pc += step;

          if (tcode == TCODE_RESOURCE_FULL) {
            if (hist == 1) break;
            // A Resource Full walk with a history has the count 2^64 - 1 (no
            // I-CNT is that large) and ends only when its history runs out.
            // Over program words each step depends on nothing but the PC
            // and the history, so once that pair comes round again the walk
            // loops without using a history bit and would write lines for
            // ever. Brent's search notices within twice the loop's length.
            if (use_elf && icnt > 0xFFFFFFFFull) {
              if (pc == seen_pc && hist == seen_hist)
                throw std::runtime_error("Resource Full walk loops at pc=0x" + lower_hex(pc) +
                                         " without using up its history");
              if (++seen_steps == seen_span) {
                seen_pc = pc;
                seen_hist = hist;
                seen_steps = 0;
                seen_span <<= 1;
              }
            }
          }
        }

        // End-of-walk target.
        icnt = 0;
        unsigned rule = tcode;
        if (tcode == TCODE_REPEAT) {
          const unsigned last = last_tcode[src];
          rule = (last == TCODE_DIRECT || last == TCODE_INDIRECT || last == TCODE_HISTORY) ? last : 0;
        }
        switch (rule) {
          case TCODE_DIRECT: {
            const uint32_t id = ids.id(word);
            if (is_b_type(id)) {
              pc += static_cast<uint64_t>(b_imm(word));
            } else if (is_cb_type(id)) {
              pc += static_cast<uint64_t>(cb_imm(word));
            } else if (is_fused_branch(id)) {
              pc += static_cast<uint64_t>(int64_t(fused_word::second_imm_signed(word)) * 2);
            } else {
              throw std::runtime_error("Taken direct branch failed! topc=0x" + lower_hex(id) +
                                       " pc=0x" + lower_hex(pc) + " chunk=0x" + lower_hex(word) + "\n");
            }
            break;
          }
          case TCODE_INDIRECT:
          case TCODE_HISTORY:
            faddr[src] = uaddr[src] ^ faddr[src];
            pc = faddr[src];
            break;
          case TCODE_SYNC:
          case TCODE_DIRECT_SYNC:
          case TCODE_INDIRECT_SYNC:
          case TCODE_HISTORY_SYNC:
            pc = faddr[src];
            break;
          default:
            break;
        }
      }

      if (nexus_log) sink.put('\n');
    }
  } catch (...) {
    sink.flush_quietly();
    throw;
  }
  sink.flush();

  if (metrics_log) {
    const float bytes = static_cast<float>(byte_count);
    std::cout << "Decoding done:" << std::endl;
    std::cout << "Bytes: " << byte_count << std::endl;
    std::cout << "Messages: " << msg_count << std::endl;
    std::cout << "Bytes/msg: " << bytes / static_cast<float>(msg_count) << std::endl;
    std::cout << "Instructions: " << insn_count << std::endl;
    std::cout << "Bit/instr: " << (bytes * 8.0f) / static_cast<float>(insn_count) << std::endl;
  }
}
