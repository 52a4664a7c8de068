// The trace reader interface: readers hand out records one at a time.
#ifndef VEDOVA_ET_READER_H
#define VEDOVA_ET_READER_H

#include <cstdio>
#include <string>

#include "et_records.h"

class et_reader_t {
 public:
  virtual ~et_reader_t();

  // The next record, or null at the end of the trace. The record belongs to
  // the reader and stays valid until the next call.
  virtual et_object_t* get_next_object() = 0;

  virtual void dump_window() const;

  et_reader_t(const et_reader_t&) = delete;
  et_reader_t& operator=(const et_reader_t&) = delete;

 protected:
  et_reader_t();

  // Opens `name` read-only and wraps the descriptor in a stdio stream; fills
  // file_name, fd and file. Throws std::runtime_error when either step fails.
  void open_trace_file(const std::string& name);

  std::string file_name;
  int fd;
  FILE* file;
};

#endif
