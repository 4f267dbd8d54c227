#include <gtest/gtest.h>

#include "analyzer/blocks.h"
#include "editor/editor_document.h"
#include "editor/screenshots.h"
#include "editor/sounds.h"
#include "editor_fixture.h"
#include "screenshot_files.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

struct RecordingWindows final : AutosaveWindows {
    std::vector<std::string> events;
    void showNotice(const std::string& a, const std::string& b) override { events.push_back("show " + a + "|" + b); }
    void closeNotice() override { events.push_back("close"); }
    void setEditorEnabled(bool enabled) override { events.push_back(enabled ? "enable" : "disable"); }
};

class AutosaveTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folders.create()); }
    bool autosaveExists() { return files::exists(folders.autosavePath()); }

    ScratchFolder scratch;
    EditorFolders folders = EditorFolders::under(scratch.file("data"));
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    VirtualClock clock{5000};
    RecordingWindows windows;
    EditorDocument doc{model, folders, dialogs, clock, &windows};
    Autosave& autosave = doc.autosave();
};

TEST_F(AutosaveTest, OffOrWithoutItemsNothingIsWritten) {
    EXPECT_EQ(autosave.buttonCaption(), std::string("자동저장 OFF"));
    appendItem(model, "항목");
    clock.advance(Autosave::kIntervalMs);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    clock.advance(Autosave::kPaintDelayMs);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    EXPECT_FALSE(autosaveExists());

    autosave.toggle();
    EXPECT_EQ(autosave.buttonCaption(), std::string("자동저장 ON"));
    ASSERT_TRUE(model.deleteItem(0));
    clock.advance(Autosave::kIntervalMs);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    EXPECT_FALSE(autosaveExists());
    EXPECT_TRUE(windows.events.empty());
}

TEST_F(AutosaveTest, EveryTenMinutesAfterHalfASecond) {
    autosave.toggle();
    Item player{};
    ASSERT_TRUE(addCommand(player, command(CmdMacro, {{4, 0}, {8, 1}, {12, 9}})).ok);
    appendItem(model, "재생", &player);

    clock.advance(Autosave::kIntervalMs - 1);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    clock.advance(1);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Started);
    EXPECT_EQ(windows.events,
              (std::vector<std::string>{"show 분석 항목들을 자동 저장하고 있습니다.|조작을 멈추어 주세요.", "disable"}));
    clock.advance(Autosave::kPaintDelayMs - 1);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    EXPECT_FALSE(autosaveExists());
    clock.advance(1);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Saved);
    EXPECT_TRUE(autosaveExists());
    EXPECT_EQ(windows.events.size(), 4u);
    EXPECT_EQ(windows.events[2], "enable");
    EXPECT_EQ(windows.events[3], "close");
    // Items that play machine macros: the autosave asks nothing and carries none.
    EXPECT_TRUE(dialogs.shown.empty());

    // The next one falls ten minutes after the first, not after the write.
    clock.advance(Autosave::kIntervalMs - Autosave::kPaintDelayMs - 1);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    clock.advance(1);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Started);
}

TEST_F(AutosaveTest, SuspendedWhileOpeningOrSavingOrBusy) {
    autosave.toggle();
    appendItem(model, "항목");
    autosave.suspend();
    clock.advance(Autosave::kIntervalMs);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    autosave.resume();
    // A dialog open when the tick falls: nothing is shown, no window is
    // disabled or enabled, nothing is written; the next period tries again.
    bool dialogOpen = true;
    autosave.busy = [&] { return dialogOpen; };
    clock.advance(Autosave::kIntervalMs);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    clock.advance(Autosave::kPaintDelayMs);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Nothing);
    EXPECT_TRUE(windows.events.empty());
    EXPECT_FALSE(autosaveExists());
    dialogOpen = false;
    clock.advance(Autosave::kIntervalMs);
    EXPECT_EQ(autosave.tick(), AutosaveTick::Started);
}

TEST_F(AutosaveTest, RestoreAsksAndLoadsTheAutosave) {
    autosave.toggle();
    std::string bmp = writeShotSet(folders.imageSave, "s", {}, cursorFile(0, 0, 0));
    ASSERT_EQ(importScreenshot(model, folders, {bmp, "화면", false}, dialogs, {}).outcome, ImportOutcome::Imported);
    appendItem(model, "첫째");
    appendItem(model, "둘째");
    clock.advance(Autosave::kIntervalMs);
    autosave.tick();
    clock.advance(Autosave::kPaintDelayMs);
    ASSERT_EQ(autosave.tick(), AutosaveTick::Saved);

    writeBytes(folders.image + "/stray.bmp", {1, 2});
    ASSERT_TRUE(doc.startNew(LocalTime{}, false));
    EXPECT_EQ(model.itemCount(), 0);

    dialogs.answers = {false};
    EXPECT_FALSE(autosave.requestRestore());
    dialogs.answers = {true};
    ASSERT_TRUE(autosave.requestRestore());
    EXPECT_EQ(dialogs.questions(), (std::vector<std::string>{"자동저장 내용을 불러 오시겠습니까?",
                                                             "자동저장 내용을 불러 오시겠습니까?"}));
    EXPECT_EQ(windows.events.back(), "disable");
    EXPECT_EQ(model.itemCount(), 0); // not before the paint delay
    clock.advance(Autosave::kPaintDelayMs);
    ASSERT_EQ(autosave.tick(), AutosaveTick::Restored);
    EXPECT_EQ(model.itemCount(), 2);
    EXPECT_EQ(text::cp949ToUtf8(fixedText(model.item(1).name)), "둘째");
    EXPECT_TRUE(files::exists(folders.image + "/화면.bmp"));
    EXPECT_FALSE(files::exists(folders.image + "/stray.bmp"));
    EXPECT_EQ(windows.events.back(), "close");
}

TEST_F(AutosaveTest, RestoreRefusesAFileWithoutTheFormatMarker) {
    // A record block with marker 0 and an empty sentence table.
    AnalyzerModel old;
    old.image().formatMarker = 0;
    MemorySink sink;
    ASSERT_TRUE(writeBlock(sink, &old.image(), sizeof(AnalyzerImage)));
    ASSERT_TRUE(writeBlock(sink, &old.sentenceTable(), sizeof(SentenceTable)));
    writeBytes(folders.autosavePath(), sink.bytes);

    appendItem(model, "그대로");
    dialogs.answers = {true};
    ASSERT_TRUE(autosave.requestRestore());
    clock.advance(Autosave::kPaintDelayMs);
    EXPECT_EQ(autosave.tick(), AutosaveTick::RestoreFailed);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"Quillon 분석기 파일이 아닙니다."});
    EXPECT_EQ(dialogs.shown.back().caption, "오류");
    EXPECT_EQ(model.itemCount(), 1); // nothing is loaded, nothing lost
}

TEST_F(AutosaveTest, SaveAndOpenGoThroughTheDialogs) {
    appendItem(model, "저장할것");
    ASSERT_TRUE(doc.save(folders.save + "/내분석기.v2.txt"));
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"파일 저장을 완료 했습니다."});
    EXPECT_EQ(dialogs.shown.back().caption, "알림");
    EXPECT_EQ(doc.title(), "내분석기");
    ASSERT_TRUE(files::exists(folders.save + "/내분석기.dat"));

    ASSERT_TRUE(doc.startNew(LocalTime{}, false));
    ASSERT_TRUE(doc.open(folders.save + "/내분석기.dat"));
    EXPECT_EQ(model.itemCount(), 1);
    EXPECT_EQ(doc.title(), "내분석기");

    EXPECT_FALSE(doc.open(folders.save + "/없는파일.dat"));
    EXPECT_EQ(dialogs.messages().back(), "파일을 불러 오는데 실패했습니다.");
    EXPECT_EQ(model.itemCount(), 1); // the open analyzer stays
}

TEST(LeavingTheEditor, AsksWithItsOwnCaption) {
    ScriptedDialogs dialogs;
    dialogs.answers = {true};
    EXPECT_TRUE(confirmLeave(dialogs));
    EXPECT_FALSE(confirmLeave(dialogs));
    EXPECT_EQ(dialogs.shown[0].text, "이미지 분석 편집기를 종료하시겠습니까?");
    EXPECT_EQ(dialogs.shown[0].caption, "편집기 종료");
}

TEST(Sounds, CopiedIntoTheSoundFolderWithTheOverwriteQuestion) {
    ScratchFolder scratch;
    EditorFolders folders = EditorFolders::under(scratch.file("data"));
    ASSERT_TRUE(folders.create());
    ScriptedDialogs dialogs;
    std::string chosen = scratch.file("딩동.wav");
    writeBytes(chosen, {1, 2, 3});

    const Built<std::string> first = chooseSound(folders, chosen, dialogs);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(*first, "딩동.wav");
    EXPECT_EQ(readBytes(folders.sound + "/딩동.wav"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(dialogs.shown.empty());

    writeBytes(chosen, {9});
    dialogs.answers = {false};
    EXPECT_TRUE(chooseSound(folders, chosen, dialogs).ok());
    EXPECT_EQ(readBytes(folders.sound + "/딩동.wav"), (std::vector<uint8_t>{1, 2, 3}));
    dialogs.answers = {true};
    EXPECT_TRUE(chooseSound(folders, chosen, dialogs).ok());
    EXPECT_EQ(readBytes(folders.sound + "/딩동.wav"), (std::vector<uint8_t>{9}));
    EXPECT_EQ(dialogs.questions(),
              std::vector<std::string>(2, "사운드 폴더에 이 사운드파일이 존재합니다.\n새 파일로 덮어 쓰시겠습니까? "
                                          "(덮어 쓰지 않아도 정상 작동함.)"));

    // A name longer than the command's field holds is refused.
    std::string longName = scratch.file(std::string(120, 'a') + ".wav");
    writeBytes(longName, {1});
    EXPECT_FALSE(chooseSound(folders, longName, dialogs).ok());
    EXPECT_EQ(soundChooserFolder("C:\\Windows"), "C:\\Windows\\Media\\");
}

} // namespace
} // namespace quillon::editor
