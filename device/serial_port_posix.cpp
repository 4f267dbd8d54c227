// Serial ports on Linux: device files such as a machine-sim pseudo-terminal.
// Windows port names ("COM1:") do not exist here and never open.
#include "device/system_transports.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace quillon {

namespace {

// One read waits at most this long, like the Windows port's read time-outs
// for one byte (total constant 5 ms + multiplier 1 ms).
constexpr int kReadTimeoutMs = 6;

class PosixSerialPort final : public Transport {
public:
    explicit PosixSerialPort(int fd) : fd_(fd) {}
    ~PosixSerialPort() override { close(); }

    LinkKind kind() const override { return LinkKind::Serial; }

    bool writeBytes(const uint8_t* bytes, size_t count) override {
        while (count > 0) {
            const ssize_t n = ::write(fd_, bytes, count);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                error_ = std::string("write: ") + std::strerror(errno);
                return false;
            }
            bytes += n;
            count -= static_cast<size_t>(n);
        }
        return true;
    }

    ByteRead readByte(uint8_t& byte) override {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, kReadTimeoutMs);
        if (ready < 0) {
            return errno == EINTR ? ByteRead::TimedOut : ByteRead::Failed;
        }
        if (ready == 0) {
            return ByteRead::TimedOut;
        }
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(fd_, &byte, 1);
            if (n == 1) {
                return ByteRead::Byte;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                return ByteRead::TimedOut;
            }
        }
        error_ = "read: the port is gone";
        return ByteRead::Failed;
    }

    void close() override {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    std::string lastSystemError() const override { return error_; }

private:
    int fd_;
    std::string error_;
};

} // namespace

std::unique_ptr<Transport> openSerialPortTransport(const std::string& name) {
    if (name.empty() || name[0] != '/') {
        return nullptr;
    }
    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag &= ~(PARENB | CSTOPB | CSIZE);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    return std::make_unique<PosixSerialPort>(fd);
}

std::vector<HidInterfaceInfo> enumerateHidInterfaces() { return {}; }

std::unique_ptr<Transport> openHidInterfaceTransport(const HidInterfaceInfo&) { return nullptr; }

} // namespace quillon
