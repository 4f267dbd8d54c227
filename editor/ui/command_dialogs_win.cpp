// The command dialogs: one procedure per dialog, each moving control values
// into its form (editor/forms) and back. The checks, the defaults and what a
// row holds are the forms'; a dialog only knows its controls.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>

#include "base/wide_text.h"
#include "editor/sounds.h"
#include "editor/ui/command_dialog_tools.h"
#include "editor/ui/editor_session.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/file_dialogs.h"

namespace quillon::editor_ui {

namespace {

using namespace command_ui;
using editor::CommandField;
using F = editor::CommandField;

std::string textOf(HWND dialog, int id) { return winui::controlText(dialog, id); }
void setText(HWND dialog, int id, const std::string& text) { winui::setControlText(dialog, id, text); }
void enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

// ---- "키보드 설정" (108) -------------------------------------------------------------

struct KeyDialog {
    using Form = editor::KeyCommandForm;
    static constexpr int kActions[] = {IDC_CMD_KEY_PRESS, IDC_CMD_KEY_RELEASE, IDC_CMD_KEY_PRESS_RELEASE,
                                       IDC_CMD_KEY_TYPE_VARIABLE};
    static constexpr FieldControl kFields[] = {{F::Action, IDC_CMD_KEY_PRESS},
                                               {F::Key, IDC_CMD_KEY_FIELD},
                                               {F::Variable, IDC_CMD_KEY_VARIABLE},
                                               {F::Interval, IDC_CMD_KEY_INTERVAL}};

    static void show(HWND d, const Form& f, EditorSession& s) {
        fillSlots(d, IDC_CMD_KEY_VARIABLE, variableChoices(s), f.variable);
        makeKeyBox(d, IDC_CMD_KEY_FIELD, f.keyRow);
        setText(d, IDC_CMD_KEY_INTERVAL, f.interval);
        chooseRadio(d, kActions, f.action);
    }
    static Form read(HWND d, EditorSession&) {
        Form f;
        f.action = chosenRadio(d, kActions);
        f.keyRow = keyBoxRow(d, IDC_CMD_KEY_FIELD);
        f.variable = chosenSlot(d, IDC_CMD_KEY_VARIABLE);
        f.interval = textOf(d, IDC_CMD_KEY_INTERVAL);
        return f;
    }
    static bool onCommand(HWND d, int id, int code) {
        if (id == IDC_CMD_KEY_TYPE_SENTENCE && code == BN_CLICKED) {
            // "자동 문장 타자" is its own dialog, for the same row.
            EditorSession& session = sessionOf(d);
            const int editRow = rowContextOf(d)->editRow;
            closeRowDialog(d);
            openRowDialog(session, RowKind{true, analyzer::CmdTypeSentence}, editRow);
            return true;
        }
        if (id == IDC_CMD_KEY_VARIABLE && code == CBN_SELCHANGE) {
            chooseRadio(d, kActions, 3);
            return true;
        }
        return code == BN_CLICKED && onRadioClick(d, {kActions}, id);
    }
};

// ---- "마우스 설정" (109) -------------------------------------------------------------

struct MouseDialog {
    using Form = editor::MouseCommandForm;
    static constexpr int kActions[] = {IDC_CMD_MOUSE_PRESS,     IDC_CMD_MOUSE_RELEASE,  IDC_CMD_MOUSE_CLICK,
                                       IDC_CMD_MOUSE_DOUBLE_CLICK, IDC_CMD_MOUSE_SCROLL, IDC_CMD_MOUSE_MOVE,
                                       IDC_CMD_MOUSE_TO_IMAGE,  IDC_CMD_MOUSE_TO_RANGE_MATCH, IDC_CMD_MOUSE_FPS,
                                       IDC_CMD_MOUSE_TO_VARIABLE};
    static constexpr int kButtons[] = {IDC_CMD_MOUSE_LEFT, IDC_CMD_MOUSE_MIDDLE, IDC_CMD_MOUSE_RIGHT};
    static constexpr int kScroll[] = {IDC_CMD_MOUSE_SCROLL_UP, IDC_CMD_MOUSE_SCROLL_DOWN};
    static constexpr int kSideways[] = {IDC_CMD_MOUSE_FPS_LEFT, IDC_CMD_MOUSE_FPS_RIGHT};
    static constexpr int kUpDown[] = {IDC_CMD_MOUSE_FPS_UP, IDC_CMD_MOUSE_FPS_DOWN};
    static constexpr FieldControl kFields[] = {
        {F::Action, IDC_CMD_MOUSE_PRESS},          {F::Button, IDC_CMD_MOUSE_LEFT},
        {F::Interval, IDC_CMD_MOUSE_INTERVAL},     {F::ScrollSteps, IDC_CMD_MOUSE_SCROLL_STEPS},
        {F::X, IDC_CMD_MOUSE_X},                   {F::Y, IDC_CMD_MOUSE_Y},
        {F::RandomPixels, IDC_CMD_MOUSE_RANDOM_PIXELS}, {F::Image, IDC_CMD_MOUSE_IMAGE},
        {F::Area, IDC_CMD_MOUSE_AREA},             {F::Horizontal, IDC_CMD_MOUSE_HORIZONTAL},
        {F::Vertical, IDC_CMD_MOUSE_VERTICAL},     {F::Variable, IDC_CMD_MOUSE_VARIABLE}};

    static void show(HWND d, const Form& f, EditorSession& s) {
        fillSlots(d, IDC_CMD_MOUSE_IMAGE, imageChoices(s), f.image);
        fillSlots(d, IDC_CMD_MOUSE_AREA, areaChoices(s), f.area);
        fillSlots(d, IDC_CMD_MOUSE_VARIABLE, variableChoices(s), f.variable);
        setText(d, IDC_CMD_MOUSE_SCROLL_STEPS, f.scrollSteps);
        setText(d, IDC_CMD_MOUSE_X, f.x);
        setText(d, IDC_CMD_MOUSE_Y, f.y);
        setText(d, IDC_CMD_MOUSE_HORIZONTAL, f.horizontal);
        setText(d, IDC_CMD_MOUSE_VERTICAL, f.vertical);
        setText(d, IDC_CMD_MOUSE_RANDOM_PIXELS, f.randomPixels);
        setText(d, IDC_CMD_MOUSE_INTERVAL, f.interval);
        setChecked(d, IDC_CMD_MOUSE_MONITOR, f.monitor);
        setChecked(d, IDC_CMD_MOUSE_RANDOM, f.random);
        chooseRadio(d, kButtons, static_cast<int>(f.button));
        chooseRadio(d, kScroll, f.scrollUp ? 0 : 1);
        chooseRadio(d, kSideways, f.right ? 1 : 0);
        chooseRadio(d, kUpDown, f.up ? 0 : 1);
        chooseRadio(d, kActions, f.action);
    }
    static Form read(HWND d, EditorSession&) {
        Form f;
        f.action = chosenRadio(d, kActions);
        f.button = static_cast<editor::MouseButton>(std::max(0, chosenRadio(d, kButtons)));
        f.interval = textOf(d, IDC_CMD_MOUSE_INTERVAL);
        f.scrollUp = chosenRadio(d, kScroll) != 1;
        f.scrollSteps = textOf(d, IDC_CMD_MOUSE_SCROLL_STEPS);
        f.x = textOf(d, IDC_CMD_MOUSE_X);
        f.y = textOf(d, IDC_CMD_MOUSE_Y);
        f.monitor = isChecked(d, IDC_CMD_MOUSE_MONITOR);
        f.random = isChecked(d, IDC_CMD_MOUSE_RANDOM);
        f.randomPixels = textOf(d, IDC_CMD_MOUSE_RANDOM_PIXELS);
        f.image = chosenSlot(d, IDC_CMD_MOUSE_IMAGE);
        f.area = chosenSlot(d, IDC_CMD_MOUSE_AREA);
        f.right = chosenRadio(d, kSideways) == 1;
        f.up = chosenRadio(d, kUpDown) == 0;
        f.horizontal = textOf(d, IDC_CMD_MOUSE_HORIZONTAL);
        f.vertical = textOf(d, IDC_CMD_MOUSE_VERTICAL);
        f.variable = chosenSlot(d, IDC_CMD_MOUSE_VARIABLE);
        return f;
    }
    static bool onCommand(HWND d, int id, int code) {
        // Choosing from a list chooses the action it belongs to.
        if (code == CBN_SELCHANGE) {
            const int action = id == IDC_CMD_MOUSE_IMAGE   ? editor::mouse_action::kMoveToImage
                               : id == IDC_CMD_MOUSE_AREA  ? editor::mouse_action::kMoveToRangeMatch
                               : id == IDC_CMD_MOUSE_VARIABLE ? editor::mouse_action::kMoveToVariable
                                                              : -1;
            if (action >= 0) chooseRadio(d, kActions, action);
            return action >= 0;
        }
        return code == BN_CLICKED && onRadioClick(d, {kActions, kButtons, kScroll, kSideways, kUpDown}, id);
    }
};

// ---- "매크로 설정" (110) -------------------------------------------------------------

struct MacroDialog {
    using Form = editor::MacroCommandForm;
    static constexpr int kActions[] = {IDC_CMD_MACRO_RECORDED, IDC_CMD_MACRO_EDIT,   IDC_CMD_MACRO_COMBINATION,
                                       IDC_CMD_MACRO_PAUSE,    IDC_CMD_MACRO_RESUME, IDC_CMD_MACRO_STOP};
    static constexpr int kLists[] = {IDC_CMD_MACRO_RECORDED_LIST, IDC_CMD_MACRO_EDIT_LIST,
                                     IDC_CMD_MACRO_COMBINATION_LIST};
    static constexpr int kRepeats[] = {IDC_CMD_MACRO_RECORDED_REPEAT, IDC_CMD_MACRO_EDIT_REPEAT,
                                       IDC_CMD_MACRO_COMBINATION_REPEAT};
    static constexpr analyzer::MacroKind kKinds[] = {analyzer::MacroKind::Recorded, analyzer::MacroKind::Edit,
                                                     analyzer::MacroKind::Combination};
    static constexpr FieldControl kFields[] = {{F::Action, IDC_CMD_MACRO_RECORDED}};

    static void show(HWND d, const Form& f, EditorSession& s) {
        for (int k = 0; k < 3; ++k) {
            const bool mine = f.action == k;
            fillSlots(d, kLists[k], macroChoices(s, kKinds[k]), mine ? f.macro : 0);
            setText(d, kRepeats[k], mine ? f.repeat : std::string("1"));
        }
        chooseRadio(d, kActions, f.action);
    }
    static Form read(HWND d, EditorSession&) {
        Form f;
        f.action = chosenRadio(d, kActions);
        if (f.action >= 0 && f.action < 3) {
            f.macro = chosenSlot(d, kLists[f.action]);
            f.repeat = textOf(d, kRepeats[f.action]);
        }
        return f;
    }
    // The macro and the repeat count are the chosen kind's boxes.
    static void focusRefusal(HWND d, CommandField field) {
        const int k = chosenRadio(d, kActions);
        if (k < 0 || k > 2) return;
        if (field == F::Macro) winui::focusControl(d, kLists[k]);
        if (field == F::Repeat) winui::focusControl(d, kRepeats[k]);
    }
    static bool onCommand(HWND d, int id, int code) {
        for (int k = 0; k < 3; ++k) {
            if ((id == kLists[k] && code == CBN_SELCHANGE) || (id == kRepeats[k] && code == EN_SETFOCUS)) {
                chooseRadio(d, kActions, k);
                return true;
            }
        }
        return code == BN_CLICKED && onRadioClick(d, {kActions}, id);
    }
};

// ---- "변수" (169) --------------------------------------------------------------------

// The boxes of the value kinds are enabled only for the chosen kind (the
// core says which fields a kind uses); the right operand also needs an
// arithmetic, and the guard's boxes follow "조건 없음".
struct VariableDialog {
    using Form = editor::VariableCommandForm;
    using Kind = editor::ValueKind;
    static constexpr FieldControl kValueControls[] = {
        {F::Target, IDC_CMD_ASSIGN_TARGET},       {F::Value, IDC_CMD_ASSIGN_VALUE},
        {F::RightValue, IDC_CMD_ASSIGN_ARITHMETIC}, {F::RightValue, IDC_CMD_ASSIGN_RIGHT},
        {F::Image, IDC_CMD_ASSIGN_IMAGE},         {F::Colour, IDC_CMD_ASSIGN_COLOUR_PICK},
        {F::X, IDC_CMD_ASSIGN_X},                 {F::Y, IDC_CMD_ASSIGN_Y},
        {F::X, IDC_CMD_ASSIGN_MONITOR},           {F::Area, IDC_CMD_ASSIGN_AREA},
        {F::Variable, IDC_CMD_ASSIGN_LOAD_FROM},  {F::LowValue, IDC_CMD_ASSIGN_LOW},
        {F::HighValue, IDC_CMD_ASSIGN_HIGH},      {F::SpreadX, IDC_CMD_ASSIGN_SPREAD_X},
        {F::SpreadY, IDC_CMD_ASSIGN_SPREAD_Y},    {F::DatePart, IDC_CMD_ASSIGN_DATE_PART}};
    static constexpr int kGuard[] = {IDC_CMD_ASSIGN_GUARD_LOW, IDC_CMD_ASSIGN_GUARD_LOW_OPERATOR,
                                     IDC_CMD_ASSIGN_GUARD_VARIABLE, IDC_CMD_ASSIGN_GUARD_HIGH_OPERATOR,
                                     IDC_CMD_ASSIGN_GUARD_HIGH};
    static constexpr FieldControl kFields[] = {
        {F::Target, IDC_CMD_ASSIGN_TARGET},     {F::ValueKind, IDC_CMD_ASSIGN_KIND},
        {F::Value, IDC_CMD_ASSIGN_VALUE},       {F::RightValue, IDC_CMD_ASSIGN_RIGHT},
        {F::Image, IDC_CMD_ASSIGN_IMAGE},       {F::Colour, IDC_CMD_ASSIGN_COLOUR_PICK},
        {F::X, IDC_CMD_ASSIGN_X},               {F::Y, IDC_CMD_ASSIGN_Y},
        {F::Area, IDC_CMD_ASSIGN_AREA},         {F::Variable, IDC_CMD_ASSIGN_LOAD_FROM},
        {F::LowValue, IDC_CMD_ASSIGN_LOW},      {F::HighValue, IDC_CMD_ASSIGN_HIGH},
        {F::SpreadX, IDC_CMD_ASSIGN_SPREAD_X},  {F::SpreadY, IDC_CMD_ASSIGN_SPREAD_Y},
        {F::DatePart, IDC_CMD_ASSIGN_DATE_PART}};

    static void enableFields(HWND d) {
        const Kind kind = static_cast<Kind>(std::max(0, chosenLabel(d, IDC_CMD_ASSIGN_KIND)));
        for (const FieldControl& c : kValueControls) enable(d, c.control, editor::valueKindUses(kind, c.field));
        if (editor::valueKindUses(kind, F::RightValue)) {
            enable(d, IDC_CMD_ASSIGN_RIGHT, chosenLabel(d, IDC_CMD_ASSIGN_ARITHMETIC) > 0);
        }
        const bool guarded = !isChecked(d, IDC_CMD_ASSIGN_NO_CONDITION);
        for (int id : kGuard) enable(d, id, guarded);
    }
    static void fillVariables(HWND d, EditorSession& s, const Form& f) {
        const SlotList variables = variableChoices(s);
        fillSlots(d, IDC_CMD_ASSIGN_TARGET, variables, f.target);
        fillSlots(d, IDC_CMD_ASSIGN_VALUE, variables, -1);
        fillSlots(d, IDC_CMD_ASSIGN_RIGHT, variables, -1);
        fillSlots(d, IDC_CMD_ASSIGN_LOAD_FROM, variables, f.loadFrom);
        fillSlots(d, IDC_CMD_ASSIGN_GUARD_LOW, variables, -1);
        fillSlots(d, IDC_CMD_ASSIGN_GUARD_VARIABLE, variables, f.guardVariable);
        fillSlots(d, IDC_CMD_ASSIGN_GUARD_HIGH, variables, -1);
        showNumberOrSlot(d, IDC_CMD_ASSIGN_VALUE, f.value);
        showNumberOrSlot(d, IDC_CMD_ASSIGN_RIGHT, f.right);
        showNumberOrSlot(d, IDC_CMD_ASSIGN_GUARD_LOW, f.guardLow);
        showNumberOrSlot(d, IDC_CMD_ASSIGN_GUARD_HIGH, f.guardHigh);
    }
    static void setColour(HWND d, std::optional<uint32_t> colour) {
        HWND swatch = GetDlgItem(d, IDC_CMD_ASSIGN_COLOUR);
        SetWindowLongPtrW(swatch, GWLP_USERDATA, colour ? static_cast<LONG_PTR>(*colour) | 0x1000000 : 0);
        InvalidateRect(swatch, nullptr, TRUE);
    }
    static std::optional<uint32_t> colourOf(HWND d) {
        const LONG_PTR kept = GetWindowLongPtrW(GetDlgItem(d, IDC_CMD_ASSIGN_COLOUR), GWLP_USERDATA);
        if (!(kept & 0x1000000)) return std::nullopt;
        return static_cast<uint32_t>(kept & 0xFFFFFF);
    }

    static void show(HWND d, const Form& f, EditorSession& s) {
        static_assert(editor::kValueKindCount == 10);
        const auto label = [](int k) { return editor::valueKindLabel(static_cast<Kind>(k)); };
        fillLabels(d, IDC_CMD_ASSIGN_KIND,
                   {label(0), label(1), label(2), label(3), label(4), label(5), label(6), label(7), label(8), label(9)},
                   static_cast<int>(f.kind));
        fillVariables(d, s, f);
        fillLabels(d, IDC_CMD_ASSIGN_ARITHMETIC, {"사용x", "+", "-", "x", "÷"}, f.arithmetic);
        fillSlots(d, IDC_CMD_ASSIGN_IMAGE, imageChoices(s), f.image);
        fillSlots(d, IDC_CMD_ASSIGN_AREA, areaChoices(s), f.area);
        setColour(d, f.colour);
        setText(d, IDC_CMD_ASSIGN_X, f.x);
        setText(d, IDC_CMD_ASSIGN_Y, f.y);
        setChecked(d, IDC_CMD_ASSIGN_MONITOR, f.monitor);
        setText(d, IDC_CMD_ASSIGN_LOW, f.low);
        setText(d, IDC_CMD_ASSIGN_HIGH, f.high);
        setText(d, IDC_CMD_ASSIGN_SPREAD_X, f.spreadX);
        setText(d, IDC_CMD_ASSIGN_SPREAD_Y, f.spreadY);
        fillLabels(d, IDC_CMD_ASSIGN_DATE_PART,
                   {"현재 년", "현재 월", "현재 일", "현재 요일", "현재 시", "현재 분", "현재 초"}, f.datePart);
        setChecked(d, IDC_CMD_ASSIGN_NO_CONDITION, f.noCondition);
        fillLabels(d, IDC_CMD_ASSIGN_GUARD_LOW_OPERATOR, {"비교x", "<", "≤", "=", "≠"}, f.guardLowOperator);
        fillLabels(d, IDC_CMD_ASSIGN_GUARD_HIGH_OPERATOR, {"비교x", "<", "≤", "=", "≠"}, f.guardHighOperator);
        enableFields(d);
    }
    static Form read(HWND d, EditorSession&) {
        Form f;
        f.target = chosenSlot(d, IDC_CMD_ASSIGN_TARGET);
        f.kind = static_cast<Kind>(chosenLabel(d, IDC_CMD_ASSIGN_KIND));
        f.value = numberOrSlot(d, IDC_CMD_ASSIGN_VALUE);
        f.arithmetic = std::max(0, chosenLabel(d, IDC_CMD_ASSIGN_ARITHMETIC));
        f.right = numberOrSlot(d, IDC_CMD_ASSIGN_RIGHT);
        f.image = chosenSlot(d, IDC_CMD_ASSIGN_IMAGE);
        f.colour = colourOf(d);
        f.x = textOf(d, IDC_CMD_ASSIGN_X);
        f.y = textOf(d, IDC_CMD_ASSIGN_Y);
        f.monitor = isChecked(d, IDC_CMD_ASSIGN_MONITOR);
        f.area = chosenSlot(d, IDC_CMD_ASSIGN_AREA);
        f.loadFrom = chosenSlot(d, IDC_CMD_ASSIGN_LOAD_FROM);
        f.low = textOf(d, IDC_CMD_ASSIGN_LOW);
        f.high = textOf(d, IDC_CMD_ASSIGN_HIGH);
        f.spreadX = textOf(d, IDC_CMD_ASSIGN_SPREAD_X);
        f.spreadY = textOf(d, IDC_CMD_ASSIGN_SPREAD_Y);
        f.datePart = chosenLabel(d, IDC_CMD_ASSIGN_DATE_PART);
        f.noCondition = isChecked(d, IDC_CMD_ASSIGN_NO_CONDITION);
        f.guardLow = numberOrSlot(d, IDC_CMD_ASSIGN_GUARD_LOW);
        f.guardLowOperator = std::max(0, chosenLabel(d, IDC_CMD_ASSIGN_GUARD_LOW_OPERATOR));
        f.guardVariable = chosenSlot(d, IDC_CMD_ASSIGN_GUARD_VARIABLE);
        f.guardHighOperator = std::max(0, chosenLabel(d, IDC_CMD_ASSIGN_GUARD_HIGH_OPERATOR));
        f.guardHigh = numberOrSlot(d, IDC_CMD_ASSIGN_GUARD_HIGH);
        return f;
    }
    // A click on the screenshot gives a screen coordinate (or a random
    // point's centre) its point, and a colour value its colour.
    static void onViewClick(HWND d, COLORREF colour, int x, int y) {
        const Kind kind = static_cast<Kind>(std::max(0, chosenLabel(d, IDC_CMD_ASSIGN_KIND)));
        if (editor::valueKindUses(kind, F::X)) {
            setText(d, IDC_CMD_ASSIGN_X, std::to_string(x));
            setText(d, IDC_CMD_ASSIGN_Y, std::to_string(y));
        } else if (editor::valueKindUses(kind, F::Colour) && colour != CLR_INVALID) {
            setColour(d, (uint32_t{GetRValue(colour)} << 16) | (uint32_t{GetGValue(colour)} << 8) | GetBValue(colour));
        }
    }
    static void pickColour(HWND d) {
        static COLORREF custom[16] = {};
        CHOOSECOLORW choice{};
        choice.lStructSize = sizeof choice;
        choice.hwndOwner = d;
        choice.lpCustColors = custom;
        choice.Flags = CC_FULLOPEN | CC_RGBINIT;
        const std::optional<uint32_t> old = colourOf(d);
        if (old) choice.rgbResult = RGB((*old >> 16) & 0xFF, (*old >> 8) & 0xFF, *old & 0xFF);
        if (!ChooseColorW(&choice)) return;
        const COLORREF c = choice.rgbResult;
        setColour(d, (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c));
    }
    static bool onCommand(HWND d, int id, int code) {
        if (id == IDC_CMD_ASSIGN_ADD && code == BN_CLICKED) {
            EditorSession& s = sessionOf(d);
            if (s.model.addVariable()) {
                Form f = read(d, s);
                f.target = s.model.image().activeVariableCount - 1;
                fillVariables(d, s, f);
            }
            return true;
        }
        if (id == IDC_CMD_ASSIGN_COLOUR_PICK && code == BN_CLICKED) {
            pickColour(d);
            return true;
        }
        if ((code == CBN_SELCHANGE && (id == IDC_CMD_ASSIGN_KIND || id == IDC_CMD_ASSIGN_ARITHMETIC)) ||
            (code == BN_CLICKED && id == IDC_CMD_ASSIGN_NO_CONDITION)) {
            enableFields(d);
            return true;
        }
        return false;
    }
    static bool onDraw(HWND d, const DRAWITEMSTRUCT& item) {
        if (item.CtlID != IDC_CMD_ASSIGN_COLOUR) return false;
        const std::optional<uint32_t> colour = colourOf(d);
        const COLORREF fill =
            colour ? RGB((*colour >> 16) & 0xFF, (*colour >> 8) & 0xFF, *colour & 0xFF) : GetSysColor(COLOR_BTNFACE);
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(item.hDC, &item.rcItem, brush);
        DeleteObject(brush);
        return true;
    }
};

// ---- "타이머" (168) ------------------------------------------------------------------

struct TimerDialog {
    using Form = editor::TimerCommandForm;
    static constexpr FieldControl kFields[] = {{F::Timer, IDC_CMD_TIMER_TARGET}, {F::TimerValue, IDC_CMD_TIMER_VALUE}};

    static void show(HWND d, const Form& f, EditorSession&) {
        fillSlots(d, IDC_CMD_TIMER_TARGET, timerChoices(), f.timer);
        fillSlots(d, IDC_CMD_TIMER_VALUE, timerChoices(), -1);
        showNumberOrSlot(d, IDC_CMD_TIMER_VALUE, f.value);
    }
    static Form read(HWND d, EditorSession&) {
        return Form{chosenSlot(d, IDC_CMD_TIMER_TARGET), numberOrSlot(d, IDC_CMD_TIMER_VALUE)};
    }
    static bool onCommand(HWND, int, int) { return false; }
};

// ---- "시간 지연" (111) ---------------------------------------------------------------

struct DelayDialog {
    using Form = editor::DelayCommandForm;
    static constexpr int kModes[] = {IDC_CMD_DELAY_FIXED, IDC_CMD_DELAY_RANDOM};
    static constexpr FieldControl kFields[] = {{F::Seconds, IDC_CMD_DELAY_SECONDS},
                                               {F::LowSeconds, IDC_CMD_DELAY_LOW},
                                               {F::HighSeconds, IDC_CMD_DELAY_HIGH}};

    static void show(HWND d, const Form& f, EditorSession&) {
        setText(d, IDC_CMD_DELAY_SECONDS, f.seconds);
        setText(d, IDC_CMD_DELAY_LOW, f.low);
        setText(d, IDC_CMD_DELAY_HIGH, f.high);
        chooseRadio(d, kModes, f.random ? 1 : 0);
    }
    static Form read(HWND d, EditorSession&) {
        Form f;
        f.random = chosenRadio(d, kModes) == 1;
        f.seconds = textOf(d, IDC_CMD_DELAY_SECONDS);
        f.low = textOf(d, IDC_CMD_DELAY_LOW);
        f.high = textOf(d, IDC_CMD_DELAY_HIGH);
        return f;
    }
    static bool onCommand(HWND d, int id, int code) {
        // Typing in a mode's box chooses that mode.
        if (code == EN_SETFOCUS) {
            chooseRadio(d, kModes, id == IDC_CMD_DELAY_SECONDS ? 0 : 1);
            return true;
        }
        return code == BN_CLICKED && onRadioClick(d, {kModes}, id);
    }
};

// ---- "기계 제어" (125) ---------------------------------------------------------------

struct DeviceDialog {
    using Form = editor::DeviceCommandForm;
    static constexpr int kChoices[] = {
        IDC_CMD_DEVICE_RED,          IDC_CMD_DEVICE_YELLOW,         IDC_CMD_DEVICE_GREEN,
        IDC_CMD_DEVICE_PLAY_SOUND,   IDC_CMD_DEVICE_STOP_SOUND,     IDC_CMD_DEVICE_REMOTE,
        IDC_CMD_DEVICE_PAUSE_ANALYZER, IDC_CMD_DEVICE_RESUME_ANALYZER, IDC_CMD_DEVICE_END_ANALYZER,
        IDC_CMD_DEVICE_SHUT_DOWN,    IDC_CMD_DEVICE_RESCAN,         IDC_CMD_DEVICE_LOCK_KEYBOARD,
        IDC_CMD_DEVICE_UNLOCK_KEYBOARD, IDC_CMD_DEVICE_LOCK_MOUSE,  IDC_CMD_DEVICE_UNLOCK_MOUSE};
    static_assert(std::size(kChoices) == editor::device_choice::kCount);
    static constexpr int kSwitches[] = {IDC_CMD_DEVICE_RED_SWITCH, IDC_CMD_DEVICE_YELLOW_SWITCH,
                                        IDC_CMD_DEVICE_GREEN_SWITCH};
    static constexpr FieldControl kFields[] = {{F::Action, IDC_CMD_DEVICE_RED},
                                               {F::RemoteNumber, IDC_CMD_DEVICE_REMOTE_NUMBER},
                                               {F::Sound, IDC_CMD_DEVICE_SOUND_BROWSE}};

    static void show(HWND d, const Form& f, EditorSession&) {
        for (size_t i = 0; i < 3; ++i) setText(d, kSwitches[i], f.lightOn[i] ? "ON" : "OFF");
        setText(d, IDC_CMD_DEVICE_REMOTE_NUMBER, f.remote);
        setText(d, IDC_CMD_DEVICE_SOUND_NAME, f.soundFile);
        chooseRadio(d, kChoices, f.choice);
    }
    static Form read(HWND d, EditorSession&) {
        Form f;
        f.choice = chosenRadio(d, kChoices);
        for (size_t i = 0; i < 3; ++i) f.lightOn[i] = textOf(d, kSwitches[i]) == "ON";
        f.remote = textOf(d, IDC_CMD_DEVICE_REMOTE_NUMBER);
        f.soundFile = textOf(d, IDC_CMD_DEVICE_SOUND_NAME);
        return f;
    }
    // The chooser opens in the Windows folder's Media folder; the file is
    // copied into the analyzer's Sound folder (asking before it replaces one).
    static void chooseSoundFile(HWND d) {
        EditorSession& s = sessionOf(d);
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        winui::FileChoice choice;
        choice.title = editor::sound_message::kChooserTitle;
        choice.filter = std::string(editor::sound_message::kChooserFilter) + "|*.wav|";
        choice.folder = editor::soundChooserFolder(narrow(windows));
        const std::string file = winui::chooseFileToOpen(d, choice);
        if (file.empty() || !s.document) return;
        const Built<std::string> chosen = editor::chooseSound(s.document->folders(), file, s.dialogs);
        if (!chosen) return;
        setText(d, IDC_CMD_DEVICE_SOUND_NAME, *chosen);
        chooseRadio(d, kChoices, editor::device_choice::kPlaySound);
    }
    static bool onCommand(HWND d, int id, int code) {
        for (size_t i = 0; i < 3; ++i) {
            if (id == kSwitches[i] && code == BN_CLICKED) {
                // The switch flips its light and chooses it.
                setText(d, kSwitches[i], textOf(d, kSwitches[i]) == "ON" ? "OFF" : "ON");
                chooseRadio(d, kChoices, static_cast<int>(i));
                return true;
            }
        }
        if (id == IDC_CMD_DEVICE_REMOTE_NUMBER && code == EN_CHANGE &&
            GetFocus() == GetDlgItem(d, IDC_CMD_DEVICE_REMOTE_NUMBER)) {
            chooseRadio(d, kChoices, editor::device_choice::kRemote);
            return true;
        }
        if (code == BN_CLICKED && (id == IDC_CMD_DEVICE_SOUND_BROWSE || id == IDC_CMD_DEVICE_PLAY_SOUND)) {
            chooseRadio(d, kChoices, editor::device_choice::kPlaySound);
            chooseSoundFile(d);
            return true;
        }
        return code == BN_CLICKED && onRadioClick(d, {kChoices}, id);
    }
};

// ---- "인식이미지 교체" (176) -----------------------------------------------------------

struct ReplaceImageDialog {
    using Form = editor::ReplaceImageCommandForm;
    static constexpr FieldControl kFields[] = {{F::Image, IDC_CMD_REPLACE_IMAGE}};

    static void show(HWND d, const Form& f, EditorSession& s) {
        fillSlots(d, IDC_CMD_REPLACE_IMAGE, imageChoices(s), f.image);
    }
    static Form read(HWND d, EditorSession&) { return Form{chosenSlot(d, IDC_CMD_REPLACE_IMAGE)}; }
    static bool onCommand(HWND d, int id, int code) {
        if (id == IDC_CMD_REPLACE_IMAGE && (code == CBN_SELCHANGE || code == CBN_EDITCHANGE)) {
            InvalidateRect(GetDlgItem(d, IDC_CMD_REPLACE_PREVIEW), nullptr, TRUE);
            return true;
        }
        return false;
    }
    static bool onDraw(HWND d, const DRAWITEMSTRUCT& item) {
        if (item.CtlID != IDC_CMD_REPLACE_PREVIEW) return false;
        drawImagePreview(sessionOf(d), chosenSlot(d, IDC_CMD_REPLACE_IMAGE), item);
        return true;
    }
};

// ---- "자동 타자" (184) ---------------------------------------------------------------

struct TypingDialog {
    using Form = editor::TypingCommandForm;
    static constexpr FieldControl kFields[] = {
        {F::Speed, IDC_CMD_TYPING_SPEED}, {F::Name, IDC_CMD_TYPING_NAME}, {F::Sentence, IDC_CMD_TYPING_TEXT}};

    static void show(HWND d, const Form& f, EditorSession&) {
        SendDlgItemMessageW(d, IDC_CMD_TYPING_NAME, EM_LIMITTEXT, 63, 0);
        SendDlgItemMessageW(d, IDC_CMD_TYPING_TEXT, EM_LIMITTEXT, 511, 0);
        setText(d, IDC_CMD_TYPING_NAME, f.name);
        setText(d, IDC_CMD_TYPING_TEXT, f.text);
        setText(d, IDC_CMD_TYPING_SPEED, f.speed);
    }
    static Form read(HWND d, EditorSession&) {
        Form f;
        f.name = textOf(d, IDC_CMD_TYPING_NAME);
        f.text = textOf(d, IDC_CMD_TYPING_TEXT);
        f.speed = textOf(d, IDC_CMD_TYPING_SPEED);
        // A changed sentence row keeps its entry of the sentence table.
        if (const analyzer::Command* row = editedRow(d); row && row->kind() == analyzer::CmdTypeSentence) {
            f.sentence = (*row)[analyzer::cmd::TypeSentence::sentence];
        }
        return f;
    }
    static bool onCommand(HWND, int, int) { return false; }
};

// ---- "숫자인식 설정" (191) -------------------------------------------------------------

struct ReadNumberDialog {
    using Form = editor::ReadNumberCommandForm;
    static constexpr FieldControl kFields[] = {{F::Area, IDC_CMD_READ_AREA},
                                               {F::NumberPack, IDC_CMD_READ_PACK},
                                               {F::Variable, IDC_CMD_READ_VARIABLE},
                                               {F::Similarity, IDC_CMD_READ_SIMILARITY}};

    static void show(HWND d, const Form& f, EditorSession& s) {
        fillSlots(d, IDC_CMD_READ_AREA, areaChoices(s), f.area);
        fillSlots(d, IDC_CMD_READ_PACK, numberPackChoices(s), f.pack);
        fillSlots(d, IDC_CMD_READ_VARIABLE, variableChoices(s), f.variable);
        setText(d, IDC_CMD_READ_SIMILARITY, f.similarity);
        setChecked(d, IDC_CMD_READ_ARITHMETIC, f.arithmetic);
    }
    static Form read(HWND d, EditorSession&) {
        Form f;
        f.area = chosenSlot(d, IDC_CMD_READ_AREA);
        f.pack = chosenSlot(d, IDC_CMD_READ_PACK);
        f.similarity = textOf(d, IDC_CMD_READ_SIMILARITY);
        f.variable = chosenSlot(d, IDC_CMD_READ_VARIABLE);
        f.arithmetic = isChecked(d, IDC_CMD_READ_ARITHMETIC);
        return f;
    }
    static bool onCommand(HWND, int, int) { return false; }
};

// ---- one procedure for every command dialog -------------------------------------

template <class Dialog>
INT_PTR CALLBACK commandProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (!startRowDialog(dialog, lParam)) return TRUE;
        EditorSession& session = sessionOf(dialog);
        typename Dialog::Form form{};
        if (const analyzer::Command* row = editedRow(dialog)) {
            if (auto filled = editor::formOf(*row, session.model)) {
                if (const auto* mine = std::get_if<typename Dialog::Form>(&*filled)) form = *mine;
            }
        }
        Dialog::show(dialog, form, session);
        return TRUE;
    }
    if (!rowContextOf(dialog)) return FALSE;
    if constexpr (std::is_same_v<Dialog, MouseDialog> || std::is_same_v<Dialog, ReplaceImageDialog> ||
                  std::is_same_v<Dialog, ReadNumberDialog>) {
        if (message == kPendingRowMessage) {
            const std::optional<analyzer::Command> built =
                quietlyBuilt(dialog, editor::CommandForm(Dialog::read(dialog, sessionOf(dialog))));
            if (auto* pending = reinterpret_cast<PendingRow*>(lParam); pending && built) {
                pending->command = true;
                pending->commandRow = *built;
            }
            return TRUE;
        }
    }
    INT_PTR result = FALSE;
    if (onRowDialogMessage(dialog, message, wParam, result)) return result;
    if constexpr (requires { Dialog::onViewClick(dialog, COLORREF{}, 0, 0); }) {
        if (message == kViewClickedMessage) {
            Dialog::onViewClick(dialog, static_cast<COLORREF>(wParam), static_cast<short>(LOWORD(lParam)),
                                static_cast<short>(HIWORD(lParam)));
            return TRUE;
        }
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (kRowButtons.has(id) && code == BN_CLICKED) {
            const editor::CommandForm form = Dialog::read(dialog, sessionOf(dialog));
            if constexpr (requires { Dialog::focusRefusal(dialog, F::None); }) {
                submit(dialog, id, form, Dialog::kFields, Dialog::focusRefusal);
            } else {
                submit(dialog, id, form, Dialog::kFields);
            }
            return TRUE;
        }
        return Dialog::onCommand(dialog, id, code) ? TRUE : FALSE;
    }
    if constexpr (requires(const DRAWITEMSTRUCT& item) { Dialog::onDraw(dialog, item); }) {
        if (message == WM_DRAWITEM) {
            return Dialog::onDraw(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        }
    }
    return FALSE;
}

using analyzer::CmdDelay, analyzer::CmdDevice, analyzer::CmdKey, analyzer::CmdMacro, analyzer::CmdMouse,
    analyzer::CmdReadNumber, analyzer::CmdReplaceImage, analyzer::CmdTimer, analyzer::CmdTypeSentence,
    analyzer::CmdVariable;

const RowDialogEntry kCommandDialogs[] = {
    {{true, CmdKey}, IDD_KEY_COMMAND, commandProcedure<KeyDialog>},
    {{true, CmdMouse}, IDD_MOUSE_COMMAND, commandProcedure<MouseDialog>},
    {{true, CmdMacro}, IDD_MACRO_COMMAND, commandProcedure<MacroDialog>},
    {{true, CmdVariable}, IDD_VARIABLE_COMMAND, commandProcedure<VariableDialog>},
    {{true, CmdTimer}, IDD_TIMER_COMMAND, commandProcedure<TimerDialog>},
    {{true, CmdDelay}, IDD_DELAY_COMMAND, commandProcedure<DelayDialog>},
    {{true, CmdDevice}, IDD_DEVICE_COMMAND, commandProcedure<DeviceDialog>},
    {{true, CmdReplaceImage}, IDD_REPLACE_IMAGE_COMMAND, commandProcedure<ReplaceImageDialog>},
    {{true, CmdTypeSentence}, IDD_TYPING_COMMAND, commandProcedure<TypingDialog>},
    {{true, CmdReadNumber}, IDD_READ_NUMBER_COMMAND, commandProcedure<ReadNumberDialog>},
};

} // namespace

std::span<const RowDialogEntry> commandDialogs() { return kCommandDialogs; }

} // namespace quillon::editor_ui
