// Condition evaluation by kind. Every condition yields 0 when it holds and a
// code otherwise; one that cannot be evaluated (no usable capture, an
// unreadable cursor, a variable of the wrong type, a slot out of range) does
// not hold.
#include "runner/interpreter.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace quillon::runner {

using analyzer::CompareWithColour;
using analyzer::CompareWithImage;
using analyzer::CompareWithVariable;
namespace cond = analyzer::cond;

namespace {

constexpr int kCodeNotHeld = 10;
constexpr int kCodeNotHeldOther = 20;
constexpr int kCodeCaptureFailed = 1900;
constexpr int kCodeKeyAny = 210;
constexpr int kCodeKeyGiven = 220;
constexpr int kCodeKeyReleased = 230;
constexpr int kCodeRemote = 11;
constexpr int kCodeUnknown = 999;

enum class Relation { Equal, BoundBelow, BoundAbove, Mixed, Incomparable };

bool isNumber(int32_t type) { return type == VarNumber || type == VarDateNumber; }
bool isPoint(int32_t type) { return type == VarPoint || type == VarImage || type == VarRangeMatch; }

Relation relate(const int64_t* bound, const int64_t* value, int count) {
    bool allEqual = true, boundLessOrEqual = true, boundGreaterOrEqual = true;
    for (int i = 0; i < count; ++i) {
        allEqual &= bound[i] == value[i];
        boundLessOrEqual &= bound[i] <= value[i];
        boundGreaterOrEqual &= bound[i] >= value[i];
    }
    if (allEqual) return Relation::Equal;
    if (boundLessOrEqual) return Relation::BoundBelow;
    if (boundGreaterOrEqual) return Relation::BoundAbove;
    return Relation::Mixed;
}

// Low side: bound (op) variable.
bool lowHolds(int op, Relation r) {
    switch (op) {
    case analyzer::CompareLess: return r == Relation::BoundBelow;
    case analyzer::CompareLessOrEqual: return r == Relation::BoundBelow || r == Relation::Equal;
    case analyzer::CompareEqual: return r == Relation::Equal;
    case analyzer::CompareNotEqual: return r != Relation::Equal;
    default: return true;
    }
}

// High side: variable (op) bound.
bool highHolds(int op, Relation r) {
    switch (op) {
    case analyzer::CompareLess: return r == Relation::BoundAbove;
    case analyzer::CompareLessOrEqual: return r == Relation::BoundAbove || r == Relation::Equal;
    case analyzer::CompareEqual: return r == Relation::Equal;
    case analyzer::CompareNotEqual: return r != Relation::Equal;
    default: return true;
    }
}

bool validVariable(int32_t index) { return index >= 0 && index < analyzer::kVariableCapacity; }

} // namespace

bool Interpreter::variableTestHolds(int axis, const analyzer::VariableTest& test) {
    const bool useLow = test.lowOperator >= analyzer::CompareLess && test.lowOperator <= analyzer::CompareNotEqual;
    const bool useHigh = test.highOperator >= analyzer::CompareLess && test.highOperator <= analyzer::CompareNotEqual;
    if (!useLow && !useHigh) return true;
    if (!validVariable(test.variable)) return false;
    const Variable& tested = state_.variables[static_cast<size_t>(test.variable)];

    // Points are compared in window coordinates.
    Rect client{};
    const bool haveClient = screen_.targetRect(CaptureTarget::ClientArea, client);
    auto pointOf = [&](const Variable& v, int64_t out[2]) {
        int x = v.x, y = v.y;
        if (v.type == VarPoint && v.coordinateMode == kMonitorCoordinates && haveClient) {
            x -= client.left;
            y -= client.top;
        }
        out[0] = x;
        out[1] = y;
    };
    auto classify = [&](bool isVariable, int32_t bound) -> Relation {
        if (!isVariable) {
            if (!isNumber(tested.type)) return Relation::Incomparable;
            const int64_t b = bound, v = tested.value;
            return relate(&b, &v, 1);
        }
        if (!validVariable(bound)) return Relation::Incomparable;
        const Variable& other = state_.variables[static_cast<size_t>(bound)];
        if (isNumber(tested.type) && isNumber(other.type)) return relate(&other.value, &tested.value, 1);
        if (isPoint(tested.type) && isPoint(other.type)) {
            int64_t b[2], v[2];
            pointOf(other, b);
            pointOf(tested, v);
            if (axis == 1) return relate(&b[0], &v[0], 1);
            if (axis == 2) return relate(&b[1], &v[1], 1);
            return relate(b, v, 2);
        }
        if (tested.type == VarColour && other.type == VarColour) {
            const int64_t b[3] = {other.red, other.green, other.blue};
            const int64_t v[3] = {tested.red, tested.green, tested.blue};
            return relate(b, v, 3);
        }
        return Relation::Incomparable;
    };
    if (useLow) {
        const Relation r = classify(test.lowIsVariable == 1, test.low);
        if (r == Relation::Incomparable || !lowHolds(test.lowOperator, r)) return false;
    }
    if (useHigh) {
        const Relation r = classify(test.highIsVariable == 1, test.high);
        if (r == Relation::Incomparable || !highHolds(test.highOperator, r)) return false;
    }
    return true;
}

int Interpreter::evaluateConditions(const analyzer::Item& item, int& code) {
    const int count = std::clamp(item.conditionCount, 0, analyzer::kConditionsPerItem);
    code = 0;
    for (int i = 0; i < count; ++i) {
        if (observer_) {
            // Reserved for every condition of an item: no allocation here.
            seen_.conditions.emplace_back();
            code = evaluateWatched(item.conditions[i], seen_.conditions.back());
        } else {
            code = evaluateCondition(item.conditions[i]);
        }
        if (code != 0 || !keepGoing()) return i;
    }
    return count;
}

int Interpreter::evaluateWatched(const analyzer::Condition& condition, ConditionSeen& seen) {
    seen = ConditionSeen{};
    seen.kind = condition.kind();
    looking_ = &seen;
    const int code = evaluateCondition(condition);
    looking_ = nullptr;
    seen.held = code == 0;
    seen.code = code;
    return code;
}

std::vector<ConditionSeen> Interpreter::testConditions(const analyzer::Item& item) {
    const analyzer::AnalyzerImage& image = model_.image();
    capture_.setTarget(captureTargetOf(image));
    screen_.setLegacyCapture(image.captureLegacy == 1);
    // Not running: a window that cannot be captured fails the condition
    // instead of pausing for the user.
    runActive.store(false);
    const int count = std::clamp(item.conditionCount, 0, analyzer::kConditionsPerItem);
    std::vector<ConditionSeen> seen(static_cast<size_t>(count));
    const bool buffer = capture_.startRun();
    for (int i = 0; i < count; ++i) {
        if (buffer) {
            evaluateWatched(item.conditions[i], seen[static_cast<size_t>(i)]);
        } else {
            seen[static_cast<size_t>(i)].kind = item.conditions[i].kind();
            seen[static_cast<size_t>(i)].code = kCodeCaptureFailed;
        }
    }
    return seen;
}

int Interpreter::evaluateCondition(const analyzer::Condition& c) {
    switch (c.kind()) {
    case analyzer::CondVariable:
        return variableTestHolds(c[cond::Variable::axis], cond::Variable::test(c)) ? 0 : 1000;
    case analyzer::CondTimer: return conditionTimer(c);
    case analyzer::CondDateTime: return conditionDateTime(c);
    case analyzer::CondState: {
        const int wanted = c[cond::State::state];
        if (wanted == cond::State::MacroRunning) return state_.macroPlaying ? 0 : kCodeNotHeld;
        if (wanted == cond::State::MacroOff) return state_.macroPlaying ? kCodeNotHeldOther : 0;
        return 0;
    }
    case analyzer::CondImage: return conditionImage(c);
    case analyzer::CondRangeSearch: return conditionRangeSearch(c);
    case analyzer::CondCursor: return conditionCursor(c);
    case analyzer::CondKey: {
        const auto& held = state_.heldKeys;
        const bool any = std::any_of(held.begin(), held.end(), [](uint8_t k) { return k != 0; });
        switch (c[cond::Key::mode]) {
        case cond::Key::AnyKey: return any ? 0 : kCodeKeyAny;
        case cond::Key::GivenKey: {
            const int32_t row = c[cond::Key::key];
            if (row < 0 || static_cast<size_t>(row) >= keys_.size()) return kCodeKeyGiven;
            const uint8_t code = keys_.codeOf(static_cast<size_t>(row));
            return std::find(held.begin(), held.end(), code) != held.end() ? 0 : kCodeKeyGiven;
        }
        case cond::Key::AllReleased: return any ? kCodeKeyReleased : 0;
        default: return kCodeKeyAny;
        }
    }
    case analyzer::CondRemote:
        if (state_.lastRemote != kNoRemote && state_.lastRemote == c[cond::Remote::number]) {
            state_.lastRemote = kNoRemote; // consumed
            return 0;
        }
        return kCodeRemote;
    case analyzer::CondNoItemDelay: return 0;
    default: return kCodeUnknown;
    }
}

int Interpreter::conditionTimer(const analyzer::Condition& c) {
    using T = cond::Timer;
    const int32_t tested = c[T::timer];
    if (tested < 0 || tested >= analyzer::kTimerCount) return kCodeNotHeld;
    int64_t d = state_.timers[static_cast<size_t>(tested)].value / 1000;
    if (c[T::rightIsTimer] == 1) {
        const int32_t other = c[T::otherTimer];
        if (other < 0 || other >= analyzer::kTimerCount) return kCodeNotHeld;
        d -= state_.timers[static_cast<size_t>(other)].value / 1000;
    } else {
        d -= c[T::seconds];
    }
    if (c[T::below] == 0) return d >= 0 ? 0 : kCodeNotHeld;
    return d < 0 ? 0 : kCodeNotHeldOther;
}

std::string dateConditionFormat(uint8_t parts) {
    struct Part { uint8_t bit; const char* format; } order[] = {
        {0x40, "yyyy'년 '"}, {0x20, "M'월 '"}, {0x08, "d'일 '"}, {0x10, "dddd' '"},
        {0x04, "H'시 '"},     {0x02, "m'분 '"}, {0x01, "s'초'"},
    };
    std::string format;
    for (const Part& p : order) {
        if (parts & p.bit) format += p.format;
    }
    return format;
}

int Interpreter::conditionDateTime(const analyzer::Condition& c) {
    using D = cond::DateTime;
    const LocalTime now = host_.localTime();
    const uint8_t parts = c[D::parts];
    // SYSTEMTIME order: year, month, weekday, day, hour, minute, second.
    const std::array<uint16_t, 7> date{c[D::year], c[D::month], c[D::weekday], c[D::day],
                                       c[D::hour], c[D::minute], c[D::second]};
    auto at = [](int value) { return static_cast<uint16_t>(value); };
    struct Part { uint8_t bit; uint16_t now; uint16_t stored; } order[] = {
        {D::Year, at(now.year), date[0]}, {D::Month, at(now.month), date[1]},   {D::Day, at(now.day), date[3]},
        {D::Weekday, at(now.weekday), date[2]}, {D::Hour, at(now.hour), date[4]}, {D::Minute, at(now.minute), date[5]},
        {D::Second, at(now.second), date[6]},
    };
    if (host_.mainWindowShown() && (state_.currentItem != lastDateItem_ || c.body != lastDateCondition_)) {
        lastDateItem_ = state_.currentItem;
        lastDateCondition_ = c.body;
        host_.showDateCondition(date, dateConditionFormat(parts));
    }
    int compare = 0; // now against the stored value
    for (const Part& p : order) {
        if (!(parts & p.bit) || p.now == p.stored) continue;
        compare = p.now < p.stored ? -1 : 1;
        break;
    }
    if (c[D::below] == 0) return compare >= 0 ? 0 : kCodeNotHeld;
    return compare < 0 ? 0 : kCodeNotHeldOther;
}

// What an image or range-search condition compares with: a recognition
// image, the image (its own copy) or colour a variable holds, or a fixed
// colour; nullopt when there is none.
std::optional<Interpreter::Compared> Interpreter::comparedWith(int32_t what, int32_t source, int32_t colour) const {
    if (what == CompareWithColour) return Compared{{}, false, static_cast<uint32_t>(colour) & 0xFFFFFF};
    if (what == CompareWithImage) {
        const analyzer::RecognitionImage* block = model_.recognitionImage(source);
        if (!block) return std::nullopt;
        return Compared{viewOf(*block), true, 0};
    }
    if (what != CompareWithVariable || !validVariable(source)) return std::nullopt;
    const Variable& v = state_.variables[static_cast<size_t>(source)];
    if (v.type == VarImage && v.valid && v.image) return Compared{viewOf(*v.image), true, 0};
    if (v.type != VarColour) return std::nullopt;
    return Compared{{}, false, (static_cast<uint32_t>(v.red) << 16) | (static_cast<uint32_t>(v.green) << 8) | v.blue};
}

FreshCapture Interpreter::captureForCondition() {
    FreshCapture fresh = capture_.freshCapture();
    if (fresh.status == CaptureStatus::UnusableTarget) {
        // No window to look at: the run pauses until the user resumes it.
        paused.store(true);
        pollStatus(kPollIntervalMs);
    }
    return fresh;
}

int Interpreter::conditionImage(const analyzer::Condition& c) {
    using I = cond::Image;
    const FreshCapture fresh = captureForCondition();
    if (!fresh.usable) return kCodeCaptureFailed;
    const FrameView frame = capture_.frame();
    const int where = c[I::where];
    const CompareMode mode = c[I::wantDifferent] == 1 ? CompareMode::Different : CompareMode::Same;
    const int similarity = c[I::similarity];

    const std::optional<Compared> compared = comparedWith(c[I::compareWith], c[I::reference], c[I::colour]);
    if (!compared) return kTestOutside;
    const ImageView image = compared->image;
    const bool haveImage = compared->isImage;
    const uint32_t colour = compared->colour;

    // Where: a point for colours; a top-left corner for images.
    Point point;
    bool fromImage = false; // the position is a recognition image's own
    const analyzer::RecognitionImage* positionImage = nullptr;
    if (where == I::AtImage) {
        positionImage = model_.recognitionImage(c[I::positionSource]);
        if (!positionImage) return kTestOutside;
        fromImage = true;
    } else if (where == I::AtCoordinates) {
        point = {c[I::x], c[I::y]};
    } else if (where == I::AtVariable) {
        const int32_t index = c[I::positionSource];
        if (!validVariable(index)) return kTestOutside;
        const Variable& v = state_.variables[static_cast<size_t>(index)];
        if (v.type == VarImage && v.valid && v.image) {
            positionImage = v.image.get();
            fromImage = true;
        } else if (v.type == VarPoint || v.type == VarRangeMatch) {
            point = {v.x, v.y};
        } else {
            return kTestOutside;
        }
    } else {
        return kTestOutside;
    }
    if (!haveImage) {
        if (fromImage) point = {positionImage->centreX, positionImage->centreY};
        if (host_.mainWindowShown()) {
            previewColour(PreviewBox::Reference, colour);
            if (frame.contains(point.x, point.y)) {
                const uint8_t* p = frame.pixel(point.x, point.y);
                previewColour(PreviewBox::Live, (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0]);
            }
        }
        if (looking_ && frame.contains(point.x, point.y)) {
            const Point origin = captureOrigin();
            looking_->located = true;
            looking_->x = point.x + origin.x;
            looking_->y = point.y + origin.y;
            looking_->box = {looking_->x, looking_->y, looking_->x + 1, looking_->y + 1};
            looking_->similarity = colourSimilarity(frame, point, colour);
        }
        return testColour(frame, point, colour, similarity, mode);
    }
    const Point topLeft = fromImage ? Point{positionImage->left, positionImage->top} : topLeftAround(point, image);
    // The comparison's own rule: an image touching the right or bottom edge is off the capture.
    if (looking_ && image.valid() && topLeft.x >= 0 && topLeft.y >= 0 && topLeft.x + image.width < frame.width &&
        topLeft.y + image.height < frame.height) {
        const Point origin = captureOrigin();
        looking_->located = true;
        looking_->box = {topLeft.x + origin.x, topLeft.y + origin.y, topLeft.x + origin.x + image.width,
                         topLeft.y + origin.y + image.height};
        looking_->x = looking_->box.left + image.width / 2;
        looking_->y = looking_->box.top + image.height / 2;
        looking_->similarity = imageSimilarity(frame, image, topLeft, false);
    }
    if (host_.mainWindowShown()) {
        host_.showPreview(PreviewBox::Reference, {image.pixels, image.width, image.height, image.stride});
        previewFrame(frame, {topLeft.x, topLeft.y, topLeft.x + image.width, topLeft.y + image.height});
    }
    return testImage(frame, image, topLeft, similarity, mode);
}

void Interpreter::previewColour(PreviewBox box, uint32_t rgb) {
    PreviewPicture picture;
    picture.solid = true;
    picture.colour = rgb;
    host_.showPreview(box, picture);
}

// The capture buffer's pixels of a rectangle (clipped to the buffer) in a
// preview box (the live one unless told).
void Interpreter::previewFrame(const FrameView& frame, Rect rect, PreviewBox box) {
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, frame.width);
    rect.bottom = std::min(rect.bottom, frame.height);
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    host_.showPreview(box, {frame.pixel(rect.left, rect.top), rect.right - rect.left, rect.bottom - rect.top,
                            frame.stride});
}

int Interpreter::conditionRangeSearch(const analyzer::Condition& c) {
    using R = cond::RangeSearch;
    const int32_t areaSlot = c[R::area];
    if (areaSlot < 0 || areaSlot >= analyzer::kAreaCapacity) return kSearchNotHeld;
    const analyzer::RecognitionArea& area = model_.image().areas[areaSlot];
    const FreshCapture fresh = captureForCondition();
    if (!fresh.usable) return kCodeCaptureFailed;

    RangeSearch search;
    const std::optional<Compared> compared = comparedWith(c[R::what], c[R::image], c[R::colour]);
    if (!compared) return kSearchNotHeld;
    std::optional<ColourImage> colour;
    if (!compared->isImage) colour.emplace(compared->colour);
    search.image = colour ? colour->view() : compared->image;
    search.area = {area.left, area.top, area.width, area.height};
    search.similarity = c[R::similarity];
    search.order = static_cast<ScanOrder>(std::clamp(c[R::direction], 0, 4));
    search.mode = c[R::wantMissing] == 1 ? SearchMode::NotFound : SearchMode::Found;
    int64_t nth = c[R::whichMatch];
    if (c[R::whichMatchIsVariable] == 1) {
        const int32_t index = c[R::whichMatch];
        nth = validVariable(index) ? state_.variables[static_cast<size_t>(index)].value : 0;
    }
    search.nth = static_cast<int>(std::clamp<int64_t>(nth, -1, kMaxNthMatch + 1));
    RangeResult& result = state_.rangeResults[static_cast<size_t>(areaSlot)];
    const int code = searcher_.search(capture_.frame(), search, result);
    const RangeSearcher::Seen& seen = searcher_.lastSeen();
    if (looking_) watchRangeSearch(search, seen);
    if (host_.mainWindowShown() && seen.searched) {
        // The match the search ended with, in either mode, or the whole area
        // when there was none; nothing when no scan was made.
        previewFrame(capture_.frame(), seen.matched ? seen.match
                                                    : Rect{area.left, area.top, area.left + area.width,
                                                           area.top + area.height});
    }
    return code;
}

// Where a range search ended: its match, or when it found none the closest
// place of the area.
void Interpreter::watchRangeSearch(const RangeSearch& search, const RangeSearcher::Seen& seen) {
    const Point origin = captureOrigin();
    const SearchArea& a = search.area;
    looking_->hasArea = true;
    looking_->area = {a.left + origin.x, a.top + origin.y, a.left + a.width + origin.x, a.top + a.height + origin.y};
    if (!seen.searched) return;
    Rect place;
    if (seen.matched) {
        place = seen.match;
        looking_->similarity = imageSimilarity(capture_.frame(), search.image, {place.left, place.top}, true);
    } else {
        if (!closestWanted_) return;
        const RangeSearcher::Closest closest = closestPlace(search);
        if (!closest.found) return;
        place = closest.place;
        looking_->similarity = closest.similarity;
    }
    looking_->located = true;
    looking_->box = {place.left + origin.x, place.top + origin.y, place.right + origin.x, place.bottom + origin.y};
    looking_->x = looking_->box.left + search.image.width / 2;
    looking_->y = looking_->box.top + search.image.height / 2;
}

RangeSearcher::Closest Interpreter::closestPlace(const RangeSearch& search) {
    const CaptureBuffer& buffer = capture_.buffer();
    if (buffer.serial == 0) return searcher_.closest(capture_.frame(), search);
    const ImageView& image = search.image;
    ClosestMemo key;
    key.serial = buffer.serial;
    key.origin = buffer.origin;
    key.captureWidth = buffer.width;
    key.captureHeight = buffer.height;
    key.pixels = image.pixels;
    if (image.pixels) std::memcpy(&key.firstPixel, image.pixels, 4);
    key.width = image.width;
    key.height = image.height;
    key.anchorColumn = image.anchorColumn;
    key.anchorRow = image.anchorRow;
    key.pattern = image.pattern;
    key.left = search.area.left;
    key.top = search.area.top;
    key.areaWidth = search.area.width;
    key.areaHeight = search.area.height;
    key.similarity = search.similarity;
    key.order = search.order;
    key.images = imagesVersion_;
    for (const ClosestMemo& memo : closestMemo_) {
        if (memo == key) return memo.closest;
    }
    key.closest = searcher_.closest(capture_.frame(), search);
    closestMemo_[closestMemoNext_] = key;
    closestMemoNext_ = (closestMemoNext_ + 1) % closestMemo_.size();
    return key.closest;
}

int Interpreter::conditionCursor(const analyzer::Condition& c) {
    const int32_t slot = c[cond::Cursor::cursor];
    if (slot < 0 || slot >= analyzer::kCursorCapacity) return 100;
    if (!capture_.freshCursor()) return 100;
    const CompareMode mode = c[cond::Cursor::wantDifferent] == 1 ? CompareMode::Different : CompareMode::Same;
    if (host_.mainWindowShown()) {
        host_.showCursors(capture_.cursor(), model_.image().cursors[slot]);
    }
    return testCursor(capture_.cursor(), model_.image().cursors[slot], mode);
}

} // namespace quillon::runner
