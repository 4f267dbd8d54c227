// The command dialogs: one procedure per dialog, each moving control values
// into its form (editor/forms) and back.
#include "editor/ui/row_dialogs.h"

namespace quillon::editor_ui {

std::span<const RowDialogEntry> commandDialogs() { return {}; }

} // namespace quillon::editor_ui
