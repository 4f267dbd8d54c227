#include "shot/window_place.h"

namespace quillon {

ScreenPoint shotWindowPosition(int32_t corner, int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                               int32_t windowHeight, int32_t a, int32_t b) {
    switch (corner) {
    case 1:
        return {a, screenHeight - windowHeight - b - 40};
    case 2:
        return {a, b};
    case 3:
        return {screenWidth - windowWidth - a, b};
    default:
        return {screenWidth - windowWidth - a, screenHeight - windowHeight - b - 40};
    }
}

} // namespace quillon
