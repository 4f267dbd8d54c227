// File paths as the programs build them (UTF-8).
#pragma once

#include <string>

namespace quillon {

// The platform's separator ('\\' on Windows, '/' elsewhere).
extern const char kPathSeparator;

// Joins a folder and a name. The folder's own separator is kept when it has
// one ("C:\\Data" takes '\\', "/tmp/x" takes '/'); otherwise the platform's.
std::string joinPath(const std::string& folder, const std::string& name);

} // namespace quillon
