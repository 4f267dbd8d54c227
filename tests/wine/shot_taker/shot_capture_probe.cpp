// shot-capture-probe: one screenshot set taken the way shot-taker takes it,
// without the machine, for the Windows-side tests.
//
//   shot-capture-probe FOLDER full|framed|client [legacy] [noddraw] [nooffscreen] [repeat N]
//
// nooffscreen makes the off-screen copy fail, so the primary lock is used.
//
// Writes FOLDER\<time stamp>.bmp/.cfg/.dat and prints one line per shot:
//   method=M width=W height=H bits=B cursor=0|1 bitmap=PATH
// M is the capture method that produced the pixels (0 off-screen copy,
// 1 primary lock, 2 GDI). Exit code 0 when every shot was written.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "capture/screen_capture.h"
#include "shot/screenshot_set.h"
#include "shot/ui/shot_screen_win.h"

namespace {

// The system's surfaces with the off-screen copy refused.
class WithoutOffscreen final : public quillon::CaptureSurfaces {
public:
    explicit WithoutOffscreen(quillon::SystemCaptureSurfaces& system) : system_(system) {}
    int32_t screenWidth() override { return system_.screenWidth(); }
    int32_t screenHeight() override { return system_.screenHeight(); }
    bool createPrimary() override { return system_.createPrimary(); }
    bool copyToOffscreen(const quillon::Rect&, quillon::LockedSurface&) override { return false; }
    bool lockPrimary(const quillon::Rect& rect, quillon::LockedSurface& locked) override {
        return system_.lockPrimary(rect, locked);
    }
    bool unlockAndRelease() override { return system_.unlockAndRelease(); }
    void releaseDirectDraw() override { system_.releaseDirectDraw(); }
    quillon::CaptureResult captureGdi(const quillon::Rect& rect, quillon::CapturedImage& image) override {
        return system_.captureGdi(rect, image);
    }

private:
    quillon::SystemCaptureSurfaces& system_;
};

} // namespace

int main(int argc, char** argv) {
    using namespace quillon;
    if (argc < 3) {
        std::fprintf(stderr, "usage: shot-capture-probe FOLDER full|framed|client [legacy] [noddraw] [repeat N]\n");
        return 2;
    }
    ShotSettings settings;
    settings.programFolder = argv[1];
    settings.screenshotPath = "\\";
    std::string mode = argv[2];
    settings.mode = mode == "full" ? CaptureMode::FullScreen
                    : mode == "framed" ? CaptureMode::FramedWindow
                                       : CaptureMode::ClientWindow;
    bool legacy = false, directDraw = true, offscreen = true;
    int repeat = 1;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "legacy") == 0) {
            legacy = true;
        } else if (std::strcmp(argv[i], "nooffscreen") == 0) {
            offscreen = false;
        } else if (std::strcmp(argv[i], "noddraw") == 0) {
            directDraw = false;
        } else if (std::strcmp(argv[i], "repeat") == 0 && i + 1 < argc) {
            repeat = std::atoi(argv[++i]);
        }
    }
    SystemCaptureSurfaces surfaces;
    if (directDraw) {
        bool prepared = surfaces.prepare({0, 0, 16, 16});
        std::printf("directdraw=%d\n", prepared ? 1 : 0);
    }
    WithoutOffscreen withoutOffscreen(surfaces);
    CaptureSurfaces& used = offscreen ? static_cast<CaptureSurfaces&>(surfaces) : withoutOffscreen;
    SystemShotScreen screen(used, legacy, "DISPLAY");
    std::vector<uint8_t> block(kSettingsCopySize, 0x5A);
    int failures = 0;
    for (int i = 0; i < repeat; ++i) {
        DWORD started = GetTickCount();
        ShotReport report = takeScreenshotSet(screen, settings, block);
        DWORD took = GetTickCount() - started;
        if (report.outcome != ShotOutcome::Written) {
            std::printf("failed outcome=%d capture=%d path=%s\n", static_cast<int>(report.outcome),
                        static_cast<int>(report.capture), report.failedPath.c_str());
            ++failures;
            continue;
        }
        std::printf("method=%d width=%d height=%d bits=%d cursor=%d ms=%lu bitmap=%s\n",
                    static_cast<int>(report.method), report.width, report.height, report.bitsPerPixel,
                    report.cursorRecorded ? 1 : 0, static_cast<unsigned long>(took), report.files.bitmap.c_str());
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
