#include "editor/ui/condition_controls.h"

#include <algorithm>

#include "base/format_text.h"
#include "editor/item_sentences.h"
#include "editor/recognition_capture.h"
#include "editor/ui/editor_session.h"
#include "winui/control_text.h"
#include "winui/cursor_bitmap.h"
#include "winui/dialog_colours.h"
#include "winui/list_controls.h"

namespace quillon::editor_ui {

using editor::SideList;

namespace {

std::vector<int> slotsOf(const EditorSession& session, SideList list) {
    switch (list) {
    case SideList::RecognitionImages: return editor::listedRecognitionImages(session.model);
    case SideList::Areas: return editor::listedAreas(session.model);
    case SideList::Cursors: return editor::listedCursors(session.model);
    default: return {};
    }
}

std::optional<size_t> positionOf(const std::vector<int>& slots, int slot) {
    const auto at = std::find(slots.begin(), slots.end(), slot);
    if (slot < 0 || at == slots.end()) return std::nullopt;
    return static_cast<size_t>(at - slots.begin());
}

std::optional<size_t> indexOrNothing(int index) {
    return index >= 0 ? std::optional<size_t>(static_cast<size_t>(index)) : std::nullopt;
}

} // namespace

void handViewClickToRowDialog(EditorSession& session, int x, int y) {
    if (!session.rowDialog) return;
    uint8_t bgr[3] = {};
    const bool onShot = session.viewShown && editor::screenshotPixel(session.view.bitmap, x, y, bgr);
    const COLORREF colour = onShot ? RGB(bgr[2], bgr[1], bgr[0]) : CLR_INVALID;
    PostMessageW(session.rowDialog, kViewClickedMessage, colour, MAKELPARAM(x, y));
}

void fillObjectList(HWND dialog, int id, const EditorSession& session, SideList list, int chosenSlot) {
    winui::fillListBox(GetDlgItem(dialog, id), editor::sideListLines(session.model, list),
                       positionOf(slotsOf(session, list), chosenSlot));
}

int chosenObject(HWND dialog, int id, const EditorSession& session, SideList list) {
    const std::vector<int> slots = slotsOf(session, list);
    const std::optional<size_t> at = winui::listBoxSelection(GetDlgItem(dialog, id));
    return at && *at < slots.size() ? slots[*at] : -1;
}

void chooseObject(HWND dialog, int id, const EditorSession& session, SideList list, int slot) {
    winui::selectListBoxLine(GetDlgItem(dialog, id), positionOf(slotsOf(session, list), slot));
}

void fillVariables(HWND dialog, int id, const EditorSession& session, int index) {
    const editor::AnalyzerNames names(session.model, session.keys);
    std::vector<std::string> lines;
    const int count = std::clamp(session.model.image().activeVariableCount, 0, analyzer::kVariableCapacity);
    for (int i = 0; i < count; ++i) lines.push_back(names.variable(i));
    winui::fillComboBox(GetDlgItem(dialog, id), lines, indexOrNothing(index));
}

void fillTimers(HWND dialog, int id, int index) {
    std::vector<std::string> lines;
    for (int i = 0; i < analyzer::kTimerCount; ++i) lines.push_back(formatText("타이머%d", i));
    winui::fillComboBox(GetDlgItem(dialog, id), lines, indexOrNothing(index));
}

int comboChoice(HWND dialog, int id) {
    const std::optional<size_t> at = winui::comboBoxSelection(GetDlgItem(dialog, id));
    return at ? static_cast<int>(*at) : -1;
}

void setNumberOrSlot(HWND dialog, int id, const editor::NumberOrSlot& value) {
    HWND box = GetDlgItem(dialog, id);
    winui::selectComboBoxLine(box, indexOrNothing(value.slot));
    if (value.slot < 0) winui::setWindowText(box, value.typed);
}

editor::NumberOrSlot numberOrSlot(HWND dialog, int id) {
    HWND box = GetDlgItem(dialog, id);
    const std::string shown = winui::windowText(box);
    const std::optional<size_t> at = winui::comboBoxSelection(box);
    if (at && winui::comboBoxLine(box, *at) == shown) return {"", static_cast<int>(*at)};
    return {shown, -1};
}

void fillLines(HWND dialog, int id, std::initializer_list<const char*> lines, int chosen) {
    winui::fillListBox(GetDlgItem(dialog, id), std::vector<std::string>(lines.begin(), lines.end()),
                       indexOrNothing(chosen));
}

int chosenLine(HWND dialog, int id) {
    const std::optional<size_t> at = winui::listBoxSelection(GetDlgItem(dialog, id));
    return at ? static_cast<int>(*at) : -1;
}

void setToggle(HWND dialog, int id, const char* first, const char* second, bool showsSecond) {
    winui::setControlText(dialog, id, showsSecond ? second : first);
}

bool toggleShowsSecond(HWND dialog, int id, const char* second) { return winui::controlText(dialog, id) == second; }

void flipToggle(HWND dialog, int id, const char* first, const char* second) {
    setToggle(dialog, id, first, second, !toggleShowsSecond(dialog, id, second));
}

void showImagePreview(HWND dialog, int id, const EditorSession& session, int slot) {
    HWND frame = GetDlgItem(dialog, id);
    const analyzer::RecognitionImage* image =
        editor::isRecognitionImage(session.model, slot) ? session.model.recognitionImage(slot) : nullptr;
    if (!frame || !image || image->width <= 0 || image->height <= 0 || image->width > analyzer::kRecognitionImageMaxSide ||
        image->height > analyzer::kRecognitionImageMaxSide) {
        winui::setStaticBitmap(dialog, id, nullptr);
        return;
    }
    // The picture fills the frame: small images grow by whole steps so their
    // pixels stay square and sharp, large ones shrink to fit.
    RECT client;
    GetClientRect(frame, &client);
    const int frameWidth = std::max<int>(1, client.right);
    const int frameHeight = std::max<int>(1, client.bottom);
    int width = image->width, height = image->height;
    const int grow = std::min(frameWidth / width, frameHeight / height);
    if (grow >= 1) {
        width *= grow;
        height *= grow;
    } else if (width * frameHeight > height * frameWidth) {
        height = std::max(1, height * frameWidth / width);
        width = frameWidth;
    } else {
        width = std::max(1, width * frameHeight / height);
        height = frameHeight;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = analyzer::kImageRowStride / 4;
    info.bmiHeader.biHeight = -image->height; // rows run top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, frameWidth, frameHeight);
    HGDIOBJ old = SelectObject(memory, picture);
    HBRUSH background = CreateSolidBrush(winui::kDefaultDialogColour);
    RECT all{0, 0, frameWidth, frameHeight};
    FillRect(memory, &all, background);
    DeleteObject(background);
    SetStretchBltMode(memory, COLORONCOLOR);
    StretchDIBits(memory, (frameWidth - width) / 2, (frameHeight - height) / 2, width, height, 0, 0, image->width,
                  image->height, image->pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    winui::setStaticBitmap(dialog, id, picture);
}

void showCursorPreviews(HWND dialog, int maskId, int colourId, const EditorSession& session, int slot) {
    HBITMAP mask = nullptr;
    HBITMAP colour = nullptr;
    if (editor::isCursor(session.model, slot)) {
        const analyzer::CursorSample& c = session.model.image().cursors[slot];
        if (c.parts & 1) mask = winui::cursorBitmap(c.maskHeader, c.maskBits, sizeof c.maskBits);
        if (c.parts & 2) colour = winui::cursorBitmap(c.colourHeader, c.colourBits, sizeof c.colourBits);
    }
    winui::setStaticBitmap(dialog, maskId, mask);
    winui::setStaticBitmap(dialog, colourId, colour);
}

} // namespace quillon::editor_ui
