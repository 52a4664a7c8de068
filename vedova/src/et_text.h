// Kinds of content an instruction record carries, and privilege-mode masks.
#ifndef VEDOVA_ET_TEXT_H
#define VEDOVA_ET_TEXT_H

#include <cstdint>
#include <string>

enum et_record_t : int {
  ET_RECORD_UIID = 0,
  ET_RECORD_STAGE = 1,
  ET_RECORD_REG_ADDR = 2,
  ET_RECORD_REG_DATA = 3,
  ET_RECORD_EA = 4,
  ET_RECORD_PC = 5,
  ET_RECORD_PRIL = 6,
  ET_RECORD_CAUSE = 7,
  ET_RECORD_TRIG = 8,
  ET_RECORD_PA = 9,
  ET_RECORD_CHUNK = 10,
  ET_RECORD_FR = 11,
  ET_RECORD_SD = 12,
};

std::string et_record_to_string(et_record_t kind);

// Mode masks: 1 machine, 2 supervisor, 4 user. Not the encoding of the
// record field `mode` (0 user, 1 supervisor, 3 machine).
constexpr uint32_t ET_MODE_M = 1;
constexpr uint32_t ET_MODE_S = 2;
constexpr uint32_t ET_MODE_U = 4;

// Mask of one privilege level (0 user, 1 supervisor, 3 machine; others 0).
uint32_t convert_pril_to_et_mode(unsigned long privilege_level);
// Mask of the modes named by the letters M, S and U (either case) anywhere
// in the text.
uint32_t construct_et_mode_from_string(const std::string& letters);

// Appends v in lower-case hexadecimal, zero-padded to at least `digits`
// digits (one digit at least).
void append_hex(std::string& s, uint64_t v, uint64_t digits = 0);

#endif
