#include "winui/crash_report.h"

#include <windows.h>
#include <dbghelp.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>

#include "base/path.h"
#include "base/program_folder.h"
#include "base/user_folders.h"
#include "base/wide_text.h"
#include "quillon_version.h"

namespace quillon::winui {

namespace {

// An uncaught C++ exception, raised as a Windows exception so that it takes
// the same way (the code is in the range Windows leaves to programs).
constexpr DWORD kUncaughtCppException = 0xE0517501;
constexpr DWORD kRescueTimeoutMs = 15000;
constexpr UINT kRescueMessage = WM_APP + 1;

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

// Everything the crash path needs is made ready at start-up: after a fault
// the heap may be what broke, so the path allocates nothing it can avoid.
const char* g_program = "program";
wchar_t g_programWide[64] = L"program";
wchar_t g_folder[MAX_PATH];
MiniDumpWriteDumpFn g_writeDump = nullptr;
DWORD g_mainThread = 0;
HWND g_rescueWindow = nullptr;
std::function<void()>* g_rescue = nullptr;
volatile LONG g_crashing = 0;
volatile DWORD g_rescueThread = 0;

struct Crash {
    EXCEPTION_POINTERS* info;
    DWORD thread;
};

const char* exceptionName(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
        return "access violation";
    case EXCEPTION_STACK_OVERFLOW:
        return "stack overflow";
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
        return "integer division by zero";
    case EXCEPTION_ILLEGAL_INSTRUCTION:
        return "illegal instruction";
    case EXCEPTION_IN_PAGE_ERROR:
        return "in-page error";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        return "array bounds exceeded";
    case EXCEPTION_PRIV_INSTRUCTION:
        return "privileged instruction";
    case kUncaughtCppException:
        return "uncaught C++ exception";
    default:
        return "exception";
    }
}

bool writeAll(HANDLE file, const char* text) {
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::strlen(text));
    return WriteFile(file, text, size, &written, nullptr) && written == size;
}

void ensureFolder(const wchar_t* folder) {
    if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) {
        SHCreateDirectoryExW(nullptr, folder, nullptr);
    }
}

DWORD WINAPI rescueThread(void*) {
    g_rescueThread = GetCurrentThreadId();
    (*g_rescue)();
    return 0;
}

LRESULT CALLBACK rescueWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRescueMessage) {
        if (g_rescue) {
            (*g_rescue)();
        }
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The program's save, on the thread it was started on: a fresh thread stands
// in for it when it is the one that faulted (it waits in the crash path, so
// nothing else touches the work meanwhile); otherwise the save is sent into
// its message loop. Returns what became of it, for the report.
const char* rescueWork(DWORD faultingThread) {
    if (!g_rescue) {
        return "the program has no save";
    }
    if (faultingThread == g_mainThread) {
        HANDLE thread = CreateThread(nullptr, 0, rescueThread, nullptr, 0, nullptr);
        if (!thread) {
            return "the program's save could not start";
        }
        const DWORD waited = WaitForSingleObject(thread, kRescueTimeoutMs);
        DWORD code = 1;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        return waited == WAIT_OBJECT_0 && code == 0 ? "the program's save ran" : "the program's save was given up";
    }
    DWORD_PTR result = 0;
    if (g_rescueWindow && SendMessageTimeoutW(g_rescueWindow, kRescueMessage, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                                              kRescueTimeoutMs, &result) &&
        result == 1) {
        return "the program's save ran";
    }
    return "the program's save was given up";
}

DWORD WINAPI reportThread(void* parameter) {
    const Crash& crash = *static_cast<const Crash*>(parameter);
    const EXCEPTION_RECORD& record = *crash.info->ExceptionRecord;

    SYSTEMTIME now;
    GetLocalTime(&now);
    ensureFolder(g_folder);
    wchar_t base[MAX_PATH + 64];
    std::swprintf(base, sizeof base / sizeof base[0], L"%ls\\%ls-%04u%02u%02u-%02u%02u%02u-%lu", g_folder, g_programWide,
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, GetCurrentProcessId());
    wchar_t dumpPath[MAX_PATH + 80], textPath[MAX_PATH + 80];
    std::swprintf(dumpPath, sizeof dumpPath / sizeof dumpPath[0], L"%ls.dmp", base);
    std::swprintf(textPath, sizeof textPath / sizeof textPath[0], L"%ls.txt", base);

    bool dumped = false;
    DWORD dumpError = 0;
    HANDLE dump = CreateFileW(dumpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD dumpStart = GetTickCount();
    if (dump != INVALID_HANDLE_VALUE && g_writeDump) {
        MINIDUMP_EXCEPTION_INFORMATION exception{crash.thread, crash.info, FALSE};
        dumped = g_writeDump(GetCurrentProcess(), GetCurrentProcessId(), dump, MiniDumpNormal, &exception, nullptr,
                             nullptr);
        dumpError = dumped ? 0 : GetLastError();
    } else {
        dumpError = dump == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_PROC_NOT_FOUND;
    }
    if (dump != INVALID_HANDLE_VALUE) {
        CloseHandle(dump);
    }
    const DWORD dumpMs = GetTickCount() - dumpStart;

    // The address as a module and an offset, which stays meaningful across runs.
    char where[MAX_PATH + 64] = "unknown";
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCWSTR>(record.ExceptionAddress), &module)) {
        char name[MAX_PATH] = "";
        GetModuleFileNameA(module, name, MAX_PATH);
        const char* shortName = std::strrchr(name, '\\') ? std::strrchr(name, '\\') + 1 : name;
        std::snprintf(where, sizeof where, "%s+0x%llx", shortName,
                      static_cast<unsigned long long>(static_cast<const char*>(record.ExceptionAddress) -
                                                      reinterpret_cast<const char*>(module)));
    }
    char access[96] = "";
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
        const ULONG_PTR kind = record.ExceptionInformation[0];
        std::snprintf(access, sizeof access, "access: %s at 0x%llx\r\n",
                      kind == 0   ? "read"
                      : kind == 1 ? "write"
                                  : "execution",
                      static_cast<unsigned long long>(record.ExceptionInformation[1]));
    }
    char text[2048];
    std::snprintf(text, sizeof text,
                  "%s crash report\r\n"
                  "program: %s\r\n"
                  "version: %s\r\n"
                  "time: %04u-%02u-%02u %02u:%02u:%02u (local)\r\n"
                  "exception: 0x%08lX (%s)\r\n"
                  "address: 0x%llx (%s)\r\n"
                  "%s"
                  "thread: %lu%s\r\n"
                  "dump: %s (error %lu, %lu ms)\r\n",
                  QUILLON_PRODUCT_NAME, g_program, QUILLON_VERSION_TEXT, now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, static_cast<unsigned long>(record.ExceptionCode),
                  exceptionName(record.ExceptionCode),
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(record.ExceptionAddress)), where,
                  access, static_cast<unsigned long>(crash.thread),
                  crash.thread == g_mainThread ? " (the program's main thread)" : "",
                  dumped ? "written" : "not written", static_cast<unsigned long>(dumpError),
                  static_cast<unsigned long>(dumpMs));
    HANDLE textFile = CreateFileW(textPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (textFile != INVALID_HANDLE_VALUE) {
        writeAll(textFile, text);
        FlushFileBuffers(textFile);
        // The save comes after the report, which is then complete even if the
        // save never returns; its outcome is added when it does.
        char line[64];
        std::snprintf(line, sizeof line, "user's work: %s\r\n", rescueWork(crash.thread));
        writeAll(textFile, line);
        CloseHandle(textFile);
    } else {
        rescueWork(crash.thread);
    }

    wchar_t sentence[128];
    MultiByteToWideChar(CP_UTF8, 0, kCrashSentence, -1, sentence, 128);
    wchar_t message[MAX_PATH + 256];
    std::swprintf(message, sizeof message / sizeof message[0], L"%ls\n\n%ls", sentence,
                  dumped ? dumpPath : textPath);
    wchar_t caption[16];
    MultiByteToWideChar(CP_UTF8, 0, "오류", -1, caption, 16);
    MessageBoxW(nullptr, message, caption, MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
    return 0;
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* info) {
    if (InterlockedExchange(&g_crashing, 1) != 0) {
        // A second fault while the first is reported: the save faulted (its
        // thread ends, the report goes on), or another thread did (it waits
        // for the process to end).
        if (GetCurrentThreadId() == g_rescueThread) {
            ExitThread(1);
        }
        Sleep(INFINITE);
    }
    Crash crash{info, GetCurrentThreadId()};
    HANDLE reporter = CreateThread(nullptr, 256 * 1024, reportThread, &crash, 0, nullptr);
    if (reporter) {
        WaitForSingleObject(reporter, INFINITE);
    } else {
        reportThread(&crash);
    }
    TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void onTerminate() {
    RaiseException(kUncaughtCppException, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    std::abort();
}

// The test switches' fault: a write through a pointer the compiler cannot
// see is null.
void accessViolation() {
    static int* volatile nowhere = nullptr;
    *nowhere = 1;
}

// Faults after the delay, or once the file named (a path, not a number) exists.
DWORD WINAPI delayedFault(void* parameter) {
    const wchar_t* when = static_cast<const wchar_t*>(parameter);
    if (*when >= L'0' && *when <= L'9') {
        Sleep(static_cast<DWORD>(std::wcstoul(when, nullptr, 10)));
    } else {
        while (GetFileAttributesW(when) == INVALID_FILE_ATTRIBUTES) {
            Sleep(100);
        }
    }
    accessViolation();
    return 0;
}

bool hasCrashTestArgument() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool found = false;
    for (int i = 1; argv && i < argc; ++i) {
        found = found || std::wcscmp(argv[i], L"--crash-test") == 0;
    }
    LocalFree(argv);
    return found;
}

} // namespace

std::string crashReportFolder() { return joinPath(userDataFolder(programFolder()), "Crash reports"); }

void installCrashReport(const char* program) {
    g_program = program;
    MultiByteToWideChar(CP_UTF8, 0, program, -1, g_programWide, 63);
    g_mainThread = GetCurrentThreadId();
    const std::wstring folder = widen(crashReportFolder());
    std::wcsncpy(g_folder, folder.c_str(), MAX_PATH - 1);
    if (HMODULE dbghelp = LoadLibraryW(L"dbghelp.dll")) {
        g_writeDump = reinterpret_cast<MiniDumpWriteDumpFn>(
            reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")));
        // The symbol handler made ready now, loading no module's symbols: a
        // dump writer that has to start it itself (Wine's does) reads the
        // symbols of every module loaded, which takes it half a minute.
        using SymSetOptionsFn = DWORD(WINAPI*)(DWORD);
        using SymInitializeFn = BOOL(WINAPI*)(HANDLE, PCWSTR, BOOL);
        const auto setOptions =
            reinterpret_cast<SymSetOptionsFn>(reinterpret_cast<void*>(GetProcAddress(dbghelp, "SymSetOptions")));
        const auto initialize =
            reinterpret_cast<SymInitializeFn>(reinterpret_cast<void*>(GetProcAddress(dbghelp, "SymInitializeW")));
        if (setOptions && initialize) {
            setOptions(SYMOPT_DEFERRED_LOADS | SYMOPT_FAIL_CRITICAL_ERRORS);
            initialize(GetCurrentProcess(), nullptr, FALSE);
        }
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = rescueWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuillonCrashRescue";
    RegisterClassW(&windowClass);
    g_rescueWindow = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     windowClass.hInstance, nullptr);
    SetUnhandledExceptionFilter(onUnhandledException);
    std::set_terminate(onTerminate);

    if (hasCrashTestArgument()) {
        accessViolation();
    }
    if (const wchar_t* when = _wgetenv(L"QUILLON_CRASH_TEST"); when && *when) {
        static std::wstring kept = when;
        if (HANDLE thread = CreateThread(nullptr, 0, delayedFault, kept.data(), 0, nullptr)) {
            CloseHandle(thread);
        }
    }
}

CrashRescue::CrashRescue(std::function<void()> save) { g_rescue = new std::function<void()>(std::move(save)); }

CrashRescue::~CrashRescue() {
    std::function<void()>* rescue = g_rescue;
    g_rescue = nullptr;
    delete rescue;
}

} // namespace quillon::winui
