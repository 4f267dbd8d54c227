#include "base/user_folders.h"

#include "base/wide_text.h"

#include <cstdlib>

namespace quillon {

std::string userDataFolder(const std::string& programFolder) {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return userDataFolder(programFolder, local ? narrow(local) : std::string());
}

} // namespace quillon
