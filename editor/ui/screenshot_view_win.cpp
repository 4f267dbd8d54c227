// The main window: class "editor", a popup covering the screen that shows
// the current screenshot at 1:1 from its top-left corner. It owns every
// other window; its end is the program's end.
#include <windows.h>

#include "base/wide_text.h"
#include "device/link_startup.h"
#include "editor/ui/condition_controls.h"
#include "editor/ui/editor_session.h"

namespace quillon::editor_ui {
namespace {

constexpr COLORREF kEditorBackground = RGB(0xD5, 0xE6, 0xA2);

EditorSession* sessionOf(HWND window) {
    return reinterpret_cast<EditorSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void paintScreenshot(EditorSession& session, HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const ScreenshotBitmap& bitmap = session.view.bitmap;
    int drawnWidth = 0;
    int drawnHeight = 0;
    if (session.viewShown && bitmap.width > 0 && bitmap.height > 0 && !bitmap.pixels.empty()) {
        // 16-bit screenshots are 5-6-5, as the screenshot tool captures them.
        struct {
            BITMAPINFOHEADER header;
            DWORD masks[3];
        } info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = bitmap.width;
        info.header.biHeight = -bitmap.height; // rows run top to bottom
        info.header.biPlanes = 1;
        info.header.biBitCount = static_cast<WORD>(bitmap.bitsPerPixel);
        info.header.biCompression = bitmap.bitsPerPixel == 16 ? BI_BITFIELDS : BI_RGB;
        info.masks[0] = 0xF800;
        info.masks[1] = 0x07E0;
        info.masks[2] = 0x001F;
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(bitmap.width), static_cast<DWORD>(bitmap.height), 0, 0, 0,
                          static_cast<UINT>(bitmap.height), bitmap.pixels.data(),
                          reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
        drawnWidth = bitmap.width;
        drawnHeight = bitmap.height;
        // An erased screenshot is a blank with its label in the middle.
        if (session.view.status == editor::ShowStatus::Erased && !session.view.label.empty()) {
            const std::wstring label = widen(session.view.label);
            RECT middle{0, 0, bitmap.width, bitmap.height};
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0x60, 0x60, 0x60));
            HFONT font = CreateFontW(-24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg");
            HGDIOBJ old = SelectObject(dc, font);
            DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &middle,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, old);
            DeleteObject(font);
        }
        paintStillTestMarks(session, dc);
    }
    // Around the screenshot (or without one) the editor's own colour.
    HBRUSH background = CreateSolidBrush(kEditorBackground);
    RECT right{drawnWidth, 0, client.right, client.bottom};
    RECT below{0, drawnHeight, drawnWidth, client.bottom};
    FillRect(dc, &right, background);
    FillRect(dc, &below, background);
    DeleteObject(background);
    EndPaint(window, &paint);
}

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    EditorSession* session = sessionOf(window);
    if (!session) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        paintScreenshot(*session, window);
        return 0;
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (onViewKey(*session, message, wParam, lParam)) {
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
        onViewPointerMove(*session);
        return 0;
    case WM_LBUTTONDOWN:
        // An open condition or command dialog takes a colour or a point from the screenshot.
        handViewClickToRowDialog(*session, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_CLOSE:
        requestClose(*session);
        return 0;
    case WM_DESTROY:
        // Owned windows are gone; the link's handles go with the program.
        session->mainPanel = nullptr;
        session->sidePanel = nullptr;
        session->captureDialog = nullptr;
        session->magnifier = nullptr;
        session->stillTestWindow = nullptr;
        session->stillTestMarks.clear();
        session->areaWindows.clear();
        session->boxWindows.clear();
        session->view = {};
        if (session->link.isOpen()) {
            stopLink(session->link);
        }
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32515)); // IDC_CROSS
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0;
}

} // namespace

bool registerWindowClasses(HINSTANCE instance) {
    HBRUSH editorBrush = CreateSolidBrush(kEditorBackground);
    return registerClass(instance, L"editor", mainWindowProcedure, nullptr) &&
           registerClass(instance, L"BlockSample", magnifierProcedure, nullptr) &&
           registerClass(instance, L"ReconArea", areaProcedure, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))) &&
           registerClass(instance, L"ReconAreaSolid", colourBoxProcedure, nullptr) &&
           registerClass(instance, L"CreatePattern", patternEditorProcedure, editorBrush) &&
           registerClass(instance, L"CreateNumberPack", numberPackEditorProcedure, editorBrush);
}

HWND createMainWindow(EditorSession& session, HINSTANCE instance) {
    // Made at 0, 0 with no size, then stretched over the whole screen.
    HWND window = CreateWindowExW(0, L"editor", L"editor", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, &session);
    if (!window) {
        return nullptr;
    }
    session.mainWindow = window;
    SetWindowPos(window, HWND_BOTTOM, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOACTIVATE);
    if (!createMainPanel(session, instance) || !createSidePanel(session, instance) ||
        !createViewTools(session, instance)) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

void showCurrentScreenshot(EditorSession& session) {
    const analyzer::AnalyzerImage& a = session.model.image();
    endStillTest(session);
    session.viewShown = false;
    session.view = {};
    if (a.screenshotCount > 0) {
        session.view = editor::showScreenshot(session.model, session.document->folders(), a.currentScreenshot,
                                              session.dialogs);
        session.viewShown = session.view.status == editor::ShowStatus::Shown ||
                            session.view.status == editor::ShowStatus::Erased;
    }
    if (session.mainWindow) {
        InvalidateRect(session.mainWindow, nullptr, FALSE);
        rebuildAreaWindows(session);
        rebuildColourBoxes(session);
    }
}

} // namespace quillon::editor_ui
