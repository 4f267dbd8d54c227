// The real screen for the screenshot set: geometry from the window manager,
// pixels through the shared capture, the cursor from the system.
#pragma once

#include <string>

#include "capture/cursor.h"
#include "capture/screen_capture.h"
#include "shot/screenshot_set.h"

namespace quillon {

class SystemShotScreen final : public ShotScreen {
public:
    // `surfaces` stays owned by the caller; `displayDevice` names the device
    // context the cursor's bitmaps are read through (empty: the screen's).
    SystemShotScreen(CaptureSurfaces& surfaces, bool legacyCapture, std::string displayDevice);

    ShotGeometry readGeometry() override;
    CaptureResult capture(const Rect& rect, CapturedImage& image) override;
    std::unique_ptr<CursorSystem> openCursor() override;
    LocalTime localTime() override;

    CaptureMethod method() const { return capture_.method(); }

private:
    ScreenCapture capture_;
    std::string displayDevice_;
};

} // namespace quillon
