#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "disasm.h"
#include "et_records.h"
#include "fused_word.h"
#include "insn_ids.h"

namespace {

et_insn_t zero_record() {
  et_insn_t r;
  std::memset(&r, 0, sizeof(r));
  return r;
}

et_reg_t slot(uint64_t reg, uint64_t value) { return et_reg_t{true, reg, true, value}; }

// A committed machine-mode record with every slot and address filled.
et_insn_t full_record() {
  et_insn_t r = zero_record();
  r.mode = 3;
  r.pc = 0x80001000;
  r.insn = 0x007302b3;  // add x5, x6, x7
  r.committed = true;
  r.rs1 = slot(6, 0x1111);
  r.rs2 = slot(7, 0x2222);
  r.rs3 = slot(8, 0x3333);
  r.rs4 = slot(5, 0x4444);
  r.rd = slot(5, 0x5555);
  r.frs1 = slot(1, 0x6666);
  r.frs2 = slot(2, 0x7777);
  r.frs3 = slot(3, 0x8888);
  r.frd = slot(4, 0x9999);
  r.ea_valid = r.pa_valid = r.sd_valid = true;
  r.ea = 0x1000;
  r.pa = 0x2000;
  r.sd = 0x3000;
  return r;
}

using mutate_t = std::function<void(et_insn_t& a, et_insn_t& b)>;

struct compare_case_t {
  const char* name;
  uint64_t flags;
  uint64_t xlen;
  mutate_t mutate;
  unsigned expected;
};

const uint64_t HI = uint64_t(1) << 40;  // a difference above the low 32 bits

const compare_case_t compare_cases[] = {
    {"equal_all_flags", 0xffff, 64, [](et_insn_t&, et_insn_t&) {}, 0},
    {"hart_first_of_many", 0xffff, 64, [](et_insn_t&, et_insn_t& b) { b.hart = 1; b.pc = 4; b.rs1.value = 0; }, 323},
    {"mode", 0, 64, [](et_insn_t&, et_insn_t& b) { b.mode = 1; }, 327},
    {"pc", 0, 64, [](et_insn_t&, et_insn_t& b) { b.pc += 4; }, 331},
    {"trap", 0, 64, [](et_insn_t&, et_insn_t& b) { b.trap = true; }, 335},
    {"cause", 0, 64, [](et_insn_t& a, et_insn_t& b) { a.trap = b.trap = true; a.cause = 2; b.cause = 3; }, 339},
    {"cause_12_ignores_insn", 0xffff, 64,
     [](et_insn_t& a, et_insn_t& b) { a.trap = b.trap = true; a.cause = b.cause = 12; b.insn = 0x13; b.rs1.value = 0; }, 0},
    {"cause_1_ignores_insn", 0, 64,
     [](et_insn_t& a, et_insn_t& b) { a.trap = b.trap = true; a.cause = b.cause = 1; b.insn = 0x13; }, 0},
    {"interrupt_ignores_insn", 0, 64,
     [](et_insn_t& a, et_insn_t& b) { a.trap = b.trap = a.intr = true; a.cause = b.cause = 7; b.insn = 0x13; }, 0},
    {"cause_0_without_trap_still_compares", 0, 64, [](et_insn_t&, et_insn_t& b) { b.insn = 0x13; }, 356},
    {"insn_32bit", 0, 64, [](et_insn_t&, et_insn_t& b) { b.insn = 0x00000013; }, 356},
    {"insn_32bit_against_compressed", 0, 64, [](et_insn_t&, et_insn_t& b) { b.insn = 0x0001; }, 356},
    {"insn_compressed_low_bits", 0, 64, [](et_insn_t& a, et_insn_t& b) { a.insn = 0x0001; b.insn = 0x0005; }, 353},
    {"insn_compressed_upper_bits_ignored", 0, 64,
     [](et_insn_t& a, et_insn_t& b) { a.insn = 0x0001; b.insn = 0xabcd0001; }, 0},
    {"cause_13_compares_insn", 0, 64,
     [](et_insn_t& a, et_insn_t& b) { a.trap = b.trap = true; a.cause = b.cause = 13; b.insn = 0x13; }, 356},
    {"cause_13_skips_operands", 0xffff, 64,
     [](et_insn_t& a, et_insn_t& b) { a.trap = b.trap = true; a.cause = b.cause = 13; b.rs1.value = 0; }, 0},
    {"cause_3_compares_operands", 0x1, 64,
     [](et_insn_t& a, et_insn_t& b) { a.trap = b.trap = true; a.cause = b.cause = 3; b.rs1.value = 0; }, 382},
    {"rs1_value", 0x1, 64, [](et_insn_t&, et_insn_t& b) { b.rs1.value ^= HI; }, 382},
    {"rs1_reg", 0x1, 64, [](et_insn_t&, et_insn_t& b) { b.rs1.reg = 9; }, 382},
    {"rs1_addr_valid", 0x1, 64, [](et_insn_t&, et_insn_t& b) { b.rs1.addr_valid = false; }, 382},
    {"rs1_not_used", 0x0, 64, [](et_insn_t&, et_insn_t& b) { b.rs1.value = 0; }, 0},
    {"rs1_rv32_upper_ignored", 0x1, 32, [](et_insn_t&, et_insn_t& b) { b.rs1.value ^= HI; }, 0},
    {"rs1_rv32_low", 0x1, 32, [](et_insn_t&, et_insn_t& b) { b.rs1.value ^= 1; }, 379},
    {"rs1_rv32_data_valid", 0x1, 32, [](et_insn_t&, et_insn_t& b) { b.rs1.data_valid = false; }, 379},
    {"rs1_rv32_pair", 0x1001, 32, [](et_insn_t&, et_insn_t& b) { b.rs1.value ^= HI; }, 382},
    {"rs2", 0x2, 64, [](et_insn_t&, et_insn_t& b) { b.rs2.value = 0; }, 392},
    {"rs2_rv32", 0x2, 32, [](et_insn_t&, et_insn_t& b) { b.rs2.value = 0; }, 389},
    {"rs2_rv32_pair", 0x2002, 32, [](et_insn_t&, et_insn_t& b) { b.rs2.value ^= HI; }, 392},
    {"rs2_skipped_for_store", 0x202, 64, [](et_insn_t&, et_insn_t& b) { b.rs2.value = 0; }, 0},
    {"rs3", 0x4, 64, [](et_insn_t&, et_insn_t& b) { b.rs3.reg = 0; }, 402},
    {"rs3_rv32", 0x4, 32, [](et_insn_t&, et_insn_t& b) { b.rs3.reg = 0; }, 399},
    {"rs3_rv32_pair", 0x4004, 32, [](et_insn_t&, et_insn_t& b) { b.rs3.value ^= HI; }, 402},
    {"rs4", 0x400, 64, [](et_insn_t&, et_insn_t& b) { b.rs4.value = 0; }, 412},
    {"rs4_rv32", 0x400, 32, [](et_insn_t&, et_insn_t& b) { b.rs4.value = 0; }, 409},
    {"rs4_rv32_pair", 0xc00, 32, [](et_insn_t&, et_insn_t& b) { b.rs4.value ^= HI; }, 412},
    {"frs1_all_bits_on_rv32", 0x10, 32, [](et_insn_t&, et_insn_t& b) { b.frs1.value ^= HI; }, 417},
    {"frs2", 0x20, 64, [](et_insn_t&, et_insn_t& b) { b.frs2.value = 0; }, 420},
    {"frs2_skipped_for_store", 0x220, 64, [](et_insn_t&, et_insn_t& b) { b.frs2.value = 0; }, 0},
    {"frs3", 0x40, 64, [](et_insn_t&, et_insn_t& b) { b.frs3.data_valid = false; }, 423},
    {"sd_valid", 0x200, 64, [](et_insn_t&, et_insn_t& b) { b.sd_valid = false; }, 428},
    {"sd_before_rs2", 0x202, 64, [](et_insn_t&, et_insn_t& b) { b.sd = 0; }, 432},
    {"sd_ignored_without_valid", 0x200, 64,
     [](et_insn_t& a, et_insn_t& b) { a.sd_valid = b.sd_valid = false; b.sd = 0; }, 0},
    {"sd_not_for_loads", 0x100, 64, [](et_insn_t&, et_insn_t& b) { b.sd = 0; }, 0},
    {"ea_valid", 0x100, 64, [](et_insn_t&, et_insn_t& b) { b.ea_valid = false; }, 439},
    {"ea", 0x100, 64, [](et_insn_t&, et_insn_t& b) { b.ea = 0; }, 443},
    {"pa_valid", 0x100, 64, [](et_insn_t&, et_insn_t& b) { b.pa_valid = false; }, 448},
    {"pa", 0x100, 64, [](et_insn_t&, et_insn_t& b) { b.pa = 0; }, 452},
    {"rd", 0x8, 64, [](et_insn_t&, et_insn_t& b) { b.rd.value = 0; }, 463},
    {"rd_rv32", 0x8, 32, [](et_insn_t&, et_insn_t& b) { b.rd.value = 0; }, 460},
    {"rd_rv32_pair", 0x8008, 32, [](et_insn_t&, et_insn_t& b) { b.rd.value ^= HI; }, 463},
    {"rd_x0_not_compared", 0x8,
     64, [](et_insn_t& a, et_insn_t& b) { a.insn = b.insn = 0x00730033; b.rd.value = 0; }, 0},
    {"frd", 0x80, 64, [](et_insn_t&, et_insn_t& b) { b.frd.value = 0; }, 468},
    {"flags_of_this_record_only", 0x0, 64,
     [](et_insn_t&, et_insn_t& b) { b.operand_flags = 0xffff; b.rd.value = 0; }, 0},
};

class CompareTest : public ::testing::TestWithParam<compare_case_t> {};

TEST_P(CompareTest, GivesTheCodeOfTheFirstFailedCheck) {
  const compare_case_t& c = GetParam();
  et_insn_t a = full_record();
  a.operand_flags = c.flags;
  et_insn_t b = a;
  b.operand_flags = 0;
  c.mutate(a, b);
  EXPECT_EQ(a.compare(b, c.xlen), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Codes, CompareTest, ::testing::ValuesIn(compare_cases),
                         [](const ::testing::TestParamInfo<compare_case_t>& i) { return std::string(i.param.name); });

// ---------------------------------------------------------------------------
// fuse

// Instruction words used below.
constexpr uint64_t LUI_X5 = 0x123452b7;       // lui x5, 0x12345
constexpr uint64_t AUIPC_X5 = 0x12345297;     // auipc x5, 0x12345
constexpr uint64_t LUI_X8 = 0x12345437;       // lui x8, 0x12345
constexpr uint64_t ADDI_X5_X5_4 = 0x00428293; // addi x5, x5, 4
constexpr uint64_t ADDI_X6_X5_4 = 0x00428313; // addi x6, x5, 4
constexpr uint64_t JALR_X5_8_X5 = 0x008282e7; // jalr x5, 8(x5)
constexpr uint64_t LW_X5_16_X5 = 0x0102a283;  // lw x5, 16(x5)
constexpr uint64_t LW_X5_0_X5 = 0x0002a283;   // lw x5, 0(x5)
constexpr uint64_t LW_X6_0_X5 = 0x0002a303;   // lw x6, 0(x5)
constexpr uint64_t C_LUI_X5_1 = 0x6285;       // c.lui x5, 1
constexpr uint64_t C_ADDI_X5_4 = 0x0291;      // c.addi x5, 4
constexpr uint64_t C_ADDI_X5_M1 = 0x12fd;     // c.addi x5, -1
constexpr uint64_t C_LW_X8_4_X8 = 0x4040;     // c.lw x8, 4(x8)
constexpr uint64_t C_LD_X8_8_X8 = 0x6400;     // c.ld x8, 8(x8)
constexpr uint64_t C_LI_X5_1 = 0x4285;        // c.li x5, 1
constexpr uint64_t ANDI_X5_X5_1 = 0x0012f293; // andi x5, x5, 1
constexpr uint64_t ANDI_X7_X7_1 = 0x0013f393; // andi x7, x7, 1
constexpr uint64_t AND_X5_X5_X6 = 0x0062f2b3; // and x5, x5, x6
constexpr uint64_t C_ANDI_X8_1 = 0x8805;      // c.andi x8, 1
constexpr uint64_t BEQ_X0_X5_8 = 0x00500463;  // beq x0, x5, pc + 8
constexpr uint64_t BEQ_X5_X0_M4 = 0xfe028ee3; // beq x5, x0, pc - 4
constexpr uint64_t BNE_X5_X6_8 = 0x00629463;  // bne x5, x6, pc + 8
constexpr uint64_t C_BEQZ_X8_M2 = 0xdc7d;     // c.beqz x8, pc - 2
constexpr uint64_t ADD_X5_X5_X6 = 0x006282b3; // add x5, x5, x6
constexpr uint64_t SH2ADD_X5_X5_X6 = 0x206242b3;  // sh2add x5, x5, x6
constexpr uint64_t SUB_X5_X5_X6 = 0x406282b3; // sub x5, x5, x6

et_insn_t fuse_input(uint64_t word, uint64_t pc) {
  et_insn_t r = zero_record();
  r.mode = 3;
  r.pc = pc;
  r.insn = word;
  r.committed = true;
  r.rs1 = slot(1, 0x10);
  r.rs2 = slot(2, 0x20);
  r.rd = slot(3, 0x30);
  return r;
}

struct fuse_case_t {
  const char* name;
  uint64_t first;
  uint64_t second;
  mutate_t mutate;  // applied to (first, second)
  int expected;
  uint64_t word;    // expected fused word when expected is 0
  int id;           // the disassembler's id of that word
};

uint64_t pair(uint32_t kind, bool swapped, uint32_t funct3, uint32_t imm, uint32_t first, uint32_t length) {
  return fused_word::make(kind, swapped, funct3, imm, first, length);
}

const mutate_t none = [](et_insn_t&, et_insn_t&) {};

const fuse_case_t fuse_cases[] = {
    {"lui_addi", LUI_X5, ADDI_X5_X5_4, none, 0, pair(0x8, false, 0, 4, LUI_X5, 0x3f), ID_FUSE_LUI_ADDI},
    {"lui_c_addi_negative", LUI_X5, C_ADDI_X5_M1, none, 0, pair(0x8, false, 0, 0xfff, LUI_X5, 0x1f),
     ID_FUSE_LUI_C_ADDI},
    {"c_lui_c_addi", C_LUI_X5_1, C_ADDI_X5_4, none, 0, pair(0x8, false, 0, 4, C_LUI_X5_1, 0x7b),
     ID_FUSE_C_LUI_C_ADDI},
    {"lui_load", LUI_X5, LW_X5_16_X5, none, 0, pair(0xa, false, 2, 16, LUI_X5, 0x3f), ID_FUSE_LUI_LX},
    {"lui_c_lw", LUI_X8, C_LW_X8_4_X8, none, 0, pair(0xa, false, 2, 4, LUI_X8, 0x1f), ID_FUSE_LUI_C_LX},
    {"lui_c_ld", LUI_X8, C_LD_X8_8_X8, none, 0, pair(0xa, false, 3, 8, LUI_X8, 0x1f), ID_FUSE_LUI_C_LX},
    {"lui_jalr", LUI_X5, JALR_X5_8_X5, none, 0, pair(0xb, false, 0, 8, LUI_X5, 0x3f), ID_FUSE_LUI_JALR},
    {"auipc_addi", AUIPC_X5, ADDI_X5_X5_4, none, 0, pair(0xc, false, 0, 4, AUIPC_X5, 0x3f), ID_FUSE_AUIPC_ADDI},
    {"auipc_load", AUIPC_X5, LW_X5_16_X5, none, 0, pair(0xe, false, 2, 16, AUIPC_X5, 0x3f), ID_FUSE_AUIPC_LX},
    {"auipc_jalr", AUIPC_X5, JALR_X5_8_X5, none, 0, pair(0xf, false, 0, 8, AUIPC_X5, 0x3f), ID_FUSE_AUIPC_JALR},
    {"andi_beq_swapped", ANDI_X5_X5_1, BEQ_X0_X5_8, none, 0, pair(0xd, true, 0, 4, ANDI_X5_X5_1, 0x3f),
     ID_FUSE_ANDI_BEQ},
    {"and_beq_backwards", AND_X5_X5_X6, BEQ_X5_X0_M4, none, 0, pair(0xd, false, 0, 0xffe, AND_X5_X5_X6, 0x3f),
     ID_FUSE_AND_BEQ},
    {"c_andi_c_beqz", C_ANDI_X8_1, C_BEQZ_X8_M2, none, 0, pair(0xd, false, 6, 0xfff, C_ANDI_X8_1, 0x7b),
     ID_FUSE_C_ANDI_C_BEQ},
    {"add_lw", ADD_X5_X5_X6, LW_X5_0_X5, none, 0, pair(0x9, false, 2, 0, ADD_X5_X5_X6, 0x3f), ID_FUSE_ADD_LX},
    {"add_lw_offset_not_kept", ADD_X5_X5_X6, LW_X5_16_X5, none, 0, pair(0x9, false, 2, 0, ADD_X5_X5_X6, 0x3f),
     ID_FUSE_ADD_LX},
    {"sh2add_lw", SH2ADD_X5_X5_X6, LW_X5_0_X5, none, 0, pair(0x9, false, 2, 0, SH2ADD_X5_X5_X6, 0x3f),
     ID_FUSE_SH2ADD_LX},

    {"hart", LUI_X5, ADDI_X5_X5_4, [](et_insn_t&, et_insn_t& s) { s.hart = 1; }, 555, 0, 0},
    {"mode", LUI_X5, ADDI_X5_X5_4, [](et_insn_t&, et_insn_t& s) { s.mode = 0; }, 558, 0, 0},
    {"committed", LUI_X5, ADDI_X5_X5_4, [](et_insn_t&, et_insn_t& s) { s.committed = false; }, 561, 0, 0},
    {"first_trapped", LUI_X5, ADDI_X5_X5_4, [](et_insn_t& f, et_insn_t&) { f.trap = true; }, 564, 0, 0},
    {"first_other_compressed", C_LI_X5_1, ADDI_X5_X5_4, none, 592, 0, 0},
    {"second_other_compressed", LUI_X5, C_LI_X5_1, none, 616, 0, 0},
    {"upper_rd_no_addr", LUI_X5, ADDI_X5_X5_4, [](et_insn_t& f, et_insn_t&) { f.rd.addr_valid = false; }, 632, 0, 0},
    {"upper_second_kind", LUI_X5, ADD_X5_X5_X6, none, 646, 0, 0},
    {"upper_second_rs1", LUI_X5, ADDI_X5_X5_4, [](et_insn_t&, et_insn_t& s) { s.rs1.addr_valid = false; }, 649, 0, 0},
    {"upper_second_rd", LUI_X5, ADDI_X5_X5_4, [](et_insn_t&, et_insn_t& s) { s.rd.addr_valid = false; }, 649, 0, 0},
    {"upper_registers", LUI_X5, ADDI_X6_X5_4, none, 652, 0, 0},
    {"and_rd", ANDI_X5_X5_1, BEQ_X0_X5_8, [](et_insn_t& f, et_insn_t&) { f.rd.addr_valid = false; }, 682, 0, 0},
    {"and_rs1", ANDI_X5_X5_1, BEQ_X0_X5_8, [](et_insn_t& f, et_insn_t&) { f.rs1.addr_valid = false; }, 685, 0, 0},
    {"and_rs2", AND_X5_X5_X6, BEQ_X0_X5_8, [](et_insn_t& f, et_insn_t&) { f.rs2.addr_valid = false; }, 690, 0, 0},
    {"andi_rs2_not_needed", ANDI_X5_X5_1, BEQ_X0_X5_8, [](et_insn_t& f, et_insn_t&) { f.rs2.addr_valid = false; },
     0, pair(0xd, true, 0, 4, ANDI_X5_X5_1, 0x3f), ID_FUSE_ANDI_BEQ},
    {"and_second_kind", ANDI_X5_X5_1, ADDI_X5_X5_4, none, 701, 0, 0},
    {"and_registers", ANDI_X7_X7_1, BNE_X5_X6_8, none, 705, 0, 0},
    {"other_first", SUB_X5_X5_X6, LW_X5_0_X5, none, 756, 0, 0},
    {"add_rd", ADD_X5_X5_X6, LW_X5_0_X5, [](et_insn_t& f, et_insn_t&) { f.rd.addr_valid = false; }, 727, 0, 0},
    {"add_rs1", ADD_X5_X5_X6, LW_X5_0_X5, [](et_insn_t& f, et_insn_t&) { f.rs1.addr_valid = false; }, 730, 0, 0},
    {"add_rs2", ADD_X5_X5_X6, LW_X5_0_X5, [](et_insn_t& f, et_insn_t&) { f.rs2.addr_valid = false; }, 733, 0, 0},
    {"add_second_kind", ADD_X5_X5_X6, JALR_X5_8_X5, none, 744, 0, 0},
    // addi shares lb's bits except the opcode's bit 4; it is no load.
    {"add_addi_is_no_load", ADD_X5_X5_X6, ADDI_X5_X5_4, none, 744, 0, 0},
    {"add_second_rs1", ADD_X5_X5_X6, LW_X5_0_X5, [](et_insn_t&, et_insn_t& s) { s.rs1.addr_valid = false; }, 747, 0, 0},
    {"add_second_rd", ADD_X5_X5_X6, LW_X5_0_X5, [](et_insn_t&, et_insn_t& s) { s.rd.addr_valid = false; }, 747, 0, 0},
    {"add_second_rd_missing_after_trap", ADD_X5_X5_X6, LW_X5_0_X5,
     [](et_insn_t&, et_insn_t& s) { s.rd.addr_valid = false; s.trap = true; s.cause = 5; }, 0,
     pair(0x9, false, 2, 0, ADD_X5_X5_X6, 0x3f), ID_FUSE_ADD_LX},
    {"add_registers", ADD_X5_X5_X6, LW_X6_0_X5, none, 750, 0, 0},
};

class FuseTest : public ::testing::TestWithParam<fuse_case_t> {};

TEST_P(FuseTest, FusesOrRefusesWithItsCode) {
  static const disassembler_t disasm(64);
  const fuse_case_t& c = GetParam();
  et_insn_t f = fuse_input(c.first, 0x1000);
  et_insn_t s = fuse_input(c.second, 0x1004);
  c.mutate(f, s);
  et_insn_t d = full_record();
  const et_insn_t before = d;
  ASSERT_EQ(d.fuse(f, s), c.expected);
  if (c.expected != 0) {
    EXPECT_EQ(std::memcmp(&d, &before, sizeof(d)), 0) << "a refusal changes nothing";
    return;
  }
  EXPECT_EQ(d.insn, c.word) << std::hex << d.insn << " / " << c.word;
  EXPECT_TRUE(d.is_fused());
  const disasm_insn_t* p = disasm.get_disasm(d.insn);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(int(p->insn_id), c.id) << disasm.disassemble(d.insn);
}

INSTANTIATE_TEST_SUITE_P(Pairs, FuseTest, ::testing::ValuesIn(fuse_cases),
                         [](const ::testing::TestParamInfo<fuse_case_t>& i) { return std::string(i.param.name); });

TEST(Fuse, ResultTakesFieldsFromEachSide) {
  et_insn_t f = fuse_input(LUI_X5, 0x1000);
  et_insn_t s = fuse_input(LW_X5_16_X5, 0x1004);
  f.hart = s.hart = 2;
  f.uiid = 7;
  s.rd = slot(5, 0xabc);
  s.rs1 = slot(5, 0x12345000);
  s.ea_valid = s.pa_valid = true;
  s.ea = 0x12345010;
  s.pa = 0x2345010;
  s.operand_flags = OPF_RS1 | OPF_RD | OPF_MEM;
  f.rd = slot(5, 0x12345000);

  et_insn_t d = full_record();
  d.operand_flags = OPF_RS1;
  d.uiid = 99;
  ASSERT_EQ(d.fuse(f, s), 0);
  EXPECT_EQ(d.hart, 2);
  EXPECT_EQ(d.pc, 0x1000u);
  EXPECT_EQ(d.uiid, 99u);  // left as it was
  EXPECT_EQ(d.rd.value, 0xabcu);
  EXPECT_EQ(d.rs1.value, f.rs1.value);
  EXPECT_EQ(d.rs2.value, f.rs2.value);
  EXPECT_EQ(d.operand_flags, OPF_RS1 | OPF_MEM);
  EXPECT_EQ(d.ea, 0x12345010u);
  EXPECT_EQ(d.pa, 0x2345010u);
  EXPECT_EQ(d.rs3.value, 0x3333u);
  EXPECT_EQ(d.sd, 0x3000u);
}

TEST(Fuse, SecondTrapGivesTrapAndFirstDestination) {
  et_insn_t f = fuse_input(LUI_X5, 0x1000);
  et_insn_t s = fuse_input(LW_X5_16_X5, 0x1004);
  f.rd = slot(5, 0x12345000);
  s.rd = slot(5, 0xdead);
  s.trap = true;
  s.cause = 13;
  et_insn_t d = zero_record();
  ASSERT_EQ(d.fuse(f, s), 0);
  EXPECT_TRUE(d.trap);
  EXPECT_EQ(d.cause, 13u);
  EXPECT_FALSE(d.intr);
  EXPECT_EQ(d.rd.value, 0x12345000u);

  // An interrupt on the second keeps trap, cause and interrupt flag together.
  s.intr = true;
  s.cause = 0x8000000000000007;
  et_insn_t e = zero_record();
  ASSERT_EQ(e.fuse(f, s), 0);
  EXPECT_TRUE(e.intr);
  EXPECT_EQ(e.cause, 0x8000000000000007u);
}

TEST(Fuse, AndFamilyKeepsFirstDestination) {
  et_insn_t f = fuse_input(ANDI_X5_X5_1, 0x1000);
  et_insn_t s = fuse_input(BEQ_X0_X5_8, 0x1004);
  f.rd = slot(5, 1);
  s.rd = slot(0, 0);
  et_insn_t d = zero_record();
  ASSERT_EQ(d.fuse(f, s), 0);
  EXPECT_EQ(d.rd.reg, 5u);
  EXPECT_EQ(d.rd.value, 1u);
}

TEST(Fuse, ResultMayBeOneOfTheInputs) {
  et_insn_t f = fuse_input(LUI_X5, 0x1000);
  et_insn_t s = fuse_input(ADDI_X5_X5_4, 0x1004);
  s.rd = slot(5, 0x12345004);
  ASSERT_EQ(s.fuse(f, s), 0);
  EXPECT_EQ(s.pc, 0x1000u);
  EXPECT_EQ(s.insn, pair(0x8, false, 0, 4, LUI_X5, 0x3f));
  EXPECT_EQ(s.rd.value, 0x12345004u);
  EXPECT_EQ(s.rs1.value, f.rs1.value);

  et_insn_t f2 = fuse_input(LUI_X5, 0x2000);
  const et_insn_t s2 = fuse_input(ADDI_X5_X5_4, 0x2004);
  ASSERT_EQ(f2.fuse(f2, s2), 0);
  EXPECT_EQ(f2.pc, 0x2000u);
  EXPECT_EQ(f2.rd.value, s2.rd.value);
}

// ---------------------------------------------------------------------------
// destination registers

TEST(DestinationRegister, IntegerByIdAndWord) {
  struct {
    uint64_t id;
    uint64_t insn;
    int64_t rd;
  } cases[] = {
      {ID_ADD, ADD_X5_X5_X6, 5},
      {ID_FUSE_LUI_ADDI, pair(0x8, false, 0, 4, LUI_X5, 0x3f), 5},
      {ID_FUSE_C_ADD_LX, pair(0x9, false, 2, 0, 0x92a6, 0x1f), 5},  // c.add x5, x9
      {ID_FUSE_C_ANDI_C_BEQ, pair(0xd, false, 6, 0, 0x8b85, 0x7b), 15},  // c.andi x15, 1
      {ID_C_AND, 0x8c65, 8 + 0},    // c.and x8, x9
      {ID_C_SRLI, 0x8385, 15},      // c.srli x15, 1
      {ID_C_LW, 0x40c0, 8 + 0x0},   // c.lw x8, 4(x9)
      {ID_C_ADDI4SPN, 0x0068, 10},  // c.addi4spn x10, sp, 12
      {ID_C_JAL, 0x2001, 1},
      {ID_C_JALR, 0x9282, 1},
      {ID_C_LI, C_LI_X5_1, 5},
      {uint64_t(-1), 0x00000f93, 31},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(et_insn_t::get_irda(c.id, c.insn), c.rd) << c.id;
    et_insn_t r = zero_record();
    r.insn_id = int64_t(c.id);
    r.insn = c.insn;
    EXPECT_EQ(r.get_irda(), c.rd) << c.id;
  }
}

TEST(DestinationRegister, FloatingPoint) {
  EXPECT_EQ(et_insn_t::get_frda(ID_C_FLD, 0x2c04), 9);   // c.fld f9, 8(x8)
  EXPECT_EQ(et_insn_t::get_frda(ID_C_FLW, 0x6018), 14);  // c.flw f14, 0(x8)
  EXPECT_EQ(et_insn_t::get_frda(ID_FADD_D, 0x02b574d3), 9);
  et_insn_t r = zero_record();
  r.insn_id = ID_C_FLD;
  r.insn = 0x2404;
  EXPECT_EQ(r.get_frda(), 9);
}

}  // namespace
