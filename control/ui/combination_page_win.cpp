// The combination page ("조합 매크로"): its macro folder, file kinds and
// location codes, and the two buttons that play memories; the page itself is
// the shared macro page.
#include "control/ui/control_session.h"
#include "control/ui/macro_page.h"
#include "device/startup_offsets.h"
#include "resource.h"

namespace quillon::control_ui {

namespace {

const MacroPageKind kCombinationPage = {
    true,
    IDD_PAGE_COMBINATION,
    &control::kCombinationPageLocations,
    name_offset::kCombinationMacroFolder,
    "조합 매크로(*.cqn1,*.velc,*.velcL)|*.cqn1;*.velc;*.velcL|",
    "조합 매크로(*.cqn1)|*.cqn1|",
    "cqn1",
    2,
};

} // namespace

HWND createCombinationPage(ControlSession& s, HWND parent) { return createMacroPage(s, parent, kCombinationPage); }

} // namespace quillon::control_ui
