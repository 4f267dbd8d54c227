// What each program shows and does when the link fails. The Win32 message
// boxes live with each program; this is the data they show. Texts are UTF-8
// (converted to CP949 or UTF-16 at the boundary). analyzer-runner and
// shot-taker take their texts from the start-up text block; for them the
// entry names the role and the text block offset comes from their own code.
#pragma once

#include "device/link.h"

#include <string>

namespace quillon {

enum class FailureReaction {
    EndProgram,      // message box, then the program ends
    CloseMainWindow, // message box, then WM_CLOSE to the main window
    BeepTwiceAndEnd, // warning beep, 200 ms, beep again, end without a message
    GiveUpOperation, // message box; the operation returns 0 and the caller gives up
};

struct LinkFailureNotice {
    std::string text;       // empty when the text comes from the text block
    bool fromTextBlock = false;
    FailureReaction reaction = FailureReaction::EndProgram;
};

inline constexpr const char* kEditorLinkLostText =
    "기계와 통신이 되지 않아 분석기를 종료합니다.\n\n분석기를 다시 실행해주세요.";
inline constexpr const char* kControlLinkLostText = "기계와 통신이 되지 않습니다";
inline constexpr const char* kControlTroubleText = "작동 중 문제가 발생했습니다";
inline constexpr int kControlNoDeviceCode = 1161;         // "%s(MainLine=%d)"
inline constexpr int kControlOptionRecordCode = 20028;    // "%s(SYS--ConfigLine=%d)"
inline constexpr int kControlHotkeyRecordCode = 68;       // "%s(HK--%d)"
inline constexpr int kEditorSendFailedCode = 3;
inline constexpr int kEditorReceiveFailedCode = 6;
inline constexpr int kRunnerStopButtonId = 1224; // a failed action frame presses it

// analyzer-editor's loading dialog after the machine was found: twice in
// turn, a blank phase of 700 ms and then these two lines for 700 ms.
struct LinkAnnouncement {
    std::string firstLine;
    std::string secondLine;
};
inline constexpr uint32_t kAnnouncementPhaseMs = 700;
inline constexpr int kAnnouncementRounds = 2;
LinkAnnouncement linkAnnouncement(const Link& link);

// The notice for a failed start-up (no device, or the opening mode not
// acknowledged).
LinkFailureNotice startupFailureNotice(Program program, const LinkError& error);
// The notice for a failed exchange after start-up (location from the error).
LinkFailureNotice exchangeFailureNotice(Program program, const LinkError& error);
// The notice for an option record that could not be read or had a wrong magic.
LinkFailureNotice optionRecordFailureNotice(Program program, const LinkError& error);
// control-panel: a hotkey record with a wrong magic.
LinkFailureNotice hotkeyRecordFailureNotice(const LinkError& error);

} // namespace quillon
