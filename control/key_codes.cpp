#include "control/key_codes.h"

#include <iterator>

namespace quillon::control {

namespace {

struct KeyRow {
    uint8_t code;
    const char* name;
};

// The key table rows in table order, as this program names them (0x2D is "_ ").
constexpr KeyRow kRows[] = {
    {0x04, "A "}, {0x05, "B "}, {0x06, "C "}, {0x07, "D "}, {0x08, "E "}, {0x09, "F "}, {0x0A, "G "},
    {0x0B, "H "}, {0x0C, "I "}, {0x0D, "J "}, {0x0E, "K "}, {0x0F, "L "}, {0x10, "M "}, {0x11, "N "},
    {0x12, "O "}, {0x13, "P "}, {0x14, "Q "}, {0x15, "R "}, {0x16, "S "}, {0x17, "T "}, {0x18, "U "},
    {0x19, "V "}, {0x1A, "W "}, {0x1B, "X "}, {0x1C, "Y "}, {0x1D, "Z "}, {0x1E, "1 "}, {0x1F, "2 "},
    {0x20, "3 "}, {0x21, "4 "}, {0x22, "5"}, {0x23, "6"}, {0x24, "7"}, {0x25, "8"}, {0x26, "9"},
    {0x27, "0 "}, {0x28, "엔터"}, {0x29, "Esc"}, {0x2A, "백스페이스"}, {0x2B, "탭"}, {0x2C, "Space"},
    {0x2D, "_ "}, {0x2E, "= "}, {0x2F, "[ "}, {0x30, "] "}, {0x31, "\\"}, {0x33, ";"}, {0x34, "'"},
    {0x35, "`"}, {0x36, ","}, {0x37, ". "}, {0x38, "/ "}, {0x39, "CAPSLOCK"}, {0x3A, "F1 "}, {0x3B, "F2 "},
    {0x3C, "F3 "}, {0x3D, "F4 "}, {0x3E, "F5 "}, {0x3F, "F6 "}, {0x40, "F7 "}, {0x41, "F8 "}, {0x42, "F9 "},
    {0x43, "F10 "}, {0x44, "F11 "}, {0x45, "F12 "}, {0x46, "PrintScreen"}, {0x47, "SCROLLOCK"},
    {0x48, "PAUSE"}, {0x49, "INSERT"}, {0x4A, "HOME"}, {0x4B, "PAGEUP"}, {0x4C, "DEL"}, {0x4D, "END"},
    {0x4E, "PAGEDOWN"}, {0x4F, "→"}, {0x50, "←"}, {0x51, "↓"}, {0x52, "↑"}, {0x53, "NUMLOCK"},
    {0x54, "키패드 /"}, {0x55, "키패드 *"}, {0x56, "키패드 -"}, {0x57, "키패드 +"}, {0x58, "키패드 엔터"},
    {0x59, "키패드 1"}, {0x5A, "키패드 2"}, {0x5B, "키패드 3"}, {0x5C, "키패드 4"}, {0x5D, "키패드 5"},
    {0x5E, "키패드 6"}, {0x5F, "키패드 7"}, {0x60, "키패드 8"}, {0x61, "키패드 9"}, {0x62, "키패드 0"},
    {0x63, "키패드 Del"}, {0x65, "목록 "}, {0x90, "한/영 "}, {0x91, "한자 "}, {0xE0, "왼쪽Ctrl "},
    {0xE1, "왼쪽Shift "}, {0xE2, "왼쪽Alt "}, {0xE3, "왼쪽GUI "}, {0xE4, "오른쪽Ctrl "},
    {0xE5, "오른쪽Shift "}, {0xE6, "오른쪽Alt "}, {0xE7, "오른쪽GUI "},
};
static_assert(std::size(kRows) == kKeyRowCount);

} // namespace

std::optional<uint8_t> keyCodeOfRow(int row) {
    if (row < 0 || row >= kKeyRowCount) {
        return std::nullopt;
    }
    return kRows[row].code;
}

std::string keyNameOfRow(int row) {
    if (row < 0 || row >= kKeyRowCount) {
        return {};
    }
    return kRows[row].name;
}

std::optional<int> rowOfKeyCode(uint8_t code) {
    for (int row = 0; row < kKeyRowCount; ++row) {
        if (kRows[row].code == code) {
            return row;
        }
    }
    return std::nullopt;
}

} // namespace quillon::control
