// Background colours of a program's dialogs and of their static texts. The
// start-up data's settings block chooses them: a switch for custom colours
// and two COLORREF values; without the switch the programs' defaults apply.
#pragma once

#include <windows.h>

#include <cstddef>

#include "device/startup_data.h"

namespace quillon::winui {

inline constexpr COLORREF kDefaultDialogColour = 0xA2E6D5;
inline constexpr COLORREF kDefaultTextBackgroundColour = 0xB2FDEA;

// Where one program keeps its colour settings.
struct ColourSettings {
    size_t customSwitch;
    size_t dialogColour;
    size_t textBackgroundColour;
};
extern const ColourSettings kRunnerColourSettings;
extern const ColourSettings kControlColourSettings;

struct DialogColours {
    COLORREF dialog = kDefaultDialogColour;
    COLORREF textBackground = kDefaultTextBackgroundColour;
};

// The custom colours when the switch is 1, else the defaults.
DialogColours dialogColoursOf(const StartupData& data, const ColourSettings& where);

// The two brushes, made once and deleted with the object. A dialog procedure
// hands WM_CTLCOLORDLG and WM_CTLCOLORSTATIC to paint().
class DialogBrushes {
public:
    explicit DialogBrushes(const DialogColours& colours);
    ~DialogBrushes();
    DialogBrushes(const DialogBrushes&) = delete;
    DialogBrushes& operator=(const DialogBrushes&) = delete;

    const DialogColours& colours() const { return colours_; }
    // The brush to return from the dialog procedure for these two messages
    // (the static's text background set to match); 0 for any other message.
    INT_PTR paint(UINT message, WPARAM wParam) const;

private:
    DialogColours colours_;
    HBRUSH dialog_;
    HBRUSH textBackground_;
};

} // namespace quillon::winui
