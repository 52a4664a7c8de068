// The Nexus trace writer used by the tests: its byte layout against
// hand-computed slices, and round trips through the decoder's field readers.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <vector>

#include "nexus_decoder.h"
#include "nexus_decoder_access.h"
#include "nexus_writer.h"

using bytes_t = std::vector<uint8_t>;
using acc = nexus_decoder_test_access;

TEST(NexusWriter, BytesMatchHandComputedSlices) {
  struct layout_case {
    const char* what;
    nexus_writer_t writer;
    bytes_t expected;
  };
  std::vector<layout_case> cases;
  {
    nexus_writer_t w;
    w.begin(3).var(5).end();
    cases.push_back({"direct branch, I-CNT 5, no TSTAMP", w, {0x0C, 0x17}});
  }
  {
    nexus_writer_t w(true, 2);
    w.begin(4, 1).fixed(2, 2).var(13).var(0x20).end();
    cases.push_back({"SRC and BTYPE share a slice with I-CNT", w, {0x10, 0x64, 0x0D, 0x83}});
  }
  {
    nexus_writer_t w(true, 0);
    w.begin(3).var(5).end(0x41);
    cases.push_back({"empty SRC, TSTAMP of two slices", w, {0x0C, 0x15, 0x04, 0x07}});
  }
  {
    nexus_writer_t w;
    w.idle(2).begin(30).var(0).end().idle();
    cases.push_back({"idle bytes, zero field takes one slice", w, {0xFF, 0xFF, 0x78, 0x03, 0xFF}});
  }
  {
    nexus_writer_t w;
    w.begin(27).fixed(4, 2).end();
    cases.push_back({"message ending on a fixed field", w, {0x6C, 0x0B}});
  }
  {
    nexus_writer_t w;
    w.begin(9).fixed(4, 0xF).var(0).var(1, 3).end();
    cases.push_back({"zero in the rest of a slice, padded field",
                     w, {0x24, 0x3D, 0x04, 0x00, 0x03}});
  }
  {
    nexus_writer_t w;
    w.begin(8).fixed(10, 0x3FF).var(0).end();
    cases.push_back({"fixed field across slices", w, {0x20, 0xFC, 0x3F}});
  }
  {
    nexus_writer_t w;
    w.begin(2).var_wide(0, 1).end();
    bytes_t expected = {0x08};
    expected.insert(expected.end(), 10, 0x00);
    expected.push_back(0x43);  // bit 64 is data bit 4 of the eleventh slice
    cases.push_back({"field above 64 bits", w, expected});
  }
  for (const auto& c : cases) EXPECT_EQ(c.writer.bytes(), c.expected) << c.what;
}

TEST(NexusWriter, WritesFileAndRefusesMisuse) {
  nexus_writer_t w;
  w.begin(3).var(5).end().idle();
  temp_trace_file_t file({});
  w.write_file(file.path());
  std::ifstream in(file.path(), std::ios::binary);
  const bytes_t back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(back, (bytes_t{0x0C, 0x17, 0xFF}));

  nexus_writer_t bad;
  EXPECT_THROW(bad.var(1), std::logic_error);
  EXPECT_THROW(bad.end(), std::logic_error);
  bad.begin(3);
  EXPECT_THROW(bad.begin(3), std::logic_error);
  EXPECT_THROW(bad.idle(), std::logic_error);
  EXPECT_THROW(bad.fixed(65, 0), std::logic_error);
  EXPECT_THROW(nexus_writer_t().begin(64), std::logic_error);
  EXPECT_THROW(w.write_file("/nonexistent-dir/trace.nx"), std::runtime_error);
}

// Random messages of fixed and variable fields, read back field by field
// with the decoder's readers: every value, every message end and the final
// end of the input must come back as written.
TEST(NexusWriter, RoundTripThroughFieldReaders) {
  struct field {
    bool fixed;
    unsigned width;
    uint64_t value;
  };
  std::mt19937_64 rng(12345);
  for (unsigned src_width : {0u, 1u, 2u}) {
    nexus_writer_t w(true, src_width);
    std::vector<std::vector<field>> messages;
    std::vector<unsigned> tcodes;
    std::vector<uint64_t> srcs;
    for (int m = 0; m < 200; ++m) {
      const unsigned tcode = rng() % 64;
      const uint64_t src = src_width ? rng() % (1u << src_width) : 0;
      if (rng() % 4 == 0) w.idle(1 + rng() % 3);
      w.begin(tcode, src);
      std::vector<field> fields;
      const int n = 1 + rng() % 6;
      bool seen_var = false;
      for (int f = 0; f < n; ++f) {
        // Fixed fields come before variable ones, as in every message type.
        const bool fixed = !seen_var && rng() % 2;
        const unsigned width = fixed ? 1 + rng() % 16 : 0;
        uint64_t value = rng() >> (rng() % 64);
        if (fixed) value &= ~uint64_t(0) >> (64 - width);
        if (fixed) w.fixed(width, value); else w.var(value);
        seen_var |= !fixed;
        fields.push_back({fixed, width, value});
      }
      if (!seen_var) {
        w.var(7);
        fields.push_back({false, 0, 7});
      }
      w.end();
      messages.push_back(fields);
      tcodes.push_back(tcode);
      srcs.push_back(src);
    }
    temp_trace_file_t file(w.bytes());
    nexus_decoder_t d(64, true, src_width);
    ASSERT_TRUE(acc::open(d, file.path()));
    for (size_t m = 0; m < messages.size(); ++m) {
      ASSERT_EQ(acc::next_tcode(d), static_cast<int>(tcodes[m])) << "message " << m;
      ASSERT_EQ(acc::fixed_field(d, src_width), srcs[m]) << "message " << m;
      for (size_t f = 0; f < messages[m].size(); ++f) {
        const field& fl = messages[m][f];
        const uint64_t got = fl.fixed ? acc::fixed_field(d, fl.width) : acc::variable_field(d);
        ASSERT_EQ(got, fl.value) << "message " << m << " field " << f;
        // A fixed field sees the end bits of a slice it may share with the
        // next field, so only a variable field tells where the message ends.
        if (!fl.fixed) {
          ASSERT_EQ(acc::end_of_message(d), f + 1 == messages[m].size())
              << "message " << m << " field " << f;
        }
      }
      ASSERT_EQ(acc::bit_cursor(d), 0u);
    }
    EXPECT_EQ(acc::next_tcode(d), -1);
  }
}
