// Helpers shared by the fuzz targets: a scratch file per process for the
// readers that take a path, and an output stream that refuses to grow
// without bound.
#ifndef FUZZ_SUPPORT_H
#define FUZZ_SUPPORT_H

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>

namespace fuzz_support {

// A path below $TMPDIR (or /tmp) unique to this process, so that targets
// running side by side do not share files.
inline std::string scratch_path(const std::string& name) {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/fuzz_" + name + "." +
         std::to_string(getpid());
}

// Replaces the file's content with the bytes; aborts when it cannot, as
// the run would test nothing.
inline void write_file(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  if (std::fclose(f) != 0) std::abort();
}

// Counts what is written and refuses everything past `limit` bytes. The
// decode walk writes at least a PC per instruction, so a trace that claims
// billions of instructions is cut off here instead of timing out.
class bounded_buf_t : public std::streambuf {
 public:
  explicit bounded_buf_t(size_t limit) : left(limit) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (left == 0) return traits_type::eof();
    --left;
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    const size_t take = static_cast<size_t>(n) < left ? static_cast<size_t>(n) : left;
    left -= take;
    return static_cast<std::streamsize>(take);
  }

 private:
  size_t left;
};

}  // namespace fuzz_support

#endif
