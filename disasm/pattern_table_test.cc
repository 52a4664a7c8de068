#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "disasm.h"
#include "disassembler_test_access.h"
#include "insn_ids.h"
#include "test_isa.h"

namespace {

using access = disassembler_test_access;

bool is_fallback(const disasm_insn_t* p) {
  static const std::string tail = " (args unknown)";
  return p->name.size() > tail.size() &&
         p->name.compare(p->name.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<const disasm_insn_t*> all_patterns(const disassembler_t& d) {
  std::vector<const disasm_insn_t*> all;
  for (size_t c = 0; c < disassembler_t::CHAIN_COUNT; ++c)
    for (const disasm_insn_t* p : access::chain(d, c)) all.push_back(p);
  return all;
}

size_t specific_count(const disassembler_t& d) {
  size_t n = 0;
  for (const disasm_insn_t* p : all_patterns(d)) n += !is_fallback(p);
  return n;
}

TEST(PatternTable, CountsWithEveryExtension) {
  struct {
    int xlen;
    size_t specific, total;
  } cases[] = {{64, 2025, 3387}, {32, 1910, 3272}};
  for (const auto& c : cases) {
    disassembler_t d(c.xlen);
    EXPECT_EQ(specific_count(d), c.specific) << c.xlen;
    EXPECT_EQ(access::pattern_count(d), c.total) << c.xlen;
  }
}

// Rows of tests/data/disasm/as_words.tsv: words produced by the GNU assembler
// from source lines, with the id and text this disassembler must give them.
TEST(PatternTable, AssemblerWords) {
  const char* dir = std::getenv("TRACE_TEST_DATA_DIR");
  const std::string path = std::string(dir ? dir : TRACE_TEST_DATA_DIR) + "/disasm/as_words.tsv";
  std::ifstream in(path);
  ASSERT_TRUE(in) << path;
  disassembler_t d64(64), d32(32);
  std::string line;
  size_t rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string xlen, word, id, text, source;
    ASSERT_TRUE(std::getline(fields, xlen, '\t') && std::getline(fields, word, '\t') &&
                std::getline(fields, id, '\t') && std::getline(fields, text, '\t'))
        << line;
    std::getline(fields, source, '\t');
    const disassembler_t& d = xlen == "32" ? d32 : d64;
    const uint64_t value = std::stoull(word, nullptr, 16);
    const disasm_insn_t* p = d.get_disasm(value);
    ASSERT_NE(p, nullptr) << source;
    EXPECT_EQ(p->insn_id, std::stoul(id)) << source << " -> " << p->name;
    EXPECT_EQ(d.disassemble(value), text) << source << " (rv" << xlen << ", " << word << ")";
    if (word.size() == 6) {
      // A compressed word decodes the same whatever follows it.
      EXPECT_EQ(d.disassemble(value | 0xdead0000), text) << source;
    }
    ++rows;
  }
  EXPECT_GT(rows, 500u);
}

}  // namespace
