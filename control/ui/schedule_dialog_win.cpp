// The scheduling dialog ("실행 예약"): the memories of one kind in a list
// (their headers read on first use, with the progress dialog), the echo of
// the choice, and the scheduling and cancelling commands.
#include <windows.h>

#include <optional>

#include "control/link_sites.h"
#include "control/scheduling.h"
#include "control/ui/control_session.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/list_controls.h"
#include "winui/message_boxes.h"
#include "winui/progress_dialog.h"

namespace quillon::control_ui {

using namespace control;

namespace {

constexpr int kScheduleAutoClickLocation = link_site::kScheduleAutoClick;
constexpr int kScheduleCommandLocation = link_site::kScheduleCommand;

struct ScheduleDialog {
    explicit ScheduleDialog(ControlSession& s) : session(s) {}
    ControlSession& session;
    ScheduleKind kind = ScheduleKind::Recorded;
    bool listed = false;
    std::vector<ScheduleEntry> entries;
    std::optional<ScheduleEntry> chosen;
};

template <typename Cache>
std::vector<std::string> namesOf(Cache& cache) {
    std::vector<std::string> names;
    for (size_t i = 0; i < Cache::kCount; ++i) {
        names.push_back(cache.name(i));
    }
    return names;
}

std::optional<std::vector<std::string>> namesOfKind(ControlSession& s, HWND dialog, ScheduleKind kind) {
    switch (kind) {
    case ScheduleKind::Recorded:
        if (!filledCache(s, dialog, s.recordedHeaders, link_site::kScheduleRecordedHeaders)) return std::nullopt;
        return namesOf(s.recordedHeaders);
    case ScheduleKind::Edit:
        if (!filledCache(s, dialog, s.editHeaders, link_site::kScheduleEditHeaders)) return std::nullopt;
        return namesOf(s.editHeaders);
    case ScheduleKind::Combination:
        if (!filledCache(s, dialog, s.combinationHeaders, link_site::kScheduleCombinationHeaders)) return std::nullopt;
        return namesOf(s.combinationHeaders);
    case ScheduleKind::AutoClick:
        if (!s.autoClickRead) {
            uint8_t block[control::kAutoClickBlockSize] = {};
            if (!s.memory.readAutoClickBlock(block, kScheduleAutoClickLocation)) {
                endOnLinkFailure(s, dialog);
                return std::nullopt;
            }
            s.autoClick = autoClickSettingsForFirstShowing(block, sizeof block);
            s.autoClickRead = true;
        }
        return std::vector<std::string>{autoClickName(s.autoClick)};
    }
    return std::nullopt;
}

void listKind(HWND dialog, ScheduleDialog& data, ScheduleKind kind) {
    auto names = namesOfKind(data.session, dialog, kind);
    if (!names) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    data.kind = kind;
    data.listed = true;
    data.entries.clear();
    for (size_t i = 0; i < names->size(); ++i) {
        data.entries.push_back({kind, i, (*names)[i]});
    }
    winui::fillListBox(GetDlgItem(dialog, IDC_SCH_LIST), scheduleListLines(kind, *names));
    data.chosen.reset();
    winui::setControlText(dialog, IDC_SCH_ECHO, "");
}

void schedule(HWND dialog, ScheduleDialog& data) {
    ControlSession& s = data.session;
    if (!data.chosen) {
        return;
    }
    const std::string echo = winui::controlText(dialog, IDC_SCH_ECHO);
    if (winui::messageBox(dialog, scheduleQuestion(echo), "알림", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        return;
    }
    const ScheduleCommand command = scheduleCommandOf(*data.chosen);
    if (!scheduleMacro(s.link, command.kind, command.index, kScheduleCommandLocation)) {
        endOnLinkFailure(s, dialog);
        EndDialog(dialog, IDCANCEL);
    }
}

INT_PTR CALLBACK scheduleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = winui::dialogData<ScheduleDialog>(dialog, message, lParam);
    if (data == nullptr) {
        return FALSE;
    }
    ControlSession& s = data->session;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SCH_RECORDED:
            listKind(dialog, *data, ScheduleKind::Recorded);
            return TRUE;
        case IDC_SCH_EDIT:
            listKind(dialog, *data, ScheduleKind::Edit);
            return TRUE;
        case IDC_SCH_COMBINATION:
            listKind(dialog, *data, ScheduleKind::Combination);
            return TRUE;
        case IDC_SCH_AUTO_CLICK:
            listKind(dialog, *data, ScheduleKind::AutoClick);
            return TRUE;
        case IDC_SCH_LIST: {
            const int notification = HIWORD(wParam);
            if (notification != LBN_SELCHANGE && notification != LBN_DBLCLK) {
                return TRUE;
            }
            auto selected = winui::listBoxSelection(GetDlgItem(dialog, IDC_SCH_LIST));
            if (!selected || *selected >= data->entries.size()) {
                return TRUE;
            }
            data->chosen = data->entries[*selected];
            const bool confirm = notification == LBN_DBLCLK;
            winui::setControlText(dialog, IDC_SCH_ECHO,
                                  confirm ? scheduleDoubleClickEcho(*data->chosen) : scheduleClickEcho(*data->chosen));
            if (confirm) {
                schedule(dialog, *data);
            }
            return TRUE;
        }
        case IDC_SCH_SCHEDULE:
            schedule(dialog, *data);
            return TRUE;
        case IDC_SCH_CANCEL_SCHEDULE:
            if (!cancelScheduledMacro(s.link, link_site::kScheduleCancel)) {
                endOnLinkFailure(s, dialog);
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            winui::showNotice(dialog, kScheduleCancelled);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return paintDialog(&s, message, wParam);
    }
}

} // namespace

void runScheduleDialog(ControlSession& s, HWND owner) {
    ScheduleDialog data(s);
    DialogBoxParamW(s.instance, MAKEINTRESOURCEW(IDD_SCHEDULE), owner, scheduleProc,
                    reinterpret_cast<LPARAM>(&data));
}

} // namespace quillon::control_ui
