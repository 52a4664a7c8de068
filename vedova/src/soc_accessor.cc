#include "soc_accessor.h"

#include <elf.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>
#include <sstream>
#include <stdexcept>

namespace {

// More (loadable segment, section) pairs than any real program has: real
// files put each section under one or two segments.
constexpr uint64_t MAX_SEGMENT_SECTIONS = uint64_t(1) << 20;

}  // namespace

soc_accessor_t::soc_accessor_t(const std::string& unit_name) : logger_unit_t(unit_name) {}

soc_accessor_t::~soc_accessor_t() = default;

void soc_accessor_t::log_debug(const std::string& text) const {
  if (logger == nullptr) return;
  logger->log(lynx_logger_t::DEBUG, logger->use_full_unit_names ? full_name.c_str() : name.c_str(), text.c_str());
}

void soc_accessor_t::parse_elf(const std::string& path) {
  image_list.emplace_back(std::make_unique<elf_file_t>(), path);
  elf_file_t& image = *image_list.back().first;
  try {
    image.load(path);
  } catch (const std::runtime_error&) {
    throw std::runtime_error("Can't find or process ELF file: " + path);
  }
  hit_span = 0;  // new chunks may change which chunk serves a PC

  // The sections offered to the chunk map: allocated ones with bytes, under
  // every loadable segment whose memory range holds them. A crafted file can
  // make these pairs number billions; each is kept in segment_sections, so
  // they are counted first and a file with more than any real program has
  // is refused before anything is added.
  const section_ranges_t offered(image.sections(), [](const elf_file_t::section_t& section) {
    return (section.flags & SHF_ALLOC) != 0 && section.type != SHT_NOBITS;
  });
  std::vector<std::pair<uint64_t, uint64_t>> loadable;
  for (const elf_file_t::segment_t& segment : image.segments())
    if (segment.type == PT_LOAD) loadable.emplace_back(segment.virtual_address, segment.memory_size);
  const uint64_t pairs = offered.count_within(loadable);
  if (pairs > MAX_SEGMENT_SECTIONS)
    throw std::runtime_error("ELF file " + path + " has " + std::to_string(pairs) +
                             " sections in its loadable segments: at most " + std::to_string(MAX_SEGMENT_SECTIONS) +
                             " are supported");
  segment_sections.reserve(segment_sections.size() + static_cast<size_t>(pairs));

  const bool debug = level > lynx_logger_t::STACKTRACE;
  // A section offered again (under a later segment) changes no chunk: its
  // end is already a key. Only its first offer reaches the map.
  std::vector<bool> offered_before(image.sections().size(), false);
  std::vector<size_t> held;
  for (const elf_file_t::segment_t& segment : image.segments()) {
    if (segment.type != PT_LOAD) continue;
    if (debug) {
      std::ostringstream msg;
      msg << std::hex << "Segment: vma = 0x" << segment.virtual_address << ", lma = 0x" << segment.physical_address;
      log_debug(msg.str());
    }
    held.clear();
    offered.list_within(segment.virtual_address, segment.memory_size, held);
    for (size_t index : held) {
      const elf_file_t::section_t* section = image.section(index);
      if (debug) {
        std::ostringstream msg;
        msg << "Section " << section->name << ": size " << section->size << " address 0x" << std::hex
            << section->address << " flags " << std::dec << section->flags;
        log_debug(msg.str());
      }
      segment_sections.emplace_back(segment.virtual_address, segment.physical_address, section);
      if (offered_before[index]) continue;
      offered_before[index] = true;
      // An empty section can serve no fetch, but as a chunk it would hide
      // the chunk around it from every PC below its address; a range that
      // wraps past the top of the address space (or a section the file
      // holds no bytes for) can serve none either.
      const uint64_t end = section->address + section->byte_count;
      if (section->byte_count == 0 || end < section->address) continue;
      chunk_map.emplace(end, std::make_pair(section->address, section->bytes));
    }
  }

  for (const elf_file_t::section_t& section : image.sections())
    if (section.type == SHT_SYMTAB) symbol_tables.emplace_back(&image, &section);
}

bool soc_accessor_t::find_chunk(uint64_t pc, uint64_t& start, const uint8_t*& bytes, uint64_t& size) const {
  const auto it = chunk_map.upper_bound(pc);
  if (it == chunk_map.end() || it->second.first > pc) return false;
  start = it->second.first;
  bytes = it->second.second;
  size = it->first - start;
  return true;
}

bool soc_accessor_t::refill(uint64_t pc) {
  const auto it = chunk_map.upper_bound(pc);
  if (it == chunk_map.end() || it->second.first > pc) return false;
  hit_start = it->second.first;
  hit_bytes = it->second.second;
  hit_size = it->first - hit_start;
  // Below the previous end the search would stop at the previous chunk.
  uint64_t low = hit_start;
  if (it != chunk_map.begin()) {
    const uint64_t previous_end = std::prev(it)->first;
    if (previous_end > low) low = previous_end;
  }
  hit_low = low;
  hit_span = it->first - low;
  return true;
}
