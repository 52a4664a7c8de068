#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "fused_word.h"
#include "insn_ids.h"

namespace {

using namespace fused_word;

struct row_t {
  const char* name;
  uint64_t match;
  uint64_t mask;
};
const row_t table_rows[] = {
#include "insn_table.inc"
};

// Reference answer: one test per fused-pair encoding.
bool matches_one_of_41(uint64_t w) {
  for (uint32_t id = ID_FUSE_ADD_C_LX; id <= ID_FUSE_SH3ADD_UW_LX; ++id) {
    const row_t& r = table_rows[id - FIRST_FALLBACK_ID];
    if ((w & r.mask) == r.match) return true;
  }
  return false;
}

TEST(FusedWord, LuiAddiExample) {
  const uint64_t w = 0x8000000000000000ULL | (0x678ULL << 39) | (0x12345537ULL << 7) | 0x3F;
  EXPECT_EQ(pair_kind(w), uint32_t(KIND_LUI_ADDI));
  EXPECT_FALSE(branch_swapped(w));
  EXPECT_EQ(second_funct3(w), 0u);
  EXPECT_EQ(second_imm(w), 0x678u);
  EXPECT_EQ(second_imm_signed(w), 0x678);
  EXPECT_EQ(first_insn(w), 0x12345537u);
  EXPECT_EQ(length_code(w), LENGTH_CODE_32_32);
  EXPECT_EQ(first_insn_length(w), 4u);
  EXPECT_EQ(pair_length(w), 8u);
  EXPECT_EQ(make(KIND_LUI_ADDI, false, 0, 0x678, 0x12345537, LENGTH_CODE_32_32), w);
  EXPECT_TRUE(is_pair_word(w));
}

TEST(FusedWord, FieldsOfAssembledWords) {
  struct {
    uint32_t kind;
    bool swapped;
    uint32_t funct3, imm, first, length;
    unsigned first_len, total_len;
  } cases[] = {
      {KIND_AND_BRANCH, true, 1, 0x7ff, 0x00f57513, LENGTH_CODE_32_32, 4, 8},  // andi + bne, swapped
      {KIND_LUI_ADDI, false, 0, 0xfff, 0x00012537, LENGTH_CODE_MIXED, 4, 6},   // lui + c.addi -1
      {KIND_LUI_ADDI, false, 0, 0x010, 0x6505, LENGTH_CODE_MIXED, 2, 6},       // c.lui + addi
      {KIND_AND_BRANCH, false, 6, 0x800, 0x8d69, LENGTH_CODE_16_16, 2, 4},     // c.and + c.beqz
      {KIND_AUIPC_JALR, false, 0, 0x123, 0x00000097, LENGTH_CODE_32_32, 4, 8},
  };
  for (const auto& c : cases) {
    const uint64_t w = make(c.kind, c.swapped, c.funct3, c.imm, c.first, c.length);
    EXPECT_TRUE(has_pair_bit(w));
    EXPECT_EQ((w >> 55) & 0x1f, 0u);
    EXPECT_EQ(pair_kind(w), c.kind);
    EXPECT_EQ(branch_swapped(w), c.swapped);
    EXPECT_EQ(second_funct3(w), c.funct3);
    EXPECT_EQ(second_imm(w), c.imm);
    EXPECT_EQ(first_insn(w), c.first);
    EXPECT_EQ(length_code(w), c.length);
    EXPECT_EQ(first_insn_length(w), c.first_len);
    EXPECT_EQ(pair_length(w), c.total_len);
  }
  EXPECT_EQ(second_imm_signed(make(KIND_LUI_ADDI, false, 0, 0xfff, 0, LENGTH_CODE_MIXED)), -1);
  EXPECT_EQ(second_imm_signed(make(KIND_AND_BRANCH, false, 0, 0x800, 0, LENGTH_CODE_32_32)), -2048);
  EXPECT_EQ(pair_length(0x8000000000000003ULL), 0u);
}

TEST(FusedWord, PlainInstructionsAreNeverPairs) {
  for (uint64_t v : {0x00000013ULL, 0x12345537ULL, 0xffffffffULL, 0x8082ULL, 0x0ULL, 0x7fffffffffffffffULL}) {
    EXPECT_FALSE(has_pair_bit(v));
    EXPECT_FALSE(is_pair_word(v));
  }
}

// The folded tests answer exactly as the 41 encodings do: on every encoding,
// on each with single bits flipped, and on random words with bit 63 set.
TEST(FusedWord, FoldedTestsAgreeWithAllEncodings) {
  for (uint32_t id = ID_FUSE_ADD_C_LX; id <= ID_FUSE_SH3ADD_UW_LX; ++id) {
    const row_t& r = table_rows[id - FIRST_FALLBACK_ID];
    EXPECT_TRUE(is_pair_word(r.match)) << r.name;
    EXPECT_TRUE(is_pair_word(r.match | ~r.mask)) << r.name;
    for (int bit = 0; bit < 64; ++bit) {
      const uint64_t w = r.match ^ (uint64_t(1) << bit);
      EXPECT_EQ(is_pair_word(w), matches_one_of_41(w)) << r.name << " bit " << bit;
    }
  }
  std::mt19937_64 rng(12345);
  for (int i = 0; i < 20000; ++i) {
    const row_t& r = table_rows[ID_FUSE_ADD_C_LX - FIRST_FALLBACK_ID + i % 41];
    // Random free bits on a real encoding, and a random word.
    const uint64_t w1 = r.match | (rng() & ~r.mask);
    const uint64_t w2 = rng() | (uint64_t(1) << 63);
    EXPECT_EQ(is_pair_word(w1), matches_one_of_41(w1));
    EXPECT_EQ(is_pair_word(w2), matches_one_of_41(w2));
  }
}

}  // namespace
