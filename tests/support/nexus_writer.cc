#include "nexus_writer.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

nexus_writer_t::nexus_writer_t(bool src_present, unsigned src_width)
    : src_present_(src_present), src_width_(src_width) {}

void nexus_writer_t::need_message(const char* what) const {
  if (!in_message_)
    throw std::logic_error(std::string("nexus_writer_t: ") + what + " outside a message");
}

void nexus_writer_t::put_bit(bool bit) {
  if (cursor_ == 0) out_.push_back(0);
  if (bit) out_.back() |= static_cast<uint8_t>(1u << (2 + cursor_));
  cursor_ = (cursor_ + 1) % 6;
}

nexus_writer_t& nexus_writer_t::begin(unsigned tcode, uint64_t src) {
  if (in_message_) throw std::logic_error("nexus_writer_t: message not ended");
  if (tcode > 63) throw std::logic_error("nexus_writer_t: TCODE wider than 6 bits");
  out_.push_back(static_cast<uint8_t>(tcode << 2));
  cursor_ = 0;
  in_message_ = true;
  if (src_present_) fixed(src_width_, src);
  return *this;
}

nexus_writer_t& nexus_writer_t::fixed(unsigned width, uint64_t value) {
  need_message("fixed field");
  if (width > 64) throw std::logic_error("nexus_writer_t: fixed field wider than 64 bits");
  for (unsigned i = 0; i < width; ++i) put_bit((value >> i) & 1);
  return *this;
}

nexus_writer_t& nexus_writer_t::var(uint64_t value, unsigned min_slices) {
  return put_var(value, 0, min_slices);
}

nexus_writer_t& nexus_writer_t::var_wide(uint64_t low, uint64_t high) {
  return put_var(low, high, 0);
}

nexus_writer_t& nexus_writer_t::put_var(uint64_t low, uint64_t high, unsigned min_slices) {
  need_message("variable field");
  auto bit_at = [&](unsigned i) -> bool {
    return i < 64 ? (low >> i) & 1 : i < 128 ? (high >> (i - 64)) & 1 : false;
  };
  unsigned bits = 128;
  while (bits > 0 && !bit_at(bits - 1)) --bits;
  unsigned i = 0;
  unsigned slices = 0;
  // The field takes the rest of a partly used slice first, even when the
  // value needs none of its bits.
  if (cursor_ != 0) {
    slices = 1;
    while (cursor_ != 0) put_bit(bit_at(i++));
  }
  while (slices == 0 || i < bits || slices < min_slices) {
    ++slices;
    for (int k = 0; k < 6; ++k) put_bit(bit_at(i++));
  }
  out_.back() |= 1;
  return *this;
}

nexus_writer_t& nexus_writer_t::end(std::optional<uint64_t> tstamp) {
  need_message("end");
  if (tstamp) var(*tstamp);
  out_.back() |= 3;
  cursor_ = 0;
  in_message_ = false;
  return *this;
}

nexus_writer_t& nexus_writer_t::idle(unsigned count) {
  if (in_message_) throw std::logic_error("nexus_writer_t: idle byte inside a message");
  out_.insert(out_.end(), count, 0xFF);
  return *this;
}

nexus_writer_t& nexus_writer_t::raw(const std::vector<uint8_t>& bytes) {
  if (in_message_) throw std::logic_error("nexus_writer_t: raw bytes inside a message");
  out_.insert(out_.end(), bytes.begin(), bytes.end());
  return *this;
}

void nexus_writer_t::clear() {
  out_.clear();
  cursor_ = 0;
  in_message_ = false;
}

void nexus_writer_t::write_file(const std::string& path) const {
  std::ofstream f(path, std::ios::out | std::ios::binary | std::ios::trunc);
  if (!f) throw std::runtime_error("cannot create " + path);
  f.write(reinterpret_cast<const char*>(out_.data()), static_cast<std::streamsize>(out_.size()));
  f.close();
  if (!f) throw std::runtime_error("cannot write " + path);
}

temp_trace_file_t::temp_trace_file_t(const std::vector<uint8_t>& bytes) {
  const char* dir = std::getenv("TMPDIR");
  std::string tmpl = std::string(dir && *dir ? dir : "/tmp") + "/nexus_trace_XXXXXX";
  const int fd = mkstemp(tmpl.data());
  if (fd < 0) throw std::runtime_error("cannot create a temporary file in " + tmpl);
  close(fd);
  path_ = tmpl;
  nexus_writer_t w;
  w.raw(bytes).write_file(path_);
}

temp_trace_file_t::~temp_trace_file_t() { std::remove(path_.c_str()); }
