#include "et_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string temp_path(const std::string& tag) {
  static int counter = 0;
  return testing::TempDir() + "et_writer_test_" + std::to_string(getpid()) + "_" + tag + "_" +
         std::to_string(counter++) + ".swt";
}

std::vector<unsigned char> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(EtWriter, LoneTsd1IsPaddedToOneWord) {
  const std::string path = temp_path("tsd1");
  { et_writer_t w(path, 0); w.record_tsd1(5); }
  EXPECT_EQ(read_file(path), (std::vector<unsigned char>{0x10, 0x05, 0x10, 0x00, 0x10, 0x00, 0x10, 0x00}));
  unlink(path.c_str());
}

TEST(EtWriter, HartThenIssueRecordLayout) {
  const std::string path = temp_path("is");
  {
    et_writer_t w(path, 0);
    w.record_swt_hart(3);
    w.record_swt_is(0, 3, 0x13);
  }
  const std::vector<unsigned char> bytes = read_file(path);
  // SWT_HART (2 bytes), SWT_IS at byte 2 for 11 bytes: piid 0, mode 3 in bits
  // 10-11, insn from bit 12. 13 bytes pending give an odd count at close: the
  // padding TSD1 records are written completely (17 bytes, no lone code byte).
  const std::vector<unsigned char> expect = {0x20, 0x03, 0x21, 0x00, 0x3c, 0x01, 0, 0, 0,
                                             0,    0,    0,    0,    0x10, 0x00, 0x10, 0x00};
  EXPECT_EQ(bytes, expect);
  unlink(path.c_str());
}

TEST(EtWriter, WholeWordIsWrittenWithoutPadding) {
  const std::string path = temp_path("word");
  { et_writer_t w(path, 0); w.append(0x0123456789abcdefull, 64); }
  EXPECT_EQ(read_file(path), (std::vector<unsigned char>{0xef, 0xcd, 0xab, 0x89, 0x67, 0x45, 0x23, 0x01}));
  unlink(path.c_str());
}

TEST(EtWriter, CommitFlagsCarryTrapInterruptAndCause) {
  const std::string path = temp_path("cm");
  {
    et_writer_t w(path, 0);
    w.configure(64, 64, 64, 64, 56);
    w.record_swt_cm(0, 0, false, true, 0x8000000000000007ull, false);
  }
  const std::vector<unsigned char> bytes = read_file(path);
  ASSERT_GE(bytes.size(), 11u);
  // code 8, piid 10, pc 64, then flags from stream bit 82 (byte 10, bit 2):
  // fr_cm 0, trap 1, interrupt 1, cause 7, trigger 0.
  const unsigned flags = (bytes[10] >> 2) | (bytes[11] << 6);
  EXPECT_EQ(bytes[0], 46);
  EXPECT_EQ(flags & 0x3ff, (1u << 1) | (1u << 2) | (7u << 3));
  unlink(path.c_str());
}

TEST(EtWriter, RejectsWidthsOutsideOneToSixtyFour) {
  const std::string path = temp_path("cfg");
  et_writer_t w(path, 0);
  EXPECT_THROW(w.configure(0, 64, 64, 64, 40), std::runtime_error);
  EXPECT_THROW(w.configure(64, 64, 65, 64, 40), std::runtime_error);
  EXPECT_NO_THROW(w.configure(32, 64, 32, 32, 34));
  unlink(path.c_str());
}

// A trace of n instructions with a commit each; long enough to make the
// window wrap many times.
void write_trace(et_writer_t& w, unsigned n) {
  w.configure(64, 64, 64, 64, 40);
  w.record_swt_hart(0);
  for (unsigned i = 0; i < n; ++i) {
    w.record_swt_is(i & 1023, 3, 0x13 + (uint64_t(i) << 20));
    w.record_tsd1(1);
    w.record_swt_irfwa(i & 1023, i % 32);
    w.record_swt_cm(i & 1023, 0x1000 + 4 * i, false, false, 0, false);
  }
}

struct window_case_t {
  unsigned insns;
  unsigned long window;
};

void PrintTo(const window_case_t& c, std::ostream* os) { *os << c.insns << " instructions, window " << c.window; }

class EtWriterWindow : public testing::TestWithParam<window_case_t> {};

// The window file is the end of the direct-mode stream: from the oldest sync
// issue record still inside the ring, or from the ring's oldest byte when none
// is, or the whole stream when the ring never wrapped.
TEST_P(EtWriterWindow, KeepsTheEndOfTheStream) {
  const window_case_t c = GetParam();
  const std::string direct_path = temp_path("direct");
  const std::string window_path = temp_path("window");
  { et_writer_t w(direct_path, 0); write_trace(w, c.insns); }
  { et_writer_t w(window_path, c.window); write_trace(w, c.insns); }
  const std::vector<unsigned char> full = read_file(direct_path);
  const std::vector<unsigned char> kept = read_file(window_path);
  const unsigned long ring = (c.window + 7) / 8 * 8;
  ASSERT_FALSE(kept.empty());
  ASSERT_LE(kept.size(), full.size());
  EXPECT_LE(kept.size(), ring + 1);  // at most one straddling padding byte after the ring
  EXPECT_TRUE(std::equal(kept.begin(), kept.end(), full.end() - kept.size())) << "not a suffix of the stream";

  // Every instruction takes 11 + 2 + 3 + 12 = 28 bytes after the 2-byte hart record.
  const unsigned long stream = full.size();
  if (stream <= ring) {
    EXPECT_EQ(kept.size(), full.size());
  } else if (ring >= 256 * 28 + 64) {
    // A sync point (the 256th, 512th, ... issue record) lies in the ring:
    // the file starts with it.
    EXPECT_EQ(kept[0], 33);
    const unsigned piid = (kept[1] | (kept[2] << 8)) & 0x3ff;
    EXPECT_EQ(piid % 256, 255u);
    const unsigned long start = full.size() - kept.size();
    EXPECT_EQ((start - 2) % 28, 0u);
  }
  unlink(direct_path.c_str());
  unlink(window_path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Sizes, EtWriterWindow,
                         testing::Values(window_case_t{10, 4096},       // never wraps
                                         window_case_t{1000, 64 * 28},  // no sync point fits: last ring bytes
                                         window_case_t{5000, 10000},    // rounded up to 10000 (already /8)
                                         window_case_t{5000, 20001},    // not a multiple of 8: rounded up
                                         window_case_t{20000, 65536}, window_case_t{3000, 8 * 28 * 256}));

TEST(EtWriterWindow, SizeIsRoundedUpToWholeWords) {
  const std::string a = temp_path("r8");
  const std::string b = temp_path("r5");
  { et_writer_t w(a, 8000); write_trace(w, 2000); }
  { et_writer_t w(b, 7993); write_trace(w, 2000); }
  EXPECT_EQ(read_file(a), read_file(b));
  unlink(a.c_str());
  unlink(b.c_str());
}

}  // namespace
