#pragma once
// Writes small ELF64 RISC-V executables of a crafted shape, byte by byte, for
// tests of how the ELF reader and the program image cope with hostile files:
// many loadable segments over one address range and many allocated sections
// inside it.
//
// Layout: the ELF header, `segments` program headers, the bytes of .text (one
// instruction at kCraftedText), the string and symbol tables, then the section
// headers: the null section, .text, `sections` sections ".h", .shstrtab and,
// with `exit_label`, .symtab and .strtab. Every segment is PT_LOAD at
// kCraftedText with kCraftedSpan bytes of memory and .text's 4 bytes of file;
// every ".h" section lies inside that range, 16 bytes apart.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace test_support {

constexpr uint64_t kCraftedText = 0x80000000;
constexpr uint64_t kCraftedSpan = 0x100000;
constexpr uint32_t kCraftedInsn = 0x00000013;  // nop

struct crafted_elf_options {
  size_t segments = 1;
  size_t sections = 0;
  // The ".h" sections: SHT_NOBITS of 16 bytes each, or empty SHT_PROGBITS.
  bool nobits = true;
  // A .symtab whose symbol lynx_gdb_exit stands at the instruction.
  bool exit_label = false;
};

std::vector<uint8_t> crafted_elf(const crafted_elf_options& options);

}  // namespace test_support
