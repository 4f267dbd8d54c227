// The pixel comparisons of the runner: a colour at a point, an image at a
// position, an image searched inside an area, a number read with a number
// pack and the cursor's shape. Each returns 0 when the condition it serves
// is fulfilled and a non-zero code otherwise (shown for diagnosis).
#pragma once

#include "analyzer/records.h"
#include "runner/frame_view.h"
#include "runner/geometry.h"
#include "runner/image_view.h"
#include "runner/screen.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace quillon::runner {

enum class CompareMode { Same, Different };

// Codes of the point tests.
inline constexpr int kTestHeld = 0;
inline constexpr int kTestNotHeld = 1;
inline constexpr int kTestOutside = 3; // the point or image is not on the capture

int testColour(const FrameView& frame, Point point, uint32_t rgb, int similarity, CompareMode mode);
// `topLeft` is where the image's top-left corner lies in the capture.
int testImage(const FrameView& frame, const ImageView& image, Point topLeft, int similarity, CompareMode mode);
// The top-left corner of an image centred on a point (integer halves).
inline Point topLeftAround(Point centre, const ImageView& image) {
    return {centre.x - image.width / 2, centre.y - image.height / 2};
}

int testCursor(const CursorImage& cursor, const analyzer::CursorSample& sample, CompareMode mode);

// ---- how close a comparison came ----------------------------------------------
// For whoever watches a run: the highest similarity setting (0..100) at which
// every compared pixel would have matched under the one colour rule.

// Of pixels a squared distance apart.
int similarityOfDistance(int32_t squaredDistance);
// Of the colour at a point; -1 when the point is off the capture.
int colourSimilarity(const FrameView& frame, Point point, uint32_t rgb);
// Of an image at a position, over the pixels the comparison compares (a
// pattern image's selected pixels, and its anchor as a range search tests it
// when `withAnchor`); -1 when the image does not lie on the capture.
int imageSimilarity(const FrameView& frame, const ImageView& image, Point topLeft, bool withAnchor);

// ---- range search -----------------------------------------------------------

inline constexpr int kMaxNthMatch = 30000;

enum class ScanOrder : int { Down = 0, Up = 1, Right = 2, Left = 3, Spiral = 4 };
enum class SearchMode { Found, NotFound };

struct SearchArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// One entry of the range-search result table (one per area slot).
struct RangeResult {
    int found = 0;
    int x = 0; // capture coordinates of the match centre (or the area centre)
    int y = 0;
};

struct RangeSearch {
    ImageView image;
    SearchArea area;
    int similarity = 100;
    ScanOrder order = ScanOrder::Down;
    int nth = 1;
    SearchMode mode = SearchMode::Found;
};

inline constexpr int kSearchHeld = 0;
inline constexpr int kSearchNotHeld = 1;

// True when the search may run at all: the area lies on the capture, N is at
// most 30,000 and the image is usable. When it may not, the entry is left as
// it was and the result is "not held" for Found and "held" for NotFound.
bool searchAllowed(const FrameView& frame, const RangeSearch& search);

// Searches with preallocated scratch: once constructed, a search allocates
// only when an area larger than any before needs a bigger match map.
class RangeSearcher {
public:
    RangeSearcher();
    ~RangeSearcher();
    RangeSearcher(const RangeSearcher&) = delete;
    RangeSearcher& operator=(const RangeSearcher&) = delete;

    int search(const FrameView& frame, const RangeSearch& search, RangeResult& entry);

    // What the last search saw, for the preview: whether it scanned at all,
    // and the match it ended with (the nth match, or in the "not found" mode
    // the match that made the condition fail), whatever the result entry says.
    struct Seen {
        bool searched = false;
        bool matched = false;
        Rect match{};
    };
    const Seen& lastSeen() const { return seen_; }

    // The place of the area where the image comes closest (the highest
    // similarity), among the positions the scan order visits: for a report of
    // a search that did not hold, never for the run itself. Branch and bound
    // over the positions, the pixels that rejected the best place so far and
    // the rarest ones compared first; the work is capped, so on a screen
    // that defeats the bound it is the best place found within the cap.
    struct Closest {
        bool found = false; // false when the search may not run (see searchAllowed)
        Rect place{};       // capture coordinates
        int similarity = -1;
        bool capped = false; // the cap ended the search before every position was ruled out
    };
    Closest closest(const FrameView& frame, const RangeSearch& search);

    // Which vector unit the candidate scan uses ("avx2" or "sse2").
    static const char* vectorUnit();
    // Tests may force the SSE2 path to compare both on the same machine.
    static void forceSse2(bool force);

    struct Scratch;

private:
    std::unique_ptr<Scratch> scratch_;
    Seen seen_;
};

// ---- number reading ---------------------------------------------------------

// Reads the number written in the area; 0 with the value, non-zero (and the
// value 0) when the area does not fit in the capture.
int readNumber(const FrameView& frame, const SearchArea& area, const NumberPackView& pack, int similarity,
               bool arithmetic, int64_t& value);

} // namespace quillon::runner
