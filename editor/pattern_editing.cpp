#include "editor/pattern_editing.h"

#include <algorithm>

#include "base/format_text.h"
#include "base/text.h"
#include "editor/side_panel.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

const uint8_t* pixelOf(const RecognitionImage& image, int column, int row) {
    return image.pixels + static_cast<size_t>(row) * kImageRowStride + static_cast<size_t>(column) * 4;
}

uint8_t fade(uint8_t value, int level) { return static_cast<uint8_t>(value + (255 - value) * level / 4); }

} // namespace

SelectionBox PickingGrid::selection() const {
    SelectionBox box{kGridSide, kGridSide, -1, -1};
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            if (cell(column, row).selected == 1) {
                box.left = std::min(box.left, column);
                box.top = std::min(box.top, row);
                box.right = std::max(box.right, column);
                box.bottom = std::max(box.bottom, row);
            }
        }
    }
    return box.empty() ? SelectionBox{} : box;
}

int PickingGrid::selectedCount() const {
    int n = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            n += cell(column, row).selected == 1;
        }
    }
    return n;
}

void loadImage(PickingGrid& grid, const AnalyzerModel& model, int imageSlot) {
    grid.cells.fill(GridCell{});
    grid.width = grid.height = 0;
    grid.imageSlot = -1;
    grid.anySelected = false;
    const RecognitionImage* image = model.recognitionImage(imageSlot);
    if (!image) {
        return;
    }
    grid.imageSlot = imageSlot;
    grid.width = std::clamp(static_cast<int>(image->width), 0, kGridSide);
    grid.height = std::clamp(static_cast<int>(image->height), 0, kGridSide);
    const bool pattern = image->pattern == 1;
    for (int row = 0; row < grid.height; ++row) {
        for (int column = 0; column < grid.width; ++column) {
            const uint8_t* p = pixelOf(*image, column, row);
            grid.cell(column, row) = {p[0], p[1], p[2], static_cast<uint8_t>(pattern && p[3] == 1)};
        }
    }
    const PatternSettings settings = patternSettings(*image);
    grid.pointColour = pattern ? settings.pointColour & 0xFFFFFF : 0;
    grid.similarityPosition = std::clamp(static_cast<int>(settings.similarityPosition), 0, kSimilarityPositions);
    grid.sourceDisplay = std::clamp(static_cast<int>(settings.sourceDisplay), 0, kDisplayLevels);
    grid.patternDisplay = std::clamp(static_cast<int>(settings.patternDisplay), 0, kDisplayLevels);
    grid.anySelected = grid.selectedCount() > 0;
}

void reloadPixels(PickingGrid& grid, const AnalyzerModel& model) {
    const RecognitionImage* image = model.recognitionImage(grid.imageSlot);
    if (!image) {
        return;
    }
    for (int row = 0; row < grid.height; ++row) {
        for (int column = 0; column < grid.width; ++column) {
            const uint8_t* p = pixelOf(*image, column, row);
            GridCell& c = grid.cell(column, row);
            c.blue = p[0];
            c.green = p[1];
            c.red = p[2];
        }
    }
}

bool pickCell(PickingGrid& grid, int column, int row) {
    if (!selectCell(grid, column, row)) {
        return false;
    }
    grid.pointColour = grid.cell(column, row).rgb();
    return true;
}

bool selectCell(PickingGrid& grid, int column, int row) {
    if (!grid.inside(column, row)) {
        return false;
    }
    grid.cell(column, row).selected = 1;
    grid.anySelected = true;
    return true;
}

bool unselectCell(PickingGrid& grid, int column, int row) {
    if (!grid.inside(column, row)) {
        return false;
    }
    grid.cell(column, row).selected = 0;
    grid.anySelected = grid.selectedCount() > 0;
    return true;
}

void clearSelection(PickingGrid& grid) {
    for (GridCell& c : grid.cells) {
        c.selected = 0;
    }
    grid.anySelected = false;
}

std::string similarityText(int position) {
    return std::to_string(100 - 2 * std::clamp(position, 0, kSimilarityPositions));
}

std::string cellStatusText(const PickingGrid& grid, int column, int row) {
    if (!grid.inside(column, row)) {
        return formatText("%.4d,%.4d   %.3d,%.3d,%.3d", column, row, 0, 0, 0);
    }
    const GridCell& c = grid.cell(column, row);
    return formatText("%.4d,%.4d   %.3d,%.3d,%.3d", column, row, c.red, c.green, c.blue);
}

uint32_t sourceViewColour(const GridCell& cell, int level) {
    const int l = cell.selected == 1 ? 0 : std::clamp(level, 0, kDisplayLevels);
    return static_cast<uint32_t>(fade(cell.red, l)) << 16 | static_cast<uint32_t>(fade(cell.green, l)) << 8 |
           fade(cell.blue, l);
}

uint32_t patternViewColour(const GridCell& cell, int paletteIndex) {
    return cell.selected == 1 ? cell.rgb() : kPatternPalette[static_cast<size_t>(std::clamp(paletteIndex, 0, 4))];
}

uint32_t patternBackground(const PickingGrid& grid) {
    int64_t blue = 0, green = 0, red = 0;
    int64_t n = 0;
    for (int row = 0; row < grid.height; ++row) {
        for (int column = 0; column < grid.width; ++column) {
            const GridCell& c = grid.cell(column, row);
            if (c.selected == 1) {
                blue += c.blue;
                green += c.green;
                red += c.red;
                ++n;
            }
        }
    }
    if (n == 0) {
        return 0;
    }
    return blue / n > 127 || green / n > 127 || red / n > 127 ? 0xFFFFFF : 0;
}

PatternStore storePattern(AnalyzerModel& model, const PickingGrid& grid, const std::string& name,
                          UserDialogs& dialogs) {
    RecognitionImage* image = model.recognitionImage(grid.imageSlot);
    if (!image || (!grid.anySelected && image->pattern != 1)) {
        return PatternStore::Nothing;
    }
    if (name.empty()) {
        dialogs.warn(kNameMissing);
        return PatternStore::Refused;
    }
    // The first selected cell in row-major order is where matching starts.
    PatternSettings settings = patternSettings(*image);
    settings.anchorColumn = 0;
    settings.anchorRow = 0;
    bool anchored = false;
    for (int row = 0; row < kGridSide; ++row) {
        for (int column = 0; column < kGridSide; ++column) {
            const uint8_t selected = grid.inside(column, row) ? grid.cell(column, row).selected : 0;
            uint8_t* p = image->pixels + static_cast<size_t>(row) * kImageRowStride + static_cast<size_t>(column) * 4;
            p[3] = selected;
            if (selected == 1 && !anchored) {
                settings.anchorColumn = column;
                settings.anchorRow = row;
                anchored = true;
            }
        }
    }
    const uint32_t background = patternBackground(grid);
    image->background[0] = static_cast<uint8_t>(background);
    image->background[1] = static_cast<uint8_t>(background >> 8);
    image->background[2] = static_cast<uint8_t>(background >> 16);
    settings.pointColour = grid.pointColour;
    settings.similarityPosition = grid.similarityPosition;
    settings.sourceDisplay = grid.sourceDisplay;
    settings.patternDisplay = grid.patternDisplay;
    setPatternSettings(*image, settings);
    image->pattern = anchored ? 1 : 0;
    storeFixedText(image->name, std::min(sizeof image->name, kObjectNameLimit + 1), text::utf8ToCp949(name));
    return PatternStore::Stored;
}

bool renameImage(AnalyzerModel& model, int imageSlot, const std::string& name, UserDialogs& dialogs) {
    RecognitionImage* image = model.recognitionImage(imageSlot);
    if (!image) {
        return false;
    }
    if (name.empty()) {
        dialogs.warn(kNameMissing);
        return false;
    }
    storeFixedText(image->name, std::min(sizeof image->name, kObjectNameLimit + 1), text::utf8ToCp949(name));
    return true;
}

std::string imageName(const AnalyzerModel& model, int imageSlot) {
    const RecognitionImage* image = model.recognitionImage(imageSlot);
    return image ? text::cp949ToUtf8(fixedText(image->name)) : std::string();
}

int imagePosition(const AnalyzerModel& model, int imageSlot) {
    const AnalyzerImage& a = model.image();
    const int listed = std::clamp(static_cast<int>(a.recognitionImageCount), 0, kRecognitionImageCapacity);
    for (int position = 0; position < listed; ++position) {
        if (a.recognitionImageOrder[position] == imageSlot) {
            return position;
        }
    }
    return -1;
}

} // namespace quillon::editor
