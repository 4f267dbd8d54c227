// What the editor saves after a crash, before the crash box: the analyzer it
// holds, written as its autosave (read back with "자동저장 불러오기").
#pragma once

namespace quillon::editor_ui {

struct EditorSession;

void saveWorkAfterCrash(EditorSession& session);

} // namespace quillon::editor_ui
