#include "control/key_codes.h"

#include "device/key_table.h"

namespace quillon::control {

namespace {
const KeyTable& table() {
    static const KeyTable keys(KeyNames::ControlPanel);
    return keys;
}
} // namespace

std::optional<uint8_t> keyCodeOfRow(int row) {
    if (row < 0 || row >= kKeyRowCount) return std::nullopt;
    return table().codeOf(static_cast<size_t>(row));
}

std::string keyNameOfRow(int row) {
    if (row < 0 || row >= kKeyRowCount) return {};
    return std::string(table().keyName(static_cast<size_t>(row)));
}

std::optional<int> rowOfKeyCode(uint8_t code) {
    auto row = table().rowOfCode(code);
    if (!row) return std::nullopt;
    return static_cast<int>(*row);
}

} // namespace quillon::control
