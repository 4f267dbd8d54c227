// The machine as shot-taker uses it: screenshot mode while the window is
// open, one signal byte at a time, normal mode at the end.
#pragma once

#include <cstdint>
#include <optional>

namespace quillon {

class ShotMachine {
public:
    virtual ~ShotMachine() = default;
    // Screenshot mode (0x60), acknowledged with 0xFE.
    virtual bool enterScreenshotMode() = 0;
    // Normal mode (0x61), acknowledged with 0xFE.
    virtual bool enterNormalMode() = 0;
    // One signal: HID the first payload byte of one input report; serial one
    // byte. kNoSignal (0xFF) when nothing came within the read's wait; none
    // when the link failed (reads that fail are tried again, up to 30 times
    // 5 ms apart, and then the link is given up).
    virtual std::optional<uint8_t> readSignal() = 0;
    // Closes the link's handles.
    virtual void close() = 0;
};

} // namespace quillon
