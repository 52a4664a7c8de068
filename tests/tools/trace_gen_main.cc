// trace_gen: turns a run of a RISC-V program (its ELF file and the PCs it
// executed, as a list or as a qemu "-d exec" log) into the trace files the
// programs read: a Nexus trace, a matching swt reference trace and a
// design-parameter file. Test and benchmark tool only.

#include <tclap/CmdLine.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "et_writer.h"
#include "nexus_writer.h"
#include "soc_accessor.h"
#include "trace_gen.h"

namespace {

// Reads the executed PCs one by one, from a plain list (one hexadecimal PC
// per line) or from a qemu exec log ("Trace 0: 0x... [tb/pc/flags/...]").
class pc_source {
 public:
  pc_source(const std::string& path, bool qemu_log) : qemu(qemu_log) {
    if (path != "-") {
      file.open(path);
      if (!file) throw std::runtime_error("cannot read " + path);
      in = &file;
    }
  }

  bool next(uint64_t& pc) {
    while (std::getline(*in, line)) {
      const char* text = line.c_str();
      if (qemu) {
        if (std::strncmp(text, "Trace ", 6) != 0) continue;
        const char* slash = std::strchr(text, '/');
        if (!slash) continue;
        text = slash + 1;
      }
      char* end = nullptr;
      pc = std::strtoull(text, &end, 16);
      if (end != text) return true;
    }
    return false;
  }

 private:
  bool qemu;
  std::ifstream file;
  std::istream* in = &std::cin;
  std::string line;
};

void write_design_file(const std::string& path, unsigned xlen) {
  std::ofstream out(path, std::ios::trunc);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<!-- Design parameters of the core that wrote the reference trace. -->\n"
      << "<design>\n  <swt>\n"
      << "    <XLEN>" << xlen << "</XLEN>\n"
      << "    <FLEN>64</FLEN>\n"
      << "    <PADDR_WIDTH>56</PADDR_WIDTH>\n"
      << "    <IRF_DATA_WIDTH>" << xlen << "</IRF_DATA_WIDTH>\n"
      << "    <CL_WIDTH>512</CL_WIDTH>\n"
      << "    <CL_CHUNKS>2</CL_CHUNKS>\n"
      << "    <POISON_ENABLE>false</POISON_ENABLE>\n"
      << "  </swt>\n</design>\n";
  if (!out) throw std::runtime_error("cannot write " + path);
}

int run(int argc, char** argv) {
  TCLAP::CmdLine cmd("Builds Nexus and swt traces of a program run.", ' ', "");
  TCLAP::ValueArg<std::string> elf("e", "elf", "ELF file of the program", true, "", "path", cmd);
  TCLAP::ValueArg<std::string> pcs("p", "pcs", "executed PCs, one hexadecimal PC per line ('-': standard input)", false, "", "path");
  TCLAP::ValueArg<std::string> qemu("q", "qemu-log", "qemu exec log of the run ('-': standard input)", false, "", "path");
  cmd.xorAdd(pcs, qemu);
  TCLAP::ValueArg<unsigned> xlen("x", "xlen", "register width", false, 64, "32|64", cmd);
  std::vector<std::string> modes{"history", "branch"};
  TCLAP::ValuesConstraint<std::string> mode_values(modes);
  TCLAP::ValueArg<std::string> mode("m", "mode", "Nexus branch messages: history or branch", false, "history", &mode_values, cmd);
  TCLAP::SwitchArg no_repeat("", "no-repeat", "never fold Direct Branch messages into Repeat Branch", cmd);
  TCLAP::ValueArg<unsigned> src_width("", "src-width", "width of the SRC field (0: none)", false, 0, "bits", cmd);
  TCLAP::ValueArg<unsigned> src("", "src", "trace source (hart) of the run", false, 0, "id", cmd);
  TCLAP::ValueArg<std::string> nexus("n", "nexus", "Nexus trace to write", false, "", "path", cmd);
  TCLAP::ValueArg<std::string> swt("s", "swt", "swt reference trace to write", false, "", "path", cmd);
  TCLAP::ValueArg<unsigned> rich("", "rich",
                                 "percentage of instructions whose swt records carry register reads and writes, "
                                 "addresses and store data, like a core model's (default 0: issue and commit only)",
                                 false, 0, "0-100", cmd);
  TCLAP::ValueArg<std::string> design("c", "config", "design-parameter file to write", false, "", "path", cmd);
  cmd.parse(argc, argv);

  soc_accessor_t image("sacc");
  image.parse_elf(elf.getValue());
  pc_source source(qemu.isSet() ? qemu.getValue() : pcs.getValue(), qemu.isSet());

  std::unique_ptr<nexus_writer_t> nexus_out;
  if (nexus.isSet()) nexus_out = std::make_unique<nexus_writer_t>(src_width.getValue() != 0, src_width.getValue());
  std::unique_ptr<et_writer_t> swt_out;
  if (swt.isSet()) {
    swt_out = std::make_unique<et_writer_t>(swt.getValue(), 0);
    const int w = static_cast<int>(xlen.getValue());
    swt_out->configure(w, 64, w, w, 56);
    if (src.getValue() != 0) swt_out->record_swt_hart(static_cast<unsigned char>(src.getValue()));
  }
  if (design.isSet()) write_design_file(design.getValue(), xlen.getValue());

  trace_gen::encoder_options opt;
  opt.xlen = xlen.getValue();
  opt.history = mode.getValue() == "history";
  opt.repeat = !no_repeat.getValue();
  trace_gen::encoder enc(opt, src.getValue(), [&](const trace_gen::nexus_message& m) {
    if (!nexus_out) return;
    nexus_out->begin(m.tcode, m.src);
    for (const trace_gen::nexus_field& f : m.fields) {
      if (f.width == 0)
        nexus_out->var(f.value);
      else
        nexus_out->fixed(f.width, f.value);
    }
    nexus_out->end();
  });

  uint64_t count = 0;
  uint64_t pc = 0;
  uint64_t word = 0;
  auto fetch = [&](uint64_t at) {
    if (!image.fetch(at, word)) {
      char text[64];
      std::snprintf(text, sizeof text, "pc 0x%llx lies outside the ELF file",
                    static_cast<unsigned long long>(at));
      throw std::runtime_error(text);
    }
    if ((word & 3) != 3) word &= 0xffff;
    else word &= 0xffffffff;
    if (swt_out) {
      const unsigned long piid = count & 1023;
      swt_out->record_swt_is(piid, 0, word);
      if (trace_gen::detailed(count, rich.getValue()))
        trace_gen::write_details(*swt_out, static_cast<unsigned short>(piid), at, static_cast<uint32_t>(word), count);
      swt_out->record_swt_cm(static_cast<unsigned short>(piid), at, false, false, 0, false);
    }
    ++count;
  };

  if (!source.next(pc)) throw std::runtime_error("no executed PC in the input");
  enc.start(pc);
  fetch(pc);
  uint64_t next_pc;
  while (source.next(next_pc)) {
    enc.step(pc, static_cast<uint32_t>(word), next_pc);
    pc = next_pc;
    fetch(pc);
  }
  enc.finish(pc, static_cast<uint32_t>(word));
  if (nexus_out) nexus_out->write_file(nexus.getValue());
  std::cerr << count << " instructions, " << enc.messages() << " Nexus messages\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "trace_gen: " << e.what() << "\n";
    return 1;
  }
}
