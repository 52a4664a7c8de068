// Test access to the Nexus decoder's private state: lets tests open a trace,
// read message starts the way the message loop does and drive the parsers
// one message at a time.
#ifndef TESTS_SUPPORT_NEXUS_DECODER_ACCESS_H
#define TESTS_SUPPORT_NEXUS_DECODER_ACCESS_H

#include <cstdint>
#include <string>
#include <vector>

#include "nexus_decoder.h"

struct nexus_decoder_test_access {
  // Opens the trace for binary reading; false when it cannot be opened.
  static bool open(nexus_decoder_t& d, const std::string& path) {
    d.trace_stream.open(path, std::ios::in | std::ios::binary);
    return d.trace_stream.is_open();
  }

  // Reads the first slice of the next message as the message loop does:
  // idle bytes (0xFF) are skipped, the end bits are not looked at and the
  // message text is started afresh. Returns the TCODE, or -1 at the end of
  // the input.
  static int next_tcode(nexus_decoder_t& d) {
    int b;
    do {
      b = d.trace_stream.get();
      if (b == std::char_traits<char>::eof()) return -1;
    } while (b == 0xFF);
    begin_message(d);
    return b >> 2;
  }

  // Empties the message text and starts it as the message loop does.
  static void begin_message(nexus_decoder_t& d) {
    d.msg_text.clear();
    d.msg_text.add("\n");
  }

  // Runs the parser of `tcode`; false for a TCODE that has none.
  static bool parse(nexus_decoder_t& d, int tcode) {
    switch (tcode) {
      case 2: d.parse_ownership(); return true;
      case 3: d.parse_dir_brch(false); return true;
      case 4: d.parse_indir_brch(false); return true;
      case 8: d.parse_error(); return true;
      case 9: d.parse_sync(); return true;
      case 11: d.parse_dir_brch(true); return true;
      case 12: d.parse_indir_brch(true); return true;
      case 27: d.parse_resource_full(); return true;
      case 28: d.parse_history(false); return true;
      case 29: d.parse_history(true); return true;
      case 30: d.parse_repeat_brch(); return true;
      case 33: d.parse_correlation(); return true;
      default: return false;
    }
  }

  static uint64_t fixed_field(nexus_decoder_t& d, unsigned long width) {
    uint64_t v;
    d.parse_fixed_field(width, reinterpret_cast<unsigned char*>(&v), sizeof v);
    return v;
  }
  static uint64_t variable_field(nexus_decoder_t& d) {
    uint64_t v;
    d.parse_variable_field(reinterpret_cast<unsigned char*>(&v));
    return v;
  }

  // Offset of the next byte to be read, -1 when the stream has failed.
  static long position(nexus_decoder_t& d) { return static_cast<long>(d.trace_stream.tellg()); }
  // True when the next read finds the end of the input.
  static bool at_end(nexus_decoder_t& d) {
    return d.trace_stream.rdbuf()->sgetc() == std::char_traits<char>::eof();
  }

  static std::string msg_text(const nexus_decoder_t& d) { return d.msg_text.str(); }
  static uint64_t xlen(const nexus_decoder_t& d) { return d.xlen; }
  static bool src_present(const nexus_decoder_t& d) { return d.src_present; }
  static uint64_t src_width(const nexus_decoder_t& d) { return d.src_width; }
  static uint32_t src(const nexus_decoder_t& d) { return d.src; }
  static uint64_t icnt(const nexus_decoder_t& d) { return d.icnt; }
  static uint32_t bcnt(const nexus_decoder_t& d) { return d.bcnt; }
  static uint64_t hist(const nexus_decoder_t& d) { return d.hist; }
  static unsigned bit_cursor(const nexus_decoder_t& d) { return d.bit_cursor; }
  static bool end_of_message(const nexus_decoder_t& d) { return d.end_of_message; }
  static bool nexus_log(const nexus_decoder_t& d) { return d.nexus_log; }
  static bool disasm_log(const nexus_decoder_t& d) { return d.disasm_log; }
  static bool metrics_log(const nexus_decoder_t& d) { return d.metrics_log; }
  static const std::vector<uint64_t>& tstamp(const nexus_decoder_t& d) { return d.tstamp; }
  static const std::vector<uint64_t>& faddr(const nexus_decoder_t& d) { return d.faddr; }
  static const std::vector<uint64_t>& uaddr(const nexus_decoder_t& d) { return d.uaddr; }
  static const std::vector<uint32_t>& last_icnt(const nexus_decoder_t& d) { return d.last_icnt; }

  static void set_hist(nexus_decoder_t& d, uint64_t v) { d.hist = v; }
  static void set_bit_cursor(nexus_decoder_t& d, unsigned v) { d.bit_cursor = static_cast<uint8_t>(v); }
};

#endif
