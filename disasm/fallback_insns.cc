#include <memory>
#include <string>

#include "disasm.h"
#include "insn_ids.h"

namespace {

struct fallback_row_t {
  const char* name;
  uint64_t match;
  uint64_t mask;
};

// One row per id from FIRST_FALLBACK_ID on, in id order.
constexpr fallback_row_t fallback_rows[] = {
#include "insn_table.inc"
};

static_assert(sizeof(fallback_rows) / sizeof(fallback_rows[0]) == INSN_ID_COUNT - FIRST_FALLBACK_ID,
              "one fallback row per id from FIRST_FALLBACK_ID on");

}  // namespace

void disassembler_t::register_fallback_insn(const char* name, uint64_t match, uint64_t mask, int id) {
  const std::string text = std::string(name) + " (args unknown)";
  std::unique_ptr<disasm_insn_t> insn(
      new disasm_insn_t(text.c_str(), text.c_str(), match, mask, static_cast<uint64_t>(id), 0, {}));
  add_insn(insn.get());
  insn.release();
}

void register_all_fallback_insns(disassembler_t& d) {
  int id = FIRST_FALLBACK_ID;
  for (const fallback_row_t& row : fallback_rows) d.register_fallback_insn(row.name, row.match, row.mask, id++);
}
