#include "editor/ui/crash_rescue.h"

#include "editor/link_loss.h"
#include "editor/ui/editor_session.h"

namespace quillon::editor_ui {

void saveWorkAfterCrash(EditorSession& session) {
    // The autosave writer asks nothing of the machine, and an analyzer with
    // nothing in it is not worth replacing the last autosave with.
    if (session.document && editor::analyzerHasWork(session.model)) {
        session.document->file().saveAutosave(session.model, session.document->folders().autosavePath());
    }
}

} // namespace quillon::editor_ui
