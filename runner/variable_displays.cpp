#include "runner/variable_displays.h"

#include <algorithm>
#include <cstring>

#include "base/format_text.h"

namespace quillon::runner {

VariableDisplay variableDisplayOf(const Variable& v, const DisplayTarget& target,
                                  const std::function<std::string(int)>& itemName) {
    VariableDisplay shown;
    switch (v.type) {
    case VarNumber:
    case VarDateNumber:
        shown.text = formatText("%lli", static_cast<long long>(v.value));
        break;
    case VarPoint:
    case VarRangeMatch: {
        int x = v.x, y = v.y;
        if (v.coordinateMode == kMonitorCoordinates && !target.fullScreen && target.known) {
            x -= target.origin.x;
            y -= target.origin.y;
        }
        shown.text = formatText("X=%d\r\nY=%d", x, y);
        break;
    }
    case VarImage:
        if (v.valid && v.image) {
            const analyzer::RecognitionImage& image = *v.image;
            const int width = std::clamp(image.width, 0, analyzer::kRecognitionImageMaxSide);
            const int height = std::clamp(image.height, 0, analyzer::kRecognitionImageMaxSide);
            shown.kind = VariableDisplay::Kind::Picture;
            shown.width = width;
            shown.height = height;
            shown.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
            for (int row = 0; row < height; ++row) {
                std::memcpy(shown.pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width) * 4,
                            image.pixels + static_cast<size_t>(row) * analyzer::kImageRowStride,
                            static_cast<size_t>(width) * 4);
            }
        }
        break;
    case VarColour:
        shown.kind = VariableDisplay::Kind::Fill;
        shown.colour = (uint32_t{v.red} << 16) | (uint32_t{v.green} << 8) | v.blue;
        break;
    case VarPreviousItem:
        if (itemName) {
            shown.text = itemName(v.previousItem);
        }
        break;
    default:
        break;
    }
    return shown;
}

std::vector<VariableDisplayUpdate> VariableDisplays::refresh(std::array<Variable, 1000>& variables,
                                                             const std::array<int, kVariableDisplayCount>& choices,
                                                             bool mainShown, const DisplayTarget& target,
                                                             const std::function<std::string(int)>& itemName) {
    std::vector<VariableDisplayUpdate> updates;
    if (!mainShown) {
        return updates;
    }
    for (int display = 0; display < kVariableDisplayCount; ++display) {
        const int index = choices[static_cast<size_t>(display)];
        if (index < 0 || index >= static_cast<int>(variables.size())) {
            continue;
        }
        Variable& v = variables[static_cast<size_t>(index)];
        if (!v.changed && shown_[static_cast<size_t>(display)] == index) {
            continue;
        }
        updates.push_back({display, variableDisplayOf(v, target, itemName)});
        shown_[static_cast<size_t>(display)] = index;
    }
    // A variable shown by two displays is cleared once both took it.
    for (const VariableDisplayUpdate& update : updates) {
        variables[static_cast<size_t>(choices[static_cast<size_t>(update.display)])].changed = false;
    }
    return updates;
}

void VariableDisplays::reset() { shown_.fill(-1); }

} // namespace quillon::runner
