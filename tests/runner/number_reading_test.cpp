// Number recognition with a pack of 3 x 5 digit and sign samples painted on
// the synthetic screen.
#include "analyzer/model.h"
#include "runner/matching.h"
#include "runner/synthetic_screen.h"
#include "tests/runner/reference_matching.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace quillon::runner {
namespace {

// Glyph rows, '#' ink and '.' paper; entries 0..9 then + - x /.
const char* const kGlyphs[kNumberEntries][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", "###", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"}, {"...", ".#.", "###", ".#.", "..."}, {"...", "...", "###", "...", "..."},
    {"...", "#.#", ".#.", "#.#", "..."}, {"..#", "..#", ".#.", "#..", "#.."},
};
constexpr uint32_t kInk = 0x000000;
constexpr uint32_t kPaper = 0xFFFFFF;

struct Pack {
    std::vector<NumberPoint> points[kNumberEntries];
    NumberPackView view;
    Pack() {
        for (int e = 0; e < kNumberEntries; ++e) {
            for (int r = 0; r < 5; ++r)
                for (int c = 0; c < 3; ++c) points[e].push_back({c, r, kGlyphs[e][r][c] == '#' ? kInk : kPaper});
            NumberSampleView& s = view.samples[e];
            s.defined = true;
            s.width = 3;
            s.points = points[e].data();
            s.pointCount = static_cast<int>(points[e].size());
            s.rowExtent = 5;
            s.lastColumn = 2;
        }
        view.digitWidth = 3;
        view.digitHeight = 5;
    }
};

// Writes text with `gap` paper columns between glyphs; returns the end.
int write(SyntheticScreen& s, int x, int y, const std::string& text, int gap = 1) {
    for (char ch : text) {
        int e = ch >= '0' && ch <= '9' ? ch - '0' : ch == '+' ? 10 : ch == '-' ? 11 : ch == '*' ? 12 : ch == '/' ? 13 : -1;
        if (e >= 0)
            for (int r = 0; r < 5; ++r)
                for (int c = 0; c < 3; ++c) s.setPixel(x + c, y + r, kGlyphs[e][r][c] == '#' ? kInk : kPaper);
        x += 3 + gap;
    }
    return x;
}

FrameView frameOf(const SyntheticScreen& s) { return {s.row(0), s.width(), s.height(), s.width() * 4}; }

TEST(ReadNumber, DigitsOperatorsAndTheGapRule) {
    Pack pack;
    struct Case {
        std::string text;
        int gap;
        bool arithmetic;
        int64_t expected;
    } cases[] = {
        {"12+30", 1, true, 42},          {"12+30", 3, false, 12},        {"90817", 1, false, 90817},
        {"7*6", 1, true, 42},            {"100/4-5", 1, true, 20},       {"8/0", 1, true, 8},
        {"2-9", 1, true, -7},            {"1234567890123", 1, false, 1234567890123},
        {"5", 1, true, 5},
    };
    for (const Case& c : cases) {
        SyntheticScreen s(120, 20, kPaper);
        write(s, 4, 7, c.text, c.gap);
        int64_t value = -1;
        EXPECT_EQ(readNumber(frameOf(s), {0, 0, 120, 20}, pack.view, 95, c.arithmetic, value), 0);
        EXPECT_EQ(value, c.expected) << c.text;
        int64_t literal = -1;
        reference::readNumber(frameOf(s), {0, 0, 120, 20}, pack.view, 95, c.arithmetic, literal);
        EXPECT_EQ(literal, c.expected) << c.text;
    }
}

TEST(ReadNumber, TheFirstDigitFixesTheLine) {
    Pack pack;
    SyntheticScreen s(60, 30, kPaper);
    write(s, 2, 3, "4");
    write(s, 6, 12, "9"); // on another line: not part of the number
    write(s, 6, 3, "2");
    int64_t value = 0;
    EXPECT_EQ(readNumber(frameOf(s), {0, 0, 60, 30}, pack.view, 100, false, value), 0);
    EXPECT_EQ(value, 42);
}

// Later digits may sit anywhere on the first digit's line (its top and the
// pack's digit height), and a sample reaching the last scanned column ends
// the number.
TEST(ReadNumber, LaterDigitsAreLookedForOnEveryRowOfTheLine) {
    struct Glyph {
        char ch;
        int x, y;
    };
    struct Case {
        const char* name;
        std::vector<Glyph> glyphs;
        int areaWidth;
        bool shortOne; // digit 1 is a 3-row sample, 2 rows below its line's top
        int64_t expected;
    } cases[] = {
        {"second digit two rows lower", {{'4', 2, 5}, {'2', 6, 7}}, 40, false, 42},
        {"second digit on the line's last row", {{'1', 2, 5}, {'2', 6, 9}}, 40, false, 12},
        {"second digit below the line", {{'1', 2, 5}, {'2', 6, 10}}, 40, false, 1},
        {"second digit above the line", {{'1', 2, 5}, {'2', 6, 4}}, 40, false, 1},
        {"a short first digit fixes a taller line", {{'1', 2, 5}, {'7', 6, 6}}, 40, true, 17},
        {"a short later digit on its own offset", {{'7', 2, 5}, {'1', 6, 5}, {'1', 10, 6}}, 40, true, 711},
        {"last point on the last scanned column", {{'1', 4, 5}, {'2', 8, 5}}, 12, false, 1},
        {"last point before the last scanned column", {{'1', 4, 5}, {'2', 8, 5}}, 13, false, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pack pack;
        if (c.shortOne) {
            // The bottom three rows of "1".
            std::vector<NumberPoint>& one = pack.points[1];
            one.clear();
            for (int r = 2; r < 5; ++r)
                for (int col = 0; col < 3; ++col) one.push_back({col, r - 2, kGlyphs[1][r][col] == '#' ? kInk : kPaper});
            NumberSampleView& s1 = pack.view.samples[1];
            s1.points = one.data();
            s1.pointCount = static_cast<int>(one.size());
            s1.lineOffset = 2;
        }
        SyntheticScreen s(40, 20, kPaper);
        for (const Glyph& g : c.glyphs) write(s, g.x, g.y, std::string(1, g.ch));
        int64_t value = -1;
        EXPECT_EQ(readNumber(frameOf(s), {0, 0, c.areaWidth, 20}, pack.view, 100, false, value), 0);
        EXPECT_EQ(value, c.expected);
        int64_t literal = -1;
        reference::readNumber(frameOf(s), {0, 0, c.areaWidth, 20}, pack.view, 100, false, literal);
        EXPECT_EQ(literal, c.expected);
    }
}

TEST(ReadNumber, AreaOffTheCaptureGivesZeroAndFails) {
    Pack pack;
    SyntheticScreen s(30, 10, kPaper);
    write(s, 0, 0, "7");
    int64_t value = 99;
    EXPECT_NE(readNumber(frameOf(s), {0, 0, 31, 10}, pack.view, 100, false, value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_NE(readNumber(frameOf(s), {-1, 0, 10, 10}, pack.view, 100, false, value), 0);
}

TEST(ReadNumber, AgreesWithTheLiteralRulesOnRandomText) {
    Pack pack;
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 300; ++i) {
        SyntheticScreen s(pick(10, 90), pick(6, 20), kPaper);
        std::string text;
        for (int n = pick(1, 10); n > 0; --n) text += "0123456789+-*/ "[pick(0, 14)];
        write(s, pick(0, 8), pick(0, s.height() - 5), text, pick(1, 5));
        for (int k = pick(0, 6); k > 0; --k) s.setPixel(pick(0, s.width() - 1), pick(0, s.height() - 1), kInk);
        const SearchArea area{pick(0, 3), pick(0, 2), s.width() - pick(3, 8), s.height() - pick(2, 3)};
        const bool arithmetic = pick(0, 1) == 1;
        const int similarity = pick(90, 100);
        int64_t fast = 0, slow = 0;
        ASSERT_EQ(readNumber(frameOf(s), area, pack.view, similarity, arithmetic, fast),
                  reference::readNumber(frameOf(s), area, pack.view, similarity, arithmetic, slow));
        ASSERT_EQ(fast, slow) << text;
    }
}

} // namespace
} // namespace quillon::runner

namespace quillon::runner {
namespace {

TEST(NumberPackBlock, SlotHeadersAndPointsAreRead) {
    auto pack = analyzer::allocateZeroed<analyzer::NumberPack>();
    pack->used = 1;
    // Digit 1: width 3, height 5, two points, line offset 2.
    analyzer::NumberSample& one = pack->samples[1];
    one.set = 1;
    analyzer::setSampleHeader(one, {3, 5, 2, 2});
    one.pixels[0][0] = 1;
    one.pixels[0][1] = 0;
    one.pixels[0][2] = 0x000000;
    one.pixels[1][0] = 1;
    one.pixels[1][1] = 4;
    one.pixels[1][2] = 0x000000;
    // Digit 2 with a point outside the sample grid: not used.
    pack->samples[2].set = 1;
    const int32_t bad[4] = {3, 5, 1, 0};
    std::memcpy(pack->samples[2].header, bad, sizeof bad);
    pack->samples[2].pixels[0][0] = 500;
    NumberPackView view;
    ASSERT_TRUE(viewOf(*pack, view));
    EXPECT_TRUE(view.samples[1].defined);
    EXPECT_EQ(view.samples[1].lineOffset, 2);
    EXPECT_EQ(view.samples[1].rowExtent, 7);
    EXPECT_FALSE(view.samples[2].defined);
    EXPECT_EQ(view.digitWidth, 3);
    // "11" two rows below the line's top.
    SyntheticScreen s(20, 10, 0xFFFFFF);
    for (int x : {3, 7}) {
        s.setPixel(x, 2, 0);
        s.setPixel(x, 6, 0);
    }
    int64_t value = 0;
    EXPECT_EQ(readNumber({s.row(0), 20, 10, 80}, {0, 0, 20, 10}, view, 100, false, value), 0);
    EXPECT_EQ(value, 11);
    pack->used = 0;
    EXPECT_FALSE(viewOf(*pack, view));
}

} // namespace
} // namespace quillon::runner
