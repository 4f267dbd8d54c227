// The live screen for the interpreter: the capture target's rectangle from
// the window system, its pixels through the shared screen capture
// (DirectDraw, falling back to GDI), and the mouse cursor.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "capture/cursor.h"

#include "runner/ui/runner_screen.h"

namespace quillon::runner_ui {

RunnerScreen::RunnerScreen(bool legacyCapture, std::string displayDevice)
    : capture_(surfaces_, legacyCapture), displayDevice_(std::move(displayDevice)) {}

bool RunnerScreen::prepare() {
    Rect probe{0, 0, 1, 1};
    return surfaces_.prepare(probe);
}

runner::Size RunnerScreen::screenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

bool RunnerScreen::targetRect(runner::CaptureTarget target, runner::Rect& rect) {
    RECT r{};
    if (target == runner::CaptureTarget::FullScreen) {
        if (!GetWindowRect(GetDesktopWindow(), &r)) {
            return false;
        }
    } else {
        HWND window = GetForegroundWindow();
        if (!window) {
            return false;
        }
        if (target == runner::CaptureTarget::Window) {
            if (!GetWindowRect(window, &r)) {
                return false;
            }
        } else {
            if (!GetClientRect(window, &r)) {
                return false;
            }
            POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
            ClientToScreen(window, &topLeft);
            ClientToScreen(window, &bottomRight);
            r = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
        }
    }
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

runner::CopyResult RunnerScreen::copyPixels(int left, int top, int width, int height, uint8_t* pixels,
                                            size_t capacity, int& bitsPerPixel) {
    Rect rect{left, top, left + width, top + height};
    if (capture_.capture(rect, image_) != CaptureResult::Ok) {
        return runner::CopyResult::BitmapFailed;
    }
    bitsPerPixel = image_.bitsPerPixel;
    const size_t bytes = std::min(capacity, image_.pixels.size());
    std::memcpy(pixels, image_.pixels.data(), bytes);
    return runner::CopyResult::Ok;
}

bool RunnerScreen::readCursor(CursorImage& image) {
    return readSystemCursor(screenBitsPerPixel(), displayDevice_, image);
}

} // namespace quillon::runner_ui
