// The headers the edit and combination pages store with their code, from the
// page's options.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "control/macro_records.h"

namespace quillon::control {

// An empty name becomes "새로 만든 매크로".
EditMemoryHeader makeEditMemoryHeader(const std::string& utf8Name, uint16_t flags, size_t codeLength);
CombinationMemoryHeader makeCombinationMemoryHeader(const std::string& utf8Name, uint16_t flags, size_t codeLength,
                                                    uint32_t recordedSet, uint32_t editSet);

} // namespace quillon::control
