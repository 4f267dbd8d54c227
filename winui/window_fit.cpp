#include "winui/window_fit.h"

#include <algorithm>

namespace quillon::winui {

namespace {

constexpr int kLineStep = 20; // pixels per scroll-bar arrow click

void setScrollRange(HWND window, int bar, int content, int visible) {
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, content - 1, static_cast<UINT>(visible), 0, 0};
    SetScrollInfo(window, bar, &info, TRUE);
}

} // namespace

RECT workAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return monitor.rcWork;
    }
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

void fitToWorkArea(HWND window) {
    const RECT work = workAreaOf(window);
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    RECT frame;
    GetWindowRect(window, &frame);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const bool tall = height > workHeight;
    const bool wide = width > workWidth;
    if (tall || wide) {
        RECT client;
        GetClientRect(window, &client);
        const int contentWidth = client.right, contentHeight = client.bottom;
        // The bars take their room from the client area: a bar in one
        // direction may make the other one needed too.
        const bool vertical = tall || (wide && height + GetSystemMetrics(SM_CYHSCROLL) > workHeight);
        const bool horizontal = wide || (vertical && width + GetSystemMetrics(SM_CXVSCROLL) > workWidth);
        width = std::min(width + (vertical ? GetSystemMetrics(SM_CXVSCROLL) : 0), workWidth);
        height = std::min(height + (horizontal ? GetSystemMetrics(SM_CYHSCROLL) : 0), workHeight);
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowScrollBar(window, SB_VERT, vertical);
        ShowScrollBar(window, SB_HORZ, horizontal);
        GetClientRect(window, &client);
        if (vertical) {
            setScrollRange(window, SB_VERT, contentHeight, client.bottom);
        }
        if (horizontal) {
            setScrollRange(window, SB_HORZ, contentWidth, client.right);
        }
    }
    GetWindowRect(window, &frame);
    const int x = std::clamp(static_cast<int>(frame.left), static_cast<int>(work.left),
                             static_cast<int>(work.right) - width);
    const int y = std::clamp(static_cast<int>(frame.top), static_cast<int>(work.top),
                             static_cast<int>(work.bottom) - height);
    if (x != frame.left || y != frame.top) {
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool scrollFittedWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int bar;
    int request;
    if (message == WM_VSCROLL || message == WM_HSCROLL) {
        if (lParam != 0) {
            return false; // a scroll-bar or trackbar control of the window
        }
        bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
        request = LOWORD(wParam);
    } else if (message == WM_MOUSEWHEEL) {
        bar = SB_VERT;
        request = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN;
    } else {
        return false;
    }
    if (!(GetWindowLongW(window, GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) {
        return false;
    }
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(window, bar, &info);
    int position = info.nPos;
    const int page = static_cast<int>(info.nPage);
    switch (request) {
    case SB_LINEUP: position -= kLineStep; break;
    case SB_LINEDOWN: position += kLineStep; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_TOP: position = info.nMin; break;
    case SB_BOTTOM: position = info.nMax; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    default: break;
    }
    position = std::clamp(position, info.nMin, std::max(info.nMin, info.nMax - page + 1));
    if (position != info.nPos) {
        const int delta = info.nPos - position;
        ScrollWindowEx(window, bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0, nullptr, nullptr, nullptr,
                       nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
        info.fMask = SIF_POS;
        info.nPos = position;
        SetScrollInfo(window, bar, &info, TRUE);
    }
    return true;
}

} // namespace quillon::winui
