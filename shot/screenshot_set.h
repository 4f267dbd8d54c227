// One screenshot set, from the capture signal to the three files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shot/capture_area.h"
#include "screenshots/screenshot_files.h"

namespace quillon {

// What the shot needs of the screen and the system; the Win32 program passes
// the real screen, tests a scripted one.
class ShotScreen {
public:
    virtual ~ShotScreen() = default;
    // Screen size, desktop, foreground window and cursor position.
    virtual ShotGeometry readGeometry() = 0;
    // Pixels of the clamped rectangle, with the method rules of ScreenCapture.
    virtual CaptureResult capture(const Rect& rect, CapturedImage& image) = 0;
    // The system's cursor, for one shot (held at the signal, see ShotMoment).
    virtual std::unique_ptr<CursorSystem> openCursor() = 0;
    virtual LocalTime localTime() = 0;
};

// The moment the capture signal is handled, read in one go before the
// pixels (which take tens of milliseconds): the screen and GetCursorPos, the
// cursor's showing flag, drawing position and bitmaps, and the time that names
// the set. The cursor file records this moment: where the cursor was, whether
// it is recorded and how it looked all belong together, whatever the mouse
// does while the screen is read.
struct ShotMoment {
    ShotGeometry geometry;
    CursorImage cursor;      // its bitmaps only when recorded, once the capture's depth is known
    bool cursorRead = false; // the cursor's information could be had
    LocalTime time;
};

// Settings and names the shot uses, taken from the start-up data.
struct ShotSettings {
    CaptureMode mode = CaptureMode::ClientWindow;
    std::string programFolder;  // the folder the base name starts with: UTF-8, no trailing separator
    std::string screenshotPath; // after the folder, before the time stamp ("\\ImageSave\\")
    std::string bitmapExtension = "bmp";
    std::string settingsExtension = "cfg";
    std::string cursorExtension = "dat";
};

// Screenshot sets go into the user's screenshot folder, the one that
// analyzer-editor's import dialog opens (base/user_folders.h): the base name
// starts with the data folder, then "\\ImageSave\\".
void placeScreenshotsIn(ShotSettings& settings, const std::string& dataFolder);

enum class ShotOutcome {
    Written,        // the three files are there
    NothingToTake,  // no foreground window, or it lies off the screen
    CaptureFailed,  // the screen could not be read (ends the capture thread)
    WriteFailed,    // a file could not be written: the set is incomplete
};

struct ShotReport {
    ShotOutcome outcome = ShotOutcome::Written;
    CaptureResult capture = CaptureResult::Ok;
    ScreenshotFileNames files;
    std::string failedPath; // the file or folder that could not be written
    CaptureMethod method = CaptureMethod::OffscreenCopy;
    int32_t width = 0, height = 0, bitsPerPixel = 0;
    bool cursorRecorded = false;
    Point cursorPosition; // as written into the cursor file
};

// Takes one shot and writes its set (bitmap, settings copy, cursor file).
// A second shot within the same second writes the same names and replaces
// the first set. The screenshot folder is made when it is missing.
ShotReport takeScreenshotSet(ShotScreen& screen, const ShotSettings& settings,
                             const std::vector<uint8_t>& settingsBlock);

} // namespace quillon
