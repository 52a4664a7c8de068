// Both programs on crafted ELF files whose loadable segments and sections
// would, kept as every (segment, section) pair, ask for gigabytes: thousands
// of PT_LOAD segments over one address range and as many allocated sections
// inside it. Each run decodes a one-instruction trace (a Synchronization to
// the nop in .text, then a Correlation over it) under a 512 MB address-space
// limit and must end within seconds with the normal result or the clear
// failure, never an allocation failure.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "crafted_elf.h"
#include "et_writer.h"
#include "nexus_writer.h"
#include "run_program.h"

namespace {

using test_support::read_file;
using test_support::run_program;
using test_support::run_result;
using test_support::temp_dir;
using test_support::write_file;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// The sanitizer reserves terabytes of address space for itself, so under it
// the runs go without the limit (and get more time).
run_result run_limited(const std::string& program, const std::vector<std::string>& args) {
  if (kAddressSanitizer) return run_program(program, args);
  std::vector<std::string> shell = {"-c", "ulimit -v 524288 && exec \"$0\" \"$@\"", program};
  shell.insert(shell.end(), args.begin(), args.end());
  return run_program("/bin/sh", shell);
}

struct hostile_case {
  const char* name;
  size_t count;  // segments, and as many ".h" sections
  bool nobits;
};
void PrintTo(const hostile_case& c, std::ostream* os) { *os << c.name; }

class HostileElf : public ::testing::TestWithParam<hostile_case> {
 protected:
  HostileElf() : elf(dir.file("crafted.elf")), nex(dir.file("test.nex")), swt(dir.file("ref.swt")) {
    const hostile_case& c = GetParam();
    test_support::crafted_elf_options shape;
    shape.segments = c.count;
    shape.sections = c.count;
    shape.nobits = c.nobits;
    shape.exit_label = true;
    const std::vector<uint8_t> bytes = test_support::crafted_elf(shape);
    write_file(elf, std::string(bytes.begin(), bytes.end()));
    nexus_writer_t w;
    w.begin(9).fixed(4, 0).var(0).var(test_support::kCraftedText >> 1).end();
    w.begin(33).fixed(4, 0).fixed(2, 0).var(2).end();
    w.write_file(nex);
    et_writer_t ref(swt, 0);
    ref.configure(64, 64, 64, 64, 56);
    ref.record_swt_is(0, 0, test_support::kCraftedInsn);
    ref.record_swt_cm(0, test_support::kCraftedText, false, false, 0, false);
  }

  // Runs the program and checks that it ended within seconds.
  run_result timed(const std::string& program, const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    run_result res = run_limited(program, args);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, kAddressSanitizer ? 60.0 : 10.0);
    return res;
  }

  // The failure of a file with more (segment, section) pairs than supported:
  // every segment holds .text and every empty section.
  std::string too_many() const {
    const uint64_t pairs = uint64_t(GetParam().count) * (GetParam().count + 1);
    return "Decode error: ELF file " + elf + " has " + std::to_string(pairs) +
           " sections in its loadable segments: at most 1048576 are supported\n";
  }

  temp_dir dir;
  const std::string elf;
  const std::string nex;
  const std::string swt;
};

TEST_P(HostileElf, Tracedecode) {
  const std::string out = dir.file("out.pc");
  const run_result res = timed(TRACEDECODE_PATH, {"-i", nex, "-o", out, "-e", elf});
  EXPECT_EQ(res.out, "");
  if (GetParam().nobits) {  // NOBITS sections are never offered: decodes
    EXPECT_EQ(res.err, "");
    EXPECT_EQ(res.status, 0);
    EXPECT_EQ(read_file(out), "80000000\n");
  } else {
    EXPECT_EQ(res.err, too_many());
    EXPECT_EQ(res.status, 255);
    EXPECT_EQ(read_file(out), "");
  }
}

// The exit label's look-up reads the same file before decoding starts.
TEST_P(HostileElf, Tracecheck) {
  const std::string design = dir.file("design.xml");
  write_file(design,
             "<design><swt><XLEN>64</XLEN><FLEN>64</FLEN><PADDR_WIDTH>56</PADDR_WIDTH>"
             "<IRF_DATA_WIDTH>64</IRF_DATA_WIDTH><CL_WIDTH>512</CL_WIDTH><CL_CHUNKS>2</CL_CHUNKS>"
             "<POISON_ENABLE>false</POISON_ENABLE></swt></design>\n");
  const run_result res = timed(TRACECHECK_PATH, {"-t", nex, "-r", swt, "-c", design, "-e", elf, "--save-pc"});
  std::string out = "Load configuration from '" + design + "'\n";
  if (GetParam().nobits) {
    out += "[INFO]<tracecheck> Traces are finished by reaching the lynx_gdb_exit.\n"
           "[INFO]<tracecheck> Traces are equal.\n";
    EXPECT_EQ(res.err, "");
    EXPECT_EQ(res.status, 0);
    EXPECT_EQ(read_file(nex + ".pcseq"), "80000000\n");
  } else {
    EXPECT_EQ(res.err, too_many());
    EXPECT_EQ(res.status, 255);
    EXPECT_EQ(read_file(nex + ".pcseq"), "");
  }
  EXPECT_EQ(res.out, out);
}

INSTANTIATE_TEST_SUITE_P(Shapes, HostileElf,
                         ::testing::Values(hostile_case{"Nobits4000", 4000, true},
                                           hostile_case{"EmptyProgbits4000", 4000, false},
                                           hostile_case{"Nobits60000", 60000, true},
                                           hostile_case{"EmptyProgbits60000", 60000, false}),
                         [](const ::testing::TestParamInfo<hostile_case>& i) { return std::string(i.param.name); });

}  // namespace
