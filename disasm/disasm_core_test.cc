#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "disasm.h"
#include "disassembler_test_access.h"
#include "insn_ids.h"
#include "test_isa.h"

namespace {

using access = disassembler_test_access;

struct row_t {
  const char* name;
  uint64_t match;
  uint64_t mask;
};
const row_t table_rows[] = {
#include "insn_table.inc"
};
const row_t& row_of(uint32_t id) { return table_rows[id - FIRST_FALLBACK_ID]; }

bool is_fallback(const disasm_insn_t* p) {
  static const std::string tail = " (args unknown)";
  return p->name.size() > tail.size() && p->name.compare(p->name.size() - tail.size(), tail.size(), tail) == 0;
}

// The fallback patterns with this id (specific patterns may share the id).
std::vector<const disasm_insn_t*> fallbacks_with_id(const disassembler_t& d, uint32_t id) {
  std::vector<const disasm_insn_t*> found;
  for (const disasm_insn_t* p : access::patterns_with_id(d, id))
    if (is_fallback(p)) found.push_back(p);
  return found;
}

// The first fallback, in lookup order, of one chain that decodes the value.
const disasm_insn_t* first_fallback(const disassembler_t& d, size_t chain, uint64_t value) {
  const auto& c = access::chain(d, chain);
  for (auto it = c.rbegin(); it != c.rend(); ++it)
    if (is_fallback(*it) && (value & (*it)->mask) == (*it)->match) return *it;
  return nullptr;
}

size_t chain_of(uint64_t match, uint64_t mask) {
  if ((mask & 0x7f) == 0x7f) return match & 0x7f;
  if ((mask & 0xe003) == 0xe003) return (match & 0xe003) % 255;
  return 255;
}

std::string dotted(std::string s) {
  for (char& c : s)
    if (c == '_') c = '.';
  return s;
}

// Prints a fixed text.
class text_arg_t : public arg_t {
 public:
  explicit text_arg_t(const char* t) : text(t) {}
  std::string to_string(const insn_t&) const override { return text; }

 private:
  const char* text;
};

// Empty when the value is unmasked (bit 25 set), like the vector mask operand.
class mask_arg_t : public arg_t {
 public:
  std::string to_string(const insn_t& insn) const override { return insn.x(25, 1) ? "" : "v0.t"; }
};

const text_arg_t arg_a("a1"), arg_b("b2"), arg_c("c3"), arg_empty("");
const mask_arg_t arg_mask;

// Custom-0 major opcode: hand-made patterns live here, one value each.
uint64_t custom_value(uint64_t k) { return 0x0b | (k << 7); }

disasm_insn_t* make(const char* name, uint64_t match, uint64_t mask, std::vector<const arg_t*> args,
                    uint64_t id = 5) {
  return new disasm_insn_t(name, name, match, mask, id, 0, args);
}

TEST(DisasmCore, ChainPlacementFollowsMaskAndMatch) {
  struct {
    uint64_t match, mask;
    size_t chain;
  } cases[] = {
      {0x37, 0x7f, 0x37},                 // opcode bits covered
      {0x6081, 0xffff, 0x01},             // covers both: the opcode rule wins
      {0x6001, 0xe003, 0x6001 % 255},     // quadrant and funct3 only
      {0x8002, 0xf003, 0x8002 % 255},
      {0x0, 0x7c, 255},                   // neither
      {0x8000000000001bbf, 0xfff8000000003fff, 0x3f},
  };
  disassembler_t d(64);
  for (const auto& c : cases) {
    disasm_insn_t* p = make("x", c.match, c.mask, {});
    d.add_insn(p);
    const auto& chain = access::chain(d, c.chain);
    ASSERT_FALSE(chain.empty());
    EXPECT_EQ(chain.back(), p) << std::hex << c.match << "/" << c.mask;
  }
}

TEST(DisasmCore, ProbeOrderOpcodeThenCompressedThenCatchAll) {
  disassembler_t d(64);
  // Quadrant-0 values with bits 6:2 clear that no registered pattern decodes.
  const uint64_t v1 = 0x9c00, v2 = 0x9d00, v3 = 0x9800;
  for (uint64_t v : {v1, v2, v3}) ASSERT_EQ(d.get_disasm(v), nullptr) << std::hex << v;
  disasm_insn_t* any = make("catchall", 0x0, 0x7c, {});
  disasm_insn_t* quadrant = make("quadrant", 0x9c00, 0xfc03, {});
  disasm_insn_t* opcode = make("opcode", 0x9c00, 0xffff, {});
  d.add_insn(any);
  d.add_insn(quadrant);
  d.add_insn(opcode);
  EXPECT_EQ(d.get_disasm(v1), opcode);    // in all three chains
  EXPECT_EQ(d.get_disasm(v2), quadrant);  // in the compressed chain and chain 255
  EXPECT_EQ(d.get_disasm(v3), any);
  EXPECT_EQ(d.probe_once(insn_t(v1), 255), any);
  EXPECT_EQ(d.probe_once(insn_t(v1), 0x8000 % 255), quadrant);
  EXPECT_EQ(d.probe_once(insn_t(v1), 0), opcode);
  EXPECT_EQ(d.probe_once(insn_t(v1), 256), nullptr);
  EXPECT_EQ(d.probe_once(insn_t(v1), ~uint64_t(0)), nullptr);
  EXPECT_EQ(d.probe_once(insn_t(v1), 0x55), nullptr);  // empty chain
}

TEST(DisasmCore, TextLayout) {
  struct {
    const char* name;
    std::vector<const arg_t*> args;
    bool print_name;
    uint64_t extra_bits;
    const char* text;
  } cases[] = {
      {"nop", {}, true, 0, "nop"},
      {"add", {&arg_a, &arg_b, &arg_c}, true, 0, "add     a1, b2, c3"},
      {"abcdefg", {&arg_a}, true, 0, "abcdefg a1"},
      {"abcdefgh", {&arg_a}, true, 0, "abcdefgh a1"},
      {"abcdefghijk", {&arg_a, &arg_b}, true, 0, "abcdefghijk a1, b2"},
      {"fuse", {&arg_a}, false, 0, "a1"},
      {"fuse", {}, false, 0, ""},
      {"vadd_vv", {&arg_a, &arg_b, nullptr, &arg_mask}, true, uint64_t(1) << 25, "vadd.vv a1, b2"},
      {"vadd_vv", {&arg_a, &arg_b, nullptr, &arg_mask}, true, 0, "vadd.vv a1, b2, v0.t"},
      {"x", {nullptr, &arg_a}, true, 0, "x       , a1"},
      {"x", {nullptr, &arg_empty, &arg_b}, true, 0, "x       , b2"},
      {"x", {&arg_empty, &arg_b}, true, 0, "x       , b2"},  // only null makes an operand optional
      {"x", {nullptr, &arg_a, &arg_empty}, true, 0, "x       , a1, "},
  };
  disassembler_t d(64);
  uint64_t k = 1;
  for (const auto& c : cases) {
    const uint64_t v = custom_value(k++) | c.extra_bits;
    disasm_insn_t* p = make(c.name, v, 0xffffffff, c.args);
    p->print_name = c.print_name;
    d.add_insn(p);
    EXPECT_EQ(d.disassemble(v), c.text) << c.name;
  }
}

TEST(DisasmCore, ConstructorDotsNamesAndKeepsLow32BitsOfId) {
  const disasm_insn_t p("fuse_lui_c_addi", "c_addi", 1, 3, (uint64_t(7) << 32) | 406, 9, {&arg_a});
  EXPECT_EQ(p.name, "fuse.lui.c.addi");
  EXPECT_EQ(p.name2, "c.addi");
  EXPECT_EQ(p.insn_id, 406u);
  EXPECT_EQ(p.operand_flags, 9u);
  EXPECT_TRUE(p.print_name);
  const disasm_insn_t q("ecall", "ecall", 0, 0, 0, 0, {});
  EXPECT_EQ(q.name, "ecall");
}

TEST(DisasmCore, GetNameIsFirstWord) {
  disassembler_t d(64);
  disasm_insn_t* named = make("add", custom_value(1), 0xffffffff, {&arg_a, &arg_b});
  disasm_insn_t* unnamed = make("fuse", custom_value(2), 0xffffffff, {&arg_a});
  unnamed->print_name = false;
  d.add_insn(named);
  d.add_insn(unnamed);
  EXPECT_EQ(d.get_name(custom_value(1)), "add");
  EXPECT_EQ(d.get_name(custom_value(2)), "a1");
  EXPECT_EQ(d.get_name(0x0000), "c.unimp");
  EXPECT_EQ(d.get_name(0x0000202f), "amoadd.w");
}

TEST(DisasmCore, UnknownValue) {
  for (int xlen : {32, 64}) {
    disassembler_t d(xlen);
    const uint64_t v = ~uint64_t(0);
    EXPECT_EQ(d.get_disasm(v), nullptr);
    EXPECT_EQ(d.disassemble(v), "unknown");
    EXPECT_EQ(d.get_name(v), "unknown");
  }
}

TEST(DisasmCore, CompressedValueDecodesByItsLowHalf) {
  disassembler_t d(64);
  for (uint64_t low : {0x0000u, 0x0505u, 0x6281u, 0x8082u, 0x4501u, 0xe002u}) {
    const disasm_insn_t* plain = d.get_disasm(low);
    ASSERT_NE(plain, nullptr) << std::hex << low;
    for (uint64_t junk : {0xffffu, 0x1234u, 0x0003u}) {
      const uint64_t v = low | (junk << 16);
      EXPECT_EQ(d.get_disasm(v), plain) << std::hex << v;
      EXPECT_EQ(d.disassemble(v), d.disassemble(low));
    }
  }
  EXPECT_EQ(d.get_disasm(0xdead0000)->insn_id, ID_C_UNIMP);
}

TEST(DisasmCore, CompressedValueNeverDecodedBy32BitPattern) {
  disassembler_t d(64);
  for (const auto& c : {0, 1, 2}) {
    for (uint64_t v = static_cast<uint64_t>(c); v < 0x10000; v += 4 * 97) {
      const disasm_insn_t* p = d.get_disasm(v | 0xffff0000);
      if (p) {
        EXPECT_EQ(p->mask >> 16, 0u) << std::hex << v << " " << p->name;
      }
    }
  }
}

// ---- instruction ids and fallbacks ----

TEST(InsnIds, NamesOfFixedIds) {
  struct {
    uint32_t id;
    uint32_t constant;
    const char* name;
  } cases[] = {
      {2, ID_ADD, "add"},
      {7, ID_ADD_UW, "add_uw"},
      {8, ID_ADDI, "addi"},
      {25, ID_AMOADD_W, "amoadd_w"},
      {74, ID_BEQ, "beq"},
      {79, ID_BGE, "bge"},
      {80, ID_BGEU, "bgeu"},
      {83, ID_BLT, "blt"},
      {84, ID_BLTU, "bltu"},
      {85, ID_BNE, "bne"},
      {88, ID_C_ADD, "c_add"},
      {89, ID_C_ADDI, "c_addi"},
      {96, ID_C_BEQZ, "c_beqz"},
      {97, ID_C_BNEZ, "c_bnez"},
      {107, ID_C_J, "c_j"},
      {108, ID_C_JAL, "c_jal"},
      {109, ID_C_JALR, "c_jalr"},
      {110, ID_C_JR, "c_jr"},
      {121, ID_C_MOP_11, "c_mop_11"},
      {128, ID_C_MOP_N, "c_mop_N"},
      {152, ID_C_ZEXT_W, "c_zext_w"},
      {382, ID_FUSE_ADD_C_LX, "fuse_add_c_lx"},
      {386, ID_FUSE_AND_BEQ, "fuse_and_beq"},
      {387, ID_FUSE_AND_C_BEQ, "fuse_and_c_beq"},
      {388, ID_FUSE_ANDI_BEQ, "fuse_andi_beq"},
      {389, ID_FUSE_ANDI_C_BEQ, "fuse_andi_c_beq"},
      {397, ID_FUSE_C_AND_BEQ, "fuse_c_and_beq"},
      {398, ID_FUSE_C_AND_C_BEQ, "fuse_c_and_c_beq"},
      {399, ID_FUSE_C_ANDI_BEQ, "fuse_c_andi_beq"},
      {400, ID_FUSE_C_ANDI_C_BEQ, "fuse_c_andi_c_beq"},
      {407, ID_FUSE_LUI_C_ADDI, "fuse_lui_c_addi"},
      {422, ID_FUSE_SH3ADD_UW_LX, "fuse_sh3add_uw_lx"},
      {449, ID_JAL, "jal"},
      {450, ID_JALR, "jalr"},
      {509, ID_KMMAWB2_U, "kmmawb2_u"},
      {589, ID_MOP_R_0, "mop_r_0"},
      {631, ID_MRET, "mret"},
      {749, ID_SLLI_RV32, "slli_rv32"},
      {823, ID_SRET, "sret"},
      {919, ID_URET, "uret"},
      {929, ID_VAADD_VV, "vaadd_vv"},
      {1348, ID_VZEXT_VF8, "vzext_vf8"},
      {1363, ID_ZUNPKD832, "zunpkd832"},
  };
  EXPECT_EQ(ID_C_UNIMP, 0u);
  EXPECT_EQ(ID_UNIMP, 1u);
  EXPECT_EQ(INSN_ID_COUNT, 1364u);
  EXPECT_EQ(sizeof(table_rows) / sizeof(table_rows[0]), 1362u);
  disassembler_t d(64);
  for (const auto& c : cases) {
    EXPECT_EQ(c.constant, c.id) << c.name;
    EXPECT_STREQ(row_of(c.id).name, c.name);
    const auto found = fallbacks_with_id(d, c.id);
    ASSERT_EQ(found.size(), 1u) << c.name;
    EXPECT_EQ(found[0]->name, dotted(c.name) + " (args unknown)");
  }
}

TEST(InsnIds, NamesAreInByteOrder) {
  for (uint32_t id = FIRST_FALLBACK_ID + 1; id < INSN_ID_COUNT; ++id)
    EXPECT_LT(std::string(row_of(id - 1).name), std::string(row_of(id).name)) << id;
}

TEST(InsnIds, TableHoldsTellingRows) {
  struct {
    uint32_t id;
    const char* name;
    uint64_t match, mask;
  } cases[] = {
      {2, "add", 0x33, 0xfe00707f},
      {8, "addi", 0x13, 0x707f},
      {90, "c_addi16sp", 0x6101, 0xef83},
      {120, "c_mop_1", 0x6081, 0xffff},
      {128, "c_mop_N", 0x6081, 0xf8ff},
      {131, "c_nop", 0x1, 0xef83},
      {208, "ecall", 0x73, 0xffffffff},
      {449, "jal", 0x6f, 0x7f},
      {574, "lpad", 0x17, 0xfff},
      {621, "mop_r_N", 0x81c04073, 0xb3c0707f},
      {630, "mop_rr_N", 0x82004073, 0xb200707f},
      {657, "prefetch_i", 0x6013, 0x1f07fff},
      {745, "slli", 0x1013, 0xfc00707f},
      {749, "slli_rv32", 0x1013, 0xfe00707f},
      {1096, "vle8_v", 0x7, 0x1df0707f},
      {1255, "vsetvli", 0x7057, 0x8000707f},
      // a few of the listed proposed, vendor and fused rows
      {3, "add16", 0x40000077, 0xfe00707f},
      {567, "lb_aq", 0x3400002f, 0xfdf0707f},
      {366, "fsl", 0x4001033, 0x600707f},
      {561, "kuzn64dsx", 0x0600402b, 0xfe00707f},
      {919, "uret", 0x200073, 0xffffffff},
      {386, "fuse_and_beq", 0xd0000000003819bf, 0xff80007f00383fff},
      {406, "fuse_lui_addi", 0x8000000000001bbf, 0xfff8000000003fff},
      {395, "fuse_c_add_c_lx", 0x900000000048017b, 0xffc7fffffff801ff},
  };
  for (const auto& c : cases) {
    const row_t& r = row_of(c.id);
    EXPECT_STREQ(r.name, c.name);
    EXPECT_EQ(r.match, c.match) << c.name;
    EXPECT_EQ(r.mask, c.mask) << c.name;
  }
  for (const row_t& r : table_rows) EXPECT_EQ(r.match & ~r.mask, 0u) << r.name;
}

struct shared_t {
  uint64_t match, mask;
  uint32_t lower, higher;
};
const shared_t shared_encodings[] = {
    {0x2001, 0xe003, 92, 108},           {0x6000, 0xe003, 101, 112},         {0x6002, 0xe003, 102, 113},
    {0xe000, 0xe003, 105, 135},          {0xe002, 0xe003, 106, 136},         {0x6081, 0xffff, 120, 144},
    {0x6281, 0xffff, 125, 143},          {0xb6002077, 0xfe00707f, 681, 1261}, {0xb2002077, 0xfe00707f, 682, 1070},
    {0x82002077, 0xfe00707f, 835, 1272},
};

TEST(Fallbacks, SharedEncodingsAreExactlyTheListedOnesAndFindTheLowerId) {
  size_t pairs = 0;
  for (uint32_t a = FIRST_FALLBACK_ID; a < INSN_ID_COUNT; ++a) {
    for (uint32_t b = a + 1; b < INSN_ID_COUNT; ++b) {
      if (row_of(a).match != row_of(b).match || row_of(a).mask != row_of(b).mask) continue;
      ++pairs;
      bool listed = false;
      for (const shared_t& s : shared_encodings) listed |= s.lower == a && s.higher == b;
      EXPECT_TRUE(listed) << a << " " << b;
    }
  }
  EXPECT_EQ(pairs, 10u);
  for (int xlen : {32, 64}) {
    disassembler_t d(xlen);
    for (const shared_t& s : shared_encodings) {
      EXPECT_EQ(row_of(s.lower).match, s.match);
      EXPECT_EQ(row_of(s.higher).mask, s.mask);
      const disasm_insn_t* p = first_fallback(d, chain_of(s.match, s.mask), s.match);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->insn_id, s.lower) << std::hex << s.match;
    }
  }
}

TEST(Fallbacks, ArgsUnknownText) {
  // Descriptions that keep the specific patterns of these encodings out.
  test_isa_t no_atomics(64);
  no_atomics.without_letter('A').without(EXT_ZAAMO);
  test_isa_t no_mops(64);
  no_mops.without(EXT_ZICFISS).without(EXT_ZCMOP);
  const test_isa_t all(64);
  struct {
    const isa_parser_i* isa;
    uint64_t value;
    uint32_t id;
    const char* text;
    const char* name;
  } cases[] = {
      {&no_atomics, 0x00b5202f, 25, "amoadd.w (args unknown)", "amoadd.w"},
      {&no_mops, 0x6281, 125, "c.mop.5 (args unknown)", "c.mop.5"},
      {&all, 0x28c5c533, ID_XPERM8, "xperm8 (args unknown)", "xperm8"},
  };
  for (const auto& c : cases) {
    disassembler_t d(c.isa);
    const disasm_insn_t* p = d.get_disasm(c.value);
    ASSERT_NE(p, nullptr) << c.text;
    EXPECT_EQ(p->insn_id, c.id);
    EXPECT_EQ(p->operand_flags, 0u);
    EXPECT_TRUE(p->args.empty());
    EXPECT_TRUE(p->print_name);
    EXPECT_EQ(p->name2, p->name);
    EXPECT_EQ(d.disassemble(c.value), c.text);
    EXPECT_EQ(d.get_name(c.value), c.name);
  }
  // A fused fallback keeps print_name set; its specific pattern is found first.
  disassembler_t d(64);
  const auto fused = fallbacks_with_id(d, ID_FUSE_LUI_ADDI);
  ASSERT_EQ(fused.size(), 1u);
  EXPECT_TRUE(fused[0]->print_name);
  EXPECT_EQ(fused[0]->name, "fuse.lui.addi (args unknown)");
  EXPECT_FALSE(d.get_disasm(0x8000000000001bbf | (0x12345537ULL << 7))->print_name);
}

// Every id can be reached in both widths: one fallback per id with its own
// encoding. Its fixed bits decode to a pattern that covers them; within the
// fallback's own chain that is the fallback or one of a lower id.
TEST(Fallbacks, EveryIdIsRegisteredAndFoundForBothWidths) {
  for (int xlen : {64, 32}) {
    disassembler_t d(xlen);
    size_t fallbacks = 0;
    for (size_t chain = 0; chain < disassembler_t::CHAIN_COUNT; ++chain)
      for (const disasm_insn_t* p : access::chain(d, chain)) fallbacks += is_fallback(p);
    EXPECT_EQ(fallbacks, 1362u);
    for (uint32_t id = FIRST_FALLBACK_ID; id < INSN_ID_COUNT; ++id) {
      const row_t& r = row_of(id);
      const auto found = fallbacks_with_id(d, id);
      ASSERT_EQ(found.size(), 1u) << id;
      EXPECT_EQ(found[0]->match, r.match);
      EXPECT_EQ(found[0]->mask, r.mask);
      EXPECT_EQ(found[0]->name, dotted(r.name) + " (args unknown)");
      const disasm_insn_t* p = d.get_disasm(r.match);
      ASSERT_NE(p, nullptr) << r.name;
      EXPECT_EQ(r.match & p->mask, p->match) << r.name;
      const disasm_insn_t* own = first_fallback(d, chain_of(r.match, r.mask), r.match);
      ASSERT_NE(own, nullptr) << r.name;
      EXPECT_LE(own->insn_id, id) << r.name;
      if (own->insn_id == id) {
        EXPECT_EQ(own, found[0]);
      }
    }
    EXPECT_EQ(d.get_disasm(0xc0001073)->insn_id, ID_UNIMP);
    EXPECT_EQ(d.disassemble(0xc0001073), "unimp");
    EXPECT_EQ(d.get_disasm(0x0000)->insn_id, ID_C_UNIMP);
  }
}

}  // namespace
