#include <windows.h>

#include <vector>

#include "base/file.h"
#include "base/program_folder.h"
#include "base/wide_text.h"

namespace quillon {

std::string programFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        if (n < path.size()) {
            return folderOf(narrow(std::wstring_view(path.data(), n)));
        }
        path.resize(path.size() * 2);
    }
}

} // namespace quillon
