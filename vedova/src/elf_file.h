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
// table whose string table is unusable, gives empty names instead. Loading
// costs memory and time in proportion to the file, whatever its tables
// claim: nothing is kept per pair of segment and section (a crafted file can
// have tens of thousands of each over one address range), and symbol tables
// that together claim more bytes than the file has make the load fail.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
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

  // Indices of the sections `segment` holds, ascending: an allocated section
  // when its address range lies within the segment's memory range, any other
  // section when its file range lies within the segment's file range. The
  // null section 0 is never listed. Worked out on each call with one pass
  // over the section table, so asking it for every segment costs segments x
  // sections: section_ranges_t answers such questions in bulk.
  std::vector<size_t> sections_in(const segment_t& segment) const;

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

// Some sections of one ELF file, indexed by address range, to find those
// that lie within a range (a loadable segment's memory range): section
// [address, address + size) lies within [base, base + length) when it starts
// at or above base and ends at or below base + length, without wrapping, as
// elf_file_t::sections_in decides for allocated sections.
//
// A crafted file can put tens of thousands of segments over one range and
// tens of thousands of sections inside it, so that the pairs number
// billions. Here one question costs a logarithm per section it finds, and
// counting the pairs of many ranges costs no more than sorting them.
class section_ranges_t {
 public:
  // Indexes every section of `sections` (as elf_file_t::sections() gives
  // them) but the null section 0 for which keep(section) is true. The
  // object refers to none of them afterwards.
  section_ranges_t(const std::vector<elf_file_t::section_t>& sections,
                   const std::function<bool(const elf_file_t::section_t&)>& keep);

  // True when some indexed section lies within [base, base + length).
  bool any_within(uint64_t base, uint64_t length) const;
  // Appends the indices of the indexed sections that lie within [base,
  // base + length) to `out`, ascending.
  void list_within(uint64_t base, uint64_t length, std::vector<size_t>& out) const;
  // The number of (range, indexed section) pairs where the section lies
  // within the range, for the ranges (base, length) given.
  uint64_t count_within(const std::vector<std::pair<uint64_t, uint64_t>>& ranges) const;

 private:
  using wide_t = unsigned __int128;  // an end address may lie at 2^64 or above
  struct entry_t {
    uint64_t start;
    wide_t end;
    size_t index;
  };
  // Calls found(position) for every position at or above `from` whose entry
  // ends at or below `limit`, in position order, while it returns true.
  template <class Found>
  bool visit(size_t node, size_t node_low, size_t node_high, size_t from, wide_t limit, Found& found) const;
  size_t first_at_or_above(uint64_t base) const;

  std::vector<entry_t> entries;  // by start address
  size_t leaves = 0;             // a power of two, at least entries.size()
  std::vector<wide_t> lowest_end;  // tree of minimum ends: node 1 is the root
};
