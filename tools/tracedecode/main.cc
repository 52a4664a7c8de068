// tracedecode: decodes one Nexus trace file into a PC trace file, one line
// per executed instruction.

#include <tclap/CmdLine.h>

#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "design_params.h"
#include "mh_swt_reader/mh_swt_reader.h"
#include "nexus_decoder.h"

namespace {

struct options_t {
  std::string hwt;
  std::string config;
  unsigned long src_mask;
  bool metrics;
  bool nm;
  bool fd;
  unsigned long src_width;
  bool use_src;
  unsigned long xlen;
  std::string output;
  std::vector<std::string> elf;
  std::string input;
};

options_t parse_command_line(int argc, char** argv) {
  TCLAP::CmdLine cmd("Nexus trace decoder.", ' ', "");
  TCLAP::ValueArg<std::string> hwt("", "hwt", "Input reference hwt trace", false, "", "string", cmd);
  TCLAP::ValueArg<std::string> config(
      "c", "config", "Configuration file with design-specific parameters for HWT ref file (XML).",
      false, "", "string", cmd);
  TCLAP::ValueArg<unsigned long> src_mask(
      "", "src-mask",
      "Mask of required trace sources: hart0 - 0x1 mask, hart1 - 0x2 mask, all harts - 0x3 mask",
      false, 1, "int", cmd);
  TCLAP::SwitchArg metrics("", "metrics", "Enable printing of compression metrics", cmd, false);
  TCLAP::SwitchArg nm("", "nm", "Enable printing of nexus messages", cmd, false);
  TCLAP::SwitchArg fd("", "fd", "Enable printing of full disasm instead instruction name", cmd,
                      false);
  TCLAP::ValueArg<unsigned long> src_width("", "src-width", "SRC field bit width.", false, 2, "int",
                                           cmd);
  TCLAP::SwitchArg use_src("", "use-src", "Enable SRC field for nexus messages.", cmd, false);
  TCLAP::ValueArg<unsigned long> xlen("x", "xlen", "XLEN width.", false, 64, "32|64", cmd);
  std::vector<std::string> formats{"bin", "text"};
  TCLAP::ValuesConstraint<std::string> format_values(formats);
  TCLAP::ValueArg<std::string> format("f", "format", "Output format selection (default: bin).",
                                      false, "bin", &format_values, cmd);
  TCLAP::ValueArg<std::string> output("o", "output", "Output pc trace", true, "", "string", cmd);
  TCLAP::MultiArg<std::string> elf("e", "elf", "Elf/hwt files to get insn chunks from.", false,
                                   "string", cmd);
  TCLAP::ValueArg<std::string> input("i", "input", "Input trace file in nexus format.", true, "",
                                     "string", cmd);
  cmd.parse(argc, argv);
  return options_t{hwt.getValue(),    config.getValue(),  src_mask.getValue(),
                   metrics.getValue(), nm.getValue(),     fd.getValue(),
                   src_width.getValue(), use_src.getValue(), xlen.getValue(),
                   output.getValue(), elf.getValue(),     input.getValue()};
}

int run(const options_t& opt) {
  // Without an ELF file or a reference trace the walk has nothing to read
  // instruction words from; refuse before any output file is touched.
  if (opt.elf.empty() && opt.hwt.empty())
    throw std::runtime_error("No instruction source: give an ELF file (--elf) or a reference hwt trace (--hwt)");

  nexus_decoder_t decoder(opt.xlen, opt.use_src, opt.src_width);
  if (opt.metrics) decoder.enable_metrics_log();
  if (opt.fd) decoder.enable_disasm_log();
  if (opt.nm) decoder.enable_nexus_log();

  std::ofstream out(opt.output, std::ios::out | std::ios::trunc);
  if (out.bad() || out.fail()) throw std::runtime_error("Failed to write pcseq file: " + opt.output);

  std::unique_ptr<mh_swt_reader_t> reader;
  if (!opt.hwt.empty()) {
    design_params_t d;
    if (!load_design_params(opt.config, d)) return -1;
    reader = open_swt_reader(opt.hwt, opt.src_mask, d);
  }

  decoder.decode(opt.src_mask, out, opt.input, opt.elf, reader, false);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const options_t opt = parse_command_line(argc, argv);
  try {
    return run(opt);
  } catch (const std::exception& e) {
    // Besides the decoder's own failures this also reports the configuration
    // tree's conversion errors and allocation failures, so that every failure
    // ends with one line and the failure status.
    std::cerr << "Decode error: " << e.what() << std::endl;
    return -1;
  } catch (...) {
    std::cerr << "Decode error: unexpected failure" << std::endl;
    return -1;
  }
}
