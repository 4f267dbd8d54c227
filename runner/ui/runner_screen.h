// The Windows screen the interpreter looks at.
#pragma once

#include <string>

#include "runner/screen.h"
#include "capture/screen_capture.h"

namespace quillon::runner_ui {

class RunnerScreen final : public runner::Screen {
public:
    RunnerScreen(bool legacyCapture, std::string displayDevice);

    // DirectDraw's start, done once when the main window opens.
    bool prepare();
    CaptureMethod method() const { return capture_.method(); }

    runner::Size screenSize() override;
    bool targetRect(runner::CaptureTarget target, runner::Rect& rect) override;
    runner::CopyResult copyPixels(int left, int top, int width, int height, uint8_t* pixels, size_t capacity,
                                  int& bitsPerPixel) override;
    bool readCursor(CursorImage& image) override;

private:
    SystemCaptureSurfaces surfaces_;
    ScreenCapture capture_;
    CapturedImage image_;
    std::string displayDevice_;
};

} // namespace quillon::runner_ui
