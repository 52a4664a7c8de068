// Writer of swt trace files: one operation per record kind; the fields are
// packed into a 64-bit accumulator and written in whole 8-byte words.
//
// In window mode (window_size > 0) only the most recent window_size bytes of
// the stream are kept in memory; at destruction the kept part is written,
// starting at an instruction issue record when one still lies inside it.
#ifndef VEDOVA_ET_WRITER_H
#define VEDOVA_ET_WRITER_H

#include <cstdint>
#include <deque>
#include <fstream>
#include <memory>
#include <string>

class et_writer_t {
 public:
  // window_size 0: direct mode. Any other size is rounded up to a multiple
  // of 8, since the window stores whole 8-byte words.
  et_writer_t(const std::string& file_name, unsigned long window_size);
  virtual ~et_writer_t();

  et_writer_t(const et_writer_t&) = delete;
  et_writer_t& operator=(const et_writer_t&) = delete;

  // Sets the design widths (each 1 to 64; std::runtime_error otherwise).
  // The widths are 0 until the first call. va_width must equal xlen for the
  // file to be readable by mh_swt_reader_t.
  void configure(int xlen, int flen, int irf_data_width, int va_width, int pa_width);

  // Appends the low `width` bits of value to the stream.
  void append(unsigned long value, unsigned long width);

  void record_tsd1(unsigned char delta);
  void record_swt_hart(unsigned char hart);
  void record_swt_is(unsigned long piid, unsigned char mode, unsigned long insn);
  void record_swt_irfra(unsigned short piid, unsigned char slot, unsigned char reg);
  void record_swt_irfrd(unsigned short piid, unsigned char slot, unsigned long data);
  void record_swt_irfwa(unsigned short piid, unsigned char reg);
  void record_swt_irfwd(unsigned short piid, unsigned long data);
  void record_swt_frfra(unsigned short piid, unsigned char slot, unsigned char reg);
  void record_swt_frfrd(unsigned short piid, unsigned char slot, unsigned long data);
  void record_swt_frfwa(unsigned short piid, unsigned char reg);
  void record_swt_frfwd(unsigned short piid, unsigned long data);
  void record_swt_fr(unsigned short piid, bool flag);
  void record_swt_va(unsigned short piid, unsigned long va);
  void record_swt_pa(unsigned short piid, unsigned long pa);
  void record_swt_std(unsigned short piid, unsigned long data);
  void record_swt_cm(unsigned short piid, unsigned long pc, bool fr_cm, bool trap, unsigned long cause, bool trig);

 private:
  void emit(uint64_t word);
  void pad();

  std::ofstream out;
  int piid_width;
  int xlen;
  int flen;
  int irf_data_width;
  int va_width;
  int pa_width;
  uint64_t window_size;
  uint64_t window_bytes;
  std::unique_ptr<unsigned char[]> window;
  std::deque<uint64_t> sync_offsets;
  uint8_t insn_count;
  uint64_t bit_buffer;
  uint8_t bit_count;
};

#endif
