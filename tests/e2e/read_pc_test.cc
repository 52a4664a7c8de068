// The PC-file reader of the comparison loop and the --skip-range value type,
// tested on their own: PC files and range texts that the programs cannot be
// made to produce from outside.

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "compare.h"
#include "skip_range.h"

namespace {

std::vector<SkipRangeArg> ranges(const std::vector<std::string>& texts) {
  std::vector<SkipRangeArg> out;
  for (const std::string& t : texts) {
    SkipRangeArg r;
    r = t;
    out.push_back(r);
  }
  return out;
}

// Every PC read_next_pc hands out, then whether the end was reported.
std::vector<uint64_t> read_all(const std::string& text, const std::vector<SkipRangeArg>& skip) {
  std::istringstream in(text);
  std::vector<uint64_t> pcs;
  uint64_t pc = 0;
  for (int guard = 0; guard < 100; ++guard) {
    if (read_next_pc(in, pc, skip)) return pcs;
    pcs.push_back(pc);
  }
  ADD_FAILURE() << "read_next_pc never reported the end";
  return pcs;
}

TEST(ReadNextPc, ReadsHexLinesAndSkipsRanges) {
  EXPECT_EQ(read_all("80000000\n80000004\nFFFFFFFFFFFFFFFF\n", {}),
            (std::vector<uint64_t>{0x80000000, 0x80000004, ~0ULL}));
  EXPECT_EQ(read_all("", {}), std::vector<uint64_t>{});
  EXPECT_EQ(read_all("\n\n", {}), std::vector<uint64_t>{});
  // Both ends of a range are inside it.
  EXPECT_EQ(read_all("FFF\n1000\n1800\n1FFF\n2000\n", ranges({"0x1000:0x1fff"})),
            (std::vector<uint64_t>{0xfff, 0x2000}));
  // A file that ends inside a skip range ends the trace.
  EXPECT_EQ(read_all("10\n1000\n1004\n", ranges({"4096:8191"})), (std::vector<uint64_t>{0x10}));
}

TEST(ReadNextPc, LastPcWithoutLineEndIsStillRead) {
  EXPECT_EQ(read_all("10\n14", {}), (std::vector<uint64_t>{0x10, 0x14}));
}

TEST(ReadNextPc, TextThatIsNoPcIsAFailureNotAnEnd) {
  struct row {
    const char* text;
    std::vector<std::string> skip;
  };
  const row rows[] = {
      {"10\nxyz\n", {}},
      // The PC before the bad line lies in a skip range: the reader must not
      // keep retrying the same failed read.
      {"1000\nxyz\n", {"0x1000:0x1fff"}},
      {"1000\nxyz\n", {"0:-1"}},
      {"10000000000000000\n", {}},  // more than 64 bits
      {"10\n10000000000000000", {}},
  };
  for (const row& r : rows) {
    std::istringstream in(r.text);
    const std::vector<SkipRangeArg> skip = ranges(r.skip);
    uint64_t pc = 0;
    EXPECT_THROW(
        {
          while (!read_next_pc(in, pc, skip)) {
          }
        },
        std::runtime_error)
        << r.text;
  }
}

TEST(SkipRange, ConvertsCNotation) {
  struct row {
    const char* text;
    uint64_t start;
    uint64_t end;
  };
  const row rows[] = {
      {"0x1000:0x1fff", 0x1000, 0x1fff},
      {"4096:8191", 0x1000, 0x1fff},
      {"010:020", 8, 16},
      {"1:2:3", 1, 2},
      {"0X10: 0x20", 0x10, 0x20},
      {"0x2000:0x1000", 0x2000, 0x1000},
      {"-1:-1", ~0ULL, ~0ULL},
  };
  for (const row& r : rows) {
    SkipRangeArg a;
    a = std::string(r.text);
    EXPECT_EQ(static_cast<uint64_t>(a.start), r.start) << r.text;
    EXPECT_EQ(static_cast<uint64_t>(a.end), r.end) << r.text;
  }
  SkipRangeArg reversed;
  reversed = std::string("0x2000:0x1000");
  EXPECT_FALSE(reversed.contains(0x1800));
  EXPECT_FALSE(reversed.contains(0x2000));
  SkipRangeArg all;
  all = std::string("0:-1");
  EXPECT_TRUE(all.contains(~0ULL));
}

TEST(SkipRange, RefusesOtherTexts) {
  for (const char* text : {"5:", "5", ":5", "", "x:y", "99999999999999999999:1"}) {
    SkipRangeArg a;
    try {
      a = std::string(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const TCLAP::ArgParseException& e) {
      EXPECT_EQ(e.error(), "Invalid skip-range format. Use <start>:<end> format.") << text;
    }
  }
}

}  // namespace
