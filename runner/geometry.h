// Points and rectangles in screen pixels. A rectangle is left/top inclusive,
// right/bottom as the window system gives them.
#pragma once

namespace quillon::runner {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

} // namespace quillon::runner
