// Opening an analyzer file, or restoring the autosave file, that fails for
// any reason leaves the analyzer on screen, its Image folder and the Sound
// folder exactly as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "analyzer/analyzer_file.h"
#include "analyzer/limits.h"
#include "editor/analyzer_loading.h"
#include "editor/editor_document.h"
#include "editor/screenshots.h"
#include "editor_fixture.h"
#include "screenshot_files.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

struct NoWindows final : AutosaveWindows {
    void showNotice(const std::string&, const std::string&) override {}
    void closeNotice() override {}
    void setEditorEnabled(bool) override {}
};

// What the user would see of the open analyzer, and the working folders.
struct Snapshot {
    std::string title;
    std::vector<std::string> items;
    int screenshots = 0;
    int images = 0;
    std::map<std::string, std::vector<uint8_t>> imageFolder, soundFolder;
    bool operator==(const Snapshot&) const = default;
};

std::map<std::string, std::vector<uint8_t>> contentsOf(const std::string& folder) {
    std::map<std::string, std::vector<uint8_t>> out;
    for (const char* extension : {".bmp", ".wav", ""}) {
        for (const std::string& path : files::filesWithExtension(folder, extension)) {
            out[files::fileNameOf(path)] = readBytes(path);
        }
    }
    return out;
}

class OpenFailures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folders.create());
        ASSERT_TRUE(otherFolders.create());
        // The analyzer on screen: a screenshot with an image cut from it and
        // two items; a stray bitmap and a sound lie beside it.
        std::string bmp = writeShotSet(folders.imageSave, "s", {}, cursorFile(0, 0, 0));
        ASSERT_EQ(importScreenshot(model, folders, {bmp, "화면", false}, dialogs, {}).outcome,
                  ImportOutcome::Imported);
        addImage(model, "버튼");
        appendItem(model, "첫째");
        appendItem(model, "둘째");
        setName(model.image().name, sizeof model.image().name, "열린 분석기");
        writeBytes(folders.image + "/stray.bmp", {1, 2});
        writeBytes(folders.sound + "/종.wav", {'o', 'l', 'd'});
    }

    // Another analyzer saved to `path`: its own screenshot, image, sound and
    // an item that plays a sound (and a machine macro when asked).
    void saveOther(const std::string& path, bool autosave, bool playsMacro = false) {
        AnalyzerModel other;
        std::string bmp = writeShotSet(otherFolders.imageSave, "t", {}, cursorFile(0, 0, 0), 32, 16);
        ASSERT_EQ(importScreenshot(other, otherFolders, {bmp, "다른화면", false}, dialogs, {}).outcome,
                  ImportOutcome::Imported);
        addImage(other, "다른버튼");
        writeBytes(otherFolders.sound + "/종.wav", {'n', 'e', 'w'});
        Item item{};
        Command sound = command(CmdDevice, {{4, cmd::Device::PlaySound}, {12, 1}});
        std::memcpy(sound.body + 24, text::utf8ToCp949("종.wav").c_str(),
                    text::utf8ToCp949("종.wav").size());
        ASSERT_TRUE(addCommand(item, sound).ok);
        if (playsMacro) {
            ASSERT_TRUE(addCommand(item, command(CmdMacro, {{4, 0}, {8, 1}, {12, 3}})).ok);
        }
        appendItem(other, "다른항목", &item);
        AnalyzerFile writer(otherFolders.image, otherFolders.sound);
        FileResult saved = autosave ? writer.saveAutosave(other, path) : writer.save(other, path);
        ASSERT_TRUE(saved.ok()) << saved.message;
        dialogs.shown.clear();
    }

    // The file cut inside its last block: everything before it reads.
    void damage(const std::string& path) {
        std::vector<uint8_t> bytes = readBytes(path);
        ASSERT_GT(bytes.size(), 16u);
        bytes.resize(bytes.size() - 8);
        writeBytes(path, bytes);
    }

    Snapshot snapshot() {
        Snapshot s;
        s.title = doc.title();
        for (int i = 0; i < model.itemCount(); ++i) {
            s.items.push_back(text::cp949ToUtf8(fixedText(model.item(i).name)));
        }
        s.screenshots = model.image().screenshotCount;
        s.images = model.image().recognitionImageCount;
        s.imageFolder = contentsOf(folders.image);
        s.soundFolder = contentsOf(folders.sound);
        return s;
    }

    bool stagingLeft() { return files::exists(joinPath(folders.data, kStagingFolderName)); }

    ScratchFolder scratch;
    EditorFolders folders = EditorFolders::under(scratch.file("data"));
    EditorFolders otherFolders = EditorFolders::under(scratch.file("other"));
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    VirtualClock clock{5000};
    NoWindows windows;
    EditorDocument doc{model, folders, dialogs, clock, &windows};
};

TEST_F(OpenFailures, DamagedFileLeavesTheAnalyzerAndItsFolders) {
    const std::string path = folders.save + "/damaged.dat";
    saveOther(path, false);
    damage(path);
    const Snapshot before = snapshot();
    EXPECT_FALSE(doc.open(path));
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{message::kOpenFailed});
    EXPECT_TRUE(snapshot() == before);
    EXPECT_FALSE(stagingLeft());
    EXPECT_NE(model.recognitionImage(0), nullptr);
}

TEST_F(OpenFailures, CancelledMissingMacrosQuestionLeavesEverything) {
    const std::string path = folders.save + "/macros.dat";
    saveOther(path, false, true); // saved without a machine: no macros inside
    const Snapshot before = snapshot();
    dialogs.answers = {false};
    EXPECT_FALSE(doc.open(path));
    ASSERT_EQ(dialogs.questions(), std::vector<std::string>{kMissingMacrosQuestion});
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(snapshot() == before);
    EXPECT_FALSE(stagingLeft());

    // Going on replaces the analyzer, its bitmaps and the sound.
    dialogs.answers = {true};
    ASSERT_TRUE(doc.open(path));
    const Snapshot after = snapshot();
    EXPECT_EQ(after.items, std::vector<std::string>{"다른항목"});
    EXPECT_EQ(after.title, "macros");
    ASSERT_EQ(after.imageFolder.size(), 1u);
    EXPECT_EQ(after.imageFolder.begin()->first, "다른화면.bmp");
    EXPECT_EQ(after.soundFolder.at("종.wav"), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_FALSE(stagingLeft());
}

TEST_F(OpenFailures, ExchangeThatFailsPutsTheImageFolderBack) {
    const std::string path = folders.save + "/whole.dat";
    saveOther(path, false);
    // The sound cannot take its place: a folder stands under its name.
    const std::string wav = folders.sound + "/종.wav";
    ASSERT_TRUE(files::remove(wav));
    ASSERT_TRUE(files::makeFolder(wav));
    const Snapshot before = snapshot();
    EXPECT_FALSE(doc.open(path));
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{message::kSoundRestoreFailed});
    EXPECT_TRUE(snapshot() == before);
    EXPECT_FALSE(stagingLeft());
}

TEST_F(OpenFailures, BadAutosaveLeavesTheAnalyzerAndItsFolders) {
    const std::string path = folders.autosavePath();
    saveOther(path, true);
    damage(path);
    const Snapshot before = snapshot();
    dialogs.answers = {true};
    ASSERT_TRUE(doc.autosave().requestRestore());
    clock.advance(Autosave::kPaintDelayMs);
    EXPECT_EQ(doc.autosave().tick(), AutosaveTick::RestoreFailed);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{message::kOpenFailed});
    EXPECT_TRUE(snapshot() == before);
    EXPECT_FALSE(stagingLeft());
}

} // namespace
} // namespace quillon::editor
