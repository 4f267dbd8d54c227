#include "capture/cursor.h"

namespace quillon {

HeldCursor::~HeldCursor() {
    if (holding_) {
        system_.releaseIcon();
    }
}

bool HeldCursor::hold(CursorImage& image) {
    image.showing = false;
    image.position = image.hotSpot = image.drawPosition = {};
    image.flags = 0;
    image.maskHeader = image.colourHeader = DibInfoHeader{};
    image.maskBits.clear();
    image.colourBits.clear();
    bool showing = false;
    Point position;
    if (!system_.cursorInfo(position, showing)) {
        return false;
    }
    Point hotSpot;
    if (!system_.iconInfo(hotSpot)) {
        return false;
    }
    holding_ = true;
    image.showing = showing;
    image.position = position;
    image.hotSpot = hotSpot;
    image.drawPosition = {position.x - hotSpot.x, position.y - hotSpot.y};
    return true;
}

void HeldCursor::takeBitmaps(int32_t bitsPerPixel, CursorImage& image) {
    if (!holding_) {
        return;
    }
    if (image.showing) {
        if (system_.readIconBitmap(false, bitsPerPixel, image.maskHeader, image.maskBits)) {
            image.flags |= kCursorHasMask;
        }
        if (system_.readIconBitmap(true, bitsPerPixel, image.colourHeader, image.colourBits)) {
            image.flags |= kCursorHasColour;
        }
    }
    system_.releaseIcon();
    holding_ = false;
}

bool captureCursor(CursorSystem& system, int32_t bitsPerPixel, CursorImage& image) {
    HeldCursor held(system);
    if (!held.hold(image)) {
        return false;
    }
    held.takeBitmaps(bitsPerPixel, image);
    return true;
}

} // namespace quillon
