#include "control/coordinate_picking.h"

namespace quillon::control {

namespace {
// Virtual-key codes of the window system (fixed values).
constexpr unsigned kVkControl = 0x11;
constexpr unsigned kVkLeft = 0x25;
constexpr unsigned kVkUp = 0x26;
constexpr unsigned kVkRight = 0x27;
constexpr unsigned kVkDown = 0x28;
} // namespace

PickKey pickKeyOfVirtualKey(unsigned virtualKey) {
    switch (virtualKey) {
    case kVkLeft:
    case 'A':
        return PickKey::Left;
    case kVkRight:
    case 'D':
        return PickKey::Right;
    case kVkUp:
    case 'W':
        return PickKey::Up;
    case kVkDown:
    case 'S':
        return PickKey::Down;
    case kVkControl:
        return PickKey::Ctrl;
    default:
        return PickKey::Other;
    }
}

void CoordinatePicking::setPicture(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
}

void CoordinatePicking::attach(PickingClient* client) {
    client_ = client;
    on_ = client != nullptr;
    clickedOnce_ = false;
    previous_ = {};
}

void CoordinatePicking::detach(PickingClient* client) {
    if (client_ == client) {
        client_ = nullptr;
        on_ = false;
    }
}

PickPoint CoordinatePicking::clamp(PickPoint point) const {
    if (point.x < 0) point.x = 0;
    if (point.y < 0) point.y = 0;
    if (width_ > 0 && point.x >= width_) point.x = width_ - 1;
    if (height_ > 0 && point.y >= height_) point.y = height_ - 1;
    return point;
}

void CoordinatePicking::pointerMoved(PickPoint point) {
    if (!picking()) {
        return;
    }
    point = clamp(point);
    client_->showCurrent(point);
    client_->showDistance({point.x - previous_.x, point.y - previous_.y});
}

void CoordinatePicking::clicked(PickPoint point) {
    if (!picking()) {
        return;
    }
    point = clamp(point);
    client_->showChosen(point);
    previous_ = point;
    clickedOnce_ = true;
    client_->showDistance({0, 0});
}

std::optional<PickPoint> CoordinatePicking::keyPressed(PickKey key, PickPoint pointer) {
    if (client_ == nullptr) {
        return std::nullopt;
    }
    if (key == PickKey::Ctrl) {
        if (clickedOnce_) {
            on_ = !on_;
        }
        return std::nullopt;
    }
    if (!on_ || key == PickKey::Other || !hasPicture()) {
        return std::nullopt;
    }
    PickPoint moved = pointer;
    switch (key) {
    case PickKey::Left: --moved.x; break;
    case PickKey::Right: ++moved.x; break;
    case PickKey::Up: --moved.y; break;
    case PickKey::Down: ++moved.y; break;
    default: break;
    }
    moved = clamp(moved);
    pointerMoved(moved);
    return moved;
}

} // namespace quillon::control
