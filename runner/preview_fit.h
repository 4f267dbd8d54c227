// How a picture is fitted into a preview box of the runner's status window:
// inside the box's inner size (width - 4, height - 3) a larger picture is
// scaled down keeping its proportions, a smaller one is drawn at its own
// size; either is centred in the box.
#pragma once

namespace quillon::runner {

struct PreviewPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

PreviewPlacement fitPreview(int boxWidth, int boxHeight, int sourceWidth, int sourceHeight);

} // namespace quillon::runner
