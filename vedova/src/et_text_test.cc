#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "disasm.h"
#include "et_records.h"
#include "et_text.h"

namespace {

template <typename T>
T zeroed() {
  T r;
  std::memset(&r, 0, sizeof(r));
  return r;
}

et_insn_t example_record() {
  et_insn_t r = zeroed<et_insn_t>();
  r.uiid = 12;
  r.mode = 3;
  r.committed = true;
  r.pc = 0x80000004;
  r.insn = 0x00500513;
  r.insn_id = 8;
  r.rd = et_reg_t{true, 10, true, 5};
  return r;
}

TEST(InsnText, ExampleLine) {
  EXPECT_EQ(example_record().to_string(),
            "(      12.0) Mc [0000000080000004]  (008) |0000000000500513| RD[0a]=0000000000000005");
}

TEST(InsnText, FieldVariants) {
  struct {
    const char* name;
    void (*mutate)(et_insn_t&);
    const char* expected;
  } cases[] = {
      {"never_filled", [](et_insn_t& r) { r.insn_id = 0; r.rd = et_reg_t(); },
       "(      12.0) Mc [0000000080000004]  (000) |0000000000500513|"},
      {"unknown_id", [](et_insn_t& r) { r.insn_id = -1; r.rd = et_reg_t(); },
       "(      12.0) Mc [0000000080000004]  (18446744073709551615) |0000000000500513|"},
      {"wide_uiid_hart_mode2_uncommitted",
       [](et_insn_t& r) { r.uiid = 123456789; r.hart = 3; r.mode = 2; r.committed = false; r.rd = et_reg_t(); },
       "(123456789.3) ?x [0000000080000004]  (008) |0000000000500513|"},
      {"modes", [](et_insn_t& r) { r.mode = 1; r.rd = et_reg_t(); },
       "(      12.0) Sc [0000000080000004]  (008) |0000000000500513|"},
      {"slots_in_order",
       [](et_insn_t& r) {
         r.mode = 0;
         r.rs1 = et_reg_t{true, 5, false, 0};
         r.rs2 = et_reg_t{false, 0, true, 0xab};
         r.rs4 = et_reg_t{true, 1, true, 1};  // never printed
         r.frs3 = et_reg_t{true, 31, true, 0x123456789abcdef0};
         r.frd = et_reg_t{true, 1, true, 2};
       },
       "(      12.0) Uc [0000000080000004]  (008) |0000000000500513| RS1[05]=???????????????? "
       "RS2[??]=00000000000000ab FRS3[1f]=123456789abcdef0 RD[0a]=0000000000000005 FRD[01]=0000000000000002"},
      {"addresses_data_cause_trigger",
       [](et_insn_t& r) {
         r.rd = et_reg_t();
         r.ea_valid = r.pa_valid = r.sd_valid = r.trap = r.trig = true;
         r.ea = 0x10;
         r.pa = 0x20;
         r.sd = 0x30;
         r.cause = 0x8000000000000007;
         r.intr = true;
         r.fr_e0 = true;
         r.commit_cycle = 99;
       },
       "(      12.0) Mc [0000000080000004]  (008) |0000000000500513| EA=0000000000000010 PA=0000000000000020 "
       "SD=0000000000000030 CAUSE=8000000000000007 TRIG=1"},
  };
  for (const auto& c : cases) {
    et_insn_t r = example_record();
    c.mutate(r);
    EXPECT_EQ(r.to_string(), c.expected) << c.name;
  }
}

TEST(InsnText, LeavesCallerStreamsAlone) {
  std::ostringstream out;
  out << std::hex << std::uppercase;
  out.fill('*');
  (void)example_record().to_string();
  out << 255;
  EXPECT_EQ(out.str(), "FF");
  EXPECT_EQ(std::cout.flags() & std::ios_base::basefield, std::ios_base::dec);
}

TEST(ObjectText, EveryKind) {
  et_object_t o = zeroed<et_object_t>();
  EXPECT_EQ(o.to_string(), "NONE");

  o.type = 1;
  o.insn = example_record();
  EXPECT_EQ(o.to_string(), "SWT " + example_record().to_string());

  o = zeroed<et_object_t>();
  o.type = 2;
  o.rvt.cycle = 77;
  o.rvt.data = 0xfeed;
  EXPECT_EQ(o.to_string(), "RVT D=000000000000feed");

  o = zeroed<et_object_t>();
  o.type = 3;
  o.l2t.code = 68;
  o.l2t.rl.id = 200;
  EXPECT_EQ(o.to_string(), "L2T URL ID=200");
  o.l2t.code = 81;
  EXPECT_EQ(o.to_string(), "L2T (unknown)");

  o = zeroed<et_object_t>();
  o.type = 4;
  o.dct.code = 87;
  o.dct.rl.id = 3;
  EXPECT_EQ(o.to_string(), "DCT DRL ID=3");
  o.dct.code = 68;
  EXPECT_EQ(o.to_string(), "DCT (unknown)");

  o.type = 7;
  EXPECT_EQ(o.to_string(), "(unknown)");
}

TEST(TrafficText, RequestResponseReleaseSr) {
  l2t_object_t l = zeroed<l2t_object_t>();
  l.code = 64;
  l.rq = l2t_rq_t{0xabcdef1234, 0x1234, 5, 250, 17, 0x7f};
  EXPECT_EQ(l.to_string(), "URQ RID=5 ID=250 T=17 F=7f A=000000abcdef1234 U=01234");
  l.code = 70;
  EXPECT_EQ(l.to_string(), "DRQ RID=5 ID=250 T=17 F=7f A=000000abcdef1234 U=01234");

  l = zeroed<l2t_object_t>();
  l.code = 72;
  l.rs = l2t_rs_t{7, 8, 9, 0x1};
  EXPECT_EQ(l.to_string(), "DRS RID=7 MID=8 SID=9 F=01");

  l = zeroed<l2t_object_t>();
  l.code = 69;
  l.sr = l2t_sr_t{0x40, 0xa, 3, 6};
  EXPECT_EQ(l.to_string(), "USR ID=3 T=6 A=0000000000000040 M=0a");
  l.code = 63;
  EXPECT_EQ(l.to_string(), "(unknown)");

  dct_object_t d = zeroed<dct_object_t>();
  d.code = 82;
  d.wup = dct_wup_t{2, 1, 0, 0x3f, 5};
  EXPECT_EQ(d.to_string(), "WUP HID=2 GV=1 V=0:3f FS=5");
  d.code = 85;
  d.rs = l2t_rs_t{1, 2, 3, 4};
  EXPECT_EQ(d.to_string(), "DRS RID=1 MID=2 SID=3 F=04");
}

TEST(TrafficText, DataWordsLastFirst) {
  l2t_object_t l = zeroed<l2t_object_t>();
  l.code = 65;
  l.wd.d[0] = 1;
  l.wd.d[1] = 2;
  l.wd.d[2] = 0xdead;  // beyond count
  l.wd.count = 2;
  l.wd.cn = 1;
  l.wd.psn = 0xa;
  EXPECT_EQ(l.to_string(), "UWD CN=1 D=00000000000000020000000000000001 PSN=a");
  l.code = 67;
  EXPECT_EQ(l.to_string(), "URD CN=1 D=00000000000000020000000000000001 PSN=a");
  l.wd.count = 0;
  EXPECT_EQ(l.to_string(), "URD CN=1 D= PSN=a");
  l.wd.count = 200;  // never more than the eight words there are
  EXPECT_EQ(l.to_string().size(), std::string("URD CN=1 D= PSN=a").size() + 8 * 16);

  dct_object_t d = zeroed<dct_object_t>();
  d.code = 86;
  d.rd.count = 1;
  d.rd.d[0] = 0xff;
  EXPECT_EQ(d.to_string(), "DRD CN=0 D=00000000000000ff PSN=0");
}

TEST(TrafficText, BrqByOperation) {
  struct {
    uint8_t op, f, fs, blk_valid, blk;
    const char* tail;
  } cases[] = {
      {0, 0x00, 0, 0, 0, ""},
      {2, 0x28, 0, 0, 0, " WRD=ZERO SCF=1"},
      {2, 0x00, 0, 0, 0, " WRD=0000000000000011 WRM=0f"},
      {7, 0x00, 3, 1, 1, " WRD=0000000000000011 WRM=0f LDD=0000000000000022 PSN=2 FS=3 BLK=GEN"},
      {4, 0x08, 0, 1, 0, " LDD=0000000000000022 PSN=2 BLK=ID#2a"},
      {1, 0x00, 0, 1, 2, " BLK=NONE"},
      {1, 0x00, 0, 1, 3, " BLK=?"},
  };
  for (const auto& c : cases) {
    dct_object_t d = zeroed<dct_object_t>();
    d.code = 81;
    d.brq.hid = 1;
    d.brq.op = c.op;
    d.brq.f = c.f;
    d.brq.a = 0x1000;
    d.brq.kl = 1;
    d.brq.wrd = 0x11;
    d.brq.wrm = 0xf;
    d.brq.ldd = 0x22;
    d.brq.psn = 2;
    d.brq.scf = 1;
    d.brq.fs = c.fs;
    d.brq.blk_valid = c.blk_valid;
    d.brq.blk = c.blk;
    d.brq.blk_id = 0x2a;
    const std::string head = "BRQ HID=1 OP=" + std::to_string(c.op) + " F=" + (c.f == 0x28 ? "28" : c.f ? "08" : "00") +
                             " A=0000000000001000 KL=1 STLB=0";
    EXPECT_EQ(d.to_string(), head + c.tail) << int(c.op);
  }
}

TEST(TrafficText, Hm2) {
  l2t_object_t l = zeroed<l2t_object_t>();
  l.code = 76;
  l2t_hm2_t& h = l.hm2;
  h.id = 9;
  h.a = 0xabc;
  EXPECT_EQ(l.to_string(),
            "HM2 ID=9 A=0000000000000abc OP=0000 SER=0 HV=0 IV=0 Vc=0:0,0,0 VcA=0000000000000000 WE0=0000 WE1=0000 "
            "FEN=00000 FL=0,0,0");

  h.op = 0x41 | 0x1000 | 0x8000;  // bit 15 has no name
  h.ser = 1;
  h.hv = 1;
  h.hv1 = 0xa;
  h.hv2 = 1;
  h.hv3 = 0;
  h.hv4 = 0xff;
  h.iv = 1;
  h.vc = 5;
  h.we0 = 0x12;
  h.we1 = 0xffff;
  h.fen = 1;
  h.fen2 = 1;
  h.fen4 = 1;
  h.fl = 1;
  h.fl2 = 0;
  h.fl3 = 0xab;
  EXPECT_EQ(l.to_string(),
            "HM2 ID=9 A=0000000000000abc OP=9041 (CRDWURQRINIT) SER=1 HV=1:a:1,0,ff IV=1 WE0=0012 WE1=ffff "
            "FEN=10101 FL=1,0,ab");
}

TEST(RecordKindNames, KnownAndUnknown) {
  const char* names[] = {"UIID", "STAGE", "REG_ADDR", "REG_DATA", "EA", "PC", "PRIL",
                         "CAUSE", "TRIG", "PA", "CHUNK", "FR", "SD"};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(et_record_to_string(et_record_t(i)), names[i]);
  EXPECT_EQ(et_record_to_string(et_record_t(13)), "unknown (13)");
  EXPECT_EQ(et_record_to_string(et_record_t(-2)), "unknown (-2)");
}

TEST(ModeMasks, FromPrivilegeLevelAndLetters) {
  EXPECT_EQ(convert_pril_to_et_mode(0), 4u);
  EXPECT_EQ(convert_pril_to_et_mode(1), 2u);
  EXPECT_EQ(convert_pril_to_et_mode(2), 0u);
  EXPECT_EQ(convert_pril_to_et_mode(3), 1u);
  EXPECT_EQ(convert_pril_to_et_mode(9), 0u);
  EXPECT_EQ(construct_et_mode_from_string("MSU"), 7u);
  EXPECT_EQ(construct_et_mode_from_string("m"), 1u);
  EXPECT_EQ(construct_et_mode_from_string(""), 0u);
  EXPECT_EQ(construct_et_mode_from_string("user"), 6u);
  EXPECT_EQ(construct_et_mode_from_string("xyz"), 0u);
}

// ---------------------------------------------------------------------------
// fill_disasm_fields

class text_arg_t : public arg_t {
 public:
  explicit text_arg_t(std::string t) : text(std::move(t)) {}
  std::string to_string(const insn_t&) const override { return text; }

 private:
  std::string text;
};

class FillDisasm : public ::testing::Test {
 protected:
  static disassembler_t& disasm() {
    static disassembler_t* d = [] {
      static const text_arg_t a91(std::string(91, 'a')), a92(std::string(92, 'b')), empty(""), x("x");
      auto* dis = new disassembler_t(64);
      // Words that the table does not know (custom-0 opcode), so these win.
      dis->add_insn(new disasm_insn_t("long", "", 0x100b, ~uint64_t(0), 5, 0x9, {&a91}));   // 4+4+91 = 99
      dis->add_insn(new disasm_insn_t("long", "", 0x200b, ~uint64_t(0), 5, 0x9, {&a92}));   // 100
      dis->add_insn(new disasm_insn_t("optx", "", 0x300b, ~uint64_t(0), 6, 0, {&x, nullptr, &empty, &x}));
      dis->add_insn(new disasm_insn_t("lead", "", 0x400b, ~uint64_t(0), 7, 0, {nullptr, &x, &empty}));
      auto* quiet = new disasm_insn_t("quiet", "", 0x500b, ~uint64_t(0), 8, 0, {&x, &x});
      quiet->print_name = false;
      dis->add_insn(quiet);
      return dis;
    }();
    return *d;
  }
};

TEST_F(FillDisasm, TextIdAndFlagsAsTheDisassemblerGivesThem) {
  const uint64_t words[] = {0x00500513, 0x007302b3, 0x0002a283, 0x00a5b023, 0x0001, 0x30200073,
                            0x02b574d3, 0x300b,     0x400b,     0x500b,     0x8000000000000000 | 0x1b9f};
  for (uint64_t w : words) {
    et_insn_t r = zeroed<et_insn_t>();
    r.insn = w;
    r.fill_disasm_fields(disasm(), true);
    const disasm_insn_t* p = disasm().get_disasm(w);
    ASSERT_NE(p, nullptr) << std::hex << w;
    EXPECT_TRUE(r.disasm_valid);
    EXPECT_EQ(r.insn_id, int64_t(p->insn_id));
    EXPECT_EQ(r.operand_flags, p->operand_flags);
    EXPECT_EQ(std::string(r.disasm), disasm().disassemble(w)) << std::hex << w;
  }
}

TEST_F(FillDisasm, OperandListRules) {
  auto text = [&](uint64_t w) {
    et_insn_t r = zeroed<et_insn_t>();
    r.insn = w;
    r.fill_disasm_fields(disasm(), true);
    return std::string(r.disasm);
  };
  EXPECT_EQ(text(0x00500513), "li      a0, 5");
  EXPECT_EQ(text(0x300b), "optx    x, x");   // the empty optional operand and its separator go
  EXPECT_EQ(text(0x400b), "lead    , x, ");  // an empty operand that is not optional stays
  EXPECT_EQ(text(0x500b), "x, x");           // no mnemonic, no padding
}

TEST_F(FillDisasm, LongTextIsCutTo99Characters) {
  et_insn_t r = zeroed<et_insn_t>();
  r.insn = 0x100b;
  r.fill_disasm_fields(disasm(), true);
  EXPECT_EQ(std::string(r.disasm), "long    " + std::string(91, 'a'));
  r.insn = 0x200b;
  r.fill_disasm_fields(disasm(), true);
  EXPECT_EQ(std::string(r.disasm), "long    " + std::string(91, 'b'));
  EXPECT_EQ(r.disasm[99], '\0');
}

TEST_F(FillDisasm, WithoutTextAndUnknownWords) {
  et_insn_t r = zeroed<et_insn_t>();
  r.insn = 0x00500513;
  std::strcpy(r.disasm, "old");
  r.fill_disasm_fields(disasm(), false);
  EXPECT_TRUE(r.disasm_valid);
  EXPECT_EQ(r.insn_id, 8);
  EXPECT_EQ(r.operand_flags, OPF_RD);
  EXPECT_STREQ(r.disasm, "");

  r.insn = 0xffffffff;
  r.fill_disasm_fields(disasm(), true);
  EXPECT_FALSE(r.disasm_valid);
  EXPECT_EQ(r.insn_id, -1);
  EXPECT_EQ(r.operand_flags, 0u);
  EXPECT_STREQ(r.disasm, "unknown");
  EXPECT_NE(r.to_string().find("(18446744073709551615)"), std::string::npos);

  r.fill_disasm_fields(disasm(), false);
  EXPECT_STREQ(r.disasm, "");
}

}  // namespace
