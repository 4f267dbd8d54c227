// The key lookups the macro language needs: a line keeps the row of the key
// table, the code carries the row's key code. The control library reaches the
// key table (with this program's names) only through these three functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon::control {

constexpr int kKeyRowCount = 106; // rows of the machine's key table

// Key code of a row; nullopt for a row outside the table.
std::optional<uint8_t> keyCodeOfRow(int row);
// UTF-8 name of a row as sentences show it ("A ", "엔터", "왼쪽Ctrl ").
std::string keyNameOfRow(int row);
// First row with that key code; nullopt when no row has it.
std::optional<int> rowOfKeyCode(uint8_t code);

} // namespace quillon::control
