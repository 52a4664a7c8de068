#pragma once
// Printers of fused-pair words: each writes the whole text of the pair,
// "first-mnemonic operands; second-mnemonic operands".

#include <string>

#include "disasm.h"

// The load and branch classes are default-constructible with cleared fields;
// their field-taking constructors let the exported objects be const.

class fuse_lui_addi_arg_t : public arg_t {
 public:
  fuse_lui_addi_arg_t(bool first_is_c, bool second_is_c);
  std::string to_string(const insn_t& insn) const override;

 protected:
  bool first_is_c;
  bool second_is_c;
  std::string second_mnemonic;
};

class fuse_lui_jalr_arg_t : public fuse_lui_addi_arg_t {
 public:
  fuse_lui_jalr_arg_t(bool first_is_c, bool second_is_c);
};

class fuse_auipc_addi_arg_t : public arg_t {
 public:
  explicit fuse_auipc_addi_arg_t(bool second_is_c);
  std::string to_string(const insn_t& insn) const override;

 protected:
  bool second_is_c;
  std::string second_mnemonic;
};

class fuse_auipc_jalr_arg_t : public fuse_auipc_addi_arg_t {
 public:
  explicit fuse_auipc_jalr_arg_t(bool second_is_c);
};

class fuse_lui_lx_arg_t : public arg_t {
 public:
  fuse_lui_lx_arg_t() = default;
  fuse_lui_lx_arg_t(bool first_is_c, bool second_is_c)
      : first_is_c(first_is_c), second_is_c(second_is_c) {}
  std::string to_string(const insn_t& insn) const override;

  bool first_is_c = false;
  bool second_is_c = false;
};

class fuse_auipc_lx_arg_t : public arg_t {
 public:
  fuse_auipc_lx_arg_t() = default;
  explicit fuse_auipc_lx_arg_t(bool second_is_c) : second_is_c(second_is_c) {}
  std::string to_string(const insn_t& insn) const override;

  bool second_is_c = false;
};

class fuse_add_lx_arg_t : public arg_t {
 public:
  fuse_add_lx_arg_t() = default;
  fuse_add_lx_arg_t(const char* first_mnemonic, bool first_is_c, bool second_is_c)
      : first_mnemonic(first_mnemonic), first_is_c(first_is_c), second_is_c(second_is_c) {}
  std::string to_string(const insn_t& insn) const override;

  std::string first_mnemonic;
  bool first_is_c = false;
  bool second_is_c = false;
};

class fuse_alu_beq_arg_t : public arg_t {
 public:
  fuse_alu_beq_arg_t() = default;
  fuse_alu_beq_arg_t(const char* first_mnemonic, bool first_is_c, bool second_is_c)
      : first_mnemonic(first_mnemonic), first_is_c(first_is_c), second_is_c(second_is_c) {}
  std::string to_string(const insn_t& insn) const override;

  std::string first_mnemonic;
  bool first_is_c = false;
  bool second_is_c = false;
};

extern const fuse_auipc_addi_arg_t fuse_auipc_addi_arg, fuse_auipc_c_addi_arg;
extern const fuse_auipc_jalr_arg_t fuse_auipc_jalr_arg, fuse_auipc_c_jalr_arg;
extern const fuse_auipc_lx_arg_t fuse_auipc_lx_arg, fuse_auipc_c_lx_arg;
extern const fuse_lui_addi_arg_t fuse_lui_addi_arg, fuse_lui_c_addi_arg, fuse_c_lui_addi_arg,
    fuse_c_lui_c_addi_arg;
extern const fuse_lui_jalr_arg_t fuse_lui_jalr_arg, fuse_lui_c_jalr_arg, fuse_c_lui_jalr_arg,
    fuse_c_lui_c_jalr_arg;
extern const fuse_lui_lx_arg_t fuse_lui_lx_arg, fuse_lui_c_lx_arg, fuse_c_lui_lx_arg,
    fuse_c_lui_c_lx_arg;
extern const fuse_add_lx_arg_t fuse_add_lx_arg, fuse_add_c_lx_arg, fuse_add_uw_lx_arg,
    fuse_add_uw_c_lx_arg, fuse_sh1add_lx_arg, fuse_sh1add_c_lx_arg, fuse_sh1add_uw_lx_arg,
    fuse_sh1add_uw_c_lx_arg, fuse_sh2add_lx_arg, fuse_sh2add_c_lx_arg, fuse_sh2add_uw_lx_arg,
    fuse_sh2add_uw_c_lx_arg, fuse_sh3add_lx_arg, fuse_sh3add_c_lx_arg, fuse_sh3add_uw_lx_arg,
    fuse_sh3add_uw_c_lx_arg, fuse_c_add_lx_arg, fuse_c_add_c_lx_arg;
extern const fuse_alu_beq_arg_t fuse_andi_beq_arg, fuse_andi_c_beq_arg, fuse_c_andi_beq_arg,
    fuse_c_andi_c_beq_arg, fuse_and_beq_arg, fuse_and_c_beq_arg, fuse_c_and_beq_arg,
    fuse_c_and_c_beq_arg;
