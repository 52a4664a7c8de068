#pragma once
// One --skip-range value: PCs from start to end, both included, compared as
// unsigned numbers.

#include <tclap/CmdLine.h>

#include <cstdint>
#include <string>
#include <vector>

struct SkipRangeArg {
  int64_t start = 0;
  int64_t end = 0;

  // Parses "start:end" (each in C notation: 0x.. hexadecimal, 0.. octal, else
  // decimal); raises TCLAP::ArgParseException for any other text.
  SkipRangeArg& operator=(const std::string& text);

  bool contains(uint64_t pc) const {
    return static_cast<uint64_t>(start) <= pc && pc <= static_cast<uint64_t>(end);
  }
};

// The command-line library hands the whole value text to the assignment
// above instead of splitting it at blanks.
namespace TCLAP {
template <>
struct ArgTraits<SkipRangeArg> {
  typedef StringLike ValueCategory;
};
}  // namespace TCLAP

inline bool in_skip_ranges(const std::vector<SkipRangeArg>& ranges, uint64_t pc) {
  for (const SkipRangeArg& r : ranges)
    if (r.contains(pc)) return true;
  return false;
}
