// The Win32 layer on a real dialog (from a resource script) under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/wide_text.h"
#include "device/startup_offsets.h"
#include "test_dialog.h"
#include "winui/control_text.h"
#include "winui/dialog_colours.h"
#include "winui/dialog_data.h"
#include "winui/list_controls.h"
#include "winui/message_boxes.h"
#include "winui/worker_thread.h"

namespace quillon::winui {
namespace {

struct TestDialogData {
    int initialised = 0;
};

INT_PTR CALLBACK testDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    TestDialogData* data = dialogData<TestDialogData>(dialog, message, lParam);
    if (message == WM_INITDIALOG && data) {
        ++data->initialised;
        return TRUE;
    }
    return FALSE;
}

class TestDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_WINUI_TEST), nullptr,
                                    testDialogProc, reinterpret_cast<LPARAM>(&data));
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override { DestroyWindow(dialog); }

    TestDialogData data;
    HWND dialog = nullptr;
};

TEST_F(TestDialog, KeepsItsDataThroughTheUserSlot) {
    EXPECT_EQ(data.initialised, 1);
    EXPECT_EQ(dialogData<TestDialogData>(dialog), &data);
}

TEST_F(TestDialog, TextsRoundTripInUtf8) {
    const std::vector<std::string> texts = {"", "인식이미지-0001", "녹화매크로 1-3 \"a\\b\"", "mixed 한글 and ASCII 123",
                                            std::string(300, 'x') + "끝"};
    for (const std::string& text : texts) {
        setControlText(dialog, IDC_TEST_TEXT, text);
        EXPECT_EQ(controlText(dialog, IDC_TEST_TEXT), text);
        // The control itself holds the UTF-16 text, not bytes of another code page.
        wchar_t held[512]{};
        GetDlgItemTextW(dialog, IDC_TEST_TEXT, held, 512);
        EXPECT_EQ(std::wstring(held), widen(text));
    }
}

TEST_F(TestDialog, NumbersReadBackOrFailClearly) {
    struct Case {
        const char* text;
        std::optional<int> number;
    };
    const Case cases[] = {
        {"0", 0},           {"42", 42},       {" -7 ", -7},         {"+5", 5},
        {"2147483647", 2147483647},           {"2147483648", std::nullopt},
        {"", std::nullopt}, {"  ", std::nullopt}, {"12a", std::nullopt}, {"1 2", std::nullopt},
        {"열", std::nullopt}, {"-", std::nullopt}, {"+-3", std::nullopt}, {"0x10", std::nullopt},
    };
    for (const Case& c : cases) {
        setControlText(dialog, IDC_TEST_NUMBER, c.text);
        EXPECT_EQ(controlNumber(dialog, IDC_TEST_NUMBER), c.number) << '"' << c.text << '"';
    }
    for (long long value : {0LL, -300LL, 32768LL}) {
        setControlNumber(dialog, IDC_TEST_NUMBER, value);
        EXPECT_EQ(controlNumber(dialog, IDC_TEST_NUMBER), static_cast<int>(value));
    }
}

TEST_F(TestDialog, ListsFillInOrderAndReportTheSelection) {
    const std::vector<std::string> first = {"  1-1메모리---비어 있슴", "  1-2메모리(64)---걷기", "  1-3메모리---달리기"};
    const std::vector<std::string> second = {"가", "나"};
    struct Control {
        HWND window;
        void (*fill)(HWND, const std::vector<std::string>&, std::optional<size_t>);
        std::optional<size_t> (*selection)(HWND);
        void (*select)(HWND, std::optional<size_t>);
        std::string (*line)(HWND, size_t);
    };
    const Control controls[] = {
        {GetDlgItem(dialog, IDC_TEST_LIST), fillListBox, listBoxSelection, selectListBoxLine, listBoxLine},
        {GetDlgItem(dialog, IDC_TEST_COMBO), fillComboBox, comboBoxSelection, selectComboBoxLine, comboBoxLine},
    };
    for (const Control& c : controls) {
        c.fill(c.window, first, 1);
        ASSERT_EQ(c.selection(c.window), std::optional<size_t>(1));
        for (size_t i = 0; i < first.size(); ++i) {
            EXPECT_EQ(c.line(c.window, i), first[i]);
        }
        EXPECT_EQ(c.line(c.window, first.size()), "");
        // Filling again replaces the lines; a selection out of range selects nothing.
        c.fill(c.window, second, 5);
        EXPECT_EQ(c.selection(c.window), std::nullopt);
        EXPECT_EQ(c.line(c.window, 1), "나");
        EXPECT_EQ(c.line(c.window, 2), "");
        c.select(c.window, 0);
        EXPECT_EQ(c.selection(c.window), std::optional<size_t>(0));
        c.select(c.window, std::nullopt);
        EXPECT_EQ(c.selection(c.window), std::nullopt);
    }
}

// ---- message boxes --------------------------------------------------------------

struct ShownBox {
    std::string caption, text;
};

// Shows a box with `show` on this thread while another thread waits for it,
// keeps what it showed and presses `button`.
template <typename F>
ShownBox answerNextBox(int button, F&& show) {
    ShownBox shown;
    const DWORD boxThread = GetCurrentThreadId();
    std::thread answerer([&] {
        for (int look = 0; look < 500; ++look) {
            HWND box = nullptr;
            EnumThreadWindows(
                boxThread,
                [](HWND window, LPARAM found) {
                    wchar_t name[16]{};
                    GetClassNameW(window, name, 16);
                    if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
                        *reinterpret_cast<HWND*>(found) = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&box));
            if (box) {
                shown.caption = windowText(box);
                shown.text = windowText(GetDlgItem(box, 0xFFFF)); // the box's text
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                return;
            }
            Sleep(10);
        }
    });
    show();
    answerer.join();
    return shown;
}

TEST(MessageBoxes, ShowTheProgramsCaptionsAndMapTheAnswers) {
    MessageBoxDialogs dialogs;
    ShownBox warning = answerNextBox(IDOK, [&] { dialogs.warn("기계를 찾지 못했습니다."); });
    EXPECT_EQ(warning.caption, "오류");
    EXPECT_EQ(warning.text, "기계를 찾지 못했습니다.");
    ShownBox notice = answerNextBox(IDOK, [&] { dialogs.notify("정보를 저장했습니다."); });
    EXPECT_EQ(notice.caption, "알림");
    EXPECT_EQ(notice.text, "정보를 저장했습니다.");

    struct Question {
        QuestionKind kind;
        int press;
        bool answer;
    };
    // (Each box takes about two seconds to go under Wine without a window
    // manager: few boxes.)
    for (Question q : {Question{QuestionKind::YesNo, IDYES, true}, Question{QuestionKind::YesNo, IDNO, false},
                       Question{QuestionKind::OkCancel, IDCANCEL, false}}) {
        bool answer = !q.answer;
        ShownBox question = answerNextBox(q.press, [&] { answer = dialogs.ask("저장하시겠습니까?", "알림", q.kind); });
        EXPECT_EQ(answer, q.answer);
        EXPECT_EQ(question.text, "저장하시겠습니까?");
    }
    EXPECT_EQ(messageStyle(MessageKind::Warning), static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(questionStyle(QuestionKind::YesNo), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

// ---- the pumping join ----------------------------------------------------------------

constexpr UINT kAskMessage = WM_APP + 7;
constexpr UINT kDroppedMessage = WM_APP + 8;
std::atomic<int> asked{0};
std::atomic<int> dropped{0};

LRESULT CALLBACK countingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kAskMessage) {
        return ++asked;
    }
    if (message == kDroppedMessage) {
        ++dropped;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeCountingWindow() {
    WNDCLASSW type{};
    type.lpfnWndProc = countingWindowProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"QuillonCountingWindow";
    RegisterClassW(&type);
    return CreateWindowW(L"QuillonCountingWindow", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

TEST(WorkerThread, JoinKeepsTheWindowAnsweringTheThread) {
    HWND window = makeCountingWindow();
    ASSERT_NE(window, nullptr);
    asked = 0;
    dropped = 0;
    std::atomic<LRESULT> replies{0};
    WorkerThread worker;
    worker.start([&] {
        // Each send waits for the window's thread: without pumping the join
        // would wait for this thread forever.
        PostMessageW(window, kDroppedMessage, 0, 0);
        for (int i = 0; i < 20; ++i) {
            replies += SendMessageW(window, kAskMessage, 0, 0);
            Sleep(5);
        }
    });
    EXPECT_TRUE(worker.running());
    int looks = 0;
    PumpingWait wait;
    wait.whileWaiting = [&looks] { ++looks; };
    wait.dropMessage = kDroppedMessage;
    worker.joinPumping(wait);
    EXPECT_FALSE(worker.running());
    EXPECT_TRUE(worker.finished());
    EXPECT_EQ(asked.load(), 20);
    EXPECT_EQ(replies.load(), 20 * 21 / 2);
    EXPECT_EQ(dropped.load(), 0);
    EXPECT_GE(looks, 1);
    // A join with nothing running returns at once; the thread can be started again.
    worker.joinPumping();
    worker.start([&] { SendMessageW(window, kAskMessage, 0, 0); });
    worker.joinPumping();
    EXPECT_EQ(asked.load(), 21);
    DestroyWindow(window);
}

// ---- colours -----------------------------------------------------------------------------

TEST(DialogColours, ComeFromTheSettingsOnlyWhenSwitchedOn) {
    struct Case {
        const ColourSettings* where;
        int32_t customSwitch;
        COLORREF dialog, text;
    };
    const Case cases[] = {
        {&kRunnerColourSettings, 1, 0x112233, 0x445566},
        {&kRunnerColourSettings, 0, kDefaultDialogColour, kDefaultTextBackgroundColour},
        {&kRunnerColourSettings, 2, kDefaultDialogColour, kDefaultTextBackgroundColour},
        {&kControlColourSettings, 1, 0x778899, 0x0A0B0C},
        {&kControlColourSettings, 0, kDefaultDialogColour, kDefaultTextBackgroundColour},
    };
    for (const Case& c : cases) {
        StartupData data;
        data.setSetting(setting_offset::kDialogColour, 0x112233);
        data.setSetting(setting_offset::kTextBackgroundColour, 0x445566);
        data.setSetting(setting_offset::kControlDialogColour, 0x778899);
        data.setSetting(setting_offset::kControlTextBackgroundColour, 0x0A0B0C);
        data.setSetting(c.where->customSwitch, c.customSwitch);
        const DialogColours colours = dialogColoursOf(data, *c.where);
        EXPECT_EQ(colours.dialog, c.dialog);
        EXPECT_EQ(colours.textBackground, c.text);

        // The brushes a dialog procedure hands back paint in those colours.
        DialogBrushes brushes(colours);
        HDC dc = CreateCompatibleDC(nullptr);
        LOGBRUSH painted{};
        GetObjectW(reinterpret_cast<HBRUSH>(brushes.paint(WM_CTLCOLORDLG, 0)), sizeof painted, &painted);
        EXPECT_EQ(painted.lbColor, c.dialog);
        GetObjectW(reinterpret_cast<HBRUSH>(brushes.paint(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc))),
                   sizeof painted, &painted);
        EXPECT_EQ(painted.lbColor, c.text);
        EXPECT_EQ(GetBkColor(dc), c.text);
        EXPECT_EQ(brushes.paint(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc)), 0);
        DeleteDC(dc);
    }
}

} // namespace
} // namespace quillon::winui
