// The main panel (dialog 160, menu 103): the item list, the editing area of
// one item, the file commands and the autosave switch. The procedure moves
// control values in and out; the decisions are the core's.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "analyzer/limits.h"
#include "base/local_time.h"
#include "base/wide_text.h"
#include "editor/item_sentences.h"
#include "editor/link_loss.h"
#include "editor/next_link_form.h"
#include "editor/ui/editor_session.h"
#include "editor/ui/row_dialogs.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/form_dialog.h"
#include "winui/file_dialogs.h"
#include "winui/list_controls.h"

namespace quillon::editor_ui {
namespace {

using namespace editor;

constexpr UINT_PTR kAutosaveTimer = 1;
constexpr UINT_PTR kStoreTimer = 2;
constexpr UINT kAutosaveTickMs = 100;

void fillItemList(EditorSession& session);

// The item list again after an operation on the items: with as many rows
// as before only the lines that changed are written (a move touches two),
// so a long list does not flicker or stall; otherwise it is filled anew.
void updateItemList(EditorSession& session) {
    HWND list = GetDlgItem(session.mainPanel, IDC_ITEM_LIST);
    std::vector<ItemListRow> rows = itemListRows(session.model, session.autoSort);
    if (rows.size() != session.itemRows.size()) {
        fillItemList(session);
        return;
    }
    const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].line != session.itemRows[row].line) {
            const std::wstring line = widen(rows[row].line);
            SendMessageW(list, LB_DELETESTRING, row, 0);
            SendMessageW(list, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(line.c_str()));
        }
    }
    session.itemRows = std::move(rows);
    const int chosen = rowOfItem(session.itemRows, session.chosenItem);
    SendMessageW(list, LB_SETCURSEL, chosen >= 0 ? static_cast<WPARAM>(chosen) : static_cast<WPARAM>(-1), 0);
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void fillItemList(EditorSession& session) {
    HWND panel = session.mainPanel;
    session.itemRows = itemListRows(session.model, session.autoSort);
    std::vector<std::string> lines;
    lines.reserve(session.itemRows.size());
    for (const ItemListRow& row : session.itemRows) {
        lines.push_back(row.line);
    }
    HWND list = GetDlgItem(panel, IDC_ITEM_LIST);
    SendMessageW(list, LB_INITSTORAGE, lines.size(), lines.size() * 64);
    std::optional<size_t> selection;
    if (int row = rowOfItem(session.itemRows, session.chosenItem); row >= 0) {
        selection = static_cast<size_t>(row);
    }
    winui::fillListBox(list, lines, selection);
}

// The edited item's name and checks (only when an item is loaded: the user's
// typing stays while rows change).
void showItemFields(EditorSession& session) {
    HWND panel = session.mainPanel;
    const analyzer::Item& item = *session.working;
    winui::setControlText(panel, IDC_ITEM_NAME, text::cp949ToUtf8(analyzer::fixedText(item.name)));
    winui::setChecked(panel, IDC_HEAD_ITEM, item.head != 0);
    winui::setChecked(panel, IDC_ALWAYS_SCAN, item.alwaysScan != 0);
    winui::setChecked(panel, IDC_TAKE_SCREENSHOT, item.takeScreenshot != 0);
    const IgnoreChecks ignore = ignoreChecksOf(item.ignoreMode);
    winui::setChecked(panel, IDC_IGNORE_CIRCULAR, ignore.circular);
    winui::setChecked(panel, IDC_IGNORE_AS_TRUE, ignore.trueSkip);
    winui::setChecked(panel, IDC_IGNORE_AS_FALSE, ignore.falseSkip);
}

// The edited item's conditions, commands and links, shown as sentences.
void showWorkingItem(EditorSession& session) {
    HWND panel = session.mainPanel;
    const analyzer::Item& item = *session.working;
    AnalyzerNames names(session.model, session.keys);
    std::vector<std::string> lines;
    for (int i = 0; i < item.conditionCount && i < analyzer::kConditionsPerItem; ++i) {
        lines.push_back(conditionSentence(item.conditions[i], names));
    }
    winui::fillListBox(GetDlgItem(panel, IDC_CONDITIONS), lines);
    lines.clear();
    for (int i = 0; i < item.commandCount && i < analyzer::kCommandsPerItem; ++i) {
        lines.push_back(commandSentence(item.commands[i], names));
    }
    winui::fillListBox(GetDlgItem(panel, IDC_COMMANDS), lines);
    lines.clear();
    for (int i = 0; i < item.nextLinkCount && i < analyzer::kNextLinksPerItem; ++i) {
        lines.push_back(nextLinkSentence(item.nextLinks[i], names));
    }
    winui::fillListBox(GetDlgItem(panel, IDC_NEXT_LINKS), lines);
    winui::setControlText(panel, IDC_FALSE_BRANCH, branchLine(item, BranchKind::False, names));
    winui::setControlText(panel, IDC_OTHERWISE_BRANCH, branchLine(item, BranchKind::Otherwise, names));
}

// An empty editing area for a new item ("항상스캔" checked).
void resetWorkingItem(EditorSession& session) {
    endStillTest(session);
    session.working = std::make_unique<analyzer::Item>();
    std::memset(session.working.get(), 0, sizeof(analyzer::Item));
    session.working->alwaysScan = 1;
    session.chosenItem = -1;
    showItemFields(session);
    showWorkingItem(session);
}

void chooseItemAtRow(EditorSession& session, std::optional<size_t> row) {
    if (!row || *row >= session.itemRows.size()) {
        return;
    }
    const int position = session.itemRows[*row].position;
    endStillTest(session);
    session.chosenItem = position;
    std::memcpy(session.working.get(), &session.model.item(position), sizeof(analyzer::Item));
    showItemFields(session);
    showWorkingItem(session);
}

void afterLoad(EditorSession& session) {
    session.chosenItem = -1;
    session.colourLock->forget();
    resetWorkingItem(session);
    refreshMainPanel(session);
    showCurrentScreenshot(session);
    refreshSidePanel(session);
}

// The open or save dialog; an empty result means the user cancelled.
std::string chooseAnalyzerFile(EditorSession& session, bool saving, const char* openTitle = panel_text::kOpenDialogTitle) {
    winui::FileChoice choice;
    choice.title = saving ? panel_text::kSaveDialogTitle : openTitle;
    choice.filter = std::string(panel_text::kAnalyzerFilter) + "|*.dat|";
    choice.defaultExtension = "dat";
    choice.folder = session.document->folders().save;
    choice.askBeforeReplacing = false;
    return saving ? winui::chooseFileToSave(session.mainPanel, choice)
                  : winui::chooseFileToOpen(session.mainPanel, choice);
}

void saveAnalyzer(EditorSession& session) {
    std::string path = chooseAnalyzerFile(session, true);
    if (path.empty()) {
        return;
    }
    session.link.clearError();
    const bool saved = session.document->save(path);
    if (!saved && linkFailed(session)) {
        closeAfterLinkLoss(session);
        return;
    }
    if (saved) {
        winui::setWindowText(session.mainPanel, session.document->title());
    }
}

void placePanel(HWND panel) {
    RECT frame;
    GetWindowRect(panel, &frame);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const PanelPlacement place = placeMainPanel(frame.right - frame.left, frame.bottom - frame.top,
                                                GetSystemMetrics(SM_CXSCREEN), work.top, work.bottom - work.top);
    SetWindowPos(panel, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (place.scrollSteps > 0) {
        // The scroll bar takes its width from the client area: the panel
        // grows by it, so no control on the right is cut off. It ends at the
        // work area's bottom, never below the screen: its lower part comes
        // into view by scrolling.
        SetWindowPos(panel, nullptr, 0, 0, frame.right - frame.left + GetSystemMetrics(SM_CXVSCROLL),
                     work.bottom - work.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowScrollBar(panel, SB_VERT, TRUE);
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS, 0, place.scrollSteps, 0, 0, 0};
        SetScrollInfo(panel, SB_VERT, &info, TRUE);
    }
}

void scrollPanel(HWND panel, WPARAM wParam) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(panel, SB_VERT, &info);
    int position = info.nPos;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: --position; break;
    case SB_LINEDOWN: ++position; break;
    case SB_PAGEUP: position -= 5; break;
    case SB_PAGEDOWN: position += 5; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    default: break;
    }
    position = std::max(info.nMin, std::min(position, info.nMax));
    if (position != info.nPos) {
        ScrollWindowEx(panel, 0, (info.nPos - position) * kPanelScrollStep, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
        info.fMask = SIF_POS;
        info.nPos = position;
        SetScrollInfo(panel, SB_VERT, &info, TRUE);
    }
}

void onTimer(EditorSession& session) {
    switch (session.document->autosave().tick()) {
    case AutosaveTick::Restored:
        afterLoad(session);
        winui::setWindowText(session.mainPanel, session.document->title());
        break;
    case AutosaveTick::RestoreFailed: // the open analyzer stays as it was
    default:
        break;
    }
}

int listIdOf(RowList list) {
    switch (list) {
    case RowList::Commands: return IDC_COMMANDS;
    case RowList::NextLinks: return IDC_NEXT_LINKS;
    case RowList::Conditions:
    default: return IDC_CONDITIONS;
    }
}

std::vector<int> selectedRows(HWND panel, RowList list) {
    HWND box = GetDlgItem(panel, listIdOf(list));
    const LRESULT count = SendMessageW(box, LB_GETSELCOUNT, 0, 0);
    std::vector<int> rows(count > 0 ? static_cast<size_t>(count) : 0);
    if (!rows.empty()) {
        SendMessageW(box, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
    }
    return rows;
}

void selectRows(HWND panel, RowList list, const std::vector<int>& rows) {
    HWND box = GetDlgItem(panel, listIdOf(list));
    SendMessageW(box, LB_SETSEL, FALSE, -1);
    for (int row : rows) {
        SendMessageW(box, LB_SETSEL, TRUE, row);
    }
}

// The row buttons on the item list: the list is single choice, so the
// operations take the chosen item. The item being edited follows its id; when
// it is deleted the editing area is emptied.
bool onItemListOperation(EditorSession& session, int id) {
    analyzer::AnalyzerModel& model = session.model;
    std::vector<int> chosen;
    if (auto row = winui::listBoxSelection(GetDlgItem(session.mainPanel, IDC_ITEM_LIST));
        row && *row < session.itemRows.size()) {
        chosen.push_back(session.itemRows[*row].position);
    }
    const bool editing = session.chosenItem >= 0 && session.chosenItem < model.itemCount();
    const int32_t editedId = editing ? model.item(session.chosenItem).id : 0;
    switch (id) {
    case IDC_ROWS_UP: moveItemsUp(model, chosen); break;
    case IDC_ROWS_DOWN: moveItemsDown(model, chosen); break;
    case IDC_ROWS_COPY: {
        Built<ItemClipboard> copied = copyItems(model, chosen);
        if (!copied.ok()) {
            session.dialogs.warn(copied.message);
        } else if (!copied->empty()) {
            session.itemClipboard = std::move(*copied);
        }
        return true;
    }
    case IDC_ROWS_PASTE_ABOVE:
    case IDC_ROWS_PASTE_BELOW: {
        Built<std::vector<int>> pasted = pasteItems(model, session.itemClipboard, chosen, id == IDC_ROWS_PASTE_ABOVE);
        if (!pasted.ok()) {
            session.dialogs.warn(pasted.message);
            return true;
        }
        break;
    }
    case IDC_ROWS_DELETE: {
        Built<std::vector<int>> deleted = deleteItems(model, chosen);
        if (!deleted.ok()) {
            session.dialogs.warn(deleted.message);
            return true;
        }
        break;
    }
    case IDC_ROWS_DELETE_ALL:
        if (model.itemCount() == 0 || !session.dialogs.askYesNo(item_list_message::kDeleteAllQuestion)) {
            return true;
        }
        deleteAllItems(model);
        break;
    default: return false;
    }
    session.chosenItem = editing ? model.findItemById(editedId) : -1;
    if (editing && session.chosenItem < 0) {
        resetWorkingItem(session);
    }
    updateItemList(session);
    return true;
}

// The row buttons act on the list that last had the focus.
bool onRowOperation(EditorSession& session, int id) {
    if (session.itemListFocused) {
        return onItemListOperation(session, id);
    }
    HWND panel = session.mainPanel;
    analyzer::Item& item = *session.working;
    const RowList list = session.focusedList;
    const std::vector<int> selected = selectedRows(panel, list);
    std::vector<int> after = selected;
    switch (id) {
    case IDC_ROWS_UP: after = moveRowsUp(item, list, selected); break;
    case IDC_ROWS_DOWN: after = moveRowsDown(item, list, selected); break;
    case IDC_ROWS_COPY: session.clipboard = copyRows(item, list, selected); return true;
    case IDC_ROWS_PASTE_ABOVE:
    case IDC_ROWS_PASTE_BELOW: {
        Built<std::vector<int>> pasted =
            pasteRows(item, list, session.clipboard, selected, id == IDC_ROWS_PASTE_ABOVE);
        if (!pasted.ok()) {
            session.dialogs.warn(pasted.message);
            return true;
        }
        after = *pasted.value;
        break;
    }
    case IDC_ROWS_DELETE: after = deleteRows(item, list, selected); break;
    case IDC_ROWS_DELETE_ALL:
        deleteAllRows(item, list);
        after.clear();
        break;
    default: return false;
    }
    showWorkingItem(session);
    selectRows(panel, list, after);
    return true;
}

void clearRows(EditorSession& session, RowList list) {
    deleteAllRows(*session.working, list);
    if (list == RowList::NextLinks) {
        // The two branch lines go with the links.
        session.working->falseBranch = 0;
        session.working->falseBranchTarget = 0;
        session.working->otherwiseBranch = 0;
        session.working->otherwiseBranchTarget = 0;
    }
    showWorkingItem(session);
}

ItemFields fieldsFromPanel(HWND panel) {
    ItemFields fields;
    fields.name = winui::controlText(panel, IDC_ITEM_NAME);
    fields.head = winui::isChecked(panel, IDC_HEAD_ITEM);
    fields.alwaysScan = winui::isChecked(panel, IDC_ALWAYS_SCAN);
    fields.takeScreenshot = winui::isChecked(panel, IDC_TAKE_SCREENSHOT);
    fields.ignore.circular = winui::isChecked(panel, IDC_IGNORE_CIRCULAR);
    fields.ignore.trueSkip = winui::isChecked(panel, IDC_IGNORE_AS_TRUE);
    fields.ignore.falseSkip = winui::isChecked(panel, IDC_IGNORE_AS_FALSE);
    return fields;
}

// Storing shows its window first and runs half a second later, so the
// window is painted before the list is rebuilt.
void beginStore(EditorSession& session, StoreMode mode) {
    session.pendingStore = mode;
    session.notices->showNotice(panel_text::kStoringItem, "");
    EnableWindow(session.mainPanel, FALSE);
    SetTimer(session.mainPanel, kStoreTimer, kStoreDelayMs, nullptr);
}

void finishStore(EditorSession& session) {
    HWND panel = session.mainPanel;
    KillTimer(panel, kStoreTimer);
    session.notices->closeNotice();
    if (!session.pendingStore) {
        settlePanels(session);
        return;
    }
    const StoreMode mode = *session.pendingStore;
    session.pendingStore.reset();
    settlePanels(session);
    Built<int> stored = storeEditedItem(session.model, *session.working, fieldsFromPanel(panel), mode,
                                        session.chosenItem);
    if (!stored.ok()) {
        session.dialogs.warn(stored.message);
        SetFocus(GetDlgItem(panel, IDC_ITEM_NAME));
        return;
    }
    session.chosenItem = *stored.value;
    fillItemList(session);
    showItemFields(session);
    showWorkingItem(session);
}

// Dialog 162: one more next-item link, or a branch target.
struct NextItemDialog {
    EditorSession* session;
};

INT_PTR CALLBACK nextItemProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<NextItemDialog>(dialog, message, lParam);
    if (!data) return FALSE;
    EditorSession& session = *data->session;
    static const std::vector<std::string> operators = {"", "<", "≤", "=", "≠"};
    switch (message) {
    case WM_INITDIALOG: {
        winui::fillComboBox(GetDlgItem(dialog, IDC_NEXT_TARGET), nextLinkTargets(session.model));
        const std::vector<std::string> names = variableNames(session.model);
        winui::fillComboBox(GetDlgItem(dialog, IDC_NEXT_LOW), names);
        winui::fillComboBox(GetDlgItem(dialog, IDC_NEXT_HIGH), names);
        winui::fillComboBox(GetDlgItem(dialog, IDC_NEXT_VARIABLE), names, 0);
        winui::fillComboBox(GetDlgItem(dialog, IDC_NEXT_LOW_OPERATOR), operators, 0);
        winui::fillComboBox(GetDlgItem(dialog, IDC_NEXT_HIGH_OPERATOR), operators, 0);
        CheckRadioButton(dialog, IDC_NEXT_BY_TEST, IDC_NEXT_OTHERWISE, IDC_NEXT_BY_TEST);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            NextLinkForm form;
            form.kind = winui::isChecked(dialog, IDC_NEXT_IF_FALSE)    ? NextLinkKind::FalseBranch
                        : winui::isChecked(dialog, IDC_NEXT_OTHERWISE) ? NextLinkKind::Otherwise
                                                                       : NextLinkKind::VariableTest;
            if (auto line = winui::comboBoxSelection(GetDlgItem(dialog, IDC_NEXT_TARGET))) {
                form.targetLine = static_cast<int>(*line);
            }
            form.lowOperator =
                static_cast<int>(winui::comboBoxSelection(GetDlgItem(dialog, IDC_NEXT_LOW_OPERATOR)).value_or(0));
            form.highOperator =
                static_cast<int>(winui::comboBoxSelection(GetDlgItem(dialog, IDC_NEXT_HIGH_OPERATOR)).value_or(0));
            form.variable =
                static_cast<int>(winui::comboBoxSelection(GetDlgItem(dialog, IDC_NEXT_VARIABLE)).value_or(0));
            form.low = winui::controlText(dialog, IDC_NEXT_LOW);
            form.high = winui::controlText(dialog, IDC_NEXT_HIGH);
            if (auto refusal = applyNextLink(*session.working, session.model, form)) {
                winui::showWarning(dialog, refusal->message);
                const int focus = refusal->focus == NextLinkField::Target ? IDC_NEXT_TARGET
                                  : refusal->focus == NextLinkField::Low  ? IDC_NEXT_LOW
                                  : refusal->focus == NextLinkField::High ? IDC_NEXT_HIGH
                                                                          : IDOK;
                SetFocus(GetDlgItem(dialog, focus));
                return TRUE;
            }
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

// A double click on a condition or command opens its dialog to change it.
void changeRow(EditorSession& session, bool commands) {
    const int row = chosenRowOf(session, commands);
    if (row < 0) {
        return;
    }
    const analyzer::Item& item = *session.working;
    const int kind = commands ? item.commands[row].kind() : item.conditions[row].kind();
    if (commands && kind == analyzer::CmdRunAnalyzer) {
        // This row has no dialog: its file is chosen again.
        if (session.sidePanel) ShowWindow(session.sidePanel, SW_HIDE);
        const std::string path = chooseAnalyzerFile(session, false, kRunAnalyzerDialogTitle);
        if (session.sidePanel) ShowWindow(session.sidePanel, SW_SHOWNOACTIVATE);
        if (path.empty()) return;
        Built<int> changed = changeRunAnalyzerCommand(*session.working, row, path,
                                                      session.document->folders().save, session.dialogs);
        if (!changed.ok()) {
            if (!changed.message.empty()) session.dialogs.warn(changed.message);
            return;
        }
        showEditedItem(session, true, *changed.value);
        return;
    }
    openRowDialog(session, RowKind{commands, kind}, row);
}

bool onCommand(EditorSession& session, int id, int code) {
    HWND panel = session.mainPanel;
    if (code == LBN_SETFOCUS && id == IDC_ITEM_LIST) {
        session.itemListFocused = true;
        return true;
    }
    if (code == LBN_SETFOCUS || code == LBN_DBLCLK) {
        if (id == IDC_CONDITIONS || id == IDC_COMMANDS || id == IDC_NEXT_LINKS) {
            session.itemListFocused = false;
            session.focusedList = id == IDC_CONDITIONS ? RowList::Conditions
                                  : id == IDC_COMMANDS ? RowList::Commands
                                                       : RowList::NextLinks;
            if (code == LBN_DBLCLK && id != IDC_NEXT_LINKS) {
                changeRow(session, id == IDC_COMMANDS);
            }
            return true;
        }
    }
    for (const KindButton& button : kindButtons()) {
        if (button.buttonId == id && code == BN_CLICKED) {
            openRowDialog(session, button.what, -1);
            return true;
        }
    }
    if (onRowOperation(session, id)) {
        return true;
    }
    switch (id) {
    case IDC_CLEAR_CONDITIONS:
        clearRows(session, RowList::Conditions);
        return true;
    case IDC_CLEAR_COMMANDS:
        clearRows(session, RowList::Commands);
        return true;
    case IDC_CLEAR_NEXT_LINKS:
        clearRows(session, RowList::NextLinks);
        return true;
    case IDC_CMD_REPLACE_ANALYZER: {
        if (session.working->commandCount >= analyzer::kCommandsPerItem) {
            session.dialogs.warn(analyzer::message::kTooManyCommands);
            return true;
        }
        if (session.sidePanel) ShowWindow(session.sidePanel, SW_HIDE);
        const std::string path = chooseAnalyzerFile(session, false, kRunAnalyzerDialogTitle);
        if (session.sidePanel) ShowWindow(session.sidePanel, SW_SHOWNOACTIVATE);
        if (path.empty()) return true;
        Built<int> added = addRunAnalyzerCommand(*session.working, chosenRowOf(session, true), path,
                                                 session.document->folders().save, session.dialogs);
        if (!added.ok()) {
            if (!added.message.empty()) session.dialogs.warn(added.message);
            return true;
        }
        showEditedItem(session, true, *added.value);
        return true;
    }
    case IDC_NEXT_ITEM_DIALOG: {
        NextItemDialog data{&session};
        if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_NEXT_ITEM), panel, nextItemProcedure,
                            reinterpret_cast<LPARAM>(&data)) == IDOK) {
            showWorkingItem(session);
        }
        return true;
    }
    case IDC_REMOVE_ITEM_DELAY:
        if (Status removed = removeItemDelay(*session.working); !removed.ok) {
            session.dialogs.warn(removed.message);
        }
        showWorkingItem(session);
        return true;
    case IDC_STORE_NEW:
        beginStore(session, StoreMode::New);
        return true;
    case IDC_STORE_OVER:
        beginStore(session, StoreMode::Over);
        return true;
    case IDC_ITEM_LIST:
        if (code == LBN_SELCHANGE) {
            chooseItemAtRow(session, winui::listBoxSelection(GetDlgItem(panel, IDC_ITEM_LIST)));
        }
        return true;
    case IDC_AUTO_SORT:
        session.autoSort = winui::isChecked(panel, IDC_AUTO_SORT);
        fillItemList(session);
        return true;
    case IDC_AUTOSAVE:
        session.document->autosave().toggle();
        winui::setControlText(panel, IDC_AUTOSAVE, session.document->autosave().buttonCaption());
        return true;
    case IDC_EDIT_RESET:
        resetWorkingItem(session);
        winui::selectListBoxLine(GetDlgItem(panel, IDC_ITEM_LIST), std::nullopt);
        return true;
    case IDM_FILE_NEW:
        if (session.document->startNew(localTimeNow(), true)) {
            afterLoad(session);
            winui::setWindowText(panel, session.document->title());
        }
        return true;
    case IDM_FILE_OPEN: {
        std::string path = chooseAnalyzerFile(session, false);
        if (!path.empty()) {
            openAnalyzer(session, path);
        }
        return true;
    }
    case IDM_FILE_RESTORE_AUTOSAVE:
        session.document->autosave().requestRestore();
        return true;
    case IDM_FILE_SAVE:
        saveAnalyzer(session);
        return true;
    case IDM_COLOUR_BOX_LOCK:
        openColourLock(session);
        return true;
    case IDC_TEST_ON_SCREENSHOT:
    case IDM_TEST_ON_SCREENSHOT:
        runStillTest(session);
        return true;
    case IDCANCEL:
        // Esc takes away a test's marks before it asks to close the editor.
        if (session.stillTestWindow) {
            endStillTest(session);
            return true;
        }
        requestClose(session);
        return true;
    case IDM_FILE_EXIT:
        requestClose(session);
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK mainPanelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    EditorSession* session = winui::dialogData<EditorSession>(panel, message, lParam);
    if (!session) {
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        session->mainPanel = panel;
        winui::setWindowText(panel, analyzer::newAnalyzerTitle(localTimeNow()));
        winui::setControlText(panel, IDC_LINK_KIND,
                              session->link.kind() == LinkKind::Serial ? panel_text::kLinkSerial
                                                                       : panel_text::kLinkUsb);
        winui::setChecked(panel, IDC_AUTO_SORT, session->autoSort);
        winui::setControlText(panel, IDC_AUTOSAVE, session->document->autosave().buttonCaption());
        resetWorkingItem(*session);
        fillItemList(*session);
        placePanel(panel);
        SetTimer(panel, kAutosaveTimer, kAutosaveTickMs, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kAutosaveTimer && !session->pendingStore) {
            onTimer(*session);
        } else if (wParam == kStoreTimer) {
            finishStore(*session);
        }
        return TRUE;
    case WM_VSCROLL:
        scrollPanel(panel, wParam);
        return TRUE;
    case WM_MOVE:
        placeSidePanel(*session);
        return FALSE;
    case WM_COMMAND:
        return onCommand(*session, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
        requestClose(*session);
        return TRUE;
    case WM_DESTROY:
        KillTimer(panel, kAutosaveTimer);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

HWND createMainPanel(EditorSession& session, HINSTANCE instance) {
    HWND panel = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_PANEL), session.mainWindow,
                                    mainPanelProcedure, reinterpret_cast<LPARAM>(&session));
    if (panel) {
        session.dialogs.setOwner(panel);
        ShowWindow(panel, SW_SHOW);
    }
    return panel;
}

void showEditedItem(EditorSession& session, bool commands, int row) {
    showWorkingItem(session);
    const RowList list = commands ? RowList::Commands : RowList::Conditions;
    session.focusedList = list;
    selectRows(session.mainPanel, list, {row});
}

int chosenRowOf(EditorSession& session, bool commands) {
    std::vector<int> rows = selectedRows(session.mainPanel, commands ? RowList::Commands : RowList::Conditions);
    return rows.empty() ? -1 : rows.front();
}

void refreshMainPanel(EditorSession& session) {
    if (session.mainPanel) {
        fillItemList(session);
    }
}

bool openAnalyzer(EditorSession& session, const std::string& path) {
    session.link.clearError();
    // The side panel is hidden while the file is read.
    if (session.sidePanel) ShowWindow(session.sidePanel, SW_HIDE);
    const bool opened = session.document->open(path);
    if (session.sidePanel) ShowWindow(session.sidePanel, SW_SHOWNOACTIVATE);
    if (!opened && linkFailed(session)) {
        closeAfterLinkLoss(session);
        return false;
    }
    // A file that did not open changed nothing: the lists and the item being
    // edited stay.
    if (opened) {
        afterLoad(session);
        winui::setWindowText(session.mainPanel, session.document->title());
    }
    return opened;
}

void requestClose(EditorSession& session) {
    if (confirmLeave(session.dialogs)) {
        DestroyWindow(session.mainWindow);
    }
}

bool linkFailed(const EditorSession& session) {
    const LinkFailure failure = session.link.lastError().failure;
    return failure == LinkFailure::SendFailed || failure == LinkFailure::ReceiveFailed;
}

void closeAfterLinkLoss(EditorSession& session) {
    EnableWindow(session.mainPanel, FALSE);
    const LinkLossClosing closing = closeOnLinkLoss(session.model, session.document->file(),
                                                    session.document->folders().autosavePath(),
                                                    session.link.lastError());
    winui::showWarning(session.mainPanel, closing.message);
    session.link.closeLink(); // nothing more is sent to a machine that stopped answering
    DestroyWindow(session.mainWindow);
}

NoticeWindows::~NoticeWindows() { closeNotice(); }

void NoticeWindows::showNotice(const std::string& firstLine, const std::string& secondLine) {
    closeNotice();
    notice_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_STORING), session_.mainWindow,
                                 [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    if (!notice_) {
        return;
    }
    winui::setControlText(notice_, IDC_FIRST_LINE, firstLine);
    winui::setControlText(notice_, IDC_SECOND_LINE, secondLine);
    ShowWindow(notice_, SW_SHOW);
    UpdateWindow(notice_);
}

void NoticeWindows::closeNotice() {
    if (notice_) {
        DestroyWindow(notice_);
        notice_ = nullptr;
    }
}

void NoticeWindows::setEditorEnabled(bool enabled) {
    HWND main = session_.mainPanel;
    HWND side = session_.sidePanel;
    if (!enabled) {
        if (!holding_) {
            mainWasEnabled_ = !main || IsWindowEnabled(main);
            sideWasEnabled_ = !side || IsWindowEnabled(side);
            holding_ = true;
        }
        if (main) EnableWindow(main, FALSE);
        if (side) EnableWindow(side, FALSE);
        return;
    }
    if (!holding_) return;
    holding_ = false;
    if (main) EnableWindow(main, mainWasEnabled_);
    if (side) EnableWindow(side, sideWasEnabled_);
}

} // namespace quillon::editor_ui
