// The simulated machine's HID interface on a local TCP socket, for the
// Windows programs under Wine: test-only stand-ins of the system's HID
// libraries carry the programs' reports here. One request at a time per
// connection:
//   'S' + 65-byte output report  -> 1 byte: 1 taken, 0 the machine is gone
//   'G'                          -> 1 byte: 0 the machine is gone (unplugged),
//                                   2 nothing to say (idle or silent),
//                                   1 then a 65-byte report
#pragma once

#include "device/sim/sim_links.h"

#include <string>
#include <vector>

namespace quillon::machine_sim {

class HidSocketServer {
public:
    explicit HidSocketServer(sim::SimulatedMachine& machine) : machine_(machine), link_(machine) {}
    ~HidSocketServer();

    // Listens on 127.0.0.1:`port` (0: a free port, see port()).
    bool open(int port, std::string& error);
    int port() const { return port_; }

    // The descriptors to poll for input (the listener and each connection).
    std::vector<int> pollDescriptors() const;
    // Accepts connections and answers every complete request.
    void service();

private:
    struct Client {
        int fd = -1;
        std::vector<uint8_t> pending;
    };
    void answer(Client& client);

    sim::SimulatedMachine& machine_;
    sim::SimHidLink link_;
    int listener_ = -1;
    int port_ = 0;
    std::vector<Client> clients_;
};

} // namespace quillon::machine_sim
