// Where the runner's two status windows sit: in the corner chosen by the
// settings, a few random pixels away from the edges so that repeated runs do
// not stack exactly, and clear of a 40-pixel taskbar at the bottom.
#pragma once

#include <string>

namespace quillon {

enum class ScreenCorner { BottomRight, BottomLeft, TopLeft, TopRight };

// 1 bottom left, 2 top left, 3 top right, any other value bottom right.
ScreenCorner cornerFromSetting(int value);

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// Left edge at `offsetX` or right edge at W - offsetX; top at `offsetY` or
// bottom edge at H - offsetY - 40.
WindowPosition placeInCorner(ScreenCorner corner, int screenWidth, int screenHeight, int windowWidth,
                             int windowHeight, int offsetX, int offsetY);

// "HH : MM : SS" of a number of seconds (negative counts as 0).
std::string countdownText(int seconds);

} // namespace quillon
