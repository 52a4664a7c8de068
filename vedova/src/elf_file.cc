#include "elf_file.h"

#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& reason) {
  throw std::runtime_error(what + ": " + reason);
}

// True when [offset, offset + size) lies within [0, limit), without overflow.
bool range_within(uint64_t offset, uint64_t size, uint64_t limit) {
  return offset <= limit && size <= limit - offset;
}

// True when the range [start, start + size) lies within the range
// [base, base + length); an empty range may sit at either end.
bool nested(uint64_t start, uint64_t size, uint64_t base, uint64_t length) {
  return start >= base && range_within(start - base, size, length);
}

// Finds the zero bytes that end names in the file. A name usually ends a few
// bytes on, but a crafted file can point thousands of names at one long run
// of bytes without a zero; past a short scan, the position of the first
// zero at or after the start of each 256-byte block (worked out once, on
// first need) answers at once, so every look-up costs at most two short
// scans.
class terminator_finder_t {
 public:
  explicit terminator_finder_t(const std::vector<uint8_t>& file) : file(file) {}

  // The position of the first zero byte in [from, limit), or limit.
  size_t find(size_t from, size_t limit) {
    const size_t near = std::min(limit, from + 2 * BLOCK);
    if (const size_t at = scan(from, near); at < near || near == limit) return at;
    if (next_zero.empty()) index();
    const size_t block_end = (near / BLOCK + 1) * BLOCK;
    const size_t at = scan(near, std::min(limit, block_end));
    if (at < std::min(limit, block_end) || block_end >= limit) return at;
    return std::min(limit, static_cast<size_t>(next_zero[block_end / BLOCK]));
  }

 private:
  static constexpr size_t BLOCK = 256;

  size_t scan(size_t from, size_t limit) const {
    if (from >= limit) return limit;
    const void* at = std::memchr(file.data() + from, '\0', limit - from);
    return at == nullptr ? limit : static_cast<size_t>(static_cast<const uint8_t*>(at) - file.data());
  }
  void index() {
    const size_t blocks = file.size() / BLOCK + 1;
    next_zero.resize(blocks + 1);
    next_zero[blocks] = file.size();
    for (size_t k = blocks; k-- > 0;) {
      const size_t start = k * BLOCK;
      const size_t end = std::min(file.size(), start + BLOCK);
      const size_t at = scan(start, end);
      next_zero[k] = at < end ? at : next_zero[k + 1];
    }
  }

  const std::vector<uint8_t>& file;
  std::vector<uint64_t> next_zero;  // per block
};

// The zero-terminated text at `offset` of a string table, or empty when the
// offset or the terminator lies outside the table's bytes.
std::string_view string_at(const std::vector<uint8_t>& file, terminator_finder_t& zeros,
                           const elf_file_t::section_t* table, uint64_t offset) {
  if (table == nullptr || offset >= table->byte_count) return {};
  const size_t start = static_cast<size_t>(table->bytes - file.data()) + static_cast<size_t>(offset);
  const size_t limit = static_cast<size_t>(table->bytes - file.data()) + table->byte_count;
  const size_t end = zeros.find(start, limit);
  if (end == limit) return {};
  return std::string_view(reinterpret_cast<const char*>(file.data()) + start, end - start);
}

std::string elf_reason(const char* doing) {
  const char* msg = elf_errmsg(-1);
  return std::string(doing) + (msg != nullptr ? std::string(" (") + msg + ")" : std::string());
}

struct elf_closer {
  void operator()(Elf* e) const { elf_end(e); }
};

struct fd_closer {
  int fd;
  ~fd_closer() { ::close(fd); }
};

}  // namespace

elf_file_t::elf_file_t(const std::string& path) { load(path); }

void elf_file_t::clear() {
  file.clear();
  file.shrink_to_fit();
  class_bits = 0;
  is_big_endian = false;
  machine_id = 0;
  entry_point = 0;
  segment_list.clear();
  section_list.clear();
  symtab_list.clear();
}

void elf_file_t::load(const std::string& path) {
  clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail(path, std::string("cannot open file (") + std::strerror(errno) + ")");
  fd_closer closer{fd};
  struct stat st;
  if (::fstat(fd, &st) != 0) fail(path, std::string("cannot read file (") + std::strerror(errno) + ")");
  if (!S_ISREG(st.st_mode)) fail(path, "not a regular file");
  std::vector<uint8_t> image(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < image.size()) {
    const ssize_t n = ::read(fd, image.data() + done, image.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail(path, std::string("cannot read file (") + std::strerror(errno) + ")");
    if (n == 0) break;  // the file shrank while being read
    done += static_cast<size_t>(n);
  }
  image.resize(done);
  load_bytes(std::move(image), path);
}

void elf_file_t::load_bytes(std::vector<uint8_t> image, const std::string& what) {
  clear();
  file = std::move(image);
  try {
    parse(what);
  } catch (...) {
    clear();
    throw;
  }
}

void elf_file_t::parse(const std::string& what) {
  const uint64_t file_size = file.size();
  if (file_size < EI_NIDENT) fail(what, "file too short for an ELF identification");
  if (std::memcmp(file.data(), ELFMAG, SELFMAG) != 0) fail(what, "not an ELF file (bad magic)");
  const uint8_t ident_class = file[EI_CLASS];
  const uint8_t ident_data = file[EI_DATA];
  if (ident_class != ELFCLASS32 && ident_class != ELFCLASS64)
    fail(what, "unknown ELF class " + std::to_string(ident_class));
  if (ident_data != ELFDATA2LSB && ident_data != ELFDATA2MSB)
    fail(what, "unknown ELF data encoding " + std::to_string(ident_data));
  const bool is64 = ident_class == ELFCLASS64;
  const uint64_t ehdr_size = is64 ? sizeof(Elf64_Ehdr) : sizeof(Elf32_Ehdr);
  const uint64_t phdr_size = is64 ? sizeof(Elf64_Phdr) : sizeof(Elf32_Phdr);
  const uint64_t shdr_size = is64 ? sizeof(Elf64_Shdr) : sizeof(Elf32_Shdr);
  if (file_size < ehdr_size) fail(what, "file too short for the ELF header");

  static const bool version_ok = elf_version(EV_CURRENT) != EV_NONE;
  if (!version_ok) fail(what, "ELF library version mismatch");
  std::unique_ptr<Elf, elf_closer> elf(elf_memory(reinterpret_cast<char*>(file.data()), file.size()));
  if (!elf || elf_kind(elf.get()) != ELF_K_ELF) fail(what, elf_reason("not an ELF file"));

  GElf_Ehdr ehdr;
  if (gelf_getehdr(elf.get(), &ehdr) == nullptr) fail(what, elf_reason("cannot read the ELF header"));
  class_bits = is64 ? 64 : 32;
  is_big_endian = ident_data == ELFDATA2MSB;
  machine_id = ehdr.e_machine;
  entry_point = ehdr.e_entry;

  // Section table. The counts come from the header as stored: the library
  // quietly shortens tables that run past the end of the file, and such a
  // file is broken.
  GElf_Shdr first_section{};
  size_t section_count = 0;
  if (ehdr.e_shoff != 0) {
    if (ehdr.e_shentsize != shdr_size) fail(what, "unexpected section header size " + std::to_string(ehdr.e_shentsize));
    // A count too large for the header field is kept in section 0.
    const uint64_t declared = ehdr.e_shnum != 0 ? ehdr.e_shnum : 1;
    if (!range_within(ehdr.e_shoff, declared * shdr_size, file_size)) fail(what, "section table lies outside the file");
    if (gelf_getshdr(elf_getscn(elf.get(), 0), &first_section) == nullptr)
      fail(what, elf_reason("cannot read section header 0"));
    const uint64_t count = ehdr.e_shnum != 0 ? ehdr.e_shnum : first_section.sh_size;
    if (count > file_size / shdr_size || !range_within(ehdr.e_shoff, count * shdr_size, file_size))
      fail(what, "section table lies outside the file");
    section_count = static_cast<size_t>(count);
    size_t library_count = 0;
    if (elf_getshdrnum(elf.get(), &library_count) != 0 || library_count != section_count)
      fail(what, elf_reason("cannot read the section table"));
  }
  section_list.resize(section_count);
  for (size_t i = 0; i < section_count; ++i) {
    Elf_Scn* scn = elf_getscn(elf.get(), i);
    GElf_Shdr shdr;
    if (scn == nullptr || gelf_getshdr(scn, &shdr) == nullptr)
      fail(what, elf_reason(("cannot read section header " + std::to_string(i)).c_str()));
    section_t& s = section_list[i];
    s.index = i;
    s.type = shdr.sh_type;
    s.flags = shdr.sh_flags;
    s.address = shdr.sh_addr;
    s.offset = shdr.sh_offset;
    s.size = shdr.sh_size;
    s.link = shdr.sh_link;
    s.info = shdr.sh_info;
    s.entry_size = shdr.sh_entsize;
    if (s.type != SHT_NOBITS && s.type != SHT_NULL && s.size > 0) {
      if (!range_within(s.offset, s.size, file_size))
        fail(what, "bytes of section " + std::to_string(i) + " lie outside the file");
      s.bytes = file.data() + s.offset;
      s.byte_count = static_cast<size_t>(s.size);
    }
  }

  // Section names; a broken name table leaves the names empty.
  terminator_finder_t zeros(file);
  size_t names_index = 0;
  if (section_count > 0 && elf_getshdrstrndx(elf.get(), &names_index) == 0) {
    const section_t* names = section(names_index);
    if (names != nullptr && names->type == SHT_STRTAB) {
      GElf_Shdr shdr;
      for (size_t i = 0; i < section_count; ++i) {
        if (gelf_getshdr(elf_getscn(elf.get(), i), &shdr) != nullptr)
          section_list[i].name = string_at(file, zeros, names, shdr.sh_name);
      }
    }
  }

  // Segment table.
  const uint64_t declared_segments = ehdr.e_phnum == PN_XNUM ? first_section.sh_info : ehdr.e_phnum;
  size_t segment_count = 0;
  if (declared_segments > 0) {
    if (ehdr.e_phentsize != phdr_size) fail(what, "unexpected program header size " + std::to_string(ehdr.e_phentsize));
    if (declared_segments > file_size / phdr_size ||
        !range_within(ehdr.e_phoff, declared_segments * phdr_size, file_size))
      fail(what, "segment table lies outside the file");
    segment_count = static_cast<size_t>(declared_segments);
    size_t library_count = 0;
    if (elf_getphdrnum(elf.get(), &library_count) != 0 || library_count != segment_count)
      fail(what, elf_reason("cannot read the segment table"));
  }
  segment_list.resize(segment_count);
  for (size_t i = 0; i < segment_count; ++i) {
    GElf_Phdr phdr;
    if (gelf_getphdr(elf.get(), static_cast<int>(i), &phdr) == nullptr)
      fail(what, elf_reason(("cannot read program header " + std::to_string(i)).c_str()));
    segment_t& seg = segment_list[i];
    seg.type = phdr.p_type;
    seg.flags = phdr.p_flags;
    seg.offset = phdr.p_offset;
    seg.virtual_address = phdr.p_vaddr;
    seg.physical_address = phdr.p_paddr;
    seg.file_size = phdr.p_filesz;
    seg.memory_size = phdr.p_memsz;
    seg.align = phdr.p_align;
  }

  // Symbol tables. The entries are converted to host order by the library;
  // the names are read from the linked string table's raw bytes. Tables
  // that overlap could make the symbols many times the file: real files
  // never have them.
  uint64_t symbol_bytes = 0;
  for (size_t i = 1; i < section_count; ++i) {
    const section_t& s = section_list[i];
    if (s.type == SHT_SYMTAB || s.type == SHT_DYNSYM) symbol_bytes += s.byte_count;
    if (symbol_bytes > file_size)
      fail(what, "symbol tables overlap: they claim more bytes than the file's " + std::to_string(file_size));
  }
  for (size_t i = 1; i < section_count; ++i) {
    const section_t& s = section_list[i];
    if (s.type != SHT_SYMTAB && s.type != SHT_DYNSYM) continue;
    symbol_table_t table;
    table.section_index = i;
    if (s.size > 0) {
      Elf_Data* data = elf_getdata(elf_getscn(elf.get(), i), nullptr);
      const size_t entry = gelf_fsize(elf.get(), ELF_T_SYM, 1, EV_CURRENT);
      if (data == nullptr || entry == 0)
        fail(what, elf_reason(("cannot read the symbols of section " + std::to_string(i)).c_str()));
      const section_t* strings = section(s.link);
      if (strings != nullptr && strings->type != SHT_STRTAB) strings = nullptr;
      const size_t count = data->d_size / entry;
      if (count > static_cast<size_t>(INT32_MAX)) fail(what, "symbol table of section " + std::to_string(i) + " too large");
      table.symbols.resize(count);
      for (size_t k = 0; k < count; ++k) {
        GElf_Sym sym;
        if (gelf_getsym(data, static_cast<int>(k), &sym) == nullptr)
          fail(what, elf_reason(("cannot read symbol " + std::to_string(k) + " of section " + std::to_string(i)).c_str()));
        symbol_t& out = table.symbols[k];
        out.name = string_at(file, zeros, strings, sym.st_name);
        out.value = sym.st_value;
        out.size = sym.st_size;
        out.type = GELF_ST_TYPE(sym.st_info);
        out.binding = GELF_ST_BIND(sym.st_info);
        out.section_index = sym.st_shndx;
      }
    }
    symtab_list.push_back(std::move(table));
  }
}

const elf_file_t::section_t* elf_file_t::find_section(std::string_view name) const {
  for (const section_t& s : section_list)
    if (s.name == name) return &s;
  return nullptr;
}

std::vector<size_t> elf_file_t::sections_in(const segment_t& segment) const {
  std::vector<size_t> held;
  for (size_t j = 1; j < section_list.size(); ++j) {
    const section_t& s = section_list[j];
    const bool inside = (s.flags & SHF_ALLOC) != 0
                            ? nested(s.address, s.size, segment.virtual_address, segment.memory_size)
                            : nested(s.offset, s.type == SHT_NOBITS ? 0 : s.size, segment.offset, segment.file_size);
    if (inside) held.push_back(j);
  }
  return held;
}

section_ranges_t::section_ranges_t(const std::vector<elf_file_t::section_t>& sections,
                                   const std::function<bool(const elf_file_t::section_t&)>& keep) {
  for (const elf_file_t::section_t& s : sections)
    if (s.index != 0 && keep(s)) entries.push_back(entry_t{s.address, wide_t(s.address) + s.size, s.index});
  std::sort(entries.begin(), entries.end(),
            [](const entry_t& a, const entry_t& b) { return a.start < b.start; });
  leaves = 1;
  while (leaves < entries.size()) leaves *= 2;
  lowest_end.assign(2 * leaves, ~wide_t(0));
  for (size_t i = 0; i < entries.size(); ++i) lowest_end[leaves + i] = entries[i].end;
  for (size_t node = leaves; node-- > 1;) lowest_end[node] = std::min(lowest_end[2 * node], lowest_end[2 * node + 1]);
}

size_t section_ranges_t::first_at_or_above(uint64_t base) const {
  return static_cast<size_t>(
      std::partition_point(entries.begin(), entries.end(), [base](const entry_t& e) { return e.start < base; }) -
      entries.begin());
}

template <class Found>
bool section_ranges_t::visit(size_t node, size_t node_low, size_t node_high, size_t from, wide_t limit,
                             Found& found) const {
  // Subtrees wholly below `from` or holding no end at or below the limit
  // are passed over, so each entry found costs one path of the tree.
  if (node_high <= from || lowest_end[node] > limit) return true;
  if (node >= leaves) return found(node - leaves);
  const size_t middle = node_low + (node_high - node_low) / 2;
  return visit(2 * node, node_low, middle, from, limit, found) &&
         visit(2 * node + 1, middle, node_high, from, limit, found);
}

bool section_ranges_t::any_within(uint64_t base, uint64_t length) const {
  bool any = false;
  auto found = [&any](size_t) { return !(any = true); };
  visit(1, 0, leaves, first_at_or_above(base), wide_t(base) + length, found);
  return any;
}

void section_ranges_t::list_within(uint64_t base, uint64_t length, std::vector<size_t>& out) const {
  const size_t first = out.size();
  auto found = [this, &out](size_t position) {
    out.push_back(entries[position].index);
    return true;
  };
  visit(1, 0, leaves, first_at_or_above(base), wide_t(base) + length, found);
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
}

uint64_t section_ranges_t::count_within(const std::vector<std::pair<uint64_t, uint64_t>>& ranges) const {
  // Ranges by falling base; the entries starting at or above each base are
  // added to a counting tree over their ends as the base falls, and the
  // ones ending at or below the range's end are counted.
  std::vector<wide_t> ends;
  ends.reserve(entries.size());
  for (const entry_t& e : entries) ends.push_back(e.end);
  std::sort(ends.begin(), ends.end());
  std::vector<uint64_t> counts(ends.size() + 1, 0);  // Fenwick tree, 1-based
  std::vector<std::pair<uint64_t, wide_t>> by_base;
  by_base.reserve(ranges.size());
  for (const auto& r : ranges) by_base.emplace_back(r.first, wide_t(r.first) + r.second);
  std::sort(by_base.begin(), by_base.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  uint64_t total = 0;
  size_t next = entries.size();  // entries[next..] are in the tree
  for (const auto& r : by_base) {
    for (; next > 0 && entries[next - 1].start >= r.first; --next) {
      const size_t rank = static_cast<size_t>(std::lower_bound(ends.begin(), ends.end(), entries[next - 1].end) - ends.begin());
      for (size_t k = rank + 1; k < counts.size(); k += k & (~k + 1)) ++counts[k];
    }
    size_t k = static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), r.second) - ends.begin());
    for (; k > 0; k -= k & (~k + 1)) total += counts[k];
  }
  return total;
}
