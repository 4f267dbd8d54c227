#include "screenshots/screenshot_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/byte_order.h"

namespace quillon {
namespace {

void append(std::vector<uint8_t>& out, const void* data, size_t size) {
    if (size == 0) {
        return;
    }
    size_t at = out.size();
    out.resize(at + size);
    std::memcpy(out.data() + at, data, size);
}

void appendLe32(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    append(out, bytes, 4);
}

// A cursor image: its header, then exactly the header's image size in bytes.
void appendCursorImage(std::vector<uint8_t>& out, const DibInfoHeader& header, const std::vector<uint8_t>& bits) {
    append(out, &header, sizeof header);
    size_t size = header.imageSize;
    size_t taken = bits.size() < size ? bits.size() : size;
    append(out, bits.data(), taken);
    out.resize(out.size() + (size - taken), 0);
}

} // namespace

ScreenshotBitmapHeader screenshotBitmapHeader(const CapturedImage& image) {
    ScreenshotBitmapHeader header;
    header.fileSize = image.imageSize + static_cast<uint32_t>(kScreenshotPixelOffset);
    header.info.width = image.width;
    header.info.height = -image.height;
    header.info.bitCount = static_cast<uint16_t>(image.bitsPerPixel);
    header.info.compression = image.compression;
    header.info.imageSize = image.imageSize;
    header.redMask = image.redMask;
    header.greenMask = image.greenMask;
    header.blueMask = image.blueMask;
    return header;
}

std::vector<uint8_t> buildBitmapFile(const CapturedImage& image) {
    ScreenshotBitmapHeader header = screenshotBitmapHeader(image);
    std::vector<uint8_t> out;
    out.reserve(kScreenshotPixelOffset + image.imageSize);
    append(out, &header, sizeof header);
    size_t size = image.imageSize;
    size_t taken = image.pixels.size() < size ? image.pixels.size() : size;
    append(out, image.pixels.data(), taken);
    out.resize(kScreenshotPixelOffset + size, 0);
    return out;
}

std::vector<uint8_t> buildCursorFile(Point position, const CursorImage* shape) {
    std::vector<uint8_t> out;
    uint32_t flags = shape != nullptr ? (shape->flags & (kCursorHasMask | kCursorHasColour)) : 0;
    if (flags == 0) {
        position = {};
    }
    appendLe32(out, static_cast<uint32_t>(position.x));
    appendLe32(out, static_cast<uint32_t>(position.y));
    appendLe32(out, flags);
    if (flags & kCursorHasMask) {
        appendCursorImage(out, shape->maskHeader, shape->maskBits);
    }
    if (flags & kCursorHasColour) {
        appendCursorImage(out, shape->colourHeader, shape->colourBits);
    }
    return out;
}

BitmapStatus readBitmapFile(const uint8_t* bytes, size_t size, BitmapFileView& view) {
    constexpr size_t kFileHeaderSize = 14;
    view = {};
    if (size < kFileHeaderSize + kBitmapHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        return BitmapStatus::Damaged;
    }
    std::memcpy(&view.header, bytes, std::min(size, sizeof view.header));
    const ScreenshotBitmapHeader& h = view.header;
    const DibInfoHeader& info = h.info;
    if (info.bitCount != 16 && info.bitCount != 24 && info.bitCount != 32) {
        return BitmapStatus::Unsupported;
    }
    if (info.compression != kDibRgb && info.compression != kDibBitFields) {
        return BitmapStatus::Unsupported;
    }
    if (info.size < kBitmapHeaderSize || info.size > size - kFileHeaderSize || info.planes != 1 || info.width <= 0 ||
        info.width > kLargestBitmapSide || info.height == 0 || info.height < -kLargestBitmapSide ||
        info.height > kLargestBitmapSide) {
        return BitmapStatus::Damaged;
    }
    view.width = info.width;
    view.topDown = info.height < 0;
    view.height = view.topDown ? -info.height : info.height;
    view.stride = dibRowSize(view.width, info.bitCount);
    const uint64_t needed = uint64_t{view.stride} * static_cast<uint64_t>(view.height);
    if (h.pixelOffset < kFileHeaderSize + info.size || h.pixelOffset > size || needed > size - h.pixelOffset) {
        return BitmapStatus::Damaged;
    }
    view.pixels = bytes + h.pixelOffset;
    return BitmapStatus::Ok;
}

BitmapStatus readScreenshotBitmap(const uint8_t* bytes, size_t size, ScreenshotBitmap& bitmap) {
    bitmap = {};
    BitmapFileView view;
    BitmapStatus status = readBitmapFile(bytes, size, view);
    if (status != BitmapStatus::Ok) {
        return status;
    }
    bitmap.width = view.width;
    bitmap.height = view.height;
    bitmap.bitsPerPixel = view.header.info.bitCount;
    bitmap.stride = static_cast<int>(view.stride);
    bitmap.pixels.resize(size_t{view.stride} * static_cast<size_t>(view.height));
    // Rows stored bottom to top are turned around.
    for (int32_t row = 0; row < view.height; ++row) {
        std::memcpy(bitmap.pixels.data() + size_t{view.stride} * static_cast<size_t>(row),
                    view.pixels + size_t{view.stride} * static_cast<size_t>(view.topDown ? row : view.height - 1 - row),
                    view.stride);
    }
    return BitmapStatus::Ok;
}

namespace {

// One channel of a 16-bit pixel, widened to 8 bits by repeating its top bits.
uint32_t maskedChannel(uint32_t value, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    int width = 0;
    while (shift + width < 32 && ((mask >> (shift + width)) & 1) != 0) {
        ++width;
    }
    uint32_t channel = (value & mask) >> shift;
    if (width >= 8) {
        return channel >> (width - 8);
    }
    uint32_t widened = 0;
    for (int filled = 0; filled < 8; filled += width) {
        widened = (widened << width) | channel;
    }
    int total = ((8 + width - 1) / width) * width;
    return (widened >> (total - 8)) & 0xFF;
}

} // namespace

uint32_t bitmapPixel(const BitmapFileView& view, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= view.width || y >= view.height) {
        return 0;
    }
    int32_t row = view.topDown ? y : view.height - 1 - y;
    const uint8_t* p = view.pixels + static_cast<size_t>(row) * view.stride;
    switch (view.header.info.bitCount) {
    case 32:
        p += static_cast<size_t>(x) * 4;
        return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    case 24:
        p += static_cast<size_t>(x) * 3;
        return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    default: {
        // Bit fields as the header says; plain 16-bit RGB is 5-5-5.
        bool fields = view.header.info.compression == kDibBitFields;
        uint32_t red = fields ? view.header.redMask : 0x7C00;
        uint32_t green = fields ? view.header.greenMask : 0x03E0;
        uint32_t blue = fields ? view.header.blueMask : 0x001F;
        p += static_cast<size_t>(x) * 2;
        uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
        return maskedChannel(v, red) << 16 | maskedChannel(v, green) << 8 | maskedChannel(v, blue);
    }
    }
}

std::optional<CursorFile> readCursorFile(const uint8_t* bytes, size_t size) {
    if (size < 8) {
        return std::nullopt;
    }
    CursorFile file;
    file.image.position = {static_cast<int32_t>(loadLe32(bytes)), static_cast<int32_t>(loadLe32(bytes + 4))};
    const uint32_t flags = size < kCursorFileHeadSize ? 0 : loadLe32(bytes + 8);
    file.damaged = size < kCursorFileHeadSize || (flags & ~(kCursorHasMask | kCursorHasColour)) != 0;
    size_t at = kCursorFileHeadSize;
    auto readPart = [&](uint32_t part, DibInfoHeader& header, std::vector<uint8_t>& bits) {
        if (!(flags & part)) {
            return;
        }
        if (file.refused == 0 && size - at >= kBitmapHeaderSize) {
            std::memcpy(&header, bytes + at, kBitmapHeaderSize);
            if (header.size == kBitmapHeaderSize && header.imageSize <= kCursorBitsSize &&
                header.imageSize <= size - at - kBitmapHeaderSize) {
                at += kBitmapHeaderSize;
                bits.assign(bytes + at, bytes + at + header.imageSize);
                at += header.imageSize;
                file.image.flags |= part;
                return;
            }
        }
        header = {};
        file.refused |= part;
    };
    readPart(kCursorHasMask, file.image.maskHeader, file.image.maskBits);
    readPart(kCursorHasColour, file.image.colourHeader, file.image.colourBits);
    file.damaged = file.damaged || file.refused != 0 || (size >= kCursorFileHeadSize && at != size);
    return file;
}

std::string screenshotBaseName(const std::string& programFolder, const std::string& screenshotPath,
                               const LocalTime& time) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%.4d%.2d%.2d%.2d%.2d%.2d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return programFolder + screenshotPath + stamp;
}

ScreenshotFileNames screenshotFileNames(const std::string& baseName, const std::string& bitmapExtension,
                                        const std::string& settingsExtension, const std::string& cursorExtension) {
    return {baseName + "." + bitmapExtension, baseName + "." + settingsExtension, baseName + "." + cursorExtension};
}

} // namespace quillon
