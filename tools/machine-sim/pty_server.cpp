#include "tools/machine-sim/pty_server.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace quillon::machine_sim {

PtyServer::~PtyServer() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::open(std::string& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = std::string("posix_openpt: ") + std::strerror(errno);
        return false;
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        error = std::string("ptsname: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = std::string("open ") + name + ": " + std::strerror(errno);
        return false;
    }
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    tio.c_cflag |= CLOCAL | CREAD;
    ::tcsetattr(slave_, TCSANOW, &tio);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

void PtyServer::service() {
    uint8_t buffer[1024];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        // An unplugged machine takes nothing; the bytes are lost as on a cable.
        link_.receive(buffer, static_cast<size_t>(n));
        flush();
    }
    flush();
}

void PtyServer::flush() {
    const std::vector<uint8_t> out = link_.takeOutput();
    if (!out.empty()) {
        if (const int pace = machine_.serialAnswerPace(); pace > 0) {
            ::usleep(static_cast<useconds_t>(pace) * 1000);
        }
    }
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::write(master_, out.data() + done, out.size() - done);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            ::usleep(1000);
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
}

namespace {

bool recordPortInRegistry(const std::string& wineprefix, int port, const std::string& target, std::string& error) {
    const char* wineEnv = std::getenv("WINE");
    const std::string wine = wineEnv && *wineEnv ? wineEnv : "wine";
    const std::string name = "COM" + std::to_string(port);
    const pid_t child = ::fork();
    if (child < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    if (child == 0) {
        ::setenv("WINEPREFIX", wineprefix.c_str(), 1);
        ::setenv("WINEDEBUG", "-all", 1);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        ::execlp(wine.c_str(), wine.c_str(), "reg", "add", "HKLM\\Software\\Wine\\Ports", "/v", name.c_str(),
                 "/t", "REG_SZ", "/d", target.c_str(), "/f", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "wine reg add " + name + " failed (is wine installed?)";
        return false;
    }
    return true;
}

} // namespace

bool linkAsComPort(const std::string& wineprefix, int port, const std::string& target, bool setRegistry,
                   std::string& error) {
    if (wineprefix.empty()) {
        error = "no Wine prefix (set WINEPREFIX or --wineprefix)";
        return false;
    }
    if (setRegistry && !recordPortInRegistry(wineprefix, port, target, error)) {
        return false;
    }
    const std::string folder = wineprefix + "/dosdevices";
    ::mkdir(folder.c_str(), 0755);
    const std::string link = folder + "/com" + std::to_string(port);
    ::unlink(link.c_str());
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        error = "symlink " + link + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace quillon::machine_sim
