// Fuzz target: tracecheck's reading of the PC file and its comparison loop.
// The input is a small header, a list of reference records and the PC file
// text:
//   byte 0     bits 0-1: number of skip ranges (0 to 3); bits 2-7: records
//              (bits 5-7 also set how many characters, 1 to 8, a second
//              reading of the PC file gets from its buffer at a time)
//   6 bytes    per record (see make_record)
//   the rest   the PC file
#include <algorithm>
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

// Hands out its text a few characters at a time, as a file buffer does in
// blocks: PCs and white space then straddle refills.
class chunked_buffer_t : public std::streambuf {
 public:
  chunked_buffer_t(const std::string& t, size_t n) : text(t), chunk(n) {}

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (at >= text.size()) return traits_type::eof();
    const size_t n = std::min(chunk, text.size() - at);
    setg(&text[at], &text[at], &text[at] + n);
    at += n;
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::string text;
  size_t chunk;
  size_t at = 0;
};

// Every PC read_next_pc hands out, then 1 at the end or 2 for a failure.
std::vector<uint64_t> read_all(std::istream& in, const std::vector<SkipRangeArg>& ranges,
                               size_t text_size) {
  std::vector<uint64_t> pcs;
  uint64_t pc = 0;
  try {
    for (;;) {
      if (read_next_pc(in, pc, ranges)) break;
      if (pcs.size() > text_size) __builtin_trap();  // more PCs than the text has characters
      if (in_skip_ranges(ranges, pc)) __builtin_trap();
      pcs.push_back(pc);
    }
    pcs.push_back(1);
  } catch (const std::runtime_error&) {
    pcs.push_back(2);
  }
  return pcs;
}

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

  // The PC file alone: every PC outside the ranges, then the end; the same
  // whether the buffer holds the whole text or a few characters at a time.
  {
    std::istringstream in(text);
    const std::vector<uint64_t> whole = read_all(in, ranges, text.size());
    chunked_buffer_t buffer(text, 1 + (data[0] >> 5));
    std::istream chunked(&buffer);
    if (read_all(chunked, ranges, text.size()) != whole) __builtin_trap();
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
