#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "disasm.h"
#include "insn_ids.h"
#include "isa_parser.h"

namespace {

const std::vector<unsigned> LETTERS = {'A', 'B', 'C', 'D', 'E', 'F', 'H', 'I', 'M', 'N', 'P', 'Q', 'S', 'U', 'V', 'X'};

struct accepted_t {
  const char* isa;
  const char* priv;
  int xlen;
  std::vector<unsigned> present;  // letters and named extensions
  std::vector<unsigned> absent;
  uint64_t vlen, elen;
  const char* isa_string;
};

TEST(IsaParser, AcceptedStrings) {
  const accepted_t cases[] = {
      {"RV64IMAC", "m", 64, {'I', 'M', 'A', 'C', EXT_ZCA, EXT_ZAAMO, EXT_ZALRSC}, {'F', 'D', EXT_ZCD}, 0, 0,
       "rv64imac"},
      {"rv64gc", "m", 64,
       {'I', 'M', 'A', 'F', 'D', 'C', EXT_ZCA, EXT_ZCD, EXT_ZAAMO, EXT_ZALRSC, EXT_ZICNTR, EXT_ZIHPM},
       {EXT_ZCF, 'V', 'Q', 'E', 'S', 'U', EXT_INTERNAL_ZFH_MOVE},
       0,
       0,
       "rv64imafdc"},
      {"rv32gc", "m", 32, {'I', 'M', 'A', 'F', 'D', 'C', EXT_ZCA, EXT_ZCD, EXT_ZCF}, {}, 0, 0, "rv32imafdc"},
      {"rv64imm", "m", 64, {'I', 'M'}, {'A'}, 0, 0, "rv64imm"},
      {"rv64im2p0_zba", "m", 64, {'I', 'M', EXT_ZBA}, {EXT_ZBB, 'B'}, 0, 0, "rv64im2p0_zba"},
      {"rv64i_zba_zbb_zbs", "m", 64, {EXT_ZBA, EXT_ZBB, EXT_ZBS, 'B'}, {}, 0, 0, "rv64i_zba_zbb_zbs"},
      {"rv64ib", "m", 64, {'B', EXT_ZBA, EXT_ZBB, EXT_ZBS}, {}, 0, 0, "rv64ib"},
      {"rv64i_zaamo_zalrsc", "m", 64, {'A'}, {}, 0, 0, "rv64i_zaamo_zalrsc"},
      {"rv64iv", "m", 64, {'V', 'D', 'F'}, {}, 128, 64, "rv64iv"},
      {"rv64i_zve32x_zvl64b", "m", 64, {}, {'V'}, 64, 32, "rv64i_zve32x_zvl64b"},
      {"rv64iv_zvl1024b_zvl256b", "m", 64, {'V'}, {}, 1024, 64, "rv64iv_zvl1024b_zvl256b"},
      {"rv64if_zfh", "m", 64, {EXT_ZFH, EXT_ZFHMIN, EXT_INTERNAL_ZFH_MOVE}, {}, 0, 0, "rv64if_zfh"},
      {"rv64i_xkgostk", "m", 64, {'X', EXT_XKGOSTK}, {EXT_XKGOSTM}, 0, 0, "rv64i_xkgostk"},
      {"rv64i", "msu", 64, {'S', 'U'}, {}, 0, 0, "rv64i"},
      {"rv64ih", "MSU", 64, {'H', 'S', 'U'}, {}, 0, 0, "rv64ih"},
      {"rv32e", "m", 32, {'E'}, {'I'}, 0, 0, "rv32e"},
      {"rv64i_zk", "m", 64,
       {EXT_ZBKB, EXT_ZBKC, EXT_ZBKX, EXT_ZKND, EXT_ZKNE, EXT_ZKNH, EXT_ZKR},
       {EXT_ZKSED},
       0,
       0,
       "rv64i_zk"},
      {"rv32if_zce", "m", 32, {EXT_ZCA, EXT_ZCB, EXT_ZCMP, EXT_ZCMT, EXT_ZCF}, {}, 0, 0, "rv32if_zce"},
      {"rv64i_zce", "m", 64, {EXT_ZCA, EXT_ZCB, EXT_ZCMP, EXT_ZCMT}, {EXT_ZCF}, 0, 0, "rv64i_zce"},
      {"rv64i_zhinx", "m", 64, {EXT_ZHINX, EXT_ZHINXMIN, EXT_ZFINX}, {'F'}, 0, 0, "rv64i_zhinx"},
      {"rv64i_smaia", "m", 64, {EXT_SMAIA, EXT_SSAIA, EXT_SMCSRIND, EXT_SSCSRIND}, {}, 0, 0, "rv64i_smaia"},
      {"rv64i_zicsr_zifencei_zihintpause", "m", 64, {'I'}, {}, 0, 0, "rv64i_zicsr_zifencei_zihintpause"},
      {"rv64imp", "m", 64, {'P', EXT_ZMMUL, EXT_ZBPBO, EXT_ZPN, EXT_ZPSFOPERAND}, {}, 0, 0, "rv64imp"},
      {"rv64i_zimop_zicfiss", "m", 64, {EXT_ZICFISS, EXT_ZIMOP}, {}, 0, 0, "rv64i_zimop_zicfiss"},
      {"rv64ifv_zvfbfmin", "m", 64, {EXT_ZVFBFMIN, EXT_INTERNAL_ZFH_MOVE}, {}, 128, 64, "rv64ifv_zvfbfmin"},
  };
  for (const accepted_t& c : cases) {
    isa_parser_t p;
    ASSERT_TRUE(p.init(c.isa, c.priv)) << c.isa;
    EXPECT_EQ(p.get_max_xlen(), c.xlen) << c.isa;
    EXPECT_EQ(p.get_isa_string(), c.isa_string);
    EXPECT_EQ(p.get_max_vlen(), c.vlen) << c.isa;
    EXPECT_EQ(p.get_max_elen(), c.elen) << c.isa;
    EXPECT_EQ(p.has_any_vector(), c.vlen != 0) << c.isa;
    EXPECT_TRUE(p.extension_enabled(EXT_ZICNTR));
    EXPECT_TRUE(p.extension_enabled(EXT_ZIHPM));
    for (unsigned e : c.present) EXPECT_TRUE(p.extension_enabled(static_cast<isa_extension_t>(e))) << c.isa << " " << e;
    for (unsigned e : c.absent) EXPECT_FALSE(p.extension_enabled(static_cast<isa_extension_t>(e))) << c.isa << " " << e;
    // misa: the width bit plus one bit per letter present; letters and
    // their numeric values answer alike.
    uint64_t misa = c.xlen == 32 ? uint64_t(1) << 30 : uint64_t(1) << 63;
    for (unsigned l : LETTERS) {
      EXPECT_EQ(p.extension_enabled(static_cast<unsigned char>(l)),
                p.extension_enabled(static_cast<isa_extension_t>(l)));
      if (p.extension_enabled(static_cast<unsigned char>(l))) misa |= uint64_t(1) << (l - 'A');
    }
    EXPECT_EQ(p.get_misa(), misa) << c.isa;
  }
}

TEST(IsaParser, VectorFlags) {
  isa_parser_t v;
  v.init("rv64iv", "m");
  EXPECT_TRUE(v.get_vector_float());
  EXPECT_TRUE(v.get_vector_double());
  isa_parser_t f;
  f.init("rv64if_zve32f_zvl128b", "m");
  EXPECT_TRUE(f.get_vector_float());
  EXPECT_FALSE(f.get_vector_double());
  isa_parser_t none;
  none.init("rv64i", "m");
  EXPECT_FALSE(none.get_vector_float());
  EXPECT_FALSE(none.extension_enabled(static_cast<isa_extension_t>(500)));
  EXPECT_FALSE(none.extension_enabled(static_cast<unsigned char>(255)));
}

struct rejected_t {
  const char* isa;
  const char* priv;
  const char* message;
};

const rejected_t rejected[] = {
    {"rv128i", "m", "ISA strings must begin with RV32 or RV64"},
    {"", "m", "ISA strings must begin with RV32 or RV64"},
    {"rv64", "m", "'rv64' must be followed by I, E, or G"},
    {"RV32X", "m", "'rv32' must be followed by I, E, or G"},
    {"rv64iam", "m", "Extension 'm' appears too late in ISA string"},
    {"rv64iu", "m", "Unsupported extension 'u'"},
    {"rv64i2p0m2p0_zba", "m", "can't parse: 2p0m2p0_zba"},
    {"rv64im+", "m", "can't parse: +"},
    {"rv64i__zba", "m", "unsupported extension: "},
    {"rv64i_", "m", "unsupported extension: "},
    {"rv64i_zfoo", "m", "unsupported extension: zfoo"},
    {"rv64i_zve32x", "m", "Invalid Zvl/Zve configuration"},
    {"rv64i_zvl128b", "m", "Invalid Zvl/Zve configuration"},
    {"rv64i_zvl48b", "m", "Invalid Zvl string: zvl48b"},
    {"rv64i_zvl16b", "m", "Invalid Zvl string: zvl16b"},
    {"rv64i_zvlxb", "m", "Invalid Zvl string: zvlxb"},
    {"rv64i_zvl99999999999999999999999b", "m", "Invalid Zvl string: zvl99999999999999999999999b"},
    {"rv64i_zve32q", "m", "Invalid Zve string: zve32q"},
    {"rv64i_zve16x", "m", "Invalid Zve string: zve16x"},
    {"rv64i_zve", "m", "Invalid Zve string: zve"},
    {"rv64i_zvl8192b_zve64x", "m", "VLEN > 4096b is not currently supported"},
    {"rv64i_zfh", "m", "'zfh' extension requires 'F'"},
    {"rv64i_zfhmin", "m", "'zfhmin' extension requires 'F'"},
    {"rv64i_x", "m", "single 'X' is not a proper name"},
    {"rv64i_xfoo", "m", "unsupported custom extension: xfoo"},
    {"rv64i_zca_zcd", "m", "'Zcd' extension requires 'D' extension"},
    {"rv64i_zcb", "m", "'Zcf/Zcd/Zcb/Zcmp/Zcmt' extensions require 'Zca' extension"},
    {"rv64imc_zcf", "m", "'Zcf' requires RV32"},
    {"RV64IMC_ZCF", "m", "'Zcf' requires RV32"},
    {"rv64i_zilsd", "m", "'Zilsd' requires RV32"},
    {"rv32i_zcf", "m", "'Zcf' extension requires 'F' extension"},
    {"rv64ifd_zca_zcd_zcmp", "m", "Zcmp' and 'Zcmt' extensions are incompatible with 'Zcd' extension"},
    {"rv32if_zca_zcf_zilsd_zcmlsd", "m", "'Zcmlsd' extension conflicts with 'Zcf' extensions"},
    {"rv32i_zca_zcmlsd", "m", "'Zcmlsd' extension requires 'Zca' and 'Zilsd' extensions"},
    {"rv64i_zfbfmin", "m", "'Zfbfmin' extension requires 'F' extension"},
    {"rv64if_zvfbfmin", "m", "'Zvfbfmin/Zvfbfwma' extension requires 'V' extension"},
    {"rv64if_zfinx", "m", "Zfinx/Zdinx/Zhinx{min} extensions conflict with 'F/D/Q/Zfh{min}' extensions"},
    {"rv64i_zacas", "m", "'Zacas' extension requires either the 'A' or the 'Zaamo' extension"},
    {"rv64i_zabha", "m", "'Zabha' extension requires either the 'A' or the 'Zaamo' extension"},
    {"rv64i_zawrs", "m", "'Zawrs' extension requires either the 'A' or the 'Zalrsc' extension"},
    {"rv64i_zpn", "m", "Illegal p-ext combination"},
    {"rv64i_zbpbo_zpn", "m", "Illegal p-ext combination"},
    {"rv64imp_zvknha", "m", "'Zvkna' and 'Zvknhb' extensions are incompatible with 'Zpn' extension"},
    {"rv64imp_zvkg", "m", "'Zvkg', 'Zvkned', and 'Zvksh' extensions are incompatible with 'Zpn' extension in rv64"},
    {"rv64i_zicfiss", "m", "'Zicfiss' extension requires 'Zimop' extension"},
    {"rv64ic_zimop_zicfiss", "m", "'Zicfiss' extension requires 'Zcmop' extension when `Zca` is supported"},
    {"rv64i_zvfhmin", "m", "'Zvfhmin' extension requires Zve32f"},
    {"rv64i_zve32d_zvl64b", "m", "'ZveXXd' extension requires D"},
    {"rv64i_zve64f_zvl64b", "m", "'ZveXXf' extension requires F"},
    {"rv64ih", "mu", "'H' extension requires S mode"},
};

// Matches a death test's standard error that contains the given text.
class contains_t : public ::testing::MatcherInterface<const std::string&> {
 public:
  explicit contains_t(std::string t) : text(std::move(t)) {}
  bool MatchAndExplain(const std::string& s, ::testing::MatchResultListener*) const override {
    return s.find(text) != std::string::npos;
  }
  void DescribeTo(std::ostream* os) const override { *os << "contains \"" << text << "\""; }

 private:
  std::string text;
};

class IsaParserRejects : public ::testing::TestWithParam<rejected_t> {};

TEST_P(IsaParserRejects, WritesOneLineAndAborts) {
  const rejected_t& c = GetParam();
  const std::string line = std::string("error: bad --isa option '") + c.isa + "'. " + c.message + "\n";
  EXPECT_DEATH(
      {
        isa_parser_t p;
        p.init(c.isa, c.priv);
      },
      ::testing::MakeMatcher(new contains_t(line)));
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, IsaParserRejects, ::testing::ValuesIn(rejected));

TEST(IsaParser, EnableAllExts) {
  const enable_all_exts all(32);
  EXPECT_EQ(all.get_max_xlen(), 32);
  EXPECT_TRUE(all.has_any_vector());
  for (unsigned e = 0; e < NUM_ISA_EXTENSIONS; ++e) {
    EXPECT_TRUE(all.extension_enabled(static_cast<isa_extension_t>(e)));
    EXPECT_TRUE(all.extension_enabled(static_cast<unsigned char>(e)));
  }
}

TEST(IsaParser, ParsedDescriptionBuildsADisassembler) {
  disassembler_t* d = nullptr;
  {
    isa_parser_t p;
    p.init("rv32imc", "msu");
    d = new disassembler_t(&p);
  }
  EXPECT_EQ(d->get_disasm(0xc0001073)->insn_id, ID_UNIMP);
  EXPECT_EQ(d->disassemble(0x00b5202f), "amoadd.w (args unknown)");
  delete d;
}

}  // namespace
