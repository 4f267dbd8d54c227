#include "tools/machine-sim/x11_input.h"

#include "base/byte_order.h"
#include "device/actions.h"

#ifdef QUILLON_HAVE_XTEST
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/XF86keysym.h>
#endif

namespace quillon::machine_sim {

#ifdef QUILLON_HAVE_XTEST

unsigned long keysymOfKeyCode(uint8_t code) {
    if (code >= 0x04 && code <= 0x1D) return XK_a + (code - 0x04);
    if (code >= 0x1E && code <= 0x26) return XK_1 + (code - 0x1E);
    if (code >= 0x3A && code <= 0x45) return XK_F1 + (code - 0x3A);
    if (code >= 0x59 && code <= 0x61) return XK_KP_1 + (code - 0x59);
    switch (code) {
    case 0x27: return XK_0;
    case 0x28: return XK_Return;
    case 0x29: return XK_Escape;
    case 0x2A: return XK_BackSpace;
    case 0x2B: return XK_Tab;
    case 0x2C: return XK_space;
    case 0x2D: return XK_minus;
    case 0x2E: return XK_equal;
    case 0x2F: return XK_bracketleft;
    case 0x30: return XK_bracketright;
    case 0x31: return XK_backslash;
    case 0x33: return XK_semicolon;
    case 0x34: return XK_apostrophe;
    case 0x35: return XK_grave;
    case 0x36: return XK_comma;
    case 0x37: return XK_period;
    case 0x38: return XK_slash;
    case 0x39: return XK_Caps_Lock;
    case 0x46: return XK_Print;
    case 0x47: return XK_Scroll_Lock;
    case 0x48: return XK_Pause;
    case 0x49: return XK_Insert;
    case 0x4A: return XK_Home;
    case 0x4B: return XK_Prior;
    case 0x4C: return XK_Delete;
    case 0x4D: return XK_End;
    case 0x4E: return XK_Next;
    case 0x4F: return XK_Right;
    case 0x50: return XK_Left;
    case 0x51: return XK_Down;
    case 0x52: return XK_Up;
    case 0x53: return XK_Num_Lock;
    case 0x54: return XK_KP_Divide;
    case 0x55: return XK_KP_Multiply;
    case 0x56: return XK_KP_Subtract;
    case 0x57: return XK_KP_Add;
    case 0x58: return XK_KP_Enter;
    case 0x62: return XK_KP_0;
    case 0x63: return XK_KP_Decimal;
    case 0x65: return XK_Menu;
    case 0x90: return 0xff31; // Hangul
    case 0x91: return 0xff34; // Hangul_Hanja
    case 0xE0: return XK_Control_L;
    case 0xE1: return XK_Shift_L;
    case 0xE2: return XK_Alt_L;
    case 0xE3: return XK_Super_L;
    case 0xE4: return XK_Control_R;
    case 0xE5: return XK_Shift_R;
    case 0xE6: return XK_Alt_R;
    case 0xE7: return XK_Super_R;
    default: return 0;
    }
}

X11Input::~X11Input() {
    if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

bool X11Input::open(std::string& error) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return false;
    }
    int event = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &errorBase, &major, &minor)) {
        XCloseDisplay(display);
        error = "the X server has no XTest extension";
        return false;
    }
    display_ = display;
    width_ = DisplayWidth(display, DefaultScreen(display));
    height_ = DisplayHeight(display, DefaultScreen(display));
    return true;
}

namespace {

// Machine button codes (1 left, 2 right, 4 middle) to X buttons.
unsigned int xButtonOf(uint8_t code) { return code == 2 ? 3 : code == 4 ? 2 : 1; }

} // namespace

void X11Input::play(const sim::LoggedAction& action) {
    auto* display = static_cast<Display*>(display_);
    if (!display) return;
    const auto& o = action.operands;
    switch (action.code) {
    case action_code::kKeyDown:
    case action_code::kKeyUp:
        if (!o.empty()) {
            if (const unsigned long keysym = keysymOfKeyCode(o[0])) {
                if (const KeyCode keycode = XKeysymToKeycode(display, keysym)) {
                    XTestFakeKeyEvent(display, keycode, action.code == action_code::kKeyDown, CurrentTime);
                }
            }
        }
        break;
    case action_code::kButtonDown:
    case action_code::kButtonUp:
        if (!o.empty()) {
            XTestFakeButtonEvent(display, xButtonOf(o[0]), action.code == action_code::kButtonDown, CurrentTime);
        }
        break;
    case action_code::kMoveTo:
        if (o.size() >= 4) {
            int x = 0, y = 0;
            fromDeviceScale({loadBe16(o.data()), loadBe16(o.data() + 2)}, width_, height_, x, y);
            XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
        }
        break;
    case action_code::kMoveBy:
        if (o.size() >= 2) {
            XTestFakeRelativeMotionEvent(display, static_cast<int8_t>(o[0]), static_cast<int8_t>(o[1]), CurrentTime);
        }
        break;
    case action_code::kWheel:
        if (!o.empty()) {
            const int steps = static_cast<int8_t>(o[0]);
            const unsigned int button = steps > 0 ? 4 : 5;
            for (int i = 0; i < (steps > 0 ? steps : -steps); ++i) {
                XTestFakeButtonEvent(display, button, True, CurrentTime);
                XTestFakeButtonEvent(display, button, False, CurrentTime);
            }
        }
        break;
    default:
        return;
    }
    XFlush(display);
}

#else

unsigned long keysymOfKeyCode(uint8_t) { return 0; }
X11Input::~X11Input() = default;
bool X11Input::open(std::string& error) {
    error = "machine-sim was built without XTest";
    return false;
}
void X11Input::play(const sim::LoggedAction&) {}

#endif

} // namespace quillon::machine_sim
