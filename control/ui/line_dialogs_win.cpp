// The line dialogs of the edit and combination pages.
#include "control/ui/line_dialogs.h"

namespace quillon::control_ui {

std::optional<control::EditLine> runLineDialog(HWND, const LineDialogRequest&) { return std::nullopt; }

} // namespace quillon::control_ui
