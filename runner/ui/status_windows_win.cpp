// The runner's two status windows: the main window (dialog 129), a live view
// of the run, and the mini window (dialog 137) with only the stop button, the
// macro indicator and the window switch. The main window owns the run: it
// enters analysis mode, starts the device-watch thread, starts the
// interpreter on message 1037 and ends everything on its stop button (1224).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "analyzer/model.h"
#include "base/text.h"
#include "base/wide_text.h"
#include "device/modes.h"
#include "device/startup_offsets.h"
#include "resource.h"
#include "runner/device_watch.h"
#include "runner/run_ending.h"
#include "runner/status_window_placement.h"
#include "runner/ui/runner_host.h"
#include "runner/ui/runner_screen.h"
#include "runner/ui/runner_session.h"
#include "winui/dialog_data.h"
#include "winui/window_fit.h"

namespace quillon::runner_ui {
namespace {

RunnerSession& sessionOf(HWND window) { return *winui::dialogData<RunnerSession>(window); }

constexpr const char* kTraceCappedText = "추적 파일이 50MB에 이르러 기록을 멈췄습니다.";

void setText(HWND window, int id, const std::string& utf8) { SetDlgItemTextW(window, id, widen(utf8).c_str()); }

void place(HWND window, int cornerSetting, int offsetRange) {
    RECT r;
    GetWindowRect(window, &r);
    Point p = placeInCorner(cornerFromSetting(cornerSetting), GetSystemMetrics(SM_CXSCREEN),
                               GetSystemMetrics(SM_CYSCREEN), r.right - r.left, r.bottom - r.top,
                               std::rand() % offsetRange, std::rand() % offsetRange);
    SetWindowPos(window, HWND_TOPMOST, p.x, p.y, 0, 0, SWP_NOSIZE);
    // At a high DPI the window may be larger than the work area: it then
    // scrolls, and never starts off the screen.
    winui::fitToWorkArea(window);
}

void fillCommonTexts(RunnerSession& session, HWND window) {
    SetWindowTextW(window, widen(session.data.text(text_offset::kRunnerCaption)).c_str());
    setText(window, IDC_STOP, session.analyzerName);
    setText(window, IDC_RADIO_MINI, session.data.text(text_offset::kRunnerRadioMini));
    setText(window, IDC_RADIO_MAIN, session.data.text(text_offset::kRunnerRadioMain));
}

// Shows the hidden window, hides the other; the shown one gets the messages.
void showWindowOfKind(RunnerSession& session, bool main) {
    HWND show = main ? session.mainWindow : session.miniWindow;
    HWND hide = main ? session.miniWindow : session.mainWindow;
    if (!show || !hide) {
        return;
    }
    session.mainShown = main;
    CheckRadioButton(show, IDC_RADIO_MINI, IDC_RADIO_MAIN, main ? IDC_RADIO_MAIN : IDC_RADIO_MINI);
    ShowWindow(show, SW_SHOWNOACTIVATE);
    ShowWindow(hide, SW_HIDE);
    session.currentWindow = show;
}

void startWatch(RunnerSession& session) {
    DeviceWatchSettings settings;
    settings.startHotkey = session.data.setting(setting_offset::kStartHotkey);
    settings.stopHotkey = session.data.setting(setting_offset::kStopHotkey);
    settings.windowSwitchHotkey = session.data.setting(setting_offset::kWindowSwitchHotkey);
    settings.countdownOn = session.data.setting(setting_offset::kCountdownOn) == 1;
    settings.countdownSeconds = session.data.setting(setting_offset::kCountdownSeconds);
    settings.countdownStart = session.countdownStart;
    session.watchRunning = true;
    session.watchThread.start([&session, settings] {
        DeviceWatchHooks hooks;
        hooks.showCountdown = [&session](const std::string& text) {
            // Both stop buttons show the time left.
            setText(session.mainWindow, IDC_STOP, text);
            if (session.miniWindow) {
                setText(session.miniWindow, IDC_STOP, text);
            }
        };
        hooks.switchWindows = [&session] { PostMessageW(session.mainWindow, kSwitchWindowsMessage, 0, 0); };
        DeviceWatchResult result = runDeviceWatch(session.link, settings, session.watchRunning, hooks);
        if (result == DeviceWatchResult::Cancelled) {
            return;
        }
        HWND target = session.currentWindow.load();
        if (result == DeviceWatchResult::Start) {
            PostMessageW(target, kStartRunMessage, 0, 0);
        } else {
            PostMessageW(target, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 0);
        }
        session.watchRunning = false;
    });
}

void startRun(RunnerSession& session) {
    if (session.interpreterThread.running() || session.ending) {
        return;
    }
    // The watch thread has posted its result and is ending; it must be gone
    // before the interpreter takes the link.
    session.watchRunning = false;
    session.watchThread.joinPumping();
    setText(session.mainWindow, IDC_STOP, session.analyzerName);
    if (session.miniWindow) {
        setText(session.miniWindow, IDC_STOP, session.analyzerName);
    }
    session.runActive = true;
    session.runStart = session.link.clock().tickCount();
    createInterpreter(session);
    session.interpreterThread.start([&session] { runInterpreter(session); });
    MessageBeep(MB_ICONASTERISK);
}

// With QUILLON_RUN_SUMMARY naming a file, the runner writes one line about
// the run there as it ends (the demo and the whole-system tests read it).
void writeRunSummary(RunnerSession& session) {
    const wchar_t* path = _wgetenv(L"QUILLON_RUN_SUMMARY");
    if (!path || !*path) {
        return;
    }
    const bool ran = session.interpreter != nullptr;
    const uint32_t ms = ran ? session.link.clock().tickCount() - session.runStart : 0;
    const uint64_t items = session.host ? session.host->itemsRun() : 0;
    static const char* const kMethods[] = {"directdraw-offscreen", "directdraw-primary", "gdi"};
    const int method = session.screen ? static_cast<int>(session.screen->method()) : 2;
    char line[256];
    std::snprintf(line, sizeof line, "{\"ran\":%s,\"items\":%llu,\"milliseconds\":%u,\"captureMethod\":\"%s\"}\n",
                  ran ? "true" : "false", static_cast<unsigned long long>(items), ms, kMethods[method]);
    if (FILE* out = _wfopen(path, L"w")) {
        std::fputs(line, out);
        std::fclose(out);
    }
}

void endRun(RunnerSession& session, bool computerOff) {
    if (session.ending) {
        return;
    }
    session.ending = true;
    // Threads first: they use the link and draw into these windows.
    session.watchRunning = false;
    session.watchThread.joinPumping();
    stopInterpreter(session);
    session.interpreterThread.joinPumping(
        [](void* context) { stopInterpreter(*static_cast<RunnerSession*>(context)); }, &session);
    writeRunSummary(session);
    if (!closeTrace(session)) {
        showWarning(session, session.mainWindow, "추적 파일을 끝까지 쓰지 못했습니다: " + session.tracePath);
    }
    leaveAnalysis(session.link, computerOff);
    if (session.miniWindow) {
        DestroyWindow(session.miniWindow);
        session.miniWindow = nullptr;
    }
    EndDialog(session.mainWindow, 0);
}

INT_PTR colourControls(RunnerSession& session, UINT message, WPARAM wParam) {
    return session.brushes ? session.brushes->paint(message, wParam) : 0;
}

INT_PTR CALLBACK miniWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        winui::attachDialogData(window, reinterpret_cast<RunnerSession*>(lParam));
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return colourControls(sessionOf(window), message, wParam);
    case kStartRunMessage:
        startRun(sessionOf(window));
        return TRUE;
    case WM_COMMAND: {
        RunnerSession& session = sessionOf(window);
        if (LOWORD(wParam) == IDC_STOP) {
            // The mini window goes, the main window ends the run.
            session.miniWindow = nullptr;
            session.currentWindow = session.mainWindow;
            PostMessageW(session.mainWindow, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), lParam);
            DestroyWindow(window);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_RADIO_MAIN && HIWORD(wParam) == BN_CLICKED) {
            showWindowOfKind(session, true);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            return TRUE; // Esc does not close a status window
        }
        break;
    }
    }
    return FALSE;
}

// Each of the 15 variable displays chooses among the active variables;
// display k starts with variable k.
void fillVariableChoices(RunnerSession& session, HWND window) {
    const auto& image = session.model.image();
    const int count = std::clamp(image.activeVariableCount, 0, static_cast<int>(std::size(image.variables)));
    for (int display = 0; display < 15; ++display) {
        HWND combo = GetDlgItem(window, IDC_VARIABLE_CHOICE_FIRST + display);
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (int v = 0; v < count; ++v) {
            std::string name = text::cp949ToUtf8(analyzer::fixedText(image.variables[v].name));
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
        }
        if (display < count) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(display), 0);
        }
    }
}

void initialiseMainWindow(HWND window, RunnerSession& session) {
    session.mainWindow = window;
    session.currentWindow = window;
    session.brushes =
        std::make_unique<winui::DialogBrushes>(winui::dialogColoursOf(session.data, winui::kRunnerColourSettings));
    session.miniWindow = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RUNNER_MINI), window,
                                            miniWindowProc, reinterpret_cast<LPARAM>(&session));

    session.host = std::make_unique<RunnerHost>(session);
    session.screen = std::make_unique<RunnerScreen>(session.data.setting(setting_offset::kLegacyCapture) == 1,
                                                    session.data.name(name_offset::kDisplayDevice));

    // Analysis mode, acknowledged, or the program ends at once.
    if (!enterMode(session.link, openingModeOf(Program::AnalyzerRunner))) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 0);
        return;
    }

    const int corner = session.data.setting(setting_offset::kRunnerWindowCorner);
    place(window, corner, 15);
    if (session.miniWindow) {
        place(session.miniWindow, corner, 5);
    }
    // DirectDraw is started once here, so the first capture does not pay for it.
    session.screen->prepare();
    if (session.data.setting(setting_offset::kCountdownOn) == 1) {
        session.countdownStart = session.link.clock().tickCount();
    }
    startWatch(session);

    fillCommonTexts(session, window);
    if (session.miniWindow) {
        fillCommonTexts(session, session.miniWindow);
    }
    setText(window, IDC_CURRENT_ITEM_LABEL, session.data.text(text_offset::kRunnerCurrentItemLabel));
    setText(window, IDC_RESULT_CODE_LABEL, session.data.text(text_offset::kRunnerResultCodeLabel));
    setText(window, IDC_CLOCK_LABEL, session.data.text(text_offset::kRunnerClockLabel));
    setText(window, IDC_TIMERS_LABEL, session.data.text(text_offset::kRunnerTimersLabel));
    setText(window, IDC_VARIABLES_LABEL, session.data.text(text_offset::kRunnerVariablesLabel));
    std::wstring format = widen(session.data.name(name_offset::kDatePickerFormat));
    SendDlgItemMessageW(window, IDC_CLOCK, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format.c_str()));
    fillVariableChoices(session, window);
    session.host->attachVariableDisplays(window);
    session.macroPlaying = false;
    CheckRadioButton(window, IDC_RADIO_MINI, IDC_RADIO_MAIN, IDC_RADIO_MAIN);
    session.mainShown = true;
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initialiseMainWindow(window, *winui::attachDialogData(window, reinterpret_cast<RunnerSession*>(lParam)));
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return colourControls(sessionOf(window), message, wParam);
    case kStartRunMessage:
        startRun(sessionOf(window));
        return TRUE;
    case kSwitchWindowsMessage: {
        RunnerSession& session = sessionOf(window);
        showWindowOfKind(session, !session.mainShown);
        return TRUE;
    }
    case kAnalyzerReplacedMessage:
        fillVariableChoices(sessionOf(window), window);
        return TRUE;
    case kTraceCappedMessage: {
        // Said in both captions, where it stays for the rest of the run.
        RunnerSession& session = sessionOf(window);
        const std::string caption = session.data.text(text_offset::kRunnerCaption) + " - " + kTraceCappedText;
        SetWindowTextW(window, widen(caption).c_str());
        if (session.miniWindow) SetWindowTextW(session.miniWindow, widen(caption).c_str());
        return TRUE;
    }
    case WM_COMMAND: {
        RunnerSession& session = sessionOf(window);
        switch (LOWORD(wParam)) {
        case IDC_STOP:
            endRun(session, lParam == kComputerOffParam);
            return TRUE;
        case IDC_RADIO_MINI:
            if (HIWORD(wParam) == BN_CLICKED) {
                showWindowOfKind(session, false);
            }
            return TRUE;
        case IDCANCEL:
            return TRUE; // Esc does not end a run; the stop button does
        }
        break;
    }
    case WM_CLOSE:
        endRun(sessionOf(window), false);
        return TRUE;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
        return winui::scrollFittedWindow(window, message, wParam, lParam) ? TRUE : FALSE;
    }
    return FALSE;
}

} // namespace

void runStatusWindows(RunnerSession& session) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RUNNER_MAIN), nullptr, mainWindowProc,
                    reinterpret_cast<LPARAM>(&session));
    session.brushes.reset();
}

} // namespace quillon::runner_ui
