// Where the user's own files live: analyzers, screenshots and sounds go to a
// data folder that belongs to the user and is writable wherever the programs
// are installed. shot-taker writes its screenshot sets into the data folder's
// "ImageSave" folder, and analyzer-editor's import dialog starts there; both
// take the folder from here, so the two always meet.
#pragma once

#include <string>

namespace quillon {

inline constexpr const char* kScreenshotFolderName = "ImageSave";

// "<localAppData>\Quillon" when the system names a local application data
// folder, else the program folder itself.
std::string userDataFolder(const std::string& programFolder, const std::string& localAppData);
// The same with the system's folder (LOCALAPPDATA on Windows; none on Linux).
std::string userDataFolder(const std::string& programFolder);

// A folder the start-up data names (the open dialog's folder, the sound
// folder, ...): an absolute name ("C:..." or "\\server...") as it stands,
// else the name inside the data folder; without trailing separators.
std::string namedUserFolder(const std::string& dataFolder, const std::string& name);

// The screenshot folder of a data folder: "<data>\ImageSave".
std::string screenshotFolder(const std::string& dataFolder);

} // namespace quillon
