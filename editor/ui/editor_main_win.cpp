// analyzer-editor: builds analyzers on screenshots. Start-up follows a fixed
// order and any failure ends the program: one instance, the start-up data
// files, the loading window, the machine (serial probe, else HID), normal
// mode, the device information record, the machine's macro directory; then
// the main window covering the screen and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>

#include "base/local_time.h"
#include "base/clock.h"
#include "base/program_folder.h"
#include "base/timer_resolution.h"
#include "base/user_folders.h"
#include "base/wide_text.h"
#include "device/device_records.h"
#include "device/link_messages.h"
#include "device/link_startup.h"
#include "device/modes.h"
#include "device/open_link.h"
#include "device/sim/demo_machine.h"
#include "device/startup_failure.h"
#include "device/startup_offsets.h"
#include "editor/ui/crash_rescue.h"
#include "editor/ui/editor_session.h"
#include "editor/ui/row_dialogs.h"
#include "resource.h"
#include "winui/crash_report.h"

namespace quillon::editor_ui {

EditorSession::EditorSession() : link(Program::AnalyzerEditor, systemClock()) {}
EditorSession::~EditorSession() = default;

void pumpMessagesFor(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= ms) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

namespace {

void warn(const std::string& text) { winui::showWarning(nullptr, text); }

// The loading window names the link it found: twice in turn a blank phase
// and the two lines of the link.
void announceLink(HWND loading, const Link& link) {
    const LinkAnnouncement lines = linkAnnouncement(link);
    for (int round = 0; round < kAnnouncementRounds; ++round) {
        SetDlgItemTextW(loading, IDC_FIRST_LINE, L"");
        SetDlgItemTextW(loading, IDC_SECOND_LINE, L"");
        pumpMessagesFor(kAnnouncementPhaseMs);
        SetDlgItemTextW(loading, IDC_FIRST_LINE, widen(lines.firstLine).c_str());
        SetDlgItemTextW(loading, IDC_SECOND_LINE, widen(lines.secondLine).c_str());
        pumpMessagesFor(kAnnouncementPhaseMs);
    }
}

void react(const LinkFailureNotice& notice) {
    if (notice.reaction == FailureReaction::BeepTwiceAndEnd) {
        MessageBeep(MB_ICONEXCLAMATION);
        Sleep(200);
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (!notice.text.empty()) {
        warn(notice.text);
    }
}

// The user's own folders (analyzers, screenshots, sounds) live in the user's
// data folder, writable wherever the program is installed; analyzer-runner
// finds its "Save" and "Sound" folders in the same place.
std::string editorDataFolder(const EditorSession& session) { return userDataFolder(session.programFolder); }

// Steps 4 to 6 of the start-up, with the loading window showing. False: the
// program ends (the failure has been told).
bool reachTheMachine(EditorSession& session, HWND loading) {
    std::vector<std::string> ports;
    for (size_t i = 0; i < name_offset::kSerialPortCount; ++i) {
        ports.push_back(session.data.serialPortName(i));
    }
    if (!connectMachine(session.link, ports)) {
        DestroyWindow(loading);
        react(startupFailureNotice(Program::AnalyzerEditor, session.link.lastError()));
        return false;
    }
    announceLink(loading, session.link);
    if (!enterMode(session.link, openingModeOf(Program::AnalyzerEditor))) {
        DestroyWindow(loading);
        react(startupFailureNotice(Program::AnalyzerEditor, session.link.lastError()));
        session.link.closeLink();
        return false;
    }
    OptionRecord options;
    if (!readOptionRecord(session.link, options)) {
        DestroyWindow(loading);
        react(optionRecordFailureNotice(Program::AnalyzerEditor, session.link.lastError()));
        session.link.closeLink();
        return false;
    }
    session.memory = std::make_unique<LinkMacroMemory>(session.link);
    if (!editor::readMacroNameLists(*session.memory, session.link.clock(), session.macroNames)) {
        DestroyWindow(loading);
        warn(exchangeFailureNotice(Program::AnalyzerEditor, session.link.lastError()).text);
        session.link.closeLink();
        return false;
    }
    DestroyWindow(loading);
    return true;
}

int run(EditorSession& session, HINSTANCE instance) {
    if (FindWindowW(L"editor", L"editor")) {
        warn(editor::panel_text::kAlreadyRunning);
        return 0;
    }
    session.programFolder = quillon::programFolder();
    StartupLoadResult loaded = session.data.load(session.programFolder, [] { return std::rand(); });
    if (auto box = startupFailureBox(Program::AnalyzerEditor, loaded, session.data)) {
        winui::messageBox(nullptr, box->message, box->caption, MB_OK | MB_ICONWARNING);
        return 0;
    }

    HWND loading = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_LOADING), nullptr,
                                      [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    if (loading) {
        ShowWindow(loading, SW_SHOW);
        UpdateWindow(loading);
    }
    if (!reachTheMachine(session, loading)) {
        return 0;
    }

    LoadLibraryW(L"Riched20.dll");
    if (!registerWindowClasses(instance)) {
        session.link.closeLink();
        return 0;
    }
    editor::EditorFolders folders = editor::EditorFolders::under(editorDataFolder(session));
    folders.create();
    session.notices = std::make_unique<NoticeWindows>(session);
    session.document = std::make_unique<editor::EditorDocument>(session.model, folders, session.dialogs,
                                                                systemClock(), session.notices.get());
    session.colourLock = std::make_unique<editor::ColourBoxLock>(session.model);
    session.machineMacros = std::make_unique<editor::EditorMachineMacros>(*session.memory, session.macroNames);
    session.document->setMachine(session.machineMacros.get());
    // A test may shorten the autosave period (seconds).
    if (const char* seconds = std::getenv("QUILLON_AUTOSAVE_SECONDS")) {
        session.document->autosave().setIntervalMs(static_cast<uint32_t>(std::atoi(seconds)) * 1000u);
    }
    session.document->startNew(localTimeNow(), false);

    if (!createMainWindow(session, instance)) {
        session.link.closeLink();
        return 0;
    }
    session.document->autosave().busy = [&session] { return editorBusy(session); };
    session.progress = std::make_unique<ProgressWindow>(session.mainWindow);
    session.document->setProgress(
        [&session](const std::string& text, uint64_t done, uint64_t total) {
            if (session.progress) session.progress->report(text, done, total);
        },
        [&session] {
            if (session.progress) session.progress->close();
        });
    // An analyzer named on the command line opens as "불러 오기" would.
    if (!session.startPath.empty()) {
        openAnalyzer(session, session.startPath);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // The modeless dialogs take their own keys (Tab, Enter, Esc).
        bool taken = false;
        for (HWND dialog :
             {session.captureDialog, session.rowDialog, session.stillTestWindow, session.sidePanel, session.mainPanel}) {
            if (dialog && IsDialogMessageW(dialog, &message)) {
                taken = true;
                break;
            }
        }
        if (taken) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

} // namespace
} // namespace quillon::editor_ui

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    quillon::winui::installCrashReport("analyzer-editor");
    quillon::sim::offerDemoMachine(); // QUILLON_MACHINE=sim: the demo mode
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const quillon::FineTimerResolution fineTimer; // the link's millisecond sleeps
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    auto session = std::make_unique<quillon::editor_ui::EditorSession>();
    const quillon::winui::CrashRescue rescue([&session] { quillon::editor_ui::saveWorkAfterCrash(*session); });
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc > 1) {
        session->startPath = quillon::narrow(argv[1]);
    }
    LocalFree(argv);
    return quillon::editor_ui::run(*session, instance);
}
