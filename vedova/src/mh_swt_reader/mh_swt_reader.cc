#include "mh_swt_reader.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <new>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "swt_format.h"

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the bit reader loads file blocks as little-endian integers"
#endif

namespace {

constexpr uint64_t ring_mask = mh_swt_reader_t::ring_size - 1;
static_assert((mh_swt_reader_t::ring_size & ring_mask) == 0, "ring size must be a power of two");

constexpr unsigned piid_entries = 1u << SWT_PIID_WIDTH;
constexpr uint64_t no_piid = ~uint64_t(0);  // the piid is still to be read

// Fixed traffic field widths.
constexpr int addr_bits = 40;  // a, vca
constexpr int u_bits = 20;
constexpr int rid_bits = 3;
constexpr int id_bits = 8;

std::string dec(uint64_t v) { return std::to_string(v); }

std::string hex(uint64_t v) {
  std::ostringstream s;
  s << std::hex << v;
  return s.str();
}

// Rejects design parameters that the file format cannot carry, so that the
// reader never shifts by more than 64 bits or reads a data layout it has no
// room for.
void reject_width(const char* name, const std::string& value) {
  throw std::runtime_error(std::string("Invalid swt design parameter: ") + name + " is " + value +
                           ", it must be 1 to 64 bits");
}

void check_width(const char* name, int value) {
  if (value < 1 || value > 64) reject_width(name, std::to_string(value));
}

void check_width(const char* name, unsigned long value) {
  if (value < 1 || value > 64) reject_width(name, std::to_string(value));
}

void check_design(int xlen, int flen, unsigned long pa_bits, unsigned long irf_data_bits, unsigned long cl_width,
                  unsigned long cl_chunks) {
  check_width("XLEN", xlen);
  check_width("FLEN", flen);
  check_width("PADDR_WIDTH", pa_bits);
  check_width("IRF_DATA_WIDTH", irf_data_bits);
  if (cl_chunks == 0) throw std::runtime_error("Invalid swt design parameter: CL_CHUNKS is 0, it must be at least 1");
  unsigned long words = cl_width / cl_chunks / 64;
  if (words < 1 || words > 8)
    throw std::runtime_error("Invalid swt design parameters: CL_WIDTH " + std::to_string(cl_width) + " / CL_CHUNKS " +
                             std::to_string(cl_chunks) + " gives " + std::to_string(words) +
                             " 64-bit words per chunk, it must be 1 to 8");
}

// Error paths, kept out of line so that the parsing loop stays small.
[[noreturn, gnu::cold, gnu::noinline]] void throw_non_sequential(uint64_t cycle, unsigned hart, uint64_t last,
                                                                 uint64_t piid) {
  throw std::runtime_error("Non-sequential uiids: cycle: " + dec(cycle) + ", hart: " + dec(hart) +
                           ", last issued uiid: 0x" + hex(last) + ", current piid: 0x" + hex(piid));
}

[[noreturn, gnu::cold, gnu::noinline]] void throw_missing_issue(unsigned code, uint64_t cycle, unsigned hart,
                                                                uint64_t piid, uint64_t last) {
  const std::string name = mh_record_to_string(code);
  std::cout << "NOTE " << __FILE__ << ":" << "270" << ": " << name << ": cycle: " << cycle << ", hid: " << hart
            << ", missing issue record for piid 0x" << std::hex << piid << std::dec << std::endl;
  throw std::runtime_error("Missing issue record for piid: current record: " + name + ", cycle: " + dec(cycle) +
                           ", hart: " + dec(hart) + ", piid: " + dec(piid) + ", last issued uiid: " + dec(last));
}

[[noreturn, gnu::cold, gnu::noinline]] void throw_out_of_reach(unsigned code, uint64_t cycle, unsigned hart,
                                                               uint64_t piid) {
  throw std::runtime_error("Issue record out of reach: current record: " + mh_record_to_string(code) +
                           ", cycle: " + dec(cycle) + ", hart: " + dec(hart) + ", piid: " + dec(piid) +
                           ", its issue record lies more than " + dec(mh_swt_reader_t::ring_size) + " records back");
}

[[noreturn, gnu::cold, gnu::noinline]] void throw_hart(uint64_t h) {
  throw std::runtime_error("Hart #" + dec(h) + " is found, but trace reader is compiled to read up to " +
                           dec(mh_swt_reader_t::max_harts) + " harts only");
}

[[noreturn, gnu::cold, gnu::noinline]] void throw_unknown(unsigned code, int64_t position) {
  throw std::runtime_error("Unknown header: " + dec(code) + " approximately at position " +
                           std::to_string(position) + "!");
}

[[noreturn, gnu::cold, gnu::noinline]] void throw_end() { throw std::underflow_error(""); }

// Bits of hot_entry_t::present. Operands (index: rs1 0, rs2 1, rd 2, rs3 3,
// rs4 4, frs1 5, frs2 6, frs3 7, frd 8) have an address bit (2 * index) and
// a data bit (2 * index + 1). The cycle counters (read 0, write 1, commit 2,
// ea 3, pa 4, sd 5, fr 6) have a set bit and a wide bit.
constexpr unsigned op_rs1 = 0, op_rs2 = 1, op_rd = 2, op_rs3 = 3, op_rs4 = 4, op_frs1 = 5, op_frs2 = 6,
                   op_frs3 = 7, op_frd = 8;
constexpr unsigned operands = 9;
constexpr unsigned first_cold_operand = op_rs3;
constexpr unsigned cyc_read = 0, cyc_write = 1, cyc_commit = 2, cyc_ea = 3, cyc_pa = 4, cyc_sd = 5, cyc_fr = 6;
constexpr unsigned cycles = 7;
constexpr uint64_t addr_bit(unsigned op) { return uint64_t(1) << (2 * op); }
constexpr uint64_t data_bit(unsigned op) { return uint64_t(1) << (2 * op + 1); }
constexpr uint64_t cycle_set_bit(unsigned c) { return uint64_t(1) << (2 * operands + c); }
constexpr uint64_t cycle_wide_bit(unsigned c) { return uint64_t(1) << (2 * operands + cycles + c); }
constexpr uint64_t ea_valid_bit = uint64_t(1) << (2 * operands + 2 * cycles);
constexpr uint64_t pa_valid_bit = ea_valid_bit << 1;
constexpr uint64_t sd_valid_bit = ea_valid_bit << 2;
constexpr uint64_t operand_bits = (uint64_t(1) << (2 * operands)) - 1;
constexpr uint64_t warm_bits = addr_bit(op_rs1) | data_bit(op_rs1) | addr_bit(op_rs2) | data_bit(op_rs2) |
                               cycle_set_bit(cyc_read) | cycle_set_bit(cyc_ea) | cycle_set_bit(cyc_pa) |
                               cycle_set_bit(cyc_sd) | cycle_set_bit(cyc_fr) | ea_valid_bit | pa_valid_bit |
                               sd_valid_bit;
constexpr uint64_t all_wide_bits = ((uint64_t(1) << cycles) - 1) << (2 * operands + cycles);
constexpr uint64_t cold_operand_bits = operand_bits & ~((uint64_t(1) << (2 * first_cold_operand)) - 1);

// Bits of hot_entry_t::commit_flags above the commit record's 10 flags.
constexpr uint16_t committed_flag = 1u << 10;
constexpr uint16_t fr_e0_flag = 1u << 11;

// Operand of an integer register-read slot code, or `operands` for a slot
// that is dropped.
unsigned irf_read_operand(uint64_t slot) {
  switch (slot) {
    case 1: return op_rs1;
    case 2: return op_rs2;
    case 3: return op_rs3;
    case 13: return op_rs4;
    default: return operands;
  }
}

// Operand of a floating-point register-read slot code; slot 1 is the integer
// rs1 (a floating-point instruction reading an integer source).
unsigned frf_read_operand(uint64_t slot) {
  switch (slot) {
    case 1: return op_rs1;
    case 5: return op_frs1;
    case 6: return op_frs2;
    case 7: return op_frs3;
    default: return operands;
  }
}

// The record's operand slots by operand index.
et_reg_t et_insn_t::* const operand_members[operands] = {
    &et_insn_t::rs1, &et_insn_t::rs2, &et_insn_t::rd,   &et_insn_t::rs3, &et_insn_t::rs4,
    &et_insn_t::frs1, &et_insn_t::frs2, &et_insn_t::frs3, &et_insn_t::frd,
};

// Writes an operand slot whole, its padding zero, from the entry's present
// bits and the register number and value (zero when absent).
inline void put_operand(et_reg_t& slot, uint64_t present, unsigned op, uint64_t reg, uint64_t value) {
  static_assert(sizeof(et_reg_t) == 32 && offsetof(et_reg_t, reg) == 8 && offsetof(et_reg_t, data_valid) == 16 &&
                    offsetof(et_reg_t, value) == 24,
                "an operand slot is four 8-byte words");
  // Four 8-byte stores: built on the stack and copied in 16-byte halves, the
  // words stalled the loads that read them back.
  char* const to = reinterpret_cast<char*>(&slot);
  const uint64_t addr_valid = (present >> (2 * op)) & 1;
  const uint64_t data_valid = (present >> (2 * op + 1)) & 1;
  std::memcpy(to, &addr_valid, 8);
  std::memcpy(to + 8, &reg, 8);
  std::memcpy(to + 16, &data_valid, 8);
  std::memcpy(to + 24, &value, 8);
}

template <typename T>
T* allocate_ring() {
  // Fresh zero pages from the system: page-aligned, and touched only as
  // records use them, so a short trace costs little memory. A field that no
  // record has written yet reads as 0; expand reads such fields only under a
  // zero mask, but they never hold anything undefined.
  static_assert(alignof(T) <= 4096, "the pages align the entries");
  void* p = mmap(nullptr, mh_swt_reader_t::ring_size * sizeof(T), PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  return static_cast<T*>(p);
}

unsigned trailing_zeros(uint64_t v) { return v == 0 ? 0 : static_cast<unsigned>(__builtin_ctzll(v)); }

}  // namespace

template <typename T>
void mh_swt_reader_t::ring_deleter<T>::operator()(T* p) const {
  munmap(p, ring_size * sizeof(T));
}

mh_swt_reader_t::mh_swt_reader_t(const std::string& file_path, unsigned long mask, bool skip_rvt_, bool skip_l2t_,
                                 bool skip_dct_, int xlen_, int flen_, unsigned long pa_bits,
                                 unsigned long irf_data_bits, unsigned long cl_width_, unsigned long cl_chunks_,
                                 bool poison_enable_)
    : owns_file(false),
      hart_mask(mask),
      skip_rvt(skip_rvt_),
      skip_l2t(skip_l2t_),
      skip_dct(skip_dct_),
      xlen(static_cast<uint64_t>(static_cast<int64_t>(xlen_))),
      flen(static_cast<uint64_t>(static_cast<int64_t>(flen_))),
      va_width(xlen),
      pa_width(pa_bits),
      irf_data_width(irf_data_bits),
      cl_width(cl_width_),
      cl_chunks(cl_chunks_),
      poison_enable(poison_enable_) {
  check_design(xlen_, flen_, pa_bits, irf_data_bits, cl_width_, cl_chunks_);
  init();
  open_trace_file(file_path);
  owns_file = true;
  start_position = ftell(file);
}

mh_swt_reader_t::mh_swt_reader_t(FILE* stream, unsigned long mask, bool skip_rvt_, bool skip_l2t_, bool skip_dct_,
                                 int xlen_, int flen_, unsigned long pa_bits, unsigned long irf_data_bits,
                                 unsigned long cl_width_, unsigned long cl_chunks_, bool poison_enable_)
    : owns_file(false),
      hart_mask(mask),
      skip_rvt(skip_rvt_),
      skip_l2t(skip_l2t_),
      skip_dct(skip_dct_),
      xlen(static_cast<uint64_t>(static_cast<int64_t>(xlen_))),
      flen(static_cast<uint64_t>(static_cast<int64_t>(flen_))),
      va_width(xlen),
      pa_width(pa_bits),
      irf_data_width(irf_data_bits),
      cl_width(cl_width_),
      cl_chunks(cl_chunks_),
      poison_enable(poison_enable_) {
  check_design(xlen_, flen_, pa_bits, irf_data_bits, cl_width_, cl_chunks_);
  if (stream == nullptr) throw std::runtime_error("Error: no trace stream given");
  init();
  file = stream;
  start_position = ftell(file);
}

mh_swt_reader_t::~mh_swt_reader_t() {
  if (owns_file && file != nullptr) fclose(file);
}

void mh_swt_reader_t::init() {
  chunk_words = cl_width / cl_chunks / 64;
  chunk_index_width = trailing_zeros(cl_chunks);
  // Slack after the data lets get_bits load 9 bytes from any data byte.
  input.reset(new unsigned char[input_capacity + 16]());
  input_bytes = 0;
  input_bit = 0;
  dropped = 0;
  input_ended = false;
  start_position = -1;
  current_hart = 0;
  cycle = 0;
  skip_current_hart = (hart_mask & 1) == 0;
  dct_hart = 0;
  produced = 0;
  consumed = 0;
  for (unsigned h = 0; h < max_harts; ++h) {
    last_uiid[h] = ~uint64_t(0);
    if ((hart_mask >> h) & 1) issue_tables[h].reset(new uint64_t[piid_entries]());
  }
  static_assert(sizeof(hot_entry_t) == 64 && sizeof(warm_entry_t) == 64 && sizeof(cold_entry_t) == 128,
                "ring entries fill whole cache lines");
  hot.reset(allocate_ring<hot_entry_t>());
  warm.reset(allocate_ring<warm_entry_t>());
  cold.reset(allocate_ring<cold_entry_t>());
  traffic.reset(allocate_ring<traffic_entry_t>());
  std::memset(static_cast<void*>(&out), 0, sizeof(out));
  out_is_insn = false;

  std::memset(record_bits, 0, sizeof(record_bits));
  const uint64_t p = SWT_PIID_WIDTH;
  const uint64_t std_bits = xlen > flen ? xlen : flen;
  const uint64_t data_bits = chunk_words * 64 + (poison_enable ? chunk_words : 0) + chunk_index_width;
  const struct {
    unsigned code;
    uint64_t bits;
  } sizes[] = {
      {SWT_TSD1, 8},
      {SWT_RVT, 64},
      {SWT_HART, 8},
      {SWT_IS, p + 2 + 64},
      {SWT_IRFRA, p + 4 + 5},
      {SWT_IRFRD, p + 4 + irf_data_width},
      {SWT_IRFWA, p + 5},
      {SWT_IRFWD, p + irf_data_width},
      {SWT_FRFRA, p + 4 + 5},
      {SWT_FRFRD, p + 4 + flen},
      {SWT_FRFWA, p + 5},
      {SWT_FRFWD, p + flen},
      {SWT_FR, p + 1},
      {SWT_VA, p + va_width},
      {SWT_PA, p + pa_width},
      {SWT_STD, p + std_bits},
      {SWT_CM, p + va_width + 10},
      {SWT_L2T_URQ, 83},
      {SWT_L2T_UWD, data_bits},
      {SWT_L2T_URS, 24},
      {SWT_L2T_URD, data_bits},
      {SWT_L2T_URL, 8},
      {SWT_L2T_USR, 59},
      {SWT_L2T_DRQ, 83},
      {SWT_L2T_DWD, data_bits},
      {SWT_L2T_DRS, 24},
      {SWT_L2T_DRD, data_bits},
      {SWT_L2T_DRL, 8},
      {SWT_L2T_DSR, 59},
      {SWT_L2T_HM2, 179},
      {SWT_DCT_HART, 8},
      {SWT_DCT_BRQ, 204},
      {SWT_DCT_WUP, 11},
      {SWT_DCT_DRQ, 83},
      {SWT_DCT_DWD, data_bits},
      {SWT_DCT_DRS, 24},
      {SWT_DCT_DRD, data_bits},
      {SWT_DCT_DRL, 8},
      {SWT_DCT_DSR, 59},
  };
  for (const auto& s : sizes) record_bits[s.code] = static_cast<uint16_t>(s.bits);
  std::memset(skipped_bits, 0, sizeof(skipped_bits));
  for (unsigned code = 0; code < 256; ++code) {
    const bool skipped = (code == SWT_RVT && skip_rvt) ||
                         (code >= SWT_L2T_URQ && code <= SWT_L2T_HM2 && skip_l2t) ||
                         (code >= SWT_DCT_BRQ && code <= SWT_DCT_DSR && skip_dct);
    if (skipped) skipped_bits[code] = record_bits[code];
  }
}

// The next n bits of the stream (1 <= n <= 64), least significant first.
// Running out of input raises std::underflow_error, which get_next_object
// turns into the end.
inline uint64_t mh_swt_reader_t::get_bits(int n) {
  if (input_bit + static_cast<uint64_t>(n) > input_bytes * 8) refill(n);
  const uint64_t byte = input_bit >> 3;
  const unsigned shift = static_cast<unsigned>(input_bit & 7);
  uint64_t word;
  std::memcpy(&word, &input[byte], sizeof(word));
  uint64_t value = word >> shift;
  if (shift + static_cast<unsigned>(n) > 64) value |= uint64_t(input[byte + 8]) << (64 - shift);
  input_bit += static_cast<uint64_t>(n);
  return n == 64 ? value : value & ((uint64_t(1) << n) - 1);
}

// Moves the unread bytes to the front of the buffer and reads more behind
// them; ends the input when the n bits are still not there.
void mh_swt_reader_t::refill(int n) {
  const uint64_t used = input_bit >> 3;
  const size_t keep = input_bytes - used;
  std::memmove(input.get(), input.get() + used, keep);
  dropped += used;
  input_bit &= 7;
  input_bytes = keep;
  // Reads end on 16-byte boundaries of the file, so that the position of an
  // error can be given as the end of the 16-byte block that held it.
  size_t room = input_capacity - keep;
  room -= (dropped + keep + room) % 16;
  // Single-threaded reader: the unlocked variant spares a lock per read.
  input_bytes += fread_unlocked(input.get() + keep, 1, room, file);
  if (input_bit + static_cast<uint64_t>(n) > input_bytes * 8) {
    input_ended = true;
    throw_end();
  }
}

// The stream position after the 16-byte block holding the last bit taken:
// the position of a record in the file, to 16 bytes.
int64_t mh_swt_reader_t::block_position() const {
  if (start_position < 0) return -1;
  const uint64_t taken = dropped + (input_bit + 7) / 8;
  const uint64_t read = dropped + input_bytes;
  const uint64_t block_end = (taken + 15) / 16 * 16;
  return start_position + static_cast<int64_t>(block_end < read ? block_end : read);
}

void mh_swt_reader_t::skip_bits(uint64_t n) {
  for (; n > 64; n -= 64) get_bits(64);
  if (n != 0) get_bits(static_cast<int>(n));
}

void mh_swt_reader_t::keep_only_outcome() {
  if (produced != 0 || input_ended || input_bytes != 0)
    throw std::logic_error("keep_only_outcome is called before the first record is read");
  if (!lean_ring) lean_ring.reset(allocate_ring<lean_entry_t>());
}

// Takes the next ring slot for a record of the given kind; returns the slot.
template <bool Lean>
inline uint64_t mh_swt_reader_t::take_slot(uint8_t kind) {
  const uint64_t slot = produced & ring_mask;
  ++produced;
  if (Lean) {
    lean_ring[slot].kind = kind;
    return slot;
  }
  hot[slot].kind = kind;
  // Read ahead by get_next_object's prefetch, whatever the kind.
  hot[slot].present = 0;
  return slot;
}

uint64_t mh_swt_reader_t::take_traffic_slot(uint8_t kind) {
  return lean() ? take_slot<true>(kind) : take_slot<false>(kind);
}

et_object_t* mh_swt_reader_t::get_next_object() {
  if (!input_ended) {
    try {
      if (lean())
        parse_more<true>();
      else
        parse_more<false>();
    } catch (const std::underflow_error&) {
      // End of input; input_ended is set, so nothing is read again.
    }
  }
  if (consumed == produced) return nullptr;
  if (lean()) {
    __builtin_prefetch(&lean_ring[(consumed + 2 * prefetch_distance) & ring_mask]);
    expand_lean(consumed & ring_mask);
    ++consumed;
    return &out;
  }
  // A record is handed out a whole ring after it was parsed, when it may have
  // left the nearer caches: fetch the compact entry of a record a few steps
  // ahead, so its misses overlap with the work on this one.
  // Its hot line is fetched two distances ahead; one distance ahead, that
  // line tells whether the record has a warm part worth fetching.
  __builtin_prefetch(&hot[(consumed + 2 * prefetch_distance) & ring_mask]);
  if (consumed + prefetch_distance < produced) {
    const uint64_t ahead = (consumed + prefetch_distance) & ring_mask;
    if (hot[ahead].present & warm_bits) __builtin_prefetch(&warm[ahead]);
  }
  expand(consumed & ring_mask);
  ++consumed;
  return &out;
}

// Fields of a record taken through get_bits, which refills the buffer and
// ends the input when they run past it.
struct mh_swt_reader_t::stream_bits {
  mh_swt_reader_t& reader;
  uint64_t get(int n) { return reader.get_bits(n); }
  void skip(uint64_t n) { reader.skip_bits(n); }
};

// Fields of a record that lies whole in the buffer, taken at their offsets
// from the record's first byte: no refill checks, and the offsets of fields
// behind fixed-width ones are known when compiling.
struct mh_swt_reader_t::buffer_bits {
  const unsigned char* record;
  unsigned bit;  // from the start of the record
  uint64_t get(int n) {
    const unsigned char* p = record + (bit >> 3);
    const unsigned shift = bit & 7;
    uint64_t word;
    std::memcpy(&word, p, sizeof(word));
    uint64_t value = word >> shift;
    if (shift + static_cast<unsigned>(n) > 64) value |= uint64_t(p[8]) << (64 - shift);
    bit += static_cast<unsigned>(n);
    return n == 64 ? value : value & ((uint64_t(1) << n) - 1);
  }
  void skip(uint64_t n) { bit += static_cast<unsigned>(n); }
};

// Records the cycle counter in a cycle field of the entry in `slot`.
inline void mh_swt_reader_t::set_cycle(uint64_t slot, unsigned which) {
  hot_entry_t& e = hot[slot];
  const uint64_t distance = cycle - e.issue_cycle;
  e.present |= cycle_set_bit(which);
  if (distance > UINT32_MAX) {
    cold[slot].wide_cycle[which] = cycle;
    e.present |= cycle_wide_bit(which);
    return;
  }
  e.present &= ~cycle_wide_bit(which);
  const uint32_t d = static_cast<uint32_t>(distance);
  switch (which) {
    case cyc_read: warm[slot].read_delta = d; break;
    case cyc_write: e.write_delta = d; break;
    case cyc_commit: e.commit_delta = d; break;
    case cyc_ea: warm[slot].ea_delta = d; break;
    case cyc_pa: warm[slot].pa_delta = d; break;
    case cyc_sd: warm[slot].sd_delta = d; break;
    default: warm[slot].fr_delta = d; break;
  }
}

inline void mh_swt_reader_t::set_reg(uint64_t slot, unsigned operand, uint64_t reg) {
  // Register numbers are 5-bit fields of the file.
  const uint8_t r = static_cast<uint8_t>(reg);
  switch (operand) {
    case op_rs1: warm[slot].rs1_reg = r; break;
    case op_rs2: warm[slot].rs2_reg = r; break;
    case op_rd: hot[slot].rd_reg = r; break;
    default: cold[slot].reg[operand - first_cold_operand] = r; break;
  }
  hot[slot].present |= addr_bit(operand);
}

inline void mh_swt_reader_t::set_value(uint64_t slot, unsigned operand, uint64_t value) {
  switch (operand) {
    case op_rs1: warm[slot].rs1_value = value; break;
    case op_rs2: warm[slot].rs2_value = value; break;
    case op_rd: hot[slot].rd_value = value; break;
    default: cold[slot].value[operand - first_cold_operand] = value; break;
  }
  hot[slot].present |= data_bit(operand);
}

template <bool Lean, typename Bits>
[[gnu::always_inline]] inline void mh_swt_reader_t::parse_insn_record(Bits& bits, unsigned code, uint64_t piid,
                                                                      uint64_t* table) {
  const unsigned h = current_hart;
  if (code == SWT_IS) {
    const uint64_t last = last_uiid[h];
    const uint64_t uiid = last + 1;
    if ((uiid & (piid_entries - 1)) != piid) throw_non_sequential(cycle, h, last, piid);
    last_uiid[h] = uiid;
    const uint64_t slot = take_slot<Lean>(ET_KIND_INSN);
    table[piid] = produced;  // record number + 1
    if (Lean) {
      lean_entry_t& l = lean_ring[slot];
      l.insn = 0;
      l.pc = 0;
      l.pa = 0;
      l.commit_flags = 0;
      l.pa_valid = 0;
      bits.skip(2);  // the mode
      l.insn = bits.get(64);
      return;
    }
    hot_entry_t& e = hot[slot];
    e.insn = 0;
    e.pc = 0;
    e.present = 0;
    e.rd_value = 0;
    e.commit_delta = 0;
    e.write_delta = 0;
    e.commit_flags = 0;
    e.mode = 0;
    e.rd_reg = 0;
    e.uiid = uiid;
    e.hart = static_cast<uint8_t>(h);
    e.issue_cycle = cycle;
    e.mode = static_cast<uint8_t>(bits.get(2));
    e.insn = bits.get(64);
    return;
  }

  const uint64_t entry = table[piid];
  if (entry == 0) throw_missing_issue(code, cycle, h, piid, last_uiid[h]);
  // The issue record's ring slot has been reused by a newer record: writing
  // into it would corrupt that record, so the trace is refused instead.
  if (produced - (entry - 1) > ring_size) throw_out_of_reach(code, cycle, h, piid);

  const uint64_t slot = (entry - 1) & ring_mask;
  if (Lean) {
    // Only the commit and the physical address are kept; the other records
    // are stepped over whole. Their lengths come with each code's case, not
    // from a table indexed by the code: with the case predicted, the next
    // record is located before this one's code has loaded.
    lean_entry_t& l = lean_ring[slot];
    switch (code) {
      case SWT_CM:
        l.pc = bits.get(static_cast<int>(va_width));
        l.commit_flags = static_cast<uint16_t>(committed_flag | bits.get(10));
        break;
      case SWT_PA:
        l.pa = bits.get(static_cast<int>(pa_width));
        l.pa_valid = 1;
        break;
      case SWT_IRFRA:
      case SWT_FRFRA: bits.skip(4 + 5); break;
      case SWT_IRFRD: bits.skip(4 + irf_data_width); break;
      case SWT_IRFWA:
      case SWT_FRFWA: bits.skip(5); break;
      case SWT_IRFWD: bits.skip(irf_data_width); break;
      case SWT_FRFRD: bits.skip(4 + flen); break;
      case SWT_FRFWD: bits.skip(flen); break;
      case SWT_FR: bits.skip(1); break;
      case SWT_VA: bits.skip(va_width); break;
      default: bits.skip(xlen > flen ? xlen : flen); break;  // SWT_STD
    }
    return;
  }
  hot_entry_t& e = hot[slot];
  // Each case writes its fields in the order the file carries them, so that
  // a record cut by the end of the input leaves what was read.
  switch (code) {
    case SWT_IRFRA: {
      const uint64_t s = bits.get(4);
      const uint64_t reg = bits.get(5);
      const unsigned op = irf_read_operand(s);
      if (op != operands) set_reg(slot, op, reg);
      break;
    }
    case SWT_IRFRD: {
      set_cycle(slot, cyc_read);
      const uint64_t s = bits.get(4);
      const uint64_t data = bits.get(static_cast<int>(irf_data_width));
      const unsigned op = irf_read_operand(s);
      if (op != operands) set_value(slot, op, data);
      break;
    }
    case SWT_IRFWA:
      set_reg(slot, op_rd, bits.get(5));
      break;
    case SWT_IRFWD:
      set_cycle(slot, cyc_write);
      set_value(slot, op_rd, bits.get(static_cast<int>(irf_data_width)));
      break;
    case SWT_FRFRA: {
      const uint64_t s = bits.get(4);
      const uint64_t reg = bits.get(5);
      const unsigned op = frf_read_operand(s);
      if (op != operands) set_reg(slot, op, reg);
      break;
    }
    case SWT_FRFRD: {
      set_cycle(slot, cyc_read);
      const uint64_t s = bits.get(4);
      const uint64_t data = bits.get(static_cast<int>(flen));
      const unsigned op = frf_read_operand(s);
      if (op != operands) set_value(slot, op, data);
      break;
    }
    case SWT_FRFWA:
      set_reg(slot, op_frd, bits.get(5));
      break;
    case SWT_FRFWD:
      set_cycle(slot, cyc_write);
      set_value(slot, op_frd, bits.get(static_cast<int>(flen)));
      break;
    case SWT_FR:
      set_cycle(slot, cyc_fr);
      if (bits.get(1) != 0)
        e.commit_flags |= fr_e0_flag;
      else
        e.commit_flags &= static_cast<uint16_t>(~fr_e0_flag);
      break;
    case SWT_VA:
      set_cycle(slot, cyc_ea);
      warm[slot].ea = bits.get(static_cast<int>(va_width));
      e.present |= ea_valid_bit;
      break;
    case SWT_PA:
      set_cycle(slot, cyc_pa);
      warm[slot].pa = bits.get(static_cast<int>(pa_width));
      e.present |= pa_valid_bit;
      break;
    case SWT_STD:
      set_cycle(slot, cyc_sd);
      warm[slot].sd = bits.get(static_cast<int>(xlen > flen ? xlen : flen));
      e.present |= sd_valid_bit;
      break;
    case SWT_CM: {
      set_cycle(slot, cyc_commit);
      e.pc = bits.get(static_cast<int>(va_width));
      const uint64_t flags = bits.get(10);
      e.commit_flags = static_cast<uint16_t>((e.commit_flags & fr_e0_flag) | committed_flag | flags);
      break;
    }
    default:
      break;
  }
}

// Takes the instruction records that follow as the given hart's.
inline void mh_swt_reader_t::select_hart(uint64_t h) {
  current_hart = static_cast<uint8_t>(h);
  skip_current_hart = ((hart_mask >> (h % 64)) & 1) == 0;
  if (h >= max_harts && !skip_current_hart) {
    // Refused; should the caller read on, the hart's records are stepped
    // over rather than looked up in a table it does not have.
    skip_current_hart = true;
    throw_hart(h);
  }
}

// The issue table of the current hart: only read harts have one, and only
// their records look into it.
inline uint64_t* mh_swt_reader_t::current_table() const {
  return skip_current_hart ? nullptr : issue_tables[current_hart].get();
}

template <bool Lean>
void mh_swt_reader_t::parse_more() {
  // The most common records, when they start on a byte at least
  // buffer_margin bytes before the end of the buffered input, are read from
  // the buffer directly; the others through parse_record. The position stays
  // in a local between records and is stored where an error may look at it.
  // The branches on the record's code stay: a record's length is known only
  // from its code, and with the code's case predicted the next record is
  // located before this one's code has even loaded. Taking the length and
  // the field's destination from tables instead (no branch to mispredict)
  // puts two dependent loads on the path from one record to the next, which
  // cost more than the mispredictions saved.
  const unsigned char* const buffer = input.get();
  uint64_t bit = input_bit;
  size_t end = input_bytes;
  // The current hart's issue table, kept at hand.
  uint64_t* table = current_table();
  while (produced != consumed + ring_size) {
    const uint64_t byte = bit >> 3;
    if ((bit & 7) == 0 && byte + buffer_margin <= end) {
      const unsigned char* const record = buffer + byte;
      const unsigned code = record[0];
      if (code == SWT_TSD1) {
        cycle += record[1];
        bit += 16;
        continue;
      }
      if (code >= SWT_IS && code <= SWT_CM && skip_current_hart) {
        // A record of a hart that is not read: stepped over.
        bit = (bit + 8 + record_bits[code] + 7) & ~uint64_t(7);
        continue;
      }
      if (code == SWT_HART) {
        bit += 16;
        // Where the error finds the position.
        input_bit = bit;
        select_hart(record[1]);
        table = current_table();
        continue;
      }
      if (code >= SWT_IS && code <= SWT_CM) {
        uint64_t head;
        std::memcpy(&head, record, sizeof(head));
        // Where the errors of parse_insn_record find the position.
        input_bit = bit + 8 + SWT_PIID_WIDTH;
        buffer_bits fields{record, 8 + SWT_PIID_WIDTH};
        parse_insn_record<Lean>(fields, code, (head >> 8) & (piid_entries - 1), table);
        // Every record ends on a byte boundary.
        bit = (byte + (fields.bit + 7) / 8) * 8;
        continue;
      }
      // A traffic record the caller does not want, stepped over when it
      // ends inside the buffer (else parse_record reads on, or ends the
      // input, as the record runs).
      const uint64_t after = bit + 8 + skipped_bits[code];
      if (skipped_bits[code] != 0 && after <= end * 8) {
        bit = (after + 7) & ~uint64_t(7);
        continue;
      }
      if (code == SWT_DCT_HART) {
        dct_hart = record[1];
        bit += 16;
        continue;
      }
    }
    input_bit = bit;
    parse_record();
    bit = input_bit;
    end = input_bytes;
    table = current_table();
  }
  input_bit = bit;
}

// Parses one record through get_bits.
void mh_swt_reader_t::parse_record() {
  // The code, and with it the piid that follows it in instruction records
  // when those bits are there (a piid that runs past the end of the input
  // is read on its own, to end the input at the same bit).
  uint64_t head;
  uint64_t piid = no_piid;
  if (input_bit + 8 + SWT_PIID_WIDTH <= input_bytes * 8) {
    head = get_bits(8 + SWT_PIID_WIDTH);
    input_bit -= SWT_PIID_WIDTH;
    piid = head >> 8;
  } else {
    head = get_bits(8);
  }
  const unsigned code = static_cast<unsigned>(head & 0xff);
  switch (code) {
    case SWT_TSD1:
      cycle += get_bits(8);
      break;
    case SWT_RVT:
      if (skip_rvt) {
        skip_bits(64);
      } else {
        traffic_entry_t& t = traffic[take_traffic_slot(ET_KIND_RVT)];
        std::memset(static_cast<void*>(&t), 0, sizeof(t));
        t.rvt.cycle = cycle;
        t.rvt.data = get_bits(64);
      }
      break;
    case SWT_HART:
      select_hart(get_bits(8));
      break;
    case SWT_IS:
    case SWT_IRFRA:
    case SWT_IRFRD:
    case SWT_IRFWA:
    case SWT_IRFWD:
    case SWT_FRFRA:
    case SWT_FRFRD:
    case SWT_FRFWA:
    case SWT_FRFWD:
    case SWT_FR:
    case SWT_VA:
    case SWT_PA:
    case SWT_STD:
    case SWT_CM:
      if (skip_current_hart) {
        skip_bits(record_bits[code]);
      } else {
        // The piid comes read with the code, unless its bits were not
        // there yet.
        if (piid == no_piid)
          piid = get_bits(SWT_PIID_WIDTH);
        else
          input_bit += SWT_PIID_WIDTH;
        stream_bits fields{*this};
        if (lean())
          parse_insn_record<true>(fields, code, piid, current_table());
        else
          parse_insn_record<false>(fields, code, piid, current_table());
      }
      break;
    case SWT_DCT_HART:
      dct_hart = static_cast<uint8_t>(get_bits(8));
      break;
    default:
      if (code >= SWT_L2T_URQ && code <= SWT_L2T_HM2) {
        if (skip_l2t)
          skip_bits(record_bits[code]);
        else
          parse_traffic(code, ET_KIND_L2T);
      } else if (code >= SWT_DCT_BRQ && code <= SWT_DCT_DSR) {
        if (skip_dct)
          skip_bits(record_bits[code]);
        else
          parse_traffic(code, ET_KIND_DCT);
      } else {
        throw_unknown(code, block_position());
      }
      break;
  }
  // Every record ends on a byte boundary.
  input_bit = (input_bit + 7) & ~uint64_t(7);
}

// Writes the traffic record in `slot` into `out`, all of it: bytes no field
// fills are zero, as in a record built from a zeroed slot.
void mh_swt_reader_t::expand_traffic(uint8_t kind, uint64_t slot) {
  std::memset(static_cast<void*>(&out), 0, sizeof(out));
  out.type = kind;
  std::memcpy(reinterpret_cast<char*>(&out) + offsetof(et_object_t, rvt), &traffic[slot], sizeof(traffic_entry_t));
  out_is_insn = false;
}

// `out` made ready for an instruction record, whose fields the caller then
// writes. After an instruction record only the fields need writing (the
// caller may have written into any of them); after a traffic record, the
// bytes between the fields too.
inline et_insn_t& mh_swt_reader_t::insn_out() {
  if (!out_is_insn) {
    std::memset(static_cast<void*>(&out), 0, sizeof(out));
    out_is_insn = true;
  }
  out.type = ET_KIND_INSN;
  return out.insn;
}

namespace {

// The commit outcome from the commit record's flags (and the reader's bits
// above them).
inline void put_outcome(et_insn_t& r, unsigned f, uint64_t xlen) {
  const bool committed = (f & committed_flag) != 0;
  r.committed = committed;
  r.fr_cm = committed && (f & 1) != 0;
  r.trap = committed && ((f >> 1) & 1) != 0;
  r.intr = committed && ((f >> 1) & 3) == 3;
  r.cause = committed ? ((f >> 3) & 0x3f) | (r.intr ? uint64_t(1) << (xlen - 1) : 0) : 0;
  r.trig = committed && ((f >> 9) & 1) != 0;
  r.fr_e0 = (f & fr_e0_flag) != 0;
}

}  // namespace

void mh_swt_reader_t::expand_lean(uint64_t slot) {
  const lean_entry_t& l = lean_ring[slot];
  if (l.kind != ET_KIND_INSN) {
    expand_traffic(l.kind, slot);
    return;
  }
  et_insn_t& r = insn_out();
  r.pc = l.pc;
  r.insn = l.insn;
  r.pa_valid = l.pa_valid != 0;
  r.pa = l.pa;  // 0 from the issue until a physical address record
  put_outcome(r, l.commit_flags, xlen);
}

// Writes the record in `slot` into `out`, all of it: bytes no field fills
// are zero, as in a record built from a zeroed slot.
void mh_swt_reader_t::expand(uint64_t slot) {
  const hot_entry_t& e = hot[slot];
  if (e.kind != ET_KIND_INSN) {
    expand_traffic(e.kind, slot);
    return;
  }
  et_insn_t& r = insn_out();
  const uint64_t p = e.present;
  // Each field is written once, with its value or zero. A present bit turns
  // into a mask of all ones or zeros, so that the fields of the hot and warm
  // lines are filled without a branch on each bit (the bits vary from record
  // to record and mispredicted). The fields the issue record resets are
  // taken as they are; the others may hold a former record's values when
  // their bit is clear, and are masked.
  const auto on = [p](uint64_t bit) { return uint64_t(0) - uint64_t((p & bit) != 0); };
  r.hart = e.hart;
  r.uiid = e.uiid;
  r.issue_cycle = e.issue_cycle;
  r.pc = e.pc;
  r.insn = e.insn;
  r.mode = e.mode;
  put_operand(r.rd, p, op_rd, e.rd_reg, e.rd_value);
  r.write_cycle = (e.issue_cycle + e.write_delta) & on(cycle_set_bit(cyc_write));
  r.commit_cycle = (e.issue_cycle + e.commit_delta) & on(cycle_set_bit(cyc_commit));
  if (p & warm_bits) {
    const warm_entry_t& w = warm[slot];
    put_operand(r.rs1, p, op_rs1, w.rs1_reg & on(addr_bit(op_rs1)), w.rs1_value & on(data_bit(op_rs1)));
    put_operand(r.rs2, p, op_rs2, w.rs2_reg & on(addr_bit(op_rs2)), w.rs2_value & on(data_bit(op_rs2)));
    r.read_cycle = (e.issue_cycle + w.read_delta) & on(cycle_set_bit(cyc_read));
    r.ea_valid = (p & ea_valid_bit) != 0;
    r.ea = w.ea & on(ea_valid_bit);
    r.ea_cycle = (e.issue_cycle + w.ea_delta) & on(cycle_set_bit(cyc_ea));
    r.pa_valid = (p & pa_valid_bit) != 0;
    r.pa = w.pa & on(pa_valid_bit);
    r.pa_cycle = (e.issue_cycle + w.pa_delta) & on(cycle_set_bit(cyc_pa));
    r.sd_valid = (p & sd_valid_bit) != 0;
    r.sd = w.sd & on(sd_valid_bit);
    r.sd_cycle = (e.issue_cycle + w.sd_delta) & on(cycle_set_bit(cyc_sd));
    r.fr_cycle = (e.issue_cycle + w.fr_delta) & on(cycle_set_bit(cyc_fr));
  } else {
    put_operand(r.rs1, 0, op_rs1, 0, 0);
    put_operand(r.rs2, 0, op_rs2, 0, 0);
    r.read_cycle = 0;
    r.ea_valid = false;
    r.ea = 0;
    r.ea_cycle = 0;
    r.pa_valid = false;
    r.pa = 0;
    r.pa_cycle = 0;
    r.sd_valid = false;
    r.sd = 0;
    r.sd_cycle = 0;
    r.fr_cycle = 0;
  }
  if (p & cold_operand_bits) {
    const cold_entry_t& c = cold[slot];
    for (unsigned op = first_cold_operand; op < operands; ++op) {
      const unsigned i = op - first_cold_operand;
      put_operand(r.*operand_members[op], p, op, c.reg[i] & on(addr_bit(op)), c.value[i] & on(data_bit(op)));
    }
  } else {
    for (unsigned op = first_cold_operand; op < operands; ++op) put_operand(r.*operand_members[op], 0, op, 0, 0);
  }
  // Cycle counters too far from the issue for a distance.
  for (uint64_t m = p & all_wide_bits; m != 0; m &= m - 1) {
    const unsigned c = static_cast<unsigned>(__builtin_ctzll(m)) - (2 * operands + cycles);
    const uint64_t value = cold[slot].wide_cycle[c];
    switch (c) {
      case cyc_read: r.read_cycle = value; break;
      case cyc_write: r.write_cycle = value; break;
      case cyc_commit: r.commit_cycle = value; break;
      case cyc_ea: r.ea_cycle = value; break;
      case cyc_pa: r.pa_cycle = value; break;
      case cyc_sd: r.sd_cycle = value; break;
      default: r.fr_cycle = value; break;
    }
  }
  put_outcome(r, e.commit_flags, xlen);
  r.disasm_valid = false;
  r.operand_flags = 0;
  r.insn_id = 0;
  // The text is cleared only when a caller wrote into it: clearing all of it
  // every time (a rep stos) cost a third of the expansion.
  static_assert(sizeof(r.disasm) == 100, "the text is checked in 8-byte words and a 4-byte tail");
  uint64_t text = 0;
  for (size_t i = 0; i < 96; i += 8) {
    uint64_t word;
    std::memcpy(&word, r.disasm + i, sizeof(word));
    text |= word;
  }
  uint32_t tail;
  std::memcpy(&tail, r.disasm + 96, sizeof(tail));
  if ((text | tail) != 0) std::memset(r.disasm, 0, sizeof(r.disasm));
}

void mh_swt_reader_t::read_data_layout(uint64_t* d, uint8_t& psn, uint8_t& cn, uint8_t& count) {
  count = static_cast<uint8_t>(chunk_words);
  for (uint64_t i = 0; i < chunk_words; ++i) d[i] = get_bits(64);
  if (poison_enable) psn = static_cast<uint8_t>(get_bits(static_cast<int>(chunk_words)));
  if (chunk_index_width != 0) cn = static_cast<uint8_t>(get_bits(static_cast<int>(chunk_index_width)));
}

void mh_swt_reader_t::parse_traffic(unsigned code, uint8_t kind) {
  traffic_entry_t& o = traffic[take_traffic_slot(kind)];
  std::memset(static_cast<void*>(&o), 0, sizeof(o));
  l2t_rq_t* rq;
  l2t_rs_t* rs;
  l2t_rl_t* rl;
  l2t_sr_t* sr;
  if (kind == ET_KIND_L2T) {
    o.l2t.code = static_cast<uint8_t>(code);
    o.l2t.cycle = cycle;
    rq = &o.l2t.rq;
    rs = &o.l2t.rs;
    rl = &o.l2t.rl;
    sr = &o.l2t.sr;
  } else {
    o.dct.code = static_cast<uint8_t>(code);
    o.dct.cycle = cycle;
    rq = &o.dct.rq;
    rs = &o.dct.rs;
    rl = &o.dct.rl;
    sr = &o.dct.sr;
  }

  switch (code) {
    case SWT_L2T_URQ:
    case SWT_L2T_DRQ:
    case SWT_DCT_DRQ:
      rq->rid = static_cast<uint8_t>(get_bits(rid_bits));
      rq->id = static_cast<uint8_t>(get_bits(id_bits));
      rq->t = static_cast<uint8_t>(get_bits(5));
      rq->a = get_bits(addr_bits);
      rq->f = static_cast<uint8_t>(get_bits(7));
      rq->u = static_cast<uint32_t>(get_bits(u_bits));
      return;
    case SWT_L2T_UWD:
    case SWT_L2T_DWD:
    case SWT_DCT_DWD: {
      l2t_wd_t& wd = kind == ET_KIND_L2T ? o.l2t.wd : o.dct.wd;
      read_data_layout(wd.d, wd.psn, wd.cn, wd.count);
      return;
    }
    case SWT_L2T_URD:
    case SWT_L2T_DRD:
    case SWT_DCT_DRD: {
      l2t_rd_t& rd = kind == ET_KIND_L2T ? o.l2t.rd : o.dct.rd;
      read_data_layout(rd.d, rd.psn, rd.cn, rd.count);
      return;
    }
    case SWT_L2T_URS:
    case SWT_L2T_DRS:
    case SWT_DCT_DRS:
      rs->rid = static_cast<uint8_t>(get_bits(rid_bits));
      rs->mid = static_cast<uint8_t>(get_bits(8));
      rs->sid = static_cast<uint8_t>(get_bits(8));
      rs->f = static_cast<uint8_t>(get_bits(5));
      return;
    case SWT_L2T_URL:
    case SWT_L2T_DRL:
    case SWT_DCT_DRL:
      rl->id = static_cast<uint8_t>(get_bits(id_bits));
      return;
    case SWT_L2T_USR:
    case SWT_L2T_DSR:
    case SWT_DCT_DSR:
      sr->m = static_cast<uint8_t>(get_bits(8));
      sr->id = static_cast<uint8_t>(get_bits(8));
      sr->t = static_cast<uint8_t>(get_bits(3));
      sr->a = get_bits(addr_bits);
      return;
    case SWT_L2T_HM2: {
      l2t_hm2_t& m = o.l2t.hm2;
      m.id = static_cast<uint8_t>(get_bits(8));
      m.a = get_bits(addr_bits);
      m.op = static_cast<uint16_t>(get_bits(13));
      m.ser = static_cast<uint8_t>(get_bits(1));
      m.hv = static_cast<uint8_t>(get_bits(1));
      m.hv1 = static_cast<uint8_t>(get_bits(4));
      m.hv2 = static_cast<uint8_t>(get_bits(1));
      m.hv3 = static_cast<uint8_t>(get_bits(1));
      m.hv4 = static_cast<uint8_t>(get_bits(8));
      m.iv = static_cast<uint8_t>(get_bits(1));
      m.vc = static_cast<uint8_t>(get_bits(4));
      m.vc2 = static_cast<uint8_t>(get_bits(1));
      m.vc3 = static_cast<uint8_t>(get_bits(1));
      m.vc4 = static_cast<uint8_t>(get_bits(8));
      m.vca = get_bits(addr_bits);
      m.we0 = static_cast<uint16_t>(get_bits(16));
      m.we1 = static_cast<uint16_t>(get_bits(16));
      m.fen = static_cast<uint8_t>(get_bits(1));
      m.fen1 = static_cast<uint8_t>(get_bits(1));
      m.fen2 = static_cast<uint8_t>(get_bits(1));
      m.fen3 = static_cast<uint8_t>(get_bits(1));
      m.fen4 = static_cast<uint8_t>(get_bits(1));
      m.fl = static_cast<uint8_t>(get_bits(1));
      m.fl2 = static_cast<uint8_t>(get_bits(1));
      m.fl3 = static_cast<uint8_t>(get_bits(8));
      return;
    }
    case SWT_DCT_BRQ: {
      dct_brq_t& b = o.dct.brq;
      b.hid = dct_hart;
      b.kl = static_cast<uint8_t>(get_bits(1));
      b.stlb = static_cast<uint8_t>(get_bits(1));
      b.op = static_cast<uint8_t>(get_bits(3));
      b.f = static_cast<uint8_t>(get_bits(8));
      b.a = get_bits(addr_bits);
      b.wrd = get_bits(64);
      b.wrm = static_cast<uint8_t>(get_bits(8));
      b.ldd = get_bits(64);
      b.psn = static_cast<uint8_t>(get_bits(2));
      b.scf = static_cast<uint8_t>(get_bits(1));
      b.fs = static_cast<uint8_t>(get_bits(3));
      b.blk_valid = static_cast<uint8_t>(get_bits(1));
      b.blk = static_cast<uint8_t>(get_bits(2));
      b.blk_id = static_cast<uint8_t>(get_bits(6));
      return;
    }
    case SWT_DCT_WUP: {
      dct_wup_t& w = o.dct.wup;
      w.hid = dct_hart;
      w.gv = static_cast<uint8_t>(get_bits(1));
      w.v = static_cast<uint8_t>(get_bits(1));
      w.w = static_cast<uint8_t>(get_bits(6));
      w.fs = static_cast<uint8_t>(get_bits(3));
      return;
    }
    default:
      return;
  }
}

std::string mh_record_to_string(unsigned long code) {
  switch (code) {
    case SWT_TSD1: return "TSD1";
    case SWT_RVT: return "SWT_RVT";
    case SWT_HART: return "SWT_HART";
    case SWT_IS: return "SWT_IS";
    case SWT_IRFRA: return "SWT_IRFRA";
    case SWT_IRFRD: return "SWT_IRFRD";
    case SWT_IRFWA: return "SWT_IRFWA";
    case SWT_IRFWD: return "SWT_IRFWD";
    case SWT_FRFRA: return "SWT_FRFRA";
    case SWT_FRFRD: return "SWT_FRFRD";
    case SWT_FRFWA: return "SWT_FRFWA";
    case SWT_FRFWD: return "SWT_FRFWD";
    case SWT_FR: return "SWT_FR";
    case SWT_VA: return "SWT_VA";
    case SWT_PA: return "SWT_PA";
    case SWT_STD: return "SWT_STD";
    case SWT_CM: return "SWT_CM";
    case SWT_L2T_URQ: return "SWT_L2T_URQ";
    case SWT_L2T_UWD: return "SWT_L2T_UWD";
    case SWT_L2T_URS: return "SWT_L2T_URS";
    case SWT_L2T_URD: return "SWT_L2T_URD";
    case SWT_L2T_URL: return "SWT_L2T_URL";
    case SWT_L2T_USR: return "SWT_L2T_USR";
    case SWT_L2T_DRQ: return "SWT_L2T_DRQ";
    case SWT_L2T_DWD: return "SWT_L2T_DWD";
    case SWT_L2T_DRS: return "SWT_L2T_DRS";
    case SWT_L2T_DRD: return "SWT_L2T_DRD";
    case SWT_L2T_DRL: return "SWT_L2T_DRL";
    case SWT_L2T_DSR: return "SWT_L2T_DSR";
    case SWT_L2T_HM2: return "SWT_L2T_HM2";
    case SWT_DCT_HART: return "SWT_DCT_HART";
    case SWT_DCT_BRQ: return "SWT_DCT_BRQ";
    case SWT_DCT_WUP: return "SWT_DCT_WUP";
    case SWT_DCT_DRQ: return "SWT_DCT_DRQ";
    case SWT_DCT_DWD: return "SWT_DCT_DWD";
    case SWT_DCT_DRS: return "SWT_DCT_DRS";
    case SWT_DCT_DRD: return "SWT_DCT_DRD";
    case SWT_DCT_DRL: return "SWT_DCT_DRL";
    case SWT_DCT_DSR: return "SWT_DCT_DSR";
    default: return "unknown (" + std::to_string(code) + ")";
  }
}
