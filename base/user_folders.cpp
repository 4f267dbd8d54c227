#include "base/user_folders.h"

#include "base/path.h"

namespace quillon {

std::string userDataFolder(const std::string& programFolder, const std::string& localAppData) {
    return localAppData.empty() ? programFolder : joinPath(localAppData, "Quillon");
}

std::string screenshotFolder(const std::string& dataFolder) { return joinPath(dataFolder, kScreenshotFolderName); }

} // namespace quillon
