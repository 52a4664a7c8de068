// The process logger, its line format and levels, and the per-component
// logger units whose levels follow regular-expression patterns on their
// hierarchical names.
//
// Callers test the level in force (a unit's cached `level`, or the
// `default_level` of the logger's `patterns`) before they build a message, so
// a message nobody wants is never formatted:
//
//   if (unit.level >= lynx_logger_t::DEBUG && unit.logger)
//     unit.logger->log(lynx_logger_t::DEBUG, unit_text, msg.c_str());
#ifndef LYNX_LOGGER_H
#define LYNX_LOGGER_H

#include <cstdint>
#include <ostream>
// GCC 12 raises a false -Wmaybe-uninitialized inside <regex> when it
// compiles an expression with optimisation and sanitizers on.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#else
#include <regex>
#endif
#include <string>
#include <utility>
#include <vector>

struct timeval;
class logger_unit_t;

class lynx_logger_t {
public:
  // Levels are ordered: a level in force of N lets through every message
  // whose level is at most N. UNKNOWN is what a level text naming no level
  // converts to; it lets everything through.
  enum log_level_t : int {
    NEVER = 0,
    ERROR = 1,
    WARNING = 2,
    INFO = 3,
    STACKTRACE = 4,
    DEBUG = 5,
    UNKNOWN = 6,
  };

  // The default level and the ordered level patterns. A unit's level is the
  // level of the first entry whose expression is found in its full name, or
  // the default level when none is.
  struct log_patterns_t {
    log_level_t default_level = NEVER;
    std::vector<std::pair<std::regex, log_level_t>> entries;

    // "regex:level" appends an entry; "level" or ":level" sets the default
    // level. Raises std::regex_error for a bad expression, adding nothing.
    void add_log_pattern(const std::string& text);
    log_level_t get_unit_log_level(std::string full_name) const;
  };

  std::string name;
  std::ostream* out = nullptr;      // not owned; null writes nothing
  bool show_name = true;
  bool show_level = true;
  bool use_full_unit_names = true;  // read by callers that log through a unit
  bool show_time = false;
  log_patterns_t patterns;
  std::vector<logger_unit_t*> units;  // root units attached here; not owned

  explicit lynx_logger_t(const std::string& logger_name);
  // Detaches every unit still attached, so none keeps a dangling logger.
  ~lynx_logger_t();
  lynx_logger_t(const lynx_logger_t&) = delete;
  lynx_logger_t& operator=(const lynx_logger_t&) = delete;

  // Writes header, one blank, text and a line end to `out`, then flushes.
  void log(log_level_t level, const char* unit, const char* text) const;
  // The header of one line, without the blank that follows it.
  std::string create_line_header(log_level_t level, const char* unit) const;

  static std::string log_level_to_str(log_level_t level);
  // A decimal number (leading digits) or a level name in any case; every
  // text that names no level from 0 to 6 gives UNKNOWN.
  static log_level_t log_level_from_str(const std::string& text);

  // Recomputes the cached levels of every attached unit and its subtree;
  // call it after `patterns` changed.
  void auto_recache_log_levels();
};

// A component's logging handle: a named node in a tree of units that caches
// the level its logger's patterns give its full name.
class logger_unit_t {
public:
  std::string name;
  std::string full_name;  // "/" + name for a root unit, else parent's + "/" + name
  lynx_logger_t* logger = nullptr;  // not owned
  lynx_logger_t::log_level_t level = lynx_logger_t::NEVER;
  logger_unit_t* parent = nullptr;  // not owned
  std::vector<logger_unit_t*> children;  // not owned, in the order added

  // A unit with a parent joins the parent's children and its logger.
  explicit logger_unit_t(const std::string& unit_name,
                         logger_unit_t* parent_unit = nullptr);
  // Unlinks the unit from its parent, its children and its logger, so that
  // none of them is left holding a dangling pointer.
  ~logger_unit_t();
  logger_unit_t(const logger_unit_t&) = delete;
  logger_unit_t& operator=(const logger_unit_t&) = delete;

  // Attaches the unit and its subtree to `l` (may be null) and refreshes
  // their cached levels.
  void set_logger(lynx_logger_t* l);
  // Recomputes the cached level of this unit and its subtree.
  void recache_log_level();
};

// Access to the process logger ("root", level and unit shown, name hidden),
// created on the first call and never destroyed.
struct lynx_static_logger_t {
  static lynx_logger_t* logger_;
  static lynx_logger_t* get();
};

// CRC-32 (IEEE 802.3) of the text's bytes; 0 for the empty text.
std::uint32_t str_hash_runtime(const std::string& text);

// Makes the mangled symbol of one back-trace line ("module(symbol+offset)
// rest") readable: "symbol +offset rest". Lines of any other shape come back
// unchanged. Writes string ends into `line`.
std::string demangleBacktraceSymbol(char* line);

extern "C" void liblogger_is_present();
extern "C" void lynx_logger_is_present();

namespace lynx_logger_detail {
// The time part of a header for the given moment: "[%Y/%m/%d %T.mmm]" in
// local time. Split out of create_line_header so a fixed clock can be tested.
std::string format_time_part(const struct timeval& tv);
}  // namespace lynx_logger_detail

#endif  // LYNX_LOGGER_H
