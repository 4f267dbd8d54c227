#include "runner/colour_distance.h"
#include "runner/matching.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace quillon::runner {

namespace {
int decide(bool same, CompareMode mode) {
    const bool held = mode == CompareMode::Same ? same : !same;
    return held ? kTestHeld : kTestNotHeld;
}
int outside(CompareMode mode) { return mode == CompareMode::Same ? kTestOutside : kTestHeld; }
} // namespace

int testColour(const FrameView& frame, Point point, uint32_t rgb, int similarity, CompareMode mode) {
    if (!frame.contains(point.x, point.y)) {
        return outside(mode);
    }
    uint8_t colour[4];
    colourBytes(rgb, colour);
    return decide(withinLimit(frame.pixel(point.x, point.y), colour, squaredLimit(similarity)), mode);
}

int testImage(const FrameView& frame, const ImageView& image, Point topLeft, int similarity, CompareMode mode) {
    // An image touching the capture's right or bottom edge counts as off it.
    if (!image.valid() || topLeft.x < 0 || topLeft.y < 0 || topLeft.x + image.width >= frame.width ||
        topLeft.y + image.height >= frame.height) {
        return outside(mode);
    }
    const int32_t limit = squaredLimit(similarity);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* screen = frame.pixel(topLeft.x, topLeft.y + y);
        const uint8_t* own = image.pixel(0, y);
        for (int x = 0; x < image.width; ++x, screen += 4, own += 4) {
            if (image.pattern && own[3] != 1) {
                continue;
            }
            if (!withinLimit(screen, own, limit)) {
                return decide(false, mode);
            }
        }
    }
    return decide(true, mode);
}

int similarityOfDistance(int32_t squaredDistance) {
    if (squaredDistance <= 0) return 100;
    // The smallest limit step L with (5L)^2 >= d^2 (L <= 89: no distance
    // exceeds 441.7).
    int steps = static_cast<int>(std::sqrt(static_cast<double>(squaredDistance)) / 5.0);
    while (steps > 0 && 25 * (steps - 1) * (steps - 1) >= squaredDistance) --steps;
    while (25 * steps * steps < squaredDistance) ++steps;
    return std::max(0, 100 - steps);
}

int colourSimilarity(const FrameView& frame, Point point, uint32_t rgb) {
    if (!frame.contains(point.x, point.y)) return -1;
    uint8_t colour[4];
    colourBytes(rgb, colour);
    return similarityOfDistance(squaredDistance(frame.pixel(point.x, point.y), colour));
}

int imageSimilarity(const FrameView& frame, const ImageView& image, Point topLeft, bool withAnchor) {
    if (!image.valid() || topLeft.x < 0 || topLeft.y < 0 || topLeft.x + image.width > frame.width ||
        topLeft.y + image.height > frame.height) {
        return -1;
    }
    int32_t worst = 0;
    bool any = false;
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* screen = frame.pixel(topLeft.x, topLeft.y + y);
        const uint8_t* own = image.pixel(0, y);
        for (int x = 0; x < image.width; ++x, screen += 4, own += 4) {
            if (image.pattern && own[3] != 1 && !(withAnchor && x == image.anchorColumn && y == image.anchorRow)) {
                continue;
            }
            any = true;
            worst = std::max(worst, squaredDistance(screen, own));
        }
    }
    // A pattern with nothing selected compares nothing and always matches.
    return any ? similarityOfDistance(worst) : 100;
}

namespace {
// The taken bits against a sample's 65,536: bits the cursor did not fill
// count as zero, bits past the sample's room are not compared.
bool sameBits(const std::vector<uint8_t>& taken, const uint8_t* stored) {
    const size_t compared = std::min(taken.size(), kCursorBitsSize);
    if (std::memcmp(taken.data(), stored, compared) != 0) {
        return false;
    }
    return std::all_of(stored + compared, stored + kCursorBitsSize, [](uint8_t b) { return b == 0; });
}
} // namespace

int testCursor(const CursorImage& cursor, const analyzer::CursorSample& sample, CompareMode mode) {
    bool same = static_cast<int>(cursor.flags & 3) == (sample.parts & 3);
    if (same) {
        if (cursor.flags & kCursorHasColour) {
            same = std::memcmp(&cursor.colourHeader, sample.colourHeader, kBitmapHeaderSize) == 0 &&
                   sameBits(cursor.colourBits, sample.colourBits);
        } else if (cursor.flags & kCursorHasMask) {
            same = std::memcmp(&cursor.maskHeader, sample.maskHeader, kBitmapHeaderSize) == 0 &&
                   sameBits(cursor.maskBits, sample.maskBits);
        }
    }
    return mode == CompareMode::Same ? (same ? 0 : 100) : (same ? 200 : 0);
}

} // namespace quillon::runner
