// control-panel's decisions that need no window: the start notice, the start
// argument and the page it opens, the pages of the main dialog, the manual and
// the two web pages of the main dialog.
#pragma once

#include <string>
#include <string_view>

namespace quillon::control {

constexpr const char* kStartNotice =
    "제어프로그램은 기계를 직접 컨트롤 하는 프로그램이기 때문에\n"
    "다른 프로그램과 충돌현상이 발생할 수 있습니다.\n\n"
    "반드시, 모든 프로그램을 종료한 후에 실행해서 사용하시고\n"
    "사용이 끝나면 종료해주세요.\n\n"
    "일부 게임 보안 프로그램은 기계를 직접 다루는 이 프로그램을\n"
    "해킹 프로그램으로 잘못 알리는 경우가 있습니다.\n"
    "이 프로그램은 해킹 프로그램이 아니며, 그런 경고가 나오면\n"
    "게임 보안 프로그램을 종료한 후에 사용해주세요.";

constexpr const char* kMainWindowClass = "Quillon Control"; // also its title: one instance only
constexpr int kGraphicsStartCode = 1145;
constexpr int kSecondInstanceCode = 1151;
// "%s(MainLine=%d)" with "작동 중 문제가 발생했습니다" and a location code.
std::string mainLineTrouble(int code);

// Closing with lines not yet saved on the edit or combination page.
constexpr const char* kUnsavedCloseQuestion =
    "저장하지 않은 편집 내용이 있습니다.\n\n"
    "[예] 복구용 파일로 저장하고 종료합니다.\n"
    "[아니요] 저장하지 않고 종료합니다.\n"
    "[취소] 종료하지 않습니다.";
constexpr const char* kRecoveryCopyFailed = "편집 중이던 매크로를 파일로 저장하지 못했습니다. 종료하지 않습니다.";

// The pages of the main dialog, numbered as the program keeps them.
enum class ControlPage : int { Options = 0, Edit = 1, Combination = 2, Recorded = 3, AutoClick = 4, None = 7 };
constexpr int kPageCount = 5;

// The start argument: "1" (edit page) or "2" (combination page) with the
// working copy; anything else is 0.
int startArgumentOf(std::string_view argument);
// The page the first activation of "환경 설정" opens.
ControlPage firstPageOf(int startArgument);

// A macro file given as the argument (a file opened from Explorer): the page
// of its kind by the extension (".eqn1", ".vele", ".veleL" edit; ".cqn1",
// ".velc", ".velcL" combination; ".rqn1", ".velr", ".velrL", ".mgild"
// recorded; ".aut" auto-click), None for anything else.
ControlPage pageOfMacroFile(std::string_view path);

// What the command line asks for: the working copy (argument 1 or 2), or a
// macro file opened in the page of its kind.
struct StartRequest {
    int argument = 0;                      // 1, 2, or 0
    ControlPage page = ControlPage::Options; // the first page shown
    std::string path;                      // the macro file to load, or empty
};
StartRequest startRequestOf(std::string_view argument);

// The manual lies beside the programs (the installer puts it there).
constexpr const char* kManualFileName = "Quillon.pdf";
std::string manualPath(const std::string& programFolder);
constexpr const char* kManualNeedsReader =
    "도움말을 보려면 PDF 문서를 여는 프로그램(PDF 뷰어)이 필요합니다.\n\n"
    "인터넷 검색창에서 \"PDF 뷰어\"를 검색하여 무료 PDF 뷰어를 내려받아 설치한 뒤\n"
    "다시 [도움말] 버튼을 눌러주세요.";

// The two web pages ("질답\n게시판", "공개\n자료실") come from the start-up
// data. Only a web address is handed to the shell: a name block edited by
// hand must not make the button start a program.
bool isWebAddress(std::string_view address);
constexpr const char* kNoWebAddress =
    "이 버튼에 연결된 웹 페이지 주소가 설정되어 있지 않습니다.\n\n"
    "시작 자료 파일에 웹 페이지 주소(http:// 또는 https://)를 넣으면 열 수 있습니다.";

} // namespace quillon::control
