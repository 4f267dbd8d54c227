#include "winui/cursor_bitmap.h"

#include <cstdlib>
#include <cstring>

namespace quillon::winui {

HBITMAP cursorBitmap(const uint8_t* header, const uint8_t* bits, size_t bitsCapacity) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    std::memcpy(&info.header, header, sizeof info.header);
    const BITMAPINFOHEADER& h = info.header;
    if (h.biSize != sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biWidth > 256 || h.biHeight == 0 ||
        std::abs(h.biHeight) > 512 || (h.biBitCount != 1 && h.biBitCount != 16 && h.biBitCount != 24 &&
                                        h.biBitCount != 32)) {
        return nullptr;
    }
    const size_t row = ((static_cast<size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    if (row * static_cast<size_t>(std::abs(h.biHeight)) > bitsCapacity) {
        return nullptr;
    }
    info.colours[1] = {0xFF, 0xFF, 0xFF, 0};
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.header, CBM_INIT, bits, reinterpret_cast<BITMAPINFO*>(&info),
                                    DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void setStaticBitmap(HWND window, int id, HBITMAP bitmap) {
    HBITMAP previous = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(window, id, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous && previous != bitmap) {
        DeleteObject(previous);
    }
}

} // namespace quillon::winui
