#include "lynx_logger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <regex>
#include <vector>

namespace {

using L = lynx_logger_t;

bool listed(const std::vector<logger_unit_t*>& list, const logger_unit_t* u) {
  return std::find(list.begin(), list.end(), u) != list.end();
}

TEST(LevelFromStr, NumbersAndNames) {
  const std::pair<const char*, int> cases[] = {
      {"3", 3},       {"5abc", 5},       {"0", 0},     {"6", 6},          {"7", 6},
      {"12", 6},      {"4294967299", 6}, {"99999999999999999999", 6},
      {"info", 3},    {"Info", 3},       {"INFO", 3},  {"stacktrace", 4}, {"never", 0},
      {"Error", 1},   {"warning", 2},    {"DeBuG", 5}, {"", 6},           {"verbose", 6},
      {"b:c", 6},     {" info", 6},      {"info ", 6},
  };
  for (const auto& c : cases) EXPECT_EQ(L::log_level_from_str(c.first), c.second) << '"' << c.first << '"';
}

TEST(StrHash, StandardCrc32) {
  EXPECT_EQ(str_hash_runtime(""), 0u);
  EXPECT_EQ(str_hash_runtime("123456789"), 0xCBF43926u);  // the CRC-32 check value
  EXPECT_EQ(str_hash_runtime("a"), 0xE8B7BE43u);
  EXPECT_EQ(str_hash_runtime(std::string("\0\xff", 2)), 0x6CDBFD72u);
}

TEST(Patterns, AddLogPattern) {
  struct pattern_case {
    const char* text;
    int default_level;  // expected afterwards
    const char* entry_finds;  // a name the added entry finds; null: no entry
    const char* entry_misses;  // a name it does not find
    int entry_level;
  };
  const pattern_case cases[] = {
      {"WARNING", 2, nullptr, nullptr, 0},
      {":debug", 5, nullptr, nullptr, 0},
      {"^/sacc$:info", 0, "/sacc", "/sacc2", 3},
      {"a:b:c", 0, "/xay", "/b:c", 6},
      {"x:", 0, "/x", "/y", 6},  // missing level text lets everything through
  };
  for (const auto& c : cases) {
    L::log_patterns_t p;
    p.add_log_pattern(c.text);
    EXPECT_EQ(p.default_level, c.default_level) << c.text;
    if (c.entry_finds == nullptr) {
      EXPECT_TRUE(p.entries.empty()) << c.text;
      continue;
    }
    ASSERT_EQ(p.entries.size(), 1u) << c.text;
    EXPECT_EQ(p.entries[0].second, c.entry_level) << c.text;
    EXPECT_EQ(p.get_unit_log_level(c.entry_finds), c.entry_level) << c.text;
    EXPECT_EQ(p.get_unit_log_level(c.entry_misses), L::NEVER) << c.text;
  }
}

TEST(Patterns, BadExpressionRaisesAndAddsNothing) {
  L::log_patterns_t p;
  p.add_log_pattern("ok:1");
  for (const char* bad : {"(:info", "[a:2", "a{2,1}:3", "*x:1"}) {
    EXPECT_THROW(p.add_log_pattern(bad), std::regex_error) << bad;
    EXPECT_EQ(p.entries.size(), 1u) << bad;
    EXPECT_EQ(p.default_level, L::NEVER) << bad;
  }
}

TEST(Patterns, FirstFoundEntryWins) {
  L::log_patterns_t p;
  p.default_level = L::WARNING;
  p.add_log_pattern("sac:5");
  p.add_log_pattern("/s:1");
  EXPECT_EQ(p.get_unit_log_level("/sacc"), L::DEBUG);  // a search, not a whole match
  EXPECT_EQ(p.get_unit_log_level("/sx"), L::ERROR);
  EXPECT_EQ(p.get_unit_log_level("/top"), L::WARNING);
}

TEST(Units, RootUnitAttachAndRecache) {
  logger_unit_t u("sacc");
  EXPECT_EQ(u.name, "sacc");
  EXPECT_EQ(u.full_name, "/sacc");
  EXPECT_EQ(u.logger, nullptr);
  EXPECT_EQ(u.level, L::NEVER);
  EXPECT_EQ(u.parent, nullptr);
  EXPECT_TRUE(u.children.empty());

  L logger("root");
  logger.patterns.default_level = L::INFO;
  u.set_logger(&logger);
  EXPECT_EQ(u.logger, &logger);
  EXPECT_EQ(u.level, L::INFO);
  ASSERT_EQ(logger.units.size(), 1u);
  EXPECT_EQ(logger.units[0], &u);

  // Changing the patterns leaves cached levels alone until a recache.
  logger.patterns.add_log_pattern("^/sacc$:debug");
  EXPECT_EQ(u.level, L::INFO);
  logger.auto_recache_log_levels();
  EXPECT_EQ(u.level, L::DEBUG);

  u.set_logger(&logger);  // attaching again does not list the unit twice
  EXPECT_EQ(logger.units.size(), 1u);

  u.set_logger(nullptr);
  EXPECT_EQ(u.logger, nullptr);
  EXPECT_EQ(u.level, L::NEVER);
}

TEST(Units, TreeFollowsParentLoggerAndNames) {
  L logger("root");
  logger.patterns.default_level = L::ERROR;
  logger.patterns.add_log_pattern("^/top/mid$:info");
  logger.patterns.add_log_pattern("leaf:debug");

  logger_unit_t top("top");
  top.set_logger(&logger);
  logger_unit_t mid("mid", &top);
  logger_unit_t leaf("leaf", &mid);

  EXPECT_EQ(mid.full_name, "/top/mid");
  EXPECT_EQ(leaf.full_name, "/top/mid/leaf");
  EXPECT_EQ(leaf.name, "leaf");
  ASSERT_EQ(top.children.size(), 1u);
  EXPECT_EQ(top.children[0], &mid);
  EXPECT_EQ(leaf.parent, &mid);
  EXPECT_EQ(top.level, L::ERROR);
  EXPECT_EQ(mid.level, L::INFO);
  EXPECT_EQ(leaf.level, L::DEBUG);
  // Only the root unit is registered with the logger.
  ASSERT_EQ(logger.units.size(), 1u);
  EXPECT_EQ(logger.units[0], &top);

  logger.patterns.default_level = L::WARNING;
  logger.patterns.entries.clear();
  logger.auto_recache_log_levels();
  EXPECT_EQ(top.level, L::WARNING);
  EXPECT_EQ(mid.level, L::WARNING);
  EXPECT_EQ(leaf.level, L::WARNING);

  top.set_logger(nullptr);
  EXPECT_EQ(leaf.logger, nullptr);
  EXPECT_EQ(leaf.level, L::NEVER);
  EXPECT_TRUE(logger.units.empty());
}

TEST(Units, UnitWithoutLoggerStaysSilent) {
  logger_unit_t top("top");
  logger_unit_t child("c", &top);
  EXPECT_EQ(child.logger, nullptr);
  EXPECT_EQ(child.level, L::NEVER);
  child.recache_log_level();
  EXPECT_EQ(child.level, L::NEVER);
}

// Destroyed units and loggers must not leave dangling pointers behind; the
// sanitizer build turns any use of one into a failure.
TEST(Units, DestructionUnlinks) {
  L logger("root");
  logger.patterns.default_level = L::INFO;
  {
    logger_unit_t gone("gone");
    gone.set_logger(&logger);
    EXPECT_TRUE(listed(logger.units, &gone));
  }
  EXPECT_TRUE(logger.units.empty());
  logger.auto_recache_log_levels();

  auto parent = std::make_unique<logger_unit_t>("p");
  parent->set_logger(&logger);
  logger_unit_t child("c", parent.get());
  {
    logger_unit_t sibling("s", parent.get());
  }
  ASSERT_EQ(parent->children.size(), 1u);
  EXPECT_EQ(parent->children[0], &child);
  parent.reset();
  EXPECT_EQ(child.parent, nullptr);
  EXPECT_EQ(child.full_name, "/p/c");
  EXPECT_TRUE(listed(logger.units, &child));  // still reached by a recache
  logger.patterns.default_level = L::DEBUG;
  logger.auto_recache_log_levels();
  EXPECT_EQ(child.level, L::DEBUG);

  auto other = std::make_unique<L>("other");
  other->patterns.default_level = L::ERROR;
  child.set_logger(other.get());
  EXPECT_FALSE(listed(logger.units, &child));
  EXPECT_TRUE(listed(other->units, &child));
  other.reset();
  EXPECT_EQ(child.logger, nullptr);
  EXPECT_EQ(child.level, L::NEVER);
  child.recache_log_level();
}

TEST(Demangle, BacktraceLines) {
  struct demangle_case {
    const char* line;
    const char* expected;
  };
  const demangle_case cases[] = {
      {"./prog(_Z3foov+0x1a) [0x4005d6]", "foo() +0x1a [0x4005d6]"},
      {"./prog(main+0x1a) [0x4005d6]", "main +0x1a [0x4005d6]"},
      {"./prog(_Z3foov) [0x4005d6]", "./prog(_Z3foov) [0x4005d6]"},
      {"./prog(_Z3foov+0x1a [0x4005d6]", "./prog(_Z3foov+0x1a [0x4005d6]"},
      {"./a+b(sym) [0x1]", "./a+b(sym) [0x1]"},  // "+" before "("
      {"", ""},
  };
  for (const auto& c : cases) {
    std::vector<char> buf(c.line, c.line + std::strlen(c.line) + 1);
    EXPECT_EQ(demangleBacktraceSymbol(buf.data()), c.expected) << c.line;
  }
}

}  // namespace
