#include <windows.h>

#include "base/file.h"
#include "base/wide_text.h"

namespace quillon::detail {
bool writeAndFlush(const std::string& path, const uint8_t* data, size_t size) {
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (stepFails(FileStep::Create)) {
        CloseHandle(h);
        return false;
    }
    if (stepFails(FileStep::Write)) {
        // A write that stops half-way, as on a full disk.
        DWORD written = 0;
        WriteFile(h, data, static_cast<DWORD>(std::min<size_t>(size / 2, 1u << 30)), &written, nullptr);
        CloseHandle(h);
        return false;
    }
    size_t done = 0;
    bool ok = true;
    while (ok && done < size) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
        DWORD written = 0;
        ok = WriteFile(h, data + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    ok = ok && !stepFails(FileStep::Flush) && FlushFileBuffers(h);
    return CloseHandle(h) && ok;
}

bool replaceFile(const std::string& temporary, const std::string& target) {
    std::wstring from = widen(temporary), to = widen(target);
    DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false; // never replace a folder with a file
    }
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return true;
    }
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeFile(const std::string& path) { return DeleteFileW(widen(path).c_str()) != 0; }

} // namespace quillon::detail
