// The runner's last words to the machine, once its threads have ended: the
// computer-off action when the run ended with that command, then the command
// that leaves analysis mode, its reply, and the link closed.
#pragma once

#include "device/link.h"

namespace quillon::runner {

inline constexpr uint8_t kLeaveAnalysisMode = 0x66;

// False when a frame could not be sent or the reply did not come; the link is
// closed either way and the program ends.
bool finishRun(Link& link, bool computerOff);

} // namespace quillon::runner
