// The screenshot overlay: a picture loaded through GDI+ is shown by the main
// window at (0,0) at its own size, so a point on it has the coordinates of
// the same point on the real screen. While a client (the movement dialog of
// the edit pages) is attached to the session's picking, the pointer and the
// keys pick coordinates on it.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "base/wide_text.h"
#include "control/ui/control_session.h"
#include "winui/message_boxes.h"

namespace quillon::control_ui {

namespace {

Gdiplus::Bitmap* picture(const ControlSession& s) { return static_cast<Gdiplus::Bitmap*>(s.screenshot); }

control::PickPoint pointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

bool loadScreenshot(ControlSession& s, HWND owner) {
    const std::string path = chooseOpenFile(owner, "스샷 불러오기", "그림 파일|*.bmp;*.jpg;*.gif;*.png;*.tif;*.tiff|", "bmp",
                                            s.programFolder);
    if (path.empty()) {
        return false;
    }
    auto* bitmap = Gdiplus::Bitmap::FromFile(widen(path).c_str());
    if (bitmap == nullptr || bitmap->GetLastStatus() != Gdiplus::Ok || bitmap->GetWidth() == 0) {
        delete bitmap;
        winui::showWarning(owner, "그림 파일을 불러오지 못했습니다.");
        return false;
    }
    freeScreenshot(s);
    s.screenshot = bitmap;
    s.screenshotWidth = static_cast<int>(bitmap->GetWidth());
    s.screenshotHeight = static_cast<int>(bitmap->GetHeight());
    s.picking.setPicture(s.screenshotWidth, s.screenshotHeight);
    SetWindowPos(s.mainWindow, HWND_TOP, 0, 0, s.screenshotWidth, s.screenshotHeight, SWP_SHOWWINDOW);
    InvalidateRect(s.mainWindow, nullptr, FALSE);
    return true;
}

void freeScreenshot(ControlSession& s) {
    delete picture(s);
    s.screenshot = nullptr;
    s.screenshotWidth = s.screenshotHeight = 0;
    s.picking.setPicture(0, 0);
}

LRESULT overlayMessage(ControlSession& s, HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (picture(s)) {
            Gdiplus::Graphics graphics(dc);
            graphics.DrawImage(picture(s), 0, 0, s.screenshotWidth, s.screenshotHeight);
        }
        EndPaint(window, &paint);
        handled = true;
        return 0;
    }
    case WM_MOUSEMOVE:
        s.picking.pointerMoved(pointOf(lParam));
        handled = true;
        return 0;
    case WM_LBUTTONDOWN:
        s.picking.clicked(pointOf(lParam));
        handled = true;
        return 0;
    case WM_KEYDOWN: {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(window, &cursor);
        const auto key = control::pickKeyOfVirtualKey(static_cast<unsigned>(wParam));
        if (auto moved = s.picking.keyPressed(key, {cursor.x, cursor.y})) {
            POINT to{moved->x, moved->y};
            ClientToScreen(window, &to);
            SetCursorPos(to.x, to.y);
        }
        handled = true;
        return 0;
    }
    }
    (void)wParam;
    return 0;
}

} // namespace quillon::control_ui
