// The variable command: a guard test, a source that sets the target, then
// optional arithmetic with a right operand.
#include "runner/interpreter.h"

#include <algorithm>
#include <cstring>

namespace quillon::runner {

using analyzer::bodyInt;

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

bool Interpreter::commandVariable(const uint8_t* b) {
    // The guard is tested whenever its operators are set; the flag at
    // offset 28 only changes how the command reads in the item's sentence.
    if (!variableTestHolds(0, bodyInt(b, 64) == 1, bodyInt(b, 68), bodyInt(b, 76), bodyInt(b, 80), bodyInt(b, 84),
                           bodyInt(b, 88) == 1, bodyInt(b, 92))) {
        return true;
    }
    const int source = bodyInt(b, 8);
    if (source == 40) {
        // Makes the previous item the one a variable holds; the target stays.
        const int32_t from = bodyInt(b, 20);
        if (!validVariable(from)) return true;
        const Variable& v = state_.variables[static_cast<size_t>(from)];
        if (v.type != VarPreviousItem || v.previousItem < 0 || v.previousItem >= model_.itemCount() ||
            v.previousPosition < 0 || v.previousPosition >= static_cast<int>(state_.runList.size()))
            return true;
        state_.previousPosition = v.previousPosition;
        state_.previousItem = v.previousItem;
        return true;
    }
    const int32_t targetIndex = bodyInt(b, 16);
    if (!validVariable(targetIndex)) return true;
    Variable& target = state_.variables[static_cast<size_t>(targetIndex)];
    if (!assignVariable(b, target)) return true;
    target.changed = true;
    const bool sourceLiteral = source == 0;
    bool dateInvolved = source == 60 || (source == 1 && target.type == VarDateNumber);
    applyArithmetic(b, target, sourceLiteral, dateInvolved);
    return true;
}

bool Interpreter::assignVariable(const uint8_t* b, Variable& target) {
    const int source = bodyInt(b, 8);
    switch (source) {
    case 0:
        target.clearValues();
        target.type = VarNumber;
        target.value = bodyInt(b, 20);
        return true;
    case 1: {
        const int32_t from = bodyInt(b, 20);
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
    case 2:
        target.clearValues();
        target.type = VarPoint;
        target.set = true;
        target.x = bodyInt(b, 44);
        target.y = bodyInt(b, 48);
        target.coordinateMode = bodyInt(b, 32) == kMonitorCoordinates ? kMonitorCoordinates : kWindowCoordinates;
        return true;
    case 3: {
        const int32_t slot = bodyInt(b, 40);
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
    case 4:
        target.clearValues();
        target.type = VarColour;
        target.blue = b[60];
        target.green = b[61];
        target.red = b[62];
        return true;
    case 20: {
        const int32_t slot = bodyInt(b, 40);
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
    case 30:
        target.clearValues();
        target.type = VarPreviousItem;
        target.previousPosition = state_.previousPosition;
        target.previousItem = state_.previousItem;
        target.value = state_.previousItem;
        return true;
    case 50: {
        const int32_t low = bodyInt(b, 44), high = bodyInt(b, 48);
        target.clearValues();
        target.type = VarNumber;
        const int64_t span = static_cast<int64_t>(high) - low + 1;
        target.value = span >= 1 ? low + random() % span : low;
        return true;
    }
    case 51: {
        const int32_t cx = bodyInt(b, 44), cy = bodyInt(b, 48);
        const int32_t sx = std::max(0, bodyInt(b, 52)), sy = std::max(0, bodyInt(b, 56));
        target.clearValues();
        target.type = VarPoint;
        target.set = true;
        target.x = sx > 0 ? cx + sx - random() % (2 * sx) : cx;
        target.y = sy > 0 ? cy + sy - random() % (2 * sy) : cy;
        target.coordinateMode = bodyInt(b, 32) == kMonitorCoordinates ? kMonitorCoordinates : kWindowCoordinates;
        return true;
    }
    case 60: {
        const LocalTime now = host_.localTime();
        const int parts[] = {now.year, now.month, now.day, now.weekday, now.hour, now.minute, now.second};
        const int32_t part = bodyInt(b, 40);
        if (part < 0 || part > 6) return false;
        target.clearValues();
        target.type = VarDateNumber;
        target.value = parts[part];
        return true;
    }
    default: return false;
    }
}

void Interpreter::applyArithmetic(const uint8_t* b, Variable& target, bool sourceLiteral, bool dateInvolved) {
    const int op = bodyInt(b, 4);
    if (op < 1 || op > 4) return;
    const bool rightIsVariable = bodyInt(b, 12) == 1;
    const int32_t right = bodyInt(b, 24);
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
