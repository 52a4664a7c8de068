// End-to-end runs of tracedecode and tracecheck: real trace files made with
// the Nexus encoder and the swt writer from executed-PC lists of the test
// program rv64_e2e.elf, checked on exact standard output, standard error,
// output files and exit status.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "et_records.h"
#include "et_writer.h"
#include "nexus_writer.h"
#include "run_program.h"
#include "soc_accessor.h"
#include "trace_gen.h"

namespace {

using test_support::read_file;
using test_support::run_program;
using test_support::run_result;
using test_support::temp_dir;
using test_support::write_file;

const std::string kDecode = TRACEDECODE_PATH;
const std::string kCheck = TRACECHECK_PATH;
const std::string kData = TRACE_TEST_DATA_DIR;

std::string fixture(const std::string& name) { return kData + "/elf/" + name; }
const std::string kElf = fixture("rv64_e2e.elf");

constexpr uint64_t B = 0x80000000;
constexpr uint64_t kExit = B + 0x20;  // lynx_gdb_exit of rv64_e2e.elf

// The PCs rv64_e2e.elf executes: the loop three times, the call and its
// return, the lui/addi pair, the store, the ecall and then the exit label.
const std::vector<uint64_t> kRun = {B,        B + 4,    B + 8,    B + 4,    B + 8,    B + 4,
                                    B + 8,    B + 0xc,  B + 0x24, B + 0x26, B + 0x28, B + 0x10,
                                    B + 0x14, B + 0x18, B + 0x1c, kExit,    kExit,    kExit};

std::vector<uint64_t> first(size_t n, const std::vector<uint64_t>& pcs = kRun) {
  return std::vector<uint64_t>(pcs.begin(), pcs.begin() + static_cast<std::ptrdiff_t>(n));
}
// Up to and including the ecall, before the exit label.
const std::vector<uint64_t> kToEcall = first(15);

bool file_exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// Instruction word at a PC of rv64_e2e.elf, as a core's trace holds it.
uint64_t word_at(uint64_t pc) {
  static const std::unique_ptr<soc_accessor_t> image = [] {
    auto i = std::make_unique<soc_accessor_t>("sacc");
    i->parse_elf(kElf);
    return i;
  }();
  uint64_t word = 0;
  if (!image->fetch(pc, word)) ADD_FAILURE() << "no word at " << std::hex << pc;
  return (word & 3) == 3 ? word & 0xffffffff : word & 0xffff;
}

std::string pc_lines(const std::vector<uint64_t>& pcs) {
  std::ostringstream s;
  s << std::uppercase << std::hex;
  for (uint64_t pc : pcs) s << pc << '\n';
  return s.str();
}

// ---- Nexus test traces --------------------------------------------------

struct source_run {
  uint32_t src;
  std::vector<uint64_t> pcs;
  std::function<uint64_t(uint64_t)> word = word_at;
};

// Encodes the runs of several sources into one Nexus trace, one instruction
// of each source in turn, so that their messages interleave.
nexus_writer_t encode(const std::vector<source_run>& runs, unsigned src_width = 0,
                      bool history = true) {
  nexus_writer_t w(src_width != 0, src_width);
  auto sink = [&w](const trace_gen::nexus_message& m) {
    w.begin(m.tcode, m.src);
    for (const trace_gen::nexus_field& f : m.fields) {
      if (f.width == 0)
        w.var(f.value);
      else
        w.fixed(f.width, f.value);
    }
    w.end();
  };
  trace_gen::encoder_options opt;
  opt.history = history;
  std::vector<std::unique_ptr<trace_gen::encoder>> enc;
  size_t longest = 0;
  for (const source_run& r : runs) {
    enc.push_back(std::make_unique<trace_gen::encoder>(opt, r.src, sink));
    enc.back()->start(r.pcs.front());
    longest = std::max(longest, r.pcs.size());
  }
  for (size_t i = 0; i < longest; ++i) {
    for (size_t k = 0; k < runs.size(); ++k) {
      const std::vector<uint64_t>& pcs = runs[k].pcs;
      if (i + 1 < pcs.size())
        enc[k]->step(pcs[i], static_cast<uint32_t>(runs[k].word(pcs[i])), pcs[i + 1]);
      else if (i + 1 == pcs.size())
        enc[k]->finish(pcs[i], static_cast<uint32_t>(runs[k].word(pcs[i])));
    }
  }
  return w;
}

// ---- swt reference traces -----------------------------------------------

struct ref_t {
  uint64_t pc;
  uint64_t insn;
  bool committed = true;
  bool trap = false;
  uint64_t cause = 0;
  bool trig = false;
  bool pa_valid = false;
  uint64_t pa = 0;
  unsigned hart = 0;
};

ref_t ref(uint64_t pc) { return ref_t{pc, word_at(pc)}; }
std::vector<ref_t> refs(const std::vector<uint64_t>& pcs, unsigned hart = 0) {
  std::vector<ref_t> out;
  for (uint64_t pc : pcs) {
    out.push_back(ref(pc));
    out.back().hart = hart;
  }
  return out;
}

void write_swt(const std::string& path, const std::vector<ref_t>& recs) {
  et_writer_t w(path, 0);
  w.configure(64, 64, 64, 64, 56);
  unsigned hart = 0;
  unsigned long next_piid[8] = {};
  for (const ref_t& r : recs) {
    if (r.hart != hart) {
      w.record_swt_hart(static_cast<unsigned char>(r.hart));
      hart = r.hart;
    }
    const unsigned short piid = static_cast<unsigned short>(next_piid[hart]++ & 1023);
    w.record_swt_is(piid, 0, r.insn);
    if (r.pa_valid) w.record_swt_pa(piid, r.pa);
    if (r.committed) w.record_swt_cm(piid, r.pc, false, r.trap, r.cause, r.trig);
  }
}

// Fused-pair words of the lui/addi pair at B+0x10: as the core fuses it,
// and with a compressed first instruction (c.lui a1, 1), whose second
// instruction is expected 2 bytes on.
constexpr uint64_t kLuiAddiPair = (0x100405b7ULL << 7) | (0x8ULL << 60) | 0x3f;
constexpr uint64_t kCLuiAddiPair = (0x6585ULL << 7) | (0x8ULL << 60) | 0x1f;

ref_t pair_at(uint64_t pc, uint64_t word) {
  ref_t r{pc, word};
  return r;
}

TEST(E2eFixtures, PairWordsAreFused) {
  et_insn_t insn{};
  insn.insn = kLuiAddiPair;
  EXPECT_TRUE(insn.is_fused());
  insn.insn = kCLuiAddiPair;
  EXPECT_TRUE(insn.is_fused());
}

// ---- design-parameter files ---------------------------------------------

const std::string kDesignKeys =
    "<XLEN>64</XLEN><FLEN>64</FLEN><PADDR_WIDTH>56</PADDR_WIDTH>"
    "<IRF_DATA_WIDTH>64</IRF_DATA_WIDTH><CL_WIDTH>512</CL_WIDTH><CL_CHUNKS>2</CL_CHUNKS>"
    "<POISON_ENABLE>false</POISON_ENABLE>";

std::string design_xml(const std::string& swt_keys = kDesignKeys) {
  return "<?xml version=\"1.0\"?>\n<design>\n  <swt>" + swt_keys + "</swt>\n</design>\n";
}

// ---- the run of one case ------------------------------------------------

class E2e : public ::testing::Test {
 protected:
  E2e()
      : nex(dir.file("test.nex")),
        swt(dir.file("ref.swt")),
        design(dir.file("design.xml")),
        pcseq(nex + ".pcseq"),
        pcfile(dir.file("out.pc")) {
    write_file(design, design_xml());
  }

  run_result check(const std::vector<std::string>& extra, const std::string& elf = kElf) {
    std::vector<std::string> args{"-t", nex, "-r", swt, "-c", design};
    if (!elf.empty()) {
      args.push_back("-e");
      args.push_back(elf);
    }
    args.insert(args.end(), extra.begin(), extra.end());
    return run_program(kCheck, args);
  }

  run_result decode(const std::vector<std::string>& extra) {
    std::vector<std::string> args{"-i", nex, "-o", pcfile};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_program(kDecode, args);
  }

  std::string load_line() const { return "Load configuration from '" + design + "'\n"; }

  // What tracecheck prints for a run whose loop logs `lines`.
  std::string check_out(const std::vector<std::string>& lines) const {
    std::string out = load_line();
    for (const std::string& l : lines) out += "[INFO]<tracecheck> " + l + "\n";
    return out;
  }

  temp_dir dir;
  const std::string nex;
  const std::string swt;
  const std::string design;
  const std::string pcseq;
  const std::string pcfile;
};

// ---- tracecheck verdicts ------------------------------------------------

struct verdict_case {
  const char* name;
  std::vector<uint64_t> test_pcs;
  // The reference starts as the records of test_pcs and is edited here.
  std::function<void(std::vector<ref_t>&)> edit;
  std::vector<std::string> args;
  std::vector<std::string> log;
  int status;
};
// Test listings show the case by name.
void PrintTo(const verdict_case& c, std::ostream* os) { *os << c.name; }

void insert_at(std::vector<ref_t>& r, size_t at, const ref_t& x) {
  r.insert(r.begin() + static_cast<std::ptrdiff_t>(at), x);
}
ref_t trapped(uint64_t pc, uint64_t cause) {
  ref_t r = ref(pc);
  r.trap = true;
  r.cause = cause;
  return r;
}

const std::vector<std::string> kEqualToEnd = {"No more instruction in both traces.",
                                              "Traces are equal."};

std::vector<verdict_case> verdict_cases() {
  std::vector<verdict_case> c;
  auto none = [](std::vector<ref_t>&) {};
  c.push_back({"EqualToTheEndOfBoth", kToEcall,
               [](std::vector<ref_t>& r) {
                 r[14].trap = true;  // the ecall: environment call from M-mode
                 r[14].cause = 11;
               },
               {}, kEqualToEnd, 0});
  c.push_back({"ReferenceHasOneMore", kToEcall, [](std::vector<ref_t>& r) { r.push_back(ref(B + 0x24)); },
               {}, {"No more instruction in target trace", "Traces are different."}, 255});
  c.push_back({"TargetHasOneMore", kToEcall, [](std::vector<ref_t>& r) { r.pop_back(); }, {},
               {"No more instruction in reference trace", "Traces are different."}, 255});
  c.push_back({"ReferenceEndsWithTargetPcPending", kToEcall,
               [](std::vector<ref_t>& r) {
                 r.back().trig = true;
               },
               {}, {"No more instruction in reference trace", "Traces are different."}, 255});
  c.push_back({"PcMismatch", kToEcall, [](std::vector<ref_t>& r) { r[11].pc = B + 0x14; }, {},
               {"PC does not matched", "Reference pc: 80000014", "Target pc: 80000010",
                "Traces are different."},
               255});
  c.push_back({"UncommittedRecordsArePassedOver", kToEcall,
               [](std::vector<ref_t>& r) {
                 ref_t u = ref(B + 0x24);
                 u.committed = false;
                 insert_at(r, 3, u);
                 r.push_back(u);
                 r.push_back(u);
               },
               {}, kEqualToEnd, 0});
  // Records put aside keep the target PC waiting for the next record;
  // breakpoints and environment calls are compared like any record.
  struct extra_record {
    const char* name;
    bool trap;
    uint64_t cause;
    bool trig;
  };
  const extra_record aside[] = {{"PutAsideInterrupt", true, (1ULL << 63) | 7, false},
                                {"PutAsideTrigger", false, 0, true},
                                {"PutAsideIllegalInstructionTrap", true, 2, false}};
  const extra_record compared[] = {{"BreakpointIsCompared", true, 3, false},
                                   {"UserCallIsCompared", true, 8, false},
                                   {"SupervisorCallIsCompared", true, 9, false},
                                   {"MachineCallIsCompared", true, 11, false}};
  auto insert_extra = [](const extra_record& e) {
    return [e](std::vector<ref_t>& r) {
      ref_t x = ref(B + 0x1c);
      x.trap = e.trap;
      x.cause = e.cause;
      x.trig = e.trig;
      insert_at(r, 3, x);
    };
  };
  for (const extra_record& e : aside) c.push_back({e.name, kToEcall, insert_extra(e), {}, kEqualToEnd, 0});
  for (const extra_record& e : compared)
    c.push_back({e.name, kToEcall, insert_extra(e), {},
                 {"PC does not matched", "Reference pc: 8000001c", "Target pc: 80000004",
                  "Traces are different."},
                 255});
  auto fuse = [](uint64_t pc, uint64_t word) {
    return [pc, word](std::vector<ref_t>& r) {
      r[11] = pair_at(pc, word);
      r.erase(r.begin() + 12);
    };
  };
  c.push_back({"FusedPairTakesTwoPcs", kToEcall, fuse(B + 0x10, kLuiAddiPair), {}, kEqualToEnd, 0});
  c.push_back({"FusedPairSecondPcMismatch", kToEcall, fuse(B + 0x10, kCLuiAddiPair), {},
               {"PC does not matched for fused insn (second insn in pair)",
                "Reference pc: 80000010, delta: 2", "Target pc: 80000014", "Traces are different."},
               255});
  c.push_back({"FusedPairFirstPcMismatch", kToEcall, fuse(B + 0x14, kLuiAddiPair), {},
               {"PC does not matched for fused insn (first insn in pair)", "Reference pc: 80000014",
                "Target pc: 80000010", "Traces are different."},
               255});
  c.push_back({"FusedPairIsLast", first(12),
               [](std::vector<ref_t>& r) { r[11] = pair_at(B + 0x10, kLuiAddiPair); }, {},
               {"No more instructions in target trace (fused insn is last)", "Traces are different."},
               255});
  c.push_back({"TrappedFusedPairTakesOnePc", kToEcall,
               [](std::vector<ref_t>& r) {
                 ref_t p = pair_at(B + 0x10, kLuiAddiPair);
                 p.trap = true;
                 p.cause = 2;
                 insert_at(r, 11, p);
                 r.erase(r.begin() + 12);  // the pair stands for the lui's PC only
               },
               {}, kEqualToEnd, 0});
  auto store = [](bool valid, uint64_t pa, uint64_t insn) {
    return [=](std::vector<ref_t>& r) {
      r[13].pa_valid = valid;
      r[13].pa = pa;
      if (insn) r[13].insn = insn;
    };
  };
  // After the MSI store neither trace matters any more.
  c.push_back({"MsiStoreEnds", kRun,
               [store](std::vector<ref_t>& r) {
                 store(true, 0x10040000, 0)(r);
                 r.resize(14);
                 r.push_back(ref(B + 0x24));
               },
               {}, {"Traces are finished by storing to MSI address.", "Traces are equal."}, 0});
  c.push_back({"StoreElsewhereGoesOn", kToEcall, store(true, 0x10040004, 0), {}, kEqualToEnd, 0});
  c.push_back({"StoreWithoutAddressGoesOn", kToEcall, store(false, 0x10040000, 0), {}, kEqualToEnd, 0});
  c.push_back({"CompressedStoreGoesOn", kToEcall, store(true, 0x10040000, 0xc10c), {}, kEqualToEnd, 0});
  c.push_back({"ExitLabelEnds", kRun,
               [](std::vector<ref_t>& r) {
                 r.resize(16);
                 r.push_back(ref(B + 0x24));
               },
               {}, {"Traces are finished by reaching the lynx_gdb_exit.", "Traces are equal."}, 0});
  c.push_back({"ExitLabelAfterTargetEnded", kToEcall, [](std::vector<ref_t>& r) { r.push_back(ref(kExit)); },
               {}, {"Traces are finished by reaching the lynx_gdb_exit.", "Traces are equal."}, 0});
  // An interrupt taken before the label puts its record aside; the label's
  // record then meets the waiting target PC.
  c.push_back({"ExitLabelReachedWhileTargetPending", kRun,
               [](std::vector<ref_t>& r) {
                 r.resize(15);
                 r.push_back(trapped(B + 0x24, (1ULL << 63) | 7));
                 r.push_back(ref(kExit));
                 r.push_back(ref(B + 0x24));
               },
               {}, {"Traces are finished by reaching the lynx_gdb_exit.", "Traces are equal."}, 0});
  // At the label while a different target PC waits: compared as usual.
  c.push_back({"ExitLabelAgainstOtherPendingPc", kRun,
               [](std::vector<ref_t>& r) {
                 r.resize(16);
                 r[14].trig = true;  // puts the ecall aside: target 8000001c waits
               },
               {}, {"PC does not matched", "Reference pc: 80000020", "Target pc: 8000001c",
                    "Traces are different."},
               255});
  auto drop_call = [](std::vector<ref_t>& r) { r.erase(r.begin() + 8, r.begin() + 11); };
  c.push_back({"SkipRangeOnTargetSide", kToEcall, drop_call, {"--skip-range", "0x80000024:0x80000028"},
               kEqualToEnd, 0});
  c.push_back({"SkipRangesInDecimal", kToEcall, drop_call,
               {"--skip-range", "2147483684:2147483686", "--skip-range", "2147483688:2147483688"},
               kEqualToEnd, 0});
  c.push_back({"SkipRangeEndIsIncluded", kToEcall, drop_call, {"--skip-range", "0x80000024:0x80000026"},
               {"PC does not matched", "Reference pc: 80000010", "Target pc: 80000028",
                "Traces are different."},
               255});
  auto extra_call = [](std::vector<ref_t>& r) { insert_at(r, 3, ref(B + 0x26)); };
  c.push_back({"SkipRangeOnReferenceSide", kToEcall, extra_call, {"--skip-range", "0x80000024:0x80000028"},
               kEqualToEnd, 0});
  c.push_back({"WithoutSkipRange", kToEcall, extra_call, {},
               {"PC does not matched", "Reference pc: 80000026", "Target pc: 80000004",
                "Traces are different."},
               255});
  c.push_back({"SkipRangeAtTheEndOfBoth", kToEcall, none, {"--skip-range", "0x80000018:0x8000001c"},
               kEqualToEnd, 0});
  c.push_back({"DropsAndRefFormatChangeNothing", kToEcall, none,
               {"-d", "whatever.txt", "--ref-format", "swt"}, kEqualToEnd, 0});
  return c;
}

class Verdict : public E2e, public ::testing::WithParamInterface<verdict_case> {};

TEST_P(Verdict, LogsAndStatus) {
  const verdict_case& vc = GetParam();
  encode({{0, vc.test_pcs}}).write_file(nex);
  std::vector<ref_t> r = refs(vc.test_pcs);
  vc.edit(r);
  write_swt(swt, r);
  const run_result res = check(vc.args);
  EXPECT_EQ(res.out, check_out(vc.log));
  EXPECT_EQ(res.err, "");
  EXPECT_EQ(res.status, vc.status);
  EXPECT_FALSE(file_exists(pcseq)) << "the PC file goes after a verdict";
}

INSTANTIATE_TEST_SUITE_P(Tracecheck, Verdict, ::testing::ValuesIn(verdict_cases()),
                         [](const ::testing::TestParamInfo<verdict_case>& i) {
                           return std::string(i.param.name);
                         });

// ---- tracecheck: PC file, sources, reference words ----------------------

TEST_F(E2e, SavePcKeepsThePcFile) {
  encode({{0, kToEcall}}).write_file(nex);
  write_swt(swt, refs(kToEcall));
  const run_result res = check({"--save-pc"});
  EXPECT_EQ(res.out, check_out(kEqualToEnd));
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(read_file(pcseq), pc_lines(kToEcall));

  // A stale PC file of an earlier run is replaced, and removed without
  // --save-pc, also after a difference.
  write_swt(swt, refs(first(14)));
  const run_result again = check({});
  EXPECT_EQ(again.status, 255);
  EXPECT_FALSE(file_exists(pcseq));
}

// Two trace sources in one Nexus trace (2-bit SRC field) and two harts in
// the reference; each run checks one of them.
TEST_F(E2e, SourceIdSelectsOneSourceOnBothSides) {
  const std::vector<uint64_t> run0 = first(8);  // up to the call
  const std::vector<uint64_t> run1 = {B + 0x24, B + 0x26, B + 0x28, B + 0x10,
                                      B + 0x14, B + 0x18, B + 0x1c};
  encode({{0, run0}, {1, run1}}, 2).write_file(nex);
  std::vector<ref_t> r;
  for (size_t i = 0; i < run1.size(); ++i) {
    if (i < run0.size()) r.push_back(refs({run0[i]}, 0)[0]);
    r.push_back(refs({run1[i]}, 1)[0]);
  }
  r.push_back(refs({run0.back()}, 0)[0]);
  write_swt(swt, r);
  for (const char* id : {"0", "1"}) {
    SCOPED_TRACE(id);
    const run_result res = check({"--src-width", "2", "--src-id", id, "--save-pc"});
    EXPECT_EQ(res.out, check_out(kEqualToEnd));
    EXPECT_EQ(res.err, "");
    EXPECT_EQ(res.status, 0);
    EXPECT_EQ(read_file(pcseq), pc_lines(id[0] == '0' ? run0 : run1));
  }
}

// rv64_lma.elf runs at 0x80010000 but is loaded at 0x20100000: its second
// segment's load offset differs from the first one's. A trace of the program
// at its load addresses needs the reference's instruction words, and ends at
// the label's load address in that second segment.
TEST_F(E2e, UseHwtAndExitLabelLoadAddress) {
  constexpr uint64_t L = 0x20100000;
  const std::vector<uint64_t> pcs = {L, L + 4, L + 4, L + 4};
  auto word = [](uint64_t pc) -> uint64_t { return pc == L ? 0x13 : 0x6f; };  // nop; j .
  encode({{0, pcs, word}}).write_file(nex);
  std::vector<ref_t> r;
  for (uint64_t pc : pcs) r.push_back(ref_t{pc, word(pc)});
  r.push_back(ref_t{L + 8, 0x13});  // beyond the label: never compared
  write_swt(swt, r);
  const std::string elf = fixture("rv64_lma.elf");

  run_result res = check({"--use-hwt", "--save-pc"}, elf);
  EXPECT_EQ(res.out, check_out({"Traces are finished by reaching the lynx_gdb_exit.", "Traces are equal."}));
  EXPECT_EQ(res.err, "");
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(read_file(pcseq), pc_lines(pcs));

  // Without --use-hwt the words come from the ELF file, which has none at
  // the load addresses; the PC of the failed fetch stays in the PC file.
  res = check({}, elf);
  EXPECT_EQ(res.out, load_line());
  EXPECT_EQ(res.err, "Decode error: Failed to get chunk from pc. pc = 0x20100000\n");
  EXPECT_EQ(res.status, 255);
  EXPECT_EQ(read_file(pcseq), "20100000");
}

// ---- tracecheck failures --------------------------------------------------

// The arguments of a valid run in `dir`, with the given extra ones and
// files.
std::vector<std::string> check_args(const std::string& dir, std::vector<std::string> extra,
                                    const std::string& elf = kElf,
                                    const std::string& test = "/test.nex",
                                    const std::string& reference = "/ref.swt") {
  std::vector<std::string> a{"-t", dir + test, "-r", dir + reference, "-c", dir + "/design.xml"};
  if (!elf.empty()) {
    a.push_back("-e");
    a.push_back(elf);
  }
  a.insert(a.end(), extra.begin(), extra.end());
  return a;
}

struct check_failure {
  const char* name;
  // Changes the files of a valid run in `dir` and returns the arguments.
  std::function<std::vector<std::string>(const std::string& dir)> setup;
  std::string err;  // "@" stands for the directory; empty: see `err_start`
  std::string err_start;
  bool load_line;   // "Load configuration from" on standard output
  // The PC file after the run: "-" when absent, else its content.
  std::string pcseq;
};
// Test listings show the case by name.
void PrintTo(const check_failure& c, std::ostream* os) { *os << c.name; }

std::string subst(const std::string& text, const std::string& dir) {
  std::string out;
  for (char ch : text) {
    if (ch == '@')
      out += dir;
    else
      out += ch;
  }
  return out;
}

std::vector<check_failure> check_failures() {
  std::vector<check_failure> c;
  auto design_of = [](const std::string& xml) {
    return [xml](const std::string& dir) {
      write_file(dir + "/design.xml", xml);
      return check_args(dir, {});
    };
  };
  c.push_back({"ConfigFileMissing",
               [](const std::string& dir) {
                 std::remove((dir + "/design.xml").c_str());
                 return check_args(dir, {});
               },
               "Could't load file: @/design.xml\nUnable to load SoC configuration file '@/design.xml'\n",
               "", true, "-"});
  c.push_back({"NoSwtNode", design_of("<design><other/></design>"),
               "Decode error: Node path does not exist: swt\n", "", true, "-"});
  c.push_back({"KeyMissing", design_of("<design><swt><XLEN>64</XLEN></swt></design>"),
               "Decode error: Node path does not exist: FLEN\n", "", true, "-"});
  c.push_back({"KeyNotANumber", design_of(design_xml("<XLEN>sixty-four</XLEN>")),
               "Decode error: Invalid value of swt.XLEN (stoull)\n", "", true, "-"});
  c.push_back({"NoElfFile", [](const std::string& dir) { return check_args(dir, {}, ""); },
               "Decode error: No ELF file given: the exit label is looked up in the first --elf file\n",
               "", true, "-"});
  c.push_back({"ElfFileMissing",
               [](const std::string& dir) { return check_args(dir, {}, dir + "/none.elf"); },
               "Decode error: Failed to read ELF file: @/none.elf\n", "", true, "-"});
  c.push_back({"ElfFileNotElf",
               [](const std::string& dir) {
                 write_file(dir + "/bad.elf", "not an ELF file");
                 return check_args(dir, {}, dir + "/bad.elf");
               },
               "Decode error: Failed to read ELF file: @/bad.elf\n", "", true, "-"});
  c.push_back({"NoExitLabel",
               [](const std::string& dir) { return check_args(dir, {}, fixture("rv64_inner.elf")); },
               "Decode error: Failed to find label \"lynx_gdb_exit\" VMA\n", "", true, "-"});
  c.push_back({"ExitLabelWithoutLoadAddress",
               [](const std::string& dir) { return check_args(dir, {}, fixture("rv64_abs_label.elf")); },
               "Decode error: Failed to find label \"lynx_gdb_exit\" LMA\n", "", true, "-"});
  c.push_back({"SourceIdTooLarge",
               [](const std::string& dir) { return check_args(dir, {"--src-id", "64"}); },
               "Decode error: Invalid src-id 64: trace sources are numbered 0 to 63\n", "", false,
               "-"});
  c.push_back({"SourceWidthTooLarge",
               [](const std::string& dir) { return check_args(dir, {"--src-width", "17"}); }, "",
               "Decode error: ", true, "-"});
  c.push_back({"PcFileCannotBeCreated",
               [](const std::string& dir) { return check_args(dir, {}, kElf, "/no/dir/test.nex"); },
               "Decode error: Failed to write pcseq file: @/no/dir/test.nex.pcseq\n", "", true, "-"});
  c.push_back({"DecoderReferenceMissing",
               [](const std::string& dir) {
                 return check_args(dir, {"--use-hwt"}, kElf, "/test.nex", "/none.swt");
               },
               "Decode error: Error: fail to open trace file: @/none.swt: No such file or directory\n",
               "", true, ""});
  c.push_back({"TestTraceMissing",
               [](const std::string& dir) {
                 std::remove((dir + "/test.nex").c_str());
                 return check_args(dir, {});
               },
               "Decode error: Failed to read Nexus trace file: @/test.nex\n", "", true, ""});
  c.push_back({"NexusErrorMessageStopsDecoding",
               [](const std::string& dir) {
                 nexus_writer_t w = encode({{0, kToEcall}});
                 w.begin(8).fixed(4, 1).var(0).end();
                 w.write_file(dir + "/test.nex");
                 return check_args(dir, {});
               },
               "Decode error: Detected Nexus Error message\n", "", true, pc_lines(kToEcall)});
  c.push_back({"ComparisonReaderCannotBeOpened",
               [](const std::string& dir) {
                 return check_args(dir, {}, kElf, "/test.nex", "/none.swt");
               },
               "Decode error: Error: fail to open trace file: @/none.swt: No such file or directory\n",
               "", true, pc_lines(kToEcall)});
  c.push_back({"ComparisonReaderFails",
               [](const std::string& dir) {
                 write_file(dir + "/ref.swt", std::string(16, '\0'));
                 return check_args(dir, {});
               },
               "Decode error: Unknown header: 0 approximately at position 16!\n", "", true,
               pc_lines(kToEcall)});
  c.push_back({"ComparisonReaderMissingIssueRecord",
               [](const std::string& dir) {
                 {
                   et_writer_t w(dir + "/ref.swt", 0);
                   w.configure(64, 64, 64, 64, 56);
                   w.record_swt_cm(5, B, false, false, 0, false);
                 }
                 return check_args(dir, {});
               },
               "", "Decode error: Missing issue record for piid: ", true, pc_lines(kToEcall)});
  return c;
}

// Standard error of a failed run: exactly `text`, or, when `start` is given,
// one line that starts with it.
void expect_error_line(const run_result& res, const char* start, const std::string& text) {
  if (start) {
    EXPECT_EQ(res.err.rfind(start, 0), 0u) << res.err;
    EXPECT_EQ(res.err.find('\n'), res.err.size() - 1) << res.err;
  } else {
    EXPECT_EQ(res.err, text);
  }
}

class CheckFailure : public E2e, public ::testing::WithParamInterface<check_failure> {};

TEST_P(CheckFailure, OneLineAndStatus255) {
  const check_failure& f = GetParam();
  encode({{0, kToEcall}}).write_file(nex);
  write_swt(swt, refs(kToEcall));
  const run_result res = run_program(kCheck, f.setup(dir.path()));
  EXPECT_EQ(res.status, 255);
  expect_error_line(res, f.err.empty() ? f.err_start.c_str() : nullptr, subst(f.err, dir.path()));
  // Nothing but the configuration line reaches standard output, except the
  // reader's own note before its missing-issue-record error.
  if (std::string(f.name) != "ComparisonReaderMissingIssueRecord") {
    EXPECT_EQ(res.out, f.load_line ? load_line() : "");
  }
  if (f.pcseq == "-")
    EXPECT_FALSE(file_exists(pcseq));
  else
    EXPECT_EQ(read_file(pcseq), f.pcseq);
}

INSTANTIATE_TEST_SUITE_P(Tracecheck, CheckFailure, ::testing::ValuesIn(check_failures()),
                         [](const ::testing::TestParamInfo<check_failure>& i) {
                           return std::string(i.param.name);
                         });

// ---- tracedecode ----------------------------------------------------------

TEST_F(E2e, DecodeAgainstElf) {
  encode({{0, kRun}}).write_file(nex);
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{"-e", kElf}, {"-e", kElf, "--format", "text"},
        {"-e", kElf, "-f", "bin", "-x", "64"}}) {
    const run_result res = decode(extra);
    EXPECT_EQ(res.out, "");
    EXPECT_EQ(res.err, "");
    EXPECT_EQ(res.status, 0);
    EXPECT_EQ(read_file(pcfile), pc_lines(kRun));
  }
}

// tracedecode lets a Nexus Error message pass (tracecheck stops on it).
TEST_F(E2e, DecodeGoesOnAfterAnErrorMessage) {
  nexus_writer_t w = encode({{0, kRun}});
  w.begin(8).fixed(4, 1).var(0).end();
  w.write_file(nex);
  const run_result res = decode({"-e", kElf});
  EXPECT_EQ(res.err, "");
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(read_file(pcfile), pc_lines(kRun));
  const run_result logged = decode({"-e", kElf, "--nm"});
  EXPECT_EQ(logged.status, 0);
  EXPECT_NE(read_file(pcfile).find("Error msg:"), std::string::npos);
}

TEST_F(E2e, DecodeBranchModeTrace) {
  encode({{0, kRun}}, 0, false).write_file(nex);
  const run_result res = decode({"-e", kElf});
  EXPECT_EQ(res.status, 0) << res.err;
  EXPECT_EQ(read_file(pcfile), pc_lines(kRun));
}

TEST_F(E2e, DecodeWithReferenceWords) {
  encode({{0, kRun}}).write_file(nex);
  write_swt(swt, refs(kRun));
  const run_result res = decode({"--hwt", swt, "-c", design});
  EXPECT_EQ(res.out, load_line());
  EXPECT_EQ(res.err, "");
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(read_file(pcfile), pc_lines(kRun));

  // With ELF files as well the reference is opened but never read: a
  // reference that would fail when read changes nothing.
  write_file(swt, std::string(16, '\0'));
  const run_result both = decode({"--hwt", swt, "-c", design, "-e", kElf});
  EXPECT_EQ(both.out, load_line());
  EXPECT_EQ(both.err, "");
  EXPECT_EQ(both.status, 0);
  EXPECT_EQ(read_file(pcfile), pc_lines(kRun));
}

// A reference like a core model's, with register reads and writes,
// addresses and store data between each issue and commit, gives the same
// results as one with issue and commit records only.
TEST_F(E2e, DetailedReferenceDecodesAndChecksAlike) {
  encode({{0, kRun}}).write_file(nex);
  {
    et_writer_t w(swt, 0);
    w.configure(64, 64, 64, 64, 56);
    for (size_t i = 0; i < kRun.size(); ++i) {
      const unsigned short piid = static_cast<unsigned short>(i);
      const uint64_t word = word_at(kRun[i]);
      w.record_swt_is(piid, 0, word);
      trace_gen::write_details(w, piid, kRun[i], static_cast<uint32_t>(word), i);
      w.record_swt_cm(piid, kRun[i], false, false, 0, false);
    }
  }
  ASSERT_GT(read_file(swt).size(), kRun.size() * 40);  // the details are there

  run_result res = decode({"--hwt", swt, "-c", design});
  EXPECT_EQ(res.out, load_line());
  EXPECT_EQ(res.err, "");
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(read_file(pcfile), pc_lines(kRun));
  for (const std::vector<std::string>& extra : {std::vector<std::string>{}, {"--use-hwt"}}) {
    res = check(extra);
    EXPECT_EQ(res.out, check_out({"Traces are finished by reaching the lynx_gdb_exit.", "Traces are equal."}));
    EXPECT_EQ(res.err, "");
    EXPECT_EQ(res.status, 0);
  }
}

TEST_F(E2e, DecodeTwoSources) {
  const std::vector<uint64_t> run0 = first(8);
  const std::vector<uint64_t> run1 = {B + 0x24, B + 0x26, B + 0x28, B + 0x10, B + 0x14,
                                      B + 0x18, B + 0x1c, kExit,    kExit,    kExit};
  encode({{0, run0}, {1, run1}}, 1).write_file(nex);
  const std::vector<std::string> base{"-e", kElf, "--use-src", "--src-width", "1"};
  struct row {
    const char* mask;
    std::vector<uint64_t> pcs;
  };
  for (const row& r : {row{"1", run0}, row{"2", run1}}) {
    std::vector<std::string> args = base;
    args.push_back("--src-mask");
    args.push_back(r.mask);
    const run_result res = decode(args);
    EXPECT_EQ(res.status, 0) << res.err;
    EXPECT_EQ(read_file(pcfile), pc_lines(r.pcs)) << r.mask;
  }
  // Both sources: their lines interleave in message order. The two runs
  // have no PC in common, so each source's lines can be picked out.
  std::vector<std::string> args = base;
  args.push_back("--src-mask");
  args.push_back("3");
  const run_result res = decode(args);
  EXPECT_EQ(res.status, 0) << res.err;
  std::istringstream lines(read_file(pcfile));
  std::vector<uint64_t> got0, got1;
  std::vector<int> order;
  std::string line;
  while (std::getline(lines, line)) {
    const uint64_t pc = std::stoull(line, nullptr, 16);
    const bool of1 = std::find(run1.begin(), run1.end(), pc) != run1.end();
    (of1 ? got1 : got0).push_back(pc);
    if (order.empty() || order.back() != of1) order.push_back(of1);
  }
  EXPECT_EQ(got0, run0);
  EXPECT_EQ(got1, run1);
  EXPECT_GT(order.size(), 2u) << "the sources' lines should interleave";
}

TEST_F(E2e, DecodeMetrics) {
  const nexus_writer_t w = encode({{0, kRun}});
  w.write_file(nex);
  // Count the messages as the decoder does: one per TCODE slice after a
  // message end; idle bytes do not count.
  uint64_t messages = 0;
  bool at_start = true;
  for (uint8_t b : w.bytes()) {
    if (at_start && b != 0xff) ++messages;
    at_start = (b & 3) == 3;
  }
  const uint64_t bytes = w.bytes().size();
  const uint64_t insns = kRun.size();
  std::ostringstream expect;
  expect << "Decoding done:\nBytes: " << bytes << "\nMessages: " << messages
         << "\nBytes/msg: " << static_cast<float>(bytes) / static_cast<float>(messages)
         << "\nInstructions: " << insns
         << "\nBit/instr: " << static_cast<float>(bytes * 8) / static_cast<float>(insns) << "\n";
  const run_result res = decode({"-e", kElf, "--metrics"});
  EXPECT_EQ(res.out, expect.str());
  EXPECT_EQ(res.err, "");
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(read_file(pcfile), pc_lines(kRun));
}

TEST_F(E2e, DecodeWithDisassembly) {
  encode({{0, kRun}}).write_file(nex);
  const run_result res = decode({"-e", kElf, "--fd"});
  EXPECT_EQ(res.status, 0) << res.err;
  std::istringstream lines(read_file(pcfile));
  std::string line;
  size_t n = 0;
  while (std::getline(lines, line)) {
    ASSERT_LT(n, kRun.size());
    std::ostringstream start;
    start << std::uppercase << std::hex << kRun[n] << "\t|" << std::nouppercase;
    start.width(8);
    start.fill('0');
    start << (kRun[n] == B + 0x24 || kRun[n] == B + 0x26 ? word_at(kRun[n]) | word_at(kRun[n] + 2) << 16
                                                          : word_at(kRun[n]))
          << "|\t ";
    EXPECT_EQ(line.rfind(start.str(), 0), 0u) << line;
    ++n;
  }
  EXPECT_EQ(n, kRun.size());
}

struct decode_failure {
  const char* name;
  std::function<std::vector<std::string>(const std::string& dir)> setup;
  std::string err;  // "@" stands for the directory
  std::string out;  // ditto
  // The output file after the run: "-" when absent, "*" when it does not
  // matter, else its content.
  std::string pcfile;
};
// Test listings show the case by name.
void PrintTo(const decode_failure& c, std::ostream* os) { *os << c.name; }

std::vector<decode_failure> decode_failures() {
  const std::string load = "Load configuration from '@/design.xml'\n";
  auto args = [](const std::string& dir, std::vector<std::string> more) {
    std::vector<std::string> a{"-i", dir + "/test.nex", "-o", dir + "/out.pc"};
    a.insert(a.end(), more.begin(), more.end());
    return a;
  };
  std::vector<decode_failure> c;
  c.push_back({"NoInstructionSource", [args](const std::string& dir) { return args(dir, {}); },
               "Decode error: No instruction source: give an ELF file (--elf) or a reference hwt "
               "trace (--hwt)\n",
               "", "-"});
  c.push_back({"OutputCannotBeOpened",
               [](const std::string& dir) {
                 return std::vector<std::string>{"-i", dir + "/test.nex", "-o", dir + "/no/out.pc",
                                                 "-e", kElf};
               },
               "Decode error: Failed to write pcseq file: @/no/out.pc\n", "", "-"});
  c.push_back({"ReferenceWithoutConfig",
               [args](const std::string& dir) { return args(dir, {"--hwt", dir + "/ref.swt"}); },
               "Could't load file: \nUnable to load SoC configuration file ''\n",
               "Load configuration from ''\n", ""});
  c.push_back({"NoSwtNode",
               [args](const std::string& dir) {
                 write_file(dir + "/design.xml", "<design/>");
                 return args(dir, {"--hwt", dir + "/ref.swt", "-c", dir + "/design.xml"});
               },
               "Decode error: Node path does not exist: swt\n", load, ""});
  c.push_back({"KeyOutOfRange",
               [args](const std::string& dir) {
                 write_file(dir + "/design.xml",
                            design_xml("<XLEN>99999999999999999999999</XLEN>"));
                 return args(dir, {"--hwt", dir + "/ref.swt", "-c", dir + "/design.xml"});
               },
               "Decode error: Value of swt.XLEN is out of range (stoull)\n", load, ""});
  c.push_back({"ReferenceCannotBeOpened",
               [args](const std::string& dir) {
                 return args(dir, {"--hwt", dir + "/none.swt", "-c", dir + "/design.xml"});
               },
               "Decode error: Error: fail to open trace file: @/none.swt: No such file or directory\n",
               load, ""});
  c.push_back({"ReferenceFailsWhenRead",
               [args](const std::string& dir) {
                 write_file(dir + "/ref.swt", std::string(16, '\0'));
                 return args(dir, {"--hwt", dir + "/ref.swt", "-c", dir + "/design.xml"});
               },
               "Decode error: Unknown header: 0 approximately at position 16!\n", load, "*"});
  c.push_back({"TraceMissing",
               [args](const std::string& dir) {
                 return std::vector<std::string>{"-i", dir + "/none.nex", "-o", dir + "/out.pc",
                                                 "-e", kElf};
               },
               "Decode error: Failed to read Nexus trace file: @/none.nex\n", "", ""});
  c.push_back({"ElfMissing",
               [args](const std::string& dir) { return args(dir, {"-e", dir + "/none.elf"}); },
               "Decode error: Can't find or process ELF file: @/none.elf\n", "", ""});
  c.push_back({"SourceWidthTooLarge",
               [args](const std::string& dir) {
                 return args(dir, {"-e", kElf, "--use-src", "--src-width", "17"});
               },
               "", "", "-"});
  // The lines decoded before the failure stay in the output file.
  c.push_back({"UnknownTcodeAfterTheRun",
               [args](const std::string& dir) {
                 nexus_writer_t w = encode({{0, kRun}});
                 w.begin(63).var(1).end();
                 w.write_file(dir + "/test.nex");
                 return args(dir, {"-e", kElf});
               },
               "Decode error: Unknown tcode: 0x3f\n\n", "", pc_lines(kRun)});
  c.push_back({"PcOutsideTheElfFile",
               [args](const std::string& dir) {
                 encode({{0, {B + 0x100, B + 0x104}, [](uint64_t) -> uint64_t { return 0x13; }}})
                     .write_file(dir + "/test.nex");
                 return args(dir, {"-e", kElf});
               },
               "Decode error: Failed to get chunk from pc. pc = 0x80000100\n", "", "80000100"});
  return c;
}

class DecodeFailure : public E2e, public ::testing::WithParamInterface<decode_failure> {};

TEST_P(DecodeFailure, OneLineAndStatus255) {
  const decode_failure& f = GetParam();
  encode({{0, kRun}}).write_file(nex);
  write_swt(swt, refs(kRun));
  const run_result res = run_program(kDecode, f.setup(dir.path()));
  EXPECT_EQ(res.status, 255);
  expect_error_line(res, f.err.empty() ? "Decode error: " : nullptr, subst(f.err, dir.path()));
  EXPECT_EQ(res.out, subst(f.out, dir.path()));
  if (f.pcfile == "-") {
    EXPECT_FALSE(file_exists(pcfile));
  } else if (f.pcfile != "*") {
    EXPECT_EQ(read_file(pcfile), f.pcfile);
  }
}

INSTANTIATE_TEST_SUITE_P(Tracedecode, DecodeFailure, ::testing::ValuesIn(decode_failures()),
                         [](const ::testing::TestParamInfo<decode_failure>& i) {
                           return std::string(i.param.name);
                         });

// ---- command lines --------------------------------------------------------

struct parse_case {
  const char* name;
  const std::string* program;
  std::vector<std::string> args;
  std::string err;
};
// Test listings show the case by name.
void PrintTo(const parse_case& c, std::ostream* os) { *os << c.name; }

std::vector<parse_case> parse_cases() {
  std::vector<parse_case> c;
  c.push_back({"DecodeMissingOutput", &kDecode, {"-i", "x.nex"}, "Required argument missing: output"});
  c.push_back({"DecodeBadFormat", &kDecode, {"-i", "x.nex", "-o", "x.pc", "-f", "xml"},
               "Value 'xml' does not meet constraint: bin|text"});
  c.push_back({"DecodeBadNumber", &kDecode, {"-i", "x.nex", "-o", "x.pc", "--src-mask", "three"},
               "Couldn't read argument value from string 'three'"});
  c.push_back({"CheckMissingConfig", &kCheck, {"-t", "x.nex", "-r", "x.swt"},
               "Required argument missing: config"});
  c.push_back({"CheckBadRefFormat", &kCheck, {"-t", "x", "-r", "y", "-c", "z", "-f", "nex"},
               "Value 'nex' does not meet constraint: swt"});
  for (const char* range : {"5:", "5", "x:1"}) {
    c.push_back({nullptr, &kCheck, {"-t", "x", "-r", "y", "-c", "z", "--skip-range", range},
                 "Invalid skip-range format. Use <start>:<end> format."});
  }
  c[c.size() - 3].name = "CheckSkipRangeWithoutEnd";
  c[c.size() - 2].name = "CheckSkipRangeWithoutColon";
  c[c.size() - 1].name = "CheckSkipRangeNotANumber";
  return c;
}

class ParseError : public ::testing::TestWithParam<parse_case> {};

TEST_P(ParseError, ReportedByTheCommandLineWithStatus1) {
  const parse_case& p = GetParam();
  const run_result res = run_program(*p.program, p.args);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, "");
  EXPECT_EQ(res.err.rfind("PARSE ERROR: ", 0), 0u) << res.err;
  EXPECT_NE(res.err.find(p.err), std::string::npos) << res.err;
  EXPECT_NE(res.err.find("\nBrief USAGE: \n"), std::string::npos) << res.err;
  EXPECT_NE(res.err.find("For complete USAGE and HELP type: \n   " + *p.program + " --help\n"),
            std::string::npos)
      << res.err;
}

INSTANTIATE_TEST_SUITE_P(CommandLine, ParseError, ::testing::ValuesIn(parse_cases()),
                         [](const ::testing::TestParamInfo<parse_case>& i) {
                           return std::string(i.param.name);
                         });

// ---- help texts -----------------------------------------------------------

// The option list of --help, after the usage lines (whose wrapping depends on
// the length of the program's path).
const std::string kDecodeHelp =
      "Where: \n"
      "\n"
      "   -i <string>,  --input <string>\n"
      "     (required)  Input trace file in nexus format.\n"
      "\n"
      "   -e <string>,  --elf <string>  (accepted multiple times)\n"
      "     Elf/hwt files to get insn chunks from.\n"
      "\n"
      "   -o <string>,  --output <string>\n"
      "     (required)  Output pc trace\n"
      "\n"
      "   -f <bin|text>,  --format <bin|text>\n"
      "     Output format selection (default: bin).\n"
      "\n"
      "   -x <32|64>,  --xlen <32|64>\n"
      "     XLEN width.\n"
      "\n"
      "   --use-src\n"
      "     Enable SRC field for nexus messages.\n"
      "\n"
      "   --src-width <int>\n"
      "     SRC field bit width.\n"
      "\n"
      "   --fd\n"
      "     Enable printing of full disasm instead instruction name\n"
      "\n"
      "   --nm\n"
      "     Enable printing of nexus messages\n"
      "\n"
      "   --metrics\n"
      "     Enable printing of compression metrics\n"
      "\n"
      "   --src-mask <int>\n"
      "     Mask of required trace sources: hart0 - 0x1 mask, hart1 - 0x2 mask,\n"
      "     all harts - 0x3 mask\n"
      "\n"
      "   -c <string>,  --config <string>\n"
      "     Configuration file with design-specific parameters for HWT ref file\n"
      "     (XML).\n"
      "\n"
      "   --hwt <string>\n"
      "     Input reference hwt trace\n"
      "\n"
      "   --,  --ignore_rest\n"
      "     Ignores the rest of the labeled arguments following this flag.\n"
      "\n"
      "   --version\n"
      "     Displays version information and exits.\n"
      "\n"
      "   -h,  --help\n"
      "     Displays usage information and exits.\n"
      "\n"
      "\n"
      "   Nexus trace decoder.\n"
      "\n";

const std::string kCheckHelp =
      "Where: \n"
      "\n"
      "   -r <string>,  --ref-trace <string>\n"
      "     (required)  Reference trace file in swt or nex format.\n"
      "\n"
      "   -t <string>,  --test-trace <string>\n"
      "     (required)  Test trace file in nex format.\n"
      "\n"
      "   -c <string>,  --config <string>\n"
      "     (required)  Configuration file with design-specific parameters (XML).\n"
      "\n"
      "   -f <swt>,  --ref-format <swt>\n"
      "     Reference trace format (default: swt).\n"
      "\n"
      "   -e <string>,  --elf <string>  (accepted multiple times)\n"
      "     Elf files to get insn chunks from.\n"
      "\n"
      "   -d <string>,  --drops <string>\n"
      "     Input file which describes drops.\n"
      "\n"
      "   --save-pc\n"
      "     Save PC sequence of decoded nexus trace.\n"
      "\n"
      "   --src-id <int>\n"
      "     Trace form required hart id \n"
      "\n"
      "   --src-width <int>\n"
      "     Size of src field bitwidth\n"
      "\n"
      "   --skip-range <string>  (accepted multiple times)\n"
      "     Skip diff check for PCs inside specified range (start:end).PCs with\n"
      "     start <= address <= end will be skipped.(ex: --skip-range\n"
      "     0x1000:0x1fff or --skip-range 4096:8191)\n"
      "\n"
      "   --use-hwt\n"
      "     Use hwt as reference.\n"
      "\n"
      "   --,  --ignore_rest\n"
      "     Ignores the rest of the labeled arguments following this flag.\n"
      "\n"
      "   --version\n"
      "     Displays version information and exits.\n"
      "\n"
      "   -h,  --help\n"
      "     Displays usage information and exits.\n"
      "\n"
      "\n"
      "   Nexus trace diff tool.\n"
      "\n";

TEST(Help, ListsEveryOptionAndEndsWithStatus0) {
  struct row {
    const std::string* program;
    const std::string* where;
  };
  for (const row& r : {row{&kDecode, &kDecodeHelp}, row{&kCheck, &kCheckHelp}}) {
    for (const char* flag : {"--help", "-h"}) {
      const run_result res = run_program(*r.program, {flag});
      EXPECT_EQ(res.status, 0);
      EXPECT_EQ(res.err, "");
      EXPECT_EQ(res.out.rfind("\nUSAGE: \n\n   " + *r.program + "  ", 0), 0u) << res.out;
      const size_t where = res.out.find("\n\nWhere: \n");
      ASSERT_NE(where, std::string::npos) << res.out;
      EXPECT_EQ(res.out.substr(where + 2), *r.where);
    }
    // An empty version text.
    const run_result v = run_program(*r.program, {"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, "\n" + *r.program + "  version: \n\n");
  }
}

}  // namespace
