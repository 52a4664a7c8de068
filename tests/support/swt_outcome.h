// What an swt reader that keeps only the outcome (keep_only_outcome) hands
// out for a record that the full reader hands out as `full`: the fields it
// keeps, and zero everywhere else.
#ifndef TRACE_TEST_SWT_OUTCOME_H
#define TRACE_TEST_SWT_OUTCOME_H

#include <cstring>

#include "et_records.h"

inline et_object_t swt_outcome_of(const et_object_t& full) {
  if (full.type != ET_KIND_INSN) return full;
  et_object_t o;
  std::memset(static_cast<void*>(&o), 0, sizeof(o));
  o.type = ET_KIND_INSN;
  const et_insn_t& f = full.insn;
  et_insn_t& r = o.insn;
  r.pc = f.pc;
  r.insn = f.insn;
  r.pa_valid = f.pa_valid;
  r.pa = f.pa;
  r.committed = f.committed;
  r.trap = f.trap;
  r.intr = f.intr;
  r.cause = f.cause;
  r.trig = f.trig;
  r.fr_cm = f.fr_cm;
  return o;
}

#endif
