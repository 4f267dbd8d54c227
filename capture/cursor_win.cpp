// The mouse cursor as Windows shows it: GetCursorInfo, GetIconInfo and the
// icon's bitmaps through GetDIBits.
#include "capture/cursor.h"

#include <windows.h>

#include <cstring>

namespace quillon {
namespace {

// A BITMAPINFO with room for a colour table.
struct BitmapInfoWithColours {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

} // namespace

namespace {

// One of the cursor's bitmaps converted to `bitsPerPixel`.
bool readCursorBitmap(HDC display, HBITMAP bitmap, int32_t bitsPerPixel, DibInfoHeader& header,
                      std::vector<uint8_t>& bits) {
    BITMAP description{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof description, &description) == 0) {
        return false;
    }
    header = DibInfoHeader{};
    header.width = description.bmWidth;
    header.height = description.bmHeight;
    header.planes = 1;
    header.bitCount = static_cast<uint16_t>(bitsPerPixel);
    uint32_t stride = dibRowSize(header.width, bitsPerPixel);
    if (stride == 0 || header.height <= 0) {
        return false;
    }
    header.imageSize = stride * static_cast<uint32_t>(header.height);
    bits.assign(header.imageSize, 0);
    BitmapInfoWithColours info{};
    static_assert(sizeof(BITMAPINFOHEADER) == sizeof(DibInfoHeader));
    std::memcpy(&info.header, &header, sizeof header);
    return GetDIBits(display, bitmap, 0, static_cast<UINT>(header.height), bits.data(),
                     reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != 0;
}

} // namespace

namespace {

class SystemCursor final : public CursorSystem {
public:
    explicit SystemCursor(const std::string& displayDevice) : displayDevice_(displayDevice) {}
    ~SystemCursor() override {
        releaseIcon();
        if (display_ != nullptr) {
            if (displayDevice_.empty()) {
                ReleaseDC(nullptr, display_);
            } else {
                DeleteDC(display_);
            }
        }
    }

    bool cursorInfo(Point& position, bool& showing) override {
        CURSORINFO cursor{};
        cursor.cbSize = sizeof cursor;
        if (!GetCursorInfo(&cursor)) {
            return false;
        }
        handle_ = cursor.hCursor;
        position = {cursor.ptScreenPos.x, cursor.ptScreenPos.y};
        showing = (cursor.flags & CURSOR_SHOWING) != 0;
        return true;
    }

    bool iconInfo(Point& hotSpot) override {
        if (handle_ == nullptr || !GetIconInfo(handle_, &icon_)) {
            icon_ = ICONINFO{};
            return false;
        }
        hotSpot = {static_cast<int32_t>(icon_.xHotspot), static_cast<int32_t>(icon_.yHotspot)};
        return true;
    }

    bool readIconBitmap(bool colour, int32_t bitsPerPixel, DibInfoHeader& header,
                        std::vector<uint8_t>& bits) override {
        HBITMAP bitmap = colour ? icon_.hbmColor : icon_.hbmMask;
        if (bitmap == nullptr) {
            return false;
        }
        if (display_ == nullptr) {
            display_ = displayDevice_.empty() ? GetDC(nullptr)
                                              : CreateDCA(displayDevice_.c_str(), nullptr, nullptr, nullptr);
        }
        return display_ != nullptr && readCursorBitmap(display_, bitmap, bitsPerPixel, header, bits);
    }

    void releaseIcon() override {
        if (icon_.hbmMask != nullptr) {
            DeleteObject(icon_.hbmMask);
        }
        if (icon_.hbmColor != nullptr) {
            DeleteObject(icon_.hbmColor);
        }
        icon_ = ICONINFO{};
    }

private:
    const std::string displayDevice_;
    HCURSOR handle_ = nullptr;
    ICONINFO icon_{};
    HDC display_ = nullptr;
};

} // namespace

bool readSystemCursor(int32_t bitsPerPixel, const std::string& displayDevice, CursorImage& image) {
    SystemCursor system(displayDevice);
    return captureCursor(system, bitsPerPixel, image);
}

std::unique_ptr<CursorSystem> systemCursor(const std::string& displayDevice) {
    return std::make_unique<SystemCursor>(displayDevice);
}

int32_t screenBitsPerPixel() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return 0;
    }
    int32_t bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

} // namespace quillon
