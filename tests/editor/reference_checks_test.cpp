#include <gtest/gtest.h>

#include "editor/reference_checks.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

const std::string kClosingAll =
    "사용하고 있기 때문에  삭제할 수 없습니다.\n사용중인 항목들을 모두 수정한 후에 다시 시도해주세요.";
const std::string kWaiting = "설정 대기중이기 때문에  삭제할 수 없습니다.\n설정 대기상태를 해제한 후에 다시 시도해주세요.";

Item itemWith(std::initializer_list<Condition> conditions, std::initializer_list<Command> commands) {
    Item item{};
    for (const Condition& c : conditions) {
        EXPECT_TRUE(addCondition(item, c).ok);
    }
    for (const Command& c : commands) {
        EXPECT_TRUE(addCommand(item, c).ok);
    }
    return item;
}

TEST(ReferenceChecks, AreaUsedByTwoConditionsAndOneCommandGivesThreeLines) {
    AnalyzerModel model;
    model.image().screenshotWidth = 800;
    model.image().screenshotHeight = 600;
    int area = -1, other = -1;
    ASSERT_TRUE(model.addArea(100, 100, 0, "", area).ok);
    ASSERT_TRUE(model.addArea(300, 300, 0, "", other).ok);
    Item first = itemWith({condition(CondRangeSearch, {{8, area}}), condition(CondRangeSearch, {{8, area}}),
                           condition(CondRangeSearch, {{8, other}})},
                          {});
    Item second = itemWith({}, {command(CmdMouse, {{4, 7}, {28, area}})});
    appendItem(model, "첫째", &first);
    appendItem(model, "둘째", &second);

    DeletionCheck check = checkAreaDeletion(model, area);
    ASSERT_FALSE(check.allowed);
    EXPECT_EQ(check.message, "삭제하려는 범위 [인식범위-1]는,\n"
                             "[첫째]의 범위 조건으로\n[첫째]의 범위 조건으로\n"
                             "[둘째]의 마우스명령 이동 위치로\n" +
                                 kClosingAll);

    ScriptedDialogs dialogs;
    EXPECT_FALSE(deleteAreaAt(model, 0, dialogs));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "오류");
    EXPECT_EQ(model.image().areaCount, 2);
    EXPECT_EQ(model.image().areas[area].used, 1);
}

TEST(ReferenceChecks, AreaUsedByNumberReadingIsKept) {
    AnalyzerModel model;
    model.image().screenshotWidth = 800;
    model.image().screenshotHeight = 600;
    int area = -1;
    ASSERT_TRUE(model.addArea(100, 100, 0, "", area).ok);
    Item item = itemWith({}, {command(CmdReadNumber, {{8, area}})});
    appendItem(model, "읽기", &item);
    DeletionCheck check = checkAreaDeletion(model, area);
    EXPECT_FALSE(check.allowed);
    EXPECT_NE(check.message.find("[읽기]"), std::string::npos);
}

TEST(ReferenceChecks, UnusedAreaIsDeletedAndTheListClosesUp) {
    AnalyzerModel model;
    model.image().screenshotWidth = 800;
    model.image().screenshotHeight = 600;
    int a = -1, b = -1, c = -1;
    ASSERT_TRUE(model.addArea(100, 100, 0, "", a).ok);
    ASSERT_TRUE(model.addArea(200, 100, 0, "", b).ok);
    ASSERT_TRUE(model.addArea(300, 100, 0, "", c).ok);
    model.image().currentArea = 1;
    ScriptedDialogs dialogs;
    EXPECT_TRUE(deleteAreaAt(model, 1, dialogs));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(model.image().areaCount, 2);
    EXPECT_EQ(model.image().areaOrder[0], a);
    EXPECT_EQ(model.image().areaOrder[1], c);
    EXPECT_EQ(model.image().areas[b].used, 0);
    EXPECT_EQ(model.image().currentArea, 0);
}

TEST(ReferenceChecks, CursorUses) {
    AnalyzerModel model;
    int cursor = -1;
    ASSERT_TRUE(model.addCursor(1, "", cursor).ok);
    Item item = itemWith({condition(CondCursor, {{8, cursor}})}, {});
    appendItem(model, "커서검사", &item);
    EXPECT_EQ(checkCursorDeletion(model, cursor).message,
              "삭제하려는 커서 [커서-01]는,\n[커서검사]의 조건으로\n"
              "사용하고 있기 때문에  삭제할 수 없습니다.\n사용중인 항목들을 수정한 후에 다시 시도해주세요.");
}

TEST(ReferenceChecks, RecognitionImageUsesInOrder) {
    AnalyzerModel model;
    int image = addImage(model, "버튼");
    Item item = itemWith(
        {
            condition(CondImage, {{4, 5}, {8, 3}, {12, image}, {16, image}}),
            condition(CondRangeSearch, {{4, 5}, {16, image}}),
            condition(CondImage, {{4, 4}, {8, 2}, {12, image}, {16, image}}), // a colour at fixed coordinates
        },
        {command(CmdMouse, {{4, 6}, {24, image}})});
    appendItem(model, "찾기", &item);
    EXPECT_EQ(checkRecognitionImageDeletion(model, image, nullptr).message,
              "삭제하려는 이미지 [버튼]는,\n[찾기]의 이미지조건 이미지로\n[찾기]의 이미지조건 위치로\n"
              "[찾기]의 범위조건 이미지로\n[찾기]의 마우스명령 이동 위치로\n" +
                  kClosingAll);
}

TEST(ReferenceChecks, PatternImageHeader) {
    AnalyzerModel model;
    int image = addImage(model, "별", true);
    Item item = itemWith({}, {command(CmdMouse, {{4, 6}, {24, image}})});
    appendItem(model, "이동", &item);
    EXPECT_EQ(checkRecognitionImageDeletion(model, image, nullptr).message,
              "삭제하려는 패턴인식 이미지 [별]는,\n[이동]의 마우스명령 이동 위치로\n" + kClosingAll);
}

TEST(ReferenceChecks, ImageUsedOnlyByTheUnsavedItemIsWaiting) {
    AnalyzerModel model;
    int image = addImage(model, "버튼");
    appendItem(model, "빈항목");
    Item working = itemWith({}, {command(CmdReplaceImage, {{16, image}})});
    DeletionCheck check = checkRecognitionImageDeletion(model, image, &working);
    EXPECT_FALSE(check.allowed);
    EXPECT_EQ(check.message, "삭제하려는 이미지 [버튼]는,\n" + kWaiting);

    ScriptedDialogs dialogs;
    EXPECT_FALSE(deleteRecognitionImageAt(model, 0, &working, dialogs));
    EXPECT_EQ(model.image().recognitionImageCount, 1);
    Item empty{};
    EXPECT_TRUE(deleteRecognitionImageAt(model, 0, &empty, dialogs));
    EXPECT_EQ(model.image().recognitionImageCount, 0);
    EXPECT_EQ(model.recognitionImage(image), nullptr);
}

TEST(ReferenceChecks, SavedReplaceImageCommandKeepsTheImage) {
    AnalyzerModel model;
    int image = addImage(model, "버튼");
    Item item = itemWith({}, {command(CmdReplaceImage, {{16, image}})});
    appendItem(model, "교체", &item);
    EXPECT_FALSE(checkRecognitionImageDeletion(model, image, nullptr).allowed);
}

TEST(ReferenceChecks, DeletingAnImageLowersItsScreenshotCount) {
    AnalyzerModel model;
    analyzer::NewScreenshot shot;
    shot.name = "shot";
    int shotSlot = -1;
    ASSERT_TRUE(model.addScreenshot(shot, shotSlot).ok);
    addImage(model, "하나", false, shotSlot);
    addImage(model, "둘", false, shotSlot);
    EXPECT_EQ(model.image().screenshots[shotSlot].recognitionImageCount, 2);
    ScriptedDialogs dialogs;
    ASSERT_TRUE(deleteRecognitionImageAt(model, 1, nullptr, dialogs));
    EXPECT_EQ(model.image().screenshots[shotSlot].recognitionImageCount, 1);
    EXPECT_EQ(model.image().currentRecognitionImage, 0);
}

TEST(ReferenceChecks, NumberPackNamesTheFirstItemOnly) {
    AnalyzerModel model;
    int pack = -1;
    ASSERT_TRUE(model.addNumberPack("", pack).ok);
    Item reader = itemWith({}, {command(CmdReadNumber, {{16, pack}})});
    appendItem(model, "첫째", &reader);
    appendItem(model, "둘째", &reader);
    EXPECT_EQ(checkNumberPackDeletion(model, pack, nullptr).message,
              "삭제하려는 [숫자샘플팩-1]는,\n[첫째]에서 사용하고 있기 때문에  삭제할 수 없습니다.\n"
              "사용중인 항목들을 모두 수정한 후에 다시 시도해주세요.");
    EXPECT_EQ(checkNumberPackDeletion(model, pack, &reader).message,
              "삭제하려는 [숫자샘플팩-1]는,\n" + kWaiting);
}

TEST(ReferenceChecks, ItemLinks) {
    AnalyzerModel model;
    int32_t first = appendItem(model, "처음");
    Item selfLinked{};
    selfLinked.nextLinkCount = 1;
    int32_t selfId = model.image().nextItemId; // the id the next item gets
    selfLinked.nextLinks[0].targetId = selfId;
    ASSERT_EQ(appendItem(model, "반복", &selfLinked), selfId);
    Item branching{};
    branching.falseBranch = 1;
    branching.falseBranchTarget = first;
    appendItem(model, "분기", &branching);

    // A stale target without its branch flag is no link.
    Item stale{};
    stale.otherwiseBranchTarget = selfId;
    appendItem(model, "끝", &stale);

    EXPECT_EQ(checkItemDeletion(model, 1).message,
              "[반복] 항목이 삭제하려는 [반복] 항목과 연결되어 있습니다.\n연결을 변경한 후 삭제해주세요.");
    EXPECT_EQ(checkItemDeletion(model, 0).message,
              "[분기] 항목이 삭제하려는 [처음] 항목과 연결되어 있습니다.\n연결을 변경한 후 삭제해주세요.");

    ScriptedDialogs dialogs;
    EXPECT_FALSE(deleteItemAt(model, 1, dialogs));
    EXPECT_EQ(model.itemCount(), 4);
    EXPECT_TRUE(deleteItemAt(model, 2, dialogs)); // nothing links to "분기"
    EXPECT_EQ(model.itemCount(), 3);
    EXPECT_TRUE(deleteItemAt(model, 0, dialogs)); // its only link went with "분기"
    EXPECT_EQ(model.itemCount(), 2);
    EXPECT_EQ(dialogs.messages().size(), 1u);
}

} // namespace
} // namespace quillon::editor
