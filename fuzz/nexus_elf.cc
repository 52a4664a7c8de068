// Fuzz target: the Nexus message loop and the decode walk over a hostile
// trace, with the instruction words from the small ELF programs of the walk
// tests (tests/data/walk/walk64.s, walk32.s: every kind of branch and jump).
//   byte 0     decoder set-up (bits below)
//   the rest   the Nexus trace
#include <cstddef>
#include <cstdint>
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
const std::vector<std::string> elf64 = {TRACE_TEST_DATA_DIR "/walk/walk64.elf"};
const std::vector<std::string> elf32 = {TRACE_TEST_DATA_DIR "/walk/walk32.elf"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trace_path = fuzz_support::scratch_path("nexus_elf");
  return 0;
}

// byte 0: bit 0 RV32 (else RV64), bit 1 SRC field present, bits 2-3 SRC
// width, bit 4 stop on Error messages, bit 5 message log, bit 6 disassembly
// column, bit 7 metrics.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t set_up = data[0];
  const bool rv32 = set_up & 1;
  fuzz_support::write_file(trace_path, data + 1, size - 1);

  nexus_decoder_t decoder(rv32 ? 32 : 64, set_up & 2, (set_up >> 2) & 3);
  if (set_up & 0x20) decoder.enable_nexus_log();
  if (set_up & 0x40) decoder.enable_disasm_log();
  if (set_up & 0x80) decoder.enable_metrics_log();
  fuzz_support::bounded_buf_t buf(256 * 1024);
  std::ostream out(&buf);
  const std::unique_ptr<mh_swt_reader_t> no_reference;
  try {
    decoder.decode(~0ul, out, trace_path, rv32 ? elf32 : elf64, no_reference, set_up & 0x10);
  } catch (const std::runtime_error&) {
    // Decoding errors, and the output cut off at its bound.
  }
  return 0;
}
