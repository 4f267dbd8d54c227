// The pattern editor's decisions without a window: the magnified grid of one
// recognition image with its selection, picking cells, the similarity and
// display sliders, and what "변경 저장", "이름 변경" and "패턴 모두 삭제" do
// to the recognition image. The number-pack editor works on the same grid
// (one editor is open at a time, and the grid is kept between openings).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "analyzer/model.h"
#include "base/user_dialogs.h"

namespace quillon::editor {

inline constexpr int kGridSide = analyzer::kRecognitionImageMaxSide; // 201
inline constexpr int kSimilarityPositions = 50;                      // slider 0..50
inline constexpr int kDisplayLevels = 4;                              // sliders 0..4
inline constexpr const char* kNameMissing = "이름을 적어주세요.";

struct GridCell {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t selected = 0; // 1 = the cell is picked
    uint32_t rgb() const { return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue; }
};

// Smallest and largest selected column and row.
struct SelectionBox {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool empty() const { return right < left || bottom < top; }
    int width() const { return empty() ? 0 : right - left + 1; }
    int height() const { return empty() ? 0 : bottom - top + 1; }
};

// The shared working state of both editors.
struct PickingGrid {
    std::array<GridCell, kGridSide * kGridSide> cells{};
    int width = 0;  // the image's size; cells outside it stay empty
    int height = 0;
    int imageSlot = -1;      // the recognition image shown, -1: none
    uint32_t pointColour = 0; // 0x00RRGGBB of the cell picked with Ctrl
    bool anySelected = false;
    int similarityPosition = 0;
    int sourceDisplay = 0;  // left display slider
    int patternDisplay = 0; // right display slider: palette of unselected cells

    bool inside(int column, int row) const { return column >= 0 && row >= 0 && column < width && row < height; }
    GridCell& cell(int column, int row) { return cells[static_cast<size_t>(row) * kGridSide + column]; }
    const GridCell& cell(int column, int row) const { return cells[static_cast<size_t>(row) * kGridSide + column]; }
    SelectionBox selection() const;
    int selectedCount() const;
};

// Loads the image's pixels, its mask (for a pattern image) and its pattern
// settings; an ordinary image starts with nothing selected. Unknown slots
// leave an empty grid.
void loadImage(PickingGrid& grid, const analyzer::AnalyzerModel& model, int imageSlot);
// The pixels again as stored in the image, keeping the selection bytes.
void reloadPixels(PickingGrid& grid, const analyzer::AnalyzerModel& model);

// Ctrl over the source view: the cell is selected and its colour becomes the
// point colour. Shift painting selects without taking the colour. False
// outside the image.
bool pickCell(PickingGrid& grid, int column, int row);
bool selectCell(PickingGrid& grid, int column, int row);
bool unselectCell(PickingGrid& grid, int column, int row);
// "패턴 모두 삭제".
void clearSelection(PickingGrid& grid);

// The similarity shown beside the slider: 100 - 2 * position, as text.
std::string similarityText(int position);
// The main panel's status line for a cell: "%.4d,%.4d   %.3d,%.3d,%.3d"
// (column, row, red, green, blue).
std::string cellStatusText(const PickingGrid& grid, int column, int row);

// Colours the views paint a cell in (0x00RRGGBB). The source view fades the
// unselected cells towards white by a quarter per step of the left slider;
// the pattern view shows selected cells in their colour and the others in
// the palette colour chosen by the right slider.
uint32_t sourceViewColour(const GridCell& cell, int level);
uint32_t patternViewColour(const GridCell& cell, int paletteIndex);
inline constexpr std::array<uint32_t, kDisplayLevels + 1> kPatternPalette = {0x000000, 0xFFFFFF, 0x808080,
                                                                              0xFF00FF, 0x006000};

// The background colour of a pattern: white when the average of the
// selected cells' blue, green or red is above 127, else black.
uint32_t patternBackground(const PickingGrid& grid);

enum class PatternStore { Nothing, Refused, Stored };

// "변경 저장" into the image the grid shows, named `name` (UTF-8). Nothing
// happens when neither the grid nor the image has a selection; an empty name
// is refused with kNameMissing. With nothing selected the image becomes an
// ordinary recognition image again.
PatternStore storePattern(analyzer::AnalyzerModel& model, const PickingGrid& grid, const std::string& name,
                          UserDialogs& dialogs);
// "이름 변경": the name only; an empty one is refused, a long one is cut.
bool renameImage(analyzer::AnalyzerModel& model, int imageSlot, const std::string& name, UserDialogs& dialogs);

// The image's name as the name edit shows it, and its list position (-1
// when it is not listed).
std::string imageName(const analyzer::AnalyzerModel& model, int imageSlot);
int imagePosition(const analyzer::AnalyzerModel& model, int imageSlot);

} // namespace quillon::editor
