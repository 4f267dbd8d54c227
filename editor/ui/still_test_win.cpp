// "현재 스샷에서 시험": the conditions of the item being edited (its working
// copy, unsaved changes included) evaluated on the screenshot the view shows,
// with the runner's own matching. The screenshot stands for the whole screen
// and for the foreground window, so every capture mode takes all of it and
// positions are the screenshot's pixels. Nothing goes to the machine and the
// analyzer is only read. What each condition found is drawn on the view
// (green held, red not held, a range search's area dotted) while the result
// window is open; the window closes, and the marks go, with Esc, its button,
// the next screenshot or another item. A new test replaces them.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "analyzer/limits.h"
#include "base/format_text.h"
#include "base/wide_text.h"
#include "editor/ui/editor_session.h"
#include "resource.h"
#include "runner/capture.h"
#include "runner/run_trace.h"
#include "runner/screen.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/list_controls.h"

namespace quillon::editor_ui {
namespace {

namespace msg {
constexpr const char* kNoScreenshot = "화면에 띄운 스샷이 없습니다.\n스샷을 불러온 뒤 시험해 주세요.";
constexpr const char* kErasedScreenshot = "지워진 스샷에서는 시험할 수 없습니다.\n다른 스샷을 띄운 뒤 시험해 주세요.";
constexpr const char* kNoConditions = "편집 중인 항목에 조건이 없습니다.\n조건을 추가한 뒤 시험해 주세요.";
constexpr const char* kTooLarge = "스샷이 너무 커서 시험할 수 없습니다.";
} // namespace msg

constexpr COLORREF kHeldColour = RGB(0x00, 0xC8, 0x00);
constexpr COLORREF kNotHeldColour = RGB(0xE6, 0x00, 0x00);
// A point (a colour test) is drawn as a box this wide around it.
constexpr int kPointMarkSide = 9;

const char* conditionKindText(int kind) {
    switch (kind) {
    case analyzer::CondVariable: return "변수";
    case analyzer::CondTimer: return "타이머";
    case analyzer::CondDateTime: return "일자/시간";
    case analyzer::CondState: return "매크로 상태";
    case analyzer::CondImage: return "이미지";
    case analyzer::CondRangeSearch: return "범위 검색";
    case analyzer::CondCursor: return "커서";
    case analyzer::CondKey: return "키눌림 감지";
    case analyzer::CondRemote: return "원격 제어";
    case analyzer::CondNoItemDelay: return "항목지연 없음";
    default: return "조건";
    }
}

// "조건 1 범위 검색: 성립 (유사도 100%, 751, 751)", "조건 2 범위 검색: 불성립
// (최고 유사도 87%, 1203, 455)", "조건 3 타이머: 성립".
std::string resultLine(int number, const runner::ConditionSeen& seen) {
    std::string line = formatText("조건 %d %s: %s", number, conditionKindText(seen.kind), seen.held ? "성립" : "불성립");
    if (seen.similarity >= 0) {
        line += formatText(" (%s %d%%", seen.held ? "유사도" : "최고 유사도", seen.similarity);
        if (seen.located) line += formatText(", %d, %d", seen.x, seen.y);
        line += ")";
    } else if (seen.located) {
        line += formatText(" (%d, %d)", seen.x, seen.y);
    }
    return line;
}

// The shown screenshot as the screen: the whole screen, and the foreground
// window with its frame and its client area alike, so every capture mode
// takes all of it and positions are the screenshot's pixels. Copies come
// straight from the view's pixels (no second picture of 8 MB to make and
// keep). A 16-bit screenshot is 5-6-5, as the view draws it, and is given in
// 16 bits, as such a screen gives its pixels to a run. The cursor is not
// part of a screenshot: it reads as none.
class ShownScreenshot final : public runner::Screen {
public:
    explicit ShownScreenshot(const ScreenshotBitmap& bitmap) : bitmap_(bitmap) {}

    runner::Size screenSize() override { return {bitmap_.width, bitmap_.height}; }
    bool targetRect(runner::CaptureTarget, runner::Rect& rect) override {
        rect = {0, 0, bitmap_.width, bitmap_.height};
        return true;
    }
    runner::CopyResult copyPixels(int left, int top, int width, int height, uint8_t* pixels, size_t capacity,
                                  int& bitsPerPixel) override {
        if (left < 0 || top < 0 || width < 0 || height < 0 || left > bitmap_.width - width ||
            top > bitmap_.height - height) {
            return runner::CopyResult::BitmapFailed;
        }
        const bool sixteen = bitmap_.bitsPerPixel == 16;
        const size_t stride =
            sixteen ? static_cast<size_t>(((width * 16 + 31) / 32) * 4) : static_cast<size_t>(width) * 4;
        if (stride * static_cast<size_t>(height) > capacity) return runner::CopyResult::BitmapFailed;
        bitsPerPixel = sixteen ? 16 : 32;
        for (int y = 0; y < height; ++y) {
            const uint8_t* from =
                bitmap_.pixels.data() + static_cast<size_t>(top + y) * static_cast<size_t>(bitmap_.stride);
            uint8_t* to = pixels + stride * static_cast<size_t>(y);
            switch (bitmap_.bitsPerPixel) {
            case 16:
                std::memcpy(to, from + static_cast<size_t>(left) * 2, static_cast<size_t>(width) * 2);
                break;
            case 24:
                from += static_cast<size_t>(left) * 3;
                for (int x = 0; x < width; ++x, from += 3, to += 4) {
                    to[0] = from[0];
                    to[1] = from[1];
                    to[2] = from[2];
                    to[3] = 0;
                }
                break;
            default:
                std::memcpy(to, from + static_cast<size_t>(left) * 4, static_cast<size_t>(width) * 4);
                break;
            }
        }
        return runner::CopyResult::Ok;
    }
    bool readCursor(CursorImage& image) override {
        image = CursorImage{};
        return true;
    }

private:
    const ScreenshotBitmap& bitmap_;
};

RECT rectOf(const runner::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

StillTestMark markOf(int number, const runner::ConditionSeen& seen) {
    StillTestMark mark;
    mark.number = number;
    mark.held = seen.held;
    mark.similarity = seen.similarity;
    mark.located = seen.located;
    if (seen.located) {
        mark.box = rectOf(seen.box);
        if (mark.box.right - mark.box.left < kPointMarkSide || mark.box.bottom - mark.box.top < kPointMarkSide) {
            mark.box = RECT{seen.x - kPointMarkSide / 2, seen.y - kPointMarkSide / 2,
                            seen.x + kPointMarkSide / 2 + 1, seen.y + kPointMarkSide / 2 + 1};
        }
    }
    mark.hasArea = seen.hasArea;
    if (seen.hasArea) mark.area = rectOf(seen.area);
    return mark;
}

INT_PTR CALLBACK resultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    EditorSession* session = winui::dialogData<EditorSession>(window, message, lParam);
    if (!session) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            endStillTest(*session);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        endStillTest(*session);
        return TRUE;
    default:
        return FALSE;
    }
}

// The result window at the bottom right of the work area, away from the
// panels in the middle and the magnifier at the bottom left; made once and
// filled again by each test.
HWND resultWindow(EditorSession& session) {
    if (session.stillTestWindow) return session.stillTestWindow;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_STILL_TEST), session.mainWindow,
                                     resultProcedure, reinterpret_cast<LPARAM>(&session));
    if (!window) return nullptr;
    RECT frame;
    GetWindowRect(window, &frame);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.right - (frame.right - frame.left) - 8,
                 work.bottom - (frame.bottom - frame.top) - 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    session.stillTestWindow = window;
    return window;
}

void fillResults(EditorSession& session, const std::vector<std::string>& lines, const std::string& summary) {
    HWND window = resultWindow(session);
    if (!window) return;
    winui::setControlText(window, IDC_STILL_TEST_SUMMARY, summary);
    HWND list = GetDlgItem(window, IDC_STILL_TEST_LINES);
    winui::fillListBox(list, lines);
    // The widest line sets the list's horizontal scrolling.
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::string& line : lines) {
        const std::wstring wide = widen(line);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        widest = std::max(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    ShowWindow(window, SW_SHOW);
}

void drawFrame(HDC dc, const RECT& r, int style, int width, COLORREF colour) {
    HPEN pen = CreatePen(style, width, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    // The frame lies just outside the compared pixels.
    Rectangle(dc, r.left - width, r.top - width, r.right + width, r.bottom + width);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

} // namespace

void runStillTest(EditorSession& session) {
    if (!session.working) return;
    if (!session.viewShown || session.view.bitmap.width <= 0 || session.view.bitmap.height <= 0 ||
        session.view.bitmap.pixels.empty()) {
        session.dialogs.warn(msg::kNoScreenshot);
        return;
    }
    if (session.view.status == editor::ShowStatus::Erased) {
        session.dialogs.warn(msg::kErasedScreenshot);
        return;
    }
    const analyzer::Item& item = *session.working;
    const int count = std::clamp(static_cast<int>(item.conditionCount), 0, analyzer::kConditionsPerItem);
    if (count == 0) {
        session.dialogs.warn(msg::kNoConditions);
        return;
    }
    const ScreenshotBitmap& bitmap = session.view.bitmap;
    // A screenshot larger than a run's capture holds is told as such, not
    // tested as a capture that failed.
    if (static_cast<size_t>(bitmap.width) * 4 * static_cast<size_t>(bitmap.height) > runner::kCaptureBufferBytes) {
        session.dialogs.warn(msg::kTooLarge);
        return;
    }

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    ShownScreenshot screen(bitmap);
    const std::vector<runner::ConditionSeen> seen = runner::testConditionsOnScreen(session.model, item, screen);
    QueryPerformanceCounter(&end);
    const int elapsedMs = static_cast<int>((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);

    session.stillTestMarks.clear();
    std::vector<std::string> lines;
    int held = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        lines.push_back(resultLine(number, seen[i]));
        session.stillTestMarks.push_back(markOf(number, seen[i]));
        if (seen[i].held) ++held;
    }
    const int notHeld = static_cast<int>(seen.size()) - held;
    const std::string summary =
        formatText("%s: 성립 %d개, 불성립 %d개 (%d ms)", notHeld == 0 ? "모든 조건 성립" : "조건 불성립 있음", held,
                   notHeld, elapsedMs);
    fillResults(session, lines, summary);
    if (session.mainWindow) InvalidateRect(session.mainWindow, nullptr, FALSE);
}

void endStillTest(EditorSession& session) {
    const bool hadMarks = !session.stillTestMarks.empty();
    session.stillTestMarks.clear();
    if (session.stillTestWindow) {
        HWND window = session.stillTestWindow;
        session.stillTestWindow = nullptr;
        // The panel takes the activation first: left to the system it would
        // fall to the screen-wide view, which would then lie over the panels.
        if (GetActiveWindow() == window) {
            HWND panel =
                session.mainPanel && IsWindowVisible(session.mainPanel) ? session.mainPanel : session.sidePanel;
            if (panel) SetActiveWindow(panel);
        }
        DestroyWindow(window);
    }
    if (hadMarks && session.mainWindow) InvalidateRect(session.mainWindow, nullptr, FALSE);
}

void paintStillTestMarks(const EditorSession& session, HDC dc) {
    if (session.stillTestMarks.empty()) return;
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
    // The areas first, so the boxes lie over them.
    for (const StillTestMark& mark : session.stillTestMarks) {
        if (mark.hasArea) drawFrame(dc, mark.area, PS_DOT, 1, mark.held ? kHeldColour : kNotHeldColour);
    }
    // Two conditions that looked at the same place (a search that did not
    // hold often comes closest where another matched) keep both frames and
    // both labels in view: the later frame a little wider, the later label
    // above (or below) the earlier ones.
    std::vector<RECT> frames, labels;
    const auto overlaps = [](const std::vector<RECT>& placed, const RECT& r) {
        RECT common;
        return std::any_of(placed.begin(), placed.end(), [&](const RECT& p) { return IntersectRect(&common, &p, &r); });
    };
    for (const StillTestMark& mark : session.stillTestMarks) {
        if (!mark.located) continue;
        const COLORREF colour = mark.held ? kHeldColour : kNotHeldColour;
        RECT frame = mark.box;
        for (const RECT& earlier : frames) {
            if (EqualRect(&earlier, &frame)) InflateRect(&frame, 3, 3);
        }
        frames.push_back(frame);
        drawFrame(dc, frame, PS_SOLID, 2, colour);
        std::string label = formatText("조건 %d", mark.number);
        if (mark.similarity >= 0) label += formatText(" %d%%", mark.similarity);
        const std::wstring text = widen(label);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        RECT place{frame.left - 2, frame.top - 4 - size.cy, frame.left - 2 + size.cx, frame.top - 4};
        while (place.top >= 0 && overlaps(labels, place)) OffsetRect(&place, 0, -(size.cy + 1));
        if (place.top < 0) {
            place = RECT{frame.left - 2, frame.bottom + 4, frame.left - 2 + size.cx, frame.bottom + 4 + size.cy};
            while (overlaps(labels, place)) OffsetRect(&place, 0, size.cy + 1);
        }
        labels.push_back(place);
        SetTextColor(dc, colour);
        TextOutW(dc, place.left, place.top, text.c_str(), static_cast<int>(text.size()));
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

} // namespace quillon::editor_ui
