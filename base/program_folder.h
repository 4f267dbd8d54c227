// The folder of the running program (UTF-8, no trailing separator): where
// its start-up data files are installed beside it.
#pragma once

#include <string>

namespace quillon {

std::string programFolder();

} // namespace quillon
