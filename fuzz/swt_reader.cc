// Fuzz target: the swt trace reader over a hostile stream. The first input
// byte picks the design parameters, the hart mask and the skip switches the
// reader is built with; the rest is the trace.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "et_records.h"
#include "mh_swt_reader/mh_swt_reader.h"

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
  static char empty_byte;
  FILE* stream = size > 1 ? fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb")
                          : fmemopen(&empty_byte, 1, "rb");
  if (stream == nullptr) return 0;
  if (size == 1) (void)fgetc(stream);

  uint64_t sum = 0;
  try {
    mh_swt_reader_t reader(stream, mask, skip_rvt, skip_l2t, skip_dct, d.xlen, d.flen, d.pa_bits,
                           d.irf_data_bits, d.cl_width, d.cl_chunks, d.poison_enable);
    // The trace is short, so every record comes out; the bound only guards
    // against a reader that never reports the end.
    for (size_t n = 0; n < 8 * size + 16; ++n) {
      const et_object_t* o = reader.get_next_object();
      if (o == nullptr) {
        if (reader.get_next_object() != nullptr) __builtin_trap();  // the end must stay the end
        break;
      }
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
  sink = sum;
  return 0;
}
