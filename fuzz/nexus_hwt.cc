// Fuzz target: the Nexus message loop and the decode walk over a hostile
// trace, with the instruction words from a hostile reference swt trace and
// no ELF file.
//   byte 0     decoder set-up, as for nexus_elf
//   bytes 1-2  length of the Nexus trace (little-endian; cut to what is there)
//   then       the Nexus trace, then the swt trace
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "mh_swt_reader/mh_swt_reader.h"
#include "nexus_decoder.h"

namespace {

std::string trace_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trace_path = fuzz_support::scratch_path("nexus_hwt");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t set_up = data[0];
  const bool rv32 = set_up & 1;
  size_t nexus_size = size_t(data[1]) | size_t(data[2]) << 8;
  if (nexus_size > size - 3) nexus_size = size - 3;
  const uint8_t* nexus = data + 3;
  const uint8_t* swt = nexus + nexus_size;
  const size_t swt_size = size - 3 - nexus_size;
  fuzz_support::write_file(trace_path, nexus, nexus_size);

  // The reference trace of the core the decoder is set up for, read as the
  // tools read it: hart 0, all traffic skipped.
  static char empty_byte;
  FILE* stream = swt_size != 0 ? fmemopen(const_cast<uint8_t*>(swt), swt_size, "rb")
                               : fmemopen(&empty_byte, 1, "rb");
  if (stream == nullptr) return 0;
  if (swt_size == 0) (void)fgetc(stream);
  {
    nexus_decoder_t decoder(rv32 ? 32 : 64, set_up & 2, (set_up >> 2) & 3);
    if (set_up & 0x20) decoder.enable_nexus_log();
    if (set_up & 0x40) decoder.enable_disasm_log();
    if (set_up & 0x80) decoder.enable_metrics_log();
    const std::unique_ptr<mh_swt_reader_t> reference =
        rv32 ? std::make_unique<mh_swt_reader_t>(stream, 1, true, true, true, 32, 32, 34, 32, 256, 1, false)
             : std::make_unique<mh_swt_reader_t>(stream, 1, true, true, true, 64, 64, 56, 64, 512, 4, true);
    fuzz_support::bounded_buf_t buf(256 * 1024);
    std::ostream out(&buf);
    const std::vector<std::string> no_elf;
    try {
      decoder.decode(~0ul, out, trace_path, no_elf, reference, set_up & 0x10);
    } catch (const std::runtime_error&) {
      // Decoding and reading errors, and the output cut off at its bound.
    }
  }
  fclose(stream);
  return 0;
}
