// Picking screen coordinates on the reference screenshot. The screenshot is
// shown at (0,0) at its own size, so a point on it has the coordinates of the
// same point on the real screen. Picking is on while a client (the movement
// dialog of the edit pages) is attached: pointer moves show the current point
// and its distance from the previously clicked point, a click chooses the
// point. After the first click Ctrl switches picking off and on (the shown
// values stay meanwhile), and the arrow keys or W, A, S, D move the pointer
// by one pixel without leaving the picture.
#pragma once

#include <optional>

namespace quillon::control {

struct PickPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PickPoint&) const = default;
};

// The fields of the movement dialog that picking fills.
class PickingClient {
public:
    virtual ~PickingClient() = default;
    virtual void showCurrent(PickPoint point) = 0;   // "현재좌표"
    virtual void showDistance(PickPoint delta) = 0;  // "이동거리"
    virtual void showChosen(PickPoint point) = 0;    // "선택좌표"
};

enum class PickKey { Left, Right, Up, Down, Ctrl, Other };

// A virtual-key code's role while picking ('W','A','S','D' and the arrows).
PickKey pickKeyOfVirtualKey(unsigned virtualKey);

class CoordinatePicking {
public:
    // The picture's size; picking keeps the pointer inside it.
    void setPicture(int width, int height);
    bool hasPicture() const { return width_ > 0 && height_ > 0; }

    // The client's dialog opens and closes. Closing ends picking.
    void attach(PickingClient* client);
    void detach(PickingClient* client);
    bool picking() const { return client_ != nullptr && on_; }

    void pointerMoved(PickPoint point);
    void clicked(PickPoint point);
    // A key while the picture has the focus; the new pointer position when the
    // key moves it (the window then sets the cursor there), else nothing.
    std::optional<PickPoint> keyPressed(PickKey key, PickPoint pointer);

private:
    PickPoint clamp(PickPoint point) const;

    int width_ = 0;
    int height_ = 0;
    PickingClient* client_ = nullptr;
    bool on_ = false;
    bool clickedOnce_ = false;
    PickPoint previous_;
};

} // namespace quillon::control
