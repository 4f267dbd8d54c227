// Builds the three start-up data files from readable sources
// (resources/data/*.txt). Used by tools/make-datafiles and by tests that need
// data files of their own.
//
// Source lines (UTF-8; '#' starts a comment, blank lines are skipped):
//   key <value>                  the block's 32-bit key (decimal or 0x hex)
//   <offset> "<text>"            text and name blocks: a hidden text, stored CP949
//                                (escapes \n \t \\ \" allowed)
//   <offset> <value>             settings block: a 32-bit signed field
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/startup_data.h"

namespace quillon {

struct StartupSourceError {
    int line = 0; // 1-based; 0 when the error concerns the whole source
    std::string message;
};

// Parses a source and builds the scrambled block exactly as installed.
// Refuses texts that overlap or leave the block, fields out of range or
// overlapping the key, and a missing key line.
bool buildStartupBlock(StartupBlock block, const std::string& source, std::vector<uint8_t>& out,
                       StartupSourceError& error);

} // namespace quillon
