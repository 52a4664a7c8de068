#include "et_writer.h"

#include <cstring>
#include <stdexcept>

#include "swt_format.h"

et_writer_t::et_writer_t(const std::string& file_name, unsigned long size)
    : out(file_name, std::ios::out | std::ios::binary | std::ios::trunc),
      piid_width(SWT_PIID_WIDTH),
      xlen(0),
      flen(0),
      irf_data_width(0),
      va_width(0),
      pa_width(0),
      window_size(size == 0 ? 0 : (uint64_t(size) + 7) / 8 * 8),
      window_bytes(0),
      insn_count(0),
      bit_buffer(0),
      bit_count(0) {
  if (window_size != 0) window.reset(new unsigned char[window_size]);
}

et_writer_t::~et_writer_t() {
  // Fill the last word with zero-delta TSD1 records. With an odd number of
  // bytes pending the last one straddles the word; its delta byte is written
  // below as well, so the file never ends inside a record.
  if (bit_count != 0) {
    for (unsigned p = bit_count / 8u; p <= 7; p += 2) record_tsd1(0);
  }
  unsigned char tail[8];
  const unsigned tail_bytes = bit_count / 8u;
  for (unsigned i = 0; i < tail_bytes; ++i) tail[i] = static_cast<unsigned char>(bit_buffer >> (8 * i));

  if (window_size != 0) {
    if (window_bytes <= window_size) {
      // The ring never wrapped: the whole stream is in it.
      out.write(reinterpret_cast<const char*>(window.get()), static_cast<std::streamsize>(window_bytes));
    } else {
      while (!sync_offsets.empty() && sync_offsets.front() + window_size < window_bytes) sync_offsets.pop_front();
      const uint64_t start = sync_offsets.empty() ? window_bytes - window_size : sync_offsets.front();
      const uint64_t first = start % window_size;
      const uint64_t n = window_bytes - start;
      const uint64_t piece = n < window_size - first ? n : window_size - first;
      out.write(reinterpret_cast<const char*>(window.get() + first), static_cast<std::streamsize>(piece));
      if (piece < n) out.write(reinterpret_cast<const char*>(window.get()), static_cast<std::streamsize>(n - piece));
    }
  }
  if (tail_bytes != 0) out.write(reinterpret_cast<const char*>(tail), tail_bytes);
  window.reset();
  sync_offsets.clear();
  out.close();
}

void et_writer_t::configure(int xlen_, int flen_, int irf_data_width_, int va_width_, int pa_width_) {
  const struct {
    const char* name;
    int value;
  } widths[] = {{"xlen", xlen_}, {"flen", flen_}, {"irf_data_width", irf_data_width_}, {"va_width", va_width_},
                {"pa_width", pa_width_}};
  for (const auto& w : widths)
    if (w.value < 1 || w.value > 64)
      throw std::runtime_error(std::string("Invalid swt writer width: ") + w.name + " is " + std::to_string(w.value) +
                               ", it must be 1 to 64 bits");
  xlen = xlen_;
  flen = flen_;
  irf_data_width = irf_data_width_;
  va_width = va_width_;
  pa_width = pa_width_;
}

void et_writer_t::emit(uint64_t word) {
  unsigned char bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(word >> (8 * i));
  if (window_size == 0) {
    out.write(reinterpret_cast<const char*>(bytes), 8);
  } else {
    std::memcpy(window.get() + window_bytes % window_size, bytes, 8);
    window_bytes += 8;
  }
}

void et_writer_t::append(unsigned long value, unsigned long width) {
  // Fields wider than a word: the value fills the first 64 bits, zeros the rest.
  while (width > 64) {
    append(value, 64);
    value = 0;
    width -= 64;
  }
  if (width == 0) return;
  if (width < 64) value &= (uint64_t(1) << width) - 1;
  bit_buffer |= uint64_t(value) << bit_count;
  const unsigned count = bit_count + static_cast<unsigned>(width);
  if (count <= 63) {
    bit_count = static_cast<uint8_t>(count);
    return;
  }
  emit(bit_buffer);
  bit_count = static_cast<uint8_t>(count - 64);
  bit_buffer = bit_count == 0 ? 0 : uint64_t(value) >> (width - bit_count);
}

void et_writer_t::pad() { append(0, (8 - bit_count % 8) % 8); }

void et_writer_t::record_tsd1(unsigned char delta) {
  append(SWT_TSD1, 8);
  append(delta, 8);
}

void et_writer_t::record_swt_hart(unsigned char hart) {
  append(SWT_HART, 8);
  append(hart, 8);
}

void et_writer_t::record_swt_is(unsigned long piid, unsigned char mode, unsigned long insn) {
  ++insn_count;
  if (insn_count == 0 && window_size != 0) {
    while (!sync_offsets.empty() && sync_offsets.front() + window_size < window_bytes) sync_offsets.pop_front();
    sync_offsets.push_back(window_bytes + bit_count / 8);
  }
  append(SWT_IS, 8);
  append(piid, piid_width);
  append(mode, 2);
  append(insn, 64);
  pad();
}

void et_writer_t::record_swt_irfra(unsigned short piid, unsigned char slot, unsigned char reg) {
  append(SWT_IRFRA, 8);
  append(piid, piid_width);
  append(slot, 4);
  append(reg, 5);
  pad();
}

void et_writer_t::record_swt_irfrd(unsigned short piid, unsigned char slot, unsigned long data) {
  append(SWT_IRFRD, 8);
  append(piid, piid_width);
  append(slot, 4);
  append(data, irf_data_width);
  pad();
}

void et_writer_t::record_swt_irfwa(unsigned short piid, unsigned char reg) {
  append(SWT_IRFWA, 8);
  append(piid, piid_width);
  append(reg, 5);
  pad();
}

void et_writer_t::record_swt_irfwd(unsigned short piid, unsigned long data) {
  append(SWT_IRFWD, 8);
  append(piid, piid_width);
  append(data, irf_data_width);
  pad();
}

void et_writer_t::record_swt_frfra(unsigned short piid, unsigned char slot, unsigned char reg) {
  append(SWT_FRFRA, 8);
  append(piid, piid_width);
  append(slot, 4);
  append(reg, 5);
  pad();
}

void et_writer_t::record_swt_frfrd(unsigned short piid, unsigned char slot, unsigned long data) {
  append(SWT_FRFRD, 8);
  append(piid, piid_width);
  append(slot, 4);
  append(data, flen);
  pad();
}

void et_writer_t::record_swt_frfwa(unsigned short piid, unsigned char reg) {
  append(SWT_FRFWA, 8);
  append(piid, piid_width);
  append(reg, 5);
  pad();
}

void et_writer_t::record_swt_frfwd(unsigned short piid, unsigned long data) {
  append(SWT_FRFWD, 8);
  append(piid, piid_width);
  append(data, flen);
  pad();
}

void et_writer_t::record_swt_fr(unsigned short piid, bool flag) {
  append(SWT_FR, 8);
  append(piid, piid_width);
  append(flag ? 1 : 0, 1);
  pad();
}

void et_writer_t::record_swt_va(unsigned short piid, unsigned long va) {
  append(SWT_VA, 8);
  append(piid, piid_width);
  append(va, va_width);
  pad();
}

void et_writer_t::record_swt_pa(unsigned short piid, unsigned long pa) {
  append(SWT_PA, 8);
  append(piid, piid_width);
  append(pa, pa_width);
  pad();
}

void et_writer_t::record_swt_std(unsigned short piid, unsigned long data) {
  append(SWT_STD, 8);
  append(piid, piid_width);
  append(data, xlen > flen ? xlen : flen);
  pad();
}

void et_writer_t::record_swt_cm(unsigned short piid, unsigned long pc, bool fr_cm, bool trap, unsigned long cause,
                                bool trig) {
  append(SWT_CM, 8);
  append(piid, piid_width);
  append(pc, va_width);
  append(fr_cm ? 1 : 0, 1);
  append(trap ? 1 : 0, 1);
  append(xlen >= 1 ? (cause >> (xlen - 1)) & 1 : 0, 1);
  append(cause & 0x3f, 6);
  append(trig ? 1 : 0, 1);
  pad();
}
