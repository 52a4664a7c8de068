#include "mh_swt_reader.h"

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

[[noreturn, gnu::cold, gnu::noinline]] void throw_unknown(unsigned code, FILE* file) {
  throw std::runtime_error("Unknown header: " + dec(code) + " approximately at position " +
                           std::to_string(ftell(file)) + "!");
}

[[noreturn, gnu::cold, gnu::noinline]] void throw_end() { throw std::underflow_error(""); }

unsigned trailing_zeros(uint64_t v) { return v == 0 ? 0 : static_cast<unsigned>(__builtin_ctzll(v)); }

}  // namespace

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
}

mh_swt_reader_t::~mh_swt_reader_t() {
  if (owns_file && file != nullptr) fclose(file);
}

void mh_swt_reader_t::init() {
  chunk_words = cl_width / cl_chunks / 64;
  chunk_index_width = trailing_zeros(cl_chunks);
  bit_buffer = 0;
  loaded_bits = 0;
  remaining_bits = 0;
  current_hart = 0;
  cycle = 0;
  skip_current_hart = (hart_mask & 1) == 0;
  dct_hart = 0;
  produced = 0;
  consumed = 0;
  for (unsigned h = 0; h < max_harts; ++h) {
    last_uiid[h] = ~uint64_t(0);
    if ((hart_mask >> h) & 1) issue_tables[h].reset(new issue_entry_t[piid_entries]());
  }
  // Records are plain structures, valid when all their bytes are zero.
  ring.reset(static_cast<et_object_t*>(std::calloc(ring_size, sizeof(et_object_t))));
  if (!ring) throw std::bad_alloc();

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
}

// The next n bits of the stream (1 <= n <= 64), least significant first. The
// file is read in 16-byte blocks into a 128-bit buffer; running out of input
// raises std::underflow_error, which get_next_object turns into the end.
inline uint64_t mh_swt_reader_t::get_bits(int n) {
  uint64_t value;
  if (remaining_bits >= n) {
    value = static_cast<uint64_t>(bit_buffer >> (loaded_bits - remaining_bits));
    remaining_bits -= n;
  } else {
    if (remaining_bits < 0) throw_end();
    value = remaining_bits > 0 ? static_cast<uint64_t>(bit_buffer >> (loaded_bits - remaining_bits)) : 0;
    unsigned char block[16];
    // Single-threaded reader: the unlocked variant spares a lock per block.
    size_t got = fread_unlocked(block, 1, sizeof(block), file);
    if (got < sizeof(block)) std::memset(block + got, 0, sizeof(block) - got);
    std::memcpy(&bit_buffer, block, sizeof(block));
    loaded_bits = static_cast<uint8_t>(got * 8);
    // remaining_bits < n <= 64 here, so the shift is defined.
    value |= static_cast<uint64_t>(bit_buffer) << remaining_bits;
    remaining_bits += loaded_bits;
    remaining_bits -= n;
    if (remaining_bits < 0) throw_end();
  }
  return n == 64 ? value : value & ((uint64_t(1) << n) - 1);
}

void mh_swt_reader_t::skip_bits(uint64_t n) {
  for (; n > 64; n -= 64) get_bits(64);
  if (n != 0) get_bits(static_cast<int>(n));
}

inline et_object_t& mh_swt_reader_t::take_slot() {
  et_object_t& o = ring[produced & ring_mask];
  ++produced;
  std::memset(static_cast<void*>(&o), 0, sizeof(o));
  return o;
}

et_object_t* mh_swt_reader_t::get_next_object() {
  if (remaining_bits >= 0) {
    try {
      parse_more();
    } catch (const std::underflow_error&) {
      // End of input; remaining_bits stays negative, so nothing is read again.
    }
  }
  if (consumed == produced) return nullptr;
  // A record is handed out a whole ring after it was parsed, long after it
  // left the caches: fetch the fields callers read (kind, pc and word, trap
  // and commit state) of a record a few steps ahead, so its misses overlap
  // with the work on this one.
  const char* ahead = reinterpret_cast<const char*>(&ring[(consumed + prefetch_distance) & ring_mask]);
  __builtin_prefetch(ahead);
  __builtin_prefetch(ahead + offsetof(et_object_t, insn.insn));
  __builtin_prefetch(ahead + offsetof(et_object_t, insn.trap));
  __builtin_prefetch(ahead + offsetof(et_object_t, insn.committed));
  return &ring[consumed++ & ring_mask];
}

void mh_swt_reader_t::parse_more() {
  while (produced != consumed + ring_size) {
    const unsigned code = static_cast<unsigned>(get_bits(8));
    switch (code) {
      case SWT_TSD1:
        cycle += get_bits(8);
        break;
      case SWT_RVT:
        if (skip_rvt) {
          skip_bits(64);
        } else {
          et_object_t& o = take_slot();
          o.type = ET_KIND_RVT;
          o.rvt.cycle = cycle;
          o.rvt.data = get_bits(64);
        }
        break;
      case SWT_HART: {
        const uint64_t h = get_bits(8);
        current_hart = static_cast<uint8_t>(h);
        skip_current_hart = ((hart_mask >> (h % 64)) & 1) == 0;
        if (h >= max_harts && !skip_current_hart) throw_hart(h);
        break;
      }
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
        if (skip_current_hart)
          skip_bits(record_bits[code]);
        else
          parse_insn_record(code);
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
          throw_unknown(code, file);
        }
        break;
    }
    // Every record ends on a byte boundary.
    remaining_bits -= remaining_bits & 7;
  }
}

namespace {

// Operand slot of an integer register-read record.
et_reg_t* irf_read_slot(et_insn_t& r, uint64_t slot) {
  switch (slot) {
    case 1: return &r.rs1;
    case 2: return &r.rs2;
    case 3: return &r.rs3;
    case 13: return &r.rs4;
    default: return nullptr;
  }
}

// Operand slot of a floating-point register-read record; slot 1 is the
// integer rs1 (a floating-point instruction reading an integer source).
et_reg_t* frf_read_slot(et_insn_t& r, uint64_t slot) {
  switch (slot) {
    case 1: return &r.rs1;
    case 5: return &r.frs1;
    case 6: return &r.frs2;
    case 7: return &r.frs3;
    default: return nullptr;
  }
}

}  // namespace

void mh_swt_reader_t::parse_insn_record(unsigned code) {
  // Only selected harts get here, and a selected hart above 7 is refused at
  // its SWT_HART record, so current_hart indexes a table.
  const unsigned h = current_hart;
  issue_entry_t* table = issue_tables[h].get();
  const uint64_t piid = get_bits(SWT_PIID_WIDTH);

  if (code == SWT_IS) {
    const uint64_t last = last_uiid[h];
    const uint64_t uiid = last + 1;
    if ((uiid & (piid_entries - 1)) != piid) throw_non_sequential(cycle, h, last, piid);
    last_uiid[h] = uiid;
    et_object_t& o = take_slot();
    o.type = ET_KIND_INSN;
    et_insn_t& r = o.insn;
    r.uiid = uiid;
    r.hart = static_cast<uint16_t>(h);
    table[piid].record = &r;
    table[piid].number = produced - 1;
    r.issue_cycle = cycle;
    r.mode = get_bits(2);
    r.insn = get_bits(64);
    return;
  }

  const issue_entry_t& entry = table[piid];
  if (entry.record == nullptr) throw_missing_issue(code, cycle, h, piid, last_uiid[h]);
  // The issue record's ring slot has been reused by a newer record: writing
  // into it would corrupt that record, so the trace is refused instead.
  if (produced - entry.number > ring_size) throw_out_of_reach(code, cycle, h, piid);

  et_insn_t& r = *entry.record;
  switch (code) {
    case SWT_IRFRA: {
      const uint64_t slot = get_bits(4);
      const uint64_t reg = get_bits(5);
      if (et_reg_t* s = irf_read_slot(r, slot)) {
        s->reg = reg;
        s->addr_valid = true;
      }
      break;
    }
    case SWT_IRFRD: {
      r.read_cycle = cycle;
      const uint64_t slot = get_bits(4);
      const uint64_t data = get_bits(static_cast<int>(irf_data_width));
      if (et_reg_t* s = irf_read_slot(r, slot)) {
        s->value = data;
        s->data_valid = true;
      }
      break;
    }
    case SWT_IRFWA:
      r.rd.reg = get_bits(5);
      r.rd.addr_valid = true;
      break;
    case SWT_IRFWD:
      r.write_cycle = cycle;
      r.rd.value = get_bits(static_cast<int>(irf_data_width));
      r.rd.data_valid = true;
      break;
    case SWT_FRFRA: {
      const uint64_t slot = get_bits(4);
      const uint64_t reg = get_bits(5);
      if (et_reg_t* s = frf_read_slot(r, slot)) {
        s->reg = reg;
        s->addr_valid = true;
      }
      break;
    }
    case SWT_FRFRD: {
      r.read_cycle = cycle;
      const uint64_t slot = get_bits(4);
      const uint64_t data = get_bits(static_cast<int>(flen));
      if (et_reg_t* s = frf_read_slot(r, slot)) {
        s->value = data;
        s->data_valid = true;
      }
      break;
    }
    case SWT_FRFWA:
      r.frd.reg = get_bits(5);
      r.frd.addr_valid = true;
      break;
    case SWT_FRFWD:
      r.write_cycle = cycle;
      r.frd.value = get_bits(static_cast<int>(flen));
      r.frd.data_valid = true;
      break;
    case SWT_FR:
      r.fr_cycle = cycle;
      r.fr_e0 = get_bits(1) != 0;
      break;
    case SWT_VA:
      r.ea_cycle = cycle;
      r.ea = get_bits(static_cast<int>(va_width));
      r.ea_valid = true;
      break;
    case SWT_PA:
      r.pa_cycle = cycle;
      r.pa = get_bits(static_cast<int>(pa_width));
      r.pa_valid = true;
      break;
    case SWT_STD:
      r.sd_cycle = cycle;
      r.sd = get_bits(static_cast<int>(xlen > flen ? xlen : flen));
      r.sd_valid = true;
      break;
    case SWT_CM: {
      r.commit_cycle = cycle;
      r.pc = get_bits(static_cast<int>(va_width));
      const uint64_t flags = get_bits(10);
      r.fr_cm = (flags & 1) != 0;
      r.trap = ((flags >> 1) & 1) != 0;
      r.intr = ((flags >> 1) & 3) == 3;
      r.committed = true;
      r.cause = ((flags >> 3) & 0x3f) | (r.intr ? uint64_t(1) << (xlen - 1) : 0);
      r.trig = ((flags >> 9) & 1) != 0;
      break;
    }
    default:
      break;
  }
}

void mh_swt_reader_t::read_data_layout(uint64_t* d, uint8_t& psn, uint8_t& cn, uint8_t& count) {
  count = static_cast<uint8_t>(chunk_words);
  for (uint64_t i = 0; i < chunk_words; ++i) d[i] = get_bits(64);
  if (poison_enable) psn = static_cast<uint8_t>(get_bits(static_cast<int>(chunk_words)));
  if (chunk_index_width != 0) cn = static_cast<uint8_t>(get_bits(static_cast<int>(chunk_index_width)));
}

void mh_swt_reader_t::parse_traffic(unsigned code, uint8_t kind) {
  et_object_t& o = take_slot();
  o.type = kind;
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
