// Pictures of cursor samples: a bitmap made from a cursor image's 40-byte
// header and its bits (both from a file or the machine, so checked), and a
// static control showing it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace quillon::winui {

// Null when the header is not a plain bitmap header or the bits are too few.
// One-bit images (a cursor's mask) get a black and white colour table.
HBITMAP cursorBitmap(const uint8_t* header, const uint8_t* bits, size_t bitsCapacity);

// Shows `bitmap` in the SS_BITMAP static `id` (null clears it); the static's
// previous bitmap is deleted.
void setStaticBitmap(HWND dialog, int id, HBITMAP bitmap);

} // namespace quillon::winui
