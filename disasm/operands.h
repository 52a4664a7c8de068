#pragma once
// The built-in operand printers. Each is a static object with program
// lifetime; patterns list them (by address) in printing order.

#include "disasm.h"

// Register name tables, indexed by register number.
extern const char* const xpr_name[32];
extern const char* const fpr_name[32];
extern const char* const vr_name[32];

// "0x" followed by exactly n lower-case hex digits of the low 4n bits of value.
std::string num2hex(uint32_t value, int n);

extern const arg_t& fixed_x0;
extern const arg_t& fixed_v0;
extern const arg_t& fixed_t0;
extern const arg_t& fixed_ra;
extern const arg_t& fixed_sp;
extern const arg_t& int_dest_reg;
extern const arg_t& int_src1_reg;
extern const arg_t& int_src2_reg;
extern const arg_t& int_src3_reg;
extern const arg_t& fp_dest_reg;
extern const arg_t& fp_src1_reg;
extern const arg_t& fp_src2_reg;
extern const arg_t& fp_src3_reg;
extern const arg_t& c_int_dest;
extern const arg_t& c_int_src2;
extern const arg_t& c_fp_src2;
extern const arg_t& c_int_src1_prime;
extern const arg_t& c_int_src2_prime;
extern const arg_t& c_fp_src2_prime;
extern const arg_t& c_sreg_9_7;
extern const arg_t& c_sreg_4_2;
extern const arg_t& vec_dest_reg;
extern const arg_t& vec_mem_data_reg;
extern const arg_t& vec_src1_reg;
extern const arg_t& vec_src2_reg;
extern const arg_t& vec_mem_base;
extern const arg_t& vec_mask_suffix;
extern const arg_t& vec_simm5;
extern const arg_t& vtype_text;
extern const arg_t& imm12_signed;
extern const arg_t& upper_imm20_hex;
extern const arg_t& shift_amount;
extern const arg_t& uimm6_25_20;
extern const arg_t& uimm5_24_20;
extern const arg_t& uimm4_23_20;
extern const arg_t& uimm3_22_20;
extern const arg_t& uimm2_21_20;
extern const arg_t& uimm2_31_30;
extern const arg_t& uimm5_19_15;
extern const arg_t& uimm6_26_19_15;
extern const arg_t& c_simm6;
extern const arg_t& c_shift_amount;
extern const arg_t& c_lui_imm_hex;
extern const arg_t& c_addi16sp_imm;
extern const arg_t& c_addi4spn_imm;
extern const arg_t& c_lwsp_offset;
extern const arg_t& table_jump_index;
extern const arg_t& fli_constant;
extern const arg_t& fence_sets;
extern const arg_t& csr_operand;
extern const arg_t& load_address;
extern const arg_t& store_address;
extern const arg_t& amo_base;
extern const arg_t& c_lw_address;
extern const arg_t& c_ld_address;
extern const arg_t& c_lwsp_address;
extern const arg_t& c_ldsp_address;
extern const arg_t& c_swsp_address;
extern const arg_t& c_sdsp_address;
extern const arg_t& c_half_address;
extern const arg_t& c_byte_address;
extern const arg_t& branch_target;
extern const arg_t& jal_target;
extern const arg_t& c_branch_target;
extern const arg_t& c_jump_target;
extern const arg_t& push_pop_reglist;
extern const arg_t& stack_adj_rv32;
extern const arg_t& stack_adj_rv64;
extern const arg_t& stack_adj_rv32_neg;
extern const arg_t& stack_adj_rv64_neg;
