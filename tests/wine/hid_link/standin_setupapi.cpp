// Test-only stand-in of the system's device-interface enumeration: the HID
// class lists the interfaces of standin_interfaces.h. Loaded beside a program
// under Wine with WINEDLLOVERRIDES="hid,setupapi=n,b"; never installed.
#include <windows.h>

#include <setupapi.h>

#include <cstddef>
#include <cstring>

#include "standin_interfaces.h"

namespace {

HDEVINFO const kList = reinterpret_cast<HDEVINFO>(static_cast<uintptr_t>(0x51D0));

} // namespace

extern "C" {

HDEVINFO WINAPI standin_SetupDiGetClassDevsA(const GUID*, PCSTR, HWND, DWORD) { return kList; }

BOOL WINAPI standin_SetupDiEnumDeviceInterfaces(HDEVINFO list, PSP_DEVINFO_DATA, const GUID* guid, DWORD index,
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

BOOL WINAPI standin_SetupDiGetDeviceInterfaceDetailA(HDEVINFO list, PSP_DEVICE_INTERFACE_DATA data,
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

BOOL WINAPI standin_SetupDiDestroyDeviceInfoList(HDEVINFO list) { return list == kList; }

} // extern "C"
