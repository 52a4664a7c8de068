#include "elf_file.h"

#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "crafted_elf.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TRACE_TEST_DATA_DIR) + "/elf/" + name; }

std::vector<uint8_t> read_fixture(const std::string& name) {
  std::ifstream in(fixture(name), std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint64_t get_le(const std::vector<uint8_t>& b, size_t off, int n) {
  uint64_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b.at(off + i);
  return v;
}

void put_le(std::vector<uint8_t>& b, size_t off, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b.at(off + i) = static_cast<uint8_t>(v >> (8 * i));
}

struct segment_expect {
  uint32_t type, flags;
  uint64_t vaddr, paddr, filesz, memsz;
  std::vector<size_t> sections;
};

struct symbol_expect {
  std::string name;
  uint64_t value, size;
  uint8_t type, binding;
  uint16_t shndx;
};

struct fixture_expect {
  std::string file;
  int elf_class;
  bool big_endian;
  uint64_t entry;
  std::vector<std::string> section_names;  // from index 1
  std::vector<segment_expect> segments;
  size_t symbol_count;
  std::vector<symbol_expect> symbols;
};

constexpr uint32_t PT_ATTR = 0x70000003;  // PT_RISCV_ATTRIBUTES

const std::vector<fixture_expect>& expectations() {
  static const std::vector<fixture_expect> all = {
      {"rv64_two_load.elf", 64, false, 0x80000000,
       {".text", ".data", ".bss", ".riscv.attributes", ".debug_note", ".symtab", ".strtab", ".shstrtab"},
       {{PT_ATTR, 4, 0, 0, 0x4c, 0, {4}},
        {PT_LOAD, 5, 0x80000000, 0x80000000, 0x40, 0x40, {1}},
        {PT_LOAD, 6, 0x80001000, 0x80001000, 0x8, 0x18, {2, 3}}},
       15,
       {{"lynx_gdb_exit", 0x8000001c, 4, STT_FUNC, STB_GLOBAL, 1},
        {"value", 0x80001000, 8, STT_OBJECT, STB_GLOBAL, 2},
        {"scratch", 0x80001008, 0, STT_NOTYPE, STB_LOCAL, 3},
        {"rv64_two_load.o", 0, 0, STT_FILE, STB_LOCAL, SHN_ABS}}},
      {"rv32_le.elf", 32, false, 0x10000,
       {".text", ".riscv.attributes", ".symtab", ".strtab", ".shstrtab"},
       {{PT_ATTR, 4, 0, 0, 0x4c, 0, {2}}, {PT_LOAD, 5, 0x10000, 0x10000, 0x10, 0x10, {1}}},
       8,
       {{"lynx_gdb_exit", 0x1000c, 0, STT_NOTYPE, STB_GLOBAL, 1}, {"loop", 0x10004, 0, STT_NOTYPE, STB_LOCAL, 1}}},
      {"rv64_be.elf", 64, true, 0x80000000,
       {".text", ".riscv.attributes", ".symtab", ".strtab", ".shstrtab"},
       {{PT_ATTR, 4, 0, 0, 0x4c, 0, {2}}, {PT_LOAD, 5, 0x80000000, 0x80000000, 0x10, 0x10, {1}}},
       10,
       {{"lynx_gdb_exit", 0x8000000c, 0, STT_NOTYPE, STB_GLOBAL, 1}, {"_start", 0x80000000, 0, STT_NOTYPE, STB_GLOBAL, 1}}},
      {"rv64_lma.elf", 64, false, 0x80000000,
       {".text", ".text.late", ".riscv.attributes", ".symtab", ".strtab", ".shstrtab"},
       {{PT_ATTR, 4, 0, 0, 0x4c, 0, {3}},
        {PT_LOAD, 5, 0x80000000, 0x20000000, 8, 8, {1}},
        {PT_LOAD, 5, 0x80010000, 0x20100000, 8, 8, {2}}},
       10,
       {{"lynx_gdb_exit", 0x80010004, 0, STT_NOTYPE, STB_GLOBAL, 2}}},
      // .shared lies in the memory ranges of both code segments; .orphan in
      // none.
      {"rv64_layout.elf", 64, false, 0x80000000,
       {".text", ".shared", ".orphan", ".bss", ".comment_note", ".riscv.attributes", ".symtab", ".strtab",
        ".shstrtab"},
       {{PT_ATTR, 4, 0, 0, 0x4c, 0, {6}},
        {PT_LOAD, 5, 0x80000000, 0x80000000, 0x104, 0x104, {1, 2}},
        {PT_LOAD, 5, 0x80000100, 0x80000100, 4, 4, {2}},
        {PT_LOAD, 6, 0x80002000, 0x80002000, 0, 0x20, {4}}},
       11,
       {}},
      {"rv32_odd_end.elf", 32, false, 0x2000,
       {".text", ".tail", ".riscv.attributes", ".symtab", ".strtab", ".shstrtab"},
       {{PT_ATTR, 4, 0, 0, 0x51, 0, {3}}, {PT_LOAD, 5, 0x2000, 0x2000, 0xe, 0xe, {1, 2}}},
       9,
       {}},
  };
  return all;
}

TEST(ElfFile, ReadsEachFixture) {
  for (const fixture_expect& x : expectations()) {
    SCOPED_TRACE(x.file);
    elf_file_t elf(fixture(x.file));
    EXPECT_EQ(elf.elf_class(), x.elf_class);
    EXPECT_EQ(elf.big_endian(), x.big_endian);
    EXPECT_EQ(elf.machine(), EM_RISCV);
    EXPECT_EQ(elf.entry(), x.entry);

    ASSERT_EQ(elf.sections().size(), x.section_names.size() + 1);
    EXPECT_EQ(elf.sections()[0].type, uint32_t(SHT_NULL));
    for (size_t i = 0; i < x.section_names.size(); ++i) {
      EXPECT_EQ(elf.sections()[i + 1].name, x.section_names[i]);
      EXPECT_EQ(elf.sections()[i + 1].index, i + 1);
    }

    ASSERT_EQ(elf.segments().size(), x.segments.size());
    for (size_t i = 0; i < x.segments.size(); ++i) {
      SCOPED_TRACE("segment " + std::to_string(i));
      const elf_file_t::segment_t& s = elf.segments()[i];
      const segment_expect& e = x.segments[i];
      EXPECT_EQ(s.type, e.type);
      EXPECT_EQ(s.flags, e.flags);
      EXPECT_EQ(s.virtual_address, e.vaddr);
      EXPECT_EQ(s.physical_address, e.paddr);
      EXPECT_EQ(s.file_size, e.filesz);
      EXPECT_EQ(s.memory_size, e.memsz);
      EXPECT_EQ(elf.sections_in(s), e.sections);
    }

    ASSERT_EQ(elf.symbol_tables().size(), 1u);
    const elf_file_t::symbol_table_t& table = elf.symbol_tables()[0];
    EXPECT_EQ(table.section_index, elf.find_section(".symtab")->index);
    EXPECT_EQ(table.symbols.size(), x.symbol_count);
    EXPECT_EQ(table.symbols[0].name, "");
    for (const symbol_expect& e : x.symbols) {
      SCOPED_TRACE(e.name);
      const elf_file_t::symbol_t* found = nullptr;
      for (const elf_file_t::symbol_t& s : table.symbols)
        if (s.name == e.name) found = &s;
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(found->value, e.value);
      EXPECT_EQ(found->size, e.size);
      EXPECT_EQ(found->type, e.type);
      EXPECT_EQ(found->binding, e.binding);
      EXPECT_EQ(found->section_index, e.shndx);
    }
  }
}

TEST(ElfFile, SectionBytesAreTheFileBytes) {
  elf_file_t le(fixture("rv64_two_load.elf"));
  const elf_file_t::section_t* data = le.find_section(".data");
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(data->byte_count, 8u);
  EXPECT_EQ(std::vector<uint8_t>(data->bytes, data->bytes + 8),
            (std::vector<uint8_t>{0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));
  const elf_file_t::section_t* bss = le.find_section(".bss");
  ASSERT_NE(bss, nullptr);
  EXPECT_EQ(bss->type, uint32_t(SHT_NOBITS));
  EXPECT_EQ(bss->size, 0x10u);
  EXPECT_EQ(bss->bytes, nullptr);
  EXPECT_EQ(bss->byte_count, 0u);

  // Big-endian file: instructions are little-endian, data words big-endian;
  // both come out as stored.
  elf_file_t be(fixture("rv64_be.elf"));
  const elf_file_t::section_t* text = be.find_section(".text");
  ASSERT_NE(text, nullptr);
  ASSERT_EQ(text->byte_count, 16u);
  EXPECT_EQ(std::vector<uint8_t>(text->bytes, text->bytes + 4), (std::vector<uint8_t>{0x13, 0x05, 0x10, 0x00}));
  EXPECT_EQ(std::vector<uint8_t>(text->bytes + 8, text->bytes + 12), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44}));
  EXPECT_EQ(text->flags, uint64_t(SHF_ALLOC | SHF_EXECINSTR));
  EXPECT_EQ(text->address, 0x80000000u);
  EXPECT_EQ(be.find_section(".nothing"), nullptr);
  EXPECT_EQ(be.section(99), nullptr);
}

TEST(ElfFile, LoadBytesMatchesLoad) {
  elf_file_t from_file(fixture("rv32_le.elf"));
  elf_file_t from_memory;
  from_memory.load_bytes(read_fixture("rv32_le.elf"));
  EXPECT_EQ(from_memory.sections().size(), from_file.sections().size());
  EXPECT_EQ(from_memory.segments().size(), from_file.segments().size());
  EXPECT_EQ(from_memory.symbol_tables()[0].symbols.size(), from_file.symbol_tables()[0].symbols.size());
}

void expect_load_error(std::vector<uint8_t> image, const std::string& text) {
  elf_file_t elf;
  try {
    elf.load_bytes(std::move(image), "img");
    ADD_FAILURE() << "no error, expected: " << text;
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    EXPECT_EQ(std::string(e.what()).rfind("img: ", 0), 0u) << e.what();
  }
  EXPECT_FALSE(elf.loaded());
  EXPECT_TRUE(elf.sections().empty());
  EXPECT_TRUE(elf.segments().empty());
}

TEST(ElfFile, RejectsFilesItCannotRead) {
  EXPECT_THROW(elf_file_t(fixture("does-not-exist.elf")), std::runtime_error);
  EXPECT_THROW(elf_file_t(fixture("")), std::runtime_error);  // a folder
  EXPECT_THROW(elf_file_t(fixture("rv32_le.s")), std::runtime_error);

  const std::vector<uint8_t> good = read_fixture("rv64_two_load.elf");
  const uint64_t shoff = get_le(good, 0x28, 8);
  auto with = [&](size_t off, uint64_t v, int n) {
    std::vector<uint8_t> b = good;
    put_le(b, off, v, n);
    return b;
  };
  expect_load_error({}, "too short for an ELF identification");
  expect_load_error(std::vector<uint8_t>(good.begin(), good.begin() + 15), "too short for an ELF identification");
  expect_load_error(std::vector<uint8_t>(good.begin(), good.begin() + 40), "too short for the ELF header");
  expect_load_error(with(0, 0x7f454c47, 4), "bad magic");
  expect_load_error(with(EI_CLASS, 3, 1), "unknown ELF class 3");
  expect_load_error(with(EI_DATA, 0, 1), "unknown ELF data encoding 0");
  // Cut in the middle of the section table.
  expect_load_error(std::vector<uint8_t>(good.begin(), good.begin() + shoff + 100), "section table lies outside");
  expect_load_error(with(0x28, 0xfffffffffffff000, 8), "section table lies outside");
  expect_load_error(with(0x3c, 0xfff0, 2), "section table lies outside");  // e_shnum
  expect_load_error(with(0x3a, 40, 2), "unexpected section header size 40");
  expect_load_error(with(0x20, good.size() - 8, 8), "segment table lies outside");
  expect_load_error(with(0x38, 0x7fff, 2), "segment table lies outside");  // e_phnum
  expect_load_error(with(0x36, 32, 2), "unexpected program header size 32");
  // .text (section 1) with its bytes past the end, or running past it.
  expect_load_error(with(shoff + 64 + 0x18, good.size() + 1, 8), "bytes of section 1 lie outside the file");
  expect_load_error(with(shoff + 64 + 0x20, 0xffffffffffffff00, 8), "bytes of section 1 lie outside the file");
}

TEST(ElfFile, BrokenNamesReadAsEmpty) {
  const std::vector<uint8_t> good = read_fixture("rv64_two_load.elf");
  const uint64_t shoff = get_le(good, 0x28, 8);
  elf_file_t ref(fixture("rv64_two_load.elf"));
  const elf_file_t::section_t& symtab = *ref.find_section(".symtab");
  const size_t strtab_size = ref.find_section(".strtab")->size;
  const size_t shstrtab = ref.find_section(".shstrtab")->index;

  {  // a section name index out of range, and one that points at the very end
    std::vector<uint8_t> b = good;
    put_le(b, shoff + 64 * 1, 0xffffff, 4);
    put_le(b, shoff + 64 * 2, ref.find_section(".shstrtab")->size, 4);
    elf_file_t elf;
    elf.load_bytes(b);
    EXPECT_EQ(elf.sections()[1].name, "");
    EXPECT_EQ(elf.sections()[2].name, "");
    EXPECT_EQ(elf.sections()[3].name, ".bss");
  }
  {  // a name table without a terminating zero: the last name is lost
    std::vector<uint8_t> b = good;
    const elf_file_t::section_t& names = ref.sections()[shstrtab];
    b[names.offset + names.size - 1] = 'x';
    size_t last = 1;
    for (size_t i = 1; i < ref.sections().size(); ++i)
      if (get_le(good, shoff + 64 * i, 4) > get_le(good, shoff + 64 * last, 4)) last = i;
    elf_file_t elf;
    elf.load_bytes(b);
    for (size_t i = 1; i < ref.sections().size(); ++i)
      EXPECT_EQ(elf.sections()[i].name, i == last ? std::string_view() : ref.sections()[i].name);
  }
  {  // e_shstrndx out of range, or naming a section that is no string table
    for (uint64_t idx : {uint64_t(200), uint64_t(1)}) {
      std::vector<uint8_t> b = good;
      put_le(b, 0x3e, idx, 2);
      elf_file_t elf;
      elf.load_bytes(b);
      EXPECT_EQ(elf.sections()[1].name, "");
      EXPECT_EQ(elf.symbol_tables().size(), 1u);
    }
  }
  {  // a symbol name past the string table; a symbol table linked to a non-string table
    std::vector<uint8_t> b = good;
    put_le(b, symtab.offset + 24 * 12, strtab_size, 4);
    elf_file_t elf;
    elf.load_bytes(b);
    EXPECT_EQ(elf.symbol_tables()[0].symbols[12].name, "");
    EXPECT_EQ(elf.symbol_tables()[0].symbols[13].name, "_start");
    put_le(b, shoff + 64 * symtab.index + 0x28, 1, 4);
    elf.load_bytes(b);
    EXPECT_EQ(elf.symbol_tables()[0].symbols[13].name, "");
    EXPECT_EQ(elf.symbol_tables()[0].symbols[13].value, 0x80000000u);
    put_le(b, shoff + 64 * symtab.index + 0x28, 5000, 4);
    elf.load_bytes(b);
    EXPECT_EQ(elf.symbol_tables()[0].symbols[13].name, "");
  }
}

// Every truncation and many random corruptions of the header area either load
// or fail with std::runtime_error; the sanitizer build catches any stray read.
TEST(ElfFile, HostileImagesNeverCrash) {
  for (const char* name : {"rv64_two_load.elf", "rv64_be.elf", "rv32_le.elf"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> good = read_fixture(name);
    size_t loaded = 0;
    uint64_t touched = 0;
    auto attempt = [&](std::vector<uint8_t> b) {
      elf_file_t elf;
      try {
        elf.load_bytes(std::move(b));
        ++loaded;
        // Touch the ends of every byte range handed out.
        for (const elf_file_t::section_t& s : elf.sections())
          if (s.byte_count > 0) touched += s.bytes[0] + s.bytes[s.byte_count - 1] + s.name.size();
        for (const elf_file_t::symbol_table_t& t : elf.symbol_tables())
          for (const elf_file_t::symbol_t& s : t.symbols)
            if (!s.name.empty()) touched += static_cast<uint8_t>(s.name.back());
      } catch (const std::runtime_error&) {
      }
    };
    for (size_t n = 0; n < good.size(); n += 7) attempt(std::vector<uint8_t>(good.begin(), good.begin() + n));
    std::mt19937 rng(12345);
    const uint64_t shoff = good[EI_CLASS] == ELFCLASS64 ? get_le(good, 0x28, 8) : get_le(good, 0x20, 4);
    std::vector<size_t> hot;  // the ELF header, the program headers and the section headers
    for (size_t i = 0; i < 0x100 && i < good.size(); ++i) hot.push_back(i);
    for (size_t i = shoff; i < good.size(); ++i) hot.push_back(i);
    for (int round = 0; round < 3000; ++round) {
      std::vector<uint8_t> b = good;
      const int changes = 1 + static_cast<int>(rng() % 4);
      for (int c = 0; c < changes; ++c) b[hot[rng() % hot.size()]] = static_cast<uint8_t>(rng());
      attempt(std::move(b));
    }
    EXPECT_GT(loaded, 0u);
    EXPECT_GT(touched, 0u);
  }
}


// The address-range index answers exactly as a pass over every section does
// (the containment test of sections_in), on random layouts with the awkward
// values: empty sections at either end of a range, ranges reaching or
// crossing the top of the address space, several sections with one start.
TEST(SectionRanges, AgreesWithAPlainPass) {
  std::mt19937_64 rng(99);
  const uint64_t top = ~uint64_t(0);
  const uint64_t awkward[] = {0, 1, 16, 0x100, top - 0x10, top - 1, top};
  auto pick = [&](uint64_t scale) {
    return rng() % 4 == 0 ? awkward[rng() % std::size(awkward)] : (rng() % 64) * scale;
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<elf_file_t::section_t> sections(1 + rng() % 40);
    for (size_t i = 0; i < sections.size(); ++i) {
      sections[i].index = i;
      sections[i].address = pick(16);
      sections[i].size = rng() % 3 == 0 ? 0 : pick(8);
      sections[i].flags = rng() % 5 == 0 ? 0 : SHF_ALLOC;
    }
    sections[0].flags = SHF_ALLOC;  // the null section is never indexed
    const section_ranges_t index(sections, [](const elf_file_t::section_t& s) { return s.flags != 0; });
    std::vector<std::pair<uint64_t, uint64_t>> ranges;
    uint64_t pairs = 0;
    for (int r = 0; r < 20; ++r) {
      const uint64_t base = pick(16), length = pick(32);
      std::vector<size_t> expected;
      for (size_t i = 1; i < sections.size(); ++i) {
        const elf_file_t::section_t& s = sections[i];
        if (s.flags != 0 && s.address >= base && s.address - base <= length && s.size <= length - (s.address - base))
          expected.push_back(i);
      }
      std::vector<size_t> listed = {12345};  // appended to, not replaced
      index.list_within(base, length, listed);
      expected.insert(expected.begin(), 12345);
      ASSERT_EQ(listed, expected) << std::hex << base << " " << length;
      ASSERT_EQ(index.any_within(base, length), expected.size() > 1);
      ranges.emplace_back(base, length);
      pairs += expected.size() - 1;
    }
    ASSERT_EQ(index.count_within(ranges), pairs);
  }
  const section_ranges_t none({}, [](const elf_file_t::section_t&) { return true; });
  EXPECT_FALSE(none.any_within(0, ~uint64_t(0)));
  EXPECT_EQ(none.count_within({{0, ~uint64_t(0)}}), 0u);
}

// Names that run on for long stretches without a terminator, across the
// blocks of the terminator search, read as a plain search reads them.
TEST(ElfFile, LongNamesAndNamesWithoutTerminator) {
  test_support::crafted_elf_options shape;
  shape.sections = 300;
  std::vector<uint8_t> b = test_support::crafted_elf(shape);
  const uint64_t shoff = get_le(b, 0x28, 8);
  const size_t names_index = get_le(b, 0x3e, 2);
  // A new name table at the end of the file: runs of 1 to 700 letters
  // between the zeros, and no zero in its last 500 bytes.
  std::mt19937 rng(5);
  const size_t table = b.size();
  std::vector<uint8_t> names;
  while (names.size() < 20000) {
    names.insert(names.end(), 1 + rng() % (rng() % 8 == 0 ? 700 : 20), 'a' + rng() % 26);
    names.push_back(0);
  }
  names.insert(names.end(), 500, 'z');
  b.insert(b.end(), names.begin(), names.end());
  put_le(b, shoff + 64 * names_index + 0x18, table, 8);
  put_le(b, shoff + 64 * names_index + 0x20, names.size(), 8);
  std::vector<uint32_t> offsets;
  for (size_t i = 0; i < 300; ++i) {
    const uint32_t offset = i < 10 ? static_cast<uint32_t>(names.size() - 1 - i * 37) : rng() % names.size();
    offsets.push_back(offset);
    put_le(b, shoff + 64 * (2 + i), offset, 4);
  }
  elf_file_t elf;
  elf.load_bytes(b);
  for (size_t i = 0; i < 300; ++i) {
    const char* start = reinterpret_cast<const char*>(names.data()) + offsets[i];
    const void* end = std::memchr(start, 0, names.size() - offsets[i]);
    const std::string_view expected =
        end == nullptr ? std::string_view() : std::string_view(start, static_cast<const char*>(end) - start);
    ASSERT_EQ(elf.sections()[2 + i].name, expected) << offsets[i];
  }
}

TEST(ElfFile, SymbolTablesLargerThanTheFileAreRefused) {
  test_support::crafted_elf_options shape;
  shape.sections = 2;
  shape.nobits = false;
  shape.exit_label = true;
  std::vector<uint8_t> b = test_support::crafted_elf(shape);
  const uint64_t shoff = get_le(b, 0x28, 8);
  // Both ".h" sections become symbol tables over the start of the file:
  // with .symtab (2 symbols) at most as large as the file, still accepted.
  const size_t half = (b.size() - 48) / 2 / 24 * 24;
  for (size_t i : {2, 3}) {
    put_le(b, shoff + 64 * i + 0x04, SHT_SYMTAB, 4);
    put_le(b, shoff + 64 * i + 0x18, 0, 8);
    put_le(b, shoff + 64 * i + 0x20, half, 8);
  }
  elf_file_t elf;
  elf.load_bytes(b);
  EXPECT_EQ(elf.symbol_tables().size(), 3u);
  put_le(b, shoff + 64 * 3 + 0x20, b.size() / 24 * 24, 8);
  try {
    elf.load_bytes(b, "crafted");
    ADD_FAILURE() << "loaded";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "crafted: symbol tables overlap: they claim more bytes than the file's " + std::to_string(b.size()));
  }
  EXPECT_FALSE(elf.loaded());
}

}  // namespace
