// What a program leaves when it crashes. Each program's wWinMain first calls
// installCrashReport: from then on an unhandled exception (or an uncaught C++
// exception) writes a minidump and a short text (version, program, time,
// exception code) into the user's data folder, lets the program save what it
// can of the user's work, and says "프로그램에 문제가 생겨 종료합니다." with the
// dump's path before the process ends with the exception code.
//
// The report is written from a thread of its own (a fault from running out of
// stack leaves none to the faulting thread), and the program's save runs on
// the thread the program was started on while every other thread waits: from
// a fresh thread when that is the one that faulted, else inside that thread's
// message loop. A save that faults or takes over 15 seconds is given up; the
// report is already written.
//
// Test switches (not for users): the argument "--crash-test" faults at once,
// before the program has started; the environment variable
// QUILLON_CRASH_TEST faults on a thread of its own once the program is
// running: that many milliseconds later when it is a number, else as soon as
// the file it names exists. Both are access violations.
#pragma once

#include <functional>
#include <string>

namespace quillon::winui {

constexpr const char* kCrashSentence = "프로그램에 문제가 생겨 종료합니다.";

// `program` names the program in the report and its file names
// ("analyzer-runner"); it must outlive the process (a literal).
void installCrashReport(const char* program);

// The folder reports go to: %LOCALAPPDATA%\Quillon\Crash reports, or the
// program's own folder when there is no LOCALAPPDATA.
std::string crashReportFolder();

// While alive, `save` is what the program saves of the user's work after a
// crash (the editor's autosave, control-panel's recovery copies). One at a time.
class CrashRescue {
public:
    explicit CrashRescue(std::function<void()> save);
    ~CrashRescue();
    CrashRescue(const CrashRescue&) = delete;
    CrashRescue& operator=(const CrashRescue&) = delete;
};

} // namespace quillon::winui
