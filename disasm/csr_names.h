#pragma once
// Names of the control and status registers, by their 12-bit number.

#include <cstdint>

// Name of CSR `csr`, or "unknown-csr" when the number has no name (every
// negative number and every number above the highest named one included).
// The text is static: never freed, never changed.
const char* csr_name(int csr);

// Name of CSR `csr`, or null when the number has no name. Shared by the CSR
// operand printer, which has its own text for unnamed numbers.
const char* csr_name_or_null(uint32_t csr);
