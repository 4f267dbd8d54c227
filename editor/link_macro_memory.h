// Macro memories over the machine link: one command frame with the memory
// index (and, for edit and combination bodies, the body length), then the
// block. Headers are converted between the link's and the program's byte
// order here, and nothing else in them is touched.
#pragma once

#include "device/link.h"
#include "editor/macro_memory.h"

namespace quillon::editor {

class LinkMacroMemory final : public MacroMemory {
public:
    // `location` is the call-site code a link failure carries.
    explicit LinkMacroMemory(Link& link, int location = 0) : link_(link), location_(location) {}

    bool readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) override;
    bool readBody(MacroKind kind, int index, uint32_t length, std::vector<uint8_t>& body) override;
    bool writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) override;
    bool writeBody(MacroKind kind, int index, const std::vector<uint8_t>& body) override;

private:
    bool sendIndexCommand(uint8_t code, int index, int length = 2, uint16_t bodyLength = 0);
    Link& link_;
    int location_;
};

} // namespace quillon::editor
