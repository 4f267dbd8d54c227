#include <gtest/gtest.h>

#include "analyzer/records.h"
#include "editor/item_list_editing.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

std::string nameAt(const AnalyzerModel& model, int position) {
    return text::cp949ToUtf8(fixedText(model.item(position).name));
}

std::string names(const AnalyzerModel& model) {
    std::string out;
    for (int p = 0; p < model.itemCount(); ++p) out += (p ? " " : "") + nameAt(model, p);
    return out;
}

// Items a .. e; b's false branch goes to d, and d's next link to itself.
struct FiveItems : ::testing::Test {
    AnalyzerModel model;
    int32_t idOf[5] = {};
    void SetUp() override {
        ASSERT_TRUE(model.valid() && model.reset());
        for (int i = 0; i < 5; ++i) idOf[i] = appendItem(model, std::string(1, static_cast<char>('a' + i)));
        model.item(1).falseBranch = 1;
        model.item(1).falseBranchTarget = idOf[3];
        model.item(3).nextLinks[0].targetId = idOf[3];
        model.item(3).nextLinkCount = 1;
    }
};

TEST_F(FiveItems, MovingKeepsIdsAndLinks) {
    EXPECT_EQ(moveItemsUp(model, {3, 0, 9}), (std::vector<int>{0, 2}));
    EXPECT_EQ(names(model), "a b d c e");
    EXPECT_EQ(moveItemsDown(model, {4, 2}), (std::vector<int>{3, 4}));
    EXPECT_EQ(names(model), "a b c d e");
    // The branch still finds d by its id wherever d went.
    EXPECT_EQ(model.findItemById(model.item(1).falseBranchTarget), 3);
    EXPECT_EQ(model.item(3).id, idOf[3]);
}

TEST_F(FiveItems, PastedCopiesTakeNewIdsAndKeepTheirTargets) {
    Built<ItemClipboard> copied = copyItems(model, {1, 3});
    ASSERT_TRUE(copied.ok());
    const int32_t nextId = model.image().nextItemId;
    Built<std::vector<int>> below = pasteItems(model, *copied, {4}, false);
    ASSERT_TRUE(below.ok());
    EXPECT_EQ(*below, (std::vector<int>{5, 6}));
    Built<std::vector<int>> above = pasteItems(model, *copied, {0}, true);
    ASSERT_TRUE(above.ok());
    EXPECT_EQ(*above, (std::vector<int>{0, 1}));
    EXPECT_EQ(names(model), "b d a b c d e b d");
    EXPECT_EQ(model.item(7).id, nextId);
    EXPECT_EQ(model.item(0).id, nextId + 2);
    EXPECT_EQ(model.image().nextItemId, nextId + 4);
    // The copies point at the original d, not at each other.
    EXPECT_EQ(model.item(0).falseBranchTarget, idOf[3]);
    EXPECT_EQ(model.item(8).nextLinks[0].targetId, idOf[3]);
    // Nothing copied: nothing to paste.
    EXPECT_EQ(pasteItems(model, ItemClipboard{}, {}, true).message, item_list_message::kCannotPaste);
}

TEST_F(FiveItems, PastingStopsAtTheItemLimit) {
    Built<ItemClipboard> copied = copyItems(model, {0, 2});
    ASSERT_TRUE(copied.ok());
    // Empty items up to 4999 (the slots are there already).
    model.image().itemCount = kItemCapacity - 1;
    // Two more would make 5001: refused, nothing changes; one fits exactly.
    EXPECT_EQ(pasteItems(model, *copied, {}, false).message, item_list_message::kCannotPaste);
    EXPECT_EQ(model.itemCount(), kItemCapacity - 1);
    Built<ItemClipboard> one = copyItems(model, {0});
    ASSERT_TRUE(pasteItems(model, *one, {}, false).ok());
    EXPECT_EQ(model.itemCount(), kItemCapacity);
    // A choice of every item could never be pasted.
    std::vector<int> all;
    for (int p = 0; p < kItemCapacity; ++p) all.push_back(p);
    EXPECT_EQ(copyItems(model, all).message, item_list_message::kTooManyChosen);
}

TEST_F(FiveItems, DeletingALinkTargetIsRefusedAsAWhole) {
    // d is the target of b's branch (and of its own link): c and d chosen
    // together, neither goes.
    Built<std::vector<int>> refused = deleteItems(model, {2, 3});
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message, "[b] 항목이 삭제하려는 [d] 항목과 연결되어 있습니다.\n연결을 변경한 후 삭제해주세요.");
    EXPECT_EQ(names(model), "a b c d e");
    // Unlinked c and e go; the item now at c's place is chosen.
    Built<std::vector<int>> deleted = deleteItems(model, {4, 2});
    ASSERT_TRUE(deleted.ok());
    EXPECT_EQ(*deleted, (std::vector<int>{2}));
    EXPECT_EQ(names(model), "a b d");
    // Once b lets go of d, only d's own link holds it.
    model.item(1).falseBranch = 0;
    EXPECT_EQ(deleteItems(model, {2}).message,
              "[d] 항목이 삭제하려는 [d] 항목과 연결되어 있습니다.\n연결을 변경한 후 삭제해주세요.");
    deleteAllItems(model);
    EXPECT_EQ(model.itemCount(), 0);
    EXPECT_TRUE(deleteItems(model, {0})->empty());
}

} // namespace
} // namespace quillon::editor
