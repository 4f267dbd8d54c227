// Choosing a sound for a sound command: the chosen file is copied into the
// Sound folder, where the analyzer file picks it up at save time.
#pragma once

#include <string>

#include "base/status.h"
#include "base/user_dialogs.h"
#include "editor/folders.h"

namespace quillon::editor {

namespace sound_message {
inline constexpr const char* kChooserTitle = "소리 파일(.wav)을 선택하세요.";
inline constexpr const char* kChooserFilter = "소리 파일(*.wav)";
inline constexpr const char* kOverwriteQuestion =
    "사운드 폴더에 이 사운드파일이 존재합니다.\n새 파일로 덮어 쓰시겠습니까? (덮어 쓰지 않아도 정상 작동함.)";
// The name must fit the command's 120-byte field and be one file name.
inline constexpr const char* kUnusableSound = "사용할 수 없는 사운드 파일입니다.";
} // namespace sound_message

// The folder the sound chooser opens in: "<Windows folder>\Media\".
std::string soundChooserFolder(const std::string& windowsFolder);

// Copies `chosenPath` into the Sound folder and gives the name inside it,
// for the command. When a file of that name is already there the user is
// asked whether to overwrite it; No keeps the file there and the choice still
// stands. A refusal has been shown when this returns.
Built<std::string> chooseSound(const EditorFolders& folders, const std::string& chosenPath, UserDialogs& dialogs);

} // namespace quillon::editor
