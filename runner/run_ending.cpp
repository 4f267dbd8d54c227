#include "runner/run_ending.h"

#include "device/actions.h"
#include "device/modes.h"

namespace quillon::runner {

bool finishRun(Link& link, bool computerOff) {
    Clock& clock = link.clock();
    clock.sleepMs(100);
    if (computerOff) {
        sendAction(link, Action::computerOff());
    }
    clock.sleepMs(100);
    const bool left = enterMode(link, closingModeOf(Program::AnalyzerRunner));
    clock.sleepMs(100);
    return left;
}

} // namespace quillon::runner
