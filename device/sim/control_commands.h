// Control commands of the simulated machine, one per line: machine-sim reads
// them from stdin or its control FIFO, the programs' demo machine from its
// control file. Numbers are decimal or 0x-prefixed hex.
#pragma once

#include "device/sim/simulated_machine.h"

#include <string>

namespace quillon::sim {

inline constexpr const char* kControlHelp =
    "Control commands (one per line, on stdin or the --control FIFO):\n"
    "  hotkey CODE            next status reply reports machine hotkey CODE\n"
    "  signal VALUE           queue a screenshot signal byte (sent in screenshot mode)\n"
    "  remote N               next status reply reports remote command N (0..250)\n"
    "  held [K1 .. K6]        key codes held on the machine's keyboard (none: release all)\n"
    "  status-none [N]        answer the next N status polls without 0xC5 (default 1)\n"
    "  status [hotkey=C] [macro=playing|stopped|N] [remote=N] [held=K,K..] [flags=N]\n"
    "                         script the next status reply (unset fields: current state)\n"
    "  fault KIND [AFTER]     silence | garbage | unplug, starting AFTER more frames (default 0)\n"
    "  fault KIND AFTER on CODE  the same, from the AFTERth frame after the next command CODE (0: the next)\n"
    "  fault none             end the fault\n"
    "  wrong-magic on|off     option and hotkey records read back with a wrong magic\n"
    "  mode-ack-delay N       answer N idle reports before a mode acknowledgement (HID)\n"
    "  answer-pace MS         wait MS milliseconds before each serial answer (0..5000)\n"
    "  macro-polls N          a started macro plays for N status polls (0: until stopped)\n"
    "  screen WxH             screen size for decoding absolute moves\n"
    "  reset                  option, hotkey record and memories back to defaults\n"
    "  dump [FILE]            state and action log as one JSON line (stdout or FILE)\n"
    "  quit                   end machine-sim\n";

enum class ControlResult { Done, Error, Quit };

// Runs one command line; messages for the user go to `reply` (one line).
ControlResult runControlCommand(SimulatedMachine& machine, const std::string& line, std::string& reply);

} // namespace quillon::sim
