#include "et_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

et_reader_t::et_reader_t() : file_name("unknown"), fd(-1), file(nullptr) {}

et_reader_t::~et_reader_t() {}

void et_reader_t::dump_window() const {}

void et_reader_t::open_trace_file(const std::string& name) {
  int d = ::open(name.c_str(), O_RDONLY);
  if (d < 0) throw std::runtime_error("Error: fail to open trace file: " + name + ": " + strerror(errno));
  FILE* f = fdopen(d, "rb");
  if (f == nullptr) {
    std::string msg = std::string("Error: fdopen failed: ") + strerror(errno);
    ::close(d);
    throw std::runtime_error(msg);
  }
  file_name = name;
  fd = d;
  file = f;
}
