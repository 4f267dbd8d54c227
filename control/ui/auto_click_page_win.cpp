// The auto-click page ("자동클릭/자동타이핑"): the settings record on the
// page, its coupled speed and time fields, the key box, and the record moved
// to and from the machine's auto-click block and ".aut" files. Validation and
// code generation are the core's (auto_click.h, macro_pages.h).
#include <windows.h>

#include "control/auto_click.h"
#include "control/key_codes.h"
#include "control/link_sites.h"
#include "control/macro_files.h"
#include "control/macro_pages.h"
#include "control/ui/control_session.h"
#include "device/startup_offsets.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/message_boxes.h"

namespace quillon::control_ui {

using namespace control;

namespace {

constexpr int kFirstShowingLocation = link_site::kAutoClickFirstShowing;
constexpr const char* kLoadTitle = "불러올 파일이름을 선택/입력해주세요.";
constexpr const char* kSaveTitle = "저장할 파일이름을 입력/선택해주세요.";
constexpr const char* kFilter = "자동클릭(*.aut)|*.aut|";

struct AutoClickPage {
    explicit AutoClickPage(ControlSession& s) : session(s) {}
    ControlSession& session;
    AutoClickSettings settings{};
    AutoKeyBox keyBox;
};

// The number fields and where they live in the record.
struct NumberField {
    int id;
    int32_t AutoClickSettings::*field;
};
constexpr NumberField kNumbers[] = {
    {IDC_AC_CLICK_SPEED, &AutoClickSettings::clickSpeed},
    {IDC_AC_CLICK_PRESS, &AutoClickSettings::clickPress},
    {IDC_AC_CLICK_RELEASE, &AutoClickSettings::clickRelease},
    {IDC_AC_CLICK_BURST_COUNT, &AutoClickSettings::clickBurstCount},
    {IDC_AC_CLICK_BURST_INTERVAL, &AutoClickSettings::clickBurstInterval},
    {IDC_AC_KEY_SPEED, &AutoClickSettings::keySpeed},
    {IDC_AC_KEY_PRESS, &AutoClickSettings::keyPress},
    {IDC_AC_KEY_RELEASE, &AutoClickSettings::keyRelease},
    {IDC_AC_KEY_BURST_COUNT, &AutoClickSettings::keyBurstCount},
    {IDC_AC_KEY_BURST_INTERVAL, &AutoClickSettings::keyBurstInterval},
};
struct CheckField {
    int id;
    int32_t AutoClickSettings::*field;
};
constexpr CheckField kChecks[] = {
    {IDC_AC_CLICK_ON, &AutoClickSettings::clickOn},       {IDC_AC_KEY_ON, &AutoClickSettings::keyOn},
    {IDC_AC_CLICK_BURST, &AutoClickSettings::clickBurstOn}, {IDC_AC_KEY_BURST, &AutoClickSettings::keyBurstOn},
    {IDC_AC_TRIGGER, &AutoClickSettings::triggerOn},
};

void showIf(HWND page, std::initializer_list<int> ids, bool shown) {
    for (int id : ids) {
        ShowWindow(GetDlgItem(page, id), shown ? SW_SHOW : SW_HIDE);
    }
}

// The burst boxes show their count and interval; the trigger box its key.
void applyShowRules(HWND page) {
    showIf(page, {IDC_AC_CLICK_BURST_COUNT, IDC_AC_CLICK_BURST_COUNT_LABEL, IDC_AC_CLICK_BURST_INTERVAL,
                  IDC_AC_CLICK_BURST_INTERVAL_LABEL},
           IsDlgButtonChecked(page, IDC_AC_CLICK_BURST) == BST_CHECKED);
    showIf(page, {IDC_AC_KEY_BURST_COUNT, IDC_AC_KEY_BURST_COUNT_LABEL, IDC_AC_KEY_BURST_INTERVAL,
                  IDC_AC_KEY_BURST_INTERVAL_LABEL},
           IsDlgButtonChecked(page, IDC_AC_KEY_BURST) == BST_CHECKED);
    showIf(page, {IDC_AC_TRIGGER_KEY, IDC_AC_TRIGGER_KEY_LABEL}, IsDlgButtonChecked(page, IDC_AC_TRIGGER) == BST_CHECKED);
}

void showKeys(HWND page, const AutoClickSettings& s) {
    std::string names;
    for (int i = 0; i < s.keyCount && i < kMaxAutoKeys; ++i) {
        names += keyNameOfRow(s.keyRows[i]) + " ";
    }
    winui::setControlText(page, IDC_AC_KEYS, names);
    winui::setControlText(page, IDC_AC_TRIGGER_KEY, s.triggerRow > 0 || s.triggerOn ? keyNameOfRow(s.triggerRow) : "");
}

void showSettings(HWND page, const AutoClickSettings& s) {
    for (const NumberField& n : kNumbers) {
        winui::setControlNumber(page, n.id, s.*n.field);
    }
    for (const CheckField& c : kChecks) {
        CheckDlgButton(page, c.id, s.*c.field ? BST_CHECKED : BST_UNCHECKED);
    }
    CheckDlgButton(page, IDC_AC_KEYBOARD_LOCK, s.keyboardLock ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_AC_MOUSE_LOCK, s.mouseLock ? BST_CHECKED : BST_UNCHECKED);
    const int button = s.button == 4 ? IDC_AC_MIDDLE : s.button == 2 ? IDC_AC_RIGHT : IDC_AC_LEFT;
    CheckRadioButton(page, IDC_AC_LEFT, IDC_AC_RIGHT, button);
    winui::setControlText(page, IDC_AC_NAME, autoClickName(s));
    showKeys(page, s);
    applyShowRules(page);
}

// The page's fields over the record (keys and trigger are kept in it as they come).
void readSettings(HWND page, AutoClickSettings& s) {
    for (const NumberField& n : kNumbers) {
        s.*n.field = winui::controlNumber(page, n.id).value_or(0);
    }
    for (const CheckField& c : kChecks) {
        s.*c.field = IsDlgButtonChecked(page, c.id) == BST_CHECKED ? 1 : 0;
    }
    s.keyboardLock = IsDlgButtonChecked(page, IDC_AC_KEYBOARD_LOCK) == BST_CHECKED ? 1 : 0;
    s.mouseLock = IsDlgButtonChecked(page, IDC_AC_MOUSE_LOCK) == BST_CHECKED ? 1 : 0;
    s.button = IsDlgButtonChecked(page, IDC_AC_MIDDLE) == BST_CHECKED  ? 4
               : IsDlgButtonChecked(page, IDC_AC_RIGHT) == BST_CHECKED ? 2
                                                                       : 1;
    s.magic = kAutoClickMagic;
    setAutoClickName(s, winui::controlText(page, IDC_AC_NAME));
}

// Enter in a speed field sets its times; in a time field, the speed.
void coupleFields(HWND page, int focused) {
    const struct {
        int speed, press, release;
    } groups[] = {{IDC_AC_CLICK_SPEED, IDC_AC_CLICK_PRESS, IDC_AC_CLICK_RELEASE},
                  {IDC_AC_KEY_SPEED, IDC_AC_KEY_PRESS, IDC_AC_KEY_RELEASE}};
    for (const auto& g : groups) {
        if (focused == g.speed) {
            const int speed = winui::controlNumber(page, g.speed).value_or(0);
            if (speed > 0) {
                const PressRelease t = timesForSpeed(speed);
                winui::setControlNumber(page, g.press, t.press);
                winui::setControlNumber(page, g.release, t.release);
            }
        } else if (focused == g.press || focused == g.release) {
            const int press = winui::controlNumber(page, g.press).value_or(0);
            const int release = winui::controlNumber(page, g.release).value_or(0);
            if (press + release > 0) {
                winui::setControlNumber(page, g.speed, speedForTimes(press, release));
            }
        }
    }
}

void keyPressed(HWND box, uint8_t code, void* context) {
    auto* data = static_cast<AutoClickPage*>(context);
    const int row = rowOfKeyCode(code).value_or(-1);
    if (row < 0) {
        return;
    }
    if (GetDlgCtrlID(box) == IDC_AC_TRIGGER_KEY) {
        data->settings.triggerRow = row;
    } else {
        data->keyBox.keyDown(data->settings, row, static_cast<int64_t>(GetTickCount64()));
    }
    showKeys(GetParent(box), data->settings);
}

void showPageOutcome(ControlSession& s, HWND page, const PageOutcome& outcome) {
    if (outcome.linkLost) {
        endOnLinkFailure(s, page);
    } else if (!outcome.ok) {
        winui::showWarning(page, outcome.message);
    } else if (!outcome.message.empty()) {
        winui::showNotice(page, outcome.message);
    }
}

void loadFile(HWND page, AutoClickPage& data, const std::string& path) {
    AutoClickSettings loaded{};
    const FileOutcome outcome = loadAutoClickFile(path, loaded);
    if (!outcome.ok) {
        winui::showWarning(page, outcome.message);
        return;
    }
    data.settings = loaded;
    showSettings(page, loaded);
    winui::showNotice(page, kAutoClickLoaded);
}

INT_PTR CALLBACK autoClickPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<AutoClickPage>(page, message, lParam);
    if (data == nullptr) {
        return FALSE;
    }
    ControlSession& s = data->session;
    switch (message) {
    case WM_INITDIALOG: {
        makeKeyBox(GetDlgItem(page, IDC_AC_KEYS), keyPressed, data);
        makeKeyBox(GetDlgItem(page, IDC_AC_TRIGGER_KEY), keyPressed, data);
        SendDlgItemMessageW(page, IDC_AC_NAME, EM_LIMITTEXT, 59, 0);
        // The first showing reads the machine's block once.
        if (!s.autoClickRead) {
            uint8_t block[control::kAutoClickBlockSize] = {};
            if (!s.memory.readAutoClickBlock(block, kFirstShowingLocation)) {
                endOnLinkFailure(s, page);
                return TRUE;
            }
            s.autoClick = autoClickSettingsForFirstShowing(block, sizeof block);
            s.autoClickRead = true;
        }
        data->settings = s.autoClick;
        showSettings(page, data->settings);
        // An auto-click file opened from Explorer.
        if (const std::string path = takeStartFile(s, ControlPage::AutoClick); !path.empty()) {
            loadFile(page, *data, path);
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            coupleFields(page, GetDlgCtrlID(GetFocus()));
            return TRUE;
        case IDC_AC_CLICK_BURST:
        case IDC_AC_KEY_BURST:
        case IDC_AC_TRIGGER:
            applyShowRules(page);
            return TRUE;
        case IDC_AC_KEYS_CLEAR:
            data->settings.keyCount = 0;
            std::fill(std::begin(data->settings.keyRows), std::end(data->settings.keyRows), 0);
            data->keyBox = AutoKeyBox();
            showKeys(page, data->settings);
            return TRUE;
        case IDC_AC_LOAD_MACHINE: {
            AutoClickSettings loaded = data->settings;
            const PageOutcome outcome = loadAutoClickFromMachine(s.memory, loaded);
            if (outcome.ok) {
                data->settings = loaded;
                showSettings(page, loaded);
            }
            showPageOutcome(s, page, outcome);
            return TRUE;
        }
        case IDC_AC_LOAD_FILE: {
            const std::string path =
                chooseOpenFile(page, kLoadTitle, kFilter, "aut", userFolder(s, name_offset::kAutoClickFolder));
            if (!path.empty()) {
                loadFile(page, *data, path);
            }
            return TRUE;
        }
        case IDC_AC_SAVE_MACHINE: {
            readSettings(page, data->settings);
            const PageOutcome outcome = storeAutoClick(s.memory, data->settings);
            if (outcome.ok) {
                s.autoClick = data->settings;
            }
            showPageOutcome(s, page, outcome);
            return TRUE;
        }
        case IDC_AC_SAVE_FILE: {
            readSettings(page, data->settings);
            const std::string refusal = validateAutoClick(data->settings);
            if (!refusal.empty()) {
                winui::showWarning(page, refusal);
                return TRUE;
            }
            const std::string path = chooseSaveFile(page, kSaveTitle, kFilter, "aut",
                                                    userFolder(s, name_offset::kAutoClickFolder),
                                                    autoClickName(data->settings));
            if (path.empty()) {
                return TRUE;
            }
            const FileOutcome outcome = saveAutoClickFile(path, data->settings);
            if (outcome.ok) {
                winui::showNotice(page, kSaved);
            } else {
                winui::showWarning(page, outcome.message);
            }
            return TRUE;
        }
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

HWND createAutoClickPage(ControlSession& s, HWND parent) {
    return CreateDialogParamW(s.instance, MAKEINTRESOURCEW(IDD_PAGE_AUTO_CLICK), parent, autoClickPageProc,
                              reinterpret_cast<LPARAM>(new AutoClickPage(s)));
}

} // namespace quillon::control_ui
