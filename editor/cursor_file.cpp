#include "editor/cursor_file.h"

#include <cstring>

#include "base/byte_order.h"

namespace quillon::editor {

namespace {

constexpr size_t kImageSizeField = 20; // biSizeImage inside the 40-byte header

// Reads one header and its bits at `offset`; false when the part is cut
// short or too large, and then the rest of the file cannot be trusted either.
bool readImage(const uint8_t* bytes, size_t size, size_t& offset, CursorImage& image) {
    if (size - offset < kCursorImageHeaderBytes) {
        return false;
    }
    std::memcpy(image.header.data(), bytes + offset, kCursorImageHeaderBytes);
    uint32_t bitsSize = loadLe32(image.header.data() + kImageSizeField);
    offset += kCursorImageHeaderBytes;
    if (bitsSize > kCursorImageBitsCapacity || bitsSize > size - offset) {
        return false;
    }
    image.bits.assign(bytes + offset, bytes + offset + bitsSize);
    offset += bitsSize;
    return true;
}

} // namespace

bool parseCursorFile(const uint8_t* bytes, size_t size, CursorCapture& capture) {
    capture = {};
    if (size < 8) {
        return false;
    }
    capture.x = static_cast<int32_t>(loadLe32(bytes));
    capture.y = static_cast<int32_t>(loadLe32(bytes + 4));
    if (size < 12) {
        return true;
    }
    uint32_t flags = loadLe32(bytes + 8);
    size_t offset = 12;
    if (flags & kCursorHasMask) {
        if (!readImage(bytes, size, offset, capture.mask)) {
            return true;
        }
        capture.parts |= kCursorHasMask;
    }
    if (flags & kCursorHasColour) {
        if (!readImage(bytes, size, offset, capture.colour)) {
            return true;
        }
        capture.parts |= kCursorHasColour;
    }
    return true;
}

void storeCursorImages(const CursorCapture& capture, analyzer::CursorSample& sample) {
    sample.parts = static_cast<int32_t>(capture.parts);
    std::memset(sample.maskHeader, 0, sizeof sample.maskHeader);
    std::memset(sample.maskBits, 0, sizeof sample.maskBits);
    std::memset(sample.colourHeader, 0, sizeof sample.colourHeader);
    std::memset(sample.colourBits, 0, sizeof sample.colourBits);
    if (capture.parts & kCursorHasMask) {
        std::memcpy(sample.maskHeader, capture.mask.header.data(), kCursorImageHeaderBytes);
        if (!capture.mask.bits.empty()) {
            std::memcpy(sample.maskBits, capture.mask.bits.data(), capture.mask.bits.size());
        }
    }
    if (capture.parts & kCursorHasColour) {
        std::memcpy(sample.colourHeader, capture.colour.header.data(), kCursorImageHeaderBytes);
        if (!capture.colour.bits.empty()) {
            std::memcpy(sample.colourBits, capture.colour.bits.data(), capture.colour.bits.size());
        }
    }
}

} // namespace quillon::editor
