#include "runner/capture.h"

#include "capture/dib.h"

#include <cstdlib>
#include <new>

namespace quillon::runner {

bool clipTarget(const Rect& raw, Size screen, Rect& clipped) {
    Rect r = raw;
    if (r.left >= screen.width) {
        return false;
    }
    if (r.left < 0) {
        if (r.right < 0) {
            return false;
        }
        r.left = 0;
    }
    if (r.top < 0) r.top = 0;
    if (r.right > screen.width - 1) r.right = screen.width - 1;
    if (r.bottom > screen.height - 1) r.bottom = screen.height - 1;
    // A window wholly above or below the screen, or one with no area left,
    // leaves nothing to take.
    if (r.right <= r.left || r.bottom <= r.top) {
        return false;
    }
    clipped = r;
    return true;
}

void CaptureBuffer::FreeDeleter::operator()(uint8_t* p) const { std::free(p); }

bool CaptureBuffer::allocate() {
    if (!pixels_) {
        pixels_.reset(static_cast<uint8_t*>(std::calloc(1, kCaptureBufferBytes)));
    }
    width = height = stride = bitsPerPixel = 0;
    origin = {};
    serial = 0;
    return pixels_ != nullptr;
}

void CaptureBuffer::release() {
    pixels_.reset();
    width = height = stride = bitsPerPixel = 0;
}

bool ScreenCapture::startRun() {
    haveCapture_ = false;
    lastUsable_ = false;
    haveCursor_ = false;
    lastCursorOk_ = false;
    if (!cursor_) {
        cursor_.reset(new (std::nothrow) CursorImage());
    }
    return buffer_.allocate() && cursor_ != nullptr;
}

void ScreenCapture::endRun() {
    buffer_.release();
    haveCapture_ = false;
}

CaptureStatus ScreenCapture::captureScreen() {
    lastUsable_ = false;
    if (!buffer_.allocated()) {
        return CaptureStatus::BitmapFailed;
    }
    Rect raw;
    Rect clipped;
    const Size screen = screen_.screenSize();
    if (!screen_.targetRect(target_, raw) || !clipTarget(raw, screen, clipped)) {
        return CaptureStatus::UnusableTarget;
    }
    const int width = clipped.right - clipped.left;
    const int height = clipped.bottom - clipped.top;
    if (static_cast<size_t>(dibRowSize(width, 32)) * static_cast<size_t>(height) > kCaptureBufferBytes) {
        return CaptureStatus::BitmapFailed;
    }
    int depth = 0;
    buffer_.serial = 0;
    const uint64_t serial = screen_.pictureSerial();
    if (screen_.copyPixels(clipped.left, clipped.top, width, height, buffer_.data(), kCaptureBufferBytes, depth) !=
        CopyResult::Ok) {
        return CaptureStatus::BitmapFailed;
    }
    buffer_.width = width;
    buffer_.height = height;
    buffer_.bitsPerPixel = depth;
    buffer_.stride = static_cast<int>(dibRowSize(width, depth));
    buffer_.origin = clipped;
    buffer_.serial = serial;
    lastUsable_ = depth == 32;
    return CaptureStatus::Ok;
}

FreshCapture ScreenCapture::freshCapture() {
    const uint32_t now = clock_.tickCount();
    if (haveCapture_ && now - lastCaptureTime_ < kCaptureReuseMs) {
        return {CaptureStatus::Ok, lastUsable_};
    }
    haveCapture_ = true;
    lastCaptureTime_ = now;
    const CaptureStatus status = captureScreen();
    return {status, status == CaptureStatus::Ok && lastUsable_};
}

bool ScreenCapture::freshCursor() {
    if (!cursor_) {
        return false;
    }
    const uint32_t now = clock_.tickCount();
    if (haveCursor_ && now - lastCursorTime_ <= kCursorReuseMs) {
        return lastCursorOk_;
    }
    haveCursor_ = true;
    lastCursorTime_ = now;
    lastCursorOk_ = screen_.readCursor(*cursor_);
    return lastCursorOk_;
}

} // namespace quillon::runner
