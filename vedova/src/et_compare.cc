// Comparison of two instruction records, fusion of two adjacent records into
// one macro-op record, and destination registers decoded from the word.
#include <cstdint>

#include "disasm.h"
#include "et_records.h"
#include "fused_word.h"
#include "insn_ids.h"

namespace {

// Result codes of compare; each names the first check that failed.
enum compare_code_t : unsigned {
  CMP_HART = 323,
  CMP_MODE = 327,
  CMP_PC = 331,
  CMP_TRAP = 335,
  CMP_CAUSE = 339,
  CMP_INSN16 = 353,
  CMP_INSN = 356,
  CMP_RS1_32 = 379,
  CMP_RS1 = 382,
  CMP_RS2_32 = 389,
  CMP_RS2 = 392,
  CMP_RS3_32 = 399,
  CMP_RS3 = 402,
  CMP_RS4_32 = 409,
  CMP_RS4 = 412,
  CMP_FRS1 = 417,
  CMP_FRS2 = 420,
  CMP_FRS3 = 423,
  CMP_SD_VALID = 428,
  CMP_SD = 432,
  CMP_EA_VALID = 439,
  CMP_EA = 443,
  CMP_PA_VALID = 448,
  CMP_PA = 452,
  CMP_RD_32 = 460,
  CMP_RD = 463,
  CMP_FRD = 468,
};

// Refusal codes of fuse.
enum fuse_code_t : int {
  FUSE_HART = 555,
  FUSE_MODE = 558,
  FUSE_COMMITTED = 561,
  FUSE_FIRST_TRAP = 564,
  FUSE_FIRST_COMPRESSED = 592,
  FUSE_SECOND_COMPRESSED = 616,
  FUSE_UPPER_RD = 632,
  FUSE_UPPER_SECOND = 646,
  FUSE_UPPER_SECOND_REGS = 649,
  FUSE_UPPER_REG_MATCH = 652,
  FUSE_AND_RD = 682,
  FUSE_AND_RS1 = 685,
  FUSE_AND_RS2 = 690,
  FUSE_AND_SECOND = 701,
  FUSE_AND_REG_MATCH = 705,
  FUSE_ADD_RD = 727,
  FUSE_ADD_RS1 = 730,
  FUSE_ADD_RS2 = 733,
  FUSE_ADD_SECOND = 744,
  FUSE_ADD_SECOND_REGS = 747,
  FUSE_ADD_REG_MATCH = 750,
  FUSE_OTHER_FIRST = 756,
};

bool same_slot(const et_reg_t& a, const et_reg_t& b, uint64_t value_mask) {
  return a.addr_valid == b.addr_valid && a.reg == b.reg && a.data_valid == b.data_valid &&
         ((a.value ^ b.value) & value_mask) == 0;
}

// Compares one integer slot; on a 32-bit core a slot that is not a register
// pair counts only its low 32 bits. 0 when equal.
unsigned compare_int_slot(const et_reg_t& a, const et_reg_t& b, bool narrow, unsigned code32, unsigned code64) {
  if (narrow) return same_slot(a, b, 0xffffffffu) ? 0 : code32;
  return same_slot(a, b, ~uint64_t(0)) ? 0 : code64;
}

constexpr bool is_32bit(uint64_t w) { return (w & 3) == 3; }
constexpr bool matches(uint64_t w, uint32_t mask, uint32_t value) { return (uint32_t(w) & mask) == value; }

// Compressed forms (only the low 16 bits are looked at).
constexpr bool is_c_lui(uint64_t w) { return matches(w, 0xe003, 0x6001); }
constexpr bool is_c_and(uint64_t w) { return matches(w, 0xfc63, 0x8c61); }
constexpr bool is_c_andi(uint64_t w) { return matches(w, 0xec03, 0x8801); }
constexpr bool is_c_add(uint64_t w) { return matches(w, 0xf003, 0x9002); }
constexpr bool is_c_addi(uint64_t w) { return matches(w, 0xe003, 0x0001); }
constexpr bool is_c_load(uint64_t w) { return matches(w, 0xc003, 0x4000); }  // c.lw, c.ld
constexpr bool is_c_branch(uint64_t w) { return matches(w, 0xc003, 0xc001); }  // c.beqz, c.bnez

// 32-bit forms.
constexpr bool is_lui_auipc(uint64_t w) { return matches(w, 0x5f, 0x17); }
constexpr bool is_auipc(uint64_t w) { return matches(w, 0x7f, 0x17); }
constexpr bool is_andi(uint64_t w) { return matches(w, 0x707f, 0x7013); }
constexpr bool is_and(uint64_t w) { return matches(w, 0xfe00707f, 0x7033); }
constexpr bool is_add_family(uint64_t w) {
  return matches(w, 0xfe00707f, 0x33) || matches(w, 0xfe00707f, 0x0800003b) ||  // add, add.uw
         matches(w, 0xfe003077, 0x20002033) ||                                    // sh1add, sh3add (+.uw)
         matches(w, 0xfe007077, 0x20004033);                                      // sh2add (+.uw)
}
constexpr bool is_jalr(uint64_t w) { return matches(w, 0x707f, 0x67); }
constexpr bool is_addi(uint64_t w) { return matches(w, 0x707f, 0x13); }
constexpr bool is_branch(uint64_t w) { return matches(w, 0x207f, 0x63) || matches(w, 0x607f, 0x6063); }
// lb, lh, lw, ld, lbu, lhu, lwu: the load opcode with any funct3 but 7.
constexpr bool is_load(uint64_t w) { return matches(w, 0x7f, 0x03) && ((w >> 12) & 7) != 7; }

constexpr uint64_t bits(uint64_t w, int hi, int lo) { return (w >> lo) & ((uint64_t(1) << (hi - lo + 1)) - 1); }

// Register numbers as the words encode them.
uint64_t dest_reg(uint64_t w) {
  if (is_32bit(w)) return bits(w, 11, 7);
  if (is_c_and(w) || is_c_andi(w) || is_c_branch(w)) return 8 + bits(w, 9, 7);
  if (is_c_load(w)) return 8 + bits(w, 4, 2);
  return bits(w, 11, 7);  // c.lui, c.add, c.addi
}

uint64_t src1_reg(uint64_t w) {
  if (is_32bit(w)) return bits(w, 19, 15);
  if (is_c_and(w) || is_c_andi(w) || is_c_branch(w) || is_c_load(w)) return 8 + bits(w, 9, 7);
  return bits(w, 11, 7);
}

// The 12-bit immediate field that the pair word keeps of the second
// instruction.
uint32_t second_imm12(uint64_t s) {
  if (is_32bit(s)) {
    if (is_branch(s)) {
      const uint64_t off = (bits(s, 31, 31) << 12) | (bits(s, 7, 7) << 11) | (bits(s, 30, 25) << 5) |
                           (bits(s, 11, 8) << 1);
      return uint32_t(off >> 1) & 0xfff;
    }
    return uint32_t(bits(s, 31, 20));  // loads, addi, jalr
  }
  if (is_c_addi(s)) {
    const uint32_t imm6 = uint32_t((bits(s, 12, 12) << 5) | bits(s, 6, 2));
    return (imm6 & 0x20 ? imm6 | 0xfc0 : imm6) & 0xfff;
  }
  if (is_c_load(s)) {
    const bool ld = bits(s, 13, 13) != 0;
    const uint64_t off = ld ? (bits(s, 12, 10) << 3) | (bits(s, 6, 5) << 6)
                            : (bits(s, 12, 10) << 3) | (bits(s, 6, 6) << 2) | (bits(s, 5, 5) << 6);
    return uint32_t(off);
  }
  if (is_c_branch(s)) {
    uint32_t off = uint32_t((bits(s, 12, 12) << 8) | (bits(s, 6, 5) << 6) | (bits(s, 2, 2) << 5) |
                            (bits(s, 11, 10) << 3) | (bits(s, 4, 3) << 1));
    if (off & 0x100) off |= ~uint32_t(0x1ff);  // sign bit 8
    return (off >> 1) & 0xfff;
  }
  return 0;
}

uint32_t length_code(uint64_t f, uint64_t s) {
  const int compressed = !is_32bit(f) + !is_32bit(s);
  return compressed == 0 ? fused_word::LENGTH_CODE_32_32
                         : compressed == 1 ? fused_word::LENGTH_CODE_MIXED : fused_word::LENGTH_CODE_16_16;
}

uint32_t funct3_of(uint64_t w) { return uint32_t(is_32bit(w) ? bits(w, 14, 12) : bits(w, 15, 13)); }

}  // namespace

unsigned et_insn_t::compare(const et_insn_t& b, uint64_t xlen) const {
  const et_insn_t& a = *this;
  if (a.hart != b.hart) return CMP_HART;
  if (a.mode != b.mode) return CMP_MODE;
  if (a.pc != b.pc) return CMP_PC;
  if (a.trap != b.trap) return CMP_TRAP;
  if (a.trap) {
    if (a.cause != b.cause) return CMP_CAUSE;
    // Interrupts and these causes leave nothing of the instruction to compare.
    if (a.cause == 0 || a.cause == 1 || a.cause == 12 || a.intr) return 0;
  }
  if (a.insn != b.insn) {
    if (is_32bit(a.insn) || is_32bit(b.insn)) return CMP_INSN;
    if (((a.insn ^ b.insn) & 0xffff) != 0) return CMP_INSN16;
  }
  if (a.trap) {
    switch (a.cause) {
      case 2: case 4: case 5: case 6: case 7: case 13: case 15:
        return 0;  // the fault came before the operands were used
      default:
        break;
    }
  }

  const uint64_t f = a.operand_flags;
  const bool rv32 = xlen == 32;
  unsigned r;
  if ((f & OPF_RS1) && (r = compare_int_slot(a.rs1, b.rs1, rv32 && !(f & OPF_RS1_PAIR), CMP_RS1_32, CMP_RS1)))
    return r;
  if ((f & OPF_RS2) && !(f & OPF_MEM_WRITE) &&
      (r = compare_int_slot(a.rs2, b.rs2, rv32 && !(f & OPF_RS2_PAIR), CMP_RS2_32, CMP_RS2)))
    return r;
  if ((f & OPF_RS3) && (r = compare_int_slot(a.rs3, b.rs3, rv32 && !(f & OPF_RS3_PAIR), CMP_RS3_32, CMP_RS3)))
    return r;
  if ((f & OPF_RD_SRC) &&
      (r = compare_int_slot(a.rs4, b.rs4, rv32 && !(f & OPF_RD_SRC_PAIR), CMP_RS4_32, CMP_RS4)))
    return r;
  const uint64_t all = ~uint64_t(0);
  if ((f & OPF_FRS1) && !same_slot(a.frs1, b.frs1, all)) return CMP_FRS1;
  if ((f & OPF_FRS2) && !(f & OPF_MEM_WRITE) && !same_slot(a.frs2, b.frs2, all)) return CMP_FRS2;
  if ((f & OPF_FRS3) && !same_slot(a.frs3, b.frs3, all)) return CMP_FRS3;
  if (f & OPF_MEM_WRITE) {
    if (a.sd_valid != b.sd_valid) return CMP_SD_VALID;
    if (a.sd_valid && a.sd != b.sd) return CMP_SD;
  }
  if (f & OPF_MEM) {
    if (a.ea_valid != b.ea_valid) return CMP_EA_VALID;
    if (a.ea_valid && a.ea != b.ea) return CMP_EA;
    if (a.pa_valid != b.pa_valid) return CMP_PA_VALID;
    if (a.pa_valid && a.pa != b.pa) return CMP_PA;
  }
  if ((f & OPF_RD) && bits(a.insn, 11, 7) != 0 &&
      (r = compare_int_slot(a.rd, b.rd, rv32 && !(f & OPF_RD_PAIR), CMP_RD_32, CMP_RD)))
    return r;
  if ((f & OPF_FRD) && !same_slot(a.frd, b.frd, all)) return CMP_FRD;
  return 0;
}

int et_insn_t::fuse(const et_insn_t& first, const et_insn_t& second) {
  const et_insn_t& F = first;
  const et_insn_t& S = second;
  if (F.hart != S.hart) return FUSE_HART;
  if (F.mode != S.mode) return FUSE_MODE;
  if (F.committed != S.committed) return FUSE_COMMITTED;
  if (F.trap) return FUSE_FIRST_TRAP;

  const uint64_t fw = is_32bit(F.insn) ? F.insn & 0xffffffffu : F.insn & 0xffff;
  const uint64_t sw = is_32bit(S.insn) ? S.insn & 0xffffffffu : S.insn & 0xffff;
  if (!is_32bit(fw) && !(is_c_lui(fw) || is_c_andi(fw) || is_c_and(fw) || is_c_add(fw)))
    return FUSE_FIRST_COMPRESSED;
  if (!is_32bit(sw) && !(is_c_addi(sw) || is_c_load(sw) || is_c_branch(sw))) return FUSE_SECOND_COMPRESSED;

  const bool s_addi = is_32bit(sw) ? is_addi(sw) : is_c_addi(sw);
  const bool s_jalr = is_32bit(sw) && is_jalr(sw);
  const bool s_load = is_32bit(sw) ? is_load(sw) : is_c_load(sw);
  const bool s_branch = is_32bit(sw) ? is_branch(sw) : is_c_branch(sw);
  const uint64_t f_rd = dest_reg(fw);

  enum { UPPER, AND, ADD } family;
  uint32_t kind;
  bool swapped = false;
  uint32_t imm = 0;

  if (is_32bit(fw) ? is_lui_auipc(fw) : is_c_lui(fw)) {
    if (!F.rd.addr_valid) return FUSE_UPPER_RD;
    if (!(s_addi || s_jalr || s_load)) return FUSE_UPPER_SECOND;
    if (!S.rs1.addr_valid || (!S.rd.addr_valid && !S.trap)) return FUSE_UPPER_SECOND_REGS;
    if (f_rd != src1_reg(sw) || f_rd != dest_reg(sw)) return FUSE_UPPER_REG_MATCH;
    family = UPPER;
    kind = 8 + (is_32bit(fw) && is_auipc(fw) ? 4 : 0) + (s_addi ? 0 : 2) + (s_jalr ? 1 : 0);
    imm = second_imm12(sw);
  } else if (is_32bit(fw) ? (is_andi(fw) || is_and(fw)) : (is_c_andi(fw) || is_c_and(fw))) {
    if (!F.rd.addr_valid) return FUSE_AND_RD;
    if (!F.rs1.addr_valid) return FUSE_AND_RS1;
    if ((is_32bit(fw) ? is_and(fw) : is_c_and(fw)) && !F.rs2.addr_valid) return FUSE_AND_RS2;
    if (!s_branch) return FUSE_AND_SECOND;
    const bool on_rs1 = f_rd == src1_reg(sw);
    const bool on_rs2 = is_32bit(sw) && f_rd == bits(sw, 24, 20);
    if (!on_rs1 && !on_rs2) return FUSE_AND_REG_MATCH;
    family = AND;
    kind = fused_word::KIND_AND_BRANCH;
    swapped = is_32bit(sw) && bits(sw, 19, 15) == 0;
    imm = second_imm12(sw);
  } else if (is_32bit(fw) ? is_add_family(fw) : is_c_add(fw)) {
    if (!F.rd.addr_valid) return FUSE_ADD_RD;
    if (!F.rs1.addr_valid) return FUSE_ADD_RS1;
    if (!F.rs2.addr_valid) return FUSE_ADD_RS2;
    if (!s_load) return FUSE_ADD_SECOND;
    if (!S.rs1.addr_valid || (!S.rd.addr_valid && !S.trap)) return FUSE_ADD_SECOND_REGS;
    if (f_rd != dest_reg(sw) || f_rd != src1_reg(sw)) return FUSE_ADD_REG_MATCH;
    family = ADD;
    kind = fused_word::KIND_ADD_LOAD;
  } else {
    return FUSE_OTHER_FIRST;
  }

  // Build the result apart first: this record may be one of the two inputs.
  const et_reg_t rd_slot = family == AND || S.trap ? F.rd : S.rd;
  const et_reg_t rs1_slot = F.rs1;
  const et_reg_t rs2_slot = F.rs2;
  const uint64_t word = fused_word::make(kind, swapped, funct3_of(sw), imm, uint32_t(fw), length_code(fw, sw));
  const uint16_t hart_v = F.hart;
  const uint64_t pc_v = F.pc, mode_v = F.mode;
  const bool committed_v = F.committed;
  const bool ea_valid_v = S.ea_valid, pa_valid_v = S.pa_valid, trap_v = S.trap, intr_v = S.intr;
  const uint64_t ea_v = S.ea, pa_v = S.pa, cause_v = S.cause;
  const uint64_t mem_flag = S.operand_flags & OPF_MEM;

  hart = hart_v;
  pc = pc_v;
  mode = mode_v;
  committed = committed_v;
  rd = rd_slot;
  rs1 = rs1_slot;
  rs2 = rs2_slot;
  operand_flags |= mem_flag;
  ea_valid = ea_valid_v;
  ea = ea_v;
  pa_valid = pa_valid_v;
  pa = pa_v;
  trap = trap_v;
  cause = cause_v;
  intr = intr_v;
  insn = word;
  return 0;
}

int64_t et_insn_t::get_irda(uint64_t id, uint64_t w) {
  if ((id >= ID_FUSE_ADD_C_LX && id <= ID_FUSE_C_ADD_LX) || (id >= ID_FUSE_C_LUI_ADDI && id <= ID_FUSE_SH3ADD_UW_LX))
    return int64_t(bits(w, 18, 14));  // the first instruction's rd
  if (id >= ID_FUSE_C_AND_BEQ && id <= ID_FUSE_C_ANDI_C_BEQ) return int64_t(8 + bits(w, 16, 14));
  switch (id) {
    case ID_C_ADDW: case ID_C_AND: case ID_C_ANDI: case ID_C_MUL: case ID_C_NOT: case ID_C_OR:
    case ID_C_SEXT_B: case ID_C_SEXT_H: case ID_C_SRAI: case ID_C_SRLI: case ID_C_SUB: case ID_C_SUBW:
    case ID_C_XOR: case ID_C_ZEXT_B: case ID_C_ZEXT_H: case ID_C_ZEXT_W:
      return int64_t(8 + bits(w, 9, 7));  // CA/CB forms: rd' in bits 9:7
    case ID_C_ADDI4SPN: case ID_C_LBU: case ID_C_LD: case ID_C_LH: case ID_C_LHU: case ID_C_LW:
      return int64_t(8 + bits(w, 4, 2));  // CIW/CL forms: rd' in bits 4:2
    case ID_C_JAL: case ID_C_JALR:
      return 1;  // ra
    default:
      return int64_t(bits(w, 11, 7));
  }
}

int64_t et_insn_t::get_irda() const { return get_irda(uint64_t(insn_id), insn); }

int64_t et_insn_t::get_frda(uint64_t id, uint64_t w) {
  if (id == ID_C_FLD || id == ID_C_FLW) return int64_t(8 + bits(w, 4, 2));
  return int64_t(bits(w, 11, 7));
}

int64_t et_insn_t::get_frda() const { return get_frda(uint64_t(insn_id), insn); }
