// The screen as the runner sees it: the primary screen's size, the capture
// target's rectangle, its pixels and the mouse cursor. The Windows
// implementation sits beside the runner's windows; tests use SyntheticScreen.
#pragma once

#include "capture/cursor.h"
#include "runner/geometry.h"

#include <cstddef>
#include <cstdint>

namespace quillon::runner {

// Which rectangle a capture takes (the analyzer's screenshot mode).
enum class CaptureTarget {
    ClientArea, // the foreground window's client area (the default)
    Window,     // the foreground window with its frame
    FullScreen, // the desktop
};

using quillon::CursorImage;
using quillon::kBitmapHeaderSize;
using quillon::kCursorBitsSize;

// Result of copying screen pixels.
enum class CopyResult {
    Ok,
    BitmapFailed, // the platform could not create the bitmap for the copy
};

class Screen {
public:
    virtual ~Screen() = default;

    // Width and height of the primary screen.
    virtual Size screenSize() = 0;
    // The target's rectangle in screen coordinates, not yet clipped to the
    // screen: the desktop, the foreground window, or its client area. False
    // when there is no foreground window or the window calls fail.
    virtual bool targetRect(CaptureTarget target, Rect& rect) = 0;
    // Copies `width` x `height` pixels whose top-left corner is screen point
    // (left, top) into `pixels`, rows top to bottom, each row padded to a
    // multiple of four bytes, in the screen's own depth (reported in
    // `bitsPerPixel`). The caller guarantees the rectangle is on the screen
    // and that `capacity` bytes hold it at 32 bits per pixel.
    virtual CopyResult copyPixels(int left, int top, int width, int height, uint8_t* pixels, size_t capacity,
                                  int& bitsPerPixel) = 0;
    // The cursor's current shape and position; false when the cursor or its
    // icon information cannot be read.
    virtual bool readCursor(CursorImage& image) = 0;
    // The analyzer asks for the legacy (GDI) capture method from the start.
    virtual void setLegacyCapture(bool /*legacy*/) {}
    // A number that stays the same only while the pixels do (a picture held
    // in memory); 0 when the screen cannot tell, as a live screen cannot.
    // Lets a watcher of the run reuse what it measured on the same picture.
    virtual uint64_t pictureSerial() { return 0; }
};

} // namespace quillon::runner
