// The link keep-alive of control-panel: a background thread that sends the
// link test once the link has been idle for 201 consecutive 1 ms looks, so
// the machine keeps the program's session. It shares the link with the
// interface thread through the link's busy lock.
#pragma once

#include "device/link.h"

#include <atomic>
#include <functional>
#include <thread>

namespace quillon {

namespace keep_alive_timing {
inline constexpr int kIdleLooks = 201;
inline constexpr uint32_t kIdleLookMs = 1;
inline constexpr int kTries = 60;
inline constexpr uint32_t kTrySleepMs = 2;
} // namespace keep_alive_timing

// The thread's loop; returns when `running` goes false or a link test fails
// (then the link is marked dead and `onFailure` runs: control-panel posts
// WM_CLOSE to its main window), or when the link is dead already.
void runKeepAlive(Link& link, const std::atomic<bool>& running, const std::function<void()>& onFailure);

class KeepAlive {
public:
    KeepAlive() = default;
    ~KeepAlive() { stop(); }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;

    void start(Link& link, std::function<void()> onFailure);
    // Asks the thread to stop and joins it.
    void stop();

private:
    std::atomic<bool> running_{false};
    std::thread thread_;
};

} // namespace quillon
