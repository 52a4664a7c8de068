#include "et_formatters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "disasm.h"
#include "insn_ids.h"

namespace {

et_insn_t zero_record() {
  et_insn_t r;
  std::memset(&r, 0, sizeof(r));
  return r;
}

et_insn_t committed_record(uint64_t pc, uint64_t word) {
  et_insn_t r = zero_record();
  r.mode = 3;
  r.committed = true;
  r.pc = pc;
  r.insn = word;
  return r;
}

const disassembler_t& rv64() {
  static const disassembler_t d(64);
  return d;
}

TEST(PcOnlyFormatter, UpperCaseHexOneLineEach) {
  et_pconly_formatter_t f;
  std::ostringstream out;
  f.format(out, committed_record(0x8000abcd, 0x13));
  f.format(out, committed_record(0x1000, 0x13));
  EXPECT_EQ(out.str(), "8000ABCD\n1000\n");
  EXPECT_EQ(f.get_openmode(), std::ios_base::openmode());
}

TEST(RawFormatter, RecordTextPerLine) {
  et_raw_formatter_t f;
  std::ostringstream out;
  et_insn_t r = committed_record(0x80000004, 0x00500513);
  r.insn_id = 8;
  f.format(out, r);
  EXPECT_EQ(out.str(), r.to_string() + "\n");
}

// ---------------------------------------------------------------------------
// ingress

std::vector<unsigned char> ingress_bytes(et_ingress_formatter_t& f, const et_insn_t& r) {
  std::ostringstream out;
  f.format(out, r);
  const std::string s = out.str();
  return std::vector<unsigned char>(s.begin(), s.end());
}

TEST(IngressFormatter, PlainInstructionByteByByte) {
  et_ingress_formatter_t f(64);
  et_insn_t r = committed_record(0x0000123480000010, 0x007302b3);  // add
  r.hart = 0x0102;
  r.insn_id = ID_ADD;
  const std::vector<unsigned char> expected = {0x02, 0x01, 0, 3, 0, 0, 0, 2,
                                               0x10, 0x00, 0x00, 0x80, 0x34, 0x12, 0, 0};
  EXPECT_EQ(ingress_bytes(f, r), expected);

  r.insn = 0x0001;  // compressed
  r.insn_id = ID_C_NOP;
  r.mode = 1;
  EXPECT_EQ(ingress_bytes(f, r)[7], 1);
  EXPECT_EQ(ingress_bytes(f, r)[3], 1);
}

TEST(IngressFormatter, ExceptionsAndInterruptsCarryTval) {
  et_ingress_formatter_t f(64);
  et_insn_t r = committed_record(0x80000000, 0xffffffff);
  r.trap = true;
  r.cause = 2;
  r.ea = 0xea;
  const std::vector<unsigned char> illegal = {0, 0, 1, 3, 2, 0, 0, 2, 0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0,
                                              0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0};
  EXPECT_EQ(ingress_bytes(f, r), illegal);

  struct {
    uint64_t cause;
    uint64_t tval;
  } causes[] = {{0, 0x80000000}, {1, 0x80000000}, {3, 0x80000000}, {5, 0xea}, {7, 0xea},
                {13, 0xea},      {15, 0xea},      {8, 0},          {9, 0},    {11, 0}};
  for (const auto& c : causes) {
    r.cause = c.cause;
    et_ingress_formatter_t::ingress_op_t op;
    f.convert(r, op);
    EXPECT_EQ(op.itype, 1) << c.cause;
    EXPECT_EQ(op.cause, c.cause);
    EXPECT_EQ(op.tval, c.tval) << c.cause;
    EXPECT_EQ(ingress_bytes(f, r).size(), 24u);
  }

  r.intr = true;
  r.cause = 0x8000000000000007;
  const std::vector<unsigned char> interrupt = {0, 0, 2, 3, 7, 0, 0, 2, 0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0,
                                                0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(ingress_bytes(f, r), interrupt);
  r.cause = 99;  // an interrupt's cause is not checked
  EXPECT_EQ(ingress_bytes(f, r)[4], 99);
}

TEST(IngressFormatter, UnplaceableCausesThrowAndWriteNothing) {
  et_ingress_formatter_t f(64);
  et_insn_t r = committed_record(0x80000000, 0x13);
  r.trap = true;
  for (uint64_t cause : {uint64_t(10), uint64_t(14), uint64_t(16), uint64_t(0x8000000000000003)}) {
    r.cause = cause;
    std::ostringstream out;
    try {
      f.format(out, r);
      ADD_FAILURE() << "no exception for cause " << cause;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Unexpected cause!");
    }
    EXPECT_TRUE(out.str().empty());
  }
}

TEST(IngressFormatter, ControlFlowTypes) {
  struct {
    int64_t id;
    uint64_t rs1, rs2;
    uint64_t xlen;
    int itype;
  } cases[] = {
      {ID_BEQ, 5, 5, 64, 5},         {ID_BEQ, 5, 6, 64, 4},         {ID_BNE, 5, 6, 64, 5},
      {ID_BNE, 5, 5, 64, 4},         {ID_BLT, 0xffffffff, 0, 32, 5}, {ID_BLT, 0xffffffff, 0, 64, 4},
      {ID_BGE, 0xffffffff, 0, 32, 4}, {ID_BGE, 0xffffffff, 0, 64, 5}, {ID_BGE, 3, 3, 64, 5},
      {ID_BLTU, 1, 0xffffffff, 32, 5}, {ID_BLTU, 2, 1, 64, 4},        {ID_BGEU, 2, 2, 64, 5},
      {ID_BGEU, 1, 2, 64, 4},        {ID_C_BEQZ, 0, 9, 64, 5},      {ID_C_BEQZ, 1, 0, 64, 4},
      {ID_C_BNEZ, 1, 0, 64, 5},      {ID_C_BNEZ, 0, 0, 64, 4},      {ID_MRET, 0, 0, 64, 3},
      {ID_SRET, 0, 0, 64, 3},        {ID_URET, 0, 0, 64, 3},        {ID_JAL, 0, 0, 64, 5},
      {ID_C_J, 0, 0, 64, 5},         {ID_C_JAL, 0, 0, 32, 5},       {ID_JALR, 0, 0, 64, 6},
      {ID_C_JR, 0, 0, 64, 6},        {ID_C_JALR, 0, 0, 64, 6},      {ID_ADD, 0, 0, 64, 0},
      {ID_FUSE_AUIPC_JALR, 0, 0, 64, 0}, {-1, 0, 0, 64, 0},
  };
  for (const auto& c : cases) {
    et_ingress_formatter_t f(c.xlen);
    et_insn_t r = committed_record(0x1000, 0x63);
    r.insn_id = c.id;
    r.rs1.value = c.rs1;
    r.rs2.value = c.rs2;  // valid flags are not looked at
    const std::vector<unsigned char> b = ingress_bytes(f, r);
    ASSERT_EQ(b.size(), 16u);
    EXPECT_EQ(b[2], c.itype) << "id " << c.id << " rs1 " << c.rs1 << " rs2 " << c.rs2 << " xlen " << c.xlen;
    EXPECT_EQ(b[4], 0);
  }
}

// ---------------------------------------------------------------------------
// swt

et_insn_t load_record() {
  et_insn_t r = committed_record(0x80000010, 0x0002a283);  // lw t0, 0(t0)
  r.fill_disasm_fields(rv64(), true);
  r.commit_cycle = 1234;
  r.uiid = 5;
  r.rs1 = et_reg_t{true, 5, true, 0xffffffff80001000};
  r.rd = et_reg_t{true, 5, true, 0xdeadbeef};
  r.ea_valid = true;
  r.ea = 0x80001000;
  r.fr_cm = true;
  return r;
}

TEST(SwtFormatter, OperandColumns) {
  et_swt_formatter_t f(32, 64, 40, true, true, true, true, false, "8lu", "lu", "-20s");
  EXPECT_EQ(f.format(load_record()),
            "<     1234 > ( 5.0 ) Mc [80000010] |0002a283| lw      t0, 0(t0)    RS1[05]=80001000 RD[05]=deadbeef "
            "EA=80001000 PA=?????????? FRCM\n");

  et_insn_t st = committed_record(0x80000020, 0x00a5b023);  // sd a0, 0(a1)
  st.fill_disasm_fields(rv64(), true);
  st.mode = 0;
  st.committed = false;
  st.rs1 = et_reg_t{true, 11, false, 0};
  st.rs2 = et_reg_t{true, 10, true, 0x1111};
  st.sd_valid = true;
  st.sd = 0x123456789;
  st.pa_valid = true;
  st.pa = 0xff12345678;
  st.fr_e0 = true;
  et_swt_formatter_t g(64, 64, 40, false, false, false, true, false, "lu", "lu", "s");
  EXPECT_EQ(g.format(st),
            "Ux [80000020] sd      a0, 0(a1) RS1[0b]=???????????????? RS2[0a]=0000000123456789 EA=????????????????"
            " PA=ff12345678 FRE0\n");
}

TEST(SwtFormatter, PairColumnsUnknownWordsAndWidthZero) {
  et_insn_t r = committed_record(0x100, 0x0000000b);
  r.fill_disasm_fields(rv64(), true);  // unknown: no flags, CAUSE column
  et_swt_formatter_t f(32, 32, 32, false, false, true, false, false, "lu", "lu", "s");
  EXPECT_EQ(f.format(r), "Mc [100] |0000000b| unknown CAUSE=????????\n");

  r.trap = true;
  r.cause = 0x80000000000000ab;
  EXPECT_EQ(f.format(r), "Mc [100] |0000000b| unknown CAUSE=000000ab\n");

  et_insn_t p = committed_record(0x200, 0x0001);
  p.disasm_valid = true;
  std::strcpy(p.disasm, "pair");
  p.operand_flags = OPF_RS1 | OPF_RS1_PAIR | OPF_RD | OPF_RD_PAIR | OPF_FRD | OPF_RD_SRC | OPF_RD_SRC_PAIR;
  p.insn = 0x0281;  // rd field 5
  p.rs1 = et_reg_t{true, 6, true, 0x1111111122222222};
  p.rd = et_reg_t{true, 4, true, 0x3333333344444444};
  p.rs4 = et_reg_t{true, 8, false, 0};
  p.frd = et_reg_t{false, 0, true, 0x7};
  EXPECT_EQ(f.format(p),
            "Mc [200] |    0281| pair RS1H[07]=11111111 RS1[06]=22222222 RSDH[09]=???????? RSD[08]=???????? "
            "RDH[05]=33333333 RD[04]=44444444 FRD[??]=00000007\n");

  // Width 0: no question marks, nothing masked. A write to x0 has no RD column.
  et_insn_t z = committed_record(0x300, 0x00000033);  // add x0, x0, x0
  z.fill_disasm_fields(rv64(), true);
  z.operand_flags |= OPF_MEM;
  z.rs1 = et_reg_t{true, 0, true, 0xabcdef0123};
  et_swt_formatter_t w(0, 0, 0, false, false, false, false, false, "lu", "lu", "s");
  EXPECT_EQ(w.format(z), "Mc [300] " + std::string(z.disasm) + " RS1[00]=abcdef0123 RS2[??]= EA= PA=\n");
}

TEST(SwtFormatter, InterruptLine) {
  et_insn_t r = committed_record(0x80000000, 0x13);
  r.intr = r.trap = r.trig = true;
  r.cause = 0x8000000000000007;
  r.uiid = 3;
  r.hart = 1;
  r.fr_cm = true;
  et_swt_formatter_t f(64, 64, 40, true, true, true, true, true, "lu", "04lu", "-6s");
  EXPECT_EQ(f.format(r), "< 0 > ( 0003.1 ) Mc [        ] |        | intr   CAUSE=8000000000000007 TRIG=1\n");
  r.trap = r.trig = false;
  et_swt_formatter_t g(32, 64, 40, false, false, false, false, false, "lu", "lu", "s");
  EXPECT_EQ(g.format(r), "Mc [        ] intr CAUSE=????????\n");
}

TEST(SwtFormatter, PipelineView) {
  et_insn_t r = load_record();
  r.issue_cycle = 100;  // column 0
  r.read_cycle = 103;
  r.ea_cycle = 205;
  r.pa_valid = true;
  r.pa_cycle = 6;
  r.write_cycle = 108;
  r.commit_cycle = 110;
  r.fr_e0 = true;
  r.fr_cycle = 210;  // shares the commit column: r wins
  std::string view(100, '.');
  view[0] = 'd';
  view[3] = 'i';
  view[5] = 'v';
  view[6] = 'p';
  view[8] = 'c';
  view[10] = 'r';
  et_swt_formatter_t f(64, 64, 40, false, false, false, false, true, "lu", "lu", "s");
  EXPECT_EQ(f.format(r), "Mc [80000010]\t\t\t" + view + "   lw      t0, 0(t0)\n");

  // No register read or write: no i, no c; a store shows s.
  r.operand_flags = OPF_MEM | OPF_MEM_WRITE;
  r.sd_cycle = 1;
  r.read_cycle = 0;  // would hide d if it were shown
  r.insn = 0x00000013;
  view[3] = '.';
  view[8] = '.';
  view[1] = 's';
  EXPECT_EQ(f.format(r), "Mc [80000010]\t\t\t" + view + "   lw      t0, 0(t0)\n");

  // A write to x0 alone is no register write.
  r.operand_flags = OPF_RD;
  r.write_cycle = 50;
  EXPECT_EQ(f.format(r)[13 + 3 + 50], '.');
  r.operand_flags = OPF_FRD;
  EXPECT_EQ(f.format(r)[13 + 3 + 50], 'c');
}

TEST(SwtFormatter, StreamUseAndHartBase) {
  et_insn_t r = load_record();
  r.hart = 10;
  et_swt_formatter_t f(64, 64, 40, false, true, false, false, true, "lu", "lu", "s");
  std::ostringstream out;
  f.format(out, r);
  f.format(out, r);
  const std::string line = f.format(r);
  EXPECT_EQ(line.substr(0, 9), "( 5.10 ) ");
  EXPECT_EQ(out.str(), line + line);  // the hart does not turn hexadecimal on the second line
  EXPECT_EQ(out.flags() & std::ios_base::basefield, std::ios_base::hex);
  EXPECT_EQ(f.get_openmode(), std::ios_base::out);
}

TEST(SwtFormatter, StringFormatHonoursOverride) {
  struct tagged_t : et_swt_formatter_t {
    tagged_t() : et_swt_formatter_t(64, 64, 40, false, false, false, false, false, "lu", "lu", "s") {}
    using et_swt_formatter_t::format;
    void format(std::ostream& out, const et_insn_t& insn) override { out << "tag " << insn.pc << '\n'; }
  } f;
  EXPECT_EQ(f.format(committed_record(42, 0x13)), "tag 42\n");
  std::unique_ptr<et_base_formatter_t> base(new tagged_t);
  std::ostringstream out;
  base->format(out, committed_record(7, 0x13));
  EXPECT_EQ(out.str(), "tag 7\n");
}

TEST(SwtFormatter, ConversionsAreCheckedAndCut) {
  auto make = [](const char* cycle, const char* uiid, const char* text) {
    return et_swt_formatter_t(64, 64, 40, true, true, false, false, false, cycle, uiid, text);
  };
  for (const char* bad : {"s", "lu%n", "*lu", "", "lu ", "%lu", "Lf", "n", "lllu"})
    EXPECT_THROW(make(bad, "lu", "s"), std::runtime_error) << bad;
  for (const char* bad : {"d", "ls", "-*s", "s%s", "10"}) EXPECT_THROW(make("lu", "lu", bad), std::runtime_error) << bad;

  // Every length modifier, signed conversions, flags and precision are accepted.
  et_insn_t r = committed_record(0x10, 0x13);
  r.fill_disasm_fields(rv64(), true);
  r.commit_cycle = uint64_t(-1);
  r.uiid = 255;
  EXPECT_EQ(make("d", "#06hx", ".2s").format(r).substr(0, 24), "< -1 > ( 0x00ff.0 ) Mc [");
  EXPECT_EQ(make("zu", "X", "s").format(r).substr(0, 38), "< 18446744073709551615 > ( FF.0 ) Mc [");

  // A piece longer than 135 characters is cut to 135.
  r.operand_flags = 0;
  const std::string line = make("300lu", "lu", "-500s").format(r);
  EXPECT_EQ(line.find(" > "), 2 + 135u);
  EXPECT_EQ(line.size(), (2 + 135 + 3) + (2 + 5 + 3) + std::string("Mc [10] ").size() + 135 + 1);
}

TEST(SwtFormatter, DisassemblyWithoutTerminatorIsBounded) {
  et_insn_t r = committed_record(0x10, 0x13);
  r.disasm_valid = true;
  std::memset(r.disasm, 'z', sizeof(r.disasm));
  et_swt_formatter_t f(64, 64, 40, false, false, false, false, false, "lu", "lu", "s");
  EXPECT_EQ(f.format(r), "Mc [10] " + std::string(100, 'z') + "\n");
}

}  // namespace
