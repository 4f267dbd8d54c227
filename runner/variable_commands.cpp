// The variable command: a guard test, a source that sets the target, then
// optional arithmetic with a right operand.
#include "runner/interpreter.h"

#include <algorithm>
#include <cstring>

namespace quillon::runner {

using V = analyzer::cmd::Variable;

namespace {

bool validVariable(int32_t index) { return index >= 0 && index < analyzer::kVariableCapacity; }
bool isPointType(int32_t t) { return t == VarPoint || t == VarImage || t == VarRangeMatch; }

// 32-bit arithmetic of two literal numbers (wrapping), widened afterwards.
int64_t arithmetic32(int32_t a, int32_t b, int op, bool& changed) {
    const auto ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
    changed = true;
    switch (op) {
    case 1: return static_cast<int32_t>(ua + ub);
    case 2: return static_cast<int32_t>(ua - ub);
    case 3: return static_cast<int32_t>(ua * ub);
    case 4:
        if (b < 1) break;
        return a / b;
    }
    changed = false;
    return a;
}

int64_t arithmetic64(int64_t a, int64_t b, int op, bool& changed) {
    const auto ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(b);
    changed = true;
    switch (op) {
    case 1: return static_cast<int64_t>(ua + ub);
    case 2: return static_cast<int64_t>(ua - ub);
    case 3: return static_cast<int64_t>(ua * ub);
    case 4:
        if (b < 1) break;
        return a / b;
    }
    changed = false;
    return a;
}

} // namespace

bool Interpreter::copyImageInto(Variable& target, const analyzer::RecognitionImage& image) {
    if (!target.image) {
        target.image.reset(static_cast<analyzer::RecognitionImage*>(std::malloc(sizeof(analyzer::RecognitionImage))));
        if (!target.image) return false;
    }
    if (target.image.get() != &image) std::memcpy(target.image.get(), &image, sizeof(analyzer::RecognitionImage));
    return true;
}

bool Interpreter::commandVariable(const analyzer::Command& c) {
    ++imagesVersion_; // a variable may take an image
    // The guard is tested whenever its operators are set; the guarded flag
    // only changes how the command reads in the item's sentence.
    if (!variableTestHolds(0, V::Guard::test(c))) return true;
    const int source = c[V::source];
    if (source == V::LoadPreviousItem) {
        // Makes the previous item the one a variable holds; the target stays.
        const int32_t from = c[V::value];
        if (!validVariable(from)) return true;
        const Variable& v = state_.variables[static_cast<size_t>(from)];
        if (v.type != VarPreviousItem || v.previousItem < 0 || v.previousItem >= model_.itemCount() ||
            v.previousPosition < 0 || v.previousPosition >= static_cast<int>(state_.runList.size()))
            return true;
        state_.previousPosition = v.previousPosition;
        state_.previousItem = v.previousItem;
        return true;
    }
    const int32_t targetIndex = c[V::target];
    if (!validVariable(targetIndex)) return true;
    Variable& target = state_.variables[static_cast<size_t>(targetIndex)];
    if (!assignVariable(c, target)) return true;
    target.changed = true;
    const bool sourceLiteral = source == V::Number;
    bool dateInvolved = source == V::DatePart || (source == V::FromVariable && target.type == VarDateNumber);
    applyArithmetic(c, target, sourceLiteral, dateInvolved);
    return true;
}

bool Interpreter::assignVariable(const analyzer::Command& c, Variable& target) {
    const int source = c[V::source];
    switch (source) {
    case V::Number:
        target.clearValues();
        target.type = VarNumber;
        target.value = c[V::value];
        return true;
    case V::FromVariable: {
        const int32_t from = c[V::value];
        if (!validVariable(from)) return false;
        Variable& other = state_.variables[static_cast<size_t>(from)];
        if (&other == &target) return true;
        ImageBlock own = std::move(target.image);
        const bool hadImage = other.type == VarImage && other.image;
        target.type = other.type;
        target.value = other.value;
        target.x = other.x;
        target.y = other.y;
        target.coordinateMode = other.coordinateMode;
        target.set = other.set;
        target.found = other.found;
        target.valid = other.valid;
        target.imageSlot = other.imageSlot;
        target.blue = other.blue;
        target.green = other.green;
        target.red = other.red;
        target.previousPosition = other.previousPosition;
        target.previousItem = other.previousItem;
        target.image = std::move(own);
        // No two variables share one image copy.
        if (hadImage && !copyImageInto(target, *other.image)) target.valid = false;
        return true;
    }
    case V::ScreenPoint:
        target.clearValues();
        target.type = VarPoint;
        target.set = true;
        target.x = c[V::x];
        target.y = c[V::y];
        target.coordinateMode = c[V::monitor] == kMonitorCoordinates ? kMonitorCoordinates : kWindowCoordinates;
        return true;
    case V::ImagePoint: {
        const int32_t slot = c[V::object];
        const analyzer::RecognitionImage* image = model_.recognitionImage(slot);
        target.clearValues();
        target.type = VarImage;
        if (!image) return true;
        target.imageSlot = slot;
        target.x = image->centreX;
        target.y = image->centreY;
        target.valid = copyImageInto(target, *image);
        return true;
    }
    case V::Colour:
        target.clearValues();
        target.type = VarColour;
        target.blue = c[V::blue];
        target.green = c[V::green];
        target.red = c[V::red];
        return true;
    case V::RangeMatch: {
        const int32_t slot = c[V::object];
        target.clearValues();
        target.type = VarRangeMatch;
        if (slot < 0 || slot >= analyzer::kAreaCapacity) return true;
        const RangeResult& r = state_.rangeResults[static_cast<size_t>(slot)];
        target.found = r.found == 1;
        if (target.found) {
            target.x = r.x;
            target.y = r.y;
        }
        return true;
    }
    case V::SavePreviousItem:
        target.clearValues();
        target.type = VarPreviousItem;
        target.previousPosition = state_.previousPosition;
        target.previousItem = state_.previousItem;
        target.value = state_.previousItem;
        return true;
    case V::RandomNumber: {
        const int32_t low = c[V::x], high = c[V::y];
        target.clearValues();
        target.type = VarNumber;
        const int64_t span = static_cast<int64_t>(high) - low + 1;
        target.value = span >= 1 ? low + random() % span : low;
        return true;
    }
    case V::RandomPoint: {
        const int32_t cx = c[V::x], cy = c[V::y];
        const int32_t sx = std::max(0, c[V::spreadX]), sy = std::max(0, c[V::spreadY]);
        target.clearValues();
        target.type = VarPoint;
        target.set = true;
        target.x = sx > 0 ? cx + sx - random() % (2 * sx) : cx;
        target.y = sy > 0 ? cy + sy - random() % (2 * sy) : cy;
        target.coordinateMode = c[V::monitor] == kMonitorCoordinates ? kMonitorCoordinates : kWindowCoordinates;
        return true;
    }
    case V::DatePart: {
        const LocalTime now = host_.localTime();
        const int parts[] = {now.year, now.month, now.day, now.weekday, now.hour, now.minute, now.second};
        const int32_t part = c[V::object];
        if (part < 0 || part > 6) return false;
        target.clearValues();
        target.type = VarDateNumber;
        target.value = parts[part];
        return true;
    }
    default: return false;
    }
}

void Interpreter::applyArithmetic(const analyzer::Command& c, Variable& target, bool sourceLiteral, bool dateInvolved) {
    const int op = c[V::arithmetic];
    if (op < 1 || op > 4) return;
    const bool rightIsVariable = c[V::rightIsVariable] == 1;
    const int32_t right = c[V::right];
    const bool targetIsNumber = target.type == VarNumber || target.type == VarDateNumber;
    if (!rightIsVariable) {
        if (!targetIsNumber) return; // points and colours with a number are left as they are
        bool changed = false;
        const int64_t result = sourceLiteral
                                   ? arithmetic32(static_cast<int32_t>(target.value), right, op, changed)
                                   : arithmetic64(target.value, right, op, changed);
        if (changed) target.value = result;
        target.type = dateInvolved ? VarDateNumber : VarNumber;
        return;
    }
    if (!validVariable(right)) return;
    const Variable& other = state_.variables[static_cast<size_t>(right)];
    if (targetIsNumber && (other.type == VarNumber || other.type == VarDateNumber)) {
        bool changed = false;
        const int64_t result = arithmetic64(target.value, other.value, op, changed);
        if (changed) target.value = result;
        target.type = dateInvolved || other.type == VarDateNumber ? VarDateNumber : VarNumber;
        return;
    }
    if (isPointType(target.type) && isPointType(other.type) && (op == 1 || op == 2)) {
        int ox = other.x, oy = other.y;
        const bool targetMonitor = target.type == VarPoint && target.coordinateMode == kMonitorCoordinates;
        const bool otherMonitor = other.type == VarPoint && other.coordinateMode == kMonitorCoordinates;
        // Window points become monitor points when the other side is one.
        Rect client{};
        const bool haveClient = screen_.targetRect(CaptureTarget::ClientArea, client);
        if (targetMonitor != otherMonitor && haveClient) {
            if (!targetMonitor) {
                // The result is a monitor point: an image or match point
                // holding monitor coordinates would have the window's
                // origin added again by a later move.
                const bool usable = target.type == VarImage   ? target.valid
                                    : target.type == VarRangeMatch ? target.found
                                                                   : target.set;
                target.x += client.left;
                target.y += client.top;
                target.type = VarPoint;
                target.set = usable;
                target.valid = false;
                target.found = false;
                target.coordinateMode = kMonitorCoordinates;
            } else {
                ox += client.left;
                oy += client.top;
            }
        }
        target.x = op == 1 ? target.x + ox : target.x - ox;
        target.y = op == 1 ? target.y + oy : target.y - oy;
    }
}

} // namespace quillon::runner
