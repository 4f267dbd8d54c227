#include "editor/side_panel.h"

#include <algorithm>

#include "base/format_text.h"
#include "base/text.h"
#include "editor/reference_checks.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

std::string utf8(std::string_view cp949) { return text::cp949ToUtf8(cp949); }

// The slot at a list position of an order array, or -1.
int slotAt(const int32_t* order, int32_t count, int capacity, int position) {
    const int listed = std::clamp(static_cast<int>(count), 0, capacity);
    if (position < 0 || position >= listed) {
        return -1;
    }
    const int slot = order[position];
    return slot >= 0 && slot < capacity ? slot : -1;
}

int screenshotPositionOf(const AnalyzerImage& a, int slot) {
    const int listed = std::clamp(static_cast<int>(a.screenshotCount), 0, kScreenshotCapacity);
    for (int position = 0; position < listed; ++position) {
        if (a.screenshotOrder[position] == slot) {
            return position;
        }
    }
    return -1;
}

} // namespace

std::vector<std::string> sideListLines(const AnalyzerModel& model, SideList list) {
    const AnalyzerImage& a = model.image();
    std::vector<std::string> lines;
    switch (list) {
    case SideList::Screenshots:
        for (int p = 0; p < std::clamp(static_cast<int>(a.screenshotCount), 0, kScreenshotCapacity); ++p) {
            const int slot = slotAt(a.screenshotOrder, a.screenshotCount, kScreenshotCapacity, p);
            if (slot < 0) {
                lines.emplace_back();
                continue;
            }
            // A file written elsewhere may leave the label empty: the name
            // stands in, with the erased mark when it is erased.
            const ScreenshotEntry& e = a.screenshots[slot];
            std::string label = utf8(fixedText(e.label));
            if (label.empty()) {
                label = utf8(fixedText(e.name));
                if (e.erased) appendFormat(label, "(X)(%d)", e.recognitionImageCount);
            }
            lines.push_back(label);
        }
        break;
    case SideList::RecognitionImages:
        for (int p = 0; p < std::clamp(static_cast<int>(a.recognitionImageCount), 0, kRecognitionImageCapacity);
             ++p) {
            const int slot = slotAt(a.recognitionImageOrder, a.recognitionImageCount, kRecognitionImageCapacity, p);
            const RecognitionImage* r = slot < 0 ? nullptr : model.recognitionImage(slot);
            lines.push_back(!r ? std::string()
                               : (r->pattern == 1 ? std::string("[패턴]") : std::string()) + utf8(fixedText(r->name)));
        }
        break;
    case SideList::Areas:
        for (int p = 0; p < std::clamp(static_cast<int>(a.areaCount), 0, kAreaCapacity); ++p) {
            const int slot = slotAt(a.areaOrder, a.areaCount, kAreaCapacity, p);
            lines.push_back(slot < 0 ? std::string() : utf8(fixedText(a.areas[slot].name)));
        }
        break;
    case SideList::Cursors:
        for (int p = 0; p < std::clamp(static_cast<int>(a.cursorCount), 0, kCursorCapacity); ++p) {
            const int slot = slotAt(a.cursorOrder, a.cursorCount, kCursorCapacity, p);
            lines.push_back(slot < 0 ? std::string() : utf8(fixedText(a.cursors[slot].name)));
        }
        break;
    }
    return lines;
}

std::optional<RecognitionImageDetails> recognitionImageDetails(const AnalyzerModel& model, int position) {
    const AnalyzerImage& a = model.image();
    const int slot = slotAt(a.recognitionImageOrder, a.recognitionImageCount, kRecognitionImageCapacity, position);
    const RecognitionImage* r = slot < 0 ? nullptr : model.recognitionImage(slot);
    if (!r) {
        return std::nullopt;
    }
    RecognitionImageDetails details;
    details.name = utf8(fixedText(r->name));
    details.width = r->width;
    details.height = r->height;
    details.centreX = r->centreX;
    details.centreY = r->centreY;
    details.centre = formatText("%d,%d", r->centreX, r->centreY);
    details.screenshotPosition = screenshotPositionOf(a, r->screenshotSlot);
    return details;
}

bool renameObjectAt(AnalyzerModel& model, SideList list, int position, const std::string& name) {
    std::string cp949 = text::utf8ToCp949(name);
    if (cp949.empty()) {
        return false;
    }
    AnalyzerImage& a = model.image();
    char* field = nullptr;
    size_t size = 0;
    switch (list) {
    case SideList::RecognitionImages: {
        const int slot = slotAt(a.recognitionImageOrder, a.recognitionImageCount, kRecognitionImageCapacity, position);
        if (RecognitionImage* r = slot < 0 ? nullptr : model.recognitionImage(slot)) {
            field = r->name;
            size = sizeof r->name;
        }
        break;
    }
    case SideList::Areas: {
        const int slot = slotAt(a.areaOrder, a.areaCount, kAreaCapacity, position);
        if (slot >= 0) {
            field = a.areas[slot].name;
            size = sizeof a.areas[slot].name;
        }
        break;
    }
    case SideList::Cursors: {
        const int slot = slotAt(a.cursorOrder, a.cursorCount, kCursorCapacity, position);
        if (slot >= 0) {
            field = a.cursors[slot].name;
            size = sizeof a.cursors[slot].name;
        }
        break;
    }
    case SideList::Screenshots:
        break; // the bitmap's file goes with the name: renameScreenshotAt
    }
    if (!field) {
        return false;
    }
    storeFixedText(field, std::min(size, kObjectNameLimit + 1), cp949);
    return true;
}

bool deleteAreaInsideAt(AnalyzerModel& model, int position, UserDialogs& dialogs) {
    const AnalyzerImage& a = model.image();
    const int slot = slotAt(a.areaOrder, a.areaCount, kAreaCapacity, position);
    if (slot < 0) {
        return false;
    }
    const RecognitionArea& area = a.areas[slot];
    if (area.left + area.width >= a.screenshotWidth || area.top + area.height >= a.screenshotHeight) {
        dialogs.warn(kAreaOutsideRefusal);
        return false;
    }
    return deleteAreaAt(model, position, dialogs);
}

} // namespace quillon::editor
