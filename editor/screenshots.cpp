#include "editor/screenshots.h"

#include <algorithm>
#include <cstring>

#include "analyzer/analyzer_file.h"
#include "analyzer/limits.h"
#include "base/file.h"
#include "base/text.h"
#include "editor/capture_modes.h"
#include "base/format_text.h"

namespace quillon::editor {

using namespace analyzer;
namespace msg = screenshot_message;

namespace {

static_assert(sizeof(CursorSample::maskBits) == kCursorBitsSize && sizeof(CursorSample::colourBits) == kCursorBitsSize);
static_assert(sizeof(CursorSample::maskHeader) == kBitmapHeaderSize);

std::string nameOf(const ScreenshotEntry& e) { return text::cp949ToUtf8(fixedText(e.name)); }

std::string bitmapPathOf(const EditorFolders& folders, const std::string& name) {
    return joinPath(folders.image, name + ".bmp");
}

int slotAtPosition(const AnalyzerImage& a, int position) {
    int count = std::clamp(a.screenshotCount, 0, kScreenshotCapacity);
    if (position < 0 || position >= count) {
        return -1;
    }
    int slot = a.screenshotOrder[position];
    return slot >= 0 && slot < kScreenshotCapacity ? slot : -1;
}

bool usableName(const std::string& name) {
    std::string cp949 = text::utf8ToCp949(name);
    return !name.empty() && cp949.size() < sizeof(ScreenshotEntry::name) && isSafeFileName(name + ".bmp") &&
           cp949.find('?') == std::string::npos;
}

// Another listed screenshot (not `exceptSlot`) of that name.
bool nameTaken(const AnalyzerImage& a, const std::string& name, int exceptSlot) {
    std::string cp949 = text::utf8ToCp949(name);
    for (int slot = 0; slot < kScreenshotCapacity; ++slot) {
        const ScreenshotEntry& e = a.screenshots[slot];
        if (e.used && slot != exceptSlot && fixedText(e.name) == cp949) {
            return true;
        }
    }
    return false;
}

int areasOf(const AnalyzerImage& a, int slot) {
    int n = 0;
    for (const RecognitionArea& area : a.areas) {
        n += area.used && area.screenshotSlot == slot ? 1 : 0;
    }
    return n;
}

int imagesOf(const AnalyzerModel& model, int slot) {
    int n = 0;
    for (int i = 0; i < kRecognitionImageCapacity; ++i) {
        const RecognitionImage* r = model.recognitionImage(i);
        n += r && r->screenshotSlot == slot ? 1 : 0;
    }
    return n;
}

void keepCursor(AnalyzerModel& model, const CursorImage& cursor, const CursorOffer& offerCursor, int chosenCursor,
                ImportResult& result) {
    AnalyzerImage& a = model.image();
    if (cursor.flags == 0 || a.cursorCount >= kCursorCapacity || !offerCursor) {
        return;
    }
    std::string proposed = defaultCursorName(a.nextCursorNumber);
    std::optional<std::string> chosen = offerCursor(cursor, proposed);
    if (!chosen) {
        return;
    }
    // The proposed name takes its number from the running counter.
    std::string name = *chosen == proposed ? std::string() : *chosen;
    // The list takes a new cursor after its current entry.
    a.currentCursor = chosenCursor >= 0 && chosenCursor < a.cursorCount ? chosenCursor : a.cursorCount - 1;
    int slot = -1;
    if (model.addCursor(static_cast<int32_t>(cursor.flags), name, slot).ok) {
        storeCursorImages(cursor, a.cursors[slot]);
        result.cursorSlot = slot;
    }
}

} // namespace

void storeCursorImages(const CursorImage& cursor, CursorSample& sample) {
    sample.parts = static_cast<int32_t>(cursor.flags);
    std::memset(sample.maskHeader, 0, sizeof sample.maskHeader);
    std::memset(sample.maskBits, 0, sizeof sample.maskBits);
    std::memset(sample.colourHeader, 0, sizeof sample.colourHeader);
    std::memset(sample.colourBits, 0, sizeof sample.colourBits);
    auto store = [](const DibInfoHeader& header, const std::vector<uint8_t>& bits, uint8_t* headerOut, uint8_t* bitsOut) {
        std::memcpy(headerOut, &header, kBitmapHeaderSize);
        if (!bits.empty()) std::memcpy(bitsOut, bits.data(), std::min(bits.size(), kCursorBitsSize));
    };
    if (cursor.flags & kCursorHasMask) store(cursor.maskHeader, cursor.maskBits, sample.maskHeader, sample.maskBits);
    if (cursor.flags & kCursorHasColour) {
        store(cursor.colourHeader, cursor.colourBits, sample.colourHeader, sample.colourBits);
    }
}

std::string proposedScreenshotName(const AnalyzerModel& model) {
    return formatText("불러온 이미지 %.2d", model.image().screenshotCount + 1);
}

ImportResult importScreenshot(AnalyzerModel& model, const EditorFolders& folders, const ImportRequest& request,
                              UserDialogs& dialogs, const CursorOffer& offerCursor) {
    ImportResult result;
    AnalyzerImage& a = model.image();
    if (!usableName(request.name)) {
        dialogs.warn(msg::kBadName);
        return result;
    }
    std::vector<uint8_t> settings;
    if (!files::readAtMost(files::withExtension(request.bitmapPath, "cfg"), kSettingsCopySize, settings)) {
        dialogs.warn(msg::kUnusableImage);
        return result;
    }
    const CaptureModes shotModes = captureModesOf(settings.data(), settings.size());
    const bool first = a.screenshotCount == 0;
    if (!first) {
        std::string refusal = captureModeRefusal(analyzerCaptureModes(a), shotModes);
        if (!refusal.empty()) {
            dialogs.warn(refusal);
            return result;
        }
    }

    int replaced = request.replaceCurrent ? slotAtPosition(a, a.currentScreenshot) : -1;
    if (nameTaken(a, request.name, replaced)) {
        dialogs.warn(msg::kNameTaken);
        return result;
    }
    if (replaced < 0 && a.screenshotCount >= kScreenshotCapacity) {
        dialogs.warn(message::kTooManyScreenshots);
        return result;
    }
    std::string oldName;
    if (replaced >= 0) {
        oldName = nameOf(a.screenshots[replaced]);
        std::string question = formatText("[%s]를 [%s]로 변경하시겠습니까?", oldName.c_str(), request.name.c_str());
        if (!dialogs.askYesNo(question)) {
            result.outcome = ImportOutcome::Cancelled;
            return result;
        }
    }

    const std::string target = bitmapPathOf(folders, request.name);
    if (!files::copy(request.bitmapPath, target)) {
        dialogs.warn(msg::kUnusableImage);
        return result;
    }
    int64_t size = files::sizeOf(target);
    if (size <= 0 || size > static_cast<int64_t>(INT32_MAX)) {
        files::remove(target);
        dialogs.warn(msg::kUnusableImage);
        return result;
    }

    // The cursor file: the position goes into the screenshot, the images read
    // whole are offered as a cursor sample. A missing file means no cursor; a
    // damaged part is left out and the user told, the set is kept.
    CursorImage capture;
    std::vector<uint8_t> cursorBytes;
    bool cursorDamaged = false;
    if (files::readAtMost(files::withExtension(request.bitmapPath, "dat"), kLargestCursorFile, cursorBytes)) {
        std::optional<CursorFile> file = readCursorFile(cursorBytes);
        cursorDamaged = !file || file->damaged;
        if (file) capture = std::move(file->image);
    }

    int slot = replaced;
    if (replaced >= 0) {
        ScreenshotEntry& e = a.screenshots[replaced];
        if (!e.erased && oldName != request.name) {
            files::remove(bitmapPathOf(folders, oldName));
        }
        std::string cp949 = text::utf8ToCp949(request.name);
        storeFixedText(e.name, cp949);
        storeFixedText(e.label, cp949);
        storeFixedText(e.path, text::utf8ToCp949(target));
        e.used = 1;
        e.erased = 0;
        e.fileSize = static_cast<int32_t>(size);
        e.cursorX = capture.position.x;
        e.cursorY = capture.position.y;
    } else {
        NewScreenshot shot;
        shot.name = request.name;
        shot.fileSize = static_cast<int32_t>(size);
        shot.cursorX = capture.position.x;
        shot.cursorY = capture.position.y;
        shot.path = target;
        Status added = model.addScreenshot(shot, slot);
        if (!added) {
            files::remove(target);
            dialogs.warn(added.message);
            return result;
        }
    }
    if (first) {
        storeAnalyzerCaptureModes(a, shotModes);
    }
    result.outcome = ImportOutcome::Imported;
    result.slot = slot;
    if (cursorDamaged) dialogs.warn(msg::kDamagedCursor);
    keepCursor(model, capture, offerCursor, request.chosenCursor, result);
    return result;
}

ScreenshotView showScreenshot(AnalyzerModel& model, const EditorFolders& folders, int position, UserDialogs& dialogs) {
    ScreenshotView view;
    AnalyzerImage& a = model.image();
    int slot = slotAtPosition(a, position);
    if (slot < 0) {
        return view;
    }
    const ScreenshotEntry& e = a.screenshots[slot];
    if (e.erased) {
        // A blank of the current screen size in its depth.
        ScreenshotBitmap& b = view.bitmap;
        b.width = std::clamp(a.screenshotWidth, 0, kLargestBitmapSide);
        b.height = std::clamp(a.screenshotHeight, 0, kLargestBitmapSide);
        b.bitsPerPixel = a.screenshotBitsPerPixel == 16 || a.screenshotBitsPerPixel == 24 ? a.screenshotBitsPerPixel : 32;
        b.stride = static_cast<int>(dibRowSize(b.width, b.bitsPerPixel));
        b.pixels.assign(static_cast<size_t>(b.stride) * static_cast<size_t>(b.height), kErasedFill);
        view.status = ShowStatus::Erased;
        view.cursorText = msg::kErasedCursorText;
        view.label = msg::kErasedLabel;
        return view;
    }
    std::optional<std::vector<uint8_t>> bytes = readFile(bitmapPathOf(folders, nameOf(e)));
    BitmapStatus status =
        bytes ? readScreenshotBitmap(bytes->data(), bytes->size(), view.bitmap) : BitmapStatus::Damaged;
    if (status == BitmapStatus::Unsupported) {
        dialogs.warn(msg::kUnsupported);
        view.status = ShowStatus::Unsupported;
        return view;
    }
    if (status != BitmapStatus::Ok) {
        dialogs.warn(msg::kMissingOrDamaged);
        view.status = ShowStatus::Missing;
        return view;
    }
    const ScreenshotBitmap& b = view.bitmap;
    a.screenshotWidth = b.width;
    a.screenshotHeight = b.height;
    a.screenshotBitsPerPixel = b.bitsPerPixel;
    // Recognition images cut from this screenshot that would lie outside it
    // are moved to (30, 30), keeping their size.
    model.moveImagesInside(b.width, b.height, slot);
    view.status = ShowStatus::Shown;
    view.cursorText = formatText("%.4d,%.4d", e.cursorX, e.cursorY);
    view.label = nameOf(e);
    return view;
}

std::optional<ScreenshotBitmap> readScreenshotOfSlot(const AnalyzerModel& model, const EditorFolders& folders,
                                                     int slot) {
    const AnalyzerImage& a = model.image();
    if (slot < 0 || slot >= kScreenshotCapacity || a.screenshots[slot].used != 1 || a.screenshots[slot].erased) {
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> bytes = readFile(bitmapPathOf(folders, nameOf(a.screenshots[slot])));
    ScreenshotBitmap bitmap;
    if (!bytes || readScreenshotBitmap(bytes->data(), bytes->size(), bitmap) != BitmapStatus::Ok) {
        return std::nullopt;
    }
    return bitmap;
}

ScreenshotDeletion deleteScreenshotAt(AnalyzerModel& model, const EditorFolders& folders, int position,
                                      UserDialogs& dialogs) {
    AnalyzerImage& a = model.image();
    int slot = slotAtPosition(a, position);
    if (slot < 0) {
        return ScreenshotDeletion::Refused;
    }
    ScreenshotEntry& e = a.screenshots[slot];
    const int areas = areasOf(a, slot);
    const int images = imagesOf(model, slot);
    const std::string name = nameOf(e);
    if (areas > 0 || images > 0) {
        if (e.erased) {
            dialogs.warn(areas > 0 ? msg::kAreasLeft : msg::kImagesLeft);
            return ScreenshotDeletion::Refused;
        }
        files::remove(bitmapPathOf(folders, name));
        e.erased = 1;
        e.fileSize = 0;
        e.recognitionImageCount = images;
        storeFixedText(e.label, text::utf8ToCp949(formatText("%s(X)(%d)", name.c_str(), images)));
        return ScreenshotDeletion::Erased;
    }
    if (!e.erased) {
        files::remove(bitmapPathOf(folders, name));
    }
    model.deleteScreenshot(position);
    if (a.screenshotCount == 0) {
        storeAnalyzerCaptureModes(a, {});
    }
    return ScreenshotDeletion::Removed;
}

bool renameScreenshotAt(AnalyzerModel& model, const EditorFolders& folders, int position, const std::string& name,
                        UserDialogs& dialogs) {
    AnalyzerImage& a = model.image();
    const int slot = slotAtPosition(a, position);
    if (slot < 0) {
        return false;
    }
    if (!usableName(name)) {
        dialogs.warn(msg::kBadName);
        return false;
    }
    if (nameTaken(a, name, slot)) {
        dialogs.warn(msg::kNameTaken);
        return false;
    }
    ScreenshotEntry& e = a.screenshots[slot];
    const std::string oldName = nameOf(e);
    if (oldName == name) {
        return true;
    }
    const std::string path = bitmapPathOf(folders, name);
    if (!e.erased) {
        // Copied first and the old file removed after, so a failure keeps the
        // screenshot's bitmap where its entry says.
        const std::string oldPath = bitmapPathOf(folders, oldName);
        if (!files::copy(oldPath, path)) {
            files::remove(path);
            dialogs.warn(msg::kRenameFailed);
            return false;
        }
        files::remove(oldPath);
    }
    storeFixedText(e.name, text::utf8ToCp949(name));
    storeFixedText(e.path, text::utf8ToCp949(path));
    if (e.erased) {
        model.markScreenshotErased(slot); // the label follows the name
    } else {
        storeFixedText(e.label, text::utf8ToCp949(name));
    }
    return true;
}

void clearImageFolder(const EditorFolders& folders) {
    for (const std::string& path : files::filesWithExtension(folders.image, ".bmp")) {
        files::remove(path);
    }
}

bool startNewAnalyzer(AnalyzerModel& model, const EditorFolders& folders, UserDialogs& dialogs,
                      const LocalTime& localNow, bool ask) {
    if (ask && !dialogs.askYesNo(msg::kNewAnalyzerQuestion)) {
        return false;
    }
    clearImageFolder(folders);
    model.reset();
    storeFixedText(model.image().name, text::utf8ToCp949(newAnalyzerTitle(localNow)));
    return true;
}

} // namespace quillon::editor
