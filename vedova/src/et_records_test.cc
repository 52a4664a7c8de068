#include "et_records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

et_insn_t insn_with(uint64_t word) {
  et_insn_t r;
  std::memset(&r, 0, sizeof(r));
  r.insn = word;
  return r;
}

// Match values of all 41 fused-pair patterns.
const uint64_t fused_matches[] = {
    0x900000000000199f, 0x90000000000019bf, 0x9000000400001d9f, 0x9000000400001dbf, 0xd0000000003819bf,
    0xd00000000038199f, 0xd0000000003809bf, 0xd00000000038099f, 0xc000000000000bbf, 0xc000000000000b9f,
    0xe000000000000b9f, 0xf000000000000bbf, 0xe000000000000bbf, 0x900000000048017b, 0x900000000048011f,
    0xd00000000046309f, 0xd0000000004630fb, 0xd00000000044009f, 0xd0000000004400fb, 0x800000000030009f,
    0x80000000003000fb, 0xa0000000003000fb, 0xb00000000030009f, 0xa00000000030009f, 0x8000000000001bbf,
    0x8000000000001b9f, 0xa000000000001b9f, 0xb000000000001bbf, 0xa000000000001bbf, 0x900000100010199f,
    0x90000010001019bf, 0x9000001000101d9f, 0x9000001000101dbf, 0x900000100020199f, 0x90000010002019bf,
    0x9000001000201d9f, 0x9000001000201dbf, 0x900000100030199f, 0x90000010003019bf, 0x9000001000301d9f,
    0x9000001000301dbf,
};

TEST(EtInsnIsFused, EveryFusedPatternIsRecognised) {
  ASSERT_EQ(sizeof(fused_matches) / sizeof(fused_matches[0]), 41u);
  for (uint64_t m : fused_matches) EXPECT_TRUE(insn_with(m).is_fused()) << std::hex << m;
}

TEST(EtInsnIsFused, OrdinaryAndMalformedWordsAreNot) {
  // lui+addi example word of the fused-pair layout.
  const uint64_t lui_addi = 0x8000000000000000ull | (0x678ull << 39) | (0x12345537ull << 7) | 0x3f;
  EXPECT_TRUE(insn_with(lui_addi).is_fused());
  const uint64_t plain[] = {
      0x00000013,          // nop (32-bit)
      0x0001,              // c.nop (16-bit)
      0xffffffff,          // 32-bit all ones
      0x7fffffffffffffff,  // bit 63 clear
      0x8000000000000000,  // kind 8 but no length code
      0x8000000000001bbe,  // lui+addi with a broken length code
      0x8080000000001bbf,  // a reserved zero bit set
      0x9000000000001dbf,  // add-family with funct bits of neither add nor add.uw
  };
  for (uint64_t w : plain) EXPECT_FALSE(insn_with(w).is_fused()) << std::hex << w;
}

TEST(EtObject, ZeroedSlotIsEmptyAndTrafficFitsTheUnion) {
  et_object_t o;
  std::memset(&o, 0, sizeof(o));
  EXPECT_EQ(o.type, ET_KIND_NONE);
  EXPECT_FALSE(o.insn.committed);
  EXPECT_EQ(o.insn.pc, 0u);
  EXPECT_LE(sizeof(l2t_object_t), sizeof(et_insn_t));
  EXPECT_LE(sizeof(dct_object_t), sizeof(et_insn_t));
  EXPECT_EQ(sizeof(o.insn.disasm), 100u);
}

}  // namespace
