#include "isa_parser.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

struct named_ext_t {
  const char* name;
  isa_extension_t ext;
};

// Names that set exactly their own extension.
constexpr named_ext_t named_exts[] = {
    {"zfh", EXT_ZFH},
    {"zfhmin", EXT_ZFHMIN},
    {"zba", EXT_ZBA},
    {"zbb", EXT_ZBB},
    {"zbc", EXT_ZBC},
    {"zbs", EXT_ZBS},
    {"zbkb", EXT_ZBKB},
    {"zbkc", EXT_ZBKC},
    {"zbkx", EXT_ZBKX},
    {"zca", EXT_ZCA},
    {"zcb", EXT_ZCB},
    {"zcd", EXT_ZCD},
    {"zcf", EXT_ZCF},
    {"zcmlsd", EXT_ZCMLSD},
    {"zcmp", EXT_ZCMP},
    {"zcmt", EXT_ZCMT},
    {"zknd", EXT_ZKND},
    {"zkne", EXT_ZKNE},
    {"zknh", EXT_ZKNH},
    {"zksed", EXT_ZKSED},
    {"zksh", EXT_ZKSH},
    {"zkr", EXT_ZKR},
    {"zmmul", EXT_ZMMUL},
    {"zbpbo", EXT_ZBPBO},
    {"zpn", EXT_ZPN},
    {"zpsfoperand", EXT_ZPSFOPERAND},
    {"zvfh", EXT_ZVFH},
    {"zvfhmin", EXT_ZVFHMIN},
    {"smepmp", EXT_SMEPMP},
    {"smstateen", EXT_SMSTATEEN},
    {"smrnmi", EXT_SMRNMI},
    {"sscofpmf", EXT_SSCOFPMF},
    {"svadu", EXT_SVADU},
    {"svnapot", EXT_SVNAPOT},
    {"svpbmt", EXT_SVPBMT},
    {"svinval", EXT_SVINVAL},
    {"zdinx", EXT_ZDINX},
    {"zfa", EXT_ZFA},
    {"zfbfmin", EXT_ZFBFMIN},
    {"zfinx", EXT_ZFINX},
    {"zhinx", EXT_ZHINX},
    {"zhinxmin", EXT_ZHINXMIN},
    {"zicbom", EXT_ZICBOM},
    {"zicboz", EXT_ZICBOZ},
    {"zicntr", EXT_ZICNTR},
    {"zicond", EXT_ZICOND},
    {"zihpm", EXT_ZIHPM},
    {"zilsd", EXT_ZILSD},
    {"zvbb", EXT_ZVBB},
    {"zvbc", EXT_ZVBC},
    {"zvfbfmin", EXT_ZVFBFMIN},
    {"zvfbfwma", EXT_ZVFBFWMA},
    {"xkgostk", EXT_XKGOSTK},
    {"xkgostm", EXT_XKGOSTM},
    {"xkgosts", EXT_XKGOSTS},
    {"zvkg", EXT_ZVKG},
    {"zvkned", EXT_ZVKNED},
    {"zvknha", EXT_ZVKNHA},
    {"zvknhb", EXT_ZVKNHB},
    {"zvksed", EXT_ZVKSED},
    {"zvksh", EXT_ZVKSH},
    {"sstc", EXT_SSTC},
    {"zaamo", EXT_ZAAMO},
    {"zalrsc", EXT_ZALRSC},
    {"zacas", EXT_ZACAS},
    {"zabha", EXT_ZABHA},
    {"zawrs", EXT_ZAWRS},
    {"smcsrind", EXT_SMCSRIND},
    {"sscsrind", EXT_SSCSRIND},
    {"smcntrpmf", EXT_SMCNTRPMF},
    {"zimop", EXT_ZIMOP},
    {"zcmop", EXT_ZCMOP},
    {"zalasr", EXT_ZALASR},
    {"ssqosid", EXT_SSQOSID},
    {"zicfilp", EXT_ZICFILP},
    {"zicfiss", EXT_ZICFISS},
    {"ssdbltrp", EXT_SSDBLTRP},
    {"smmpm", EXT_SMMPM},
    {"smnpm", EXT_SMNPM},
    {"ssnpm", EXT_SSNPM},
    {"smaia", EXT_SMAIA},
    {"ssaia", EXT_SSAIA},
};

// Named extensions that are accepted but have no instructions of their own.
constexpr const char* silent_exts[] = {"zicsr", "zifencei", "zihintpause", "zihintntl", "zkt", "zicbop", "zvkt"};

struct ext_group_t {
  const char* name;
  std::initializer_list<isa_extension_t> members;
};

const ext_group_t ext_groups[] = {
    {"zk", {EXT_ZBKB, EXT_ZBKC, EXT_ZBKX, EXT_ZKND, EXT_ZKNE, EXT_ZKNH, EXT_ZKR}},
    {"zkn", {EXT_ZBKB, EXT_ZBKC, EXT_ZBKX, EXT_ZKND, EXT_ZKNE, EXT_ZKNH}},
    {"zks", {EXT_ZBKB, EXT_ZBKC, EXT_ZBKX, EXT_ZKSED, EXT_ZKSH}},
    {"zvkn", {EXT_ZVBB, EXT_ZVKNED, EXT_ZVKNHB}},
    {"zvknc", {EXT_ZVBB, EXT_ZVBC, EXT_ZVKNED, EXT_ZVKNHB}},
    {"zvkng", {EXT_ZVBB, EXT_ZVKG, EXT_ZVKNED, EXT_ZVKNHB}},
    {"zvks", {EXT_ZVBB, EXT_ZVKSED, EXT_ZVKSH}},
    {"zvksc", {EXT_ZVBB, EXT_ZVBC, EXT_ZVKSED, EXT_ZVKSH}},
    {"zvksg", {EXT_ZVBB, EXT_ZVKG, EXT_ZVKSED, EXT_ZVKSH}},
    {"smaia", {EXT_SMAIA, EXT_SSAIA, EXT_SMCSRIND, EXT_SSCSRIND}},
    {"ssaia", {EXT_SSAIA, EXT_SSCSRIND}},
};

constexpr char CANONICAL_ORDER[] = "mafdqcbpvhn";

bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number that makes up the whole text; false when the text
// is empty, holds anything but digits, or is too large.
bool read_decimal(const std::string& text, uint64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    if (!is_digit(c)) return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

[[noreturn]] void reject(const std::string& isa, const std::string& message) {
  std::fprintf(stderr, "error: bad %s option '%s'. %s\n", "--isa", isa.c_str(), message.c_str());
  std::abort();
}

}  // namespace

bool isa_parser_t::extension_enabled(unsigned char ext) const {
  return extension_enabled(static_cast<isa_extension_t>(ext));
}

bool isa_parser_t::extension_enabled(isa_extension_t ext) const {
  return ext < extension_set.size() && extension_set.test(ext);
}

bool isa_parser_t::init(const std::string& isa, const std::string& priv) {
  auto has = [this](unsigned e) { return extension_set.test(e); };
  auto set = [this](unsigned e) { extension_set.set(e); };
  auto fail = [&isa](const std::string& message) { reject(isa, message); };

  isa_string = isa;
  for (char& c : isa_string) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  set(EXT_ZICNTR);
  set(EXT_ZIHPM);

  if (isa_string.compare(0, 4, "rv32") == 0)
    max_xlen = 32;
  else if (isa_string.compare(0, 4, "rv64") == 0)
    max_xlen = 64;
  else
    fail("ISA strings must begin with RV32 or RV64");

  max_vlen = 0;
  max_elen = 0;
  vector_float = false;
  vector_double = false;

  // Past the end of the string reads as '\0', which no rule accepts.
  auto at = [this](size_t i) { return i < isa_string.size() ? isa_string[i] : '\0'; };

  switch (at(4)) {
    case 'g':
      isa_string.replace(4, 1, "imafd");
      set('I');
      break;
    case 'i':
      set('I');
      break;
    case 'e':
      set('E');
      break;
    default:
      fail("'" + isa_string.substr(0, 4) + "' must be followed by I, E, or G");
  }

  size_t p = 5;
  const char* cursor = CANONICAL_ORDER;
  while (is_lower(at(p)) && at(p) != 'z' && at(p) != 's' && at(p) != 'x') {
    const char c = at(p);
    const char* found = std::strchr(cursor, c);
    if (!found) {
      if (std::strchr(CANONICAL_ORDER, c))
        fail(std::string("Extension '") + c + "' appears too late in ISA string");
      else
        fail(std::string("Unsupported extension '") + c + "'");
    }
    cursor = found;
    switch (c) {
      case 'd':
        set('F');
        break;
      case 'q':
        set('D');
        set('F');
        break;
      case 'v':
        max_vlen = 128;
        max_elen = 64;
        vector_float = true;
        vector_double = true;
        set('D');
        set('F');
        break;
      case 'p':
        set(EXT_ZMMUL);
        set(EXT_ZBPBO);
        set(EXT_ZPN);
        set(EXT_ZPSFOPERAND);
        break;
      default:
        break;
    }
    set(static_cast<unsigned>(std::toupper(static_cast<unsigned char>(c))));
    ++p;
    // Version number such as "2p0".
    while (is_digit(at(p)) || (at(p) == 'p' && is_digit(at(p - 1)))) ++p;
    if (at(p) == '_') ++p;
  }

  while (is_lower(at(p)) || at(p) == '_') {
    if (at(p) == '_') ++p;
    const size_t end = std::min(isa_string.find('_', p), isa_string.size());
    const std::string name = isa_string.substr(p, end - p);
    p = end;

    if (name == "zfh" || name == "zfhmin") {
      if (!has('F')) fail("'" + name + "' extension requires 'F'");
      if (name == "zfh") set(EXT_ZFH);
      set(EXT_ZFHMIN);
      continue;
    }
    if (name == "zvfh") {
      set(EXT_ZVFH);
      set(EXT_ZVFHMIN);
      set(EXT_ZFHMIN);
      continue;
    }
    bool handled = false;
    for (const char* silent : silent_exts) {
      if (name == silent) handled = true;
    }
    for (const ext_group_t& group : ext_groups) {
      if (name == group.name) {
        for (isa_extension_t e : group.members) set(e);
        handled = true;
      }
    }
    if (name == "zce") {
      set(EXT_ZCA);
      set(EXT_ZCB);
      set(EXT_ZCMP);
      set(EXT_ZCMT);
      if (has('F') && max_xlen == 32) set(EXT_ZCF);
      handled = true;
    }
    if (handled) continue;

    if (name == "zcf" && max_xlen == 64) fail("'Zcf' requires RV32");
    if (name == "zilsd" && max_xlen == 64) fail("'Zilsd' requires RV32");
    for (const named_ext_t& ext : named_exts) {
      if (name == ext.name) {
        set(ext.ext);
        handled = true;
      }
    }
    if (handled) {
      if (name == "zdinx") set(EXT_ZFINX);
      if (name == "zhinx") {
        set(EXT_ZFINX);
        set(EXT_ZHINXMIN);
      }
      if (name == "zhinxmin") set(EXT_ZFINX);
      if (name[0] == 'x') set('X');
      continue;
    }

    if (name.compare(0, 3, "zvl") == 0) {
      uint64_t vlen = 0;
      const bool read = name.size() > 4 && read_decimal(name.substr(3, name.size() - 4), vlen);
      if (!read || vlen < 32 || (vlen & (vlen - 1)) != 0) fail("Invalid Zvl string: " + name);
      if (vlen > max_vlen) max_vlen = vlen;
      continue;
    }
    if (name.compare(0, 3, "zve") == 0) {
      uint64_t elen = 0;
      if (name.size() <= 4 || !read_decimal(name.substr(3, name.size() - 4), elen)) elen = 0;
      const std::string type = name.size() > 5 ? name.substr(5) : std::string();
      if (type == "d") {
        vector_float = true;
        vector_double = true;
      } else if (type == "f") {
        vector_float = true;
      } else if (type != "x") {
        fail("Invalid Zve string: " + name);
      }
      if (elen != 32 && elen != 64) fail("Invalid Zve string: " + name);
      if (elen > max_elen) max_elen = elen;
      continue;
    }
    if (name.empty() || name[0] != 'x') fail("unsupported extension: " + name);
    set('X');
    if (name == "x") fail("single 'X' is not a proper name");
    fail("unsupported custom extension: " + name);
  }

  if (!has(EXT_ZBPBO)) {
    if (has(EXT_ZPN) || has(EXT_ZPSFOPERAND)) fail("Illegal p-ext combination");
  } else if (!has(EXT_ZPN) || (!has(EXT_ZPSFOPERAND) && max_xlen != 32) || !(has('M') || has(EXT_ZMMUL))) {
    fail("Illegal p-ext combination");
  }

  if (p < isa_string.size()) fail("can't parse: " + isa_string.substr(p));

  if (has('A')) {
    set(EXT_ZAAMO);
    set(EXT_ZALRSC);
  } else if (has(EXT_ZAAMO) && has(EXT_ZALRSC)) {
    set('A');
  }
  if (has('B')) {
    set(EXT_ZBA);
    set(EXT_ZBB);
    set(EXT_ZBS);
  } else if (has(EXT_ZBA) && has(EXT_ZBB) && has(EXT_ZBS)) {
    set('B');
  }
  if (has('C')) {
    set(EXT_ZCA);
    if (has('F') && max_xlen == 32) set(EXT_ZCF);
    if (has('D')) set(EXT_ZCD);
  }

  if (has(EXT_ZCMLSD)) {
    if (has(EXT_ZCF)) fail("'Zcmlsd' extension conflicts with 'Zcf' extensions");
    if (!has(EXT_ZCA) || !has(EXT_ZILSD)) fail("'Zcmlsd' extension requires 'Zca' and 'Zilsd' extensions");
  }

  if (has(EXT_ZFBFMIN) && !has('F')) fail("'Zfbfmin' extension requires 'F' extension");
  if ((has(EXT_ZVFBFMIN) || has(EXT_ZVFBFWMA)) && !has('V'))
    fail("'Zvfbfmin/Zvfbfwma' extension requires 'V' extension");
  if (has(EXT_ZFHMIN) || has(EXT_ZFBFMIN) || has(EXT_ZVFBFMIN)) set(EXT_INTERNAL_ZFH_MOVE);

  if (has(EXT_ZFINX) && has('F'))
    fail("Zfinx/Zdinx/Zhinx{min} extensions conflict with 'F/D/Q/Zfh{min}' extensions");
  if (has(EXT_ZCF) && !has('F')) fail("'Zcf' extension requires 'F' extension");
  if (has(EXT_ZCD) && !has('D')) fail("'Zcd' extension requires 'D' extension");
  if (has(EXT_ZCD) && (has(EXT_ZCMP) || has(EXT_ZCMT)))
    fail("Zcmp' and 'Zcmt' extensions are incompatible with 'Zcd' extension");
  if ((has(EXT_ZCF) || has(EXT_ZCD) || has(EXT_ZCB) || has(EXT_ZCMP) || has(EXT_ZCMT)) && !has(EXT_ZCA))
    fail("'Zcf/Zcd/Zcb/Zcmp/Zcmt' extensions require 'Zca' extension");

  if (has(EXT_ZACAS) && !has(EXT_ZAAMO)) fail("'Zacas' extension requires either the 'A' or the 'Zaamo' extension");
  if (has(EXT_ZABHA) && !has(EXT_ZAAMO)) fail("'Zabha' extension requires either the 'A' or the 'Zaamo' extension");
  if (has(EXT_ZAWRS) && !has(EXT_ZALRSC)) fail("'Zawrs' extension requires either the 'A' or the 'Zalrsc' extension");

  if (has(EXT_ZPN)) {
    if (has(EXT_ZVKNHA) || has(EXT_ZVKNHB))
      fail("'Zvkna' and 'Zvknhb' extensions are incompatible with 'Zpn' extension");
    if (max_xlen == 64 && (has(EXT_ZVKG) || has(EXT_ZVKNED) || has(EXT_ZVKSH)))
      fail("'Zvkg', 'Zvkned', and 'Zvksh' extensions are incompatible with 'Zpn' extension in rv64");
  }

  if (has(EXT_ZICFISS) && !has(EXT_ZIMOP)) fail("'Zicfiss' extension requires 'Zimop' extension");
  if (has(EXT_ZICFISS) && has(EXT_ZCA) && !has(EXT_ZCMOP))
    fail("'Zicfiss' extension requires 'Zcmop' extension when `Zca` is supported");

  if (max_vlen > 4096) fail("VLEN > 4096b is not currently supported");
  if ((max_vlen == 0) != (max_elen == 0)) fail("Invalid Zvl/Zve configuration");

  if (has(EXT_ZVFHMIN) && !(max_vlen && max_elen && vector_float)) fail("'Zvfhmin' extension requires Zve32f");
  if (vector_double && !has('D') && max_elen < 64) fail("'ZveXXd' extension requires D");
  if (vector_float && !has('F')) fail("'ZveXXf' extension requires F");

  std::string modes = priv;
  for (char& c : modes) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (modes.find('u') != std::string::npos) set('U');
  if (modes.find('s') != std::string::npos)
    set('S');
  else if (has('H'))
    fail("'H' extension requires S mode");

  misa = max_xlen == 32 ? uint64_t(1) << 30 : uint64_t(1) << 63;
  for (unsigned letter = 'A'; letter <= 'Z'; ++letter) {
    if (has(letter)) misa |= uint64_t(1) << (letter - 'A');
  }
  return true;
}
