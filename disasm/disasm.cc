#include "disasm.h"

#include <algorithm>

#include "isa_ext.h"

namespace {

std::string dotted(const char* text) {
  std::string s(text);
  std::replace(s.begin(), s.end(), '_', '.');
  return s;
}

// Chain of the opcode bits, of the compressed quadrant and funct3, or the
// catch-all chain, in the order the lookup probes them.
constexpr uint64_t OPCODE_BITS = 0x7F;
constexpr uint64_t COMPRESSED_BITS = 0xE003;
constexpr uint64_t CATCH_ALL_CHAIN = 255;

}  // namespace

disasm_insn_t::disasm_insn_t(const char* name_, const char* name2_, uint64_t match_, uint64_t mask_,
                             uint64_t id, uint64_t flags, const std::vector<const arg_t*>& args_)
    : match(match_),
      mask(mask_),
      insn_id(static_cast<uint32_t>(id)),
      operand_flags(flags),
      args(args_),
      name(dotted(name_)),
      name2(dotted(name2_)),
      print_name(true) {}

disassembler_t::disassembler_t(int xlen) {
  const enable_all_exts isa(xlen);
  init(&isa);
}

disassembler_t::disassembler_t(const isa_parser_i* isa) { init(isa); }

disassembler_t::~disassembler_t() {
  for (auto& chain : chains) {
    for (const disasm_insn_t* insn : chain) delete insn;
  }
}

void disassembler_t::init(const isa_parser_i* isa) {
  // If a registration throws, the members already built are destroyed but
  // this destructor does not run, so free what was registered so far.
  try {
    register_specific_insns(*this, isa);
    register_all_fallback_insns(*this);
  } catch (...) {
    for (auto& chain : chains) {
      for (const disasm_insn_t* insn : chain) delete insn;
      chain.clear();
    }
    throw;
  }
  // Lookup scans a chain from its end; reversing makes the first registered
  // pattern of a chain the first one tried.
  for (auto& chain : chains) std::reverse(chain.begin(), chain.end());
}

void disassembler_t::add_insn(disasm_insn_t* insn) {
  uint64_t chain;
  if ((insn->mask & OPCODE_BITS) == OPCODE_BITS)
    chain = insn->match & OPCODE_BITS;
  else if ((insn->mask & COMPRESSED_BITS) == COMPRESSED_BITS)
    chain = (insn->match & COMPRESSED_BITS) % 255;
  else
    chain = CATCH_ALL_CHAIN;
  chains[chain].push_back(insn);
}

const disasm_insn_t* disassembler_t::probe_once(const insn_t& insn, uint64_t chain) const {
  if (chain >= CHAIN_COUNT) return nullptr;
  const uint64_t bits = insn.bits();
  const auto& c = chains[chain];
  for (auto it = c.rbegin(); it != c.rend(); ++it) {
    if ((bits & (*it)->mask) == (*it)->match) return *it;
  }
  return nullptr;
}

const disasm_insn_t* disassembler_t::lookup(const insn_t& insn) const {
  const uint64_t bits = insn.bits();
  if (const disasm_insn_t* p = probe_once(insn, bits & OPCODE_BITS)) return p;
  if (const disasm_insn_t* p = probe_once(insn, (bits & COMPRESSED_BITS) % 255)) return p;
  return probe_once(insn, CATCH_ALL_CHAIN);
}

std::string disassembler_t::disassemble(uint64_t bits) const {
  const insn_t insn(bits);
  const disasm_insn_t* p = lookup(insn);
  if (!p) return "unknown";

  std::string s;
  s.reserve(64);
  if (p->print_name) s = p->name;
  if (p->args.empty()) return s;
  if (p->print_name) s.append(p->name.size() < 8 ? 8 - p->name.size() : 1, ' ');

  bool optional = false;
  for (size_t i = 0; i < p->args.size(); ++i) {
    const arg_t* arg = p->args[i];
    if (!arg) {
      optional = true;
      continue;
    }
    const std::string t = arg->to_string(insn);
    if (!(optional && t.empty())) {
      if (i != 0) s += ", ";
      s += t;
    }
    optional = false;
  }
  return s;
}

std::string disassembler_t::get_name(uint64_t bits) {
  const std::string s = disassemble(bits);
  if (s.empty() || s[0] == ' ') return std::string();
  return s.substr(0, s.find(' '));
}
