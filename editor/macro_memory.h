// The machine's macro memories as the editor reaches them: headers and
// bodies moved whole, headers in the program's byte order. The editor keeps
// every header byte as the machine gave it except the fields the link carries
// big-endian (magic, flags, body length and a recorded macro's recording
// length), because the analyzer file stores the headers that way.
#pragma once

#include <cstdint>
#include <vector>

#include "analyzer/machine_macros.h"

namespace quillon::editor {

using analyzer::MacroKind;

class MacroMemory {
public:
    virtual ~MacroMemory() = default;
    virtual bool readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) = 0;
    // Reads `length` body bytes (the length the header gives).
    virtual bool readBody(MacroKind kind, int index, uint32_t length, std::vector<uint8_t>& body) = 0;
    virtual bool writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) = 0;
    virtual bool writeBody(MacroKind kind, int index, const std::vector<uint8_t>& body) = 0;
};

// Header byte order between the link (big-endian fields) and the program.
// Both leave every other byte as it stands; the header must have its kind's
// size.
void headerFromLink(MacroKind kind, std::vector<uint8_t>& header);
void headerToLink(MacroKind kind, std::vector<uint8_t>& header);

} // namespace quillon::editor
