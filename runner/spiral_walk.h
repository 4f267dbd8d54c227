// The square spiral of range searches: from a start point, legs of 1 step
// up, 1 left, 2 down, 2 right, 3 up, 3 left and so on. Only the positions
// inside the allowed rectangle are visited, each once, in spiral order; a
// leg that lies wholly outside the rectangle (along a side already reached)
// is passed in one jump. The walk ends when every position has been visited
// or when `visit` returns true.
#pragma once

#include <algorithm>
#include <cstdint>

namespace quillon::runner {

template <class Visit>
void walkSpiral(int startX, int startY, int xMin, int xMax, int yMin, int yMax, Visit&& visit) {
    if (xMax < xMin || yMax < yMin) {
        return;
    }
    const int64_t total = static_cast<int64_t>(xMax - xMin + 1) * (yMax - yMin + 1);
    int64_t visited = 0;
    int x = startX;
    int y = startY;
    auto inside = [&](int px, int py) { return px >= xMin && px <= xMax && py >= yMin && py <= yMax; };
    if (inside(x, y)) {
        ++visited;
        if (visit(x, y)) return;
    }
    // Vertical leg from (x, y) by `steps` (negative = up), visiting in order.
    auto vertical = [&](int steps) -> bool {
        const int end = y + steps;
        if (x >= xMin && x <= xMax) {
            if (steps < 0) {
                const int from = std::min(y - 1, yMax);
                const int to = std::max(end, yMin);
                for (int py = from; py >= to; --py) {
                    ++visited;
                    if (visit(x, py)) return true;
                }
            } else {
                const int from = std::max(y + 1, yMin);
                const int to = std::min(end, yMax);
                for (int py = from; py <= to; ++py) {
                    ++visited;
                    if (visit(x, py)) return true;
                }
            }
        }
        y = end;
        return false;
    };
    auto horizontal = [&](int steps) -> bool {
        const int end = x + steps;
        if (y >= yMin && y <= yMax) {
            if (steps < 0) {
                const int from = std::min(x - 1, xMax);
                const int to = std::max(end, xMin);
                for (int px = from; px >= to; --px) {
                    ++visited;
                    if (visit(px, y)) return true;
                }
            } else {
                const int from = std::max(x + 1, xMin);
                const int to = std::min(end, xMax);
                for (int px = from; px <= to; ++px) {
                    ++visited;
                    if (visit(px, y)) return true;
                }
            }
        }
        x = end;
        return false;
    };
    for (int length = 1; visited < total; length += 2) {
        if (vertical(-length) || visited >= total) return;
        if (horizontal(-length) || visited >= total) return;
        if (vertical(length + 1) || visited >= total) return;
        if (horizontal(length + 1)) return;
    }
}

} // namespace quillon::runner
