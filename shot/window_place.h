// Where shot-taker's small window appears: in the corner the settings name
// (3272: 1 bottom-left, 2 top-left, 3 top-right, any other bottom-right),
// moved in from the edges by a few random pixels, and 40 pixels above the
// bottom edge so that it clears the taskbar.
#pragma once

#include "runner/screen_capture.h"

namespace quillon {

// a and b are rand() % 20 each.
ScreenPoint shotWindowPosition(int32_t corner, int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                               int32_t windowHeight, int32_t a, int32_t b);

} // namespace quillon
