#include "mh_rvt_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "et_writer.h"
#include "run_program.h"

namespace {

using test_support::temp_dir;

std::string rvt(uint64_t word) {
  std::string s(1, char(31));
  for (int i = 0; i < 8; ++i) s += char(word >> (8 * i));
  return s;
}

std::string tsd1(uint8_t delta) { return std::string(1, char(16)) + char(delta); }

std::string le_bytes(const std::vector<uint64_t>& words) {
  std::string s;
  for (uint64_t w : words)
    for (int i = 0; i < 8; ++i) s += char(w >> (8 * i));
  return s;
}

std::string extract_all(mh_rvt_reader_t& r, unsigned long chunk) {
  std::string out;
  std::vector<char> buf(chunk + 16, '#');
  for (;;) {
    const int64_t n = r.extract(buf.data(), chunk);
    EXPECT_GE(n, 0);
    EXPECT_LE(uint64_t(n), chunk);
    for (size_t i = chunk; i < buf.size(); ++i) EXPECT_EQ(buf[i], '#') << "written past len";
    out.append(buf.data(), size_t(n));
    if (uint64_t(n) < chunk) return out;
  }
}

class RvtReader : public ::testing::Test {
 protected:
  std::string make(const std::string& bytes) {
    const std::string path = dir.file("t" + std::to_string(count++) + ".swt");
    test_support::write_file(path, bytes);
    return path;
  }
  temp_dir dir;
  int count = 0;
};

TEST_F(RvtReader, WordsInFileOrderAcrossCallsAndShortBuffers) {
  const std::vector<uint64_t> words = {0x0807060504030201, 0x1111111111111111, 0xfedcba9876543210};
  const std::string file = make(tsd1(3) + rvt(words[0]) + tsd1(0) + rvt(words[1]) + rvt(words[2]) + tsd1(9));
  for (unsigned long chunk : {1ul, 3ul, 7ul, 8ul, 9ul, 16ul, 100ul}) {
    mh_rvt_reader_t r(file, 64, 64, 40, 64);
    EXPECT_EQ(extract_all(r, chunk), le_bytes(words)) << "chunk " << chunk;
  }
}

TEST_F(RvtReader, ZeroLengthReadsNothing) {
  const std::string file = make(rvt(0x42) + std::string(1, char(0)));
  mh_rvt_reader_t r(file, 64, 64, 40, 64);
  char b[8];
  EXPECT_EQ(r.extract(b, 0), 0);
  EXPECT_EQ(r.extract(b, 0), 0);
  // A split word is finished before the bad code byte is even read.
  EXPECT_EQ(r.extract(b, 5), 5);
  EXPECT_EQ(r.extract(b, 3), 3);
  EXPECT_THROW(r.extract(b, 1), std::runtime_error);
}

TEST_F(RvtReader, EmptyFileAndCutRecords) {
  char b[32];
  {
    mh_rvt_reader_t r(make(""), 64, 64, 40, 64);
    EXPECT_EQ(r.extract(b, sizeof(b)), 0);
  }
  // The file ends inside the second rvt record: its bytes do not count, and
  // later calls find the end again.
  {
    mh_rvt_reader_t r(make(rvt(0xaaaa) + rvt(0xbbbb).substr(0, 5)), 64, 64, 40, 64);
    EXPECT_EQ(r.extract(b, sizeof(b)), 8);
    EXPECT_EQ(r.extract(b, sizeof(b)), 0);
  }
  // ... or inside a record that is stepped over.
  {
    mh_rvt_reader_t r(make(rvt(0xcccc) + std::string(1, char(33)) + "abc"), 64, 64, 40, 64);
    EXPECT_EQ(r.extract(b, sizeof(b)), 8);
  }
  // A lone code byte at the end.
  {
    mh_rvt_reader_t r(make(std::string(1, char(31))), 64, 64, 40, 64);
    EXPECT_EQ(r.extract(b, sizeof(b)), 0);
  }
}

TEST_F(RvtReader, UnknownCodesNameTheirOffset) {
  struct {
    std::string bytes;
    const char* message;
  } cases[] = {
      {std::string(1, char(0)), "Unknown header: 0 at position 0!"},
      {tsd1(1) + rvt(1) + std::string(1, char(64)), "Unknown header: 64 at position 11!"},  // L2T
      {tsd1(1) + std::string(1, char(81)), "Unknown header: 81 at position 2!"},             // DCT
      {std::string(1, char(255)), "Unknown header: 255 at position 0!"},
  };
  for (const auto& c : cases) {
    mh_rvt_reader_t r(make(c.bytes), 64, 64, 40, 64);
    char b[64];
    try {
      r.extract(b, sizeof(b));
      ADD_FAILURE() << c.message;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

// Instruction records as the swt writer lays them out, with rvt words between
// them: the extractor must step over each one by exactly its length.
TEST_F(RvtReader, StepsOverEveryInstructionRecord) {
  struct widths_t {
    int xlen, flen, irf, pa;
  } designs[] = {{64, 64, 64, 40}, {32, 32, 32, 34}, {32, 64, 33, 56}, {64, 32, 1, 64}, {1, 1, 1, 1}};
  for (const widths_t& d : designs) {
    const std::string part = dir.file("part.swt");
    {
      et_writer_t w(part, 0);
      w.configure(d.xlen, d.flen, d.irf, d.xlen, d.pa);
      w.record_tsd1(1);
      w.record_swt_hart(0);
      w.record_swt_is(0, 3, 0x13);
      w.record_swt_irfra(0, 1, 5);
      w.record_swt_irfrd(0, 1, ~0ul);
      w.record_swt_irfwa(0, 6);
      w.record_swt_irfwd(0, ~0ul);
      w.record_swt_frfra(0, 5, 7);
      w.record_swt_frfrd(0, 5, ~0ul);
      w.record_swt_frfwa(0, 8);
      w.record_swt_frfwd(0, ~0ul);
      w.record_swt_fr(0, true);
      w.record_swt_va(0, ~0ul);
      w.record_swt_pa(0, ~0ul);
      w.record_swt_std(0, ~0ul);
      w.record_swt_cm(0, ~0ul, true, true, 5, true);
    }
    const std::string insns = test_support::read_file(part);
    ASSERT_FALSE(insns.empty());
    const std::string file = make(rvt(1) + insns + rvt(2) + insns + rvt(3));
    mh_rvt_reader_t r(file, d.xlen, d.flen, unsigned(d.pa), unsigned(d.irf));
    EXPECT_EQ(extract_all(r, 64), le_bytes({1, 2, 3})) << d.xlen << " " << d.flen << " " << d.irf << " " << d.pa;
  }
}

TEST_F(RvtReader, OpeningAndParameterErrors) {
  try {
    mh_rvt_reader_t r(dir.file("missing.swt"), 64, 64, 40, 64);
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Error: fail to open trace file: " + dir.file("missing.swt") + ": No such file or directory");
  }
  const std::string file = make(rvt(1));
  EXPECT_THROW(mh_rvt_reader_t(file, 0, 64, 40, 64), std::runtime_error);
  EXPECT_THROW(mh_rvt_reader_t(file, -8, 64, 40, 64), std::runtime_error);
  EXPECT_THROW(mh_rvt_reader_t(file, 64, 65, 40, 64), std::runtime_error);
  EXPECT_THROW(mh_rvt_reader_t(file, 64, 64, 0, 64), std::runtime_error);
  EXPECT_THROW(mh_rvt_reader_t(file, 64, 64, 40, 1000), std::runtime_error);

  mh_rvt_reader_t r(file, 64, 64, 40, 64);
  try {
    r.get_next_object();
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Not suitable call");
  }
  r.dump_window();
}

}  // namespace
