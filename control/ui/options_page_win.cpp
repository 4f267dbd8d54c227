// The options page ("환경 설정"): the machine's version, number, mouse speed
// and mouse mode from its option record, and every key of its hotkey record.
// The procedure moves control values into the forms and back; the checks are
// the forms'.
#include <windows.h>
#include <commctrl.h>

#include "control/forms/device_settings_forms.h"
#include "control/link_sites.h"
#include "control/ui/control_session.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/list_controls.h"
#include "winui/message_boxes.h"

namespace quillon::control_ui {

using namespace control;

namespace {

struct OptionsPage {
    ControlSession& session;
    HotkeyForm hotkeys;
};

bool isKeyBoxOffset(int offset) {
    return (offset >= hotkey_offset::kFunctionFirst && offset < hotkey_offset::kScheduleLock) ||
           offset == hotkey_offset::kPairFirst || offset == hotkey_offset::kPairSecond;
}

int systemMouseSpeed() {
    int speed = 10;
    SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0);
    return speed;
}

void showOptions(const ControlSession& s, HWND page) {
    const OptionsView view = optionsViewOf(s.options, systemMouseSpeed());
    winui::setControlText(page, IDC_DEVICE_VERSION, view.version);
    winui::setControlText(page, IDC_DEVICE_NUMBER, view.deviceNumber);
    SendDlgItemMessageW(page, IDC_MOUSE_SPEED, TBM_SETPOS, TRUE, view.form.mouseSpeed);
    winui::setControlNumber(page, IDC_MOUSE_SPEED_VALUE, view.form.mouseSpeed);
    CheckRadioButton(page, IDC_MOUSE_STANDARD, IDC_MOUSE_COORDINATE,
                     view.form.coordinateMouse ? IDC_MOUSE_COORDINATE : IDC_MOUSE_STANDARD);
}

OptionsForm optionsFormOf(HWND page) {
    OptionsForm form;
    form.mouseSpeed = static_cast<int>(SendDlgItemMessageW(page, IDC_MOUSE_SPEED, TBM_GETPOS, 0, 0));
    form.coordinateMouse = IsDlgButtonChecked(page, IDC_MOUSE_COORDINATE) == BST_CHECKED;
    return form;
}

void showHotkeys(HWND page, OptionsPage& data) {
    for (int offset = hotkey_offset::kFunctionFirst; offset < static_cast<int>(kHotkeyRecordSize); ++offset) {
        if (!isKeyBoxOffset(offset)) {
            continue;
        }
        const bool pair = offset >= hotkey_offset::kPairFirst;
        winui::setControlText(page, IDC_HOTKEY_FIRST + offset,
                              pair ? hotkeyPairText(data.hotkeys, offset) : hotkeyKeyText(data.hotkeys.keys[offset]));
    }
    winui::selectComboBoxLine(GetDlgItem(page, IDC_SCHEDULE_LOCK), data.hotkeys.scheduleLockChoice);
    winui::selectComboBoxLine(GetDlgItem(page, IDC_SCREENSHOT_LOCK), data.hotkeys.screenshotLockChoice);
}

// A key pressed in a key box goes into the form at the box's offset.
void keyBoxPressed(HWND box, uint8_t code, void* context) {
    auto* data = static_cast<OptionsPage*>(context);
    const int offset = GetDlgCtrlID(box) - IDC_HOTKEY_FIRST;
    data->hotkeys.keys[offset] = code;
    if (offset == hotkey_offset::kPairSecond && data->hotkeys.keys[hotkey_offset::kPairFirst] == kNoPairKey) {
        data->hotkeys.keys[hotkey_offset::kPairFirst] = 0; // the pair starts again
    }
    showHotkeys(GetParent(box), *data);
}

bool readHotkeys(HWND page, OptionsPage& data, int location) {
    ControlSession& s = data.session;
    if (!readHotkeyRecord(s.link, s.hotkeys, location)) {
        if (s.link.lastError().failure == LinkFailure::WrongMagic) {
            endOnHotkeyRecordFailure(s, page);
        } else {
            endOnLinkFailure(s, page);
        }
        return false;
    }
    data.hotkeys = formOf(s.hotkeys);
    showHotkeys(page, data);
    return true;
}

void saveOptions(ControlSession& s, HWND page) {
    const BuiltOptions built = build(optionsFormOf(page), s.options);
    if (!built.ok()) {
        SetFocus(GetDlgItem(page, IDC_MOUSE_SPEED));
        return;
    }
    if (!writeOptionRecord(s.link, *built.value, link_site::kOptionsWrite)) {
        endOnLinkFailure(s, page);
        return;
    }
    s.options = *built.value;
    winui::showNotice(page, kSettingsSaved);
}

void saveHotkeys(HWND page, OptionsPage& data) {
    ControlSession& s = data.session;
    data.hotkeys.scheduleLockChoice =
        static_cast<int>(winui::comboBoxSelection(GetDlgItem(page, IDC_SCHEDULE_LOCK)).value_or(0));
    data.hotkeys.screenshotLockChoice =
        static_cast<int>(winui::comboBoxSelection(GetDlgItem(page, IDC_SCREENSHOT_LOCK)).value_or(0));
    const BuiltHotkeys built = build(data.hotkeys);
    if (!built.ok()) {
        winui::showWarning(page, built.message);
        SetFocus(GetDlgItem(page, IDC_HOTKEY_FIRST + built.field));
        return;
    }
    if (!writeHotkeyRecord(s.link, *built.value, link_site::kHotkeysWrite)) {
        endOnLinkFailure(s, page);
        return;
    }
    s.hotkeys = *built.value;
    winui::showNotice(page, kSettingsSaved);
}

INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<OptionsPage>(page, message, lParam);
    if (data == nullptr) {
        return FALSE;
    }
    ControlSession& s = data->session;
    switch (message) {
    case WM_INITDIALOG: {
        SendDlgItemMessageW(page, IDC_MOUSE_SPEED, TBM_SETRANGE, TRUE, MAKELPARAM(kMouseSpeedMin, kMouseSpeedMax));
        const std::vector<std::string> locks(std::begin(kLockKeyChoices), std::end(kLockKeyChoices));
        winui::fillComboBox(GetDlgItem(page, IDC_SCHEDULE_LOCK), locks, 0);
        winui::fillComboBox(GetDlgItem(page, IDC_SCREENSHOT_LOCK), locks, 0);
        for (int offset = hotkey_offset::kFunctionFirst; offset < static_cast<int>(kHotkeyRecordSize); ++offset) {
            if (isKeyBoxOffset(offset)) {
                makeKeyBox(GetDlgItem(page, IDC_HOTKEY_FIRST + offset), keyBoxPressed, data);
            }
        }
        showOptions(s, page);
        readHotkeys(page, *data, link_site::kHotkeysRead);
        return TRUE;
    }
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_MOUSE_SPEED)) {
            winui::setControlNumber(page, IDC_MOUSE_SPEED_VALUE,
                                    SendDlgItemMessageW(page, IDC_MOUSE_SPEED, TBM_GETPOS, 0, 0));
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OPTIONS_LOAD:
            if (!readOptionRecord(s.link, s.options, link_site::kOptionsReload)) {
                if (s.link.lastError().failure == LinkFailure::WrongMagic) {
                    endOnOptionRecordFailure(s, page);
                } else {
                    endOnLinkFailure(s, page);
                }
                return TRUE;
            }
            showOptions(s, page);
            return TRUE;
        case IDC_OPTIONS_SAVE:
            saveOptions(s, page);
            return TRUE;
        case IDC_HOTKEYS_LOAD:
            readHotkeys(page, *data, link_site::kHotkeysReload);
            return TRUE;
        case IDC_HOTKEYS_SAVE:
            saveHotkeys(page, *data);
            return TRUE;
        case IDC_HOTKEYS_RESET:
            if (!resetHotkeys(s.link, s.hotkeys, link_site::kHotkeysReset)) {
                if (s.link.lastError().failure == LinkFailure::WrongMagic) {
                    endOnHotkeyRecordFailure(s, page);
                } else {
                    endOnLinkFailure(s, page);
                }
                return TRUE;
            }
            data->hotkeys = formOf(s.hotkeys);
            showHotkeys(page, *data);
            return TRUE;
        case IDC_PAIR_CLEAR:
            data->hotkeys.keys[hotkey_offset::kPairFirst] = kNoPairKey;
            showHotkeys(page, *data);
            return TRUE;
        }
        return FALSE;
    case WM_NCDESTROY:
        delete data;
        return FALSE;
    default:
        return paintDialog(&s, message, wParam);
    }
}

} // namespace

HWND createOptionsPage(ControlSession& s, HWND parent) {
    return CreateDialogParamW(s.instance, MAKEINTRESOURCEW(IDD_PAGE_OPTIONS), parent, optionsPageProc,
                              reinterpret_cast<LPARAM>(new OptionsPage{s, {}}));
}

} // namespace quillon::control_ui
