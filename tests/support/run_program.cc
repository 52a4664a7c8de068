#include "run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace test_support {
namespace {

std::string slurp_fd(int fd) {
  std::string text;
  char buf[65536];
  lseek(fd, 0, SEEK_SET);
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) text.append(buf, static_cast<size_t>(n));
  return text;
}

int temp_fd() {
  char name[] = "/tmp/trace-run-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  unlink(name);
  return fd;
}

}  // namespace

run_result run_program(const std::string& path, const std::vector<std::string>& args) {
  // Output goes to unlinked temporary files rather than pipes, so a program
  // that writes a lot can never block on a full pipe.
  const int out_fd = temp_fd();
  const int err_fd = temp_fd();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  pid_t pid;
  const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  run_result result;
  if (rc == 0) {
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  }
  result.out = slurp_fd(out_fd);
  result.err = slurp_fd(err_fd);
  close(out_fd);
  close(err_fd);
  if (rc != 0) throw std::runtime_error("cannot start " + path);
  return result;
}

temp_dir::temp_dir() {
  char name[] = "/tmp/trace-test-XXXXXX";
  if (!mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
  dir = name;
}

temp_dir::~temp_dir() {
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace test_support
