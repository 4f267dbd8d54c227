// The main panel (dialog 160, menu 103): the item list, the editing area of
// one item, the file commands and the autosave switch. The procedure moves
// control values in and out; the decisions are the core's.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <ctime>

#include "base/wide_text.h"
#include "editor/item_sentences.h"
#include "editor/link_loss.h"
#include "editor/ui/editor_session.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/list_controls.h"

namespace quillon::editor_ui {
namespace {

using namespace editor;

constexpr UINT_PTR kAutosaveTimer = 1;
constexpr UINT kAutosaveTickMs = 100;

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    return *std::localtime(&now);
}

void check(HWND panel, int id, bool on) { CheckDlgButton(panel, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool checked(HWND panel, int id) { return IsDlgButtonChecked(panel, id) == BST_CHECKED; }

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

// The edited item's conditions, commands and links, shown as sentences.
void showWorkingItem(EditorSession& session) {
    HWND panel = session.mainPanel;
    const analyzer::Item& item = *session.working;
    AnalyzerNames names(session.model, session.keys);
    winui::setControlText(panel, IDC_ITEM_NAME, text::cp949ToUtf8(analyzer::fixedText(item.name)));
    check(panel, IDC_HEAD_ITEM, item.head != 0);
    check(panel, IDC_ALWAYS_SCAN, item.alwaysScan != 0);
    check(panel, IDC_TAKE_SCREENSHOT, item.takeScreenshot != 0);
    const IgnoreChecks ignore = ignoreChecksOf(item.ignoreMode);
    check(panel, IDC_IGNORE_CIRCULAR, ignore.circular);
    check(panel, IDC_IGNORE_AS_TRUE, ignore.trueSkip);
    check(panel, IDC_IGNORE_AS_FALSE, ignore.falseSkip);

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
    session.working = std::make_unique<analyzer::Item>();
    std::memset(session.working.get(), 0, sizeof(analyzer::Item));
    session.working->alwaysScan = 1;
    session.chosenItem = -1;
    showWorkingItem(session);
}

void chooseItemAtRow(EditorSession& session, std::optional<size_t> row) {
    if (!row || *row >= session.itemRows.size()) {
        return;
    }
    const int position = session.itemRows[*row].position;
    session.chosenItem = position;
    std::memcpy(session.working.get(), &session.model.item(position), sizeof(analyzer::Item));
    showWorkingItem(session);
}

void afterLoad(EditorSession& session) {
    session.chosenItem = -1;
    resetWorkingItem(session);
    refreshMainPanel(session);
    showCurrentScreenshot(session);
}

std::wstring analyzerFilter() {
    std::wstring filter = widen(panel_text::kAnalyzerFilter);
    filter.push_back(L'\0');
    filter += L"*.dat";
    filter.push_back(L'\0');
    return filter;
}

// The open or save dialog; an empty result means the user cancelled.
std::string chooseAnalyzerFile(EditorSession& session, bool saving) {
    std::wstring filter = analyzerFilter();
    std::wstring title = widen(saving ? panel_text::kSaveDialogTitle : panel_text::kOpenDialogTitle);
    std::wstring folder = widen(session.document->folders().save);
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = session.mainPanel;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"dat";
    dialog.lpstrInitialDir = folder.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (saving ? OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
    const BOOL chosen = saving ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? narrow(file) : std::string();
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
    case AutosaveTick::RestoreFailed:
        afterLoad(session);
        break;
    default:
        break;
    }
}

bool onCommand(EditorSession& session, int id, int code) {
    HWND panel = session.mainPanel;
    switch (id) {
    case IDC_ITEM_LIST:
        if (code == LBN_SELCHANGE) {
            chooseItemAtRow(session, winui::listBoxSelection(GetDlgItem(panel, IDC_ITEM_LIST)));
        }
        return true;
    case IDC_AUTO_SORT:
        session.autoSort = checked(panel, IDC_AUTO_SORT);
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
        if (session.document->startNew(localNow(), true)) {
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
    case IDM_FILE_EXIT:
    case IDCANCEL:
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
        winui::setWindowText(panel, mainPanelCaption(localNow()));
        winui::setControlText(panel, IDC_LINK_KIND,
                              session->link.kind() == LinkKind::Serial ? panel_text::kLinkSerial
                                                                       : panel_text::kLinkUsb);
        check(panel, IDC_AUTO_SORT, session->autoSort);
        winui::setControlText(panel, IDC_AUTOSAVE, session->document->autosave().buttonCaption());
        resetWorkingItem(*session);
        fillItemList(*session);
        placePanel(panel);
        SetTimer(panel, kAutosaveTimer, kAutosaveTickMs, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kAutosaveTimer) {
            onTimer(*session);
        }
        return TRUE;
    case WM_VSCROLL:
        scrollPanel(panel, wParam);
        return TRUE;
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

void refreshMainPanel(EditorSession& session) {
    if (session.mainPanel) {
        fillItemList(session);
    }
}

bool openAnalyzer(EditorSession& session, const std::string& path) {
    session.link.clearError();
    const bool opened = session.document->open(path);
    if (!opened && linkFailed(session)) {
        closeAfterLinkLoss(session);
        return false;
    }
    afterLoad(session);
    if (opened) {
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
    if (session_.mainPanel) {
        EnableWindow(session_.mainPanel, enabled);
    }
}

} // namespace quillon::editor_ui
