// The editor's copies into its folders (a screenshot imported, a sound
// chosen) under a failure at every step of the copy: each says the file is
// unusable, leaves no temporary and no half file, keeps the file it would
// have replaced, and leaves the analyzer as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "editor/screenshots.h"
#include "editor/sounds.h"
#include "editor_fixture.h"
#include "screenshot_files.h"
#include "tests/base/save_faults.h"

namespace quillon::editor {
namespace {

using namespace testing;

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

TEST(CopyFaults, ScreenshotImportAndSoundCopyFailCleanly) {
    ScratchFolder scratch;
    EditorFolders folders = EditorFolders::under(scratch.file("data"));
    ASSERT_TRUE(folders.create());
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    const CursorOffer noCursor = [](const CursorImage&, const std::string&) { return std::nullopt; };
    const std::string shot = writeShotSet(folders.imageSave, "a", {}, cursorFile(1, 2, 0));

    ImportOutcome imported = ImportOutcome::Cancelled;
    const int importPoints = quillon::testing::forEachFailedStep(
        [&] {
            dialogs.shown.clear();
            imported = importScreenshot(model, folders, {shot, "첫 스샷", false}, dialogs, noCursor).outcome;
        },
        [&](unsigned) {
            EXPECT_EQ(imported, ImportOutcome::Refused);
            EXPECT_EQ(dialogs.messages(), std::vector<std::string>{screenshot_message::kUnusableImage});
            EXPECT_TRUE(namesIn(folders.image).empty());
            EXPECT_EQ(model.image().screenshotCount, 0);
        });
    EXPECT_EQ(importPoints, 4); // create, write, flush, replace
    EXPECT_EQ(imported, ImportOutcome::Imported);
    EXPECT_EQ(model.image().screenshotCount, 1);

    const std::string chosen = scratch.file("딩동.wav");
    const std::string kept = folders.sound + "/딩동.wav";
    writeBytes(kept, {1, 2, 3});
    writeBytes(chosen, {9, 9});
    bool chosenOk = false;
    const int soundPoints = quillon::testing::forEachFailedStep(
        [&] {
            dialogs.shown.clear();
            dialogs.answers = {true}; // overwrite
            chosenOk = chooseSound(folders, chosen, dialogs).ok();
        },
        [&](unsigned) {
            EXPECT_FALSE(chosenOk);
            EXPECT_EQ(dialogs.messages(), std::vector<std::string>{sound_message::kUnusableSound});
            EXPECT_EQ(readBytes(kept), (std::vector<uint8_t>{1, 2, 3}));
            EXPECT_EQ(namesIn(folders.sound), std::set<std::string>{"딩동.wav"});
        });
    EXPECT_EQ(soundPoints, 4);
    EXPECT_TRUE(chosenOk);
    EXPECT_EQ(readBytes(kept), (std::vector<uint8_t>{9, 9}));
    std::printf("screenshot import: %d failure points, sound copy: %d\n", importPoints, soundPoints);
}

} // namespace
} // namespace quillon::editor
