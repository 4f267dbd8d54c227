#include "runner/image_view.h"

#include <algorithm>
#include <cstring>

namespace quillon::runner {

ImageView viewOf(const analyzer::RecognitionImage& image) {
    ImageView view;
    view.pixels = image.pixels;
    view.width = image.width;
    view.height = image.height;
    view.pattern = image.pattern == 1;
    if (view.pattern) {
        const analyzer::PatternSettings settings = analyzer::patternSettings(image);
        view.anchorColumn = settings.anchorColumn;
        view.anchorRow = settings.anchorRow;
    }
    return view;
}

ColourImage::ColourImage(uint32_t rgb) {
    bytes[0] = static_cast<uint8_t>(rgb);
    bytes[1] = static_cast<uint8_t>(rgb >> 8);
    bytes[2] = static_cast<uint8_t>(rgb >> 16);
    bytes[3] = 0;
}

ImageView ColourImage::view() const {
    ImageView view;
    view.pixels = bytes;
    view.width = 1;
    view.height = 1;
    view.stride = 4;
    return view;
}

bool viewOf(const analyzer::NumberPack& pack, NumberPackView& view) {
    view = {};
    if (pack.used != 1) {
        return false;
    }
    for (int entry = 0; entry < kNumberEntries; ++entry) {
        const analyzer::NumberSample& slot = pack.samples[entry];
        NumberSampleView& sample = view.samples[entry];
        if (slot.set != 1) {
            continue;
        }
        const analyzer::NumberSampleHeader header = analyzer::sampleHeader(slot);
        const int32_t width = header.width;
        const int32_t count = header.pointCount;
        const int32_t lineOffset = header.lineOffset;
        if (width < 1 || width > kImageMaxSide || count < 0 || count > analyzer::kNumberSamplePixels ||
            lineOffset < 0 || lineOffset > kImageMaxSide) {
            continue;
        }
        const NumberPoint* points = analyzer::samplePoints(slot);
        int rowExtent = 0;
        int lastColumn = 0;
        bool inside = true;
        for (int i = 0; i < count && inside; ++i) {
            const NumberPoint& p = points[i];
            inside = p.column >= 0 && p.column < kImageMaxSide && p.row >= 0 && p.row < kImageMaxSide;
            rowExtent = std::max(rowExtent, lineOffset + p.row + 1);
            lastColumn = std::max(lastColumn, static_cast<int>(p.column));
        }
        if (!inside) {
            continue;
        }
        sample.defined = true;
        sample.width = width;
        sample.lineOffset = lineOffset;
        sample.points = points;
        sample.pointCount = count;
        sample.rowExtent = rowExtent;
        sample.lastColumn = lastColumn;
        if (entry < 10) {
            view.digitWidth = std::max(view.digitWidth, width);
            view.digitHeight = std::max(view.digitHeight, rowExtent);
        }
    }
    return true;
}

} // namespace quillon::runner
