#include <gtest/gtest.h>

#include "device/link_messages.h"
#include "editor/editor_document.h"
#include "editor/link_loss.h"
#include "editor/main_panel.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

TEST(MainPanelPlacement, ScrollsOnlyWhenTallerThanTheWorkArea) {
    struct Case {
        int panelHeight, workTop, workHeight;
        int y, steps;
    } cases[] = {
        {800, 0, 705, 0, 10},  // 95 pixels too tall: 9 + 1 steps
        {800, 30, 790, 30, 2}, // 10 too tall
        {800, 0, 799, 0, 1},   // one pixel too tall still scrolls
        {800, 0, 800, 0, 0},   // fits exactly
        {600, 20, 800, 120, 0},
    };
    for (const Case& c : cases) {
        PanelPlacement place = placeMainPanel(500, c.panelHeight, 1280, c.workTop, c.workHeight);
        EXPECT_EQ(place.x, 390) << c.workHeight;
        EXPECT_EQ(place.y, c.y) << c.workHeight;
        EXPECT_EQ(place.scrollSteps, c.steps) << c.workHeight;
    }
}

TEST(ItemList, AnalyzerOrderOrSortedByName) {
    AnalyzerModel model;
    Item head{};
    head.head = 1;
    head.alwaysScan = 1;
    appendItem(model, "하늘", &head);
    appendItem(model, "가방");
    appendItem(model, "나무");
    appendItem(model, "가방");

    std::vector<ItemListRow> plain = itemListRows(model, false);
    ASSERT_EQ(plain.size(), 4u);
    EXPECT_EQ(plain[0].line, "★0000 하늘");
    EXPECT_EQ(plain[1].line, "◇0001 가방");

    std::vector<ItemListRow> sorted = itemListRows(model, true);
    std::vector<int> positions;
    for (const ItemListRow& row : sorted) positions.push_back(row.position);
    EXPECT_EQ(positions, (std::vector<int>{1, 3, 2, 0})); // equal names keep their order
    EXPECT_EQ(sorted[3].line, "★0000 하늘");
    EXPECT_EQ(rowOfItem(sorted, 0), 3);
    EXPECT_EQ(rowOfItem(sorted, 7), -1);
}

TEST(IgnoreMode, OneValueFromThreeChecks) {
    struct Case {
        bool circular, trueSkip, falseSkip;
        int mode;
    } cases[] = {
        {false, false, false, 0}, {true, false, false, 3}, {false, false, true, 2},
        {true, false, true, 2},   {false, true, false, 1}, {true, true, true, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ignoreModeOf({c.circular, c.trueSkip, c.falseSkip}), c.mode);
    }
    for (int mode = 0; mode <= 3; ++mode) {
        EXPECT_EQ(ignoreModeOf(ignoreChecksOf(mode)), mode);
    }
}

class LinkLossTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folders.create()); }
    ScratchFolder scratch;
    EditorFolders folders = EditorFolders::under(scratch.file("data"));
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    VirtualClock clock{0};
    EditorDocument doc{model, folders, dialogs, clock};
};

TEST_F(LinkLossTest, TheAnalyzerIsKeptInTheAutosaveAndTheMessageSaysSo) {
    appendItem(model, "첫째");
    appendItem(model, "둘째");
    LinkError error{LinkFailure::ReceiveFailed, "readBlock", 0};
    LinkLossClosing closing = closeOnLinkLoss(model, doc.file(), folders.autosavePath(), error);
    EXPECT_TRUE(closing.saved);
    EXPECT_EQ(closing.message, std::string(kEditorLinkLostText) + "(6)\n\n" + kLinkLossSavedSentence);

    // The restore of the next start brings the items back.
    ASSERT_TRUE(doc.startNew(LocalTime{}, false));
    dialogs.answers = {true};
    ASSERT_TRUE(doc.autosave().requestRestore());
    clock.advance(Autosave::kPaintDelayMs);
    ASSERT_EQ(doc.autosave().tick(), AutosaveTick::Restored);
    ASSERT_EQ(model.itemCount(), 2);
    EXPECT_EQ(text::cp949ToUtf8(fixedText(model.item(1).name)), "둘째");
}

TEST_F(LinkLossTest, AnEmptyAnalyzerLeavesAnEarlierAutosaveAlone) {
    writeBytes(folders.autosavePath(), {1, 2, 3});
    LinkError error{LinkFailure::SendFailed, "sendCommand", 0};
    LinkLossClosing closing = closeOnLinkLoss(model, doc.file(), folders.autosavePath(), error);
    EXPECT_FALSE(closing.saved);
    EXPECT_EQ(closing.message, std::string(kEditorLinkLostText) + "(3)");
    EXPECT_EQ(readBytes(folders.autosavePath()), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(LinkLossTest, AnAutosaveThatCannotBeWrittenIsNotClaimed) {
    appendItem(model, "첫째");
    LinkError error{LinkFailure::ReceiveFailed, "readBlock", 0};
    LinkLossClosing closing = closeOnLinkLoss(model, doc.file(), scratch.file("missing/folder/save.tmp"), error);
    EXPECT_FALSE(closing.saved);
    EXPECT_EQ(closing.message.find("자동저장"), std::string::npos);
}

} // namespace
} // namespace quillon::editor
