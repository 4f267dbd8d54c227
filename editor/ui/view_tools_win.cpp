// The tools of the screenshot view: the capture dialog (174) for new and
// changed recognition images, the magnifier ("BlockSample"), the windows of
// the recognition areas ("ReconArea") and the keys of the view. The rules
// (checks, pixels, snapping) are the core's.
#include <windows.h>

#include <cstdlib>
#include <optional>

#include "base/text.h"
#include "base/wide_text.h"
#include "editor/recognition_capture.h"
#include "editor/screenshots.h"
#include "editor/side_panel.h"
#include "editor/ui/editor_session.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"

namespace quillon::editor_ui {

using namespace editor;

namespace {

constexpr int kMagnifiedPixels = 15;
constexpr int kMagnification = 10;
constexpr int kMagnifierSide = kMagnifiedPixels * kMagnification; // 150
constexpr BYTE kAreaOpacity = 100;

EditorSession* sessionOf(HWND window) {
    return reinterpret_cast<EditorSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

POINT pointer() {
    POINT p{0, 0};
    GetCursorPos(&p);
    return p;
}

// ---- capture dialog ----

void closeCapture(EditorSession& session) {
    ShowWindow(session.captureDialog, SW_HIDE);
    setPanelsEnabled(session, true);
    SetForegroundWindow(session.mainWindow);
}

void openCapture(EditorSession& session, bool forNew, const std::string& name, int width, int height) {
    HWND dialog = session.captureDialog;
    session.captureForNew = forNew;
    winui::setControlText(dialog, IDC_CAPTURE_NAME, name);
    winui::setControlNumber(dialog, IDC_CAPTURE_WIDTH, width);
    winui::setControlNumber(dialog, IDC_CAPTURE_HEIGHT, height);
    // Beside the point asked for, kept on the screen.
    RECT frame;
    GetWindowRect(dialog, &frame);
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    int x = session.capturePoint.x + 20;
    int y = session.capturePoint.y + 20;
    if (x + w > GetSystemMetrics(SM_CXSCREEN)) x = session.capturePoint.x - 20 - w;
    if (y + h > GetSystemMetrics(SM_CYSCREEN)) y = session.capturePoint.y - 20 - h;
    SetWindowPos(dialog, HWND_TOPMOST, std::max(0, x), std::max(0, y), 0, 0, SWP_NOSIZE);
    setPanelsEnabled(session, false);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    SetFocus(GetDlgItem(dialog, IDC_CAPTURE_WIDTH));
    SendDlgItemMessageW(dialog, IDC_CAPTURE_WIDTH, EM_SETSEL, 0, -1);
}

void takeCapture(EditorSession& session) {
    HWND dialog = session.captureDialog;
    CaptureForm form;
    form.name = winui::controlText(dialog, IDC_CAPTURE_NAME);
    form.width = winui::controlNumber(dialog, IDC_CAPTURE_WIDTH);
    form.height = winui::controlNumber(dialog, IDC_CAPTURE_HEIGHT);
    const analyzer::AnalyzerImage& a = session.model.image();
    if (session.captureForNew) {
        if (auto refusal = checkCapture(form, true, a.recognitionImageCount, session.capturePoint.x,
                                        session.capturePoint.y, a.screenshotWidth, a.screenshotHeight)) {
            winui::showWarning(dialog, refusal->message);
            SetFocus(GetDlgItem(dialog, refusal->focus == CaptureField::Height ? IDC_CAPTURE_HEIGHT
                                                                               : IDC_CAPTURE_WIDTH));
            return;
        }
    }
    // The screenshot an edited image was cut from: the one shown, or read.
    std::optional<ScreenshotBitmap> read;
    const ScreenshotOfSlot screenshotOf = [&](int slot) -> const ScreenshotBitmap* {
        if (slot == currentScreenshotSlot(session) && session.view.status == ShowStatus::Shown) {
            return &session.view.bitmap;
        }
        read = readScreenshotOfSlot(session.model, session.document->folders(), slot);
        return read ? &*read : nullptr;
    };
    Built<int> made =
        session.captureForNew
            ? makeRecognitionImage(session.model, session.view.bitmap, currentScreenshotSlot(session), form,
                                   session.capturePoint.x, session.capturePoint.y)
            : editRecognitionImage(session.model, screenshotOf, session.captureEditPosition, form, [&] {
                  return session.dialogs.ask(capture_message::kEditPatternQuestion, kCaptionNotice,
                                             QuestionKind::YesNo);
              });
    if (!made.ok()) {
        if (!made.message.empty()) {
            winui::showWarning(dialog, made.message);
        }
        return;
    }
    session.lastCaptureWidth = *form.width;
    session.lastCaptureHeight = *form.height;
    closeCapture(session);
    const int position = session.captureForNew ? session.model.image().recognitionImageCount - 1
                                               : session.captureEditPosition;
    showImageInSidePanel(session, position);
    InvalidateRect(session.mainWindow, nullptr, FALSE);
}

INT_PTR CALLBACK captureProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    EditorSession* session = winui::dialogData<EditorSession>(dialog, message, lParam);
    if (!session) {
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_NCHITTEST:
        // Dragged by any point of its own surface.
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, HTCAPTION);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            takeCapture(*session);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            closeCapture(*session);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- magnifier ----

void paintMagnifier(EditorSession& session, HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const POINT p = pointer();
    uint32_t cells[kMagnifiedPixels * kMagnifiedPixels] = {};
    for (int row = 0; row < kMagnifiedPixels; ++row) {
        for (int column = 0; column < kMagnifiedPixels; ++column) {
            uint8_t bgr[3];
            if (session.viewShown && screenshotPixel(session.view.bitmap, p.x - 7 + column, p.y - 7 + row, bgr)) {
                cells[row * kMagnifiedPixels + column] = bgr[0] | (bgr[1] << 8) | (bgr[2] << 16);
            }
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kMagnifiedPixels;
    info.bmiHeader.biHeight = -kMagnifiedPixels;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, kMagnifierSide, kMagnifierSide, 0, 0, kMagnifiedPixels, kMagnifiedPixels, cells, &info,
                  DIB_RGB_COLORS, SRCCOPY);
    // Cross-hair through the middle pixel and the frame around the middle.
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, kMagnifierSide / 2, 0, nullptr);
    LineTo(dc, kMagnifierSide / 2, kMagnifierSide);
    MoveToEx(dc, 0, kMagnifierSide / 2, nullptr);
    LineTo(dc, kMagnifierSide, kMagnifierSide / 2);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 39, 39, 111, 111);
    SelectObject(dc, old);
    DeleteObject(pen);
    EndPaint(window, &paint);
}

} // namespace

LRESULT CALLBACK magnifierProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    EditorSession* session = sessionOf(window);
    switch (message) {
    case WM_PAINT:
        if (session) {
            paintMagnifier(*session, window);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST: {
        // Dragged by its picture too.
        const LRESULT hit = DefWindowProcW(window, message, wParam, lParam);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_CLOSE:
        ShowWindow(window, SW_HIDE);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

namespace {

// ---- area windows ----

int areaSlotOf(EditorSession& session, HWND window) {
    for (const auto& [slot, frame] : session.areaWindows) {
        if (frame == window) return slot;
    }
    return -1;
}

int areaPositionOf(const analyzer::AnalyzerImage& a, int slot) {
    for (int position = 0; position < a.areaCount && position < analyzer::kAreaCapacity; ++position) {
        if (a.areaOrder[position] == slot) return position;
    }
    return -1;
}

// The record follows its window after every move or size.
void takeAreaFrame(EditorSession& session, HWND window) {
    const int slot = areaSlotOf(session, window);
    if (slot < 0) return;
    RECT r;
    GetWindowRect(window, &r);
    analyzer::RecognitionArea& area = session.model.image().areas[slot];
    area.left = r.left;
    area.top = r.top;
    area.width = r.right - r.left;
    area.height = r.bottom - r.top;
}

} // namespace

LRESULT CALLBACK areaProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    EditorSession* session = sessionOf(window);
    if (!session) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_NCHITTEST: {
        const LRESULT hit = DefWindowProcW(window, message, wParam, lParam);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE)) {
            RECT r;
            GetWindowRect(window, &r);
            AreaFrame frame{(pos->flags & SWP_NOMOVE) ? static_cast<int>(r.left) : pos->x,
                            (pos->flags & SWP_NOMOVE) ? static_cast<int>(r.top) : pos->y,
                            (pos->flags & SWP_NOSIZE) ? static_cast<int>(r.right - r.left) : pos->cx,
                            (pos->flags & SWP_NOSIZE) ? static_cast<int>(r.bottom - r.top) : pos->cy};
            const analyzer::AnalyzerImage& a = session->model.image();
            frame = keepAreaInside(frame, a.screenshotWidth, a.screenshotHeight);
            pos->x = frame.x;
            pos->y = frame.y;
            pos->cx = frame.width;
            pos->cy = frame.height;
            pos->flags &= ~static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE);
        }
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
            takeAreaFrame(*session, window);
        }
        break;
    }
    case WM_KEYDOWN: {
        // The arrow keys move the area by one pixel.
        int dx = 0, dy = 0;
        if (wParam == VK_LEFT) dx = -1;
        if (wParam == VK_RIGHT) dx = 1;
        if (wParam == VK_UP) dy = -1;
        if (wParam == VK_DOWN) dy = 1;
        if (dx || dy) {
            RECT r;
            GetWindowRect(window, &r);
            SetWindowPos(window, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            return 0;
        }
        return onViewKey(*session, message, wParam, lParam) ? 0 : DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (onViewKey(*session, message, wParam, lParam)) return 0;
        break;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        // Over an area and its border the magnifier still shows the pixel.
        onViewPointerMove(*session);
        break;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: {
        const int position = areaPositionOf(session->model.image(), areaSlotOf(*session, window));
        if (position >= 0) showAreaInSidePanel(*session, position);
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

namespace {

HWND makeAreaWindow(EditorSession& session, int slot, int x, int y, int width, int height) {
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"ReconArea", L"",
                                  WS_POPUP | WS_BORDER | WS_THICKFRAME, x, y, width, height, session.mainWindow,
                                  nullptr, GetModuleHandleW(nullptr), &session);
    if (!window) return nullptr;
    SetLayeredWindowAttributes(window, 0, kAreaOpacity, LWA_ALPHA);
    session.areaWindows[slot] = window;
    if (!session.areasHidden) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    return window;
}

// Alt: a new area at the pointer.
void newArea(EditorSession& session) {
    const int shotSlot = currentScreenshotSlot(session);
    if (shotSlot < 0) return;
    const POINT p = pointer();
    int slot = -1;
    Status added = session.model.addArea(p.x, p.y, shotSlot, "", slot);
    if (!added.ok) {
        session.dialogs.warn(added.message);
        return;
    }
    const analyzer::RecognitionArea& area = session.model.image().areas[slot];
    // The window shows the box the record holds (150 x 150 around the
    // pointer), so what the user sees is what the area searches, and the
    // next screenshot switch, which builds the windows from the records,
    // does not move it.
    const analyzer::RecognitionArea saved = area;
    makeAreaWindow(session, slot, area.left, area.top, area.width, area.height);
    session.model.image().areas[slot] = saved; // the window's first placement is not a move by the user
    showAreaInSidePanel(session, session.model.image().areaCount - 1);
}

// ---- move mode ----

void startMove(EditorSession& session) {
    const POINT p = pointer();
    const int position = recognitionImageAt(session.model, currentScreenshotSlot(session), p.x, p.y);
    if (position < 0) return;
    const int slot = session.model.image().recognitionImageOrder[position];
    analyzer::RecognitionImage* image = session.model.recognitionImage(slot);
    if (!image) return;
    if (image->pattern == 1) {
        if (!session.dialogs.ask(capture_message::kMovePatternQuestion, kCaptionNotice, QuestionKind::OkCancel)) {
            return;
        }
        clearPattern(*image);
        showImageInSidePanel(session, position);
    }
    session.movingCopy = analyzer::allocateZeroed<analyzer::RecognitionImage>();
    if (!session.movingCopy) return;
    *session.movingCopy = *image;
    session.moving = true;
    session.movingSlot = slot;
    setPanelsEnabled(session, false);
}

void endMove(EditorSession& session, bool place) {
    analyzer::RecognitionImage* image = session.model.recognitionImage(session.movingSlot);
    if (place && image) {
        const POINT p = pointer();
        Status placed = placeRecognitionImage(session.model, session.view.bitmap, session.movingSlot, p.x, p.y);
        if (!placed.ok) {
            return; // stays in move mode until a place inside or Esc
        }
    } else if (image && session.movingCopy) {
        *image = *session.movingCopy;
    }
    session.moving = false;
    session.movingSlot = -1;
    session.movingCopy.reset();
    setPanelsEnabled(session, true);
    showImageInSidePanel(session, session.model.image().currentRecognitionImage);
    InvalidateRect(session.mainWindow, nullptr, FALSE);
}

// F5 (position) and F6 (size) of the area under the pointer.
struct AreaPositionDialog {
    bool size;
    int x, y;
};

INT_PTR CALLBACK areaPositionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<AreaPositionDialog>(dialog, message, lParam);
    if (!data) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        winui::setControlNumber(dialog, IDC_AREA_X, data->x);
        winui::setControlNumber(dialog, IDC_AREA_Y, data->y);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto x = winui::controlNumber(dialog, IDC_AREA_X);
            auto y = winui::controlNumber(dialog, IDC_AREA_Y);
            if (!x || !y) {
                winui::showWarning(dialog, capture_message::kBadSize);
                return TRUE;
            }
            data->x = *x;
            data->y = *y;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void editAreaFrame(EditorSession& session, bool size) {
    const POINT p = pointer();
    HWND window = WindowFromPoint(p);
    if (areaSlotOf(session, window) < 0) return;
    RECT r;
    GetWindowRect(window, &r);
    AreaPositionDialog data{size, size ? static_cast<int>(r.right - r.left) : static_cast<int>(r.left),
                            size ? static_cast<int>(r.bottom - r.top) : static_cast<int>(r.top)};
    if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_AREA_POSITION), session.mainWindow,
                        areaPositionProcedure, reinterpret_cast<LPARAM>(&data)) != IDOK) {
        return;
    }
    if (size) {
        SetWindowPos(window, nullptr, 0, 0, data.x, data.y, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(window, nullptr, data.x, data.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool busy(const EditorSession& session) {
    return IsWindowVisible(session.captureDialog) || session.rowDialog != nullptr;
}

} // namespace

bool createViewTools(EditorSession& session, HINSTANCE instance) {
    session.captureDialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_CAPTURE), session.mainWindow,
                                               captureProcedure, reinterpret_cast<LPARAM>(&session));
    WNDCLASSEXW magnifierClass{};
    if (!GetClassInfoExW(instance, L"BlockSample", &magnifierClass)) return false;
    RECT frame{0, 0, kMagnifierSide, kMagnifierSide};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    // In the screen's bottom-left corner, away from the panels; the user
    // drags it where it helps.
    const int height = frame.bottom - frame.top;
    session.magnifier =
        CreateWindowExW(exStyle, L"BlockSample", L"", style, 0, GetSystemMetrics(SM_CYSCREEN) - height,
                        frame.right - frame.left, height, session.mainWindow, nullptr, instance, &session);
    WNDCLASSEXW areaClass{};
    return session.captureDialog && session.magnifier && GetClassInfoExW(instance, L"ReconArea", &areaClass);
}

int currentScreenshotSlot(const EditorSession& session) {
    const analyzer::AnalyzerImage& a = session.model.image();
    if (a.currentScreenshot < 0 || a.currentScreenshot >= a.screenshotCount ||
        a.currentScreenshot >= analyzer::kScreenshotOrderEntries) {
        return -1;
    }
    return a.screenshotOrder[a.currentScreenshot];
}

void setPanelsEnabled(EditorSession& session, bool enabled) {
    if (enabled) {
        settlePanels(session);
        return;
    }
    if (session.mainPanel) EnableWindow(session.mainPanel, FALSE);
    if (session.sidePanel) EnableWindow(session.sidePanel, FALSE);
}

void settlePanels(EditorSession& session) {
    const bool capturing = (session.captureDialog && IsWindowVisible(session.captureDialog)) || session.moving;
    const bool noticeUp = session.notices && session.notices->holding();
    if (session.mainPanel) {
        const bool held = capturing || noticeUp || session.rowDialog || recognitionEditorOpen() ||
                          session.pendingStore.has_value();
        EnableWindow(session.mainPanel, !held);
    }
    if (session.sidePanel) EnableWindow(session.sidePanel, !(capturing || noticeUp));
}

bool editorBusy(const EditorSession& session) {
    return (session.captureDialog && IsWindowVisible(session.captureDialog)) || session.moving ||
           session.rowDialog || recognitionEditorOpen() || session.pendingStore.has_value() ||
           (session.notices && session.notices->holding()) ||
           (session.mainPanel && !IsWindowEnabled(session.mainPanel)) ||
           (session.sidePanel && !IsWindowEnabled(session.sidePanel));
}

void openCaptureForEdit(EditorSession& session, int position) {
    const analyzer::AnalyzerImage& a = session.model.image();
    if (position < 0 || position >= a.recognitionImageCount) return;
    const analyzer::RecognitionImage* image = session.model.recognitionImage(a.recognitionImageOrder[position]);
    if (!image || busy(session)) return;
    session.captureEditPosition = position;
    session.capturePoint = {image->centreX, image->centreY};
    openCapture(session, false, text::cp949ToUtf8(analyzer::fixedText(image->name)), image->width, image->height);
}

void onViewPointerMove(EditorSession& session) {
    if (!session.magnifier) return;
    const POINT p = pointer();
    winui::setWindowText(session.magnifier, pointerStatusLine(session.view.bitmap, p.x, p.y));
    if (!IsWindowVisible(session.magnifier) && session.viewShown) {
        ShowWindow(session.magnifier, SW_SHOWNOACTIVATE);
    }
    InvalidateRect(session.magnifier, nullptr, FALSE);
}

bool onViewKey(EditorSession& session, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool repeat = (lParam & (1 << 30)) != 0;
    if (message == WM_SYSKEYUP || message == WM_KEYUP) {
        if (wParam == VK_MENU) session.altDown = false;
        return wParam == VK_MENU;
    }
    if (message == WM_SYSKEYDOWN && wParam == VK_MENU) {
        // One area per press, however long Alt is held.
        if (!repeat && !session.altDown && !busy(session) && !session.moving) {
            newArea(session);
        }
        session.altDown = true;
        return true;
    }
    if (message != WM_KEYDOWN) return false;
    if (session.moving) {
        if (wParam == VK_F2) endMove(session, true);
        if (wParam == VK_ESCAPE) endMove(session, false);
        return true;
    }
    if (wParam == VK_ESCAPE && session.stillTestWindow) {
        endStillTest(session);
        return true;
    }
    if (busy(session)) return false;
    switch (wParam) {
    case VK_CONTROL:
        // With the number-pack editor open Ctrl picks for it; with the
        // pattern editor open it does nothing here.
        if (!repeat && session.viewShown && numberPackEditorOpen()) {
            const POINT p = pointer();
            pickForNumberPack(session, p.x, p.y);
        } else if (!repeat && session.viewShown && !recognitionEditorOpen()) {
            session.capturePoint = pointer();
            openCapture(session, true, "", session.lastCaptureWidth, session.lastCaptureHeight);
        }
        return true;
    case VK_SHIFT:
        if (!repeat && numberPackEditorOpen()) {
            clearNumberPackPicking(session);
            return true;
        }
        return false;
    case VK_F1:
        startMove(session);
        return true;
    case VK_F4:
        openCaptureForEdit(session, session.model.image().currentRecognitionImage);
        return true;
    case VK_F7:
        // A new colour box at the pointer.
        placeColourBoxAtPointer(session);
        return true;
    case VK_F5:
    case VK_F6:
        editAreaFrame(session, wParam == VK_F6);
        return true;
    default:
        break;
    }
    int dx = 0, dy = 0;
    if (wParam == VK_LEFT || wParam == 'A') dx = -1;
    if (wParam == VK_RIGHT || wParam == 'D') dx = 1;
    if (wParam == VK_UP || wParam == 'W') dy = -1;
    if (wParam == VK_DOWN || wParam == 'S') dy = 1;
    if (dx || dy) {
        const POINT p = pointer();
        SetCursorPos(p.x + dx, p.y + dy);
        onViewPointerMove(session);
        return true;
    }
    return false;
}

void rebuildAreaWindows(EditorSession& session) {
    for (auto& [slot, window] : session.areaWindows) {
        DestroyWindow(window);
    }
    session.areaWindows.clear();
    const int shotSlot = currentScreenshotSlot(session);
    const analyzer::AnalyzerImage& a = session.model.image();
    for (int position = 0; position < a.areaCount && position < analyzer::kAreaCapacity; ++position) {
        const int slot = a.areaOrder[position];
        if (slot < 0 || slot >= analyzer::kAreaCapacity || a.areas[slot].screenshotSlot != shotSlot) continue;
        const analyzer::RecognitionArea area = a.areas[slot];
        makeAreaWindow(session, slot, area.left, area.top, area.width, area.height);
        session.model.image().areas[slot] = area; // made where the record says, not moved
    }
}

} // namespace quillon::editor_ui
