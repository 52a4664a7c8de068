#pragma once
// Test-only ISA description: every extension present unless switched off,
// with a chosen register width; records the extension queries it answers.

#include <bitset>
#include <vector>

#include "isa_ext.h"

class test_isa_t : public isa_parser_i {
 public:
  explicit test_isa_t(int xlen) : xlen_(xlen) { present_.set(); }

  test_isa_t& without(isa_extension_t e) {
    present_.reset(e);
    return *this;
  }
  test_isa_t& without_letter(char letter) {
    present_.reset(static_cast<unsigned char>(letter));
    return *this;
  }
  test_isa_t& with(isa_extension_t e) {
    present_.set(e);
    return *this;
  }
  test_isa_t& with_letter(char letter) {
    present_.set(static_cast<unsigned char>(letter));
    return *this;
  }
  test_isa_t& nothing() {
    present_.reset();
    vector_ = false;
    return *this;
  }
  test_isa_t& without_vector() {
    vector_ = false;
    return *this;
  }

  bool extension_enabled(unsigned char letter) const override { return ask(letter); }
  bool extension_enabled(isa_extension_t ext) const override { return ask(ext); }
  int get_max_xlen() const override { return xlen_; }
  bool has_any_vector() const override { return vector_; }

  // Every extension or letter value asked, in order.
  mutable std::vector<unsigned> asked;

 private:
  bool ask(unsigned value) const {
    asked.push_back(value);
    return value < present_.size() && present_.test(value);
  }

  int xlen_;
  bool vector_ = true;
  std::bitset<NUM_ISA_EXTENSIONS> present_;
};
