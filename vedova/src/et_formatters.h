// Output formatters of instruction records: each turns one et_insn_t into a
// line of text or a binary record on a stream, behind one interface so that
// the output form can be chosen at run time.
#ifndef VEDOVA_ET_FORMATTERS_H
#define VEDOVA_ET_FORMATTERS_H

#include <cstdint>
#include <ios>
#include <ostream>
#include <string>

#include "et_records.h"

class et_base_formatter_t {
 public:
  // Writes one record.
  virtual void format(std::ostream& out, const et_insn_t& insn) = 0;
  // Open mode the formatter wants for its output file; none by default.
  virtual std::ios_base::openmode get_openmode() const;
  virtual ~et_base_formatter_t();
};

// The pc in upper-case hexadecimal, one per line, flushed.
class et_pconly_formatter_t : public et_base_formatter_t {
 public:
  et_pconly_formatter_t() = default;
  void format(std::ostream& out, const et_insn_t& insn) override;
};

// The record's text, one per line, flushed.
class et_raw_formatter_t : public et_base_formatter_t {
 public:
  et_raw_formatter_t() = default;
  void format(std::ostream& out, const et_insn_t& insn) override;
};

// Binary records of instruction type, privilege, cause and addresses.
class et_ingress_formatter_t : public et_base_formatter_t {
 public:
  enum itype_t : uint8_t {
    ITYPE_NONE = 0,
    ITYPE_EXCEPTION = 1,
    ITYPE_INTERRUPT = 2,
    ITYPE_TRAP_RETURN = 3,
    ITYPE_BRANCH_NOT_TAKEN = 4,
    ITYPE_BRANCH_TAKEN = 5,  // also direct jumps
    ITYPE_INDIRECT_JUMP = 6,
  };

  // Written little-endian: 16 bytes, or 24 (with tval) for exceptions and
  // interrupts.
  struct ingress_op_t {
    uint16_t hart;
    uint8_t itype;
    uint8_t priv;
    uint8_t cause;
    uint8_t reserved[2];
    uint8_t ilastsize;  // half-words: 2 for a 32-bit instruction, else 1
    uint64_t iaddr;
    uint64_t tval;
  };

  explicit et_ingress_formatter_t(unsigned long xlen);
  // Throws std::runtime_error "Unexpected cause!" for an exception cause it
  // cannot place.
  void convert(const et_insn_t& insn, ingress_op_t& out);
  void format(std::ostream& out, const et_insn_t& insn) override;

 private:
  uint64_t xlen;
};

// Column view: optional cycle and identifier columns, mode, pc, optional
// instruction word, disassembly, then either the operand columns or a
// 100-column pipeline view.
class et_swt_formatter_t : public et_base_formatter_t {
 public:
  // Widths in bits. Each conversion is one printf conversion without its
  // "%": an integer conversion (d, i, o, u, x or X) for the cycle and the
  // identifier, which receive unsigned 64-bit values, and an s conversion for
  // the text. Anything else throws std::runtime_error. A piece longer than
  // 135 characters is cut to its first 135.
  et_swt_formatter_t(unsigned long int_width, unsigned long fp_width, unsigned long pa_width, bool show_cycle,
                     bool show_uiid, bool show_insn, bool show_fr, bool show_pipeline,
                     const std::string& cycle_conversion, const std::string& uiid_conversion,
                     const std::string& disasm_conversion);

  void format(std::ostream& out, const et_insn_t& insn) override;
  std::ios_base::openmode get_openmode() const override;
  // The line that format(out, insn) writes, newline included.
  std::string format(const et_insn_t& insn);

 private:
  void build_line(std::string& s, const et_insn_t& insn, bool& padded) const;

  uint64_t int_digits;
  uint64_t fp_digits;
  uint64_t pa_digits;
  uint64_t int_mask;
  uint64_t fp_mask;
  uint64_t pa_mask;
  bool show_cycle;
  bool show_uiid;
  bool show_insn;
  bool show_fr;
  bool show_pipeline;
  std::string cycle_format;
  std::string uiid_format;
  std::string disasm_format;
  bool cycle_signed;  // d or i: pass the value as a signed number
  bool uiid_signed;
};

#endif
