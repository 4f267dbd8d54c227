#include <filesystem>

#include "base/file.h"
#include "base/program_folder.h"

namespace quillon {

std::string programFolder() {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : folderOf(self.string());
}

} // namespace quillon
