#pragma once
// The ISA description that the instruction table asks which patterns to
// register: letter and named extensions, register width, vector unit.

#include <cstdint>

// Extensions share one number space with the single letters: a letter has
// the value of its upper-case ASCII code, named extensions follow from 91.
enum isa_extension_t : unsigned {
  EXT_ZFH = 91,
  EXT_ZFHMIN = 92,
  EXT_ZBA = 93,
  EXT_ZBB = 94,
  EXT_ZBC = 95,
  EXT_ZBS = 96,
  EXT_ZBKB = 97,
  EXT_ZBKC = 98,
  EXT_ZBKX = 99,
  EXT_ZCA = 100,
  EXT_ZCB = 101,
  EXT_ZCD = 102,
  EXT_ZCF = 103,
  EXT_ZCMLSD = 104,
  EXT_ZCMP = 105,
  EXT_ZCMT = 106,
  EXT_ZKND = 107,
  EXT_ZKNE = 108,
  EXT_ZKNH = 109,
  EXT_ZKSED = 110,
  EXT_ZKSH = 111,
  EXT_ZKR = 112,
  EXT_ZMMUL = 113,
  EXT_ZBPBO = 114,
  EXT_ZPN = 115,
  EXT_ZPSFOPERAND = 116,
  EXT_ZVFH = 117,
  EXT_ZVFHMIN = 118,
  EXT_SMEPMP = 119,
  EXT_SMSTATEEN = 120,
  EXT_SMRNMI = 121,
  EXT_SSCOFPMF = 122,
  EXT_SVADU = 123,
  EXT_SVNAPOT = 124,
  EXT_SVPBMT = 125,
  EXT_SVINVAL = 126,
  EXT_ZDINX = 127,
  EXT_ZFA = 128,
  EXT_ZFBFMIN = 129,
  EXT_ZFINX = 130,
  EXT_ZHINX = 131,
  EXT_ZHINXMIN = 132,
  EXT_ZICBOM = 133,
  EXT_ZICBOZ = 134,
  EXT_ZICNTR = 135,
  EXT_ZICOND = 136,
  EXT_ZIHPM = 137,
  EXT_ZILSD = 138,
  EXT_ZVBB = 139,
  EXT_ZVBC = 140,
  EXT_ZVFBFMIN = 141,
  EXT_ZVFBFWMA = 142,
  EXT_XKGOSTK = 143,
  EXT_XKGOSTM = 144,
  EXT_XKGOSTS = 145,
  EXT_ZVKG = 146,
  EXT_ZVKNED = 147,
  EXT_ZVKNHA = 148,
  EXT_ZVKNHB = 149,
  EXT_ZVKSED = 150,
  EXT_ZVKSH = 151,
  EXT_SSTC = 160,
  EXT_ZAAMO = 161,
  EXT_ZALRSC = 162,
  EXT_ZACAS = 163,
  EXT_ZABHA = 164,
  EXT_ZAWRS = 165,
  EXT_INTERNAL_ZFH_MOVE = 166,
  EXT_SMCSRIND = 167,
  EXT_SSCSRIND = 168,
  EXT_SMCNTRPMF = 169,
  EXT_ZIMOP = 170,
  EXT_ZCMOP = 171,
  EXT_ZALASR = 172,
  EXT_SSQOSID = 173,
  EXT_ZICFILP = 174,
  EXT_ZICFISS = 175,
  EXT_SSDBLTRP = 176,
  EXT_SMMPM = 177,
  EXT_SMNPM = 178,
  EXT_SSNPM = 179,
  EXT_SMAIA = 180,
  EXT_SSAIA = 181,
  NUM_ISA_EXTENSIONS = 192,
};

class isa_parser_i {
 public:
  virtual bool extension_enabled(unsigned char ext) const = 0;
  virtual bool extension_enabled(isa_extension_t ext) const = 0;
  virtual int get_max_xlen() const = 0;
  virtual bool has_any_vector() const = 0;
  virtual ~isa_parser_i() = default;
};

// Every extension present, with a fixed register width.
class enable_all_exts : public isa_parser_i {
 public:
  explicit enable_all_exts(int xlen) : max_xlen(xlen) {}
  bool extension_enabled(unsigned char) const override { return true; }
  bool extension_enabled(isa_extension_t) const override { return true; }
  int get_max_xlen() const override { return max_xlen; }
  bool has_any_vector() const override { return true; }

 private:
  int max_xlen;
};
