// COM ports on Windows.
#include "device/system_transports.h"

#include <windows.h>

namespace quillon {

namespace {

std::string systemMessage(const char* call, DWORD code) {
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    return std::string(call) + ": " + text;
}

class WinSerialPort final : public Transport {
public:
    explicit WinSerialPort(HANDLE handle) : handle_(handle) {}
    ~WinSerialPort() override { close(); }

    LinkKind kind() const override { return LinkKind::Serial; }

    bool writeBytes(const uint8_t* bytes, size_t count) override {
        while (count > 0) {
            DWORD written = 0;
            if (!WriteFile(handle_, bytes, static_cast<DWORD>(count), &written, nullptr)) {
                error_ = systemMessage("WriteFile", GetLastError());
                return false;
            }
            if (written == 0) {
                error_ = "WriteFile: nothing written";
                return false;
            }
            bytes += written;
            count -= written;
        }
        return true;
    }

    ByteRead readByte(uint8_t& byte) override {
        DWORD got = 0;
        if (!ReadFile(handle_, &byte, 1, &got, nullptr)) {
            error_ = systemMessage("ReadFile", GetLastError());
            return ByteRead::Failed;
        }
        return got == 1 ? ByteRead::Byte : ByteRead::TimedOut;
    }

    void close() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

    std::string lastSystemError() const override { return error_; }

private:
    HANDLE handle_;
    std::string error_;
};

} // namespace

std::unique_ptr<Transport> openSerialPortTransport(const std::string& name) {
    HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    // 9600 8N1; the port's other settings stay as the system reports them.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(handle, &dcb);
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    SetCommState(handle, &dcb);
    // A one-byte read returns within a few milliseconds, with or without a byte.
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(handle, &timeouts);
    timeouts.ReadIntervalTimeout = 5;
    timeouts.ReadTotalTimeoutMultiplier = 1;
    timeouts.ReadTotalTimeoutConstant = 5;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    SetCommTimeouts(handle, &timeouts);
    return std::make_unique<WinSerialPort>(handle);
}

} // namespace quillon
