#include "shot/capture_area.h"

#include <algorithm>

namespace quillon {

CaptureMode captureModeOf(int32_t framedWindowMode, int32_t fullScreenMode) {
    if (fullScreenMode == 1) {
        return CaptureMode::FullScreen;
    }
    if (framedWindowMode == 1) {
        return CaptureMode::FramedWindow;
    }
    return CaptureMode::ClientWindow;
}

Rect clampToScreen(const Rect& rect, int32_t screenWidth, int32_t screenHeight) {
    Rect clamped;
    clamped.left = std::max(rect.left, 0);
    clamped.top = std::max(rect.top, 0);
    clamped.right = std::min(rect.right, screenWidth - 1);
    clamped.bottom = std::min(rect.bottom, screenHeight - 1);
    return clamped;
}

std::optional<CaptureArea> captureArea(const ShotGeometry& geometry, CaptureMode mode) {
    CaptureArea area;
    Rect chosen;
    switch (mode) {
    case CaptureMode::FullScreen:
        chosen = geometry.desktop;
        area.cursor = geometry.cursor;
        break;
    case CaptureMode::FramedWindow:
        if (!geometry.hasForeground) {
            return std::nullopt;
        }
        chosen = geometry.window;
        area.cursor = {geometry.cursor.x - chosen.left, geometry.cursor.y - chosen.top};
        break;
    case CaptureMode::ClientWindow:
        if (!geometry.hasForeground) {
            return std::nullopt;
        }
        chosen = geometry.client;
        area.cursor = {geometry.cursor.x - chosen.left, geometry.cursor.y - chosen.top};
        break;
    }
    area.rect = clampToScreen(chosen, geometry.screenWidth, geometry.screenHeight);
    if (area.rect.width() <= 0 || area.rect.height() <= 0) {
        return std::nullopt;
    }
    return area;
}

bool cursorIsRecorded(const CursorImage& cursor, const Rect& clamped) {
    const Point& q = cursor.drawPosition;
    return cursor.showing && clamped.left < q.x && q.x < clamped.right && clamped.top < q.y && q.y < clamped.bottom;
}

} // namespace quillon
