// The progress dialog under Wine: shown over its owner while the transfer
// runs on the worker, fed by the progress callbacks, impossible to close
// mid-transfer, gone with the transfer's result at the end.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/wide_text.h"
#include "test_dialog.h"
#include "winui/control_text.h"
#include "winui/progress_dialog.h"

namespace quillon::winui {
namespace {

HWND findProgressDialog(DWORD uiThread) {
    for (int look = 0; look < 500; ++look) {
        HWND found = nullptr;
        EnumThreadWindows(
            uiThread,
            [](HWND window, LPARAM out) {
                if (GetDlgItem(window, kProgressBarId) && IsWindowVisible(window)) {
                    *reinterpret_cast<HWND*>(out) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found) {
            return found;
        }
        Sleep(10);
    }
    return nullptr;
}

bool waitForPosition(HWND bar, int position) {
    for (int look = 0; look < 500; ++look) {
        if (static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)) == position) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

// The window's pixels as they are on the screen, for people to look at.
void saveScreenshot(HWND window, const std::string& name) {
    CreateDirectoryW(widen(QUILLON_SCREENSHOTS).c_str(), nullptr);
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD imageSize = ((static_cast<DWORD>(width) * 3 + 3) / 4 * 4) * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    const std::string path = std::string(QUILLON_SCREENSHOTS) + "/" + name + ".bmp";
    if (FILE* out = _wfopen(widen(path).c_str(), L"wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, out);
        std::fwrite(bits, imageSize, 1, out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

INT_PTR CALLBACK ownerProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class ProgressDialog : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_WINUI_TEST), nullptr, ownerProc, 0);
        ASSERT_NE(owner, nullptr);
        SetWindowPos(owner, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(owner, SW_SHOW);
    }
    void TearDown() override { DestroyWindow(owner); }
    HWND owner = nullptr;
};

TEST_F(ProgressDialog, ShowsTheTransferAndEndsWithItsResult) {
    const DWORD uiThread = GetCurrentThreadId();
    struct Seen {
        HWND dialog = nullptr;
        std::string waitLine, text;
        int rangeHigh = -1;
        bool halfway = false, stillOpen = false, ownerAnswered = false, full = false, textChanged = false;
        RECT place{}, over{};
    } seen;
    ProgressJob job;
    job.text = "1-3번 메모리를 [걷기.rqn1]파일에 저장하고 있습니다.";
    job.transfer = [&](const MemoryProgress& progress) {
        seen.dialog = findProgressDialog(uiThread);
        if (!seen.dialog) {
            return true;
        }
        HWND bar = GetDlgItem(seen.dialog, kProgressBarId);
        seen.waitLine = controlText(seen.dialog, kProgressWaitLineId);
        seen.text = controlText(seen.dialog, kProgressTextId);
        progress.setRange(513); // a 32,768-byte body in 64-byte reports
        progress.setPosition(0);
        for (int report = 1; report <= 256; ++report) {
            progress.setPosition(report);
        }
        seen.halfway = waitForPosition(bar, 256);
        seen.rangeHigh = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
        // Neither the close message, the system menu's close, nor Esc ends it.
        SendMessageW(seen.dialog, WM_CLOSE, 0, 0);
        SendMessageW(seen.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        SendMessageW(seen.dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        seen.stillOpen = IsWindow(seen.dialog) && IsWindowVisible(seen.dialog);
        // The interface thread still answers the owner's messages.
        DWORD_PTR length = 0;
        seen.ownerAnswered = SendMessageTimeoutW(owner, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length) != 0 &&
                             length > 0;
        GetWindowRect(seen.dialog, &seen.place);
        GetWindowRect(owner, &seen.over);
        // The next memory's turn replaces the text line mid-transfer.
        const std::string next = "[조합.cqn1]파일에 내장된 편집매크로를 4-8편집메모리에 저장하고 있습니다.";
        progress.setText(next);
        for (int look = 0; look < 500 && !seen.textChanged; ++look, Sleep(10)) {
            seen.textChanged = controlText(seen.dialog, kProgressTextId) == next;
        }
        Sleep(200); // painted before the picture is taken
        saveScreenshot(seen.dialog, "winui-progress");
        for (int report = 257; report <= 513; ++report) {
            progress.setPosition(report);
        }
        seen.full = waitForPosition(bar, 513);
        return true;
    };
    EXPECT_TRUE(runWithProgress(owner, job));
    ASSERT_NE(seen.dialog, nullptr);
    EXPECT_FALSE(IsWindow(seen.dialog)); // gone when the call returns
    EXPECT_EQ(seen.waitLine, kProgressWaitLine);
    EXPECT_EQ(seen.text, job.text);
    EXPECT_TRUE(seen.halfway);
    EXPECT_TRUE(seen.textChanged);
    EXPECT_EQ(seen.rangeHigh, 513);
    EXPECT_TRUE(seen.stillOpen);
    EXPECT_TRUE(seen.ownerAnswered);
    EXPECT_TRUE(seen.full);
    // Centred over the owner, then 30 pixels right and 65 up.
    const auto centre = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    EXPECT_NEAR(centre(seen.place).x, centre(seen.over).x + 30, 1);
    EXPECT_NEAR(centre(seen.place).y, centre(seen.over).y - 65, 1);
}

TEST_F(ProgressDialog, AFailedTransferComesBackAsAFailure) {
    for (bool result : {false, true}) {
        ProgressJob job;
        job.text = "실패";
        job.holdMs = 0;
        job.pauseAfterMs = 0;
        int runs = 0;
        job.transfer = [&](const MemoryProgress&) {
            ++runs;
            return result;
        };
        EXPECT_EQ(runWithProgress(owner, job), result);
        EXPECT_EQ(runs, 1);
    }
}

} // namespace
} // namespace quillon::winui
