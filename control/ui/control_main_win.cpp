// control-panel: sets the machine's options and hotkeys, manages its macro
// memories and schedules a macro. Start-up follows a fixed order and any
// failure ends the program; afterwards a failed exchange with the machine
// ends it too (after its message).
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <cstdlib>
#include <memory>

#include "base/program_folder.h"
#include "base/timer_resolution.h"
#include "base/wide_text.h"
#include "control/ui/control_session.h"
#include "device/link_messages.h"
#include "device/modes.h"
#include "device/open_link.h"
#include "device/sim/demo_machine.h"
#include "device/startup_failure.h"
#include "device/startup_offsets.h"
#include "resource.h"
#include "winui/dialog_data.h"
#include "winui/crash_report.h"
#include "winui/message_boxes.h"
#include "winui/window_fit.h"

namespace quillon::control_ui {

using control::ControlPage;

namespace {

constexpr const wchar_t* kMainClass = L"Quillon Control";
constexpr UINT kOpenFirstPage = WM_APP + 1;
constexpr UINT kKeepAliveFailed = WM_APP + 2;

// The page table: its button, its resource's maker.
struct PageEntry {
    ControlPage page;
    int button;
    HWND (*create)(ControlSession& s, HWND parent);
};
constexpr PageEntry kPages[] = {
    {ControlPage::Options, IDC_PAGE_OPTIONS, createOptionsPage},
    {ControlPage::Edit, IDC_PAGE_EDIT, createEditPage},
    {ControlPage::Combination, IDC_PAGE_COMBINATION, createCombinationPage},
    {ControlPage::Recorded, IDC_PAGE_RECORDED, createRecordedPage},
    {ControlPage::AutoClick, IDC_PAGE_AUTO_CLICK, createAutoClickPage},
};

const PageEntry* pageEntryOf(ControlPage page) {
    for (const PageEntry& entry : kPages) {
        if (entry.page == page) {
            return &entry;
        }
    }
    return nullptr;
}

// Shows one page (made on first use) in the page area and keeps its button pressed.
void showPage(ControlSession& s, HWND dialog, ControlPage page) {
    const PageEntry* entry = pageEntryOf(page);
    if (entry == nullptr) {
        return;
    }
    for (const PageEntry& other : kPages) {
        CheckDlgButton(dialog, other.button, other.page == page ? BST_CHECKED : BST_UNCHECKED);
    }
    if (s.currentPage == page) {
        return;
    }
    const int index = static_cast<int>(page);
    if (s.pages[index] == nullptr && entry->create != nullptr) {
        s.pages[index] = entry->create(s, dialog);
        if (s.ending) {
            return; // the page met a device failure while opening
        }
        if (HWND page = s.pages[index]) {
            RECT area;
            GetWindowRect(GetDlgItem(dialog, IDC_PAGE_AREA), &area);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
            SetWindowPos(page, HWND_TOP, area.left, area.top, 0, 0, SWP_NOSIZE);
        }
    }
    if (s.currentPage != ControlPage::None) {
        if (HWND previous = s.pages[static_cast<int>(s.currentPage)]) {
            ShowWindow(previous, SW_HIDE);
        }
    }
    s.currentPage = page;
    if (HWND shown = s.pages[index]) {
        ShowWindow(shown, SW_SHOW);
    }
}

void openManual(const ControlSession& s, HWND dialog) {
    const std::wstring path = widen(control::manualPath(s.programFolder));
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(dialog, L"open", path.c_str(), nullptr, nullptr,
                                                                SW_SHOWNORMAL));
    if (result <= 32) {
        winui::showNotice(dialog, control::kManualNeedsReader);
    }
}

void openWebPage(const ControlSession& s, HWND dialog, size_t nameOffset) {
    const std::string address = s.data.name(nameOffset);
    if (!control::isWebAddress(address)) {
        winui::showNotice(dialog, control::kNoWebAddress);
        return;
    }
    ShellExecuteW(dialog, L"open", widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void centreOnScreen(const ControlSession& s, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(window, nullptr, (s.screenWidth - w) / 2, (s.screenHeight - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

// Closing with lines not yet saved on the edit or combination page asks
// first: Yes keeps them as dated copies (as when the machine is lost), No
// drops them, Cancel stays.
void requestClose(ControlSession& s, HWND dialog) {
    if (anyUnsavedPage(s)) {
        switch (winui::messageBox(dialog, control::kUnsavedCloseQuestion, "알림", MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: {
            const std::vector<std::string> kept = saveUnsavedPages(s);
            if (anyUnsavedPage(s)) {
                winui::showWarning(dialog, control::kRecoveryCopyFailed);
                return;
            }
            winui::showNotice(dialog, keptPagesText(kept));
            break;
        }
        case IDNO:
            break;
        default:
            return;
        }
    }
    PostMessageW(s.mainWindow, WM_CLOSE, 0, 0);
}

INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlSession* session = winui::dialogData<ControlSession>(dialog, message, lParam);
    if (session == nullptr) {
        return FALSE;
    }
    ControlSession& s = *session;
    switch (message) {
    case WM_INITDIALOG:
        s.mainDialog = dialog;
        centreOnScreen(s, dialog);
        // At a high DPI the dialog may be larger than the work area: it then scrolls.
        winui::fitToWorkArea(dialog);
        s.brushes = std::make_unique<winui::DialogBrushes>(
            winui::dialogColoursOf(s.data, winui::kControlColourSettings));
        s.keepAlive.start(s.link, [&s] {
            if (HWND main = s.mainWindow) {
                PostMessageW(main, kKeepAliveFailed, 0, 0);
            }
        });
        // The first activation of "환경 설정" opens the first page.
        PostMessageW(dialog, kOpenFirstPage, 0, 0);
        return TRUE;
    case kOpenFirstPage:
        if (!s.firstPageOpened) {
            s.firstPageOpened = true;
            showPage(s, dialog, s.startPage);
        }
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        for (const PageEntry& entry : kPages) {
            if (entry.button == id && HIWORD(wParam) == BN_CLICKED) {
                showPage(s, dialog, entry.page);
                return TRUE;
            }
        }
        switch (id) {
        case IDC_SCHEDULE:
            runScheduleDialog(s, dialog);
            return TRUE;
        case IDC_HELP_MANUAL:
            openManual(s, dialog);
            return TRUE;
        case IDC_QUESTION_BOARD:
            openWebPage(s, dialog, name_offset::kQuestionBoardAddress);
            return TRUE;
        case IDC_PUBLIC_LIBRARY:
            openWebPage(s, dialog, name_offset::kPublicLibraryAddress);
            return TRUE;
        case IDC_CLOSE:
            requestClose(s, dialog);
            return TRUE;
        case IDOK:
            // Enter in a page's box: the main dialog's dialog keys reach the
            // page that holds the focus.
            if (s.currentPage != ControlPage::None) {
                if (HWND page = s.pages[static_cast<int>(s.currentPage)]) {
                    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                }
            }
            return TRUE;
        case IDCANCEL:
            return TRUE; // Esc closes nothing: only "닫기" and the frame's close button do
        }
        return FALSE;
    }
    case WM_CLOSE:
        requestClose(s, dialog);
        return TRUE;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
        return winui::scrollFittedWindow(dialog, message, wParam, lParam) ? TRUE : paintDialog(&s, message, wParam);
    default:
        return paintDialog(&s, message, wParam);
    }
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The session comes with the window's creation and stays in its user data.
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* session = reinterpret_cast<ControlSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (session == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ControlSession& s = *session;
    bool handled = false;
    const LRESULT overlay = overlayMessage(s, window, message, wParam, lParam, handled);
    if (handled) {
        return overlay;
    }
    switch (message) {
    case WM_CREATE:
        s.mainWindow = window;
        // Only with the machine's option record is there anything to show.
        if (!readOptionRecord(s.link, s.options)) {
            endOnOptionRecordFailure(s, s.owner);
            return 0;
        }
        if (!CreateDialogParamW(s.instance, MAKEINTRESOURCEW(IDD_CONTROL_MAIN), window, mainDialogProc,
                                reinterpret_cast<LPARAM>(&s))) {
            PostMessageW(window, WM_CLOSE, 0, 0);
            return 0;
        }
        ShowWindow(s.mainDialog, SW_SHOW);
        return 0;
    case kKeepAliveFailed:
        // The machine stopped answering the link test: the program ends as
        // before, but lines being edited are kept first, and named.
        if (!s.ending) {
            s.ending = true;
            const std::string kept = keptPagesText(saveUnsavedPages(s));
            if (!kept.empty()) {
                winui::showWarning(s.mainDialog ? s.mainDialog : window, kept);
            }
        }
        DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        s.keepAlive.stop();
        freeScreenshot(s);
        s.brushes.reset();
        s.link.closeLink();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR CALLBACK ownerDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void beepTwice() {
    MessageBeep(MB_ICONEXCLAMATION);
    Sleep(200);
    MessageBeep(MB_ICONEXCLAMATION);
}

int run(ControlSession& s, HINSTANCE instance, const std::string& argument) {
    s.instance = instance;
    // 1. The hidden owner of the start-up messages.
    s.owner = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_CONTROL_OWNER), nullptr, ownerDialogProc, 0);
    // 2. The start notice; its answer is not used.
    winui::messageBox(s.owner, control::kStartNotice, "알림", MB_OKCANCEL | MB_ICONINFORMATION);
    // 3. The graphics library of the screenshot overlay.
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr) != Gdiplus::Ok) {
        winui::showWarning(s.owner, control::mainLineTrouble(control::kGraphicsStartCode));
        return 0;
    }
    struct GdiplusEnd {
        ULONG_PTR token;
        ~GdiplusEnd() { Gdiplus::GdiplusShutdown(token); }
    } gdiplusEnd{gdiplusToken};
    // 4. One instance only.
    if (FindWindowW(kMainClass, nullptr) != nullptr) {
        winui::showWarning(s.owner, control::mainLineTrouble(control::kSecondInstanceCode));
        return 0;
    }
    // 5. The screen.
    s.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    s.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // 6. The machine, and its acknowledgement of the normal mode.
    if (!connectMachine(s.link, defaultSerialPortNames())) {
        winui::showWarning(s.owner, startupFailureNotice(Program::ControlPanel, s.link.lastError()).text);
        return 0;
    }
    if (!enterMode(s.link, openingModeOf(Program::ControlPanel))) {
        const LinkFailureNotice notice = startupFailureNotice(Program::ControlPanel, s.link.lastError());
        if (notice.reaction == FailureReaction::BeepTwiceAndEnd) {
            beepTwice();
        } else {
            winui::showWarning(s.owner, notice.text);
        }
        s.link.closeLink();
        return 0;
    }
    // 7. The start argument: the working copy, or a macro file opened from Explorer.
    const control::StartRequest request = control::startRequestOf(argument);
    s.startArgument = request.argument;
    s.startPath = request.path;
    s.startPage = request.page;
    // 8. Settings: folders and colours.
    s.programFolder = programFolder();
    const StartupLoadResult loaded = s.data.load(s.programFolder);
    if (auto box = startupFailureBox(Program::ControlPanel, loaded, s.data)) {
        winui::messageBox(s.owner, box->message, box->caption, MB_OK | MB_ICONWARNING);
        s.link.closeLink();
        return 0;
    }
    for (size_t folder : {name_offset::kEditMacroFolder, name_offset::kCombinationMacroFolder,
                          name_offset::kRecordedMacroFolder, name_offset::kAutoClickFolder,
                          name_offset::kWorkingFolder}) {
        userFolder(s, folder);
    }
    // 9. The rich-edit library and the main window.
    HMODULE richEdit = LoadLibraryW(L"Riched20.dll");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    windowClass.lpszClassName = kMainClass;
    RegisterClassW(&windowClass);
    // 10. The window reads the option record and makes the main dialog.
    CreateWindowExW(0, kMainClass, kMainClass, WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, s.owner, nullptr, instance, &s);
    // 11. The message loop.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // The pages are controls of the main dialog: its dialog keys reach them too.
        if (s.mainDialog && IsDialogMessageW(s.mainDialog, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (richEdit) {
        FreeLibrary(richEdit);
    }
    return 0;
}

} // namespace

INT_PTR paintDialog(const ControlSession* s, UINT message, WPARAM wParam) {
    return s && s->brushes ? s->brushes->paint(message, wParam) : 0;
}

} // namespace quillon::control_ui

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    quillon::winui::installCrashReport("control-panel");
    quillon::sim::offerDemoMachine(); // QUILLON_MACHINE=sim: the demo mode
    // The program's state lives here for the whole run; the crash report's
    // rescue keeps the lines being edited.
    const auto session = std::make_unique<quillon::control_ui::ControlSession>();
    const quillon::winui::CrashRescue rescue([&session] { quillon::control_ui::saveUnsavedPages(*session); });
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const quillon::FineTimerResolution fineTimer; // the keep-alive's 1 ms idle looks
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::string argument = argc > 1 ? quillon::narrow(argv[1]) : std::string();
    LocalFree(argv);
    return quillon::control_ui::run(*session, instance, argument);
}
