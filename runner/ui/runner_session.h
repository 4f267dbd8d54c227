// Everything one run of analyzer-runner holds: the start-up data, the link,
// the analyzer, the two status windows and the threads that share them.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>

#include "analyzer/model.h"
#include "device/link.h"
#include "device/startup_data.h"
#include "winui/dialog_colours.h"
#include "winui/worker_thread.h"

namespace quillon::runner {
class AnalyzerLoader;
class Interpreter;
class TraceWriter;
}

namespace quillon::runner_ui {

// Messages between the runner's parts.
inline constexpr UINT kStartRunMessage = WM_USER + 13;   // 1037: start the interpreter thread
inline constexpr UINT kSwitchWindowsMessage = WM_APP + 1; // the window-switch hotkey
inline constexpr UINT kAnalyzerReplacedMessage = WM_APP + 2; // refill the variable choices
inline constexpr UINT kTraceCappedMessage = WM_APP + 3;      // the trace file reached its bound
inline constexpr LPARAM kComputerOffParam = 255;          // with WM_COMMAND 1224

using winui::WorkerThread;

class RunnerHost;
class RunnerScreen;

struct RunnerSession {
    RunnerSession();
    ~RunnerSession();

    std::string programFolder;
    StartupData data;
    Link link;
    std::string analyzerPath;
    std::string analyzerName; // shown on the stop buttons
    std::string soundFolder;
    std::string analyzerFolder;
    analyzer::AnalyzerModel model;
    std::unique_ptr<RunnerScreen> screen;
    std::unique_ptr<RunnerHost> host;
    std::unique_ptr<runner::AnalyzerLoader> loader;
    std::unique_ptr<runner::Interpreter> interpreter;
    // --trace FILE: what the run did, item by item (none without it).
    std::string tracePath;
    std::FILE* traceFile = nullptr;
    std::unique_ptr<runner::TraceWriter> trace;

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
    uint32_t runStart = 0; // tick count when the interpreter started

    // The status windows' background brushes, made with the main window.
    std::unique_ptr<winui::DialogBrushes> brushes;

    WorkerThread watchThread;
    WorkerThread interpreterThread;
};

// Warning box with the runner's text-block caption.
void showWarning(RunnerSession& session, HWND owner, const std::string& message);

// Dialog 129 as a modal dialog; returns when the run has ended.
void runStatusWindows(RunnerSession& session);

// The interpreter (interpreter_thread_win.cpp): made on the interface thread
// when the run starts, run on its own thread, stopped by clearing its flag.
void createInterpreter(RunnerSession& session);
void runInterpreter(RunnerSession& session);
void stopInterpreter(RunnerSession& session);
// The trace file, once the interpreter has stopped: flushed and closed; false
// when it could not be written whole.
bool closeTrace(RunnerSession& session);

} // namespace quillon::runner_ui
