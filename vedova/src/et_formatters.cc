#include "et_formatters.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "disasm.h"
#include "et_text.h"
#include "insn_ids.h"

et_base_formatter_t::~et_base_formatter_t() {}

std::ios_base::openmode et_base_formatter_t::get_openmode() const { return std::ios_base::openmode(); }

void et_pconly_formatter_t::format(std::ostream& out, const et_insn_t& insn) {
  out << std::hex << std::uppercase << insn.pc << std::endl;
}

void et_raw_formatter_t::format(std::ostream& out, const et_insn_t& insn) { out << insn.to_string() << std::endl; }

// ---------------------------------------------------------------------------
// Ingress formatter

static_assert(sizeof(et_ingress_formatter_t::ingress_op_t) == 24, "ingress record is 24 bytes");
static_assert(offsetof(et_ingress_formatter_t::ingress_op_t, ilastsize) == 7 &&
                  offsetof(et_ingress_formatter_t::ingress_op_t, iaddr) == 8 &&
                  offsetof(et_ingress_formatter_t::ingress_op_t, tval) == 16,
              "ingress record layout");

et_ingress_formatter_t::et_ingress_formatter_t(unsigned long xlen_bits) : xlen(xlen_bits) {}

void et_ingress_formatter_t::convert(const et_insn_t& insn, ingress_op_t& out) {
  out = ingress_op_t();
  out.hart = insn.hart;
  out.priv = uint8_t(insn.mode);
  out.iaddr = insn.pc;
  out.ilastsize = (insn.insn & 3) == 3 ? 2 : 1;

  if (insn.intr) {
    out.itype = ITYPE_INTERRUPT;
    out.cause = uint8_t(insn.cause);
    return;
  }
  if (insn.trap) {
    const uint64_t c = insn.cause;
    if (c > 15 || c == 10 || c == 14) throw std::runtime_error("Unexpected cause!");
    switch (c) {
      case 0: case 1: case 3:  // misaligned or faulting fetch, breakpoint
        out.tval = insn.pc;
        break;
      case 2:  // illegal instruction
        out.tval = insn.insn;
        break;
      case 4: case 5: case 6: case 7: case 12: case 13: case 15:  // memory faults
        out.tval = insn.ea;
        break;
      default:  // environment calls
        break;
    }
    out.itype = ITYPE_EXCEPTION;
    out.cause = uint8_t(c);
    return;
  }

  const uint64_t a = insn.rs1.value;
  const uint64_t b = insn.rs2.value;
  const bool rv32 = xlen == 32;
  const bool lt = rv32 ? int32_t(uint32_t(a)) < int32_t(uint32_t(b)) : int64_t(a) < int64_t(b);
  int taken = -1;  // -1: not a conditional branch
  switch (insn.insn_id) {
    case ID_BEQ: taken = a == b; break;
    case ID_BNE: taken = a != b; break;
    case ID_BLT: taken = lt; break;
    case ID_BGE: taken = !lt; break;
    case ID_BLTU: taken = a < b; break;
    case ID_BGEU: taken = a >= b; break;
    case ID_C_BEQZ: taken = a == 0; break;
    case ID_C_BNEZ: taken = a != 0; break;
    case ID_MRET: case ID_SRET: case ID_URET: out.itype = ITYPE_TRAP_RETURN; break;
    case ID_C_J: case ID_C_JAL: case ID_JAL: out.itype = ITYPE_BRANCH_TAKEN; break;
    case ID_C_JALR: case ID_C_JR: case ID_JALR: out.itype = ITYPE_INDIRECT_JUMP; break;
    default: break;
  }
  if (taken >= 0) out.itype = taken ? ITYPE_BRANCH_TAKEN : ITYPE_BRANCH_NOT_TAKEN;
}

namespace {

void put_le(unsigned char* p, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

void et_ingress_formatter_t::format(std::ostream& out, const et_insn_t& insn) {
  ingress_op_t op;
  convert(insn, op);
  unsigned char bytes[24];
  put_le(bytes, op.hart, 2);
  bytes[2] = op.itype;
  bytes[3] = op.priv;
  bytes[4] = op.cause;
  bytes[5] = op.reserved[0];
  bytes[6] = op.reserved[1];
  bytes[7] = op.ilastsize;
  put_le(bytes + 8, op.iaddr, 8);
  put_le(bytes + 16, op.tval, 8);
  const bool with_tval = op.itype == ITYPE_EXCEPTION || op.itype == ITYPE_INTERRUPT;
  out.write(reinterpret_cast<const char*>(bytes), with_tval ? 24 : 16);
}

// ---------------------------------------------------------------------------
// Swt formatter

namespace {

// Longest piece a conversion may add to the line; longer output is cut.
constexpr size_t max_piece = 135;

uint64_t width_mask(unsigned long width) { return width == 0 || width >= 64 ? ~uint64_t(0) : (uint64_t(1) << width) - 1; }

// Checks one caller conversion and turns it into a printf format that takes
// exactly one argument of the type we pass: an integer conversion gets the
// "ll" length whatever length it was given with. Throws when the text is
// not one conversion of the expected sort, so that a bad conversion can never
// make printf read arguments that are not there.
std::string make_format(const std::string& conv, bool text, const char* what, bool* is_signed) {
  size_t i = 0;
  const size_t n = conv.size();
  while (i < n && std::strchr("-+ #0", conv[i]) != nullptr && conv[i] != '\0') ++i;
  while (i < n && conv[i] >= '0' && conv[i] <= '9') ++i;
  if (i < n && conv[i] == '.') {
    ++i;
    while (i < n && conv[i] >= '0' && conv[i] <= '9') ++i;
  }
  const size_t spec_end = i;
  if (!text) {
    size_t lengths = 0;
    while (i < n && std::strchr("hljzt", conv[i]) != nullptr && conv[i] != '\0' && lengths < 2) ++i, ++lengths;
  }
  bool ok = i + 1 == n;
  char c = ok ? conv[i] : '\0';
  if (ok) ok = text ? c == 's' : (c != '\0' && std::strchr("diouxX", c) != nullptr);
  if (!ok) throw std::runtime_error(std::string("Invalid ") + what + " conversion: \"" + conv + "\"");
  if (is_signed != nullptr) *is_signed = c == 'd' || c == 'i';
  return "%" + conv.substr(0, spec_end) + (text ? "" : "ll") + c;
}

// Appends one printf piece, at most max_piece characters of it.
template <typename T>
void append_piece(std::string& s, const std::string& fmt, T value) {
  char buf[max_piece + 1];
  const int n = std::snprintf(buf, sizeof(buf), fmt.c_str(), value);
  if (n <= 0) return;
  s.append(buf, size_t(n) < max_piece ? size_t(n) : max_piece);
}

void append_number(std::string& s, const std::string& fmt, bool is_signed, uint64_t v) {
  if (is_signed)
    append_piece(s, fmt, static_cast<long long>(v));
  else
    append_piece(s, fmt, static_cast<unsigned long long>(v));
}

void hex(std::string& s, uint64_t v, uint64_t digits = 0) { append_hex(s, v, digits); }

void unknown(std::string& s, uint64_t digits) { s.append(digits, '?'); }

char mode_letter(uint64_t mode) {
  switch (mode) {
    case 3: return 'M';
    case 1: return 'S';
    case 0: return 'U';
    default: return '?';
  }
}

bool writes_x_rd(const et_insn_t& r) { return (r.operand_flags & OPF_RD) && ((r.insn >> 7) & 0x1f) != 0; }

bool writes_register(const et_insn_t& r) {
  return (r.operand_flags & (OPF_RD_SRC | OPF_RD_SRC_PAIR | OPF_FRD | OPF_RD_PAIR)) || writes_x_rd(r);
}

bool reads_register(const et_insn_t& r) { return (r.operand_flags & 0x7c77) != 0; }

}  // namespace

et_swt_formatter_t::et_swt_formatter_t(unsigned long int_width, unsigned long fp_width, unsigned long pa_width,
                                       bool show_cycle_, bool show_uiid_, bool show_insn_, bool show_fr_,
                                       bool show_pipeline_, const std::string& cycle_conversion,
                                       const std::string& uiid_conversion, const std::string& disasm_conversion)
    : int_digits((uint64_t(int_width) + 3) / 4),
      fp_digits((uint64_t(fp_width) + 3) / 4),
      pa_digits((uint64_t(pa_width) + 3) / 4),
      int_mask(width_mask(int_width)),
      fp_mask(width_mask(fp_width)),
      pa_mask(width_mask(pa_width)),
      show_cycle(show_cycle_),
      show_uiid(show_uiid_),
      show_insn(show_insn_),
      show_fr(show_fr_),
      show_pipeline(show_pipeline_),
      cycle_format(make_format(cycle_conversion, false, "cycle", &cycle_signed)),
      uiid_format(make_format(uiid_conversion, false, "uiid", &uiid_signed)),
      disasm_format(make_format(disasm_conversion, true, "disasm", nullptr)) {
  // A width far beyond 64 bits only pads; keep the padding inside a line.
  if (int_digits > max_piece) int_digits = max_piece;
  if (fp_digits > max_piece) fp_digits = max_piece;
  if (pa_digits > max_piece) pa_digits = max_piece;
}

std::ios_base::openmode et_swt_formatter_t::get_openmode() const { return std::ios_base::out; }

void et_swt_formatter_t::build_line(std::string& s, const et_insn_t& r, bool& padded) const {
  if (show_cycle) {
    s += "< ";
    append_number(s, cycle_format, cycle_signed, r.commit_cycle);
    s += " > ";
  }
  if (show_uiid) {
    s += "( ";
    append_number(s, uiid_format, uiid_signed, r.uiid);
    s += '.';
    s += std::to_string(r.hart);  // always decimal, whatever the stream's base
    s += " ) ";
  }
  s += mode_letter(r.mode);
  s += r.committed ? 'c' : 'x';
  s += " [";

  // The text may fill its whole field without a terminating zero.
  char text[sizeof(r.disasm) + 1];
  const char* disasm = r.disasm;
  if (std::memchr(r.disasm, '\0', sizeof(r.disasm)) == nullptr) {
    std::memcpy(text, r.disasm, sizeof(r.disasm));
    text[sizeof(r.disasm)] = '\0';
    disasm = text;
  }

  if (r.intr) {
    s += "        ]";
    if (show_insn) s += " |        |";
    s += ' ';
    append_piece(s, disasm_format, "intr");
    s += " CAUSE=";
    if (r.trap) {
      hex(s, r.cause & int_mask, int_digits);
      padded = true;
    } else {
      unknown(s, int_digits);
    }
    if (r.trig) s += " TRIG=1";
    s += '\n';
    return;
  }

  hex(s, r.pc);
  s += ']';
  if (show_pipeline) {
    char view[100];
    std::memset(view, '.', sizeof(view));
    // Lowest-priority letters first, so that earlier stages win a shared column.
    view[r.issue_cycle % 100] = 'd';
    if (reads_register(r)) view[r.read_cycle % 100] = 'i';
    if (r.ea_valid) view[r.ea_cycle % 100] = 'v';
    if (r.pa_valid) view[r.pa_cycle % 100] = 'p';
    if (r.operand_flags & OPF_MEM_WRITE) view[r.sd_cycle % 100] = 's';
    if (writes_register(r)) view[r.write_cycle % 100] = 'c';
    if (r.fr_e0) view[r.fr_cycle % 100] = 'm';
    view[r.commit_cycle % 100] = 'r';
    s += "\t\t\t";
    s.append(view, sizeof(view));
    s += "  ";
  }
  if (show_insn) {
    if ((r.insn & 3) == 3) {
      s += " |";
      hex(s, r.insn, 8);
    } else {
      s += " |    ";
      hex(s, r.insn & 0xffff, 4);
    }
    s += '|';
    padded = true;
  }
  s += ' ';
  append_piece(s, disasm_format, disasm);

  if (!show_pipeline) {
    const uint64_t f = r.operand_flags;
    const bool store = (f & OPF_MEM_WRITE) != 0;
    auto column = [&](const char* label, const et_reg_t& slot, bool high, bool present, uint64_t value,
                      uint64_t digits) {
      s += ' ';
      s += label;
      s += '[';
      if (slot.addr_valid)
        hex(s, high ? slot.reg | 1 : slot.reg, 2);
      else
        s += "??";
      s += "]=";
      if (present)
        hex(s, value, digits);
      else
        unknown(s, digits);
      padded = true;
    };
    auto high_of = [](const et_reg_t& slot) { return slot.value >> 32; };

    if (f & OPF_RS1_PAIR) column("RS1H", r.rs1, true, r.rs1.data_valid, high_of(r.rs1), int_digits);
    if (f & OPF_RS1) column("RS1", r.rs1, false, r.rs1.data_valid, r.rs1.value & int_mask, int_digits);
    if (f & OPF_FRS1) column("FRS1", r.frs1, false, r.frs1.data_valid, r.frs1.value & fp_mask, fp_digits);
    if (f & OPF_RS2_PAIR) column("RS2H", r.rs2, true, r.rs2.data_valid, high_of(r.rs2), int_digits);
    if (f & OPF_RS2)
      column("RS2", r.rs2, false, store ? r.sd_valid : r.rs2.data_valid, (store ? r.sd : r.rs2.value) & int_mask,
             int_digits);
    if (f & OPF_FRS2)
      column("FRS2", r.frs2, false, store ? r.sd_valid : r.frs2.data_valid,
             (store ? r.sd : r.frs2.value) & fp_mask, fp_digits);
    if (f & OPF_RS3_PAIR) column("RS3H", r.rs3, true, r.rs3.data_valid, high_of(r.rs3), int_digits);
    if (f & OPF_RS3) column("RS3", r.rs3, false, r.rs3.data_valid, r.rs3.value & int_mask, int_digits);
    if (f & OPF_FRS3) column("FRS3", r.frs3, false, r.frs3.data_valid, r.frs3.value & fp_mask, fp_digits);
    if (f & OPF_RD_SRC_PAIR) column("RSDH", r.rs4, true, r.rs4.data_valid, high_of(r.rs4), int_digits);
    if (f & OPF_RD_SRC) column("RSD", r.rs4, false, r.rs4.data_valid, r.rs4.value & int_mask, int_digits);
    if (f & OPF_RD_PAIR) column("RDH", r.rd, true, r.rd.data_valid, high_of(r.rd), int_digits);
    if (writes_x_rd(r)) column("RD", r.rd, false, r.rd.data_valid, r.rd.value & int_mask, int_digits);
    if (f & OPF_FRD) column("FRD", r.frd, false, r.frd.data_valid, r.frd.value & fp_mask, fp_digits);

    if (f & OPF_MEM) {
      s += " EA=";
      if (r.ea_valid)
        hex(s, r.ea);
      else
        unknown(s, int_digits);
      s += " PA=";
      if (r.pa_valid) {
        hex(s, r.pa & pa_mask, pa_digits);
        padded = true;
      } else {
        unknown(s, pa_digits);
      }
    }
    if (r.trap || !r.disasm_valid) {
      s += " CAUSE=";
      if (r.trap) {
        hex(s, r.cause & int_mask, int_digits);
        padded = true;
      } else {
        unknown(s, int_digits);
      }
    }
  }
  if (show_fr) {
    if (r.fr_e0) s += " FRE0";
    if (r.fr_cm) s += " FRCM";
  }
  s += '\n';
}

void et_swt_formatter_t::format(std::ostream& out, const et_insn_t& insn) {
  std::string line;
  line.reserve(256);
  bool padded = false;
  build_line(line, insn, padded);
  out.write(line.data(), std::streamsize(line.size()));
  // The stream is left as a stream-based writer of these columns would leave
  // it: hexadecimal, and zero as fill once a padded column was written.
  out.setf(std::ios_base::hex, std::ios_base::basefield);
  if (padded) out.fill('0');
}

std::string et_swt_formatter_t::format(const et_insn_t& insn) {
  std::ostringstream out;
  format(static_cast<std::ostream&>(out), insn);
  return out.str();
}
