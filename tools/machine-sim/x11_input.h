// With --x11, machine-sim turns key, button, wheel and move actions into real
// input on the X display through XTest, as the machine does on a real PC.
#pragma once

#include "device/sim/simulated_machine.h"

#include <memory>
#include <string>

namespace quillon::machine_sim {

class X11Input {
public:
    ~X11Input();
    // Opens $DISPLAY; false (with a reason) when there is no display or XTest.
    bool open(std::string& error);
    int screenWidth() const { return width_; }
    int screenHeight() const { return height_; }
    void play(const sim::LoggedAction& action);

private:
    void* display_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The X keysym of a machine key code (0 when it has none).
unsigned long keysymOfKeyCode(uint8_t code);

} // namespace quillon::machine_sim
