// The number-pack editor's decisions without a window: the fourteen sample
// slots filled from the selection of the magnified grid, the pack list, and
// what "불러 오기", "변경 저장", "새로 저장" and "삭제" do to the analyzer's
// number packs. The samples are written in the layout number reading reads
// (analyzer/records.h: NumberSampleHeader, NumberSamplePoint).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analyzer/model.h"
#include "base/user_dialogs.h"
#include "editor/pattern_editing.h"
#include "screenshots/screenshot_files.h"

namespace quillon::editor {

inline constexpr int kSampleSlots = analyzer::kNumberPackEntries; // 0..9 + - x /
inline constexpr const char* kTooManyPacks = "최대 숫자샘플 설정 수를 초과하였습니다.(%d까지)";
inline constexpr const char* kPackAllocationFailed = "메모리를 할당 받는데 실패 했습니다.";
inline constexpr const char* kChangedPackName = "숫자샘플팩-(%d)";

inline constexpr const char* kPickTooLarge = "최대 이미지크기를 초과합니다.";

// The working selection Ctrl builds on the screenshot while the number-pack
// editor is open: the pixels added, their bounding box (at most 201 x 201),
// the running sums of their red, green and blue, and the editor's
// background colour from them: 0 when the average of any one of the three
// is above 127, else 0xFFFFFF (light digits are read on a dark ground).
struct ScreenPicking {
    struct Pixel {
        int x = 0;
        int y = 0;
    };
    std::vector<Pixel> pixels;
    SelectionBox box; // in screenshot coordinates
    uint64_t redSum = 0;
    uint64_t greenSum = 0;
    uint64_t blueSum = 0;
    uint32_t background = 0xFFFFFF;
};

// Ctrl on the screenshot at (x, y): the pixel joins the selection and the
// editor's grid shows the screenshot inside the new bounding box with the
// added pixels selected (the first one gives the point colour). Refused
// with kPickTooLarge, changing nothing, when the box would pass 201 x 201;
// refused without a message outside the screenshot. A pixel added before
// changes nothing and counts once.
Status pickScreenPixel(ScreenPicking& picking, PickingGrid& grid, const ScreenshotBitmap& shot, int x, int y);
// Shift in the editor: the working image, its selection and sums go.
void clearScreenPicking(ScreenPicking& picking, PickingGrid& grid);

// One digit or sign sample: the selection's bounding box and the selected
// cells in it, row by row, relative to its top-left corner. `top` is the
// box's row in the grid it was taken from; the samples of a pack keep their
// tops relative to each other as each sample's place within its line.
struct SampleSlot {
    bool set = false;
    int width = 0;
    int height = 0;
    int top = 0;
    std::vector<analyzer::NumberSamplePoint> points;
};

struct NumberPackDraft {
    std::array<SampleSlot, kSampleSlots> slots{};
    bool anySet() const;
};

// A slot button: the selected cells of the grid inside their bounding box
// become the slot's sample. False (and the slot unchanged) when nothing is
// selected.
bool takeSample(NumberPackDraft& draft, int slot, const PickingGrid& grid);
void clearSample(NumberPackDraft& draft, int slot);
// Ctrl over a selected cell of the number-pack editor's view: the cell
// takes the point colour. False when the cell is not selected.
bool recolourCell(PickingGrid& grid, int column, int row);

// The pack list as the combo box shows it: names in list order.
std::vector<std::string> packLines(const analyzer::AnalyzerModel& model);
// The slot of the pack at a list position, or -1.
int packSlotAt(const analyzer::AnalyzerModel& model, int position);
std::string packName(const analyzer::AnalyzerModel& model, int position);

// "불러 오기": the draft from the pack at a list position (unchanged when
// the position is empty).
bool loadPack(NumberPackDraft& draft, const analyzer::AnalyzerModel& model, int position);
// Writes every slot of the draft into a pack block; unset slots are cleared.
void writeSamples(const NumberPackDraft& draft, analyzer::NumberPack& pack);

// "변경 저장" over the pack at a list position: needs a set slot; an empty
// name becomes "숫자샘플팩-(%d)" with the next pack number.
bool storeChangedPack(analyzer::AnalyzerModel& model, int position, const NumberPackDraft& draft,
                      const std::string& name);
// "새로 저장": a new pack in the first free place (refused past 50 with
// kTooManyPacks); an empty name or one beginning with the default prefix
// gets the default name. Returns the new pack's list position, or -1.
int storeNewPack(analyzer::AnalyzerModel& model, const NumberPackDraft& draft, const std::string& name,
                 UserDialogs& dialogs);
// "삭제": refused when the item being edited or a stored item reads numbers
// with the pack (the message names the item). Returns the position to
// choose next (the previous entry, -1 when none are left), or nothing when
// the pack was kept.
std::optional<int> deletePack(analyzer::AnalyzerModel& model, int position, const analyzer::Item* workingCopy,
                              UserDialogs& dialogs);

} // namespace quillon::editor
