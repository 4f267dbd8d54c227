#include "runner/preview_fit.h"

#include <algorithm>

namespace quillon::runner {

PreviewPlacement fitPreview(int boxWidth, int boxHeight, int sourceWidth, int sourceHeight) {
    const int innerWidth = std::max(boxWidth - 4, 1);
    const int innerHeight = std::max(boxHeight - 3, 1);
    int width = std::max(sourceWidth, 1);
    int height = std::max(sourceHeight, 1);
    // The long side decides. Both sides scale by the same factor, so the
    // picture keeps its proportions.
    if (width < height && innerHeight < height) {
        width = std::max(width * innerHeight / height, 1);
        height = innerHeight;
    } else if (width >= height && innerWidth < width) {
        height = std::max(height * innerWidth / width, 1);
        width = innerWidth;
    }
    // A picture that still does not fit the other side is scaled again.
    if (width > innerWidth) {
        height = std::max(height * innerWidth / width, 1);
        width = innerWidth;
    }
    if (height > innerHeight) {
        width = std::max(width * innerHeight / height, 1);
        height = innerHeight;
    }
    return {(boxWidth - width) / 2, (boxHeight - height) / 2, width, height};
}

} // namespace quillon::runner
