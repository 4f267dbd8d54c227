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
// seam with DirectDraw 7 and GDI, and reads the mouse cursor's look.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

// A rectangle in screen coordinates (right and bottom exclusive, as Win32).
struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

#pragma pack(push, 1)
// The 40-byte device-independent bitmap header (BITMAPINFOHEADER), as the
// files and the system lay it out.
struct DibInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;
};
#pragma pack(pop)
static_assert(sizeof(DibInfoHeader) == 40);
static_assert(offsetof(DibInfoHeader, bitCount) == 14);
static_assert(offsetof(DibInfoHeader, imageSize) == 20);

inline constexpr uint32_t kDibRgb = 0;
inline constexpr uint32_t kDibBitFields = 3;
// RGB565, the layout of a 16-bit screen.
inline constexpr uint32_t kRgb565RedMask = 0xF800;
inline constexpr uint32_t kRgb565GreenMask = 0x07E0;
inline constexpr uint32_t kRgb565BlueMask = 0x001F;

// Bytes per row of a bitmap: width × bits ÷ 8, rounded up to a multiple of 4.
// 0 for a width or depth that is not positive or a row that would not fit.
constexpr uint32_t dibRowSize(int32_t width, int32_t bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0) {
        return 0;
    }
    uint64_t bytes = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
    return bytes > 0x7FFFFFFF ? 0 : static_cast<uint32_t>(bytes);
}
static_assert(dibRowSize(1919, 32) == 7676);
static_assert(dibRowSize(101, 16) == 204);

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
    virtual bool copyToOffscreen(const ScreenRect& rect, LockedSurface& locked) = 0;
    // Method 1: releases the off-screen surface and locks `rect` of the
    // primary surface read-only.
    virtual bool lockPrimary(const ScreenRect& rect, LockedSurface& locked) = 0;
    // Unlocks whatever is locked and releases both surfaces (DirectDraw stays).
    virtual bool unlockAndRelease() = 0;
    // Releases the surfaces and the DirectDraw object.
    virtual void releaseDirectDraw() = 0;
    // Method 2: BitBlt (SRCCOPY | CAPTUREBLT) of `rect` and GetDIBits in the
    // screen's format; fills every field of `image` but `method`.
    virtual CaptureResult captureGdi(const ScreenRect& rect, CapturedImage& image) = 0;
};

class ScreenCapture {
public:
    // The surfaces stay owned by the caller and must outlive this object.
    ScreenCapture(CaptureSurfaces& surfaces, bool legacyCapture);

    // Captures `rect` (already clamped to the screen) into `image`.
    CaptureResult capture(const ScreenRect& rect, CapturedImage& image);

    // The method the next capture starts with.
    CaptureMethod method() const { return method_; }
    void setLegacyCapture(bool legacy);

private:
    bool copyLocked(const LockedSurface& locked, const ScreenRect& rect, CaptureMethod method, CapturedImage& image);

    CaptureSurfaces& surfaces_;
    bool legacy_;
    CaptureMethod method_;
};

// Copies `height` rows of the locked surface into `image` (stride from the
// surface depth, RGB565 bit fields for 16 bits per pixel). False when the
// surface's depth or pitch cannot hold such rows.
bool copySurfaceRows(const LockedSurface& locked, int32_t width, int32_t height, CapturedImage& image);

// The mouse cursor as the system shows it.
struct CursorShape {
    bool showing = false;
    ScreenPoint position;     // cursor position (screen)
    ScreenPoint hotSpot;
    ScreenPoint drawPosition; // position − hot spot: where its image's corner is
    uint32_t flags = 0;       // bit 0 mask image taken, bit 1 colour image taken
    DibInfoHeader maskHeader{}, colourHeader{};
    std::vector<uint8_t> maskBits, colourBits;
};
inline constexpr uint32_t kCursorHasMask = 1;
inline constexpr uint32_t kCursorHasColour = 2;

// What the system says about the mouse cursor, one question each. The order
// of the questions and what a failure means belong to captureCursor.
class CursorSystem {
public:
    virtual ~CursorSystem() = default;
    // The cursor's position and whether it is showing (GetCursorInfo).
    virtual bool cursorInfo(ScreenPoint& position, bool& showing) = 0;
    // The icon information of the current cursor (GetIconInfo): its hot spot.
    // False when there is none; a hidden cursor has no icon.
    virtual bool iconInfo(ScreenPoint& hotSpot) = 0;
    // One of the icon's bitmaps (the colour one only when the icon has one),
    // converted to `bitsPerPixel`.
    virtual bool readIconBitmap(bool colour, int32_t bitsPerPixel, DibInfoHeader& header,
                                std::vector<uint8_t>& bits) = 0;
    // Deletes the icon's bitmaps.
    virtual void releaseIcon() = 0;
};

// Takes the cursor's shape: position minus hot spot and, when it is showing,
// its mask and colour bitmaps. False when the cursor or its icon information
// cannot be read, so a cursor condition does not hold for a hidden pointer.
bool captureCursor(CursorSystem& system, int32_t bitsPerPixel, CursorShape& shape);

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

    bool prepare(const ScreenRect& probe);
    bool hasDirectDraw() const;

    int32_t screenWidth() override;
    int32_t screenHeight() override;
    bool createPrimary() override;
    bool copyToOffscreen(const ScreenRect& rect, LockedSurface& locked) override;
    bool lockPrimary(const ScreenRect& rect, LockedSurface& locked) override;
    bool unlockAndRelease() override;
    void releaseDirectDraw() override;
    CaptureResult captureGdi(const ScreenRect& rect, CapturedImage& image) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Reads the cursor (GetCursorInfo, GetIconInfo) and, when it is showing, its
// mask and colour bitmaps converted by the system to `bitsPerPixel`, through
// a device context on `displayDevice` (CreateDCA; empty: the screen's own
// context). False when the cursor or icon information cannot be read.
bool readCursorShape(int32_t bitsPerPixel, const std::string& displayDevice, CursorShape& shape);

// The screen's bits per pixel (GetDeviceCaps BITSPIXEL).
int32_t screenBitsPerPixel();

} // namespace quillon
