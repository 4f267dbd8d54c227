#include <gtest/gtest.h>

#include "control/key_stream.h"
#include "control/macro_line_editor.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

using testing::makeLine;

struct EditorPage {
    ZeroedPtr<MacroDocument> document = newMacroDocument();
    ZeroedPtr<TextStore> store = newTextStore();
    MacroLineEditor editor{*document, *store, kEditPageLocations};

    // Lines numbered by their scroll count so that order can be read back.
    void fill(int count) {
        for (int i = 1; i <= count; ++i) editor.addLine(makeLine(41, {{20, i}}), AddMode::Append);
    }
    std::vector<int> order() const {
        std::vector<int> out;
        for (int i = 0; i < document->head.lineCount; ++i) out.push_back(P(document->lines[i], 20));
        return out;
    }
    std::vector<int> indents() const {
        std::vector<int> out;
        for (int i = 0; i < document->head.lineCount; ++i) out.push_back(document->lines[i].indent);
        return out;
    }
};

TEST(AddLine, FourModesAndTheCurrentLineAfterwards) {
    EditorPage page;
    page.fill(3);
    EXPECT_EQ(page.editor.currentLine(), 2);
    page.editor.setCurrentLine(1);
    page.editor.addLine(makeLine(41, {{20, 10}}), AddMode::InsertBefore);
    EXPECT_EQ(page.order(), (std::vector<int>{1, 10, 2, 3}));
    EXPECT_EQ(page.editor.currentLine(), 2); // the line that was current moved down
    page.editor.addLine(makeLine(41, {{20, 20}}), AddMode::InsertAfter);
    EXPECT_EQ(page.order(), (std::vector<int>{1, 10, 2, 20, 3}));
    EXPECT_EQ(page.editor.currentLine(), 2);
    page.editor.addLine(makeLine(41, {{20, 30}}), AddMode::Replace);
    EXPECT_EQ(page.order(), (std::vector<int>{1, 10, 30, 20, 3}));
    EXPECT_EQ(page.editor.currentLine(), 2);
    EXPECT_EQ(page.editor.selectedLines(), (std::vector<int>{2}));
    EXPECT_EQ(page.editor.counterText(), "3/5");
}

TEST(AddLine, RefusedAtTenThousandLines) {
    EditorPage page;
    page.document->head.lineCount = kMaxLines;
    auto outcome = page.editor.addLine(makeLine(224), AddMode::Append);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "작동 중 문제가 발생했습니다(최대10000줄까지 가능--MakLine=34001)");
    EXPECT_EQ(page.document->head.lineCount, kMaxLines);
}

TEST(AutomaticIndent, OpenersAndClosers) {
    EditorPage page;
    const int kinds[] = {88, 224, 89, 64, 224, 96, 98, 103, 224};
    for (int k : kinds) page.editor.addLine(makeLine(k), AddMode::Append);
    EXPECT_EQ(page.indents(), (std::vector<int>{0, 1, 1, 2, 3, 2, 1, 0, 0}));

    // A closer that meets another closer of its kind first takes the
    // previous line's indent minus one; one that finds nothing keeps it.
    EditorPage nested;
    const int more[] = {88, 88, 224, 103, 103, 103};
    for (int k : more) nested.editor.addLine(makeLine(k), AddMode::Append);
    EXPECT_EQ(nested.indents(), (std::vector<int>{0, 1, 2, 1, 0, 0}));
    EditorPage lonely;
    lonely.editor.addLine(makeLine(224), AddMode::Append);
    lonely.document->lines[0].indent = 3;
    lonely.editor.addLine(makeLine(97), AddMode::Append);
    EXPECT_EQ(lonely.indents(), (std::vector<int>{3, 3}));
}

TEST(CopyPaste, FiveLinesBelowLineThreeOfTen) {
    EditorPage page;
    page.fill(10);
    for (int i = 5; i < 10; ++i) page.editor.select(i, true);
    page.editor.clearSelection();
    for (int i = 5; i < 10; ++i) page.editor.select(i, true);
    ASSERT_TRUE(page.editor.copySelection().ok);
    page.editor.setCurrentLine(2);
    ASSERT_TRUE(page.editor.paste(true).ok);
    EXPECT_EQ(page.editor.lineCount(), 15);
    EXPECT_EQ(page.order(), (std::vector<int>{1, 2, 3, 6, 7, 8, 9, 10, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(page.editor.selectedLines(), (std::vector<int>{3, 4, 5, 6, 7}));
    EXPECT_EQ(page.editor.currentLine(), 3);
    EXPECT_EQ(page.editor.counterText(), "4/15");
    ASSERT_TRUE(page.editor.paste(false).ok); // above the current line
    EXPECT_EQ(page.editor.lineCount(), 20);
    EXPECT_EQ(page.editor.currentLine(), 3);
}

TEST(CopyPaste, Limits) {
    EditorPage page;
    page.document->head.lineCount = 3001;
    for (int i = 0; i < 3001; ++i) page.editor.select(i, true);
    auto tooMany = page.editor.copySelection();
    EXPECT_FALSE(tooMany.ok);
    EXPECT_EQ(tooMany.message, "작동 중 문제가 발생했습니다(최대3000줄까지만 복사가능--MakLine=34003");
    EXPECT_EQ(page.document->head.copiedLineCount, 0);

    page.editor.select(3000, false);
    ASSERT_TRUE(page.editor.copySelection().ok);
    EXPECT_EQ(page.document->head.copiedLineCount, 3000);
    page.document->head.lineCount = 7001;
    auto full = page.editor.paste(true);
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.message, "작동 중 문제가 발생했습니다(최대 줄수(10000)초과--MakLine=34002)");
    EXPECT_EQ(page.editor.lineCount(), 7001);
    page.document->head.lineCount = 7000;
    EXPECT_TRUE(page.editor.paste(true).ok);
    EXPECT_EQ(page.editor.lineCount(), 10000);
}

TEST(MoveLines, UpAndDownCarryTheCurrentLine) {
    EditorPage page;
    page.fill(3);
    EXPECT_FALSE(page.editor.moveDown());
    EXPECT_TRUE(page.editor.moveUp());
    EXPECT_EQ(page.order(), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(page.editor.currentLine(), 1);
    EXPECT_TRUE(page.editor.moveUp());
    EXPECT_FALSE(page.editor.moveUp());
    EXPECT_EQ(page.order(), (std::vector<int>{3, 1, 2}));
}

TEST(DeleteLines, SelectedLinesGoAndTheCurrentLineStaysInside) {
    EditorPage page;
    page.fill(5);
    page.editor.clearSelection();
    page.editor.select(1, true);
    page.editor.select(4, true);
    page.editor.deleteSelection();
    EXPECT_EQ(page.order(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(page.editor.currentLine(), 2);
    EXPECT_EQ(page.editor.counterText(), "3/3");
    page.editor.deleteAll();
    EXPECT_EQ(page.editor.lineCount(), 0);
    EXPECT_EQ(page.editor.counterText(), "0/0");
}

TEST(DeleteLines, SharedTextSlotIsFreedWithItsLastLine) {
    EditorPage page;
    auto placed = placeTypingText(*page.store, *page.document, -1, "공유", 600);
    page.editor.addLine(makeLine(8, {{8, *placed}}), AddMode::Append);
    page.editor.addLine(makeLine(8, {{8, *placed}}), AddMode::Append);
    page.editor.clearSelection();
    page.editor.select(0, true);
    page.editor.deleteSelection();
    EXPECT_EQ(page.store->slots[*placed].inUse, 1);
    page.editor.select(0, true);
    page.editor.deleteSelection();
    EXPECT_EQ(page.store->slots[*placed].inUse, 0);
}

TEST(DeleteLines, SlotsOfCopiedLinesAndOfTheOtherPageStay) {
    EditorPage page;
    auto copied = placeTypingText(*page.store, *page.document, -1, "복사", 600);
    auto foreign = placeTypingText(*page.store, *page.document, -1, "남의", 600);
    page.editor.addLine(makeLine(8, {{8, *copied}}), AddMode::Append);
    page.editor.addLine(makeLine(8, {{8, *foreign}}), AddMode::Append);
    page.editor.clearSelection();
    page.editor.select(0, true);
    page.editor.copySelection();
    auto other = newMacroDocument();
    other->lines[0] = makeLine(8, {{8, *foreign}});
    other->head.lineCount = 1;
    page.editor.setSharingDocument(other.get());
    page.editor.deleteAll();
    EXPECT_EQ(page.store->slots[*copied].inUse, 1);
    EXPECT_EQ(page.store->slots[*foreign].inUse, 1);
}

TEST(Indent, SelectedLinesOnlyAndNeverBelowZero) {
    EditorPage page;
    page.fill(3);
    page.editor.clearSelection();
    page.editor.select(0, true);
    page.editor.select(2, true);
    page.editor.indentSelection();
    page.editor.indentSelection();
    EXPECT_EQ(page.indents(), (std::vector<int>{2, 0, 2}));
    page.editor.select(1, true);
    page.editor.outdentSelection();
    EXPECT_EQ(page.indents(), (std::vector<int>{1, 0, 1}));
}

} // namespace
} // namespace quillon::control
