// What the comparisons need of a recognition image, a number pack and a
// cursor sample, as small views over the analyzer's records (or over pixels
// a test or a variable holds).
#pragma once

#include "analyzer/records.h"

#include <array>
#include <cstdint>

namespace quillon::runner {

inline constexpr int kImageMaxSide = analyzer::kRecognitionImageMaxSide;
inline constexpr int kImageStride = analyzer::kImageRowStride; // 804

// Pixels blue, green, red, mask; `stride` bytes a row.
struct ImageView {
    const uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = kImageStride;
    bool pattern = false;     // only pixels whose mask byte is 1 take part
    int anchorColumn = -1;    // pattern images: first selected pixel, tested first
    int anchorRow = -1;

    const uint8_t* pixel(int x, int y) const { return pixels + y * stride + x * 4; }
    bool valid() const { return pixels && width >= 1 && height >= 1 && width <= kImageMaxSide && height <= kImageMaxSide; }
    bool hasAnchor() const { return anchorColumn >= 0 && anchorRow >= 0 && anchorColumn < width && anchorRow < height; }
};

ImageView viewOf(const analyzer::RecognitionImage& image);

// A single colour as a 1 x 1 image (range searches for a colour).
struct ColourImage {
    explicit ColourImage(uint32_t rgb);
    ImageView view() const;
    uint8_t bytes[4];
};

// Number packs: digits 0..9, then + - x / as entries 10..13. A sample point
// is a column and row offset from the sample's top-left corner and a colour
// 0x00RRGGBB; the sample's top lies `lineOffset` rows below its line's top.
using NumberPoint = analyzer::NumberSamplePoint;
inline constexpr int kNumberEntries = analyzer::kNumberPackEntries;

struct NumberSampleView {
    bool defined = false;
    int width = 0;
    int lineOffset = 0; // the sample's top within its line
    const NumberPoint* points = nullptr;
    int pointCount = 0;
    int rowExtent = 0;  // one past the lowest point row, from the line's top
    int lastColumn = 0; // largest column offset
};

struct NumberPackView {
    std::array<NumberSampleView, kNumberEntries> samples{};
    int digitWidth = 0;  // widest digit sample
    int digitHeight = 0; // tallest line a digit sample covers
};

// Reads a pack block: each slot header is the set flag, then width, height,
// point count and the line offset (the sample's top within its line); the
// points follow. Samples with a bad count or points outside 0..200 are
// treated as undefined. False when the block is not in use.
bool viewOf(const analyzer::NumberPack& pack, NumberPackView& view);

} // namespace quillon::runner
