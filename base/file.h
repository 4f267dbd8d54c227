// Whole-file reads and safe saves. Paths are UTF-8 on every platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The whole file, or nullopt when it cannot be opened or read.
std::optional<std::vector<uint8_t>> readFile(const std::string& path);

// Reads exactly `size` bytes from the start of the file into `destination`.
// Fails when the file is missing or shorter.
bool readFileExactly(const std::string& path, uint8_t* destination, size_t size);

// Writes the file so that the previous one survives any failure: the bytes go
// to a temporary file in the same folder, are flushed, and then replace the
// target in one step. On failure the temporary file is removed and the target
// is untouched.
bool writeFileAtomic(const std::string& path, const uint8_t* data, size_t size);

// Folder part of a path ("C:\\a\\b.exe" -> "C:\\a"), either separator.
std::string folderOf(std::string_view path);

// True when `name` can be used as one file name inside a folder: not empty, no
// separators, no "..", no drive or device names, no control characters.
bool isSafeFileName(std::string_view name);

namespace detail {
// Platform steps of writeFileAtomic (file_win.cpp / file_posix.cpp).
bool writeAndFlush(const std::string& path, const uint8_t* data, size_t size);
bool replaceFile(const std::string& temporary, const std::string& target);
bool removeFile(const std::string& path);
} // namespace detail

} // namespace quillon
