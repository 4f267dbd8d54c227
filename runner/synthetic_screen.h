// A screen held in memory: the pixels of the whole primary screen, a
// foreground window with its frame and client rectangles, and a cursor. Tests
// paint it or load it from a BMP file; the benchmarks draw UI-like screens
// on it; the demo can run an analyzer against a picture.
#pragma once

#include "runner/screen.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon::runner {

// 0x00RRGGBB, as colours are given in conditions.
using Rgb = uint32_t;

class SyntheticScreen final : public Screen {
public:
    SyntheticScreen(int width, int height, Rgb background = 0);

    // Loads a 24- or 32-bit BMP (bottom-up or top-down) as the whole screen.
    static std::optional<SyntheticScreen> fromBmp(const std::vector<uint8_t>& file);

    // ---- painting -----------------------------------------------------------
    void fill(Rgb colour);
    void fillRect(int left, int top, int width, int height, Rgb colour);
    void setPixel(int x, int y, Rgb colour);
    Rgb pixel(int x, int y) const;
    // Writable pixels: the picture counts as changed.
    uint8_t* row(int y) {
        serial_ = nextSerial();
        return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_) * 4;
    }
    const uint8_t* row(int y) const {
        return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_) * 4;
    }
    int width() const { return width_; }
    int height() const { return height_; }

    // ---- the windows and the cursor --------------------------------------
    // The foreground window; none when `present` is false.
    void setForegroundWindow(const Rect& frame, const Rect& client, bool present = true);
    void removeForegroundWindow() { windowPresent_ = false; }
    // Depth reported by copies: 32, or 16 (RGB565) to model a 16-bit screen.
    void setBitsPerPixel(int bits) { bitsPerPixel_ = bits; }
    void failCopies(bool fail) { failCopies_ = fail; }
    void setCursor(const CursorImage& cursor, bool readable = true);
    void setCursorReadable(bool readable) { cursorReadable_ = readable; }

    // ---- what the runner did -------------------------------------------------
    int copies() const { return copies_; }
    int cursorReads() const { return cursorReads_; }
    Rect lastCopy() const { return lastCopy_; }

    // ---- Screen -------------------------------------------------------------
    Size screenSize() override { return {width_, height_}; }
    bool targetRect(CaptureTarget target, Rect& rect) override;
    CopyResult copyPixels(int left, int top, int width, int height, uint8_t* pixels, size_t capacity,
                          int& bitsPerPixel) override;
    bool readCursor(CursorImage& image) override;
    uint64_t pictureSerial() override { return serial_; }

private:
    // Serials unique across every screen of the process.
    static uint64_t nextSerial();
    uint64_t serial_ = nextSerial();
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
    bool windowPresent_ = true;
    Rect windowFrame_;
    Rect windowClient_;
    int bitsPerPixel_ = 32;
    bool failCopies_ = false;
    std::shared_ptr<CursorImage> cursor_;
    bool cursorReadable_ = true;
    int copies_ = 0;
    int cursorReads_ = 0;
    Rect lastCopy_;
};

} // namespace quillon::runner
