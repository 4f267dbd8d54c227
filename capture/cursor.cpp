#include "capture/cursor.h"

namespace quillon {

bool captureCursor(CursorSystem& system, int32_t bitsPerPixel, CursorImage& image) {
    image.showing = false;
    image.position = image.hotSpot = image.drawPosition = {};
    image.flags = 0;
    image.maskHeader = image.colourHeader = DibInfoHeader{};
    image.maskBits.clear();
    image.colourBits.clear();
    bool showing = false;
    Point position;
    if (!system.cursorInfo(position, showing)) {
        return false;
    }
    Point hotSpot;
    if (!system.iconInfo(hotSpot)) {
        return false;
    }
    image.showing = showing;
    image.position = position;
    image.hotSpot = hotSpot;
    image.drawPosition = {position.x - hotSpot.x, position.y - hotSpot.y};
    if (showing) {
        if (system.readIconBitmap(false, bitsPerPixel, image.maskHeader, image.maskBits)) {
            image.flags |= kCursorHasMask;
        }
        if (system.readIconBitmap(true, bitsPerPixel, image.colourHeader, image.colourBits)) {
            image.flags |= kCursorHasColour;
        }
    }
    system.releaseIcon();
    return true;
}

} // namespace quillon
