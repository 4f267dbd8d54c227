// Everything one run of analyzer-runner holds: the start-up data, the link,
// the analyzer, the two status windows and the threads that share them.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "analyzer/model.h"
#include "device/link.h"
#include "device/startup_data.h"

namespace quillon::runner_ui {

// Messages between the runner's parts.
inline constexpr UINT kStartRunMessage = WM_USER + 13;   // 1037: start the interpreter thread
inline constexpr UINT kSwitchWindowsMessage = WM_APP + 1; // the window-switch hotkey
inline constexpr LPARAM kComputerOffParam = 255;          // with WM_COMMAND 1224

// A thread the interface thread can wait for without blocking the windows the
// thread itself draws into.
class WorkerThread {
public:
    template <typename F>
    void start(F&& body) {
        done_ = false;
        thread_ = std::thread([this, body = std::forward<F>(body)]() mutable {
            body();
            done_ = true;
        });
    }
    bool running() const { return thread_.joinable(); }
    // Waits, still dispatching the messages the thread sends to our windows.
    void joinPumping();

private:
    std::thread thread_;
    std::atomic<bool> done_{true};
};

struct RunnerSession {
    RunnerSession() : link(Program::AnalyzerRunner, systemClock()) {}

    std::string programFolder;
    StartupData data;
    Link link;
    std::string analyzerPath;
    std::string analyzerName; // shown on the stop buttons
    analyzer::AnalyzerModel model;

    HWND mainWindow = nullptr;
    HWND miniWindow = nullptr;
    std::atomic<HWND> currentWindow{nullptr};
    std::atomic<bool> mainShown{true};
    std::atomic<bool> watchRunning{false};
    std::atomic<bool> runActive{false};
    std::atomic<bool> paused{false};
    std::atomic<bool> macroPlaying{false};
    bool ending = false;
    uint32_t countdownStart = 0;

    HBRUSH dialogBrush = nullptr;
    HBRUSH staticBrush = nullptr;
    COLORREF dialogColour = 0;
    COLORREF staticColour = 0;

    WorkerThread watchThread;
    WorkerThread interpreterThread;
};

// Warning box with the runner's text-block caption.
void showWarning(RunnerSession& session, HWND owner, const std::string& message);

// Dialog 129 as a modal dialog; returns when the run has ended.
void runStatusWindows(RunnerSession& session);

// The interpreter thread's body (interpreter_thread_win.cpp).
void runInterpreter(RunnerSession& session);

} // namespace quillon::runner_ui
