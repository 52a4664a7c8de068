// Nexus message reader: the decoder's construction, the two field readers
// and the message parsers.
//
// A slice is one byte of the stream: six data bits (7..2) and two end bits
// (bit 0 ends a variable field, both bits end the message). Fields run least
// significant bit first; fixed fields pack back to back and may share a
// slice, a variable field takes the rest of a partly used slice and then
// whole slices up to the one with end bit 0.
//
// The readers go straight to the stream buffer: one call per slice, no
// sentry, no allocation. They stop at the end of the input: the field keeps
// the bits read so far, `end_of_message` is set (so no TSTAMP is looked for)
// and the next message start finds the end of the input.

#include "nexus_decoder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// Widest SRC field accepted: four tables of 2^16 entries are about 1.8 MB,
// and no trace encoder has anywhere near that many sources.
constexpr unsigned long max_src_width = 16;

constexpr int end_bits_message = 3;

uint64_t read_fixed(nexus_decoder_t& d, unsigned long width) {
  uint64_t v;
  d.parse_fixed_field(width, reinterpret_cast<unsigned char*>(&v), sizeof v);
  return v;
}

uint64_t read_variable(nexus_decoder_t& d) {
  uint64_t v;
  d.parse_variable_field(reinterpret_cast<unsigned char*>(&v));
  return v;
}

uint64_t reverse_bits64(uint64_t x) {
  x = ((x >> 1) & 0x5555555555555555ULL) | ((x & 0x5555555555555555ULL) << 1);
  x = ((x >> 2) & 0x3333333333333333ULL) | ((x & 0x3333333333333333ULL) << 2);
  x = ((x >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((x & 0x0F0F0F0F0F0F0F0FULL) << 4);
  x = ((x >> 8) & 0x00FF00FF00FF00FFULL) | ((x & 0x00FF00FF00FF00FFULL) << 8);
  x = ((x >> 16) & 0x0000FFFF0000FFFFULL) | ((x & 0x0000FFFF0000FFFFULL) << 16);
  return (x >> 32) | (x << 32);
}

// The walk takes history bits from bit 0 upwards, while the encoder sends
// the oldest branch in bit 0. Reverses the bits below the highest set bit
// (the stop bit), which stays in place; 0 and 1 give the empty history 1.
uint64_t reverse_low_bits(uint64_t x) {
  if (x <= 1) return 1;
  const unsigned n = 63 - static_cast<unsigned>(__builtin_clzll(x));
  return (uint64_t(1) << n) | (reverse_bits64(x) >> (64 - n));
}

// The privilege letter in brackets and the label of the field after it.
const char* priv_and_v_label(uint64_t priv) {
  static const char* const texts[4] = {"[U] V = 0x", "[S] V = 0x", "[?] V = 0x", "[M] V = 0x"};
  return texts[priv & 3];
}

}  // namespace

nexus_decoder_t::nexus_decoder_t(unsigned long xlen_, bool src_present_, unsigned long src_width_)
    : xlen(xlen_),
      src_present(src_present_),
      src_width(src_width_),
      src(0),
      icnt(0),
      bcnt(0),
      end_of_message(false),
      hist(0),
      bit_cursor(0),
      nexus_log(false),
      disasm_log(false),
      metrics_log(false) {
  if (src_width_ > max_src_width)
    throw std::runtime_error("SRC width " + std::to_string(src_width_) +
                             " is too large: at most " + std::to_string(max_src_width) +
                             " bits are supported");
  const size_t sources = size_t(1) << src_width_;
  tstamp.assign(sources, 0);
  last_icnt.assign(sources, 0);
  faddr.assign(sources, 0);
  uaddr.assign(sources, 0);
}

nexus_decoder_t::~nexus_decoder_t() = default;

void nexus_msg_text_t::append_to(std::string& out) const {
  static const char digits[] = "0123456789ABCDEF";
  for (unsigned i = 0; i < count; ++i) {
    out += pieces[i].text;
    if (!pieces[i].has_value) continue;
    uint64_t v = pieces[i].value;
    const int n = v == 0 ? 1 : (67 - __builtin_clzll(v)) / 4;
    char buf[16];
    for (int k = n - 1; k >= 0; --k) {
      buf[k] = digits[v & 15];
      v >>= 4;
    }
    out.append(buf, static_cast<size_t>(n));
  }
}

std::string nexus_msg_text_t::str() const {
  std::string s;
  append_to(s);
  return s;
}

void nexus_decoder_t::parse_fixed_field(unsigned long width, unsigned char* out,
                                        unsigned long size) {
  std::memset(out, 0, size);
  uint64_t value = 0;
  if (width != 0) {
    std::streambuf* in = trace_stream.rdbuf();
    const unsigned c = bit_cursor;
    // Written so that no width can overflow the slice count.
    const unsigned long slices = width / 6 + (c + width % 6 + 5) / 6;
    const bool ends_inside = (c + width % 6) % 6 != 0;
    bool cut = false;
    for (unsigned long i = 0; i < slices; ++i) {
      // A slice that the field only partly consumes is peeked, not taken,
      // so the next field reads it again.
      const int b = (ends_inside && i + 1 == slices) ? in->sgetc() : in->sbumpc();
      if (b == std::char_traits<char>::eof()) {
        cut = true;
        break;
      }
      end_of_message = (b & 3) == end_bits_message;
      const uint64_t data = static_cast<unsigned>(b) >> 2;
      if (i == 0) {
        value = data >> c;
      } else {
        const unsigned long pos = 6 * i - c;
        if (pos < 64) value |= data << pos;
      }
    }
    if (width < 64) value &= (uint64_t(1) << width) - 1;
    if (cut) {
      end_of_message = true;
      bit_cursor = 0;
    } else {
      bit_cursor = static_cast<uint8_t>((c + width % 6) % 6);
    }
  }
  std::memcpy(out, &value, std::min<unsigned long>(size, sizeof value));
}

void nexus_decoder_t::parse_variable_field(unsigned char* out) {
  std::streambuf* in = trace_stream.rdbuf();
  uint64_t value = 0;
  unsigned pos = 0;  // where the next data bits go; stops counting at 64
  unsigned skip = bit_cursor;  // data bits of the first slice already used
  bit_cursor = 0;
  for (;;) {
    const int b = in->sbumpc();
    if (b == std::char_traits<char>::eof()) {
      end_of_message = true;
      break;
    }
    end_of_message = (b & 3) == end_bits_message;
    // Bits beyond the 64th are dropped.
    if (pos < 64) value |= (uint64_t(static_cast<unsigned>(b) >> 2) >> skip) << pos;
    pos = std::min(pos + 6 - skip, 64u);
    skip = 0;
    if (b & 1) break;
  }
  std::memcpy(out, &value, sizeof value);
}

// The end of most message lines: the message's own time stamp and the
// source's global one.
void nexus_decoder_t::add_tstamp_text(uint64_t ts) {
  msg_text.add(" TSTAMP = 0x", ts).add(" (GLOBAL TSTAMP = 0x", tstamp[src]).add(")\n");
}

// The end of the lines of the sync forms, which set the global time stamp.
void nexus_decoder_t::add_global_tstamp_text() {
  msg_text.add(" GLOBAL TSTAMP = 0x", tstamp[src]).add("\n");
}

void nexus_decoder_t::parse_sync() {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  const uint64_t sync = read_fixed(*this, 4);
  icnt = static_cast<uint32_t>(read_variable(*this));
  faddr[src] = read_variable(*this) << 1;
  if (!end_of_message) tstamp[src] = read_variable(*this);
  msg_text.add("Synchronization msg:  SRC = 0x", src)
      .add("  SYNC = 0x", sync)
      .add(" I-CNT = 0x", icnt)
      .add(" F-ADDR = 0x", faddr[src]);
  add_global_tstamp_text();
}

void nexus_decoder_t::parse_ownership() {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  const uint32_t process = static_cast<uint32_t>(read_variable(*this));
  const uint64_t ts = end_of_message ? 0 : read_variable(*this);
  tstamp[src] += ts;
  const uint32_t priv = (process >> 2) & 3;
  const uint32_t v = (process >> 4) & 1;
  msg_text.add("Ownership msg: SRC = 0x", src).add(" PRIV = 0x", priv).add(priv_and_v_label(priv), v);
  add_tstamp_text(ts);
}

void nexus_decoder_t::parse_dir_brch(bool sync) {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  if (sync) {
    const uint64_t sync_code = read_fixed(*this, 4);
    icnt = static_cast<uint32_t>(read_variable(*this));
    faddr[src] = read_variable(*this) << 1;
    if (!end_of_message) tstamp[src] = read_variable(*this);
    msg_text.add("Direct Branch Sync msg: SRC = 0x", src)
        .add(" SYNC = 0x", sync_code)
        .add(" I-CNT = 0x", icnt)
        .add(" F-ADDR = 0x", faddr[src]);
    add_global_tstamp_text();
    return;
  }
  icnt = static_cast<uint32_t>(read_variable(*this));
  const uint64_t ts = end_of_message ? 0 : read_variable(*this);
  tstamp[src] += ts;
  msg_text.add("Direct Branch msg: SRC = 0x", src).add(" I-CNT = 0x", icnt);
  add_tstamp_text(ts);
}

void nexus_decoder_t::parse_indir_brch(bool sync) {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  if (sync) {
    const uint64_t sync_code = read_fixed(*this, 4);
    const uint64_t btype = read_fixed(*this, 2);
    icnt = static_cast<uint32_t>(read_variable(*this));
    faddr[src] = read_variable(*this) << 1;
    if (!end_of_message) tstamp[src] = read_variable(*this);
    msg_text.add("Indirect Branch Sync msg: SRC = 0x", src)
        .add(" SYNC = 0x", sync_code)
        .add(" BTYPE = 0x", btype)
        .add(" I-CNT = 0x", icnt)
        .add(" F-ADDR = 0x", faddr[src]);
    add_global_tstamp_text();
    return;
  }
  const uint64_t btype = read_fixed(*this, 2);
  icnt = static_cast<uint32_t>(read_variable(*this));
  uaddr[src] = read_variable(*this) << 1;
  const uint64_t ts = end_of_message ? 0 : read_variable(*this);
  tstamp[src] += ts;
  msg_text.add("Indirect Branch msg: SRC = 0x", src)
      .add(" BTYPE = 0x", btype)
      .add(" I-CNT = 0x", icnt)
      .add(" U-ADDR = 0x", uaddr[src]);
  add_tstamp_text(ts);
}

void nexus_decoder_t::parse_history(bool sync) {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  if (sync) {
    const uint64_t sync_code = read_fixed(*this, 4);
    const uint64_t btype = read_fixed(*this, 2);
    icnt = static_cast<uint32_t>(read_variable(*this));
    faddr[src] = read_variable(*this) << 1;
    const uint64_t hist_field = read_variable(*this);
    hist = reverse_low_bits(hist_field);
    if (!end_of_message) tstamp[src] = read_variable(*this);
    msg_text.add("History Branch with SYNC msg: SRC = 0x", src)
        .add(" SYNC = 0x", sync_code)
        .add(" BTYPE = 0x", btype)
        .add(" I-CNT = 0x", icnt)
        .add(" F-ADDR = 0x", faddr[src])
        .add(" HIST = 0x", hist_field);
    add_global_tstamp_text();
    return;
  }
  const uint64_t btype = read_fixed(*this, 2);
  icnt = static_cast<uint32_t>(read_variable(*this));
  uaddr[src] = read_variable(*this) << 1;
  const uint64_t hist_field = read_variable(*this);
  hist = reverse_low_bits(hist_field);
  const uint64_t ts = end_of_message ? 0 : read_variable(*this);
  tstamp[src] += ts;
  msg_text.add("History Branch msg: SRC = 0x", src)
      .add(" BTYPE = 0x", btype)
      .add(" I-CNT = 0x", icnt)
      .add(" U-ADDR = 0x", uaddr[src])
      .add(" HIST = 0x", hist_field);
  add_tstamp_text(ts);
}

void nexus_decoder_t::parse_error() {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  const uint64_t etype = read_fixed(*this, 4);
  const uint32_t ecode = static_cast<uint32_t>(read_variable(*this));
  const uint64_t ts = end_of_message ? 0 : read_variable(*this);
  tstamp[src] += ts;
  msg_text.add("Error msg: SRC = 0x", src).add(" ETYPE = 0x", etype).add(" ECODE = 0x", ecode);
  add_tstamp_text(ts);
}

void nexus_decoder_t::parse_correlation() {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  const uint64_t evcode = read_fixed(*this, 4);
  const uint64_t cdf = read_fixed(*this, 2);
  icnt = static_cast<uint32_t>(read_variable(*this));
  uint64_t hist_field = 0;
  if (cdf == 1) {
    hist_field = read_variable(*this);
    hist = hist_field;
  }
  const uint64_t ts = end_of_message ? 0 : read_variable(*this);
  tstamp[src] += ts;
  hist = reverse_low_bits(hist);
  msg_text.add("Correlation msg:  SRC = 0x", src).add(" EVCODE = 0x", evcode);
  if (cdf == 1)
    msg_text.add(" CDF = 0x1 I-CNT = 0x", icnt).add(" HIST = 0x", hist_field);
  else
    msg_text.add(" I-CNT = 0x", icnt);
  add_tstamp_text(ts);
}

void nexus_decoder_t::parse_resource_full() {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  const uint64_t rcode = read_fixed(*this, 4);
  uint64_t rdata = 0;
  if (rcode == 0) {
    rdata = read_variable(*this);
    icnt = static_cast<uint32_t>(rdata);
    hist = 1;
  } else if (rcode == 1) {
    rdata = read_variable(*this);
    hist = rdata;
    icnt = ~uint64_t(0);
  }
  if (end_of_message && bit_cursor != 0) {
    // The message ended inside the RCODE slice: the rest of that slice is
    // padding, and the next message starts with the following byte, not
    // with this slice read again as a TCODE.
    trace_stream.rdbuf()->sbumpc();
    bit_cursor = 0;
  }
  const uint64_t ts = end_of_message ? 0 : read_variable(*this);
  tstamp[src] += ts;
  hist = reverse_low_bits(hist);
  if (rcode > 1) return;
  msg_text.add("Resource full msg: SRC = 0x", src);
  if (rcode == 0)
    msg_text.add(" RCODE = 0x0 ICNT = 0x", icnt);
  else
    msg_text.add(" RCODE = 0x1 HIST = 0x", rdata);
  add_tstamp_text(ts);
}

void nexus_decoder_t::parse_repeat_brch() {
  if (src_present) src = static_cast<uint32_t>(read_fixed(*this, src_width));
  bcnt = static_cast<uint32_t>(read_variable(*this));
  const uint64_t ts = end_of_message ? 0 : read_variable(*this);
  tstamp[src] += ts;
  msg_text.add("Repeat Branch msg:  SRC = 0x", src).add(" BCNT = 0x", bcnt);
  add_tstamp_text(ts);
}
