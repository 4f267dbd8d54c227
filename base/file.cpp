#include "base/file.h"
#include "base/text.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace quillon {
namespace {

// A path from UTF-8 that never throws: bad bytes become '?' on Windows (where
// paths are UTF-16) and stay as they are on Linux (where paths are bytes).
std::filesystem::path toPath(const std::string& utf8) {
#ifdef _WIN32
    std::u16string wide = text::utf8ToUtf16(utf8);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

std::atomic<unsigned> faultAt{0};
std::atomic<unsigned> stepCount{0};
std::atomic<int> failedAs{-1};

} // namespace

namespace file_faults {

void failAt(unsigned n) {
    stepCount = 0;
    failedAs = -1;
    faultAt = n;
}

unsigned stepsTaken() { return stepCount; }

std::optional<FileStep> failedStep() {
    int step = failedAs;
    return step < 0 ? std::nullopt : std::optional<FileStep>(static_cast<FileStep>(step));
}

} // namespace file_faults

namespace detail {

bool stepFails(FileStep step) {
    unsigned taken = ++stepCount;
    unsigned armed = faultAt;
    if (armed == 0 || taken != armed) {
        return false;
    }
    faultAt = 0;
    failedAs = static_cast<int>(step);
    return true;
}

} // namespace detail

std::optional<std::vector<uint8_t>> readFile(const std::string& path) {
    std::error_code ec;
    auto p = toPath(path);
    auto size = std::filesystem::file_size(p, ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!readFileExactly(path, bytes.data(), bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

bool readFileExactly(const std::string& path, uint8_t* destination, size_t size) {
#ifdef _WIN32
    FILE* f = _wfopen(toPath(path).c_str(), L"rb");
#else
    FILE* f = std::fopen(path.c_str(), "rb");
#endif
    if (!f) {
        return false;
    }
    size_t got = size ? std::fread(destination, 1, size, f) : 0;
    std::fclose(f);
    return got == size;
}

bool writeFileAtomic(const std::string& path, const uint8_t* data, size_t size) {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string temporary = path + ".tmp" + std::to_string(stamp % 1000000) + "-" + std::to_string(counter++);
    if (!detail::writeAndFlush(temporary, data, size) || detail::stepFails(FileStep::Replace) ||
        !detail::replaceFile(temporary, path)) {
        detail::removeFile(temporary);
        return false;
    }
    return true;
}

std::string folderOf(std::string_view path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

bool isSafeFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|') {
            return false;
        }
    }
    if (name.find("..") != std::string_view::npos || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    // Device names are reserved with any extension: "con", "COM1.txt", ...
    std::string stem(name.substr(0, name.find('.')));
    std::transform(stem.begin(), stem.end(), stem.begin(), [](unsigned char c) { return std::toupper(c); });
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    static const char* const reserved[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* r : reserved) {
        if (stem == r) {
            return false;
        }
    }
    if (stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem[3] >= '0' &&
        stem[3] <= '9') {
        return false;
    }
    return true;
}

} // namespace quillon
