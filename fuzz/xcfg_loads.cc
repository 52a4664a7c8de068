// Fuzz target: the configuration loader over hostile XML text, expansion off,
// then the reads the programs make of a design-parameter tree.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "ConfigNode/ConfigNode.h"
#include "design_params.h"

// An include in XML text names a file relative to the working directory, so
// scripts/fuzz runs this target in an empty scratch folder.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // An include of the standard input must not wait for it.
  const int null_fd = open("/dev/null", O_RDONLY);
  if (null_fd < 0 || dup2(null_fd, 0) < 0) abort();
  close(null_fd);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string xml(reinterpret_cast<const char*>(data), size);
  // As the programs do: load into a tree of its own, merge it into the root
  // "soc", read the design parameters of node "swt".
  auto loaded = std::make_shared<ConfigNodeClass>("soc");
  try {
    if (!loaded->loads(xml, false)) return 0;
  } catch (const std::runtime_error&) {
    return 0;
  }
  auto root = std::make_shared<ConfigNodeClass>("soc");
  root->append(loaded, true);
  try {
    (void)read_design_params(*root->getNode("swt"));
  } catch (const std::runtime_error&) {
  }

  std::stringstream dump;
  loaded->dump(dump, 0);
  (void)root->toString();
  return 0;
}
