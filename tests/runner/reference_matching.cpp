#include "tests/runner/reference_matching.h"

#include <cmath>
#include <vector>

namespace quillon::runner::reference {

bool pixelsMatch(const uint8_t* a, const uint8_t* b, int similarity) {
    const double dr = static_cast<double>(a[2]) - b[2];
    const double dg = static_cast<double>(a[1]) - b[1];
    const double db = static_cast<double>(a[0]) - b[0];
    return std::sqrt(dr * dr + dg * dg + db * db) <= (100 - similarity) * 5.0;
}

namespace {

// Literal candidate test: the anchor alone first for a pattern, then every
// masked pixel; all pixels row by row for other images.
bool candidateMatches(const FrameView& f, const ImageView& img, int x, int y, int s) {
    if (img.pattern) {
        if (img.hasAnchor() &&
            !pixelsMatch(f.pixel(x + img.anchorColumn, y + img.anchorRow), img.pixel(img.anchorColumn, img.anchorRow), s))
            return false;
        for (int j = 0; j < img.height; ++j)
            for (int i = 0; i < img.width; ++i)
                if (img.pixel(i, j)[3] == 1 && !pixelsMatch(f.pixel(x + i, y + j), img.pixel(i, j), s)) return false;
        return true;
    }
    for (int j = 0; j < img.height; ++j)
        for (int i = 0; i < img.width; ++i)
            if (!pixelsMatch(f.pixel(x + i, y + j), img.pixel(i, j), s)) return false;
    return true;
}

// The spiral one step at a time: every position of the endless square
// spiral, tested when inside the allowed rectangle.
std::vector<Point> spiralSequence(int cx, int cy, int xMin, int xMax, int yMin, int yMax) {
    std::vector<Point> out;
    if (xMax < xMin || yMax < yMin) return out;
    const long long total = static_cast<long long>(xMax - xMin + 1) * (yMax - yMin + 1);
    int x = cx, y = cy;
    auto consider = [&] {
        if (x >= xMin && x <= xMax && y >= yMin && y <= yMax) out.push_back({x, y});
    };
    consider();
    static const int dxs[4] = {0, -1, 0, 1};
    static const int dys[4] = {-1, 0, 1, 0};
    int leg = 0;
    for (int length = 1; static_cast<long long>(out.size()) < total; ++leg) {
        const int dir = leg % 4;
        for (int step = 0; step < length && static_cast<long long>(out.size()) < total; ++step) {
            x += dxs[dir];
            y += dys[dir];
            consider();
        }
        if (dir % 2 == 1) ++length;
    }
    return out;
}

} // namespace

int searchRange(const FrameView& frame, const RangeSearch& p, RangeResult& entry) {
    const SearchArea& a = p.area;
    if (!searchAllowed(frame, p)) return p.mode == SearchMode::Found ? 1 : 0;
    const int w = p.image.width, h = p.image.height, L = a.left, T = a.top, AW = a.width, AH = a.height;
    int n = p.nth;
    int code = -1;
    // True when the search ends at this candidate.
    auto visit = [&](int x, int y) {
        if (!candidateMatches(frame, p.image, x, y, p.similarity)) return false;
        if (p.mode == SearchMode::NotFound) {
            entry.found = 0;
            code = 1;
            return true;
        }
        if (n <= 1) {
            entry = {1, x + w / 2, y + h / 2};
            code = 0;
            return true;
        }
        --n;
        return false;
    };
    switch (p.order) {
    case ScanOrder::Down:
        for (int y = T; y < T + AH - h && code < 0; ++y)
            for (int x = L; x < L + AW - w && code < 0; ++x) visit(x, y);
        break;
    case ScanOrder::Up:
        for (int y = T + AH - h; y >= T && code < 0; --y)
            for (int x = L; x < L + AW - w && code < 0; ++x) visit(x, y);
        break;
    case ScanOrder::Right:
        for (int x = L; x < L + AW - w && code < 0; ++x)
            for (int y = T; y < T + AH - h && code < 0; ++y) visit(x, y);
        break;
    case ScanOrder::Left:
        for (int x = L + AW - w; x >= L && code < 0; --x)
            for (int y = T; y < T + AH - h && code < 0; ++y) visit(x, y);
        break;
    case ScanOrder::Spiral:
        for (const Point& c : spiralSequence(L + AW / 2, T + AH / 2, L, L + AW - w, T, T + AH - h))
            if (visit(c.x, c.y)) break;
        break;
    }
    if (code >= 0) return code;
    if (p.mode == SearchMode::Found) {
        entry.found = 0;
        return 1;
    }
    entry = {1, L + AW / 2, T + AH / 2};
    return 0;
}

int readNumber(const FrameView& frame, const SearchArea& area, const NumberPackView& pack, int similarity,
               bool arithmetic, int64_t& value) {
    value = 0;
    if (area.left < 0 || area.top < 0 || area.left + area.width > frame.width || area.top + area.height > frame.height)
        return 1;
    std::vector<int> order = {8, 0, 9, 6, 3, 2, 1, 4, 5, 7};
    if (arithmetic) order.insert(order.end(), {10, 11, 12, 13});
    const int edge = area.left + area.width - 1;
    bool haveDigit = false;
    int lineTop = 0, gap = 0, op = 0;
    bool anyOp = false;
    int64_t number = 0, acc = 0;
    auto apply = [&] {
        uint64_t a = static_cast<uint64_t>(acc), b = static_cast<uint64_t>(number);
        if (op == 0) acc = number;
        else if (op == 1) acc = static_cast<int64_t>(a + b);
        else if (op == 2) acc = static_cast<int64_t>(a - b);
        else if (op == 3) acc = static_cast<int64_t>(a * b);
        else if (number != 0) acc = number == -1 ? static_cast<int64_t>(0 - a) : acc / number;
    };
    for (int x = area.left; x < edge;) {
        int taken = -1, row = 0;
        bool ended = false;
        // After the first digit: every row of its line (digit height rows) is
        // a candidate top for each sample.
        for (int y = haveDigit ? lineTop : area.top; y < (haveDigit ? lineTop + pack.digitHeight : area.top + area.height - 1); ++y) {
            for (int e : order) {
                const NumberSampleView& s = pack.samples[e];
                if (!s.defined) continue;
                bool fit = true;
                for (int i = 0; i < s.pointCount; ++i)
                    if (x + s.points[i].column >= edge - 1) ended = true;
                if (ended) break;
                const int top = haveDigit ? y : y + s.lineOffset;
                for (int i = 0; i < s.pointCount && fit; ++i) {
                    const int py = top + s.points[i].row;
                    if (py >= frame.height) {
                        fit = false;
                        break;
                    }
                    const uint8_t c[3] = {static_cast<uint8_t>(s.points[i].colour), static_cast<uint8_t>(s.points[i].colour >> 8),
                                          static_cast<uint8_t>(s.points[i].colour >> 16)};
                    fit = pixelsMatch(frame.pixel(x + s.points[i].column, py), c, similarity);
                }
                if (fit) {
                    taken = e;
                    row = top - s.lineOffset;
                    break;
                }
            }
            if (taken >= 0 || ended) break;
        }
        if (taken < 0) {
            if (haveDigit && (ended || ++gap > 2 * pack.digitWidth)) break;
            ++x;
            continue;
        }
        if (taken < 10) {
            number = static_cast<int64_t>(static_cast<uint64_t>(number) * 10u + static_cast<uint64_t>(taken));
            if (!haveDigit) haveDigit = true, lineTop = row;
        } else {
            apply();
            op = taken - 9;
            anyOp = true;
            number = 0;
        }
        gap = 0;
        x += pack.samples[taken].width;
    }
    if (anyOp) apply();
    value = anyOp ? acc : number;
    return 0;
}

} // namespace quillon::runner::reference
