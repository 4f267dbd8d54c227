// The machine's HID command interface on Windows: enumeration through the
// device-interface list of the HID class, and a transport with a write handle
// for output reports and an overlapped read handle for input reports (read
// with a request, a bounded wait and cancellation).
#include "device/system_transports.h"

#include <windows.h>

#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <cstring>
#include <vector>

namespace quillon {

namespace {

// Capabilities of one interface, read through a query-only handle.
bool describeInterface(const char* path, HidInterfaceInfo& info) {
    HANDLE query = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (query == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = false;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (HidD_GetAttributes(query, &attributes)) {
        info.vendorId = attributes.VendorID;
        info.productId = attributes.ProductID;
    }
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (HidD_GetPreparsedData(query, &preparsed)) {
        HIDP_CAPS caps{};
        if (HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS) {
            info.usagePage = caps.UsagePage;
            info.usage = caps.Usage;
            info.inputReportLength = caps.InputReportByteLength;
            info.outputReportLength = caps.OutputReportByteLength;
            ok = true;
        }
        HidD_FreePreparsedData(preparsed);
    }
    CloseHandle(query);
    return ok;
}

// How long one input report is waited for. The machine answers a command
// within a few milliseconds; a read that finds nothing in this time is
// cancelled and counts as one failed try of the caller's retry loop, so no
// thread waits for ever on a machine that stopped answering.
constexpr DWORD kInputReportWaitMs = 10;

class WinHidTransport final : public Transport {
public:
    WinHidTransport(HANDLE writeHandle, HANDLE readHandle)
        : write_(writeHandle), read_(readHandle), readDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~WinHidTransport() override { close(); }

    LinkKind kind() const override { return LinkKind::Hid; }

    bool setOutputReport(const uint8_t* report) override {
        // A report that came after its read gave up would be taken for the
        // answer to this command: the answer to a command is what follows it.
        HidD_FlushQueue(read_);
        if (HidD_SetOutputReport(write_, const_cast<uint8_t*>(report), kReportSize)) {
            return true;
        }
        lastError_ = GetLastError();
        return false;
    }

    bool getInputReport(uint8_t* report) override { return readInputReport(report) == ReportRead::Report; }

    // One input report through the overlapped read handle: a read request,
    // a bounded wait, and the request cancelled when nothing came.
    ReportRead readInputReport(uint8_t* report) override {
        if (read_ == INVALID_HANDLE_VALUE || readDone_ == nullptr) {
            return ReportRead::Failed;
        }
        uint8_t buffer[kReportSize] = {};
        OVERLAPPED request{};
        request.hEvent = readDone_;
        ResetEvent(readDone_);
        if (!ReadFile(read_, buffer, kReportSize, nullptr, &request)) {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING) {
                lastError_ = error;
                return ReportRead::Failed;
            }
            if (WaitForSingleObject(readDone_, kInputReportWaitMs) != WAIT_OBJECT_0) {
                CancelIoEx(read_, &request);
            }
        }
        // Completed, or cancelled: the request is over once this returns (a
        // report that arrived just before the cancellation is kept).
        DWORD got = 0;
        if (!GetOverlappedResult(read_, &request, &got, TRUE)) {
            const DWORD error = GetLastError();
            if (error == ERROR_OPERATION_ABORTED) {
                return ReportRead::TimedOut;
            }
            lastError_ = error;
            return ReportRead::Failed;
        }
        if (got == 0) {
            return ReportRead::TimedOut;
        }
        std::memcpy(report, buffer, kReportSize);
        return ReportRead::Report;
    }

    void close() override {
        for (HANDLE* h : {&read_, &write_}) {
            if (*h != INVALID_HANDLE_VALUE) {
                CloseHandle(*h);
                *h = INVALID_HANDLE_VALUE;
            }
        }
        if (readDone_ != nullptr) {
            CloseHandle(readDone_);
            readDone_ = nullptr;
        }
    }

    std::string lastSystemError() const override {
        char text[256] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, lastError_, 0, text,
                       sizeof text, nullptr);
        return std::string("HID report: ") + text;
    }

private:
    static constexpr ULONG kReportSize = 65;
    HANDLE write_;
    HANDLE read_;
    HANDLE readDone_;
    DWORD lastError_ = 0;
};

} // namespace

std::vector<HidInterfaceInfo> enumerateHidInterfaces() {
    std::vector<HidInterfaceInfo> found;
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    HDEVINFO list = SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE) {
        return found;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        if (!SetupDiEnumDeviceInterfaces(list, nullptr, &hidGuid, index, &interfaceData)) {
            break;
        }
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) || required > 64 * 1024) {
            continue;
        }
        std::vector<uint8_t> buffer(required);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, detail, required, nullptr, nullptr)) {
            continue;
        }
        HidInterfaceInfo info;
        info.path = detail->DevicePath;
        if (describeInterface(detail->DevicePath, info)) {
            found.push_back(info);
        }
    }
    SetupDiDestroyDeviceInfoList(list);
    return found;
}

std::unique_ptr<Transport> openHidInterfaceTransport(const HidInterfaceInfo& info) {
    HANDLE writeHandle = CreateFileA(info.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    if (writeHandle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    HANDLE readHandle = CreateFileA(info.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (readHandle == INVALID_HANDLE_VALUE) {
        CloseHandle(writeHandle);
        return nullptr;
    }
    return std::make_unique<WinHidTransport>(writeHandle, readHandle);
}

} // namespace quillon
