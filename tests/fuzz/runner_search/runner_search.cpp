// Differential fuzzing of the range search: the bytes make a small screen
// of a few colours, an image (plain or pattern, with any anchor), an area,
// an order, N and a similarity; the fast search must answer exactly as the
// literal rules do; the closest place of the area must be as close as it says.
#include "runner/matching.h"
// The literal rules are compiled in: the fuzz target takes one source file.
#include "tests/runner/reference_matching.cpp"

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

struct Bytes {
    const uint8_t* p;
    size_t n;
    uint8_t next() {
        if (n == 0) return 0;
        --n;
        return *p++;
    }
    int range(int lo, int hi) { return lo + next() % (hi - lo + 1); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillon::runner;
    Bytes in{data, size};
    const int W = in.range(1, 70), H = in.range(1, 50);
    uint32_t palette[4];
    for (uint32_t& c : palette) c = static_cast<uint32_t>(in.next()) * 0x010101u ^ (static_cast<uint32_t>(in.next()) << 8);
    std::vector<uint8_t> screen(static_cast<size_t>(W) * H * 4);
    for (size_t i = 0; i < screen.size(); i += 4) {
        const uint32_t c = palette[in.next() & 3];
        screen[i] = static_cast<uint8_t>(c);
        screen[i + 1] = static_cast<uint8_t>(c >> 8);
        screen[i + 2] = static_cast<uint8_t>(c >> 16);
    }
    // Kept between inputs: only the cut's own pixels are read.
    static std::vector<uint8_t> pixels(kImageStride * kImageMaxSide);
    ImageView image;
    image.pixels = pixels.data();
    image.width = in.range(1, 6);
    image.height = in.range(1, 6);
    image.pattern = in.next() & 1;
    image.anchorColumn = in.range(-1, 6);
    image.anchorRow = in.range(-1, 6);
    // The image is cut from the screen (so matches occur), then disturbed.
    const int cx = in.range(0, W - 1), cy = in.range(0, H - 1);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            uint8_t* p = pixels.data() + y * kImageStride + x * 4;
            const int sx = (cx + x) % W, sy = (cy + y) % H;
            for (int c = 0; c < 3; ++c) p[c] = screen[(static_cast<size_t>(sy) * W + sx) * 4 + c];
            const uint8_t noise = in.next();
            if (noise < 16) p[noise % 3] ^= static_cast<uint8_t>(noise * 13);
            p[3] = (noise & 0x80) ? 1 : 0;
        }
    RangeSearch search;
    search.image = image;
    search.area = {in.range(0, W), in.range(0, H), 0, 0};
    search.area.width = in.range(0, W - search.area.left + 1);
    search.area.height = in.range(0, H - search.area.top + 1);
    search.order = static_cast<ScanOrder>(in.range(0, 4));
    search.nth = in.range(-1, 12);
    search.similarity = in.range(45, 105);
    search.mode = (in.next() & 3) == 0 ? SearchMode::NotFound : SearchMode::Found;

    const FrameView frame{screen.data(), W, H, W * 4};
    // One searcher for every input, as the runner keeps one for every frame.
    static RangeSearcher searcher;
    RangeResult fast{3, 4, 5}, slow{3, 4, 5};
    const int a = searcher.search(frame, search, fast);
    const int b = reference::searchRange(frame, search, slow);
    if (a != b || fast.found != slow.found || fast.x != slow.x || fast.y != slow.y) std::abort();
    // The closest place a watcher is told of: its similarity is the one
    // measured there, and a search that held somewhere was at least as close.
    const RangeSearcher::Closest closest = searcher.closest(frame, search);
    if (closest.found) {
        const int there = imageSimilarity(frame, image, {closest.place.left, closest.place.top}, true);
        if (there != closest.similarity) std::abort();
        if (!closest.capped && search.mode == SearchMode::Found && fast.found == 1 &&
            closest.similarity < std::min(search.similarity, 100)) {
            std::abort();
        }
    }
    return 0;
}
