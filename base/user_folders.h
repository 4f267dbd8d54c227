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

// The screenshot folder of a data folder: "<data>\ImageSave".
std::string screenshotFolder(const std::string& dataFolder);

} // namespace quillon
