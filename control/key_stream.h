// Typing texts: the key stream the machine types for a text, and the text
// slots that typing lines refer to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "control/macro_records.h"

namespace quillon::control {

constexpr uint8_t kSwitchLanguage = 254;
constexpr uint8_t kShiftBit = 0x80;
constexpr int kMaxTypingCharacters = 20000;
constexpr int kDefaultTypingSpeed = 1000;

// Keystrokes that type `cp949` on the Korean two-set layout: Hangul syllables
// by their jamo, Latin letters and other printable ASCII by their US keys
// (bit 7 = hold Shift), CR as Enter, 254 to switch the input language. The
// stream starts in Korean mode.
std::vector<uint8_t> textToKeyStream(std::string_view cp949);

// Lowest free slot, or -1 when all 100 are used.
int lowestFreeSlot(const TextStore& store);

// Number of typing lines of the document that refer to `slot`, not counting
// the line `except` (-1 for none).
int linesUsingSlot(const MacroDocument& document, int slot, int except);

// Converts and stores a typing text (UTF-8) for a new line (`editedLine` = -1)
// or for the typing line `editedLine` being modified, choosing the slot by the
// sharing rules. `sharing` is the other page's document, whose typing lines
// use the same store (or null). On failure nothing is changed.
Built<int> placeTypingText(TextStore& store, const MacroDocument& document, int editedLine,
                                const std::string& utf8Text, int speed, const MacroDocument* sharing = nullptr);

// Fills a slot directly (used by the reverse reader and the rules above).
void fillTextSlot(TextSlot& slot, std::string_view cp949Text, const std::vector<uint8_t>& keyStream, int speed);

} // namespace quillon::control
