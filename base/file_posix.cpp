#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "base/file.h"

namespace quillon::detail {

bool writeAndFlush(const std::string& path, const uint8_t* data, size_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    if (stepFails(FileStep::Create)) {
        ::close(fd);
        return false;
    }
    if (stepFails(FileStep::Write)) {
        // A write that stops half-way, as on a full disk.
        [[maybe_unused]] ssize_t half = ::write(fd, data, size / 2);
        ::close(fd);
        return false;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    bool ok = !stepFails(FileStep::Flush) && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool replaceFile(const std::string& temporary, const std::string& target) {
    return std::rename(temporary.c_str(), target.c_str()) == 0;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

} // namespace quillon::detail
