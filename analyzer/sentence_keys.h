// Key codes of a typing sentence: what the machine presses to type a text.
//
// A code is a USB HID keyboard usage in its low 7 bits with 0x80 meaning Shift
// held; 254 is the Korean/English toggle key. Hangul is typed on the standard
// two-set layout, everything else on the US layout.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillon::analyzer {

inline constexpr uint8_t kShiftBit = 0x80;
inline constexpr uint8_t kToggleKey = 254;
inline constexpr uint8_t kEnterKey = 0x28;

// Key codes of a Johab text (ASCII single bytes, Hangul as two bytes).
std::vector<uint8_t> sentenceKeyCodesFromJohab(std::string_view johab);

// Key codes of a CP949 text (converted to Johab first).
std::vector<uint8_t> sentenceKeyCodes(std::string_view cp949);

// US-layout code of one ASCII character, or 0 when it has none.
uint8_t usLayoutKey(unsigned char c);

} // namespace quillon::analyzer
