// The key table: every key that a macro presses or waits for, and every
// machine hotkey, travels as one key code (the USB HID keyboard usage id).
// The programs show keys by name and capture them from key messages by their
// set-1 scan code (bit 7 set for extended keys).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

struct KeyRow {
    uint8_t code; // usage id sent to the machine
    uint8_t scan; // set-1 make code, | 0x80 for extended keys
    const char* name; // UTF-8; trailing blanks are part of the name
};

// Row 0x2D is named "_ " in control-panel and "- " in analyzer-editor; every
// other row is the same in both programs.
enum class KeyNames { ControlPanel, AnalyzerEditor };

class KeyTable {
public:
    static constexpr size_t kRowCount = 106;

    explicit KeyTable(KeyNames names = KeyNames::ControlPanel) : names_(names) {}

    size_t size() const { return kRowCount; }
    const KeyRow& row(size_t index) const;
    uint8_t codeOf(size_t row) const;
    // The row's name; empty for a row outside the table.
    std::string_view keyName(size_t row) const;
    // The first row whose key code is `code`.
    std::optional<size_t> rowOfCode(uint8_t code) const;
    // The first row matching a key message: the scan code (lParam bits 16..23)
    // with bit 7 forced on when the extended flag (bit 24) is set.
    std::optional<size_t> rowOfKeyMessage(uint8_t scan, bool extended) const;
    // Name of a key code read back from the machine; empty when it has no row.
    std::string_view nameOfCode(uint8_t code) const;

    static bool isModifierCode(uint8_t code) { return code >= 0xE0 && code <= 0xE7; }
    static bool isLockCode(uint8_t code) { return code == 0x39 || code == 0x47 || code == 0x53; }

private:
    KeyNames names_;
};

} // namespace quillon
