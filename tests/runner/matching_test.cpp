// The pixel comparisons: the colour rule at its limits, points and images at
// the capture's edges, the scan orders, the N-th match and the result table,
// and the fast search against the literal rules on many random screens.
#include "runner/matching.h"
#include "runner/synthetic_screen.h"
#include "tests/runner/reference_matching.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace quillon::runner {
namespace {

FrameView frameOf(const SyntheticScreen& s) { return {s.row(0), s.width(), s.height(), s.width() * 4}; }

// A recognition image held in a test: 804-byte rows like the record's.
struct TestImage {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kImageStride * kImageMaxSide);
    ImageView view;
    TestImage(int w, int h) {
        view.pixels = pixels.data();
        view.width = w;
        view.height = h;
    }
    void set(int x, int y, uint32_t rgb, uint8_t mask = 0) {
        uint8_t* p = pixels.data() + y * kImageStride + x * 4;
        p[0] = static_cast<uint8_t>(rgb);
        p[1] = static_cast<uint8_t>(rgb >> 8);
        p[2] = static_cast<uint8_t>(rgb >> 16);
        p[3] = mask;
    }
    void cutFrom(const SyntheticScreen& s, int left, int top) {
        for (int y = 0; y < view.height; ++y)
            for (int x = 0; x < view.width; ++x) set(x, y, s.pixel(left + x, top + y));
    }
};

TEST(ColourRule, LimitIsInclusiveAndExactAtEverySimilarity) {
    // (100 - S) * 5: at 100 only identical pixels, at 50 a difference of 144
    // in each channel (249.4) still matches and 145 (251.1) does not.
    SyntheticScreen s(4, 1, 0x000000);
    s.setPixel(1, 0, 0x909090);
    s.setPixel(2, 0, 0x919191);
    s.setPixel(3, 0, 0x000001);
    const FrameView f = frameOf(s);
    struct Case { int x; int similarity; int expected; } cases[] = {
        {0, 100, kTestHeld}, {3, 100, kTestNotHeld}, {3, 99, kTestHeld},
        {1, 50, kTestHeld},  {2, 50, kTestNotHeld},  {1, 51, kTestNotHeld},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(testColour(f, {c.x, 0}, 0x000000, c.similarity, CompareMode::Same), c.expected)
            << c.x << " at " << c.similarity;
    }
    // Integer squared distances agree with the double-precision rule on
    // every distance up to the largest limit.
    for (int s2 = 50; s2 <= 100; ++s2) {
        for (int d = 0; d <= 255; d += 3) {
            uint8_t a[4] = {0, 0, 0, 0};
            uint8_t b[4] = {static_cast<uint8_t>(d), static_cast<uint8_t>(d / 2), static_cast<uint8_t>(d / 3), 0};
            SyntheticScreen one(1, 1, static_cast<uint32_t>(b[0]) | (b[1] << 8) | (b[2] << 16));
            EXPECT_EQ(testColour(frameOf(one), {0, 0}, 0, s2, CompareMode::Same) == kTestHeld,
                      reference::pixelsMatch(a, b, s2));
        }
    }
}

TEST(PointTests, OutsideTheCaptureDecidesByMode) {
    SyntheticScreen s(10, 8, 0x112233);
    const FrameView f = frameOf(s);
    for (Point p : {Point{-1, 0}, Point{0, -1}, Point{10, 0}, Point{0, 8}}) {
        EXPECT_EQ(testColour(f, p, 0x112233, 100, CompareMode::Same), kTestOutside);
        EXPECT_EQ(testColour(f, p, 0x112233, 100, CompareMode::Different), kTestHeld);
    }
    EXPECT_EQ(testColour(f, {9, 7}, 0x112233, 100, CompareMode::Same), kTestHeld);
    EXPECT_EQ(testColour(f, {9, 7}, 0x112233, 100, CompareMode::Different), kTestNotHeld);

    TestImage img(3, 3);
    img.cutFrom(s, 0, 0);
    // An image touching the right or bottom edge counts as off the capture.
    EXPECT_EQ(testImage(f, img.view, {7, 0}, 100, CompareMode::Same), kTestOutside);
    EXPECT_EQ(testImage(f, img.view, {0, 5}, 100, CompareMode::Same), kTestOutside);
    EXPECT_EQ(testImage(f, img.view, {6, 4}, 100, CompareMode::Same), kTestHeld);
    EXPECT_EQ(testImage(f, img.view, {-1, 0}, 100, CompareMode::Different), kTestHeld);
}

TEST(PointTests, ImagePixelsAndPatternMask) {
    SyntheticScreen s(20, 20, 0xFFFFFF);
    s.fillRect(5, 5, 3, 3, 0x000000);
    const FrameView f = frameOf(s);
    TestImage img(3, 3);
    img.cutFrom(s, 5, 5);
    EXPECT_EQ(testImage(f, img.view, topLeftAround({6, 6}, img.view), 100, CompareMode::Same), kTestHeld);
    EXPECT_EQ(testImage(f, img.view, {5, 6}, 100, CompareMode::Same), kTestNotHeld);
    EXPECT_EQ(testImage(f, img.view, {5, 6}, 100, CompareMode::Different), kTestHeld);
    // A pattern compares only its masked pixels: one black pixel matches
    // wherever the screen is black there.
    TestImage pat(3, 3);
    pat.view.pattern = true;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) pat.set(x, y, 0x00FF00, 0);
    pat.set(1, 1, 0x000000, 1);
    EXPECT_EQ(testImage(f, pat.view, {4, 4}, 100, CompareMode::Same), kTestHeld);
    EXPECT_EQ(testImage(f, pat.view, {1, 1}, 100, CompareMode::Same), kTestNotHeld);
}

TEST(PointTests, CursorComparesThePartsTaken) {
    auto cursor = std::make_unique<CursorImage>();
    auto sample = std::make_unique<analyzer::CursorSample>();
    std::memset(sample.get(), 0, sizeof(analyzer::CursorSample));
    cursor->flags = kCursorHasMask;
    sample->parts = 1;
    cursor->maskBits.assign(kCursorBitsSize, 0);
    cursor->colourBits.assign(kCursorBitsSize, 0);
    cursor->maskBits[100] = 7;
    sample->maskBits[100] = 7;
    std::memcpy(sample->maskHeader, &cursor->maskHeader, kBitmapHeaderSize);
    std::memcpy(sample->colourHeader, &cursor->colourHeader, kBitmapHeaderSize);
    EXPECT_EQ(testCursor(*cursor, *sample, CompareMode::Same), 0);
    sample->colourBits[5] = 1; // not taken: ignored
    EXPECT_EQ(testCursor(*cursor, *sample, CompareMode::Same), 0);
    sample->maskHeader[4] = 32;
    EXPECT_NE(testCursor(*cursor, *sample, CompareMode::Same), 0);
    EXPECT_EQ(testCursor(*cursor, *sample, CompareMode::Different), 0);
    // With colour taken, the colour part decides, not the mask.
    cursor->flags = kCursorHasMask | kCursorHasColour;
    sample->parts = 3;
    cursor->colourBits[5] = 1;
    EXPECT_EQ(testCursor(*cursor, *sample, CompareMode::Same), 0);
    sample->parts = 1;
    EXPECT_NE(testCursor(*cursor, *sample, CompareMode::Same), 0);
}

// A screen with three copies of a small mark; order and N decide which.
struct MarkScreen {
    SyntheticScreen s{60, 40, 0xF0F0F0};
    TestImage mark{3, 3};
    MarkScreen() {
        for (Point p : {Point{30, 5}, Point{10, 20}, Point{40, 20}}) {
            s.fillRect(p.x, p.y, 3, 3, 0x2040A0);
            s.setPixel(p.x + 1, p.y + 1, 0xFFFFFF);
        }
        mark.cutFrom(s, 10, 20);
    }
};

TEST(RangeSearch, OrdersAndNthMatchReportTheMatchCentre) {
    MarkScreen m;
    const FrameView f = frameOf(m.s);
    RangeSearcher searcher;
    struct Case { ScanOrder order; int nth; Point centre; } cases[] = {
        {ScanOrder::Down, 1, {31, 6}},  {ScanOrder::Down, 2, {11, 21}}, {ScanOrder::Down, 3, {41, 21}},
        {ScanOrder::Up, 1, {11, 21}},   {ScanOrder::Up, 3, {31, 6}},    {ScanOrder::Right, 1, {11, 21}},
        {ScanOrder::Right, 2, {31, 6}}, {ScanOrder::Left, 1, {41, 21}}, {ScanOrder::Left, 3, {11, 21}},
        {ScanOrder::Spiral, 1, {41, 21}}, {ScanOrder::Down, 0, {31, 6}},
    };
    for (const Case& c : cases) {
        RangeSearch p{m.mark.view, {0, 0, 60, 40}, 100, c.order, c.nth, SearchMode::Found};
        RangeResult entry;
        EXPECT_EQ(searcher.search(f, p, entry), kSearchHeld) << static_cast<int>(c.order) << " n=" << c.nth;
        EXPECT_EQ(entry.found, 1);
        EXPECT_EQ((Point{entry.x, entry.y}), c.centre) << static_cast<int>(c.order) << " n=" << c.nth;
    }
    // A fourth match does not exist.
    RangeSearch p{m.mark.view, {0, 0, 60, 40}, 100, ScanOrder::Down, 4, SearchMode::Found};
    RangeResult entry{1, 5, 5};
    EXPECT_EQ(searcher.search(f, p, entry), kSearchNotHeld);
    EXPECT_EQ(entry.found, 0);
}

TEST(RangeSearch, ModesAndRefusedSearchesFillTheResultTable) {
    MarkScreen m;
    const FrameView f = frameOf(m.s);
    RangeSearcher searcher;
    // Not found mode with nothing there: the area's centre is reported.
    RangeSearch p{m.mark.view, {0, 30, 50, 10}, 100, ScanOrder::Down, 1, SearchMode::NotFound};
    RangeResult entry;
    EXPECT_EQ(searcher.search(f, p, entry), kSearchHeld);
    EXPECT_EQ(entry.found, 1);
    EXPECT_EQ((Point{entry.x, entry.y}), (Point{25, 35}));
    // ... and the preview shows the whole area (no match seen).
    EXPECT_TRUE(searcher.lastSeen().searched);
    EXPECT_FALSE(searcher.lastSeen().matched);
    // Not found mode with a match: not held, found cleared; the preview shows the match.
    p.area = {0, 0, 60, 40};
    EXPECT_EQ(searcher.search(f, p, entry), kSearchNotHeld);
    EXPECT_EQ(entry.found, 0);
    ASSERT_TRUE(searcher.lastSeen().matched);
    EXPECT_EQ(searcher.lastSeen().match, (Rect{30, 5, 33, 8}));
    // Found mode without its nth match: no match to preview.
    p.mode = SearchMode::Found;
    p.nth = 4;
    searcher.search(f, p, entry);
    EXPECT_FALSE(searcher.lastSeen().matched);
    // N above 30,000 or an area off the capture: no search, entry unchanged.
    for (RangeSearch refused : {RangeSearch{m.mark.view, {0, 0, 60, 40}, 100, ScanOrder::Down, 30001, SearchMode::Found},
                                RangeSearch{m.mark.view, {1, 0, 60, 40}, 100, ScanOrder::Down, 1, SearchMode::Found},
                                RangeSearch{m.mark.view, {-1, 0, 20, 20}, 100, ScanOrder::Down, 1, SearchMode::Found}}) {
        RangeResult kept{1, 7, 9};
        EXPECT_EQ(searcher.search(f, refused, kept), kSearchNotHeld);
        EXPECT_EQ(kept.found, 1);
        EXPECT_FALSE(searcher.lastSeen().searched); // no stale preview
        EXPECT_EQ(kept.x, 7);
        refused.mode = SearchMode::NotFound;
        EXPECT_EQ(searcher.search(f, refused, kept), kSearchHeld);
        EXPECT_EQ(kept.y, 9);
    }
}

TEST(RangeSearch, LastColumnAndRowOfPositions) {
    // The mark sits exactly at the last position that fits: orders 0 and 2
    // never test it, orders 1 and 3 start there.
    SyntheticScreen s(20, 20, 0xFFFFFF);
    s.fillRect(17, 17, 3, 3, 0x000000);
    TestImage mark(3, 3);
    mark.cutFrom(s, 17, 17);
    RangeSearcher searcher;
    struct Case { ScanOrder order; int code; } cases[] = {
        {ScanOrder::Down, kSearchNotHeld}, {ScanOrder::Right, kSearchNotHeld},
        {ScanOrder::Up, kSearchNotHeld},   {ScanOrder::Left, kSearchNotHeld}, {ScanOrder::Spiral, kSearchHeld}};
    for (const Case& c : cases) {
        RangeSearch p{mark.view, {0, 0, 20, 20}, 100, c.order, 1, SearchMode::Found};
        RangeResult entry;
        EXPECT_EQ(searcher.search(frameOf(s), p, entry), c.code) << static_cast<int>(c.order);
    }
    // Order 1 starts on the last row: a mark on the last row but not the
    // last column is found first.
    s.fill(0xFFFFFF);
    s.fillRect(4, 17, 3, 3, 0x000000);
    s.fillRect(4, 2, 3, 3, 0x000000);
    RangeSearch up{mark.view, {0, 0, 20, 20}, 100, ScanOrder::Up, 1, SearchMode::Found};
    RangeResult entry;
    EXPECT_EQ(searcher.search(frameOf(s), up, entry), kSearchHeld);
    EXPECT_EQ((Point{entry.x, entry.y}), (Point{5, 18}));
    up.order = ScanOrder::Down;
    EXPECT_EQ(searcher.search(frameOf(s), up, entry), kSearchHeld);
    EXPECT_EQ((Point{entry.x, entry.y}), (Point{5, 3}));
}

TEST(RangeSearch, SpiralVisitsOutwardFromTheCentre) {
    // A 1x1 colour everywhere: with N the spiral's N-th position is reported.
    SyntheticScreen s(9, 9, 0x123456);
    ColourImage colour(0x123456);
    RangeSearcher searcher;
    const Point expected[] = {{4, 4}, {4, 3}, {3, 3}, {3, 4}, {3, 5}, {4, 5}, {5, 5}, {5, 4}, {5, 3}, {5, 2}, {4, 2}};
    for (int n = 1; n <= 11; ++n) {
        RangeSearch p{colour.view(), {0, 0, 9, 9}, 100, ScanOrder::Spiral, n, SearchMode::Found};
        RangeResult entry;
        ASSERT_EQ(searcher.search(frameOf(s), p, entry), kSearchHeld);
        EXPECT_EQ((Point{entry.x, entry.y}), expected[n - 1]) << n;
    }
    // Off-centre area near a side: every position is still reached once.
    RangeSearch p{colour.view(), {0, 0, 9, 3}, 100, ScanOrder::Spiral, 27, SearchMode::Found};
    RangeResult entry;
    EXPECT_EQ(searcher.search(frameOf(s), p, entry), kSearchHeld);
    p.nth = 28;
    EXPECT_EQ(searcher.search(frameOf(s), p, entry), kSearchNotHeld);
}

// ---- the fast search against the literal rules ---------------------------

struct RandomCase {
    SyntheticScreen screen;
    TestImage image;
    RangeSearch search;
};

// Screens of few colours with near-miss copies of the image, so matches,
// near matches and box-only survivors all occur.
RandomCase makeCase(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int W = pick(8, 90), H = pick(8, 70);
    const uint32_t palette[4] = {static_cast<uint32_t>(pick(0, 0xFFFFFF)), static_cast<uint32_t>(pick(0, 0xFFFFFF)),
                                 0x808080, 0x000000};
    RandomCase c{SyntheticScreen(W, H, palette[pick(0, 3)]), TestImage(pick(1, 7), pick(1, 7)), {}};
    for (int i = pick(0, 30); i > 0; --i) c.screen.fillRect(pick(-3, W), pick(-3, H), pick(1, 12), pick(1, 9), palette[pick(0, 3)]);
    const int w = std::min(c.image.view.width, W), h = std::min(c.image.view.height, H);
    c.image.view.width = w;
    c.image.view.height = h;
    c.image.cutFrom(c.screen, pick(0, W - w), pick(0, H - h));
    // Paste copies, some slightly disturbed.
    for (int i = pick(0, 6); i > 0; --i) {
        const int x = pick(0, W - w), y = pick(0, H - h);
        for (int j = 0; j < h; ++j)
            for (int k = 0; k < w; ++k) {
                const uint8_t* p = c.image.pixels.data() + j * kImageStride + k * 4;
                uint32_t rgb = p[0] | (p[1] << 8) | (p[2] << 16);
                if (pick(0, 40) == 0) rgb ^= static_cast<uint32_t>(pick(1, 0x3F)) << (8 * pick(0, 2));
                c.screen.setPixel(x + k, y + j, rgb);
            }
    }
    if (pick(0, 3) == 0) {
        c.image.view.pattern = true;
        for (int j = 0; j < h; ++j)
            for (int k = 0; k < w; ++k) c.image.pixels[j * kImageStride + k * 4 + 3] = pick(0, 2) == 0 ? 1 : 0;
        c.image.view.anchorColumn = pick(-1, w);
        c.image.view.anchorRow = pick(0, h - 1);
    }
    SearchArea a{pick(0, W - 1), pick(0, H - 1), 0, 0};
    a.width = pick(0, W - a.left + (pick(0, 10) == 0 ? 1 : 0));
    a.height = pick(0, H - a.top + (pick(0, 10) == 0 ? 1 : 0));
    c.search = RangeSearch{c.image.view, a, pick(0, 3) == 0 ? 100 : pick(50, 100), static_cast<ScanOrder>(pick(0, 4)),
                           pick(0, 8) == 0 ? pick(-1, 30002) : pick(1, 4), pick(0, 4) == 0 ? SearchMode::NotFound : SearchMode::Found};
    return c;
}

class FastSearchAgreesWithRules : public ::testing::TestWithParam<bool> {};

TEST_P(FastSearchAgreesWithRules, OnRandomAndAdversarialCases) {
    RangeSearcher::forceSse2(GetParam());
    std::mt19937 rng(GetParam() ? 1234 : 4321);
    RangeSearcher searcher;
    for (int i = 0; i < 2500; ++i) {
        RandomCase c = makeCase(rng);
        c.search.image = c.image.view;
        const FrameView f = frameOf(c.screen);
        RangeResult fast{7, 8, 9}, slow{7, 8, 9};
        const int a = searcher.search(f, c.search, fast);
        const int b = reference::searchRange(f, c.search, slow);
        ASSERT_EQ(a, b) << "case " << i;
        ASSERT_EQ(fast.found, slow.found) << "case " << i;
        ASSERT_EQ(fast.x, slow.x) << "case " << i;
        ASSERT_EQ(fast.y, slow.y) << "case " << i;
    }
    RangeSearcher::forceSse2(false);
}

INSTANTIATE_TEST_SUITE_P(VectorUnits, FastSearchAgreesWithRules, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Sse2" : "Best"; });

TEST_P(FastSearchAgreesWithRules, TheClosestPlaceIsTheBestOfEveryVisitedPosition) {
    RangeSearcher::forceSse2(GetParam());
    std::mt19937 rng(GetParam() ? 77 : 78);
    RangeSearcher searcher;
    for (int i = 0; i < 600; ++i) {
        RandomCase c = makeCase(rng);
        c.search.image = c.image.view;
        const FrameView f = frameOf(c.screen);
        const RangeSearcher::Closest got = searcher.closest(f, c.search);
        if (!searchAllowed(f, c.search)) {
            ASSERT_FALSE(got.found) << "case " << i;
            continue;
        }
        // Every position the scan order visits, compared in full.
        const SearchArea& a = c.search.area;
        const ScanOrder order = c.search.order;
        const int lastX = a.left + a.width - c.image.view.width -
                          (order == ScanOrder::Left || order == ScanOrder::Spiral ? 0 : 1);
        const int lastY = a.top + a.height - c.image.view.height -
                          (order == ScanOrder::Up || order == ScanOrder::Spiral ? 0 : 1);
        int best = -1;
        for (int y = a.top; y <= lastY; ++y)
            for (int x = a.left; x <= lastX; ++x) best = std::max(best, imageSimilarity(f, c.image.view, {x, y}, true));
        ASSERT_EQ(got.found, best >= 0) << "case " << i;
        if (!got.found) continue;
        ASSERT_FALSE(got.capped) << "case " << i;
        ASSERT_EQ(got.similarity, best) << "case " << i;
        ASSERT_EQ(imageSimilarity(f, c.image.view, {got.place.left, got.place.top}, true), best) << "case " << i;
    }
    RangeSearcher::forceSse2(false);
}

TEST(FastSearch, WideAreasCrossManyVectorBlocks) {
    // Matches straddling every lane position of the 64-candidate runs.
    std::mt19937 rng(99);
    SyntheticScreen s(300, 40, 0x336699);
    for (int i = 0; i < 300; ++i) s.setPixel(std::uniform_int_distribution<int>(0, 299)(rng), std::uniform_int_distribution<int>(0, 39)(rng), 0xFFFFFF);
    TestImage dot(1, 1);
    dot.set(0, 0, 0xFFFFFF);
    RangeSearcher searcher;
    for (int order = 0; order <= 4; ++order)
        for (int n : {1, 7, 63, 64, 65, 150, 299, 400}) {
            RangeSearch p{dot.view, {0, 0, 300, 40}, 100, static_cast<ScanOrder>(order), n, SearchMode::Found};
            RangeResult fast, slow;
            ASSERT_EQ(searcher.search(frameOf(s), p, fast), reference::searchRange(frameOf(s), p, slow));
            ASSERT_EQ(fast.x, slow.x) << order << " " << n;
            ASSERT_EQ(fast.y, slow.y) << order << " " << n;
        }
}

} // namespace
} // namespace quillon::runner
