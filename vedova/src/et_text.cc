// One-line texts of the trace records, the disassembly fields of an
// instruction record, and the privilege-mode masks.
#include <cstring>
#include <string>

#include "disasm.h"
#include "et_records.h"
#include "et_text.h"

void append_hex(std::string& s, uint64_t v, uint64_t digits) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = "0123456789abcdef"[v & 0xf];
    v >>= 4;
  } while (v != 0);
  for (uint64_t i = uint64_t(n); i < digits; ++i) s += '0';
  while (n > 0) s += buf[--n];
}

namespace {

void hex(std::string& s, uint64_t v, unsigned digits = 1) { append_hex(s, v, digits); }

void dec(std::string& s, uint64_t v, unsigned width = 0, char fill = ' ') {
  char buf[20];
  int n = 0;
  do {
    buf[n++] = char('0' + v % 10);
    v /= 10;
  } while (v != 0);
  for (unsigned i = unsigned(n); i < width; ++i) s += fill;
  while (n > 0) s += buf[--n];
}

char mode_letter(uint64_t mode) {
  switch (mode) {
    case 3: return 'M';
    case 1: return 'S';
    case 0: return 'U';
    default: return '?';
  }
}

// Text of the data layout shared by the write-data and read-data records.
template <typename T>
std::string data_layout_text(const T& r) {
  std::string s = "CN=";
  dec(s, r.cn);
  s += " D=";
  const unsigned n = r.count < 8 ? r.count : 8;
  for (unsigned i = n; i > 0; --i) hex(s, r.d[i - 1], 16);
  s += " PSN=";
  hex(s, r.psn);
  return s;
}

const char* l2t_name(uint8_t code) {
  switch (code) {
    case 64: return "URQ ";
    case 65: return "UWD ";
    case 66: return "URS ";
    case 67: return "URD ";
    case 68: return "URL ";
    case 69: return "USR ";
    case 70: return "DRQ ";
    case 71: return "DWD ";
    case 72: return "DRS ";
    case 73: return "DRD ";
    case 74: return "DRL ";
    case 75: return "DSR ";
    case 76: return "HM2 ";
    default: return nullptr;
  }
}

const char* dct_name(uint8_t code) {
  switch (code) {
    case 81: return "BRQ ";
    case 82: return "WUP ";
    case 83: return "DRQ ";
    case 84: return "DWD ";
    case 85: return "DRS ";
    case 86: return "DRD ";
    case 87: return "DRL ";
    case 88: return "DSR ";
    default: return nullptr;
  }
}

}  // namespace

void et_insn_t::fill_disasm_fields(const disassembler_t& d, bool with_text) {
  const disasm_insn_t* p = d.get_disasm(insn);
  disasm_valid = p != nullptr;
  if (p == nullptr) {
    insn_id = -1;
    operand_flags = 0;
    std::strcpy(disasm, with_text ? "unknown" : "");
    return;
  }
  insn_id = int64_t(p->insn_id);
  operand_flags = p->operand_flags;
  disasm[0] = '\0';
  if (!with_text) return;

  // The same text as disassembler_t::disassemble, without a second lookup.
  const insn_t word(insn);
  std::string s;
  s.reserve(64);
  if (p->print_name) s = p->name;
  if (!p->args.empty()) {
    if (p->print_name) s.append(p->name.size() < 8 ? 8 - p->name.size() : 1, ' ');
    bool optional = false;
    for (size_t i = 0; i < p->args.size(); ++i) {
      const arg_t* arg = p->args[i];
      if (arg == nullptr) {
        optional = true;
        continue;
      }
      const std::string t = arg->to_string(word);
      if (!(optional && t.empty())) {
        if (i != 0) s += ", ";
        s += t;
      }
      optional = false;
    }
  }
  const size_t n = s.size() < sizeof(disasm) - 1 ? s.size() : sizeof(disasm) - 1;
  std::memcpy(disasm, s.data(), n);
  disasm[n] = '\0';
}

std::string et_reg_t::to_string() const {
  std::string s;
  s.reserve(24);
  if (addr_valid) {
    s += '[';
    hex(s, reg, 2);
    s += "]=";
  } else {
    s += "[??]=";
  }
  if (data_valid)
    hex(s, value, 16);
  else
    s += "????????????????";
  return s;
}

std::string et_insn_t::to_string() const {
  std::string s;
  s.reserve(160);
  s += '(';
  dec(s, uiid, 8);
  s += '.';
  dec(s, hart);
  s += ") ";
  s += mode_letter(mode);
  s += committed ? 'c' : 'x';
  s += " [";
  hex(s, pc, 16);
  s += "]  (";
  dec(s, uint64_t(insn_id), 3, '0');
  s += ") |";
  hex(s, insn, 16);
  s += '|';
  const struct {
    const char* label;
    const et_reg_t& slot;
  } slots[] = {{" RS1", rs1},   {" RS2", rs2},   {" RS3", rs3}, {" FRS1", frs1},
               {" FRS2", frs2}, {" FRS3", frs3}, {" RD", rd},   {" FRD", frd}};
  for (const auto& e : slots) {
    if (!e.slot.addr_valid && !e.slot.data_valid) continue;
    s += e.label;
    s += e.slot.to_string();
  }
  if (ea_valid) {
    s += " EA=";
    hex(s, ea, 16);
  }
  if (pa_valid) {
    s += " PA=";
    hex(s, pa, 16);
  }
  if (sd_valid) {
    s += " SD=";
    hex(s, sd, 16);
  }
  if (trap) {
    s += " CAUSE=";
    hex(s, cause, 16);
  }
  if (trig) s += " TRIG=1";
  return s;
}

std::string rvt_object_t::to_string() const {
  std::string s = "D=";
  hex(s, data, 16);
  return s;
}

std::string l2t_rq_t::to_string() const {
  std::string s = "RID=";
  dec(s, rid);
  s += " ID=";
  dec(s, id);
  s += " T=";
  dec(s, t);
  s += " F=";
  hex(s, f, 2);
  s += " A=";
  hex(s, a, 16);
  s += " U=";
  hex(s, u, 5);
  return s;
}

std::string l2t_wd_t::to_string() const { return data_layout_text(*this); }
std::string l2t_rd_t::to_string() const { return data_layout_text(*this); }

std::string l2t_rs_t::to_string() const {
  std::string s = "RID=";
  dec(s, rid);
  s += " MID=";
  dec(s, mid);
  s += " SID=";
  dec(s, sid);
  s += " F=";
  hex(s, f, 2);
  return s;
}

std::string l2t_rl_t::to_string() const {
  std::string s = "ID=";
  dec(s, id);
  return s;
}

std::string l2t_sr_t::to_string() const {
  std::string s = "ID=";
  dec(s, id);
  s += " T=";
  dec(s, t);
  s += " A=";
  hex(s, a, 16);
  s += " M=";
  hex(s, m, 2);
  return s;
}

std::string l2t_hm2_t::to_string() const {
  static const char* const op_names[13] = {"CRDW", "FLRD", "FSRD", "DSRD", "PRQR", "URQM", "URQR",
                                           "URQW", "URQS", "PRSD", "URSN", "URSD", "INIT"};
  std::string s = "ID=";
  dec(s, id);
  s += " A=";
  hex(s, a, 16);
  s += " OP=";
  hex(s, op, 4);
  if (op != 0) {
    s += " (";
    for (unsigned b = 0; b < 13; ++b)
      if (op & (1u << b)) s += op_names[b];
    s += ')';
  }
  s += " SER=";
  hex(s, ser);
  s += " HV=";
  hex(s, hv);
  if (hv != 0) {
    s += ':';
    hex(s, hv1);
    s += ':';
    hex(s, hv2);
    s += ',';
    hex(s, hv3);
    s += ',';
    hex(s, hv4);
  }
  s += " IV=";
  hex(s, iv);
  if (iv == 0) {
    s += " Vc=";
    hex(s, vc);
    s += ':';
    hex(s, vc2);
    s += ',';
    hex(s, vc3);
    s += ',';
    hex(s, vc4);
    s += " VcA=";
    hex(s, vca, 16);
  }
  s += " WE0=";
  hex(s, we0, 4);
  s += " WE1=";
  hex(s, we1, 4);
  s += " FEN=";
  hex(s, fen);
  hex(s, fen1);
  hex(s, fen2);
  hex(s, fen3);
  hex(s, fen4);
  s += " FL=";
  hex(s, fl);
  s += ',';
  hex(s, fl2);
  s += ',';
  hex(s, fl3);
  return s;
}

std::string dct_brq_t::to_string() const {
  std::string s = "HID=";
  dec(s, hid);
  s += " OP=";
  dec(s, op);
  s += " F=";
  hex(s, f, 2);
  s += " A=";
  hex(s, a, 16);
  s += " KL=";
  hex(s, kl);
  s += " STLB=";
  hex(s, stlb);
  if (op == 2 && (f & 0x20)) {
    s += " WRD=ZERO";
  } else if (op == 2 || op == 7) {
    s += " WRD=";
    hex(s, wrd, 16);
    s += " WRM=";
    hex(s, wrm, 2);
  }
  if (op == 4 || op == 7) {
    s += " LDD=";
    hex(s, ldd, 16);
    s += " PSN=";
    hex(s, psn);
  }
  if (op == 2 && (f & 0x08)) {
    s += " SCF=";
    hex(s, scf);
  }
  if (fs != 0) {
    s += " FS=";
    hex(s, fs);
  }
  if (blk_valid != 0) {
    switch (blk) {
      case 1: s += " BLK=GEN"; break;
      case 0:
        s += " BLK=ID#";
        hex(s, blk_id);
        break;
      case 2: s += " BLK=NONE"; break;
      default: s += " BLK=?"; break;
    }
  }
  return s;
}

std::string dct_wup_t::to_string() const {
  std::string s = "HID=";
  dec(s, hid);
  s += " GV=";
  dec(s, gv);
  s += " V=";
  dec(s, v);
  s += ':';
  hex(s, w);
  s += " FS=";
  hex(s, fs);
  return s;
}

std::string l2t_object_t::to_string() const {
  const char* name = l2t_name(code);
  if (name == nullptr) return "(unknown)";
  std::string s = name;
  switch (code) {
    case 64: case 70: s += rq.to_string(); break;
    case 65: case 71: s += wd.to_string(); break;
    case 66: case 72: s += rs.to_string(); break;
    case 67: case 73: s += rd.to_string(); break;
    case 68: case 74: s += rl.to_string(); break;
    case 69: case 75: s += sr.to_string(); break;
    default: s += hm2.to_string(); break;  // 76
  }
  return s;
}

std::string dct_object_t::to_string() const {
  const char* name = dct_name(code);
  if (name == nullptr) return "(unknown)";
  std::string s = name;
  switch (code) {
    case 81: s += brq.to_string(); break;
    case 82: s += wup.to_string(); break;
    case 83: s += rq.to_string(); break;
    case 84: s += wd.to_string(); break;
    case 85: s += rs.to_string(); break;
    case 86: s += rd.to_string(); break;
    case 87: s += rl.to_string(); break;
    default: s += sr.to_string(); break;  // 88
  }
  return s;
}

std::string et_object_t::to_string() const {
  switch (type) {
    case ET_KIND_NONE: return "NONE";
    case ET_KIND_INSN: return "SWT " + insn.to_string();
    case ET_KIND_RVT: return "RVT " + rvt.to_string();
    case ET_KIND_L2T: return "L2T " + l2t.to_string();
    case ET_KIND_DCT: return "DCT " + dct.to_string();
    default: return "(unknown)";
  }
}

std::string et_record_to_string(et_record_t kind) {
  static const char* const names[] = {"UIID", "STAGE", "REG_ADDR", "REG_DATA", "EA", "PC",
                                      "PRIL", "CAUSE", "TRIG",     "PA",       "CHUNK", "FR", "SD"};
  const int v = static_cast<int>(kind);
  if (v >= 0 && v < int(sizeof(names) / sizeof(names[0]))) return names[v];
  return "unknown (" + std::to_string(v) + ")";
}

uint32_t convert_pril_to_et_mode(unsigned long privilege_level) {
  switch (privilege_level) {
    case 0: return ET_MODE_U;
    case 1: return ET_MODE_S;
    case 3: return ET_MODE_M;
    default: return 0;
  }
}

uint32_t construct_et_mode_from_string(const std::string& letters) {
  uint32_t mask = 0;
  for (char c : letters) {
    if (c == 'M' || c == 'm') mask |= ET_MODE_M;
    if (c == 'S' || c == 's') mask |= ET_MODE_S;
    if (c == 'U' || c == 'u') mask |= ET_MODE_U;
  }
  return mask;
}
