// Decoding the simulated machine's action log for people and tools.
#pragma once

#include "device/sim/simulated_machine.h"

#include <string>

namespace quillon::sim {

// The action's name ("keyDown", "moveTo", "playRecorded", "redLight", ...).
std::string actionName(uint8_t code);
// One action as a JSON object: time, code, name and its decoded operands
// (absolute moves also in screen pixels of the given screen).
std::string actionJson(const LoggedAction& action, int screenWidth, int screenHeight);
// Bytes as lower-case hex.
std::string hexBytes(const std::vector<uint8_t>& bytes);

} // namespace quillon::sim
