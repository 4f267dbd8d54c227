#include "editor/analyzer_loading.h"

#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "analyzer/file_stream.h"
#include "analyzer/limits.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

// The staging folder: "Image" and "Sound" for what the file brings,
// "Previous" for the open analyzer's bitmaps while they are exchanged.
class Staging {
public:
    explicit Staging(const EditorFolders& folders)
        : folders_(folders), root_(joinPath(folders.data, kStagingFolderName)), image_(joinPath(root_, "Image")),
          sound_(joinPath(root_, "Sound")), previous_(joinPath(root_, "Previous")) {
        files::removeFolder(root_);
        ready_ = files::makeFolder(image_) && files::makeFolder(sound_) && files::makeFolder(previous_);
    }
    ~Staging() { files::removeFolder(root_); }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    bool ready() const { return ready_; }

    bool keepScreenshot(const std::string& fileName, const uint8_t* data, size_t size) {
        screenshots_.insert(fileName);
        return writeWholeFile(joinPath(image_, fileName), data, size);
    }
    bool keepSound(const std::string& fileName, const uint8_t* data, size_t size) {
        sounds_.insert(fileName);
        return writeWholeFile(joinPath(sound_, fileName), data, size);
    }

    // Exchanges the Image folder's bitmaps for the staged ones and moves the
    // staged sounds into the Sound folder. On failure the Image folder is put
    // back as it was and the message comes back.
    std::optional<std::string> commit() {
        for (const std::string& path : files::filesWithExtension(folders_.image, ".bmp")) {
            const std::string name = files::fileNameOf(path);
            if (!files::move(path, joinPath(previous_, name))) {
                rollBack();
                return std::string(message::kOpenFailed);
            }
            setAside_.push_back(name);
        }
        for (const std::string& name : screenshots_) {
            if (!files::move(joinPath(image_, name), joinPath(folders_.image, name))) {
                rollBack();
                return std::string(message::kOpenFailed);
            }
            placed_.push_back(name);
        }
        for (const std::string& name : sounds_) {
            if (!files::move(joinPath(sound_, name), joinPath(folders_.sound, name))) {
                rollBack();
                return std::string(message::kSoundRestoreFailed);
            }
        }
        return std::nullopt;
    }

private:
    void rollBack() {
        for (const std::string& name : placed_) {
            files::remove(joinPath(folders_.image, name));
        }
        for (const std::string& name : setAside_) {
            files::move(joinPath(previous_, name), joinPath(folders_.image, name));
        }
        placed_.clear();
        setAside_.clear();
    }

    const EditorFolders& folders_;
    std::string root_, image_, sound_, previous_;
    bool ready_ = false;
    std::set<std::string> screenshots_, sounds_;
    std::vector<std::string> setAside_, placed_;
};

// Points the file's restore hooks at the staging folder for one load.
class StagedHooks {
public:
    StagedHooks(FileHooks& hooks, Staging& staging)
        : hooks_(hooks), screenshot_(std::move(hooks.restoreScreenshot)), sound_(std::move(hooks.restoreSound)) {
        hooks.restoreScreenshot = [&staging](const std::string& name, const uint8_t* data, size_t size) {
            return staging.keepScreenshot(name, data, size);
        };
        hooks.restoreSound = [&staging](const std::string& name, const uint8_t* data, size_t size) {
            return staging.keepSound(name, data, size);
        };
    }
    ~StagedHooks() {
        hooks_.restoreScreenshot = std::move(screenshot_);
        hooks_.restoreSound = std::move(sound_);
    }
    StagedHooks(const StagedHooks&) = delete;
    StagedHooks& operator=(const StagedHooks&) = delete;

private:
    FileHooks& hooks_;
    decltype(FileHooks::restoreScreenshot) screenshot_;
    decltype(FileHooks::restoreSound) sound_;
};

} // namespace

FileResult loadAnalyzer(AnalyzerFile& file, AnalyzerModel& model, const EditorFolders& folders,
                        const std::string& path, LoadKind kind) {
    FileResult result;
    AnalyzerModel fresh;
    Staging staging(folders);
    if (!fresh.valid() || !staging.ready()) {
        result.message = fresh.valid() ? message::kOpenFailed : message::kAllocationFailed;
        return result;
    }
    {
        StagedHooks hooks(file.hooks(), staging);
        result = kind == LoadKind::Open ? file.open(fresh, path) : file.restoreAutosave(fresh, path);
    }
    if (!result.ok()) {
        return result;
    }
    if (std::optional<std::string> failed = staging.commit()) {
        return FileResult::refused(*failed);
    }
    model.swap(fresh);
    return result;
}

} // namespace quillon::editor
