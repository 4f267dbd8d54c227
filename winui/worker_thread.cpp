#include "winui/worker_thread.h"

namespace quillon::winui {

WorkerThread::WorkerThread() : finished_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

WorkerThread::~WorkerThread() {
    join();
    if (finished_) {
        CloseHandle(finished_);
    }
}

void WorkerThread::joinPumping(const PumpingWait& wait) {
    if (!thread_.joinable()) {
        return;
    }
    while (!done_.load()) {
        if (wait.whileWaiting) {
            wait.whileWaiting();
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (wait.dropMessage != 0 && message.message == wait.dropMessage) {
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Wakes at once when the body ends or a message arrives.
        MsgWaitForMultipleObjects(finished_ ? 1 : 0, finished_ ? &finished_ : nullptr, FALSE, wait.lookMs,
                                  QS_ALLINPUT);
    }
    thread_.join();
}

void WorkerThread::joinPumping(void (*whileWaiting)(void*), void* context) {
    PumpingWait wait;
    if (whileWaiting) {
        wait.whileWaiting = [whileWaiting, context] { whileWaiting(context); };
    }
    joinPumping(wait);
}

void WorkerThread::join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace quillon::winui
