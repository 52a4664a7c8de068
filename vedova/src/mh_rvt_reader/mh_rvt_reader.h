// Extractor of the rvt words of an swt trace file: steps over every other
// record by its byte length and hands out the payload bytes of the SWT_RVT
// records as one byte stream.
#ifndef VEDOVA_MH_RVT_READER_H
#define VEDOVA_MH_RVT_READER_H

#include <cstdint>
#include <string>

#include "et_reader.h"

class mh_rvt_reader_t : public et_reader_t {
 public:
  // Widths in bits, each 1 to 64 (std::runtime_error otherwise, or when the
  // file cannot be opened).
  mh_rvt_reader_t(const std::string& file, int xlen, int flen, unsigned long pa_bits, unsigned long irf_data_bits);
  ~mh_rvt_reader_t() override;

  // Copies up to `len` bytes of rvt words into buf and returns how many it
  // copied: `len` unless the file ended first. A word that does not fit is
  // split, and its remaining bytes come first on the next call. A record cut
  // off by the end of the file ends the stream and gives no bytes. Throws
  // std::runtime_error on a record code it cannot step over (every L2 and
  // data-cache traffic record among them).
  int64_t extract(void* buf, unsigned long len);

  // Not supported: throws std::runtime_error "Not suitable call".
  et_object_t* get_next_object() override;

 private:
  uint64_t xlen;
  uint64_t flen;
  uint64_t va_width;
  uint64_t pa_width;
  uint64_t irf_data_width;
  uint8_t record_lengths[256];  // bytes after the code byte; 0: code not accepted

  uint8_t pending[8];  // the part of the last rvt word not yet handed out
  uint8_t pending_begin;
  uint8_t pending_end;
};

#endif
