// Which rectangle a screenshot takes and where the cursor lies in it.
//
// The settings say the capture mode: full screen (1220 = 1), the foreground
// window with its frame (1216 = 1), otherwise the foreground window's client
// area. The rectangle is clamped to the screen as analyzer-runner clamps its
// live captures, right and bottom to one pixel inside the screen, so a
// full-screen shot of 1920 × 1080 is 1919 × 1079 and screenshots and live
// captures agree.
#pragma once

#include <optional>

#include "capture/cursor.h"
#include "capture/screen_capture.h"

namespace quillon {

enum class CaptureMode { ClientWindow, FramedWindow, FullScreen };

// From the settings fields: full screen first, then framed, else client.
CaptureMode captureModeOf(int32_t framedWindowMode, int32_t fullScreenMode);

// The screen as it stood at the capture signal.
struct ShotGeometry {
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    Rect desktop;        // the desktop window's rectangle
    bool hasForeground = false;
    Rect window;         // the foreground window's rectangle
    Rect client;         // its client area, in screen coordinates
    Point cursor;        // GetCursorPos
};

struct CaptureArea {
    Rect rect;    // clamped, screen coordinates
    Point cursor; // relative to the chosen rectangle's own corner (before clamping)
};

// nullopt when nothing can be taken: no foreground window in a window mode,
// or a rectangle that is empty after clamping (a window off the screen).
std::optional<CaptureArea> captureArea(const ShotGeometry& geometry, CaptureMode mode);

// Clamps to the screen: left and top to at least 0, right to at most
// width − 1, bottom to at most height − 1.
Rect clampToScreen(const Rect& rect, int32_t screenWidth, int32_t screenHeight);

// The cursor travels with the shot only when it is showing and the corner of
// its image lies strictly inside the clamped rectangle.
bool cursorIsRecorded(const CursorImage& cursor, const Rect& clamped);

} // namespace quillon
