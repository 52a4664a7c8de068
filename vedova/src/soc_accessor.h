#pragma once
// The program image the Nexus decoder fetches instruction words from: the
// loaded ELF files and, over them, the chunk map from address ranges to the
// bytes of every allocated section of every loadable segment.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "elf_file.h"
#include "lynx_logger.h"

class soc_accessor_t : public logger_unit_t {
 public:
  explicit soc_accessor_t(const std::string& unit_name);
  virtual ~soc_accessor_t();

  // Loads one ELF file and adds its chunks. Raises std::runtime_error
  // "Can't find or process ELF file: " + path when it cannot be loaded; the
  // (empty) image still joins image_list and earlier files stay loaded. A
  // file whose loadable segments list more sections (a section counted once
  // per segment) than any real program has is refused with "ELF file " +
  // path + " has N sections in its loadable segments: at most M are
  // supported"; it stays in image_list but adds nothing else.
  void parse_elf(const std::string& path);

  // The chunk that serves `pc`: the one with the smallest end above pc,
  // provided it starts at or below pc. False when there is none.
  bool find_chunk(uint64_t pc, uint64_t& start, const uint8_t*& bytes, uint64_t& size) const;

  // The instruction word at `pc`: the 4 bytes there as a little-endian
  // number; near the end of a chunk only the bytes the chunk has, the rest
  // read as 0. False when no chunk serves pc. Runs once per executed
  // instruction, so the chunk of the last fetch is remembered and the map
  // is searched only when pc leaves it.
  bool fetch(uint64_t pc, uint64_t& word) {
    if (pc - hit_low >= hit_span && !refill(pc)) return false;
    const uint64_t at = pc - hit_start;
    const uint8_t* p = hit_bytes + at;
    const uint64_t left = hit_size - at;
    if (left >= 4) {
      word = uint64_t(p[0]) | uint64_t(p[1]) << 8 | uint64_t(p[2]) << 16 | uint64_t(p[3]) << 24;
    } else {
      word = 0;
      for (uint64_t i = 0; i < left; ++i) word |= uint64_t(p[i]) << (8 * i);
    }
    return true;
  }

  // One entry per parse_elf call, in call order: the image and its path.
  std::vector<std::pair<std::unique_ptr<elf_file_t>, std::string>> image_list;
  // One entry per section offered to the chunk map: (segment virtual
  // address, segment physical address, section).
  std::vector<std::tuple<uint64_t, uint64_t, const elf_file_t::section_t*>> segment_sections;
  // Every SHT_SYMTAB section of every loaded image.
  std::vector<std::pair<const elf_file_t*, const elf_file_t::section_t*>> symbol_tables;
  // End address (exclusive) -> (start address, the section's bytes). Change
  // it only through parse_elf, which also forgets the remembered chunk.
  std::map<uint64_t, std::pair<uint64_t, const uint8_t*>> chunk_map;

 private:
  bool refill(uint64_t pc);
  void log_debug(const std::string& text) const;

  // The chunk of the last fetch and the range of PCs [hit_low, hit_low +
  // hit_span) for which the map search would find it again.
  uint64_t hit_low = 0;
  uint64_t hit_span = 0;
  uint64_t hit_start = 0;
  uint64_t hit_size = 0;
  const uint8_t* hit_bytes = nullptr;
};
