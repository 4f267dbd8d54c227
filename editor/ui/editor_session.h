// Everything one run of analyzer-editor holds: the start-up data, the link
// and the machine's macro lists, the open analyzer with its document, and
// the windows that show them. Everything runs on the one interface thread.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analyzer/model.h"
#include "device/key_table.h"
#include "device/link.h"
#include "device/macro_memory.h"
#include "device/startup_data.h"
#include "editor/editor_document.h"
#include "editor/item_editing.h"
#include "editor/machine_macros.h"
#include "editor/main_panel.h"
#include "editor/screenshots.h"
#include "winui/message_boxes.h"

namespace quillon::editor_ui {

class NoticeWindows;
struct RowDialogContext;

struct EditorSession {
    EditorSession();
    ~EditorSession();

    std::string programFolder;
    StartupData data;
    Link link;
    std::unique_ptr<LinkMacroMemory> memory;
    editor::MacroNameLists macroNames;
    std::unique_ptr<editor::EditorMachineMacros> machineMacros;
    KeyTable keys{KeyNames::AnalyzerEditor};

    analyzer::AnalyzerModel model;
    winui::MessageBoxDialogs dialogs;
    std::unique_ptr<NoticeWindows> notices;
    std::unique_ptr<editor::EditorDocument> document;

    // The screenshot the main window shows at 1:1.
    editor::ScreenshotView view;
    bool viewShown = false;

    // The item list as shown and the item being edited.
    std::vector<editor::ItemListRow> itemRows;
    bool autoSort = true;
    int chosenItem = -1; // list position in the analyzer; -1: a new item
    std::unique_ptr<analyzer::Item> working;

    // The list the row operations act on (the last one focused) and the
    // rows copied from it.
    editor::RowList focusedList = editor::RowList::Conditions;
    editor::RowClipboard clipboard;
    // "신규 저장" or "변경 저장" waiting for the storing window's delay.
    std::optional<editor::StoreMode> pendingStore;

    // The one condition or command dialog open.
    HWND rowDialog = nullptr;
    std::unique_ptr<RowDialogContext> rowDialogContext;

    std::string startPath; // an analyzer named on the command line

    HWND mainWindow = nullptr;
    HWND mainPanel = nullptr;
    HWND sidePanel = nullptr;
    bool areasHidden = false;
    bool panelsAttached = true;
    bool mainPanelHidden = false;
};

// Window classes and the main window (screenshot_view_win.cpp).
bool registerWindowClasses(HINSTANCE instance);
HWND createMainWindow(EditorSession& session, HINSTANCE instance);
// Reads the current screenshot into the view and repaints it.
void showCurrentScreenshot(EditorSession& session);

// The main panel (main_panel_win.cpp).
HWND createMainPanel(EditorSession& session, HINSTANCE instance);
// Fills the item list, the editing area and the captions from the analyzer.
void refreshMainPanel(EditorSession& session);
// Shows the edited item again, choosing `row` of its conditions or
// commands list.
void showEditedItem(EditorSession& session, bool commands, int row);
// The chosen row of the conditions or commands list (-1: none).
int chosenRowOf(EditorSession& session, bool commands);
// The side panel (side_panel_win.cpp).
HWND createSidePanel(EditorSession& session, HINSTANCE instance);
// Fills its lists from the analyzer and shows the current screenshot's
// cursor position.
void refreshSidePanel(EditorSession& session);
// With the panels attached, puts the side panel beside the main panel.
void placeSidePanel(EditorSession& session);

// Opens an analyzer file as "불러 오기" does.
bool openAnalyzer(EditorSession& session, const std::string& path);

// The closing question, then the end of the program.
void requestClose(EditorSession& session);
// The link failed during an exchange: keep the analyzer, tell, close.
void closeAfterLinkLoss(EditorSession& session);
// True when the last exchange on the link failed.
bool linkFailed(const EditorSession& session);

// Small centred windows of one or two lines (the autosave notice, storing).
class NoticeWindows final : public editor::AutosaveWindows {
public:
    explicit NoticeWindows(EditorSession& session) : session_(session) {}
    ~NoticeWindows() override;
    void showNotice(const std::string& firstLine, const std::string& secondLine) override;
    void closeNotice() override;
    void setEditorEnabled(bool enabled) override;

private:
    EditorSession& session_;
    HWND notice_ = nullptr;
};

// Runs the messages of the interface thread for `ms` milliseconds.
void pumpMessagesFor(DWORD ms);

} // namespace quillon::editor_ui
