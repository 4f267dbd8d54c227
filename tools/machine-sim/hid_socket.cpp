#include "tools/machine-sim/hid_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillon::machine_sim {

namespace {

bool sendAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const ssize_t n = ::send(fd, bytes, count, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

HidSocketServer::~HidSocketServer() {
    for (Client& client : clients_) ::close(client.fd);
    if (listener_ >= 0) ::close(listener_);
}

bool HidSocketServer::open(int port, std::string& error) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener_ < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 4) != 0) {
        error = std::string("HID socket on 127.0.0.1:") + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    return true;
}

std::vector<int> HidSocketServer::pollDescriptors() const {
    std::vector<int> fds{listener_};
    for (const Client& client : clients_) fds.push_back(client.fd);
    return fds;
}

void HidSocketServer::answer(Client& client) {
    for (;;) {
        if (client.pending.empty()) return;
        const uint8_t request = client.pending[0];
        if (request == 'S') {
            if (client.pending.size() < 1 + kFrameSize) return;
            const uint8_t taken = link_.setOutputReport(client.pending.data() + 1) ? 1 : 0;
            client.pending.erase(client.pending.begin(), client.pending.begin() + 1 + kFrameSize);
            sendAll(client.fd, &taken, 1);
        } else if (request == 'G') {
            client.pending.erase(client.pending.begin());
            uint8_t reply[1 + kFrameSize] = {};
            switch (link_.nextInputReport(reply + 1)) {
            case sim::SimHidLink::Answer::Report:
                reply[0] = 1;
                sendAll(client.fd, reply, sizeof reply);
                break;
            case sim::SimHidLink::Answer::Idle:
                reply[0] = 2;
                sendAll(client.fd, reply, 1);
                break;
            case sim::SimHidLink::Answer::Failed:
                reply[0] = machine_.unplugged() ? 0 : 2;
                sendAll(client.fd, reply, 1);
                break;
            }
        } else {
            // Not this protocol: the connection is dropped.
            client.pending.clear();
            ::shutdown(client.fd, SHUT_RDWR);
            return;
        }
    }
}

void HidSocketServer::service() {
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) break;
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        clients_.push_back({fd, {}});
    }
    for (size_t i = 0; i < clients_.size();) {
        Client& client = clients_[i];
        bool closed = false;
        uint8_t buffer[1024];
        for (;;) {
            const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                client.pending.insert(client.pending.end(), buffer, buffer + n);
                continue;
            }
            closed = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
            break;
        }
        answer(client);
        if (closed) {
            ::close(client.fd);
            clients_.erase(clients_.begin() + static_cast<ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

} // namespace quillon::machine_sim
