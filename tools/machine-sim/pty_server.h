// The simulated machine's serial link on a pseudo-terminal.
#pragma once

#include "device/sim/sim_links.h"

#include <string>

namespace quillon::machine_sim {

class PtyServer {
public:
    explicit PtyServer(sim::SimulatedMachine& machine) : machine_(machine), link_(machine) {}
    ~PtyServer();

    // Opens the master and keeps a slave open so that the terminal survives
    // the host program closing and reopening its port. Raw mode, 9600 8N1.
    bool open(std::string& error);
    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Reads what the host wrote, feeds the machine, writes its answers.
    void service();
    // Writes whatever the machine has for the host (signals, late answers).
    void flush();

private:
    sim::SimulatedMachine& machine_;
    sim::SimSerialLink link_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Links the terminal as COMn of a Wine prefix: <prefix>/dosdevices/comN.
// Wine's mount manager rebuilds the COM links from the registry (and from
// the system's serial ports) each time the prefix starts, so with
// `setRegistry` the port is also recorded under HKLM\Software\Wine\Ports
// (through `wine reg add`, which takes a few seconds) before the link is made.
bool linkAsComPort(const std::string& wineprefix, int port, const std::string& target, bool setRegistry,
                   std::string& error);

} // namespace quillon::machine_sim
