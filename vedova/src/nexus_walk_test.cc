// End-to-end tests of the decode walk: Nexus traces written with the test
// writer (or encoded from executed PCs with trace_gen) are decoded against
// small RISC-V programs or reference swt traces into a string stream.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "disasm.h"
#include "et_writer.h"
#include "fused_word.h"
#include "insn_ids.h"
#include "mh_swt_reader/mh_swt_reader.h"
#include "nexus_decoder.h"
#include "nexus_writer.h"
#include "soc_accessor.h"
#include "trace_gen.h"

namespace {

enum : unsigned {
  OWNERSHIP = 2,
  DIRECT = 3,
  INDIRECT = 4,
  ERROR_MSG = 8,
  SYNC = 9,
  DIRECT_SYNC = 11,
  INDIRECT_SYNC = 12,
  RESOURCE_FULL = 27,
  HISTORY = 28,
  HISTORY_SYNC = 29,
  REPEAT = 30,
  CORRELATION = 33,
};

std::string data_path(const std::string& name) { return std::string(TRACE_TEST_DATA_DIR) + "/" + name; }
const std::string walk64 = data_path("walk/walk64.elf");
const std::string walk32 = data_path("walk/walk32.elf");
const std::unique_ptr<mh_swt_reader_t> no_reader;

// Message builders over one writer; addresses are given unhalved.
struct trace_t {
  nexus_writer_t w;
  explicit trace_t(bool src_present = false, unsigned src_width = 0) : w(src_present, src_width) {}

  trace_t& sync(uint64_t pc, uint64_t icnt = 0, uint64_t src = 0) {
    w.begin(SYNC, src).fixed(4, 5).var(icnt).var(pc >> 1).end();
    return *this;
  }
  trace_t& direct(uint64_t icnt, uint64_t src = 0) {
    w.begin(DIRECT, src).var(icnt).end();
    return *this;
  }
  trace_t& indirect(uint64_t icnt, uint64_t uaddr, uint64_t src = 0) {
    w.begin(INDIRECT, src).fixed(2, 0).var(icnt).var(uaddr >> 1).end();
    return *this;
  }
  trace_t& history(uint64_t icnt, uint64_t uaddr, uint64_t hist, uint64_t src = 0) {
    w.begin(HISTORY, src).fixed(2, 0).var(icnt).var(uaddr >> 1).var(hist).end();
    return *this;
  }
  trace_t& with_sync(unsigned tcode, uint64_t icnt, uint64_t faddr, uint64_t hist = 1) {
    w.begin(tcode).fixed(4, 1);
    if (tcode != DIRECT_SYNC) w.fixed(2, 0);
    w.var(icnt).var(faddr >> 1);
    if (tcode == HISTORY_SYNC) w.var(hist);
    w.end();
    return *this;
  }
  trace_t& resource_full(unsigned rcode, uint64_t rdata) {
    w.begin(RESOURCE_FULL).fixed(4, rcode).var(rdata).end();
    return *this;
  }
  trace_t& repeat(uint64_t bcnt, uint64_t src = 0) {
    w.begin(REPEAT, src).var(bcnt).end();
    return *this;
  }
  // Correlation without history: walks icnt half-words, the PC stays.
  trace_t& walk(uint64_t icnt, uint64_t src = 0) {
    w.begin(CORRELATION, src).fixed(4, 0).fixed(2, 0).var(icnt).end();
    return *this;
  }
};

struct decode_options {
  unsigned long mask = 1;
  bool nexus_log = false;
  bool disasm_log = false;
  bool metrics_log = false;
  bool stop_on_error = false;
  unsigned long xlen = 64;
  bool src_present = false;
  unsigned long src_width = 0;
};

// Decodes `bytes` into a string; a failure's text goes to *error (or is
// raised again when error is null). The output up to the failure is kept.
std::string decode(const std::vector<uint8_t>& bytes, const std::vector<std::string>& elfs,
                   const decode_options& o = {}, std::string* error = nullptr,
                   const std::unique_ptr<mh_swt_reader_t>& reader = no_reader) {
  temp_trace_file_t file(bytes);
  nexus_decoder_t d(o.xlen, o.src_present, o.src_width);
  if (o.nexus_log) d.enable_nexus_log();
  if (o.disasm_log) d.enable_disasm_log();
  if (o.metrics_log) d.enable_metrics_log();
  std::ostringstream out;
  try {
    d.decode(o.mask, out, file.path(), elfs, reader, o.stop_on_error);
  } catch (const std::runtime_error& e) {
    if (!error) throw;
    *error = e.what();
  }
  return out.str();
}

std::string lines(const std::vector<std::string>& pcs) {
  std::string s;
  for (const std::string& pc : pcs) s += pc + "\n";
  return s;
}

// Captures what the decoder writes to standard output.
class cout_capture_t {
 public:
  cout_capture_t() : old(std::cout.rdbuf(text.rdbuf())) {}
  ~cout_capture_t() { std::cout.rdbuf(old); }
  std::string str() const { return text.str(); }

 private:
  std::ostringstream text;
  std::streambuf* old;
};

// ---------------------------------------------------------------------------
// Walks over walk64.elf (see tests/data/walk/walk64.s for the addresses).

struct walk_case {
  const char* name;
  std::vector<uint8_t> trace;
  std::vector<std::string> pcs;
};

std::vector<walk_case> walk_cases() {
  std::vector<walk_case> cases;
  {
    // Branch mode: every taken conditional branch ends a Direct Branch
    // message; jal, c.j mid-walk; not-taken branches with an empty history.
    trace_t t;
    t.sync(0x10000)
        .direct(6)    // 10000 10004 10008(bne taken) -> 10004
        .direct(4)    // 10004 10008(bne taken) -> 10004
        .direct(8)    // 10004 10008(not taken) 1000c(jal) 10014 10016(c.bnez taken) -> 1001c
        .direct(2)    // 1001c(c.j) 10022(c.beqz taken, back) -> 1001c
        .direct(4)    // 1001c(c.j) 10022(not taken) 10024(beq taken, back) -> 10014
        .indirect(10, 0)  // 10014 10016 10018 1001a 1001c 10022 10024 10028(jalr) -> 10000
        .walk(2);     // 10000
    cases.push_back({"DirectAndIndirectBranches", t.w.bytes(),
                     {"10000", "10004", "10008", "10004", "10008", "10004", "10008", "1000C", "10014",
                      "10016", "1001C", "10022", "1001C", "10022", "10024", "10014", "10016", "10018",
                      "1001A", "1001C", "10022", "10024", "10028", "10000"}});
  }
  {
    // History mode: the same path decided by history bits, oldest first:
    // bne 1, bne 0, c.bnez 0, c.beqz 1, c.beqz 0, beq 0; the jalr goes to
    // 10200, where two compressed instructions end the .far section.
    trace_t t;
    t.sync(0x10000).history(24, 0x10200 ^ 0x10000, 0b1100100).walk(2);
    cases.push_back({"HistoryBranch", t.w.bytes(),
                     {"10000", "10004", "10008", "10004", "10008", "1000C", "10014", "10016", "10018",
                      "1001A", "1001C", "10022", "1001C", "10022", "10024", "10028", "10200", "10202"}});
  }
  {
    // Resource Full with a history: walks until the branch that takes the
    // last history bit, whatever the count; the PC moves past it.
    trace_t t;
    t.sync(0x10000).resource_full(1, 0b110).walk(2);
    cases.push_back({"ResourceFullHistory", t.w.bytes(),
                     {"10000", "10004", "10008", "10004", "10008", "1000C"}});
  }
  {
    // Resource Full with an I-CNT: the history is empty, so the walk ends
    // after the first instruction that is not a conditional branch (a
    // branch first empties the history to 0 and the whole count is run).
    trace_t t;
    t.sync(0x10000).resource_full(0, 100).walk(2).sync(0x10008).resource_full(0, 6);
    cases.push_back({"ResourceFullCount", t.w.bytes(),
                     {"10000", "10004", "10008", "1000C", "10014", "10016"}});
  }
  {
    // Repeat Branch: each repeat walks the last Direct Branch's count from
    // where the previous one ended; BCNT 0 walks nothing.
    trace_t t;
    t.sync(0x10004).direct(4).repeat(3).repeat(0).walk(2);
    cases.push_back({"RepeatAfterDirect", t.w.bytes(),
                     {"10004", "10008", "10004", "10008", "10004", "10008", "10004", "10008", "10004"}});
  }
  {
    // Repeat Branch after an Indirect or History Branch computes U-ADDR
    // XOR F-ADDR again from the target just reached: here it goes back to
    // 10000 instead of repeating the jump to 10028.
    trace_t t;
    t.sync(0x10000).history(2, 0x28, 1).repeat(1).walk(2);
    cases.push_back({"RepeatAfterHistory", t.w.bytes(), {"10000", "10028", "10000"}});
  }
  {
    // The sync forms walk their count and then go to F-ADDR.
    trace_t t;
    t.sync(0x10000)
        .with_sync(DIRECT_SYNC, 2, 0x10014)
        .with_sync(INDIRECT_SYNC, 1, 0x1001c)
        .with_sync(HISTORY_SYNC, 1, 0x10200)
        .sync(0x10004, 2)
        .walk(2);
    cases.push_back({"SyncForms", t.w.bytes(), {"10000", "10014", "1001C", "10200", "10202", "10004"}});
  }
  {
    // Words that decode to nothing move the PC by their length (4, 6, 8);
    // an instruction longer than the half-words left ends the walk on it.
    trace_t t;
    t.sync(0x1002c).walk(2 + 3 + 4 + 2 + 1).sync(0x10000).walk(3).walk(2);
    cases.push_back({"LengthsAndShortCount", t.w.bytes(),
                     {"1002C", "10030", "10036", "1003E", "10200", "10000", "10004", "10004"}});
  }
  {
    // Messages that carry no walk of their own leave the PC alone; an
    // Error message does not stop a decode that is not asked to.
    trace_t t;
    t.sync(0x10000);
    t.w.begin(OWNERSHIP).var(0xc).end(0x10);
    t.w.begin(ERROR_MSG).fixed(4, 1).var(2).end();
    t.w.idle(3);
    t.walk(2);
    cases.push_back({"OwnershipErrorIdle", t.w.bytes(), {"10000"}});
  }
  return cases;
}

void PrintTo(const walk_case& c, std::ostream* os) { *os << c.name; }

class DecodeWalk : public testing::TestWithParam<walk_case> {};

TEST_P(DecodeWalk, WritesTheExecutedPcs) {
  EXPECT_EQ(decode(GetParam().trace, {walk64}), lines(GetParam().pcs));
}

INSTANTIATE_TEST_SUITE_P(Walk64, DecodeWalk, testing::ValuesIn(walk_cases()),
                         [](const testing::TestParamInfo<walk_case>& i) { return std::string(i.param.name); });

TEST(DecodeWalkElf, RepeatOfAnEmptyWalkAppliesOnlyTheParityOfItsCount) {
  // After an Indirect Branch with I-CNT 0 every repeat walks nothing and
  // XORs U-ADDR into the PC once more: an odd count goes back to 10000, an
  // even one stays at 10028. The largest counts must not take billions of
  // rounds.
  const struct {
    uint64_t bcnt;
    const char* pc;
  } cases[] = {{1, "10000"}, {2, "10028"}, {3, "10000"}, {0xFFFFFFFE, "10028"}, {0xFFFFFFFF, "10000"}};
  for (const auto& c : cases) {
    trace_t t;
    t.sync(0x10000).indirect(0, 0x28).repeat(c.bcnt).walk(2);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(decode(t.w.bytes(), {walk64}), lines({c.pc})) << "BCNT " << c.bcnt;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 1.0)
        << "BCNT " << c.bcnt;
  }
}

// Refuses every write after `limit` bytes, so that a walk that never ends
// fails the decode instead of filling the memory.
class bounded_buf_t : public std::streambuf {
 public:
  explicit bounded_buf_t(size_t limit) : left(limit) {}
  std::string text;

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (left == 0) return traits_type::eof();
    --left;
    text += traits_type::to_char_type(c);
    return c;
  }

 private:
  size_t left;
};

TEST(DecodeWalkElf, ResourceFullHistoryWalkThatLoopsWithoutBranchesFails) {
  // rv64_two_load.elf ends in the self-loop "lynx_gdb_exit: j ." at
  // 8000001c. A history walk there never uses a bit of its history; with a
  // count (RCODE 0) the same loop is walked for the count.
  const std::string elf = data_path("elf/rv64_two_load.elf");
  {
    trace_t t;
    t.sync(0x8000001c).resource_full(1, 0b110);
    temp_trace_file_t file(t.w.bytes());
    nexus_decoder_t d(64, false, 0);
    bounded_buf_t buf(1 << 16);
    std::ostream out(&buf);
    try {
      d.decode(1, out, file.path(), {elf}, no_reader, false);
      ADD_FAILURE() << "decode ended without an error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Resource Full walk loops at pc=0x8000001c without using up its history");
    }
    EXPECT_LT(buf.text.size(), 100u);
    EXPECT_EQ(buf.text.substr(0, 9), "8000001C\n");
  }
  {
    trace_t t;
    t.sync(0x80000014).resource_full(0, 12);
    EXPECT_EQ(decode(t.w.bytes(), {elf}),
              lines({"80000014", "80000018", "8000001A", "8000001C", "8000001C", "8000001C", "8000001C"}));
  }
}

TEST(DecodeWalkElf, ThirtyTwoBitProgram) {
  const disassembler_t rv32(32);
  const disasm_insn_t* p = rv32.get_disasm(0x2011);
  if (!p || p->insn_id != ID_C_JAL) GTEST_SKIP() << "the RV32 pattern table does not know c.jal yet";
  // c.jal mid-walk, blt taken then not, jalr back to the c.nop after c.jal.
  trace_t t;
  t.sync(0x20000).history(12, 0x20004 ^ 0x20000, 0b110).walk(1);
  decode_options o;
  o.xlen = 32;
  EXPECT_EQ(decode(t.w.bytes(), {walk32}, o),
            lines({"20000", "20002", "20006", "2000A", "20006", "2000A", "2000E", "20004"}));
}

TEST(DecodeWalkElf, ThirtyTwoBitProgramWithoutCompressedJumps) {
  trace_t t;
  t.sync(0x20006).history(10, 0x20004 ^ 0x20006, 0b110).walk(1);
  decode_options o;
  o.xlen = 32;
  EXPECT_EQ(decode(t.w.bytes(), {walk32}, o), lines({"20006", "2000A", "20006", "2000A", "2000E", "20004"}));
}

TEST(DecodeWalkElf, BigEndianProgramIsFetchedAsLittleEndianWords) {
  // 80000004 is "j ." : the walk stays on it.
  trace_t t;
  t.sync(0x80000000).walk(6);
  EXPECT_EQ(decode(t.w.bytes(), {data_path("elf/rv64_be.elf")}),
            lines({"80000000", "80000004", "80000004"}));
}

TEST(DecodeWalkElf, TwoSourcesWithSrcAndMask) {
  // Source 1 loops in walk64, source 2 walks walk32; each has its own PC.
  trace_t t(true, 2);
  t.sync(0x10004, 0, 1).sync(0x20006, 0, 2).direct(4, 1).walk(2, 2).direct(4, 1).walk(4, 2);
  decode_options o;
  o.src_present = true;
  o.src_width = 2;
  o.mask = 0b110;
  EXPECT_EQ(decode(t.w.bytes(), {walk64, walk32}, o),
            lines({"10004", "10008", "20006", "10004", "10008", "20006", "2000A"}));
  o.mask = 0b100;
  EXPECT_EQ(decode(t.w.bytes(), {walk64, walk32}, o), lines({"20006", "20006", "2000A"}));
  o.mask = 0b001;
  EXPECT_EQ(decode(t.w.bytes(), {walk64, walk32}, o), "");
}

TEST(DecodeWalkElf, DisassemblyAndCountColumns) {
  const disassembler_t rv64(64);
  trace_t t;
  t.sync(0x1002c).walk(2).sync(0x10014).walk(2).sync(0x10200).walk(2);
  decode_options o;
  o.disasm_log = true;
  const std::string out = decode(t.w.bytes(), {walk64}, o);
  // A word of no pattern shows "unknown"; a 16-bit instruction shows the
  // following half-word above it, except at the end of its section.
  ASSERT_EQ(rv64.get_disasm(0x0000000b), nullptr);
  EXPECT_EQ(out, "1002C\t|0000000b|\t unknown\n"
                 "10014\t|e1994585|\t " + rv64.disassemble(0xe1994585) + "\n"
                 "10016\t|0001e199|\t " + rv64.disassemble(0x0001e199) + "\n"
                 "10200\t|00010001|\t " + rv64.disassemble(0x00010001) + "\n"
                 "10202\t|00000001|\t " + rv64.disassemble(0x00000001) + "\n");

  // With message logging too, each line also shows ICNT and HIST before the
  // instruction is counted.
  trace_t r;
  r.sync(0x10000).resource_full(1, 0b11);
  o.nexus_log = true;
  const std::string logged = decode(r.w.bytes(), {walk64}, o);
  EXPECT_NE(logged.find("\n10000\t|00200513|\t " + rv64.disassemble(0x00200513) +
                        "\t\t| ICNT=0xFFFFFFFFFFFFFFFF, HIST=0x3\n"),
            std::string::npos)
      << logged;
  EXPECT_NE(logged.find("\n10008\t|fe051ee3|\t " + rv64.disassemble(0xfe051ee3) +
                        "\t\t| ICNT=0xFFFFFFFFFFFFFFFB, HIST=0x3\n"),
            std::string::npos)
      << logged;
}

// The message dump of `bytes`: each byte as "0x", hexadecimal digits and a
// blank.
std::string dump(const std::vector<uint8_t>& bytes, bool upper) {
  std::string s;
  char buf[8];
  for (uint8_t b : bytes) {
    snprintf(buf, sizeof buf, upper ? "0x%X " : "0x%x ", b);
    s += buf;
  }
  return s;
}

TEST(DecodeWalkElf, MessageDumpsAndTexts) {
  trace_t t;
  t.w.idle(1);
  t.sync(0x10000).direct(6);
  t.w.idle(1);
  t.direct(4);
  decode_options o;
  o.nexus_log = true;
  // Dump digits are lower case until the first instruction line.
  EXPECT_EQ(decode(t.w.bytes(), {walk64}, o),
            "0xff 0x24 0x15 0x0 0x0 0x23 \n"
            "Synchronization msg:  SRC = 0x0  SYNC = 0x5 I-CNT = 0x0 F-ADDR = 0x10000 GLOBAL TSTAMP = 0x0\n"
            "\n"
            "0xc 0x1b \n"
            "Direct Branch msg: SRC = 0x0 I-CNT = 0x6 TSTAMP = 0x0 (GLOBAL TSTAMP = 0x0)\n"
            "10000\n10004\n10008\n"
            "\n"
            "0xFF 0xC 0x13 \n"
            "Direct Branch msg: SRC = 0x0 I-CNT = 0x4 TSTAMP = 0x0 (GLOBAL TSTAMP = 0x0)\n"
            "10004\n10008\n"
            "\n");

  // A source that is not selected shows only its dump bytes, which run on
  // into the next message's dump.
  trace_t s(true, 1);
  s.sync(0x10000, 0, 1);
  const std::string unselected = dump(s.w.bytes(), false);
  s.sync(0x10000, 0, 0);
  const std::string selected = dump(s.w.bytes(), false).substr(unselected.size());
  const size_t before_walk = s.w.bytes().size();
  s.walk(2, 0);
  const std::string walk = dump(std::vector<uint8_t>(s.w.bytes().begin() + before_walk, s.w.bytes().end()), true);
  o.src_present = true;
  o.src_width = 1;
  o.mask = 1;
  EXPECT_EQ(decode(s.w.bytes(), {walk64}, o),
            unselected + selected + "\n"
            "Synchronization msg:  SRC = 0x0  SYNC = 0x5 I-CNT = 0x0 F-ADDR = 0x10000 GLOBAL TSTAMP = 0x0\n"
            "\n" +
                walk + "\n"
            "Correlation msg:  SRC = 0x0 EVCODE = 0x0 I-CNT = 0x2 TSTAMP = 0x0 (GLOBAL TSTAMP = 0x0)\n"
            "10000\n"
            "\n");
}

TEST(DecodeWalkElf, MessageDumpsOfALongTrace) {
  // Messages of many lengths, far more bytes than one read of the file
  // takes, so that messages straddle every kind of boundary; the last one
  // is cut off by the end of the input, which ends the decode quietly.
  // Source 1 is not selected: the output is the dump of every byte.
  trace_t t(true, 1);
  uint64_t v = 1;
  for (int i = 0; i < 6000; ++i) {
    v = v * 6364136223846793005ull + 1442695040888963407ull;
    t.history(v >> (i % 64), (v >> 7) & 0xFFFFFFFE, v >> (i % 61), 1);
    if (i % 97 == 0) t.w.idle(1 + i % 3);
  }
  std::vector<uint8_t> bytes = t.w.bytes();
  bytes.pop_back();
  decode_options o;
  o.nexus_log = true;
  o.src_present = true;
  o.src_width = 1;
  o.mask = 1;
  EXPECT_EQ(decode(bytes, {walk64}, o), dump(bytes, false));
}

struct failure_case {
  const char* name;
  std::vector<uint8_t> trace;
  std::string output;
  std::string error;
  bool stop_on_error = false;
};

std::vector<failure_case> failure_cases() {
  std::vector<failure_case> cases;
  {
    trace_t t;
    t.sync(0x10000).direct(2);
    cases.push_back({"DirectBranchEndsOnAddi", t.w.bytes(), "10000\n",
                     "Taken direct branch failed! topc=0x8 pc=0x10000 chunk=0x200513\n"});
  }
  {
    trace_t t;
    t.sync(0x10000).direct(0);
    cases.push_back({"DirectBranchWithoutInstructions", t.w.bytes(), "",
                     "Taken direct branch failed! topc=0x0 pc=0x10000 chunk=0x0\n"});
  }
  {
    trace_t t;
    t.sync(0x1002c).direct(2);
    cases.push_back({"DirectBranchEndsOnUnknownWord", t.w.bytes(), "1002C\n",
                     "Taken direct branch failed! topc=0xffffffff pc=0x1002c chunk=0xb\n"});
  }
  {
    trace_t t;
    t.sync(0x10000).walk(2).sync(0x10100).walk(2);
    cases.push_back({"PcOutsideEveryChunk", t.w.bytes(), "10000\n10100",
                     "Failed to get chunk from pc. pc = 0x10100"});
  }
  {
    trace_t t;
    t.sync(0x10042).walk(2);
    cases.push_back({"WalkRunsOffTheEndOfText", t.w.bytes(), "10042\n10044",
                     "Failed to get chunk from pc. pc = 0x10044"});
  }
  {
    trace_t t;
    t.sync(0x10000);
    t.w.raw({0x7F});
    cases.push_back({"UnknownTcode", t.w.bytes(), "", "Unknown tcode: 0x1f\n"});
  }
  {
    trace_t t;
    t.sync(0x10000).walk(2);
    t.w.begin(ERROR_MSG).fixed(4, 1).var(2).end();
    t.walk(2);
    cases.push_back({"ErrorMessageStops", t.w.bytes(), "10000\n", "Detected Nexus Error message", true});
  }
  return cases;
}

void PrintTo(const failure_case& c, std::ostream* os) { *os << c.name; }

class DecodeWalkFailure : public testing::TestWithParam<failure_case> {};

TEST_P(DecodeWalkFailure, RaisesItsTextAfterTheLinesSoFar) {
  decode_options o;
  o.stop_on_error = GetParam().stop_on_error;
  o.metrics_log = true;
  std::string error;
  cout_capture_t cout;
  EXPECT_EQ(decode(GetParam().trace, {walk64}, o, &error), GetParam().output);
  EXPECT_EQ(error, GetParam().error);
  EXPECT_EQ(cout.str(), "") << "no metrics after a failure";
}

INSTANTIATE_TEST_SUITE_P(Walk64, DecodeWalkFailure, testing::ValuesIn(failure_cases()),
                         [](const testing::TestParamInfo<failure_case>& i) { return std::string(i.param.name); });

TEST(DecodeWalkSetUp, RefusesMissingInputs) {
  trace_t t;
  t.sync(0x10000).walk(2);
  std::string error;
  EXPECT_EQ(decode(t.w.bytes(), {walk64, data_path("walk/missing.elf")}, {}, &error), "");
  EXPECT_EQ(error, "Can't find or process ELF file: " + data_path("walk/missing.elf"));

  error.clear();
  EXPECT_EQ(decode(t.w.bytes(), {}, {}, &error), "");
  EXPECT_EQ(error, "No source of instruction words: give at least one ELF file or a reference trace");

  nexus_decoder_t d(64, false, 0);
  std::ostringstream out;
  const std::string missing = data_path("walk/missing.nexus");
  try {
    d.decode(1, out, missing, {walk64}, no_reader, false);
    ADD_FAILURE() << "no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Failed to read Nexus trace file: " + missing);
  }
}

TEST(DecodeWalkSetUp, AFailingOutputStreamEndsTheDecode) {
  trace_t t;
  t.sync(0x10000).walk(2);
  temp_trace_file_t file(t.w.bytes());
  nexus_decoder_t d(64, false, 0);
  std::ofstream out;  // never opened: every write fails
  EXPECT_THROW(d.decode(1, out, file.path(), {walk64}, no_reader, false), std::runtime_error);
}

// Takes the first `limit` bytes written to it and refuses the rest.
class limited_buf_t : public std::streambuf {
 public:
  explicit limited_buf_t(size_t limit) : limit_(limit) {}
  const std::string& text() const { return text_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (text_.size() >= limit_) return traits_type::eof();
    text_ += traits_type::to_char_type(c);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const size_t take = std::min(static_cast<size_t>(n), limit_ - text_.size());
    text_.append(s, take);
    return static_cast<std::streamsize>(take);
  }

 private:
  size_t limit_;
  std::string text_;
};

// A walk of 2 * `rounds` lines over the loop at 10004 and 10008, ending in a
// fetch outside the program.
std::vector<uint8_t> long_walk_then_bad_fetch(uint64_t rounds) {
  trace_t t;
  t.sync(0x10004).direct(4).repeat(rounds - 1).sync(0x10100).walk(2);
  return t.w.bytes();
}

std::string long_walk_lines(uint64_t rounds) {
  std::string s;
  for (uint64_t i = 0; i < rounds; ++i) s += "10004\n10008\n";
  return s;
}

TEST(DecodeWalkSetUp, PcsOfEveryWidthInBothCases) {
  // A fetch outside the program leaves the PC in upper case in the file and
  // in lower case in the failure's text.
  const struct {
    uint64_t pc;
    const char* upper;
    const char* lower;
  } cases[] = {
      {0x0, "0", "0"},
      {0xA, "A", "a"},
      {0xABCDEF0, "ABCDEF0", "abcdef0"},
      {0x9ABCDEF0, "9ABCDEF0", "9abcdef0"},
      {0x19ABCDEF0, "19ABCDEF0", "19abcdef0"},
      {0x123456789A, "123456789A", "123456789a"},
      {0xFEDCBA9876543210, "FEDCBA9876543210", "fedcba9876543210"},
      {0x8000000000000000, "8000000000000000", "8000000000000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.upper);
    trace_t t;
    t.sync(c.pc).walk(2);
    std::string error;
    EXPECT_EQ(decode(t.w.bytes(), {walk64}, {}, &error), c.upper);
    EXPECT_EQ(error, std::string("Failed to get chunk from pc. pc = 0x") + c.lower);
  }
}

TEST(DecodeWalkSetUp, AFailureAfterManyLinesLeavesEveryLineAndTheFailedPc) {
  // Far more output than any buffer between the walk and the stream holds.
  const uint64_t rounds = 100000;
  std::string error;
  EXPECT_EQ(decode(long_walk_then_bad_fetch(rounds), {walk64}, {}, &error),
            long_walk_lines(rounds) + "10100");
  EXPECT_EQ(error, "Failed to get chunk from pc. pc = 0x10100");
}

TEST(DecodeWalkSetUp, AStreamThatRefusesBytesEndsTheDecode) {
  const uint64_t rounds = 100000;
  const std::string all = long_walk_lines(rounds);
  temp_trace_file_t file(long_walk_then_bad_fetch(rounds));
  for (const size_t limit : {size_t(0), size_t(5), size_t(70000), all.size() / 2}) {
    SCOPED_TRACE(limit);
    nexus_decoder_t d(64, false, 0);
    limited_buf_t buf(limit);
    std::ostream out(&buf);
    try {
      d.decode(1, out, file.path(), {walk64}, no_reader, false);
      ADD_FAILURE() << "no failure";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "Failed to write the decoded trace");
    }
    EXPECT_TRUE(out.bad());
    EXPECT_EQ(buf.text(), all.substr(0, limit)) << "the bytes taken are the first ones, in order";
  }
}

TEST(DecodeWalkMetrics, CountsBytesMessagesAndInstructions) {
  // 100 Synchronization messages: the first sets the PC, 97 walk four
  // instructions from 10000 and two walk six; idle bytes fill up to 1000.
  trace_t t;
  t.sync(0x10000);
  for (int i = 0; i < 97; ++i) t.sync(0x10000, 8);
  t.sync(0x10000, 10).sync(0x10000, 10);
  t.w.idle(1000 - static_cast<unsigned>(t.w.bytes().size()));
  decode_options o;
  o.metrics_log = true;
  cout_capture_t cout;
  const std::string out = decode(t.w.bytes(), {walk64}, o);
  EXPECT_EQ(out.size(), 400u * 6u);
  EXPECT_EQ(cout.str(),
            "Decoding done:\nBytes: 1000\nMessages: 100\nBytes/msg: 10\nInstructions: 400\nBit/instr: 20\n");
}

TEST(DecodeWalkMetrics, EmptyTrace) {
  decode_options o;
  o.metrics_log = true;
  cout_capture_t cout;
  EXPECT_EQ(decode({}, {walk64}, o), "");
  const std::string m = cout.str();
  EXPECT_EQ(m.rfind("Decoding done:\nBytes: 0\nMessages: 0\nBytes/msg: ", 0), 0u) << m;
  EXPECT_NE(m.find("nan\nInstructions: 0\nBit/instr: "), std::string::npos) << m;
}

// ---------------------------------------------------------------------------
// Walks over a reference swt trace instead of an ELF image.

class swt_file_t {
 public:
  swt_file_t() {
    static int counter = 0;
    path = testing::TempDir() + "nexus_walk_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++) +
           ".swt";
  }
  ~swt_file_t() { std::remove(path.c_str()); }
  std::unique_ptr<mh_swt_reader_t> reader() const {
    return std::make_unique<mh_swt_reader_t>(path, 1, true, true, true, 64, 64, 56, 64, 512, 2, true);
  }
  std::string path;
};

struct swt_insn {
  uint64_t pc;
  uint64_t insn;
  bool trap = false;
  uint64_t cause = 0;
  bool trig = false;
  bool commit = true;
};

void write_swt(const std::string& path, const std::vector<swt_insn>& insns) {
  et_writer_t w(path, 0);
  w.configure(64, 64, 64, 64, 56);
  w.record_swt_hart(0);
  unsigned long piid = 0;
  for (const swt_insn& i : insns) {
    w.record_swt_is(piid, 3, i.insn);
    if (i.commit) w.record_swt_cm(static_cast<unsigned short>(piid), i.pc, false, i.trap, i.cause, i.trig);
    ++piid;
  }
}

const uint64_t interrupt = uint64_t(1) << 63;
// lui a0, 0x12345 + addi a0, a0, 0x678: two 32-bit instructions.
const uint64_t lui_addi = fused_word::make(fused_word::KIND_LUI_ADDI, false, 0, 0x678, 0x12345537,
                                           fused_word::LENGTH_CODE_32_32);
// and + beq taken by 0x20 (offset field 0x10): two 32-bit instructions.
const uint64_t and_beq = 0xd0000000003819bfULL | (uint64_t(0x10) << 39);

TEST(DecodeWalkReference, RecordsFusedPairsAndTheEndOfTheTrace) {
  {
    const disassembler_t rv64(64);
    const disasm_insn_t* p = rv64.get_disasm(and_beq);
    ASSERT_TRUE(p && p->insn_id == ID_FUSE_AND_BEQ);
  }
  swt_file_t f;
  write_swt(f.path, {
                        {0x1000, 0x13},                          // 1000
                        {0x1004, 0x13, false, 0, true},          // trigger: skipped
                        {0x1004, 0x13, true, 2},                 // trapped: skipped
                        {0x1004, 0x13, true, interrupt | 7},     // interrupt: skipped
                        {0x1004, 0x73, true, 8},                 // ecall: kept, 1004
                        {0x1008, lui_addi},                      // 1008, then 100C with the pair
                        {0x1010, lui_addi, true, 5},             // trapped pair: 1010 alone
                        {0x1010, 0xa019},                        // c.j +6: 1010
                        {0x1016, 0x13},                          // 1016
                        {0x2000, and_beq},                       // 2000, then 2004: taken
                        {0x2024, 0x13},                          // 2024
                        {0x2028, 0x13, false, 0, false, false},  // never committed
                    });
  trace_t t;
  t.sync(0x1000).walk(13).sync(0x2000).direct(4).walk(2);
  t.walk(2).walk(4);  // after the end of the reference: the PC alone, once per walk
  auto reader = f.reader();
  EXPECT_EQ(decode(t.w.bytes(), {}, {}, nullptr, reader),
            lines({"1000", "1004", "1008", "100C", "1010", "1010", "1016", "2000", "2004", "2024", "2024",
                   "2024"}));
}

TEST(DecodeWalkReference, DisassemblyOfManyDistinctWords) {
  // Far more distinct words than a program's hot path has, each executed
  // twice in a row and the whole run twice: every line shows its own word.
  const disassembler_t rv64(64);
  std::vector<swt_insn> insns;
  std::string expected;
  char pc_text[24];
  for (int round = 0; round < 2; ++round) {
    uint64_t pc = 0x100000;
    for (uint64_t i = 0; i < 3000; ++i) {
      // addi and xori with immediates and registers that change with i
      const uint64_t word = (i & 0xFFF) << 20 | (i % 31 + 1) << 15 | ((i & 1) ? 0x4000u : 0u) | (i % 29 + 1) << 7 | 0x13;
      for (int twice = 0; twice < 2; ++twice, pc += 4) {
        insns.push_back({pc, word});
        snprintf(pc_text, sizeof pc_text, "%llX", static_cast<unsigned long long>(pc));
        char column[32];
        snprintf(column, sizeof column, "\t|%08llx|\t ", static_cast<unsigned long long>(word));
        expected += pc_text + std::string(column) + rv64.disassemble(word) + "\n";
      }
    }
  }
  swt_file_t f;
  write_swt(f.path, insns);
  trace_t t;
  t.sync(0x100000).walk(2 * 2 * 3000).sync(0x100000).walk(2 * 2 * 3000);
  auto reader = f.reader();
  decode_options o;
  o.disasm_log = true;
  EXPECT_EQ(decode(t.w.bytes(), {}, o, nullptr, reader), expected);
}

TEST(DecodeWalkReference, FusedPairLinesWithDisassembly) {
  swt_file_t f;
  write_swt(f.path, {{0x1008, lui_addi}, {0x1010, lui_addi, true, 5}});
  trace_t t;
  t.sync(0x1008).walk(6);
  auto reader = f.reader();
  decode_options o;
  o.disasm_log = true;
  const disassembler_t rv64(64);
  char word[17];
  snprintf(word, sizeof word, "%016llx", static_cast<unsigned long long>(lui_addi));
  EXPECT_EQ(decode(t.w.bytes(), {}, o, nullptr, reader),
            "1008\n100C\t|" + std::string(word) + "|\t " + rv64.disassemble(lui_addi) + "\n1010\n");
}

TEST(DecodeWalkReference, AFailingReaderLeavesThePcItWasAskedFor) {
  swt_file_t f;
  write_swt(f.path, {{0x1000, 0x13}, {0x1004, 0x13}});
  {
    std::ofstream broken(f.path, std::ios::binary | std::ios::app);
    broken.put(0x05);  // no such record code
  }
  trace_t t;
  t.sync(0x1000).walk(6);
  auto reader = f.reader();
  std::string error;
  EXPECT_EQ(decode(t.w.bytes(), {}, {}, &error, reader), "1000");
  EXPECT_NE(error.find("Unknown header"), std::string::npos) << error;
}

TEST(DecodeWalkReference, ReferenceWinsOnlyWithoutElfFiles) {
  swt_file_t f;
  write_swt(f.path, {{0x5000, 0x13}});
  trace_t t;
  t.sync(0x10000).walk(2);
  auto reader = f.reader();
  EXPECT_EQ(decode(t.w.bytes(), {walk64}, {}, nullptr, reader), "10000\n");
}

// ---------------------------------------------------------------------------
// A real run: the PCs qemu-riscv64 logged for linux_prog.elf, encoded into
// Nexus messages by trace_gen, must decode back to the same PCs.

std::vector<uint64_t> read_pcs(const std::string& path) {
  std::ifstream in(path);
  std::vector<uint64_t> pcs;
  std::string line;
  while (std::getline(in, line)) pcs.push_back(std::stoull(line, nullptr, 16));
  return pcs;
}

std::vector<uint8_t> encode(const std::vector<uint64_t>& pcs, soc_accessor_t& image,
                            const trace_gen::encoder_options& options) {
  nexus_writer_t w;
  trace_gen::encoder enc(options, 0, [&](const trace_gen::nexus_message& m) {
    w.begin(m.tcode);
    for (const trace_gen::nexus_field& f : m.fields) {
      if (f.width == 0)
        w.var(f.value);
      else
        w.fixed(f.width, f.value);
    }
    w.end();
  });
  uint64_t word = 0;
  enc.start(pcs.front());
  for (size_t i = 0; i + 1 < pcs.size(); ++i) {
    if (!image.fetch(pcs[i], word)) throw std::runtime_error("PC outside the program");
    enc.step(pcs[i], static_cast<uint32_t>(word), pcs[i + 1]);
  }
  image.fetch(pcs.back(), word);
  enc.finish(pcs.back(), static_cast<uint32_t>(word));
  return w.bytes();
}

std::string pc_lines(const std::vector<uint64_t>& pcs) {
  std::string s;
  char buf[24];
  for (uint64_t pc : pcs) {
    snprintf(buf, sizeof buf, "%llX\n", static_cast<unsigned long long>(pc));
    s += buf;
  }
  return s;
}

TEST(DecodeWalkQemu, DecodedPcsEqualTheExecutedOnes) {
  const std::string elf = data_path("walk/linux_prog.elf");
  const std::vector<uint64_t> pcs = read_pcs(data_path("walk/linux_prog.pcs"));
  ASSERT_GT(pcs.size(), 1000u);
  soc_accessor_t image("test");
  image.parse_elf(elf);
  const std::string expected = pc_lines(pcs);

  for (const bool history : {true, false}) {
    for (const bool repeat : {true, false}) {
      if (history && !repeat) continue;
      trace_gen::encoder_options options;
      options.history = history;
      options.repeat = repeat;
      options.max_history_bits = 7;  // many Resource Full messages
      const std::vector<uint8_t> trace = encode(pcs, image, options);
      EXPECT_EQ(decode(trace, {elf}), expected) << "history " << history << " repeat " << repeat;
    }
  }
}

// Speed check, run by hand: --gtest_also_run_disabled_tests
// --gtest_filter='*Speed*'. Decodes about ten million instructions of a
// loop into a file and prints the time.
TEST(DecodeWalkSpeed, DISABLED_TenMillionInstructions) {
  std::vector<uint64_t> pcs;
  pcs.push_back(0x10000);
  for (int i = 0; i < 5000000; ++i) {
    pcs.push_back(0x10004);
    pcs.push_back(0x10008);
  }
  pcs.push_back(0x1000c);
  soc_accessor_t image("test");
  image.parse_elf(walk64);
  for (const bool history : {true, false}) {
    trace_gen::encoder_options options;
    options.history = history;
    temp_trace_file_t file(encode(pcs, image, options));
    const std::string out_path = file.path() + ".pcs";
    const auto start = std::chrono::steady_clock::now();
    {
      nexus_decoder_t d(64, false, 0);
      std::ofstream out(out_path);
      d.decode(1, out, file.path(), {walk64}, no_reader, false);
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ifstream in(out_path, std::ios::ate);
    std::cout << (history ? "history" : "branch") << " mode: " << pcs.size() << " instructions in " << s
              << " s, PC file " << in.tellg() << " bytes\n";
    std::remove(out_path.c_str());
  }
}

}  // namespace
