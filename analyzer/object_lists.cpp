// Adding and deleting the listed objects: fixed slots with a used flag plus an
// order array of slot numbers that gives the list (and file) order.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "analyzer/limits.h"
#include "analyzer/model.h"
#include "base/format_text.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

void insertInOrder(int32_t* order, int32_t& count, int position, int32_t slot) {
    std::memmove(order + position + 1, order + position, sizeof(int32_t) * static_cast<size_t>(count - position));
    order[position] = slot;
    ++count;
}

// Removes the entry at `position`; the current position moves back one.
bool removeFromOrder(int32_t* order, int32_t& count, int32_t& current, int position, int32_t& slot) {
    if (position < 0 || position >= count) {
        return false;
    }
    slot = order[position];
    std::memmove(order + position, order + position + 1, sizeof(int32_t) * static_cast<size_t>(count - position - 1));
    order[--count] = 0;
    current = position > 0 ? position - 1 : 0;
    return true;
}

template <class Slot>
int lowestFreeSlot(const Slot* slots, int capacity) {
    for (int i = 0; i < capacity; ++i) {
        if (slots[i].used == 0) {
            return i;
        }
    }
    return -1;
}

std::string cp949(std::string_view utf8) { return text::utf8ToCp949(utf8); }

} // namespace

Status AnalyzerModel::addScreenshot(const NewScreenshot& shot, int& slot) {
    AnalyzerImage& a = *image_;
    slot = a.screenshotCount < kScreenshotCapacity ? lowestFreeSlot(a.screenshots, kScreenshotCapacity) : -1;
    if (slot < 0) {
        return Status::failure(message::kTooManyScreenshots);
    }
    ScreenshotEntry& e = a.screenshots[slot];
    std::memset(&e, 0, sizeof e);
    e.used = 1;
    e.fileSize = shot.fileSize;
    e.cursorX = shot.cursorX;
    e.cursorY = shot.cursorY;
    storeFixedText(e.name, cp949(shot.name));
    storeFixedText(e.label, cp949(shot.name));
    storeFixedText(e.path, cp949(shot.path));
    insertInOrder(a.screenshotOrder, a.screenshotCount, a.screenshotCount, slot);
    a.currentScreenshot = a.screenshotCount - 1;
    return Status::success();
}

Status AnalyzerModel::addRecognitionImage(const NewRecognitionImage& spec, int& slot) {
    AnalyzerImage& a = *image_;
    slot = -1;
    if (spec.width <= 0 || spec.height <= 0) {
        return Status::failure(message::kBadImageSize);
    }
    if (spec.width > kRecognitionImageMaxSide || spec.height > kRecognitionImageMaxSide) {
        return Status::failure(formatText(message::kImageTooLarge, kRecognitionImageMaxSide));
    }
    if (spec.width % 2 == 0 || spec.height % 2 == 0) {
        return Status::failure(message::kImageSizeNotOdd);
    }
    int left = spec.centreX - spec.width / 2, right = spec.centreX + spec.width / 2;
    int top = spec.centreY - spec.height / 2, bottom = spec.centreY + spec.height / 2;
    if (left < 0 || top < 0 || right >= a.screenshotWidth || bottom >= a.screenshotHeight) {
        return Status::failure(message::kImageOutsideScreen);
    }
    if (a.recognitionImageCount >= kRecognitionImageCapacity) {
        return Status::failure(formatText(message::kTooManyRecognitionImages, kRecognitionImageCapacity));
    }
    int free = -1;
    for (int i = 0; i < kRecognitionImageCapacity && free < 0; ++i) {
        if (!recognitionImages_[i]) {
            free = i;
        }
    }
    if (free < 0) {
        return Status::failure(formatText(message::kTooManyRecognitionImages, kRecognitionImageCapacity));
    }
    auto block = allocateZeroed<RecognitionImage>();
    if (!block) {
        return Status::failure(message::kImageAllocationFailed);
    }
    RecognitionImage& r = *block;
    r.used = 1;
    r.pattern = spec.pattern ? 1 : 0;
    r.centreX = spec.centreX;
    r.centreY = spec.centreY;
    r.width = spec.width;
    r.height = spec.height;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    r.screenshotSlot = spec.screenshotSlot;
    std::string name = spec.name.empty() ? defaultRecognitionImageName(a.nextRecognitionImageNumber++) : spec.name;
    storeFixedText(r.name, cp949(name));
    recognitionImages_[free] = std::move(block);
    if (spec.screenshotSlot >= 0 && spec.screenshotSlot < kScreenshotCapacity) {
        ++a.screenshots[spec.screenshotSlot].recognitionImageCount;
    }
    insertInOrder(a.recognitionImageOrder, a.recognitionImageCount, a.recognitionImageCount, free);
    a.currentRecognitionImage = a.recognitionImageCount - 1;
    slot = free;
    return Status::success();
}

Status AnalyzerModel::addNumberPack(std::string_view name, int& slot) {
    AnalyzerImage& a = *image_;
    slot = -1;
    int free = -1;
    for (int i = 0; i < kNumberPackCapacity && free < 0; ++i) {
        if (!numberPacks_[i]) {
            free = i;
        }
    }
    if (free < 0 || a.numberPackCount >= kNumberPackCapacity) {
        return Status::failure(""); // the editor shows no message here
    }
    auto block = allocateZeroed<NumberPack>();
    if (!block) {
        return Status::failure(message::kAllocationFailed);
    }
    block->used = 1;
    bool useDefault = name.empty() || name.starts_with("숫자샘플팩");
    std::string chosen = useDefault ? defaultNumberPackName(a.nextNumberPackNumber++) : std::string(name);
    storeFixedText(block->name, cp949(chosen));
    numberPacks_[free] = std::move(block);
    insertInOrder(a.numberPackOrder, a.numberPackCount, a.numberPackCount, free);
    a.currentNumberPack = a.numberPackCount - 1;
    slot = free;
    return Status::success();
}

Status AnalyzerModel::addArea(int mouseX, int mouseY, int screenshotSlot, std::string_view name, int& slot) {
    AnalyzerImage& a = *image_;
    constexpr int kSide = 150, kHalf = kSide / 2;
    slot = a.areaCount < kAreaCapacity ? lowestFreeSlot(a.areas, kAreaCapacity) : -1;
    if (slot < 0) {
        return Status::failure(formatText(message::kTooManyAreas, kAreaCapacity));
    }
    // Centred on the mouse, pulled back so that the centre plus half the side
    // stays below the screenshot's width and height.
    int centreX = std::min(mouseX, a.screenshotWidth - kHalf - 1);
    int centreY = std::min(mouseY, a.screenshotHeight - kHalf - 1);
    RecognitionArea& r = a.areas[slot];
    std::memset(&r, 0, sizeof r);
    r.used = 1;
    r.left = centreX - kHalf;
    r.top = centreY - kHalf;
    r.width = kSide;
    r.height = kSide;
    r.screenshotSlot = screenshotSlot;
    std::string chosen = name.empty() ? defaultAreaName(a.nextAreaNumber++) : std::string(name);
    storeFixedText(r.name, cp949(chosen));
    insertInOrder(a.areaOrder, a.areaCount, a.areaCount, slot);
    a.currentArea = a.areaCount - 1;
    return Status::success();
}

Status AnalyzerModel::addFillPatch(int left, int top, int screenshotSlot, uint32_t colour, int& slot) {
    AnalyzerImage& a = *image_;
    slot = lowestFreeSlot(a.fillPatches, kFillPatchCapacity);
    if (slot < 0) {
        return Status::failure(message::kTooManyFillPatches);
    }
    FillPatch& p = a.fillPatches[slot];
    std::memset(&p, 0, sizeof p);
    p.used = 1;
    p.left = left;
    p.top = top;
    p.width = 101;
    p.height = 21;
    p.screenshotSlot = screenshotSlot;
    p.colour = colour;
    return Status::success();
}

Status AnalyzerModel::addCursor(int32_t parts, std::string_view name, int& slot) {
    AnalyzerImage& a = *image_;
    slot = a.cursorCount < kCursorCapacity ? lowestFreeSlot(a.cursors, kCursorCapacity) : -1;
    if (slot < 0) {
        return Status::failure(""); // the editor shows no message here
    }
    CursorSample& c = a.cursors[slot];
    std::memset(&c, 0, sizeof c);
    c.used = 1;
    c.parts = parts;
    std::string chosen = name.empty() ? defaultCursorName(a.nextCursorNumber++) : std::string(name);
    storeFixedText(c.name, cp949(chosen));
    // A new cursor goes just after the current entry.
    int position = a.cursorCount == 0 ? 0 : std::clamp(a.currentCursor + 1, 0, a.cursorCount);
    insertInOrder(a.cursorOrder, a.cursorCount, position, slot);
    a.currentCursor = position;
    return Status::success();
}

bool AnalyzerModel::deleteScreenshot(int position) {
    AnalyzerImage& a = *image_;
    int32_t slot = 0;
    if (!removeFromOrder(a.screenshotOrder, a.screenshotCount, a.currentScreenshot, position, slot)) {
        return false;
    }
    std::memset(&a.screenshots[slot], 0, sizeof(ScreenshotEntry));
    return true;
}

bool AnalyzerModel::deleteRecognitionImage(int position) {
    AnalyzerImage& a = *image_;
    int32_t slot = 0;
    if (!removeFromOrder(a.recognitionImageOrder, a.recognitionImageCount, a.currentRecognitionImage, position,
                         slot)) {
        return false;
    }
    if (RecognitionImage* r = recognitionImage(slot)) {
        int shot = r->screenshotSlot;
        if (shot >= 0 && shot < kScreenshotCapacity && a.screenshots[shot].recognitionImageCount > 0) {
            --a.screenshots[shot].recognitionImageCount;
        }
    }
    recognitionImages_[slot].reset();
    return true;
}

bool AnalyzerModel::deleteNumberPack(int position) {
    AnalyzerImage& a = *image_;
    int32_t slot = 0;
    if (!removeFromOrder(a.numberPackOrder, a.numberPackCount, a.currentNumberPack, position, slot)) {
        return false;
    }
    numberPacks_[slot].reset();
    return true;
}

bool AnalyzerModel::deleteArea(int position) {
    AnalyzerImage& a = *image_;
    int32_t slot = 0;
    if (!removeFromOrder(a.areaOrder, a.areaCount, a.currentArea, position, slot)) {
        return false;
    }
    std::memset(&a.areas[slot], 0, sizeof(RecognitionArea));
    return true;
}

bool AnalyzerModel::deleteFillPatch(int slot) {
    if (slot < 0 || slot >= kFillPatchCapacity || !image_->fillPatches[slot].used) {
        return false;
    }
    std::memset(&image_->fillPatches[slot], 0, sizeof(FillPatch));
    return true;
}

bool AnalyzerModel::deleteCursor(int position) {
    AnalyzerImage& a = *image_;
    int32_t slot = 0;
    if (!removeFromOrder(a.cursorOrder, a.cursorCount, a.currentCursor, position, slot)) {
        return false;
    }
    std::memset(&a.cursors[slot], 0, sizeof(CursorSample));
    return true;
}

bool AnalyzerModel::markScreenshotErased(int slot) {
    if (slot < 0 || slot >= kScreenshotCapacity || !image_->screenshots[slot].used) {
        return false;
    }
    ScreenshotEntry& e = image_->screenshots[slot];
    e.erased = 1;
    e.fileSize = 0;
    std::string name(fixedText(e.name));
    char count[16];
    std::snprintf(count, sizeof count, "(X)(%d)", e.recognitionImageCount);
    storeFixedText(e.label, name + count);
    return true;
}

void AnalyzerModel::moveImagesInside(int screenshotWidth, int screenshotHeight, int screenshotSlot) {
    for (int i = 0; i < kRecognitionImageCapacity; ++i) {
        RecognitionImage* r = recognitionImages_[i].get();
        if (!r || (screenshotSlot >= 0 && r->screenshotSlot != screenshotSlot) ||
            (r->right < screenshotWidth && r->bottom < screenshotHeight)) {
            continue;
        }
        r->left = 30;
        r->top = 30;
        r->right = r->width + 29;
        r->bottom = r->height + 29;
        r->centreX = r->width / 2 + 30;
        r->centreY = r->height / 2 + 30;
    }
}

} // namespace quillon::analyzer
