#include "disasm.h"
#include "insn_ids.h"

void register_specific_insns(disassembler_t& d, const isa_parser_i*) {
  d.add_insn(new disasm_insn_t("unimp", "unimp", 0xc0001073, 0xffffffff, ID_UNIMP, 0, {}));
  d.add_insn(new disasm_insn_t("c.unimp", "c.unimp", 0x0000, 0xffff, ID_C_UNIMP, 0, {}));
}
