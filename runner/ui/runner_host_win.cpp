// What the interpreter asks of the Windows program: sounds, beeps, the input
// method, the local time, and the status windows it reports into. The
// interpreter thread calls these directly; drawing into the dialogs from it
// is safe because the interface thread never blocks on that thread without
// dispatching messages (WorkerThread::joinPumping).
#include <windows.h>
#include <imm.h>
#include <mmsystem.h>

#include <string>

#include "base/wide_text.h"
#include "resource.h"
#include "runner/ui/runner_host.h"

namespace quillon::runner_ui {

RunnerHost::RunnerHost(RunnerSession& session) : session_(session) {}

bool RunnerHost::playSound(const std::string& path) {
    // Loops until stopped; a sound already playing is not interrupted.
    return PlaySoundW(widen(path).c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NOSTOP | SND_NOWAIT);
}

void RunnerHost::stopSound() { PlaySoundW(nullptr, nullptr, 0); }

void RunnerHost::beep(int frequency, int durationMs) {
    Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(durationMs));
}

bool RunnerHost::inputMethodOpen() {
    HWND foreground = GetForegroundWindow();
    HWND ime = foreground ? ImmGetDefaultIMEWnd(foreground) : nullptr;
    if (!ime) {
        return false;
    }
    constexpr WPARAM kGetOpenStatus = 0x0005; // IMC_GETOPENSTATUS
    DWORD_PTR open = 0;
    SendMessageTimeoutW(ime, WM_IME_CONTROL, kGetOpenStatus, 0, SMTO_ABORTIFHUNG, 200, &open);
    return open != 0;
}

runner::LocalTime RunnerHost::localTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    runner::LocalTime t;
    t.year = now.wYear;
    t.month = now.wMonth;
    t.weekday = now.wDayOfWeek;
    t.day = now.wDay;
    t.hour = now.wHour;
    t.minute = now.wMinute;
    t.second = now.wSecond;
    return t;
}

bool RunnerHost::mainWindowShown() { return session_.mainShown.load(); }

void RunnerHost::requestStop(bool computerOff) {
    PostMessageW(session_.mainWindow, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED),
                 computerOff ? kComputerOffParam : 0);
}

void RunnerHost::switchWindow() { PostMessageW(session_.mainWindow, kSwitchWindowsMessage, 0, 0); }

void RunnerHost::showCurrentItem(int number, const std::string& name) {
    ++itemsRun_;
    if (!session_.mainShown.load()) {
        return;
    }
    SetDlgItemInt(session_.mainWindow, IDC_ITEM_NUMBER, static_cast<UINT>(number), FALSE);
    itemName_ = widen(name);
    SetDlgItemTextW(session_.mainWindow, IDC_ITEM_NAME, itemName_.c_str());
}

void RunnerHost::showItemLabel(bool visible) {
    // The item's name blinks while the run is paused.
    if (session_.mainShown.load()) {
        SetDlgItemTextW(session_.mainWindow, IDC_ITEM_NAME, visible ? itemName_.c_str() : L"");
    }
}

void RunnerHost::showMacroPlaying(bool playing) {
    session_.macroPlaying = playing;
    const wchar_t* text = playing ? L"M" : L"";
    SetDlgItemTextW(session_.mainWindow, IDC_MACRO_PLAYING, text);
    if (HWND mini = session_.miniWindow) {
        SetDlgItemTextW(mini, IDC_MACRO_PLAYING, text);
    }
}

void RunnerHost::showResultCode(int code) {
    if (!session_.mainShown.load()) {
        return;
    }
    if (code == 0) {
        SetDlgItemTextW(session_.mainWindow, IDC_RESULT_CODE, L"");
    } else {
        SetDlgItemInt(session_.mainWindow, IDC_RESULT_CODE, static_cast<UINT>(code), TRUE);
    }
}

void RunnerHost::showSoundPath(const std::string& path) {
    if (session_.mainShown.load()) {
        SetDlgItemTextW(session_.mainWindow, IDC_RESULT_CODE, widen(path).c_str());
    }
}

void RunnerHost::warn(const std::string& text) { showWarning(session_, session_.currentWindow.load(), text); }

} // namespace quillon::runner_ui
