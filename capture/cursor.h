// The mouse cursor as the system shows it: where its image's corner lies and
// its mask and colour bitmaps with their 40-byte headers. The runner compares
// it with cursor samples; shot-taker writes it into the cursor file.
//
// The order of the system calls and what a failure means are portable
// (cursor.cpp); cursor_win.cpp asks the system.
#pragma once

#include "capture/dib.h"
#include "capture/geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

inline constexpr uint32_t kCursorHasMask = 1;
inline constexpr uint32_t kCursorHasColour = 2;
// The bits of one image as a cursor sample holds them.
inline constexpr size_t kCursorBitsSize = 65536;
inline constexpr size_t kBitmapHeaderSize = sizeof(DibInfoHeader);

struct CursorImage {
    bool showing = false;
    Point position;     // cursor position (screen)
    Point hotSpot;
    Point drawPosition; // position − hot spot: where its image's corner is
    uint32_t flags = 0; // kCursorHasMask, kCursorHasColour: which images were taken
    DibInfoHeader maskHeader{}, colourHeader{};
    std::vector<uint8_t> maskBits, colourBits; // exactly the header's image size
};

// What the system says about the mouse cursor, one question each.
class CursorSystem {
public:
    virtual ~CursorSystem() = default;
    // The cursor's position and whether it is showing (GetCursorInfo).
    virtual bool cursorInfo(Point& position, bool& showing) = 0;
    // The icon information of the current cursor (GetIconInfo): its hot spot.
    // False when there is none; a hidden cursor has no icon.
    virtual bool iconInfo(Point& hotSpot) = 0;
    // One of the icon's bitmaps (the colour one only when the icon has one),
    // converted to `bitsPerPixel`.
    virtual bool readIconBitmap(bool colour, int32_t bitsPerPixel, DibInfoHeader& header,
                                std::vector<uint8_t>& bits) = 0;
    // Deletes the icon's bitmaps.
    virtual void releaseIcon() = 0;
};

// The cursor taken in two steps, so that everything it records belongs to one
// moment. hold() reads where the cursor is, whether it shows and its hot spot,
// and keeps its icon (whose bitmaps the system hands out as copies);
// takeBitmaps() later converts those kept bitmaps to a depth that may not be
// known yet at the moment of holding (a screenshot's). The icon is let go by
// takeBitmaps() or, at the latest, when the HeldCursor goes.
class HeldCursor {
public:
    explicit HeldCursor(CursorSystem& system) : system_(system) {}
    ~HeldCursor();
    HeldCursor(const HeldCursor&) = delete;
    HeldCursor& operator=(const HeldCursor&) = delete;

    // Clears `image` and fills its position, showing flag, hot spot and
    // drawing position. False when the cursor or its icon information cannot
    // be read.
    bool hold(CursorImage& image);
    // After a successful hold: the mask and colour bitmaps of a showing
    // cursor, as they were when held, converted to `bitsPerPixel`.
    void takeBitmaps(int32_t bitsPerPixel, CursorImage& image);

private:
    CursorSystem& system_;
    bool holding_ = false;
};

// Takes the cursor's image: position minus hot spot and, when it is showing,
// its mask and colour bitmaps. False when the cursor or its icon information
// cannot be read, so a cursor condition does not hold for a hidden pointer.
// The image's buffers are reused from one capture to the next.
bool captureCursor(CursorSystem& system, int32_t bitsPerPixel, CursorImage& image);

// ----- Win32 (cursor_win.cpp) -----

// captureCursor with the system's answers; the bitmaps are read through a
// device context on `displayDevice` (CreateDCA; empty: the screen's own).
bool readSystemCursor(int32_t bitsPerPixel, const std::string& displayDevice, CursorImage& image);

// The system's cursor, its bitmaps read through a device context on
// `displayDevice` (empty: the screen's own).
std::unique_ptr<CursorSystem> systemCursor(const std::string& displayDevice);

// The screen's bits per pixel (GetDeviceCaps BITSPIXEL).
int32_t screenBitsPerPixel();

} // namespace quillon
