#pragma once
// Test-only view into a disassembler's pattern chains. Include it from
// tests only; every test program sees this one definition.

#include <cstddef>
#include <vector>

#include "disasm.h"

struct disassembler_test_access {
  static const std::vector<const disasm_insn_t*>& chain(const disassembler_t& d, size_t index) {
    return d.chains[index];
  }

  static size_t pattern_count(const disassembler_t& d) {
    size_t n = 0;
    for (const auto& c : d.chains) n += c.size();
    return n;
  }

  // Every pattern with this id, in lookup order chain by chain.
  static std::vector<const disasm_insn_t*> patterns_with_id(const disassembler_t& d, uint32_t id) {
    std::vector<const disasm_insn_t*> found;
    for (const auto& c : d.chains) {
      for (auto it = c.rbegin(); it != c.rend(); ++it) {
        if ((*it)->insn_id == id) found.push_back(*it);
      }
    }
    return found;
  }
};
