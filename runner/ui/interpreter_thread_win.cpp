// The interpreter thread of analyzer-runner.
#include <windows.h>

#include "runner/ui/runner_session.h"

namespace quillon::runner_ui {

void runInterpreter(RunnerSession& session) {
    // Until the item interpreter is wired in, the run waits for its stop.
    while (session.runActive.load()) {
        Sleep(50);
    }
}

} // namespace quillon::runner_ui
