// The pattern editor ("CreatePattern") and the number-pack editor
// ("CreateNumberPack"): two windows made in code that take the side panel's
// place while open. Both show the same magnified grid (editor/pattern_editing)
// and move the pointer, the keys and the control values in and out; what is
// stored is decided in the core.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "editor/number_pack_editing.h"
#include "editor/pattern_editing.h"
#include "editor/side_panel.h"
#include "editor/ui/editor_session.h"
#include "editor/ui/row_dialogs.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/list_controls.h"

namespace quillon::editor_ui {
namespace {

using namespace editor;

constexpr UINT_PTR kLoadTimer = 1;
constexpr COLORREF kOutsideColour = RGB(0xF0, 0xF0, 0xF0);

// Where the views sit in the windows' client areas.
constexpr RECT kSourceView{40, 190, 40 + kGridSide, 190 + kGridSide};
constexpr RECT kPatternView{320, 190, 320 + kGridSide, 190 + kGridSide};
constexpr RECT kPackView{12, 97, 12 + kGridSide, 97 + kGridSide}; // inside the 204 x 204 frame at 10, 95
constexpr SIZE kPatternClient{545, 470};
constexpr SIZE kPackClient{565, 530};

enum class View { None, Source, Pattern, Pack };

// The working state both editors share; it outlives the windows, so an
// editor opened again finds what was left in it.
struct RecognitionEditors {
    std::unique_ptr<PickingGrid> grid = std::make_unique<PickingGrid>();
    NumberPackDraft draft;
    ScreenPicking picking; // Ctrl on the screenshot while the pack editor is open
    HWND patternWindow = nullptr;
    HWND packWindow = nullptr;
    HFONT font = nullptr;
};

RecognitionEditors& editors() {
    static RecognitionEditors state;
    return state;
}

EditorSession* sessionOf(HWND window) {
    return reinterpret_cast<EditorSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND addControl(HWND window, const wchar_t* kind, const std::string& text, DWORD style, int id, int x, int y,
                int width, int height) {
    HWND control = CreateWindowExW(0, kind, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                   window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(editors().font), FALSE);
    return control;
}

void addLabel(HWND window, const std::string& text, int x, int y, int width, int height = 20, int id = -1) {
    addControl(window, L"STATIC", text, SS_LEFT, id, x, y, width, height);
}

void addButton(HWND window, const std::string& text, int id, int x, int y, int width, int height = 20) {
    addControl(window, L"BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP, id, x, y, width, height);
}

void addSlider(HWND window, int id, int x, int y, int width, int height, int maximum, int position) {
    HWND slider = addControl(window, TRACKBAR_CLASSW, "", TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP, id, x, y, width,
                             height);
    SendMessageW(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, maximum));
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
}

int sliderPosition(HWND window, int id) {
    return static_cast<int>(SendDlgItemMessageW(window, id, TBM_GETPOS, 0, 0));
}

// The grid painted 1:1 at `view`, each cell in the colour `colourOf` gives.
template <class ColourOf>
void paintGrid(HDC dc, const RECT& view, const PickingGrid& grid, ColourOf colourOf) {
    std::vector<uint32_t> pixels(static_cast<size_t>(kGridSide) * kGridSide);
    const uint32_t outside = GetRValue(kOutsideColour) << 16 | GetGValue(kOutsideColour) << 8 | GetBValue(kOutsideColour);
    for (int row = 0; row < kGridSide; ++row) {
        for (int column = 0; column < kGridSide; ++column) {
            pixels[static_cast<size_t>(row) * kGridSide + column] =
                grid.inside(column, row) ? colourOf(grid.cell(column, row)) : outside;
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kGridSide;
    info.bmiHeader.biHeight = -kGridSide; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, view.left, view.top, kGridSide, kGridSide, 0, 0, 0, kGridSide, pixels.data(), &info,
                      DIB_RGB_COLORS);
}

// Points of `width` x `height` cells scaled to fit a square of `side`
// pixels, on `background` (0x00RRGGBB).
void paintSample(HDC dc, const RECT& box, int width, int height,
                 const std::vector<analyzer::NumberSamplePoint>& points, uint32_t background = 0xFFFFFF) {
    HBRUSH ground = CreateSolidBrush(RGB(background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF));
    FillRect(dc, &box, ground);
    DeleteObject(ground);
    FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    if (width < 1 || height < 1) return;
    const int side = std::min(box.right - box.left, box.bottom - box.top) - 2;
    const int scale = std::max(1, side / std::max(width, height));
    for (const analyzer::NumberSamplePoint& p : points) {
        const uint32_t c = p.colour;
        HBRUSH brush = CreateSolidBrush(RGB(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF));
        RECT cell{box.left + 1 + p.column * scale, box.top + 1 + p.row * scale, 0, 0};
        cell.right = std::min<LONG>(cell.left + scale, box.right - 1);
        cell.bottom = std::min<LONG>(cell.top + scale, box.bottom - 1);
        if (cell.left < cell.right && cell.top < cell.bottom) FillRect(dc, &cell, brush);
        DeleteObject(brush);
    }
}

// The selected cells inside their bounding box, as a sample shows them.
SampleSlot selectionAsSample(const PickingGrid& grid) {
    NumberPackDraft draft;
    takeSample(draft, 0, grid);
    return draft.slots[0];
}

View viewUnder(HWND window, POINT client, int& column, int& row) {
    const bool pack = window == editors().packWindow;
    for (auto [view, rect] : pack ? std::vector<std::pair<View, RECT>>{{View::Pack, kPackView}}
                                   : std::vector<std::pair<View, RECT>>{{View::Source, kSourceView},
                                                                        {View::Pattern, kPatternView}}) {
        if (PtInRect(&rect, client)) {
            column = client.x - rect.left;
            row = client.y - rect.top;
            return view;
        }
    }
    return View::None;
}

View pointerView(HWND window, int& column, int& row) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return viewUnder(window, p, column, row);
}

void redrawViews(HWND window) {
    if (window == editors().packWindow) {
        InvalidateRect(window, &kPackView, FALSE);
        InvalidateRect(GetDlgItem(window, IDC_PACK_POINT_VIEW), nullptr, FALSE);
    } else {
        InvalidateRect(window, &kSourceView, FALSE);
        InvalidateRect(window, &kPatternView, FALSE);
    }
}

// Arrows and W, A, S, D move the pointer by one screen pixel.
bool movePointer(WPARAM key) {
    int dx = 0, dy = 0;
    switch (key) {
    case VK_LEFT: case 'A': dx = -1; break;
    case VK_RIGHT: case 'D': dx = 1; break;
    case VK_UP: case 'W': dy = -1; break;
    case VK_DOWN: case 'S': dy = 1; break;
    default: return false;
    }
    POINT p;
    GetCursorPos(&p);
    SetCursorPos(p.x + dx, p.y + dy);
    return true;
}

// Opening and closing: the editor sits where the side panel was, the side
// panel is hidden and the main panel disabled until it closes.
void takeSidePanelPlace(EditorSession& session, HWND window) {
    RECT side{0, 0, 0, 0};
    if (session.sidePanel) GetWindowRect(session.sidePanel, &side);
    RECT frame;
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int x = std::max(0, std::min<int>(side.left, GetSystemMetrics(SM_CXSCREEN) - width));
    SetWindowPos(window, HWND_TOP, x, std::max<LONG>(0, side.top), 0, 0, SWP_NOSIZE);
    if (session.sidePanel) ShowWindow(session.sidePanel, SW_HIDE);
    if (session.mainPanel) EnableWindow(session.mainPanel, FALSE);
}

void giveSidePanelBack(EditorSession& session) {
    if (session.mainPanel) {
        settlePanels(session);
        // The edited item's rows name images and packs that may have been
        // renamed meanwhile.
        if (session.working) {
            const RowList focused = session.focusedList;
            showEditedItem(session, false, chosenRowOf(session, false));
            session.focusedList = focused;
        }
    }
    if (session.sidePanel) {
        refreshSidePanel(session);
        ShowWindow(session.sidePanel, SW_SHOWNOACTIVATE);
    }
}

void closeEditor(HWND& window) {
    if (window) {
        HWND closing = window;
        window = nullptr;
        DestroyWindow(closing);
    }
}

HWND createEditorWindow(EditorSession& session, const wchar_t* className, const wchar_t* title, SIZE client) {
    RecognitionEditors& e = editors();
    if (!e.font) {
        e.font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg");
    }
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
    return CreateWindowExW(WS_EX_TOOLWINDOW, className, title, style, 0, 0, frame.right - frame.left,
                           frame.bottom - frame.top, session.mainWindow, nullptr, GetModuleHandleW(nullptr), &session);
}

// The cell under the pointer, in the editor and on the main panel's status
// line (the main panel sits beside the editor, disabled but shown).
void showStatus(HWND window, const PickingGrid& grid, int column, int row) {
    const std::string status = cellStatusText(grid, column, row);
    winui::setControlText(window, IDC_EDITOR_CELL_STATUS, status);
    if (EditorSession* session = sessionOf(window); session && session->mainPanel) {
        winui::setControlText(session->mainPanel, IDC_PANEL_STATUS, status);
    }
}

int currentImageSlot(const EditorSession& session) {
    const analyzer::AnalyzerImage& a = session.model.image();
    if (a.recognitionImageCount <= 0) return -1;
    const int position = std::clamp(static_cast<int>(a.currentRecognitionImage), 0, a.recognitionImageCount - 1);
    return a.recognitionImageOrder[position];
}

// ---- Pattern editor ----

void fillImageChoice(EditorSession& session, HWND window, int id) {
    const int position = imagePosition(session.model, editors().grid->imageSlot);
    std::optional<size_t> selection;
    if (position >= 0) selection = static_cast<size_t>(position);
    winui::fillComboBox(GetDlgItem(window, id), sideListLines(session.model, SideList::RecognitionImages), selection);
}

void showPatternState(EditorSession& session, HWND window) {
    const PickingGrid& grid = *editors().grid;
    fillImageChoice(session, window, IDC_PATTERN_IMAGES);
    winui::setControlText(window, IDC_PATTERN_NAME, imageName(session.model, grid.imageSlot));
    SendDlgItemMessageW(window, IDC_EDITOR_SIMILARITY, TBM_SETPOS, TRUE, grid.similarityPosition);
    winui::setControlText(window, IDC_EDITOR_SIMILARITY_VALUE, similarityText(grid.similarityPosition));
    SendDlgItemMessageW(window, IDC_PATTERN_SOURCE_DISPLAY, TBM_SETPOS, TRUE, grid.sourceDisplay);
    SendDlgItemMessageW(window, IDC_PATTERN_VIEW_DISPLAY, TBM_SETPOS, TRUE, grid.patternDisplay);
    redrawViews(window);
}

void createPatternControls(HWND window) {
    const PickingGrid& grid = *editors().grid;
    addLabel(window, "이미지", 190, 30, 55);
    addControl(window, L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_PATTERN_IMAGES, 260, 30, 255,
               400);
    addLabel(window, "이름", 190, 55, 55);
    addControl(window, L"EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, IDC_PATTERN_NAME, 260, 55, 255, 20);
    addButton(window, "패턴 모두 삭제", IDC_PATTERN_CLEAR, 190, 90, 140);
    addSlider(window, IDC_EDITOR_SIMILARITY, 190, 125, 140, 20, kSimilarityPositions, grid.similarityPosition);
    addLabel(window, "100", 250, 150, 50, 20, IDC_EDITOR_SIMILARITY_VALUE);
    addButton(window, "이름 변경", IDC_PATTERN_RENAME, 375, 90, 140);
    addButton(window, "변경 저장", IDC_PATTERN_STORE, 375, 115, 140);
    addButton(window, "종료", IDC_PATTERN_CLOSE, 375, 140, 140);
    addLabel(window, "원본 이미지", 40, 165, 150);
    addLabel(window, "패턴 이미지", 320, 165, 150);
    addSlider(window, IDC_PATTERN_SOURCE_DISPLAY, 40, 400, 201, 30, kDisplayLevels, grid.sourceDisplay);
    addSlider(window, IDC_PATTERN_VIEW_DISPLAY, 320, 400, 201, 30, kDisplayLevels, grid.patternDisplay);
    addLabel(window, "", 40, 440, 481, 20, IDC_EDITOR_CELL_STATUS);
}

void onPatternCommand(EditorSession& session, HWND window, int id, int code) {
    PickingGrid& grid = *editors().grid;
    switch (id) {
    case IDC_PATTERN_IMAGES:
        if (code == CBN_SELCHANGE) {
            if (auto position = winui::comboBoxSelection(GetDlgItem(window, id))) {
                loadImage(grid, session.model, session.model.image().recognitionImageOrder[*position]);
                showPatternState(session, window);
            }
        }
        return;
    case IDC_PATTERN_CLEAR:
        clearSelection(grid);
        redrawViews(window);
        return;
    case IDC_PATTERN_RENAME:
    case IDC_PATTERN_STORE: {
        const std::string name = winui::controlText(window, IDC_PATTERN_NAME);
        const bool changed = id == IDC_PATTERN_RENAME
                                 ? renameImage(session.model, grid.imageSlot, name, session.dialogs)
                                 : storePattern(session.model, grid, name, session.dialogs) == PatternStore::Stored;
        if (changed) {
            // The new display name takes the old one's place in both lists.
            fillImageChoice(session, window, IDC_PATTERN_IMAGES);
            showImageInSidePanel(session, imagePosition(session.model, grid.imageSlot));
        }
        return;
    }
    case IDC_PATTERN_CLOSE:
        closeEditor(editors().patternWindow);
        return;
    default:
        return;
    }
}

void paintPattern(HDC dc) {
    const PickingGrid& grid = *editors().grid;
    paintGrid(dc, kSourceView, grid, [&](const GridCell& c) { return sourceViewColour(c, grid.sourceDisplay); });
    paintGrid(dc, kPatternView, grid, [&](const GridCell& c) { return patternViewColour(c, grid.patternDisplay); });
}

// ---- Number-pack editor ----

constexpr const char* kSampleLabels[analyzer::kNumberPackSamples] = {"0", "1", "2", "3", "4", "5", "6", "7",
                                                                     "8", "9", "+", "-", "*", "÷", ",", "."};
constexpr const char* kSignCaptions[] = {"더하기", "빼기", "곱하기", "나누기", "구분자", "구분자"};

RECT previewRect(int slot) {
    const int x = 10 + 68 * (slot % 8);
    const int y = slot < 8 ? 312 : 410;
    return {x, y + 23, x + 63, y + 23 + 63};
}

void fillPackChoice(EditorSession& session, HWND window, int position) {
    std::optional<size_t> selection;
    if (position >= 0) selection = static_cast<size_t>(position);
    winui::fillComboBox(GetDlgItem(window, IDC_PACK_CHOICE), packLines(session.model), selection);
    winui::setControlText(window, IDC_PACK_NAME, packName(session.model, position));
    if (position >= 0) session.model.image().currentNumberPack = position;
}

int chosenPack(HWND window) {
    auto position = winui::comboBoxSelection(GetDlgItem(window, IDC_PACK_CHOICE));
    return position ? static_cast<int>(*position) : -1;
}

void redrawPreviews(HWND window) {
    for (int slot = 0; slot < analyzer::kNumberPackSamples; ++slot) {
        InvalidateRect(GetDlgItem(window, IDC_PACK_PREVIEW + slot), nullptr, FALSE);
    }
}

void createPackControls(EditorSession& session, HWND window) {
    addLabel(window, "숫자팩", 10, 12, 50);
    addControl(window, L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_PACK_CHOICE, 65, 10, 200, 300);
    addLabel(window, "이름", 280, 12, 35);
    addControl(window, L"EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, IDC_PACK_NAME, 315, 10, 240, 20);
    addButton(window, "불러 오기", IDC_PACK_LOAD, 10, 38, 85, 22);
    addButton(window, "변경 저장", IDC_PACK_STORE, 100, 38, 85, 22);
    addButton(window, "새로 저장", IDC_PACK_STORE_NEW, 190, 38, 85, 22);
    addButton(window, "삭제", IDC_PACK_DELETE, 280, 38, 85, 22);
    addButton(window, "이미지 초기화", IDC_PACK_CLEAR_VIEW, 370, 38, 110, 22);
    addLabel(window, "이미지", 10, 70, 50);
    addControl(window, L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_PACK_IMAGES, 65, 68, 200, 300);
    addSlider(window, IDC_EDITOR_SIMILARITY, 280, 68, 140, 20, kSimilarityPositions,
              editors().grid->similarityPosition);
    addLabel(window, similarityText(editors().grid->similarityPosition), 425, 70, 50, 20, IDC_EDITOR_SIMILARITY_VALUE);
    addLabel(window, "포인트 이미지", 230, 97, 120);
    addControl(window, L"STATIC", "", SS_OWNERDRAW, IDC_PACK_POINT_VIEW, 230, 117, 93, 93);
    addLabel(window, "", 230, 270, 325, 20, IDC_EDITOR_CELL_STATUS);
    for (int slot = 0; slot < analyzer::kNumberPackSamples; ++slot) {
        const RECT preview = previewRect(slot);
        addButton(window, kSampleLabels[slot], IDC_PACK_SAMPLE_SET + slot, preview.left, preview.top - 23, 42, 20);
        addButton(window, "X", IDC_PACK_SAMPLE_CLEAR + slot, preview.left + 43, preview.top - 23, 20, 20);
        addControl(window, L"STATIC", "", SS_OWNERDRAW, IDC_PACK_PREVIEW + slot, preview.left, preview.top, 63, 63);
        if (slot >= analyzer::kFirstNumberSign) {
            addLabel(window, kSignCaptions[slot - analyzer::kFirstNumberSign], preview.left, preview.bottom + 1, 63, 16);
        }
    }
    fillPackChoice(session, window, session.model.image().numberPackCount > 0
                                        ? std::clamp(static_cast<int>(session.model.image().currentNumberPack), 0,
                                                     session.model.image().numberPackCount - 1)
                                        : -1);
    fillImageChoice(session, window, IDC_PACK_IMAGES);
}

// "이미지 초기화": the marks go, the image's own pixels come back.
void clearPackView(EditorSession& session, HWND window) {
    RecognitionEditors& e = editors();
    PickingGrid& grid = *e.grid;
    if (!e.picking.pixels.empty() || grid.imageSlot < 0) {
        // A selection picked on the screenshot has no image to go back to.
        clearScreenPicking(e.picking, grid);
    } else {
        clearSelection(grid);
        reloadPixels(grid, session.model);
    }
    redrawViews(window);
}

void onPackCommand(EditorSession& session, HWND window, int id, int code) {
    RecognitionEditors& e = editors();
    if (id >= IDC_PACK_SAMPLE_SET && id < IDC_PACK_SAMPLE_SET + kSampleSlots) {
        if (takeSample(e.draft, id - IDC_PACK_SAMPLE_SET, *e.grid)) {
            InvalidateRect(GetDlgItem(window, IDC_PACK_PREVIEW + id - IDC_PACK_SAMPLE_SET), nullptr, FALSE);
        }
        return;
    }
    if (id >= IDC_PACK_SAMPLE_CLEAR && id < IDC_PACK_SAMPLE_CLEAR + kSampleSlots) {
        clearSample(e.draft, id - IDC_PACK_SAMPLE_CLEAR);
        InvalidateRect(GetDlgItem(window, IDC_PACK_PREVIEW + id - IDC_PACK_SAMPLE_CLEAR), nullptr, FALSE);
        return;
    }
    const int position = chosenPack(window);
    switch (id) {
    case IDC_PACK_CHOICE:
        if (code == CBN_SELCHANGE) fillPackChoice(session, window, position);
        return;
    case IDC_PACK_IMAGES:
        if (code == CBN_SELCHANGE) {
            if (auto image = winui::comboBoxSelection(GetDlgItem(window, id))) {
                e.picking = {};
                loadImage(*e.grid, session.model, session.model.image().recognitionImageOrder[*image]);
                redrawViews(window);
            }
        }
        return;
    case IDC_PACK_LOAD:
        if (loadPack(e.draft, session.model, position)) redrawPreviews(window);
        return;
    case IDC_PACK_STORE:
        if (storeChangedPack(session.model, position, e.draft, winui::controlText(window, IDC_PACK_NAME))) {
            fillPackChoice(session, window, position);
        }
        return;
    case IDC_PACK_STORE_NEW: {
        const int made = storeNewPack(session.model, e.draft, winui::controlText(window, IDC_PACK_NAME), session.dialogs);
        if (made >= 0) fillPackChoice(session, window, made);
        return;
    }
    case IDC_PACK_DELETE: {
        // The item being edited counts with the row an open dialog is making.
        auto scratch = std::make_unique<analyzer::Item>();
        if (auto next = deletePack(session.model, position, itemBeingEdited(session, *scratch), session.dialogs)) {
            fillPackChoice(session, window, *next);
            if (*next < 0) {
                e.draft = {};
                clearSelection(*e.grid);
                redrawViews(window);
                redrawPreviews(window);
            }
        }
        return;
    }
    case IDC_PACK_CLEAR_VIEW:
        clearPackView(session, window);
        return;
    default:
        return;
    }
}

void drawPackItem(const DRAWITEMSTRUCT& item) {
    const RecognitionEditors& e = editors();
    const int id = static_cast<int>(item.CtlID);
    if (id == IDC_PACK_POINT_VIEW) {
        const SampleSlot selected = selectionAsSample(*e.grid);
        paintSample(item.hDC, item.rcItem, selected.width, selected.height, selected.points,
                    e.picking.pixels.empty() ? 0xFFFFFFu : e.picking.background);
    } else if (id >= IDC_PACK_PREVIEW && id < IDC_PACK_PREVIEW + analyzer::kNumberPackSamples) {
        const int slot = id - IDC_PACK_PREVIEW;
        static const std::vector<analyzer::NumberSamplePoint> none;
        const SampleSlot* s = slot < kSampleSlots ? &e.draft.slots[static_cast<size_t>(slot)] : nullptr;
        paintSample(item.hDC, item.rcItem, s ? s->width : 0, s ? s->height : 0, s ? s->points : none);
    }
}

void paintPack(HDC dc) {
    const RECT frame{kPackView.left - 2, kPackView.top - 2, kPackView.right + 1, kPackView.bottom + 1};
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    paintGrid(dc, kPackView, *editors().grid, [](const GridCell& c) {
        // Marked cells stand out on the faded image.
        return sourceViewColour(c, 2);
    });
}

// ---- Input shared by both windows ----

void onKeyDown(EditorSession& session, HWND window, WPARAM key, LPARAM flags) {
    PickingGrid& grid = *editors().grid;
    const bool pack = window == editors().packWindow;
    const bool repeat = (flags & (1 << 30)) != 0;
    int column = 0, row = 0;
    const View view = pointerView(window, column, row);
    if (pack && key == VK_SHIFT && !repeat) {
        clearPackView(session, window);
        return;
    }
    if (view == View::None) return;
    if (movePointer(key)) return;
    bool changed = false;
    if (key == VK_CONTROL && !repeat) {
        changed = view == View::Source    ? pickCell(grid, column, row)
                  : view == View::Pattern ? unselectCell(grid, column, row)
                                          : recolourCell(grid, column, row);
    } else if (key == VK_SHIFT && view == View::Source) {
        // Shift starts painting; with nothing picked yet it picks as Ctrl does.
        changed = grid.anySelected ? selectCell(grid, column, row) : pickCell(grid, column, row);
    } else if (key == VK_SHIFT && view == View::Pattern) {
        changed = unselectCell(grid, column, row);
    }
    if (changed) redrawViews(window);
}

void onMouseMove(HWND window, WPARAM buttons, POINT client) {
    PickingGrid& grid = *editors().grid;
    int column = 0, row = 0;
    const View view = viewUnder(window, client, column, row);
    if (view == View::None) return;
    showStatus(window, grid, column, row);
    // Keys reach the window while the pointer is over a view, unless a name
    // is being typed.
    HWND focus = GetFocus();
    if (focus != window && GetDlgCtrlID(focus) != IDC_PATTERN_NAME) SetFocus(window);
    bool changed = false;
    if (view == View::Pack) {
        if (buttons & MK_LBUTTON) changed = selectCell(grid, column, row);
        if (buttons & MK_RBUTTON) changed = unselectCell(grid, column, row);
    } else if (buttons & MK_SHIFT) {
        changed = view == View::Source ? selectCell(grid, column, row) : unselectCell(grid, column, row);
    }
    if (changed) redrawViews(window);
}

void onButtonDown(HWND window, UINT message, POINT client) {
    int column = 0, row = 0;
    const View view = viewUnder(window, client, column, row);
    SetFocus(window);
    if (view != View::Pack) return;
    PickingGrid& grid = *editors().grid;
    if (message == WM_LBUTTONDOWN ? pickCell(grid, column, row) : unselectCell(grid, column, row)) {
        redrawViews(window);
    }
}

LRESULT editorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool pack) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    EditorSession* session = sessionOf(window);
    if (!session) return DefWindowProcW(window, message, wParam, lParam);
    RecognitionEditors& e = editors();
    switch (message) {
    case WM_CREATE:
        if (pack) {
            e.packWindow = window;
            createPackControls(*session, window);
        } else {
            e.patternWindow = window;
            createPatternControls(window);
        }
        SetTimer(window, kLoadTimer, 1, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == kLoadTimer) {
            KillTimer(window, kLoadTimer);
            // The pattern editor starts on the current recognition image; the
            // number-pack editor keeps what the grid holds, if anything.
            if (!pack || e.grid->imageSlot < 0 || !session->model.recognitionImage(e.grid->imageSlot)) {
                loadImage(*e.grid, session->model, currentImageSlot(*session));
            }
            if (pack) {
                fillImageChoice(*session, window, IDC_PACK_IMAGES);
                redrawViews(window);
            } else {
                showPatternState(*session, window);
            }
        }
        return 0;
    case WM_COMMAND:
        if (pack) {
            onPackCommand(*session, window, LOWORD(wParam), HIWORD(wParam));
        } else {
            onPatternCommand(*session, window, LOWORD(wParam), HIWORD(wParam));
        }
        return 0;
    case WM_HSCROLL: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        PickingGrid& grid = *e.grid;
        if (id == IDC_EDITOR_SIMILARITY) {
            grid.similarityPosition = sliderPosition(window, id);
            winui::setControlText(window, IDC_EDITOR_SIMILARITY_VALUE, similarityText(grid.similarityPosition));
        } else if (id == IDC_PATTERN_SOURCE_DISPLAY) {
            grid.sourceDisplay = sliderPosition(window, id);
        } else if (id == IDC_PATTERN_VIEW_DISPLAY) {
            grid.patternDisplay = sliderPosition(window, id);
        }
        redrawViews(window);
        return 0;
    }
    case WM_KEYDOWN:
        onKeyDown(*session, window, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(window, wParam, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        onButtonDown(window, message, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            int column = 0, row = 0;
            const bool overView = pointerView(window, column, row) != View::None;
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(overView ? 32515 : 32512))); // cross, arrow
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC: {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return static_cast<LRESULT>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    }
    case WM_DRAWITEM:
        drawPackItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (pack) {
            paintPack(dc);
        } else {
            paintPattern(dc);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_MOVE:
        // The hidden side panel goes along, so both reappear at one place
        // (not while the window is still being placed).
        if (session->sidePanel && IsWindowVisible(window)) {
            RECT frame;
            GetWindowRect(window, &frame);
            SetWindowPos(session->sidePanel, nullptr, frame.left, frame.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    case WM_CLOSE:
        closeEditor(pack ? e.packWindow : e.patternWindow);
        return 0;
    case WM_DESTROY:
        if (window == e.packWindow) e.packWindow = nullptr;
        if (window == e.patternWindow) e.patternWindow = nullptr;
        if (!e.packWindow && !e.patternWindow) giveSidePanelBack(*session);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void openEditor(EditorSession& session, bool pack) {
    RecognitionEditors& e = editors();
    HWND& mine = pack ? e.packWindow : e.patternWindow;
    if (mine) {
        SetForegroundWindow(mine);
        return;
    }
    // One editor at a time: the other one closes first.
    closeEditor(pack ? e.patternWindow : e.packWindow);
    HWND window = pack ? createEditorWindow(session, L"CreateNumberPack", L"숫자인식 편집기", kPackClient)
                       : createEditorWindow(session, L"CreatePattern", L"패턴인식 편집기", kPatternClient);
    if (!window) return;
    takeSidePanelPlace(session, window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
}

} // namespace

LRESULT CALLBACK patternEditorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return editorProcedure(window, message, wParam, lParam, false);
}

LRESULT CALLBACK numberPackEditorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return editorProcedure(window, message, wParam, lParam, true);
}

bool recognitionEditorOpen() { return editors().patternWindow || editors().packWindow; }
bool patternEditorOpen() { return editors().patternWindow != nullptr; }
bool numberPackEditorOpen() { return editors().packWindow != nullptr; }

void pickForNumberPack(EditorSession& session, int x, int y) {
    RecognitionEditors& e = editors();
    if (!e.packWindow) return;
    const Status picked = pickScreenPixel(e.picking, *e.grid, session.view.bitmap, x, y);
    if (!picked.ok) {
        if (!picked.message.empty()) session.dialogs.warn(picked.message);
        return;
    }
    redrawViews(e.packWindow);
}

void clearNumberPackPicking(EditorSession& session) {
    if (editors().packWindow) clearPackView(session, editors().packWindow);
}

void openPatternEditor(EditorSession& session) { openEditor(session, false); }
void openNumberPackEditor(EditorSession& session) { openEditor(session, true); }

} // namespace quillon::editor_ui
