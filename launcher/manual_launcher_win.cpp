// manual-launcher: tells the user that a PDF reader is needed to read the
// manual and offers the reader's download page. A hidden 0 x 0 main window
// owns the message loop; the visible part is the modeless dialog 101.
#include <windows.h>
#include <shellapi.h>

#include "resource.h"
#include "winui/crash_report.h"

namespace {

constexpr wchar_t kClassName[] = L"ZuredOdurid";
// The PDF reader vendor's download page for Korean users.
constexpr wchar_t kDownloadPage[] = L"https://get.adobe.com/kr/reader/";
constexpr COLORREF kBackground = RGB(0xD5, 0xE6, 0xA2);
// Centred, then this much higher, so the dialog sits above the middle.
constexpr int kRaiseBy = 300;

HINSTANCE g_instance;
HWND g_mainWindow;
HWND g_dialog;
HBRUSH g_backgroundBrush;

void endProgram() { DestroyWindow(g_mainWindow); }

// Centred on the screen, then raised; a negative y on a small screen stays.
void placeDialog(HWND dialog) {
    RECT rect;
    GetWindowRect(dialog, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2 - kRaiseBy;
    SetWindowPos(dialog, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
}

INT_PTR CALLBACK readerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        placeDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            // A failure to open the page is not reported: the program ends either way.
            ShellExecuteW(nullptr, L"open", kDownloadPage, nullptr, nullptr, SW_SHOWNORMAL);
            endProgram();
            return TRUE;
        case IDCANCEL: // the button, Esc and the close command
            endProgram();
            return TRUE;
        }
        break;
    case WM_CTLCOLORDLG:
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
        SetBkColor(reinterpret_cast<HDC>(wParam), kBackground);
        return reinterpret_cast<INT_PTR>(g_backgroundBrush);
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), kBackground);
        return reinterpret_cast<INT_PTR>(g_backgroundBrush);
    }
    (void)lParam;
    return FALSE;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_mainWindow = window;
        g_dialog = CreateDialogW(g_instance, MAKEINTRESOURCEW(IDD_READER_NEEDED), nullptr, readerDialogProc);
        return 0;
    case WM_DESTROY:
        if (g_dialog) {
            DestroyWindow(g_dialog);
            g_dialog = nullptr;
        }
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    quillon::winui::installCrashReport("manual-launcher");
    g_instance = instance;
    g_backgroundBrush = CreateSolidBrush(kBackground);

    WNDCLASSW windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass)) {
        return 1;
    }
    if (!CreateWindowW(kClassName, kClassName, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr,
                       nullptr, instance, nullptr)) {
        return 1;
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (g_dialog && IsDialogMessageW(g_dialog, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(g_backgroundBrush);
    return static_cast<int>(message.wParam);
}
