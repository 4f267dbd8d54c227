// Points, sizes and rectangles in screen pixels, shared by everything that
// captures or places windows. A rectangle is left/top inclusive and
// right/bottom exclusive, as the window system gives them.
#pragma once

#include <cstdint>

namespace quillon {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

} // namespace quillon
