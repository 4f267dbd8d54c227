// The pattern and number-pack editors' core: what "변경 저장" writes into a
// recognition image, the pack limits and names, deleting a used pack, and a
// pack made from picked cells that number reading then reads.
#include "editor/number_pack_editing.h"
#include "editor/pattern_editing.h"
#include "editor/side_panel.h"
#include "runner/image_view.h"
#include "runner/matching.h"
#include "tests/editor/editor_fixture.h"

#include <memory>

namespace quillon::editor {
namespace {

using namespace testing;

void paint(analyzer::RecognitionImage& image, int column, int row, uint32_t rgb) {
    uint8_t* p = image.pixels + row * analyzer::kImageRowStride + column * 4;
    p[0] = static_cast<uint8_t>(rgb);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb >> 16);
}

uint32_t backgroundOf(const analyzer::RecognitionImage& image) {
    return image.background[2] << 16 | image.background[1] << 8 | image.background[0];
}

struct PatternTest : ::testing::Test {
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    std::unique_ptr<PickingGrid> grid = std::make_unique<PickingGrid>();
};

TEST_F(PatternTest, OnePickedPixelGivesTheBackgroundItsAverageDecides) {
    const struct {
        uint32_t rgb;
        uint32_t background;
    } cases[] = {{0xFFFFFF, 0xFFFFFF}, {0x800000, 0xFFFFFF}, {0x7F7F7F, 0}, {0x000080, 0xFFFFFF}, {0, 0}};
    for (const auto& c : cases) {
        const int slot = addImage(model, "이미지");
        paint(*model.recognitionImage(slot), 4, 3, c.rgb);
        loadImage(*grid, model, slot);
        ASSERT_TRUE(pickCell(*grid, 4, 3));
        EXPECT_EQ(storePattern(model, *grid, "패턴", dialogs), PatternStore::Stored);
        const analyzer::RecognitionImage& image = *model.recognitionImage(slot);
        EXPECT_EQ(backgroundOf(image), c.background) << std::hex << c.rgb;
        EXPECT_EQ(image.pattern, 1);
        EXPECT_EQ(analyzer::patternSettings(image).pointColour, c.rgb);
        EXPECT_EQ(image.pixels[3 * analyzer::kImageRowStride + 4 * 4 + 3], 1);
    }
}

TEST_F(PatternTest, StoredPatternLoadsBackAndTheRunnerStartsAtItsFirstCell) {
    const int slot = addImage(model, "버튼");
    loadImage(*grid, model, slot);
    EXPECT_FALSE(selectCell(*grid, 11, 0)); // outside the 11 x 11 image
    selectCell(*grid, 7, 2);
    selectCell(*grid, 2, 5);
    selectCell(*grid, 9, 2);
    unselectCell(*grid, 9, 2);
    grid->similarityPosition = 25;
    grid->patternDisplay = 3;
    ASSERT_EQ(storePattern(model, *grid, "새 이름", dialogs), PatternStore::Stored);

    const runner::ImageView view = runner::viewOf(*model.recognitionImage(slot));
    EXPECT_TRUE(view.pattern);
    EXPECT_EQ(view.anchorColumn, 7);
    EXPECT_EQ(view.anchorRow, 2);
    EXPECT_EQ(imageName(model, slot), "새 이름");
    EXPECT_EQ(sideListLines(model, SideList::RecognitionImages).back(), "[패턴]새 이름");

    auto again = std::make_unique<PickingGrid>();
    loadImage(*again, model, slot);
    EXPECT_EQ(again->selectedCount(), 2);
    EXPECT_EQ(again->cell(2, 5).selected, 1);
    EXPECT_EQ(again->similarityPosition, 25);
    EXPECT_EQ(again->patternDisplay, 3);
    const SelectionBox box = again->selection();
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.width(), 6);
    EXPECT_EQ(box.height(), 4);
}

TEST_F(PatternTest, NothingSelectedMakesAPatternAnOrdinaryImageAgain) {
    const int slot = addImage(model, "버튼");
    loadImage(*grid, model, slot);
    // Neither the grid nor the image has a selection: nothing happens.
    EXPECT_EQ(storePattern(model, *grid, "바뀜", dialogs), PatternStore::Nothing);
    EXPECT_EQ(imageName(model, slot), "버튼");

    pickCell(*grid, 1, 1);
    storePattern(model, *grid, "버튼", dialogs);
    clearSelection(*grid);
    EXPECT_FALSE(grid->anySelected);
    EXPECT_EQ(storePattern(model, *grid, "버튼", dialogs), PatternStore::Stored);
    EXPECT_EQ(model.recognitionImage(slot)->pattern, 0);
    EXPECT_EQ(model.recognitionImage(slot)->pixels[analyzer::kImageRowStride + 4 + 3], 0);
    EXPECT_FALSE(runner::viewOf(*model.recognitionImage(slot)).pattern);
}

TEST_F(PatternTest, AnEmptyNameIsRefusedAndNothingIsStored) {
    const int slot = addImage(model, "버튼");
    loadImage(*grid, model, slot);
    pickCell(*grid, 1, 1);
    EXPECT_EQ(storePattern(model, *grid, "", dialogs), PatternStore::Refused);
    EXPECT_FALSE(renameImage(model, slot, "", dialogs));
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{kNameMissing, kNameMissing}));
    EXPECT_EQ(model.recognitionImage(slot)->pattern, 0);
    EXPECT_TRUE(renameImage(model, slot, "확인", dialogs));
    EXPECT_EQ(imageName(model, slot), "확인");
    EXPECT_EQ(model.recognitionImage(slot)->pattern, 0); // renaming stores no pattern
}

TEST(PatternDisplay, SliderTextsAndStatusLine) {
    for (auto [position, shown] : {std::pair{0, "100"}, {1, "98"}, {25, "50"}, {50, "0"}}) {
        EXPECT_EQ(similarityText(position), shown);
    }
    auto grid = std::make_unique<PickingGrid>();
    grid->width = grid->height = 3;
    grid->cell(2, 1) = {30, 20, 10, 0};
    EXPECT_EQ(cellStatusText(*grid, 2, 1), "0002,0001   010,020,030");
    EXPECT_EQ(patternViewColour(grid->cell(2, 1), 1), 0xFFFFFFu);
    EXPECT_EQ(sourceViewColour(grid->cell(2, 1), 0), 0x0A141Eu);
    EXPECT_EQ(sourceViewColour(grid->cell(2, 1), 4), 0xFFFFFFu);
    grid->cell(2, 1).selected = 1;
    EXPECT_EQ(patternViewColour(grid->cell(2, 1), 1), 0x0A141Eu);
    EXPECT_EQ(sourceViewColour(grid->cell(2, 1), 4), 0x0A141Eu);
}

// Digits 0..9 drawn as 3 x 5 glyphs, black on white.
const char* const kGlyphs[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", "###", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

struct NumberPackTest : PatternTest {
    NumberPackDraft draft;

    // An image holding the ten digits side by side; each digit's ink is
    // picked and taken into its slot.
    void takeDigits() {
        const int slot = addImage(model, "숫자");
        analyzer::RecognitionImage& image = *model.recognitionImage(slot);
        image.width = 41;
        image.height = 7;
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 41; ++c) paint(image, c, r, 0xFFFFFF);
        for (int d = 0; d < 10; ++d)
            for (int r = 0; r < 5; ++r)
                for (int c = 0; c < 3; ++c)
                    if (kGlyphs[d][r][c] == '#') paint(image, 1 + 4 * d + c, 1 + r, 0);
        loadImage(*grid, model, slot);
        for (int d = 0; d < 10; ++d) {
            clearSelection(*grid);
            for (int r = 0; r < 5; ++r)
                for (int c = 0; c < 3; ++c)
                    if (kGlyphs[d][r][c] == '#') selectCell(*grid, 1 + 4 * d + c, 1 + r);
            ASSERT_TRUE(takeSample(draft, d, *grid));
        }
    }
};

TEST_F(NumberPackTest, APackMadeFromPickedCellsReadsTheNumberOnScreen) {
    takeDigits();
    EXPECT_EQ(draft.slots[1].width, 3);
    EXPECT_EQ(draft.slots[1].height, 5);
    EXPECT_EQ(draft.slots[1].points.size(), 8u);
    const int position = storeNewPack(model, draft, "", dialogs);
    ASSERT_EQ(position, 0);
    EXPECT_EQ(packLines(model), std::vector<std::string>{"숫자샘플팩-1"});

    // "2024" on a white screen, one column between digits.
    const int width = 30, height = 12;
    std::vector<uint8_t> screen(width * height * 4, 0xFF);
    const char* number = "2024";
    for (int i = 0; i < 4; ++i)
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                if (kGlyphs[number[i] - '0'][r][c] == '#')
                    std::fill_n(&screen[((4 + r) * width + 5 + 4 * i + c) * 4], 3, uint8_t{0});
    runner::NumberPackView view;
    ASSERT_TRUE(runner::viewOf(*model.numberPack(packSlotAt(model, 0)), view));
    int64_t value = -1;
    runner::FrameView frame{screen.data(), width, height, width * 4};
    EXPECT_EQ(runner::readNumber(frame, {0, 0, width, height}, view, 100, false, value), 0);
    EXPECT_EQ(value, 2024);

    // Loading the pack gives the same samples back.
    NumberPackDraft loaded;
    ASSERT_TRUE(loadPack(loaded, model, 0));
    for (int d = 0; d < 10; ++d) {
        EXPECT_EQ(loaded.slots[d].points.size(), draft.slots[d].points.size()) << d;
    }
    EXPECT_FALSE(loaded.slots[10].set);
}

TEST_F(NumberPackTest, ASignTakenBelowTheDigitsTopKeepsItsPlaceInTheLine) {
    takeDigits();
    // The minus sign is the middle bar of the 2, two rows below the digits'
    // top: picked alone its box starts there.
    clearSelection(*grid);
    for (int c = 0; c < 3; ++c) selectCell(*grid, 9 + c, 3);
    ASSERT_TRUE(takeSample(draft, analyzer::kFirstNumberSign + 1, *grid));
    ASSERT_EQ(storeNewPack(model, draft, "계산", dialogs), 0);
    const analyzer::NumberPack& pack = *model.numberPack(packSlotAt(model, 0));
    EXPECT_EQ(analyzer::sampleHeader(pack.samples[11]).lineOffset, 2);
    EXPECT_EQ(analyzer::sampleHeader(pack.samples[11]).height, 1);
    EXPECT_EQ(analyzer::sampleHeader(pack.samples[0]).lineOffset, 0);

    // "12-3" read with the signs gives 9.
    const int width = 30, height = 9;
    std::vector<uint8_t> screen(width * height * 4, 0xFF);
    auto ink = [&](int x, int y) { std::fill_n(&screen[(y * width + x) * 4], 3, uint8_t{0}); };
    const char* text = "12-3";
    for (int i = 0; i < 4; ++i)
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                if (text[i] == '-' ? r == 2 : kGlyphs[text[i] - '0'][r][c] == '#') ink(3 + 4 * i + c, 2 + r);
    runner::NumberPackView view;
    ASSERT_TRUE(runner::viewOf(pack, view));
    int64_t value = -1;
    runner::FrameView frame{screen.data(), width, height, width * 4};
    runner::readNumber(frame, {0, 0, width, height}, view, 100, true, value);
    EXPECT_EQ(value, 9);
}

TEST_F(NumberPackTest, CtrlRecoloursOnlyMarkedCells) {
    takeDigits();
    grid->pointColour = 0x123456;
    EXPECT_FALSE(recolourCell(*grid, 0, 0)); // not marked
    EXPECT_TRUE(recolourCell(*grid, 37, 1)); // the 9's ink is still marked
    EXPECT_EQ(grid->cell(37, 1).rgb(), 0x123456u);
    EXPECT_EQ(grid->cell(0, 0).rgb(), 0xFFFFFFu);
    // "이미지 초기화" brings the image's own pixels back.
    clearSelection(*grid);
    reloadPixels(*grid, model);
    EXPECT_EQ(grid->cell(37, 1).rgb(), 0u);
    EXPECT_EQ(grid->selectedCount(), 0);
}

TEST_F(NumberPackTest, TheFiftiethPackIsMadeAndTheFiftyFirstRefused) {
    auto one = std::make_unique<PickingGrid>();
    one->width = one->height = 1;
    selectCell(*one, 0, 0);
    takeSample(draft, 11, *one);
    for (int n = 1; n <= 50; ++n) {
        ASSERT_EQ(storeNewPack(model, draft, n == 50 ? "숫자샘플팩 마지막" : "", dialogs), n - 1);
    }
    EXPECT_EQ(packName(model, 48), "숫자샘플팩-49");
    EXPECT_EQ(packName(model, 49), "숫자샘플팩-50"); // a name with the default prefix is replaced
    EXPECT_EQ(storeNewPack(model, draft, "하나 더", dialogs), -1);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"최대 숫자샘플 설정 수를 초과하였습니다.(50까지)"});
    EXPECT_EQ(model.image().numberPackCount, 50);
}

TEST_F(NumberPackTest, ChangingAPackRewritesItsSlotsAndNamesAnEmptyName) {
    NumberPackDraft empty;
    EXPECT_EQ(storeNewPack(model, empty, "", dialogs), -1); // no sample set: nothing made
    takeDigits();
    ASSERT_EQ(storeNewPack(model, draft, "점수", dialogs), 0);
    EXPECT_FALSE(storeChangedPack(model, 0, empty, "점수"));
    clearSample(draft, 3);
    ASSERT_TRUE(storeChangedPack(model, 0, draft, ""));
    EXPECT_EQ(packName(model, 0), "숫자샘플팩-(1)");
    const analyzer::NumberPack& pack = *model.numberPack(packSlotAt(model, 0));
    EXPECT_EQ(pack.samples[3].set, 0);
    EXPECT_EQ(analyzer::sampleHeader(pack.samples[3]).pointCount, 0);
    EXPECT_EQ(pack.samples[4].set, 1);
}

TEST_F(NumberPackTest, AUsedPackIsKeptAndTheMessageNamesTheItem) {
    takeDigits();
    storeNewPack(model, draft, "점수", dialogs);
    storeNewPack(model, draft, "시간", dialogs);
    const int used = packSlotAt(model, 1);
    Item reader{};
    addCommand(reader, command(30, {{16, used}}));
    appendItem(model, "읽기", &reader);

    EXPECT_EQ(deletePack(model, 1, &reader, dialogs), std::nullopt);
    EXPECT_EQ(deletePack(model, 1, nullptr, dialogs), std::nullopt);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_NE(dialogs.messages()[0].find("설정 대기중이기 때문에"), std::string::npos);
    EXPECT_EQ(dialogs.messages()[1], "삭제하려는 [시간]는,\n[읽기]에서 사용하고 있기 때문에  삭제할 수 없습니다.\n"
                                     "사용중인 항목들을 모두 수정한 후에 다시 시도해주세요.");
    EXPECT_EQ(model.image().numberPackCount, 2);

    EXPECT_EQ(deletePack(model, 0, nullptr, dialogs), std::optional<int>(0));
    EXPECT_EQ(packLines(model), std::vector<std::string>{"시간"});
}

} // namespace
} // namespace quillon::editor

namespace quillon::editor {
namespace {

// A 32-bit screenshot of 400 x 300 in one colour, with pixels painted on it.
ScreenshotBitmap plainShot(uint32_t rgb) {
    ScreenshotBitmap shot;
    shot.width = 400;
    shot.height = 300;
    shot.bitsPerPixel = 32;
    shot.stride = shot.width * 4;
    shot.pixels.resize(static_cast<size_t>(shot.stride) * shot.height);
    for (size_t i = 0; i < shot.pixels.size(); i += 4) {
        shot.pixels[i] = static_cast<uint8_t>(rgb);
        shot.pixels[i + 1] = static_cast<uint8_t>(rgb >> 8);
        shot.pixels[i + 2] = static_cast<uint8_t>(rgb >> 16);
    }
    return shot;
}

void paintShot(ScreenshotBitmap& shot, int x, int y, uint32_t rgb) {
    uint8_t* p = &shot.pixels[static_cast<size_t>(y) * shot.stride + static_cast<size_t>(x) * 4];
    p[0] = static_cast<uint8_t>(rgb);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb >> 16);
}

TEST(ScreenPickingForPacks, BoxLimitSumsAndBackground) {
    ScreenshotBitmap shot = plainShot(0x101010);
    paintShot(shot, 100, 50, 0xF0F0F0);     // light
    paintShot(shot, 300, 250, 0x800000);    // red 128 alone is "above 127"
    paintShot(shot, 100, 250, 0x7F7F7F);    // 127 everywhere is not
    struct Case {
        int x, y;
        std::string message; // empty: added (or a repeat)
        int width, height;   // the box afterwards
        uint64_t red;        // running red sum afterwards
        uint32_t background;
    } cases[] = {
        {100, 50, "", 1, 1, 0xF0, 0},                        // one light pixel: dark ground
        {100, 50, "", 1, 1, 0xF0, 0},                        // again: counted once
        {101, 51, "", 2, 2, 0xF0 + 0x10, 0},                 // average 128: still above 127
        {300, 50, "", 201, 2, 0xF0 + 0x20, 0xFFFFFF},        // box exactly 201 wide; red average 90
        {301, 50, kPickTooLarge, 201, 2, 0xF0 + 0x20, 0xFFFFFF}, // 202: refused, nothing changes
        {99, 50, kPickTooLarge, 201, 2, 0xF0 + 0x20, 0xFFFFFF},  // on the other side too
        {100, 250, "", 201, 201, 0xF0 + 0x20 + 0x7F, 0xFFFFFF},  // 201 tall
        {100, 251, kPickTooLarge, 201, 201, 0xF0 + 0x20 + 0x7F, 0xFFFFFF},
        {400, 10, " outside", 201, 201, 0xF0 + 0x20 + 0x7F, 0xFFFFFF}, // past the screenshot
    };
    ScreenPicking picking;
    auto grid = std::make_unique<PickingGrid>();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        const Status picked = pickScreenPixel(picking, *grid, shot, c.x, c.y);
        if (c.message.empty()) {
            EXPECT_TRUE(picked.ok);
        } else {
            EXPECT_FALSE(picked.ok);
            EXPECT_EQ(picked.message, c.message == " outside" ? "" : c.message);
        }
        EXPECT_EQ(picking.box.width(), c.width);
        EXPECT_EQ(picking.box.height(), c.height);
        EXPECT_EQ(picking.redSum, c.red);
        EXPECT_EQ(picking.background, c.background);
    }
    // The grid shows the screenshot in the box with the four pixels picked;
    // the first one gave the point colour.
    EXPECT_EQ(grid->width, 201);
    EXPECT_EQ(grid->height, 201);
    EXPECT_EQ(grid->selectedCount(), 4);
    EXPECT_EQ(grid->pointColour, 0xF0F0F0u);
    EXPECT_EQ(grid->cell(0, 0).selected, 1);
    EXPECT_EQ(grid->cell(200, 0).rgb(), 0x101010u);
    EXPECT_EQ(grid->cell(0, 200).rgb(), 0x7F7F7Fu);
    // Shift: the working image goes, and a new selection starts afresh.
    clearScreenPicking(picking, *grid);
    EXPECT_EQ(grid->selectedCount(), 0);
    EXPECT_FALSE(grid->anySelected);
    ASSERT_TRUE(pickScreenPixel(picking, *grid, shot, 300, 250).ok);
    EXPECT_EQ(picking.background, 0u);
    EXPECT_EQ(grid->pointColour, 0x800000u);
}

} // namespace
} // namespace quillon::editor
