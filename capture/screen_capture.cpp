#include "capture/screen_capture.h"

#include <cstring>
#include <limits>

namespace quillon {

bool copySurfaceRows(const LockedSurface& locked, int32_t width, int32_t height, CapturedImage& image) {
    uint32_t stride = dibRowSize(width, locked.bitsPerPixel);
    if (stride == 0 || height <= 0 || locked.bits == nullptr) {
        return false;
    }
    // A row of the surface must hold a whole row of the image.
    if (locked.pitch < 0 || static_cast<uint32_t>(locked.pitch) < stride) {
        return false;
    }
    uint64_t imageSize = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
    if (imageSize > std::numeric_limits<uint32_t>::max()) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.stride = stride;
    image.bitsPerPixel = locked.bitsPerPixel;
    image.imageSize = static_cast<uint32_t>(imageSize);
    if (locked.bitsPerPixel == 16) {
        image.compression = kDibBitFields;
        image.redMask = kRgb565RedMask;
        image.greenMask = kRgb565GreenMask;
        image.blueMask = kRgb565BlueMask;
    } else {
        image.compression = kDibRgb;
        image.redMask = image.greenMask = image.blueMask = 0;
    }
    image.pixels.resize(static_cast<size_t>(imageSize));
    for (int32_t row = 0; row < height; ++row) {
        std::memcpy(image.pixels.data() + static_cast<size_t>(row) * stride,
                    locked.bits + static_cast<size_t>(row) * static_cast<size_t>(locked.pitch), stride);
    }
    return true;
}

ScreenCapture::ScreenCapture(CaptureSurfaces& surfaces, bool legacyCapture)
    : surfaces_(surfaces), legacy_(legacyCapture),
      method_(legacyCapture ? CaptureMethod::Gdi : CaptureMethod::OffscreenCopy) {}

void ScreenCapture::setLegacyCapture(bool legacy) {
    legacy_ = legacy;
    if (legacy) {
        method_ = CaptureMethod::Gdi;
    }
}

bool ScreenCapture::copyLocked(const LockedSurface& locked, const Rect& rect, CaptureMethod method,
                               CapturedImage& image) {
    bool copied = copySurfaceRows(locked, rect.width(), rect.height(), image);
    image.method = method;
    return copied;
}

CaptureResult ScreenCapture::capture(const Rect& rect, CapturedImage& image) {
    if (rect.width() <= 0 || rect.height() <= 0) {
        return CaptureResult::BadRectangle;
    }
    if (legacy_) {
        method_ = CaptureMethod::Gdi;
    }
    bool primaryReady = false;
    if (method_ == CaptureMethod::OffscreenCopy) {
        if (!surfaces_.createPrimary()) {
            // No primary surface: DirectDraw is of no use on this screen.
            surfaces_.releaseDirectDraw();
            method_ = CaptureMethod::Gdi;
        } else {
            primaryReady = true;
            LockedSurface locked;
            if (surfaces_.copyToOffscreen(rect, locked)) {
                bool copied = copyLocked(locked, rect, CaptureMethod::OffscreenCopy, image);
                if (!surfaces_.unlockAndRelease()) {
                    surfaces_.releaseDirectDraw();
                    method_ = CaptureMethod::Gdi;
                    return CaptureResult::UnlockFailed;
                }
                if (copied) {
                    return CaptureResult::Ok;
                }
                // The surface's rows do not fit its own description: try the next way.
                primaryReady = false;
            }
            method_ = CaptureMethod::PrimaryLock;
        }
    }
    if (method_ == CaptureMethod::PrimaryLock) {
        LockedSurface locked;
        bool locking = primaryReady || surfaces_.createPrimary();
        if (locking && surfaces_.lockPrimary(rect, locked)) {
            bool copied = copyLocked(locked, rect, CaptureMethod::PrimaryLock, image);
            if (!surfaces_.unlockAndRelease()) {
                surfaces_.releaseDirectDraw();
                method_ = CaptureMethod::Gdi;
                return CaptureResult::UnlockFailed;
            }
            if (copied) {
                return CaptureResult::Ok;
            }
        }
        surfaces_.releaseDirectDraw();
        method_ = CaptureMethod::Gdi;
    }
    CaptureResult result = surfaces_.captureGdi(rect, image);
    image.method = CaptureMethod::Gdi;
    return result;
}

} // namespace quillon
