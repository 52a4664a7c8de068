#pragma once
// ISA description parsed from an ISA string such as "rv64imafdc_zba_zbb" and
// a privilege-mode string such as "msu". A malformed string ends the process
// with one line on standard error.

#include <bitset>
#include <cstdint>
#include <string>

#include "isa_ext.h"

class isa_parser_t : public isa_parser_i {
 public:
  isa_parser_t() = default;

  // Parses both strings and fills every field; returns true. A rejected
  // string does not return: it writes "error: bad --isa option ..." to
  // standard error and aborts.
  bool init(const std::string& isa, const std::string& priv);

  bool extension_enabled(unsigned char ext) const override;
  bool extension_enabled(isa_extension_t ext) const override;
  int get_max_xlen() const override { return max_xlen; }
  bool has_any_vector() const override { return max_vlen != 0; }

  uint64_t get_misa() const { return misa; }
  uint64_t get_max_vlen() const { return max_vlen; }
  uint64_t get_max_elen() const { return max_elen; }
  bool get_vector_float() const { return vector_float; }
  bool get_vector_double() const { return vector_double; }
  const std::string& get_isa_string() const { return isa_string; }

 private:
  int max_xlen = 0;
  uint64_t misa = 0;
  uint64_t max_vlen = 0;
  uint64_t max_elen = 0;
  bool vector_float = false;
  bool vector_double = false;
  std::bitset<NUM_ISA_EXTENSIONS> extension_set;
  std::string isa_string;
};
