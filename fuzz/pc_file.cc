// Fuzz target: tracecheck's reading of the PC file and its comparison loop.
// The input is a small header, a list of reference records and the PC file
// text:
//   byte 0     bits 0-1: number of skip ranges (0 to 3); bits 2-7: records
//   6 bytes    per record (see make_record)
//   the rest   the PC file
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "compare.h"
#include "et_reader.h"
#include "et_records.h"
#include "lynx_logger.h"
#include "skip_range.h"

namespace {

constexpr uint64_t base = 0x80000000;
constexpr uint64_t exit_address = base + 0x100;

// Instruction words a record may carry: plain, compressed, a word store
// (the MSI end), fused pairs of both first-instruction lengths.
constexpr uint64_t words[8] = {
    0x00a50513,                                   // addi
    0x4501,                                       // c.li
    0x00a52023,                                   // sw
    0xA000000000000000ull | (0x37ull << 7) | 0x3F,  // lui + load pair
    0x8000000000000000ull | (0x01ull << 7) | 0x1F,  // pair led by a 2-byte instruction
    0x00000073,                                   // ecall
    0x0000006f,                                   // j .
    0,
};

// A fixed list of records as the reader would hand them out.
class list_reader_t : public et_reader_t {
 public:
  explicit list_reader_t(std::vector<et_object_t> r) : records(std::move(r)) {}
  et_object_t* get_next_object() override {
    return next < records.size() ? &records[next++] : nullptr;
  }

 private:
  std::vector<et_object_t> records;
  size_t next = 0;
};

// pc: 16 bits of halfword offset from base, or the exit address; flags:
// bit 0 a record of another kind, bit 1 committed, bit 2 trap, bit 3
// interrupt, bit 4 trigger, bit 5 physical address valid, bit 6 the exit
// address as PC, bit 7 the MSI address as physical address.
et_object_t make_record(const uint8_t* p) {
  et_object_t o;
  std::memset(static_cast<void*>(&o), 0, sizeof(o));
  const uint8_t flags = p[3];
  o.type = (flags & 1) ? ET_KIND_RVT : ET_KIND_INSN;
  et_insn_t& r = o.insn;
  r.pc = (flags & 0x40) ? exit_address : base + 2 * (uint64_t(p[0]) | uint64_t(p[1]) << 8);
  r.insn = words[p[2] & 7];
  r.committed = flags & 2;
  r.trap = flags & 4;
  r.intr = flags & 8;
  r.trig = flags & 0x10;
  r.pa_valid = flags & 0x20;
  r.pa = (flags & 0x80) ? MSI_ADDRESS : base + p[5];
  r.cause = p[4] & 0x3f;
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Verdict lines are built as in a run, but written nowhere.
  lynx_logger_t* logger = lynx_static_logger_t::get();
  logger->out = nullptr;
  logger->patterns.default_level = lynx_logger_t::INFO;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t range_count = data[0] & 3, record_count = data[0] >> 2;
  size_t at = 1;
  std::vector<SkipRangeArg> ranges;
  for (size_t i = 0; i < range_count && at + 2 <= size; ++i, at += 2) {
    SkipRangeArg r;
    r.start = static_cast<int64_t>(base + 2 * data[at]);
    r.end = static_cast<int64_t>(r.start + 2 * data[at + 1]);
    ranges.push_back(r);
  }
  std::vector<et_object_t> records;
  for (size_t i = 0; i < record_count && at + 6 <= size; ++i, at += 6) records.push_back(make_record(data + at));
  const std::string text(reinterpret_cast<const char*>(data + at), size - at);

  // The PC file alone: every PC outside the ranges, then the end.
  {
    std::istringstream in(text);
    uint64_t pc = 0;
    try {
      for (size_t n = 0;; ++n) {
        if (read_next_pc(in, pc, ranges)) break;
        if (n > text.size()) __builtin_trap();  // more PCs than the text has characters
        if (in_skip_ranges(ranges, pc)) __builtin_trap();
      }
    } catch (const std::runtime_error&) {
    }
  }
  // Both traces side by side.
  {
    list_reader_t reference(std::move(records));
    std::istringstream in(text);
    try {
      const int verdict = compare_traces(reference, in, ranges, exit_address);
      if (verdict != 0 && verdict != -1) __builtin_trap();
    } catch (const std::runtime_error&) {
    }
  }
  return 0;
}
