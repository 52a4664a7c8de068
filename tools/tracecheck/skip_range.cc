#include "skip_range.h"

#include <sstream>

SkipRangeArg& SkipRangeArg::operator=(const std::string& text) {
  std::istringstream in(text);
  std::string start_text;
  std::string end_text;
  std::getline(in, start_text, ':');
  std::getline(in, end_text, ':');
  try {
    const int64_t s = std::stoll(start_text, nullptr, 0);
    const int64_t e = std::stoll(end_text, nullptr, 0);
    start = s;
    end = e;
  } catch (const std::exception&) {
    throw TCLAP::ArgParseException("Invalid skip-range format. Use <start>:<end> format.");
  }
  return *this;
}
