// Number recognition: the digits of a number pack are looked for column by
// column across the area; the first digit fixes the line, later digits are
// looked for on that line only, and a long enough gap ends the number.
#include "runner/colour_distance.h"
#include "runner/matching.h"

#include <array>

namespace quillon::runner {

namespace {

constexpr std::array<int, 10> kDigitOrder = {8, 0, 9, 6, 3, 2, 1, 4, 5, 7};
constexpr int kFirstOperator = analyzer::kFirstNumberSign; // + - x / follow the digits

enum class Operator { None, Add, Subtract, Multiply, Divide };

// 64-bit arithmetic that wraps instead of overflowing.
int64_t combine(int64_t accumulator, int64_t number, Operator op) {
    const auto a = static_cast<uint64_t>(accumulator);
    const auto b = static_cast<uint64_t>(number);
    switch (op) {
    case Operator::None: return number;
    case Operator::Add: return static_cast<int64_t>(a + b);
    case Operator::Subtract: return static_cast<int64_t>(a - b);
    case Operator::Multiply: return static_cast<int64_t>(a * b);
    case Operator::Divide:
        if (number == 0) return accumulator;
        if (number == -1) return static_cast<int64_t>(0 - a);
        return accumulator / number;
    }
    return accumulator;
}

bool fits(const FrameView& frame, const NumberSampleView& sample, int x, int y, int32_t limitSquared) {
    if (y + sample.rowExtent > frame.height) {
        return false;
    }
    for (int i = 0; i < sample.pointCount; ++i) {
        const NumberPoint& p = sample.points[i];
        uint8_t colour[4];
        colourBytes(p.colour, colour);
        if (!withinLimit(frame.pixel(x + p.column, y + sample.lineOffset + p.row), colour, limitSquared)) {
            return false;
        }
    }
    return true;
}

} // namespace

int readNumber(const FrameView& frame, const SearchArea& area, const NumberPackView& pack, int similarity,
               bool arithmetic, int64_t& value) {
    value = 0;
    if (area.left < 0 || area.top < 0 || static_cast<long long>(area.left) + area.width > frame.width ||
        static_cast<long long>(area.top) + area.height > frame.height) {
        return 1;
    }
    const int32_t limitSquared = squaredLimit(similarity);
    std::array<int, 14> order{};
    int entries = 0;
    for (int d : kDigitOrder) order[entries++] = d;
    if (arithmetic) {
        for (int e = kFirstOperator; e < kNumberEntries; ++e) order[entries++] = e;
    }

    const int edge = area.left + area.width - 1;  // scanned columns lie before this
    const int bottom = area.top + area.height - 1; // rows scanned while below this
    bool haveDigit = false;
    int lineTop = 0;
    int gap = 0;
    int64_t number = 0;
    int64_t accumulator = 0;
    Operator pending = Operator::None;
    bool anyOperator = false;

    int x = area.left;
    while (x < edge) {
        int taken = -1;
        int takenRow = 0;
        bool columnEnded = false;
        // Before the first digit every row of the area is a line top. After
        // it, the samples are looked for on the rows of its line only: a
        // sample's top may sit on any of the line's digit-height rows, so
        // digits a little off the baseline still belong to the number.
        const int yFrom = haveDigit ? lineTop : area.top;
        const int yTo = haveDigit ? lineTop + pack.digitHeight : bottom;
        for (int y = yFrom; y < yTo && taken < 0 && !columnEnded; ++y) {
            for (int k = 0; k < entries; ++k) {
                const NumberSampleView& sample = pack.samples[order[k]];
                if (!sample.defined) continue;
                // A point on the last scanned column or beyond ends the column.
                if (x + sample.lastColumn >= edge - 1) {
                    columnEnded = true;
                    break;
                }
                // On the line, y is the sample's top; before it, the line's.
                const int at = haveDigit ? y - sample.lineOffset : y;
                if (fits(frame, sample, x, at, limitSquared)) {
                    taken = order[k];
                    takenRow = at;
                    break;
                }
            }
        }
        if (taken < 0) {
            if (haveDigit && (columnEnded || ++gap > 2 * pack.digitWidth)) break;
            ++x;
            continue;
        }
        if (taken < kFirstOperator) {
            number = static_cast<int64_t>(static_cast<uint64_t>(number) * 10u + static_cast<uint64_t>(taken));
            if (!haveDigit) {
                haveDigit = true;
                lineTop = takenRow;
            }
        } else {
            accumulator = combine(accumulator, number, pending);
            pending = static_cast<Operator>(taken - kFirstOperator + 1);
            anyOperator = true;
            number = 0;
        }
        gap = 0;
        x += pack.samples[taken].width;
    }
    value = anyOperator ? combine(accumulator, number, pending) : number;
    return 0;
}

} // namespace quillon::runner
