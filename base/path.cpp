#include "base/path.h"

namespace quillon {

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    const char last = folder.back();
    if (last == '/' || last == '\\') {
        return folder + name;
    }
    char separator = kPathSeparator;
    if (folder.find('\\') != std::string::npos) {
        separator = '\\';
    } else if (folder.find('/') != std::string::npos) {
        separator = '/';
    }
    return folder + separator + name;
}

} // namespace quillon
