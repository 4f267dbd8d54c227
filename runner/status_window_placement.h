// The runner's status windows: they sit in a corner (capture/corner.h); the
// countdown before a run shows as hours, minutes and seconds.
#pragma once

#include "capture/corner.h"

#include <string>

namespace quillon {

// "HH : MM : SS" of a number of seconds (negative counts as 0).
std::string countdownText(int seconds);

} // namespace quillon
