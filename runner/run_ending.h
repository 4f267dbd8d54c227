// The runner's last words to the machine, once its threads have ended: the
// computer-off action when the run ended with it, then the command that
// leaves analysis mode, its reply, and the link closed.
#pragma once

#include "device/link.h"

namespace quillon {

// Returns false when a frame could not be sent or the reply did not come; the
// link is closed either way and the program ends.
bool leaveAnalysis(Link& link, bool computerOff);

} // namespace quillon
