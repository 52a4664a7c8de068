#include "soc_accessor.h"

#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "crafted_elf.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TRACE_TEST_DATA_DIR) + "/elf/" + name; }

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string write_temp(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = testing::TempDir() + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void put_le(std::vector<uint8_t>& b, size_t off, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b.at(off + i) = static_cast<uint8_t>(v >> (8 * i));
}

// Fetches at `pc`; the word, or -1 when no chunk serves it.
int64_t word_at(soc_accessor_t& image, uint64_t pc) {
  uint64_t word = 0xdeadbeefdeadbeef;
  return image.fetch(pc, word) ? static_cast<int64_t>(word) : -1;
}

TEST(SocAccessor, StartsEmptyAndQuiet) {
  soc_accessor_t image("sacc");
  EXPECT_EQ(image.name, "sacc");
  EXPECT_EQ(image.full_name, "/sacc");
  EXPECT_EQ(image.logger, nullptr);
  EXPECT_EQ(image.level, lynx_logger_t::NEVER);
  EXPECT_TRUE(image.image_list.empty());
  EXPECT_TRUE(image.chunk_map.empty());
  EXPECT_EQ(word_at(image, 0), -1);
  EXPECT_EQ(word_at(image, 0x80000000), -1);
}

TEST(SocAccessor, ChunksOfTwoLoadableSegments) {
  soc_accessor_t image("sacc");
  const std::string path = fixture("rv64_two_load.elf");
  image.parse_elf(path);
  ASSERT_EQ(image.image_list.size(), 1u);
  EXPECT_EQ(image.image_list[0].second, path);
  const elf_file_t& elf = *image.image_list[0].first;

  // .bss (no bits) and .debug_note (not allocated) are left out.
  ASSERT_EQ(image.segment_sections.size(), 2u);
  EXPECT_EQ(image.segment_sections[0],
            std::make_tuple(uint64_t(0x80000000), uint64_t(0x80000000), elf.find_section(".text")));
  EXPECT_EQ(image.segment_sections[1],
            std::make_tuple(uint64_t(0x80001000), uint64_t(0x80001000), elf.find_section(".data")));
  ASSERT_EQ(image.chunk_map.size(), 2u);
  EXPECT_EQ(image.chunk_map.at(0x80000040), std::make_pair(uint64_t(0x80000000), elf.find_section(".text")->bytes));
  EXPECT_EQ(image.chunk_map.at(0x80001008), std::make_pair(uint64_t(0x80001000), elf.find_section(".data")->bytes));
  ASSERT_EQ(image.symbol_tables.size(), 1u);
  EXPECT_EQ(image.symbol_tables[0], std::make_pair(&elf, elf.find_section(".symtab")));

  const struct {
    uint64_t pc;
    int64_t word;
  } cases[] = {
      {0x8000001c, 0x0000006f},  // j lynx_gdb_exit
      {0x80000018, 0x00010001},  // c.nop with the next c.nop above it
      {0x80000016, 0x00010005},  // across two instructions
      {0x8000003c, 0},           // last word of the code chunk
      {0x80001000, 0x55667788},
      {0x80001004, 0x11223344},  // exactly the last 4 bytes
      {0x80001006, 0x1122},      // last two bytes: the upper half reads as 0
      {0x80001007, 0x11},
      {0x7ffffffe, -1},          // just below the code
      {0x80000040, -1},          // a chunk's end is not part of it
      {0x80000800, -1},          // between the segments
      {0x80001008, -1},          // .bss
      {0, -1},
      {~uint64_t(0), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.pc));
    EXPECT_EQ(word_at(image, c.pc), c.word);
    uint64_t start = 0, size = 0;
    const uint8_t* bytes = nullptr;
    EXPECT_EQ(image.find_chunk(c.pc, start, bytes, size), c.word != -1);
  }
  uint64_t start = 0, size = 0;
  const uint8_t* bytes = nullptr;
  ASSERT_TRUE(image.find_chunk(0x80001006, start, bytes, size));
  EXPECT_EQ(start, 0x80001000u);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(bytes, elf.find_section(".data")->bytes);
}

TEST(SocAccessor, FetchAtTheEndOfASectionReadsNothingBeyondIt) {
  // .text ends two bytes into a word; .tail, right behind it, holds ones.
  soc_accessor_t image("sacc");
  image.parse_elf(fixture("rv32_odd_end.elf"));
  ASSERT_EQ(image.chunk_map.size(), 2u);
  EXPECT_EQ(word_at(image, 0x2000), 0x00100513);  // addi a0, zero, 1
  EXPECT_EQ(word_at(image, 0x2006), 0x460d0001);  // c.nop, c.li a2, 3 above it
  EXPECT_EQ(word_at(image, 0x2008), 0x0000460d);  // c.li a2, 3: nothing of .tail
  EXPECT_EQ(word_at(image, 0x2009), 0x00000046);
  EXPECT_EQ(word_at(image, 0x200a), 0xffffffff);
  EXPECT_EQ(word_at(image, 0x200c), 0x0000ffff);
  EXPECT_EQ(word_at(image, 0x200e), -1);
}

TEST(SocAccessor, BigEndianFileReadsLittleEndianWords) {
  soc_accessor_t image("sacc");
  image.parse_elf(fixture("rv64_be.elf"));
  EXPECT_EQ(image.image_list[0].first->big_endian(), true);
  EXPECT_EQ(word_at(image, 0x80000000), 0x00100513);  // addi a0, zero, 1
  EXPECT_EQ(word_at(image, 0x80000004), 0x0000006f);  // j .
  EXPECT_EQ(word_at(image, 0x80000008), 0x44332211);  // big-endian data word 0x11223344
  EXPECT_EQ(word_at(image, 0x8000000c), 0x0000006f);
}

TEST(SocAccessor, SegmentAddressesAndOddSections) {
  soc_accessor_t lma("sacc");
  lma.parse_elf(fixture("rv64_lma.elf"));
  ASSERT_EQ(lma.segment_sections.size(), 2u);
  EXPECT_EQ(std::get<0>(lma.segment_sections[0]), 0x80000000u);
  EXPECT_EQ(std::get<1>(lma.segment_sections[0]), 0x20000000u);
  EXPECT_EQ(std::get<0>(lma.segment_sections[1]), 0x80010000u);
  EXPECT_EQ(std::get<1>(lma.segment_sections[1]), 0x20100000u);
  EXPECT_EQ(word_at(lma, 0x80010004), 0x0000006f);  // chunks sit at run addresses
  EXPECT_EQ(word_at(lma, 0x20100004), -1);

  // .shared lies in two loadable segments: offered twice, one chunk.
  // .orphan lies in no segment, .bss has no bits, .comment_note is not
  // allocated: none of them is a chunk.
  soc_accessor_t layout("sacc");
  layout.parse_elf(fixture("rv64_layout.elf"));
  const elf_file_t& elf = *layout.image_list[0].first;
  const elf_file_t::section_t* shared = elf.find_section(".shared");
  ASSERT_EQ(layout.segment_sections.size(), 3u);
  EXPECT_EQ(std::get<2>(layout.segment_sections[0]), elf.find_section(".text"));
  EXPECT_EQ(layout.segment_sections[1], std::make_tuple(uint64_t(0x80000000), uint64_t(0x80000000), shared));
  EXPECT_EQ(layout.segment_sections[2], std::make_tuple(uint64_t(0x80000100), uint64_t(0x80000100), shared));
  EXPECT_EQ(layout.chunk_map.size(), 2u);
  EXPECT_EQ(word_at(layout, 0x80000100), 0x00100073);
  EXPECT_EQ(word_at(layout, 0x90000000), -1);
  EXPECT_EQ(word_at(layout, 0x80002000), -1);
}

TEST(SocAccessor, SeveralFilesAndOverlappingChunks) {
  // rv64_inner: .inner [0x80000010, 0x80000020) inside the code chunk of
  // rv64_two_load [0x80000000, 0x80000040); .same_end [0x80000030,
  // 0x80000040) ends with it.
  soc_accessor_t image("sacc");
  image.parse_elf(fixture("rv64_two_load.elf"));
  image.parse_elf(fixture("rv64_inner.elf"));
  EXPECT_EQ(image.image_list.size(), 2u);
  EXPECT_EQ(image.chunk_map.size(), 3u);
  EXPECT_EQ(image.segment_sections.size(), 4u);
  EXPECT_EQ(image.symbol_tables.size(), 2u);
  EXPECT_EQ(word_at(image, 0x80000014), 0xbbbbbbbb);  // the inner chunk has the smallest end
  EXPECT_EQ(word_at(image, 0x80000034), 0);           // same end: the first file's bytes
  EXPECT_EQ(word_at(image, 0x8000001c), 0xdddddddd);
  EXPECT_EQ(word_at(image, 0x80000020), 0);           // above the inner chunk: the big one again
  EXPECT_EQ(word_at(image, 0x8000001c), 0xdddddddd);
  EXPECT_EQ(word_at(image, 0x80000004), -1);  // the inner chunk starts above it and hides the big one
  EXPECT_EQ(word_at(image, 0x8000000c), -1);

  // The remembered chunk never changes an answer: every fetch, in any
  // order, agrees with a plain search of the map.
  std::vector<uint64_t> pcs;
  for (uint64_t pc = 0x7ffffff0; pc < 0x80000050; ++pc) pcs.push_back(pc);
  for (uint64_t pc = 0x80000ff0; pc < 0x80001010; ++pc) pcs.push_back(pc);
  std::vector<uint64_t> order = pcs;
  std::reverse(order.begin(), order.end());
  order.insert(order.end(), pcs.begin(), pcs.end());
  std::mt19937 rng(7);
  for (int i = 0; i < 4000; ++i) order.push_back(pcs[rng() % pcs.size()]);
  for (uint64_t pc : order) {
    uint64_t start = 0, size = 0, expected = 0;
    const uint8_t* bytes = nullptr;
    const bool found = image.find_chunk(pc, start, bytes, size);
    if (found) {
      for (uint64_t i = 0; i < 4 && pc - start + i < size; ++i) expected |= uint64_t(bytes[pc - start + i]) << (8 * i);
    }
    uint64_t word = 0;
    ASSERT_EQ(image.fetch(pc, word), found) << std::hex << pc;
    if (found) {
      ASSERT_EQ(word, expected) << std::hex << pc;
    }
  }
}

TEST(SocAccessor, EmptySectionDoesNotHideItsNeighbour) {
  // Move .shared of rv64_layout into the code at 0x80000004 with size 0.
  std::vector<uint8_t> b = read_file(fixture("rv64_layout.elf"));
  elf_file_t ref(fixture("rv64_layout.elf"));
  size_t table = 0;
  for (int i = 0; i < 8; ++i) table |= size_t(b[0x28 + i]) << (8 * i);
  const size_t shared = ref.find_section(".shared")->index;
  put_le(b, table + 64 * shared + 0x10, 0x80000004, 8);
  put_le(b, table + 64 * shared + 0x20, 0, 8);
  soc_accessor_t image("sacc");
  image.parse_elf(write_temp("empty_section.elf", b));
  EXPECT_EQ(image.segment_sections.size(), 2u);  // offered, but no chunk
  EXPECT_EQ(image.chunk_map.size(), 1u);
  EXPECT_EQ(word_at(image, 0x80000000), 0x00000013);  // nop
  EXPECT_EQ(word_at(image, 0x80000004), 0xffdff06f);  // j _start
}

TEST(SocAccessor, FilesThatCannotBeLoaded) {
  soc_accessor_t image("sacc");
  image.parse_elf(fixture("rv32_le.elf"));
  std::vector<uint8_t> cut = read_file(fixture("rv64_two_load.elf"));
  cut.resize(cut.size() - 100);  // the section table is cut
  const std::vector<std::string> bad = {fixture("no-such-file.elf"), fixture("rv32_le.s"),
                                        write_temp("cut.elf", cut)};
  for (const std::string& path : bad) {
    try {
      image.parse_elf(path);
      ADD_FAILURE() << path;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "Can't find or process ELF file: " + path);
    }
  }
  // Each failed file keeps its (empty) entry; the first file stays loaded.
  ASSERT_EQ(image.image_list.size(), 4u);
  EXPECT_EQ(image.image_list[3].second, bad[2]);
  EXPECT_FALSE(image.image_list[3].first->loaded());
  EXPECT_EQ(image.chunk_map.size(), 1u);
  EXPECT_EQ(word_at(image, 0x10000), 0x00500513);  // li a0, 5
}

TEST(SocAccessor, DebugLines) {
  std::ostringstream out;
  lynx_logger_t logger("test");
  logger.out = &out;
  logger.show_name = false;
  logger.patterns.default_level = lynx_logger_t::DEBUG;
  {
    soc_accessor_t image("sacc");
    image.set_logger(&logger);
    image.parse_elf(fixture("rv64_two_load.elf"));
  }
  EXPECT_EQ(out.str(),
            "[DEBUG]</sacc> Segment: vma = 0x80000000, lma = 0x80000000\n"
            "[DEBUG]</sacc> Section .text: size 64 address 0x80000000 flags 6\n"
            "[DEBUG]</sacc> Segment: vma = 0x80001000, lma = 0x80001000\n"
            "[DEBUG]</sacc> Section .data: size 8 address 0x80001000 flags 3\n");

  out.str("");
  logger.use_full_unit_names = false;
  {
    soc_accessor_t image("sacc");
    image.set_logger(&logger);
    image.parse_elf(fixture("rv64_lma.elf"));
  }
  EXPECT_EQ(out.str(),
            "[DEBUG]<sacc> Segment: vma = 0x80000000, lma = 0x20000000\n"
            "[DEBUG]<sacc> Section .text: size 8 address 0x80000000 flags 6\n"
            "[DEBUG]<sacc> Segment: vma = 0x80010000, lma = 0x20100000\n"
            "[DEBUG]<sacc> Section .text.late: size 8 address 0x80010000 flags 6\n");

  out.str("");
  logger.patterns.default_level = lynx_logger_t::STACKTRACE;
  {
    soc_accessor_t image("sacc");
    image.set_logger(&logger);
    image.parse_elf(fixture("rv64_lma.elf"));
  }
  EXPECT_EQ(out.str(), "");
}


// Many loadable segments over one range and many sections inside it, at
// random places: the sections offered, their order and the chunks are those
// of a plain pass over every segment and every section it holds.
TEST(SocAccessor, CraftedLayoutsOfferWhatAPlainPassOffers) {
  std::mt19937_64 rng(3);
  for (int round = 0; round < 40; ++round) {
    test_support::crafted_elf_options shape;
    shape.segments = 1 + rng() % 30;
    shape.sections = rng() % 40;
    shape.nobits = false;
    std::vector<uint8_t> b = test_support::crafted_elf(shape);
    size_t shoff = 0;
    for (int i = 0; i < 8; ++i) shoff |= size_t(b[0x28 + i]) << (8 * i);
    const uint64_t base = test_support::kCraftedText;
    for (size_t i = 0; i < shape.segments; ++i) {
      const size_t at = 64 + 56 * i;
      if (rng() % 6 == 0) put_le(b, at, PT_NOTE, 4);
      put_le(b, at + 0x10, base + 16 * (rng() % 8), 8);
      put_le(b, at + 0x18, 0x1000 * i, 8);
      put_le(b, at + 0x28, rng() % 5 == 0 ? ~uint64_t(0) : 16 * (rng() % 24), 8);
    }
    for (size_t j = 2; j < 2 + shape.sections; ++j) {
      const size_t at = shoff + 64 * j;
      const int kind = static_cast<int>(rng() % 6);
      if (kind == 0) put_le(b, at + 0x04, SHT_NOBITS, 4);
      if (kind == 1) put_le(b, at + 0x08, SHF_WRITE, 8);  // not allocated
      put_le(b, at + 0x10, base + 4 * (rng() % 64), 8);    // several share an address
      put_le(b, at + 0x20, rng() % 3 == 0 ? 0 : 4 * (rng() % 8), 8);
    }
    soc_accessor_t image("sacc");
    image.parse_elf(write_temp("crafted_layout.elf", b));
    const elf_file_t& elf = *image.image_list[0].first;

    std::vector<std::tuple<uint64_t, uint64_t, const elf_file_t::section_t*>> offered;
    std::map<uint64_t, std::pair<uint64_t, const uint8_t*>> chunks;
    for (const elf_file_t::segment_t& segment : elf.segments()) {
      if (segment.type != PT_LOAD) continue;
      for (size_t index : elf.sections_in(segment)) {
        const elf_file_t::section_t* section = elf.section(index);
        if ((section->flags & SHF_ALLOC) == 0 || section->type == SHT_NOBITS) continue;
        offered.emplace_back(segment.virtual_address, segment.physical_address, section);
        if (section->byte_count != 0) chunks.emplace(section->address + section->byte_count,
                                                     std::make_pair(section->address, section->bytes));
      }
    }
    ASSERT_EQ(image.segment_sections, offered) << round;
    ASSERT_EQ(image.chunk_map, chunks) << round;
  }
}

TEST(SocAccessor, FilesWithTooManySectionsInSegmentsAreRefused) {
  soc_accessor_t image("sacc");
  image.parse_elf(fixture("rv32_le.elf"));
  // 1024 segments holding .text and 1023 empty sections each: exactly as
  // many pairs as are supported. One section more is too many.
  test_support::crafted_elf_options shape;
  shape.segments = 1024;
  shape.sections = 1023;
  shape.nobits = false;
  image.parse_elf(write_temp("most_pairs.elf", test_support::crafted_elf(shape)));
  EXPECT_EQ(image.segment_sections.size(), 1024u * 1024u + 1);
  EXPECT_EQ(image.chunk_map.size(), 2u);
  ++shape.sections;
  const std::string path = write_temp("too_many_pairs.elf", test_support::crafted_elf(shape));
  try {
    image.parse_elf(path);
    ADD_FAILURE() << "loaded";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "ELF file " + path + " has 1049600 sections in its loadable segments: at most 1048576 are supported");
  }
  // The file joins image_list; nothing else changes.
  ASSERT_EQ(image.image_list.size(), 3u);
  EXPECT_EQ(image.image_list[2].second, path);
  EXPECT_EQ(image.segment_sections.size(), 1024u * 1024u + 1);
  EXPECT_EQ(image.chunk_map.size(), 2u);
  EXPECT_EQ(image.symbol_tables.size(), 1u);
  EXPECT_EQ(word_at(image, test_support::kCraftedText), test_support::kCraftedInsn);
}

}  // namespace
