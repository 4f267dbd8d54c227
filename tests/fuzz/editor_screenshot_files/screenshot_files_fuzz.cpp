// The two files of a screenshot set that the editor reads: the cursor file
// (first byte even) and the bitmap (first byte odd). Whatever the bytes, the
// readers stay in bounds and what they accept fits where it goes.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "analyzer/records.h"
#include "editor/screenshots.h"
#include "screenshots/screenshot_files.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t* bytes = data + 1;
    const size_t length = size - 1;
    if ((data[0] & 1) == 0) {
        std::optional<CursorFile> file = readCursorFile(bytes, length);
        if (!file) {
            return 0;
        }
        const CursorImage& c = file->image;
        if (c.maskBits.size() > kCursorBitsSize || c.colourBits.size() > kCursorBitsSize ||
            (c.flags & file->refused) != 0 || (file->refused != 0 && !file->damaged)) {
            std::abort();
        }
        auto sample = std::make_unique<analyzer::CursorSample>();
        editor::storeCursorImages(c, *sample);
        return 0;
    }
    ScreenshotBitmap bitmap;
    if (readScreenshotBitmap(bytes, length, bitmap) == BitmapStatus::Ok) {
        if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.width > kLargestBitmapSide ||
            bitmap.height > kLargestBitmapSide || bitmap.stride % 4 != 0 ||
            bitmap.pixels.size() != static_cast<size_t>(bitmap.stride) * static_cast<size_t>(bitmap.height) ||
            bitmap.pixels.size() > length) {
            std::abort();
        }
    }
    return 0;
}
