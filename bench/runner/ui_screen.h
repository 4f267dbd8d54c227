// UI-like screens for the matching benchmarks: a desktop with overlapping
// windows (title bars, flat backgrounds, text lines, buttons, icons),
// deterministic for a seed.
#pragma once

#include "runner/image_view.h"
#include "runner/synthetic_screen.h"

namespace quillon::runner::bench {

void drawUiScreen(SyntheticScreen& screen, unsigned seed);
// Writes digits as 6 x 10 glyphs (ink black on white) and returns the end.
int drawDigits(SyntheticScreen& screen, int x, int y, const char* text);
// Fills a pack view with the same glyphs (ink and paper points).
struct DigitPack;
DigitPack* makeDigitPack();
const NumberPackView& packView(const DigitPack* pack);

} // namespace quillon::runner::bench
