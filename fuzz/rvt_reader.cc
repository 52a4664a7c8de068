// Fuzz target: the rvt extractor over a hostile swt stream. The first input
// byte picks the widths and the sizes of the reads; the rest is the trace.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "mh_rvt_reader/mh_rvt_reader.h"

namespace {

std::string trace_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trace_path = fuzz_support::scratch_path("rvt_reader");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool rv32 = data[0] & 1;
  // Reads of 1 to 16 bytes split rvt words anywhere.
  const unsigned long chunk = 1 + ((data[0] >> 1) & 15);
  fuzz_support::write_file(trace_path, data + 1, size - 1);
  try {
    mh_rvt_reader_t reader(trace_path, rv32 ? 32 : 64, rv32 ? 32 : 64, rv32 ? 34 : 56, rv32 ? 32 : 64);
    std::vector<uint8_t> buf(chunk);
    size_t total = 0;
    for (;;) {
      const int64_t got = reader.extract(buf.data(), chunk);
      if (got < 0 || static_cast<unsigned long>(got) > chunk) __builtin_trap();
      total += static_cast<size_t>(got);
      if (total > size) __builtin_trap();  // more payload than the file has bytes
      if (static_cast<unsigned long>(got) < chunk) break;
    }
    // The end stays the end.
    if (reader.extract(buf.data(), chunk) != 0) __builtin_trap();
  } catch (const std::runtime_error&) {
  }
  return 0;
}
