#include "soc_accessor.h"

#include <elf.h>

#include <iterator>
#include <sstream>
#include <stdexcept>

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

  const bool debug = level > lynx_logger_t::STACKTRACE;
  for (const elf_file_t::segment_t& segment : image.segments()) {
    if (segment.type != PT_LOAD) continue;
    if (debug) {
      std::ostringstream msg;
      msg << std::hex << "Segment: vma = 0x" << segment.virtual_address << ", lma = 0x" << segment.physical_address;
      log_debug(msg.str());
    }
    for (size_t index : segment.sections) {
      const elf_file_t::section_t* section = image.section(index);
      if (section == nullptr || (section->flags & SHF_ALLOC) == 0 || section->type == SHT_NOBITS) continue;
      if (debug) {
        std::ostringstream msg;
        msg << "Section " << section->name << ": size " << section->size << " address 0x" << std::hex
            << section->address << " flags " << std::dec << section->flags;
        log_debug(msg.str());
      }
      segment_sections.emplace_back(segment.virtual_address, segment.physical_address, section);
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
