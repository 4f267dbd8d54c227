// A thread the interface thread can wait for without freezing: while it
// waits, it keeps dispatching the messages of its windows, so a thread that
// draws into them, sends them messages or shows a message box never
// deadlocks against the wait.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

namespace quillon::winui {

// How a pumping join waits.
struct PumpingWait {
    // Runs at every look (a stop request repeated until the thread sees it).
    std::function<void()> whileWaiting;
    // A message taken from the queue and thrown away instead of dispatched
    // (one that would start the ending again while the window is ending); 0 keeps all.
    UINT dropMessage = 0;
    // The longest pause between two looks when no message arrives.
    DWORD lookMs = 10;
};

class WorkerThread {
public:
    WorkerThread();
    ~WorkerThread(); // a thread still running is waited for (without pumping)
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    template <typename F>
    void start(F&& body) {
        join();
        done_ = false;
        ResetEvent(finished_);
        thread_ = std::thread([this, body = std::forward<F>(body)]() mutable {
            body();
            done_ = true;
            SetEvent(finished_);
        });
    }

    // Started and not yet joined.
    bool running() const { return thread_.joinable(); }
    // The body has returned (or none was started).
    bool finished() const { return done_.load(); }

    // Waits for the body, dispatching this thread's messages meanwhile; then joins.
    void joinPumping(const PumpingWait& wait);
    // The same with a plain callback and its context.
    void joinPumping(void (*whileWaiting)(void*) = nullptr, void* context = nullptr);
    // Waits without dispatching: only for when no window of this thread is
    // left that the body could be waiting on.
    void join();

private:
    std::thread thread_;
    std::atomic<bool> done_{true};
    HANDLE finished_ = nullptr; // manual-reset event, set when the body returns
};

} // namespace quillon::winui
