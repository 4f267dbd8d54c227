// The side panel (dialog 149): the analyzer's screenshots, recognition
// images, recognition areas and cursors, with the buttons that change them.
// The procedure moves control values in and out; the core decides.
#include <windows.h>
#include <commdlg.h>

#include <memory>
#include <optional>

#include "base/wide_text.h"
#include "editor/image_order.h"
#include "editor/reference_checks.h"
#include "editor/screenshots.h"
#include "editor/side_panel.h"
#include "editor/ui/editor_session.h"
#include "editor/ui/row_dialogs.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/cursor_bitmap.h"
#include "winui/dialog_data.h"
#include "winui/file_dialogs.h"
#include "winui/list_controls.h"
#include "winui/window_fit.h"

namespace quillon::editor_ui {
namespace {

using namespace editor;

struct ListControl {
    SideList list;
    int id;
};
constexpr ListControl kLists[] = {{SideList::Screenshots, IDC_SHOTS},
                                  {SideList::RecognitionImages, IDC_IMAGES},
                                  {SideList::Areas, IDC_AREAS},
                                  {SideList::Cursors, IDC_CURSORS}};

std::optional<size_t> chosen(HWND panel, int listId) { return winui::listBoxSelection(GetDlgItem(panel, listId)); }
int chosenPosition(HWND panel, int listId) {
    std::optional<size_t> row = chosen(panel, listId);
    return row ? static_cast<int>(*row) : -1;
}

void fillList(EditorSession& session, SideList list, int id, std::optional<size_t> selection) {
    winui::fillListBox(GetDlgItem(session.sidePanel, id), sideListLines(session.model, list), selection);
}

void showCursorPreviews(EditorSession& session, int position) {
    const analyzer::AnalyzerImage& a = session.model.image();
    HBITMAP mask = nullptr;
    HBITMAP colour = nullptr;
    if (position >= 0 && position < a.cursorCount) {
        const int slot = a.cursorOrder[position];
        if (slot >= 0 && slot < analyzer::kCursorCapacity) {
            const analyzer::CursorSample& c = a.cursors[slot];
            if (c.parts & 1) mask = winui::cursorBitmap(c.maskHeader, c.maskBits, sizeof c.maskBits);
            if (c.parts & 2) colour = winui::cursorBitmap(c.colourHeader, c.colourBits, sizeof c.colourBits);
        }
    }
    winui::setStaticBitmap(session.sidePanel, IDC_CURSOR_MASK, mask);
    winui::setStaticBitmap(session.sidePanel, IDC_CURSOR_COLOUR, colour);
}

void showScreenshotAt(EditorSession& session, int position) {
    session.model.image().currentScreenshot = position;
    showCurrentScreenshot(session);
    winui::setControlText(session.sidePanel, IDC_SHOT_CURSOR_POSITION, session.view.cursorText);
    winui::selectListBoxLine(GetDlgItem(session.sidePanel, IDC_SHOTS), static_cast<size_t>(position));
    winui::setControlText(session.sidePanel, IDC_SHOT_NAME,
                          winui::listBoxLine(GetDlgItem(session.sidePanel, IDC_SHOTS), static_cast<size_t>(position)));
}

void showImageDetails(EditorSession& session, int position) {
    HWND panel = session.sidePanel;
    std::optional<RecognitionImageDetails> details = recognitionImageDetails(session.model, position);
    winui::setControlText(panel, IDC_IMAGE_NAME, details ? details->name : "");
    winui::setControlText(panel, IDC_IMAGE_WIDTH, details ? std::to_string(details->width) : "");
    winui::setControlText(panel, IDC_IMAGE_HEIGHT, details ? std::to_string(details->height) : "");
    winui::setControlText(panel, IDC_IMAGE_CENTRE, details ? details->centre : "");
    if (details) {
        session.model.image().currentRecognitionImage = position;
        if (details->screenshotPosition >= 0 && details->screenshotPosition != session.model.image().currentScreenshot) {
            showScreenshotAt(session, details->screenshotPosition);
        }
    }
}

// The image order dialog: a working list, written into the analyzer on "저장".
struct OrderDialog {
    EditorSession* session;
    ImageOrder order;
};

void showOrder(HWND dialog, const OrderDialog& data, int row) {
    std::optional<size_t> selection;
    if (row >= 0) selection = static_cast<size_t>(row);
    winui::fillListBox(GetDlgItem(dialog, IDC_ORDER_LIST), data.order.lines(), selection);
    winui::setControlText(dialog, IDC_ORDER_NAME,
                          row >= 0 ? data.order.entries()[static_cast<size_t>(row)].name : std::string());
}

INT_PTR CALLBACK imageOrderProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<OrderDialog>(dialog, message, lParam);
    if (!data) return FALSE;
    if (message == WM_INITDIALOG) {
        showOrder(dialog, *data, -1);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    EditorSession& session = *data->session;
    const int row = chosenPosition(dialog, IDC_ORDER_LIST);
    switch (LOWORD(wParam)) {
    case IDC_ORDER_LIST:
        if (HIWORD(wParam) == LBN_SELCHANGE) showOrder(dialog, *data, row);
        return TRUE;
    case IDC_ORDER_UP: showOrder(dialog, *data, data->order.moveUp(row)); return TRUE;
    case IDC_ORDER_DOWN: showOrder(dialog, *data, data->order.moveDown(row)); return TRUE;
    case IDC_ORDER_TOP: showOrder(dialog, *data, data->order.moveToTop(row)); return TRUE;
    case IDC_ORDER_BOTTOM: showOrder(dialog, *data, data->order.moveToBottom(row)); return TRUE;
    case IDC_ORDER_DELETE:
        showOrder(dialog, *data, data->order.remove(row, session.model, session.working.get(), session.dialogs));
        return TRUE;
    case IDC_ORDER_RENAME:
        if (data->order.rename(row, winui::controlText(dialog, IDC_ORDER_NAME))) showOrder(dialog, *data, row);
        return TRUE;
    case IDOK:
        data->order.store(session.model, session.working.get(), session.dialogs);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

// The cursor keeping dialog: the proposed name in, the kept name out.
struct CursorKeeping {
    const CursorImage* cursor;
    std::string name;
};

INT_PTR CALLBACK cursorKeepingProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CursorKeeping* keeping = winui::dialogData<CursorKeeping>(dialog, message, lParam);
    if (!keeping) {
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG: {
        winui::setControlText(dialog, IDC_KEEP_NAME, keeping->name);
        const CursorImage& c = *keeping->cursor;
        auto picture = [](const DibInfoHeader& header, const std::vector<uint8_t>& bits) {
            return winui::cursorBitmap(reinterpret_cast<const uint8_t*>(&header), bits.data(), bits.size());
        };
        if (c.flags & kCursorHasMask) winui::setStaticBitmap(dialog, IDC_KEEP_MASK, picture(c.maskHeader, c.maskBits));
        if (c.flags & kCursorHasColour) {
            winui::setStaticBitmap(dialog, IDC_KEEP_COLOUR, picture(c.colourHeader, c.colourBits));
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            keeping->name = winui::controlText(dialog, IDC_KEEP_NAME);
            winui::setStaticBitmap(dialog, IDC_KEEP_MASK, nullptr);
            winui::setStaticBitmap(dialog, IDC_KEEP_COLOUR, nullptr);
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

std::string chooseScreenshotFile(EditorSession& session) {
    winui::FileChoice choice;
    choice.title = kImportTitle;
    choice.filter = std::string(kImportFilter) + "|*.bmp|";
    choice.folder = session.document->folders().imageSave;
    return winui::chooseFileToOpen(session.sidePanel, choice);
}

void importShot(EditorSession& session, bool replace) {
    if (replace && session.model.image().screenshotCount == 0) {
        return;
    }
    const std::string path = chooseScreenshotFile(session);
    if (path.empty()) {
        return;
    }
    ImportRequest request;
    request.bitmapPath = path;
    request.name = proposedScreenshotName(session.model);
    request.replaceCurrent = replace;
    request.chosenCursor = chosenPosition(session.sidePanel, IDC_CURSORS);
    HWND owner = session.sidePanel;
    CursorOffer offer = [owner](const CursorImage& cursor, const std::string& proposed) -> std::optional<std::string> {
        CursorKeeping keeping{&cursor, proposed};
        const INT_PTR pressed = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CURSOR_KEEP), owner,
                                                cursorKeepingProcedure, reinterpret_cast<LPARAM>(&keeping));
        if (pressed != IDOK) {
            return std::nullopt;
        }
        return keeping.name;
    };
    ImportResult result = importScreenshot(session.model, session.document->folders(), request, session.dialogs,
                                           offer);
    if (result.outcome != ImportOutcome::Imported) {
        return;
    }
    refreshSidePanel(session);
    showScreenshotAt(session, session.model.image().currentScreenshot);
    if (result.cursorSlot >= 0) {
        const int cursorRow = session.model.image().currentCursor;
        winui::selectListBoxLine(GetDlgItem(session.sidePanel, IDC_CURSORS), static_cast<size_t>(cursorRow));
        showCursorPreviews(session, cursorRow);
    }
}

// After a deletion or rename: the list again, with the entry at `keep`
// chosen when there is one.
void relist(EditorSession& session, SideList list, int id, int keep) {
    const int count = static_cast<int>(sideListLines(session.model, list).size());
    std::optional<size_t> selection;
    if (count > 0 && keep >= 0) {
        selection = static_cast<size_t>(std::min(keep, count - 1));
    }
    fillList(session, list, id, selection);
}

bool onCommand(EditorSession& session, int id, int code) {
    HWND panel = session.sidePanel;
    analyzer::AnalyzerModel& model = session.model;
    if (code == LBN_SELCHANGE) {
        const int position = chosenPosition(panel, id);
        switch (id) {
        case IDC_SHOTS:
            if (position >= 0) showScreenshotAt(session, position);
            return true;
        case IDC_IMAGES:
            showImageDetails(session, position);
            return true;
        case IDC_AREAS:
            winui::setControlText(panel, IDC_AREA_NAME, winui::listBoxLine(GetDlgItem(panel, id), position));
            if (position >= 0) model.image().currentArea = position;
            return true;
        case IDC_CURSORS:
            winui::setControlText(panel, IDC_CURSOR_NAME, winui::listBoxLine(GetDlgItem(panel, id), position));
            showCursorPreviews(session, position);
            return true;
        default:
            return false;
        }
    }
    switch (id) {
    case IDC_SHOT_ADD:
        importShot(session, false);
        return true;
    case IDC_SHOT_REPLACE:
        importShot(session, true);
        return true;
    case IDC_SHOT_RENAME: {
        const int position = chosenPosition(panel, IDC_SHOTS);
        if (position >= 0 && renameScreenshotAt(model, session.document->folders(), position,
                                                 winui::controlText(panel, IDC_SHOT_NAME), session.dialogs)) {
            relist(session, SideList::Screenshots, IDC_SHOTS, position);
        }
        return true;
    }
    case IDC_SHOT_DELETE: {
        const int position = chosenPosition(panel, IDC_SHOTS);
        if (position >= 0 &&
            deleteScreenshotAt(model, session.document->folders(), position, session.dialogs) !=
                ScreenshotDeletion::Refused) {
            relist(session, SideList::Screenshots, IDC_SHOTS, position);
            showCurrentScreenshot(session);
        }
        return true;
    }
    case IDC_IMAGE_DELETE: {
        const int position = chosenPosition(panel, IDC_IMAGES);
        // The item being edited counts with the row an open dialog is making.
        auto scratch = std::make_unique<analyzer::Item>();
        if (position >= 0 &&
            deleteRecognitionImageAt(model, position, itemBeingEdited(session, *scratch), session.dialogs)) {
            relist(session, SideList::RecognitionImages, IDC_IMAGES, position);
            showImageDetails(session, chosenPosition(panel, IDC_IMAGES));
            relist(session, SideList::Screenshots, IDC_SHOTS, model.image().currentScreenshot);
        }
        return true;
    }
    case IDC_IMAGE_GO:
        if (auto details = recognitionImageDetails(model, chosenPosition(panel, IDC_IMAGES))) {
            // The view shows the screenshot at 1:1 from the screen's corner.
            SetCursorPos(details->centreX, details->centreY);
        }
        return true;
    case IDC_AREA_RENAME:
    case IDC_CURSOR_RENAME: {
        const bool area = id == IDC_AREA_RENAME;
        const int listId = area ? IDC_AREAS : IDC_CURSORS;
        const int position = chosenPosition(panel, listId);
        const SideList list = area ? SideList::Areas : SideList::Cursors;
        if (position >= 0 &&
            renameObjectAt(model, list, position, winui::controlText(panel, area ? IDC_AREA_NAME : IDC_CURSOR_NAME))) {
            relist(session, list, listId, position);
        }
        return true;
    }
    case IDC_AREA_DELETE: {
        const int position = chosenPosition(panel, IDC_AREAS);
        if (position >= 0 && deleteAreaInsideAt(model, position, session.dialogs)) {
            relist(session, SideList::Areas, IDC_AREAS, position);
            rebuildAreaWindows(session);
        }
        return true;
    }
    case IDC_IMAGE_ORDER: {
        OrderDialog data{&session, ImageOrder(model)};
        if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_IMAGE_ORDER), panel, imageOrderProcedure,
                            reinterpret_cast<LPARAM>(&data)) == IDOK) {
            relist(session, SideList::RecognitionImages, IDC_IMAGES, -1);
            relist(session, SideList::Screenshots, IDC_SHOTS, model.image().currentScreenshot);
            showImageDetails(session, -1);
        }
        return true;
    }
    case IDC_IMAGE_EDIT:
        openCaptureForEdit(session, chosenPosition(panel, IDC_IMAGES));
        return true;
    case IDC_SIDE_PATTERN_EDITOR:
        // A pattern is marked inside a recognition image: none, no editor.
        if (model.image().recognitionImageCount > 0) openPatternEditor(session);
        return true;
    case IDC_SIDE_NUMBER_EDITOR:
        openNumberPackEditor(session);
        return true;
    case IDC_CURSOR_DELETE: {
        const int position = chosenPosition(panel, IDC_CURSORS);
        if (position >= 0 && deleteCursorAt(model, position, session.dialogs)) {
            relist(session, SideList::Cursors, IDC_CURSORS, position);
            showCursorPreviews(session, chosenPosition(panel, IDC_CURSORS));
        }
        return true;
    }
    case IDC_AREAS_HIDE:
        session.areasHidden = !session.areasHidden;
        winui::setControlText(panel, IDC_AREAS_HIDE, session.areasHidden ? kAreasShow : kAreasHide);
        for (const auto& [slot, window] : session.areaWindows) {
            ShowWindow(window, session.areasHidden ? SW_HIDE : SW_SHOWNOACTIVATE);
        }
        return true;
    case IDC_PANEL_HIDE:
        session.mainPanelHidden = !session.mainPanelHidden;
        ShowWindow(session.mainPanel, session.mainPanelHidden ? SW_HIDE : SW_SHOW);
        winui::setControlText(panel, IDC_PANEL_HIDE, session.mainPanelHidden ? kPanelShow : kPanelHide);
        return true;
    case IDC_PANELS_ATTACH:
        session.panelsAttached = IsDlgButtonChecked(panel, IDC_PANELS_ATTACH) == BST_CHECKED;
        winui::setControlText(panel, IDC_PANELS_ATTACH, session.panelsAttached ? kPanelsAttach : kPanelsDetach);
        placeSidePanel(session);
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK sidePanelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    EditorSession* session = winui::dialogData<EditorSession>(panel, message, lParam);
    if (!session) {
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        session->sidePanel = panel;
        CheckDlgButton(panel, IDC_PANELS_ATTACH, session->panelsAttached ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    case WM_COMMAND:
        return onCommand(*session, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
        return TRUE; // it goes with the main window
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
        return winui::scrollFittedWindow(panel, message, wParam, lParam) ? TRUE : FALSE;
    case WM_DESTROY:
        winui::setStaticBitmap(panel, IDC_CURSOR_MASK, nullptr);
        winui::setStaticBitmap(panel, IDC_CURSOR_COLOUR, nullptr);
        session->sidePanel = nullptr;
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

HWND createSidePanel(EditorSession& session, HINSTANCE instance) {
    HWND panel = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_SIDE_PANEL), session.mainWindow,
                                    sidePanelProcedure, reinterpret_cast<LPARAM>(&session));
    if (panel) {
        refreshSidePanel(session);
        // Taller than the work area at a high DPI: it scrolls within it.
        winui::fitToWorkArea(panel);
        placeSidePanel(session);
        ShowWindow(panel, SW_SHOWNOACTIVATE);
    }
    return panel;
}

void refreshSidePanel(EditorSession& session) {
    if (!session.sidePanel) {
        return;
    }
    const analyzer::AnalyzerImage& a = session.model.image();
    for (const ListControl& list : kLists) {
        fillList(session, list.list, list.id, std::nullopt);
    }
    if (a.screenshotCount > 0) {
        winui::selectListBoxLine(GetDlgItem(session.sidePanel, IDC_SHOTS), static_cast<size_t>(a.currentScreenshot));
    }
    winui::setControlText(session.sidePanel, IDC_SHOT_CURSOR_POSITION,
                          session.viewShown ? session.view.cursorText : "XXXX,YYYY");
    showImageDetails(session, -1);
    showCursorPreviews(session, -1);
}

void showImageInSidePanel(EditorSession& session, int position) {
    if (!session.sidePanel) return;
    relist(session, SideList::RecognitionImages, IDC_IMAGES, position);
    showImageDetails(session, position);
}

void showAreaInSidePanel(EditorSession& session, int position) {
    if (!session.sidePanel) return;
    relist(session, SideList::Areas, IDC_AREAS, position);
    winui::setControlText(session.sidePanel, IDC_AREA_NAME,
                          winui::listBoxLine(GetDlgItem(session.sidePanel, IDC_AREAS), static_cast<size_t>(position)));
    session.model.image().currentArea = position;
}

void placeSidePanel(EditorSession& session) {
    if (!session.sidePanel || !session.mainPanel || !session.panelsAttached) {
        return;
    }
    RECT main;
    RECT side;
    GetWindowRect(session.mainPanel, &main);
    GetWindowRect(session.sidePanel, &side);
    const int width = side.right - side.left;
    // Beside the main panel's right edge, or its left edge when the screen
    // ends first.
    int x = main.right;
    if (x + width > GetSystemMetrics(SM_CXSCREEN)) {
        x = main.left - width;
    }
    SetWindowPos(session.sidePanel, nullptr, std::max(0, x), main.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace quillon::editor_ui
