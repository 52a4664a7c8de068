#include "fusion_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Builds a fused-pair word from its fields.
uint64_t fused(uint64_t kind, uint64_t first, uint64_t funct3, int64_t imm12, uint64_t length,
               bool swapped = false) {
  return kind << 60 | uint64_t(swapped) << 54 | funct3 << 51 |
         (static_cast<uint64_t>(imm12) & 0xfff) << 39 | first << 7 | length;
}

// First instructions, assembled with riscv64-unknown-elf-as.
constexpr uint64_t lui_a0_12345 = 0x12345537;
constexpr uint64_t lui_a0_fffff = 0xfffff537;
constexpr uint64_t lui_t1_1 = 0x00001337;
constexpr uint64_t c_lui_a0_m1 = 0x757d;  // c.lui a0, 0xfffff
constexpr uint64_t c_lui_t1_1 = 0x6305;
constexpr uint64_t auipc_t1_0 = 0x00000317;
constexpr uint64_t add_a0_a1_a2 = 0x00c58533;
constexpr uint64_t add_uw_a0_a1_a2 = 0x08c5853b;
constexpr uint64_t sh1add_a0_a1_a2 = 0x20c5a533;
constexpr uint64_t sh1add_uw_a0_a1_a2 = 0x20c5a53b;
constexpr uint64_t sh2add_a0_a1_a2 = 0x20c5c533;
constexpr uint64_t sh2add_uw_a0_a1_a2 = 0x20c5c53b;
constexpr uint64_t sh3add_a0_a1_a2 = 0x20c5e533;
constexpr uint64_t sh3add_uw_a0_a1_a2 = 0x20c5e53b;
constexpr uint64_t c_add_a0_a1 = 0x952e;
constexpr uint64_t andi_t0_a0_7 = 0x00757293;
constexpr uint64_t andi_t0_a0_m1 = 0xfff57293;
constexpr uint64_t and_t0_a0_a1 = 0x00b572b3;
constexpr uint64_t c_andi_s1_m3 = 0x98f5;
constexpr uint64_t c_and_a5_a2 = 0x8ff1;

constexpr uint64_t both32 = 0x3f, one_c = 0x1f, both_c = 0x7b;

struct fusion_case_t {
  const char* printer_name;
  const arg_t* printer;
  uint64_t word;
  const char* text;
};

#define F(name) #name, &name

const std::vector<fusion_case_t> fusion_cases = {
    // lui / c.lui + addi / c.addi.
    {F(fuse_lui_addi_arg), fused(0x8, lui_a0_12345, 0, 0x678, both32),
     "lui a0, 0x12345; addi a0, a0, 1656"},
    {F(fuse_lui_addi_arg), fused(0x8, lui_a0_12345, 0, -1, both32),
     "lui a0, 0x12345; addi a0, a0, -1"},
    {F(fuse_lui_addi_arg), fused(0x8, lui_a0_fffff, 0, -2048, both32),
     "lui a0, 0xfffff; addi a0, a0, -2048"},
    {F(fuse_lui_c_addi_arg), fused(0x8, lui_a0_12345, 0, -1, one_c),
     "lui a0, 0x12345; c.addi a0, a0, -1"},
    {F(fuse_c_lui_addi_arg), fused(0x8, c_lui_a0_m1, 0, 5, one_c),
     "c.lui a0, 0xfffff; addi a0, a0, 5"},
    {F(fuse_c_lui_c_addi_arg), fused(0x8, c_lui_t1_1, 0, 31, both_c),
     "c.lui t1, 0x00001; c.addi t1, t1, 31"},

    // lui / c.lui + jalr (the c.jalr objects exist though no pattern uses them).
    {F(fuse_lui_jalr_arg), fused(0xb, lui_t1_1, 0, -4, both32),
     "lui t1, 0x00001; jalr t1, t1, -4"},
    {F(fuse_lui_c_jalr_arg), fused(0xb, lui_t1_1, 0, 0, one_c), "lui t1, 0x00001; c.jalr t1, t1, 0"},
    {F(fuse_c_lui_jalr_arg), fused(0xb, c_lui_t1_1, 0, 2047, one_c),
     "c.lui t1, 0x00001; jalr t1, t1, 2047"},
    {F(fuse_c_lui_c_jalr_arg), fused(0xb, c_lui_a0_m1, 0, 0, both_c),
     "c.lui a0, 0xfffff; c.jalr a0, a0, 0"},

    // auipc + addi / jalr.
    {F(fuse_auipc_addi_arg), fused(0xc, auipc_t1_0, 0, 2047, both32),
     "auipc t1, 0x00000; addi t1, t1, 2047"},
    {F(fuse_auipc_c_addi_arg), fused(0xc, auipc_t1_0, 0, -32, one_c),
     "auipc t1, 0x00000; c.addi t1, t1, -32"},
    {F(fuse_auipc_jalr_arg), fused(0xf, auipc_t1_0, 0, -16, both32),
     "auipc t1, 0x00000; jalr t1, t1, -16"},
    {F(fuse_auipc_c_jalr_arg), fused(0xf, auipc_t1_0, 0, 0, one_c),
     "auipc t1, 0x00000; c.jalr t1, t1, 0"},

    // lui / c.lui + load: c.lw and c.ld only for a compressed load.
    {F(fuse_lui_lx_arg), fused(0xa, lui_a0_12345, 2, -8, both32), "lui a0, 0x12345; lw a0, -8(a0)"},
    {F(fuse_lui_c_lx_arg), fused(0xa, lui_a0_12345, 2, 124, one_c),
     "lui a0, 0x12345; c.lw a0, 124(a0)"},
    {F(fuse_lui_c_lx_arg), fused(0xa, lui_a0_12345, 3, 248, one_c),
     "lui a0, 0x12345; c.ld a0, 248(a0)"},
    {F(fuse_c_lui_lx_arg), fused(0xa, c_lui_a0_m1, 2, 4, one_c), "c.lui a0, 0xfffff; lw a0, 4(a0)"},
    {F(fuse_c_lui_lx_arg), fused(0xa, c_lui_a0_m1, 3, 8, one_c), "c.lui a0, 0xfffff; ld a0, 8(a0)"},
    {F(fuse_c_lui_c_lx_arg), fused(0xa, c_lui_a0_m1, 2, 4, both_c),
     "c.lui a0, 0xfffff; c.lw a0, 4(a0)"},
    // funct3 7 is no load: the mnemonic is left empty.
    {F(fuse_lui_lx_arg), fused(0xa, lui_a0_12345, 7, 0, both32), "lui a0, 0x12345;  a0, 0(a0)"},

    // auipc + load.
    {F(fuse_auipc_lx_arg), fused(0xe, auipc_t1_0, 4, 100, both32),
     "auipc t1, 0x00000; lbu t1, 100(t1)"},
    {F(fuse_auipc_lx_arg), fused(0xe, auipc_t1_0, 3, -2048, both32),
     "auipc t1, 0x00000; ld t1, -2048(t1)"},
    {F(fuse_auipc_c_lx_arg), fused(0xe, auipc_t1_0, 3, 16, one_c),
     "auipc t1, 0x00000; c.ld t1, 16(t1)"},

    // add family + load, always offset 0.
    {F(fuse_add_lx_arg), fused(0x9, add_a0_a1_a2, 3, 0, both32), "add a0, a1, a2; ld a0, 0(a0)"},
    {F(fuse_add_c_lx_arg), fused(0x9, add_a0_a1_a2, 2, 0, one_c), "add a0, a1, a2; c.lw a0, 0(a0)"},
    {F(fuse_add_uw_lx_arg), fused(0x9, add_uw_a0_a1_a2, 6, 0, both32),
     "add.uw a0, a1, a2; lwu a0, 0(a0)"},
    {F(fuse_add_uw_c_lx_arg), fused(0x9, add_uw_a0_a1_a2, 3, 0, one_c),
     "add.uw a0, a1, a2; c.ld a0, 0(a0)"},
    {F(fuse_sh1add_lx_arg), fused(0x9, sh1add_a0_a1_a2, 1, 0, both32),
     "sh1add a0, a1, a2; lh a0, 0(a0)"},
    {F(fuse_sh1add_c_lx_arg), fused(0x9, sh1add_a0_a1_a2, 2, 0, one_c),
     "sh1add a0, a1, a2; c.lw a0, 0(a0)"},
    {F(fuse_sh1add_uw_lx_arg), fused(0x9, sh1add_uw_a0_a1_a2, 5, 0, both32),
     "sh1add.uw a0, a1, a2; lhu a0, 0(a0)"},
    {F(fuse_sh1add_uw_c_lx_arg), fused(0x9, sh1add_uw_a0_a1_a2, 2, 0, one_c),
     "sh1add.uw a0, a1, a2; c.lw a0, 0(a0)"},
    {F(fuse_sh2add_lx_arg), fused(0x9, sh2add_a0_a1_a2, 2, 0, both32),
     "sh2add a0, a1, a2; lw a0, 0(a0)"},
    {F(fuse_sh2add_c_lx_arg), fused(0x9, sh2add_a0_a1_a2, 2, 0, one_c),
     "sh2add a0, a1, a2; c.lw a0, 0(a0)"},
    {F(fuse_sh2add_uw_lx_arg), fused(0x9, sh2add_uw_a0_a1_a2, 0, 0, both32),
     "sh2add.uw a0, a1, a2; lb a0, 0(a0)"},
    {F(fuse_sh2add_uw_c_lx_arg), fused(0x9, sh2add_uw_a0_a1_a2, 3, 0, one_c),
     "sh2add.uw a0, a1, a2; c.ld a0, 0(a0)"},
    {F(fuse_sh3add_lx_arg), fused(0x9, sh3add_a0_a1_a2, 3, 0, both32),
     "sh3add a0, a1, a2; ld a0, 0(a0)"},
    {F(fuse_sh3add_c_lx_arg), fused(0x9, sh3add_a0_a1_a2, 3, 0, one_c),
     "sh3add a0, a1, a2; c.ld a0, 0(a0)"},
    {F(fuse_sh3add_uw_lx_arg), fused(0x9, sh3add_uw_a0_a1_a2, 3, 0, both32),
     "sh3add.uw a0, a1, a2; ld a0, 0(a0)"},
    {F(fuse_sh3add_uw_c_lx_arg), fused(0x9, sh3add_uw_a0_a1_a2, 3, 0, one_c),
     "sh3add.uw a0, a1, a2; c.ld a0, 0(a0)"},
    {F(fuse_c_add_lx_arg), fused(0x9, c_add_a0_a1, 2, 0, one_c), "c.add a0, a0, a1; lw a0, 0(a0)"},
    {F(fuse_c_add_c_lx_arg), fused(0x9, c_add_a0_a1, 3, 0, both_c),
     "c.add a0, a0, a1; c.ld a0, 0(a0)"},

    // and / andi + branch.
    {F(fuse_andi_beq_arg), fused(0xd, andi_t0_a0_7, 0, 8, both32),
     "andi t0, a0, 7; beq t0, zero, pc + 16"},
    {F(fuse_andi_beq_arg), fused(0xd, andi_t0_a0_7, 0, 8, both32, true),
     "andi t0, a0, 7; beq zero, t0, pc + 16"},
    {F(fuse_andi_beq_arg), fused(0xd, andi_t0_a0_m1, 1, -4, both32),
     "andi t0, a0, -1; bne t0, zero, pc - 8"},
    {F(fuse_andi_beq_arg), fused(0xd, andi_t0_a0_7, 4, 0, both32),
     "andi t0, a0, 7; blt t0, zero, pc + 0"},
    {F(fuse_andi_beq_arg), fused(0xd, andi_t0_a0_7, 5, -2048, both32),
     "andi t0, a0, 7; bge t0, zero, pc - 4096"},
    {F(fuse_andi_beq_arg), fused(0xd, andi_t0_a0_7, 6, 2047, both32),
     "andi t0, a0, 7; bltu t0, zero, pc + 4094"},
    {F(fuse_andi_beq_arg), fused(0xd, andi_t0_a0_7, 7, 1, both32),
     "andi t0, a0, 7; bgeu t0, zero, pc + 2"},
    // funct3 2 is no branch: the mnemonic is left empty.
    {F(fuse_andi_beq_arg), fused(0xd, andi_t0_a0_7, 2, 1, both32),
     "andi t0, a0, 7;  t0, zero, pc + 2"},
    {F(fuse_andi_c_beq_arg), fused(0xd, andi_t0_a0_7, 6, -128, one_c),
     "andi t0, a0, 7; c.beqz t0, zero, pc - 256"},
    {F(fuse_andi_c_beq_arg), fused(0xd, andi_t0_a0_7, 7, 127, one_c),
     "andi t0, a0, 7; c.bnez t0, zero, pc + 254"},
    {F(fuse_and_beq_arg), fused(0xd, and_t0_a0_a1, 1, 2, both32),
     "and t0, a0, a1; bne t0, zero, pc + 4"},
    {F(fuse_and_beq_arg), fused(0xd, and_t0_a0_a1, 0, 2, both32, true),
     "and t0, a0, a1; beq zero, t0, pc + 4"},
    {F(fuse_and_c_beq_arg), fused(0xd, and_t0_a0_a1, 6, 2, one_c),
     "and t0, a0, a1; c.beqz t0, zero, pc + 4"},
    // c.andi and c.and name x8 to x15 through their 3-bit fields, in both orders.
    {F(fuse_c_andi_beq_arg), fused(0xd, c_andi_s1_m3, 0, 8, one_c),
     "c.andi s1, s1, -3; beq s1, zero, pc + 16"},
    {F(fuse_c_andi_beq_arg), fused(0xd, c_andi_s1_m3, 0, 8, one_c, true),
     "c.andi s1, s1, -3; beq zero, s1, pc + 16"},
    {F(fuse_c_andi_c_beq_arg), fused(0xd, c_andi_s1_m3, 7, -1, both_c),
     "c.andi s1, s1, -3; c.bnez s1, zero, pc - 2"},
    {F(fuse_c_and_beq_arg), fused(0xd, c_and_a5_a2, 1, 3, one_c),
     "c.and a5, a5, a2; bne a5, zero, pc + 6"},
    {F(fuse_c_and_beq_arg), fused(0xd, c_and_a5_a2, 1, 3, one_c, true),
     "c.and a5, a5, a2; bne zero, a5, pc + 6"},
    {F(fuse_c_and_c_beq_arg), fused(0xd, c_and_a5_a2, 6, 0, both_c),
     "c.and a5, a5, a2; c.beqz a5, zero, pc + 0"},
};

#undef F

TEST(FusionPrinters, PrintExactTexts) {
  for (const fusion_case_t& c : fusion_cases)
    EXPECT_EQ(c.printer->to_string(insn_t(c.word)), c.text)
        << c.printer_name << " of 0x" << std::hex << c.word;
}

// The branch printer also knows add and c.addi/c.add firsts (full 5-bit
// register fields), though no exported object uses them.
TEST(FusionPrinters, BranchPrinterWithAddFirsts) {
  const fuse_alu_beq_arg_t c_add("c.add", true, false), c_addi("c.addi", true, true),
      add("add", false, false);
  EXPECT_EQ(c_add.to_string(insn_t(fused(0xd, c_add_a0_a1, 0, 2, one_c))),
            "c.add a0, a0, a1; beq a0, zero, pc + 4");
  EXPECT_EQ(c_addi.to_string(insn_t(fused(0xd, 0x1501, 7, 2, both_c))),  // c.addi a0, -32
            "c.addi a0, a0, -32; c.bnez a0, zero, pc + 4");
  EXPECT_EQ(add.to_string(insn_t(fused(0xd, add_a0_a1_a2, 5, -1, both32, true))),
            "add a0, a1, a2; bge zero, a0, pc - 2");
}

TEST(FusionPrinters, DefaultConstructedLoadPrinterTakesFlagsLater) {
  fuse_lui_lx_arg_t p;
  EXPECT_EQ(p.to_string(insn_t(fused(0xa, lui_a0_12345, 3, 0, both32))),
            "lui a0, 0x12345; ld a0, 0(a0)");
  p.first_is_c = true;
  p.second_is_c = true;
  EXPECT_EQ(p.to_string(insn_t(fused(0xa, c_lui_a0_m1, 3, 0, both_c))),
            "c.lui a0, 0xfffff; c.ld a0, 0(a0)");
}

}  // namespace
