#include "et_records.h"

#include <type_traits>

static_assert(std::is_trivial<et_object_t>::value, "records must stay plain data");
static_assert(sizeof(l2t_object_t) <= sizeof(et_insn_t) && sizeof(dct_object_t) <= sizeof(et_insn_t),
              "traffic records must fit in the instruction record's room");

namespace {

// Match and mask of the fused-pair patterns. Pairs whose patterns differ only
// in bit 5 (second instruction compressed or not: length code 0x3f / 0x1f) or
// in bit 10 (the .uw forms of the shift-add pairs) share one entry with that
// bit left out of the mask; the answer equals testing every pattern.
struct fused_pattern_t {
  uint64_t match;
  uint64_t mask;
};

constexpr uint64_t bit5 = uint64_t(1) << 5;
constexpr uint64_t bit10 = uint64_t(1) << 10;

constexpr fused_pattern_t fused_patterns[] = {
    // lui + addi / c.addi, lui + jalr
    {0x8000000000001b9f, 0xfff8000000003fff & ~bit5},
    {0xb000000000001bbf, 0xfff8000000003fff},
    // add-family + load / c.load (add, add.uw and the shift-adds with .uw)
    {0x900000000000199f, 0xffc7ffff00383fff & ~bit5},
    {0x9000000400001d9f, 0xffc7ffff00383fff & ~bit5},
    {0x900000100010199f, 0xffc7ffff00383fff & ~bit5 & ~bit10},
    {0x900000100020199f, 0xffc7ffff00383fff & ~bit5 & ~bit10},
    {0x900000100030199f, 0xffc7ffff00383fff & ~bit5 & ~bit10},
    // lui + load / c.load
    {0xa000000000001b9f, 0xffc0000000003fff & ~bit5},
    // auipc + addi / c.addi, auipc + jalr, auipc + load / c.load
    {0xc000000000000b9f, 0xfff8000000003fff & ~bit5},
    {0xf000000000000bbf, 0xfff8000000003fff},
    {0xe000000000000b9f, 0xffc0000000003fff & ~bit5},
    // c.lui first
    {0x800000000030009f, 0xfff8007ffff001ff},
    {0x80000000003000fb, 0xfff8007ffff001ff},
    {0xb00000000030009f, 0xfff8007ffff001ff},
    {0xa00000000030009f, 0xffc0007ffff001ff},
    {0xa0000000003000fb, 0xffc0007ffff001ff},
    // c.add first
    {0x900000000048011f, 0xffc7fffffff801ff},
    {0x900000000048017b, 0xffc7fffffff801ff},
    // and / andi + branch
    {0xd0000000003809bf, 0xff80000000383fff},
    {0xd0000000003819bf, 0xff80007f00383fff},
    {0xd00000000038099f, 0xffc0000000383fff},
    {0xd00000000038199f, 0xffc0007f00383fff},
    {0xd00000000044009f, 0xff80007ffff601ff},
    {0xd00000000046309f, 0xff80007ffffe31ff},
    {0xd0000000004400fb, 0xffc0007ffff601ff},
    {0xd0000000004630fb, 0xffc0007ffffe31ff},
};

static_assert(sizeof(fused_patterns) / sizeof(fused_patterns[0]) == 26, "26 tests cover the 41 patterns");

}  // namespace

bool et_insn_t::is_fused() const {
  // No 16-bit or 32-bit instruction value has bit 63 set.
  if ((insn >> 63) == 0) return false;
  for (const fused_pattern_t& p : fused_patterns)
    if ((insn & p.mask) == p.match) return true;
  return false;
}
