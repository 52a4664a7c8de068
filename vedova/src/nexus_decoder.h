// Nexus trace decoder: the message reader (field readers, message parsers
// and the decoder registers they update) and the walk that turns decoded
// messages into executed PCs.
#ifndef VEDOVA_NEXUS_DECODER_H
#define VEDOVA_NEXUS_DECODER_H

#include <cstdint>
#include <fstream>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class mh_swt_reader_t;
class disassembler_t;

// The trace file: an input stream over a file buffer that also shows the
// bytes it has read ahead, so that the message dump can look at a whole
// message without moving the read position (moving it back costs two
// system calls and a new read for every message).
class nexus_trace_stream_t : public std::istream {
 public:
  class buffer_t : public std::filebuf {
   public:
    // The bytes read from the file and not yet taken; may be empty.
    const char* ahead_begin() const { return gptr(); }
    const char* ahead_end() const { return egptr(); }
  };

  nexus_trace_stream_t() : std::istream(nullptr) { std::istream::rdbuf(&buf); }
  // As std::ifstream::open: the stream fails when the file cannot be opened.
  void open(const std::string& path, std::ios::openmode mode) {
    if (buf.open(path, mode | std::ios::in))
      clear();
    else
      setstate(std::ios::failbit);
  }
  bool is_open() const { return buf.is_open(); }
  buffer_t* rdbuf() { return &buf; }

 private:
  buffer_t buf;
};

// The log line of the current message, kept as its pieces: texts, each
// optionally followed by a value in upper-case hexadecimal without leading
// zeros. Every message fills one, but it is printed only on request, so the
// characters are made only then.
class nexus_msg_text_t {
 public:
  void clear() { count = 0; }
  // Appends a text.
  nexus_msg_text_t& add(const char* text) { return push(text, 0, false); }
  // Appends a text followed by the value.
  nexus_msg_text_t& add(const char* text, uint64_t value) { return push(text, value, true); }
  // Appends the line to `out`.
  void append_to(std::string& out) const;
  std::string str() const;

 private:
  struct piece_t {
    const char* text;
    uint64_t value;
    bool has_value;
  };
  // Room for the longest message line; the parsers never add more pieces.
  static constexpr unsigned capacity = 16;

  nexus_msg_text_t& push(const char* text, uint64_t value, bool has_value) {
    if (count < capacity) pieces[count++] = piece_t{text, value, has_value};
    return *this;
  }

  piece_t pieces[capacity];
  unsigned count = 0;
};

class nexus_decoder_t {
 public:
  // Every per-source table has 2^src_width entries; a src_width above 16
  // is refused with std::runtime_error.
  nexus_decoder_t(unsigned long xlen, bool src_present, unsigned long src_width);
  virtual ~nexus_decoder_t();

  nexus_decoder_t(const nexus_decoder_t&) = delete;
  nexus_decoder_t& operator=(const nexus_decoder_t&) = delete;

  void enable_metrics_log() { metrics_log = true; }
  void disable_metrics_log() { metrics_log = false; }
  void enable_disasm_log() { disasm_log = true; }
  void disable_disasm_log() { disasm_log = false; }
  void enable_nexus_log() { nexus_log = true; }
  void disable_nexus_log() { nexus_log = false; }

  // The walk: decode, get_next_hwt_insn and get_pc_disasm live in
  // nexus_walk.cc. decode turns the whole trace file into `out`, one line
  // per executed instruction of the sources selected by `src_mask`; `out`
  // is flushed when decode ends, whether it ends normally or by a failure.
  // Instruction words come from the ELF files,
  // or from `hwt_reader` when the list is empty; with neither, decode
  // refuses before writing anything. Every failure, a failed write to `out`
  // included, is a std::runtime_error.
  void decode(unsigned long src_mask, std::ostream& out, const std::string& trace_path,
              const std::vector<std::string>& elf_files,
              const std::unique_ptr<mh_swt_reader_t>& hwt_reader, bool stop_on_error);

  // Field readers. Both stop at the end of the input, keeping the bits read
  // so far.
  void parse_fixed_field(unsigned long width, unsigned char* out, unsigned long size);
  void parse_variable_field(unsigned char* out);

  // Message parsers: each reads the rest of one message whose TCODE slice has
  // already been read and appends the message's log line to msg_text, which
  // the message loop has emptied and started with a line end.
  void parse_sync();
  void parse_ownership();
  void parse_dir_brch(bool sync);
  void parse_indir_brch(bool sync);
  void parse_history(bool sync);
  void parse_error();
  void parse_correlation();
  void parse_resource_full();
  void parse_repeat_brch();

  // The next usable instruction record of the reference trace: its value in
  // insn, whether it is a fused pair and whether that pair trapped. False
  // at the end of the trace; insn then holds the last record's value.
  bool get_next_hwt_insn(const std::unique_ptr<mh_swt_reader_t>& hwt_reader,
                         unsigned long& insn, bool& fused, bool& trapped);
  // The disassembly column: "\t|", the word in lower-case hexadecimal of
  // at least 8 digits, "|\t " and its instruction text ("unknown" when no
  // pattern decodes it).
  std::string get_pc_disasm(unsigned long insn, const disassembler_t& disasm);

 private:
  friend struct nexus_decoder_test_access;

  // End a message line with its TSTAMP and the source's global time stamp,
  // or (the sync forms) with the global time stamp alone.
  void add_tstamp_text(uint64_t ts);
  void add_global_tstamp_text();

  nexus_trace_stream_t trace_stream;
  uint64_t xlen;
  std::vector<uint64_t> tstamp;
  bool src_present;
  uint64_t src_width;
  uint32_t src;
  uint64_t icnt;
  uint32_t bcnt;
  std::vector<uint32_t> last_icnt;
  bool end_of_message;
  std::vector<uint64_t> faddr;
  std::vector<uint64_t> uaddr;
  uint64_t hist;
  uint8_t bit_cursor;
  nexus_msg_text_t msg_text;
  bool nexus_log;
  bool disasm_log;
  bool metrics_log;
};

#endif
