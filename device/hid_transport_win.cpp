// The machine's HID command interface on Windows: enumeration through the
// device-interface list of the HID class, and a transport with a write handle
// for output reports and an overlapped read handle for input reports.
#include "device/system_transports.h"

#include <windows.h>

#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

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

class WinHidTransport final : public Transport {
public:
    WinHidTransport(HANDLE writeHandle, HANDLE readHandle) : write_(writeHandle), read_(readHandle) {}
    ~WinHidTransport() override { close(); }

    LinkKind kind() const override { return LinkKind::Hid; }

    bool setOutputReport(const uint8_t* report) override {
        if (HidD_SetOutputReport(write_, const_cast<uint8_t*>(report), 65)) {
            return true;
        }
        lastError_ = GetLastError();
        return false;
    }

    bool getInputReport(uint8_t* report) override {
        if (HidD_GetInputReport(read_, report, 65)) {
            return true;
        }
        lastError_ = GetLastError();
        return false;
    }

    void close() override {
        for (HANDLE* h : {&read_, &write_}) {
            if (*h != INVALID_HANDLE_VALUE) {
                CloseHandle(*h);
                *h = INVALID_HANDLE_VALUE;
            }
        }
    }

    std::string lastSystemError() const override {
        char text[256] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, lastError_, 0, text,
                       sizeof text, nullptr);
        return std::string("HidD report: ") + text;
    }

private:
    HANDLE write_;
    HANDLE read_;
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
