// Nexus message reader: construction, the field readers' bit cursor, every
// message parser's effect and log text, and input cut short or malformed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "nexus_decoder.h"
#include "nexus_decoder_access.h"
#include "nexus_writer.h"

namespace {

using bytes_t = std::vector<uint8_t>;
using acc = nexus_decoder_test_access;
constexpr uint64_t all_ones = ~uint64_t(0);

// A decoder reading the given bytes from a temporary trace file.
struct reader_t {
  temp_trace_file_t file;
  nexus_decoder_t dec;
  reader_t(const bytes_t& bytes, bool src_present = false, unsigned long src_width = 0)
      : file(bytes), dec(64, src_present, src_width) {
    if (!acc::open(dec, file.path())) throw std::runtime_error("cannot open " + file.path());
  }
  // Reads the next message start and parses the message; returns its TCODE.
  int next() {
    const int tcode = acc::next_tcode(dec);
    if (tcode >= 0 && !acc::parse(dec, tcode)) ADD_FAILURE() << "no parser for " << tcode;
    return tcode;
  }
  std::string text() const { return acc::msg_text(dec); }
};

}  // namespace

TEST(NexusDecoderState, ConstructionSizesTablesAndClearsState) {
  for (unsigned long width : {0ul, 1ul, 2ul, 16ul}) {
    nexus_decoder_t d(32, width != 1, width);
    const size_t n = size_t(1) << width;
    EXPECT_EQ(acc::xlen(d), 32u);
    EXPECT_EQ(acc::src_present(d), width != 1);
    EXPECT_EQ(acc::src_width(d), width);
    for (const auto* t : {&acc::tstamp(d), &acc::faddr(d), &acc::uaddr(d)}) {
      ASSERT_EQ(t->size(), n);
      EXPECT_EQ(*t, std::vector<uint64_t>(n, 0));
    }
    EXPECT_EQ(acc::last_icnt(d), std::vector<uint32_t>(n, 0));
    EXPECT_EQ(acc::src(d) | acc::icnt(d) | acc::bcnt(d) | acc::hist(d) | acc::bit_cursor(d), 0u);
    EXPECT_FALSE(acc::end_of_message(d) || acc::nexus_log(d) || acc::disasm_log(d) ||
                 acc::metrics_log(d));
  }
  nexus_decoder_t d(64, false, 0);
  d.enable_nexus_log();
  d.enable_disasm_log();
  d.enable_metrics_log();
  EXPECT_TRUE(acc::nexus_log(d) && acc::disasm_log(d) && acc::metrics_log(d));
  d.disable_nexus_log();
  d.disable_disasm_log();
  d.disable_metrics_log();
  EXPECT_FALSE(acc::nexus_log(d) || acc::disasm_log(d) || acc::metrics_log(d));
}

TEST(NexusDecoderState, RefusesSrcWidthTooLargeForTables) {
  for (unsigned long width : {17ul, 63ul, 64ul, 1000ul}) {
    try {
      nexus_decoder_t d(64, true, width);
      ADD_FAILURE() << "width " << width << " accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "SRC width " + std::to_string(width) +
                                           " is too large: at most 16 bits are supported");
    }
  }
}

// The bytes 0x64 0x0D: SRC 1 and BTYPE 2 share the first slice with the low
// bits of I-CNT 13.
TEST(NexusFieldReaders, FixedFieldsShareSliceAndVariableFieldTakesTheRest) {
  reader_t r({0x64, 0x0D, 0xFC, 0xFC, 0x3F});
  auto& d = r.dec;
  EXPECT_EQ(acc::fixed_field(d, 2), 1u);
  EXPECT_EQ(acc::bit_cursor(d), 2u);
  EXPECT_EQ(acc::position(d), 0);  // still on the shared slice
  EXPECT_EQ(acc::fixed_field(d, 2), 2u);
  EXPECT_EQ(acc::bit_cursor(d), 4u);
  EXPECT_EQ(acc::position(d), 0);
  EXPECT_EQ(acc::variable_field(d), 13u);
  EXPECT_FALSE(acc::end_of_message(d));
  EXPECT_EQ(acc::bit_cursor(d), 0u);
  EXPECT_EQ(acc::position(d), 2);
  // A 10-bit field: six bits of one slice, four of the next, which is read
  // again by the following field.
  EXPECT_EQ(acc::fixed_field(d, 10), 0x3FFu);
  EXPECT_EQ(acc::bit_cursor(d), 4u);
  EXPECT_EQ(acc::position(d), 3);
  // A fixed field that uses up the slice moves past it.
  EXPECT_EQ(acc::fixed_field(d, 2), 3u);
  EXPECT_EQ(acc::bit_cursor(d), 0u);
  EXPECT_EQ(acc::position(d), 4);
  EXPECT_EQ(acc::fixed_field(d, 3), 7u);
  EXPECT_EQ(acc::bit_cursor(d), 3u);
  EXPECT_EQ(acc::fixed_field(d, 3), 1u);
  EXPECT_TRUE(acc::end_of_message(d));
  EXPECT_EQ(acc::position(d), 5);
}

TEST(NexusFieldReaders, FixedFieldStoresSixtyFourBitValue) {
  reader_t r({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  unsigned char buf[8];
  std::memset(buf, 0xAA, sizeof buf);
  r.dec.parse_fixed_field(0, buf, sizeof buf);  // empty: nothing read, value 0
  EXPECT_EQ(acc::position(r.dec), 0);
  for (unsigned char b : buf) EXPECT_EQ(b, 0);
  acc::set_bit_cursor(r.dec, 5);
  EXPECT_EQ(acc::fixed_field(r.dec, 64), all_ones);  // twelve slices, no shift by 64
  EXPECT_EQ(acc::bit_cursor(r.dec), 3u);
  // A buffer narrower than 8 bytes gets only the low bytes.
  unsigned char narrow[3] = {0xAA, 0xAA, 0xAA};
  reader_t r2({0x04 | (0x2A << 2), 0x04, 0x03});
  r2.dec.parse_fixed_field(12, narrow, 2);
  EXPECT_EQ(narrow[0] | (narrow[1] << 8), 0x06Bu);
  EXPECT_EQ(narrow[2], 0xAA);
}

TEST(NexusFieldReaders, LongVariableFieldKeepsLowSixtyFourBits) {
  struct wide_case {
    uint64_t low, high;
    unsigned cursor;
  };
  for (const wide_case& c : {wide_case{0x0123456789ABCDEFull, 0xFFull, 0},
                             wide_case{all_ones, all_ones, 0},
                             wide_case{0x8000000000000001ull, 0x5ull, 0}}) {
    nexus_writer_t w;
    w.begin(3).var_wide(c.low, c.high).end();
    bytes_t b = w.bytes();
    b.erase(b.begin());
    reader_t r(b);
    EXPECT_EQ(acc::variable_field(r.dec), c.low);
    EXPECT_TRUE(acc::end_of_message(r.dec));
    EXPECT_TRUE(acc::at_end(r.dec));
  }
  // Thirty slices of ones after a partly used slice.
  bytes_t b(1, 0xFC);
  b.insert(b.end(), 29, 0xFC);
  b.push_back(0xFD);
  reader_t r(b);
  acc::set_bit_cursor(r.dec, 3);
  EXPECT_EQ(acc::variable_field(r.dec), all_ones);
  EXPECT_TRUE(acc::at_end(r.dec));
}

// One case per message type and variant: the bytes of the message (with a
// 2-bit SRC of 2 and a TSTAMP), its log text and its effect on the decoder.
TEST(NexusMessages, EveryMessageTypeUpdatesStateAndLogs) {
  struct message_case {
    const char* what;
    std::function<void(nexus_writer_t&)> build;
    const char* text;
    std::function<void(const nexus_decoder_t&)> check;
  };
  const uint64_t hist_before = 0b110;
  const message_case cases[] = {
      {"sync", [](nexus_writer_t& w) { w.begin(9, 2).fixed(4, 5).var(0x10).var(0x4000).end(0x99); },
       "Synchronization msg:  SRC = 0x2  SYNC = 0x5 I-CNT = 0x10 F-ADDR = 0x8000 GLOBAL TSTAMP = 0x99",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::icnt(d), 0x10u);
         EXPECT_EQ(acc::faddr(d)[2], 0x8000u);
         EXPECT_EQ(acc::tstamp(d)[2], 0x99u);
       }},
      {"ownership", [](nexus_writer_t& w) { w.begin(2, 2).var(0x11C).end(0x10); },
       "Ownership msg: SRC = 0x2 PRIV = 0x3[M] V = 0x1 TSTAMP = 0x10 (GLOBAL TSTAMP = 0x10)",
       [](const nexus_decoder_t& d) { EXPECT_EQ(acc::tstamp(d)[2], 0x10u); }},
      {"ownership S", [](nexus_writer_t& w) { w.begin(2, 2).var(0x4).end(1); },
       "Ownership msg: SRC = 0x2 PRIV = 0x1[S] V = 0x0 TSTAMP = 0x1 (GLOBAL TSTAMP = 0x1)", nullptr},
      {"ownership ?", [](nexus_writer_t& w) { w.begin(2, 2).var(0x18).end(1); },
       "Ownership msg: SRC = 0x2 PRIV = 0x2[?] V = 0x1 TSTAMP = 0x1 (GLOBAL TSTAMP = 0x1)", nullptr},
      {"ownership U", [](nexus_writer_t& w) { w.begin(2, 2).var(0x3).end(1); },
       "Ownership msg: SRC = 0x2 PRIV = 0x0[U] V = 0x0 TSTAMP = 0x1 (GLOBAL TSTAMP = 0x1)", nullptr},
      {"direct branch", [](nexus_writer_t& w) { w.begin(3, 2).var(0x1'0000'1234).end(0x7); },
       "Direct Branch msg: SRC = 0x2 I-CNT = 0x1234 TSTAMP = 0x7 (GLOBAL TSTAMP = 0x7)",
       [](const nexus_decoder_t& d) { EXPECT_EQ(acc::icnt(d), 0x1234u); }},
      {"indirect branch",
       [](nexus_writer_t& w) { w.begin(4, 2).fixed(2, 3).var(0xAB).var(0x123).end(5); },
       "Indirect Branch msg: SRC = 0x2 BTYPE = 0x3 I-CNT = 0xAB U-ADDR = 0x246 TSTAMP = 0x5 "
       "(GLOBAL TSTAMP = 0x5)",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::icnt(d), 0xABu);
         EXPECT_EQ(acc::uaddr(d)[2], 0x246u);
         EXPECT_EQ(acc::faddr(d)[2], 0u);
       }},
      {"error", [](nexus_writer_t& w) { w.begin(8, 2).fixed(4, 0xA).var(0x1'0000'0005).end(3); },
       "Error msg: SRC = 0x2 ETYPE = 0xA ECODE = 0x5 TSTAMP = 0x3 (GLOBAL TSTAMP = 0x3)",
       [](const nexus_decoder_t& d) { EXPECT_EQ(acc::tstamp(d)[2], 3u); }},
      {"direct branch sync",
       [](nexus_writer_t& w) { w.begin(11, 2).fixed(4, 1).var(2).var(0x80).end(0x42); },
       "Direct Branch Sync msg: SRC = 0x2 SYNC = 0x1 I-CNT = 0x2 F-ADDR = 0x100 GLOBAL TSTAMP = 0x42",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::icnt(d), 2u);
         EXPECT_EQ(acc::faddr(d)[2], 0x100u);
         EXPECT_EQ(acc::tstamp(d)[2], 0x42u);
       }},
      {"indirect branch sync",
       [](nexus_writer_t& w) { w.begin(12, 2).fixed(4, 2).fixed(2, 1).var(3).var(0xFFFF).end(1); },
       "Indirect Branch Sync msg: SRC = 0x2 SYNC = 0x2 BTYPE = 0x1 I-CNT = 0x3 F-ADDR = 0x1FFFE "
       "GLOBAL TSTAMP = 0x1",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::faddr(d)[2], 0x1FFFEu);
         EXPECT_EQ(acc::uaddr(d)[2], 0u);
       }},
      {"resource full, I-CNT", [](nexus_writer_t& w) { w.begin(27, 2).fixed(4, 0).var(0x30).end(2); },
       "Resource full msg: SRC = 0x2 RCODE = 0x0 ICNT = 0x30 TSTAMP = 0x2 (GLOBAL TSTAMP = 0x2)",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::icnt(d), 0x30u);
         EXPECT_EQ(acc::hist(d), 1u);
       }},
      {"resource full, HIST", [](nexus_writer_t& w) { w.begin(27, 2).fixed(4, 1).var(0b1011).end(2); },
       "Resource full msg: SRC = 0x2 RCODE = 0x1 HIST = 0xB TSTAMP = 0x2 (GLOBAL TSTAMP = 0x2)",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::icnt(d), all_ones);
         EXPECT_EQ(acc::hist(d), 0b1110u);
       }},
      {"resource full, other RCODE", [](nexus_writer_t& w) { w.begin(27, 2).fixed(4, 5).end(9); },
       "",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::tstamp(d)[2], 9u);
         EXPECT_EQ(acc::icnt(d), 0u);
         EXPECT_EQ(acc::hist(d), 0b101u);  // still passed through the reversal
       }},
      {"history branch",
       [](nexus_writer_t& w) { w.begin(28, 2).fixed(2, 0).var(7).var(0x1000).var(0b110).end(4); },
       "History Branch msg: SRC = 0x2 BTYPE = 0x0 I-CNT = 0x7 U-ADDR = 0x2000 HIST = 0x6 "
       "TSTAMP = 0x4 (GLOBAL TSTAMP = 0x4)",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::icnt(d), 7u);
         EXPECT_EQ(acc::uaddr(d)[2], 0x2000u);
         EXPECT_EQ(acc::hist(d), 0b101u);
       }},
      {"history branch sync",
       [](nexus_writer_t& w) {
         w.begin(29, 2).fixed(4, 3).fixed(2, 1).var(9).var(0x10).var(0b10).end(0x11);
       },
       "History Branch with SYNC msg: SRC = 0x2 SYNC = 0x3 BTYPE = 0x1 I-CNT = 0x9 F-ADDR = 0x20 "
       "HIST = 0x2 GLOBAL TSTAMP = 0x11",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::faddr(d)[2], 0x20u);
         EXPECT_EQ(acc::hist(d), 0b10u);
         EXPECT_EQ(acc::tstamp(d)[2], 0x11u);
       }},
      {"repeat branch", [](nexus_writer_t& w) { w.begin(30, 2).var(0x1'0000'0003).end(6); },
       "Repeat Branch msg:  SRC = 0x2 BCNT = 0x3 TSTAMP = 0x6 (GLOBAL TSTAMP = 0x6)",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::bcnt(d), 3u);
         EXPECT_EQ(acc::icnt(d), 0u);
       }},
      {"correlation with HIST",
       [](nexus_writer_t& w) { w.begin(33, 2).fixed(4, 0xC).fixed(2, 1).var(0x15).var(0b1011).end(8); },
       "Correlation msg:  SRC = 0x2 EVCODE = 0xC CDF = 0x1 I-CNT = 0x15 HIST = 0xB TSTAMP = 0x8 "
       "(GLOBAL TSTAMP = 0x8)",
       [](const nexus_decoder_t& d) {
         EXPECT_EQ(acc::icnt(d), 0x15u);
         EXPECT_EQ(acc::hist(d), 0b1110u);
       }},
  };
  for (const message_case& c : cases) {
    SCOPED_TRACE(c.what);
    nexus_writer_t w(true, 2);
    c.build(w);
    reader_t r(w.bytes(), true, 2);
    acc::set_hist(r.dec, hist_before);
    r.next();
    EXPECT_EQ(r.text(), *c.text ? "\n" + std::string(c.text) + "\n" : "\n");
    EXPECT_EQ(acc::src(r.dec), 2u);
    EXPECT_TRUE(acc::end_of_message(r.dec));
    EXPECT_EQ(acc::bit_cursor(r.dec), 0u);
    EXPECT_TRUE(acc::at_end(r.dec));
    EXPECT_EQ(acc::tstamp(r.dec)[0] | acc::faddr(r.dec)[0] | acc::uaddr(r.dec)[0], 0u);
    if (c.check) c.check(r.dec);
  }
}

// Without HIST (CDF 0, 2 or 3) the pending history stays but is still
// reversed; no CDF label is logged.
TEST(NexusMessages, CorrelationWithoutHistKeepsPendingHistory) {
  for (uint64_t cdf : {0u, 2u, 3u}) {
    nexus_writer_t w;
    w.begin(33).fixed(4, 1).fixed(2, cdf).var(4).end();
    reader_t r(w.bytes());
    acc::set_hist(r.dec, 0b1011);
    EXPECT_EQ(r.next(), 33);
    EXPECT_EQ(r.text(), "\nCorrelation msg:  SRC = 0x0 EVCODE = 0x1 I-CNT = 0x4 TSTAMP = 0x0 "
                        "(GLOBAL TSTAMP = 0x0)\n");
    EXPECT_EQ(acc::icnt(r.dec), 4u);
    EXPECT_EQ(acc::hist(r.dec), 0b1110u);
    EXPECT_TRUE(acc::at_end(r.dec));
  }
}

TEST(NexusMessages, HistoryIsReversedBelowItsStopBit) {
  const std::pair<uint64_t, uint64_t> cases[] = {
      {0, 1}, {1, 1}, {0b10, 0b10}, {0b110, 0b101}, {0b1011, 0b1110},
      {(1ull << 63) | 1, (1ull << 63) | (1ull << 62)}, {all_ones, all_ones},
      {0x8000000000000006ull, 0xB000000000000000ull},
  };
  for (const auto& [field, reversed] : cases) {
    nexus_writer_t w;
    w.begin(28).fixed(2, 0).var(1).var(0).var(field).end();
    reader_t r(w.bytes());
    r.next();
    EXPECT_EQ(acc::hist(r.dec), reversed) << std::hex << field;
  }
}

// The examples: 0x0C 0x17 without SRC, and the Indirect Branch whose SRC,
// BTYPE and I-CNT share the slice 0x64.
TEST(NexusMessages, SrcWidthsZeroOneTwo) {
  {
    reader_t r({0x0C, 0x17});
    EXPECT_EQ(r.next(), 3);
    EXPECT_EQ(acc::icnt(r.dec), 5u);
    EXPECT_EQ(r.text(), "\nDirect Branch msg: SRC = 0x0 I-CNT = 0x5 TSTAMP = 0x0 (GLOBAL TSTAMP = 0x0)\n");
    EXPECT_EQ(r.next(), -1);
  }
  {
    // An empty SRC field reads nothing: the same bytes mean the same.
    reader_t r({0x0C, 0x17}, true, 0);
    EXPECT_EQ(r.next(), 3);
    EXPECT_EQ(acc::icnt(r.dec), 5u);
    EXPECT_EQ(acc::src(r.dec), 0u);
    EXPECT_EQ(r.next(), -1);
  }
  {
    nexus_writer_t w(true, 1);
    w.begin(9, 1).fixed(4, 0).var(0).var(0x40).end(0x5);
    w.begin(3, 0).var(2).end(0x3);
    reader_t r(w.bytes(), true, 1);
    r.next();
    EXPECT_EQ(acc::src(r.dec), 1u);
    EXPECT_EQ(acc::faddr(r.dec), (std::vector<uint64_t>{0, 0x80}));
    EXPECT_EQ(acc::tstamp(r.dec), (std::vector<uint64_t>{0, 5}));
    r.next();
    EXPECT_EQ(acc::src(r.dec), 0u);
    EXPECT_EQ(acc::tstamp(r.dec), (std::vector<uint64_t>{3, 5}));
  }
  {
    reader_t r({0x10, 0x64, 0x0D, 0x83}, true, 2);
    EXPECT_EQ(r.next(), 4);
    EXPECT_EQ(acc::src(r.dec), 1u);
    EXPECT_EQ(acc::icnt(r.dec), 13u);
    EXPECT_EQ(acc::uaddr(r.dec)[1], 0x40u);
    EXPECT_EQ(r.text(), "\nIndirect Branch msg: SRC = 0x1 BTYPE = 0x2 I-CNT = 0xD U-ADDR = 0x40 "
                        "TSTAMP = 0x0 (GLOBAL TSTAMP = 0x0)\n");
  }
  {
    // Without a SRC field the tables still have 2^width entries; src stays 0.
    nexus_writer_t w;
    w.begin(3).var(1).end(4);
    reader_t r(w.bytes(), false, 2);
    r.next();
    EXPECT_EQ(acc::tstamp(r.dec), (std::vector<uint64_t>{4, 0, 0, 0}));
  }
}

// "=" forms (sync messages) set the time stamp only when one is present,
// "+=" forms add 0 when it is absent; the log shows 0 for an absent one.
TEST(NexusMessages, TimestampPresentAndAbsent) {
  nexus_writer_t w;
  w.begin(9).fixed(4, 0).var(0).var(0).end(0x100);   // = 0x100
  w.begin(9).fixed(4, 0).var(0).var(0).end();        // unchanged
  w.begin(2).var(0).end();                           // + 0
  w.idle(2);
  w.begin(3).var(1).end(0x5);                        // + 5
  w.begin(29).fixed(4, 0).fixed(2, 0).var(0).var(0).var(1).end();  // unchanged
  w.begin(12).fixed(4, 0).fixed(2, 0).var(0).var(0).end(0x7);      // = 7
  w.begin(30).var(1).end(0x1);                       // + 1
  reader_t r(w.bytes());
  const uint64_t expected[] = {0x100, 0x100, 0x100, 0x105, 0x105, 0x7, 0x8};
  for (uint64_t e : expected) {
    r.next();
    EXPECT_EQ(acc::tstamp(r.dec)[0], e);
  }
  EXPECT_EQ(r.text(), "\nRepeat Branch msg:  SRC = 0x0 BCNT = 0x1 TSTAMP = 0x1 (GLOBAL TSTAMP = 0x8)\n");
  EXPECT_EQ(r.next(), -1);
}

// A message start reads the TCODE slice whole: its end bits do not touch
// end_of_message, and the following fields start at the next slice.
TEST(NexusMessages, MessageStartLeavesEndFlagAndCursor) {
  reader_t r({0x0F, 0x17});  // TCODE 3 in a slice with end bits 3
  EXPECT_EQ(acc::next_tcode(r.dec), 3);
  EXPECT_FALSE(acc::end_of_message(r.dec));
  r.dec.parse_dir_brch(false);
  EXPECT_EQ(acc::icnt(r.dec), 5u);
  EXPECT_TRUE(acc::end_of_message(r.dec));
}

// A Resource Full message without fields ends inside its RCODE slice; the
// next message starts with the following byte.
TEST(NexusMessages, MessageEndingInsideFixedFieldSliceSkipsTheSlice) {
  nexus_writer_t w(true, 1);
  w.begin(27, 1).fixed(4, 2).end();
  w.begin(3, 1).var(5).end();
  w.begin(27, 0).fixed(4, 3).end(0x4);  // with TSTAMP the slice is shared
  reader_t r(w.bytes(), true, 1);
  EXPECT_EQ(r.next(), 27);
  EXPECT_EQ(r.text(), "\n");
  EXPECT_EQ(acc::bit_cursor(r.dec), 0u);
  EXPECT_EQ(r.next(), 3);
  EXPECT_EQ(acc::icnt(r.dec), 5u);
  EXPECT_EQ(r.next(), 27);
  EXPECT_EQ(acc::tstamp(r.dec), (std::vector<uint64_t>{4, 0}));
  EXPECT_EQ(r.next(), -1);
}

// Every message type cut after every byte: the parser stops at the end of
// the input, keeps what it read, and the next message start sees the end.
TEST(NexusBadInput, TraceCutInsideEveryField) {
  const std::function<void(nexus_writer_t&)> messages[] = {
      [](nexus_writer_t& w) { w.begin(9, 5).fixed(4, 0xF).var(0x123456).var(0xABCDEF01).end(0x777777); },
      [](nexus_writer_t& w) { w.begin(2, 5).var(0x1C1C1C).end(0x777777); },
      [](nexus_writer_t& w) { w.begin(3, 5).var(0x123456).end(0x777777); },
      [](nexus_writer_t& w) { w.begin(4, 5).fixed(2, 3).var(0x123456).var(0xABCDEF01).end(0x777777); },
      [](nexus_writer_t& w) { w.begin(8, 5).fixed(4, 9).var(0x123456).end(0x777777); },
      [](nexus_writer_t& w) { w.begin(11, 5).fixed(4, 9).var(0x123456).var(0xABCDEF01).end(0x777777); },
      [](nexus_writer_t& w) {
        w.begin(12, 5).fixed(4, 9).fixed(2, 2).var(0x123456).var(0xABCDEF01).end(0x777777);
      },
      [](nexus_writer_t& w) { w.begin(27, 5).fixed(4, 0).var(0x123456).end(0x777777); },
      [](nexus_writer_t& w) { w.begin(27, 5).fixed(4, 1).var(0x123456).end(0x777777); },
      [](nexus_writer_t& w) { w.begin(27, 5).fixed(4, 2).end(0x777777); },
      [](nexus_writer_t& w) {
        w.begin(28, 5).fixed(2, 1).var(0x123456).var(0xABCDEF01).var(0x1F0F).end(0x777777);
      },
      [](nexus_writer_t& w) {
        w.begin(29, 5).fixed(4, 9).fixed(2, 2).var(0x123456).var(0xABCDEF01).var(0x1F0F).end(0x777777);
      },
      [](nexus_writer_t& w) { w.begin(30, 5).var(0x123456).end(0x777777); },
      [](nexus_writer_t& w) {
        w.begin(33, 5).fixed(4, 3).fixed(2, 1).var(0x123456).var(0x1F0F).end(0x777777);
      },
  };
  for (const auto& build : messages) {
    nexus_writer_t w(true, 7);  // a SRC field over two slices
    build(w);
    const bytes_t full = w.bytes();
    for (size_t len = 1; len < full.size(); ++len) {
      const bytes_t cut(full.begin(), full.begin() + static_cast<long>(len));
      reader_t r(cut, true, 7);
      const int tcode = r.next();
      SCOPED_TRACE("TCODE " + std::to_string(tcode) + " cut after " + std::to_string(len));
      EXPECT_TRUE(acc::end_of_message(r.dec));
      EXPECT_EQ(acc::bit_cursor(r.dec), 0u);
      EXPECT_TRUE(acc::at_end(r.dec));
      EXPECT_EQ(r.next(), -1);
      EXPECT_LT(acc::src(r.dec), 128u);
    }
  }
}

TEST(NexusBadInput, CutFieldKeepsBitsRead) {
  nexus_writer_t w;
  w.begin(9).fixed(4, 0xF).var(0x1234).var(0xABCDEF).end(0x99);
  bytes_t b = w.bytes();
  // TCODE, SYNC slice (shared with I-CNT's low 2 bits), two more I-CNT slices,
  // then F-ADDR: keep two F-ADDR slices of four.
  b.resize(6);
  reader_t r(b);
  r.next();
  EXPECT_EQ(acc::icnt(r.dec), 0x1234u);
  EXPECT_EQ(acc::faddr(r.dec)[0], (0xABCDEFull & 0xFFF) << 1);
  EXPECT_EQ(acc::tstamp(r.dec)[0], 0u);  // never read, so not set
  EXPECT_EQ(r.text(), "\nSynchronization msg:  SRC = 0x0  SYNC = 0xF I-CNT = 0x1234 F-ADDR = 0x1BDE "
                      "GLOBAL TSTAMP = 0x0\n");
  EXPECT_EQ(r.next(), -1);
}

// A variable field whose end bit never comes ends with the input.
TEST(NexusBadInput, MissingEndBitStopsAtEndOfInput) {
  reader_t r({0x0C, 0x04, 0x08, 0x0C});
  EXPECT_EQ(r.next(), 3);
  EXPECT_EQ(acc::icnt(r.dec), 1u | (2u << 6) | (3u << 12));
  EXPECT_TRUE(acc::end_of_message(r.dec));
  EXPECT_EQ(r.next(), -1);
  reader_t empty({});
  EXPECT_EQ(acc::variable_field(empty.dec), 0u);
  EXPECT_EQ(acc::fixed_field(empty.dec, 5), 0u);
  EXPECT_TRUE(acc::end_of_message(empty.dec));
}
