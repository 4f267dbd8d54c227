#include "editor/recognition_capture.h"

#include <algorithm>
#include <cstring>

#include "analyzer/limits.h"
#include "base/format_text.h"
#include "base/text.h"

namespace quillon::editor {

using namespace analyzer;
namespace msg = capture_message;

namespace {

// Blue, green, red of one screenshot pixel.
void pixelAt(const ScreenshotBitmap& shot, int x, int y, uint8_t out[3]) {
    const uint8_t* row = shot.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(shot.stride);
    switch (shot.bitsPerPixel) {
    case 32:
    case 24: {
        const uint8_t* p = row + static_cast<size_t>(x) * static_cast<size_t>(shot.bitsPerPixel / 8);
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        break;
    }
    case 16: {
        // 5-6-5, each part widened to eight bits.
        const uint16_t v = static_cast<uint16_t>(row[x * 2] | (row[x * 2 + 1] << 8));
        out[0] = static_cast<uint8_t>((v & 0x1F) << 3);
        out[1] = static_cast<uint8_t>(((v >> 5) & 0x3F) << 2);
        out[2] = static_cast<uint8_t>(((v >> 11) & 0x1F) << 3);
        break;
    }
    default:
        out[0] = out[1] = out[2] = 0;
    }
}

int listedSlot(const AnalyzerImage& a, int position) {
    const int count = std::clamp(static_cast<int>(a.recognitionImageCount), 0, kRecognitionImageCapacity);
    if (position < 0 || position >= count) return -1;
    const int slot = a.recognitionImageOrder[position];
    return slot >= 0 && slot < kRecognitionImageCapacity ? slot : -1;
}

void setRectangle(RecognitionImage& image, int centreX, int centreY, int width, int height) {
    image.centreX = centreX;
    image.centreY = centreY;
    image.width = width;
    image.height = height;
    image.left = centreX - width / 2;
    image.right = centreX + width / 2;
    image.top = centreY - height / 2;
    image.bottom = centreY + height / 2;
}

} // namespace

std::optional<CaptureRefusal> checkCapture(const CaptureForm& form, bool newImage, int imageCount, int centreX,
                                           int centreY, int screenshotWidth, int screenshotHeight) {
    if (newImage && imageCount >= kRecognitionImageCapacity) {
        return CaptureRefusal{formatText(msg::kTooMany, kRecognitionImageCapacity), CaptureField::None};
    }
    if (!form.width || *form.width <= 0) return CaptureRefusal{msg::kBadSize, CaptureField::Width};
    if (!form.height || *form.height <= 0) return CaptureRefusal{msg::kBadSize, CaptureField::Height};
    const int width = *form.width;
    const int height = *form.height;
    if (width > kRecognitionImageMaxSide) {
        return CaptureRefusal{formatText(msg::kTooLarge, kRecognitionImageMaxSide), CaptureField::Width};
    }
    if (height > kRecognitionImageMaxSide) {
        return CaptureRefusal{formatText(msg::kTooLarge, kRecognitionImageMaxSide), CaptureField::Height};
    }
    if (width % 2 == 0) return CaptureRefusal{msg::kNotOdd, CaptureField::Width};
    if (height % 2 == 0) return CaptureRefusal{msg::kNotOdd, CaptureField::Height};
    const int hw = width / 2;
    const int hh = height / 2;
    if (centreX - hw < 0 || centreX >= screenshotWidth - hw || centreY - hh < 0 || centreY >= screenshotHeight - hh) {
        return CaptureRefusal{msg::kOutside, CaptureField::None};
    }
    return std::nullopt;
}

void copyImagePixels(const ScreenshotBitmap& shot, RecognitionImage& image) {
    std::memset(image.pixels, 0, sizeof image.pixels);
    const int width = std::clamp(static_cast<int>(image.width), 0, kRecognitionImageMaxSide);
    const int height = std::clamp(static_cast<int>(image.height), 0, kRecognitionImageMaxSide);
    for (int row = 0; row < height; ++row) {
        const int y = image.top + row;
        if (y < 0 || y >= shot.height) continue;
        for (int column = 0; column < width; ++column) {
            const int x = image.left + column;
            if (x < 0 || x >= shot.width) continue;
            uint8_t* cell = image.pixels + static_cast<size_t>(row) * kImageRowStride + static_cast<size_t>(column) * 4;
            pixelAt(shot, x, y, cell);
        }
    }
}

Built<int> makeRecognitionImage(AnalyzerModel& model, const ScreenshotBitmap& shot, int screenshotSlot,
                                const CaptureForm& form, int centreX, int centreY) {
    const AnalyzerImage& a = model.image();
    if (auto refusal = checkCapture(form, true, a.recognitionImageCount, centreX, centreY, a.screenshotWidth,
                                    a.screenshotHeight)) {
        return Built<int>::refused(refusal->message);
    }
    NewRecognitionImage request;
    request.screenshotSlot = screenshotSlot;
    request.centreX = centreX;
    request.centreY = centreY;
    request.width = *form.width;
    request.height = *form.height;
    request.name = form.name;
    int slot = -1;
    Status added = model.addRecognitionImage(request, slot);
    if (!added.ok) {
        return Built<int>::refused(added.message == analyzer::message::kImageAllocationFailed ? msg::kNoMemory : added.message);
    }
    copyImagePixels(shot, *model.recognitionImage(slot));
    return Built<int>::of(slot);
}

Built<int> editRecognitionImage(AnalyzerModel& model, const ScreenshotOfSlot& screenshotOf, int position,
                                const CaptureForm& form, const std::function<bool()>& confirmPatternLoss) {
    const AnalyzerImage& a = model.image();
    const int slot = listedSlot(a, position);
    RecognitionImage* image = slot < 0 ? nullptr : model.recognitionImage(slot);
    if (!image) {
        return Built<int>::refused("");
    }
    const bool resized = form.width && form.height && (*form.width != image->width || *form.height != image->height);
    // A new size is cut from the image's own screenshot, not the one shown.
    const ScreenshotBitmap* shot = resized && screenshotOf ? screenshotOf(image->screenshotSlot) : nullptr;
    if (auto refusal = checkCapture(form, false, a.recognitionImageCount, image->centreX, image->centreY,
                                    shot ? shot->width : a.screenshotWidth, shot ? shot->height : a.screenshotHeight)) {
        return Built<int>::refused(refusal->message);
    }
    if (resized && !shot) {
        return Built<int>::refused(msg::kNoScreenshot);
    }
    if (resized) {
        if (image->pattern == 1) {
            if (!confirmPatternLoss || !confirmPatternLoss()) {
                return Built<int>::refused("");
            }
            clearPattern(*image);
        }
        setRectangle(*image, image->centreX, image->centreY, *form.width, *form.height);
        copyImagePixels(*shot, *image);
    }
    if (!form.name.empty()) {
        storeFixedText(image->name, text::utf8ToCp949(form.name));
    } else {
        storeFixedText(image->name, text::utf8ToCp949(defaultRecognitionImageName(
                                        model.image().nextRecognitionImageNumber++)));
    }
    return Built<int>::of(slot);
}

int recognitionImageAt(const AnalyzerModel& model, int screenshotSlot, int x, int y) {
    const AnalyzerImage& a = model.image();
    const int count = std::clamp(static_cast<int>(a.recognitionImageCount), 0, kRecognitionImageCapacity);
    for (int position = count - 1; position >= 0; --position) {
        const RecognitionImage* r = model.recognitionImage(listedSlot(a, position));
        if (r && r->screenshotSlot == screenshotSlot && x >= r->left && x <= r->right && y >= r->top &&
            y <= r->bottom) {
            return position;
        }
    }
    return -1;
}

void clearPattern(RecognitionImage& image) {
    image.pattern = 0;
    for (size_t cell = 3; cell < sizeof image.pixels; cell += 4) {
        image.pixels[cell] = 0;
    }
}

bool screenshotPixel(const ScreenshotBitmap& shot, int x, int y, uint8_t bgr[3]) {
    if (x < 0 || y < 0 || x >= shot.width || y >= shot.height || shot.pixels.empty()) {
        return false;
    }
    pixelAt(shot, x, y, bgr);
    return true;
}

std::string pointerStatusLine(const ScreenshotBitmap& shot, int x, int y) {
    uint8_t bgr[3];
    if (!screenshotPixel(shot, x, y, bgr)) {
        return formatText("%.4d,%.4d", x, y);
    }
    return formatText("%.4d,%.4d   %.3d,%.3d,%.3d", x, y, bgr[2], bgr[1], bgr[0]);
}

AreaFrame keepAreaInside(AreaFrame frame, int screenshotWidth, int screenshotHeight) {
    frame.width = std::max(frame.width, kSmallestAreaSide);
    frame.height = std::max(frame.height, kSmallestAreaSide);
    if (frame.x + frame.width >= screenshotWidth - 1) frame.x = screenshotWidth - 1 - frame.width;
    if (frame.y + frame.height >= screenshotHeight - 1) frame.y = screenshotHeight - 1 - frame.height;
    if (frame.x < 0) frame.x = 0;
    if (frame.y < 0) frame.y = 0;
    return frame;
}

Status placeRecognitionImage(AnalyzerModel& model, const ScreenshotBitmap& shot, int slot, int x, int y) {
    RecognitionImage* image = model.recognitionImage(slot);
    if (!image) {
        return Status::failure("");
    }
    const AnalyzerImage& a = model.image();
    CaptureForm size{"", image->width, image->height};
    if (auto refusal = checkCapture(size, false, 0, x, y, a.screenshotWidth, a.screenshotHeight)) {
        return Status::failure(refusal->message);
    }
    setRectangle(*image, x, y, image->width, image->height);
    copyImagePixels(shot, *image);
    return Status::success();
}

} // namespace quillon::editor
