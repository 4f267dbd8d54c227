#include "winui/progress_dialog.h"

#include <commctrl.h>

#include <atomic>
#include <mutex>

#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/dialog_template.h"
#include "winui/worker_thread.h"

namespace quillon::winui {
namespace {

// Posted by the worker to the dialog.
constexpr UINT kSetRangeMessage = WM_APP + 40;    // wParam: range
constexpr UINT kSetPositionMessage = WM_APP + 41; // the latest position is in the run
constexpr UINT kTransferEndedMessage = WM_APP + 42; // wParam: result
constexpr UINT kSetTextMessage = WM_APP + 43;       // the latest text is in the run
constexpr UINT_PTR kHoldTimer = 1;

struct ProgressRun {
    const ProgressJob& job;
    WorkerThread worker;
    // A body of 512 reports must not flood the queue: the worker keeps the
    // latest position here and posts only when no position message is pending.
    std::atomic<int> position{0};
    std::atomic<bool> positionPosted{false};
    // The text line the worker asked for last (a memory's turn).
    std::mutex textLock;
    std::string text;
    bool started = false;             // the worker was given the transfer
    std::atomic<bool> workerResult{false};
    bool ended = false;               // the dialog has seen the transfer end

    explicit ProgressRun(const ProgressJob& j) : job(j) {}
};

const DialogTemplate& progressTemplate() {
    // No system menu: the caption has no close button.
    static const DialogTemplate made = [] {
        DialogTemplate t(DS_MODALFRAME | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION, 260, 62, kProgressCaption);
        t.add(L"STATIC", kProgressWaitLineId, SS_LEFT, 10, 8, 240, 10, kProgressWaitLine);
        t.add(L"EDIT", kProgressTextId, ES_LEFT | ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 10, 22, 240, 13);
        t.add(PROGRESS_CLASSW, kProgressBarId, PBS_SMOOTH, 10, 42, 240, 12);
        return t;
    }();
    return made;
}

// Centred over the owner (or the screen), then 30 pixels right and 65 up.
void place(HWND dialog, HWND owner) {
    RECT own{};
    GetWindowRect(dialog, &own);
    RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner) {
        GetWindowRect(owner, &over);
    }
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = over.left + (over.right - over.left - width) / 2 + 30;
    const int y = over.top + (over.bottom - over.top - height) / 2 - 65;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void startTransfer(HWND dialog, ProgressRun& run) {
    run.started = true;
    run.worker.start([dialog, &run] {
        MemoryProgress progress;
        progress.setRange = [dialog](int range) {
            PostMessageW(dialog, kSetRangeMessage, static_cast<WPARAM>(range), 0);
        };
        progress.setPosition = [dialog, &run](int position) {
            run.position = position;
            if (!run.positionPosted.exchange(true)) {
                PostMessageW(dialog, kSetPositionMessage, 0, 0);
            }
        };
        progress.setText = [dialog, &run](const std::string& text) {
            {
                std::lock_guard<std::mutex> hold(run.textLock);
                run.text = text;
            }
            PostMessageW(dialog, kSetTextMessage, 0, 0);
        };
        const bool ok = run.job.transfer(progress);
        run.workerResult = ok;
        PostMessageW(dialog, kTransferEndedMessage, ok ? 1 : 0, 0);
    });
}

INT_PTR CALLBACK progressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ProgressRun* run = dialogData<ProgressRun>(dialog, message, lParam);
    if (!run) {
        return FALSE;
    }
    HWND bar = GetDlgItem(dialog, kProgressBarId);
    switch (message) {
    case WM_INITDIALOG:
        setControlText(dialog, kProgressTextId, run->job.text);
        place(dialog, GetWindow(dialog, GW_OWNER));
        startTransfer(dialog, *run);
        return TRUE;
    case kSetRangeMessage:
        SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(wParam));
        SendMessageW(bar, PBM_SETPOS, 0, 0);
        return TRUE;
    case kSetTextMessage: {
        std::string text;
        {
            std::lock_guard<std::mutex> hold(run->textLock);
            text = run->text;
        }
        setControlText(dialog, kProgressTextId, text);
        return TRUE;
    }
    case kSetPositionMessage:
        run->positionPosted = false;
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(run->position.load()), 0);
        return TRUE;
    case kTransferEndedMessage:
        run->worker.join(); // its body has returned
        run->ended = true;
        if (run->job.holdMs > 0) {
            SetTimer(dialog, kHoldTimer, run->job.holdMs, nullptr);
        } else {
            EndDialog(dialog, 0);
        }
        return TRUE;
    case WM_TIMER:
        if (wParam == kHoldTimer) {
            KillTimer(dialog, kHoldTimer);
            EndDialog(dialog, 0);
        }
        return TRUE;
    case WM_CLOSE:
        return TRUE; // only the end of the transfer closes it
    case WM_COMMAND:
        // Enter and Esc reach a dialog as IDOK and IDCANCEL; neither ends it.
        return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
    }
    return FALSE;
}

// Waits without freezing the owner.
void pausePumping(DWORD ms) {
    const DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
    }
}

} // namespace

bool runWithProgress(HWND owner, const ProgressJob& job) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    ProgressRun run(job);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), progressTemplate().get(), owner, progressDialogProc,
                            reinterpret_cast<LPARAM>(&run));
    if (!run.started) {
        // No dialog could be made: the transfer matters more than its bar.
        return job.transfer(MemoryProgress{});
    }
    // Returns at once after a normal end; waits when the dialog went with
    // its owner mid-transfer.
    run.worker.join();
    if (job.pauseAfterMs > 0) {
        pausePumping(job.pauseAfterMs);
    }
    return run.workerResult.load();
}

} // namespace quillon::winui
