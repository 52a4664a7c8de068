#include "csr_names.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "operands.h"

namespace {

std::string operand_text(uint32_t csr) {
  return csr_operand.to_string(insn_t(uint64_t(csr) << 20 | 0x2573));  // csrrs a0, csr, zero
}

TEST(CsrName, NamedNumbers) {
  const struct {
    int number;
    const char* name;
  } cases[] = {
      {0x000, "ustatus"},   {0x001, "fflags"},      {0x003, "fcsr"},        {0x015, "seed"},
      {0x017, "jvt"},       {0x10f, "sstateen3"},   {0x181, "srmcfg"},      {0x280, "vsatp"},
      {0x300, "mstatus"},   {0x323, "mhpmevent3"},  {0x33f, "mhpmevent31"}, {0x3a0, "pmpcfg0"},
      {0x3af, "pmpcfg15"},  {0x3b0, "pmpaddr0"},    {0x3ef, "pmpaddr63"},   {0x5a8, "scontext"},
      {0x61f, "hstateen3h"}, {0x73f, "mhpmevent31h"}, {0x7b3, "dscratch1"}, {0x7c0, "nmitvec"},
      {0xb03, "mhpmcounter3"}, {0xb9f, "mhpmcounter31h"}, {0xbc0, "xhpmevent"},
      {0xbc2, "xhpmcounterh"}, {0xbe8, "xscfg"}, {0xc22, "vlenb"}, {0xc9f, "hpmcounter31h"},
      {0xda0, "scountovf"}, {0xf15, "mconfigptr"}, {0xfb0, "mtopi"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(csr_name(c.number), c.name) << std::hex << c.number;
    EXPECT_EQ(operand_text(static_cast<uint32_t>(c.number)), c.name) << std::hex << c.number;
  }
}

TEST(CsrName, UnnamedNumbersGiveUnknownCsr) {
  for (int n : {0x006, 0x7c1, 0xbc3, 0xfb1, 0xfff, 0x1000, -1, INT_MIN, INT_MAX})
    EXPECT_STREQ(csr_name(n), "unknown-csr") << n;
}

TEST(CsrName, ReturnsTheSameStaticText) {
  EXPECT_EQ(csr_name(0x300), csr_name(0x300));
  EXPECT_EQ(csr_name(-5), csr_name(0x1234));
}

TEST(CsrOperand, UnnamedNumbersGiveDecimalFallback) {
  EXPECT_EQ(operand_text(0x006), "unknown_006");
  EXPECT_EQ(operand_text(0x07f), "unknown_127");
  EXPECT_EQ(operand_text(0x7c1), "unknown_1985");
  EXPECT_EQ(operand_text(0xfb1), "unknown_4017");
  EXPECT_EQ(operand_text(0xfff), "unknown_4095");
}

TEST(CsrOperand, AgreesWithCsrNameOnEveryNumber) {
  std::set<std::string> names;
  for (uint32_t n = 0; n < 4096; ++n) {
    const std::string name = csr_name(static_cast<int>(n));
    const std::string text = operand_text(n);
    if (name == "unknown-csr") {
      char expected[16];
      std::snprintf(expected, sizeof expected, "unknown_%03u", n);
      EXPECT_EQ(text, expected);
    } else {
      EXPECT_EQ(text, name) << n;
      EXPECT_TRUE(names.insert(name).second) << "duplicate name " << name;
      EXPECT_LE(n, 0xfb0u);
    }
  }
  EXPECT_EQ(names.size(), 477u);
}

}  // namespace
