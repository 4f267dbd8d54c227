// Small builders shared by the control tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control/key_codes.h"
#include "control/line_kinds.h"
#include "control/macro_records.h"

namespace quillon::control::testing {

struct Page {
    ZeroedPtr<MacroDocument> document = newMacroDocument();
    ZeroedPtr<TextStore> store = newTextStore();

    EditLine& add(const EditLine& line) {
        EditLine& slot = document->lines[document->head.lineCount++];
        slot = line;
        rebuildSentence(slot, *store);
        return slot;
    }
};

inline EditLine makeLine(int kind, std::initializer_list<std::pair<int, int32_t>> params = {}) {
    EditLine line{};
    line.kind = kind;
    for (auto [offset, value] : params) P(line, offset) = value;
    return line;
}

inline int rowOf(uint8_t code) { return *rowOfKeyCode(code); }

inline EditLine labelLine(int kind, const std::string& name) {
    EditLine line = makeLine(kind);
    setLabel(line, name);
    return line;
}

inline std::string hex(const std::vector<uint8_t>& bytes) {
    std::string out;
    char buffer[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buffer, sizeof(buffer), i ? " %02X" : "%02X", bytes[i]);
        out += buffer;
    }
    return out;
}

inline std::string sentence(const EditLine& line) { return lineDisplayText(line); }

} // namespace quillon::control::testing
