// The progress dialog of long machine transfers. The transfer runs on a
// worker thread and reports through the memory transfer's progress
// callbacks; the dialog is modal, so the owner stays painted but takes no
// second transfer meanwhile, and it cannot be closed until the transfer has
// ended (a transfer cut in the middle would leave the machine's memory half
// written). The transfer's result comes back to the caller.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "device/memory_transfer.h"

namespace quillon::winui {

inline constexpr const char* kProgressCaption = "알림";
inline constexpr const char* kProgressWaitLine = "잠시만 기다려 주세요 ....";

// Control ids of the dialog (for tests and drivers).
inline constexpr int kProgressWaitLineId = 1001;
inline constexpr int kProgressTextId = 1002;
inline constexpr int kProgressBarId = 1003;

struct ProgressJob {
    // The operation's line ("1-3번 메모리를 [a.rqn1]파일에 저장하고 있습니다.");
    // a transfer of several memories replaces it through the progress's
    // setText as each memory's turn comes.
    std::string text;
    // Runs on the worker thread: it must not touch windows, only the link and
    // its own data, and report through `progress`.
    std::function<bool(const MemoryProgress& progress)> transfer;
    // The full bar stays this long before the dialog closes, so the user sees
    // the transfer end; then the caller pauses `pauseAfterMs` (pumping).
    DWORD holdMs = 300;
    DWORD pauseAfterMs = 100;
};

// Shows the dialog over `owner` (centred on it, then 30 pixels right and
// 65 up), runs the transfer and returns its result once the dialog is gone.
// When the dialog cannot be made the transfer still runs, without it.
bool runWithProgress(HWND owner, const ProgressJob& job);

} // namespace quillon::winui
