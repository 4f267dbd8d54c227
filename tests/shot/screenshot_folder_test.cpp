// shot-taker writes its sets where analyzer-editor's import dialog opens, for
// the same installation, with or without a local application data folder.
#include <gtest/gtest.h>

#include <string>

#include "base/user_folders.h"
#include "editor/folders.h"
#include "screenshots/screenshot_files.h"
#include "shot/screenshot_set.h"

namespace quillon {
namespace {

TEST(ScreenshotFolder, ShotTakerWritesWhereTheEditorImports) {
    const std::string program = "C:\\Program Files\\Quillon";
    for (const std::string local : {"C:\\Users\\사용자\\AppData\\Local", "D:\\Local\\", ""}) {
        SCOPED_TRACE(local);
        const std::string data = userDataFolder(program, local);
        ShotSettings settings;
        placeScreenshotsIn(settings, data);
        LocalTime time;
        time.year = 2016, time.month = 3, time.day = 7, time.hour = 9, time.minute = 5, time.second = 2;
        const std::string base = screenshotBaseName(settings.programFolder, settings.screenshotPath, time);
        const std::string folder = base.substr(0, base.find_last_of("\\/"));
        EXPECT_EQ(folder, editor::EditorFolders::under(data).imageSave);
        EXPECT_EQ(base.substr(folder.size() + 1), "20160307090502");
    }
    EXPECT_EQ(userDataFolder(program, ""), program) << "no local folder: the program's own";
    EXPECT_EQ(userDataFolder(program, "C:\\L"), "C:\\L\\Quillon");
}

// The folders the start-up data names: inside the data folder unless the
// name is absolute; no trailing separator either way.
TEST(ScreenshotFolder, NamedFoldersLieInTheDataFolderUnlessAbsolute) {
    const struct {
        const char* name;
        const char* folder;
    } cases[] = {
        {"Analyzer", "C:\\L\\Quillon\\Analyzer"},
        {"Sound\\", "C:\\L\\Quillon\\Sound"},
        {"D:\\Mine\\", "D:\\Mine"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"", "C:\\L\\Quillon"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namedUserFolder("C:\\L\\Quillon", c.name), c.folder) << c.name;
    }
}

} // namespace
} // namespace quillon
