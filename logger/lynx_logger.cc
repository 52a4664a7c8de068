#include "lynx_logger.h"

#include <sys/time.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Byte-at-a-time CRC-32 table (reflected polynomial 0xEDB88320).
struct crc_table_t {
  std::uint32_t v[256];
  constexpr crc_table_t() : v() {
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      v[i] = c;
    }
  }
};
constexpr crc_table_t crc_table;

constexpr std::uint32_t crc32(const char* s, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i)
    c = crc_table.v[(c ^ static_cast<unsigned char>(s[i])) & 0xFF] ^ (c >> 8);
  return ~c;
}

constexpr std::uint32_t crc32(const char* s) {
  std::size_t n = 0;
  while (s[n]) ++n;
  return crc32(s, n);
}

}  // namespace

std::uint32_t str_hash_runtime(const std::string& text) {
  return crc32(text.data(), text.size());
}

lynx_logger_t::lynx_logger_t(const std::string& logger_name) : name(logger_name) {}

lynx_logger_t::~lynx_logger_t() {
  // Detaching a unit takes it off `units`, so work on a copy of the list.
  std::vector<logger_unit_t*> attached;
  attached.swap(units);
  for (logger_unit_t* u : attached)
    if (u->logger == this) u->set_logger(nullptr);
}

std::string lynx_logger_t::log_level_to_str(log_level_t level) {
  switch (level) {
    case NEVER: return "NEVER";
    case ERROR: return "ERROR";
    case WARNING: return "WARNING";
    case INFO: return "INFO";
    case STACKTRACE: return "STACKTRACE";
    case DEBUG: return "DEBUG";
    default: return "UNKNOWN";
  }
}

lynx_logger_t::log_level_t lynx_logger_t::log_level_from_str(const std::string& text) {
  if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0]))) {
    // Range-check the long before narrowing it, so that a huge number can
    // not wrap around into a valid level.
    long v = std::strtol(text.c_str(), nullptr, 10);
    return (v >= NEVER && v <= UNKNOWN) ? static_cast<log_level_t>(v) : UNKNOWN;
  }
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  switch (str_hash_runtime(upper)) {
    case crc32("NEVER"): return NEVER;
    case crc32("ERROR"): return ERROR;
    case crc32("WARNING"): return WARNING;
    case crc32("INFO"): return INFO;
    case crc32("STACKTRACE"): return STACKTRACE;
    case crc32("DEBUG"): return DEBUG;
    default: return UNKNOWN;
  }
}

std::string lynx_logger_detail::format_time_part(const struct timeval& tv) {
  time_t secs = tv.tv_sec;
  struct tm local;
  char buf[64] = "";
  if (localtime_r(&secs, &local) != nullptr) std::strftime(buf, sizeof buf, "%Y/%m/%d %T", &local);
  char ms[32];
  std::snprintf(ms, sizeof ms, ".%03ld", static_cast<long>(tv.tv_usec) / 1000);
  std::string part("[");
  part += buf;
  part += ms;
  part += ']';
  return part;
}

std::string lynx_logger_t::create_line_header(log_level_t level, const char* unit) const {
  std::string header;
  if (show_name || show_level) {
    header += '[';
    if (show_name) header += name;
    if (show_name && show_level) header += " : ";
    if (show_level) header += log_level_to_str(level);
    header += ']';
  }
  if (show_time) {
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    header += lynx_logger_detail::format_time_part(tv);
  }
  header += '<';
  header += unit;
  header += '>';
  return header;
}

void lynx_logger_t::log(log_level_t level, const char* unit, const char* text) const {
  if (out == nullptr) return;
  *out << create_line_header(level, unit) << ' ' << text << std::endl;
}

void lynx_logger_t::auto_recache_log_levels() {
  for (logger_unit_t* u : units) {
    u->level = u->logger ? u->logger->patterns.get_unit_log_level(u->full_name) : NEVER;
    for (logger_unit_t* child : u->children) child->recache_log_level();
  }
}

void lynx_logger_t::log_patterns_t::add_log_pattern(const std::string& text) {
  std::string::size_type colon = text.find(':');
  std::string pattern;
  std::string level_text = text;
  if (colon != std::string::npos) {
    pattern = text.substr(0, colon);
    level_text = text.substr(colon + 1);
  }
  log_level_t level = log_level_from_str(level_text);
  if (pattern.empty()) {
    default_level = level;
    return;
  }
  // Compiled before anything changes, so a bad expression adds nothing.
  std::regex re(pattern, std::regex::ECMAScript);
  entries.emplace_back(std::move(re), level);
}

lynx_logger_t::log_level_t lynx_logger_t::log_patterns_t::get_unit_log_level(std::string full_name) const {
  for (const auto& entry : entries)
    if (std::regex_search(full_name, entry.first)) return entry.second;
  return default_level;
}

lynx_logger_t* lynx_static_logger_t::logger_ = nullptr;

lynx_logger_t* lynx_static_logger_t::get() {
  if (logger_ != nullptr) return logger_;
  logger_ = new lynx_logger_t("root");
  logger_->show_name = false;
  return logger_;
}
