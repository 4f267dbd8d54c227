// Test-only stand-in of the system's HID library, for running a program's
// real HID code under Wine against machine-sim. Loaded beside the program
// with WINEDLLOVERRIDES="hid=n,b"; never installed. It also answers the
// program's own device-interface enumeration (its setupapi imports are
// pointed here when this library loads): the HID class lists the interfaces
// of standin_interfaces.h.
//
// The interfaces of standin_interfaces.h are opened through the program's own
// CreateFileA (its import is pointed here when this library loads): a query
// or write open gives an event handle the library recognises, a read open the
// client end of a fresh named pipe, so that the program's overlapped ReadFile,
// its bounded wait and CancelIoEx work as on Windows. The machine's interface
// is carried to machine-sim's HID socket (127.0.0.1, port in
// QUILLON_HID_BRIDGE_PORT): output reports go there at once; a thread per read
// handle asks it for input reports and writes each real one into the pipe, as
// the system queues the reports of a device's interrupt pipe. When machine-sim
// says the machine is unplugged the program's ReadFile (its import is pointed
// here too) fails on that handle.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "standin_interfaces.h"

namespace {

constexpr DWORD kReportSize = 65;
constexpr uintptr_t kPreparsedBase = 0x7A000;

using CreateFileAFunction = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
CreateFileAFunction realCreateFileA = nullptr;

enum class Role { Query, Write, Read };

struct Opened {
    HANDLE handle = nullptr;
    unsigned iface = 0;
    Role role = Role::Query;
    HANDLE server = INVALID_HANDLE_VALUE; // Read: the pipe end the feeder writes
};

constexpr int kMaxOpened = 64;
Opened opened[kMaxOpened];
int openedCount = 0;
CRITICAL_SECTION tableLock;
CRITICAL_SECTION machineLock;
SOCKET machine = INVALID_SOCKET;
LONG pipeCounter = 0;
volatile LONG machineGone = 0; // machine-sim said the machine is unplugged

using ReadFileFunction = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
ReadFileFunction realReadFile = nullptr;

bool findOpened(HANDLE handle, Opened& out) {
    EnterCriticalSection(&tableLock);
    bool found = false;
    for (int i = openedCount - 1; i >= 0; --i) {
        if (opened[i].handle == handle) {
            out = opened[i];
            found = true;
            break;
        }
    }
    LeaveCriticalSection(&tableLock);
    return found;
}

void remember(const Opened& entry) {
    EnterCriticalSection(&tableLock);
    if (openedCount < kMaxOpened) {
        opened[openedCount++] = entry;
    }
    LeaveCriticalSection(&tableLock);
}

// ---- machine-sim ----------------------------------------------------------------

bool connectMachine() {
    if (machine != INVALID_SOCKET) {
        return true;
    }
    char port[16] = {};
    if (GetEnvironmentVariableA("QUILLON_HID_BRIDGE_PORT", port, sizeof port) == 0) {
        return false;
    }
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        return false;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return false;
    }
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    machine = s;
    return true;
}

bool sendAll(const uint8_t* bytes, int count) {
    while (count > 0) {
        const int n = send(machine, reinterpret_cast<const char*>(bytes), count, 0);
        if (n <= 0) return false;
        bytes += n;
        count -= n;
    }
    return true;
}

bool receiveAll(uint8_t* bytes, int count) {
    while (count > 0) {
        const int n = recv(machine, reinterpret_cast<char*>(bytes), count, 0);
        if (n <= 0) return false;
        bytes += n;
        count -= n;
    }
    return true;
}

void dropMachine() {
    if (machine != INVALID_SOCKET) {
        closesocket(machine);
        machine = INVALID_SOCKET;
    }
}

// 'S': true when the machine took the report.
bool machineOutput(const uint8_t* report) {
    EnterCriticalSection(&machineLock);
    uint8_t request[1 + kReportSize];
    request[0] = 'S';
    std::memcpy(request + 1, report, kReportSize);
    uint8_t taken = 0;
    const bool ok = connectMachine() && sendAll(request, sizeof request) && receiveAll(&taken, 1);
    if (!ok) {
        dropMachine();
    }
    LeaveCriticalSection(&machineLock);
    return ok && taken == 1;
}

enum class Input { Report, Nothing, Gone };

// 'G': the machine's next input report, if it has one.
Input machineInput(uint8_t* report) {
    EnterCriticalSection(&machineLock);
    uint8_t request = 'G';
    uint8_t status = 0;
    bool ok = connectMachine() && sendAll(&request, 1) && receiveAll(&status, 1);
    if (ok && status == 1) {
        ok = receiveAll(report, kReportSize);
    }
    if (!ok) {
        dropMachine();
    }
    LeaveCriticalSection(&machineLock);
    if (!ok || status == 0) {
        return Input::Gone;
    }
    return status == 1 ? Input::Report : Input::Nothing;
}

// The machine's interrupt pipe: real reports go into the read handle's pipe.
DWORD WINAPI feedReports(void* parameter) {
    const HANDLE server = static_cast<HANDLE>(parameter);
    uint8_t report[kReportSize];
    for (;;) {
        const Input got = machineInput(report);
        if (got == Input::Gone) {
            // Unplugged: the program's reads fail from now on. The pipe stays
            // open until the program closes its handle (a read pending on it
            // ends by the program's own wait and cancellation).
            InterlockedExchange(&machineGone, 1);
            DWORD available = 0;
            while (PeekNamedPipe(server, nullptr, 0, nullptr, &available, nullptr)) {
                Sleep(20);
            }
            break;
        }
        if (got == Input::Nothing) {
            Sleep(1);
            continue;
        }
        DWORD written = 0;
        if (!WriteFile(server, report, kReportSize, &written, nullptr)) {
            break; // the program closed its read handle
        }
    }
    DisconnectNamedPipe(server);
    CloseHandle(server);
    return 0;
}

// ---- the program's CreateFileA ------------------------------------------------------

int interfaceOf(LPCSTR path) {
    if (path == nullptr) return -1;
    for (unsigned i = 0; i < kStandinInterfaceCount; ++i) {
        if (_stricmp(path, kStandinInterfaces[i].path) == 0) return static_cast<int>(i);
    }
    return -1;
}

HANDLE WINAPI standinCreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE templateFile) {
    const int index = interfaceOf(path);
    if (index < 0) {
        return realCreateFileA(path, access, share, security, disposition, flags, templateFile);
    }
    const StandinInterface& iface = kStandinInterfaces[index];
    Opened entry;
    entry.iface = static_cast<unsigned>(index);
    if (access != 0 && !iface.opens) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }
    if (access & GENERIC_READ) {
        char name[96];
        std::snprintf(name, sizeof name, "\\\\.\\pipe\\quillon-hid-standin-%lu-%ld",
                      static_cast<unsigned long>(GetCurrentProcessId()), InterlockedIncrement(&pipeCounter));
        HANDLE server = CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                         1, 64 * 1024, 64 * 1024, 0, nullptr);
        if (server == INVALID_HANDLE_VALUE) {
            return INVALID_HANDLE_VALUE;
        }
        HANDLE client = realCreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, flags & FILE_FLAG_OVERLAPPED,
                                        nullptr);
        if (client == INVALID_HANDLE_VALUE) {
            CloseHandle(server);
            return INVALID_HANDLE_VALUE;
        }
        ConnectNamedPipe(server, nullptr); // the client is connected already
        entry.handle = client;
        entry.role = Role::Read;
        entry.server = server;
        remember(entry);
        HANDLE thread = iface.isMachine ? CreateThread(nullptr, 0, feedReports, server, 0, nullptr) : nullptr;
        if (thread != nullptr) {
            CloseHandle(thread);
        }
        return client;
    }
    entry.handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    entry.role = access == 0 ? Role::Query : Role::Write;
    remember(entry);
    return entry.handle;
}

// ---- the device-interface list ---------------------------------------------------

HDEVINFO const kList = reinterpret_cast<HDEVINFO>(static_cast<uintptr_t>(0x51D0));

HDEVINFO WINAPI standinSetupDiGetClassDevsA(const GUID*, PCSTR, HWND, DWORD) { return kList; }

BOOL WINAPI standinSetupDiEnumDeviceInterfaces(HDEVINFO list, PSP_DEVINFO_DATA, const GUID* guid, DWORD index,
                                                PSP_DEVICE_INTERFACE_DATA data) {
    if (list != kList || data == nullptr || index >= kStandinInterfaceCount) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    if (guid != nullptr) {
        data->InterfaceClassGuid = *guid;
    }
    data->Flags = SPINT_ACTIVE;
    data->Reserved = static_cast<ULONG_PTR>(index);
    return TRUE;
}

BOOL WINAPI standinSetupDiGetDeviceInterfaceDetailA(HDEVINFO list, PSP_DEVICE_INTERFACE_DATA data,
                                                     PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD size,
                                                     PDWORD required, PSP_DEVINFO_DATA) {
    if (list != kList || data == nullptr || data->Reserved >= kStandinInterfaceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const char* path = kStandinInterfaces[data->Reserved].path;
    const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) +
                                            std::strlen(path) + 1);
    if (required != nullptr) {
        *required = needed;
    }
    if (detail == nullptr || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(detail->DevicePath, path, std::strlen(path) + 1);
    return TRUE;
}

BOOL WINAPI standinSetupDiDestroyDeviceInfoList(HDEVINFO list) { return list == kList; }

// The program's ReadFile: a read of the machine's interface fails once the
// machine is unplugged, as the system's does for a removed device.
BOOL WINAPI standinReadFile(HANDLE handle, LPVOID buffer, DWORD size, LPDWORD got, LPOVERLAPPED overlapped) {
    Opened entry;
    if (machineGone && findOpened(handle, entry) && entry.role == Role::Read &&
        kStandinInterfaces[entry.iface].isMachine) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return FALSE;
    }
    return realReadFile(handle, buffer, size, got, overlapped);
}

// Points the program's import `function` of `library` at `replacement`;
// returns what the import pointed at (null when the program has none).
void* hookImport(const char* library, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    void* original = nullptr;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), library) != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk
                                                                                          : d->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) {
                continue;
            }
            original = reinterpret_cast<void*>(slots->u1.Function);
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        }
    }
    return original;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        InitializeCriticalSection(&tableLock);
        InitializeCriticalSection(&machineLock);
        realCreateFileA = &CreateFileA;
        if (void* original = hookImport("kernel32.dll", "CreateFileA", reinterpret_cast<void*>(&standinCreateFileA))) {
            realCreateFileA = reinterpret_cast<CreateFileAFunction>(original);
        }
        realReadFile = &ReadFile;
        if (void* original = hookImport("kernel32.dll", "ReadFile", reinterpret_cast<void*>(&standinReadFile))) {
            realReadFile = reinterpret_cast<ReadFileFunction>(original);
        }
        // The device-interface enumeration: only the program's own calls.
        // (The system's setupapi stays for everyone else: Wine's display code
        // loads it too.)
        hookImport("setupapi.dll", "SetupDiGetClassDevsA", reinterpret_cast<void*>(&standinSetupDiGetClassDevsA));
        hookImport("setupapi.dll", "SetupDiEnumDeviceInterfaces",
                   reinterpret_cast<void*>(&standinSetupDiEnumDeviceInterfaces));
        hookImport("setupapi.dll", "SetupDiGetDeviceInterfaceDetailA",
                   reinterpret_cast<void*>(&standinSetupDiGetDeviceInterfaceDetailA));
        hookImport("setupapi.dll", "SetupDiDestroyDeviceInfoList",
                   reinterpret_cast<void*>(&standinSetupDiDestroyDeviceInfoList));
    }
    return TRUE;
}

void WINAPI standin_HidD_GetHidGuid(LPGUID guid) {
    static const GUID kHid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    *guid = kHid;
}

BOOLEAN WINAPI standin_HidD_GetAttributes(HANDLE handle, PHIDD_ATTRIBUTES attributes) {
    Opened entry;
    if (!findOpened(handle, entry) || attributes == nullptr) {
        return FALSE;
    }
    attributes->VendorID = 0x5151;
    attributes->ProductID = 0x0001;
    attributes->VersionNumber = 0x0100;
    return TRUE;
}

BOOLEAN WINAPI standin_HidD_GetPreparsedData(HANDLE handle, PHIDP_PREPARSED_DATA* data) {
    Opened entry;
    if (!findOpened(handle, entry) || data == nullptr) {
        return FALSE;
    }
    *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(kPreparsedBase + entry.iface);
    return TRUE;
}

BOOLEAN WINAPI standin_HidD_FreePreparsedData(PHIDP_PREPARSED_DATA) { return TRUE; }

NTSTATUS WINAPI standin_HidP_GetCaps(PHIDP_PREPARSED_DATA data, PHIDP_CAPS caps) {
    const uintptr_t index = reinterpret_cast<uintptr_t>(data) - kPreparsedBase;
    if (index >= kStandinInterfaceCount || caps == nullptr) {
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    }
    const StandinInterface& iface = kStandinInterfaces[index];
    std::memset(caps, 0, sizeof *caps);
    caps->UsagePage = iface.usagePage;
    caps->Usage = iface.usage;
    caps->InputReportByteLength = iface.inputLength;
    caps->OutputReportByteLength = iface.outputLength;
    return HIDP_STATUS_SUCCESS;
}

BOOLEAN WINAPI standin_HidD_SetOutputReport(HANDLE handle, PVOID buffer, ULONG length) {
    Opened entry;
    if (!findOpened(handle, entry) || entry.role != Role::Write || length != kReportSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!kStandinInterfaces[entry.iface].isMachine || !machineOutput(static_cast<const uint8_t*>(buffer))) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return FALSE;
    }
    return TRUE;
}

BOOLEAN WINAPI standin_HidD_GetInputReport(HANDLE handle, PVOID buffer, ULONG length) {
    Opened entry;
    if (!findOpened(handle, entry) || length != kReportSize || !kStandinInterfaces[entry.iface].isMachine) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* report = static_cast<uint8_t*>(buffer);
    switch (machineInput(report)) {
    case Input::Report:
        return TRUE;
    case Input::Nothing:
        std::memset(report, 0, kReportSize);
        report[0] = 4;
        report[1] = 0xFF;
        return TRUE;
    case Input::Gone:
        break;
    }
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return FALSE;
}

// Drops the reports queued for a read handle.
BOOLEAN WINAPI standin_HidD_FlushQueue(HANDLE handle) {
    Opened entry;
    if (!findOpened(handle, entry) || entry.role != Role::Read) {
        return FALSE;
    }
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) || available == 0) {
            break;
        }
        uint8_t buffer[4096];
        OVERLAPPED request{};
        request.hEvent = done;
        DWORD got = 0;
        const DWORD take = available < sizeof buffer ? available : static_cast<DWORD>(sizeof buffer);
        if (!ReadFile(handle, buffer, take, nullptr, &request) && GetLastError() != ERROR_IO_PENDING) {
            break;
        }
        if (!GetOverlappedResult(handle, &request, &got, TRUE) || got == 0) {
            break;
        }
    }
    CloseHandle(done);
    return TRUE;
}

} // extern "C"
