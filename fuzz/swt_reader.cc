// Fuzz target: the swt trace reader over a hostile stream. The first input
// byte picks the design parameters, the hart mask and the skip switches the
// reader is built with; the rest is the trace. A second reader that keeps
// only the outcome reads the same trace alongside and must hand out the same
// records (what it keeps of them) and end or fail at the same call.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "et_records.h"
#include "mh_swt_reader/mh_swt_reader.h"
#include "swt_outcome.h"

namespace {

struct design_t {
  int xlen, flen;
  unsigned long pa_bits, irf_data_bits, cl_width, cl_chunks;
  bool poison_enable;
};

// The example 64-bit core, a 32-bit one, and two with odd widths: 1-bit
// register data, a chunk index of 3 bits, 8 words per chunk.
constexpr design_t designs[4] = {
    {64, 64, 56, 64, 512, 4, true},
    {32, 32, 34, 32, 256, 1, false},
    {64, 16, 40, 1, 64, 1, true},
    {32, 64, 64, 64, 4096, 8, true},
};

// Bit 0 alone (the common single-hart run), all eight harts, hart 1 only
// (hart 0 stepped over), hart 9 (refused when it shows up), every bit.
constexpr unsigned long masks[8] = {1, 0xff, 2, 0x201, ~0ul, 0x81, 0, 0x3};

volatile uint64_t sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const design_t& d = designs[data[0] & 3];
  const unsigned long mask = masks[(data[0] >> 2) & 7];
  const bool skip_rvt = data[0] & 0x20, skip_l2t = data[0] & 0x40, skip_dct = data[0] & 0x80;

  // fmemopen refuses an empty buffer; an empty trace is a stream at its end.
  static char empty_bytes[2];
  const auto open = [&](char* empty) {
    FILE* f = size > 1 ? fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb") : fmemopen(empty, 1, "rb");
    if (f != nullptr && size == 1) (void)fgetc(f);
    return f;
  };
  FILE* stream = open(&empty_bytes[0]);
  FILE* lean_stream = open(&empty_bytes[1]);
  if (stream == nullptr || lean_stream == nullptr) {
    if (stream != nullptr) fclose(stream);
    if (lean_stream != nullptr) fclose(lean_stream);
    return 0;
  }

  uint64_t sum = 0;
  std::string error = "(none)";
  std::string lean_error = "(none)";
  try {
    mh_swt_reader_t reader(stream, mask, skip_rvt, skip_l2t, skip_dct, d.xlen, d.flen, d.pa_bits,
                           d.irf_data_bits, d.cl_width, d.cl_chunks, d.poison_enable);
    mh_swt_reader_t lean(lean_stream, mask, skip_rvt, skip_l2t, skip_dct, d.xlen, d.flen, d.pa_bits,
                         d.irf_data_bits, d.cl_width, d.cl_chunks, d.poison_enable);
    lean.keep_only_outcome();
    // The trace is short, so every record comes out; the bound only guards
    // against a reader that never reports the end.
    for (size_t n = 0; n < 8 * size + 16; ++n) {
      const et_object_t* o = nullptr;
      const et_object_t* l = nullptr;
      try {
        o = reader.get_next_object();
      } catch (const std::runtime_error& e) {
        error = e.what();
      }
      try {
        l = lean.get_next_object();
      } catch (const std::runtime_error& e) {
        lean_error = e.what();
      }
      if (error != lean_error) __builtin_trap();  // failed at another call, or otherwise
      if (error != "(none)") break;
      if ((o == nullptr) != (l == nullptr)) __builtin_trap();  // ended at another call
      if (o == nullptr) {
        if (reader.get_next_object() != nullptr) __builtin_trap();  // the end must stay the end
        if (lean.get_next_object() != nullptr) __builtin_trap();
        break;
      }
      const et_object_t kept = swt_outcome_of(*o);
      if (std::memcmp(&kept, l, sizeof(kept)) != 0) __builtin_trap();  // another record
      if (n == 8 * size + 15) __builtin_trap();  // more records than the input can hold
      switch (o->type) {
        case ET_KIND_INSN:
          sum += o->insn.pc + o->insn.insn + o->insn.cause + o->insn.is_fused() + o->insn.rd.value;
          break;
        case ET_KIND_RVT: sum += o->rvt.data; break;
        case ET_KIND_L2T:
        case ET_KIND_DCT: sum += o->type; break;
        default: __builtin_trap();  // a record of no kind
      }
    }
  } catch (const std::runtime_error&) {
    // The reader's errors for a trace it cannot read.
  }
  fclose(stream);
  fclose(lean_stream);
  sink = sum;
  return 0;
}
