#include "winui/dialog_colours.h"

#include "device/startup_offsets.h"

namespace quillon::winui {

const ColourSettings kRunnerColourSettings{setting_offset::kCustomColours, setting_offset::kDialogColour,
                                           setting_offset::kTextBackgroundColour};
const ColourSettings kControlColourSettings{setting_offset::kControlCustomColours,
                                            setting_offset::kControlDialogColour,
                                            setting_offset::kControlTextBackgroundColour};

DialogColours dialogColoursOf(const StartupData& data, const ColourSettings& where) {
    if (data.setting(where.customSwitch) != 1) {
        return {};
    }
    return {static_cast<COLORREF>(data.setting(where.dialogColour)),
            static_cast<COLORREF>(data.setting(where.textBackgroundColour))};
}

DialogBrushes::DialogBrushes(const DialogColours& colours)
    : colours_(colours), dialog_(CreateSolidBrush(colours.dialog)),
      textBackground_(CreateSolidBrush(colours.textBackground)) {}

DialogBrushes::~DialogBrushes() {
    DeleteObject(dialog_);
    DeleteObject(textBackground_);
}

INT_PTR DialogBrushes::paint(UINT message, WPARAM wParam) const {
    if (message == WM_CTLCOLORDLG) {
        return reinterpret_cast<INT_PTR>(dialog_);
    }
    if (message == WM_CTLCOLORSTATIC) {
        SetBkColor(reinterpret_cast<HDC>(wParam), colours_.textBackground);
        return reinterpret_cast<INT_PTR>(textBackground_);
    }
    return 0;
}

} // namespace quillon::winui
