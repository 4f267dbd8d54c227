// Top-level windows that fit the work area of their monitor. A dialog
// designed in dialog units grows with the screen's DPI; at 144 DPI on a
// small screen it can be larger than the work area. Such a window keeps its
// designed client area and shows it through scroll bars in a window of the
// work area's size; every fitted window is moved to lie within the work area.
#pragma once

#include <windows.h>

namespace quillon::winui {

// The work area of the monitor nearest to `window`.
RECT workAreaOf(HWND window);

// Shrinks `window` to the work area when it is larger (the client area then
// scrolls), and moves it so that it lies within the work area.
void fitToWorkArea(HWND window);

// For the window's procedure: scrolling of a fitted window (WM_VSCROLL and
// WM_HSCROLL of its own scroll bars, WM_MOUSEWHEEL). True when handled.
bool scrollFittedWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace quillon::winui
