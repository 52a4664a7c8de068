#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "disasm.h"
#include "disassembler_test_access.h"
#include "insn_ids.h"
#include "test_isa.h"

namespace {

using access = disassembler_test_access;

bool is_fallback(const disasm_insn_t* p) {
  static const std::string tail = " (args unknown)";
  return p->name.size() > tail.size() &&
         p->name.compare(p->name.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<const disasm_insn_t*> all_patterns(const disassembler_t& d) {
  std::vector<const disasm_insn_t*> all;
  for (size_t c = 0; c < disassembler_t::CHAIN_COUNT; ++c)
    for (const disasm_insn_t* p : access::chain(d, c)) all.push_back(p);
  return all;
}

size_t specific_count(const disassembler_t& d) {
  size_t n = 0;
  for (const disasm_insn_t* p : all_patterns(d)) n += !is_fallback(p);
  return n;
}


// The descriptions the cases below decode under.
// Zcmp and Zcmt reuse the encodings of c.fsdsp, which is registered first, so
// they show only where Zcd is absent (as on real parts, which cannot have both).
enum isa_kind_t { all64, all32, all48, no_zicfiss64, no_zcmlsd32, no_zcd64, no_zcd32, no_zcd48, no_zpn64 };

test_isa_t make_isa(isa_kind_t kind) {
  switch (kind) {
    case all32:
      return test_isa_t(32);
    case all48:
      return test_isa_t(48);
    case no_zicfiss64:
      return std::move(test_isa_t(64).without(EXT_ZICFISS));
    case no_zcmlsd32:
      return std::move(test_isa_t(32).without(EXT_ZCMLSD));
    case no_zcd64:
      return std::move(test_isa_t(64).without(EXT_ZCD));
    case no_zcd32:
      return std::move(test_isa_t(32).without(EXT_ZCD));
    case no_zcd48:
      return std::move(test_isa_t(48).without(EXT_ZCD));
    case no_zpn64:
      return std::move(test_isa_t(64).without(EXT_ZPN));
    case all64:
      break;
  }
  return test_isa_t(64);
}

struct text_case_t {
  isa_kind_t isa;
  uint64_t word;
  const char* text;
  uint32_t id;
  uint64_t flags;
};

// One or more instructions of every shape and operand printer, the
// pseudo-instructions that must win over their general forms, width- and
// extension-dependent forms.
const text_case_t text_cases[] = {
    // Ids 0 and 1 and the pseudo-instructions registered before their base forms
    {all64, 0xc0001073, "unimp", ID_UNIMP, 0},
    {all64, 0x0000, "c.unimp", ID_C_UNIMP, 0},
    {all64, 0x00000013, "nop", ID_ADDI, 0},
    {all64, 0x00500513, "li      a0, 5", ID_ADDI, 8},
    {all64, 0x00058513, "mv      a0, a1", ID_ADDI, 9},
    {all64, 0xfff58513, "addi    a0, a1, -1", ID_ADDI, 9},  // I
    {all64, 0x0000006f, "j       pc + 0x00000", ID_JAL, 8},
    {all64, 0x000000ef, "jal     pc + 0x00000", ID_JAL, 8},
    {all64, 0x0100056f, "jal     a0, pc + 0x00010", ID_JAL, 8},
    {all64, 0x00008067, "ret", ID_JALR, 9},
    {all64, 0x00050067, "jr      a0", ID_JALR, 9},
    {all64, 0x000500e7, "jalr    a0", ID_JALR, 9},
    {all64, 0x00450567, "jalr    a0, a0, 4", ID_JALR, 9},
    {all64, 0x00050463, "beqz    a0, pc + 8", ID_BEQ, 1},        // BZ
    {all64, 0x00b50463, "beq     a0, a1, pc + 8", ID_BEQ, 3},    // B
    {all64, 0x0015b513, "seqz    a0, a1", ID_SLTIU, 9},
    {all64, 0x00b03533, "snez    a0, a1", ID_SLTU, 9},
    {all64, 0x0005851b, "sext.w  a0, a1", ID_ADDIW, 9},
    {all64, 0x0805853b, "zext.w  a0, a1", ID_ADD_UW, 9},
    {all32, 0x0805853b, "add.uw (args unknown)", ID_ADD_UW, 0},
    {all64, 0x30002573, "csrr    a0, mstatus", ID_CSRRS, 8},
    {all64, 0x30059073, "csrw    mstatus, a1", ID_CSRRW, 9},
    {all64, 0x30046073, "csrsi   mstatus, 8", ID_CSRRSI, 8},
    {all64, 0x300595f3, "csrrw   a1, mstatus, a1", ID_CSRRW, 9},
    {all64, 0x0330000f, "fence   rw,rw", ID_FENCE, 0},
    {all64, 0x0100000f, "pause", ID_PAUSE, 0},
    {all64, 0x12345537, "lui     a0, 0x12345", ID_LUI, 8},
    {all64, 0x00001517, "auipc   a0, 0x00001", ID_AUIPC, 8},
    {all64, 0x12345017, "lpad    0x12345", ID_LPAD, 0},
    {all64, 0x00056013, "prefetch.i (a0)", ID_PREFETCH_I, 1},
    {all64, 0x00356013, "prefetch.w (a0)", ID_PREFETCH_W, 1},
    {all64, 0x00812503, "lw      a0, 8(sp)", ID_LW, 265},    // L
    {all64, 0xfea12e23, "sw      a0, -4(sp)", ID_SW, 771},   // S
    {all64, 0x03f59513, "slli    a0, a1, 63", ID_SLLI, 9},   // SH
    {all64, 0x00c58533, "add     a0, a1, a2", ID_ADD, 11},   // R
    {all64, 0x60059513, "clz     a0, a1", ID_CLZ, 9},        // R1
    {all64, 0x6cc59533, "fsl     a0, a1, a2, a3", ID_FSL, 15},  // R4
    {all64, 0x00000073, "ecall", ID_ECALL, 0},               // N
    {all64, 0x12b50073, "sfence.vma a0, a1", ID_SFENCE_VMA, 3},  // RS
    {all64, 0x00b6252f, "amoadd.w a0, a1, (a2)", ID_AMOADD_W, 779},
    {all64, 0x1005a52f, "lr.w    a0, zero, (a1)", ID_LR_W, 265},
    {all64, 0x0805c53b, "zext.h  a0, a1", ID_PACKW, 9},
    {all32, 0x0805c533, "zext.h  a0, a1", ID_PACK, 9},
    {all64, 0x6b85d513, "rev8    a0, a1", ID_GREVI, 9},
    {all32, 0x6985d513, "rev8    a0, a1", ID_GREVI, 9},
    {all64, 0x70c59577, "kmmac.u a0, a1, a2", ID_KMMAC_U, 1035},
    {all64, 0x6805c573, "hlv.w   a0, (a1)", ID_HLV_W, 265},  // LR
    {all64, 0x6aa5c073, "hsv.w   a0, (a1)", ID_HSV_W, 779},  // SX
    {all64, 0xe5f58577, "sclip32 a0, a1, 31", ID_SCLIP32, 9},  // U5
    {all64, 0x31a59513, "aes64ks1i a0, a1, 10", ID_AES64KS1I, 9},  // U4
    {all64, 0x78758577, "srai8   a0, a1, 7", ID_SRAI8, 9},  // U3
    {all32, 0xe2c58533, "aes32esi a0, a1, 3", ID_AES32ESI, 9},  // BS
    {all64, 0xf0c59577, "mulr64  a0, a1, a2", ID_MULR64, 32779},  // PA
    {all64, 0x84c59577, "smar64  a0, a1, a2", ID_SMAR64, 35851},  // PB
    {all64, 0xb0c59577, "ukadd64 a0, a1, a2", ID_UKADD64, 45067},  // PC
    {all64, 0x60c59577, "kmmac   a0, a1, a2", ID_KMMAC, 1035},  // PD
    {all32, 0x5ec59577, "smal    a0, a1, a2", ID_SMAL, 36875},
    {all64, 0x5ec59577, "smal    a0, a1, a2", ID_SMAL, 11},
    {all32, 0xa8c58577, "smul8   a0, a1, a2", ID_SMUL8, 32779},
    {all64, 0xa8c58577, "smul8   a0, a1, a2", ID_SMUL8, 11},
    {all32, 0xc0c59577, "add64   a0, a1, a2", ID_ADD64, 45067},
    {all64, 0xc0c59577, "add64   a0, a1, a2", ID_ADD64, 11},
    {all64, 0x852507, "flw     fa0, 8(a0)", ID_FLW, 385},  // FL
    {all64, 0xa52427, "fsw     fa0, 8(a0)", ID_FSW, 801},  // FS
    {all64, 0xc58553, "fadd.s  fa0, fa1, fa2", ID_FADD_S, 176},  // FR
    {all64, 0x68c58543, "fmadd.s fa0, fa1, fa2, fa3", ID_FMADD_S, 240},  // FR4
    {all64, 0x58058553, "fsqrt.s fa0, fa1", ID_FSQRT_S, 144},  // F1
    {all64, 0xd0058553, "fcvt.s.w fa0, a1", ID_FCVT_S_W, 129},  // XF
    {all64, 0xc0058553, "fcvt.w.s a0, fa1", ID_FCVT_W_S, 24},  // FX
    {all64, 0xa0c5a553, "feq.s   a0, fa1, fa2", ID_FEQ_S, 56},  // FC
    {all32, 0xb2c58553, "fmvp.d.x fa0, a1, a2", ID_FMVP_D_X, 131},  // FP2
    {all32, 0xe2158553, "fmvh.x.d a0, fa1", ID_FMVH_X_D, 24},
    {all64, 0xf0160553, "fli.s   a0, 0.5", ID_FLI_S, 8},  // FLI
    {all64, 0xf2108553, "fli.d   a0, min", ID_FLI_D, 8},
    {all64, 0x28c5a553, "fminm.s fa0, fa1, fa2", ID_FMINM_S, 176},
    {all64, 0x40458553, "fround.s fa0, fa1", ID_FROUND_S, 144},
    {all64, 0xa0c5c553, "fleq.s  a0, fa1, fa2", ID_FLEQ_S, 56},
    {all64, 0xec5d533, "czero.eqz a0, a1, a2", ID_CZERO_EQZ, 11},
    {all64, 0x28c5a52f, "amocas.w a0, a2, (a1)", ID_AMOCAS_W, 779},  // AMO
    {all64, 0xc5852f, "amoadd.b a0, a2, (a1)", ID_AMOADD_B, 779},
    {all64, 0x3405852f, "lb.aq   a0, (a1)", ID_LB_AQ, 265},
    {all64, 0x3aa5802f, "sb.rl   a0, (a1)", ID_SB_RL, 779},
    {all64, 0x48c5b52f, "ssamoswap.d a0, a2, (a1)", ID_SSAMOSWAP_D, 779},
    {all64, 0xcdc04573, "ssrdp   a0", ID_SSRDP, 8},
    {all64, 0xd00073, "wrs.nto", ID_WRS_NTO, 0},  // N
    {all64, 0x45200f, "cbo.zero (a0)", ID_CBO_ZERO, 1},
    {all64, 0x81c5c573, "mop.r.0 a0, a1", ID_MOP_R_0, 9},
    {all64, 0xdec59577, "kmmawb2.u a0, a1, a2", ID_KMMAWB2_U, 1035},
    {all64, 0xd7f59577, "srai.u  a0, a1, 63", ID_SRAI_U, 9},
    {all64, 0x6bf5d513, "rev     a0, a1", ID_GREVI, 9},
    {all32, 0x69f5d513, "rev     a0, a1", ID_GREVI, 9},
    {all32, 0x6c55d513, "fsri    a0, a1, a3, 5", ID_FSRI, 13},
    {all32, 0x84c5c52b, "kuzn32esx a0, a1, a2", ID_KUZN32ESX, 11},
    {all64, 0x84c5c52b, "kuzn32esx (args unknown)", ID_KUZN32ESX, 0},
    {all64, 0x61059513, "crc32.b a0, a1", ID_CRC32_B, 9},
    {all64, 0x2180d7, "vadd.vv v1, v2, v3, v0.t", ID_VADD_VV, 0},  // VV
    {all64, 0x22180d7, "vadd.vv v1, v2, v3", ID_VADD_VV, 0},
    {all64, 0x2540d7, "vadd.vx v1, v2, a0, v0.t", ID_VADD_VX, 0},  // VX
    {all64, 0x22830d7, "vadd.vi v1, v2, -16", ID_VADD_VI, 0},  // VI
    {all64, 0xa22fb0d7, "vsrl.vi v1, v2, 31", ID_VSRL_VI, 0},  // VU
    {all64, 0x22550d7, "vfadd.vf v1, v2, fa0", ID_VFADD_VF, 0},  // VF
    {all64, 0x482320d7, "vzext.vf2 v1, v2, v0.t", ID_VZEXT_VF2, 0},  // V1
    {all64, 0x5c2180d7, "vmerge.vvm v1, v2, v3, v0", ID_VMERGE_VVM, 0},  // VVM
    {all64, 0x5c2540d7, "vmerge.vxm v1, v2, a0, v0", ID_VMERGE_VXM, 0},  // VXM
    {all64, 0x5c2fb0d7, "vmerge.vim v1, v2, -1, v0", ID_VMERGE_VIM, 0},  // VIM
    {all64, 0x562fb0d7, "vror.vi v1, v2, 63", ID_VROR_VI, 0},
    {all64, 0x1d05f557, "vsetvli a0, a1, 0x1d0", ID_VSETVLI, 0},
    {all64, 0x42282557, "vcpop.m a0, v2", ID_VCPOP_M, 0},
    {all64, 0x5008a0d7, "vid.v   v1, v0.t", ID_VID_V, 0},
    {all64, 0x4a2e90d7, "vfncvtbf16.f.f.w v1, v2", ID_VFNCVTBF16_F_F_W, 0},
    {all64, 0xee2550d7, "vfwmaccbf16.vf v1, v2, fa0", ID_VFWMACCBF16_VF, 0},
    {all64, 0x62540d7, "vandn.vx v1, v2, a0", ID_VANDN_VX, 0},
    {all64, 0xd643b157, "vwsll.vi v2, v4, 7", ID_VWSLL_VI, 0},
    {no_zpn64, 0xa22120f7, "vaesem.vv v1, v2", ID_VAESEM_VV, 0},
    {all32, 0xa22120f7, "vaesem.vv v1, v2", ID_VAESEM_VV, 0},
    {all64, 0xa22120f7, "umax32  ra, sp, sp", ID_UMAX32, 11},
    {all64, 0xae22a0f7, "vsm3c.vi v1, v2, 5", ID_VSM3C_VI, 0},
    {all32, 0xb221a0f7, "vghsh.vv v1, v2, v3", ID_VGHSH_VV, 0},
    {all64, 0xb221a0f7, "rstsa32 ra, gp, sp", ID_RSTSA32, 11},
    {all64, 0x81e8, "c.lbu   a0, 3(a1)", ID_C_LBU, 265},
    {all64, 0x85e8, "c.lh    a0, 2(a1)", ID_C_LH, 265},
    {all64, 0x89c8, "c.sb    a0, 1(a1)", ID_C_SB, 771},
    {all64, 0x9d61, "c.zext.b a0", ID_C_ZEXT_B, 9},
    {all64, 0x9d4d, "c.mul   a0, a1", ID_C_MUL, 11},
    {all64, 0x9d71, "c.zext.w a0", ID_C_ZEXT_W, 9},
    {all32, 0x9d71, "c.zext.w (args unknown)", ID_C_ZEXT_W, 0},
    {no_zcd32, 0xb866, "cm.push {ra, s0-s1}, -32", ID_CM_PUSH, 9},
    {no_zcd64, 0xb866, "cm.push {ra, s0-s1}, -48", ID_CM_PUSH, 9},
    {no_zcd48, 0xb866, "cm.push {ra, s0-s1}, -48", ID_CM_PUSH, 9},
    {no_zcd32, 0xbefe, "cm.popret {ra, s0-s11}, 112", ID_CM_POPRET, 9},
    {no_zcd64, 0xbefe, "cm.popret {ra, s0-s11}, 160", ID_CM_POPRET, 9},
    {no_zcd64, 0xacea, "cm.mva01s s1, s2", ID_CM_MVA01S, 9},
    {no_zcd64, 0xa016, "cm.jt   5", ID_CM_JALT, 8},
    {all64, 0xa016, "c.fsdsp ft5, 0(sp)", ID_C_FSDSP, 801},
    {no_zcd64, 0xa0a2, "cm.jalt 40", ID_CM_JALT, 8},
    {all32, 0x2801, "c.jal   pc + 16", ID_C_JAL, 8},
    {all64, 0x2801, "c.addiw a6, a6, 0", ID_C_ADDIW, 9},
    {all48, 0x2801, "c.addiw a6, a6, 0", ID_C_ADDIW, 9},
    {all64, 0x6588, "c.ld    a0, 8(a1)", ID_C_LD, 265},
    {all32, 0x6588, "c.ld    a0, 8(a1)", ID_C_LD, 265},
    {no_zcmlsd32, 0x6588, "c.flw   fa0, 8(a1)", ID_C_FLW, 385},
    {all64, 0x6522, "c.ld    a0, 8(sp)", ID_C_LDSP, 265},
    {no_zcmlsd32, 0x6522, "c.flw   fa0, 8(sp)", ID_C_FLWSP, 385},
    {all64, 0xa022, "c.fsdsp fs0, 0(sp)", ID_C_FSDSP, 801},
    {all64, 0x6081, "c.sspush ra", ID_C_SSPUSH_X1, 0},
    {no_zicfiss64, 0x6081, "c.mop.1", ID_C_MOP_1, 0},
    {all64, 0x6281, "c.sspopchk t0", ID_C_SSPOPCHK_X5, 0},
    {no_zicfiss64, 0x6281, "c.mop.5", ID_C_MOP_5, 0},
    {all64, 0x6181, "c.mop.3", ID_C_MOP_3, 0},
    {all64, 0xce104073, "sspush  ra", ID_SSPUSH_X1, 2},
    {no_zicfiss64, 0xce104073, "mop.rr.7 zero, zero, ra", ID_MOP_RR_7, 11},
    {all64, 0xcdc0c073, "sspopchk ra", ID_SSPOPCHK_X1, 1},
    {no_zicfiss64, 0xcdc0c073, "mop.r.28 zero, ra", ID_MOP_R_28, 9},
};

TEST(PatternTable, TextIdAndFlagsOfRepresentativeInstructions) {
  for (isa_kind_t kind : {all64, all32, all48, no_zicfiss64, no_zcmlsd32, no_zcd64, no_zcd32, no_zcd48, no_zpn64}) {
    const test_isa_t isa = make_isa(kind);
    const disassembler_t d(&isa);
    for (const text_case_t& c : text_cases) {
      if (c.isa != kind) continue;
      const disasm_insn_t* p = d.get_disasm(c.word);
      ASSERT_NE(p, nullptr) << c.text;
      EXPECT_EQ(d.disassemble(c.word), c.text) << std::hex << c.word << " isa " << kind;
      EXPECT_EQ(p->insn_id, c.id) << c.text << " (found " << p->name << ")";
      EXPECT_EQ(p->operand_flags, c.flags) << c.text;
      EXPECT_TRUE(p->print_name) << c.text;
    }
  }
}

struct fused_case_t {
  uint64_t word;
  const char* text;
  uint32_t id;
  uint64_t flags;
  const char* first_mnemonic;
};

// Fused-pair words: pair kind << 60 | second funct3 << 51 | second immediate
// << 39 | first instruction << 7 | length code.
constexpr uint64_t fused(uint64_t kind, uint64_t funct3, uint64_t imm, uint64_t first, uint64_t length) {
  return kind << 60 | funct3 << 51 | (imm & 0xfff) << 39 | first << 7 | length;
}

const fused_case_t fused_cases[] = {
    // lui a0, 0x12345 + addi a0, a0, 1656
    {fused(0x8, 0, 1656, 0x12345537, 0x3f), "lui a0, 0x12345; addi a0, a0, 1656", ID_FUSE_LUI_ADDI, 8, "lui"},
    // andi t0, a0, 7 + beq t0, zero, +16
    {fused(0xd, 0, 8, 0x00757293, 0x3f), "andi t0, a0, 7; beq t0, zero, pc + 16", ID_FUSE_ANDI_BEQ, 9, "andi"},
    // sh1add a0, a1, a2 + ld a0, 0(a0)
    {fused(0x9, 3, 0, 0x20c5a533, 0x3f), "sh1add a0, a1, a2; ld a0, 0(a0)", ID_FUSE_SH1ADD_LX, 267, "sh1add"},
    // c.lui a0, 1 + c.addi a0, -1
    {fused(0x8, 0, 0xfff, 0x6505, 0x7b), "c.lui a0, 0x00001; c.addi a0, a0, -1", ID_FUSE_C_LUI_C_ADDI, 8, "c.lui"},
    // auipc ra, 0x1 + jalr ra, 16(ra)
    {fused(0xf, 0, 16, 0x00001097, 0x3f), "auipc ra, 0x00001; jalr ra, ra, 16", ID_FUSE_AUIPC_JALR, 8, "auipc"},
    // lui a0, 0x10 + c.lw a0, 8(a0)
    {fused(0xa, 2, 8, 0x00010537, 0x1f), "lui a0, 0x00010; c.lw a0, 8(a0)", ID_FUSE_LUI_C_LX, 264, "lui"},
};

TEST(PatternTable, FusedPairWordsPrintBothInstructions) {
  for (int xlen : {64, 32}) {
    disassembler_t d(xlen);
    for (const fused_case_t& c : fused_cases) {
      const disasm_insn_t* p = d.get_disasm(c.word);
      ASSERT_NE(p, nullptr) << c.text;
      EXPECT_EQ(d.disassemble(c.word), c.text);
      EXPECT_EQ(p->insn_id, c.id) << c.text;
      EXPECT_EQ(p->operand_flags, c.flags) << c.text;
      EXPECT_FALSE(p->print_name) << c.text;
      EXPECT_EQ(d.get_name(c.word), c.first_mnemonic);
    }
  }
}

TEST(PatternTable, CountsWithEveryExtension) {
  struct {
    int xlen;
    size_t specific, total;
  } cases[] = {{64, 2025, 3387}, {32, 1910, 3272}};
  for (const auto& c : cases) {
    disassembler_t d(c.xlen);
    EXPECT_EQ(specific_count(d), c.specific) << c.xlen;
    EXPECT_EQ(access::pattern_count(d), c.total) << c.xlen;
  }
}

// Rows of tests/data/disasm/as_words.tsv: words produced by the GNU assembler
// from source lines, with the id and text this disassembler must give them.
TEST(PatternTable, AssemblerWords) {
  const char* dir = std::getenv("TRACE_TEST_DATA_DIR");
  const std::string path = std::string(dir ? dir : TRACE_TEST_DATA_DIR) + "/disasm/as_words.tsv";
  std::ifstream in(path);
  ASSERT_TRUE(in) << path;
  disassembler_t d64(64), d32(32);
  std::string line;
  size_t rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string xlen, word, id, text, source;
    ASSERT_TRUE(std::getline(fields, xlen, '\t') && std::getline(fields, word, '\t') &&
                std::getline(fields, id, '\t') && std::getline(fields, text, '\t'))
        << line;
    std::getline(fields, source, '\t');
    const disassembler_t& d = xlen == "32" ? d32 : d64;
    const uint64_t value = std::stoull(word, nullptr, 16);
    const disasm_insn_t* p = d.get_disasm(value);
    ASSERT_NE(p, nullptr) << source;
    EXPECT_EQ(p->insn_id, std::stoul(id)) << source << " -> " << p->name;
    EXPECT_EQ(d.disassemble(value), text) << source << " (rv" << xlen << ", " << word << ")";
    if (word.size() == 6) {
      // A compressed word decodes the same whatever follows it.
      EXPECT_EQ(d.disassemble(value | 0xdead0000), text) << source;
    }
    ++rows;
  }
  EXPECT_GT(rows, 500u);
}

}  // namespace

namespace {

const disasm_insn_t* find_named(const disassembler_t& d, uint32_t id, const std::string& name) {
  for (const disasm_insn_t* p : access::patterns_with_id(d, id))
    if (p->name == name) return p;
  return nullptr;
}

TEST(PatternTable, VectorLoadStoreLoops) {
  disassembler_t d(64);
  struct {
    uint32_t id;
    const char* name;
    uint64_t match, mask;
  } cases[] = {
      {ID_VLE8_V, "vle8.v", 0x00000007, 0xfdf0707f},
      {ID_VLE8_V, "vlseg2e8.v", 0x20000007, 0xfdf0707f},
      {ID_VLE8_V, "vle16.v", 0x00005007, 0xfdf0707f},
      {ID_VLE8_V, "vle128.v", 0x10000007, 0xfdf0707f},
      {ID_VLE8_V, "vlseg3e32.v", 0x40006007, 0xfdf0707f},
      {ID_VSOXEI8_V, "vsoxseg8ei64.v", 0xec007027, 0xfc00707f},
      {ID_VSOXEI8_V, "vsoxseg8ei1024.v", 0xfc007027, 0xfc00707f},
      {ID_VLE8FF_V, "vlseg4e256ff.v", 0x71005007, 0xfdf0707f},
      {ID_VL1RE8_V, "vl8re8.v", 0xe2800007, 0xfff0707f},
      {ID_VL1RE8_V, "vl1re64.v", 0x02807007, 0xfff0707f},
  };
  for (const auto& c : cases) {
    const disasm_insn_t* p = find_named(d, c.id, c.name);
    ASSERT_NE(p, nullptr) << c.name;
    EXPECT_EQ(p->match, c.match) << c.name;
    EXPECT_EQ(p->mask, c.mask) << c.name;
    EXPECT_EQ(p->operand_flags, 0u);
  }
  // Each template: 8 widths x 8 segment counts, plus the id's fallback.
  for (uint32_t id : {ID_VLE8_V, ID_VSE8_V, ID_VLUXEI8_V, ID_VSUXEI8_V, ID_VLSE8_V, ID_VSSE8_V,
                      ID_VLOXEI8_V, ID_VSOXEI8_V, ID_VLE8FF_V})
    EXPECT_EQ(access::patterns_with_id(d, id).size(), 65u) << id;
  EXPECT_EQ(access::patterns_with_id(d, ID_VL1RE8_V).size(), 33u);
  // The element width in the name, the stride register and the index register
  // in the text.
  EXPECT_EQ(d.disassemble(0x0a85f087), "vlse64.v v1, (a1), s0");
  EXPECT_EQ(d.disassemble(0x4685e0a7), "vsuxseg3ei32.v v1, (a1), v8");
}

TEST(PatternTable, NoVectorUnitRegistersNoVectorGroup) {
  test_isa_t isa(64);
  isa.without_vector();
  disassembler_t d(&isa);
  // The any-vector group (323) and the 608 loop patterns are left out.
  EXPECT_EQ(specific_count(d), 2025u - 323u - 608u);
  EXPECT_EQ(d.disassemble(0x02050087), "vle8.v (args unknown)");
  EXPECT_EQ(d.disassemble(0x022180d7), "vadd.vv (args unknown)");
  EXPECT_EQ(d.get_disasm(0x022180d7)->insn_id, ID_VADD_VV);
  // Groups gated by their own vector extension stay.
  EXPECT_EQ(d.disassemble(0x062540d7), "vandn.vx v1, v2, a0");
}

TEST(PatternTable, RegisterWidthNeither32Nor64) {
  test_isa_t isa(48);
  disassembler_t d(&isa);
  // Neither the RV32 nor the RV64 groups, but the groups for "not 32".
  EXPECT_EQ(d.disassemble(0x84c5c52b), "kuzn32esx (args unknown)");
  EXPECT_EQ(d.disassemble(0x04c5c52b), "kuzn64esx (args unknown)");
  EXPECT_EQ(d.disassemble(0x9d71), "c.zext.w (args unknown)");
  EXPECT_EQ(d.disassemble(0xa8c58577), "smul8   a0, a1, a2");
  EXPECT_EQ(d.get_disasm(0xa8c58577)->operand_flags, 11u);
}

TEST(PatternTable, GatesAskInOrderAndOnlyWhenNeeded) {
  {
    test_isa_t isa(64);
    isa.nothing();
    disassembler_t d(&isa);
    // Alternatives are asked left to right; inner gates only inside open ones.
    const std::vector<unsigned> first = {'A',         EXT_ZAAMO,   'A',         EXT_ZALRSC,
                                         EXT_ZACAS,   EXT_ZABHA,   EXT_ZAWRS,   EXT_ZICFILP,
                                         EXT_XKGOSTK, EXT_XKGOSTS, EXT_XKGOSTK, EXT_XKGOSTM,
                                         EXT_XKGOSTS, 'S',         'M',         EXT_ZBA};
    ASSERT_GE(isa.asked.size(), first.size());
    EXPECT_EQ(std::vector<unsigned>(isa.asked.begin(), isa.asked.begin() + first.size()), first);
    for (unsigned never : {unsigned(EXT_ZVFH), unsigned(EXT_ZCMLSD)})
      EXPECT_EQ(std::count(isa.asked.begin(), isa.asked.end(), never), 0) << never;
    // With nothing enabled only the ungated groups remain.
    EXPECT_EQ(d.disassemble(0x00000013), "nop");
    EXPECT_EQ(d.disassemble(0x02c58533), "mul (args unknown)");
  }
  {
    test_isa_t isa(64);
    disassembler_t d(&isa);
    for (unsigned never : {unsigned(EXT_ZAAMO), unsigned(EXT_ZALRSC), unsigned(EXT_ZCMLSD)})
      EXPECT_EQ(std::count(isa.asked.begin(), isa.asked.end(), never), 0) << never;
  }
}

TEST(PatternTable, EveryPatternIsWellFormed) {
  for (int xlen : {64, 32}) {
    disassembler_t d(xlen);
    size_t fused = 0;
    for (const disasm_insn_t* p : all_patterns(d)) {
      EXPECT_EQ(p->match & ~p->mask, 0u) << p->name;
      EXPECT_EQ(p->name.find('_'), std::string::npos) << p->name;
      EXPECT_EQ(p->operand_flags >> 16, 0u) << p->name;
      EXPECT_LT(p->insn_id, INSN_ID_COUNT) << p->name;
      if (!p->print_name) {
        ++fused;
        EXPECT_GE(p->insn_id, uint32_t(ID_FUSE_ADD_C_LX)) << p->name;
        EXPECT_LE(p->insn_id, uint32_t(ID_FUSE_SH3ADD_UW_LX)) << p->name;
        EXPECT_EQ(p->args.size(), 1u) << p->name;
        EXPECT_EQ(p->name.compare(0, 5, "fuse."), 0) << p->name;
      }
      // An optional mark is always followed by a printer.
      for (size_t i = 0; i < p->args.size(); ++i) {
        if (!p->args[i]) {
          EXPECT_TRUE(i + 1 < p->args.size() && p->args[i + 1]) << p->name;
        }
      }
    }
    EXPECT_EQ(fused, 41u);
  }
}

}  // namespace
