// Reader of swt trace files: assembles instruction records from the issue
// record and the later records that name the instruction by its piid, and
// hands out rvt, L2 and data-cache traffic records on request.
#ifndef VEDOVA_MH_SWT_READER_H
#define VEDOVA_MH_SWT_READER_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "et_reader.h"
#include "et_records.h"

class mh_swt_reader_t : public et_reader_t {
 public:
  // Records parsed ahead of the caller, so that the later records of an
  // instruction have landed in it before it is handed out.
  static constexpr uint64_t ring_size = 131072;
  static constexpr unsigned max_harts = 8;
  // How many records ahead get_next_object prefetches.
  static constexpr uint64_t prefetch_distance = 8;

  mh_swt_reader_t(const std::string& file, unsigned long hart_mask, bool skip_rvt, bool skip_l2t, bool skip_dct,
                  int xlen, int flen, unsigned long pa_bits, unsigned long irf_data_bits, unsigned long cl_width,
                  unsigned long cl_chunks, bool poison_enable);
  // Reads an open stream that stays owned by the caller.
  mh_swt_reader_t(FILE* stream, unsigned long hart_mask, bool skip_rvt, bool skip_l2t, bool skip_dct, int xlen,
                  int flen, unsigned long pa_bits, unsigned long irf_data_bits, unsigned long cl_width,
                  unsigned long cl_chunks, bool poison_enable);
  ~mh_swt_reader_t() override;

  et_object_t* get_next_object() override;

 private:
  struct issue_entry_t {
    et_insn_t* record;  // instruction record of the last SWT_IS with this piid
    uint64_t number;    // its record number, to tell whether the ring slot still holds it
  };

  void init();
  void parse_more();
  uint64_t get_bits(int n);
  void skip_bits(uint64_t n);
  et_object_t& take_slot();
  void parse_insn_record(unsigned code);
  void parse_traffic(unsigned code, uint8_t kind);
  void read_data_layout(uint64_t* d, uint8_t& psn, uint8_t& cn, uint8_t& count);

  bool owns_file;
  uint64_t hart_mask;
  bool skip_rvt;
  bool skip_l2t;
  bool skip_dct;
  uint64_t xlen;
  uint64_t flen;
  uint64_t va_width;
  uint64_t pa_width;
  uint64_t irf_data_width;
  uint64_t cl_width;
  uint64_t cl_chunks;
  uint64_t chunk_words;
  uint64_t chunk_index_width;
  bool poison_enable;

  unsigned __int128 bit_buffer;
  uint8_t loaded_bits;
  int32_t remaining_bits;

  uint8_t current_hart;
  uint64_t cycle;
  bool skip_current_hart;
  uint8_t dct_hart;
  uint64_t last_uiid[max_harts];
  std::unique_ptr<issue_entry_t[]> issue_tables[max_harts];
  // Allocated zeroed with calloc: fresh pages come zeroed from the system,
  // so building a reader does not write the whole ring, and a short trace
  // touches only the slots it fills.
  struct free_deleter {
    void operator()(et_object_t* p) const { std::free(p); }
  };
  std::unique_ptr<et_object_t[], free_deleter> ring;
  uint64_t produced;
  uint64_t consumed;
  uint16_t record_bits[256];  // bits after the code of every defined record, for stepping over
};

// Name of an swt record code, for messages.
std::string mh_record_to_string(unsigned long code);

#endif
