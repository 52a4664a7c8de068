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
  // How many records ahead get_next_object prefetches a warm line (hot
  // lines: twice as far).
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

  // For a caller that reads of an instruction record only its pc, word,
  // physical address and commit outcome (`type`, `pc`, `insn`, `pa_valid`,
  // `pa`, `committed`, `trap`, `intr`, `cause`, `trig`, `fr_cm`): the reader
  // then keeps nothing else of the later records, which spares most of its
  // work. Every other field of an instruction record reads 0, as long as the
  // caller writes only into those fields. Traffic records, the records'
  // order and the errors are unchanged. Call before the first
  // get_next_object.
  void keep_only_outcome();

 private:
  // The ring keeps each record in a compact form; the record handed out is
  // expanded from it into `out`. An instruction's most used fields share one
  // 64-byte line (hot); the other operand slots and addresses sit in parallel
  // arrays (warm, cold) that are touched only when a record carries them,
  // and traffic records in one more (traffic). Cycle counters after the
  // issue are kept as 32-bit distances from the issue cycle; a distance that
  // does not fit is kept whole in the cold part (its `wide` bit set).
  struct alignas(64) hot_entry_t {
    uint64_t insn;
    uint64_t issue_cycle;
    uint64_t uiid;
    uint64_t pc;
    uint64_t present;  // which fields the later records set (bit layout in the .cc)
    uint64_t rd_value;
    uint32_t commit_delta;
    uint32_t write_delta;
    uint16_t commit_flags;  // the commit record's 10 flag bits, committed, fr_e0
    uint8_t kind;
    uint8_t hart;
    uint8_t mode;
    uint8_t rd_reg;
  };
  struct alignas(64) warm_entry_t {
    uint64_t rs1_value;
    uint64_t rs2_value;
    uint64_t ea;
    uint64_t pa;
    uint64_t sd;
    uint32_t read_delta;
    uint32_t ea_delta;
    uint32_t pa_delta;
    uint32_t sd_delta;
    uint32_t fr_delta;
    uint8_t rs1_reg;
    uint8_t rs2_reg;
  };
  struct alignas(128) cold_entry_t {
    uint64_t value[6];       // rs3, rs4, frs1, frs2, frs3, frd
    uint64_t wide_cycle[7];  // the cycle counters whose distance did not fit
    uint8_t reg[6];
  };
  // An instruction as keep_only_outcome keeps it.
  struct alignas(32) lean_entry_t {
    uint64_t insn;
    uint64_t pc;
    uint64_t pa;
    uint16_t commit_flags;
    uint8_t kind;
    uint8_t pa_valid;
  };
  union traffic_entry_t {
    rvt_object_t rvt;
    l2t_object_t l2t;
    dct_object_t dct;
  };

  void init();
  template <bool Lean>
  void parse_more();
  uint64_t get_bits(int n);
  void refill(int n);
  int64_t block_position() const;
  void skip_bits(uint64_t n);
  template <bool Lean>
  uint64_t take_slot(uint8_t kind);
  uint64_t take_traffic_slot(uint8_t kind);
  void parse_record();
  void select_hart(uint64_t h);
  uint64_t* current_table() const;
  struct stream_bits;
  struct buffer_bits;
  template <bool Lean, typename Bits>
  void parse_insn_record(Bits& bits, unsigned code, uint64_t piid, uint64_t* table);
  void parse_traffic(unsigned code, uint8_t kind);
  void read_data_layout(uint64_t* d, uint8_t& psn, uint8_t& cn, uint8_t& count);
  void set_cycle(uint64_t slot, unsigned which);
  void set_reg(uint64_t slot, unsigned operand, uint64_t reg);
  void set_value(uint64_t slot, unsigned operand, uint64_t value);
  void expand(uint64_t slot);
  void expand_lean(uint64_t slot);
  void expand_traffic(uint8_t kind, uint64_t slot);
  et_insn_t& insn_out();
  // keep_only_outcome was called.
  bool lean() const { return lean_ring != nullptr; }

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

  // The input, read in large blocks; fields are taken from it bit by bit,
  // least significant first. input_bit counts the bits taken from the start
  // of the buffer; `dropped` the file bytes moved out before it.
  static constexpr size_t input_capacity = 1 << 16;
  // Bytes that must follow the start of a record for parse_more to read it
  // from the buffer directly: the longest instruction record (12 bytes) and
  // the 9 bytes loaded for its last field.
  static constexpr size_t buffer_margin = 32;
  std::unique_ptr<unsigned char[]> input;
  size_t input_bytes;
  uint64_t input_bit;
  uint64_t dropped;
  bool input_ended;         // a field ran past the end of the input
  int64_t start_position;   // the stream's position before the first read (-1: unknown)

  uint8_t current_hart;
  uint64_t cycle;
  bool skip_current_hart;
  uint8_t dct_hart;
  uint64_t last_uiid[max_harts];
  // Per selected hart and piid: 1 + the record number of the last SWT_IS
  // with that piid, 0 while there was none.
  std::unique_ptr<uint64_t[]> issue_tables[max_harts];
  // Fresh zero pages from the system: building a reader does not touch the
  // rings, and a trace touches only the parts its records use.
  template <typename T>
  struct ring_deleter {
    void operator()(T* p) const;
  };
  template <typename T>
  using ring_t = std::unique_ptr<T[], ring_deleter<T>>;
  ring_t<hot_entry_t> hot;
  ring_t<warm_entry_t> warm;
  ring_t<cold_entry_t> cold;
  ring_t<traffic_entry_t> traffic;
  ring_t<lean_entry_t> lean_ring;  // allocated by keep_only_outcome
  uint64_t produced;
  uint64_t consumed;
  et_object_t out;  // the record handed out last
  bool out_is_insn;  // out holds an instruction record
  uint16_t record_bits[256];  // bits after the code of every defined record, for stepping over
  uint16_t skipped_bits[256];  // the same for the traffic records not handed out, else 0
};

// Name of an swt record code, for messages.
std::string mh_record_to_string(unsigned long code);

#endif
