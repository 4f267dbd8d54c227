// The main status window's 15 variable displays without their window: which
// variable each display shows, what it shows of it, and when. The window
// draws what `refresh` hands it; with the mini window shown nothing is
// computed and the variables keep their changed flags.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runner/geometry.h"
#include "runner/run_state.h"

namespace quillon::runner {

inline constexpr int kVariableDisplayCount = 15;

struct VariableDisplay {
    enum class Kind { Text, Picture, Fill };
    Kind kind = Kind::Text;
    std::string text;         // Text: UTF-8, lines separated by "\r\n"
    uint32_t colour = 0;      // Fill: 0x00RRGGBB
    int width = 0, height = 0; // Picture: the image's size; pixels are blue, green, red, x
    std::vector<uint8_t> pixels; // width x height x 4, rows top to bottom
};

struct VariableDisplayUpdate {
    int display = 0;
    VariableDisplay content;
};

// Where the run captures: the origin of the captured window in screen
// coordinates, and whether the capture takes the whole screen (then a point
// in monitor coordinates is shown as it is).
struct DisplayTarget {
    bool fullScreen = false;
    bool known = false; // the target's rectangle could be read
    Point origin{0, 0};
};

// What one display shows of a variable: numbers "%lli"; points and range
// matches "X=%d\r\nY=%d" (a point in monitor coordinates converted into the
// captured window's); an image variable its picture; a colour the whole
// display filled with it; a previous-item variable that item's name.
VariableDisplay variableDisplayOf(const Variable& variable, const DisplayTarget& target,
                                  const std::function<std::string(int)>& itemName);

class VariableDisplays {
public:
    // `choices[k]` is the variable display k shows (-1: none). Displays whose
    // variable changed, or that took another variable, are updated and the
    // variable's changed flag cleared; nothing when the main window is hidden.
    std::vector<VariableDisplayUpdate> refresh(std::array<Variable, 1000>& variables,
                                               const std::array<int, kVariableDisplayCount>& choices,
                                               bool mainShown, const DisplayTarget& target,
                                               const std::function<std::string(int)>& itemName);
    // A new analyzer: every display shows 0 again.
    void reset();

private:
    std::array<int, kVariableDisplayCount> shown_{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

} // namespace quillon::runner
