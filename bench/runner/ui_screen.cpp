#include "bench/runner/ui_screen.h"

#include <random>
#include <vector>

namespace quillon::runner::bench {

namespace {

const char* const kGlyphs[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", "###", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

} // namespace

void drawUiScreen(SyntheticScreen& s, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const uint32_t desktop = 0x3A6EA5;
    s.fill(desktop);
    const uint32_t windowColours[] = {0xF0F0F0, 0xFFFFFF, 0xECE9D8, 0xD4D0C8};
    const uint32_t titleColours[] = {0x0A246A, 0x3C78C8, 0x1E5AA0, 0x808080};
    for (int w = 0; w < 7; ++w) {
        const int left = pick(-100, s.width() - 300), top = pick(-50, s.height() - 200);
        const int width = pick(400, 1100), height = pick(250, 700);
        const uint32_t background = windowColours[pick(0, 3)];
        s.fillRect(left - 1, top - 1, width + 2, height + 2, 0x404040);
        s.fillRect(left, top, width, height, background);
        s.fillRect(left, top, width, 24, titleColours[pick(0, 3)]);
        for (int b = 0; b < 3; ++b) s.fillRect(left + width - 22 * (b + 1), top + 3, 18, 17, 0xD4D0C8);
        // Lines of text: words of small dark glyph-like marks.
        for (int y = top + 36; y < top + height - 60; y += pick(16, 22)) {
            int x = left + 10;
            const int end = left + width - pick(20, 300);
            while (x < end) {
                const int word = pick(2, 9);
                for (int c = 0; c < word && x < end; ++c, x += 7) {
                    for (int k = 0; k < 9; ++k)
                        if (pick(0, 2) == 0) s.setPixel(x + pick(0, 5), y + pick(0, 10), 0x202020 + 0x101010 * pick(0, 3));
                }
                x += 6;
            }
        }
        // Buttons with a caption and a frame.
        for (int b = 0; b < 3; ++b) {
            const int bx = left + 20 + b * 110, by = top + height - 40;
            s.fillRect(bx, by, 90, 26, 0x707070);
            s.fillRect(bx + 1, by + 1, 88, 24, 0xE1E1E1);
            for (int k = 0; k < 40; ++k) s.setPixel(bx + 25 + pick(0, 40), by + 8 + pick(0, 9), 0x000000);
        }
        // An icon or two: small colourful squares.
        for (int i = pick(0, 3); i > 0; --i) {
            const int ix = left + pick(10, width - 50), iy = top + pick(30, height - 50);
            for (int k = 0; k < 6; ++k)
                s.fillRect(ix + pick(0, 24), iy + pick(0, 24), pick(3, 10), pick(3, 10), static_cast<uint32_t>(pick(0, 0xFFFFFF)));
        }
    }
    // A task bar.
    s.fillRect(0, s.height() - 40, s.width(), 40, 0x1F1F1F);
}

int drawDigits(SyntheticScreen& s, int x, int y, const char* text) {
    for (const char* p = text; *p; ++p) {
        const int d = *p - '0';
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 6; ++c) s.setPixel(x + c, y + r, kGlyphs[d][r / 2][c / 2] == '#' ? 0x000000 : 0xFFFFFF);
        x += 8;
    }
    return x;
}

struct DigitPack {
    std::vector<NumberPoint> points[10];
    NumberPackView view;
};

DigitPack* makeDigitPack() {
    auto* pack = new DigitPack;
    for (int d = 0; d < 10; ++d) {
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 6; ++c) pack->points[d].push_back({c, r, kGlyphs[d][r / 2][c / 2] == '#' ? 0x000000u : 0xFFFFFFu});
        NumberSampleView& s = pack->view.samples[d];
        s.defined = true;
        s.width = 6;
        s.points = pack->points[d].data();
        s.pointCount = static_cast<int>(pack->points[d].size());
        s.rowExtent = 10;
        s.lastColumn = 5;
    }
    pack->view.digitWidth = 6;
    pack->view.digitHeight = 10;
    return pack;
}

const NumberPackView& packView(const DigitPack* pack) { return pack->view; }

} // namespace quillon::runner::bench
