#include "et_records.h"

#include <type_traits>

#include "fused_word.h"

static_assert(std::is_trivial<et_object_t>::value, "records must stay plain data");
static_assert(sizeof(l2t_object_t) <= sizeof(et_insn_t) && sizeof(dct_object_t) <= sizeof(et_insn_t),
              "traffic records must fit in the instruction record's room");

bool et_insn_t::is_fused() const { return fused_word::is_pair_word(insn); }
