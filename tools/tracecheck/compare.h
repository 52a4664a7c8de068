#pragma once
// The comparison of the decoded PC file with the committed instruction
// records of the reference trace.

#include <cstdint>
#include <istream>
#include <vector>

#include "et_reader.h"
#include "skip_range.h"

// Address whose word store ends a run.
constexpr uint64_t MSI_ADDRESS = 0x10040000;

// Reads the next PC of the PC file outside every skip range into `target`.
// Returns true when the file has ended. A line that is not a hexadecimal PC
// raises std::runtime_error: a broken PC file is a failure, never a verdict.
bool read_next_pc(std::istream& in, uint64_t& target, const std::vector<SkipRangeArg>& ranges);

// Walks both traces side by side and logs the verdict; 0 when they are
// equal, -1 when they differ. The PC text is scanned in the stream's buffer,
// whose read position is brought up to date when the walk ends: nothing else
// may read the stream meanwhile.
int compare_traces(et_reader_t& reference, std::istream& pcs,
                   const std::vector<SkipRangeArg>& ranges, uint64_t exit_address);
