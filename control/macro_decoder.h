// Reverse readers: machine byte code back into the lines of a document.
#pragma once

#include <cstddef>
#include <cstdint>

#include "control/macro_records.h"

namespace quillon::control {

struct DecodeResult {
    int lines = 0;            // lines rebuilt
    size_t stoppedAt = 0;     // address where the walk stopped
    bool reachedEnd = false;  // stopped at the end byte 238
    int referenceWidth = 0;   // reference screen of the last absolute move (0 when none)
    int referenceHeight = 0;
};

// Empties the document and rebuilds its lines from the code. The walk stops at
// 238, at 0, at any byte above 238, at an opcode it does not know and where
// the code ends in the middle of a line. All text slots are freed first except
// those the typing lines of `sharing` (the other page's document, or null)
// refer to; a typing line's text goes to the slot named in the code when that
// slot is free, stays shared when the slot already holds the same text, and
// otherwise goes to the lowest free slot.
DecodeResult decodeEditMacro(const uint8_t* code, size_t size, MacroDocument& document, TextStore& store,
                             const MacroDocument* sharing = nullptr);
// As above, with the two opcodes that play recorded and edit memories.
DecodeResult decodeCombinationMacro(const uint8_t* code, size_t size, MacroDocument& document, TextStore& store,
                                    const MacroDocument* sharing = nullptr);

} // namespace quillon::control
