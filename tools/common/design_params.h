#pragma once
// The design parameters that both programs read from node "swt" of the
// design-parameter file, in the order they are read.

#include <memory>
#include <stdexcept>
#include <string>

#include "ConfigNode/ConfigNode.h"

struct design_params_t {
  unsigned long xlen = 0;
  unsigned long flen = 0;
  unsigned long paddr_width = 0;
  unsigned long irf_data_width = 0;
  unsigned long cl_width = 0;
  unsigned long cl_chunks = 0;
  bool poison_enable = false;
};

// A key whose text is no number comes back from the tree as a bare
// conversion error ("stoull"); name the key so the user can find it.
template <typename T>
T read_design_key(const ConfigNodeClass& swt, const char* key) {
  try {
    return swt.getNodeValue<T>(key);
  } catch (const std::invalid_argument& e) {
    throw std::runtime_error(std::string("Invalid value of swt.") + key + " (" + e.what() + ")");
  } catch (const std::out_of_range& e) {
    throw std::runtime_error(std::string("Value of swt.") + key + " is out of range (" + e.what() + ")");
  }
}

inline design_params_t read_design_params(const ConfigNodeClass& swt) {
  design_params_t d;
  d.xlen = read_design_key<unsigned long>(swt, "XLEN");
  d.flen = read_design_key<unsigned long>(swt, "FLEN");
  d.paddr_width = read_design_key<unsigned long>(swt, "PADDR_WIDTH");
  d.irf_data_width = read_design_key<unsigned long>(swt, "IRF_DATA_WIDTH");
  d.cl_width = read_design_key<unsigned long>(swt, "CL_WIDTH");
  d.cl_chunks = read_design_key<unsigned long>(swt, "CL_CHUNKS");
  d.poison_enable = read_design_key<bool>(swt, "POISON_ENABLE");
  return d;
}
