// Compilers of edit and combination macros: the document's lines become the
// machine's byte code, ended by 238.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "control/macro_records.h"

namespace quillon::control {

struct CompiledMacro {
    std::vector<uint8_t> code; // the code, end byte included
    uint32_t recordedSet = 0;  // combination macros: bit n = plays recorded memory n
    uint32_t editSet = 0;      // combination macros: bit n = plays edit memory n
};
// The compiled macro, or the message (UTF-8, shown with the caption "오류")
// that refuses the lines.
using CompileResult = Built<CompiledMacro>;

CompileResult compileEditMacro(const MacroDocument& document, const TextStore& store);
CompileResult compileCombinationMacro(const MacroDocument& document, const TextStore& store);

// Location codes shown in the compile messages of each page.
struct CompileLocations {
    const char* page;          // "MakLine" or "ComLine"
    int keyIfInsideKeyIf;      // any-key opener (64..66)
    int keyIfInsideKeyIfKey;   // key opener (67..69)
    int keyIfUnmatchedEnd;
    int buttonIfInsideButtonIf;
    int buttonIfUnmatchedEnd;
    int remoteIfInsideRemoteIf;
    int remoteIfUnmatchedEnd;
    int openButtonIfAtEnd;
    int openKeyIfAtEnd;
    int openRepeatAtEnd;
    int openRepeatCompareAtEnd;
    int openRemoteIfAtEnd;
};
extern const CompileLocations kEditCompileLocations;
extern const CompileLocations kCombinationCompileLocations;

} // namespace quillon::control
