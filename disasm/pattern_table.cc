// The table of instruction patterns: every instruction the disassembler
// knows, in priority order, each group under the extension gate that decides
// whether it is registered.
//
// The list is data: one row per registration, walked by one loop. A row names
// its group (the number that selects its gate), its operand shape or its own
// operand list, and the values that differ from its instruction id's default
// encoding. Order matters: init reverses every chain after the fallbacks, so a
// pattern registered earlier wins over a later one in the same chain, which is
// how pseudo-instructions ("nop", "mv", "ret", ...) beat their general forms.

#include <cstdio>
#include <memory>
#include <vector>

#include "disasm.h"
#include "fusion_args.h"
#include "insn_ids.h"
#include "isa_ext.h"
#include "operands.h"

namespace {

// Default encodings of ids 2 to 1363 (index id - FIRST_FALLBACK_ID), with
// their names as registered ("_" prints as ".").
struct id_encoding_t {
  const char* name;
  uint64_t match;
  uint64_t mask;
};

constexpr id_encoding_t k_id_encodings[] = {
#include "insn_table.inc"
};
static_assert(sizeof(k_id_encodings) / sizeof(k_id_encodings[0]) == INSN_ID_COUNT - FIRST_FALLBACK_ID,
              "one default encoding per sorted id");

// Operand printers by code, so the table stays constant data; the printers'
// addresses are looked up when the table is registered.
namespace o {
enum code_t : uint8_t {
  end,  // end of the list
  opt,  // null entry: the next operand is optional
  int_dest_reg,
  int_src1_reg,
  int_src2_reg,
  imm12_signed,
  shift_amount,
  int_src3_reg,
  load_address,
  store_address,
  branch_target,
  amo_base,
  uimm5_24_20,
  uimm4_23_20,
  uimm3_22_20,
  uimm2_31_30,
  fp_dest_reg,
  fp_src2_reg,
  fp_src1_reg,
  fp_src3_reg,
  fli_constant,
  vec_dest_reg,
  vec_src2_reg,
  vec_src1_reg,
  vec_mask_suffix,
  vec_simm5,
  uimm5_19_15,
  fixed_v0,
  vec_mem_base,
  vec_mem_data_reg,
  upper_imm20_hex,
  jal_target,
  fence_sets,
  csr_operand,
  c_int_dest,
  fixed_sp,
  c_addi16sp_imm,
  c_int_src2_prime,
  c_addi4spn_imm,
  c_simm6,
  c_lui_imm_hex,
  c_shift_amount,
  c_int_src1_prime,
  c_int_src2,
  c_lwsp_address,
  c_swsp_address,
  c_lw_address,
  c_branch_target,
  c_jump_target,
  c_ld_address,
  c_ldsp_address,
  c_sdsp_address,
  c_fp_src2_prime,
  c_fp_src2,
  c_byte_address,
  c_half_address,
  push_pop_reglist,
  stack_adj_rv32_neg,
  stack_adj_rv32,
  stack_adj_rv64_neg,
  stack_adj_rv64,
  c_sreg_9_7,
  c_sreg_4_2,
  table_jump_index,
  vtype_text,
  uimm6_25_20,
  uimm6_26_19_15,
  fixed_ra,
  fixed_t0,
  count
};
}  // namespace o

constexpr int k_max_operands = 6;
struct ops_t {
  uint8_t v[k_max_operands];
};

enum shape_t : uint8_t {
  R,
  I,
  SH,
  R1,
  R4,
  N,
  L,
  S,
  B,
  BZ,
  RS,
  LR,
  SX,
  AMO,
  U5,
  U4,
  U3,
  BS,
  PA,
  PB,
  PC,
  PD,
  FL,
  FS,
  FR,
  FR4,
  F1,
  XF,
  FX,
  FC,
  FP2,
  FLI,
  VV,
  VX,
  VI,
  VU,
  VF,
  V1,
  VVM,
  VXM,
  VIM,
  OWN,    // own operand list and flags
  VLOOP,  // the vector load/store loops
};

struct shape_info_t {
  ops_t ops;
  uint64_t flags;
  uint64_t mask;  // 0: the id's mask (or the row's)
};

constexpr shape_info_t k_shapes[] = {
    {{o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}, 11, 0},  // R
    {{o::int_dest_reg, o::int_src1_reg, o::imm12_signed}, 9, 0x0000707f},  // I
    {{o::int_dest_reg, o::int_src1_reg, o::shift_amount}, 9, 0},  // SH
    {{o::int_dest_reg, o::int_src1_reg}, 9, 0},  // R1
    {{o::int_dest_reg, o::int_src1_reg, o::int_src2_reg, o::int_src3_reg}, 15, 0},  // R4
    {{}, 0, 0},  // N
    {{o::int_dest_reg, o::load_address}, 265, 0x0000707f},  // L
    {{o::int_src2_reg, o::store_address}, 771, 0x0000707f},  // S
    {{o::int_src1_reg, o::int_src2_reg, o::branch_target}, 3, 0x0000707f},  // B
    {{o::int_src1_reg, o::branch_target}, 1, 0x01f0707f},  // BZ
    {{o::int_src1_reg, o::int_src2_reg}, 3, 0xfe007fff},  // RS
    {{o::int_dest_reg, o::amo_base}, 265, 0},  // LR
    {{o::int_src2_reg, o::amo_base}, 779, 0},  // SX
    {{o::int_dest_reg, o::int_src2_reg, o::amo_base}, 0, 0},  // AMO
    {{o::int_dest_reg, o::int_src1_reg, o::uimm5_24_20}, 9, 0xfe00707f},  // U5
    {{o::int_dest_reg, o::int_src1_reg, o::uimm4_23_20}, 9, 0xff00707f},  // U4
    {{o::int_dest_reg, o::int_src1_reg, o::uimm3_22_20}, 9, 0xff80707f},  // U3
    {{o::int_dest_reg, o::int_src1_reg, o::uimm2_31_30}, 9, 0x3e00707f},  // BS
    {{o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}, 32779, 0xfe00707f},  // PA
    {{o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}, 35851, 0xfe00707f},  // PB
    {{o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}, 45067, 0xfe00707f},  // PC
    {{o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}, 1035, 0xfe00707f},  // PD
    {{o::fp_dest_reg, o::load_address}, 385, 0x0000707f},  // FL
    {{o::fp_src2_reg, o::store_address}, 801, 0x0000707f},  // FS
    {{o::fp_dest_reg, o::fp_src1_reg, o::fp_src2_reg}, 176, 0},  // FR
    {{o::fp_dest_reg, o::fp_src1_reg, o::fp_src2_reg, o::fp_src3_reg}, 240, 0x0600007f},  // FR4
    {{o::fp_dest_reg, o::fp_src1_reg}, 144, 0xfff0007f},  // F1
    {{o::fp_dest_reg, o::int_src1_reg}, 129, 0},  // XF
    {{o::int_dest_reg, o::fp_src1_reg}, 24, 0},  // FX
    {{o::int_dest_reg, o::fp_src1_reg, o::fp_src2_reg}, 56, 0xfe00707f},  // FC
    {{o::fp_dest_reg, o::int_src1_reg, o::int_src2_reg}, 131, 0xfe00707f},  // FP2
    {{o::int_dest_reg, o::fli_constant}, 8, 0xfff0707f},  // FLI
    {{o::vec_dest_reg, o::vec_src2_reg, o::vec_src1_reg, o::opt, o::vec_mask_suffix}, 0, 0},  // VV
    {{o::vec_dest_reg, o::vec_src2_reg, o::int_src1_reg, o::opt, o::vec_mask_suffix}, 0, 0},  // VX
    {{o::vec_dest_reg, o::vec_src2_reg, o::vec_simm5, o::opt, o::vec_mask_suffix}, 0, 0},  // VI
    {{o::vec_dest_reg, o::vec_src2_reg, o::uimm5_19_15, o::opt, o::vec_mask_suffix}, 0, 0},  // VU
    {{o::vec_dest_reg, o::vec_src2_reg, o::fp_src1_reg, o::opt, o::vec_mask_suffix}, 0, 0xfc00707f},  // VF
    {{o::vec_dest_reg, o::vec_src2_reg, o::opt, o::vec_mask_suffix}, 0, 0},  // V1
    {{o::vec_dest_reg, o::vec_src2_reg, o::vec_src1_reg, o::fixed_v0}, 0, 0xfe00707f},  // VVM
    {{o::vec_dest_reg, o::vec_src2_reg, o::int_src1_reg, o::fixed_v0}, 0, 0xfe00707f},  // VXM
    {{o::vec_dest_reg, o::vec_src2_reg, o::vec_simm5, o::fixed_v0}, 0, 0xfe00707f},  // VIM
};
static_assert(sizeof(k_shapes) / sizeof(k_shapes[0]) == OWN, "one entry per shape");

// Values that depend on the register width while the pattern is built.
enum special_t : uint8_t {
  SP_NONE,
  SP_REV8,    // match ((xlen - 8) << 20) | 0x68005013
  SP_REV,     // match ((xlen - 1) << 20) | 0x68005013
  SP_ZEXT_H,  // pack on RV32, packw otherwise
  SP_SMAL,    // 64-bit accumulator pair on RV32
};

struct row_t {
  uint8_t step;     // group; selects the gate
  shape_t shape;
  special_t special;
  uint16_t id;
  uint64_t flags;      // OWN rows and AMO
  const char* name;    // null: the id's name
  const char* name2;   // null: the name
  uint64_t match;      // mask 0: the id's match and mask
  uint64_t mask;
  ops_t ops;           // OWN rows
};

constexpr row_t sh(uint8_t step, shape_t shape, uint16_t id) {
  return row_t{step, shape, SP_NONE, id, k_shapes[shape].flags, nullptr, nullptr, 0, 0, ops_t{}};
}
// A shape registration with a name and encoding of its own (a pseudo-instruction).
constexpr row_t shx(uint8_t step, shape_t shape, uint16_t id, const char* name, uint64_t match,
                    uint64_t mask) {
  return row_t{step, shape, SP_NONE, id, k_shapes[shape].flags, name, nullptr, match, mask, ops_t{}};
}
constexpr row_t amo(uint8_t step, uint16_t id, uint64_t flags) {
  return row_t{step, AMO, SP_NONE, id, flags, nullptr, nullptr, 0, 0, ops_t{}};
}
constexpr row_t own(uint8_t step, uint16_t id, const char* name, uint64_t match, uint64_t mask,
                    uint64_t flags, ops_t ops) {
  return row_t{step, OWN, SP_NONE, id, flags, name, nullptr, match, mask, ops};
}
constexpr row_t own2(uint8_t step, uint16_t id, const char* name, const char* name2, uint64_t match,
                     uint64_t mask, uint64_t flags, ops_t ops) {
  return row_t{step, OWN, SP_NONE, id, flags, name, name2, match, mask, ops};
}
constexpr row_t own_x(uint8_t step, special_t special, uint16_t id, const char* name,
                      uint64_t match, uint64_t mask, uint64_t flags, ops_t ops) {
  return row_t{step, OWN, special, id, flags, name, nullptr, match, mask, ops};
}
constexpr row_t vector_loops(uint8_t step) {
  return row_t{step, VLOOP, SP_NONE, 0, 0, nullptr, nullptr, 0, 0, ops_t{}};
}

constexpr row_t k_rows[] = {
    // 1: always
    own(1, ID_UNIMP, "unimp", 0xc0001073, 0xffffffff, 0, {}),
    own(1, ID_C_UNIMP, "c.unimp", 0x0000, 0xffff, 0, {}),
    own(1, ID_PREFETCH_R, "prefetch.r", 0, 0, 1, {o::amo_base}),
    own(1, ID_PREFETCH_W, "prefetch.w", 0, 0, 1, {o::amo_base}),
    own(1, ID_PREFETCH_I, "prefetch.i", 0, 0, 1, {o::amo_base}),
    sh(1, N, ID_PAUSE),
    sh(1, L, ID_LB),
    sh(1, L, ID_LBU),
    sh(1, L, ID_LH),
    sh(1, L, ID_LHU),
    sh(1, L, ID_LW),
    sh(1, L, ID_LWU),
    sh(1, L, ID_LD),
    sh(1, S, ID_SB),
    sh(1, S, ID_SH),
    sh(1, S, ID_SW),
    sh(1, S, ID_SD),
    // 2: A || zaamo
    amo(2, ID_AMOADD_W, 779),
    amo(2, ID_AMOSWAP_W, 779),
    amo(2, ID_AMOAND_W, 779),
    amo(2, ID_AMOOR_W, 779),
    amo(2, ID_AMOXOR_W, 779),
    amo(2, ID_AMOMIN_W, 779),
    amo(2, ID_AMOMAX_W, 779),
    amo(2, ID_AMOMINU_W, 779),
    amo(2, ID_AMOMAXU_W, 779),
    amo(2, ID_AMOADD_D, 779),
    amo(2, ID_AMOSWAP_D, 779),
    amo(2, ID_AMOAND_D, 779),
    amo(2, ID_AMOOR_D, 779),
    amo(2, ID_AMOXOR_D, 779),
    amo(2, ID_AMOMIN_D, 779),
    amo(2, ID_AMOMAX_D, 779),
    amo(2, ID_AMOMINU_D, 779),
    amo(2, ID_AMOMAXU_D, 779),
    // 3: A || zalrsc
    amo(3, ID_LR_W, 265),
    amo(3, ID_SC_W, 779),
    amo(3, ID_LR_D, 265),
    amo(3, ID_SC_D, 779),
    // 4: zacas
    amo(4, ID_AMOCAS_W, 779),
    amo(4, ID_AMOCAS_D, 779),
    amo(4, ID_AMOCAS_Q, 779),
    // 5: zabha
    amo(5, ID_AMOADD_B, 779),
    amo(5, ID_AMOSWAP_B, 779),
    amo(5, ID_AMOAND_B, 779),
    amo(5, ID_AMOOR_B, 779),
    amo(5, ID_AMOXOR_B, 779),
    amo(5, ID_AMOMIN_B, 779),
    amo(5, ID_AMOMAX_B, 779),
    amo(5, ID_AMOMINU_B, 779),
    amo(5, ID_AMOMAXU_B, 779),
    amo(5, ID_AMOCAS_B, 779),
    amo(5, ID_AMOADD_H, 779),
    amo(5, ID_AMOSWAP_H, 779),
    amo(5, ID_AMOAND_H, 779),
    amo(5, ID_AMOOR_H, 779),
    amo(5, ID_AMOXOR_H, 779),
    amo(5, ID_AMOMIN_H, 779),
    amo(5, ID_AMOMAX_H, 779),
    amo(5, ID_AMOMINU_H, 779),
    amo(5, ID_AMOMAXU_H, 779),
    amo(5, ID_AMOCAS_H, 779),
    // 6: zawrs
    sh(6, N, ID_WRS_STO),
    sh(6, N, ID_WRS_NTO),
    // 7: zicfilp
    own(7, ID_LPAD, "lpad", 0, 0, 0, {o::upper_imm20_hex}),
    // 8: always
    own(8, ID_JAL, "j", 0x6f, 0xfff, 8, {o::jal_target}),
    own(8, ID_JAL, "jal", 0xef, 0xfff, 8, {o::jal_target}),
    own(8, ID_JAL, "jal", 0, 0, 8, {o::int_dest_reg, o::jal_target}),
    shx(8, BZ, ID_BEQ, "beqz", 0x63, 0x1f0707f),
    shx(8, BZ, ID_BNE, "bnez", 0x1063, 0x1f0707f),
    shx(8, BZ, ID_BLT, "bltz", 0x4063, 0x1f0707f),
    shx(8, BZ, ID_BGE, "bgez", 0x5063, 0x1f0707f),
    sh(8, B, ID_BEQ),
    sh(8, B, ID_BNE),
    sh(8, B, ID_BLT),
    sh(8, B, ID_BGE),
    sh(8, B, ID_BLTU),
    sh(8, B, ID_BGEU),
    own(8, ID_LUI, "lui", 0, 0, 8, {o::int_dest_reg, o::upper_imm20_hex}),
    own(8, ID_AUIPC, "auipc", 0, 0, 8, {o::int_dest_reg, o::upper_imm20_hex}),
    own(8, ID_JALR, "ret", 0x8067, 0xffffffff, 9, {}),
    own(8, ID_JALR, "jr", 0x67, 0xfff07fff, 9, {o::int_src1_reg}),
    own(8, ID_JALR, "jalr", 0xe7, 0xfff07fff, 9, {o::int_src1_reg}),
    sh(8, I, ID_JALR),
    shx(8, N, ID_ADDI, "nop", 0x13, 0xffffffff),
    own(8, ID_ADDI, "li", 0x13, 0xff07f, 8, {o::int_dest_reg, o::imm12_signed}),
    own(8, ID_ADDI, "mv", 0x13, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    sh(8, I, ID_ADDI),
    sh(8, I, ID_SLTI),
    own(8, ID_SLTIU, "seqz", 0x103013, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    sh(8, I, ID_SLTIU),
    own(8, ID_XORI, "not", 0xfff04013, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    sh(8, I, ID_XORI),
    sh(8, SH, ID_SLLI),
    sh(8, SH, ID_SRLI),
    sh(8, SH, ID_SRAI),
    sh(8, I, ID_ORI),
    sh(8, I, ID_ANDI),
    own(8, ID_ADDIW, "sext.w", 0x1b, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    sh(8, I, ID_ADDIW),
    sh(8, SH, ID_SLLIW),
    sh(8, SH, ID_SRLIW),
    sh(8, SH, ID_SRAIW),
    sh(8, R, ID_ADD),
    sh(8, R, ID_SUB),
    sh(8, R, ID_SLL),
    sh(8, R, ID_SLT),
    own(8, ID_SLTU, "snez", 0x3033, 0xfe0ff07f, 9, {o::int_dest_reg, o::int_src2_reg}),
    sh(8, R, ID_SLTU),
    sh(8, R, ID_XOR),
    sh(8, R, ID_SRL),
    sh(8, R, ID_SRA),
    sh(8, R, ID_OR),
    sh(8, R, ID_AND),
    sh(8, R, ID_ADDW),
    sh(8, R, ID_SUBW),
    sh(8, R, ID_SLLW),
    sh(8, R, ID_SRLW),
    sh(8, R, ID_SRAW),
    sh(8, R, ID_BDECOMPRESS),
    sh(8, R, ID_BDECOMPRESSW),
    sh(8, R, ID_BCOMPRESS),
    sh(8, R, ID_BCOMPRESSW),
    sh(8, R, ID_BFP),
    sh(8, R, ID_BFPW),
    sh(8, R, ID_GORCW),
    sh(8, R, ID_GREVW),
    sh(8, R, ID_PACKUW),
    sh(8, R, ID_SHFL),
    sh(8, R, ID_SHFLW),
    sh(8, R, ID_UNSHFL),
    sh(8, R, ID_UNSHFLW),
    sh(8, R4, ID_FSL),
    sh(8, R4, ID_FSLW),
    own(8, ID_CRC32_B, "crc32.b", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(8, ID_CRC32_H, "crc32.h", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(8, ID_CRC32_W, "crc32.w", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(8, ID_CRC32_D, "crc32.d", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(8, ID_CRC32C_B, "crc32c.b", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(8, ID_CRC32C_H, "crc32c.h", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(8, ID_CRC32C_W, "crc32c.w", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(8, ID_CRC32C_D, "crc32c.d", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    sh(8, SH, ID_GORCIW),
    sh(8, SH, ID_GREVIW),
    sh(8, SH, ID_SHFLI),
    sh(8, SH, ID_UNSHFLI),
    // 9: xlen == 32 && (xkgostk || xkgosts)
    sh(9, R, ID_KUZN32ESX),
    // 10: xlen == 32 && xkgostk
    sh(10, R, ID_KUZN32DSX),
    sh(10, R, ID_KUZN32EL),
    sh(10, R, ID_KUZN32ELH),
    sh(10, R, ID_KUZN32DL),
    sh(10, R, ID_KUZN32DLH),
    // 11: xlen == 32 && xkgostm
    sh(11, R, ID_MAGMA32G),
    // 12: xlen == 32 && xkgosts
    sh(12, R, ID_SBG32TAU1),
    sh(12, R, ID_SBG32TAU2),
    sh(12, R, ID_SBG32LIN1),
    sh(12, R, ID_SBG32LIN2),
    // 13: xlen == 64 && (xkgostk || xkgosts)
    sh(13, R, ID_KUZN64ESX),
    // 14: xlen == 64 && xkgostk
    sh(14, R, ID_KUZN64DSX),
    sh(14, R, ID_KUZN64EL),
    sh(14, R, ID_KUZN64DL),
    // 15: xlen == 64 && xkgostm
    sh(15, R, ID_MAGMA64),
    // 16: xlen == 64 && xkgosts
    sh(16, R, ID_SBG64TAU1),
    sh(16, R, ID_SBG64TAU2),
    sh(16, R, ID_SBG64LIN1),
    sh(16, R, ID_SBG64LIN2),
    // 17: always
    sh(17, N, ID_ECALL),
    sh(17, N, ID_EBREAK),
    sh(17, N, ID_URET),
    sh(17, N, ID_MRET),
    sh(17, N, ID_DRET),
    sh(17, N, ID_WFI),
    own(17, ID_FENCE, "fence", 0, 0, 0, {o::fence_sets}),
    sh(17, N, ID_FENCE_I),
    own(17, ID_CSRRS, "csrr", 0x2073, 0xff07f, 8, {o::int_dest_reg, o::csr_operand}),
    own(17, ID_CSRRW, "csrw", 0x1073, 0x7fff, 9, {o::csr_operand, o::int_src1_reg}),
    own(17, ID_CSRRS, "csrs", 0x2073, 0x7fff, 9, {o::csr_operand, o::int_src1_reg}),
    own(17, ID_CSRRC, "csrc", 0x3073, 0x7fff, 9, {o::csr_operand, o::int_src1_reg}),
    own(17, ID_CSRRWI, "csrwi", 0x5073, 0x7fff, 8, {o::csr_operand, o::uimm5_19_15}),
    own(17, ID_CSRRSI, "csrsi", 0x6073, 0x7fff, 8, {o::csr_operand, o::uimm5_19_15}),
    own(17, ID_CSRRCI, "csrci", 0x7073, 0x7fff, 8, {o::csr_operand, o::uimm5_19_15}),
    own(17, ID_CSRRW, "csrrw", 0, 0, 9, {o::int_dest_reg, o::csr_operand, o::int_src1_reg}),
    own(17, ID_CSRRS, "csrrs", 0, 0, 9, {o::int_dest_reg, o::csr_operand, o::int_src1_reg}),
    own(17, ID_CSRRC, "csrrc", 0, 0, 9, {o::int_dest_reg, o::csr_operand, o::int_src1_reg}),
    own(17, ID_CSRRWI, "csrrwi", 0, 0, 8, {o::int_dest_reg, o::csr_operand, o::uimm5_19_15}),
    own(17, ID_CSRRSI, "csrrsi", 0, 0, 8, {o::int_dest_reg, o::csr_operand, o::uimm5_19_15}),
    own(17, ID_CSRRCI, "csrrci", 0, 0, 8, {o::int_dest_reg, o::csr_operand, o::uimm5_19_15}),
    // 18: S
    sh(18, N, ID_SRET),
    sh(18, RS, ID_SFENCE_VMA),
    // 19: M
    sh(19, R, ID_MUL),
    sh(19, R, ID_MULH),
    sh(19, R, ID_MULHU),
    sh(19, R, ID_MULHSU),
    sh(19, R, ID_MULW),
    sh(19, R, ID_DIV),
    sh(19, R, ID_DIVU),
    sh(19, R, ID_REM),
    sh(19, R, ID_REMU),
    sh(19, R, ID_DIVW),
    sh(19, R, ID_DIVUW),
    sh(19, R, ID_REMW),
    sh(19, R, ID_REMUW),
    // 20: zba
    sh(20, R, ID_SH1ADD),
    sh(20, R, ID_SH2ADD),
    sh(20, R, ID_SH3ADD),
    // 21: zba && xlen == 64
    sh(21, SH, ID_SLLI_UW),
    own(21, ID_ADD_UW, "zext.w", 0x800003b, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    sh(21, R, ID_ADD_UW),
    sh(21, R, ID_SH1ADD_UW),
    sh(21, R, ID_SH2ADD_UW),
    sh(21, R, ID_SH3ADD_UW),
    // 22: zbb
    sh(22, R, ID_ROR),
    sh(22, R, ID_ROL),
    sh(22, SH, ID_RORI),
    sh(22, R1, ID_CTZ),
    sh(22, R1, ID_CLZ),
    sh(22, R1, ID_CPOP),
    sh(22, R, ID_MIN),
    sh(22, R, ID_MINU),
    sh(22, R, ID_MAX),
    sh(22, R, ID_MAXU),
    sh(22, R, ID_ANDN),
    sh(22, R, ID_ORN),
    sh(22, R, ID_XNOR),
    own(22, ID_SEXT_B, "sext.b", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(22, ID_SEXT_H, "sext.h", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg}),
    own_x(22, SP_REV8, ID_GREVI, "rev8", 0x68005013, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(22, ID_GORCI, "orc.b", 0x28705013, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    own_x(22, SP_ZEXT_H, ID_PACK, "zext.h", 0x08004033, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    // 23: zbb && xlen == 64
    sh(23, R, ID_RORW),
    sh(23, R, ID_ROLW),
    sh(23, SH, ID_RORIW),
    sh(23, R1, ID_CTZW),
    sh(23, R1, ID_CLZW),
    sh(23, R1, ID_CPOPW),
    // 24: zbc
    sh(24, R, ID_CLMUL),
    sh(24, R, ID_CLMULH),
    sh(24, R, ID_CLMULR),
    // 25: zbs
    sh(25, R, ID_BCLR),
    sh(25, R, ID_BINV),
    sh(25, R, ID_BSET),
    sh(25, R, ID_BEXT),
    sh(25, SH, ID_BCLRI),
    sh(25, SH, ID_BINVI),
    sh(25, SH, ID_BSETI),
    sh(25, SH, ID_BEXTI),
    // 26: zbkb
    own(26, ID_GREVI, "brev8", 0x68705013, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(26, ID_GREVI, "rev8.h", 0x68805013, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    sh(26, R, ID_PACK),
    sh(26, R, ID_PACKH),
    // 27: zbkb && xlen == 64
    sh(27, R, ID_PACKW),
    // 28: svinval
    sh(28, N, ID_SFENCE_W_INVAL),
    sh(28, N, ID_SFENCE_INVAL_IR),
    sh(28, RS, ID_SINVAL_VMA),
    sh(28, RS, ID_HINVAL_VVMA),
    sh(28, RS, ID_HINVAL_GVMA),
    // 29: F
    sh(29, FL, ID_FLW),
    sh(29, FS, ID_FSW),
    sh(29, FR, ID_FADD_S),
    sh(29, FR, ID_FSUB_S),
    sh(29, FR, ID_FMUL_S),
    sh(29, FR, ID_FDIV_S),
    sh(29, F1, ID_FSQRT_S),
    sh(29, FR, ID_FMIN_S),
    sh(29, FR, ID_FMAX_S),
    sh(29, FR4, ID_FMADD_S),
    sh(29, FR4, ID_FMSUB_S),
    sh(29, FR4, ID_FNMADD_S),
    sh(29, FR4, ID_FNMSUB_S),
    sh(29, FR, ID_FSGNJ_S),
    sh(29, FR, ID_FSGNJN_S),
    sh(29, FR, ID_FSGNJX_S),
    sh(29, F1, ID_FCVT_S_D),
    sh(29, F1, ID_FCVT_S_Q),
    sh(29, XF, ID_FCVT_S_L),
    sh(29, XF, ID_FCVT_S_LU),
    sh(29, XF, ID_FCVT_S_W),
    sh(29, XF, ID_FCVT_S_WU),
    sh(29, XF, ID_FMV_W_X),
    sh(29, FX, ID_FCVT_L_S),
    sh(29, FX, ID_FCVT_LU_S),
    sh(29, FX, ID_FCVT_W_S),
    sh(29, FX, ID_FCVT_WU_S),
    sh(29, FX, ID_FCLASS_S),
    sh(29, FX, ID_FMV_X_W),
    sh(29, FC, ID_FEQ_S),
    sh(29, FC, ID_FLT_S),
    sh(29, FC, ID_FLE_S),
    // 30: zfinx
    sh(30, R, ID_FADD_S),
    sh(30, R, ID_FSUB_S),
    sh(30, R, ID_FMUL_S),
    sh(30, R, ID_FDIV_S),
    sh(30, R1, ID_FSQRT_S),
    sh(30, R, ID_FMIN_S),
    sh(30, R, ID_FMAX_S),
    sh(30, R4, ID_FMADD_S),
    sh(30, R4, ID_FMSUB_S),
    sh(30, R4, ID_FNMADD_S),
    sh(30, R4, ID_FNMSUB_S),
    sh(30, R, ID_FSGNJ_S),
    sh(30, R, ID_FSGNJN_S),
    sh(30, R, ID_FSGNJX_S),
    sh(30, R1, ID_FCVT_S_D),
    sh(30, R1, ID_FCVT_S_L),
    sh(30, R1, ID_FCVT_S_LU),
    sh(30, R1, ID_FCVT_S_W),
    sh(30, R1, ID_FCVT_S_WU),
    sh(30, R1, ID_FCVT_L_S),
    sh(30, R1, ID_FCVT_LU_S),
    sh(30, R1, ID_FCVT_W_S),
    sh(30, R1, ID_FCVT_WU_S),
    sh(30, R1, ID_FCLASS_S),
    sh(30, R, ID_FEQ_S),
    sh(30, R, ID_FLT_S),
    sh(30, R, ID_FLE_S),
    // 31: D
    sh(31, FL, ID_FLD),
    sh(31, FS, ID_FSD),
    sh(31, FR, ID_FADD_D),
    sh(31, FR, ID_FSUB_D),
    sh(31, FR, ID_FMUL_D),
    sh(31, FR, ID_FDIV_D),
    sh(31, F1, ID_FSQRT_D),
    sh(31, FR, ID_FMIN_D),
    sh(31, FR, ID_FMAX_D),
    sh(31, FR4, ID_FMADD_D),
    sh(31, FR4, ID_FMSUB_D),
    sh(31, FR4, ID_FNMADD_D),
    sh(31, FR4, ID_FNMSUB_D),
    sh(31, FR, ID_FSGNJ_D),
    sh(31, FR, ID_FSGNJN_D),
    sh(31, FR, ID_FSGNJX_D),
    sh(31, F1, ID_FCVT_D_S),
    sh(31, F1, ID_FCVT_D_Q),
    sh(31, XF, ID_FCVT_D_L),
    sh(31, XF, ID_FCVT_D_LU),
    sh(31, XF, ID_FCVT_D_W),
    sh(31, XF, ID_FCVT_D_WU),
    sh(31, XF, ID_FMV_D_X),
    sh(31, FX, ID_FCVT_L_D),
    sh(31, FX, ID_FCVT_LU_D),
    sh(31, FX, ID_FCVT_W_D),
    sh(31, FX, ID_FCVT_WU_D),
    sh(31, FX, ID_FCLASS_D),
    sh(31, FX, ID_FMV_X_D),
    sh(31, FC, ID_FEQ_D),
    sh(31, FC, ID_FLT_D),
    sh(31, FC, ID_FLE_D),
    // 32: zfa
    sh(32, FLI, ID_FLI_S),
    sh(32, FR, ID_FMINM_S),
    sh(32, FR, ID_FMAXM_S),
    sh(32, F1, ID_FROUND_S),
    sh(32, F1, ID_FROUNDNX_S),
    sh(32, FC, ID_FLEQ_S),
    sh(32, FC, ID_FLTQ_S),
    // 33: zfa && (zfh || zvfh)
    sh(33, FLI, ID_FLI_H),
    sh(33, FR, ID_FMINM_H),
    sh(33, FR, ID_FMAXM_H),
    sh(33, F1, ID_FROUND_H),
    sh(33, F1, ID_FROUNDNX_H),
    sh(33, FC, ID_FLEQ_H),
    sh(33, FC, ID_FLTQ_H),
    // 34: zfa && D
    sh(34, FLI, ID_FLI_D),
    sh(34, FR, ID_FMINM_D),
    sh(34, FR, ID_FMAXM_D),
    sh(34, F1, ID_FROUND_D),
    sh(34, F1, ID_FROUNDNX_D),
    sh(34, FC, ID_FLEQ_D),
    sh(34, FC, ID_FLTQ_D),
    // 35: zfa && D && xlen == 32
    sh(35, FP2, ID_FMVP_D_X),
    sh(35, FX, ID_FMVH_X_D),
    // 36: zfa && Q
    sh(36, FLI, ID_FLI_Q),
    sh(36, FR, ID_FMINM_Q),
    sh(36, FR, ID_FMAXM_Q),
    sh(36, F1, ID_FROUND_Q),
    sh(36, F1, ID_FROUNDNX_Q),
    sh(36, FC, ID_FLEQ_Q),
    sh(36, FC, ID_FLTQ_Q),
    // 37: zfa && Q && xlen == 64
    sh(37, FP2, ID_FMVP_Q_X),
    sh(37, FX, ID_FMVH_X_Q),
    // 38: zdinx
    sh(38, R, ID_FADD_D),
    sh(38, R, ID_FSUB_D),
    sh(38, R, ID_FMUL_D),
    sh(38, R, ID_FDIV_D),
    sh(38, R1, ID_FSQRT_D),
    sh(38, R, ID_FMIN_D),
    sh(38, R, ID_FMAX_D),
    sh(38, R4, ID_FMADD_D),
    sh(38, R4, ID_FMSUB_D),
    sh(38, R4, ID_FNMADD_D),
    sh(38, R4, ID_FNMSUB_D),
    sh(38, R, ID_FSGNJ_D),
    sh(38, R, ID_FSGNJN_D),
    sh(38, R, ID_FSGNJX_D),
    sh(38, R1, ID_FCVT_D_S),
    sh(38, R1, ID_FCVT_D_L),
    sh(38, R1, ID_FCVT_D_LU),
    sh(38, R1, ID_FCVT_D_W),
    sh(38, R1, ID_FCVT_D_WU),
    sh(38, R1, ID_FCVT_L_D),
    sh(38, R1, ID_FCVT_LU_D),
    sh(38, R1, ID_FCVT_W_D),
    sh(38, R1, ID_FCVT_WU_D),
    sh(38, R1, ID_FCLASS_D),
    sh(38, R, ID_FEQ_D),
    sh(38, R, ID_FLT_D),
    sh(38, R, ID_FLE_D),
    // 39: zfh
    sh(39, FR, ID_FADD_H),
    sh(39, FR, ID_FSUB_H),
    sh(39, FR, ID_FMUL_H),
    sh(39, FR, ID_FDIV_H),
    sh(39, F1, ID_FSQRT_H),
    sh(39, FR, ID_FMIN_H),
    sh(39, FR, ID_FMAX_H),
    sh(39, FR4, ID_FMADD_H),
    sh(39, FR4, ID_FMSUB_H),
    sh(39, FR4, ID_FNMADD_H),
    sh(39, FR4, ID_FNMSUB_H),
    sh(39, FR, ID_FSGNJ_H),
    sh(39, FR, ID_FSGNJN_H),
    sh(39, FR, ID_FSGNJX_H),
    sh(39, XF, ID_FCVT_H_L),
    sh(39, XF, ID_FCVT_H_LU),
    sh(39, XF, ID_FCVT_H_W),
    sh(39, XF, ID_FCVT_H_WU),
    sh(39, FX, ID_FCVT_L_H),
    sh(39, FX, ID_FCVT_LU_H),
    sh(39, FX, ID_FCVT_W_H),
    sh(39, FX, ID_FCVT_WU_H),
    sh(39, FX, ID_FCLASS_H),
    sh(39, FC, ID_FEQ_H),
    sh(39, FC, ID_FLT_H),
    sh(39, FC, ID_FLE_H),
    // 40: zhinx
    sh(40, R, ID_FADD_H),
    sh(40, R, ID_FSUB_H),
    sh(40, R, ID_FMUL_H),
    sh(40, R, ID_FDIV_H),
    sh(40, R1, ID_FSQRT_H),
    sh(40, R, ID_FMIN_H),
    sh(40, R, ID_FMAX_H),
    sh(40, R4, ID_FMADD_H),
    sh(40, R4, ID_FMSUB_H),
    sh(40, R4, ID_FNMADD_H),
    sh(40, R4, ID_FNMSUB_H),
    sh(40, R, ID_FSGNJ_H),
    sh(40, R, ID_FSGNJN_H),
    sh(40, R, ID_FSGNJX_H),
    sh(40, R1, ID_FCVT_H_L),
    sh(40, R1, ID_FCVT_H_LU),
    sh(40, R1, ID_FCVT_H_W),
    sh(40, R1, ID_FCVT_H_WU),
    sh(40, R1, ID_FCVT_L_H),
    sh(40, R1, ID_FCVT_LU_H),
    sh(40, R1, ID_FCVT_W_H),
    sh(40, R1, ID_FCVT_WU_H),
    sh(40, R1, ID_FCLASS_H),
    sh(40, R, ID_FEQ_H),
    sh(40, R, ID_FLT_H),
    sh(40, R, ID_FLE_H),
    // 41: zfhmin
    sh(41, F1, ID_FCVT_H_S),
    sh(41, F1, ID_FCVT_H_D),
    sh(41, F1, ID_FCVT_H_Q),
    sh(41, F1, ID_FCVT_S_H),
    sh(41, F1, ID_FCVT_D_H),
    sh(41, F1, ID_FCVT_Q_H),
    // 42: half-precision moves
    sh(42, FL, ID_FLH),
    sh(42, FS, ID_FSH),
    sh(42, XF, ID_FMV_H_X),
    sh(42, FX, ID_FMV_X_H),
    // 43: zhinxmin
    sh(43, R1, ID_FCVT_H_S),
    sh(43, R1, ID_FCVT_H_D),
    sh(43, R1, ID_FCVT_S_H),
    sh(43, R1, ID_FCVT_D_H),
    // 44: Q
    sh(44, FL, ID_FLQ),
    sh(44, FS, ID_FSQ),
    sh(44, FR, ID_FADD_Q),
    sh(44, FR, ID_FSUB_Q),
    sh(44, FR, ID_FMUL_Q),
    sh(44, FR, ID_FDIV_Q),
    sh(44, F1, ID_FSQRT_Q),
    sh(44, FR, ID_FMIN_Q),
    sh(44, FR, ID_FMAX_Q),
    sh(44, FR4, ID_FMADD_Q),
    sh(44, FR4, ID_FMSUB_Q),
    sh(44, FR4, ID_FNMADD_Q),
    sh(44, FR4, ID_FNMSUB_Q),
    sh(44, FR, ID_FSGNJ_Q),
    sh(44, FR, ID_FSGNJN_Q),
    sh(44, FR, ID_FSGNJX_Q),
    sh(44, F1, ID_FCVT_Q_S),
    sh(44, F1, ID_FCVT_Q_D),
    sh(44, XF, ID_FCVT_Q_L),
    sh(44, XF, ID_FCVT_Q_LU),
    sh(44, XF, ID_FCVT_Q_W),
    sh(44, XF, ID_FCVT_Q_WU),
    sh(44, FX, ID_FCVT_L_Q),
    sh(44, FX, ID_FCVT_LU_Q),
    sh(44, FX, ID_FCVT_W_Q),
    sh(44, FX, ID_FCVT_WU_Q),
    sh(44, FX, ID_FCLASS_Q),
    sh(44, FC, ID_FEQ_Q),
    sh(44, FC, ID_FLT_Q),
    sh(44, FC, ID_FLE_Q),
    // 45: zfbfmin
    sh(45, F1, ID_FCVT_BF16_S),
    sh(45, F1, ID_FCVT_S_BF16),
    // 46: H
    sh(46, LR, ID_HLV_B),
    sh(46, LR, ID_HLV_BU),
    sh(46, LR, ID_HLV_H),
    sh(46, LR, ID_HLV_HU),
    sh(46, LR, ID_HLV_W),
    sh(46, LR, ID_HLV_WU),
    sh(46, LR, ID_HLV_D),
    sh(46, LR, ID_HLVX_HU),
    sh(46, LR, ID_HLVX_WU),
    sh(46, SX, ID_HSV_B),
    sh(46, SX, ID_HSV_H),
    sh(46, SX, ID_HSV_W),
    sh(46, SX, ID_HSV_D),
    sh(46, RS, ID_HFENCE_GVMA),
    sh(46, RS, ID_HFENCE_VVMA),
    // 47: zca
    own2(47, ID_C_ADD, "c.ebreak", "ebreak", 0x9002, 0xffff, 0, {}),
    own2(47, ID_C_JR, "c.ret", "ret", 0x8082, 0xffff, 1, {}),
    own2(47, ID_C_JR, "c.jr", "jr", 0, 0, 1, {o::c_int_dest}),
    own2(47, ID_C_JALR, "c.jalr", "jalr", 0, 0, 9, {o::c_int_dest}),
    own2(47, ID_C_ADDI, "c.nop", "nop", 0x1, 0xffff, 0, {}),
    own2(47, ID_C_ADDI16SP, "c.addi", "addi", 0, 0, 9, {o::fixed_sp, o::fixed_sp, o::c_addi16sp_imm}),
    own2(47, ID_C_ADDI4SPN, "c.addi", "addi", 0, 0, 9, {o::c_int_src2_prime, o::fixed_sp, o::c_addi4spn_imm}),
    own2(47, ID_C_LI, "c.li", "li", 0, 0, 8, {o::int_dest_reg, o::c_simm6}),
    own2(47, ID_C_LUI, "c.lui", "lui", 0, 0, 8, {o::int_dest_reg, o::c_lui_imm_hex}),
    own2(47, ID_C_ADDI, "c.addi", "addi", 0, 0, 9, {o::int_dest_reg, o::int_dest_reg, o::c_simm6}),
    own2(47, ID_C_SLLI, "c.slli", "slli", 0, 0, 9, {o::int_dest_reg, o::c_shift_amount}),
    own2(47, ID_C_SRLI, "c.srli", "srli", 0, 0, 9, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_shift_amount}),
    own2(47, ID_C_SRAI, "c.srai", "srai", 0, 0, 9, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_shift_amount}),
    own2(47, ID_C_ANDI, "c.andi", "andi", 0, 0, 9, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_simm6}),
    own2(47, ID_C_MV, "c.mv", "add", 0, 0, 11, {o::int_dest_reg, o::c_int_src2}),
    own2(47, ID_C_ADD, "c.add", "add", 0, 0, 11, {o::int_dest_reg, o::int_dest_reg, o::c_int_src2}),
    own2(47, ID_C_ADDW, "c.addw", "addw", 0, 0, 11, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_int_src2_prime}),
    own2(47, ID_C_SUB, "c.sub", "sub", 0, 0, 11, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_int_src2_prime}),
    own2(47, ID_C_SUBW, "c.subw", "subw", 0, 0, 11, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_int_src2_prime}),
    own2(47, ID_C_AND, "c.and", "and", 0, 0, 11, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_int_src2_prime}),
    own2(47, ID_C_OR, "c.or", "or", 0, 0, 11, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_int_src2_prime}),
    own2(47, ID_C_XOR, "c.xor", "xor", 0, 0, 11, {o::c_int_src1_prime, o::c_int_src1_prime, o::c_int_src2_prime}),
    own2(47, ID_C_LWSP, "c.lw", "lw", 0, 0, 265, {o::int_dest_reg, o::c_lwsp_address}),
    own2(47, ID_C_SWSP, "c.sw", "sw", 0, 0, 771, {o::c_int_src2, o::c_swsp_address}),
    own2(47, ID_C_LW, "c.lw", "lw", 0, 0, 265, {o::c_int_src2_prime, o::c_lw_address}),
    own2(47, ID_C_SW, "c.sw", "sw", 0, 0, 771, {o::c_int_src2_prime, o::c_lw_address}),
    own2(47, ID_C_BEQZ, "c.beqz", "beqz", 0, 0, 1, {o::c_int_src1_prime, o::c_branch_target}),
    own2(47, ID_C_BNEZ, "c.bnez", "bnez", 0, 0, 1, {o::c_int_src1_prime, o::c_branch_target}),
    own2(47, ID_C_J, "c.j", "j", 0, 0, 0, {o::c_jump_target}),
    // 48: zca && xlen == 32
    own2(48, ID_C_JAL, "c.jal", "jal", 0, 0, 8, {o::c_jump_target}),
    // 49: zca && xlen != 32
    own2(49, ID_C_ADDIW, "c.addiw", "addiw", 0, 0, 9, {o::int_dest_reg, o::int_dest_reg, o::c_simm6}),
    // 50: zca && (xlen == 64 || zcmlsd)
    own2(50, ID_C_LD, "c.ld", "ld", 0, 0, 265, {o::c_int_src2_prime, o::c_ld_address}),
    own2(50, ID_C_LDSP, "c.ld", "ld", 0, 0, 265, {o::int_dest_reg, o::c_ldsp_address}),
    own2(50, ID_C_SD, "c.sd", "sd", 0, 0, 771, {o::c_int_src2_prime, o::c_ld_address}),
    own2(50, ID_C_SDSP, "c.sd", "sd", 0, 0, 771, {o::c_int_src2, o::c_sdsp_address}),
    // 51: zcd && D
    own2(51, ID_C_FLD, "c.fld", "fld", 0, 0, 385, {o::c_fp_src2_prime, o::c_ld_address}),
    own2(51, ID_C_FLDSP, "c.fldsp", "fld", 0, 0, 385, {o::fp_dest_reg, o::c_ldsp_address}),
    own2(51, ID_C_FSD, "c.fsd", "fsd", 0, 0, 801, {o::c_fp_src2_prime, o::c_ld_address}),
    own2(51, ID_C_FSDSP, "c.fsdsp", "fsd", 0, 0, 801, {o::c_fp_src2, o::c_sdsp_address}),
    // 52: zcf && F
    own2(52, ID_C_FLW, "c.flw", "flw", 0, 0, 385, {o::c_fp_src2_prime, o::c_lw_address}),
    own2(52, ID_C_FLWSP, "c.flw", "flw", 0, 0, 385, {o::fp_dest_reg, o::c_lwsp_address}),
    own2(52, ID_C_FSW, "c.fsw", "fsw", 0, 0, 801, {o::c_fp_src2_prime, o::c_lw_address}),
    own2(52, ID_C_FSWSP, "c.fsw", "fsw", 0, 0, 801, {o::c_fp_src2, o::c_swsp_address}),
    // 53: zcb
    own(53, ID_C_ZEXT_B, "c.zext.b", 0, 0, 9, {o::c_int_src1_prime}),
    own(53, ID_C_SEXT_B, "c.sext.b", 0, 0, 9, {o::c_int_src1_prime}),
    own(53, ID_C_ZEXT_H, "c.zext.h", 0, 0, 9, {o::c_int_src1_prime}),
    own(53, ID_C_SEXT_H, "c.sext.h", 0, 0, 9, {o::c_int_src1_prime}),
    // 54: zcb && xlen == 64
    own(54, ID_C_ZEXT_W, "c.zext.w", 0, 0, 9, {o::c_int_src1_prime}),
    // 55: zcb
    own(55, ID_C_NOT, "c.not", 0, 0, 9, {o::c_int_src1_prime}),
    own(55, ID_C_MUL, "c.mul", 0, 0, 11, {o::c_int_src1_prime, o::c_int_src2_prime}),
    own(55, ID_C_LBU, "c.lbu", 0, 0, 265, {o::c_int_src2_prime, o::c_byte_address}),
    own(55, ID_C_LHU, "c.lhu", 0, 0, 265, {o::c_int_src2_prime, o::c_half_address}),
    own(55, ID_C_LH, "c.lh", 0, 0, 265, {o::c_int_src2_prime, o::c_half_address}),
    own(55, ID_C_SB, "c.sb", 0, 0, 771, {o::c_int_src2_prime, o::c_byte_address}),
    own(55, ID_C_SH, "c.sh", 0, 0, 771, {o::c_int_src2_prime, o::c_half_address}),
    // 56: zcmp && xlen == 32
    own(56, ID_CM_PUSH, "cm.push", 0, 0, 9, {o::push_pop_reglist, o::stack_adj_rv32_neg}),
    own(56, ID_CM_POP, "cm.pop", 0, 0, 9, {o::push_pop_reglist, o::stack_adj_rv32}),
    own(56, ID_CM_POPRET, "cm.popret", 0, 0, 9, {o::push_pop_reglist, o::stack_adj_rv32}),
    own(56, ID_CM_POPRETZ, "cm.popretz", 0, 0, 9, {o::push_pop_reglist, o::stack_adj_rv32}),
    // 57: zcmp && xlen != 32
    own(57, ID_CM_PUSH, "cm.push", 0, 0, 9, {o::push_pop_reglist, o::stack_adj_rv64_neg}),
    own(57, ID_CM_POP, "cm.pop", 0, 0, 9, {o::push_pop_reglist, o::stack_adj_rv64}),
    own(57, ID_CM_POPRET, "cm.popret", 0, 0, 9, {o::push_pop_reglist, o::stack_adj_rv64}),
    own(57, ID_CM_POPRETZ, "cm.popretz", 0, 0, 9, {o::push_pop_reglist, o::stack_adj_rv64}),
    // 58: zcmp
    own(58, ID_CM_MVA01S, "cm.mva01s", 0, 0, 9, {o::c_sreg_9_7, o::c_sreg_4_2}),
    own(58, ID_CM_MVSA01, "cm.mvsa01", 0, 0, 9, {o::c_sreg_9_7, o::c_sreg_4_2}),
    // 59: zcmt
    own(59, ID_CM_JALT, "cm.jt", 0xa002, 0xff83, 8, {o::table_jump_index}),
    own(59, ID_CM_JALT, "cm.jalt", 0, 0, 8, {o::table_jump_index}),
    // 60: any vector
    own(60, ID_VSETIVLI, "vsetivli", 0, 0, 0, {o::int_dest_reg, o::uimm5_19_15, o::vtype_text}),
    own(60, ID_VSETVLI, "vsetvli", 0, 0, 0, {o::int_dest_reg, o::int_src1_reg, o::vtype_text}),
    sh(60, R, ID_VSETVL),
    own(60, ID_VLM_V, "vlm.v", 0, 0, 0, {o::vec_dest_reg, o::vec_mem_base, o::opt, o::vec_mask_suffix}),
    own(60, ID_VSM_V, "vsm.v", 0, 0, 0, {o::vec_mem_data_reg, o::vec_mem_base, o::opt, o::vec_mask_suffix}),
    vector_loops(60),
    own(60, ID_VS1R_V, "vs1r.v", 0, 0, 0, {o::vec_mem_data_reg, o::vec_mem_base}),
    own(60, ID_VS2R_V, "vs2r.v", 0, 0, 0, {o::vec_mem_data_reg, o::vec_mem_base}),
    own(60, ID_VS4R_V, "vs4r.v", 0, 0, 0, {o::vec_mem_data_reg, o::vec_mem_base}),
    own(60, ID_VS8R_V, "vs8r.v", 0, 0, 0, {o::vec_mem_data_reg, o::vec_mem_base}),
    sh(60, VV, ID_VADD_VV),
    sh(60, VX, ID_VADD_VX),
    sh(60, VI, ID_VADD_VI),
    sh(60, VV, ID_VSUB_VV),
    sh(60, VX, ID_VSUB_VX),
    sh(60, VX, ID_VRSUB_VX),
    sh(60, VI, ID_VRSUB_VI),
    sh(60, VV, ID_VMINU_VV),
    sh(60, VX, ID_VMINU_VX),
    sh(60, VV, ID_VMIN_VV),
    sh(60, VX, ID_VMIN_VX),
    sh(60, VV, ID_VMAXU_VV),
    sh(60, VX, ID_VMAXU_VX),
    sh(60, VV, ID_VMAX_VV),
    sh(60, VX, ID_VMAX_VX),
    sh(60, VV, ID_VAND_VV),
    sh(60, VX, ID_VAND_VX),
    sh(60, VI, ID_VAND_VI),
    sh(60, VV, ID_VOR_VV),
    sh(60, VX, ID_VOR_VX),
    sh(60, VI, ID_VOR_VI),
    sh(60, VV, ID_VXOR_VV),
    sh(60, VX, ID_VXOR_VX),
    sh(60, VI, ID_VXOR_VI),
    sh(60, VV, ID_VRGATHER_VV),
    sh(60, VX, ID_VRGATHER_VX),
    sh(60, VU, ID_VRGATHER_VI),
    sh(60, VV, ID_VRGATHEREI16_VV),
    sh(60, VX, ID_VSLIDEUP_VX),
    sh(60, VU, ID_VSLIDEUP_VI),
    sh(60, VX, ID_VSLIDEDOWN_VX),
    sh(60, VU, ID_VSLIDEDOWN_VI),
    sh(60, VVM, ID_VADC_VVM),
    sh(60, VXM, ID_VADC_VXM),
    sh(60, VIM, ID_VADC_VIM),
    sh(60, VVM, ID_VSBC_VVM),
    sh(60, VXM, ID_VSBC_VXM),
    sh(60, VVM, ID_VMADC_VVM),
    sh(60, VXM, ID_VMADC_VXM),
    sh(60, VIM, ID_VMADC_VIM),
    sh(60, VV, ID_VMADC_VV),
    sh(60, VX, ID_VMADC_VX),
    sh(60, VI, ID_VMADC_VI),
    sh(60, VVM, ID_VMSBC_VVM),
    sh(60, VXM, ID_VMSBC_VXM),
    sh(60, VV, ID_VMSBC_VV),
    sh(60, VX, ID_VMSBC_VX),
    sh(60, VVM, ID_VMERGE_VVM),
    sh(60, VXM, ID_VMERGE_VXM),
    sh(60, VIM, ID_VMERGE_VIM),
    own(60, ID_VMV_V_I, "vmv.v.i", 0, 0, 0, {o::vec_dest_reg, o::vec_simm5}),
    own(60, ID_VMV_V_V, "vmv.v.v", 0, 0, 0, {o::vec_dest_reg, o::vec_src1_reg}),
    own(60, ID_VMV_V_X, "vmv.v.x", 0, 0, 0, {o::vec_dest_reg, o::int_src1_reg}),
    sh(60, VV, ID_VMSEQ_VV),
    sh(60, VX, ID_VMSEQ_VX),
    sh(60, VI, ID_VMSEQ_VI),
    sh(60, VV, ID_VMSNE_VV),
    sh(60, VX, ID_VMSNE_VX),
    sh(60, VI, ID_VMSNE_VI),
    sh(60, VV, ID_VMSLTU_VV),
    sh(60, VX, ID_VMSLTU_VX),
    sh(60, VV, ID_VMSLT_VV),
    sh(60, VX, ID_VMSLT_VX),
    sh(60, VV, ID_VMSLEU_VV),
    sh(60, VX, ID_VMSLEU_VX),
    sh(60, VU, ID_VMSLEU_VI),
    sh(60, VV, ID_VMSLE_VV),
    sh(60, VX, ID_VMSLE_VX),
    sh(60, VI, ID_VMSLE_VI),
    sh(60, VX, ID_VMSGTU_VX),
    sh(60, VU, ID_VMSGTU_VI),
    sh(60, VX, ID_VMSGT_VX),
    sh(60, VI, ID_VMSGT_VI),
    sh(60, VV, ID_VSADDU_VV),
    sh(60, VX, ID_VSADDU_VX),
    sh(60, VU, ID_VSADDU_VI),
    sh(60, VV, ID_VSADD_VV),
    sh(60, VX, ID_VSADD_VX),
    sh(60, VI, ID_VSADD_VI),
    sh(60, VV, ID_VSSUBU_VV),
    sh(60, VX, ID_VSSUBU_VX),
    sh(60, VV, ID_VSSUB_VV),
    sh(60, VX, ID_VSSUB_VX),
    sh(60, VV, ID_VSLL_VV),
    sh(60, VX, ID_VSLL_VX),
    sh(60, VI, ID_VSLL_VI),
    own(60, ID_VMV1R_V, "vmv1r.v", 0, 0, 0, {o::vec_dest_reg, o::vec_src2_reg}),
    own(60, ID_VMV2R_V, "vmv2r.v", 0, 0, 0, {o::vec_dest_reg, o::vec_src2_reg}),
    own(60, ID_VMV4R_V, "vmv4r.v", 0, 0, 0, {o::vec_dest_reg, o::vec_src2_reg}),
    own(60, ID_VMV8R_V, "vmv8r.v", 0, 0, 0, {o::vec_dest_reg, o::vec_src2_reg}),
    sh(60, VV, ID_VSMUL_VV),
    sh(60, VX, ID_VSMUL_VX),
    sh(60, VV, ID_VSRL_VV),
    sh(60, VX, ID_VSRL_VX),
    sh(60, VU, ID_VSRL_VI),
    sh(60, VV, ID_VSRA_VV),
    sh(60, VX, ID_VSRA_VX),
    sh(60, VU, ID_VSRA_VI),
    sh(60, VV, ID_VSSRL_VV),
    sh(60, VX, ID_VSSRL_VX),
    sh(60, VU, ID_VSSRL_VI),
    sh(60, VV, ID_VSSRA_VV),
    sh(60, VX, ID_VSSRA_VX),
    sh(60, VU, ID_VSSRA_VI),
    sh(60, VV, ID_VNSRL_WV),
    sh(60, VX, ID_VNSRL_WX),
    sh(60, VU, ID_VNSRL_WI),
    sh(60, VV, ID_VNSRA_WV),
    sh(60, VX, ID_VNSRA_WX),
    sh(60, VU, ID_VNSRA_WI),
    sh(60, VV, ID_VNCLIPU_WV),
    sh(60, VX, ID_VNCLIPU_WX),
    sh(60, VU, ID_VNCLIPU_WI),
    sh(60, VV, ID_VNCLIP_WV),
    sh(60, VX, ID_VNCLIP_WX),
    sh(60, VU, ID_VNCLIP_WI),
    sh(60, VV, ID_VWREDSUMU_VS),
    sh(60, VV, ID_VWREDSUM_VS),
    sh(60, VV, ID_VAADDU_VV),
    sh(60, VX, ID_VAADDU_VX),
    sh(60, VV, ID_VAADD_VV),
    sh(60, VX, ID_VAADD_VX),
    sh(60, VV, ID_VASUBU_VV),
    sh(60, VX, ID_VASUBU_VX),
    sh(60, VV, ID_VASUB_VV),
    sh(60, VX, ID_VASUB_VX),
    sh(60, VV, ID_VREDSUM_VS),
    sh(60, VV, ID_VREDAND_VS),
    sh(60, VV, ID_VREDOR_VS),
    sh(60, VV, ID_VREDXOR_VS),
    sh(60, VV, ID_VREDMINU_VS),
    sh(60, VV, ID_VREDMIN_VS),
    sh(60, VV, ID_VREDMAXU_VS),
    sh(60, VV, ID_VREDMAX_VS),
    sh(60, VX, ID_VSLIDE1UP_VX),
    sh(60, VX, ID_VSLIDE1DOWN_VX),
    own(60, ID_VMV_X_S, "vmv.x.s", 0, 0, 0, {o::int_dest_reg, o::vec_src2_reg}),
    own(60, ID_VCPOP_M, "vcpop.m", 0, 0, 0, {o::int_dest_reg, o::vec_src2_reg, o::opt, o::vec_mask_suffix}),
    own(60, ID_VFIRST_M, "vfirst.m", 0, 0, 0, {o::int_dest_reg, o::vec_src2_reg, o::opt, o::vec_mask_suffix}),
    own(60, ID_VMV_S_X, "vmv.s.x", 0, 0, 0, {o::vec_dest_reg, o::int_src1_reg}),
    sh(60, V1, ID_VZEXT_VF2),
    sh(60, V1, ID_VSEXT_VF2),
    sh(60, V1, ID_VZEXT_VF4),
    sh(60, V1, ID_VSEXT_VF4),
    sh(60, V1, ID_VZEXT_VF8),
    sh(60, V1, ID_VSEXT_VF8),
    sh(60, V1, ID_VMSBF_M),
    sh(60, V1, ID_VMSOF_M),
    sh(60, V1, ID_VMSIF_M),
    sh(60, V1, ID_VIOTA_M),
    own(60, ID_VID_V, "vid.v", 0, 0, 0, {o::vec_dest_reg, o::opt, o::vec_mask_suffix}),
    own(60, ID_VCOMPRESS_VM, "vcompress.vm", 0, 0, 0, {o::vec_dest_reg, o::vec_src2_reg, o::vec_src1_reg}),
    sh(60, VV, ID_VMANDN_MM),
    sh(60, VV, ID_VMAND_MM),
    sh(60, VV, ID_VMOR_MM),
    sh(60, VV, ID_VMXOR_MM),
    sh(60, VV, ID_VMORN_MM),
    sh(60, VV, ID_VMNAND_MM),
    sh(60, VV, ID_VMNOR_MM),
    sh(60, VV, ID_VMXNOR_MM),
    sh(60, VV, ID_VDIVU_VV),
    sh(60, VX, ID_VDIVU_VX),
    sh(60, VV, ID_VDIV_VV),
    sh(60, VX, ID_VDIV_VX),
    sh(60, VV, ID_VREMU_VV),
    sh(60, VX, ID_VREMU_VX),
    sh(60, VV, ID_VREM_VV),
    sh(60, VX, ID_VREM_VX),
    sh(60, VV, ID_VMULHU_VV),
    sh(60, VX, ID_VMULHU_VX),
    sh(60, VV, ID_VMUL_VV),
    sh(60, VX, ID_VMUL_VX),
    sh(60, VV, ID_VMULHSU_VV),
    sh(60, VX, ID_VMULHSU_VX),
    sh(60, VV, ID_VMULH_VV),
    sh(60, VX, ID_VMULH_VX),
    sh(60, VV, ID_VMADD_VV),
    sh(60, VX, ID_VMADD_VX),
    sh(60, VV, ID_VNMSUB_VV),
    sh(60, VX, ID_VNMSUB_VX),
    sh(60, VV, ID_VMACC_VV),
    sh(60, VX, ID_VMACC_VX),
    sh(60, VV, ID_VNMSAC_VV),
    sh(60, VX, ID_VNMSAC_VX),
    sh(60, VV, ID_VWADDU_VV),
    sh(60, VX, ID_VWADDU_VX),
    sh(60, VV, ID_VWADD_VV),
    sh(60, VX, ID_VWADD_VX),
    sh(60, VV, ID_VWSUBU_VV),
    sh(60, VX, ID_VWSUBU_VX),
    sh(60, VV, ID_VWSUB_VV),
    sh(60, VX, ID_VWSUB_VX),
    sh(60, VV, ID_VWADDU_WV),
    sh(60, VX, ID_VWADDU_WX),
    sh(60, VV, ID_VWADD_WV),
    sh(60, VX, ID_VWADD_WX),
    sh(60, VV, ID_VWSUBU_WV),
    sh(60, VX, ID_VWSUBU_WX),
    sh(60, VV, ID_VWSUB_WV),
    sh(60, VX, ID_VWSUB_WX),
    sh(60, VV, ID_VWMULU_VV),
    sh(60, VX, ID_VWMULU_VX),
    sh(60, VV, ID_VWMULSU_VV),
    sh(60, VX, ID_VWMULSU_VX),
    sh(60, VV, ID_VWMUL_VV),
    sh(60, VX, ID_VWMUL_VX),
    sh(60, VV, ID_VWMACCU_VV),
    sh(60, VX, ID_VWMACCU_VX),
    sh(60, VV, ID_VWMACC_VV),
    sh(60, VX, ID_VWMACC_VX),
    sh(60, VX, ID_VWMACCUS_VX),
    sh(60, VV, ID_VWMACCSU_VV),
    sh(60, VX, ID_VWMACCSU_VX),
    sh(60, VV, ID_VFADD_VV),
    sh(60, VF, ID_VFADD_VF),
    sh(60, VV, ID_VFREDUSUM_VS),
    sh(60, VV, ID_VFSUB_VV),
    sh(60, VF, ID_VFSUB_VF),
    sh(60, VV, ID_VFREDOSUM_VS),
    sh(60, VV, ID_VFMIN_VV),
    sh(60, VF, ID_VFMIN_VF),
    sh(60, VV, ID_VFREDMIN_VS),
    sh(60, VV, ID_VFMAX_VV),
    sh(60, VF, ID_VFMAX_VF),
    sh(60, VV, ID_VFREDMAX_VS),
    sh(60, VV, ID_VFSGNJ_VV),
    sh(60, VF, ID_VFSGNJ_VF),
    sh(60, VV, ID_VFSGNJN_VV),
    sh(60, VF, ID_VFSGNJN_VF),
    sh(60, VV, ID_VFSGNJX_VV),
    sh(60, VF, ID_VFSGNJX_VF),
    own(60, ID_VFMV_F_S, "vfmv.f.s", 0, 0, 0, {o::fp_dest_reg, o::vec_src2_reg}),
    own(60, ID_VFMV_S_F, "vfmv.s.f", 0, 0, 0, {o::vec_dest_reg, o::fp_src1_reg}),
    sh(60, VF, ID_VFSLIDE1UP_VF),
    sh(60, VF, ID_VFSLIDE1DOWN_VF),
    own(60, ID_VFMERGE_VFM, "vfmerge.vfm", 0, 0, 0, {o::vec_dest_reg, o::vec_src2_reg, o::fp_src1_reg, o::fixed_v0}),
    own(60, ID_VFMV_V_F, "vfmv.v.f", 0, 0, 0, {o::vec_dest_reg, o::fp_src1_reg}),
    sh(60, VV, ID_VMFEQ_VV),
    sh(60, VF, ID_VMFEQ_VF),
    sh(60, VV, ID_VMFLE_VV),
    sh(60, VF, ID_VMFLE_VF),
    sh(60, VV, ID_VMFLT_VV),
    sh(60, VF, ID_VMFLT_VF),
    sh(60, VV, ID_VMFNE_VV),
    sh(60, VF, ID_VMFNE_VF),
    sh(60, VF, ID_VMFGT_VF),
    sh(60, VF, ID_VMFGE_VF),
    sh(60, VV, ID_VFDIV_VV),
    sh(60, VF, ID_VFDIV_VF),
    sh(60, VF, ID_VFRDIV_VF),
    sh(60, V1, ID_VFCVT_RTZ_XU_F_V),
    sh(60, V1, ID_VFCVT_RTZ_X_F_V),
    sh(60, V1, ID_VFCVT_XU_F_V),
    sh(60, V1, ID_VFCVT_X_F_V),
    sh(60, V1, ID_VFCVT_F_XU_V),
    sh(60, V1, ID_VFCVT_F_X_V),
    sh(60, V1, ID_VFWCVT_RTZ_XU_F_V),
    sh(60, V1, ID_VFWCVT_RTZ_X_F_V),
    sh(60, V1, ID_VFWCVT_XU_F_V),
    sh(60, V1, ID_VFWCVT_X_F_V),
    sh(60, V1, ID_VFWCVT_F_XU_V),
    sh(60, V1, ID_VFWCVT_F_X_V),
    sh(60, V1, ID_VFWCVT_F_F_V),
    sh(60, V1, ID_VFNCVT_RTZ_XU_F_W),
    sh(60, V1, ID_VFNCVT_RTZ_X_F_W),
    sh(60, V1, ID_VFNCVT_XU_F_W),
    sh(60, V1, ID_VFNCVT_X_F_W),
    sh(60, V1, ID_VFNCVT_F_XU_W),
    sh(60, V1, ID_VFNCVT_F_X_W),
    sh(60, V1, ID_VFNCVT_F_F_W),
    sh(60, V1, ID_VFNCVT_ROD_F_F_W),
    sh(60, V1, ID_VFSQRT_V),
    sh(60, V1, ID_VFRSQRT7_V),
    sh(60, V1, ID_VFREC7_V),
    sh(60, V1, ID_VFCLASS_V),
    sh(60, VV, ID_VFMUL_VV),
    sh(60, VF, ID_VFMUL_VF),
    sh(60, VF, ID_VFRSUB_VF),
    sh(60, VV, ID_VFMADD_VV),
    sh(60, VF, ID_VFMADD_VF),
    sh(60, VV, ID_VFNMADD_VV),
    sh(60, VF, ID_VFNMADD_VF),
    sh(60, VV, ID_VFMSUB_VV),
    sh(60, VF, ID_VFMSUB_VF),
    sh(60, VV, ID_VFNMSUB_VV),
    sh(60, VF, ID_VFNMSUB_VF),
    sh(60, VV, ID_VFMACC_VV),
    sh(60, VF, ID_VFMACC_VF),
    sh(60, VV, ID_VFNMACC_VV),
    sh(60, VF, ID_VFNMACC_VF),
    sh(60, VV, ID_VFMSAC_VV),
    sh(60, VF, ID_VFMSAC_VF),
    sh(60, VV, ID_VFNMSAC_VV),
    sh(60, VF, ID_VFNMSAC_VF),
    sh(60, VV, ID_VFWADD_VV),
    sh(60, VF, ID_VFWADD_VF),
    sh(60, VV, ID_VFWREDUSUM_VS),
    sh(60, VV, ID_VFWSUB_VV),
    sh(60, VF, ID_VFWSUB_VF),
    sh(60, VV, ID_VFWREDOSUM_VS),
    sh(60, VV, ID_VFWADD_WV),
    sh(60, VF, ID_VFWADD_WF),
    sh(60, VV, ID_VFWSUB_WV),
    sh(60, VF, ID_VFWSUB_WF),
    sh(60, VV, ID_VFWMUL_VV),
    sh(60, VF, ID_VFWMUL_VF),
    sh(60, VV, ID_VFWMACC_VV),
    sh(60, VF, ID_VFWMACC_VF),
    sh(60, VV, ID_VFWNMACC_VV),
    sh(60, VF, ID_VFWNMACC_VF),
    sh(60, VV, ID_VFWMSAC_VV),
    sh(60, VF, ID_VFWMSAC_VF),
    sh(60, VV, ID_VFWNMSAC_VV),
    sh(60, VF, ID_VFWNMSAC_VF),
    // 61: zvfbfmin
    sh(61, V1, ID_VFNCVTBF16_F_F_W),
    sh(61, V1, ID_VFWCVTBF16_F_F_V),
    // 62: zvfbfwma
    sh(62, VV, ID_VFWMACCBF16_VV),
    sh(62, VF, ID_VFWMACCBF16_VF),
    // 63: zmmul
    sh(63, R, ID_MUL),
    sh(63, R, ID_MULH),
    sh(63, R, ID_MULHU),
    sh(63, R, ID_MULHSU),
    sh(63, R, ID_MULW),
    // 64: zbpbo
    sh(64, R, ID_MIN),
    sh(64, R, ID_MAX),
    sh(64, R4, ID_CMIX),
    sh(64, R, ID_PACK),
    sh(64, R, ID_PACKU),
    own_x(64, SP_REV, ID_GREVI, "rev", 0x68005013, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    own(64, ID_GREVI, "rev8.h", 0x68805013, 0xfff0707f, 9, {o::int_dest_reg, o::int_src1_reg}),
    // 65: zbpbo && xlen == 32
    sh(65, R1, ID_CLZ),
    sh(65, R4, ID_FSR),
    own(65, ID_FSRI, "fsri", 0, 0, 13, {o::int_dest_reg, o::int_src1_reg, o::int_src3_reg, o::shift_amount}),
    // 66: zbpbo && xlen != 32
    sh(66, R4, ID_FSRW),
    // 67: zpsfoperand
    own_x(67, SP_SMAL, ID_SMAL, "smal", 0, 0, 11, {o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}),
    sh(67, PC, ID_RADD64),
    sh(67, PC, ID_URADD64),
    sh(67, PC, ID_KADD64),
    sh(67, PC, ID_UKADD64),
    sh(67, PC, ID_RSUB64),
    sh(67, PC, ID_URSUB64),
    sh(67, PC, ID_KSUB64),
    sh(67, PC, ID_UKSUB64),
    sh(67, PB, ID_SMAR64),
    sh(67, PB, ID_SMSR64),
    sh(67, PB, ID_UMAR64),
    sh(67, PB, ID_UMSR64),
    sh(67, PB, ID_KMAR64),
    sh(67, PB, ID_KMSR64),
    sh(67, PB, ID_UKMAR64),
    sh(67, PB, ID_UKMSR64),
    sh(67, PB, ID_SMALBB),
    sh(67, PB, ID_SMALBT),
    sh(67, PB, ID_SMALTT),
    sh(67, PB, ID_SMALDA),
    sh(67, PB, ID_SMALXDA),
    sh(67, PB, ID_SMALDS),
    sh(67, PB, ID_SMALDRS),
    sh(67, PB, ID_SMALXDS),
    sh(67, PB, ID_SMSLDA),
    sh(67, PB, ID_SMSLXDA),
    sh(67, PA, ID_MULR64),
    sh(67, PA, ID_MULSR64),
    // 68: zpsfoperand && xlen == 32
    sh(68, PC, ID_ADD64),
    sh(68, PC, ID_SUB64),
    // 69: zpn
    sh(69, R, ID_ADD8),
    sh(69, R, ID_ADD16),
    sh(69, R, ID_RADD8),
    sh(69, R, ID_RADD16),
    sh(69, R, ID_URADD8),
    sh(69, R, ID_URADD16),
    sh(69, R, ID_KADD8),
    sh(69, R, ID_KADD16),
    sh(69, R, ID_UKADD8),
    sh(69, R, ID_UKADD16),
    sh(69, R, ID_SUB8),
    sh(69, R, ID_SUB16),
    sh(69, R, ID_RSUB8),
    sh(69, R, ID_RSUB16),
    sh(69, R, ID_URSUB8),
    sh(69, R, ID_URSUB16),
    sh(69, R, ID_KSUB8),
    sh(69, R, ID_KSUB16),
    sh(69, R, ID_UKSUB8),
    sh(69, R, ID_UKSUB16),
    sh(69, R, ID_CRAS16),
    sh(69, R, ID_RCRAS16),
    sh(69, R, ID_URCRAS16),
    sh(69, R, ID_KCRAS16),
    sh(69, R, ID_UKCRAS16),
    sh(69, R, ID_CRSA16),
    sh(69, R, ID_RCRSA16),
    sh(69, R, ID_URCRSA16),
    sh(69, R, ID_KCRSA16),
    sh(69, R, ID_UKCRSA16),
    sh(69, R, ID_STAS16),
    sh(69, R, ID_RSTAS16),
    sh(69, R, ID_URSTAS16),
    sh(69, R, ID_KSTAS16),
    sh(69, R, ID_UKSTAS16),
    sh(69, R, ID_STSA16),
    sh(69, R, ID_RSTSA16),
    sh(69, R, ID_URSTSA16),
    sh(69, R, ID_KSTSA16),
    sh(69, R, ID_UKSTSA16),
    sh(69, R, ID_SRA8),
    sh(69, R, ID_SRA16),
    sh(69, R, ID_SRL8),
    sh(69, R, ID_SRL16),
    sh(69, R, ID_SLL8),
    sh(69, R, ID_SLL16),
    sh(69, R, ID_KSLL8),
    sh(69, R, ID_KSLL16),
    sh(69, R, ID_KSLRA8),
    sh(69, R, ID_KSLRA16),
    sh(69, U3, ID_SRAI8),
    sh(69, U4, ID_SRAI16),
    sh(69, U3, ID_SRLI8),
    sh(69, U4, ID_SRLI16),
    sh(69, U3, ID_SLLI8),
    sh(69, U4, ID_SLLI16),
    sh(69, U3, ID_KSLLI8),
    sh(69, U4, ID_KSLLI16),
    sh(69, R, ID_SRA8_U),
    sh(69, R, ID_SRA16_U),
    sh(69, R, ID_SRL8_U),
    sh(69, R, ID_SRL16_U),
    sh(69, R, ID_KSLRA8_U),
    sh(69, R, ID_KSLRA16_U),
    sh(69, U3, ID_SRAI8_U),
    sh(69, U4, ID_SRAI16_U),
    sh(69, U3, ID_SRLI8_U),
    sh(69, U4, ID_SRLI16_U),
    sh(69, R, ID_CMPEQ8),
    sh(69, R, ID_CMPEQ16),
    sh(69, R, ID_SCMPLT8),
    sh(69, R, ID_SCMPLT16),
    sh(69, R, ID_SCMPLE8),
    sh(69, R, ID_SCMPLE16),
    sh(69, R, ID_UCMPLT8),
    sh(69, R, ID_UCMPLT16),
    sh(69, R, ID_UCMPLE8),
    sh(69, R, ID_UCMPLE16),
    sh(69, R, ID_KHM8),
    sh(69, R, ID_KHM16),
    sh(69, R, ID_KHMX8),
    sh(69, R, ID_KHMX16),
    sh(69, R, ID_SMIN8),
    sh(69, R, ID_SMIN16),
    sh(69, R, ID_UMIN8),
    sh(69, R, ID_UMIN16),
    sh(69, R, ID_SMAX8),
    sh(69, R, ID_SMAX16),
    sh(69, R, ID_UMAX8),
    sh(69, R, ID_UMAX16),
    sh(69, U3, ID_SCLIP8),
    sh(69, U4, ID_SCLIP16),
    sh(69, U3, ID_UCLIP8),
    sh(69, U4, ID_UCLIP16),
    sh(69, R1, ID_KABS16),
    sh(69, R1, ID_CLRS16),
    sh(69, R1, ID_CLZ16),
    sh(69, R1, ID_KABS8),
    sh(69, R1, ID_CLRS8),
    sh(69, R1, ID_CLZ8),
    sh(69, R1, ID_SUNPKD810),
    sh(69, R1, ID_SUNPKD820),
    sh(69, R1, ID_SUNPKD830),
    sh(69, R1, ID_SUNPKD831),
    sh(69, R1, ID_SUNPKD832),
    sh(69, R1, ID_ZUNPKD810),
    sh(69, R1, ID_ZUNPKD820),
    sh(69, R1, ID_ZUNPKD830),
    sh(69, R1, ID_ZUNPKD831),
    sh(69, R1, ID_ZUNPKD832),
    sh(69, R, ID_PKBB16),
    sh(69, R, ID_PKBT16),
    sh(69, R, ID_PKTB16),
    sh(69, R, ID_PKTT16),
    sh(69, R, ID_SMMUL),
    sh(69, R, ID_SMMUL_U),
    sh(69, PD, ID_KMMAC),
    own(69, ID_KMMAC_U, "kmmac.u", 0, 0, 1035, {o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}),
    sh(69, PD, ID_KMMSB),
    own(69, ID_KMMSB_U, "kmmsb.u", 0, 0, 1035, {o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}),
    sh(69, R, ID_KWMMUL),
    sh(69, R, ID_KWMMUL_U),
    sh(69, R, ID_SMMWB),
    sh(69, R, ID_SMMWB_U),
    sh(69, R, ID_SMMWT),
    sh(69, R, ID_SMMWT_U),
    sh(69, PD, ID_KMMAWB),
    own(69, ID_KMMAWB_U, "kmmawb.u", 0, 0, 1035, {o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}),
    sh(69, PD, ID_KMMAWT),
    own(69, ID_KMMAWT_U, "kmmawt.u", 0, 0, 1035, {o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}),
    sh(69, R, ID_KMMWB2),
    sh(69, R, ID_KMMWB2_U),
    sh(69, R, ID_KMMWT2),
    sh(69, R, ID_KMMWT2_U),
    sh(69, PD, ID_KMMAWB2),
    own(69, ID_KMMAWB2_U, "kmmawb2.u", 0, 0, 1035, {o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}),
    sh(69, PD, ID_KMMAWT2),
    own(69, ID_KMMAWT2_U, "kmmawt2.u", 0, 0, 1035, {o::int_dest_reg, o::int_src1_reg, o::int_src2_reg}),
    sh(69, R, ID_SMBB16),
    sh(69, R, ID_SMBT16),
    sh(69, R, ID_SMTT16),
    sh(69, R, ID_KMDA),
    sh(69, R, ID_KMXDA),
    sh(69, R, ID_SMDS),
    sh(69, R, ID_SMDRS),
    sh(69, R, ID_SMXDS),
    sh(69, PD, ID_KMABB),
    sh(69, PD, ID_KMABT),
    sh(69, PD, ID_KMATT),
    sh(69, PD, ID_KMADA),
    sh(69, PD, ID_KMAXDA),
    sh(69, PD, ID_KMADS),
    sh(69, PD, ID_KMADRS),
    sh(69, PD, ID_KMAXDS),
    sh(69, PD, ID_KMSDA),
    sh(69, PD, ID_KMSXDA),
    sh(69, U5, ID_SCLIP32),
    sh(69, U5, ID_UCLIP32),
    sh(69, R1, ID_CLRS32),
    sh(69, R1, ID_CLZ32),
    sh(69, R, ID_PBSAD),
    sh(69, PD, ID_PBSADA),
    sh(69, PD, ID_SMAQA),
    sh(69, PD, ID_UMAQA),
    sh(69, PD, ID_SMAQA_SU),
    sh(69, R, ID_KADDH),
    sh(69, R, ID_KSUBH),
    sh(69, R, ID_KHMBB),
    sh(69, R, ID_KHMBT),
    sh(69, R, ID_KHMTT),
    sh(69, R, ID_UKADDH),
    sh(69, R, ID_UKSUBH),
    sh(69, R, ID_KADDW),
    sh(69, R, ID_UKADDW),
    sh(69, R, ID_KSUBW),
    sh(69, R, ID_UKSUBW),
    sh(69, R, ID_KDMBB),
    sh(69, R, ID_KDMBT),
    sh(69, R, ID_KDMTT),
    sh(69, R, ID_KSLRAW),
    sh(69, R, ID_KSLRAW_U),
    sh(69, R, ID_KSLLW),
    sh(69, U5, ID_KSLLIW),
    sh(69, PD, ID_KDMABB),
    sh(69, PD, ID_KDMABT),
    sh(69, PD, ID_KDMATT),
    sh(69, R1, ID_KABSW),
    sh(69, R, ID_RADDW),
    sh(69, R, ID_URADDW),
    sh(69, R, ID_RSUBW),
    sh(69, R, ID_URSUBW),
    sh(69, PD, ID_MSUBR32),
    sh(69, R, ID_AVE),
    sh(69, R, ID_SRA_U),
    own(69, ID_SRAI_U, "srai.u", 0, 0, 9, {o::int_dest_reg, o::int_src1_reg, o::uimm6_25_20}),
    sh(69, U3, ID_INSB),
    sh(69, PD, ID_MADDR32),
    // 70: zpn && xlen == 64
    sh(70, R, ID_ADD32),
    sh(70, R, ID_RADD32),
    sh(70, R, ID_URADD32),
    sh(70, R, ID_KADD32),
    sh(70, R, ID_UKADD32),
    sh(70, R, ID_SUB32),
    sh(70, R, ID_RSUB32),
    sh(70, R, ID_URSUB32),
    sh(70, R, ID_KSUB32),
    sh(70, R, ID_UKSUB32),
    sh(70, R, ID_CRAS32),
    sh(70, R, ID_RCRAS32),
    sh(70, R, ID_URCRAS32),
    sh(70, R, ID_KCRAS32),
    sh(70, R, ID_UKCRAS32),
    sh(70, R, ID_CRSA32),
    sh(70, R, ID_RCRSA32),
    sh(70, R, ID_URCRSA32),
    sh(70, R, ID_KCRSA32),
    sh(70, R, ID_UKCRSA32),
    sh(70, R, ID_STAS32),
    sh(70, R, ID_RSTAS32),
    sh(70, R, ID_URSTAS32),
    sh(70, R, ID_KSTAS32),
    sh(70, R, ID_UKSTAS32),
    sh(70, R, ID_STSA32),
    sh(70, R, ID_RSTSA32),
    sh(70, R, ID_URSTSA32),
    sh(70, R, ID_KSTSA32),
    sh(70, R, ID_UKSTSA32),
    sh(70, R, ID_SRA32),
    sh(70, U5, ID_SRAI32),
    sh(70, R, ID_SRA32_U),
    sh(70, U5, ID_SRAI32_U),
    sh(70, R, ID_SRL32),
    sh(70, U5, ID_SRLI32),
    sh(70, R, ID_SRL32_U),
    sh(70, U5, ID_SRLI32_U),
    sh(70, R, ID_SLL32),
    sh(70, U5, ID_SLLI32),
    sh(70, R, ID_KSLL32),
    sh(70, U5, ID_KSLLI32),
    sh(70, R, ID_KSLRA32),
    sh(70, R, ID_KSLRA32_U),
    sh(70, R, ID_SMIN32),
    sh(70, R, ID_UMIN32),
    sh(70, R, ID_SMAX32),
    sh(70, R, ID_UMAX32),
    sh(70, R1, ID_KABS32),
    sh(70, R, ID_KHMBB16),
    sh(70, R, ID_KHMBT16),
    sh(70, R, ID_KHMTT16),
    sh(70, R, ID_KDMBB16),
    sh(70, R, ID_KDMBT16),
    sh(70, R, ID_KDMTT16),
    sh(70, PD, ID_KDMABB16),
    sh(70, PD, ID_KDMABT16),
    sh(70, PD, ID_KDMATT16),
    sh(70, R, ID_SMBT32),
    sh(70, R, ID_SMTT32),
    sh(70, PD, ID_KMABB32),
    sh(70, PD, ID_KMABT32),
    sh(70, PD, ID_KMATT32),
    sh(70, R, ID_KMDA32),
    sh(70, R, ID_KMXDA32),
    sh(70, PD, ID_KMAXDA32),
    sh(70, PD, ID_KMADS32),
    sh(70, PD, ID_KMADRS32),
    sh(70, PD, ID_KMAXDS32),
    sh(70, PD, ID_KMSDA32),
    sh(70, PD, ID_KMSXDA32),
    sh(70, R, ID_SMDS32),
    sh(70, R, ID_SMDRS32),
    sh(70, R, ID_SMXDS32),
    sh(70, U5, ID_SRAIW_U),
    sh(70, R, ID_PKBT32),
    sh(70, R, ID_PKTB32),
    // 71: zicbom
    own(71, ID_CBO_CLEAN, "cbo.clean", 0, 0, 1, {o::amo_base}),
    own(71, ID_CBO_FLUSH, "cbo.flush", 0, 0, 1, {o::amo_base}),
    own(71, ID_CBO_INVAL, "cbo.inval", 0, 0, 1, {o::amo_base}),
    // 72: zicboz
    own(72, ID_CBO_ZERO, "cbo.zero", 0, 0, 1, {o::amo_base}),
    // 73: zicond
    sh(73, R, ID_CZERO_EQZ),
    sh(73, R, ID_CZERO_NEZ),
    // 74: zimop
    sh(74, R1, ID_MOP_R_0),
    sh(74, R1, ID_MOP_R_1),
    sh(74, R1, ID_MOP_R_2),
    sh(74, R1, ID_MOP_R_3),
    sh(74, R1, ID_MOP_R_4),
    sh(74, R1, ID_MOP_R_5),
    sh(74, R1, ID_MOP_R_6),
    sh(74, R1, ID_MOP_R_7),
    sh(74, R1, ID_MOP_R_8),
    sh(74, R1, ID_MOP_R_9),
    sh(74, R1, ID_MOP_R_10),
    sh(74, R1, ID_MOP_R_11),
    sh(74, R1, ID_MOP_R_12),
    sh(74, R1, ID_MOP_R_13),
    sh(74, R1, ID_MOP_R_14),
    sh(74, R1, ID_MOP_R_15),
    sh(74, R1, ID_MOP_R_16),
    sh(74, R1, ID_MOP_R_17),
    sh(74, R1, ID_MOP_R_18),
    sh(74, R1, ID_MOP_R_19),
    sh(74, R1, ID_MOP_R_20),
    sh(74, R1, ID_MOP_R_21),
    sh(74, R1, ID_MOP_R_22),
    sh(74, R1, ID_MOP_R_23),
    sh(74, R1, ID_MOP_R_24),
    sh(74, R1, ID_MOP_R_25),
    sh(74, R1, ID_MOP_R_26),
    sh(74, R1, ID_MOP_R_27),
    // 75: zimop && !zicfiss
    sh(75, R1, ID_MOP_R_28),
    // 76: zimop
    sh(76, R1, ID_MOP_R_29),
    sh(76, R1, ID_MOP_R_30),
    sh(76, R1, ID_MOP_R_31),
    sh(76, R, ID_MOP_RR_0),
    sh(76, R, ID_MOP_RR_1),
    sh(76, R, ID_MOP_RR_2),
    sh(76, R, ID_MOP_RR_3),
    sh(76, R, ID_MOP_RR_4),
    sh(76, R, ID_MOP_RR_5),
    sh(76, R, ID_MOP_RR_6),
    // 77: zimop && !zicfiss
    sh(77, R, ID_MOP_RR_7),
    // 78: zcmop && !zicfiss
    own(78, ID_C_MOP_1, "c.mop.1", 0, 0, 0, {}),
    // 79: zcmop
    own(79, ID_C_MOP_3, "c.mop.3", 0, 0, 0, {}),
    // 80: zcmop && !zicfiss
    own(80, ID_C_MOP_5, "c.mop.5", 0, 0, 0, {}),
    // 81: zcmop
    own(81, ID_C_MOP_7, "c.mop.7", 0, 0, 0, {}),
    own(81, ID_C_MOP_9, "c.mop.9", 0, 0, 0, {}),
    own(81, ID_C_MOP_11, "c.mop.11", 0, 0, 0, {}),
    own(81, ID_C_MOP_13, "c.mop.13", 0, 0, 0, {}),
    own(81, ID_C_MOP_15, "c.mop.15", 0, 0, 0, {}),
    // 82: zknd || zkne
    sh(82, U4, ID_AES64KS1I),
    sh(82, R, ID_AES64KS2),
    // 83: zknd && xlen == 64
    sh(83, R, ID_AES64DS),
    sh(83, R, ID_AES64DSM),
    sh(83, R1, ID_AES64IM),
    // 84: zknd && xlen == 32
    sh(84, BS, ID_AES32DSI),
    sh(84, BS, ID_AES32DSMI),
    // 85: zkne && xlen == 64
    sh(85, R, ID_AES64ES),
    sh(85, R, ID_AES64ESM),
    // 86: zkne && xlen == 32
    sh(86, BS, ID_AES32ESI),
    sh(86, BS, ID_AES32ESMI),
    // 87: zknh
    sh(87, R1, ID_SHA256SIG0),
    sh(87, R1, ID_SHA256SIG1),
    sh(87, R1, ID_SHA256SUM0),
    sh(87, R1, ID_SHA256SUM1),
    // 88: zknh && xlen == 64
    sh(88, R1, ID_SHA512SIG0),
    sh(88, R1, ID_SHA512SIG1),
    sh(88, R1, ID_SHA512SUM0),
    sh(88, R1, ID_SHA512SUM1),
    // 89: zknh && xlen == 32
    sh(89, R, ID_SHA512SIG0H),
    sh(89, R, ID_SHA512SIG0L),
    sh(89, R, ID_SHA512SIG1H),
    sh(89, R, ID_SHA512SIG1L),
    sh(89, R, ID_SHA512SUM0R),
    sh(89, R, ID_SHA512SUM1R),
    // 90: zksed
    sh(90, BS, ID_SM4ED),
    sh(90, BS, ID_SM4KS),
    // 91: zksh
    sh(91, R1, ID_SM3P0),
    sh(91, R1, ID_SM3P1),
    // 92: zvbb
    sh(92, VV, ID_VANDN_VV),
    sh(92, VX, ID_VANDN_VX),
    sh(92, V1, ID_VBREV_V),
    sh(92, V1, ID_VBREV8_V),
    sh(92, V1, ID_VREV8_V),
    sh(92, V1, ID_VCLZ_V),
    sh(92, V1, ID_VCTZ_V),
    sh(92, V1, ID_VCPOP_V),
    sh(92, VV, ID_VROL_VV),
    sh(92, VX, ID_VROL_VX),
    sh(92, VV, ID_VROR_VV),
    sh(92, VX, ID_VROR_VX),
    own(92, ID_VROR_VI, "vror.vi", 0, 0, 0, {o::vec_dest_reg, o::vec_src2_reg, o::uimm6_26_19_15, o::opt, o::vec_mask_suffix}),
    sh(92, VV, ID_VWSLL_VV),
    sh(92, VX, ID_VWSLL_VX),
    sh(92, VU, ID_VWSLL_VI),
    // 93: zvbc
    sh(93, VV, ID_VCLMUL_VV),
    sh(93, VX, ID_VCLMUL_VX),
    sh(93, VV, ID_VCLMULH_VV),
    sh(93, VX, ID_VCLMULH_VX),
    // 94: zvkg
    sh(94, V1, ID_VGMUL_VV),
    sh(94, VV, ID_VGHSH_VV),
    // 95: zvkned
    sh(95, V1, ID_VAESDM_VV),
    sh(95, V1, ID_VAESDM_VS),
    sh(95, V1, ID_VAESDF_VV),
    sh(95, V1, ID_VAESDF_VS),
    sh(95, V1, ID_VAESEM_VV),
    sh(95, V1, ID_VAESEM_VS),
    sh(95, V1, ID_VAESEF_VV),
    sh(95, V1, ID_VAESEF_VS),
    sh(95, V1, ID_VAESZ_VS),
    sh(95, VU, ID_VAESKF1_VI),
    sh(95, VU, ID_VAESKF2_VI),
    // 96: zvknha || zvknhb
    sh(96, VV, ID_VSHA2MS_VV),
    sh(96, VV, ID_VSHA2CH_VV),
    sh(96, VV, ID_VSHA2CL_VV),
    // 97: zvksed
    sh(97, VU, ID_VSM4K_VI),
    sh(97, V1, ID_VSM4R_VV),
    sh(97, V1, ID_VSM4R_VS),
    // 98: zvksh
    sh(98, VU, ID_VSM3C_VI),
    sh(98, VV, ID_VSM3ME_VV),
    // 99: zalasr
    sh(99, LR, ID_LB_AQ),
    sh(99, LR, ID_LH_AQ),
    sh(99, LR, ID_LW_AQ),
    sh(99, LR, ID_LD_AQ),
    sh(99, SX, ID_SB_RL),
    sh(99, SX, ID_SH_RL),
    sh(99, SX, ID_SW_RL),
    sh(99, SX, ID_SD_RL),
    // 100: zicfiss
    own(100, ID_SSPUSH_X1, "sspush", 0, 0, 2, {o::int_src2_reg}),
    own(100, ID_SSPUSH_X5, "sspush", 0, 0, 2, {o::int_src2_reg}),
    own(100, ID_SSPOPCHK_X1, "sspopchk", 0, 0, 1, {o::int_src1_reg}),
    own(100, ID_SSPOPCHK_X5, "sspopchk", 0, 0, 1, {o::int_src1_reg}),
    own(100, ID_SSRDP, "ssrdp", 0, 0, 8, {o::int_dest_reg}),
    amo(100, ID_SSAMOSWAP_W, 779),
    // 101: zicfiss && xlen == 64
    amo(101, ID_SSAMOSWAP_D, 779),
    // 102: zicfiss && zca
    own2(102, ID_C_SSPUSH_X1, "c.sspush", "sspush", 0, 0, 0, {o::fixed_ra}),
    own2(102, ID_C_SSPOPCHK_X5, "c.sspopchk", "sspopchk", 0, 0, 0, {o::fixed_t0}),
    // 103: xlen == 32
    sh(103, PA, ID_SMUL8),
    sh(103, PA, ID_SMULX8),
    sh(103, PA, ID_UMUL8),
    sh(103, PA, ID_UMULX8),
    sh(103, PA, ID_SMUL16),
    sh(103, PA, ID_SMULX16),
    sh(103, PA, ID_UMUL16),
    sh(103, PA, ID_UMULX16),
    // 104: xlen != 32
    sh(104, R, ID_SMUL8),
    sh(104, R, ID_SMULX8),
    sh(104, R, ID_UMUL8),
    sh(104, R, ID_UMULX8),
    sh(104, R, ID_SMUL16),
    sh(104, R, ID_SMULX16),
    sh(104, R, ID_UMUL16),
    sh(104, R, ID_UMULX16),
    sh(104, R, ID_ADD64),
    sh(104, R, ID_RADD64),
    sh(104, R, ID_URADD64),
    sh(104, R, ID_KADD64),
    sh(104, R, ID_UKADD64),
    sh(104, R, ID_SUB64),
    sh(104, R, ID_RSUB64),
    sh(104, R, ID_URSUB64),
    sh(104, R, ID_KSUB64),
    sh(104, R, ID_UKSUB64),
    sh(104, PD, ID_SMAR64),
    sh(104, PD, ID_SMSR64),
    sh(104, PD, ID_UMAR64),
    sh(104, PD, ID_UMSR64),
    sh(104, PD, ID_KMAR64),
    sh(104, PD, ID_KMSR64),
    sh(104, PD, ID_UKMAR64),
    sh(104, PD, ID_UKMSR64),
    sh(104, PD, ID_SMALBB),
    sh(104, PD, ID_SMALBT),
    sh(104, PD, ID_SMALTT),
    sh(104, PD, ID_SMALDA),
    sh(104, PD, ID_SMALXDA),
    sh(104, PD, ID_SMALDS),
    sh(104, PD, ID_SMALDRS),
    sh(104, PD, ID_SMALXDS),
    sh(104, PD, ID_SMSLDA),
    sh(104, PD, ID_SMSLXDA),
    sh(104, R, ID_MULR64),
    sh(104, R, ID_MULSR64),
};

// Fused pairs, registered last with print_name cleared: their printer writes
// both mnemonics itself.
struct fused_row_t {
  uint16_t id;
  uint64_t flags;
  const arg_t* printer;
};

const fused_row_t k_fused_rows[] = {
    {ID_FUSE_LUI_ADDI, 8, &fuse_lui_addi_arg},
    {ID_FUSE_LUI_C_ADDI, 8, &fuse_lui_c_addi_arg},
    {ID_FUSE_LUI_JALR, 8, &fuse_lui_jalr_arg},
    {ID_FUSE_ADD_LX, 267, &fuse_add_lx_arg},
    {ID_FUSE_ADD_C_LX, 267, &fuse_add_c_lx_arg},
    {ID_FUSE_ADD_UW_LX, 267, &fuse_add_uw_lx_arg},
    {ID_FUSE_ADD_UW_C_LX, 267, &fuse_add_uw_c_lx_arg},
    {ID_FUSE_SH1ADD_LX, 267, &fuse_sh1add_lx_arg},
    {ID_FUSE_SH1ADD_C_LX, 267, &fuse_sh1add_c_lx_arg},
    {ID_FUSE_SH1ADD_UW_LX, 267, &fuse_sh1add_uw_lx_arg},
    {ID_FUSE_SH1ADD_UW_C_LX, 267, &fuse_sh1add_uw_c_lx_arg},
    {ID_FUSE_SH2ADD_LX, 267, &fuse_sh2add_lx_arg},
    {ID_FUSE_SH2ADD_C_LX, 267, &fuse_sh2add_c_lx_arg},
    {ID_FUSE_SH2ADD_UW_LX, 267, &fuse_sh2add_uw_lx_arg},
    {ID_FUSE_SH2ADD_UW_C_LX, 267, &fuse_sh2add_uw_c_lx_arg},
    {ID_FUSE_SH3ADD_LX, 267, &fuse_sh3add_lx_arg},
    {ID_FUSE_SH3ADD_C_LX, 267, &fuse_sh3add_c_lx_arg},
    {ID_FUSE_SH3ADD_UW_LX, 267, &fuse_sh3add_uw_lx_arg},
    {ID_FUSE_SH3ADD_UW_C_LX, 267, &fuse_sh3add_uw_c_lx_arg},
    {ID_FUSE_LUI_LX, 264, &fuse_lui_lx_arg},
    {ID_FUSE_LUI_C_LX, 264, &fuse_lui_c_lx_arg},
    {ID_FUSE_AUIPC_ADDI, 8, &fuse_auipc_addi_arg},
    {ID_FUSE_AUIPC_C_ADDI, 8, &fuse_auipc_c_addi_arg},
    {ID_FUSE_AUIPC_JALR, 8, &fuse_auipc_jalr_arg},
    {ID_FUSE_AUIPC_LX, 264, &fuse_auipc_lx_arg},
    {ID_FUSE_AUIPC_C_LX, 264, &fuse_auipc_c_lx_arg},
    {ID_FUSE_C_LUI_ADDI, 8, &fuse_c_lui_addi_arg},
    {ID_FUSE_C_LUI_C_ADDI, 8, &fuse_c_lui_c_addi_arg},
    {ID_FUSE_C_LUI_JALR, 8, &fuse_c_lui_jalr_arg},
    {ID_FUSE_C_ADD_LX, 267, &fuse_c_add_lx_arg},
    {ID_FUSE_C_LUI_LX, 264, &fuse_c_lui_lx_arg},
    {ID_FUSE_C_LUI_C_LX, 264, &fuse_c_lui_c_lx_arg},
    {ID_FUSE_C_ADD_C_LX, 267, &fuse_c_add_c_lx_arg},
    {ID_FUSE_ANDI_BEQ, 9, &fuse_andi_beq_arg},
    {ID_FUSE_AND_BEQ, 11, &fuse_and_beq_arg},
    {ID_FUSE_ANDI_C_BEQ, 9, &fuse_andi_c_beq_arg},
    {ID_FUSE_AND_C_BEQ, 11, &fuse_and_c_beq_arg},
    {ID_FUSE_C_ANDI_BEQ, 9, &fuse_c_andi_beq_arg},
    {ID_FUSE_C_AND_BEQ, 11, &fuse_c_and_beq_arg},
    {ID_FUSE_C_ANDI_C_BEQ, 9, &fuse_c_andi_c_beq_arg},
    {ID_FUSE_C_AND_C_BEQ, 11, &fuse_c_and_c_beq_arg},
};

// The ISA description's four questions.
struct gate_query_t {
  const isa_parser_i* isa;
  bool letter(char c) const { return isa->extension_enabled(static_cast<unsigned char>(c)); }
  bool ext(isa_extension_t e) const { return isa->extension_enabled(e); }
  int xlen() const { return isa->get_max_xlen(); }
  bool any_vector() const { return isa->has_any_vector(); }
};

// Whether the group `step` is registered. Alternatives are asked left to
// right and inner conditions only when the outer one holds.
bool gate_open(int step, const gate_query_t& g) {
  switch (step) {
    case 1:
      return true;
    case 2:
      return g.letter('A') || g.ext(EXT_ZAAMO);
    case 3:
      return g.letter('A') || g.ext(EXT_ZALRSC);
    case 4:
      return g.ext(EXT_ZACAS);
    case 5:
      return g.ext(EXT_ZABHA);
    case 6:
      return g.ext(EXT_ZAWRS);
    case 7:
      return g.ext(EXT_ZICFILP);
    case 8:
      return true;
    case 9:
      return g.xlen() == 32 && (g.ext(EXT_XKGOSTK) || g.ext(EXT_XKGOSTS));
    case 10:
      return g.xlen() == 32 && g.ext(EXT_XKGOSTK);
    case 11:
      return g.xlen() == 32 && g.ext(EXT_XKGOSTM);
    case 12:
      return g.xlen() == 32 && g.ext(EXT_XKGOSTS);
    case 13:
      return g.xlen() == 64 && (g.ext(EXT_XKGOSTK) || g.ext(EXT_XKGOSTS));
    case 14:
      return g.xlen() == 64 && g.ext(EXT_XKGOSTK);
    case 15:
      return g.xlen() == 64 && g.ext(EXT_XKGOSTM);
    case 16:
      return g.xlen() == 64 && g.ext(EXT_XKGOSTS);
    case 17:
      return true;
    case 18:
      return g.letter('S');
    case 19:
      return g.letter('M');
    case 20:
      return g.ext(EXT_ZBA);
    case 21:
      return g.ext(EXT_ZBA) && g.xlen() == 64;
    case 22:
      return g.ext(EXT_ZBB);
    case 23:
      return g.ext(EXT_ZBB) && g.xlen() == 64;
    case 24:
      return g.ext(EXT_ZBC);
    case 25:
      return g.ext(EXT_ZBS);
    case 26:
      return g.ext(EXT_ZBKB);
    case 27:
      return g.ext(EXT_ZBKB) && g.xlen() == 64;
    case 28:
      return g.ext(EXT_SVINVAL);
    case 29:
      return g.letter('F');
    case 30:
      return g.ext(EXT_ZFINX);
    case 31:
      return g.letter('D');
    case 32:
      return g.ext(EXT_ZFA);
    case 33:
      return g.ext(EXT_ZFA) && (g.ext(EXT_ZFH) || g.ext(EXT_ZVFH));
    case 34:
      return g.ext(EXT_ZFA) && g.letter('D');
    case 35:
      return g.ext(EXT_ZFA) && g.letter('D') && g.xlen() == 32;
    case 36:
      return g.ext(EXT_ZFA) && g.letter('Q');
    case 37:
      return g.ext(EXT_ZFA) && g.letter('Q') && g.xlen() == 64;
    case 38:
      return g.ext(EXT_ZDINX);
    case 39:
      return g.ext(EXT_ZFH);
    case 40:
      return g.ext(EXT_ZHINX);
    case 41:
      return g.ext(EXT_ZFHMIN);
    case 42:
      return g.ext(EXT_INTERNAL_ZFH_MOVE);
    case 43:
      return g.ext(EXT_ZHINXMIN);
    case 44:
      return g.letter('Q');
    case 45:
      return g.ext(EXT_ZFBFMIN);
    case 46:
      return g.letter('H');
    case 47:
      return g.ext(EXT_ZCA);
    case 48:
      return g.ext(EXT_ZCA) && g.xlen() == 32;
    case 49:
      return g.ext(EXT_ZCA) && g.xlen() != 32;
    case 50:
      return g.ext(EXT_ZCA) && (g.xlen() == 64 || g.ext(EXT_ZCMLSD));
    case 51:
      return g.ext(EXT_ZCD) && g.letter('D');
    case 52:
      return g.ext(EXT_ZCF) && g.letter('F');
    case 53:
      return g.ext(EXT_ZCB);
    case 54:
      return g.ext(EXT_ZCB) && g.xlen() == 64;
    case 55:
      return g.ext(EXT_ZCB);
    case 56:
      return g.ext(EXT_ZCMP) && g.xlen() == 32;
    case 57:
      return g.ext(EXT_ZCMP) && g.xlen() != 32;
    case 58:
      return g.ext(EXT_ZCMP);
    case 59:
      return g.ext(EXT_ZCMT);
    case 60:
      return g.any_vector();
    case 61:
      return g.ext(EXT_ZVFBFMIN);
    case 62:
      return g.ext(EXT_ZVFBFWMA);
    case 63:
      return g.ext(EXT_ZMMUL);
    case 64:
      return g.ext(EXT_ZBPBO);
    case 65:
      return g.ext(EXT_ZBPBO) && g.xlen() == 32;
    case 66:
      return g.ext(EXT_ZBPBO) && g.xlen() != 32;
    case 67:
      return g.ext(EXT_ZPSFOPERAND);
    case 68:
      return g.ext(EXT_ZPSFOPERAND) && g.xlen() == 32;
    case 69:
      return g.ext(EXT_ZPN);
    case 70:
      return g.ext(EXT_ZPN) && g.xlen() == 64;
    case 71:
      return g.ext(EXT_ZICBOM);
    case 72:
      return g.ext(EXT_ZICBOZ);
    case 73:
      return g.ext(EXT_ZICOND);
    case 74:
      return g.ext(EXT_ZIMOP);
    case 75:
      return g.ext(EXT_ZIMOP) && !g.ext(EXT_ZICFISS);
    case 76:
      return g.ext(EXT_ZIMOP);
    case 77:
      return g.ext(EXT_ZIMOP) && !g.ext(EXT_ZICFISS);
    case 78:
      return g.ext(EXT_ZCMOP) && !g.ext(EXT_ZICFISS);
    case 79:
      return g.ext(EXT_ZCMOP);
    case 80:
      return g.ext(EXT_ZCMOP) && !g.ext(EXT_ZICFISS);
    case 81:
      return g.ext(EXT_ZCMOP);
    case 82:
      return g.ext(EXT_ZKND) || g.ext(EXT_ZKNE);
    case 83:
      return g.ext(EXT_ZKND) && g.xlen() == 64;
    case 84:
      return g.ext(EXT_ZKND) && g.xlen() == 32;
    case 85:
      return g.ext(EXT_ZKNE) && g.xlen() == 64;
    case 86:
      return g.ext(EXT_ZKNE) && g.xlen() == 32;
    case 87:
      return g.ext(EXT_ZKNH);
    case 88:
      return g.ext(EXT_ZKNH) && g.xlen() == 64;
    case 89:
      return g.ext(EXT_ZKNH) && g.xlen() == 32;
    case 90:
      return g.ext(EXT_ZKSED);
    case 91:
      return g.ext(EXT_ZKSH);
    case 92:
      return g.ext(EXT_ZVBB);
    case 93:
      return g.ext(EXT_ZVBC);
    case 94:
      return g.ext(EXT_ZVKG);
    case 95:
      return g.ext(EXT_ZVKNED);
    case 96:
      return g.ext(EXT_ZVKNHA) || g.ext(EXT_ZVKNHB);
    case 97:
      return g.ext(EXT_ZVKSED);
    case 98:
      return g.ext(EXT_ZVKSH);
    case 99:
      return g.ext(EXT_ZALASR);
    case 100:
      return g.ext(EXT_ZICFISS);
    case 101:
      return g.ext(EXT_ZICFISS) && g.xlen() == 64;
    case 102:
      return g.ext(EXT_ZICFISS) && g.ext(EXT_ZCA);
    case 103:
      return g.xlen() == 32;
    case 104:
      return g.xlen() != 32;
    case 105:
      return true;
    default:
      return false;
  }
}

class registrar_t {
 public:
  explicit registrar_t(disassembler_t& d) : d_(d) {
    const arg_t* const printers[o::count] = {
      nullptr,
      nullptr,
      &::int_dest_reg,
      &::int_src1_reg,
      &::int_src2_reg,
      &::imm12_signed,
      &::shift_amount,
      &::int_src3_reg,
      &::load_address,
      &::store_address,
      &::branch_target,
      &::amo_base,
      &::uimm5_24_20,
      &::uimm4_23_20,
      &::uimm3_22_20,
      &::uimm2_31_30,
      &::fp_dest_reg,
      &::fp_src2_reg,
      &::fp_src1_reg,
      &::fp_src3_reg,
      &::fli_constant,
      &::vec_dest_reg,
      &::vec_src2_reg,
      &::vec_src1_reg,
      &::vec_mask_suffix,
      &::vec_simm5,
      &::uimm5_19_15,
      &::fixed_v0,
      &::vec_mem_base,
      &::vec_mem_data_reg,
      &::upper_imm20_hex,
      &::jal_target,
      &::fence_sets,
      &::csr_operand,
      &::c_int_dest,
      &::fixed_sp,
      &::c_addi16sp_imm,
      &::c_int_src2_prime,
      &::c_addi4spn_imm,
      &::c_simm6,
      &::c_lui_imm_hex,
      &::c_shift_amount,
      &::c_int_src1_prime,
      &::c_int_src2,
      &::c_lwsp_address,
      &::c_swsp_address,
      &::c_lw_address,
      &::c_branch_target,
      &::c_jump_target,
      &::c_ld_address,
      &::c_ldsp_address,
      &::c_sdsp_address,
      &::c_fp_src2_prime,
      &::c_fp_src2,
      &::c_byte_address,
      &::c_half_address,
      &::push_pop_reglist,
      &::stack_adj_rv32_neg,
      &::stack_adj_rv32,
      &::stack_adj_rv64_neg,
      &::stack_adj_rv64,
      &::c_sreg_9_7,
      &::c_sreg_4_2,
      &::table_jump_index,
      &::vtype_text,
      &::uimm6_25_20,
      &::uimm6_26_19_15,
      &::fixed_ra,
      &::fixed_t0,
    };
    for (int i = 0; i < o::count; ++i) printers_[i] = printers[i];
    args_.reserve(k_max_operands);
  }

  // One pattern with the operands `ops`.
  void add(const char* name, const char* name2, uint64_t match, uint64_t mask, uint64_t id,
           uint64_t flags, const ops_t& ops, bool print_name = true) {
    args_.clear();
    for (int i = 0; i < k_max_operands && ops.v[i] != o::end; ++i) args_.push_back(printers_[ops.v[i]]);
    add(name, name2, match, mask, id, flags, print_name);
  }

  // One pattern with a single printer (the fused pairs).
  void add(const char* name, const char* name2, uint64_t match, uint64_t mask, uint64_t id,
           uint64_t flags, const arg_t* printer, bool print_name) {
    args_.assign(1, printer);
    add(name, name2, match, mask, id, flags, print_name);
  }

  void add_row(const row_t& r, int xlen_at_build) {
    const id_encoding_t* def =
        r.id >= FIRST_FALLBACK_ID ? &k_id_encodings[r.id - FIRST_FALLBACK_ID] : nullptr;
    const char* name = r.name ? r.name : def->name;
    const char* name2 = r.name2 ? r.name2 : name;
    uint64_t match = r.match;
    uint64_t mask = r.mask;
    if (mask == 0) {
      match = def->match;
      mask = def->mask;
    }
    uint64_t id = r.id;
    uint64_t flags = r.flags;
    const ops_t* ops = &r.ops;
    if (r.shape != OWN) {
      const shape_info_t& s = k_shapes[r.shape];
      if (s.mask != 0) mask = s.mask;
      ops = &s.ops;
    }
    switch (r.special) {
      case SP_NONE:
        break;
      case SP_REV8:
        match = (static_cast<uint32_t>(xlen_at_build - 8) << 20 | 0x68005013u) & 0xffffffffu;
        break;
      case SP_REV:
        match = (static_cast<uint32_t>(xlen_at_build - 1) << 20 | 0x68005013u) & 0xffffffffu;
        break;
      case SP_ZEXT_H:
        match = xlen_at_build == 32 ? 0x08004033 : 0x0800403b;
        id = xlen_at_build == 32 ? ID_PACK : ID_PACKW;
        break;
      case SP_SMAL:
        flags = xlen_at_build == 32 ? 36875 : 11;
        break;
    }
    add(name, name2, match, mask, id, flags, *ops);
  }

 private:
  void add(const char* name, const char* name2, uint64_t match, uint64_t mask, uint64_t id,
           uint64_t flags, bool print_name) {
    std::unique_ptr<disasm_insn_t> p(new disasm_insn_t(name, name2, match, mask, id, flags, args_));
    p->print_name = print_name;
    d_.add_insn(p.get());
    p.release();
  }

  disassembler_t& d_;
  const arg_t* printers_[o::count];
  std::vector<const arg_t*> args_;
};

// Unit-stride, strided and indexed loads and stores for every element width
// and segment count, then the whole-register loads.
void register_vector_loops(registrar_t& reg) {
  static constexpr ops_t unit_load{{o::vec_dest_reg, o::vec_mem_base, o::opt, o::vec_mask_suffix}};
  static constexpr ops_t unit_store{{o::vec_mem_data_reg, o::vec_mem_base, o::opt, o::vec_mask_suffix}};
  static constexpr ops_t strided_load{
      {o::vec_dest_reg, o::vec_mem_base, o::int_src2_reg, o::opt, o::vec_mask_suffix}};
  static constexpr ops_t strided_store{
      {o::vec_mem_data_reg, o::vec_mem_base, o::int_src2_reg, o::opt, o::vec_mask_suffix}};
  static constexpr ops_t indexed_load{
      {o::vec_dest_reg, o::vec_mem_base, o::vec_src2_reg, o::opt, o::vec_mask_suffix}};
  static constexpr ops_t indexed_store{
      {o::vec_mem_data_reg, o::vec_mem_base, o::vec_src2_reg, o::opt, o::vec_mask_suffix}};
  struct template_t {
    const char* format;
    uint64_t match;
    uint64_t mask;
    uint16_t id;
    const ops_t* ops;
  };
  static constexpr template_t templates[] = {
      {"vl%se%d.v", 0x00000007, 0x1df0707f, ID_VLE8_V, &unit_load},
      {"vs%se%d.v", 0x00000027, 0x1df0707f, ID_VSE8_V, &unit_store},
      {"vlux%sei%d.v", 0x04000007, 0x1c00707f, ID_VLUXEI8_V, &indexed_load},
      {"vsux%sei%d.v", 0x04000027, 0x1c00707f, ID_VSUXEI8_V, &indexed_store},
      {"vls%se%d.v", 0x08000007, 0x1c00707f, ID_VLSE8_V, &strided_load},
      {"vss%se%d.v", 0x08000027, 0x1c00707f, ID_VSSE8_V, &strided_store},
      {"vlox%sei%d.v", 0x0c000007, 0x1c00707f, ID_VLOXEI8_V, &indexed_load},
      {"vsox%sei%d.v", 0x0c000027, 0x1c00707f, ID_VSOXEI8_V, &indexed_store},
      {"vl%se%dff.v", 0x01000007, 0x1df0707f, ID_VLE8FF_V, &unit_load},
  };
  // Width field (bits 14:12) and bit 28 of each element width 8 << e.
  static constexpr uint64_t width_codes[8] = {0x00000000, 0x00005000, 0x00006000, 0x00007000,
                                              0x10000000, 0x10005000, 0x10006000, 0x10007000};
  char name[128];
  char seg[8];
  for (int e = 0; e < 8; ++e) {
    const int width = 8 << e;
    for (uint64_t nf = 0; nf < 8; ++nf) {
      if (nf == 0)
        seg[0] = '\0';
      else
        std::snprintf(seg, sizeof seg, "seg%d", static_cast<int>(nf + 1));
      for (const template_t& t : templates) {
        std::snprintf(name, sizeof name, t.format, seg, width);
        const uint64_t match = ((t.match | (nf << 29)) & 0xefff8fff) | width_codes[e];
        reg.add(name, name, match, t.mask | 0xe0000000, t.id, 0, *t.ops);
      }
    }
    for (uint64_t nf : {7, 3, 1, 0}) {
      std::snprintf(name, sizeof name, "vl%dre%d.v", static_cast<int>(nf + 1), width);
      reg.add(name, name, (nf << 29) | width_codes[e] | 0x02800007, 0xfff0707f, ID_VL1RE8_V, 0,
              unit_load);
    }
  }
}

}  // namespace

void register_specific_insns(disassembler_t& d, const isa_parser_i* isa) {
  registrar_t reg(d);
  const gate_query_t g{isa};
  int step = -1;
  bool open = false;
  for (const row_t& r : k_rows) {
    if (r.step != step) {
      step = r.step;
      open = gate_open(step, g);
    }
    if (!open) continue;
    if (r.shape == VLOOP) {
      register_vector_loops(reg);
      continue;
    }
    const bool width_dependent = r.special != SP_NONE;
    reg.add_row(r, width_dependent ? isa->get_max_xlen() : 0);
  }
  for (const fused_row_t& f : k_fused_rows) {
    const id_encoding_t& def = k_id_encodings[f.id - FIRST_FALLBACK_ID];
    reg.add(def.name, def.name, def.match, def.mask, f.id, f.flags, f.printer, false);
  }
}
