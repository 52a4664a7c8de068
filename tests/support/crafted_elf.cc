#include "crafted_elf.h"

#include <elf.h>

#include <string>

namespace test_support {
namespace {

void put(std::vector<uint8_t>& b, size_t at, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

void put_section(std::vector<uint8_t>& b, size_t at, uint32_t name, uint32_t type, uint64_t flags, uint64_t address,
                 uint64_t offset, uint64_t size, uint32_t link = 0, uint32_t info = 0, uint64_t entry_size = 0) {
  put(b, at + 0x00, name, 4);
  put(b, at + 0x04, type, 4);
  put(b, at + 0x08, flags, 8);
  put(b, at + 0x10, address, 8);
  put(b, at + 0x18, offset, 8);
  put(b, at + 0x20, size, 8);
  put(b, at + 0x28, link, 4);
  put(b, at + 0x2c, info, 4);
  put(b, at + 0x30, 4, 8);  // sh_addralign
  put(b, at + 0x38, entry_size, 8);
}

}  // namespace

std::vector<uint8_t> crafted_elf(const crafted_elf_options& o) {
  const std::string names = std::string("\0.text\0.h\0.shstrtab\0.symtab\0.strtab\0", 37);
  const uint32_t text_name = 1, h_name = 7, shstrtab_name = 10, symtab_name = 20, strtab_name = 28;
  const std::string strings = std::string("\0lynx_gdb_exit\0", 15);

  const size_t phoff = 64;
  const size_t text_offset = phoff + 56 * o.segments;
  const size_t names_offset = text_offset + 4;
  const size_t strings_offset = names_offset + names.size();
  const size_t symtab_offset = (strings_offset + strings.size() + 7) / 8 * 8;
  const size_t symtab_size = o.exit_label ? 2 * 24 : 0;
  const size_t shoff = symtab_offset + symtab_size;
  const size_t section_count = 3 + o.sections + (o.exit_label ? 2 : 0);
  std::vector<uint8_t> b(shoff + 64 * section_count, 0);

  // ELF header.
  b[0] = 0x7f, b[1] = 'E', b[2] = 'L', b[3] = 'F';
  b[EI_CLASS] = ELFCLASS64, b[EI_DATA] = ELFDATA2LSB, b[EI_VERSION] = EV_CURRENT;
  put(b, 0x10, ET_EXEC, 2);
  put(b, 0x12, EM_RISCV, 2);
  put(b, 0x14, EV_CURRENT, 4);
  put(b, 0x18, kCraftedText, 8);
  put(b, 0x20, phoff, 8);
  put(b, 0x28, shoff, 8);
  put(b, 0x34, 64, 2);
  put(b, 0x36, 56, 2);
  put(b, 0x38, o.segments, 2);
  put(b, 0x3a, 64, 2);
  put(b, 0x3c, section_count, 2);
  put(b, 0x3e, 2 + o.sections, 2);  // .shstrtab

  for (size_t i = 0; i < o.segments; ++i) {
    const size_t at = phoff + 56 * i;
    put(b, at + 0x00, PT_LOAD, 4);
    put(b, at + 0x04, PF_R | PF_X, 4);
    put(b, at + 0x08, text_offset, 8);
    put(b, at + 0x10, kCraftedText, 8);
    put(b, at + 0x18, kCraftedText, 8);
    put(b, at + 0x20, 4, 8);
    put(b, at + 0x28, kCraftedSpan, 8);
    put(b, at + 0x30, 4, 8);
  }
  put(b, text_offset, kCraftedInsn, 4);
  names.copy(reinterpret_cast<char*>(&b[names_offset]), names.size());
  strings.copy(reinterpret_cast<char*>(&b[strings_offset]), strings.size());
  if (o.exit_label) {  // symbol 1: lynx_gdb_exit, global, in .text
    put(b, symtab_offset + 24 + 0x00, 1, 4);
    b[symtab_offset + 24 + 0x04] = ELF64_ST_INFO(STB_GLOBAL, STT_NOTYPE);
    put(b, symtab_offset + 24 + 0x06, 1, 2);
    put(b, symtab_offset + 24 + 0x08, kCraftedText, 8);
  }

  size_t at = shoff + 64;  // section 0 stays all zero
  put_section(b, at, text_name, SHT_PROGBITS, SHF_ALLOC | SHF_EXECINSTR, kCraftedText, text_offset, 4);
  for (size_t i = 0; i < o.sections; ++i) {
    at += 64;
    const uint64_t address = kCraftedText + 16 * (i + 1) % (kCraftedSpan - 16);
    put_section(b, at, h_name, o.nobits ? SHT_NOBITS : SHT_PROGBITS, SHF_ALLOC | SHF_WRITE, address,
                names_offset, o.nobits ? 16 : 0);
  }
  at += 64;
  put_section(b, at, shstrtab_name, SHT_STRTAB, 0, 0, names_offset, names.size());
  if (o.exit_label) {
    const uint32_t strtab_index = static_cast<uint32_t>(section_count - 1);
    put_section(b, at + 64, symtab_name, SHT_SYMTAB, 0, 0, symtab_offset, symtab_size, strtab_index, 1, 24);
    put_section(b, at + 128, strtab_name, SHT_STRTAB, 0, 0, strings_offset, strings.size());
  }
  return b;
}

}  // namespace test_support
