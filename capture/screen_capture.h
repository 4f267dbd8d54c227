// Screen capture shared by analyzer-runner and shot-taker.
//
// Three methods, tried in this order, and a capture never goes back to an
// earlier one: 0 copies the rectangle from the DirectDraw primary surface into
// an off-screen surface in system memory, 1 locks the rectangle of the primary
// surface itself, 2 copies it with GDI. The method that worked last is kept,
// so later captures skip the steps that failed. With the legacy capture flag
// every capture uses GDI.
//
// The order and the fallback rule are portable (screen_capture.cpp) and run
// against the CaptureSurfaces seam; screen_capture_win.cpp implements the
// seam with DirectDraw 7 and GDI. The mouse cursor is read in cursor.h.
#pragma once

#include "capture/dib.h"
#include "capture/geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillon {

enum class CaptureMethod : int { OffscreenCopy = 0, PrimaryLock = 1, Gdi = 2 };

// One captured rectangle: rows top to bottom, `stride` bytes each.
struct CapturedImage {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t stride = 0;
    int32_t bitsPerPixel = 0;
    uint32_t compression = kDibRgb;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    uint32_t imageSize = 0; // height × stride
    CaptureMethod method = CaptureMethod::OffscreenCopy; // the method that produced it
    // Resized per capture; a caller that reserves its maximum once (the
    // runner's capture buffer) never allocates again.
    std::vector<uint8_t> pixels;
};

enum class CaptureResult {
    Ok,
    NoScreenBitmap, // GDI: the screen's device context or the bitmap could not be had
    UnlockFailed,   // a locked surface could not be unlocked; DirectDraw was released
    BadRectangle,   // nothing to capture (width or height not positive)
};

// A DirectDraw surface locked for reading.
struct LockedSurface {
    const uint8_t* bits = nullptr;
    int32_t pitch = 0; // bytes from one row to the next
    int32_t bitsPerPixel = 0;
};

// The platform's capture steps, one try each. The sequence and the fallback
// between them belong to ScreenCapture.
class CaptureSurfaces {
public:
    virtual ~CaptureSurfaces() = default;
    // Screen size in pixels (SM_CXSCREEN, SM_CYSCREEN).
    virtual int32_t screenWidth() = 0;
    virtual int32_t screenHeight() = 0;
    // Creates the primary surface (false also when DirectDraw is absent).
    virtual bool createPrimary() = 0;
    // Method 0: an off-screen system-memory surface of the full screen size,
    // a waiting blit of `rect` from the primary to (0, 0), and a read-only
    // lock of (0, 0, width, height).
    virtual bool copyToOffscreen(const Rect& rect, LockedSurface& locked) = 0;
    // Method 1: releases the off-screen surface and locks `rect` of the
    // primary surface read-only.
    virtual bool lockPrimary(const Rect& rect, LockedSurface& locked) = 0;
    // Unlocks whatever is locked and releases both surfaces (DirectDraw stays).
    virtual bool unlockAndRelease() = 0;
    // Releases the surfaces and the DirectDraw object.
    virtual void releaseDirectDraw() = 0;
    // Method 2: BitBlt (SRCCOPY | CAPTUREBLT) of `rect` and GetDIBits in the
    // screen's format; fills every field of `image` but `method`.
    virtual CaptureResult captureGdi(const Rect& rect, CapturedImage& image) = 0;
};

class ScreenCapture {
public:
    // The surfaces stay owned by the caller and must outlive this object.
    ScreenCapture(CaptureSurfaces& surfaces, bool legacyCapture);

    // Captures `rect` (already clamped to the screen) into `image`.
    CaptureResult capture(const Rect& rect, CapturedImage& image);

    // The method the next capture starts with.
    CaptureMethod method() const { return method_; }
    void setLegacyCapture(bool legacy);

private:
    bool copyLocked(const LockedSurface& locked, const Rect& rect, CaptureMethod method, CapturedImage& image);

    CaptureSurfaces& surfaces_;
    bool legacy_;
    CaptureMethod method_;
};

// Copies `height` rows of the locked surface into `image` (stride from the
// surface depth, RGB565 bit fields for 16 bits per pixel). False when the
// surface's depth or pitch cannot hold such rows.
bool copySurfaceRows(const LockedSurface& locked, int32_t width, int32_t height, CapturedImage& image);

// ----- Win32 (screen_capture_win.cpp) -----

// DirectDraw 7 and GDI. prepare() creates the DirectDraw object at the normal
// cooperative level and, when that works, creates the primary surface once,
// locks and unlocks `probe` on it and releases it again, so that the first
// capture does not pay for DirectDraw's start. Without DirectDraw the
// capture falls back by itself.
class SystemCaptureSurfaces final : public CaptureSurfaces {
public:
    SystemCaptureSurfaces();
    ~SystemCaptureSurfaces() override;
    SystemCaptureSurfaces(const SystemCaptureSurfaces&) = delete;
    SystemCaptureSurfaces& operator=(const SystemCaptureSurfaces&) = delete;

    bool prepare(const Rect& probe);
    bool hasDirectDraw() const;

    int32_t screenWidth() override;
    int32_t screenHeight() override;
    bool createPrimary() override;
    bool copyToOffscreen(const Rect& rect, LockedSurface& locked) override;
    bool lockPrimary(const Rect& rect, LockedSurface& locked) override;
    bool unlockAndRelease() override;
    void releaseDirectDraw() override;
    CaptureResult captureGdi(const Rect& rect, CapturedImage& image) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace quillon
