#pragma once
// Runs a program with arguments, capturing its standard output, standard
// error and exit status (for end-to-end tests of the built programs).

#include <string>
#include <vector>

namespace test_support {

struct run_result {
  int status = -1;  // exit status 0..255, or -1 when killed by a signal
  std::string out;
  std::string err;
};

run_result run_program(const std::string& path, const std::vector<std::string>& args);

// A fresh, empty directory under the system's temporary directory, removed
// with everything in it when the object goes.
class temp_dir {
 public:
  temp_dir();
  ~temp_dir();
  temp_dir(const temp_dir&) = delete;
  temp_dir& operator=(const temp_dir&) = delete;
  const std::string& path() const { return dir; }
  std::string file(const std::string& name) const { return dir + "/" + name; }

 private:
  std::string dir;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

}  // namespace test_support
