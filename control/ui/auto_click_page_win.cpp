#include "control/ui/control_session.h"
namespace quillon::control_ui {
HWND createAutoClickPage(HWND) { return nullptr; }
} // namespace quillon::control_ui
