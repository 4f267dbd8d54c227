// The editor's four working folders, all under one data folder that belongs
// to the user and is writable (the programs themselves may sit in a
// read-only place): "Save" for analyzer files and the autosave file,
// "ImageSave" where the screenshot tool stores its shots, "Image" for the
// working copies of the open analyzer's screenshots, "Sound" for the sounds
// that sound commands play.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::editor {

inline constexpr const char* kAutosaveFileName = "save.tmp";

struct EditorFolders {
    std::string data;
    std::string save;
    std::string imageSave;
    std::string image;
    std::string sound;

    // The four folders under `dataFolder` (UTF-8).
    static EditorFolders under(const std::string& dataFolder);
    // Creates the data folder and the four folders where missing.
    bool create() const;
    std::string autosavePath() const;
};

// File operations on UTF-8 paths, shared by the storage code.
namespace files {
bool exists(const std::string& path);
bool isFolder(const std::string& path);
int64_t sizeOf(const std::string& path); // -1 when missing
bool remove(const std::string& path);
// The first `limit` bytes of a file (all of a shorter one); false when it
// cannot be opened or read.
bool readAtMost(const std::string& path, size_t limit, std::vector<uint8_t>& bytes);
// Copies a whole file, replacing the target safely.
bool copy(const std::string& from, const std::string& to);
// Moves a file, replacing the target: renamed where it can be, otherwise
// copied and the source removed.
bool move(const std::string& from, const std::string& to);
// A folder and its parents (true when it exists afterwards); a folder and
// everything inside it.
bool makeFolder(const std::string& path);
void removeFolder(const std::string& path);
// The plain files of a folder (not recursive) whose names end with
// `extension` (".bmp"), compared without regard to case.
std::vector<std::string> filesWithExtension(const std::string& folder, const std::string& extension);
// "C:\\a\\b.bmp" -> "b.bmp"; either separator.
std::string fileNameOf(const std::string& path);
// Replaces the extension after the last "." of the file name ("a.bmp", "cfg"
// -> "a.cfg"); appends it when there is none.
std::string withExtension(const std::string& path, const std::string& extension);
} // namespace files

} // namespace quillon::editor
