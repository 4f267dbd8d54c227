// What the interpreter asks of the Windows program: sounds, beeps, the input
// method, the local time, and the status windows it reports into. The
// interpreter thread calls these directly; drawing into the dialogs from it
// is safe because the interface thread never blocks on that thread without
// dispatching messages (WorkerThread::joinPumping).
#include <windows.h>
#include <commctrl.h>
#include <imm.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "resource.h"
#include "analyzer/records.h"
#include "base/text.h"
#include "runner/interpreter.h"
#include "runner/preview_fit.h"
#include "runner/ui/runner_screen.h"
#include "runner/ui/runner_host.h"
#include "winui/cursor_bitmap.h"

namespace quillon::runner_ui {

RunnerHost::RunnerHost(RunnerSession& session) : session_(session) {}

bool RunnerHost::playSound(const std::string& path) {
    // Loops until stopped; a sound already playing is not interrupted.
    return PlaySoundW(widen(path).c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NOSTOP | SND_NOWAIT);
}

void RunnerHost::stopSound() { PlaySoundW(nullptr, nullptr, 0); }

void RunnerHost::beep(int frequency, int durationMs) {
    Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(durationMs));
}

bool RunnerHost::inputMethodOpen() {
    HWND foreground = GetForegroundWindow();
    HWND ime = foreground ? ImmGetDefaultIMEWnd(foreground) : nullptr;
    if (!ime) {
        return false;
    }
    constexpr WPARAM kGetOpenStatus = 0x0005; // IMC_GETOPENSTATUS
    DWORD_PTR open = 0;
    SendMessageTimeoutW(ime, WM_IME_CONTROL, kGetOpenStatus, 0, SMTO_ABORTIFHUNG, 200, &open);
    return open != 0;
}

LocalTime RunnerHost::localTime() { return localTimeNow(); }

bool RunnerHost::mainWindowShown() { return session_.mainShown.load(); }

void RunnerHost::requestStop(bool computerOff) {
    PostMessageW(session_.mainWindow, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED),
                 computerOff ? kComputerOffParam : 0);
}

void RunnerHost::switchWindow() { PostMessageW(session_.mainWindow, kSwitchWindowsMessage, 0, 0); }

// The current item's name goes on the label of the window shown: the main
// window's name box, or the mini window's button (which shows the analyzer's
// name before the run and when it ends).
void RunnerHost::showCurrentItem(int number, const std::string& name) {
    ++itemsRun_;
    std::wstring wide = widen(name);
    if (!session_.mainShown.load()) {
        if (HWND mini = session_.miniWindow) {
            SetDlgItemTextW(mini, IDC_STOP, wide.c_str());
        }
        itemName_ = std::move(wide);
        return;
    }
    SetDlgItemInt(session_.mainWindow, IDC_ITEM_NUMBER, static_cast<UINT>(number), FALSE);
    itemName_ = std::move(wide);
    SetDlgItemTextW(session_.mainWindow, IDC_ITEM_NAME, itemName_.c_str());
}

void RunnerHost::showItemLabel(bool visible) {
    // The item's name blinks while the run is paused, in the window shown.
    const wchar_t* text = visible ? itemName_.c_str() : L"";
    if (session_.mainShown.load()) {
        SetDlgItemTextW(session_.mainWindow, IDC_ITEM_NAME, text);
    } else if (HWND mini = session_.miniWindow) {
        SetDlgItemTextW(mini, IDC_STOP, text);
    }
}

void RunnerHost::showMacroPlaying(bool playing) {
    session_.macroPlaying = playing;
    const wchar_t* text = playing ? L"M" : L"";
    SetDlgItemTextW(session_.mainWindow, IDC_MACRO_PLAYING, text);
    if (HWND mini = session_.miniWindow) {
        SetDlgItemTextW(mini, IDC_MACRO_PLAYING, text);
    }
}

void RunnerHost::showResultCode(int code) {
    if (!session_.mainShown.load()) {
        return;
    }
    if (code == 0) {
        SetDlgItemTextW(session_.mainWindow, IDC_RESULT_CODE, L"");
    } else {
        SetDlgItemInt(session_.mainWindow, IDC_RESULT_CODE, static_cast<UINT>(code), TRUE);
    }
}

void RunnerHost::showSoundPath(const std::string& path) {
    if (session_.mainShown.load()) {
        SetDlgItemTextW(session_.mainWindow, IDC_RESULT_CODE, widen(path).c_str());
    }
}

void RunnerHost::warn(const std::string& text) { showWarning(session_, session_.currentWindow.load(), text); }

void RunnerHost::showTimer(int timer, int64_t seconds) {
    if (!session_.mainShown.load()) {
        return;
    }
    // Only the first ten timers have a display; the clock is refreshed with them.
    if (timer >= 0 && timer < 10) {
        wchar_t text[32];
        std::swprintf(text, 32, L"%lld", static_cast<long long>(seconds));
        SetDlgItemTextW(session_.mainWindow, IDC_TIMER_FIRST + timer, text);
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    SendDlgItemMessageW(session_.mainWindow, IDC_CLOCK, DTM_SETSYSTEMTIME, GDT_VALID,
                        reinterpret_cast<LPARAM>(&now));
}

namespace {

constexpr UINT_PTR kDisplaySubclass = 1;

LRESULT CALLBACK displayProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_PAINT) {
        auto* host = reinterpret_cast<RunnerHost*>(data);
        if (host->paintVariableDisplay(control, GetDlgCtrlID(control) - IDC_VARIABLE_DISPLAY_FIRST)) {
            return 0;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, displayProc, kDisplaySubclass);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

void RunnerHost::attachVariableDisplays(HWND window) {
    for (int display = 0; display < kVariableDisplays; ++display) {
        SetWindowSubclass(GetDlgItem(window, IDC_VARIABLE_DISPLAY_FIRST + display), displayProc, kDisplaySubclass,
                          reinterpret_cast<DWORD_PTR>(this));
    }
}

bool RunnerHost::paintVariableDisplay(HWND control, int display) {
    if (display < 0 || display >= kVariableDisplays) {
        return false;
    }
    std::lock_guard<std::mutex> lock(shownMutex_);
    const runner::VariableDisplay& shown = shown_[static_cast<size_t>(display)];
    if (shown.kind == runner::VariableDisplay::Kind::Text) {
        return false;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    RECT client;
    GetClientRect(control, &client);
    if (shown.kind == runner::VariableDisplay::Kind::Fill) {
        HBRUSH brush = CreateSolidBrush(RGB((shown.colour >> 16) & 0xFF, (shown.colour >> 8) & 0xFF, shown.colour & 0xFF));
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    } else {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (shown.width > 0 && shown.height > 0) {
            const runner::PreviewPlacement place =
                runner::fitPreview(client.right, client.bottom, shown.width, shown.height);
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = shown.width;
            info.bmiHeader.biHeight = -shown.height; // top to bottom
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchDIBits(dc, place.x, place.y, place.width, place.height, 0, 0, shown.width, shown.height,
                          shown.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
        }
    }
    EndPaint(control, &paint);
    return true;
}

void RunnerHost::refreshVariables(std::array<runner::Variable, 1000>& variables) {
    const bool mainShown = session_.mainShown.load();
    if (!mainShown) {
        return; // nothing is computed for the mini window
    }
    HWND window = session_.mainWindow;
    std::array<int, kVariableDisplays> choices;
    for (int display = 0; display < kVariableDisplays; ++display) {
        choices[static_cast<size_t>(display)] = static_cast<int>(
            SendDlgItemMessageW(window, IDC_VARIABLE_CHOICE_FIRST + display, CB_GETCURSEL, 0, 0));
    }
    // A point in monitor coordinates is shown in the captured window's.
    runner::DisplayTarget target;
    const runner::CaptureTarget captured = runner::captureTargetOf(session_.model.image());
    target.fullScreen = captured == runner::CaptureTarget::FullScreen;
    runner::Rect rect{};
    if (!target.fullScreen && session_.screen && session_.screen->targetRect(captured, rect)) {
        target.known = true;
        target.origin = {rect.left, rect.top};
    }
    const auto itemName = [this](int item) {
        if (item < 0 || item >= session_.model.itemCount()) {
            return std::string();
        }
        return text::cp949ToUtf8(analyzer::fixedText(session_.model.item(item).name));
    };
    for (runner::VariableDisplayUpdate& update : displays_.refresh(variables, choices, mainShown, target, itemName)) {
        const bool drawn = update.content.kind != runner::VariableDisplay::Kind::Text;
        const std::wstring text = drawn ? std::wstring() : widen(update.content.text);
        {
            std::lock_guard<std::mutex> lock(shownMutex_);
            shown_[static_cast<size_t>(update.display)] = std::move(update.content);
        }
        HWND control = GetDlgItem(window, IDC_VARIABLE_DISPLAY_FIRST + update.display);
        SetWindowTextW(control, text.c_str());
        InvalidateRect(control, nullptr, TRUE);
    }
}

void RunnerHost::analyzerReplaced() {
    displays_.reset();
    {
        std::lock_guard<std::mutex> lock(shownMutex_);
        shown_.fill(runner::VariableDisplay{});
    }
    HWND window = session_.mainWindow;
    for (int display = 0; display < kVariableDisplays; ++display) {
        HWND control = GetDlgItem(window, IDC_VARIABLE_DISPLAY_FIRST + display);
        SetWindowTextW(control, L"0");
        InvalidateRect(control, nullptr, TRUE);
    }
    // The choices are the interface thread's: it refills them with the new names.
    PostMessageW(window, kAnalyzerReplacedMessage, 0, 0);
}

} // namespace quillon::runner_ui

namespace quillon::runner_ui {

void RunnerHost::showPreview(runner::PreviewBox box, const runner::PreviewPicture& picture) {
    if (!session_.mainShown.load()) {
        return;
    }
    HWND control = GetDlgItem(session_.mainWindow,
                              box == runner::PreviewBox::Reference ? IDC_PREVIEW_REFERENCE : IDC_PREVIEW_LIVE);
    RECT client;
    if (!control || !GetClientRect(control, &client)) {
        return;
    }
    HDC dc = GetDC(control);
    if (!dc) {
        return;
    }
    // The box is cleared first, then the picture drawn fitted and centred.
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (picture.solid) {
        HBRUSH brush = CreateSolidBrush(RGB((picture.colour >> 16) & 0xFF, (picture.colour >> 8) & 0xFF,
                                            picture.colour & 0xFF));
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    } else if (picture.pixels && picture.width > 0 && picture.height > 0 && picture.stride >= picture.width * 4) {
        runner::PreviewPlacement place = runner::fitPreview(client.right, client.bottom, picture.width, picture.height);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = picture.stride / 4; // rows are read `stride` bytes apart
        info.bmiHeader.biHeight = -picture.height;   // top to bottom
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, place.x, place.y, place.width, place.height, 0, 0, picture.width, picture.height,
                      picture.pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    }
    ReleaseDC(control, dc);
}

void RunnerHost::showCursors(const CursorImage& captured, const analyzer::CursorSample& stored) {
    if (!session_.mainShown.load()) {
        return;
    }
    // The mask image when one was taken, else the colour image.
    const bool capturedMask = captured.flags & kCursorHasMask;
    const std::vector<uint8_t>& capturedBits = capturedMask ? captured.maskBits : captured.colourBits;
    winui::setStaticBitmap(
        session_.mainWindow, IDC_CAPTURED_CURSOR,
        winui::cursorBitmap(
            reinterpret_cast<const uint8_t*>(capturedMask ? &captured.maskHeader : &captured.colourHeader),
            capturedBits.data(), capturedBits.size()));
    const bool storedMask = stored.parts & 1;
    winui::setStaticBitmap(session_.mainWindow, IDC_STORED_CURSOR,
                           winui::cursorBitmap(storedMask ? stored.maskHeader : stored.colourHeader,
                                               storedMask ? stored.maskBits : stored.colourBits,
                                               sizeof stored.maskBits));
}

void RunnerHost::showDateCondition(const std::array<uint16_t, 7>& date, const std::string& format) {
    if (!session_.mainShown.load()) {
        return;
    }
    SYSTEMTIME time{};
    time.wYear = date[0];
    time.wMonth = date[1];
    time.wDayOfWeek = date[2];
    time.wDay = date[3];
    time.wHour = date[4];
    time.wMinute = date[5];
    time.wSecond = date[6];
    // Parts the condition leaves out may be 0; the picker needs a real date.
    if (time.wYear < 1601) time.wYear = 2000;
    if (time.wMonth < 1 || time.wMonth > 12) time.wMonth = 1;
    if (time.wDay < 1 || time.wDay > 31) time.wDay = 1;
    std::wstring wideFormat = widen(format);
    SendDlgItemMessageW(session_.mainWindow, IDC_DATE_CONDITION, DTM_SETFORMATW, 0,
                        reinterpret_cast<LPARAM>(wideFormat.c_str()));
    SendDlgItemMessageW(session_.mainWindow, IDC_DATE_CONDITION, DTM_SETSYSTEMTIME, GDT_VALID,
                        reinterpret_cast<LPARAM>(&time));
}

} // namespace quillon::runner_ui
