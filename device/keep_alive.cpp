#include "device/keep_alive.h"

namespace quillon {

using namespace keep_alive_timing;

void runKeepAlive(Link& link, const std::atomic<bool>& running, const std::function<void()>& onFailure) {
    int idleLooks = 0;
    while (running.load()) {
        if (link.isDead()) {
            return; // an exchange of the interface thread failed: the program is closing
        }
        link.clock().sleepMs(kIdleLookMs);
        if (link.isBusy()) {
            idleLooks = 0;
            continue;
        }
        if (++idleLooks < kIdleLooks) {
            continue;
        }
        idleLooks = 0;
        if (!link.tryAcquireBusy()) {
            continue; // the interface thread got there first
        }
        // The reply's content is not examined.
        const bool ok = link.sendCommandTries(command::kLinkTest, kTries, kTrySleepMs) &&
                        link.receiveReplyTries(kTries, kTrySleepMs);
        if (!ok) {
            // The program is closing: nobody may wait for the lock any more.
            link.markDead();
            link.releaseBusy();
            if (onFailure) {
                onFailure();
            }
            return;
        }
        link.releaseBusy();
    }
}

void KeepAlive::start(Link& link, std::function<void()> onFailure) {
    stop();
    running_.store(true);
    thread_ = std::thread([this, &link, onFailure = std::move(onFailure)] { runKeepAlive(link, running_, onFailure); });
}

void KeepAlive::stop() {
    running_.store(false);
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace quillon
