#include "runner/status_window_placement.h"

#include <cstdio>

namespace quillon {

namespace {
constexpr int kTaskbarAllowance = 40;
}

ScreenCorner cornerFromSetting(int value) {
    switch (value) {
    case 1:
        return ScreenCorner::BottomLeft;
    case 2:
        return ScreenCorner::TopLeft;
    case 3:
        return ScreenCorner::TopRight;
    default:
        return ScreenCorner::BottomRight;
    }
}

WindowPosition placeInCorner(ScreenCorner corner, int screenWidth, int screenHeight, int windowWidth,
                             int windowHeight, int offsetX, int offsetY) {
    const bool left = corner == ScreenCorner::BottomLeft || corner == ScreenCorner::TopLeft;
    const bool top = corner == ScreenCorner::TopLeft || corner == ScreenCorner::TopRight;
    WindowPosition p;
    p.x = left ? offsetX : screenWidth - offsetX - windowWidth;
    p.y = top ? offsetY : screenHeight - offsetY - kTaskbarAllowance - windowHeight;
    return p;
}

std::string countdownText(int seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2d : %.2d : %.2d", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return text;
}

} // namespace quillon
