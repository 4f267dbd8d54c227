// Where a small window of the suite appears (the runner's status windows,
// shot-taker's button): in the corner the settings name, a few random pixels
// in from the edges so that repeated starts do not stack exactly, and clear
// of a 40-pixel taskbar at the bottom.
#pragma once

#include "capture/geometry.h"

namespace quillon {

enum class ScreenCorner { BottomRight, BottomLeft, TopLeft, TopRight };

// 1 bottom left, 2 top left, 3 top right, any other value bottom right.
ScreenCorner cornerFromSetting(int value);

// Left edge at `offsetX` or right edge at W - offsetX; top at `offsetY` or
// bottom edge at H - offsetY - 40.
Point placeInCorner(ScreenCorner corner, int screenWidth, int screenHeight, int windowWidth, int windowHeight,
                    int offsetX, int offsetY);

} // namespace quillon
