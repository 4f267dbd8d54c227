// Condition evaluation by kind. Every condition yields 0 when it holds and a
// code otherwise; one that cannot be evaluated (no usable capture, an
// unreadable cursor, a variable of the wrong type, a slot out of range) does
// not hold.
#include "runner/interpreter.h"

#include <algorithm>
#include <optional>

namespace quillon::runner {

using analyzer::bodyInt;

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
    case 1: return r == Relation::BoundBelow;
    case 2: return r == Relation::BoundBelow || r == Relation::Equal;
    case 3: return r == Relation::Equal;
    case 4: return r != Relation::Equal;
    default: return true;
    }
}

// High side: variable (op) bound.
bool highHolds(int op, Relation r) {
    switch (op) {
    case 1: return r == Relation::BoundAbove;
    case 2: return r == Relation::BoundAbove || r == Relation::Equal;
    case 3: return r == Relation::Equal;
    case 4: return r != Relation::Equal;
    default: return true;
    }
}

bool validVariable(int32_t index) { return index >= 0 && index < analyzer::kVariableCapacity; }

} // namespace

bool Interpreter::variableTestHolds(int axis, bool lowIsVariable, int32_t low, int lowOperator, int32_t variable,
                                    int highOperator, bool highIsVariable, int32_t high) {
    const bool useLow = lowOperator >= 1 && lowOperator <= 4;
    const bool useHigh = highOperator >= 1 && highOperator <= 4;
    if (!useLow && !useHigh) return true;
    if (!validVariable(variable)) return false;
    const Variable& tested = state_.variables[static_cast<size_t>(variable)];

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
        const Relation r = classify(lowIsVariable, low);
        if (r == Relation::Incomparable || !lowHolds(lowOperator, r)) return false;
    }
    if (useHigh) {
        const Relation r = classify(highIsVariable, high);
        if (r == Relation::Incomparable || !highHolds(highOperator, r)) return false;
    }
    return true;
}

int Interpreter::evaluateConditions(const analyzer::Item& item, int& code) {
    const int count = std::clamp(item.conditionCount, 0, analyzer::kConditionsPerItem);
    code = 0;
    for (int i = 0; i < count; ++i) {
        code = evaluateCondition(item.conditions[i]);
        if (code != 0 || !keepGoing()) return i;
    }
    return count;
}

int Interpreter::evaluateCondition(const analyzer::Condition& condition) {
    const uint8_t* b = condition.body;
    switch (condition.kind()) {
    case analyzer::CondVariable: {
        const bool holds = variableTestHolds(bodyInt(b, 4), bodyInt(b, 8) == 1, bodyInt(b, 12), bodyInt(b, 20),
                                             bodyInt(b, 24), bodyInt(b, 28), bodyInt(b, 32) == 1, bodyInt(b, 36));
        return holds ? 0 : 1000;
    }
    case analyzer::CondTimer: return conditionTimer(b);
    case analyzer::CondDateTime: return conditionDateTime(b);
    case analyzer::CondState: {
        const int wanted = bodyInt(b, 4);
        if (wanted == 0) return state_.macroPlaying ? 0 : kCodeNotHeld;
        if (wanted == 1) return state_.macroPlaying ? kCodeNotHeldOther : 0;
        return 0;
    }
    case analyzer::CondImage: return conditionImage(b);
    case analyzer::CondRangeSearch: return conditionRangeSearch(b);
    case analyzer::CondCursor: return conditionCursor(b);
    case analyzer::CondKey: {
        const auto& held = state_.heldKeys;
        const bool any = std::any_of(held.begin(), held.end(), [](uint8_t k) { return k != 0; });
        switch (bodyInt(b, 4)) {
        case 0: return any ? 0 : kCodeKeyAny;
        case 1: {
            const int32_t row = bodyInt(b, 8);
            if (row < 0 || static_cast<size_t>(row) >= keys_.size()) return kCodeKeyGiven;
            const uint8_t code = keys_.codeOf(static_cast<size_t>(row));
            return std::find(held.begin(), held.end(), code) != held.end() ? 0 : kCodeKeyGiven;
        }
        case 2: return any ? kCodeKeyReleased : 0;
        default: return kCodeKeyAny;
        }
    }
    case analyzer::CondRemote:
        if (state_.lastRemote != kNoRemote && state_.lastRemote == bodyInt(b, 4)) {
            state_.lastRemote = kNoRemote; // consumed
            return 0;
        }
        return kCodeRemote;
    case analyzer::CondNoItemDelay: return 0;
    default: return kCodeUnknown;
    }
}

int Interpreter::conditionTimer(const uint8_t* b) {
    const int32_t tested = bodyInt(b, 12);
    if (tested < 0 || tested >= analyzer::kTimerCount) return kCodeNotHeld;
    int64_t d = state_.timers[static_cast<size_t>(tested)].value / 1000;
    if (bodyInt(b, 4) == 1) {
        const int32_t other = bodyInt(b, 16);
        if (other < 0 || other >= analyzer::kTimerCount) return kCodeNotHeld;
        d -= state_.timers[static_cast<size_t>(other)].value / 1000;
    } else {
        d -= bodyInt(b, 20);
    }
    if (bodyInt(b, 8) == 0) return d >= 0 ? 0 : kCodeNotHeld;
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

int Interpreter::conditionDateTime(const uint8_t* b) {
    const LocalTime now = host_.localTime();
    const uint8_t parts = b[8];
    // SYSTEMTIME order: year, month, weekday, day, hour, minute, second.
    auto stored = [&](int field) { return static_cast<uint16_t>(loadLe16(b + 12 + 2 * field)); };
    struct Part { uint8_t bit; uint16_t now; uint16_t stored; } order[] = {
        {0x40, static_cast<uint16_t>(now.year), stored(0)},   {0x20, static_cast<uint16_t>(now.month), stored(1)},
        {0x08, static_cast<uint16_t>(now.day), stored(3)},    {0x10, static_cast<uint16_t>(now.weekday), stored(2)},
        {0x04, static_cast<uint16_t>(now.hour), stored(4)},   {0x02, static_cast<uint16_t>(now.minute), stored(5)},
        {0x01, static_cast<uint16_t>(now.second), stored(6)},
    };
    if (host_.mainWindowShown() && (state_.currentItem != lastDateItem_ || b != lastDateCondition_)) {
        lastDateItem_ = state_.currentItem;
        lastDateCondition_ = b;
        std::array<uint16_t, 7> date{};
        for (int i = 0; i < 7; ++i) {
            date[static_cast<size_t>(i)] = stored(i);
        }
        host_.showDateCondition(date, dateConditionFormat(parts));
    }
    int compare = 0; // now against the stored value
    for (const Part& p : order) {
        if (!(parts & p.bit) || p.now == p.stored) continue;
        compare = p.now < p.stored ? -1 : 1;
        break;
    }
    if (bodyInt(b, 4) == 0) return compare >= 0 ? 0 : kCodeNotHeld;
    return compare < 0 ? 0 : kCodeNotHeldOther;
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

int Interpreter::conditionImage(const uint8_t* b) {
    const FreshCapture fresh = captureForCondition();
    if (!fresh.usable) return kCodeCaptureFailed;
    const FrameView frame = capture_.frame();
    const int compareWith = bodyInt(b, 4);
    const int where = bodyInt(b, 8);
    const CompareMode mode = bodyInt(b, 28) == 1 ? CompareMode::Different : CompareMode::Same;
    const int similarity = bodyInt(b, 32);

    // What is compared: an image (the record's, or a variable's own copy) or a colour.
    ImageView image;
    bool haveImage = false;
    uint32_t colour = 0;
    if (compareWith == 5) {
        const analyzer::RecognitionImage* block = model_.recognitionImage(bodyInt(b, 12));
        if (!block) return kTestOutside;
        image = viewOf(*block);
        haveImage = true;
    } else if (compareWith == 1) {
        const int32_t index = bodyInt(b, 12);
        if (!validVariable(index)) return kTestOutside;
        const Variable& v = state_.variables[static_cast<size_t>(index)];
        if (v.type == VarImage && v.valid && v.image) {
            image = viewOf(*v.image);
            haveImage = true;
        } else if (v.type == VarColour) {
            colour = (static_cast<uint32_t>(v.red) << 16) | (static_cast<uint32_t>(v.green) << 8) | v.blue;
        } else {
            return kTestOutside;
        }
    } else if (compareWith == 4) {
        colour = static_cast<uint32_t>(bodyInt(b, 40)) & 0xFFFFFF;
    } else {
        return kTestOutside;
    }

    // Where: a point for colours; a top-left corner for images.
    Point point;
    bool fromImage = false; // the position is a recognition image's own
    const analyzer::RecognitionImage* positionImage = nullptr;
    if (where == 3) {
        positionImage = model_.recognitionImage(bodyInt(b, 16));
        if (!positionImage) return kTestOutside;
        fromImage = true;
    } else if (where == 2) {
        point = {bodyInt(b, 20), bodyInt(b, 24)};
    } else if (where == 1) {
        const int32_t index = bodyInt(b, 16);
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
        return testColour(frame, point, colour, similarity, mode);
    }
    const Point topLeft = fromImage ? Point{positionImage->left, positionImage->top} : topLeftAround(point, image);
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

int Interpreter::conditionRangeSearch(const uint8_t* b) {
    const int32_t areaSlot = bodyInt(b, 8);
    if (areaSlot < 0 || areaSlot >= analyzer::kAreaCapacity) return kSearchNotHeld;
    const analyzer::RecognitionArea& area = model_.image().areas[areaSlot];
    const FreshCapture fresh = captureForCondition();
    if (!fresh.usable) return kCodeCaptureFailed;

    RangeSearch search;
    const int what = bodyInt(b, 4);
    std::optional<ColourImage> colour;
    if (what == 5) {
        const analyzer::RecognitionImage* block = model_.recognitionImage(bodyInt(b, 16));
        if (!block) return kSearchNotHeld;
        search.image = viewOf(*block);
    } else if (what == 1) {
        const int32_t index = bodyInt(b, 16);
        if (!validVariable(index)) return kSearchNotHeld;
        const Variable& v = state_.variables[static_cast<size_t>(index)];
        if (v.type == VarImage && v.valid && v.image) {
            search.image = viewOf(*v.image);
        } else if (v.type == VarColour) {
            colour.emplace((static_cast<uint32_t>(v.red) << 16) | (static_cast<uint32_t>(v.green) << 8) | v.blue);
            search.image = colour->view();
        } else {
            return kSearchNotHeld;
        }
    } else if (what == 4) {
        colour.emplace(static_cast<uint32_t>(bodyInt(b, 56)) & 0xFFFFFF);
        search.image = colour->view();
    } else {
        return kSearchNotHeld;
    }
    search.area = {area.left, area.top, area.width, area.height};
    search.similarity = bodyInt(b, 32);
    search.order = static_cast<ScanOrder>(std::clamp(bodyInt(b, 12), 0, 4));
    search.mode = bodyInt(b, 20) == 1 ? SearchMode::NotFound : SearchMode::Found;
    int64_t nth = bodyInt(b, 24);
    if (bodyInt(b, 28) == 1) {
        const int32_t index = bodyInt(b, 24);
        nth = validVariable(index) ? state_.variables[static_cast<size_t>(index)].value : 0;
    }
    search.nth = static_cast<int>(std::clamp<int64_t>(nth, -1, kMaxNthMatch + 1));
    RangeResult& result = state_.rangeResults[static_cast<size_t>(areaSlot)];
    const int code = searcher_.search(capture_.frame(), search, result);
    const RangeSearcher::Seen& seen = searcher_.lastSeen();
    if (host_.mainWindowShown() && seen.searched) {
        // The match the search ended with, in either mode, or the whole area
        // when there was none; nothing when no scan was made.
        previewFrame(capture_.frame(), seen.matched ? seen.match
                                                    : Rect{area.left, area.top, area.left + area.width,
                                                           area.top + area.height});
    }
    return code;
}

int Interpreter::conditionCursor(const uint8_t* b) {
    const int32_t slot = bodyInt(b, 8);
    if (slot < 0 || slot >= analyzer::kCursorCapacity) return 100;
    if (!capture_.freshCursor()) return 100;
    const CompareMode mode = bodyInt(b, 12) == 1 ? CompareMode::Different : CompareMode::Same;
    if (host_.mainWindowShown()) {
        host_.showCursors(capture_.cursor(), model_.image().cursors[slot]);
    }
    return testCursor(capture_.cursor(), model_.image().cursors[slot], mode);
}

} // namespace quillon::runner
