#include "base/user_folders.h"

#include "base/path.h"

namespace quillon {

std::string userDataFolder(const std::string& programFolder, const std::string& localAppData) {
    return localAppData.empty() ? programFolder : joinPath(localAppData, "Quillon");
}

std::string namedUserFolder(const std::string& dataFolder, const std::string& name) {
    const bool absolute = name.size() > 1 && (name[1] == ':' || (name[0] == '\\' && name[1] == '\\'));
    std::string folder = absolute ? name : joinPath(dataFolder, name);
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

std::string screenshotFolder(const std::string& dataFolder) { return joinPath(dataFolder, kScreenshotFolderName); }

} // namespace quillon
