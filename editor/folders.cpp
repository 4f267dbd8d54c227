#include "editor/folders.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "analyzer/analyzer_file.h"
#include "analyzer/file_stream.h"
#include "base/file.h"
#include "base/user_folders.h"

namespace quillon::editor {

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 everywhere in the program; the file system takes them as
// such on Linux and as UTF-16 on Windows, which u8 paths give on both.
fs::path fsPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string utf8Of(const fs::path& path) {
    std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

EditorFolders EditorFolders::under(const std::string& dataFolder) {
    EditorFolders f;
    f.data = dataFolder;
    f.save = analyzer::joinPath(dataFolder, "Save");
    f.imageSave = screenshotFolder(dataFolder); // where shot-taker writes
    f.image = analyzer::joinPath(dataFolder, "Image");
    f.sound = analyzer::joinPath(dataFolder, "Sound");
    return f;
}

bool EditorFolders::create() const {
    for (const std::string* folder : {&data, &save, &imageSave, &image, &sound}) {
        std::error_code error;
        fs::create_directories(fsPath(*folder), error);
        if (!files::isFolder(*folder)) {
            return false;
        }
    }
    return true;
}

std::string EditorFolders::autosavePath() const { return analyzer::joinPath(save, kAutosaveFileName); }

namespace files {

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fsPath(path), error);
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(fsPath(path), error);
}

int64_t sizeOf(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(fsPath(path), error)) {
        return -1;
    }
    auto size = fs::file_size(fsPath(path), error);
    return error ? -1 : static_cast<int64_t>(size);
}

bool remove(const std::string& path) {
    std::error_code error;
    return fs::remove(fsPath(path), error) && !error;
}

bool readAtMost(const std::string& path, size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    analyzer::FileSource source;
    if (!source.open(path)) {
        return false;
    }
    uint64_t size = std::min<uint64_t>(source.bytesLeft(), limit);
    bytes.resize(static_cast<size_t>(size));
    return size == 0 || source.read(bytes.data(), bytes.size());
}

bool copy(const std::string& from, const std::string& to) {
    std::optional<std::vector<uint8_t>> bytes = readFile(from);
    if (!bytes) {
        return false;
    }
    return writeFileAtomic(to, bytes->data(), bytes->size());
}

bool move(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(fsPath(from), fsPath(to), error);
    if (!error) {
        return true;
    }
    if (!copy(from, to)) {
        return false;
    }
    remove(from);
    return true;
}

bool makeFolder(const std::string& path) {
    std::error_code error;
    fs::create_directories(fsPath(path), error);
    return isFolder(path);
}

void removeFolder(const std::string& path) {
    std::error_code error;
    fs::remove_all(fsPath(path), error);
}

std::vector<std::string> filesWithExtension(const std::string& folder, const std::string& extension) {
    std::vector<std::string> out;
    std::error_code error;
    fs::directory_iterator it(fsPath(folder), error);
    if (error) {
        return out;
    }
    const std::string wanted = lower(extension);
    for (const fs::directory_entry& entry : it) {
        std::error_code kindError;
        if (!entry.is_regular_file(kindError)) {
            continue;
        }
        std::string name = utf8Of(entry.path().filename());
        if (name.size() >= wanted.size() && lower(name.substr(name.size() - wanted.size())) == wanted) {
            out.push_back(utf8Of(entry.path()));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string fileNameOf(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string withExtension(const std::string& path, const std::string& extension) {
    size_t nameStart = path.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) {
        return path + "." + extension;
    }
    return path.substr(0, dot + 1) + extension;
}

} // namespace files

} // namespace quillon::editor
