#include "editor/ui/command_dialog_tools.h"

#include <commctrl.h>

#include <algorithm>

#include "base/format_text.h"
#include "base/wide_text.h"
#include "editor/item_sentences.h"
#include "editor/ui/editor_session.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/key_box.h"

namespace quillon::editor_ui::command_ui {

namespace {

HWND control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string comboLine(HWND box, LRESULT index) {
    const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring line(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<size_t>(length));
    return narrow(line);
}

SlotList slotsNamed(const std::vector<int>& slots, std::string (*name)(const editor::AnalyzerNames&, int),
                    const EditorSession& session) {
    editor::AnalyzerNames names(session.model, session.keys);
    SlotList list;
    for (int slot : slots) {
        list.lines.push_back(name(names, slot));
        list.slots.push_back(slot);
    }
    return list;
}

} // namespace

EditorSession& sessionOf(HWND dialog) { return *rowContextOf(dialog)->session; }

const analyzer::Command* editedRow(HWND dialog) {
    const RowDialogContext* context = rowContextOf(dialog);
    if (!context || context->editRow < 0 || !context->session->working) return nullptr;
    const analyzer::Item& item = *context->session->working;
    if (context->editRow >= item.commandCount) return nullptr;
    return &item.commands[context->editRow];
}

void submit(HWND dialog, int buttonId, const editor::CommandForm& form, std::span<const FieldControl> fields,
            void (*focus)(HWND, editor::CommandField)) {
    const RowDialogContext* context = rowContextOf(dialog);
    if (!context) return;
    editor::BuiltCommand built = editor::build(form, formContextOf(*context));
    if (!built.ok()) {
        const int refused = winui::controlOf(fields, built.field);
        winui::tellRefusal(dialog, built, refused);
        if (!refused && focus) focus(dialog, built.field);
        return;
    }
    finishRowDialog(dialog, buttonId, *built.value);
}

std::optional<analyzer::Command> quietlyBuilt(HWND dialog, const editor::CommandForm& form) {
    const RowDialogContext* context = rowContextOf(dialog);
    if (!context) return std::nullopt;
    editor::BuiltCommand built = editor::build(form, formContextOf(*context));
    if (!built.ok()) return std::nullopt;
    return *built.value;
}

SlotList imageChoices(const EditorSession& session) {
    return slotsNamed(editor::listedRecognitionImages(session.model),
                      [](const editor::AnalyzerNames& n, int slot) { return n.recognitionImage(slot); }, session);
}
SlotList areaChoices(const EditorSession& session) {
    return slotsNamed(editor::listedAreas(session.model),
                      [](const editor::AnalyzerNames& n, int slot) { return n.area(slot); }, session);
}
SlotList numberPackChoices(const EditorSession& session) {
    return slotsNamed(editor::listedNumberPacks(session.model),
                      [](const editor::AnalyzerNames& n, int slot) { return n.numberPack(slot); }, session);
}
SlotList variableChoices(const EditorSession& session) {
    std::vector<int> slots;
    for (int i = 0; editor::isVariable(session.model, i); ++i) slots.push_back(i);
    return slotsNamed(slots, [](const editor::AnalyzerNames& n, int slot) { return n.variable(slot); }, session);
}
SlotList timerChoices() {
    SlotList list;
    for (int i = 0; i < analyzer::kTimerCount; ++i) {
        list.lines.push_back(formatText("타이머%d", i));
        list.slots.push_back(i);
    }
    return list;
}
SlotList macroChoices(const EditorSession& session, analyzer::MacroKind kind) {
    const int count = kind == analyzer::MacroKind::Combination ? analyzer::kCombinationMacroCount
                                                               : analyzer::kRecordedMacroCount;
    SlotList list;
    for (int i = 0; i < count; ++i) {
        list.lines.push_back(session.macroNames.name(kind, i));
        list.slots.push_back(i);
    }
    return list;
}

void fillSlots(HWND dialog, int id, const SlotList& list, int chosen) {
    HWND box = control(dialog, id);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < list.lines.size(); ++i) {
        const std::wstring line = widen(list.lines[i]);
        const LRESULT at = SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendMessageW(box, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(list.slots[i]));
        if (list.slots[i] == chosen) SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
}

int chosenSlot(HWND dialog, int id) {
    HWND box = control(dialog, id);
    const std::string text = winui::windowText(box);
    // The chosen line first: names may repeat or be empty.
    LRESULT at = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (at != CB_ERR && comboLine(box, at) != text) at = CB_ERR;
    if (at == CB_ERR && !text.empty()) {
        at = SendMessageW(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(widen(text).c_str()));
    }
    if (at == CB_ERR) return -1;
    return static_cast<int>(SendMessageW(box, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

void showNumberOrSlot(HWND dialog, int id, const editor::NumberOrSlot& value) {
    HWND box = control(dialog, id);
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; value.slot >= 0 && i < count; ++i) {
        if (SendMessageW(box, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == value.slot) {
            SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
    winui::setWindowText(box, value.typed);
}

editor::NumberOrSlot numberOrSlot(HWND dialog, int id) {
    editor::NumberOrSlot value;
    value.slot = chosenSlot(dialog, id);
    if (value.slot < 0) value.typed = winui::windowText(control(dialog, id));
    return value;
}

void fillLabels(HWND dialog, int id, std::initializer_list<const char*> labels, int chosen) {
    HWND box = control(dialog, id);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const char* label : labels) {
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(label).c_str()));
    }
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

int chosenLabel(HWND dialog, int id) {
    const LRESULT at = SendMessageW(control(dialog, id), CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? -1 : static_cast<int>(at);
}

void makeKeyBox(HWND dialog, int id, int row) {
    static const KeyTable keys(KeyNames::AnalyzerEditor);
    HWND box = control(dialog, id);
    // The row is kept in the box (0: none), shown by its key's name.
    winui::makeKeyBox(box, keys, [](HWND taker, size_t taken) {
        SetWindowLongPtrW(taker, GWLP_USERDATA, static_cast<LONG_PTR>(taken) + 1);
        winui::setWindowText(taker, keys.keyName(taken));
    });
    const bool known = row >= 0 && static_cast<size_t>(row) < KeyTable::kRowCount;
    SetWindowLongPtrW(box, GWLP_USERDATA, known ? row + 1 : 0);
    winui::setWindowText(box, known ? std::string(keys.keyName(static_cast<size_t>(row))) : std::string());
}

int keyBoxRow(HWND dialog, int id) {
    return static_cast<int>(GetWindowLongPtrW(control(dialog, id), GWLP_USERDATA)) - 1;
}

void drawImagePreview(const EditorSession& session, int slot, const DRAWITEMSTRUCT& item) {
    HBRUSH blank = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(item.hDC, &item.rcItem, blank);
    const analyzer::RecognitionImage* image =
        editor::isRecognitionImage(session.model, slot) ? session.model.recognitionImage(slot) : nullptr;
    if (!image || image->width <= 0 || image->height <= 0 || image->width > analyzer::kRecognitionImageMaxSide ||
        image->height > analyzer::kRecognitionImageMaxSide) {
        return;
    }
    // The pixels are rows of blue, green, red and a mask byte: a top-down
    // 32-bit bitmap as wide as the largest image.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = analyzer::kRecognitionImageMaxSide;
    info.bmiHeader.biHeight = -image->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int boxWidth = item.rcItem.right - item.rcItem.left;
    const int boxHeight = item.rcItem.bottom - item.rcItem.top;
    // Whole-number enlargement keeps single pixels readable; large images shrink to fit.
    int width = image->width, height = image->height;
    const int scale = std::max(1, std::min(boxWidth / width, boxHeight / height));
    width *= scale;
    height *= scale;
    if (width > boxWidth || height > boxHeight) {
        const double fit = std::min(double(boxWidth) / width, double(boxHeight) / height);
        width = std::max(1, int(width * fit));
        height = std::max(1, int(height * fit));
    }
    SetStretchBltMode(item.hDC, COLORONCOLOR);
    StretchDIBits(item.hDC, item.rcItem.left + (boxWidth - width) / 2, item.rcItem.top + (boxHeight - height) / 2,
                  width, height, 0, 0, image->width, image->height, image->pixels, &info, DIB_RGB_COLORS, SRCCOPY);
}

} // namespace quillon::editor_ui::command_ui
