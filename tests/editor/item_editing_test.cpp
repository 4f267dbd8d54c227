#include <gtest/gtest.h>

#include "editor/item_editing.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

// An item whose commands are delays of 0, 1, 2, ... ms: a row's value names it.
Item delays(int count) {
    Item item{};
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(addCommand(item, command(CmdDelay, {{4, i}})).ok);
    }
    return item;
}

std::vector<int> values(const Item& item) {
    std::vector<int> out;
    for (int i = 0; i < item.commandCount; ++i) out.push_back(item.commands[i].at(4));
    return out;
}

TEST(RowOperations, MoveKeepsBlocksTogetherAndStopsAtTheEdges) {
    struct Case {
        bool up;
        std::vector<int> selected;
        std::vector<int> order, selection;
    } cases[] = {
        {true, {2}, {0, 2, 1, 3, 4}, {1}},
        {true, {0, 1, 3}, {0, 1, 3, 2, 4}, {0, 1, 2}}, // the top block stays
        {true, {3, 1, 1, 9}, {1, 0, 3, 2, 4}, {0, 2}}, // unsorted, duplicate and past the end
        {false, {4}, {0, 1, 2, 3, 4}, {4}},
        {false, {1, 2}, {0, 3, 1, 2, 4}, {2, 3}},
        {false, {}, {0, 1, 2, 3, 4}, {}},
    };
    for (const Case& c : cases) {
        Item item = delays(5);
        std::vector<int> selection = c.up ? moveRowsUp(item, RowList::Commands, c.selected)
                                          : moveRowsDown(item, RowList::Commands, c.selected);
        EXPECT_EQ(values(item), c.order);
        EXPECT_EQ(selection, c.selection);
    }
}

TEST(RowOperations, PasteAboveOrBelowTheSelection) {
    Item item = delays(4);
    RowClipboard clip = copyRows(item, RowList::Commands, {3, 1});
    Built<std::vector<int>> below = pasteRows(item, RowList::Commands, clip, {0}, false);
    ASSERT_TRUE(below.ok());
    EXPECT_EQ(values(item), (std::vector<int>{0, 1, 3, 1, 2, 3}));
    EXPECT_EQ(*below.value, (std::vector<int>{1, 2}));
    ASSERT_TRUE(pasteRows(item, RowList::Commands, clip, {}, true).ok());
    EXPECT_EQ(values(item), (std::vector<int>{1, 3, 0, 1, 3, 1, 2, 3}));
    ASSERT_TRUE(pasteRows(item, RowList::Commands, clip, {}, false).ok());
    EXPECT_EQ(values(item).back(), 3);
    EXPECT_EQ(item.commandCount, 10);
}

TEST(RowOperations, PasteRefusals) {
    Item item = delays(49);
    RowClipboard two = copyRows(item, RowList::Commands, {0, 1});
    Built<std::vector<int>> full = pasteRows(item, RowList::Commands, two, {}, false);
    EXPECT_EQ(full.message, "최대 명령수를 초과하였습니다.");
    EXPECT_EQ(item.commandCount, 49);

    EXPECT_EQ(pasteRows(item, RowList::Conditions, two, {}, false).message, "붙여넣기 할수 없습니다.");
    RowClipboard nothing;
    nothing.list = RowList::Commands;
    EXPECT_EQ(pasteRows(item, RowList::Commands, nothing, {}, false).message,
              "붙여넣기 할수 없습니다.");
    EXPECT_EQ(item.conditionCount, 0);
}

TEST(RowOperations, DeleteSelectedOrAll) {
    Item item = delays(5);
    EXPECT_EQ(deleteRows(item, RowList::Commands, {4, 1}), (std::vector<int>{1}));
    EXPECT_EQ(values(item), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(item.commands[3].used, 0); // the freed slots are cleared
    EXPECT_EQ(deleteRows(item, RowList::Commands, {2}), (std::vector<int>{1}));
    deleteAllRows(item, RowList::Commands);
    EXPECT_EQ(item.commandCount, 0);
    EXPECT_EQ(rowCount(item, RowList::Commands), 0);
}

TEST(RowPlacement, EndBeforeAfterAndReplace) {
    struct Case {
        RowPlacement placement;
        int chosen;
        std::vector<int> order;
        int at;
    } cases[] = {
        {RowPlacement::AtEnd, 0, {0, 1, 2, 9}, 3},   {RowPlacement::Before, 1, {0, 9, 1, 2}, 1},
        {RowPlacement::After, 1, {0, 1, 9, 2}, 2},   {RowPlacement::Before, -1, {9, 0, 1, 2}, 0},
        {RowPlacement::After, 7, {0, 1, 2, 9}, 3},   {RowPlacement::Replace, 2, {0, 1, 9}, 2},
    };
    for (const Case& c : cases) {
        Item item = delays(3);
        Built<int> placed = placeCommand(item, c.placement, c.chosen, command(CmdDelay, {{4, 9}}));
        ASSERT_TRUE(placed.ok());
        EXPECT_EQ(*placed.value, c.at);
        EXPECT_EQ(values(item), c.order);
    }
    Item item = delays(3);
    EXPECT_FALSE(placeCommand(item, RowPlacement::Replace, -1, command(CmdDelay)).ok());
    Item full{};
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(placeCondition(full, RowPlacement::AtEnd, -1, condition(CondTimer)).ok());
    EXPECT_EQ(placeCondition(full, RowPlacement::Before, 0, condition(CondTimer)).message,
              "최대 조건수를 초과하였습니다.");
}

TEST(RunAnalyzerCommand, CopiedIntoTheAnalyzerFolderAndInsertedBeforeTheChosenRow) {
    ScratchFolder scratch;
    const std::string folder = scratch.file("Save");
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(scratch.file("elsewhere"));
    writeBytes(scratch.file("elsewhere/다음.dat"), {1, 2, 3});
    ScriptedDialogs dialogs;
    Item item = delays(2);

    Built<int> added = addRunAnalyzerCommand(item, 1, scratch.file("elsewhere/다음.dat"), folder, dialogs);
    ASSERT_TRUE(added.ok());
    EXPECT_EQ(*added.value, 1);
    EXPECT_EQ(item.commands[1].kind(), CmdRunAnalyzer);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(item.commands[1].body + 4)), text::utf8ToCp949("다음.dat"));
    EXPECT_EQ(readBytes(folder + "/다음.dat"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(dialogs.questions().empty());

    // A second copy of that name asks; No changes nothing.
    writeBytes(scratch.file("elsewhere/다음.dat"), {9});
    dialogs.answers = {false};
    EXPECT_FALSE(addRunAnalyzerCommand(item, -1, scratch.file("elsewhere/다음.dat"), folder, dialogs).ok());
    EXPECT_EQ(dialogs.questions(), (std::vector<std::string>{"같은 이름의 파일이 존재합니다.\n덮어 쓰시겠습니까?"}));
    EXPECT_EQ(readBytes(folder + "/다음.dat"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(item.commandCount, 3);

    // A file of the folder itself is not copied and nothing is asked.
    EXPECT_TRUE(addRunAnalyzerCommand(item, -1, folder + "/다음.dat", folder + "/", dialogs).ok());
    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(item.commands[3].kind(), CmdRunAnalyzer);

    // Changing the row (a double click) replaces it in place, even in a full
    // list; a row of another kind is not changed.
    writeBytes(folder + "/그다음.dat", {4});
    Built<int> changed = changeRunAnalyzerCommand(item, 3, folder + "/그다음.dat", folder, dialogs);
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(*changed.value, 3);
    EXPECT_EQ(item.commandCount, 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(item.commands[3].body + 4)), text::utf8ToCp949("그다음.dat"));
    EXPECT_FALSE(changeRunAnalyzerCommand(item, 0, folder + "/그다음.dat", folder, dialogs).ok());
    EXPECT_EQ(item.commands[0].kind(), CmdDelay);

    Item full = delays(50);
    EXPECT_EQ(addRunAnalyzerCommand(full, 0, folder + "/다음.dat", folder, dialogs).message,
              "최대 명령수를 초과하였습니다.");
}

TEST(ItemDelay, RemovedByOneConditionAddedOnce) {
    Item item{};
    ASSERT_TRUE(removeItemDelay(item).ok);
    ASSERT_TRUE(removeItemDelay(item).ok);
    ASSERT_EQ(item.conditionCount, 1);
    EXPECT_EQ(item.conditions[0].kind(), CondNoItemDelay);
    EXPECT_EQ(item.conditions[0].at(4), 1);
}

TEST(StoringItems, NewGetsAnIdOverKeepsItAndAnEmptyNameIsRefused) {
    AnalyzerModel model;
    appendItem(model, "처음");
    Item working{};
    ItemFields fields;
    fields.name = "";
    Built<int> refused = storeEditedItem(model, working, fields, StoreMode::New, -1);
    EXPECT_EQ(refused.message, "항목 이름을 입력해주세요.");
    EXPECT_EQ(model.itemCount(), 1);

    fields.name = std::string(70, 'a');
    fields.head = true;
    fields.ignore.falseSkip = true;
    ASSERT_TRUE(removeItemDelay(working).ok);
    Built<int> added = storeEditedItem(model, working, fields, StoreMode::New, 0);
    ASSERT_TRUE(added.ok());
    EXPECT_EQ(*added.value, 1);
    const Item& stored = model.item(1);
    EXPECT_EQ(fixedText(stored.name), std::string(63, 'a'));
    EXPECT_EQ(stored.head, 1);
    EXPECT_EQ(stored.ignoreMode, 2);
    EXPECT_EQ(stored.noItemDelay, 1);
    EXPECT_NE(stored.id, model.item(0).id);

    const int32_t firstId = model.item(0).id;
    fields.name = "바뀜";
    Built<int> over = storeEditedItem(model, working, fields, StoreMode::Over, 0);
    ASSERT_TRUE(over.ok());
    EXPECT_EQ(*over.value, 0);
    EXPECT_EQ(model.itemCount(), 2);
    EXPECT_EQ(model.item(0).id, firstId);
    EXPECT_EQ(itemFieldsOf(model.item(0)).name, "바뀜");
}

} // namespace
} // namespace quillon::editor
