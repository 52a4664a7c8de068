// Builds Nexus trace byte streams for tests, field by field.
//
//   nexus_writer_t w(true, 2);           // every message carries a 2-bit SRC
//   w.begin(4, 1).fixed(2, 2).var(13).var(0x400).end();
//   w.idle(3);
//   w.begin(3, 1).var(5).end(0x20);      // with a TSTAMP field
//   w.write_file(path);
//
// Fixed fields pack back to back into the six data bits of each slice;
// a variable field takes the rest of a partly used slice, as few further
// slices as its value needs and ends with end bit 0; end() closes the
// message by setting both end bits of its last slice.
#ifndef TESTS_SUPPORT_NEXUS_WRITER_H
#define TESTS_SUPPORT_NEXUS_WRITER_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class nexus_writer_t {
 public:
  explicit nexus_writer_t(bool src_present = false, unsigned src_width = 0);

  // Starts a message: its TCODE slice, then the SRC field when the writer
  // was built with one.
  nexus_writer_t& begin(unsigned tcode, uint64_t src = 0);
  // A fixed field of `width` bits (0 to 64).
  nexus_writer_t& fixed(unsigned width, uint64_t value);
  // A variable field; `min_slices` pads it with zero data bits so that it
  // takes at least that many slices.
  nexus_writer_t& var(uint64_t value, unsigned min_slices = 0);
  // A variable field of up to 128 data bits: `low` then `high` above it.
  nexus_writer_t& var_wide(uint64_t low, uint64_t high);
  // Ends the message, after a TSTAMP field when one is given.
  nexus_writer_t& end(std::optional<uint64_t> tstamp = std::nullopt);
  // Idle bytes (0xFF) between messages.
  nexus_writer_t& idle(unsigned count = 1);
  // Bytes appended as they are, between messages.
  nexus_writer_t& raw(const std::vector<uint8_t>& bytes);

  const std::vector<uint8_t>& bytes() const { return out_; }
  void clear();
  // Writes the bytes to `path`; raises std::runtime_error on failure.
  void write_file(const std::string& path) const;

 private:
  void put_bit(bool bit);
  nexus_writer_t& put_var(uint64_t low, uint64_t high, unsigned min_slices);
  void need_message(const char* what) const;

  bool src_present_;
  unsigned src_width_;
  std::vector<uint8_t> out_;
  unsigned cursor_ = 0;  // data bits used in the last slice; 0: it is full
  bool in_message_ = false;
};

// Writes `bytes` to a fresh file below the temporary directory and returns
// its path; the file is removed when the returned object goes out of scope.
class temp_trace_file_t {
 public:
  explicit temp_trace_file_t(const std::vector<uint8_t>& bytes);
  ~temp_trace_file_t();
  temp_trace_file_t(const temp_trace_file_t&) = delete;
  temp_trace_file_t& operator=(const temp_trace_file_t&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

#endif
