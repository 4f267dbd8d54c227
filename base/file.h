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

// The steps of a save, in the order they happen: create the temporary file,
// write into it, flush it to disk, and replace the target with it.
enum class FileStep { Create, Write, Flush, Replace };

// Failure injection for the writing layer. Every step of every save (through
// writeFileAtomic or the analyzer file's sink) is counted; a test can make the
// Nth step from now fail, once, as if the disk were full or pulled out, and
// then check what the save did about it. Unarmed, a step only bumps a counter.
namespace file_faults {
// The `n`th step from now fails (1: the very next); 0 disarms. Also restarts
// the count of steps.
void failAt(unsigned n);
// Steps taken since the last failAt call.
unsigned stepsTaken();
// The step that was made to fail since the last failAt call, if any.
std::optional<FileStep> failedStep();
} // namespace file_faults

namespace detail {
// Called by the writing layer before each step: true when this one must fail.
bool stepFails(FileStep step);

// Platform steps of writeFileAtomic (file_win.cpp / file_posix.cpp).
bool writeAndFlush(const std::string& path, const uint8_t* data, size_t size);
bool replaceFile(const std::string& temporary, const std::string& target);
bool removeFile(const std::string& path);
} // namespace detail

} // namespace quillon
