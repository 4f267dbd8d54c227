#include "shot/screenshot_set.h"

#include <filesystem>
#include <system_error>

#include "base/file.h"
#include "base/user_folders.h"

namespace quillon {
namespace {

std::filesystem::path pathOf(const std::string& utf8) {
    std::u8string text(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size());
    return std::filesystem::path(text);
}

// The folder that the base name lies in, made when missing. False when it is
// not there afterwards.
bool ensureFolderOf(const std::string& file) {
    std::string folder = folderOf(file);
    if (folder.empty()) {
        return true;
    }
    try {
        std::error_code error;
        std::filesystem::path path = pathOf(folder);
        if (std::filesystem::is_directory(path, error)) {
            return true;
        }
        std::filesystem::create_directories(path, error);
        return std::filesystem::is_directory(path, error);
    } catch (const std::exception&) {
        return false; // a name the system cannot spell
    }
}

bool writeWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
    return writeFileAtomic(path, bytes.data(), bytes.size());
}

} // namespace

ShotReport takeScreenshotSet(ShotScreen& screen, const ShotSettings& settings,
                             const std::vector<uint8_t>& settingsBlock) {
    ShotReport report;
    ShotMoment moment;
    moment.geometry = screen.readGeometry();
    std::unique_ptr<CursorSystem> cursorSystem = screen.openCursor();
    HeldCursor held(*cursorSystem);
    moment.cursorRead = held.hold(moment.cursor);
    moment.time = screen.localTime();

    std::optional<CaptureArea> area = captureArea(moment.geometry, settings.mode);
    if (!area) {
        report.outcome = ShotOutcome::NothingToTake;
        return report;
    }
    // Whether the cursor travels with the shot is decided on the moment too.
    const bool cursorInside = moment.cursorRead && cursorIsRecorded(moment.cursor, area->rect);

    CapturedImage image;
    report.capture = screen.capture(area->rect, image);
    if (report.capture != CaptureResult::Ok) {
        report.outcome = report.capture == CaptureResult::BadRectangle ? ShotOutcome::NothingToTake
                                                                        : ShotOutcome::CaptureFailed;
        return report;
    }
    report.method = image.method;
    report.width = image.width;
    report.height = image.height;
    report.bitsPerPixel = image.bitsPerPixel;

    // The bitmaps held at the signal, in the depth of the bitmap file.
    if (cursorInside) {
        held.takeBitmaps(image.bitsPerPixel, moment.cursor);
    }
    report.cursorRecorded = cursorInside && moment.cursor.flags != 0;
    report.cursorPosition = report.cursorRecorded ? area->cursor : Point{};

    std::string base = screenshotBaseName(settings.programFolder, settings.screenshotPath, moment.time);
    report.files = screenshotFileNames(base, settings.bitmapExtension, settings.settingsExtension,
                                       settings.cursorExtension);
    if (!ensureFolderOf(base)) {
        report.outcome = ShotOutcome::WriteFailed;
        report.failedPath = folderOf(base);
        return report;
    }
    std::vector<uint8_t> bitmap = buildBitmapFile(image);
    image.pixels = {};
    if (!writeWhole(report.files.bitmap, bitmap)) {
        report.outcome = ShotOutcome::WriteFailed;
        report.failedPath = report.files.bitmap;
        return report;
    }
    bitmap = {};
    if (!writeWhole(report.files.settings, settingsBlock)) {
        report.outcome = ShotOutcome::WriteFailed;
        report.failedPath = report.files.settings;
        return report;
    }
    std::vector<uint8_t> cursorFile =
        buildCursorFile(report.cursorPosition, report.cursorRecorded ? &moment.cursor : nullptr);
    if (!writeWhole(report.files.cursor, cursorFile)) {
        report.outcome = ShotOutcome::WriteFailed;
        report.failedPath = report.files.cursor;
        return report;
    }
    report.outcome = ShotOutcome::Written;
    return report;
}

void placeScreenshotsIn(ShotSettings& settings, const std::string& dataFolder) {
    // The folder as the editor names it, separators and all.
    const std::string folder = screenshotFolder(dataFolder);
    const std::string rest = folder.substr(dataFolder.size());
    const char separator = rest.front() == '\\' || rest.front() == '/' ? rest.front()
                           : dataFolder.empty() ? '\\' : dataFolder.back();
    settings.programFolder = dataFolder;
    settings.screenshotPath = rest + separator;
}

} // namespace quillon
