#include "fusion_args.h"


#include "operands.h"

namespace {

// Fields of the fused-pair word: the first instruction stands shifted left by
// 7, the second contributes its funct3 and one 12-bit immediate.
const char* fused_rd(const insn_t& w) { return xpr_name[w.x(14, 5)]; }
int64_t second_imm(const insn_t& w) { return w.xs(39, 12); }
uint64_t second_funct3(const insn_t& w) { return w.x(51, 3); }
bool branch_swapped(const insn_t& w) { return w.x(54, 1) != 0; }

// The 6-bit signed immediate of a compressed first instruction.
int64_t c_first_imm6(const insn_t& w) {
  const int64_t v = static_cast<int64_t>((w.x(19, 1) << 5) | w.x(9, 5));
  return v >= 32 ? v - 64 : v;
}

// Upper immediate of the first instruction as five hex digits; c.lui's is its
// signed 6-bit immediate taken modulo 2^20.
std::string first_hex20(const insn_t& w, bool first_is_c) {
  const uint64_t imm = first_is_c ? static_cast<uint64_t>(c_first_imm6(w)) & 0xfffff : w.x(19, 20);
  return num2hex(static_cast<uint32_t>(imm), 5);
}

const char* load_mnemonic(const insn_t& w, bool second_is_c) {
  switch (second_funct3(w)) {
    case 0: return "lb";
    case 1: return "lh";
    case 2: return second_is_c ? "c.lw" : "lw";
    case 3: return second_is_c ? "c.ld" : "ld";
    case 4: return "lbu";
    case 5: return "lhu";
    case 6: return "lwu";
    default: return "";
  }
}

const char* branch_mnemonic(const insn_t& w, bool second_is_c) {
  switch (second_funct3(w)) {
    case 0: return "beq";
    case 1: return "bne";
    case 4: return "blt";
    case 5: return "bge";
    case 6: return second_is_c ? "c.beqz" : "bltu";
    case 7: return second_is_c ? "c.bnez" : "bgeu";
    default: return "";
  }
}

// "<first> rd, hex20; "
std::string upper_first(const char* mnemonic, const insn_t& w, bool first_is_c) {
  std::string s;
  s.reserve(64);
  s += mnemonic;
  s += ' ';
  s += fused_rd(w);
  s += ", ";
  s += first_hex20(w, first_is_c);
  s += "; ";
  return s;
}

// "<second> rd, rd, imm12"
void append_addi_like(std::string& s, const std::string& mnemonic, const insn_t& w) {
  const char* rd = fused_rd(w);
  s += mnemonic;
  s += ' ';
  s += rd;
  s += ", ";
  s += rd;
  s += ", ";
  s += std::to_string(second_imm(w));
}

// "<load> rd, imm12(rd)"
void append_load(std::string& s, const insn_t& w, bool second_is_c, int64_t offset) {
  const char* rd = fused_rd(w);
  s += load_mnemonic(w, second_is_c);
  s += ' ';
  s += rd;
  s += ", ";
  s += std::to_string(offset);
  s += '(';
  s += rd;
  s += ')';
}

bool is(const std::string& s, const char* text) { return s == text; }

}  // namespace

fuse_lui_addi_arg_t::fuse_lui_addi_arg_t(bool first_is_c, bool second_is_c)
    : first_is_c(first_is_c), second_is_c(second_is_c),
      second_mnemonic(second_is_c ? "c.addi" : "addi") {}

std::string fuse_lui_addi_arg_t::to_string(const insn_t& insn) const {
  std::string s = upper_first(first_is_c ? "c.lui" : "lui", insn, first_is_c);
  append_addi_like(s, second_mnemonic, insn);
  return s;
}

fuse_lui_jalr_arg_t::fuse_lui_jalr_arg_t(bool first_is_c, bool second_is_c)
    : fuse_lui_addi_arg_t(first_is_c, second_is_c) {
  second_mnemonic = second_is_c ? "c.jalr" : "jalr";
}

fuse_auipc_addi_arg_t::fuse_auipc_addi_arg_t(bool second_is_c)
    : second_is_c(second_is_c), second_mnemonic(second_is_c ? "c.addi" : "addi") {}

std::string fuse_auipc_addi_arg_t::to_string(const insn_t& insn) const {
  std::string s = upper_first("auipc", insn, false);
  append_addi_like(s, second_mnemonic, insn);
  return s;
}

fuse_auipc_jalr_arg_t::fuse_auipc_jalr_arg_t(bool second_is_c) : fuse_auipc_addi_arg_t(second_is_c) {
  second_mnemonic = second_is_c ? "c.jalr" : "jalr";
}

std::string fuse_lui_lx_arg_t::to_string(const insn_t& insn) const {
  std::string s = upper_first(first_is_c ? "c.lui" : "lui", insn, first_is_c);
  append_load(s, insn, second_is_c, second_imm(insn));
  return s;
}

std::string fuse_auipc_lx_arg_t::to_string(const insn_t& insn) const {
  std::string s = upper_first("auipc", insn, false);
  append_load(s, insn, second_is_c, second_imm(insn));
  return s;
}

std::string fuse_add_lx_arg_t::to_string(const insn_t& insn) const {
  const char* rd = fused_rd(insn);
  std::string s;
  s.reserve(64);
  s += first_mnemonic;
  s += ' ';
  s += rd;
  s += ", ";
  s += first_is_c ? rd : xpr_name[insn.x(22, 5)];
  s += ", ";
  s += xpr_name[first_is_c ? insn.x(9, 5) : insn.x(27, 5)];
  s += "; ";
  append_load(s, insn, second_is_c, 0);
  return s;
}

std::string fuse_alu_beq_arg_t::to_string(const insn_t& insn) const {
  // c.andi and c.and name their register with a 3-bit field (x8 to x15).
  const bool prime_regs = first_is_c && (is(first_mnemonic, "c.andi") || is(first_mnemonic, "c.and"));
  const char* r = prime_regs ? xpr_name[8 + insn.x(14, 3)] : xpr_name[insn.x(14, 5)];

  std::string s;
  s.reserve(64);
  s += first_mnemonic;
  s += ' ';
  s += r;
  s += ", ";
  s += first_is_c ? r : xpr_name[insn.x(22, 5)];
  s += ", ";
  const bool reg_form = is(first_mnemonic, "and") || is(first_mnemonic, "c.and") ||
                        is(first_mnemonic, "add") || is(first_mnemonic, "c.add");
  if (reg_form) {
    if (!first_is_c)
      s += xpr_name[insn.x(27, 5)];
    else if (is(first_mnemonic, "c.add"))
      s += xpr_name[insn.x(9, 5)];
    else
      s += xpr_name[8 + insn.x(9, 3)];
  } else {
    s += std::to_string(first_is_c ? c_first_imm6(insn) : insn.xs(27, 12));
  }

  s += "; ";
  s += branch_mnemonic(insn, second_is_c);
  s += ' ';
  if (branch_swapped(insn)) {
    s += "zero, ";
    s += r;
    s += ", ";
  } else {
    s += r;
    s += ", zero, ";
  }
  const int64_t offset = second_imm(insn) * 2;
  s += offset < 0 ? "pc - " : "pc + ";
  s += std::to_string(offset < 0 ? -offset : offset);
  return s;
}

const fuse_auipc_addi_arg_t fuse_auipc_addi_arg(false), fuse_auipc_c_addi_arg(true);
const fuse_auipc_jalr_arg_t fuse_auipc_jalr_arg(false), fuse_auipc_c_jalr_arg(true);
const fuse_auipc_lx_arg_t fuse_auipc_lx_arg(false), fuse_auipc_c_lx_arg(true);

const fuse_lui_addi_arg_t fuse_lui_addi_arg(false, false), fuse_lui_c_addi_arg(false, true),
    fuse_c_lui_addi_arg(true, false), fuse_c_lui_c_addi_arg(true, true);
const fuse_lui_jalr_arg_t fuse_lui_jalr_arg(false, false), fuse_lui_c_jalr_arg(false, true),
    fuse_c_lui_jalr_arg(true, false), fuse_c_lui_c_jalr_arg(true, true);
const fuse_lui_lx_arg_t fuse_lui_lx_arg(false, false), fuse_lui_c_lx_arg(false, true),
    fuse_c_lui_lx_arg(true, false), fuse_c_lui_c_lx_arg(true, true);

const fuse_add_lx_arg_t fuse_add_lx_arg("add", false, false), fuse_add_c_lx_arg("add", false, true),
    fuse_add_uw_lx_arg("add.uw", false, false), fuse_add_uw_c_lx_arg("add.uw", false, true),
    fuse_sh1add_lx_arg("sh1add", false, false), fuse_sh1add_c_lx_arg("sh1add", false, true),
    fuse_sh1add_uw_lx_arg("sh1add.uw", false, false),
    fuse_sh1add_uw_c_lx_arg("sh1add.uw", false, true), fuse_sh2add_lx_arg("sh2add", false, false),
    fuse_sh2add_c_lx_arg("sh2add", false, true), fuse_sh2add_uw_lx_arg("sh2add.uw", false, false),
    fuse_sh2add_uw_c_lx_arg("sh2add.uw", false, true), fuse_sh3add_lx_arg("sh3add", false, false),
    fuse_sh3add_c_lx_arg("sh3add", false, true), fuse_sh3add_uw_lx_arg("sh3add.uw", false, false),
    fuse_sh3add_uw_c_lx_arg("sh3add.uw", false, true), fuse_c_add_lx_arg("c.add", true, false),
    fuse_c_add_c_lx_arg("c.add", true, true);

const fuse_alu_beq_arg_t fuse_andi_beq_arg("andi", false, false),
    fuse_andi_c_beq_arg("andi", false, true), fuse_c_andi_beq_arg("c.andi", true, false),
    fuse_c_andi_c_beq_arg("c.andi", true, true), fuse_and_beq_arg("and", false, false),
    fuse_and_c_beq_arg("and", false, true), fuse_c_and_beq_arg("c.and", true, false),
    fuse_c_and_c_beq_arg("c.and", true, true);
