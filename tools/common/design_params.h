#pragma once
// The design parameters that both programs read from node "swt" of the
// design-parameter file, in the order they are read.

#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "ConfigNode/ConfigNode.h"
#include "mh_swt_reader/mh_swt_reader.h"

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

// Loads the design-parameter file (expansion on) into a tree of its own and
// reads node "swt" of it. Returns false, after its report on standard error,
// when the file cannot be loaded; a missing node or key, or a value that is
// no number, raises std::runtime_error.
inline bool load_design_params(const std::string& path, design_params_t& d) {
  auto root = std::make_shared<ConfigNodeClass>("soc");
  auto loaded = std::make_shared<ConfigNodeClass>("soc");
  std::cout << "Load configuration from '" << path << "'" << std::endl;
  if (!loaded->load(path, true)) {
    std::cerr << "Unable to load SoC configuration file '" << path << "'" << std::endl;
    return false;
  }
  root->append(loaded, true);
  d = read_design_params(*root->getNode("swt"));
  return true;
}

// A reader of the reference trace that keeps only the instruction records
// of the harts in `hart_mask`, and of those only what the programs read: the
// pc, the word, the physical address and the commit outcome.
inline std::unique_ptr<mh_swt_reader_t> open_swt_reader(const std::string& path,
                                                        unsigned long hart_mask,
                                                        const design_params_t& d) {
  auto reader = std::make_unique<mh_swt_reader_t>(path, hart_mask, true, true, true,
                                                  static_cast<int>(d.xlen), static_cast<int>(d.flen),
                                                  d.paddr_width, d.irf_data_width, d.cl_width,
                                                  d.cl_chunks, d.poison_enable);
  reader->keep_only_outcome();
  return reader;
}
