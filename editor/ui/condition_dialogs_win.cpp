// The condition dialogs: one procedure per dialog, each moving control values
// into its form (editor/forms) and back. What they all do alike is one body
// below: the place at the main panel, the refusals that close a dialog as it
// opens, the common buttons, the colours and the click on the screenshot.
// Each dialog adds how its controls are filled, read and changed.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <span>

#include "base/format_text.h"
#include "editor/forms/condition_forms.h"
#include "editor/forms/form_kinds.h"
#include "editor/ui/condition_controls.h"
#include "editor/ui/editor_session.h"
#include "editor/ui/row_dialogs.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/list_controls.h"

namespace quillon::editor_ui {
namespace {

using namespace editor;
using F = ConditionField;
using analyzer::ConditionKind;

constexpr UINT kKeyPressed = WM_APP + 42;

// What a dialog holds besides its controls while it is open.
struct DialogState {
    std::optional<uint32_t> colour; // 0x00RRGGBB, picked on the screenshot
    HBRUSH swatch = nullptr;
    int keyRow = -1;
    ~DialogState() {
        if (swatch) DeleteObject(swatch);
    }
};

DialogState* stateOf(HWND dialog) { return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA)); }

using FieldControl = winui::FieldControl<ConditionField>;

// One dialog's part: its controls filled from a form, read into one, and
// its own buttons and lists (true when it handled the notification).
struct ConditionDialog {
    void (*fill)(HWND, EditorSession&, const ConditionForm&);
    ConditionForm (*read)(HWND, EditorSession&);
    bool (*command)(HWND, EditorSession&, int id, int code);
    std::span<const FieldControl> focus;
};

void showColour(HWND dialog, std::optional<uint32_t> colour) {
    DialogState& state = *stateOf(dialog);
    state.colour = colour;
    if (state.swatch) DeleteObject(state.swatch);
    state.swatch = nullptr;
    if (colour) {
        const int red = (*colour >> 16) & 0xFF, green = (*colour >> 8) & 0xFF, blue = *colour & 0xFF;
        state.swatch = CreateSolidBrush(RGB(red, green, blue));
        winui::setControlText(dialog, IDC_IF_COLOUR_TEXT, formatText("%d,%d,%d", red, green, blue));
    }
    InvalidateRect(GetDlgItem(dialog, IDC_IF_SWATCH), nullptr, TRUE);
}

// ---- "변수" ---------------------------------------------------------------------------

constexpr std::initializer_list<const char*> kOperators = {"비교x", "<", "≤", "=", "≠"};

void fillOperators(HWND dialog, int id, int chosen) {
    std::vector<std::string> lines(kOperators.begin(), kOperators.end());
    winui::fillComboBox(GetDlgItem(dialog, id), lines,
                        chosen >= 0 ? std::optional<size_t>(static_cast<size_t>(chosen)) : std::nullopt);
}

void fillVariableTest(HWND dialog, EditorSession& session, const ConditionForm& form) {
    const auto& f = std::get<VariableConditionForm>(form);
    fillVariables(dialog, IDC_IF_LOW, session, -1);
    setNumberOrSlot(dialog, IDC_IF_LOW, f.low);
    fillOperators(dialog, IDC_IF_LOW_OPERATOR, f.lowOperator);
    fillVariables(dialog, IDC_IF_TESTED_VARIABLE, session, f.variable);
    fillOperators(dialog, IDC_IF_HIGH_OPERATOR, f.highOperator);
    fillVariables(dialog, IDC_IF_HIGH, session, -1);
    setNumberOrSlot(dialog, IDC_IF_HIGH, f.high);
    setChecked(dialog, IDC_IF_X_ONLY, f.compareX);
    setChecked(dialog, IDC_IF_Y_ONLY, f.compareY);
}

ConditionForm readVariableTest(HWND dialog, EditorSession&) {
    VariableConditionForm f;
    f.low = numberOrSlot(dialog, IDC_IF_LOW);
    f.lowOperator = comboChoice(dialog, IDC_IF_LOW_OPERATOR);
    f.variable = comboChoice(dialog, IDC_IF_TESTED_VARIABLE);
    f.highOperator = comboChoice(dialog, IDC_IF_HIGH_OPERATOR);
    f.high = numberOrSlot(dialog, IDC_IF_HIGH);
    f.compareX = isChecked(dialog, IDC_IF_X_ONLY);
    f.compareY = isChecked(dialog, IDC_IF_Y_ONLY);
    return f;
}

// "추가" makes one more variable (named as typed), "변경" renames the tested
// one; both keep what the other boxes hold and show the variable tested.
bool variableTestCommand(HWND dialog, EditorSession& session, int id, int code) {
    if (code != BN_CLICKED || (id != IDC_IF_VARIABLE_ADD && id != IDC_IF_VARIABLE_RENAME)) return false;
    auto form = std::get<VariableConditionForm>(readVariableTest(dialog, session));
    const std::string name = winui::controlText(dialog, IDC_IF_VARIABLE_NAME);
    std::optional<int> variable = form.variable;
    if (id == IDC_IF_VARIABLE_ADD) {
        variable = addNamedVariable(session.model, name);
    } else if (!renameVariable(session.model, form.variable, name)) {
        variable.reset();
    }
    if (!variable) {
        MessageBeep(MB_ICONEXCLAMATION);
        focusControl(dialog, IDC_IF_VARIABLE_NAME);
        return true;
    }
    form.variable = *variable;
    fillVariableTest(dialog, session, form);
    return true;
}

constexpr FieldControl kVariableFocus[] = {{F::LowValue, IDC_IF_LOW},
                                           {F::LowOperator, IDC_IF_LOW_OPERATOR},
                                           {F::TestedVariable, IDC_IF_TESTED_VARIABLE},
                                           {F::HighValue, IDC_IF_HIGH}};

// ---- "타이머 조건" -----------------------------------------------------------------------

void fillTimerTest(HWND dialog, EditorSession&, const ConditionForm& form) {
    const auto& f = std::get<TimerConditionForm>(form);
    fillTimers(dialog, IDC_IF_TIMER, f.timer);
    setToggle(dialog, IDC_IF_TIMER_BELOW, "≥", "<", f.below);
    fillTimers(dialog, IDC_IF_TIMER_VALUE, -1);
    setNumberOrSlot(dialog, IDC_IF_TIMER_VALUE, f.value);
}

ConditionForm readTimerTest(HWND dialog, EditorSession&) {
    return TimerConditionForm{comboChoice(dialog, IDC_IF_TIMER), toggleShowsSecond(dialog, IDC_IF_TIMER_BELOW, "<"),
                              numberOrSlot(dialog, IDC_IF_TIMER_VALUE)};
}

bool timerTestCommand(HWND dialog, EditorSession&, int id, int code) {
    if (id != IDC_IF_TIMER_BELOW || code != BN_CLICKED) return false;
    flipToggle(dialog, id, "≥", "<");
    return true;
}

constexpr FieldControl kTimerFocus[] = {{F::Timer, IDC_IF_TIMER}, {F::TimerValue, IDC_IF_TIMER_VALUE}};

// ---- "년월일시분초 조건" -------------------------------------------------------------------

struct DatePart {
    int id;
    uint8_t bit;
};
constexpr DatePart kDateParts[] = {
    {IDC_IF_PART_YEAR, date_part::kYear},   {IDC_IF_PART_MONTH, date_part::kMonth},
    {IDC_IF_PART_WEEKDAY, date_part::kWeekday}, {IDC_IF_PART_DAY, date_part::kDay},
    {IDC_IF_PART_HOUR, date_part::kHour},   {IDC_IF_PART_MINUTE, date_part::kMinute},
    {IDC_IF_PART_SECOND, date_part::kSecond},
};

void fillDateTest(HWND dialog, EditorSession&, const ConditionForm& form) {
    const auto& f = std::get<DateTimeConditionForm>(form);
    HWND picker = GetDlgItem(dialog, IDC_IF_WHEN);
    SendMessageW(picker, DTM_SETFORMATW, 0,
                 reinterpret_cast<LPARAM>(L"yyyy'년 'M'월 'd'일 'dddd'  'H'시'm'분's'초'"));
    SYSTEMTIME when{};
    if (f == DateTimeConditionForm{}) {
        GetLocalTime(&when); // a new condition starts from now
    } else {
        when.wYear = static_cast<WORD>(f.when.year);
        when.wMonth = static_cast<WORD>(f.when.month);
        when.wDay = static_cast<WORD>(f.when.day);
        when.wHour = static_cast<WORD>(f.when.hour);
        when.wMinute = static_cast<WORD>(f.when.minute);
        when.wSecond = static_cast<WORD>(f.when.second);
    }
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&when));
    setToggle(dialog, IDC_IF_WHEN_BELOW, "≥", "<", f.below);
    for (const DatePart& part : kDateParts) setChecked(dialog, part.id, (f.parts & part.bit) != 0);
}

ConditionForm readDateTest(HWND dialog, EditorSession&) {
    SYSTEMTIME when{};
    SendMessageW(GetDlgItem(dialog, IDC_IF_WHEN), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&when));
    DateTimeConditionForm f;
    f.when = {when.wYear, when.wMonth, when.wDay, when.wHour, when.wMinute, when.wSecond};
    f.below = toggleShowsSecond(dialog, IDC_IF_WHEN_BELOW, "<");
    for (const DatePart& part : kDateParts) {
        if (isChecked(dialog, part.id)) f.parts |= part.bit;
    }
    return f;
}

bool dateTestCommand(HWND dialog, EditorSession&, int id, int code) {
    if (id != IDC_IF_WHEN_BELOW || code != BN_CLICKED) return false;
    flipToggle(dialog, id, "≥", "<");
    return true;
}

// ---- "매크로 상태" -----------------------------------------------------------------------

void fillMacroState(HWND dialog, EditorSession&, const ConditionForm& form) {
    const int state = std::get<MacroStateConditionForm>(form).state;
    if (state >= 2) {
        // A row read from a file with one of the other states shows them all,
        // its own chosen.
        fillLines(dialog, IDC_IF_MACRO_STATE,
                  {"매크로가 돌아가고 있으면", "매크로가 꺼져 있으면", "매크로가 일시정지 상태이면",
                   "분석항목의 조건이 거짓이면", "그 이외의 조건인 경우"},
                  state);
        return;
    }
    fillLines(dialog, IDC_IF_MACRO_STATE, {"매크로가 돌아가고 있으면", "매크로가 꺼져 있으면"}, state);
}

ConditionForm readMacroState(HWND dialog, EditorSession&) {
    return MacroStateConditionForm{chosenLine(dialog, IDC_IF_MACRO_STATE)};
}

constexpr FieldControl kMacroStateFocus[] = {{F::Choice, IDC_IF_MACRO_STATE}};

// ---- what the image and range-search dialogs share ---------------------------------------

constexpr int kReferenceRadios[] = {IDC_IF_BY_IMAGE, IDC_IF_BY_COLOUR, IDC_IF_BY_VARIABLE};
constexpr ImageReference kReferences[] = {ImageReference::Image, ImageReference::Colour, ImageReference::Variable};

int referenceRadio(ImageReference reference) {
    for (int i = 0; i < 3; ++i) {
        if (kReferences[i] == reference) return i;
    }
    return -1;
}

ImageReference checkedReference(HWND dialog) {
    const int at = chosenRadio(dialog, kReferenceRadios);
    return at < 0 ? ImageReference::None : kReferences[at];
}

// "바로찾기": the n-th image of the list beside the button.
bool quickFind(HWND dialog, EditorSession& session, int numberId, int listId) {
    const std::optional<int> slot = quickFindImage(session.model, winui::controlText(dialog, numberId));
    if (!slot) {
        MessageBeep(MB_ICONEXCLAMATION);
        focusControl(dialog, numberId);
        return false;
    }
    chooseObject(dialog, listId, session, SideList::RecognitionImages, *slot);
    return true;
}

// The reference part's own notifications: choosing in a list or a box
// checks its radio button. True when handled.
bool referenceCommand(HWND dialog, EditorSession& session, int id, int code, int variableId) {
    const bool chose = code == LBN_SELCHANGE || code == LBN_DBLCLK; // CBN_SELCHANGE is LBN_SELCHANGE
    if ((id == IDC_IF_REFERENCE_IMAGES && chose) ||
        (id == IDC_IF_REFERENCE_FIND && code == BN_CLICKED &&
         quickFind(dialog, session, IDC_IF_REFERENCE_NUMBER, IDC_IF_REFERENCE_IMAGES))) {
        chooseRadio(dialog, kReferenceRadios, 0);
        showImagePreview(dialog, IDC_IF_REFERENCE_PREVIEW, session,
                         chosenObject(dialog, IDC_IF_REFERENCE_IMAGES, session, SideList::RecognitionImages));
        return true;
    }
    if (id == variableId && code == CBN_SELCHANGE) {
        chooseRadio(dialog, kReferenceRadios, 2);
        return true;
    }
    return id == IDC_IF_REFERENCE_FIND;
}

// ---- "이미지 조건 설정" --------------------------------------------------------------------

constexpr int kPositionRadios[] = {IDC_IF_AT_IMAGE, IDC_IF_AT_POINT, IDC_IF_AT_VARIABLE};
constexpr ImagePosition kPositions[] = {ImagePosition::Image, ImagePosition::Coordinates, ImagePosition::Variable};

void fillImageTest(HWND dialog, EditorSession& session, const ConditionForm& form) {
    const auto& f = std::get<ImageConditionForm>(form);
    int position = -1;
    for (int i = 0; i < 3; ++i) {
        if (kPositions[i] == f.position) position = i;
    }
    chooseRadio(dialog, kPositionRadios, position);
    fillObjectList(dialog, IDC_IF_POSITION_IMAGES, session, SideList::RecognitionImages, f.positionImage);
    winui::setControlText(dialog, IDC_IF_X, f.x);
    winui::setControlText(dialog, IDC_IF_Y, f.y);
    fillVariables(dialog, IDC_IF_POSITION_VARIABLE, session, f.positionVariable);
    chooseRadio(dialog, kReferenceRadios, referenceRadio(f.reference));
    fillObjectList(dialog, IDC_IF_REFERENCE_IMAGES, session, SideList::RecognitionImages, f.referenceImage);
    showColour(dialog, f.colour);
    fillVariables(dialog, IDC_IF_COLOUR_VARIABLE, session, f.referenceVariable);
    fillLines(dialog, IDC_IF_COMPARISON, {"같은 이미지이면", "다른 이미지이면"}, f.comparison);
    winui::setControlText(dialog, IDC_IF_SIMILARITY, f.similarity);
    showImagePreview(dialog, IDC_IF_POSITION_PREVIEW, session, f.positionImage);
    showImagePreview(dialog, IDC_IF_REFERENCE_PREVIEW, session, f.referenceImage);
}

ConditionForm readImageTest(HWND dialog, EditorSession& session) {
    ImageConditionForm f;
    const int position = chosenRadio(dialog, kPositionRadios);
    f.position = position < 0 ? ImagePosition::None : kPositions[position];
    f.positionImage = chosenObject(dialog, IDC_IF_POSITION_IMAGES, session, SideList::RecognitionImages);
    f.x = winui::controlText(dialog, IDC_IF_X);
    f.y = winui::controlText(dialog, IDC_IF_Y);
    f.positionVariable = comboChoice(dialog, IDC_IF_POSITION_VARIABLE);
    f.reference = checkedReference(dialog);
    f.referenceImage = chosenObject(dialog, IDC_IF_REFERENCE_IMAGES, session, SideList::RecognitionImages);
    f.colour = stateOf(dialog)->colour;
    f.referenceVariable = comboChoice(dialog, IDC_IF_COLOUR_VARIABLE);
    f.comparison = chosenLine(dialog, IDC_IF_COMPARISON);
    f.similarity = winui::controlText(dialog, IDC_IF_SIMILARITY);
    return f;
}

bool imageTestCommand(HWND dialog, EditorSession& session, int id, int code) {
    const bool chose = code == LBN_SELCHANGE || code == LBN_DBLCLK;
    if ((id == IDC_IF_POSITION_IMAGES && chose) ||
        (id == IDC_IF_POSITION_FIND && code == BN_CLICKED &&
         quickFind(dialog, session, IDC_IF_POSITION_NUMBER, IDC_IF_POSITION_IMAGES))) {
        chooseRadio(dialog, kPositionRadios, 0);
        showImagePreview(dialog, IDC_IF_POSITION_PREVIEW, session,
                         chosenObject(dialog, IDC_IF_POSITION_IMAGES, session, SideList::RecognitionImages));
        return true;
    }
    if (id == IDC_IF_POSITION_VARIABLE && code == CBN_SELCHANGE) {
        chooseRadio(dialog, kPositionRadios, 2);
        return true;
    }
    return id == IDC_IF_POSITION_FIND || referenceCommand(dialog, session, id, code, IDC_IF_COLOUR_VARIABLE);
}

constexpr FieldControl kImageFocus[] = {
    {F::Position, IDC_IF_AT_IMAGE},          {F::PositionImage, IDC_IF_POSITION_IMAGES},
    {F::X, IDC_IF_X},                        {F::Y, IDC_IF_Y},
    {F::PositionVariable, IDC_IF_POSITION_VARIABLE}, {F::Reference, IDC_IF_BY_IMAGE},
    {F::ReferenceImage, IDC_IF_REFERENCE_IMAGES},    {F::ReferenceVariable, IDC_IF_COLOUR_VARIABLE},
    {F::Comparison, IDC_IF_COMPARISON},      {F::Similarity, IDC_IF_SIMILARITY},
};

// ---- "범위검색 조건 설정" -------------------------------------------------------------------

constexpr int kDirectionRadios[] = {IDC_IF_DOWN, IDC_IF_UP, IDC_IF_RIGHT, IDC_IF_LEFT, IDC_IF_AROUND};

void fillRangeSearch(HWND dialog, EditorSession& session, const ConditionForm& form) {
    const auto& f = std::get<RangeSearchConditionForm>(form);
    fillObjectList(dialog, IDC_IF_AREA, session, SideList::Areas, f.area);
    chooseRadio(dialog, kReferenceRadios, referenceRadio(f.reference));
    fillObjectList(dialog, IDC_IF_REFERENCE_IMAGES, session, SideList::RecognitionImages, f.image);
    showColour(dialog, f.colour);
    fillVariables(dialog, IDC_IF_SEARCH_VARIABLE, session, f.variable);
    fillLines(dialog, IDC_IF_COMPARISON, {"같은 이미지가 있으면", "같은 이미지가 없으면"}, f.comparison);
    winui::setControlText(dialog, IDC_IF_SIMILARITY, f.similarity);
    chooseRadio(dialog, kDirectionRadios, f.direction);
    fillVariables(dialog, IDC_IF_OCCURRENCE, session, -1);
    setNumberOrSlot(dialog, IDC_IF_OCCURRENCE, f.occurrence);
}

ConditionForm readRangeSearch(HWND dialog, EditorSession& session) {
    RangeSearchConditionForm f;
    f.area = chosenObject(dialog, IDC_IF_AREA, session, SideList::Areas);
    f.reference = checkedReference(dialog);
    f.image = chosenObject(dialog, IDC_IF_REFERENCE_IMAGES, session, SideList::RecognitionImages);
    f.colour = stateOf(dialog)->colour;
    f.variable = comboChoice(dialog, IDC_IF_SEARCH_VARIABLE);
    f.comparison = chosenLine(dialog, IDC_IF_COMPARISON);
    f.similarity = winui::controlText(dialog, IDC_IF_SIMILARITY);
    std::array<bool, 5> checked{};
    int at = 0;
    for (int id : kDirectionRadios) checked[static_cast<size_t>(at++)] = isChecked(dialog, id);
    f.direction = firstCheckedDirection(checked);
    f.occurrence = numberOrSlot(dialog, IDC_IF_OCCURRENCE);
    return f;
}

bool rangeSearchCommand(HWND dialog, EditorSession& session, int id, int code) {
    return referenceCommand(dialog, session, id, code, IDC_IF_SEARCH_VARIABLE);
}

constexpr FieldControl kRangeFocus[] = {
    {F::Area, IDC_IF_AREA},           {F::Similarity, IDC_IF_SIMILARITY},
    {F::Reference, IDC_IF_BY_IMAGE},  {F::ReferenceImage, IDC_IF_REFERENCE_IMAGES},
    {F::ReferenceVariable, IDC_IF_SEARCH_VARIABLE}, {F::Comparison, IDC_IF_COMPARISON},
    {F::Occurrence, IDC_IF_OCCURRENCE},
};

// ---- "커서 분석" ------------------------------------------------------------------------

void fillCursorTest(HWND dialog, EditorSession& session, const ConditionForm& form) {
    const auto& f = std::get<CursorConditionForm>(form);
    fillObjectList(dialog, IDC_IF_CURSOR, session, SideList::Cursors, f.cursor);
    showCursorPreviews(dialog, IDC_IF_CURSOR_MASK, IDC_IF_CURSOR_COLOUR, session, f.cursor);
    setToggle(dialog, IDC_IF_CURSOR_DIFFERENT, "같으면", "다르면", f.different);
}

ConditionForm readCursorTest(HWND dialog, EditorSession& session) {
    return CursorConditionForm{chosenObject(dialog, IDC_IF_CURSOR, session, SideList::Cursors),
                               toggleShowsSecond(dialog, IDC_IF_CURSOR_DIFFERENT, "다르면")};
}

bool cursorTestCommand(HWND dialog, EditorSession& session, int id, int code) {
    if (id == IDC_IF_CURSOR_DIFFERENT && code == BN_CLICKED) {
        flipToggle(dialog, id, "같으면", "다르면");
        return true;
    }
    if (id == IDC_IF_CURSOR && code == LBN_SELCHANGE) {
        showCursorPreviews(dialog, IDC_IF_CURSOR_MASK, IDC_IF_CURSOR_COLOUR, session,
                           chosenObject(dialog, IDC_IF_CURSOR, session, SideList::Cursors));
        return true;
    }
    return false;
}

constexpr FieldControl kCursorFocus[] = {{F::Cursor, IDC_IF_CURSOR}};

// ---- "키눌림 감지" -----------------------------------------------------------------------

constexpr int kKeyModes[] = {IDC_IF_ANY_KEY, IDC_IF_GIVEN_KEY, IDC_IF_NO_KEY};

// The key box takes the next key pressed instead of text; the dialog names it.
LRESULT CALLBACK keyBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: PostMessageW(GetParent(box), kKeyPressed, 0, lParam); return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_KEYUP:
    case WM_SYSKEYUP: return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(box, keyBoxProcedure, 0); break;
    default: break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

void showKey(HWND dialog, EditorSession& session, int row) {
    stateOf(dialog)->keyRow = row;
    winui::setControlText(dialog, IDC_IF_KEY, row >= 0 ? std::string(session.keys.keyName(static_cast<size_t>(row))) : "");
}

void fillKeyTest(HWND dialog, EditorSession& session, const ConditionForm& form) {
    const auto& f = std::get<KeyConditionForm>(form);
    SetWindowSubclass(GetDlgItem(dialog, IDC_IF_KEY), keyBoxProcedure, 0, 0);
    winui::setControlText(dialog, IDC_IF_KEY_NOTICE, kKeyboardNotice);
    chooseRadio(dialog, kKeyModes, f.mode);
    showKey(dialog, session, f.keyRow);
}

ConditionForm readKeyTest(HWND dialog, EditorSession&) {
    return KeyConditionForm{chosenRadio(dialog, kKeyModes), stateOf(dialog)->keyRow};
}

constexpr FieldControl kKeyFocus[] = {{F::Choice, IDC_IF_ANY_KEY}, {F::Key, IDC_IF_KEY}};

// ---- "원격 제어" ------------------------------------------------------------------------

void fillRemoteTest(HWND dialog, EditorSession&, const ConditionForm& form) {
    winui::setControlText(dialog, IDC_IF_REMOTE_NUMBER, std::get<RemoteConditionForm>(form).number);
}

ConditionForm readRemoteTest(HWND dialog, EditorSession&) {
    return RemoteConditionForm{winui::controlText(dialog, IDC_IF_REMOTE_NUMBER)};
}

constexpr FieldControl kRemoteFocus[] = {{F::RemoteNumber, IDC_IF_REMOTE_NUMBER}};

bool noCommand(HWND, EditorSession&, int, int) { return false; }

constexpr ConditionDialog kVariableDialog{fillVariableTest, readVariableTest, variableTestCommand, kVariableFocus};
constexpr ConditionDialog kTimerDialog{fillTimerTest, readTimerTest, timerTestCommand, kTimerFocus};
constexpr ConditionDialog kDateDialog{fillDateTest, readDateTest, dateTestCommand, {}};
constexpr ConditionDialog kMacroStateDialog{fillMacroState, readMacroState, noCommand, kMacroStateFocus};
constexpr ConditionDialog kImageDialog{fillImageTest, readImageTest, imageTestCommand, kImageFocus};
constexpr ConditionDialog kRangeDialog{fillRangeSearch, readRangeSearch, rangeSearchCommand, kRangeFocus};
constexpr ConditionDialog kCursorDialog{fillCursorTest, readCursorTest, cursorTestCommand, kCursorFocus};
constexpr ConditionDialog kKeyDialog{fillKeyTest, readKeyTest, noCommand, kKeyFocus};
constexpr ConditionDialog kRemoteDialog{fillRemoteTest, readRemoteTest, noCommand, kRemoteFocus};

// ---- what every condition dialog does ------------------------------------------------------

// The row being changed, or the blank form of the kind with its defaults.
ConditionForm startingForm(const EditorSession& session, const RowDialogContext& context) {
    const analyzer::Item& item = *session.working;
    if (context.editRow >= 0 && context.editRow < item.conditionCount) {
        if (std::optional<ConditionForm> form = formOf(item.conditions[context.editRow])) return *form;
    }
    return findConditionDialog(context.what.kind)->blank();
}

void addRow(const ConditionDialog& parts, HWND dialog, EditorSession& session, const RowDialogContext& context,
            int button) {
    const BuiltCondition built = build(parts.read(dialog, session), formContextOf(context));
    if (built.ok()) {
        finishRowDialog(dialog, button, *built);
    } else {
        winui::tellRefusal(dialog, built, winui::controlOf(parts.focus, built.field));
    }
}

INT_PTR conditionDialog(const ConditionDialog& parts, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new DialogState));
        if (!startRowDialog(dialog, lParam)) return TRUE;
        EditorSession& session = *rowContextOf(dialog)->session;
        if (session.working) parts.fill(dialog, session, startingForm(session, *rowContextOf(dialog)));
        return TRUE;
    }
    RowDialogContext* context = rowContextOf(dialog);
    if (!context || !context->session) return FALSE;
    EditorSession& session = *context->session;
    DialogState* state = stateOf(dialog);
    if (message == WM_CTLCOLORSTATIC && state && state->swatch &&
        reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_IF_SWATCH)) {
        return reinterpret_cast<INT_PTR>(state->swatch);
    }
    if (INT_PTR result = FALSE; onRowDialogMessage(dialog, message, wParam, result)) return result;
    switch (message) {
    case kPendingRowMessage:
        if (context->what.kind == analyzer::CondImage || context->what.kind == analyzer::CondRangeSearch) {
            const BuiltCondition built = build(parts.read(dialog, session), formContextOf(*context));
            auto* pending = reinterpret_cast<PendingRow*>(lParam);
            if (built.ok() && pending) {
                pending->condition = true;
                pending->conditionRow = *built;
            }
        }
        return TRUE;
    case kViewClickedMessage:
        if (GetDlgItem(dialog, IDC_IF_BY_COLOUR) && static_cast<COLORREF>(wParam) != CLR_INVALID) {
            const auto picked = static_cast<COLORREF>(wParam);
            showColour(dialog, (GetRValue(picked) << 16) | (GetGValue(picked) << 8) | GetBValue(picked));
            chooseRadio(dialog, kReferenceRadios, 1);
        }
        return TRUE;
    case kKeyPressed:
        if (auto row = session.keys.rowOfKeyMessage(static_cast<uint8_t>((lParam >> 16) & 0xFF), (lParam >> 24) & 1)) {
            showKey(dialog, session, static_cast<int>(*row));
            chooseRadio(dialog, kKeyModes, 1);
        }
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (kRowButtons.has(id) && code == BN_CLICKED) {
            addRow(parts, dialog, session, *context, id);
            return TRUE;
        }
        return parts.command(dialog, session, id, code) ? TRUE : FALSE;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
        delete state;
        return FALSE;
    default: return FALSE;
    }
}

template <const ConditionDialog& parts>
INT_PTR CALLBACK conditionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return conditionDialog(parts, dialog, message, wParam, lParam);
}

const RowDialogEntry kConditionDialogs[] = {
    {{false, analyzer::CondVariable}, IDD_IF_VARIABLE, conditionProcedure<kVariableDialog>},
    {{false, analyzer::CondTimer}, IDD_IF_TIMER, conditionProcedure<kTimerDialog>},
    {{false, analyzer::CondDateTime}, IDD_IF_DATE_TIME, conditionProcedure<kDateDialog>},
    {{false, analyzer::CondState}, IDD_IF_MACRO_STATE, conditionProcedure<kMacroStateDialog>},
    {{false, analyzer::CondImage}, IDD_IF_IMAGE, conditionProcedure<kImageDialog>},
    {{false, analyzer::CondRangeSearch}, IDD_IF_RANGE_SEARCH, conditionProcedure<kRangeDialog>},
    {{false, analyzer::CondCursor}, IDD_IF_CURSOR, conditionProcedure<kCursorDialog>},
    {{false, analyzer::CondKey}, IDD_IF_KEY, conditionProcedure<kKeyDialog>},
    {{false, analyzer::CondRemote}, IDD_IF_REMOTE, conditionProcedure<kRemoteDialog>},
};

} // namespace

std::span<const RowDialogEntry> conditionDialogs() {
    // The date dialog's picker is a common control registered on first use.
    static const bool dateControls = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)dateControls;
    return kConditionDialogs;
}

} // namespace quillon::editor_ui
