#include "runner/synthetic_screen.h"

#include "base/byte_order.h"
#include "screenshots/screenshot_files.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

namespace quillon::runner {

SyntheticScreen::SyntheticScreen(int width, int height, Rgb background)
    : width_(std::max(width, 1)), height_(std::max(height, 1)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4),
      windowFrame_{0, 0, width_, height_}, windowClient_{0, 0, width_, height_},
      cursor_(std::make_shared<CursorImage>()) {
    fill(background);
}

std::optional<SyntheticScreen> SyntheticScreen::fromBmp(const std::vector<uint8_t>& file) {
    BitmapFileView view;
    if (readBitmapFile(file.data(), file.size(), view) != BitmapStatus::Ok || view.width > 16384 || view.height > 16384) {
        return std::nullopt;
    }
    SyntheticScreen screen(view.width, view.height);
    for (int y = 0; y < view.height; ++y) {
        uint8_t* dst = screen.row(y);
        for (int x = 0; x < view.width; ++x) {
            const uint32_t rgb = bitmapPixel(view, x, y);
            dst[x * 4 + 0] = static_cast<uint8_t>(rgb);
            dst[x * 4 + 1] = static_cast<uint8_t>(rgb >> 8);
            dst[x * 4 + 2] = static_cast<uint8_t>(rgb >> 16);
            dst[x * 4 + 3] = 0;
        }
    }
    return screen;
}

uint64_t SyntheticScreen::nextSerial() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

void SyntheticScreen::fill(Rgb colour) { fillRect(0, 0, width_, height_, colour); }

void SyntheticScreen::fillRect(int left, int top, int width, int height, Rgb colour) {
    const int x0 = std::max(left, 0);
    const int y0 = std::max(top, 0);
    const int x1 = std::min(left + width, width_);
    const int y1 = std::min(top + height, height_);
    for (int y = y0; y < y1; ++y) {
        uint8_t* p = row(y) + static_cast<size_t>(x0) * 4;
        for (int x = x0; x < x1; ++x, p += 4) {
            p[0] = static_cast<uint8_t>(colour);
            p[1] = static_cast<uint8_t>(colour >> 8);
            p[2] = static_cast<uint8_t>(colour >> 16);
            p[3] = 0;
        }
    }
}

void SyntheticScreen::setPixel(int x, int y, Rgb colour) { fillRect(x, y, 1, 1, colour); }

Rgb SyntheticScreen::pixel(int x, int y) const {
    const uint8_t* p = row(y) + static_cast<size_t>(x) * 4;
    return static_cast<Rgb>(p[0]) | (static_cast<Rgb>(p[1]) << 8) | (static_cast<Rgb>(p[2]) << 16);
}

void SyntheticScreen::setForegroundWindow(const Rect& frame, const Rect& client, bool present) {
    windowFrame_ = frame;
    windowClient_ = client;
    windowPresent_ = present;
}

void SyntheticScreen::setCursor(const CursorImage& cursor, bool readable) {
    *cursor_ = cursor;
    cursorReadable_ = readable;
}

bool SyntheticScreen::targetRect(CaptureTarget target, Rect& rect) {
    switch (target) {
    case CaptureTarget::FullScreen:
        rect = {0, 0, width_, height_};
        return true;
    case CaptureTarget::Window:
        if (!windowPresent_) return false;
        rect = windowFrame_;
        return true;
    case CaptureTarget::ClientArea:
        if (!windowPresent_) return false;
        rect = windowClient_;
        return true;
    }
    return false;
}

CopyResult SyntheticScreen::copyPixels(int left, int top, int width, int height, uint8_t* pixels, size_t capacity,
                                       int& bitsPerPixel) {
    ++copies_;
    lastCopy_ = {left, top, left + width, top + height};
    if (failCopies_ || left < 0 || top < 0 || width < 0 || height < 0 || left + width > width_ ||
        top + height > height_) {
        return CopyResult::BitmapFailed;
    }
    bitsPerPixel = bitsPerPixel_;
    if (bitsPerPixel_ == 16) {
        const size_t stride = static_cast<size_t>(((width * 16 + 31) / 32) * 4);
        if (stride * static_cast<size_t>(height) > capacity) return CopyResult::BitmapFailed;
        for (int y = 0; y < height; ++y) {
            const uint8_t* src = std::as_const(*this).row(top + y) + static_cast<size_t>(left) * 4;
            uint8_t* dst = pixels + stride * static_cast<size_t>(y);
            for (int x = 0; x < width; ++x) {
                const uint16_t v = static_cast<uint16_t>(((src[x * 4 + 2] >> 3) << 11) |
                                                         ((src[x * 4 + 1] >> 2) << 5) | (src[x * 4] >> 3));
                storeLe16(dst + x * 2, v);
            }
        }
        return CopyResult::Ok;
    }
    const size_t stride = static_cast<size_t>(width) * 4;
    if (stride * static_cast<size_t>(height) > capacity) return CopyResult::BitmapFailed;
    for (int y = 0; y < height; ++y) {
        std::memcpy(pixels + stride * static_cast<size_t>(y), std::as_const(*this).row(top + y) + static_cast<size_t>(left) * 4,
                    stride);
    }
    return CopyResult::Ok;
}

bool SyntheticScreen::readCursor(CursorImage& image) {
    ++cursorReads_;
    if (!cursorReadable_) return false;
    image = *cursor_;
    return true;
}

} // namespace quillon::runner
