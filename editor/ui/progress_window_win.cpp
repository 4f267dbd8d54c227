// The progress window of the editor's file work: embedding and installing
// machine macros, writing and extracting sound blocks. The work runs on the
// interface thread and reports step by step; each report moves the bar and
// lets the windows repaint, so the program never looks frozen, while input
// waits until the work is done (a click could not start a second save in
// the middle of the first).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "base/wide_text.h"
#include "editor/ui/editor_session.h"
#include "winui/control_text.h"

namespace quillon::editor_ui {
namespace {

constexpr int kTextId = 1;
constexpr int kBarId = 2;
constexpr int kWidth = 420;
constexpr int kHeight = 96;

// Paints what is due, and tells the system the program still answers.
void repaintPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DispatchMessageW(&message);
    }
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
}

} // namespace

ProgressWindow::~ProgressWindow() { close(); }

void ProgressWindow::report(const std::string& text, uint64_t done, uint64_t total) {
    if (!window_) {
        RECT frame{0, 0, kWidth, kHeight};
        const DWORD style = WS_POPUP | WS_CAPTION | WS_BORDER;
        AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
        const int w = frame.right - frame.left;
        const int h = frame.bottom - frame.top;
        window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"#32770", L"알림", style,
                                  (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w,
                                  h, owner_, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window_) return;
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        HWND line = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 12, 12,
                                    kWidth - 24, 36, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)),
                                    GetModuleHandleW(nullptr), nullptr);
        SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 12, 56, kWidth - 24, 20, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)), GetModuleHandleW(nullptr), nullptr);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        text_.clear();
        shownPermille_ = -1;
    }
    if (text != text_) {
        text_ = text;
        winui::setControlText(window_, kTextId, text);
        shownPermille_ = -1;
    }
    // The bar moves in steps of a thousandth: a report per block would
    // otherwise redraw it thousands of times.
    const int permille = total > 0 ? static_cast<int>(std::min<uint64_t>(done, total) * 1000 / total) : 0;
    if (permille != shownPermille_) {
        shownPermille_ = permille;
        HWND bar = GetDlgItem(window_, kBarId);
        SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(permille), 0);
        UpdateWindow(window_);
        repaintPending();
    }
}

void ProgressWindow::close() {
    if (window_) {
        DestroyWindow(window_);
        window_ = nullptr;
        repaintPending();
    }
}

} // namespace quillon::editor_ui
