#include "runner/run_ending.h"

#include "device/actions.h"
#include "device/modes.h"

namespace quillon {

namespace {
constexpr uint32_t kPauseMs = 100;
}

bool leaveAnalysis(Link& link, bool computerOff) {
    Clock& clock = link.clock();
    bool ok = true;
    clock.sleepMs(kPauseMs);
    if (computerOff) {
        ok = sendAction(link, Action::computerOff()) == ActionSend::Sent;
    }
    clock.sleepMs(kPauseMs);
    ok = link.sendCommand(closingModeOf(Program::AnalyzerRunner)) && ok;
    clock.sleepMs(kPauseMs);
    ok = link.receiveReply() && ok;
    clock.sleepMs(kPauseMs);
    link.closeLink();
    return ok;
}

} // namespace quillon
