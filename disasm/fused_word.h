#pragma once
// The fused-pair word: two adjacent instructions executed as one macro-op,
// carried as one 64-bit instruction value.
//
//   63:60 pair_kind       54 branch_swapped     53:51 second_funct3
//   50:39 second_imm      38:7 first_insn       6:0 length_code
//
// Bits 59:55 are zero. Ordinary 16-bit and 32-bit values never have bit 63
// set, so they are never taken for a pair.

#include <cstdint>

namespace fused_word {

// Kinds of pair (bits 63:60).
enum pair_kind_t : uint32_t {
  KIND_LUI_ADDI = 0x8,
  KIND_ADD_LOAD = 0x9,
  KIND_LUI_LOAD = 0xA,
  KIND_LUI_JALR = 0xB,
  KIND_AUIPC_ADDI = 0xC,
  KIND_AND_BRANCH = 0xD,
  KIND_AUIPC_LOAD = 0xE,
  KIND_AUIPC_JALR = 0xF,
};

// Length codes of the pair's total size (bits 6:0).
constexpr uint32_t LENGTH_CODE_32_32 = 0x3F;  // two 32-bit instructions, 8 bytes
constexpr uint32_t LENGTH_CODE_MIXED = 0x1F;  // one compressed, 6 bytes
constexpr uint32_t LENGTH_CODE_16_16 = 0x7B;  // two compressed, 4 bytes

constexpr int FIRST_INSN_SHIFT = 7;
constexpr int SECOND_IMM_SHIFT = 39;
constexpr int SECOND_FUNCT3_SHIFT = 51;
constexpr int BRANCH_SWAPPED_SHIFT = 54;
constexpr int PAIR_KIND_SHIFT = 60;

constexpr uint32_t pair_kind(uint64_t w) { return static_cast<uint32_t>(w >> PAIR_KIND_SHIFT); }
constexpr bool branch_swapped(uint64_t w) { return (w >> BRANCH_SWAPPED_SHIFT) & 1; }
constexpr uint32_t second_funct3(uint64_t w) { return static_cast<uint32_t>((w >> SECOND_FUNCT3_SHIFT) & 0x7); }
// The 12 bits as stored.
constexpr uint32_t second_imm(uint64_t w) { return static_cast<uint32_t>((w >> SECOND_IMM_SHIFT) & 0xFFF); }
// The same read as a two's-complement number.
constexpr int32_t second_imm_signed(uint64_t w) {
  return static_cast<int32_t>(second_imm(w) ^ 0x800) - 0x800;
}
// The first instruction as it was (a compressed one in the low 16 bits).
constexpr uint32_t first_insn(uint64_t w) { return static_cast<uint32_t>((w >> FIRST_INSN_SHIFT) & 0xFFFFFFFF); }
constexpr uint32_t length_code(uint64_t w) { return static_cast<uint32_t>(w & 0x7F); }

// Bytes of the first instruction: 4 when its quadrant bits (word bits 8:7)
// are both set, else 2.
constexpr unsigned first_insn_length(uint64_t w) { return ((w >> 7) & 0x3) == 0x3 ? 4 : 2; }

// Bytes of the whole pair, from the length code; 0 for any other code.
constexpr unsigned pair_length(uint64_t w) {
  return length_code(w) == LENGTH_CODE_32_32   ? 8
         : length_code(w) == LENGTH_CODE_MIXED ? 6
         : length_code(w) == LENGTH_CODE_16_16 ? 4
                                               : 0;
}

// Bit 63 set: the value can only be a pair word, never a plain instruction.
constexpr bool has_pair_bit(uint64_t w) { return (w >> 63) != 0; }

// Assembles a word from its fields (the first instruction unshifted).
constexpr uint64_t make(uint32_t kind, bool swapped, uint32_t funct3, uint32_t imm12, uint32_t first,
                        uint32_t length) {
  return (uint64_t(kind & 0xF) << PAIR_KIND_SHIFT) | (uint64_t(swapped) << BRANCH_SWAPPED_SHIFT) |
         (uint64_t(funct3 & 0x7) << SECOND_FUNCT3_SHIFT) | (uint64_t(imm12 & 0xFFF) << SECOND_IMM_SHIFT) |
         (uint64_t(first) << FIRST_INSN_SHIFT) | (length & 0x7F);
}

// The 41 fused-pair encodings (ids 382 to 422) folded into 26 tests: pairs
// that differ only in bit 5 (second instruction compressed or not) or in
// bit 10 (the .uw shift-add forms) share one test with that bit left out.
struct pair_test_t {
  uint64_t match;
  uint64_t mask;
};
constexpr pair_test_t pair_tests[] = {
    {0x8000000000001b9fULL, 0xfff8000000003fdfULL}, {0x800000000030009fULL, 0xfff8007ffff001ffULL},
    {0x80000000003000fbULL, 0xfff8007ffff001ffULL}, {0x900000000000199fULL, 0xffc7ffff00383fdfULL},
    {0x900000000048011fULL, 0xffc7fffffff801ffULL}, {0x900000000048017bULL, 0xffc7fffffff801ffULL},
    {0x9000000400001d9fULL, 0xffc7ffff00383fdfULL}, {0x900000100010199fULL, 0xffc7ffff00383bdfULL},
    {0x900000100020199fULL, 0xffc7ffff00383bdfULL}, {0x900000100030199fULL, 0xffc7ffff00383bdfULL},
    {0xa000000000001b9fULL, 0xffc0000000003fdfULL}, {0xa00000000030009fULL, 0xffc0007ffff001ffULL},
    {0xa0000000003000fbULL, 0xffc0007ffff001ffULL}, {0xb000000000001bbfULL, 0xfff8000000003fffULL},
    {0xb00000000030009fULL, 0xfff8007ffff001ffULL}, {0xc000000000000b9fULL, 0xfff8000000003fdfULL},
    {0xd00000000038099fULL, 0xffc0000000383fffULL}, {0xd0000000003809bfULL, 0xff80000000383fffULL},
    {0xd00000000038199fULL, 0xffc0007f00383fffULL}, {0xd0000000003819bfULL, 0xff80007f00383fffULL},
    {0xd00000000044009fULL, 0xff80007ffff601ffULL}, {0xd0000000004400fbULL, 0xffc0007ffff601ffULL},
    {0xd00000000046309fULL, 0xff80007ffffe31ffULL}, {0xd0000000004630fbULL, 0xffc0007ffffe31ffULL},
    {0xe000000000000b9fULL, 0xffc0000000003fdfULL}, {0xf000000000000bbfULL, 0xfff8000000003fffULL},
};

// True when the value has the fixed bits of one of the fused-pair encodings.
inline bool is_pair_word(uint64_t w) {
  if (!has_pair_bit(w)) return false;
  for (const pair_test_t& t : pair_tests) {
    if ((w & t.mask) == t.match) return true;
  }
  return false;
}

}  // namespace fused_word
