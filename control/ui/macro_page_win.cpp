// The edit and combination pages: the line list drawn by the program (each
// line in its colour, the selected rows highlighted), the counter, the name
// and option boxes, the line dialogs and the list operations, and moving the
// macro between the page, the machine and files. The rules are the core's
// (macro_line_editor.h, macro_pages.h, macro_files.h); the procedure moves
// control values and shows outcomes.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>

#include "base/file.h"
#include "base/fixed_text.h"
#include "base/format_text.h"
#include "base/local_time.h"
#include "base/text.h"
#include "base/wide_text.h"
#include "control/line_kinds.h"
#include "control/macro_compiler.h"
#include "control/link_sites.h"
#include "control/macro_files.h"
#include "control/macro_pages.h"
#include "control/memory_headers.h"
#include "control/ui/control_session.h"
#include "control/ui/line_dialogs.h"
#include "control/ui/macro_page.h"
#include "device/startup_offsets.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/message_boxes.h"
#include "winui/progress_dialog.h"

namespace quillon::control_ui {

using namespace control;

namespace {

constexpr const char* kLoadTitle = "불러올 파일이름을 선택/입력해주세요.";
constexpr const char* kSaveTitle = "저장할 파일이름을 입력/선택해주세요.";
constexpr const char* kDeleteAllQuestion = "모든 내용을 삭제하시겠습니까?";
constexpr const char* kNewMacroName = "새로 만든 매크로";
constexpr int kNameBytes = 40;
constexpr UINT kListSubclass = 1;

} // namespace

struct MacroPage {
    MacroPage(ControlSession& s, const MacroPageKind& pageKind);

    ControlSession& session;
    const MacroPageKind& kind;
    ZeroedPtr<MacroDocument> document = newMacroDocument();
    MacroLineEditor editor;
    ExtraBlock extra{};
    HWND window = nullptr;
    // Lines changed since the macro was last saved, stored or loaded.
    bool unsaved = false;
    bool partial = false; // the lines were read back from the machine only in part
    // The bit sets of the combination file the macro was loaded from: the
    // memories the file carries.
    uint32_t fileRecordedSet = 0;
    uint32_t fileEditSet = 0;
    // The screen of the absolute moves last read back or opened; unknown
    // after a screenshot is loaded here, whose size then rules.
    ReferenceScreen reference;
};

MacroPage::MacroPage(ControlSession& s, const MacroPageKind& pageKind)
    : session(s), kind(pageKind), editor(*document, *s.lineTexts, *pageKind.locations) {}

namespace {

MacroPage*& slotOf(ControlSession& s, bool combination) { return s.linePages[combination ? 1 : 0]; }

const MacroDocument* otherDocument(const MacroPage& page) {
    const MacroPage* other = slotOf(page.session, !page.kind.combination);
    return other ? other->document.get() : nullptr;
}

std::string folderOf(const MacroPage& page) { return userFolder(page.session, page.kind.folder) + "\\"; }

HWND listOf(const MacroPage& page) { return GetDlgItem(page.window, IDC_MP_LIST); }

// ---- the list ----------------------------------------------------------------------------

void showCounter(MacroPage& page) {
    winui::setControlText(page.window, IDC_MP_COUNTER, page.editor.counterText());
}

// The selection and the current line of the editor, shown in the list.
void showSelection(MacroPage& page) {
    HWND list = listOf(page);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (int line : page.editor.selectedLines()) {
        SendMessageW(list, LB_SETSEL, TRUE, line);
    }
    if (page.editor.lineCount() > 0) {
        SendMessageW(list, LB_SETCARETINDEX, page.editor.currentLine(), FALSE);
    }
    showCounter(page);
}

// Refills the list from the document's lines.
void showLines(MacroPage& page) {
    HWND list = listOf(page);
    const MacroDocument& document = *page.document;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const int count = document.head.lineCount;
    SendMessageW(list, LB_INITSTORAGE, count, static_cast<LPARAM>(count) * 64 * sizeof(wchar_t));
    for (int i = 0; i < count; ++i) {
        const std::wstring text = widen(lineDisplayText(document.lines[i]));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(list, LB_SETTOPINDEX, top, 0);
    showSelection(page);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

// The user changed the selection in the list: the editor follows.
void takeSelection(MacroPage& page) {
    HWND list = listOf(page);
    page.editor.clearSelection();
    const int selected = static_cast<int>(SendMessageW(list, LB_GETSELCOUNT, 0, 0));
    if (selected > 0) {
        std::vector<int> rows(static_cast<size_t>(selected));
        SendMessageW(list, LB_GETSELITEMS, selected, reinterpret_cast<LPARAM>(rows.data()));
        for (int row : rows) {
            page.editor.select(row, true);
        }
    }
    const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
    if (caret != LB_ERR) {
        page.editor.setCurrentLine(static_cast<int>(caret));
    }
    showCounter(page);
}

void drawLine(const MacroPage& page, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) {
        if (item.itemState & ODS_FOCUS) {
            DrawFocusRect(item.hDC, &item.rcItem);
        }
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int row = static_cast<int>(item.itemID);
    if (row < page.document->head.lineCount) {
        const LRESULT length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, row, 0);
        if (length > 0) {
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            SendMessageW(item.hwndItem, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<size_t>(length));
            SetBkMode(item.hDC, TRANSPARENT);
            SetTextColor(item.hDC, page.document->lines[row].colour);
            RECT area = item.rcItem;
            area.left += 2;
            DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &area,
                      DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    if (item.itemState & ODS_FOCUS) {
        DrawFocusRect(item.hDC, &item.rcItem);
    }
}

// Delete, Ctrl+C and Ctrl+V in the list act as the buttons of the same
// operations; the arrows move the current line as in any list.
LRESULT CALLBACK listKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_KEYDOWN) {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        int command = 0;
        if (wParam == VK_DELETE) {
            command = IDC_MP_DELETE;
        } else if (control && wParam == 'C') {
            command = IDC_MP_COPY;
        } else if (control && wParam == 'V') {
            command = IDC_MP_PASTE_BELOW;
        }
        if (command != 0) {
            PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
            return 0;
        }
    }
    if (message == WM_CHAR && GetKeyState(VK_CONTROL) < 0) {
        return 0; // no type-ahead search for the control keys
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(list, listKeys, kListSubclass);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

// ---- name and options ----------------------------------------------------------------------

struct OptionBox {
    int id;
    uint16_t flag;
};
constexpr OptionBox kOptionBoxes[] = {
    {IDC_MP_PLAY_ONCE, kFlagPlayOnce},
    {IDC_MP_FPS, kFlagFps},
    {IDC_MP_KEYBOARD_LOCK, kFlagKeyboardLock},
    {IDC_MP_MOUSE_LOCK, kFlagMouseLock},
};

uint16_t flagsOf(const MacroPage& page) {
    uint16_t flags = 0;
    for (const OptionBox& box : kOptionBoxes) {
        if (IsDlgButtonChecked(page.window, box.id) == BST_CHECKED) {
            flags |= box.flag;
        }
    }
    return flags;
}

std::string nameOf(const MacroPage& page) { return winui::controlText(page.window, IDC_MP_NAME); }

void showNameAndFlags(MacroPage& page, const char (&name)[42], uint16_t flags) {
    winui::setControlText(page.window, IDC_MP_NAME,
                          text::cp949ToUtf8(std::string(fixedText(name, sizeof name))));
    for (const OptionBox& box : kOptionBoxes) {
        CheckDlgButton(page.window, box.id, (flags & box.flag) ? BST_CHECKED : BST_UNCHECKED);
    }
}

void showCurrentMacro(MacroPage& page, const std::string& text) {
    winui::setControlText(page.window, IDC_MP_CURRENT, text);
}

// ---- line dialogs and list operations ------------------------------------------------------

LineFormContext contextOf(MacroPage& page, int editedLine) {
    const ControlSession& s = page.session;
    LineFormContext context;
    context.combination = page.kind.combination;
    if (page.reference.known()) {
        context.screenWidth = page.reference.width;
        context.screenHeight = page.reference.height;
    } else if (s.screenshot != nullptr) {
        context.screenWidth = s.screenshotWidth;
        context.screenHeight = s.screenshotHeight;
    }
    context.store = s.lineTexts.get();
    context.document = page.document.get();
    context.editedLine = editedLine;
    context.sharing = otherDocument(page);
    return context;
}

void changed(MacroPage& page) {
    page.unsaved = true;
    showLines(page);
}

void placeLine(MacroPage& page, const EditLine& line, AddMode mode) {
    const EditOutcome outcome = page.editor.addLine(line, mode);
    if (!outcome.ok) {
        winui::showWarning(page.window, outcome.message);
        return;
    }
    changed(page);
}

// A dialog button: the dialog builds a line, placed with the button the user
// pressed in it (at the end, before or after the current line).
void addThroughDialog(MacroPage& page, LineDialog dialog, std::optional<LineForm> form = std::nullopt) {
    AddMode placement = AddMode::Append;
    LineDialogRequest request;
    request.dialog = dialog;
    request.form = std::move(form);
    request.context = contextOf(page, -1);
    request.placement = &placement;
    if (const std::optional<EditLine> line = runLineDialog(page.session, page.window, request)) {
        placeLine(page, *line, placement);
    }
}

// "선택줄 수정": the dialog of the current line's family, filled from it.
// A random move to a remembered point (kind 40) opens none; it is changed
// by deleting it and adding the line anew.
void modifyCurrentLine(MacroPage& page) {
    const int current = page.editor.currentLine();
    if (current < 0 || current >= page.editor.lineCount() ||
        page.document->lines[current].kind == control::kind::kMoveToRememberedRandom) {
        return;
    }
    LineDialogRequest request;
    request.context = contextOf(page, current);
    request.form = formOf(page.document->lines[current], request.context);
    if (!request.form) {
        return; // a line no dialog makes
    }
    request.dialog = dialogOf(*request.form);
    request.change = true;
    if (const std::optional<EditLine> line = runLineDialog(page.session, page.window, request)) {
        placeLine(page, *line, AddMode::Replace);
    }
}

void showRefusal(MacroPage& page, const EditOutcome& outcome) {
    if (!outcome.ok) {
        winui::showNotice(page.window, outcome.message);
    }
}

struct DialogButton {
    int id;
    LineDialog dialog;
    int playKind; // 208 or 209 for the combination page's memory buttons
};
constexpr DialogButton kDialogButtons[] = {
    {IDC_MP_KEYBOARD, LineDialog::Keyboard, 0},
    {IDC_MP_BUTTON, LineDialog::MouseButton, 0},
    {IDC_MP_MOVE, LineDialog::Move, 0},
    {IDC_MP_FPS_MOVE, LineDialog::FpsMove, 0},
    {IDC_MP_DELAY, LineDialog::Delay, 0},
    {IDC_MP_REPEAT, LineDialog::Repeat, 0},
    {IDC_MP_REMOTE, LineDialog::Remote, 0},
    {IDC_MP_MACHINE_CONTROL, LineDialog::MachineControl, 0},
    {IDC_MP_TYPING, LineDialog::Typing, 0},
    {IDC_MP_PLAY_RECORDED, LineDialog::PlayMemory, kind::kPlayRecorded},
    {IDC_MP_PLAY_EDIT, LineDialog::PlayMemory, kind::kPlayEdit},
};

bool listOperation(MacroPage& page, int id) {
    MacroLineEditor& editor = page.editor;
    switch (id) {
    case IDC_MP_MODIFY:
        modifyCurrentLine(page);
        return true;
    case IDC_MP_MOVE_UP:
        if (editor.moveUp()) changed(page);
        return true;
    case IDC_MP_MOVE_DOWN:
        if (editor.moveDown()) changed(page);
        return true;
    case IDC_MP_COPY:
        showRefusal(page, editor.copySelection());
        return true;
    case IDC_MP_PASTE_ABOVE:
    case IDC_MP_PASTE_BELOW: {
        const EditOutcome outcome = editor.paste(id == IDC_MP_PASTE_BELOW);
        showRefusal(page, outcome);
        if (outcome.ok) changed(page);
        return true;
    }
    case IDC_MP_DELETE:
        if (!editor.selectedLines().empty()) {
            editor.deleteSelection();
            changed(page);
        }
        return true;
    case IDC_MP_DELETE_ALL:
        if (winui::messageBox(page.window, kDeleteAllQuestion, "알림", MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
            editor.deleteAll();
            page.partial = false;
            changed(page);
        }
        return true;
    case IDC_MP_INDENT:
        editor.indentSelection();
        changed(page);
        return true;
    case IDC_MP_OUTDENT:
        editor.outdentSelection();
        changed(page);
        return true;
    }
    return false;
}

// ---- machine ------------------------------------------------------------------------------

// Shows a core outcome: the notice, the error, or the program's ending.
void showOutcome(ControlSession& s, HWND window, const Status& outcome) {
    if (outcome.linkLost) {
        endOnLinkFailure(s, window);
    } else if (!outcome.ok) {
        winui::showWarning(window, outcome.message);
    } else if (!outcome.message.empty()) {
        winui::showNotice(window, outcome.message);
    }
}

// The memory headers for a picker; `forStore` tells the two call sites apart.
bool readHeaders(MacroPage& page, bool forStore) {
    ControlSession& s = page.session;
    if (page.kind.combination) {
        return filledCache(s, page.window, s.combinationHeaders,
                           forStore ? link_site::kCombinationHeadersForStore : link_site::kCombinationHeadersForLoad);
    }
    return filledCache(s, page.window, s.editHeaders,
                       forStore ? link_site::kEditHeadersForStore : link_site::kEditHeadersForLoad);
}

std::string memoryText(const MacroPage& page, int index) {
    return page.kind.combination ? formatText("%d번 메모리", index + 1)
                                 : formatText("%d-%d메모리", index / 8 + 1, index % 8 + 1);
}

void loadFromMachine(MacroPage& page) {
    ControlSession& s = page.session;
    if (!readHeaders(page, false)) {
        return;
    }
    MemoryPicker picker;
    picker.caption = "기계에서 불러오기";
    picker.confirm = "불러오기";
    picker.lines = page.kind.combination ? listLines(s.combinationHeaders) : listLines(s.editHeaders, true);
    picker.echo = page.kind.combination ? combinationEcho(s) : editEcho(s);
    // "선택메모리\n내용 삭제" empties the chosen memory, as on the recorded page.
    const bool combination = page.kind.combination;
    HWND window = page.window;
    picker.onClear = [&s, combination, window](size_t index) -> std::optional<std::string> {
        const bool cleared = combination
                                 ? clearCombination(s.memory, s.combinationHeaders, index, link_site::kCombinationClear)
                                 : clearEdit(s.memory, s.editHeaders, index, link_site::kEditClear);
        if (!cleared) {
            endOnLinkFailure(s, window);
            return std::nullopt;
        }
        return combination ? listLines(s.combinationHeaders)[index] : listLines(s.editHeaders, true)[index];
    };
    const int chosen = pickMemory(s, page.window, picker);
    if (chosen < 0) {
        return;
    }
    const size_t index = static_cast<size_t>(chosen);
    const bool filled = page.kind.combination ? !s.combinationHeaders.isEmpty(index) : !s.editHeaders.isEmpty(index);
    if (!filled) {
        return; // an empty memory has no lines to show
    }
    // The lines are rebuilt into a fresh document on the worker thread; the
    // page takes it once the whole memory was read.
    ZeroedPtr<MacroDocument> loaded = newMacroDocument();
    loaded->head = page.document->head;
    MachineMacro macro;
    bool ok = false;
    winui::ProgressJob job;
    job.text = kProgressWaitText;
    const MacroDocument* other = otherDocument(page);
    job.transfer = [&](const MemoryProgress& progress) {
        ok = page.kind.combination
                 ? loadCombinationMacroFromMachine(s.memory, chosen, *loaded, *s.lineTexts, other, macro, &progress)
                 : loadEditMacroFromMachine(s.memory, chosen, *loaded, *s.lineTexts, other, macro, &progress);
        return ok;
    };
    winui::runWithProgress(page.window, job);
    if (!ok) {
        endOnLinkFailure(s, page.window);
        return;
    }
    std::memcpy(page.document.get(), loaded.get(), sizeof(MacroDocument));
    page.editor.documentReplaced();
    char name[42] = {};
    storeFixedText(name, sizeof name, text::utf8ToCp949(macro.name));
    showNameAndFlags(page, name, macro.flags);
    page.fileRecordedSet = page.fileEditSet = 0;
    page.unsaved = false;
    page.partial = !macro.complete;
    if (referenceScreenOf(macro).known()) {
        page.reference = referenceScreenOf(macro);
    }
    showLines(page);
    showCurrentMacro(page, memoryText(page, chosen));
    if (page.partial) {
        winui::showWarning(page.window, partialReadNotice(macro.linesRead));
    }
}

// "이 조합매크로에는 녹화/편집매크로가 포함되어 있습니다. ...": asked after the
// code was stored, when the macro came from a file carrying memories.
void storeEmbedded(MacroPage& page) {
    ControlSession& s = page.session;
    const MacroDocument& document = *page.document;
    if (!page.kind.combination || document.head.origin != kOriginFile ||
        (page.fileRecordedSet == 0 && page.fileEditSet == 0)) {
        return;
    }
    const std::string question = embeddedMacroQuestion(page.fileRecordedSet, page.fileEditSet);
    if (winui::messageBox(page.window, question, "알림", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    const std::string path =
        text::cp949ToUtf8(std::string(fixedText(document.head.path, sizeof document.head.path)));
    FileOutcome outcome;
    winui::ProgressJob job;
    // Each memory is named on the dialog as its turn comes.
    job.text = kProgressWaitText;
    job.transfer = [&](const MemoryProgress& progress) {
        outcome = storeEmbeddedMacros(path, s.memory, &progress);
        return outcome.ok;
    };
    winui::runWithProgress(page.window, job);
    // The memories written are read again when a list next needs them.
    s.recordedHeaders.invalidate();
    s.editHeaders.invalidate();
    if (!outcome.ok) {
        showOutcome(page.session, page.window, outcome);
    }
}

void storeToMachine(MacroPage& page) {
    ControlSession& s = page.session;
    if (!readHeaders(page, true)) {
        return;
    }
    MemoryPicker picker;
    picker.caption = "기계에 저장하기";
    picker.confirm = "저장하기";
    picker.lines = page.kind.combination ? listLines(s.combinationHeaders) : listLines(s.editHeaders);
    picker.echo = page.kind.combination ? combinationEcho(s) : editEcho(s);
    const int chosen = pickMemory(s, page.window, picker);
    if (chosen < 0) {
        return;
    }
    if (page.partial &&
        winui::messageBox(page.window, kPartialStoreQuestion, "알림", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    // A macro that does not compile never reaches the machine.
    const TextStore& store = *s.lineTexts;
    const CompileResult code = page.kind.combination ? compileCombinationMacro(*page.document, store)
                                                     : compileEditMacro(*page.document, store);
    if (!code.ok()) {
        winui::showWarning(page.window, code.message);
        return;
    }
    const std::string name = nameOf(page);
    const uint16_t flags = flagsOf(page);
    // The store gives the header it wrote: the memory list shows it.
    StoreOutcome<CombinationMemoryHeader> combination;
    StoreOutcome<EditMemoryHeader> edit;
    winui::ProgressJob job;
    job.text = kProgressWaitText;
    job.transfer = [&](const MemoryProgress& progress) {
        if (page.kind.combination) {
            combination = storeCombinationMacro(s.memory, chosen, name, flags, code, &progress);
            return combination.ok;
        }
        edit = storeEditMacro(s.memory, chosen, name, flags, code, &progress);
        return edit.ok;
    };
    winui::runWithProgress(page.window, job);
    const PageOutcome& outcome = page.kind.combination ? static_cast<const PageOutcome&>(combination) : edit;
    if (!outcome.ok) {
        showOutcome(page.session, page.window, outcome);
        return;
    }
    const size_t index = static_cast<size_t>(chosen);
    if (page.kind.combination) {
        s.combinationHeaders.update(index, combination.header);
    } else {
        s.editHeaders.update(index, edit.header);
    }
    page.unsaved = false;
    storeEmbedded(page);
    if (!s.ending) {
        showSelection(page);
        winui::showNotice(page.window, kSaved);
    }
}

// ---- files ---------------------------------------------------------------------------------

// Takes a loaded document (and, for an edit file, its texts) into the page.
bool takeDocument(MacroPage& page, MacroDocument& loaded, const TextStore* fileStore, const std::string& path,
                  const char (&name)[42], uint16_t flags, bool fromFile) {
    if (fileStore != nullptr &&
        !adoptFileTexts(loaded, *fileStore, *page.session.lineTexts, *page.document, otherDocument(page))) {
        winui::showWarning(page.window, kTextStoreFull);
        return false;
    }
    takeLoadedDocument(*page.document, loaded, text::utf8ToCp949(path));
    if (!fromFile) {
        page.document->head.origin = 0;
    }
    page.editor.documentReplaced();
    showNameAndFlags(page, name, flags);
    page.unsaved = false;
    page.partial = false;
    if (referenceScreenOf(*page.document).known()) {
        page.reference = referenceScreenOf(*page.document);
    }
    showLines(page);
    showCurrentMacro(page, path);
    return true;
}

bool loadFile(MacroPage& page, const std::string& path) {
    if (page.kind.combination) {
        CombinationMacroFile file;
        const FileOutcome outcome = loadCombinationFile(path, file);
        if (!outcome.ok) {
            winui::showWarning(page.window, outcome.message);
            return false;
        }
        if (!takeDocument(page, *file.document, nullptr, path, file.header.name, file.header.flags, true)) {
            return false;
        }
        page.extra = file.extra;
        page.fileRecordedSet = file.header.recordedSet;
        page.fileEditSet = file.header.editSet;
        return true;
    }
    EditMacroFile file;
    const FileOutcome outcome = loadEditFile(path, file);
    if (!outcome.ok) {
        winui::showWarning(page.window, outcome.message);
        return false;
    }
    if (!takeDocument(page, *file.document, file.hasTextStore ? file.store.get() : nullptr, path, file.header.name,
                      file.header.flags, true)) {
        return false;
    }
    page.extra = file.extra;
    return true;
}

void loadFromFile(MacroPage& page) {
    const std::string path = chooseOpenFile(page.window, kLoadTitle, page.kind.loadFilter, page.kind.extension,
                                            folderOf(page));
    if (!path.empty()) {
        loadFile(page, path);
    }
}

void saveToFile(MacroPage& page) {
    ControlSession& s = page.session;
    if (page.editor.lineCount() == 0) {
        return; // nothing to save
    }
    const std::string name = nameOf(page);
    const std::string path = chooseSaveFile(page.window, kSaveTitle, page.kind.saveFilter, page.kind.extension,
                                            folderOf(page), name.empty() ? kNewMacroName : name);
    if (path.empty()) {
        return;
    }
    const uint16_t flags = flagsOf(page);
    PageOutcome outcome;
    if (page.kind.combination) {
        // The memories the macro plays are read from the machine into the file.
        winui::ProgressJob job;
        job.text = kProgressWaitText;
        job.transfer = [&](const MemoryProgress& progress) {
            outcome = saveCombinationPageFile(path, name, flags, page.extra, *page.document, *s.lineTexts,
                                              s.memory, &progress);
            return outcome.ok;
        };
        winui::runWithProgress(page.window, job);
    } else {
        outcome = saveEditPageFile(path, name, flags, page.extra, *page.document, *s.lineTexts);
    }
    if (outcome.ok) {
        page.unsaved = false;
    }
    showOutcome(page.session, page.window, outcome);
}

// Started with the page's argument: the working copy "tmp.tmp" of the
// working folder, read without its text store and not as a loaded file.
void loadWorkingCopyAtStart(MacroPage& page) {
    const std::string path = userFolder(page.session, name_offset::kWorkingFolder) + "\\" + kWorkingCopyName;
    EditMacroFile edit;
    CombinationMacroFile combination;
    const FileOutcome outcome = loadWorkingCopy(path, page.kind.startArgument, edit, combination);
    if (!outcome.ok) {
        winui::showWarning(page.window, outcome.message);
        return;
    }
    if (page.kind.combination) {
        takeDocument(page, *combination.document, nullptr, path, combination.header.name, combination.header.flags,
                     false);
    } else {
        takeDocument(page, *edit.document, nullptr, path, edit.header.name, edit.header.flags, false);
    }
}

// ---- the procedure --------------------------------------------------------------------------

void initPage(MacroPage& page) {
    slotOf(page.session, page.kind.combination) = &page;
    HWND list = listOf(page);
    SetWindowSubclass(list, listKeys, kListSubclass, 0);
    // Rows as high as the list's font, with a little air.
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 2);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 1600, 0);
    limitToCp949Bytes(GetDlgItem(page.window, IDC_MP_NAME), kNameBytes);
    showLines(page);
    ControlSession& s = page.session;
    if (s.startArgument == page.kind.startArgument) {
        loadWorkingCopyAtStart(page);
    } else if (const std::string path =
                   takeStartFile(s, page.kind.combination ? ControlPage::Combination : ControlPage::Edit);
               !path.empty()) {
        loadFile(page, path);
    }
}

INT_PTR CALLBACK macroPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* page = winui::dialogData<MacroPage>(window, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        page->window = window;
        initPage(*page);
        return TRUE;
    case WM_DRAWITEM:
        if (page != nullptr && wParam == IDC_MP_LIST) {
            drawLine(*page, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND: {
        if (page == nullptr) {
            return FALSE;
        }
        const int id = LOWORD(wParam);
        if (id == IDC_MP_LIST) {
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                takeSelection(*page);
            } else if (HIWORD(wParam) == LBN_DBLCLK) {
                takeSelection(*page);
                modifyCurrentLine(*page);
            }
            return TRUE;
        }
        if (HIWORD(wParam) != BN_CLICKED) {
            return FALSE;
        }
        for (const DialogButton& button : kDialogButtons) {
            if (button.id == id) {
                if (button.playKind != 0) {
                    addThroughDialog(*page, button.dialog, PlayMemoryLineForm{button.playKind, 0, {}});
                } else {
                    addThroughDialog(*page, button.dialog);
                }
                return TRUE;
            }
        }
        if (listOperation(*page, id)) {
            return TRUE;
        }
        switch (id) {
        case IDC_MP_LOAD_MACHINE:
            loadFromMachine(*page);
            return TRUE;
        case IDC_MP_LOAD_FILE:
            loadFromFile(*page);
            return TRUE;
        case IDC_MP_SAVE_MACHINE:
            storeToMachine(*page);
            return TRUE;
        case IDC_MP_SAVE_FILE:
            saveToFile(*page);
            return TRUE;
        case IDC_MP_LOAD_SCREENSHOT:
            if (loadScreenshot(page->session, window)) {
                page->reference = {};
            }
            return TRUE;
        }
        return FALSE;
    }
    case WM_NCDESTROY:
        if (page != nullptr) {
            slotOf(page->session, page->kind.combination) = nullptr;
            delete page;
        }
        return FALSE;
    default:
        return paintDialog(page ? &page->session : nullptr, message, wParam);
    }
}

} // namespace

HWND createMacroPage(ControlSession& s, HWND parent, const MacroPageKind& kind) {
    return CreateDialogParamW(s.instance, MAKEINTRESOURCEW(kind.resource), parent, macroPageProc,
                              reinterpret_cast<LPARAM>(new MacroPage(s, kind)));
}

bool anyUnsavedPage(const ControlSession& s) {
    for (const MacroPage* page : s.linePages) {
        if (page != nullptr && page->unsaved && page->editor.lineCount() > 0) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> saveUnsavedPages(ControlSession& s) {
    std::vector<std::string> written;
    const LocalTime now = localTimeNow();
    for (MacroPage* page : s.linePages) {
        if (page == nullptr || !page->unsaved || page->editor.lineCount() == 0) {
            continue;
        }
        std::string path;
        const FileOutcome outcome =
            saveRecoveryCopy(folderOf(*page), page->kind.combination, nameOf(*page), flagsOf(*page), now,
                             *page->document, *s.lineTexts, path);
        if (outcome.ok) {
            page->unsaved = false;
            written.push_back(path);
        }
    }
    return written;
}

} // namespace quillon::control_ui
