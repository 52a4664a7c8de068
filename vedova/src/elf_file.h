#pragma once
// Read-only view of one ELF file of either class (32/64-bit) and either byte
// order: its segments, its sections with their bytes, which sections each
// segment holds, and its symbol tables. The whole file is read into memory
// once; section bytes and names point into that copy and stay valid for the
// life of the object.
//
// The loader trusts nothing in the file: headers, tables and section bytes
// that lie (even partly) outside the file make the load fail with a
// std::runtime_error; a name whose string index is out of range, or a symbol
// table whose string table is unusable, gives empty names instead.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class elf_file_t {
 public:
  struct section_t {
    size_t index = 0;           // position in the section table
    std::string_view name;      // empty when the name cannot be read
    uint32_t type = 0;          // sh_type
    uint64_t flags = 0;         // sh_flags
    uint64_t address = 0;       // sh_addr
    uint64_t offset = 0;        // sh_offset
    uint64_t size = 0;          // sh_size
    uint32_t link = 0;          // sh_link
    uint32_t info = 0;          // sh_info
    uint64_t entry_size = 0;    // sh_entsize
    // The section's bytes as stored in the file: `size` bytes, except for
    // SHT_NOBITS sections (and empty ones), which have none.
    const uint8_t* bytes = nullptr;
    size_t byte_count = 0;
  };

  struct segment_t {
    uint32_t type = 0;          // p_type
    uint32_t flags = 0;         // p_flags
    uint64_t offset = 0;        // p_offset
    uint64_t virtual_address = 0;   // p_vaddr
    uint64_t physical_address = 0;  // p_paddr
    uint64_t file_size = 0;     // p_filesz
    uint64_t memory_size = 0;   // p_memsz
    uint64_t align = 0;         // p_align
    // Indices of the sections the segment holds, ascending: an allocated
    // section when its address range lies within the segment's memory
    // range, any other section when its file range lies within the
    // segment's file range. The null section 0 is never listed.
    std::vector<size_t> sections;
  };

  struct symbol_t {
    std::string_view name;      // empty when the name cannot be read
    uint64_t value = 0;
    uint64_t size = 0;
    uint8_t type = 0;           // ELF_ST_TYPE of st_info
    uint8_t binding = 0;        // ELF_ST_BIND of st_info
    uint16_t section_index = 0; // st_shndx as stored
  };

  // The symbols of one SHT_SYMTAB or SHT_DYNSYM section, in table order
  // (symbol 0 included).
  struct symbol_table_t {
    size_t section_index = 0;
    std::vector<symbol_t> symbols;
  };

  elf_file_t() = default;
  // Same as load(path).
  explicit elf_file_t(const std::string& path);
  elf_file_t(const elf_file_t&) = delete;
  elf_file_t& operator=(const elf_file_t&) = delete;

  // Reads the file and parses it; raises std::runtime_error (with the path
  // and the reason) when it cannot be opened or is not a readable ELF file.
  // On failure the object is left empty.
  void load(const std::string& path);
  // Parses an ELF image held in memory; `what` names it in error texts.
  void load_bytes(std::vector<uint8_t> image, const std::string& what = "ELF image");

  bool loaded() const { return !file.empty(); }
  int elf_class() const { return class_bits; }  // 32 or 64 (0 when empty)
  bool big_endian() const { return is_big_endian; }
  uint16_t machine() const { return machine_id; }
  uint64_t entry() const { return entry_point; }

  const std::vector<segment_t>& segments() const { return segment_list; }
  // Indexed by section index; entry 0 is the null section.
  const std::vector<section_t>& sections() const { return section_list; }
  // The section of that index, or null when there is none.
  const section_t* section(size_t index) const {
    return index < section_list.size() ? &section_list[index] : nullptr;
  }
  // The first section of that name, or null.
  const section_t* find_section(std::string_view name) const;
  // Every SHT_SYMTAB and SHT_DYNSYM section, in section-table order.
  const std::vector<symbol_table_t>& symbol_tables() const { return symtab_list; }

 private:
  void clear();
  void parse(const std::string& what);

  std::vector<uint8_t> file;
  int class_bits = 0;
  bool is_big_endian = false;
  uint16_t machine_id = 0;
  uint64_t entry_point = 0;
  std::vector<segment_t> segment_list;
  std::vector<section_t> section_list;
  std::vector<symbol_table_t> symtab_list;
};
