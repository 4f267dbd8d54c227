// click-target: the window the closed-loop test plays against. It shows one
// coloured button that jumps to a new place after every hit (and every few
// seconds when nobody hits it) and counts the clicks that land on it. The
// count is in the title, "클릭 대상 - N", where a test driver reads it.
//
//   click-target [--seed N] [--move-ms MS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 440;
constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 40;
constexpr COLORREF kButtonColour = RGB(0xE0, 0x30, 0x30);
constexpr COLORREF kBackground = RGB(0xF0, 0xF0, 0xF0);
constexpr UINT_PTR kMoveTimer = 1;

RECT g_button;
int g_hits;
int g_misses;
unsigned g_seed = 1;
UINT g_moveMs = 3000;

unsigned nextRandom() {
    g_seed = g_seed * 1103515245u + 12345u;
    return (g_seed >> 16) & 0x7FFF;
}

void moveButton(HWND window) {
    int x = 10 + static_cast<int>(nextRandom() % (kClientWidth - kButtonWidth - 20));
    int y = 10 + static_cast<int>(nextRandom() % (kClientHeight - kButtonHeight - 20));
    g_button = {x, y, x + kButtonWidth, y + kButtonHeight};
    InvalidateRect(window, nullptr, TRUE);
}

void showCount(HWND window) {
    wchar_t title[64];
    std::swprintf(title, 64, L"클릭 대상 - %d", g_hits);
    SetWindowTextW(window, title);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        moveButton(window);
        SetTimer(window, kMoveTimer, g_moveMs, nullptr);
        return 0;
    case WM_LBUTTONDOWN: {
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&g_button, p)) {
            ++g_hits;
            showCount(window);
            moveButton(window);
            SetTimer(window, kMoveTimer, g_moveMs, nullptr); // a fresh interval after a hit
        } else {
            ++g_misses;
        }
        return 0;
    }
    case WM_TIMER:
        moveButton(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH background = CreateSolidBrush(kBackground);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, background);
        DeleteObject(background);
        HBRUSH button = CreateSolidBrush(kButtonColour);
        FillRect(dc, &g_button, button);
        DeleteObject(button);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        std::printf("hits %d misses %d\n", g_hits, g_misses);
        std::fflush(stdout);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::wcscmp(argv[i], L"--seed")) {
            g_seed = static_cast<unsigned>(std::wcstoul(argv[i + 1], nullptr, 10));
        } else if (!std::wcscmp(argv[i], L"--move-ms")) {
            g_moveMs = static_cast<UINT>(std::wcstoul(argv[i + 1], nullptr, 10));
        }
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"QuillonClickTarget";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowW(L"QuillonClickTarget", L"클릭 대상 - 0", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                nullptr);
    if (!window) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
