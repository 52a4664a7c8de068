#pragma once
// Builds Nexus messages from a sequence of executed PCs, the way a core's
// trace encoder would, so that tests, examples and benchmarks can produce
// real Nexus traces of real program runs.
//
// The encoder knows just enough of the RISC-V encodings to tell instruction
// lengths, conditional branches and direct jumps apart; it works from the
// actual next PC, so any discontinuity it cannot explain (indirect jumps,
// traps, returns) becomes an indirect-branch style message.

#include <cstdint>
#include <functional>
#include <vector>

class et_writer_t;

namespace trace_gen {

enum class insn_class {
  other,
  branch,       // B-type conditional branch
  c_branch,     // c.beqz, c.bnez
  jump,         // jal
  c_jump,       // c.j, and c.jal on RV32
};

struct insn_info {
  unsigned length = 4;  // bytes
  insn_class cls = insn_class::other;
  int64_t offset = 0;   // branch or jump offset, for the classes that have one
};

// Length and control-flow class of one instruction word (the 16-bit ones in
// the low half; the upper half is ignored for them).
insn_info classify(uint32_t word, unsigned xlen);

// Register operands and memory access of one instruction, as far as the
// reference trace's detail records need them. Only the common encodings are
// told apart; the values written for them are synthetic.
struct operands {
  int rs[3] = {-1, -1, -1};  // source registers (slots rs1, rs2, rs3)
  bool fp_rs[3] = {false, false, false};
  int rd = -1;
  bool fp_rd = false;
  bool load = false;
  bool store = false;
};

// Source and destination registers and memory access of one instruction
// word (a 16-bit one in the low half).
operands decode_operands(uint32_t word);

// Writes the detail records a core model adds to an instruction between its
// issue and its commit: register reads and the write, addresses, store data.
// `count` is the instruction's position in the run; the values are made up
// from it and the PC.
void write_details(et_writer_t& out, unsigned short piid, uint64_t pc, uint32_t word, uint64_t count);

// Whether the instruction at position `count` of a run gets detail records
// when `percent` of the instructions should have them: spread evenly but not
// periodically.
bool detailed(uint64_t count, unsigned percent);

// One Nexus message: TCODE, then the fields in order. A field of width 0 is a
// variable-width field; the SRC field (if any) is added by the serializer.
struct nexus_field {
  unsigned width;
  uint64_t value;
};
struct nexus_message {
  uint8_t tcode;
  uint32_t src;
  std::vector<nexus_field> fields;
};

struct encoder_options {
  unsigned xlen = 64;
  // History mode (History Branch, Resource Full) or branch mode (Direct and
  // Indirect Branch messages, one per taken branch).
  bool history = true;
  // In branch mode: fold runs of identical Direct Branch messages into one
  // message and a Repeat Branch.
  bool repeat = true;
  // History bits collected before a Resource Full message flushes them.
  unsigned max_history_bits = 31;
};

// Per-source encoder. Feed it every executed instruction of its source in
// order; it hands finished messages to the sink.
class encoder {
 public:
  using sink_t = std::function<void(const nexus_message&)>;

  encoder(const encoder_options& options, uint32_t src, sink_t sink);

  // Starts the trace at `pc` with a Synchronization message.
  void start(uint64_t pc);
  // One executed instruction at `pc` with its word; `next_pc` is the PC of the
  // instruction that follows it.
  void step(uint64_t pc, uint32_t word, uint64_t next_pc);
  // Flushes the instructions not yet covered by a message; `pc`/`word` is the
  // last executed instruction, which must still be counted.
  void finish(uint64_t pc, uint32_t word);

  uint64_t messages() const { return message_count; }

 private:
  void emit(uint8_t tcode, std::vector<nexus_field> fields);
  void flush_repeat();
  void indirect(uint64_t target);

  encoder_options opt;
  uint32_t src;
  sink_t sink;
  uint64_t icnt = 0;       // half-words since the last message
  uint64_t hist = 1;       // collected history, stop bit on top
  unsigned hist_bits = 0;
  uint64_t faddr = 0;      // last full address the decoder knows
  bool last_was_direct = false;  // the last message sent was a Direct Branch
  uint64_t last_direct_icnt = 0;
  uint64_t repeat_count = 0;  // identical Direct Branch messages held back
  uint64_t message_count = 0;
};

}  // namespace trace_gen
