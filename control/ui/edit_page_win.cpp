// The edit page ("동작편집 매크로"): its macro folder, file kinds and location
// codes; the page itself is the shared macro page.
#include "control/ui/control_session.h"
#include "control/ui/macro_page.h"
#include "device/startup_offsets.h"
#include "resource.h"

namespace quillon::control_ui {

namespace {

const MacroPageKind kEditPage = {
    false,
    IDD_PAGE_EDIT,
    &control::kEditPageLocations,
    name_offset::kEditMacroFolder,
    "동작편집 매크로(*.eqn1,*.vele,*.veleL)|*.eqn1;*.vele;*.veleL|",
    "동작편집 매크로(*.eqn1)|*.eqn1|",
    "eqn1",
    1,
};

} // namespace

HWND createEditPage(ControlSession& s, HWND parent) { return createMacroPage(s, parent, kEditPage); }

} // namespace quillon::control_ui
