#include "shot/screenshot_files.h"

#include <cstdio>
#include <cstring>


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

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

ScreenshotBitmapHeader screenshotBitmapHeader(const CapturedImage& image) {
    ScreenshotBitmapHeader header;
    header.fileSize = image.imageSize + static_cast<uint32_t>(kScreenshotPixelOffset);
    header.width = image.width;
    header.height = -image.height;
    header.bitsPerPixel = static_cast<uint16_t>(image.bitsPerPixel);
    header.compression = image.compression;
    header.imageSize = image.imageSize;
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

std::optional<BitmapFileView> readBitmapFile(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kScreenshotPixelOffset) {
        return std::nullopt;
    }
    BitmapFileView view;
    std::memcpy(&view.header, bytes.data(), sizeof view.header);
    const ScreenshotBitmapHeader& h = view.header;
    if (h.type != 0x4D42 || h.headerSize != 108 || h.pixelOffset != kScreenshotPixelOffset || h.width <= 0 ||
        h.height == 0 || h.height == INT32_MIN || h.planes != 1) {
        return std::nullopt;
    }
    if (h.bitsPerPixel != 16 && h.bitsPerPixel != 24 && h.bitsPerPixel != 32) {
        return std::nullopt;
    }
    view.width = h.width;
    view.topDown = h.height < 0;
    view.height = view.topDown ? -h.height : h.height;
    view.stride = dibRowSize(view.width, h.bitsPerPixel);
    uint64_t needed = static_cast<uint64_t>(view.stride) * static_cast<uint64_t>(view.height);
    if (view.stride == 0 || h.imageSize < needed || kScreenshotPixelOffset + needed > bytes.size()) {
        return std::nullopt;
    }
    view.pixels = bytes.data() + kScreenshotPixelOffset;
    return view;
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
    switch (view.header.bitsPerPixel) {
    case 32:
        p += static_cast<size_t>(x) * 4;
        return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    case 24:
        p += static_cast<size_t>(x) * 3;
        return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    default: {
        // Bit fields as the header says; plain 16-bit RGB is 5-5-5.
        bool fields = view.header.compression == kDibBitFields;
        uint32_t red = fields ? view.header.redMask : 0x7C00;
        uint32_t green = fields ? view.header.greenMask : 0x03E0;
        uint32_t blue = fields ? view.header.blueMask : 0x001F;
        p += static_cast<size_t>(x) * 2;
        uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
        return maskedChannel(v, red) << 16 | maskedChannel(v, green) << 8 | maskedChannel(v, blue);
    }
    }
}

std::optional<CursorFileView> readCursorFile(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kCursorFileHeadSize) {
        return std::nullopt;
    }
    CursorFileView view;
    view.position.x = static_cast<int32_t>(readLe32(bytes.data()));
    view.position.y = static_cast<int32_t>(readLe32(bytes.data() + 4));
    view.flags = readLe32(bytes.data() + 8);
    if (view.flags & ~(kCursorHasMask | kCursorHasColour)) {
        return std::nullopt;
    }
    size_t at = kCursorFileHeadSize;
    auto readImage = [&](std::optional<DibInfoHeader>& header, std::vector<uint8_t>& bits) {
        if (bytes.size() - at < sizeof(DibInfoHeader)) {
            return false;
        }
        DibInfoHeader h;
        std::memcpy(&h, bytes.data() + at, sizeof h);
        at += sizeof h;
        if (h.size != 40 || bytes.size() - at < h.imageSize) {
            return false;
        }
        bits.assign(bytes.begin() + static_cast<ptrdiff_t>(at),
                    bytes.begin() + static_cast<ptrdiff_t>(at + h.imageSize));
        at += h.imageSize;
        header = h;
        return true;
    };
    if ((view.flags & kCursorHasMask) && !readImage(view.maskHeader, view.maskBits)) {
        return std::nullopt;
    }
    if ((view.flags & kCursorHasColour) && !readImage(view.colourHeader, view.colourBits)) {
        return std::nullopt;
    }
    if (at != bytes.size()) {
        return std::nullopt;
    }
    return view;
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
