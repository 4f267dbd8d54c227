#include "base/user_folders.h"

namespace quillon {

// Linux builds only the tools and tests: the program folder is the data folder.
std::string userDataFolder(const std::string& programFolder) { return userDataFolder(programFolder, std::string()); }

} // namespace quillon
