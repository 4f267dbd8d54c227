#include <gtest/gtest.h>

#include "editor/screenshots.h"
#include "editor/side_panel.h"
#include "editor_fixture.h"
#include "screenshot_files.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

class SidePanelTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folders.create()); }
    int import(const std::string& name) {
        std::string bmp = writeShotSet(folders.imageSave, name, {}, cursorFile(0, 0, 0));
        ImportResult result = importScreenshot(model, folders, {bmp, name, false}, dialogs, {});
        EXPECT_EQ(result.outcome, ImportOutcome::Imported);
        return result.slot;
    }
    ScratchFolder scratch;
    EditorFolders folders = EditorFolders::under(scratch.file("data"));
    AnalyzerModel model;
    ScriptedDialogs dialogs;
};

TEST_F(SidePanelTest, ListLinesAndImageDetails) {
    import("첫화면");
    const int shot = import("둘째");
    addImage(model, "보통", false, shot);
    addImage(model, "무늬", true, shot);
    int area = -1;
    ASSERT_TRUE(model.addArea(100, 100, shot, "", area).ok);
    EXPECT_EQ(sideListLines(model, SideList::Screenshots), (std::vector<std::string>{"첫화면", "둘째"}));
    EXPECT_EQ(sideListLines(model, SideList::RecognitionImages), (std::vector<std::string>{"보통", "[패턴]무늬"}));
    EXPECT_EQ(sideListLines(model, SideList::Areas), (std::vector<std::string>{"인식범위-1"}));
    EXPECT_TRUE(sideListLines(model, SideList::Cursors).empty());

    std::optional<RecognitionImageDetails> details = recognitionImageDetails(model, 1);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->name, "무늬");
    EXPECT_EQ(details->width, 11);
    EXPECT_EQ(details->centre, "50,50");
    EXPECT_EQ(details->screenshotPosition, 1);
    EXPECT_FALSE(recognitionImageDetails(model, 2));

    ASSERT_TRUE(model.markScreenshotErased(shot));
    EXPECT_EQ(sideListLines(model, SideList::Screenshots)[1], "둘째(X)(2)");
    std::memset(model.image().screenshots[shot].label, 0, sizeof model.image().screenshots[shot].label);
    EXPECT_EQ(sideListLines(model, SideList::Screenshots)[1], "둘째(X)(2)"); // an empty label from another writer
}

TEST_F(SidePanelTest, RenamingKeepsThePlaceAndCutsLongNames) {
    addImage(model, "하나");
    addImage(model, "둘");
    EXPECT_TRUE(renameObjectAt(model, SideList::RecognitionImages, 0, std::string(40, 'x') + "가나다라마바사아자차카"));
    const std::string line = sideListLines(model, SideList::RecognitionImages)[0];
    EXPECT_EQ(text::utf8ToCp949(line).size(), 62u); // 40 + 11 two-byte characters, no half character
    EXPECT_FALSE(renameObjectAt(model, SideList::RecognitionImages, 1, ""));
    EXPECT_FALSE(renameObjectAt(model, SideList::RecognitionImages, 5, "없음"));
    EXPECT_EQ(sideListLines(model, SideList::RecognitionImages)[1], "둘");
}

TEST_F(SidePanelTest, ScreenshotRenameMovesItsBitmap) {
    import("처음");
    import("다음");
    EXPECT_TRUE(renameScreenshotAt(model, folders, 0, "바뀐", dialogs));
    EXPECT_TRUE(files::exists(folders.image + "/바뀐.bmp"));
    EXPECT_FALSE(files::exists(folders.image + "/처음.bmp"));
    EXPECT_EQ(sideListLines(model, SideList::Screenshots)[0], "바뀐");

    EXPECT_FALSE(renameScreenshotAt(model, folders, 0, "다음", dialogs));
    EXPECT_FALSE(renameScreenshotAt(model, folders, 0, "a/b", dialogs));
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{"같은 이름의 스샷이 이미 있습니다.",
                                                            "스샷 이름으로 사용할 수 없는 이름입니다."}));
    EXPECT_TRUE(files::exists(folders.image + "/바뀐.bmp"));
}

TEST_F(SidePanelTest, AnAreaReachingPastTheScreenshotIsNotDeleted) {
    model.image().screenshotWidth = 400;
    model.image().screenshotHeight = 300;
    int inside = -1, edge = -1;
    ASSERT_TRUE(model.addArea(100, 100, 0, "", inside).ok);
    ASSERT_TRUE(model.addArea(100, 100, 0, "", edge).ok);
    model.image().areas[edge].width = 400 - model.image().areas[edge].left; // right edge on the border
    EXPECT_FALSE(deleteAreaInsideAt(model, 1, dialogs));
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{"이미지 바깥에 있는 검색범위는 삭제할 수 없습니다."}));
    EXPECT_EQ(model.image().areaCount, 2);
    EXPECT_TRUE(deleteAreaInsideAt(model, 0, dialogs));
    EXPECT_EQ(model.image().areaCount, 1);
}

} // namespace
} // namespace quillon::editor
