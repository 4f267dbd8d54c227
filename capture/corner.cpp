#include "capture/corner.h"

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

Point placeInCorner(ScreenCorner corner, int screenWidth, int screenHeight, int windowWidth, int windowHeight,
                    int offsetX, int offsetY) {
    const bool left = corner == ScreenCorner::BottomLeft || corner == ScreenCorner::TopLeft;
    const bool top = corner == ScreenCorner::TopLeft || corner == ScreenCorner::TopRight;
    Point p;
    p.x = left ? offsetX : screenWidth - offsetX - windowWidth;
    p.y = top ? offsetY : screenHeight - offsetY - kTaskbarAllowance - windowHeight;
    return p;
}

} // namespace quillon
