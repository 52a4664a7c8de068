#pragma once
// The RISC-V disassembler: instruction values, operand printers, instruction
// patterns and the pattern table with its lookup.

#include <cstdint>
#include <string>
#include <vector>

class isa_parser_i;

// One instruction value: a 32-bit instruction in bits 31:0, a 16-bit
// compressed instruction in bits 15:0 (bits above 15 are ignored for it), or
// a 64-bit fused-pair word.
class insn_t {
 public:
  constexpr insn_t() = default;
  constexpr explicit insn_t(uint64_t bits) : b(bits) {}
  constexpr uint64_t bits() const { return b; }
  // `len` bits starting at bit `lo`, zero-extended (len 1..63).
  constexpr uint64_t x(int lo, int len) const { return (b >> lo) & ((uint64_t(1) << len) - 1); }
  // `len` bits starting at bit `lo`, sign-extended (len 1..63).
  constexpr int64_t xs(int lo, int len) const {
    const uint64_t v = x(lo, len);
    const uint64_t sign = uint64_t(1) << (len - 1);
    return static_cast<int64_t>((v ^ sign) - sign);
  }

 private:
  uint64_t b = 0;
};

// Operand printer: turns one operand field of an instruction value into text.
// Every printer is a static object shared by all patterns; patterns never own
// them.
class arg_t {
 public:
  constexpr arg_t() = default;
  arg_t(const arg_t&) = delete;
  arg_t& operator=(const arg_t&) = delete;
  virtual std::string to_string(const insn_t& insn) const = 0;
  virtual ~arg_t() = default;
};

// Operand-usage flags of a pattern.
enum operand_flag_t : uint64_t {
  OPF_RS1 = 0x1,
  OPF_RS2 = 0x2,
  OPF_RS3 = 0x4,
  OPF_RD = 0x8,
  OPF_FRS1 = 0x10,
  OPF_FRS2 = 0x20,
  OPF_FRS3 = 0x40,
  OPF_FRD = 0x80,
  OPF_MEM = 0x100,
  OPF_MEM_WRITE = 0x200,
  OPF_RD_SRC = 0x400,
  OPF_RD_SRC_PAIR = 0x800,
  OPF_RS1_PAIR = 0x1000,
  OPF_RS2_PAIR = 0x2000,
  OPF_RS3_PAIR = 0x4000,
  OPF_RD_PAIR = 0x8000,
};

// One instruction pattern: a value v is decoded by it when (v & mask) == match.
struct disasm_insn_t {
  disasm_insn_t(const char* name, const char* name2, uint64_t match, uint64_t mask, uint64_t id,
                uint64_t flags, const std::vector<const arg_t*>& args);

  uint64_t match;
  uint64_t mask;
  uint32_t insn_id;
  uint64_t operand_flags;
  // Operands in printing order; a null entry marks the next one as optional.
  std::vector<const arg_t*> args;
  std::string name;
  std::string name2;
  bool print_name;
};

class disassembler_t {
 public:
  static constexpr size_t CHAIN_COUNT = 256;

  // Every extension enabled; xlen (32 or 64) picks the width-specific forms.
  explicit disassembler_t(int xlen);
  // The description is consulted only while constructing.
  explicit disassembler_t(const isa_parser_i* isa);
  ~disassembler_t();
  disassembler_t(const disassembler_t&) = delete;
  disassembler_t& operator=(const disassembler_t&) = delete;

  const disasm_insn_t* get_disasm(uint64_t bits) const { return lookup(insn_t(bits)); }
  std::string disassemble(uint64_t bits) const;
  std::string get_name(uint64_t bits);

  const disasm_insn_t* lookup(const insn_t& insn) const;
  const disasm_insn_t* probe_once(const insn_t& insn, uint64_t chain) const;

  // Appends the pattern to its chain and takes ownership of it.
  void add_insn(disasm_insn_t* insn);

  // Registers a pattern that knows only the fixed bits of an encoding: no
  // operands, printed as the mnemonic followed by " (args unknown)".
  void register_fallback_insn(const char* name, uint64_t match, uint64_t mask, int id);

 private:
  friend struct disassembler_test_access;

  void init(const isa_parser_i* isa);

  std::vector<const disasm_insn_t*> chains[CHAIN_COUNT];
};

// Registers the patterns of every instruction the disassembler knows, gated by
// the ISA description, in priority order (called by init before the fallbacks).
void register_specific_insns(disassembler_t& d, const isa_parser_i* isa);

// Registers one fallback pattern (fixed bits only, no operands) for every id
// from 2 to 1363.
void register_all_fallback_insns(disassembler_t& d);
