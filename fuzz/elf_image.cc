// Fuzz target: the ELF reading layer over a hostile image, then the program
// image built from the same bytes and a few instruction fetches from it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "elf_file.h"
#include "lynx_logger.h"
#include "soc_accessor.h"

namespace {

std::string image_path;
volatile uint64_t sink;

// Touches every byte a view claims to have, so the sanitizer sees a view
// that reaches past its buffer.
uint64_t touch(const uint8_t* bytes, size_t count) {
  uint64_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum += bytes[i];
  return sum;
}
uint64_t touch(std::string_view text) {
  return touch(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

lynx_logger_t& quiet_debug_logger() {
  // No stream: the messages are built (that code runs) but go nowhere.
  static lynx_logger_t logger("fuzz");
  logger.patterns.default_level = lynx_logger_t::DEBUG;
  return logger;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = std::getenv("TMPDIR");
  image_path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/fuzz_elf_image." +
               std::to_string(getpid()) + ".elf";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  elf_file_t elf;
  try {
    elf.load_bytes(std::vector<uint8_t>(data, data + size), "fuzz input");
  } catch (const std::runtime_error&) {
    return 0;  // the program image would fail the same way
  }
  uint64_t sum = 0;
  for (const elf_file_t::section_t& s : elf.sections()) sum += touch(s.name) + touch(s.bytes, s.byte_count);
  for (const elf_file_t::segment_t& seg : elf.segments())
    for (size_t index : elf.sections_in(seg)) sum += elf.section(index) != nullptr ? 1 : 0;
  for (const elf_file_t::symbol_table_t& table : elf.symbol_tables())
    for (const elf_file_t::symbol_t& sym : table.symbols) sum += touch(sym.name) + sym.value;
  sum += elf.find_section(".text") != nullptr;

  // The program image reads the file by path, as the decoder does.
  FILE* f = std::fopen(image_path.c_str(), "wb");
  if (f == nullptr) abort();
  if (size != 0 && std::fwrite(data, 1, size, f) != size) abort();
  std::fclose(f);

  soc_accessor_t soc("soc");
  soc.set_logger(&quiet_debug_logger());
  try {
    soc.parse_elf(image_path);
  } catch (const std::runtime_error& e) {
    // The bytes loaded above, so the file must load too; it may still hold
    // more sections in its loadable segments than are supported.
    if (std::string(e.what()).rfind("ELF file " + image_path + " has ", 0) != 0) abort();
    return 0;
  }
  // Fetches where a walk goes: the entry, the first and the last bytes of
  // every chunk, just past each chunk, and the addresses around zero.
  std::vector<uint64_t> pcs = {elf.entry(), 0, ~uint64_t(0), ~uint64_t(0) - 2};
  for (const auto& chunk : soc.chunk_map) {
    const uint64_t start = chunk.second.first, end = chunk.first;
    pcs.insert(pcs.end(), {start, start + 1, end - 4, end - 3, end - 2, end - 1, end});
  }
  for (uint64_t pc : pcs) {
    uint64_t word = 0;
    if (soc.fetch(pc, word)) sum += word;
    uint64_t start = 0, chunk_size = 0;
    const uint8_t* bytes = nullptr;
    if (soc.find_chunk(pc, start, bytes, chunk_size)) sum += bytes[pc - start];
  }
  // A walk running straight through memory, chunk after chunk.
  if (!soc.chunk_map.empty()) {
    uint64_t pc = soc.chunk_map.begin()->second.first;
    for (int i = 0; i < 4096; ++i, pc += 2) {
      uint64_t word = 0;
      if (soc.fetch(pc, word)) sum += word;
    }
  }
  sink = sum;
  return 0;
}
