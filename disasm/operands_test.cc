#include "operands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct printer_case_t {
  const char* printer_name;
  const arg_t* printer;
  uint64_t word;
  const char* text;
};

#define P(name) #name, &name

// Words assembled with riscv64-unknown-elf-as where the assembler knows the
// instruction; Zcb, Zcmp, Zcmt and Zfa words are encoded by hand.
const std::vector<printer_case_t> printer_cases = {
    // Fixed registers.
    {P(fixed_x0), 0xffffffff, "x0"},
    {P(fixed_v0), 0, "v0"},
    {P(fixed_t0), 0, "t0"},
    {P(fixed_ra), 0, "ra"},
    {P(fixed_sp), 0, "sp"},

    // Integer and floating-point registers.
    {P(int_dest_reg), 0xfff58513, "a0"},   // addi a0, a1, -1
    {P(int_src1_reg), 0xfff58513, "a1"},
    {P(int_src2_reg), 0x00b6252f, "a1"},   // amoadd.w a0, a1, (a2)
    {P(int_src3_reg), 0xfa20f043, "t6"},   // rs3 field 31
    {P(fp_dest_reg), 0xfa20f043, "ft0"},   // fmadd.d ft0, ft1, ft2, ft11
    {P(fp_src1_reg), 0xfa20f043, "ft1"},
    {P(fp_src2_reg), 0xfa20f043, "ft2"},
    {P(fp_src3_reg), 0xfa20f043, "ft11"},
    {P(fp_src2_reg), 0x00c5f553, "fa2"},   // fadd.s fa0, fa1, fa2
    {P(c_int_dest), 0x857e, "a0"},         // c.mv a0, t6
    {P(c_int_src2), 0x857e, "t6"},
    {P(c_fp_src2), 0xa07e, "ft11"},        // c.fsdsp ft11, 0(sp)
    {P(c_int_src1_prime), 0xa41c, "s0"},   // c.fsd fa5, 8(s0)
    {P(c_fp_src2_prime), 0xa41c, "fa5"},
    {P(c_int_src2_prime), 0x005c, "a5"},   // c.addi4spn a5, sp, 4
    {P(c_int_src2_prime), 0x7d64, "s1"},   // c.ld s1, 248(a0)
    {P(c_sreg_9_7), 0xac3e, "s0"},         // cm.mvsa01 s0, s7
    {P(c_sreg_4_2), 0xac3e, "s7"},
    {P(c_sreg_9_7), 0xad22, "s2"},         // field 2: x18, not x10
    {P(c_sreg_9_7), 0xaca2, "s1"},
    {P(c_sreg_4_2), 0xac2a, "s2"},

    // Vector operands.
    {P(vec_dest_reg), 0x022180d7, "v1"},   // vadd.vv v1, v2, v3
    {P(vec_src2_reg), 0x022180d7, "v2"},
    {P(vec_src1_reg), 0x022180d7, "v3"},
    {P(vec_mem_data_reg), 0x02056407, "v8"},  // vle32.v v8, (a0)
    {P(vec_mem_base), 0x02056407, "(a0)"},
    {P(vec_mask_suffix), 0x022180d7, ""},  // unmasked
    {P(vec_mask_suffix), 0x002180d7, "v0.t"},
    {P(vec_simm5), 0x02583257, "-16"},     // vadd.vi v4, v5, -16
    {P(vec_simm5), 0x0257b257, "15"},
    {P(vec_simm5), 0x02503257, "0"},

    // Vector types: vsetvli takes zimm from bits 30:20, vsetivli from 29:20.
    {P(vtype_text), 0x0d0572d7, "e32, m1, ta, ma"},   // zimm 0xd0
    {P(vtype_text), 0x007572d7, "e8, mf2, tu, mu"},   // zimm 0x07
    {P(vtype_text), 0xc5bff2d7, "e64, m8, ta, mu"},   // vsetivli; bit 30 is not zimm
    {P(vtype_text), 0x08a572d7, "e16, m4, tu, ma"},
    {P(vtype_text), 0x00557057, "e8, mf8, tu, mu"},
    {P(vtype_text), 0x00657057, "e8, mf4, tu, mu"},
    {P(vtype_text), 0x00457057, "e8, m, tu, mu"},     // reserved fractional code 0
    {P(vtype_text), 0x03857057, "e1024, m1, tu, mu"},
    {P(vtype_text), 0x1d057057, "0x1d0"},             // reserved bit 8 set
    {P(vtype_text), 0x7ff57057, "0x7ff"},
    {P(vtype_text), 0xf0057057, "0x300"},             // vsetivli, zimm 0x300

    // Immediates and shift amounts.
    {P(imm12_signed), 0xfff58513, "-1"},
    {P(imm12_signed), 0x7ff58513, "2047"},
    {P(imm12_signed), 0x80058513, "-2048"},
    {P(upper_imm20_hex), 0xfffff537, "0xfffff"},
    {P(upper_imm20_hex), 0x12345537, "0x12345"},
    {P(upper_imm20_hex), 0x00000317, "0x00000"},
    {P(shift_amount), 0x03f59513, "63"},   // slli a0, a1, 63
    {P(shift_amount), 0x4215d513, "33"},   // srai a0, a1, 33: funct6 bit 30 ignored
    {P(uimm6_25_20), 0x03f00000, "63"},
    {P(uimm5_24_20), 0x03f00000, "31"},
    {P(uimm4_23_20), 0x03f00000, "15"},
    {P(uimm3_22_20), 0x03f00000, "7"},
    {P(uimm2_21_20), 0x03f00000, "3"},
    {P(uimm3_22_20), 0x00a00000, "2"},
    {P(uimm2_31_30), 0xc0000000, "3"},
    {P(uimm2_31_30), 0x40000000, "1"},
    {P(uimm5_19_15), 0x000f8000, "31"},
    {P(uimm6_26_19_15), 0x040f8000, "63"},
    {P(uimm6_26_19_15), 0x04000000, "32"},
    {P(c_simm6), 0x1501, "-32"},           // c.addi a0, -32
    {P(c_simm6), 0x057d, "31"},
    {P(c_shift_amount), 0x157e, "63"},     // c.slli a0, 63
    {P(c_lui_imm_hex), 0x757d, "0x000fffff"},  // c.lui a0, 0xfffff (-1)
    {P(c_lui_imm_hex), 0x6505, "0x00000001"},
    {P(c_lui_imm_hex), 0x657d, "0x0000001f"},
    {P(c_addi16sp_imm), 0x7101, "-512"},
    {P(c_addi16sp_imm), 0x617d, "496"},
    {P(c_addi4spn_imm), 0x1fe8, "1020"},
    {P(c_addi4spn_imm), 0x005c, "4"},
    {P(c_lwsp_offset), 0x557e, "252"},
    {P(table_jump_index), 0xa3fe, "255"},  // cm.jalt 255
    {P(table_jump_index), 0xa00e, "3"},    // cm.jt 3

    // Floating-point constants (fli.s fa0, constant number n in bits 19:15).
    {P(fli_constant), 0xf0100553, "-1.0"},
    {P(fli_constant), 0xf0108553, "min"},
    {P(fli_constant), 0xf0110553, "1.52587890625e-05"},
    {P(fli_constant), 0xf0180553, "1.0"},
    {P(fli_constant), 0xf01e8553, "65536.0"},
    {P(fli_constant), 0xf01f0553, "inf"},
    {P(fli_constant), 0xf01f8553, "nan"},

    // Fence sets.
    {P(fence_sets), 0x0330000f, "rw,rw"},
    {P(fence_sets), 0x0ff0000f, "iorw,iorw"},
    {P(fence_sets), 0x8330000f, "rw,rw"},  // fence.tso: fm bits ignored
    {P(fence_sets), 0x0010000f, "w"},
    {P(fence_sets), 0x0030000f, "rw"},
    {P(fence_sets), 0x0300000f, "rw,"},
    {P(fence_sets), 0x0840000f, "i,o"},
    {P(fence_sets), 0x0000000f, ""},

    // CSRs.
    {P(csr_operand), 0x30059573, "mstatus"},   // csrrw a0, mstatus, a1
    {P(csr_operand), 0x00002573, "ustatus"},
    {P(csr_operand), 0xfb002573, "mtopi"},
    {P(csr_operand), 0x7c002573, "nmitvec"},
    {P(csr_operand), 0xbe802573, "xscfg"},
    {P(csr_operand), 0x00602573, "unknown_006"},
    {P(csr_operand), 0x07f02573, "unknown_127"},
    {P(csr_operand), 0x7c102573, "unknown_1985"},
    {P(csr_operand), 0xfff02573, "unknown_4095"},
    {P(csr_operand), 0xffffffff30000000, "mstatus"},  // only bits 31:20 count

    // Memory operands.
    {P(load_address), 0x7ff12503, "2047(sp)"},  // lw a0, 2047(sp)
    {P(load_address), 0x80012503, "-2048(sp)"},
    {P(store_address), 0xfeb62fa3, "-1(a2)"},   // sw a1, -1(a2)
    {P(store_address), 0x80548023, "-2048(s1)"},
    {P(store_address), 0x7e548fa3, "2047(s1)"},
    {P(amo_base), 0x00b6252f, "(a2)"},
    {P(c_lw_address), 0x5fe8, "124(a5)"},
    {P(c_ld_address), 0x7d64, "248(a0)"},
    {P(c_lwsp_address), 0x557e, "252(sp)"},
    {P(c_ldsp_address), 0x757e, "504(sp)"},
    {P(c_swsp_address), 0xdfaa, "252(sp)"},
    {P(c_sdsp_address), 0xffaa, "504(sp)"},
    {P(c_half_address), 0x842c, "2(s0)"},       // c.lhu a1, 2(s0)
    {P(c_half_address), 0x840c, "0(s0)"},
    {P(c_byte_address), 0x83e8, "3(a5)"},       // c.lbu a0, 3(a5)
    {P(c_byte_address), 0x83c8, "1(a5)"},
    {P(c_byte_address), 0x83a8, "2(a5)"},

    // Control-flow targets.
    {P(branch_target), 0xfeb50ce3, "pc - 8"},
    {P(branch_target), 0x00b50063, "pc + 0"},
    {P(branch_target), 0x7e051fe3, "pc + 4094"},
    {P(branch_target), 0x80b54063, "pc - 4096"},
    {P(jal_target), 0x010000ef, "pc + 0x00010"},
    {P(jal_target), 0x7ffff0ef, "pc + 0xffffe"},
    {P(jal_target), 0xfffff06f, "pc - 0x00002"},
    {P(jal_target), 0x000000ef, "pc + 0x00000"},
    // The most negative jump needs a sixth digit; five would print 0x00000.
    {P(jal_target), 0x800000ef, "pc - 0x100000"},
    {P(c_branch_target), 0xd101, "pc - 256"},   // c.beqz a0, .-256
    {P(c_branch_target), 0xecfd, "pc + 254"},   // c.bnez s1, .+254
    {P(c_branch_target), 0xc381, "pc + 0"},
    {P(c_jump_target), 0xb001, "pc - 2048"},    // c.j .-2048
    {P(c_jump_target), 0xaffd, "pc + 2046"},

    // Push/pop (cm.push: 0xb802 | rlist << 4 | spimm << 2).
    {P(push_pop_reglist), 0xb832, "unsupport rlist"},
    {P(push_pop_reglist), 0xb802, "unsupport rlist"},
    {P(push_pop_reglist), 0xb842, "{ra}"},
    {P(push_pop_reglist), 0xb852, "{ra, s0}"},
    {P(push_pop_reglist), 0xb862, "{ra, s0-s1}"},
    {P(push_pop_reglist), 0xb8e2, "{ra, s0-s9}"},
    {P(push_pop_reglist), 0xb8f2, "{ra, s0-s11}"},
    {P(stack_adj_rv32), 0xb8fe, "112"},
    {P(stack_adj_rv64), 0xb8fe, "160"},
    {P(stack_adj_rv32_neg), 0xb8fe, "-112"},
    {P(stack_adj_rv64_neg), 0xb8fe, "-160"},
    {P(stack_adj_rv32_neg), 0xb842, "-16"},
    {P(stack_adj_rv64_neg), 0xb802, "-0"},
};

#undef P

TEST(OperandPrinters, PrintExactTexts) {
  for (const printer_case_t& c : printer_cases)
    EXPECT_EQ(c.printer->to_string(insn_t(c.word)), c.text)
        << c.printer_name << " of 0x" << std::hex << c.word;
}

TEST(OperandPrinters, CompressedPrintersIgnoreBitsAbove15) {
  for (const printer_case_t& c : printer_cases) {
    if (c.word > 0xffff || (c.word & 3) == 3) continue;
    EXPECT_EQ(c.printer->to_string(insn_t(c.word | 0xffffffffffff0000)), c.text)
        << c.printer_name << " of 0x" << std::hex << c.word;
  }
}

TEST(OperandPrinters, StackAdjustmentByRlist) {
  // Base adjustment for rlist 0..15 with spimm 0; spimm adds 16 each.
  const unsigned rv32[16] = {0, 0, 0, 0, 16, 16, 16, 16, 32, 32, 32, 32, 48, 48, 48, 64};
  const unsigned rv64[16] = {0, 0, 0, 0, 16, 16, 32, 32, 48, 48, 64, 64, 80, 80, 96, 112};
  for (unsigned rlist = 0; rlist < 16; ++rlist) {
    for (unsigned spimm = 0; spimm < 4; ++spimm) {
      const insn_t insn(0xb802 | rlist << 4 | spimm << 2);
      EXPECT_EQ(stack_adj_rv32.to_string(insn), std::to_string(rv32[rlist] + 16 * spimm))
          << rlist << "/" << spimm;
      EXPECT_EQ(stack_adj_rv64.to_string(insn), std::to_string(rv64[rlist] + 16 * spimm))
          << rlist << "/" << spimm;
    }
  }
}

TEST(OperandPrinters, RegisterFieldsNameEveryRegister) {
  for (uint64_t r = 0; r < 32; ++r) {
    const insn_t insn(r << 7 | r << 15 | r << 20 | r << 27);
    EXPECT_EQ(int_dest_reg.to_string(insn), xpr_name[r]);
    EXPECT_EQ(int_src1_reg.to_string(insn), xpr_name[r]);
    EXPECT_EQ(int_src2_reg.to_string(insn), xpr_name[r]);
    EXPECT_EQ(int_src3_reg.to_string(insn), xpr_name[r]);
    EXPECT_EQ(fp_src1_reg.to_string(insn), fpr_name[r]);
    EXPECT_EQ(vec_src2_reg.to_string(insn), vr_name[r]);
  }
  for (uint64_t r = 0; r < 8; ++r) {
    const insn_t insn(r << 7 | r << 2);
    EXPECT_EQ(c_int_src1_prime.to_string(insn), xpr_name[8 + r]);
    EXPECT_EQ(c_int_src2_prime.to_string(insn), xpr_name[8 + r]);
    EXPECT_EQ(c_fp_src2_prime.to_string(insn), fpr_name[8 + r]);
  }
}

TEST(OperandPrinters, RegisterNameTables) {
  const char* const x[32] = {"zero", "ra", "sp", "gp", "tp",  "t0",  "t1", "t2",
                             "s0",   "s1", "a0", "a1", "a2",  "a3",  "a4", "a5",
                             "a6",   "a7", "s2", "s3", "s4",  "s5",  "s6", "s7",
                             "s8",   "s9", "s10", "s11", "t3", "t4", "t5", "t6"};
  const char* const f[32] = {"ft0", "ft1", "ft2", "ft3", "ft4", "ft5", "ft6", "ft7",
                             "fs0", "fs1", "fa0", "fa1", "fa2", "fa3", "fa4", "fa5",
                             "fa6", "fa7", "fs2", "fs3", "fs4", "fs5", "fs6", "fs7",
                             "fs8", "fs9", "fs10", "fs11", "ft8", "ft9", "ft10", "ft11"};
  for (int i = 0; i < 32; ++i) {
    EXPECT_STREQ(xpr_name[i], x[i]);
    EXPECT_STREQ(fpr_name[i], f[i]);
    EXPECT_EQ(std::string(vr_name[i]), "v" + std::to_string(i));
  }
}

TEST(OperandPrinters, SharedClassPairsAreDistinctObjects) {
  EXPECT_NE(&shift_amount, &uimm6_25_20);
  EXPECT_NE(&vec_mem_data_reg, &vec_dest_reg);
  EXPECT_NE(&vec_mem_base, &amo_base);
  EXPECT_NE(&c_int_dest, &int_dest_reg);
}

// Runs during dynamic initialisation of this file, in no fixed order with the
// library's own initialisers: the printers must already be usable.
const std::string text_at_static_init = int_dest_reg.to_string(insn_t(0x00000513)) + " " +
                                        csr_operand.to_string(insn_t(0x30002573));

TEST(OperandPrinters, UsableDuringStaticInitialisation) {
  EXPECT_EQ(text_at_static_init, "a0 mstatus");
}

TEST(Num2hex, WidthTruncationAndZeroDigits) {
  struct {
    uint32_t value;
    int n;
    const char* text;
  } cases[] = {
      {0x12345, 5, "0x12345"},     {0xabcdef12, 8, "0xabcdef12"}, {0x123456, 5, "0x23456"},
      {0xf, 1, "0xf"},             {0x10, 1, "0x0"},              {0xff, 0, "0x"},
      {0, 3, "0x000"},             {0x1, 10, "0x0000000001"},     {0xffffffff, 10, "0x00ffffffff"},
      {0xffffffff, -1, "0x"},
  };
  for (const auto& c : cases) EXPECT_EQ(num2hex(c.value, c.n), c.text) << c.value << "/" << c.n;
}

}  // namespace
