// analyzer-runner: loads one analyzer and runs it against the live screen.
// Start-up follows a fixed order and any failure ends the program (exit code
// 0): start-up data files, the machine, its option record, the analyzer file,
// then the status windows, where the run itself happens.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <ctime>
#include <vector>

#include "base/file.h"
#include "base/program_folder.h"
#include "base/timer_resolution.h"
#include "base/user_folders.h"
#include "base/wide_text.h"
#include "device/device_records.h"
#include "device/link_startup.h"
#include "device/open_link.h"
#include "device/sim/demo_machine.h"
#include "device/startup_failure.h"
#include "device/startup_offsets.h"
#include "runner/run_loader.h"
#include "runner/trace_writer.h"
#include "runner/ui/runner_session.h"
#include "winui/crash_report.h"
#include "winui/file_dialogs.h"
#include "winui/message_boxes.h"

namespace quillon::runner_ui {
namespace {

// Finds the machine (serial probe first, then HID), or the simulated one in
// demo mode. The runner's opening command comes later, from its main window.
bool findTheMachine(RunnerSession& session) {
    std::vector<std::string> ports;
    for (size_t i = 0; i < name_offset::kSerialPortCount; ++i) {
        ports.push_back(session.data.serialPortName(i));
    }
    return connectMachine(session.link, ports);
}

// The user's own folders (analyzers, sounds) live in the user's data folder,
// which is writable wherever the programs are installed. A relative folder
// name of the name block is taken inside it.
std::string userFolder(RunnerSession& session, size_t nameOffset) {
    const std::string folder = namedUserFolder(userDataFolder(session.programFolder), session.data.name(nameOffset));
    SHCreateDirectoryExW(nullptr, widen(folder).c_str(), nullptr);
    return folder;
}

// The open dialog; an empty result means the user cancelled.
std::string chooseAnalyzerFile(RunnerSession& session) {
    winui::FileChoice choice;
    choice.title = session.data.text(text_offset::kRunnerOpenDialogTitle);
    choice.filter = session.data.text(text_offset::kRunnerOpenDialogFilter);
    choice.defaultExtension = session.data.text(text_offset::kRunnerDefaultExtension);
    choice.folder = userFolder(session, name_offset::kOpenDialogFolder);
    choice.keepWorkingFolder = false;
    return winui::chooseFileToOpen(nullptr, choice);
}

int run(RunnerSession& session, const std::string& pathArgument, const std::string& tracePath) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    session.programFolder = quillon::programFolder();
    StartupLoadResult loaded = session.data.load(session.programFolder);
    if (auto box = startupFailureBox(Program::AnalyzerRunner, loaded, session.data)) {
        winui::messageBox(nullptr, box->message, box->caption, MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (loaded != StartupLoadResult::Ok) {
        return 0; // no text block: nothing to say it with
    }

    if (!findTheMachine(session)) {
        showWarning(session, nullptr, session.data.text(text_offset::kRunnerNoDevice));
        return 0;
    }
    OptionRecord options;
    if (!readOptionRecord(session.link, options)) {
        showWarning(session, nullptr, session.data.text(text_offset::kRunnerOptionRecordUnreadable));
        session.link.closeLink();
        return 0;
    }

    // An analyzer named on the command line skips the dialog (shortcuts, tests).
    session.analyzerPath = pathArgument.empty() ? chooseAnalyzerFile(session) : pathArgument;
    if (session.analyzerPath.empty()) {
        session.link.closeLink();
        return 0;
    }
    session.analyzerName = analyzerDisplayName(session.analyzerPath);
    session.soundFolder = userFolder(session, name_offset::kSoundFolder);
    session.analyzerFolder = userFolder(session, name_offset::kAnalyzerFolder);
    std::string notice;
    int code = loadAnalyzerForRun(session.model, session.analyzerPath, session.soundFolder, &notice);
    if (code != run_load::kOk) {
        if (!notice.empty()) {
            showWarning(session, nullptr, notice);
        }
        char text[1024];
        std::snprintf(text, sizeof text, "%s - %d", session.data.text(text_offset::kRunnerAnalyzerNotLoadable).c_str(),
                      code);
        showWarning(session, nullptr, text);
        session.link.closeLink();
        return 0;
    }
    // --trace FILE: made now, so a file that cannot be made is said before the run.
    if (!tracePath.empty()) {
        session.tracePath = tracePath;
        session.traceFile = _wfopen(widen(tracePath).c_str(), L"wb");
        if (!session.traceFile) {
            showWarning(session, nullptr, "추적 파일을 만들지 못했습니다: " + tracePath);
            session.link.closeLink();
            return 0;
        }
        // Bounded, so a long run cannot fill the disk; every line reaches the
        // file at once, so it is whole however the program ends.
        session.trace = std::make_unique<runner::TraceWriter>(session.traceFile, runner::kRunnerTraceCap);
        session.trace->setFlushEachLine(true);
        RunnerSession* owner = &session;
        session.trace->setOnCapped([owner] { PostMessageW(owner->mainWindow, kTraceCappedMessage, 0, 0); });
        const size_t slash = session.analyzerPath.find_last_of("\\/");
        session.trace->begin({slash == std::string::npos ? session.analyzerPath : session.analyzerPath.substr(slash + 1),
                              std::nullopt, {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}});
    }
    // The analyzer's own capture settings replace those of the settings block.
    const auto& image = session.model.image();
    session.data.setSetting(setting_offset::kClientWindowMode, image.captureWindowNoFrame);
    session.data.setSetting(setting_offset::kFramedWindowMode, image.captureWindowFramed);
    session.data.setSetting(setting_offset::kFullScreenMode, image.captureFullScreen);
    session.data.setSetting(setting_offset::kLegacyCapture, image.captureLegacy);

    runStatusWindows(session);
    return 0;
}

} // namespace

void showWarning(RunnerSession& session, HWND owner, const std::string& message) {
    winui::messageBox(owner, message, session.data.text(text_offset::kRunnerCaption), MB_OK | MB_ICONWARNING);
}

} // namespace quillon::runner_ui

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    quillon::winui::installCrashReport("analyzer-runner");
    quillon::sim::offerDemoMachine(); // QUILLON_MACHINE=sim: the demo mode
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const quillon::FineTimerResolution fineTimer; // the link's and the run loop's millisecond sleeps
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    // analyzer-runner [--trace FILE] [ANALYZER]
    std::string path, trace;
    for (int i = 1; i < argc; ++i) {
        if (!std::wcscmp(argv[i], L"--trace") && i + 1 < argc) {
            trace = quillon::narrow(argv[++i]);
        } else if (path.empty()) {
            path = quillon::narrow(argv[i]);
        }
    }
    LocalFree(argv);
    auto session = std::make_unique<quillon::runner_ui::RunnerSession>();
    return quillon::runner_ui::run(*session, path, trace);
}
