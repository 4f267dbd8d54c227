// The recorded-macro page ("녹화 매크로"): the 32 memories' headers, the
// current macro (a memory or a file), its name and options, and moving it
// between the machine and files. The rules are the core's (recorded_macro.h,
// macro_pages.h, memory_cache.h); the procedure moves control values.
#include <windows.h>

#include "base/file.h"
#include "base/format_text.h"
#include "device/link_messages.h"
#include "base/text.h"
#include "control/macro_files.h"
#include "control/macro_pages.h"
#include "control/recorded_macro.h"
#include "control/link_sites.h"
#include "control/ui/control_session.h"
#include "device/startup_offsets.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/list_controls.h"
#include "winui/message_boxes.h"
#include "winui/progress_dialog.h"

namespace quillon::control_ui {

using namespace control;

namespace {

constexpr int kHeadersLocation = link_site::kRecordedHeaders;
constexpr int kClearLocation = link_site::kRecordedClear;
constexpr int kCopyLocation = link_site::kRecordedCopy;
constexpr int kFromFileLocation = link_site::kRecordedFromFile;
constexpr int kFileAgainLocation = link_site::kRecordedFileAgain;
constexpr const char* kLoadTitle = "불러올 파일이름을 선택/입력해주세요.";
constexpr const char* kSaveTitle = "저장할 파일이름을 입력/선택해주세요.";
constexpr const char* kLoadFilter = "녹화 매크로(*.rqn1,*.velr,*.velrL,*.mgild)|*.rqn1;*.velr;*.velrL;*.mgild|";
constexpr const char* kSaveFilter = "녹화 매크로(*.rqn1)|*.rqn1|";

struct RecordedPage {
    ControlSession& session;
    RecordedPageState state;
};

std::string recordedFolder(const ControlSession& s) { return userFolder(s, name_offset::kRecordedMacroFolder) + "\\"; }

void applyMouseLockRule(HWND page) {
    const auto mode = winui::comboBoxSelection(GetDlgItem(page, IDC_REC_MODE)).value_or(0);
    const bool free = mode == static_cast<size_t>(kRecordedModeCoordinates);
    if (!free) {
        CheckDlgButton(page, IDC_REC_MOUSE_LOCK, BST_CHECKED);
    }
    EnableWindow(GetDlgItem(page, IDC_REC_MOUSE_LOCK), free);
}

void showHeader(HWND page, const RecordedMemoryHeader& header) {
    const RecordedPageOptions shown = showRecordedHeader(header);
    winui::setControlText(page, IDC_REC_NAME, shown.name);
    winui::selectComboBoxLine(GetDlgItem(page, IDC_REC_MODE), shown.mode);
    winui::selectComboBoxLine(GetDlgItem(page, IDC_REC_SPEED), shown.speed);
    const std::pair<int, bool> boxes[] = {
        {IDC_REC_KEYBOARD_LOCK, shown.keyboardLock}, {IDC_REC_MOUSE_LOCK, shown.mouseLock},
        {IDC_REC_NO_START_DELAY, shown.noStartDelay}, {IDC_REC_NO_END_DELAY, shown.noEndDelay},
        {IDC_REC_KEYBOARD_ONLY, shown.keyboardOnly}, {IDC_REC_PLAY_ONCE, shown.playOnce},
    };
    for (auto [id, on] : boxes) {
        CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
    }
    applyMouseLockRule(page);
    winui::setControlText(page, IDC_REC_LENGTH, shown.lengthText);
    winui::setControlText(page, IDC_REC_SIZE, shown.sizeText);
}

RecordedPageOptions pageOptions(HWND page) {
    RecordedPageOptions options;
    options.name = winui::controlText(page, IDC_REC_NAME);
    options.mode = static_cast<int>(winui::comboBoxSelection(GetDlgItem(page, IDC_REC_MODE)).value_or(0));
    options.speed = static_cast<int>(winui::comboBoxSelection(GetDlgItem(page, IDC_REC_SPEED)).value_or(0));
    options.keyboardLock = IsDlgButtonChecked(page, IDC_REC_KEYBOARD_LOCK) == BST_CHECKED;
    options.mouseLock = IsDlgButtonChecked(page, IDC_REC_MOUSE_LOCK) == BST_CHECKED;
    options.mouseLockEnabled = options.mode == kRecordedModeCoordinates;
    options.noStartDelay = IsDlgButtonChecked(page, IDC_REC_NO_START_DELAY) == BST_CHECKED;
    options.noEndDelay = IsDlgButtonChecked(page, IDC_REC_NO_END_DELAY) == BST_CHECKED;
    options.keyboardOnly = IsDlgButtonChecked(page, IDC_REC_KEYBOARD_ONLY) == BST_CHECKED;
    options.playOnce = IsDlgButtonChecked(page, IDC_REC_PLAY_ONCE) == BST_CHECKED;
    return options;
}

bool readHeaders(ControlSession& s, HWND page) { return filledCache(s, page, s.recordedHeaders, kHeadersLocation); }

// Shows an outcome of the core: the notice, the error, or the ending.
void showOutcome(ControlSession& s, HWND page, bool ok, const std::string& message, bool linkLost) {
    if (linkLost) {
        endOnLinkFailure(s, page);
    } else if (!ok) {
        winui::showWarning(page, message);
    } else if (!message.empty()) {
        winui::showNotice(page, message);
    }
}

void loadFromMachine(HWND page, RecordedPage& data) {
    ControlSession& s = data.session;
    if (!readHeaders(s, page)) {
        return;
    }
    MemoryPicker picker;
    picker.caption = "기계에서 불러오기";
    picker.confirm = "불러오기";
    picker.lines = listLines(s.recordedHeaders);
    picker.echo = recordedEcho(s);
    picker.onClear = [page, &s](size_t index) -> std::optional<std::string> {
        if (!clearRecorded(s.memory, s.recordedHeaders, index, kClearLocation)) {
            endOnLinkFailure(s, page);
            return std::nullopt;
        }
        return memoryListLine(index, s.recordedHeaders.name(index));
    };
    const int chosen = pickMemory(s, page, picker);
    if (chosen < 0) {
        return;
    }
    showHeader(page, s.recordedHeaders.header(chosen));
    data.state.chooseMemory(chosen, s.recordedHeaders.name(chosen));
    winui::setControlText(page, IDC_REC_CURRENT, data.state.currentMacroText());
}

void loadFile(HWND page, RecordedPage& data, const std::string& path) {
    ControlSession& s = data.session;
    const std::string folder = recordedFolder(s);
    RecordedMacroFile file;
    std::string loadedPath;
    const FileOutcome outcome = loadRecordedFile(path, folder, file, loadedPath);
    if (!outcome.ok) {
        winui::showWarning(page, outcome.message);
        return;
    }
    showHeader(page, file.header);
    data.state.chooseFile(loadedPath);
    winui::setControlText(page, IDC_REC_CURRENT, data.state.currentMacroText());
}

void loadFromFile(HWND page, RecordedPage& data) {
    ControlSession& s = data.session;
    const std::string path = chooseOpenFile(page, kLoadTitle, kLoadFilter, "rqn1", recordedFolder(s));
    if (!path.empty()) {
        loadFile(page, data, path);
    }
}

void saveToMachine(HWND page, RecordedPage& data) {
    ControlSession& s = data.session;
    if (!data.state.canSave() || !readHeaders(s, page)) {
        return;
    }
    MemoryPicker picker;
    picker.caption = "기계에 저장하기";
    picker.confirm = "저장하기";
    picker.lines = listLines(s.recordedHeaders);
    picker.echo = recordedEcho(s);
    const int chosen = pickMemory(s, page, picker);
    if (chosen < 0) {
        return;
    }
    const RecordedPageOptions options = pageOptions(page);
    const uint16_t flags = recordedFlags(options);
    bool ok = false;
    std::string message;
    bool linkLost = false;
    winui::ProgressJob job;
    job.text = kProgressWaitText;
    if (data.state.state == RecordedPageState::Memory) {
        const std::string name = options.name.empty() ? std::string("새로 만든 매크로") : options.name;
        const size_t source = static_cast<size_t>(data.state.memoryIndex);
        job.transfer = [&, source, name](const MemoryProgress& progress) {
            return copyRecorded(s.memory, s.recordedHeaders, source, chosen, name, flags, kCopyLocation, &progress);
        };
        ok = winui::runWithProgress(page, job);
        linkLost = !ok;
        message = kSaved;
    } else {
        PageOutcome outcome;
        job.transfer = [&](const MemoryProgress& progress) {
            outcome = writeRecordedFileToMemory(data.state.filePath, chosen, options, s.memory, &progress);
            return outcome.ok;
        };
        winui::runWithProgress(page, job);
        ok = outcome.ok;
        message = outcome.message;
        linkLost = outcome.linkLost;
        if (ok) {
            RecordedMemoryHeader header{};
            if (s.memory.readHeader(chosen, header, kFromFileLocation)) {
                s.recordedHeaders.update(chosen, header);
            }
        }
    }
    showOutcome(s, page, ok, message, linkLost);
}

void saveToFile(HWND page, RecordedPage& data) {
    ControlSession& s = data.session;
    if (!data.state.canSave()) {
        return;
    }
    const RecordedPageOptions options = pageOptions(page);
    const std::string path =
        chooseSaveFile(page, kSaveTitle, kSaveFilter, "rqn1", recordedFolder(s), options.name);
    if (path.empty()) {
        return;
    }
    if (data.state.state == RecordedPageState::Memory) {
        PageOutcome outcome;
        winui::ProgressJob job;
        job.text = recordedToFileText(data.state.memoryIndex, fileNameOf(path));
        const int index = data.state.memoryIndex;
        job.transfer = [&, index](const MemoryProgress& progress) {
            outcome = saveRecordedMemoryToFile(s.memory, index, options, path, &progress);
            return outcome.ok;
        };
        winui::runWithProgress(page, job);
        showOutcome(s, page, outcome.ok, outcome.message, outcome.linkLost);
        return;
    }
    // A file saved again: read whole, with the page's name and flags.
    RecordedMacroFile file;
    const auto bytes = readFile(data.state.filePath);
    if (!bytes || !decodeRecordedFile(bytes->data(), bytes->size(), file)) {
        winui::showWarning(page, formatText("%s(RecLine=%d)", kControlTroubleText, kFileAgainLocation));
        return;
    }
    setRecordedName(file.header.name, options.name);
    file.header.flags = recordedFlags(options);
    const FileOutcome outcome = saveRecordedFile(path, file);
    showOutcome(s, page, outcome.ok, outcome.ok ? std::string(kSaved) : outcome.message, false);
}

INT_PTR CALLBACK recordedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<RecordedPage>(page, message, lParam);
    if (data == nullptr) {
        return FALSE;
    }
    ControlSession& s = data->session;
    switch (message) {
    case WM_INITDIALOG: {
        winui::fillComboBox(GetDlgItem(page, IDC_REC_MODE),
                            std::vector<std::string>(std::begin(kRecordedModeNames), std::end(kRecordedModeNames)), 0);
        winui::fillComboBox(GetDlgItem(page, IDC_REC_SPEED),
                            std::vector<std::string>(std::begin(kRecordedSpeedNames), std::end(kRecordedSpeedNames)),
                            0);
        applyMouseLockRule(page);
        SendDlgItemMessageW(page, IDC_REC_NAME, EM_LIMITTEXT, 39, 0);
        if (readHeaders(s, page)) {
            // A recorded macro file opened from Explorer.
            if (const std::string path = takeStartFile(s, ControlPage::Recorded); !path.empty()) {
                loadFile(page, *data, path);
            }
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_REC_MODE:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                applyMouseLockRule(page);
            }
            return TRUE;
        case IDC_REC_LOAD_MACHINE:
            loadFromMachine(page, *data);
            return TRUE;
        case IDC_REC_LOAD_FILE:
            loadFromFile(page, *data);
            return TRUE;
        case IDC_REC_SAVE_MACHINE:
            saveToMachine(page, *data);
            return TRUE;
        case IDC_REC_SAVE_FILE:
            saveToFile(page, *data);
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

HWND createRecordedPage(ControlSession& s, HWND parent) {
    return CreateDialogParamW(s.instance, MAKEINTRESOURCEW(IDD_PAGE_RECORDED), parent, recordedPageProc,
                              reinterpret_cast<LPARAM>(new RecordedPage{s, {}}));
}

} // namespace quillon::control_ui
