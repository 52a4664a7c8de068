#include "operands.h"

#include <cstdio>

#include "csr_names.h"

const char* const xpr_name[32] = {"zero", "ra", "sp", "gp", "tp", "t0", "t1", "t2",
                                  "s0",   "s1", "a0", "a1", "a2", "a3", "a4", "a5",
                                  "a6",   "a7", "s2", "s3", "s4", "s5", "s6", "s7",
                                  "s8",   "s9", "s10", "s11", "t3", "t4", "t5", "t6"};

const char* const fpr_name[32] = {"ft0", "ft1", "ft2",  "ft3",  "ft4", "ft5", "ft6",  "ft7",
                                  "fs0", "fs1", "fa0",  "fa1",  "fa2", "fa3", "fa4",  "fa5",
                                  "fa6", "fa7", "fs2",  "fs3",  "fs4", "fs5", "fs6",  "fs7",
                                  "fs8", "fs9", "fs10", "fs11", "ft8", "ft9", "ft10", "ft11"};

const char* const vr_name[32] = {"v0",  "v1",  "v2",  "v3",  "v4",  "v5",  "v6",  "v7",
                                 "v8",  "v9",  "v10", "v11", "v12", "v13", "v14", "v15",
                                 "v16", "v17", "v18", "v19", "v20", "v21", "v22", "v23",
                                 "v24", "v25", "v26", "v27", "v28", "v29", "v30", "v31"};

std::string num2hex(uint32_t value, int n) {
  static const char digits[] = "0123456789abcdef";
  std::string s = "0x";
  if (n <= 0) return s;
  s.resize(2 + static_cast<size_t>(n));
  // Digits beyond the eighth stand for bits a 32-bit value does not have.
  for (int i = 0; i < n; ++i) {
    const int shift = 4 * (n - 1 - i);
    s[2 + i] = shift < 32 ? digits[(value >> shift) & 0xf] : '0';
  }
  return s;
}

// The printers are constant-initialised (their constructors are constexpr and
// they hold no data), so they are usable from any other static initialiser.
// Clang can check that; other compilers simply get the same objects.
#if defined(__has_cpp_attribute)
#if __has_cpp_attribute(clang::require_constant_initialization)
#define PRINTER_CONST_INIT [[clang::require_constant_initialization]]
#endif
#endif
#ifndef PRINTER_CONST_INIT
#define PRINTER_CONST_INIT
#endif

// Defines a printer class `<name>_printer_t`, its one object and the exported
// reference `name`; the block that follows is the body of its to_string.
#define OPERAND_PRINTER(name)                                           \
  namespace {                                                           \
  class name##_printer_t final : public arg_t {                         \
   public:                                                              \
    constexpr name##_printer_t() = default;                             \
    std::string to_string(const insn_t& insn) const override;           \
  };                                                                    \
  PRINTER_CONST_INIT const name##_printer_t name##_printer{};           \
  }                                                                     \
  const arg_t& name = name##_printer;                                   \
  std::string name##_printer_t::to_string(const insn_t& insn) const

// A second object of an existing printer class, for operands that patterns
// name separately but that print by the same rule.
#define SHARED_PRINTER(name, same_as)                                   \
  namespace {                                                           \
  PRINTER_CONST_INIT const same_as##_printer_t name##_printer{};        \
  }                                                                     \
  const arg_t& name = name##_printer;

namespace {

std::string signed_dec(int64_t v) { return std::to_string(static_cast<int32_t>(v)); }

std::string unsigned_dec(uint64_t v) { return std::to_string(v); }

// offset(base)
std::string mem_operand(int64_t offset, const char* base) {
  std::string s = signed_dec(offset);
  s += '(';
  s += base;
  s += ')';
  return s;
}

std::string paren_reg(const char* reg) {
  std::string s = "(";
  s += reg;
  s += ')';
  return s;
}

// "pc + N" / "pc - N" with the magnitude in decimal.
std::string pc_relative_dec(int64_t offset) {
  std::string s = offset < 0 ? "pc - " : "pc + ";
  s += std::to_string(offset < 0 ? -offset : offset);
  return s;
}

const char* c_reg(uint64_t field3) { return xpr_name[8 + field3]; }

// s-register of a 3-bit push/pop field: s0, s1 are x8, x9; s2 to s7 are x18 to x23.
const char* c_sreg(uint64_t field3) { return xpr_name[field3 < 2 ? 8 + field3 : 16 + field3]; }

int64_t c_imm6(const insn_t& insn) {
  const int64_t v = static_cast<int64_t>((insn.x(12, 1) << 5) | insn.x(2, 5));
  return v >= 32 ? v - 64 : v;
}

uint64_t c_lwsp_offset_of(const insn_t& insn) {
  return (insn.x(12, 1) << 5) | (insn.x(4, 3) << 2) | (insn.x(2, 2) << 6);
}

uint64_t rlist_of(const insn_t& insn) { return insn.x(4, 4); }
uint64_t spimm_of(const insn_t& insn) { return insn.x(2, 2); }

uint64_t stack_adj32(const insn_t& insn) {
  const uint64_t rlist = rlist_of(insn);
  const uint64_t base = rlist < 4 ? 0 : rlist < 8 ? 16 : rlist < 12 ? 32 : rlist < 15 ? 48 : 64;
  return base + 16 * spimm_of(insn);
}

uint64_t stack_adj64(const insn_t& insn) {
  static const uint8_t base[16] = {0, 0, 0, 0, 16, 16, 32, 32, 48, 48, 64, 64, 80, 80, 96, 112};
  return base[rlist_of(insn)] + 16 * spimm_of(insn);
}

}  // namespace

// Fixed registers.

OPERAND_PRINTER(fixed_x0) {
  (void)insn;
  return "x0";
}
OPERAND_PRINTER(fixed_v0) {
  (void)insn;
  return "v0";
}
OPERAND_PRINTER(fixed_t0) {
  (void)insn;
  return xpr_name[5];
}
OPERAND_PRINTER(fixed_ra) {
  (void)insn;
  return xpr_name[1];
}
OPERAND_PRINTER(fixed_sp) {
  (void)insn;
  return xpr_name[2];
}

// Integer and floating-point registers.

OPERAND_PRINTER(int_dest_reg) { return xpr_name[insn.x(7, 5)]; }
OPERAND_PRINTER(int_src1_reg) { return xpr_name[insn.x(15, 5)]; }
OPERAND_PRINTER(int_src2_reg) { return xpr_name[insn.x(20, 5)]; }
OPERAND_PRINTER(int_src3_reg) { return xpr_name[insn.x(27, 5)]; }
OPERAND_PRINTER(fp_dest_reg) { return fpr_name[insn.x(7, 5)]; }
OPERAND_PRINTER(fp_src1_reg) { return fpr_name[insn.x(15, 5)]; }
OPERAND_PRINTER(fp_src2_reg) { return fpr_name[insn.x(20, 5)]; }
OPERAND_PRINTER(fp_src3_reg) { return fpr_name[insn.x(27, 5)]; }
SHARED_PRINTER(c_int_dest, int_dest_reg)
OPERAND_PRINTER(c_int_src2) { return xpr_name[insn.x(2, 5)]; }
OPERAND_PRINTER(c_fp_src2) { return fpr_name[insn.x(2, 5)]; }
OPERAND_PRINTER(c_int_src1_prime) { return c_reg(insn.x(7, 3)); }
OPERAND_PRINTER(c_int_src2_prime) { return c_reg(insn.x(2, 3)); }
OPERAND_PRINTER(c_fp_src2_prime) { return fpr_name[8 + insn.x(2, 3)]; }
OPERAND_PRINTER(c_sreg_9_7) { return c_sreg(insn.x(7, 3)); }
OPERAND_PRINTER(c_sreg_4_2) { return c_sreg(insn.x(2, 3)); }

// Vector operands.

OPERAND_PRINTER(vec_dest_reg) { return vr_name[insn.x(7, 5)]; }
SHARED_PRINTER(vec_mem_data_reg, vec_dest_reg)
OPERAND_PRINTER(vec_src1_reg) { return vr_name[insn.x(15, 5)]; }
OPERAND_PRINTER(vec_src2_reg) { return vr_name[insn.x(20, 5)]; }
OPERAND_PRINTER(amo_base) { return paren_reg(xpr_name[insn.x(15, 5)]); }
SHARED_PRINTER(vec_mem_base, amo_base)
OPERAND_PRINTER(vec_mask_suffix) { return insn.x(25, 1) ? std::string() : std::string("v0.t"); }
OPERAND_PRINTER(vec_simm5) { return signed_dec(insn.xs(15, 5)); }

OPERAND_PRINTER(vtype_text) {
  const uint64_t zimm = insn.x(31, 1) ? insn.x(20, 10) : insn.x(20, 11);
  if (zimm >= 256) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(zimm));
    return buf;
  }
  std::string s = "e";
  s += std::to_string(8u << ((zimm >> 3) & 7));
  s += ", m";
  const unsigned lmul = zimm & 3;
  if (zimm & 4) {
    // Fractional grouping; 0 is a reserved code and prints no number.
    static const char* const fractional[4] = {"", "f8", "f4", "f2"};
    s += fractional[lmul];
  } else {
    s += static_cast<char>('0' + (1u << lmul));
  }
  s += (zimm & 0x40) ? ", ta" : ", tu";
  s += (zimm & 0x80) ? ", ma" : ", mu";
  return s;
}

// Immediates and shift amounts.

OPERAND_PRINTER(imm12_signed) { return signed_dec(insn.xs(20, 12)); }
OPERAND_PRINTER(upper_imm20_hex) { return num2hex(static_cast<uint32_t>(insn.x(12, 20)), 5); }
OPERAND_PRINTER(uimm6_25_20) { return unsigned_dec(insn.x(20, 6)); }
SHARED_PRINTER(shift_amount, uimm6_25_20)
OPERAND_PRINTER(uimm5_24_20) { return unsigned_dec(insn.x(20, 5)); }
OPERAND_PRINTER(uimm4_23_20) { return unsigned_dec(insn.x(20, 4)); }
OPERAND_PRINTER(uimm3_22_20) { return unsigned_dec(insn.x(20, 3)); }
OPERAND_PRINTER(uimm2_21_20) { return unsigned_dec(insn.x(20, 2)); }
OPERAND_PRINTER(uimm2_31_30) { return unsigned_dec(insn.x(30, 2)); }
OPERAND_PRINTER(uimm5_19_15) { return unsigned_dec(insn.x(15, 5)); }
OPERAND_PRINTER(uimm6_26_19_15) { return unsigned_dec((insn.x(26, 1) << 5) | insn.x(15, 5)); }
OPERAND_PRINTER(c_simm6) { return signed_dec(c_imm6(insn)); }
OPERAND_PRINTER(c_shift_amount) { return unsigned_dec((insn.x(12, 1) << 5) | insn.x(2, 5)); }
OPERAND_PRINTER(c_lui_imm_hex) {
  return num2hex(static_cast<uint32_t>(c_imm6(insn)) & 0xfffff, 8);
}
OPERAND_PRINTER(c_addi16sp_imm) {
  const int64_t v = static_cast<int64_t>((insn.x(12, 1) << 9) | (insn.x(6, 1) << 4) |
                                         (insn.x(5, 1) << 6) | (insn.x(3, 2) << 7) |
                                         (insn.x(2, 1) << 5));
  return signed_dec(v >= 512 ? v - 1024 : v);
}
OPERAND_PRINTER(c_addi4spn_imm) {
  return unsigned_dec((insn.x(11, 2) << 4) | (insn.x(7, 4) << 6) | (insn.x(6, 1) << 2) |
                      (insn.x(5, 1) << 3));
}
OPERAND_PRINTER(c_lwsp_offset) { return unsigned_dec(c_lwsp_offset_of(insn)); }
OPERAND_PRINTER(table_jump_index) { return unsigned_dec(insn.x(2, 8)); }

OPERAND_PRINTER(fli_constant) {
  static const char* const constants[32] = {
      "-1.0",   "min",    "1.52587890625e-05", "3.0517578125e-05", "0.00390625", "0.0078125",
      "0.0625", "0.125",  "0.25",              "0.3125",           "0.375",      "0.4375",
      "0.5",    "0.625",  "0.75",              "0.875",            "1.0",        "1.25",
      "1.5",    "1.75",   "2.0",               "2.5",              "3.0",        "4.0",
      "8.0",    "16.0",   "128.0",             "256.0",            "32768.0",    "65536.0",
      "inf",    "nan"};
  return constants[insn.x(15, 5)];
}

OPERAND_PRINTER(fence_sets) {
  static const char letters[] = "iorw";
  const uint64_t pred = insn.x(24, 4);
  const uint64_t succ = insn.x(20, 4);
  std::string s;
  for (int bit = 3; bit >= 0; --bit)
    if (pred & (1u << bit)) s += letters[3 - bit];
  if (pred) s += ',';
  for (int bit = 3; bit >= 0; --bit)
    if (succ & (1u << bit)) s += letters[3 - bit];
  return s;
}

OPERAND_PRINTER(csr_operand) {
  const uint64_t csr = insn.x(20, 12);
  if (const char* name = csr_name_or_null(static_cast<uint32_t>(csr))) return name;
  char buf[16];  // holds the longest text, "unknown_4095"
  std::snprintf(buf, sizeof buf, "unknown_%03ld", static_cast<long>(csr));
  return buf;
}

// Memory operands.

OPERAND_PRINTER(load_address) { return mem_operand(insn.xs(20, 12), xpr_name[insn.x(15, 5)]); }
OPERAND_PRINTER(store_address) {
  return mem_operand(insn.xs(25, 7) * 32 + static_cast<int64_t>(insn.x(7, 5)),
                     xpr_name[insn.x(15, 5)]);
}
OPERAND_PRINTER(c_lw_address) {
  const uint64_t off = (insn.x(10, 3) << 3) | (insn.x(6, 1) << 2) | (insn.x(5, 1) << 6);
  return mem_operand(static_cast<int64_t>(off), c_reg(insn.x(7, 3)));
}
OPERAND_PRINTER(c_ld_address) {
  const uint64_t off = (insn.x(10, 3) << 3) | (insn.x(5, 2) << 6);
  return mem_operand(static_cast<int64_t>(off), c_reg(insn.x(7, 3)));
}
OPERAND_PRINTER(c_lwsp_address) {
  return mem_operand(static_cast<int64_t>(c_lwsp_offset_of(insn)), xpr_name[2]);
}
OPERAND_PRINTER(c_ldsp_address) {
  const uint64_t off = (insn.x(12, 1) << 5) | (insn.x(5, 2) << 3) | (insn.x(2, 3) << 6);
  return mem_operand(static_cast<int64_t>(off), xpr_name[2]);
}
OPERAND_PRINTER(c_swsp_address) {
  const uint64_t off = (insn.x(9, 4) << 2) | (insn.x(7, 2) << 6);
  return mem_operand(static_cast<int64_t>(off), xpr_name[2]);
}
OPERAND_PRINTER(c_sdsp_address) {
  const uint64_t off = (insn.x(10, 3) << 3) | (insn.x(7, 3) << 6);
  return mem_operand(static_cast<int64_t>(off), xpr_name[2]);
}
OPERAND_PRINTER(c_half_address) {
  return mem_operand(insn.x(5, 1) ? 2 : 0, c_reg(insn.x(7, 3)));
}
OPERAND_PRINTER(c_byte_address) {
  return mem_operand(static_cast<int64_t>((insn.x(5, 1) << 1) | insn.x(6, 1)),
                     c_reg(insn.x(7, 3)));
}

// Control-flow targets.

OPERAND_PRINTER(branch_target) {
  const int64_t off = (insn.xs(31, 1) * 4096) + static_cast<int64_t>((insn.x(7, 1) << 11) |
                                                                      (insn.x(25, 6) << 5) |
                                                                      (insn.x(8, 4) << 1));
  return pc_relative_dec(off);
}
OPERAND_PRINTER(jal_target) {
  const int64_t off =
      (insn.xs(31, 1) * (int64_t(1) << 20)) +
      static_cast<int64_t>((insn.x(12, 8) << 12) | (insn.x(20, 1) << 11) | (insn.x(21, 10) << 1));
  const uint64_t magnitude = static_cast<uint64_t>(off < 0 ? -off : off);
  std::string s = off < 0 ? "pc - " : "pc + ";
  // Five digits cover every magnitude but that of the most negative jump
  // (0x100000), which gets the sixth digit it needs instead of being cut to
  // a wrong "0x00000".
  s += num2hex(static_cast<uint32_t>(magnitude), magnitude > 0xfffff ? 6 : 5);
  return s;
}
OPERAND_PRINTER(c_branch_target) {
  const int64_t off = (insn.xs(12, 1) * 256) +
                      static_cast<int64_t>((insn.x(10, 2) << 3) | (insn.x(5, 2) << 6) |
                                           (insn.x(3, 2) << 1) | (insn.x(2, 1) << 5));
  return pc_relative_dec(off);
}
OPERAND_PRINTER(c_jump_target) {
  const int64_t off =
      (insn.xs(12, 1) * 2048) +
      static_cast<int64_t>((insn.x(11, 1) << 4) | (insn.x(9, 2) << 8) | (insn.x(8, 1) << 10) |
                           (insn.x(7, 1) << 6) | (insn.x(6, 1) << 7) | (insn.x(3, 3) << 1) |
                           (insn.x(2, 1) << 5));
  return pc_relative_dec(off);
}

// Push/pop register lists and stack adjustments.

OPERAND_PRINTER(push_pop_reglist) {
  const uint64_t rlist = rlist_of(insn);
  if (rlist < 4) return "unsupport rlist";
  if (rlist == 4) return "{ra}";
  if (rlist == 5) return "{ra, s0}";
  if (rlist == 15) return "{ra, s0-s11}";
  std::string s = "{ra, s0-s";
  s += std::to_string(rlist - 5);
  s += '}';
  return s;
}
OPERAND_PRINTER(stack_adj_rv32) { return unsigned_dec(stack_adj32(insn)); }
OPERAND_PRINTER(stack_adj_rv64) { return unsigned_dec(stack_adj64(insn)); }
OPERAND_PRINTER(stack_adj_rv32_neg) { return "-" + unsigned_dec(stack_adj32(insn)); }
OPERAND_PRINTER(stack_adj_rv64_neg) { return "-" + unsigned_dec(stack_adj64(insn)); }
