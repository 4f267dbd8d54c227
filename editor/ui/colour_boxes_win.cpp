// Colour boxes on the screenshot ("ReconAreaSolid" windows filled with their
// colour), the colour box dialog (185) and the lock dialog (202).
#include <windows.h>
#include <commdlg.h>

#include "editor/ui/editor_session.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"

namespace quillon::editor_ui {

using namespace editor;

namespace {

constexpr int kBoxWidth = 101;
constexpr int kBoxHeight = 21;

struct ColourChoice {
    COLORREF colour;
    COLORREF custom[16];
};

INT_PTR CALLBACK colourBoxDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* choice = winui::dialogData<ColourChoice>(dialog, message, lParam);
    if (!choice) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        HBRUSH brush = CreateSolidBrush(choice->colour);
        FillRect(item->hDC, &item->rcItem, brush);
        DeleteObject(brush);
        FrameRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_COLOUR_SWATCH) {
            // The swatch opens the system's colour chooser.
            CHOOSECOLORW chooser{};
            chooser.lStructSize = sizeof chooser;
            chooser.hwndOwner = dialog;
            chooser.rgbResult = choice->colour;
            chooser.lpCustColors = choice->custom;
            chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
            if (ChooseColorW(&chooser)) {
                choice->colour = chooser.rgbResult;
                InvalidateRect(GetDlgItem(dialog, IDC_COLOUR_SWATCH), nullptr, TRUE);
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

bool chooseColour(EditorSession& session, COLORREF& colour) {
    static COLORREF custom[16] = {};
    ColourChoice choice{colour, {}};
    std::copy(std::begin(custom), std::end(custom), choice.custom);
    const INT_PTR pressed = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_COLOUR_BOX),
                                            session.mainWindow, colourBoxDialogProcedure,
                                            reinterpret_cast<LPARAM>(&choice));
    std::copy(std::begin(choice.custom), std::end(choice.custom), custom);
    if (pressed != IDOK) return false;
    colour = choice.colour;
    return true;
}

int boxSlotOf(EditorSession& session, HWND window) {
    for (const auto& [slot, box] : session.boxWindows) {
        if (box == window) return slot;
    }
    return -1;
}

HWND makeBoxWindow(EditorSession& session, int slot) {
    const analyzer::FillPatch& box = session.model.image().fillPatches[slot];
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"ReconAreaSolid", L"", WS_POPUP | WS_BORDER, box.left, box.top,
                                  kBoxWidth, kBoxHeight, session.mainWindow, nullptr, GetModuleHandleW(nullptr),
                                  &session);
    if (!window) return nullptr;
    session.boxWindows[slot] = window;
    // Locked boxes take no clicks.
    EnableWindow(window, !session.colourLock || !session.colourLock->locked());
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

struct LockDialog {
    EditorSession* session;
};

INT_PTR CALLBACK colourLockProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<LockDialog>(dialog, message, lParam);
    if (!data) return FALSE;
    ColourBoxLock& lock = *data->session->colourLock;
    switch (message) {
    case WM_INITDIALOG:
        CheckDlgButton(dialog, IDC_LOCK_CHECK, lock.locked() ? BST_CHECKED : BST_UNCHECKED);
        winui::setControlText(dialog, IDC_LOCK_STATE,
                              lock.locked() ? colour_box_text::kLocked : colour_box_text::kUnlocked);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            Built<std::string> state = lock.apply(IsDlgButtonChecked(dialog, IDC_LOCK_CHECK) == BST_CHECKED,
                                                  winui::controlText(dialog, IDC_LOCK_PASSWORD));
            if (!state.ok()) {
                winui::showWarning(dialog, state.message);
                SetFocus(GetDlgItem(dialog, IDC_LOCK_PASSWORD));
                return TRUE;
            }
            winui::showNotice(dialog, *state.value);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

LRESULT CALLBACK colourBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* session = reinterpret_cast<EditorSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!session) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        const int slot = boxSlotOf(*session, window);
        if (slot >= 0) {
            RECT client;
            GetClientRect(window, &client);
            HBRUSH brush = CreateSolidBrush(session->model.image().fillPatches[slot].colour & 0xFFFFFF);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_NCLBUTTONDBLCLK: {
        // A double click on a box recolours it (a single drag moves it).
        const int slot = boxSlotOf(*session, window);
        COLORREF colour = slot >= 0 ? session->model.image().fillPatches[slot].colour : 0;
        if (slot >= 0 && chooseColour(*session, colour) && recolourBox(session->model, slot, colour)) {
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    }
    case WM_NCHITTEST: {
        const LRESULT hit = DefWindowProcW(window, message, wParam, lParam);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_WINDOWPOSCHANGED: {
        const int slot = boxSlotOf(*session, window);
        if (slot >= 0) {
            RECT r;
            GetWindowRect(window, &r);
            session->model.image().fillPatches[slot].left = r.left;
            session->model.image().fillPatches[slot].top = r.top;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void openColourLock(EditorSession& session) {
    LockDialog data{&session};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_COLOUR_LOCK), session.mainPanel,
                    colourLockProcedure, reinterpret_cast<LPARAM>(&data));
    for (const auto& [slot, window] : session.boxWindows) {
        EnableWindow(window, !session.colourLock->locked());
    }
}

void placeColourBoxAtPointer(EditorSession& session) {
    const int shotSlot = currentScreenshotSlot(session);
    if (shotSlot < 0 || session.colourLock->locked()) return;
    POINT p{0, 0};
    GetCursorPos(&p); // the point is remembered before the dialog opens
    COLORREF colour = RGB(255, 255, 0);
    if (!chooseColour(session, colour)) return;
    Built<int> placed = placeColourBox(session.model, p.x, p.y, shotSlot, colour);
    if (!placed.ok()) {
        if (!placed.message.empty()) session.dialogs.warn(placed.message);
        return;
    }
    makeBoxWindow(session, *placed.value);
}

void rebuildColourBoxes(EditorSession& session) {
    for (auto& [slot, window] : session.boxWindows) DestroyWindow(window);
    session.boxWindows.clear();
    const int shotSlot = currentScreenshotSlot(session);
    const analyzer::AnalyzerImage& a = session.model.image();
    for (int slot = 0; slot < analyzer::kFillPatchCapacity; ++slot) {
        if (a.fillPatches[slot].used && a.fillPatches[slot].screenshotSlot == shotSlot) {
            const analyzer::FillPatch box = a.fillPatches[slot];
            makeBoxWindow(session, slot);
            session.model.image().fillPatches[slot] = box; // made where the record says
        }
    }
}

} // namespace quillon::editor_ui
