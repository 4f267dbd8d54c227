// Everything one run of analyzer-editor holds: the start-up data, the link
// and the machine's macro lists, the open analyzer with its document, and
// the windows that show them. Everything runs on the one interface thread.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analyzer/model.h"
#include "device/key_table.h"
#include "device/link.h"
#include "device/macro_memory.h"
#include "device/startup_data.h"
#include "editor/colour_boxes.h"
#include "editor/editor_document.h"
#include "editor/item_editing.h"
#include "editor/item_list_editing.h"
#include "editor/machine_macros.h"
#include "editor/main_panel.h"
#include "editor/screenshots.h"
#include "winui/message_boxes.h"

namespace quillon::editor_ui {

class NoticeWindows;
class ProgressWindow;
struct RowDialogContext;

// What one condition found in a test on the shown screenshot, in its pixels.
struct StillTestMark {
    int number = 0; // the condition's row, from 1
    bool held = false;
    bool located = false; // `box`: where it looked or matched
    RECT box{};
    bool hasArea = false; // a range search's area
    RECT area{};
    int similarity = -1;
};

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
    std::unique_ptr<ProgressWindow> progress;
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
    // The item list was focused after the three row lists: the row buttons
    // act on the items, with their own clipboard.
    bool itemListFocused = false;
    editor::ItemClipboard itemClipboard;
    // "신규 저장" or "변경 저장" waiting for the storing window's delay.
    std::optional<editor::StoreMode> pendingStore;

    // The one condition or command dialog open.
    HWND rowDialog = nullptr;
    std::unique_ptr<RowDialogContext> rowDialogContext;

    std::string startPath; // an analyzer named on the command line

    HWND mainWindow = nullptr;
    HWND mainPanel = nullptr;
    HWND sidePanel = nullptr;
    HWND captureDialog = nullptr;
    HWND magnifier = nullptr;
    // The capture dialog: a new image at the point, or the chosen image
    // changed; the last sizes entered are the next defaults.
    bool captureForNew = true;
    POINT capturePoint{0, 0};
    int captureEditPosition = -1;
    int lastCaptureWidth = 21;
    int lastCaptureHeight = 21;
    // Move mode (F1 .. F2 or Esc) with the image as it was.
    bool moving = false;
    int movingSlot = -1;
    analyzer::ZeroedBlock<analyzer::RecognitionImage> movingCopy;
    // The windows of the current screenshot's recognition areas, by slot.
    std::map<int, HWND> areaWindows;
    bool altDown = false;
    // Colour boxes of the current screenshot, by slot, and their lock.
    std::map<int, HWND> boxWindows;
    std::unique_ptr<editor::ColourBoxLock> colourLock;
    bool areasHidden = false;
    bool panelsAttached = true;
    bool mainPanelHidden = false;
    // "현재 스샷에서 시험": its result window and the marks drawn on the view
    // while it is open.
    HWND stillTestWindow = nullptr;
    std::vector<StillTestMark> stillTestMarks;
};

// Window classes and the main window (screenshot_view_win.cpp).
bool registerWindowClasses(HINSTANCE instance);
HWND createMainWindow(EditorSession& session, HINSTANCE instance);
// Reads the current screenshot into the view and repaints it.
void showCurrentScreenshot(EditorSession& session);

// The screenshot view's tools (view_tools_win.cpp): the capture dialog,
// the magnifier, the area windows and the keys of the view.
bool createViewTools(EditorSession& session, HINSTANCE instance);
LRESULT CALLBACK magnifierProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK areaProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool onViewKey(EditorSession& session, UINT message, WPARAM wParam, LPARAM lParam);
void onViewPointerMove(EditorSession& session);
// The area windows of the current screenshot, made again.
void rebuildAreaWindows(EditorSession& session);
// Disables both panels (capture dialog, move mode); true hands them to
// settlePanels, so a panel another window holds stays disabled.
void setPanelsEnabled(EditorSession& session, bool enabled);
// Enables each panel unless something still holds it: the main panel while
// a condition or command dialog, the capture dialog, move mode, the pattern
// or number-pack editor or a pending store is there; the side panel while
// the capture dialog or move mode is.
void settlePanels(EditorSession& session);
// Anything under way that an autosave must not cut into: the above, a
// modal dialog (it disables its owner) or the autosave notice itself.
bool editorBusy(const EditorSession& session);
// The current screenshot's slot, or -1.
int currentScreenshotSlot(const EditorSession& session);

// Colour boxes (colour_boxes_win.cpp): dialog 202, a new box at the
// pointer (F7), the boxes of the current screenshot made again.
void openColourLock(EditorSession& session);
void placeColourBoxAtPointer(EditorSession& session);
void rebuildColourBoxes(EditorSession& session);
LRESULT CALLBACK colourBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the capture dialog to change the image at a list position (F4, "수정").
void openCaptureForEdit(EditorSession& session, int position);
// The side panel's image or area list again, with `position` chosen.
void showImageInSidePanel(EditorSession& session, int position);
void showAreaInSidePanel(EditorSession& session, int position);

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

// The pattern and number-pack editors (pattern_editor_win.cpp): opened from
// the side panel, each takes its place until closed; opening one closes the
// other.
void openPatternEditor(EditorSession& session);
void openNumberPackEditor(EditorSession& session);
// True while the pattern or the number-pack editor is open.
bool recognitionEditorOpen();
bool patternEditorOpen();
bool numberPackEditorOpen();
// Ctrl and Shift on the screenshot while the number-pack editor is open: the
// screenshot pixel at (x, y) joins its working selection; the working image
// is cleared.
void pickForNumberPack(EditorSession& session, int x, int y);
void clearNumberPackPicking(EditorSession& session);
LRESULT CALLBACK patternEditorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK numberPackEditorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "현재 스샷에서 시험" (still_test_win.cpp): the edited item's conditions on the
// shown screenshot, the results listed and drawn; ended by Esc, the result
// window's button, another screenshot or another item.
void runStillTest(EditorSession& session);
void endStillTest(EditorSession& session);
void paintStillTestMarks(const EditorSession& session, HDC dc);

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
    // Disabling remembers each panel's state; enabling puts it back.
    void setEditorEnabled(bool enabled) override;
    bool holding() const { return holding_; }

private:
    EditorSession& session_;
    HWND notice_ = nullptr;
    bool holding_ = false;
    bool mainWasEnabled_ = true;
    bool sideWasEnabled_ = true;
};

// The progress window of the file work (macros embedded or installed, sound
// blocks written or extracted): a line of text and a bar, made on the first
// report and gone when the work says it is done.
class ProgressWindow {
public:
    explicit ProgressWindow(HWND owner) : owner_(owner) {}
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    void report(const std::string& text, uint64_t done, uint64_t total);
    void close();
    bool shown() const { return window_ != nullptr; }

private:
    HWND owner_;
    HWND window_ = nullptr;
    std::string text_;
    int shownPermille_ = -1;
};

// Runs the messages of the interface thread for `ms` milliseconds.
void pumpMessagesFor(DWORD ms);

} // namespace quillon::editor_ui
