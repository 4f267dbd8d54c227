// What each device program shows when its start-up data files cannot be read.
// The program then ends.
#pragma once

#include <optional>
#include <string>

#include "device/link.h"
#include "device/startup_data.h"

namespace quillon {

struct StartupFailureBox {
    std::string message; // UTF-8, shown with the warning icon
    std::string caption;
};

// nullopt: nothing to show (loading succeeded, or the program ends silently
// because the texts of its message would come from the missing text block).
std::optional<StartupFailureBox> startupFailureBox(Program program, StartupLoadResult result,
                                                   const StartupData& data);

} // namespace quillon
