// The line dialogs of the edit and combination pages. Each procedure hands
// its messages to the shared frame with the two things only it knows: how
// its controls show a form and how they read one back.
#include "control/ui/line_dialogs.h"

#include <climits>
#include <memory>

#include "base/format_text.h"
#include "control/key_codes.h"
#include "control/key_stream.h"
#include "control/ui/control_session.h"
#include "control/ui/line_dialog_frame.h"
#include "device/memory_headers.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/form_dialog.h"
#include "winui/list_controls.h"
#include "winui/message_boxes.h"

namespace quillon::control_ui {

using namespace control;

namespace {

// A box that holds no number reads as this, which every check refuses (a
// distance too, unlike -1).
constexpr int kNoNumber = INT_MIN;

template <class Form>
const Form& formAs(const LineForm& form) {
    static const Form defaults{};
    const Form* own = std::get_if<Form>(&form);
    return own ? *own : defaults;
}

int comboChoice(HWND dialog, int id, int none) {
    auto index = winui::comboBoxSelection(GetDlgItem(dialog, id));
    return index ? static_cast<int>(*index) : none;
}

void fillCombo(HWND dialog, int id, const std::vector<std::string>& lines, int selection) {
    winui::fillComboBox(GetDlgItem(dialog, id), lines,
                        selection >= 0 ? std::optional<size_t>(static_cast<size_t>(selection)) : std::nullopt);
}

// ---- "키보드 동작" ----------------------------------------------------------------

std::vector<std::string> keyNames() {
    std::vector<std::string> names;
    for (int row = 0; row < kKeyRowCount; ++row) {
        std::string name = keyNameOfRow(row);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        names.push_back(name);
    }
    return names;
}

void showKeyLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<KeyLineForm>(form);
    checkChoice(dialog, LineDialog::Keyboard, f.kind);
    fillCombo(dialog, IDC_LINE_KEY, keyNames(), f.keyRow);
}

LineForm readKeyLine(HWND dialog, const LineForm& start) {
    KeyLineForm f = formAs<KeyLineForm>(start);
    f.kind = checkedChoice(dialog, LineDialog::Keyboard);
    f.keyRow = comboChoice(dialog, IDC_LINE_KEY, -1);
    return f;
}

// A key pressed in the capture box chooses its row in the key list.
void keyCaptured(HWND box, uint8_t code, void*) {
    if (auto row = rowOfKeyCode(code)) {
        HWND dialog = GetParent(box);
        winui::selectComboBoxLine(GetDlgItem(dialog, IDC_LINE_KEY), static_cast<size_t>(*row));
        winui::setControlText(dialog, IDC_LINE_KEY_CAPTURE, keyNames()[static_cast<size_t>(*row)]);
    }
}

void keyLineOpened(HWND dialog, LineDialogState&) {
    makeKeyBox(GetDlgItem(dialog, IDC_LINE_KEY_CAPTURE), keyCaptured, nullptr);
}

// ---- "마우스 버튼 동작" --------------------------------------------------------------

void showButtonLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<ButtonLineForm>(form);
    checkChoice(dialog, LineDialog::MouseButton, f.action);
    winui::chooseRadioRun(dialog, IDC_LINE_BUTTON_FIRST, 3, f.button >= 0 && f.button <= 2 ? f.button : 0);
    winui::setControlNumber(dialog, IDC_LINE_SCROLL_COUNT, f.scrollCount);
}

LineForm readButtonLine(HWND dialog, const LineForm& start) {
    ButtonLineForm f = formAs<ButtonLineForm>(start);
    f.action = checkedChoice(dialog, LineDialog::MouseButton);
    f.button = winui::isChecked(dialog, IDC_LINE_BUTTON_FIRST + 2)   ? 2
               : winui::isChecked(dialog, IDC_LINE_BUTTON_FIRST + 1) ? 1
                                                                     : 0;
    f.scrollCount = numberOr(dialog, IDC_LINE_SCROLL_COUNT, kNoNumber);
    return f;
}

// ---- "마우스 이동" ------------------------------------------------------------------

// Picking on the screenshot fills the coordinate boxes while the dialog is open.
class MovePicking final : public PickingClient {
public:
    explicit MovePicking(HWND dialog) : dialog_(dialog) {}
    void showCurrent(PickPoint point) override { show(IDC_LINE_CURRENT_X, IDC_LINE_CURRENT_Y, point); }
    void showDistance(PickPoint delta) override { show(IDC_LINE_DX, IDC_LINE_DY, delta); }
    void showChosen(PickPoint point) override { show(IDC_LINE_X, IDC_LINE_Y, point); }

private:
    void show(int xId, int yId, PickPoint point) {
        winui::setControlNumber(dialog_, xId, point.x);
        winui::setControlNumber(dialog_, yId, point.y);
    }
    HWND dialog_;
};

bool byDistance(MoveChoice choice) { return choice == MoveChoice::ByDistance || choice == MoveChoice::ShiftRemembered; }

std::vector<std::string> rememberedNames() {
    std::vector<std::string> names;
    for (int slot = 1; slot <= 8; ++slot) names.push_back(formatText("기억좌표%d", slot));
    return names;
}

void showMoveLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<MoveLineForm>(form);
    checkChoice(dialog, LineDialog::Move, static_cast<int>(f.choice));
    winui::setChecked(dialog, IDC_LINE_RANDOM, f.random);
    fillCombo(dialog, IDC_LINE_SLOT, rememberedNames(), f.slot >= 0 && f.slot < 8 ? f.slot : 0);
    const bool distance = byDistance(f.choice);
    winui::setControlNumber(dialog, distance ? IDC_LINE_DX : IDC_LINE_X, f.x);
    winui::setControlNumber(dialog, distance ? IDC_LINE_DY : IDC_LINE_Y, f.y);
}

LineForm readMoveLine(HWND dialog, const LineForm& start) {
    MoveLineForm f = formAs<MoveLineForm>(start);
    f.choice = static_cast<MoveChoice>(checkedChoice(dialog, LineDialog::Move));
    f.random = winui::isChecked(dialog, IDC_LINE_RANDOM);
    f.slot = comboChoice(dialog, IDC_LINE_SLOT, -1);
    const bool distance = byDistance(f.choice);
    f.x = numberOr(dialog, distance ? IDC_LINE_DX : IDC_LINE_X, kNoNumber);
    f.y = numberOr(dialog, distance ? IDC_LINE_DY : IDC_LINE_Y, kNoNumber);
    return f;
}

int moveFieldControl(HWND dialog, LineField field) {
    const bool distance = byDistance(static_cast<MoveChoice>(checkedChoice(dialog, LineDialog::Move)));
    if (field == LineField::X) return distance ? IDC_LINE_DX : IDC_LINE_X;
    if (field == LineField::Y) return distance ? IDC_LINE_DY : IDC_LINE_Y;
    return 0;
}

void moveLineOpened(HWND dialog, LineDialogState& state) {
    auto* picking = new MovePicking(dialog);
    state.own = picking;
    state.session->picking.attach(picking);
}

void moveLineClosed(HWND, LineDialogState& state) {
    auto* picking = static_cast<MovePicking*>(state.own);
    state.session->picking.detach(picking);
    delete picking;
    state.own = nullptr;
}

// ---- "FPS 마우스이동" ---------------------------------------------------------------

void showFpsLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<FpsMoveLineForm>(form);
    winui::setControlNumber(dialog, IDC_LINE_HORIZONTAL, f.horizontal);
    winui::chooseRadioRun(dialog, IDC_LINE_LEFT, 2, f.left ? 0 : 1);
    winui::setControlNumber(dialog, IDC_LINE_VERTICAL, f.vertical);
    winui::chooseRadioRun(dialog, IDC_LINE_UP, 2, f.up ? 0 : 1);
}

LineForm readFpsLine(HWND dialog, const LineForm& start) {
    FpsMoveLineForm f = formAs<FpsMoveLineForm>(start);
    f.horizontal = numberOr(dialog, IDC_LINE_HORIZONTAL, kNoNumber);
    f.left = winui::isChecked(dialog, IDC_LINE_LEFT);
    f.vertical = numberOr(dialog, IDC_LINE_VERTICAL, kNoNumber);
    f.up = winui::isChecked(dialog, IDC_LINE_UP);
    return f;
}

// ---- "시간지연" ---------------------------------------------------------------------

void showDelayLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<DelayLineForm>(form);
    checkChoice(dialog, LineDialog::Delay, f.random ? kind::kRandomDelay : kind::kDelay);
    winui::setControlText(dialog, IDC_LINE_SECONDS, f.seconds);
    winui::setControlText(dialog, IDC_LINE_LOWER, f.lowerSeconds);
    winui::setControlText(dialog, IDC_LINE_UPPER, f.upperSeconds);
}

LineForm readDelayLine(HWND dialog, const LineForm& start) {
    DelayLineForm f = formAs<DelayLineForm>(start);
    f.random = checkedChoice(dialog, LineDialog::Delay) == kind::kRandomDelay;
    f.seconds = winui::controlText(dialog, IDC_LINE_SECONDS);
    f.lowerSeconds = winui::controlText(dialog, IDC_LINE_LOWER);
    f.upperSeconds = winui::controlText(dialog, IDC_LINE_UPPER);
    return f;
}

// Typing into a box chooses the line it belongs to.
void delayLineCommand(HWND dialog, LineDialogState&, int id, int notification) {
    if (notification != EN_CHANGE) return;
    if (id == IDC_LINE_SECONDS) checkChoice(dialog, LineDialog::Delay, kind::kDelay);
    if (id == IDC_LINE_LOWER || id == IDC_LINE_UPPER) checkChoice(dialog, LineDialog::Delay, kind::kRandomDelay);
}

// ---- "구간 반복" --------------------------------------------------------------------

void showRepeatLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<RepeatLineForm>(form);
    checkChoice(dialog, LineDialog::Repeat, f.kind);
    fillCombo(dialog, IDC_LINE_REPEAT_NAME, {"A", "B", "C", "D", "E"}, f.name);
    const std::vector<std::string> operators{"=", "<=", "<", "X"};
    fillCombo(dialog, IDC_LINE_LEFT_OPERATOR, operators, f.leftOperator);
    fillCombo(dialog, IDC_LINE_RIGHT_OPERATOR, operators, f.rightOperator);
    winui::setControlNumber(dialog, IDC_LINE_COUNT, f.count);
    winui::setControlNumber(dialog, IDC_LINE_LEFT_VALUE, f.leftValue);
    winui::setControlNumber(dialog, IDC_LINE_RIGHT_VALUE, f.rightValue);
}

LineForm readRepeatLine(HWND dialog, const LineForm& start) {
    RepeatLineForm f = formAs<RepeatLineForm>(start);
    f.kind = checkedChoice(dialog, LineDialog::Repeat);
    f.name = comboChoice(dialog, IDC_LINE_REPEAT_NAME, -1);
    f.count = numberOr(dialog, IDC_LINE_COUNT, kNoNumber);
    f.leftValue = numberOr(dialog, IDC_LINE_LEFT_VALUE, kNoNumber);
    f.leftOperator = comboChoice(dialog, IDC_LINE_LEFT_OPERATOR, -1);
    f.rightOperator = comboChoice(dialog, IDC_LINE_RIGHT_OPERATOR, -1);
    f.rightValue = numberOr(dialog, IDC_LINE_RIGHT_VALUE, kNoNumber);
    return f;
}

// Typing a count chooses "반복 시작"; typing a comparison value or choosing an
// operator chooses "반복횟수 비교".
void repeatLineCommand(HWND dialog, LineDialogState&, int id, int notification) {
    if (id == IDC_LINE_COUNT && notification == EN_CHANGE) {
        checkChoice(dialog, LineDialog::Repeat, kind::kRepeatStart);
    } else if (((id == IDC_LINE_LEFT_VALUE || id == IDC_LINE_RIGHT_VALUE) && notification == EN_CHANGE) ||
               ((id == IDC_LINE_LEFT_OPERATOR || id == IDC_LINE_RIGHT_OPERATOR) && notification == CBN_SELCHANGE)) {
        checkChoice(dialog, LineDialog::Repeat, kind::kRepeatCompare);
    }
}

// ---- "원격 제어" --------------------------------------------------------------------

void showRemoteLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<RemoteLineForm>(form);
    checkChoice(dialog, LineDialog::Remote, f.kind);
    winui::setControlText(dialog, IDC_LINE_NUMBER, f.number ? std::to_string(*f.number) : std::string());
}

LineForm readRemoteLine(HWND dialog, const LineForm& start) {
    RemoteLineForm f = formAs<RemoteLineForm>(start);
    f.kind = checkedChoice(dialog, LineDialog::Remote);
    f.number = winui::controlNumber(dialog, IDC_LINE_NUMBER);
    return f;
}

// ---- "장치 제어" --------------------------------------------------------------------

void showMachineLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<MachineControlLineForm>(form);
    checkChoice(dialog, LineDialog::MachineControl, f.kind);
    limitToCp949Bytes(GetDlgItem(dialog, IDC_LINE_LABEL), kMaxLabelCharacters);
    winui::setControlText(dialog, IDC_LINE_LABEL, f.label);
}

LineForm readMachineLine(HWND dialog, const LineForm& start) {
    MachineControlLineForm f = formAs<MachineControlLineForm>(start);
    f.kind = checkedChoice(dialog, LineDialog::MachineControl);
    f.label = winui::controlText(dialog, IDC_LINE_LABEL);
    return f;
}

void machineLineCommand(HWND dialog, LineDialogState&, int id, int notification) {
    if (id == IDC_LINE_LABEL && notification == EN_CHANGE) {
        const int now = checkedChoice(dialog, LineDialog::MachineControl);
        if (now != kind::kLabel && now != kind::kJump) checkChoice(dialog, LineDialog::MachineControl, kind::kLabel);
    }
}

// ---- "문장 입력" --------------------------------------------------------------------

void showTypingLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<TypingLineForm>(form);
    SendDlgItemMessageW(dialog, IDC_LINE_TEXT, EM_LIMITTEXT, kMaxTypingCharacters, 0);
    winui::setControlText(dialog, IDC_LINE_TEXT, f.text);
    winui::setControlNumber(dialog, IDC_LINE_SPEED, f.speed);
}

LineForm readTypingLine(HWND dialog, const LineForm& start) {
    TypingLineForm f = formAs<TypingLineForm>(start);
    f.text = winui::controlText(dialog, IDC_LINE_TEXT);
    f.speed = numberOr(dialog, IDC_LINE_SPEED, 0);
    return f;
}

// ---- "녹화 매크로" / "편집 매크로" -----------------------------------------------------

void showPlayLine(HWND dialog, const LineForm& form) {
    const auto& f = formAs<PlayMemoryLineForm>(form);
    winui::setWindowText(dialog, f.kind == kind::kPlayEdit ? "편집 매크로" : "녹화 매크로");
    std::vector<std::string> memories;
    for (size_t i = 0; i < 32; ++i) memories.push_back(formatText("%d-%d 메모리", bankOf(i), slotOf(i)));
    winui::fillListBox(GetDlgItem(dialog, IDC_LINE_MEMORY), memories,
                       f.index >= 0 && f.index < 32 ? std::optional<size_t>(f.index) : std::nullopt);
}

LineForm readPlayLine(HWND dialog, const LineForm& start) {
    PlayMemoryLineForm f = formAs<PlayMemoryLineForm>(start);
    auto index = winui::listBoxSelection(GetDlgItem(dialog, IDC_LINE_MEMORY));
    f.index = index ? static_cast<int>(*index) : -1;
    return f;
}

// ---- the procedures, one per dialog resource -------------------------------------------

constexpr LineDialogParts kKeyParts{LineDialog::Keyboard, showKeyLine, readKeyLine, nullptr, nullptr, keyLineOpened};
constexpr LineDialogParts kButtonParts{LineDialog::MouseButton, showButtonLine, readButtonLine};
constexpr LineDialogParts kMoveParts{LineDialog::Move, showMoveLine,     readMoveLine,  moveFieldControl,
                                     nullptr,          moveLineOpened,   moveLineClosed};
constexpr LineDialogParts kFpsParts{LineDialog::FpsMove, showFpsLine, readFpsLine};
constexpr LineDialogParts kDelayParts{LineDialog::Delay, showDelayLine, readDelayLine, nullptr, delayLineCommand};
constexpr LineDialogParts kRepeatParts{LineDialog::Repeat, showRepeatLine, readRepeatLine, nullptr,
                                       repeatLineCommand};
constexpr LineDialogParts kRemoteParts{LineDialog::Remote, showRemoteLine, readRemoteLine};
constexpr LineDialogParts kMachineParts{LineDialog::MachineControl, showMachineLine, readMachineLine, nullptr,
                                        machineLineCommand};
constexpr LineDialogParts kTypingParts{LineDialog::Typing, showTypingLine, readTypingLine};
constexpr LineDialogParts kPlayParts{LineDialog::PlayMemory, showPlayLine, readPlayLine};

INT_PTR CALLBACK keyLineProc(HWND d, UINT m, WPARAM w, LPARAM l) { return lineDialogMessage(d, m, w, l, kKeyParts); }
INT_PTR CALLBACK buttonLineProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return lineDialogMessage(d, m, w, l, kButtonParts);
}
INT_PTR CALLBACK moveLineProc(HWND d, UINT m, WPARAM w, LPARAM l) { return lineDialogMessage(d, m, w, l, kMoveParts); }
INT_PTR CALLBACK fpsLineProc(HWND d, UINT m, WPARAM w, LPARAM l) { return lineDialogMessage(d, m, w, l, kFpsParts); }
INT_PTR CALLBACK delayLineProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return lineDialogMessage(d, m, w, l, kDelayParts);
}
INT_PTR CALLBACK repeatLineProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return lineDialogMessage(d, m, w, l, kRepeatParts);
}
INT_PTR CALLBACK remoteLineProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return lineDialogMessage(d, m, w, l, kRemoteParts);
}
INT_PTR CALLBACK machineLineProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return lineDialogMessage(d, m, w, l, kMachineParts);
}
INT_PTR CALLBACK typingLineProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return lineDialogMessage(d, m, w, l, kTypingParts);
}
INT_PTR CALLBACK playLineProc(HWND d, UINT m, WPARAM w, LPARAM l) { return lineDialogMessage(d, m, w, l, kPlayParts); }

// Dialog -> its resource and procedure, in LineDialog order.
struct LineDialogEntry {
    LineDialog dialog;
    int resource;
    DLGPROC procedure;
};
constexpr LineDialogEntry kLineDialogs[] = {
    {LineDialog::Keyboard, IDD_LINE_KEYBOARD, keyLineProc},
    {LineDialog::MouseButton, IDD_LINE_MOUSE_BUTTON, buttonLineProc},
    {LineDialog::Move, IDD_LINE_MOVE, moveLineProc},
    {LineDialog::FpsMove, IDD_LINE_FPS_MOVE, fpsLineProc},
    {LineDialog::Delay, IDD_LINE_DELAY, delayLineProc},
    {LineDialog::Repeat, IDD_LINE_REPEAT, repeatLineProc},
    {LineDialog::Remote, IDD_LINE_REMOTE, remoteLineProc},
    {LineDialog::MachineControl, IDD_LINE_MACHINE, machineLineProc},
    {LineDialog::Typing, IDD_LINE_TYPING, typingLineProc},
    {LineDialog::PlayMemory, IDD_LINE_PLAY_MEMORY, playLineProc},
};
static_assert(std::size(kLineDialogs) == static_cast<size_t>(LineDialog::PlayMemory) + 1);

// The fields a new line's dialog opens with.
LineForm defaultFormOf(LineDialog dialog) {
    static const LineForm defaults[] = {KeyLineForm{},    ButtonLineForm{},         MoveLineForm{},
                                        FpsMoveLineForm{}, DelayLineForm{},         RepeatLineForm{},
                                        RemoteLineForm{},  MachineControlLineForm{}, TypingLineForm{},
                                        PlayMemoryLineForm{}};
    return defaults[static_cast<size_t>(dialog)];
}

} // namespace

std::optional<EditLine> runLineDialog(ControlSession& s, HWND owner, const LineDialogRequest& request) {
    LineDialogState state;
    state.session = &s;
    state.request = &request;
    state.context = request.context;
    if (state.context.screenWidth <= 0 || state.context.screenHeight <= 0) {
        state.context.screenWidth = s.screenshotWidth;
        state.context.screenHeight = s.screenshotHeight;
    }
    state.start = request.form ? *request.form : defaultFormOf(request.dialog);
    const LineDialog dialog = dialogOf(state.start);
    // The movement dialog picks its points on the screenshot: without one it
    // does not open (even when the page knows the screen of a macro read back).
    if (dialog == LineDialog::Move &&
        (s.screenshot == nullptr || state.context.screenWidth <= 0 || state.context.screenHeight <= 0)) {
        winui::showNotice(owner, kNeedScreenshot);
        return std::nullopt;
    }
    const LineDialogEntry& entry = kLineDialogs[static_cast<size_t>(dialog)];
    DialogBoxParamW(s.instance, MAKEINTRESOURCEW(entry.resource), owner, entry.procedure,
                    reinterpret_cast<LPARAM>(&state));
    return state.result;
}

} // namespace quillon::control_ui
