#include "mh_rvt_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "swt_format.h"

namespace {

// Widths outside 1 to 64 cannot occur in a readable file and would give
// nonsense record lengths.
uint64_t checked_width(const char* name, long long value) {
  if (value < 1 || value > 64)
    throw std::runtime_error(std::string("Invalid swt design parameter: ") + name + " is " + std::to_string(value) +
                             ", it must be 1 to 64 bits");
  return uint64_t(value);
}

long long as_signed(unsigned long v) { return v > 64 ? 65 : static_cast<long long>(v); }

}  // namespace

mh_rvt_reader_t::mh_rvt_reader_t(const std::string& file, int xlen_bits, int flen_bits, unsigned long pa_bits,
                                 unsigned long irf_data_bits)
    : xlen(checked_width("XLEN", xlen_bits)),
      flen(checked_width("FLEN", flen_bits)),
      va_width(xlen),
      pa_width(checked_width("PADDR_WIDTH", as_signed(pa_bits))),
      irf_data_width(checked_width("IRF_DATA_WIDTH", as_signed(irf_data_bits))),
      record_lengths(),
      pending(),
      pending_begin(0),
      pending_end(0) {
  open_trace_file(file);

  // Bits after the code, rounded up to whole bytes.
  record_lengths[SWT_TSD1] = 1;
  record_lengths[SWT_RVT] = 8;
  record_lengths[SWT_HART] = 1;
  record_lengths[SWT_IS] = 10;
  record_lengths[SWT_IRFRA] = 3;
  record_lengths[SWT_IRFRD] = uint8_t((irf_data_width + 21) / 8);
  record_lengths[SWT_IRFWA] = 2;
  record_lengths[SWT_IRFWD] = uint8_t((irf_data_width + 17) / 8);
  record_lengths[SWT_FRFRA] = 3;
  record_lengths[SWT_FRFRD] = uint8_t((flen + 21) / 8);
  record_lengths[SWT_FRFWA] = 2;
  record_lengths[SWT_FRFWD] = uint8_t((flen + 17) / 8);
  record_lengths[SWT_FR] = 2;
  record_lengths[SWT_VA] = uint8_t((va_width + 17) / 8);
  record_lengths[SWT_PA] = uint8_t((pa_width + 17) / 8);
  record_lengths[SWT_STD] = uint8_t((std::max(xlen, flen) + 17) / 8);
  record_lengths[SWT_CM] = uint8_t((xlen + 27) / 8);
}

mh_rvt_reader_t::~mh_rvt_reader_t() {
  if (file != nullptr) fclose(file);
}

et_object_t* mh_rvt_reader_t::get_next_object() { throw std::runtime_error("Not suitable call"); }

int64_t mh_rvt_reader_t::extract(void* buf, unsigned long len) {
  unsigned char* out = static_cast<unsigned char*>(buf);
  unsigned long copied = 0;

  // First the rest of a word that the last call had no room for.
  if (pending_begin < pending_end && len > 0) {
    const unsigned long n = std::min<unsigned long>(pending_end - pending_begin, len);
    std::memcpy(out, pending + pending_begin, n);
    pending_begin = uint8_t(pending_begin + n);
    copied = n;
  }

  unsigned char payload[256];
  while (copied < len) {
    const int code = getc(file);
    if (code == EOF) break;
    const unsigned n = record_lengths[code];
    if (n == 0)
      throw std::runtime_error("Unknown header: " + std::to_string(code) + " at position " +
                               std::to_string(ftell(file) - 1) + "!");
    if (fread(payload, 1, n, file) != n) break;  // the file ends inside this record
    if (code != SWT_RVT) continue;
    const unsigned long take = std::min<unsigned long>(n, len - copied);
    std::memcpy(out + copied, payload, take);
    copied += take;
    if (take < n) {
      std::memcpy(pending, payload + take, n - take);
      pending_begin = 0;
      pending_end = uint8_t(n - take);
    }
  }
  if (ferror(file)) throw std::runtime_error("Error: fail to read trace file: " + file_name + ": " + strerror(errno));
  return int64_t(copied);
}
