// machine-sim: serves the simulated machine's serial link on a
// pseudo-terminal, so that the Windows programs under Wine (through a COM
// port linked to the terminal) and native tests talk to it as to the machine.
#include "device/sim/action_log.h"
#include "device/sim/control_commands.h"
#include "tools/machine-sim/hid_socket.h"
#include "tools/machine-sim/pty_server.h"
#include "tools/machine-sim/x11_input.h"

#include "base/clock.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillon;

namespace {

const char* const kUsage =
    "Usage: machine-sim [options]\n"
    "Serves the simulated Quillon machine on a pseudo-terminal (the serial link:\n"
    "length-prefixed frames, raw 512-byte block chunks with 0xAA acknowledgements)\n"
    "and prints \"pty PATH\" on stdout once it is ready.\n"
    "\n"
    "Options:\n"
    "  --link-com N        link the terminal as COM<N> (1..7) of the Wine prefix:\n"
    "                      $WINEPREFIX/dosdevices/comN -> the terminal (removed at exit)\n"
    "                      and record it as COMn under HKLM\\Software\\Wine\\Ports (Wine's\n"
    "                      mount manager rebuilds the links from there when the prefix starts)\n"
    "  --no-registry       with --link-com: make the link only, leave the registry alone\n"
    "  --wineprefix DIR    the Wine prefix to use instead of $WINEPREFIX\n"
    "  --pty-path FILE     also write the terminal's path into FILE\n"
    "  --control FIFO      read control commands from FIFO too (created if missing)\n"
    "  --no-stdin          do not read control commands from stdin\n"
    "  --x11               turn key, button, wheel and move actions into real input on\n"
    "                      $DISPLAY with XTest (device scale mapped to the X screen)\n"
    "  --screen WxH        screen size for decoding moves (default 1920x1080, or the X\n"
    "                      screen with --x11)\n"
    "  --log-actions       print every action frame as a JSON line on stderr\n"
    "  --hid-port N        also serve the machine's HID interface on 127.0.0.1:N (0: a free\n"
    "                      port) for the test stand-ins of the system's HID libraries; prints\n"
    "                      \"hid PORT\" before \"pty PATH\"\n"
    "  --hid-port-file F   write the HID port number into F\n"
    "  --help              this text\n"
    "\n";

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }

struct Options {
    int comPort = 0;
    std::string wineprefix;
    std::string ptyPathFile;
    std::string controlFifo;
    bool readStdin = true;
    bool setRegistry = true;
    bool x11 = false;
    int screenWidth = 0;
    int screenHeight = 0;
    bool logActions = false;
    int hidPort = -1;
    std::string hidPortFile;
};

bool parseOptions(int argc, char** argv, Options& options) {
    if (const char* prefix = std::getenv("WINEPREFIX")) {
        options.wineprefix = prefix;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(sim::kControlHelp, stdout);
            std::exit(0);
        } else if (arg == "--link-com") {
            if (!value(text)) return false;
            options.comPort = std::atoi(text.c_str());
            if (options.comPort < 1 || options.comPort > 7) return false;
        } else if (arg == "--wineprefix") {
            if (!value(options.wineprefix)) return false;
        } else if (arg == "--pty-path") {
            if (!value(options.ptyPathFile)) return false;
        } else if (arg == "--control") {
            if (!value(options.controlFifo)) return false;
        } else if (arg == "--no-registry") {
            options.setRegistry = false;
        } else if (arg == "--no-stdin") {
            options.readStdin = false;
        } else if (arg == "--x11") {
            options.x11 = true;
        } else if (arg == "--screen") {
            if (!value(text) || std::sscanf(text.c_str(), "%dx%d", &options.screenWidth, &options.screenHeight) != 2)
                return false;
        } else if (arg == "--hid-port") {
            if (!value(text)) return false;
            options.hidPort = std::atoi(text.c_str());
            if (options.hidPort < 0 || options.hidPort > 65535) return false;
        } else if (arg == "--hid-port-file") {
            if (!value(options.hidPortFile)) return false;
        } else if (arg == "--log-actions") {
            options.logActions = true;
        } else {
            return false;
        }
    }
    return true;
}

// Control lines from one file descriptor.
struct LineReader {
    int fd = -1;
    std::string pending;

    // Returns false at end of input.
    template <typename Handle>
    bool drain(Handle handle) {
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EINTR;
        pending.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            handle(line);
        }
        return true;
    }
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    sim::SimulatedMachine machine(systemClock());
    machine_sim::X11Input x11;
    if (options.x11) {
        std::string error;
        if (!x11.open(error)) {
            std::fprintf(stderr, "machine-sim: --x11: %s\n", error.c_str());
            return 1;
        }
        machine.setScreenSize(x11.screenWidth(), x11.screenHeight());
    }
    if (options.screenWidth > 0) {
        machine.setScreenSize(options.screenWidth, options.screenHeight);
    }
    const bool logActions = options.logActions;
    const bool playX11 = options.x11;
    machine.setActionListener([&x11, logActions, playX11](const sim::LoggedAction& action) {
        if (logActions) {
            std::fprintf(stderr, "%s\n", sim::actionJson(action, 0, 0).c_str());
        }
        if (playX11) {
            x11.play(action);
        }
    });

    machine_sim::PtyServer server(machine);
    std::string error;
    if (!server.open(error)) {
        std::fprintf(stderr, "machine-sim: %s\n", error.c_str());
        return 1;
    }
    machine_sim::HidSocketServer hid(machine);
    if (options.hidPort >= 0) {
        if (!hid.open(options.hidPort, error)) {
            std::fprintf(stderr, "machine-sim: %s\n", error.c_str());
            return 1;
        }
        if (!options.hidPortFile.empty()) {
            FILE* f = std::fopen((options.hidPortFile + ".tmp").c_str(), "w");
            if (!f) {
                std::fprintf(stderr, "machine-sim: cannot write %s\n", options.hidPortFile.c_str());
                return 1;
            }
            std::fprintf(f, "%d\n", hid.port());
            std::fclose(f);
            std::rename((options.hidPortFile + ".tmp").c_str(), options.hidPortFile.c_str());
        }
        std::printf("hid %d\n", hid.port());
    }
    std::string comLink;
    if (options.comPort) {
        if (!machine_sim::linkAsComPort(options.wineprefix, options.comPort, server.slavePath(), options.setRegistry,
                                          error)) {
            std::fprintf(stderr, "machine-sim: %s\n", error.c_str());
            return 1;
        }
        comLink = options.wineprefix + "/dosdevices/com" + std::to_string(options.comPort);
    }

    LineReader stdinReader, fifoReader;
    if (options.readStdin) {
        stdinReader.fd = STDIN_FILENO;
    }
    if (!options.controlFifo.empty()) {
        struct stat st {};
        if (::stat(options.controlFifo.c_str(), &st) != 0 && ::mkfifo(options.controlFifo.c_str(), 0600) != 0) {
            std::fprintf(stderr, "machine-sim: mkfifo %s: %s\n", options.controlFifo.c_str(), std::strerror(errno));
            return 1;
        }
        // Read and write: the FIFO never reports end of input between writers.
        fifoReader.fd = ::open(options.controlFifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fifoReader.fd < 0) {
            std::fprintf(stderr, "machine-sim: open %s: %s\n", options.controlFifo.c_str(), std::strerror(errno));
            return 1;
        }
    }
    if (!options.ptyPathFile.empty()) {
        FILE* f = std::fopen((options.ptyPathFile + ".tmp").c_str(), "w");
        if (!f) {
            std::fprintf(stderr, "machine-sim: cannot write %s\n", options.ptyPathFile.c_str());
            return 1;
        }
        std::fprintf(f, "%s\n", server.slavePath().c_str());
        std::fclose(f);
        std::rename((options.ptyPathFile + ".tmp").c_str(), options.ptyPathFile.c_str());
    }
    std::printf("pty %s\n", server.slavePath().c_str());
    std::fflush(stdout);

    bool quit = false;
    auto handleLine = [&](const std::string& line) {
        std::string reply;
        const auto result = sim::runControlCommand(machine, line, reply);
        if (result == sim::ControlResult::Quit) {
            quit = true;
            return;
        }
        if (!reply.empty()) {
            std::printf("%s\n", reply.c_str());
            std::fflush(stdout);
        }
        server.flush();
    };

    while (!quit && !stopRequested) {
        pollfd fds[16];
        nfds_t count = 0;
        fds[count++] = {server.masterFd(), POLLIN, 0};
        const int stdinIndex = stdinReader.fd >= 0 ? static_cast<int>(count) : -1;
        if (stdinReader.fd >= 0) fds[count++] = {stdinReader.fd, POLLIN, 0};
        const int fifoIndex = fifoReader.fd >= 0 ? static_cast<int>(count) : -1;
        if (fifoReader.fd >= 0) fds[count++] = {fifoReader.fd, POLLIN, 0};
        const nfds_t hidFirst = count;
        if (options.hidPort >= 0) {
            for (int fd : hid.pollDescriptors()) {
                if (count < sizeof fds / sizeof fds[0]) fds[count++] = {fd, POLLIN, 0};
            }
        }
        const int ready = ::poll(fds, count, 20);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            server.service();
        }
        if (stdinIndex >= 0 && (fds[stdinIndex].revents & (POLLIN | POLLHUP))) {
            if (!stdinReader.drain(handleLine)) {
                stdinReader.fd = -1; // end of stdin: keep serving
            }
        }
        if (fifoIndex >= 0 && (fds[fifoIndex].revents & POLLIN)) {
            fifoReader.drain(handleLine);
        }
        for (nfds_t i = hidFirst; i < count; ++i) {
            if (fds[i].revents) {
                hid.service();
                break;
            }
        }
        server.flush();
    }
    if (!comLink.empty()) {
        ::unlink(comLink.c_str());
    }
    return 0;
}
