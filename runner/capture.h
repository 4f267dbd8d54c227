// Screen capture rules: which rectangle is taken, how it is clipped to the
// primary screen, when a capture is fresh enough to reuse, and when the
// cursor's shape is taken again. The pixels come from a Screen.
#pragma once

#include "base/clock.h"
#include "runner/frame_view.h"
#include "runner/screen.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace quillon::runner {

// One buffer per run, allocated once at its largest size so that a capture
// never allocates.
inline constexpr size_t kCaptureBufferBytes = 0x4000000; // 64 MiB

// Captures at least this far apart; closer ones reuse the buffer.
inline constexpr uint32_t kCaptureReuseMs = 51;
// Cursor shapes are taken again only when the last is older than this.
inline constexpr uint32_t kCursorReuseMs = 100;

// Codes of captureScreen.
enum class CaptureStatus : int {
    Ok = 0,
    BitmapFailed = 2,
    UnusableTarget = 100, // no window, or a window off the screen: the run pauses
};

// Clips a target rectangle to a screen of `screen` size. A rectangle that
// covers the whole screen gives (W - 1) x (H - 1) pixels. False when the
// rectangle lies entirely left or right of the screen.
bool clipTarget(const Rect& raw, Size screen, Rect& clipped);

class CaptureBuffer {
public:
    bool allocate();
    void release();
    bool allocated() const { return pixels_ != nullptr; }
    // Exchanges the allocations of two buffers: a later capture reuses the
    // pages an earlier one touched.
    void swapPixels(CaptureBuffer& other) { std::swap(pixels_, other.pixels_); }

    uint8_t* data() { return pixels_.get(); }
    const uint8_t* data() const { return pixels_.get(); }

    int width = 0;
    int height = 0;
    int stride = 0;
    int bitsPerPixel = 0;
    Rect origin; // the captured rectangle in screen coordinates
    uint64_t serial = 0; // the screen's picture serial when captured (0: not known)

    FrameView frame() const { return {pixels_.get(), width, height, stride}; }

private:
    struct FreeDeleter {
        void operator()(uint8_t* p) const;
    };
    std::unique_ptr<uint8_t, FreeDeleter> pixels_;
};

// The answer to "may the comparisons look at the screen now".
struct FreshCapture {
    CaptureStatus status = CaptureStatus::Ok;
    bool usable = false; // a 32-bit capture is in the buffer
};

class ScreenCapture {
public:
    ScreenCapture(Screen& screen, Clock& clock) : screen_(screen), clock_(clock) {}

    void setTarget(CaptureTarget target) { target_ = target; }
    CaptureTarget target() const { return target_; }
    Screen& screen() { return screen_; }

    // Allocates the buffers and forgets earlier captures; false when the
    // buffer cannot be allocated.
    bool startRun();
    void endRun();

    // Takes a capture now.
    CaptureStatus captureScreen();
    // Takes a capture unless the last one is younger than 51 ms. A reused
    // buffer counts as usable only when the capture that filled it was.
    FreshCapture freshCapture();
    // Forgets the time of the last capture, so the next one is taken.
    void forgetLastCapture() { haveCapture_ = false; }

    // The cursor: taken again only when the last is more than 100 ms old.
    // False when the cursor could not be read.
    bool freshCursor();
    const CursorImage& cursor() const { return *cursor_; }

    const CaptureBuffer& buffer() const { return buffer_; }
    CaptureBuffer& buffer() { return buffer_; }
    FrameView frame() const { return buffer_.frame(); }

private:
    Screen& screen_;
    Clock& clock_;
    CaptureTarget target_ = CaptureTarget::ClientArea;
    CaptureBuffer buffer_;
    std::unique_ptr<CursorImage> cursor_;
    bool haveCapture_ = false;
    bool lastUsable_ = false;
    uint32_t lastCaptureTime_ = 0;
    bool haveCursor_ = false;
    bool lastCursorOk_ = false;
    uint32_t lastCursorTime_ = 0;
};

} // namespace quillon::runner
