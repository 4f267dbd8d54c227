#include "runner/status_window_placement.h"

#include <cstdio>

namespace quillon {

std::string countdownText(int seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2d : %.2d : %.2d", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return text;
}

} // namespace quillon
