// The last exchanges of a run, after the interpreter has stopped: the
// computer-off action when the run ended with that command, then leaving
// analysis mode, with the machine's pauses between them.
#pragma once

#include "device/link.h"

namespace quillon::runner {

// False when leaving analysis mode was not acknowledged.
bool finishRun(Link& link, bool computerOff);

} // namespace quillon::runner
