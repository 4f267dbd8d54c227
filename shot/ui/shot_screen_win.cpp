#include "shot/ui/shot_screen_win.h"

#include <windows.h>

namespace quillon {

SystemShotScreen::SystemShotScreen(CaptureSurfaces& surfaces, bool legacyCapture, std::string displayDevice)
    : capture_(surfaces, legacyCapture), displayDevice_(std::move(displayDevice)) {}

ShotGeometry SystemShotScreen::readGeometry() {
    ShotGeometry geometry;
    geometry.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    geometry.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    geometry.desktop = {desktop.left, desktop.top, desktop.right, desktop.bottom};
    POINT cursor{};
    GetCursorPos(&cursor);
    geometry.cursor = {cursor.x, cursor.y};

    HWND foreground = GetForegroundWindow();
    RECT window{}, client{};
    if (foreground != nullptr && GetWindowRect(foreground, &window) && GetClientRect(foreground, &client)) {
        POINT topLeft{client.left, client.top};
        POINT bottomRight{client.right, client.bottom};
        ClientToScreen(foreground, &topLeft);
        ClientToScreen(foreground, &bottomRight);
        geometry.hasForeground = true;
        geometry.window = {window.left, window.top, window.right, window.bottom};
        geometry.client = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    }
    return geometry;
}

CaptureResult SystemShotScreen::capture(const Rect& rect, CapturedImage& image) {
    return capture_.capture(rect, image);
}

std::unique_ptr<CursorSystem> SystemShotScreen::openCursor() { return systemCursor(displayDevice_); }

LocalTime SystemShotScreen::localTime() { return localTimeNow(); }

} // namespace quillon
