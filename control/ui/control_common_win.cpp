// What the pages and dialogs of control-panel share: the user folders, the
// ending after a device failure, the file dialogs, the memory picker and the
// key boxes.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <imm.h>
#include <shlobj.h>

#include <utility>

#include "base/text.h"
#include "base/user_folders.h"
#include "base/wide_text.h"
#include "control/scheduling.h"
#include "control/ui/control_session.h"
#include "device/key_table.h"
#include "device/link_messages.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/file_dialogs.h"
#include "winui/key_box.h"
#include "winui/list_controls.h"
#include "winui/message_boxes.h"

namespace quillon::control_ui {

std::string userFolder(const ControlSession& s, size_t nameOffset) {
    const std::string folder = namedUserFolder(userDataFolder(s.programFolder), s.data.name(nameOffset));
    SHCreateDirectoryExW(nullptr, widen(folder).c_str(), nullptr);
    return folder;
}

namespace {

void endWith(ControlSession& s, HWND owner, const LinkFailureNotice& notice) {
    if (s.ending) {
        return;
    }
    s.ending = true;
    // The lines being edited would be lost with the program: they are kept
    // as macro files first, and the message names them.
    std::string text = notice.text;
    const std::string kept = keptPagesText(saveUnsavedPages(s));
    if (!kept.empty()) {
        text += "\n\n" + kept;
    }
    winui::showWarning(owner, text);
    if (s.mainWindow) {
        PostMessageW(s.mainWindow, WM_CLOSE, 0, 0);
    }
}

} // namespace

std::string keptPagesText(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return {};
    }
    std::string text = "편집 중이던 매크로를 다음 파일로 저장했습니다.";
    for (const std::string& path : paths) {
        text += "\n" + path;
    }
    return text;
}

std::string takeStartFile(ControlSession& s, control::ControlPage page) {
    if (s.startPath.empty() || control::pageOfMacroFile(s.startPath) != page) {
        return {};
    }
    return std::exchange(s.startPath, std::string());
}

void endOnLinkFailure(ControlSession& s, HWND owner) {
    endWith(s, owner, exchangeFailureNotice(Program::ControlPanel, s.link.lastError()));
}

// A record with a wrong magic is named by the record's own code, wherever it was read.
void endOnOptionRecordFailure(ControlSession& s, HWND owner) {
    LinkError error = s.link.lastError();
    error.location = 0;
    endWith(s, owner, optionRecordFailureNotice(Program::ControlPanel, error));
}

void endOnHotkeyRecordFailure(ControlSession& s, HWND owner) {
    LinkError error = s.link.lastError();
    error.location = 0;
    endWith(s, owner, hotkeyRecordFailureNotice(error));
}

std::string chooseOpenFile(HWND owner, const char* title, const char* filter, const char* defaultExtension,
                           const std::string& folder) {
    return winui::chooseFileToOpen(owner, {title, filter, defaultExtension, folder, {}, false});
}

std::string chooseSaveFile(HWND owner, const char* title, const char* filter, const char* defaultExtension,
                           const std::string& folder, const std::string& proposedName) {
    return winui::chooseFileToSave(owner, {title, filter, defaultExtension, folder, proposedName, false});
}

// ---- memory picker ------------------------------------------------------------------

namespace {

struct PickerData {
    ControlSession* session;
    MemoryPicker* picker;
    int chosen = -1;
};

constexpr int kPickerRowHeight = 24; // pixels at 96 DPI

void echoSelection(HWND dialog, const MemoryPicker& picker) {
    const auto selected = winui::listBoxSelection(GetDlgItem(dialog, IDC_PICK_LIST));
    winui::setControlText(dialog, IDC_PICK_ECHO, selected && picker.echo ? picker.echo(*selected) : std::string());
}

INT_PTR CALLBACK pickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<PickerData>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG: {
        winui::setWindowText(dialog, data->picker->caption);
        winui::setControlText(dialog, IDC_PICK_CONFIRM, data->picker->confirm);
        HWND list = GetDlgItem(dialog, IDC_PICK_LIST);
        HDC dc = GetDC(list);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(list, dc);
        SendMessageW(list, LB_SETITEMHEIGHT, 0, MulDiv(kPickerRowHeight, dpi, 96));
        winui::fillListBox(list, data->picker->lines, 0);
        ShowWindow(GetDlgItem(dialog, IDC_PICK_CLEAR), data->picker->onClear ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PICK_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                echoSelection(dialog, *data->picker);
            }
            if (HIWORD(wParam) != LBN_DBLCLK) {
                return TRUE;
            }
            echoSelection(dialog, *data->picker);
            [[fallthrough]];
        case IDC_PICK_CONFIRM:
        case IDOK:
            if (auto selected = winui::listBoxSelection(GetDlgItem(dialog, IDC_PICK_LIST))) {
                data->chosen = static_cast<int>(*selected);
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        case IDC_PICK_CLEAR:
            if (auto selected = winui::listBoxSelection(GetDlgItem(dialog, IDC_PICK_LIST))) {
                // Asked first: the memory's contents cannot be brought back.
                const std::string memory = data->picker->echo ? data->picker->echo(*selected) : std::string();
                if (winui::messageBox(dialog, control::clearMemoryQuestion(memory), "알림",
                                      MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
                    return TRUE;
                }
                if (auto line = data->picker->onClear(*selected)) {
                    data->picker->lines[*selected] = *line;
                    winui::fillListBox(GetDlgItem(dialog, IDC_PICK_LIST), data->picker->lines, *selected);
                    echoSelection(dialog, *data->picker);
                } else if (data->session->ending) {
                    EndDialog(dialog, IDCANCEL);
                }
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return paintDialog(data ? data->session : nullptr, message, wParam);
    }
}

} // namespace

std::function<std::string(size_t)> recordedEcho(ControlSession& s) {
    return [&s](size_t i) { return control::memoryPickerEcho(false, i, s.recordedHeaders.name(i)); };
}
std::function<std::string(size_t)> editEcho(ControlSession& s) {
    return [&s](size_t i) { return control::memoryPickerEcho(false, i, s.editHeaders.name(i)); };
}
std::function<std::string(size_t)> combinationEcho(ControlSession& s) {
    return [&s](size_t i) { return control::memoryPickerEcho(true, i, s.combinationHeaders.name(i)); };
}

int pickMemory(ControlSession& s, HWND owner, MemoryPicker& picker) {
    PickerData data{&s, &picker};
    DialogBoxParamW(s.instance, MAKEINTRESOURCEW(IDD_MEMORY_PICKER), owner, pickerProc,
                    reinterpret_cast<LPARAM>(&data));
    return data.chosen;
}

// ---- text limits in CP949 bytes ------------------------------------------------------

namespace {

constexpr UINT_PTR kByteLimitSubclass = 0x4C4D;

LRESULT CALLBACK byteLimitProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR bytes) {
    const bool edits = message == WM_CHAR || message == WM_IME_CHAR || message == WM_PASTE ||
                       message == EM_REPLACESEL || (message == WM_IME_COMPOSITION && (lParam & GCS_RESULTSTR));
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, byteLimitProc, kByteLimitSubclass);
    }
    if (!edits) {
        return DefSubclassProc(box, message, wParam, lParam);
    }
    const std::string before = winui::windowText(box);
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
    if (text::utf8ToCp949(winui::windowText(box)).size() > bytes) {
        winui::setWindowText(box, before);
        SendMessageW(box, EM_SETSEL, start, end);
        MessageBeep(MB_OK);
    }
    return result;
}

} // namespace

void limitToCp949Bytes(HWND box, size_t bytes) {
    SendMessageW(box, EM_LIMITTEXT, bytes, 0); // never more characters than bytes
    SetWindowSubclass(box, byteLimitProc, kByteLimitSubclass, bytes);
}

// ---- key boxes ------------------------------------------------------------------------

void makeKeyBox(HWND box, KeyBoxHandler handler, void* context) {
    static const KeyTable table(KeyNames::ControlPanel);
    winui::makeKeyBox(box, table,
                      [handler, context](HWND taker, size_t row) { handler(taker, table.codeOf(row), context); });
}

} // namespace quillon::control_ui
