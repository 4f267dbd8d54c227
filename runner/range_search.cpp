// Range search: the image is looked for at every candidate position of the
// area in the scan order, and the N-th match counts. Within one candidate
// the answer does not depend on the order in which its pixels are compared,
// only the order of candidates matters; so the search compares the image's
// rarest pixels (judged by a coarse colour histogram of the area) first, and
// compares them for many neighbouring candidates at once.
#include "runner/candidate_scan.h"
#include "runner/colour_distance.h"
#include "runner/matching.h"
#include "runner/spiral_walk.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace quillon::runner {

namespace {

struct RequiredPixel {
    int16_t dx;
    int16_t dy;
    uint8_t colour[4];
};

std::atomic<bool> forcedSse2{false};

BoxScan chooseBoxScan() {
    static const bool avx2 = processorHasAvx2();
    return avx2 && !forcedSse2.load() ? boxScanAvx2 : boxScanSse2;
}

constexpr int kBins = 16; // histogram bins per channel
constexpr int kBinShift = 4;
constexpr int kSide = kBins + 1;

} // namespace

struct RangeSearcher::Scratch {
    std::vector<RequiredPixel> required;
    std::vector<ptrdiff_t> offsets; // of each required pixel in the capture, in test order
    std::vector<uint8_t> colours;   // the same pixels' colours, 4 bytes each
    std::vector<uint64_t> matchMap;
    std::array<uint32_t, kSide * kSide * kSide> volume{}; // summed histogram
    bool matched = false; // the search ended with the match at (matchX, matchY)
    int matchX = 0, matchY = 0;

    Scratch() {
        required.reserve(kImageMaxSide * kImageMaxSide + 1);
        offsets.reserve(kImageMaxSide * kImageMaxSide + 1);
        colours.reserve((kImageMaxSide * kImageMaxSide + 1) * 4);
    }
};

RangeSearcher::RangeSearcher() : scratch_(std::make_unique<Scratch>()) {}
RangeSearcher::~RangeSearcher() = default;

const char* RangeSearcher::vectorUnit() { return chooseBoxScan() == boxScanAvx2 ? "avx2" : "sse2"; }
void RangeSearcher::forceSse2(bool force) { forcedSse2.store(force); }

bool searchAllowed(const FrameView& frame, const RangeSearch& search) {
    const SearchArea& a = search.area;
    // An area with a negative corner would read before the capture.
    return search.image.valid() && search.nth <= kMaxNthMatch && a.left >= 0 && a.top >= 0 &&
           static_cast<long long>(a.left) + a.width <= frame.width &&
           static_cast<long long>(a.top) + a.height <= frame.height;
}

namespace {

// Everything one search needs once its pixels are chosen.
class Search {
public:
    Search(const FrameView& frame, const RangeSearch& params, RangeSearcher::Scratch& scratch)
        : frame_(frame), params_(params), s_(scratch), limitSquared_(squaredLimit(params.similarity)) {}

    int run(RangeResult& entry);
    RangeSearcher::Closest closest();

private:
    void collectRequired();
    void buildHistogram();
    uint32_t rarity(const uint8_t* colour) const;
    void chooseTestOrder();
    bool exact(int x, int y) const;
    uint64_t rowMatches(int x0, int n, int y) const;
    // Fills the match map for columns [x0, x0 + n) of rows [y0, y1]; word w of
    // row r holds columns x0 + 64w ... False when no candidate matched.
    bool fillMatchMap(int x0, int n, int y0, int y1);
    bool accept(int x, int y, RangeResult& entry, int& code);
    // The largest squared distance over the image's pixels at (x, y), in test
    // order, stopping once it reaches `bound`; `worstAt` is where it was
    // largest. Counts the pixels compared off `budget`.
    int32_t boundedWorst(int x, int y, int32_t bound, size_t& worstAt, int64_t& budget) const;
    // Makes the pixel at `index` of the test order the first probe, the
    // first probe the second.
    void promote(size_t index);
    void setProbe(int k);
    void swapEntries(size_t a, size_t b);

    const FrameView& frame_;
    const RangeSearch& params_;
    RangeSearcher::Scratch& s_;
    int32_t limitSquared_;
    int limit_ = 0;
    BoxProbes probes_{};
    int probeDx_[kMaxProbes] = {};
    int probeDy_[kMaxProbes] = {};
    int remaining_ = 1;
    int words_ = 0;
};

void Search::collectRequired() {
    const ImageView& image = params_.image;
    s_.required.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) + 1);
    RequiredPixel* out = s_.required.data();
    size_t n = 0;
    auto add = [&](int x, int y) {
        const uint8_t* own = image.pixel(x, y);
        out[n++] = RequiredPixel{static_cast<int16_t>(x), static_cast<int16_t>(y), {own[0], own[1], own[2], 0}};
    };
    if (!image.pattern) {
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) add(x, y);
    } else {
        // The anchor pixel decides first, whatever its mask byte says.
        if (image.hasAnchor()) add(image.anchorColumn, image.anchorRow);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (image.pixel(x, y)[3] == 1) add(x, y);
    }
    s_.required.resize(n);
}

void Search::buildHistogram() {
    uint32_t* v = s_.volume.data();
    std::fill(s_.volume.begin(), s_.volume.end(), 0u);
    const SearchArea& a = params_.area;
    const int stepX = std::max(1, a.width / 40);
    const int stepY = std::max(1, a.height / 40);
    auto at = [](int r, int g, int b) { return (r * kSide + g) * kSide + b; };
    for (int y = a.top; y < a.top + a.height; y += stepY) {
        const uint8_t* p = frame_.pixel(a.left, y);
        for (int x = 0; x < a.width; x += stepX) {
            const uint8_t* q = p + x * 4;
            ++v[at((q[2] >> kBinShift) + 1, (q[1] >> kBinShift) + 1, (q[0] >> kBinShift) + 1)];
        }
    }
    // Summed volume: v[r][g][b] = samples in bins below (r, g, b), as three
    // running sums, one along each axis.
    for (int r = 1; r < kSide; ++r)
        for (int g = 1; g < kSide; ++g) {
            uint32_t* line = v + at(r, g, 0);
            for (int b = 1; b < kSide; ++b) line[b] += line[b - 1];
        }
    for (int r = 1; r < kSide; ++r)
        for (int g = 2; g < kSide; ++g) {
            uint32_t* line = v + at(r, g, 0);
            const uint32_t* above = v + at(r, g - 1, 0);
            for (int b = 1; b < kSide; ++b) line[b] += above[b];
        }
    for (int r = 2; r < kSide; ++r) {
        uint32_t* plane = v + at(r, 0, 0);
        const uint32_t* before = v + at(r - 1, 0, 0);
        for (int i = 0; i < kSide * kSide; ++i) plane[i] += before[i];
    }
}

// How many sampled screen pixels fall in the colour's neighbourhood.
uint32_t Search::rarity(const uint8_t* colour) const {
    const int reach = std::min(kBins, (limit_ + (1 << kBinShift) - 1) >> kBinShift);
    int lo[3];
    int hi[3];
    for (int c = 0; c < 3; ++c) {
        const int bin = colour[2 - c] >> kBinShift; // red, green, blue
        lo[c] = std::max(0, bin - reach);
        hi[c] = std::min(kBins - 1, bin + reach) + 1;
    }
    const uint32_t* v = s_.volume.data();
    auto at = [v](int r, int g, int b) { return static_cast<int64_t>(v[(r * kSide + g) * kSide + b]); };
    const int64_t sum = at(hi[0], hi[1], hi[2]) - at(lo[0], hi[1], hi[2]) - at(hi[0], lo[1], hi[2]) -
                        at(hi[0], hi[1], lo[2]) + at(lo[0], lo[1], hi[2]) + at(lo[0], hi[1], lo[2]) +
                        at(hi[0], lo[1], lo[2]) - at(lo[0], lo[1], lo[2]);
    return static_cast<uint32_t>(sum);
}

void Search::chooseTestOrder() {
    const auto& req = s_.required;
    const size_t count = req.size();
    s_.offsets.clear();
    s_.colours.clear();
    probes_.count = 0;
    if (count == 0) return;

    // The rarest pixel, then the rarest whose colour lies outside the first
    // one's box (a second, independent chance to reject).
    const size_t step = std::max<size_t>(1, count / 1024);
    size_t first = 0;
    uint32_t best = UINT32_MAX;
    for (size_t i = 0; i < count; i += step) {
        const uint32_t r = rarity(req[i].colour);
        if (r < best) best = r, first = i;
    }
    size_t second = count;
    best = UINT32_MAX;
    for (size_t i = 0; i < count; i += step) {
        if (i == first) continue;
        bool apart = false;
        for (int c = 0; c < 3; ++c)
            apart |= std::abs(req[i].colour[c] - req[first].colour[c]) > limit_;
        if (!apart) continue;
        const uint32_t r = rarity(req[i].colour);
        if (r < best) best = r, second = i;
    }
    s_.offsets.resize(count);
    s_.colours.resize(count * 4);
    ptrdiff_t* offsets = s_.offsets.data();
    uint8_t* colours = s_.colours.data();
    const RequiredPixel* pixels = req.data();
    const ptrdiff_t stride = frame_.stride;
    size_t next = 0;
    auto push = [&](size_t i) {
        offsets[next] = static_cast<ptrdiff_t>(pixels[i].dy) * stride + pixels[i].dx * 4;
        std::memcpy(colours + next * 4, pixels[i].colour, 4);
        ++next;
    };
    push(first);
    probeDx_[0] = req[first].dx;
    probeDy_[0] = req[first].dy;
    probes_.count = 1;
    if (second < count) {
        push(second);
        probeDx_[1] = req[second].dx;
        probeDy_[1] = req[second].dy;
        probes_.count = 2;
    }
    for (size_t i = 0; i < count; ++i)
        if (i != first && i != second) push(i);
    for (int k = 0; k < probes_.count; ++k) {
        const uint8_t* c = &s_.colours[static_cast<size_t>(k) * 4];
        probes_.colour[k] = static_cast<uint32_t>(c[0]) | (static_cast<uint32_t>(c[1]) << 8) |
                            (static_cast<uint32_t>(c[2]) << 16);
    }
    probes_.limit = static_cast<uint8_t>(std::min(limit_, 255));
}

bool Search::exact(int x, int y) const {
    const uint8_t* base = frame_.pixel(x, y);
    const size_t count = s_.offsets.size();
    const ptrdiff_t* offsets = s_.offsets.data();
    const uint8_t* colours = s_.colours.data();
    for (size_t i = 0; i < count; ++i) {
        if (squaredDistance(base + offsets[i], colours + i * 4) > limitSquared_) return false;
    }
    return true;
}

uint64_t Search::rowMatches(int x0, int n, int y) const {
    if (limitSquared_ < 0 && !s_.offsets.empty()) return 0;
    const uint64_t all = n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
    if (s_.offsets.empty()) return all;
    BoxProbes probes = probes_;
    for (int k = 0; k < probes.count; ++k) probes.base[k] = frame_.pixel(x0 + probeDx_[k], y + probeDy_[k]);
    static const BoxScan scan = chooseBoxScan();
    const BoxScan chosen = forcedSse2.load() ? boxScanSse2 : scan;
    uint64_t candidates = chosen(probes, n);
    uint64_t matches = 0;
    while (candidates) {
        const int i = __builtin_ctzll(candidates);
        candidates &= candidates - 1;
        if (exact(x0 + i, y)) matches |= uint64_t{1} << i;
    }
    return matches;
}

bool Search::fillMatchMap(int x0, int n, int y0, int y1) {
    words_ = (n + 63) / 64;
    const size_t need = static_cast<size_t>(words_) * static_cast<size_t>(y1 - y0 + 1);
    if (s_.matchMap.size() < need) s_.matchMap.resize(need);
    uint64_t any = 0;
    uint64_t* row = s_.matchMap.data();
    for (int y = y0; y <= y1; ++y, row += words_) {
        for (int w = 0; w < words_; ++w) {
            row[w] = rowMatches(x0 + 64 * w, std::min(64, n - 64 * w), y);
            any |= row[w];
        }
    }
    return any != 0;
}

// One accepted candidate; true when the search ends with it.
bool Search::accept(int x, int y, RangeResult& entry, int& code) {
    if (params_.mode == SearchMode::NotFound || remaining_ <= 1) {
        s_.matched = true;
        s_.matchX = x;
        s_.matchY = y;
    }
    if (params_.mode == SearchMode::NotFound) {
        entry.found = 0;
        code = kSearchNotHeld;
        return true;
    }
    if (remaining_ <= 1) {
        entry.found = 1;
        entry.x = x + params_.image.width / 2;
        entry.y = y + params_.image.height / 2;
        code = kSearchHeld;
        return true;
    }
    --remaining_;
    return false;
}

int Search::run(RangeResult& entry) {
    const SearchArea& a = params_.area;
    const int w = params_.image.width;
    const int h = params_.image.height;
    remaining_ = params_.nth;
    limit_ = static_cast<int>(std::min<long long>(450, std::max<long long>(0, (100LL - params_.similarity) * 5)));
    collectRequired();
    buildHistogram();
    chooseTestOrder();

    int code = kSearchNotHeld;
    bool done = false;
    // Orders 0 to 3 stop before the last column (and row) of positions that
    // still fit, except where the scan starts from that side.
    const int xFirst = a.left;
    const int xLimit = a.left + a.width - w; // exclusive for orders 0 to 2
    const int yFirst = a.top;
    const int yLimit = a.top + a.height - h; // exclusive for orders 0, 2, 3
    switch (params_.order) {
    case ScanOrder::Down:
    case ScanOrder::Up: {
        const bool down = params_.order == ScanOrder::Down;
        const int yStart = down ? yFirst : yLimit;
        const int yStop = down ? yLimit : yFirst - 1;
        const int yStep = down ? 1 : -1;
        for (int y = yStart; y != yStop && !done && (down ? y < yStop : y > yStop); y += yStep) {
            for (int x0 = xFirst; x0 < xLimit && !done; x0 += 64) {
                uint64_t m = rowMatches(x0, std::min(64, xLimit - x0), y);
                while (m && !done) {
                    const int i = __builtin_ctzll(m);
                    m &= m - 1;
                    done = accept(x0 + i, y, entry, code);
                }
            }
        }
        break;
    }
    case ScanOrder::Right:
    case ScanOrder::Left: {
        if (yLimit <= yFirst) break;
        const bool right = params_.order == ScanOrder::Right;
        if (right) {
            for (int x0 = xFirst; x0 < xLimit && !done; x0 += 64) {
                const int n = std::min(64, xLimit - x0);
                if (!fillMatchMap(x0, n, yFirst, yLimit - 1)) continue;
                for (int c = 0; c < n && !done; ++c)
                    for (int y = yFirst; y < yLimit && !done; ++y)
                        if ((s_.matchMap[static_cast<size_t>(y - yFirst)] >> c) & 1) done = accept(x0 + c, y, entry, code);
            }
        } else {
            for (int x1 = xLimit; x1 >= xFirst && !done; x1 -= 64) {
                const int x0 = std::max(xFirst, x1 - 63);
                const int n = x1 - x0 + 1;
                if (!fillMatchMap(x0, n, yFirst, yLimit - 1)) continue;
                for (int c = n - 1; c >= 0 && !done; --c)
                    for (int y = yFirst; y < yLimit && !done; ++y)
                        if ((s_.matchMap[static_cast<size_t>(y - yFirst)] >> c) & 1) done = accept(x0 + c, y, entry, code);
            }
        }
        break;
    }
    case ScanOrder::Spiral: {
        if (xLimit < xFirst || yLimit < yFirst) break;
        const int n = xLimit - xFirst + 1;
        if (!fillMatchMap(xFirst, n, yFirst, yLimit)) break;
        const uint64_t* map = s_.matchMap.data();
        const int words = words_;
        walkSpiral(a.left + a.width / 2, a.top + a.height / 2, xFirst, xLimit, yFirst, yLimit, [&](int x, int y) {
            const int c = x - xFirst;
            if ((map[static_cast<size_t>(y - yFirst) * static_cast<size_t>(words) + static_cast<size_t>(c / 64)] >>
                 (c % 64)) & 1) {
                done = accept(x, y, entry, code);
            }
            return done;
        });
        break;
    }
    }
    if (done) return code;
    // The sequence ran out without an accepted match.
    if (params_.mode == SearchMode::Found) {
        entry.found = 0;
        return kSearchNotHeld;
    }
    entry.found = 1;
    entry.x = a.left + a.width / 2;
    entry.y = a.top + a.height / 2;
    return kSearchHeld;
}

int32_t Search::boundedWorst(int x, int y, int32_t bound, size_t& worstAt, int64_t& budget) const {
    const uint8_t* base = frame_.pixel(x, y);
    const size_t count = s_.offsets.size();
    const ptrdiff_t* offsets = s_.offsets.data();
    const uint8_t* colours = s_.colours.data();
    int32_t worst = -1;
    size_t i = 0;
    for (; i < count; ++i) {
        const int32_t d = squaredDistance(base + offsets[i], colours + i * 4);
        if (d > worst) {
            worst = d;
            worstAt = i;
            if (worst >= bound) {
                ++i;
                break;
            }
        }
    }
    budget -= static_cast<int64_t>(i);
    return worst;
}

void Search::setProbe(int k) {
    const ptrdiff_t offset = s_.offsets[static_cast<size_t>(k)];
    probeDy_[k] = static_cast<int>(offset / frame_.stride);
    probeDx_[k] = static_cast<int>((offset % frame_.stride) / 4);
    const uint8_t* c = &s_.colours[static_cast<size_t>(k) * 4];
    probes_.colour[k] = static_cast<uint32_t>(c[0]) | (static_cast<uint32_t>(c[1]) << 8) |
                        (static_cast<uint32_t>(c[2]) << 16);
}

void Search::swapEntries(size_t a, size_t b) {
    std::swap(s_.offsets[a], s_.offsets[b]);
    uint8_t* c = s_.colours.data();
    uint32_t t;
    std::memcpy(&t, c + a * 4, 4);
    std::memcpy(c + a * 4, c + b * 4, 4);
    std::memcpy(c + b * 4, &t, 4);
}

void Search::promote(size_t index) {
    if (index == 0) return;
    swapEntries(0, index);
    if (index != 1 && s_.offsets.size() > 1) swapEntries(1, index);
    for (int k = 0; k < probes_.count; ++k) setProbe(k);
}

RangeSearcher::Closest Search::closest() {
    RangeSearcher::Closest out;
    const SearchArea& a = params_.area;
    const int w = params_.image.width;
    const int h = params_.image.height;
    // The positions the scan order visits (see run).
    const ScanOrder order = params_.order;
    const bool lastColumn = order == ScanOrder::Left || order == ScanOrder::Spiral;
    const bool lastRow = order == ScanOrder::Up || order == ScanOrder::Spiral;
    const int x0 = a.left;
    const int x1 = a.left + a.width - w - (lastColumn ? 0 : 1);
    const int y0 = a.top;
    const int y1 = a.top + a.height - h - (lastRow ? 0 : 1);
    if (x1 < x0 || y1 < y0) return out;
    limit_ = static_cast<int>(std::min<long long>(450, std::max<long long>(0, (100LL - params_.similarity) * 5)));
    collectRequired();
    buildHistogram();
    chooseTestOrder();
    if (s_.offsets.size() > 1) probes_.count = 2;
    for (int k = 0; k < probes_.count; ++k) setProbe(k);
    out.found = true;
    if (s_.offsets.empty()) {
        out.place = {x0, y0, x0 + w, y0 + h};
        out.similarity = 100;
        return out;
    }

    // A bounded look: about 65,000 pixel comparisons, a fraction of a
    // millisecond, so that a dry run can afford it for every search that did
    // not hold. Within it the answer is exact; past it, the best found.
    int64_t budget = int64_t{1} << 16;
    int32_t best = INT32_MAX;
    int bestX = x0, bestY = y0;
    size_t worstAt = 0;
    auto consider = [&](int x, int y) {
        const int32_t d = boundedWorst(x, y, best, worstAt, budget);
        if (d >= best) {
            // The pixel that rejected it moves halfway to the front: pixels
            // that reject often come to be compared first.
            if (worstAt >= 4) swapEntries(worstAt, worstAt / 2);
            return false;
        }
        best = d;
        bestX = x;
        bestY = y;
        promote(worstAt);
        return true;
    };
    // A first bound from a coarse grid of positions.
    const int stepX = std::max(1, (x1 - x0 + 1) / 32);
    const int stepY = std::max(1, (y1 - y0 + 1) / 32);
    for (int y = y0; y <= y1 && best > 0; y += stepY)
        for (int x = x0; x <= x1 && best > 0; x += stepX) consider(x, y);

    // Then every position: a candidate can beat the bound only if every
    // compared pixel lies nearer than it, the two probes measured first for
    // many neighbouring candidates at once.
    static const bool avx2 = processorHasAvx2();
    const auto nearer = avx2 && !forcedSse2.load() ? nearerScanAvx2 : nearerScanSse2;
    // The rows are taken every eighth first, then the ones between, so that
    // a look cut short by its budget has still seen the whole area.
    constexpr int kRowPasses[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    for (int pass = 0; pass < 8 && best > 0 && budget > 0; ++pass)
    for (int y = y0 + kRowPasses[pass]; y <= y1 && best > 0 && budget > 0; y += 8) {
        for (int xs = x0; xs <= x1 && best > 0 && budget > 0; xs += 64) {
            const int n = std::min(64, x1 - xs + 1);
            BoxProbes probes = probes_;
            for (int k = 0; k < probes.count; ++k) probes.base[k] = frame_.pixel(xs + probeDx_[k], y + probeDy_[k]);
            uint64_t candidates = nearer(probes, best, n);
            while (candidates && best > 0 && budget > 0) {
                const int i = __builtin_ctzll(candidates);
                candidates &= candidates - 1;
                consider(xs + i, y);
            }
        }
    }
    out.capped = budget <= 0 && best > 0;
    out.place = {bestX, bestY, bestX + w, bestY + h};
    out.similarity = similarityOfDistance(best);
    return out;
}

} // namespace

RangeSearcher::Closest RangeSearcher::closest(const FrameView& frame, const RangeSearch& search) {
    if (!searchAllowed(frame, search)) return {};
    Search one(frame, search, *scratch_);
    return one.closest();
}

int RangeSearcher::search(const FrameView& frame, const RangeSearch& search, RangeResult& entry) {
    seen_ = Seen{};
    if (!searchAllowed(frame, search)) {
        return search.mode == SearchMode::Found ? kSearchNotHeld : kSearchHeld;
    }
    scratch_->matched = false;
    Search one(frame, search, *scratch_);
    const int code = one.run(entry);
    seen_.searched = true;
    seen_.matched = scratch_->matched;
    if (seen_.matched) {
        seen_.match = {scratch_->matchX, scratch_->matchY, scratch_->matchX + search.image.width,
                       scratch_->matchY + search.image.height};
    }
    return code;
}

} // namespace quillon::runner
