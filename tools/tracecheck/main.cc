// tracecheck: decodes a Nexus test trace and compares its PCs, instruction by
// instruction, with the committed records of a reference swt trace.

#include <tclap/CmdLine.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "design_params.h"
#include "compare.h"
#include "elf_file.h"
#include "lynx_logger.h"
#include "mh_swt_reader/mh_swt_reader.h"
#include "nexus_decoder.h"
#include "skip_range.h"

namespace {

constexpr const char* EXIT_LABEL = "lynx_gdb_exit";
constexpr uint32_t SHT_SYMTAB_TYPE = 2;
constexpr uint32_t PT_LOAD_TYPE = 1;
constexpr uint64_t SHF_ALLOC_FLAG = 2;
// Trace sources are numbered by the bits of a 64-bit mask.
constexpr unsigned long MAX_SRC_ID = 63;

struct options_t {
  bool use_hwt;
  std::vector<SkipRangeArg> skip_ranges;
  unsigned long src_width;
  unsigned long src_id;
  bool save_pc;
  std::string drops;
  std::vector<std::string> elf;
  std::string ref_format;
  std::string config;
  std::string test_trace;
  std::string ref_trace;
};

options_t parse_command_line(int argc, char** argv) {
  TCLAP::CmdLine cmd("Nexus trace diff tool.", ' ', "");
  TCLAP::SwitchArg use_hwt("", "use-hwt", "Use hwt as reference.", cmd, false);
  TCLAP::MultiArg<SkipRangeArg> skip_range(
      "", "skip-range",
      "Skip diff check for PCs inside specified range (start:end).PCs with start <= address <= "
      "end will be skipped.(ex: --skip-range 0x1000:0x1fff or --skip-range 4096:8191)",
      false, "string", cmd);
  TCLAP::ValueArg<unsigned long> src_width("", "src-width", "Size of src field bitwidth", false, 0,
                                           "int", cmd);
  TCLAP::ValueArg<unsigned long> src_id("", "src-id", "Trace form required hart id ", false, 0,
                                        "int", cmd);
  TCLAP::SwitchArg save_pc("", "save-pc", "Save PC sequence of decoded nexus trace.", cmd, false);
  TCLAP::ValueArg<std::string> drops("d", "drops", "Input file which describes drops.", false, "",
                                     "string", cmd);
  TCLAP::MultiArg<std::string> elf("e", "elf", "Elf files to get insn chunks from.", false,
                                   "string", cmd);
  std::vector<std::string> formats{"swt"};
  TCLAP::ValuesConstraint<std::string> format_values(formats);
  TCLAP::ValueArg<std::string> ref_format("f", "ref-format",
                                          "Reference trace format (default: swt).", false, "swt",
                                          &format_values, cmd);
  TCLAP::ValueArg<std::string> config(
      "c", "config", "Configuration file with design-specific parameters (XML).", true, "",
      "string", cmd);
  TCLAP::ValueArg<std::string> test_trace("t", "test-trace", "Test trace file in nex format.",
                                          true, "", "string", cmd);
  TCLAP::ValueArg<std::string> ref_trace("r", "ref-trace",
                                         "Reference trace file in swt or nex format.", true, "",
                                         "string", cmd);
  cmd.parse(argc, argv);
  return options_t{use_hwt.getValue(),   skip_range.getValue(), src_width.getValue(),
                   src_id.getValue(),    save_pc.getValue(),    drops.getValue(),
                   elf.getValue(),       ref_format.getValue(), config.getValue(),
                   test_trace.getValue(), ref_trace.getValue()};
}

std::string label_failure(const char* what) {
  return std::string("Failed to find label \"") + EXIT_LABEL + "\" " + what;
}

// Load address of the exit label in the first ELF file.
uint64_t find_exit_address(const std::string& path) {
  elf_file_t elf;
  try {
    elf.load(path);
  } catch (const std::exception&) {
    throw std::runtime_error("Failed to read ELF file: " + path);
  }

  uint64_t vma = 0;
  for (const elf_file_t::symbol_table_t& table : elf.symbol_tables()) {
    const elf_file_t::section_t* sec = elf.section(table.section_index);
    if (!sec || sec->type != SHT_SYMTAB_TYPE) continue;
    for (const elf_file_t::symbol_t& sym : table.symbols) {
      if (sym.name != EXIT_LABEL) continue;
      vma = sym.value;
      break;
    }
    if (vma != 0) break;
  }
  if (vma == 0) throw std::runtime_error(label_failure("VMA"));

  // The segment that holds the label gives the offset between its virtual
  // and its load address, so the exit address is right even when segments
  // are loaded with different offsets: the first loadable segment that holds
  // an allocated section holding the label. The sections are indexed once,
  // as a crafted file can have tens of thousands of segments and sections.
  const section_ranges_t holders(elf.sections(), [vma](const elf_file_t::section_t& sec) {
    return (sec.flags & SHF_ALLOC_FLAG) != 0 && vma - sec.address <= sec.size;
  });
  for (const elf_file_t::segment_t& seg : elf.segments()) {
    if (seg.type != PT_LOAD_TYPE) continue;
    if (!holders.any_within(seg.virtual_address, seg.memory_size)) continue;
    const uint64_t lma = seg.physical_address + vma - seg.virtual_address;
    if (lma != 0) return lma;
  }
  throw std::runtime_error(label_failure("LMA"));
}

int run(options_t& opt) {
  if (opt.src_id > MAX_SRC_ID) {
    std::ostringstream s;
    s << "Invalid src-id " << opt.src_id << ": trace sources are numbered 0 to " << MAX_SRC_ID;
    throw std::runtime_error(s.str());
  }
  const unsigned long mask = 1UL << opt.src_id;

  design_params_t d;
  if (!load_design_params(opt.config, d)) return -1;

  if (opt.elf.empty())
    throw std::runtime_error("No ELF file given: the exit label is looked up in the first --elf file");
  const uint64_t exit_address = find_exit_address(opt.elf.front());

  nexus_decoder_t decoder(d.xlen, opt.src_width != 0, opt.src_width);
  const std::string pc_path = opt.test_trace + ".pcseq";
  std::ofstream pc_out(pc_path, std::ios::out | std::ios::trunc);
  if (!pc_out) throw std::runtime_error("Failed to write pcseq file: " + pc_path);

  std::unique_ptr<mh_swt_reader_t> decoder_reference;
  if (opt.use_hwt) {
    decoder_reference = open_swt_reader(opt.ref_trace, mask, d);
    opt.elf.clear();
  }
  decoder.decode(mask, pc_out, opt.test_trace, opt.elf, decoder_reference, true);
  pc_out.close();
  if (!pc_out) throw std::runtime_error("Failed to write pcseq file: " + pc_path);

  std::ifstream pc_in(pc_path);
  if (!pc_in) throw std::runtime_error("Failed to read pcseq file: " + pc_path);
  std::unique_ptr<et_reader_t> reference = open_swt_reader(opt.ref_trace, mask, d);
  const int status = compare_traces(*reference, pc_in, opt.skip_ranges, exit_address);
  pc_in.close();
  if (!opt.save_pc) std::remove(pc_path.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  lynx_logger_t* logger = lynx_static_logger_t::get();
  logger->patterns.default_level = lynx_logger_t::INFO;
  logger->auto_recache_log_levels();
  logger->out = &std::cout;

  try {
    options_t opt = parse_command_line(argc, argv);
    return run(opt);
  } catch (const TCLAP::ArgException& e) {
    // The command line normally reports its own errors and ends the process;
    // this is only reached when it hands one on.
    if (logger->patterns.default_level > lynx_logger_t::NEVER) {
      const std::string text = "Error: " + e.error() + " for arg " + e.argId();
      logger->log(lynx_logger_t::ERROR, "tracecheck", text.c_str());
    }
    return -1;
  } catch (const std::exception& e) {
    // Runtime errors of every step, and also the configuration tree's
    // conversion errors and allocation failures: one line, failure status.
    std::cerr << "Decode error: " << e.what() << std::endl;
    return -1;
  } catch (...) {
    std::cerr << "Decode error: unexpected failure" << std::endl;
    return -1;
  }
}
