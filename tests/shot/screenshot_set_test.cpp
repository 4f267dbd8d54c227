#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "base/file.h"
#include "shot/screenshot_set.h"
#include "shot_test_helpers.h"
#include "tests/base/save_faults.h"

namespace quillon {
namespace {

using shot_test::FakeSurface;

// The screen and the mouse as a scripted user leaves them; `duringCapture`
// runs while the pixels are read (the user goes on moving the mouse).
class FakeScreen : public ShotScreen {
public:
    FakeSurface surface{320, 200, 32};
    ShotGeometry geometry;
    CursorImage cursor;
    LocalTime time{.year = 2016, .month = 3, .day = 7, .hour = 9, .minute = 5, .second = 2};
    std::function<void()> duringCapture;
    int captures = 0;

    FakeScreen() {
        geometry.screenWidth = 320;
        geometry.screenHeight = 200;
        geometry.desktop = {0, 0, 320, 200};
        geometry.hasForeground = true;
        geometry.window = {20, 10, 220, 160};
        geometry.client = {24, 30, 216, 156};
        geometry.cursor = {100, 80};
        cursor.showing = true;
        cursor.position = {100, 80};
        cursor.hotSpot = {1, 1};
        cursor.flags = kCursorHasMask;
        cursor.maskHeader.width = 32;
        cursor.maskHeader.height = 64;
        cursor.maskHeader.bitCount = 32;
        cursor.maskHeader.imageSize = 128 * 64;
        cursor.maskBits.assign(128 * 64, 0x3C);
    }
    ShotGeometry readGeometry() override { return geometry; }
    CaptureResult capture(const Rect& rect, CapturedImage& image) override {
        ++captures;
        if (duringCapture) {
            duringCapture();
        }
        copySurfaceRows(surface.lockedAt(rect.left, rect.top), rect.width(), rect.height(), image);
        image.method = CaptureMethod::Gdi;
        return CaptureResult::Ok;
    }
    // Like the system: the icon's bitmaps are copied when it is asked for.
    class Cursor : public CursorSystem {
    public:
        explicit Cursor(const CursorImage& live) : live_(live) {}
        bool cursorInfo(Point& position, bool& showing) override {
            position = live_.position;
            showing = live_.showing;
            return true;
        }
        bool iconInfo(Point& hotSpot) override {
            icon_ = live_;
            hotSpot = icon_.hotSpot;
            return true;
        }
        bool readIconBitmap(bool colour, int32_t, DibInfoHeader& header, std::vector<uint8_t>& bits) override {
            if (!(icon_.flags & (colour ? kCursorHasColour : kCursorHasMask))) {
                return false;
            }
            header = colour ? icon_.colourHeader : icon_.maskHeader;
            bits = colour ? icon_.colourBits : icon_.maskBits;
            return true;
        }
        void releaseIcon() override { icon_ = {}; }

    private:
        const CursorImage& live_;
        CursorImage icon_;
    };
    std::unique_ptr<CursorSystem> openCursor() override { return std::make_unique<Cursor>(cursor); }
    LocalTime localTime() override { return time; }
};

class ScreenshotSet : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("quillon-shot-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        settings.mode = CaptureMode::ClientWindow;
        settings.programFolder = folder.string();
        settings.screenshotPath = "/ScreenShot/";
        block.resize(kSettingsCopySize);
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<uint8_t>(i % 253);
        }
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::vector<uint8_t> read(const std::string& path) { return readFile(path).value_or(std::vector<uint8_t>{}); }

    std::filesystem::path folder;
    ShotSettings settings;
    std::vector<uint8_t> block;
    FakeScreen screen;
};

TEST_F(ScreenshotSet, WritesThreeFilesWithOneBaseName) {
    ShotReport report = takeScreenshotSet(screen, settings, block);
    ASSERT_EQ(report.outcome, ShotOutcome::Written) << report.failedPath;
    std::string base = folder.string() + "/ScreenShot/20160307090502";
    EXPECT_EQ(report.files.bitmap, base + ".bmp");
    EXPECT_EQ(report.files.settings, base + ".cfg");
    EXPECT_EQ(report.files.cursor, base + ".dat");

    auto bitmap = read(report.files.bitmap);
    auto view = readBitmapFile(bitmap);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->width, 192);
    EXPECT_EQ(view->height, 126);
    EXPECT_EQ(0, std::memcmp(view->pixels, screen.surface.lockedAt(24, 30).bits, 192 * 4));

    EXPECT_EQ(read(report.files.settings), block);

    auto cursor = readCursorFile(read(report.files.cursor));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->image.position.x, 76) << "GetCursorPos relative to the client area";
    EXPECT_EQ(cursor->image.position.y, 50);
    EXPECT_EQ(cursor->image.flags, 1u);
    EXPECT_EQ(cursor->image.maskBits, screen.cursor.maskBits);
    EXPECT_TRUE(report.cursorRecorded);
}

TEST_F(ScreenshotSet, CursorOutsideTheRectangleGivesTheShortCursorFile) {
    struct Case {
        const char* what;
        bool showing;
        Point draw;
    } cases[] = {
        {"hidden", false, {99, 79}},
        {"on the left edge", true, {24, 79}},
        {"outside", true, {250, 79}},
    };
    for (const Case& c : cases) {
        screen.cursor.showing = c.showing;
        screen.cursor.position = {c.draw.x + 1, c.draw.y + 1};
        ShotReport report = takeScreenshotSet(screen, settings, block);
        ASSERT_EQ(report.outcome, ShotOutcome::Written) << c.what;
        EXPECT_EQ(read(report.files.cursor), std::vector<uint8_t>(12, 0)) << c.what;
    }
}

// The mouse moves, changes shape or hides while the screen is read: the
// cursor file holds where it was, how it looked and whether it showed when the
// signal came, all from that one moment.
TEST_F(ScreenshotSet, TheCursorFileHoldsTheMomentOfTheSignal) {
    const std::vector<uint8_t> arrow = screen.cursor.maskBits;
    struct Case {
        const char* what;
        bool showingAtSignal;
        std::function<void(FakeScreen&)> meanwhile;
        std::vector<uint8_t> expected; // empty: the 12-byte file of an unrecorded cursor
    } cases[] = {
        {"moves out of the window",
         true,
         [](FakeScreen& s) {
             s.geometry.cursor = s.cursor.position = {300, 190};
         },
         arrow},
        {"turns into another shape",
         true,
         [](FakeScreen& s) {
             s.cursor.maskBits.assign(s.cursor.maskBits.size(), 0xA5);
             s.cursor.flags = kCursorHasMask | kCursorHasColour;
             s.cursor.colourHeader = s.cursor.maskHeader;
             s.cursor.colourBits = s.cursor.maskBits;
         },
         arrow},
        {"hides", true, [](FakeScreen& s) { s.cursor.showing = false; }, arrow},
        {"shows only after the signal", false, [](FakeScreen& s) { s.cursor.showing = true; }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeScreen fresh;
        fresh.cursor.showing = c.showingAtSignal;
        fresh.duringCapture = [&fresh, &c] { c.meanwhile(fresh); };
        ShotReport report = takeScreenshotSet(fresh, settings, block);
        ASSERT_EQ(report.outcome, ShotOutcome::Written);
        auto file = readCursorFile(read(report.files.cursor));
        ASSERT_TRUE(file);
        EXPECT_EQ(report.cursorRecorded, !c.expected.empty());
        if (c.expected.empty()) {
            EXPECT_EQ(file->image.flags, 0u);
            EXPECT_EQ(file->image.position.x, 0);
            continue;
        }
        EXPECT_EQ(file->image.position.x, 76);
        EXPECT_EQ(file->image.position.y, 50);
        EXPECT_EQ(file->image.flags, kCursorHasMask);
        EXPECT_EQ(file->image.maskBits, c.expected);
    }
}

TEST_F(ScreenshotSet, SecondShotInTheSameSecondReplacesTheSet) {
    settings.mode = CaptureMode::FullScreen;
    ShotReport first = takeScreenshotSet(screen, settings, block);
    ASSERT_EQ(first.outcome, ShotOutcome::Written);
    EXPECT_EQ(read(first.files.bitmap).size(), 122u + 319 * 199 * 4);

    settings.mode = CaptureMode::FramedWindow;
    block[1216] = 1;
    ShotReport second = takeScreenshotSet(screen, settings, block);
    ASSERT_EQ(second.outcome, ShotOutcome::Written);
    EXPECT_EQ(second.files.bitmap, first.files.bitmap);
    auto view = readBitmapFile(read(second.files.bitmap));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->width, 200);
    EXPECT_EQ(view->height, 150);
    EXPECT_EQ(read(second.files.settings), block);
    size_t files = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder / "ScreenShot")) {
        ++files;
    }
    EXPECT_EQ(files, 3u) << "no temporary files are left behind";
}

TEST_F(ScreenshotSet, AFailedStepLeavesEachFileOfTheSetWholeAndIsReported) {
    ShotReport first = takeScreenshotSet(screen, settings, block);
    ASSERT_EQ(first.outcome, ShotOutcome::Written);
    settings.mode = CaptureMode::FramedWindow;
    block[1216] = 1;
    const int points = testing::failEveryStep(
        {(folder / "ScreenShot").string(),
         {first.files.bitmap, first.files.settings, first.files.cursor},
         "",
         [&] {
             ShotReport report = takeScreenshotSet(screen, settings, block);
             return testing::SaveAttempt{report.outcome == ShotOutcome::Written, report.failedPath};
         }});
    // Four steps for each of the three files; the report names the failing one.
    EXPECT_EQ(points, 12);
    EXPECT_EQ(read(first.files.settings), block);
}

TEST_F(ScreenshotSet, AMissingScreenshotFolderIsMade) {
    settings.screenshotPath = "/New/Shots/";
    ShotReport report = takeScreenshotSet(screen, settings, block);
    ASSERT_EQ(report.outcome, ShotOutcome::Written);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "New" / "Shots" / "20160307090502.bmp"));
}

TEST_F(ScreenshotSet, AnUnwritableFolderIsReportedNotHidden) {
    // A file where the screenshot folder should be: nothing can be made there.
    std::ofstream(folder / "ScreenShot") << "in the way";
    ShotReport report = takeScreenshotSet(screen, settings, block);
    EXPECT_EQ(report.outcome, ShotOutcome::WriteFailed);
    EXPECT_EQ(report.failedPath, folder.string() + "/ScreenShot");
}

TEST_F(ScreenshotSet, NothingIsCapturedOrWrittenWithoutAWindow) {
    screen.geometry.hasForeground = false;
    ShotReport report = takeScreenshotSet(screen, settings, block);
    EXPECT_EQ(report.outcome, ShotOutcome::NothingToTake);
    EXPECT_EQ(screen.captures, 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "ScreenShot"));
}

} // namespace
} // namespace quillon
