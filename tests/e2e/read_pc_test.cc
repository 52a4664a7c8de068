// The PC-file reader of the comparison loop and the --skip-range value type,
// tested on their own: PC files and range texts that the programs cannot be
// made to produce from outside.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "compare.h"
#include "et_reader.h"
#include "et_records.h"
#include "run_program.h"
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

// The text as a PC file read through a file buffer of `size` bytes, which
// refills every few characters: PCs and white space then straddle refills.
struct small_buffer_file {
  small_buffer_file(const std::string& text, size_t size) : buffer(size) {
    test_support::write_file(dir.file("pcs"), text);
    in.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    in.open(dir.file("pcs"));
  }
  test_support::temp_dir dir;
  std::vector<char> buffer;
  std::ifstream in;
};

// The PCs read in hexadecimal, then "end" or "failure".
std::string outcome(std::istream& in) {
  std::ostringstream out;
  out << std::hex;
  uint64_t pc = 0;
  try {
    for (int guard = 0; guard < 100; ++guard) {
      if (read_next_pc(in, pc, {})) return out.str() + "end";
      out << pc << ' ';
    }
    return out.str() + "never ends";
  } catch (const std::runtime_error&) {
    return out.str() + "failure";
  }
}

// Text other than plain digits (a leading zero, "0x", a sign) is read by the
// stream's own extraction, between PCs read straight from the buffer.
TEST(ReadNextPc, SameResultWhateverTheBufferHoldsAtATime) {
  struct row {
    const char* text;
    const char* read;
  };
  const row rows[] = {
      {"80000000\n80000004\n", "80000000 80000004 end"},
      {"FFFFFFFFFFFFFFFF\n1\n", "ffffffffffffffff 1 end"},
      {"abcdef\nABCDEF\n", "abcdef abcdef end"},
      {"10 20\t30\r\n\n", "10 20 30 end"},
      {"10\n\n  \n", "10 end"},
      {"0\n10\n00A\n", "0 10 a end"},
      {"0x1F\n20", "1f 20 end"},
      {"+1\n-1\n", "1 ffffffffffffffff end"},
      {"0000000000000000001\n", "1 end"},
      {"10\n0xg\n", "10 failure"},
      {"0x\n", "failure"},
      {"-\n", "failure"},
      {"10g\n", "10 failure"},
      {"1234567890ABCDEF1\n", "failure"},
      {"10\n1234567890ABCDEF1", "10 failure"},
  };
  for (const row& r : rows) {
    std::istringstream whole(r.text);
    EXPECT_EQ(outcome(whole), r.read) << r.text;
    for (size_t size : {2, 3, 4, 6, 9}) {
      small_buffer_file file(r.text, size);
      EXPECT_EQ(outcome(file.in), r.read) << r.text << " with a buffer of " << size;
    }
  }
}

// The comparison reads the whole PC file with one reader: text read by the
// stream in between must leave it at the right place.
TEST(CompareTraces, ReadsPcsAcrossTextTheStreamReads) {
  class list_reader : public et_reader_t {
   public:
    explicit list_reader(const std::vector<uint64_t>& pcs) {
      for (uint64_t pc : pcs) {
        et_object_t o;
        std::memset(static_cast<void*>(&o), 0, sizeof(o));
        o.type = ET_KIND_INSN;
        o.insn.pc = pc;
        o.insn.insn = 0x00a50513;  // addi
        o.insn.committed = true;
        records.push_back(o);
      }
    }
    et_object_t* get_next_object() override {
      return next < records.size() ? &records[next++] : nullptr;
    }

   private:
    std::vector<et_object_t> records;
    size_t next = 0;
  };
  const std::vector<uint64_t> pcs = {0x10, 0x14, 0x18, 0x1c, 0x20};
  for (size_t size : {2, 4, 64}) {
    small_buffer_file file("10\n0x14\n18\n+1C\n20\n", size);
    list_reader same(pcs);
    EXPECT_EQ(compare_traces(same, file.in, {}, ~0ULL), 0) << size;
  }
  std::istringstream in("10\n0x14\n18\n+1C\n24\n");
  list_reader other(pcs);
  EXPECT_EQ(compare_traces(other, in, {}, ~0ULL), -1);
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
