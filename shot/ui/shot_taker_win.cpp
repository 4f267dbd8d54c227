// shot-taker: takes screenshot sets when the machine sends its capture signal.
//
// Start-up: seed rand(), read the start-up data files, find the machine, then
// show dialog 133 modally. The dialog enters screenshot mode, places itself in
// the configured corner, prepares DirectDraw and starts the capture thread.
// The tool ends by the machine's exit signal, by its button, or by Esc; each
// way runs the exit sequence once (normal mode, end the dialog, close the link).
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "base/file.h"
#include "base/program_folder.h"
#include "base/text.h"
#include "base/timer_resolution.h"
#include "base/user_folders.h"
#include "base/wide_text.h"
#include "capture/corner.h"
#include "capture/screen_capture.h"
#include "device/sim/demo_machine.h"
#include "device/startup_data.h"
#include "device/startup_failure.h"
#include "device/startup_offsets.h"
#include "resource.h"
#include "shot/capture_loop.h"
#include "shot/link_shot_machine.h"
#include "shot/ui/shot_screen_win.h"
#include "winui/crash_report.h"
#include "winui/dialog_data.h"
#include "winui/message_boxes.h"
#include "winui/worker_thread.h"

namespace quillon {
namespace {

// Posted by the capture thread when the exit sequence ends the dialog.
constexpr UINT kEndDialogMessage = WM_APP + 1;
constexpr UINT kThreadLookMs = 50;

// Texts of this program that the start-up data does not hold.
constexpr const char* kErrorCaption = "오류";
// Shown around the path that could not be written.
constexpr const char* kWriteFailedBefore = "스크린샷을 저장하지 못했습니다.\n\n";
constexpr const char* kWriteFailedAfter =
    "\n\n이 폴더에 쓸 수 있는지 확인해 주세요. "
    "(프로그램 폴더가 쓰기 금지된 곳이면 프로그램을 쓰기 가능한 폴더에 설치해 주세요.)";
constexpr const char* kCaptureFailedText =
    "화면을 읽지 못해 더 이상 스크린샷을 찍을 수 없습니다.\n창을 닫은 뒤 프로그램을 다시 실행해 주세요.";

void warningBox(HWND owner, const std::string& text, const std::string& caption) {
    winui::messageBox(owner, text, caption, MB_OK | MB_ICONWARNING | MB_TOPMOST);
}

struct ShotTaker {
    StartupData& data;
    ShotMachine& machine;
    std::string folder; // the program's own folder, UTF-8
    HWND window = nullptr;
    HWND button = nullptr;
    SystemCaptureSurfaces surfaces;
    std::unique_ptr<SystemShotScreen> screen;
    winui::WorkerThread captureThread;
    std::atomic<bool> stop{false};
    std::unique_ptr<ExitSequenceOnce> exitSequence;
    bool ending = false;

    ShotTaker(StartupData& startup, ShotMachine& link, std::string programFolder)
        : data(startup), machine(link), folder(std::move(programFolder)) {}

    std::string deviceWarning() const { return data.text(text_offset::kShotDeviceWarning); }

    ShotSettings shotSettings() const {
        ShotSettings settings;
        settings.mode = captureModeOf(data.setting(setting_offset::kFramedWindowMode),
                                      data.setting(setting_offset::kFullScreenMode));
        // Into the user's screenshot folder, where analyzer-editor's import
        // dialog looks (the program folder as the system names it: the copy
        // in the name block holds it in CP949, which cannot spell every name).
        placeScreenshotsIn(settings, userDataFolder(folder));
        settings.bitmapExtension = data.text(text_offset::kShotBitmapExtension);
        settings.settingsExtension = data.text(text_offset::kShotSettingsExtension);
        settings.cursorExtension = data.text(text_offset::kShotCursorExtension);
        return settings;
    }

    // Normal mode (a failure is told, and the tool ends anyway), then the
    // dialog ends and the link closes.
    void runExitSteps() {
        if (!machine.enterNormalMode()) {
            std::string warning = deviceWarning();
            warningBox(window, warning, warning);
        }
        PostMessageW(window, kEndDialogMessage, 0, 0);
        machine.close();
    }

    void reportProblem(const ShotReport& report) {
        switch (report.outcome) {
        case ShotOutcome::NothingToTake:
            MessageBeep(MB_ICONEXCLAMATION);
            break;
        case ShotOutcome::WriteFailed: {
            MessageBeep(MB_ICONEXCLAMATION);
            warningBox(window, kWriteFailedBefore + report.failedPath + kWriteFailedAfter, kErrorCaption);
            break;
        }
        case ShotOutcome::CaptureFailed:
            warningBox(window, kCaptureFailedText, kErrorCaption);
            break;
        case ShotOutcome::Written:
            break;
        }
    }

    void captureThreadMain() {
        ShotSettings settings = shotSettings();
        ShotSignals signals{data.setting(setting_offset::kCaptureSignal), data.setting(setting_offset::kExitSignal)};
        CaptureLoopActions actions;
        actions.readSignal = [this] { return machine.readSignal(); };
        actions.takeShot = [this, &settings] {
            return takeScreenshotSet(*screen, settings, data.settingsBlock());
        };
        // Shown and painted before the loop goes on: a capture that follows at
        // once must not catch the button half drawn. (The window thread keeps
        // its messages flowing even while it waits for this thread.)
        actions.setButtonVisible = [this](bool visible) {
            ShowWindow(button, visible ? SW_SHOW : SW_HIDE);
            UpdateWindow(window);
        };
        actions.beep = [] { MessageBeep(MB_ICONASTERISK); };
        actions.reportProblem = [this](const ShotReport& report) { reportProblem(report); };
        actions.releaseDirectDraw = [this] { surfaces.releaseDirectDraw(); };
        actions.exitSequence = [this] { exitSequence->run(); };
        CaptureLoopEnd end = runCaptureLoop(actions, signals, stop, systemClock());
        if (end == CaptureLoopEnd::CaptureFailed || end == CaptureLoopEnd::LinkFailed) {
            surfaces.releaseDirectDraw();
        }
    }

    bool start(HWND dialog) {
        window = dialog;
        button = GetDlgItem(dialog, IDC_SHOT_BUTTON);
        exitSequence = std::make_unique<ExitSequenceOnce>([this] { runExitSteps(); });
        if (!machine.enterScreenshotMode()) {
            std::string warning = deviceWarning();
            warningBox(dialog, warning, warning);
            return false;
        }
        RECT own{};
        GetWindowRect(dialog, &own);
        int a = std::rand() % 20;
        int b = std::rand() % 20;
        Point at = placeInCorner(cornerFromSetting(data.setting(setting_offset::kShotWindowCorner)),
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), own.right - own.left,
                                 own.bottom - own.top, a, b);
        SetWindowPos(dialog, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE);
        GetWindowRect(dialog, &own);
        surfaces.prepare({own.left, own.top, own.right, own.bottom});
        screen = std::make_unique<SystemShotScreen>(surfaces, data.setting(setting_offset::kLegacyCapture) == 1,
                                                    data.name(name_offset::kDisplayDevice));
        captureThread.start([this] { captureThreadMain(); });
        SetWindowTextW(button, widen(data.text(text_offset::kShotButtonCaption)).c_str());
        return true;
    }

    // The window asks the capture thread to stop and waits for it, looking
    // every 50 ms and keeping its own messages flowing (the thread shows and
    // hides the button and may show a message box meanwhile). The thread's
    // own request to end the dialog is dropped: the window is ending already.
    void stopCaptureThread() {
        stop = true;
        winui::PumpingWait wait;
        wait.dropMessage = kEndDialogMessage;
        wait.lookMs = kThreadLookMs;
        captureThread.joinPumping(wait);
    }

    void end() {
        if (ending) {
            return;
        }
        ending = true;
        stopCaptureThread();
        // The thread ran the exit sequence unless it had given up earlier.
        if (exitSequence) {
            exitSequence->run();
        }
        EndDialog(window, 0);
    }
};

// Pressing the button clicks it; dragging it moves the window, like the rest
// of the window.
LRESULT CALLBACK dragButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_LBUTTONDOWN) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(button, &at);
        if (DragDetect(button, at)) {
            // The mouse has already travelled a little: the window follows it
            // that far, then the system's move loop takes over from here.
            HWND window = GetParent(button);
            POINT now{};
            GetCursorPos(&now);
            RECT place{};
            GetWindowRect(window, &place);
            SetWindowPos(window, nullptr, place.left + now.x - at.x, place.top + now.y - at.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ReleaseCapture();
            SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(now.x, now.y));
            return 0;
        }
        // DragDetect took the button's release: the press is a click.
        SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return 0;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

INT_PTR CALLBACK shotDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ShotTaker* taker = winui::dialogData<ShotTaker>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        if (!taker->start(dialog)) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        SetWindowSubclass(GetDlgItem(dialog, IDC_SHOT_BUTTON), dragButtonProc, 1, 0);
        return TRUE;
    case WM_NCHITTEST: {
        LRESULT hit = DefWindowProcW(dialog, message, wParam, lParam);
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, hit == HTCLIENT ? HTCAPTION : hit);
        return TRUE;
    }
    case WM_COMMAND:
        if (taker != nullptr && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            taker->end();
            return TRUE;
        }
        break;
    case kEndDialogMessage:
        if (taker != nullptr) {
            taker->end();
        }
        return TRUE;
    case WM_DESTROY:
        RemoveWindowSubclass(GetDlgItem(dialog, IDC_SHOT_BUTTON), dragButtonProc, 1);
        break;
    }
    return FALSE;
}

int runShotTaker(HINSTANCE instance) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    StartupData data;
    std::string folder = programFolder();
    StartupLoadResult loaded = data.load(folder, [] { return std::rand(); });
    if (loaded != StartupLoadResult::Ok) {
        if (auto box = startupFailureBox(Program::ShotTaker, loaded, data)) {
            warningBox(nullptr, box->message, box->caption);
        }
        return 0;
    }
    std::unique_ptr<ShotMachine> machine = openShotMachine(data);
    if (!machine) {
        std::string warning = data.text(text_offset::kShotDeviceWarning);
        warningBox(nullptr, warning, warning);
        return 0;
    }
    ShotTaker taker(data, *machine, folder);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SHOT_TAKER), nullptr, shotDialogProc,
                    reinterpret_cast<LPARAM>(&taker));
    // The dialog may have ended before the thread started (screenshot mode refused).
    taker.stop = true;
    taker.captureThread.join();
    machine->close();
    return 0;
}

} // namespace
} // namespace quillon

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    quillon::winui::installCrashReport("shot-taker");
    quillon::sim::offerDemoMachine(); // QUILLON_MACHINE=sim: the demo mode
    const quillon::FineTimerResolution fineTimer; // the link's millisecond sleeps
    return quillon::runShotTaker(instance);
}
