#include "editor/sounds.h"

#include "analyzer/analyzer_file.h"
#include "analyzer/records.h"
#include "base/file.h"
#include "base/text.h"

namespace quillon::editor {

std::string soundChooserFolder(const std::string& windowsFolder) {
    std::string folder = windowsFolder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') {
        folder += '\\';
    }
    return folder + "Media\\";
}

Built<std::string> chooseSound(const EditorFolders& folders, const std::string& chosenPath, UserDialogs& dialogs) {
    std::string name = files::fileNameOf(chosenPath);
    std::string cp949 = text::utf8ToCp949(name);
    if (!isSafeFileName(name) || cp949.size() >= analyzer::cmd::Device::sound.bytes ||
        cp949.find('?') != std::string::npos) {
        dialogs.warn(sound_message::kUnusableSound);
        return Built<std::string>::refused(sound_message::kUnusableSound);
    }
    std::string target = analyzer::joinPath(folders.sound, name);
    bool copyIt = true;
    if (files::exists(target)) {
        copyIt = dialogs.askYesNo(sound_message::kOverwriteQuestion);
    }
    if (copyIt && !files::copy(chosenPath, target)) {
        dialogs.warn(sound_message::kUnusableSound);
        return Built<std::string>::refused(sound_message::kUnusableSound);
    }
    return Built<std::string>::of(name);
}

} // namespace quillon::editor
