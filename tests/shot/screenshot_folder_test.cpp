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

} // namespace
} // namespace quillon
