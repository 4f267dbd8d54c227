// Screenshot sets as the screenshot tool writes them, built byte by byte
// from the documented layout (bitmap with a 108-byte info header, settings
// copy, cursor file).
#pragma once

#include <string>
#include <vector>

#include "editor_fixture.h"

namespace quillon::editor::testing {

// A bitmap file; `topDown` gives the negative height of the tool's files.
// Pixel bytes are filled with `fill`.
inline std::vector<uint8_t> bitmapBytes(int width, int height, int bits, bool topDown = true, uint8_t fill = 0x55) {
    int stride = ((width * bits + 7) / 8 + 3) / 4 * 4;
    int image = stride * height;
    std::vector<uint8_t> b(122 + static_cast<size_t>(image), fill);
    std::fill(b.begin(), b.begin() + 122, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, image + 122);
    put32(b, 10, 122);
    put32(b, 14, 108);
    put32(b, 18, width);
    put32(b, 22, topDown ? -height : height);
    put16(b, 26, 1);
    put16(b, 28, bits);
    put32(b, 30, bits == 16 ? 3 : 0);
    put32(b, 34, image);
    return b;
}

struct ShotModes {
    int legacy = 0, client = 1, framed = 0, full = 0;
};

inline std::vector<uint8_t> settingsCopy(const ShotModes& m) {
    std::vector<uint8_t> s(10240, 0);
    put32(s, 1208, m.legacy);
    put32(s, 1212, m.client);
    put32(s, 1216, m.framed);
    put32(s, 1220, m.full);
    return s;
}

// A cursor file: position, flags and the images the flags announce.
inline std::vector<uint8_t> cursorFile(int x, int y, uint32_t flags, uint32_t maskSize = 128,
                                       uint32_t colourSize = 4096) {
    std::vector<uint8_t> c;
    put32(c, 0, x);
    put32(c, 4, y);
    put32(c, 8, flags);
    auto image = [&](uint32_t size, uint8_t fill) {
        size_t at = c.size();
        put32(c, at, 40);
        put32(c, at + 4, 32);
        put32(c, at + 8, 64);
        put32(c, at + 20, size);
        c.resize(at + 40);
        c.insert(c.end(), size, fill);
    };
    if (flags & 1) image(maskSize, 0xAA);
    if (flags & 2) image(colourSize, 0xCC);
    return c;
}

// Writes "<folder>/<base>.bmp", ".cfg" and ".dat"; returns the bitmap path.
inline std::string writeShotSet(const std::string& folder, const std::string& base, const ShotModes& modes,
                                const std::vector<uint8_t>& cursor, int width = 64, int height = 48, int bits = 32) {
    std::string stem = folder + "/" + base;
    writeBytes(stem + ".bmp", bitmapBytes(width, height, bits));
    writeBytes(stem + ".cfg", settingsCopy(modes));
    writeBytes(stem + ".dat", cursor);
    return stem + ".bmp";
}

} // namespace quillon::editor::testing
