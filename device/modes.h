// Modes of the machine and how each program awaits their acknowledgement.
//   normal mode 0x61      analyzer-editor and control-panel at start-up; shot-taker at exit
//   screenshot mode 0x60  shot-taker
//   analysis mode 0x65    analyzer-runner, left with 0x66
#pragma once

#include "device/link.h"

#include <cstdint>

namespace quillon {

namespace mode_timing {
// Normal mode at start-up on HID: single reads 10 ms apart until 0xFE; after
// the 31st read without it the program beeps twice and ends.
inline constexpr int kNormalModeReads = 31;
inline constexpr uint32_t kNormalModeReadSleepMs = 10;
// shot-taker: 30 reads 5 ms apart, for 0x60 and 0x61.
inline constexpr int kShotModeReads = 30;
inline constexpr uint32_t kShotModeReadSleepMs = 5;
} // namespace mode_timing

// The command a program sends when it has opened the link, and the one it
// sends before closing it (0 = none).
uint8_t openingModeOf(Program program);
uint8_t closingModeOf(Program program);

// Sends the mode command and awaits its acknowledgement as the program does.
// On failure the link's error says SendFailed, ReceiveFailed or
// NoAcknowledgement (the program's reaction is in link_messages.h).
bool enterMode(Link& link, uint8_t modeCode, int location = 0);

} // namespace quillon
