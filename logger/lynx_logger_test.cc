#include "lynx_logger.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <ctime>
#include <regex>
#include <sstream>

namespace {

using L = lynx_logger_t;

struct header_case {
  bool show_name, show_level, show_time;
  const char* expected;  // regular expression; TIME stands for the time part
};

TEST(LoggerHeader, AllShowCombinations) {
  const header_case cases[] = {
      {true, true, false, R"(\[root : ERROR\]<sacc>)"},
      {true, false, false, R"(\[root\]<sacc>)"},
      {false, true, false, R"(\[ERROR\]<sacc>)"},
      {false, false, false, R"(<sacc>)"},
      {true, true, true, R"(\[root : ERROR\]TIME<sacc>)"},
      {true, false, true, R"(\[root\]TIME<sacc>)"},
      {false, true, true, R"(\[ERROR\]TIME<sacc>)"},
      {false, false, true, R"(TIME<sacc>)"},
  };
  const std::string time_part = R"(\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\])";
  L logger("root");
  for (const auto& c : cases) {
    logger.show_name = c.show_name;
    logger.show_level = c.show_level;
    logger.show_time = c.show_time;
    std::string re = std::regex_replace(std::string(c.expected), std::regex("TIME"), time_part);
    std::string header = logger.create_line_header(L::ERROR, "sacc");
    EXPECT_TRUE(std::regex_match(header, std::regex(re))) << header << " !~ " << re;
  }
}

TEST(LoggerHeader, TimePartOfFixedMoment) {
  struct tm local = {};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 11;
  local.tm_mday = 7;
  local.tm_hour = 22;
  local.tm_min = 5;
  local.tm_sec = 7;
  local.tm_isdst = -1;
  struct timeval tv = {};
  tv.tv_sec = mktime(&local);
  tv.tv_usec = 42999;  // milliseconds truncate, never round
  EXPECT_EQ(lynx_logger_detail::format_time_part(tv), "[2026/12/07 22:05:07.042]");
  tv.tv_usec = 999999;
  EXPECT_EQ(lynx_logger_detail::format_time_part(tv), "[2026/12/07 22:05:07.999]");
  tv.tv_usec = 0;
  EXPECT_EQ(lynx_logger_detail::format_time_part(tv), "[2026/12/07 22:05:07.000]");
}

TEST(LoggerLevels, Texts) {
  const std::pair<int, const char*> cases[] = {
      {0, "NEVER"}, {1, "ERROR"}, {2, "WARNING"}, {3, "INFO"}, {4, "STACKTRACE"},
      {5, "DEBUG"}, {6, "UNKNOWN"}, {7, "UNKNOWN"}, {-1, "UNKNOWN"}, {1000, "UNKNOWN"},
  };
  L logger("root");
  logger.show_name = false;
  for (const auto& c : cases) {
    auto level = static_cast<L::log_level_t>(c.first);
    EXPECT_EQ(L::log_level_to_str(level), c.second) << c.first;
    EXPECT_EQ(logger.create_line_header(level, "u"), std::string("[") + c.second + "]<u>");
  }
}

TEST(LoggerLog, WritesOneFlushedLine) {
  L logger("root");
  std::ostringstream os;
  logger.out = &os;
  logger.log(L::WARNING, "sacc", "first");
  logger.show_name = false;
  logger.log(L::DEBUG, "/top/sacc", "second line");
  EXPECT_EQ(os.str(), "[root : WARNING]<sacc> first\n[DEBUG]</top/sacc> second line\n");
}

TEST(LoggerLog, NullOutWritesNothing) {
  L logger("root");
  ASSERT_EQ(logger.out, nullptr);
  logger.log(L::ERROR, "sacc", "dropped");  // must not crash
}

TEST(LoggerLog, NewLoggerDefaults) {
  L logger("x");
  EXPECT_EQ(logger.name, "x");
  EXPECT_EQ(logger.out, nullptr);
  EXPECT_TRUE(logger.show_name);
  EXPECT_TRUE(logger.show_level);
  EXPECT_TRUE(logger.use_full_unit_names);
  EXPECT_FALSE(logger.show_time);
  EXPECT_EQ(logger.patterns.default_level, L::NEVER);
  EXPECT_TRUE(logger.patterns.entries.empty());
  EXPECT_TRUE(logger.units.empty());
}

TEST(StaticLogger, OneSharedProcessLogger) {
  lynx_logger_t* a = lynx_static_logger_t::get();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->name, "root");
  EXPECT_FALSE(a->show_name);
  EXPECT_TRUE(a->show_level);

  std::ostringstream os;
  std::ostream* saved_out = a->out;
  L::log_level_t saved_level = a->patterns.default_level;
  a->out = &os;
  a->patterns.default_level = L::INFO;

  lynx_logger_t* b = lynx_static_logger_t::get();
  EXPECT_EQ(a, b);
  EXPECT_EQ(b->patterns.default_level, L::INFO);
  b->log(L::INFO, "tracecheck", "Traces are equal.");
  EXPECT_EQ(os.str(), "[INFO]<tracecheck> Traces are equal.\n");

  a->out = saved_out;
  a->patterns.default_level = saved_level;
}

}  // namespace
