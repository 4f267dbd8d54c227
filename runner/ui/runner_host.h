// The Windows side of the interpreter's Host: the runner's status windows.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "runner/host.h"
#include "runner/run_state.h"
#include "runner/variable_displays.h"
#include "runner/ui/runner_session.h"

namespace quillon::runner_ui {

class RunnerHost final : public runner::Host {
public:
    explicit RunnerHost(RunnerSession& session);

    bool playSound(const std::string& path) override;
    void stopSound() override;
    void beep(int frequency, int durationMs) override;
    bool inputMethodOpen() override;
    runner::LocalTime localTime() override;
    bool mainWindowShown() override;
    void requestStop(bool computerOff) override;
    void switchWindow() override;
    void showCurrentItem(int number, const std::string& name) override;
    void showItemLabel(bool visible) override;
    void showMacroPlaying(bool playing) override;
    void showResultCode(int code) override;
    void showSoundPath(const std::string& path) override;
    void warn(const std::string& text) override;
    void showTimer(int timer, int64_t seconds) override;
    void refreshVariables(std::array<runner::Variable, 1000>& variables) override;
    void analyzerReplaced() override;
    void showPreview(runner::PreviewBox box, const runner::PreviewPicture& picture) override;
    void showCursors(const CursorImage& captured, const analyzer::CursorSample& stored) override;
    void showDateCondition(const std::array<uint16_t, 7>& date, const std::string& format) override;

    // Items evaluated since the run started (for the run summary).
    uint64_t itemsRun() const { return itemsRun_.load(); }

    static constexpr int kVariableDisplays = runner::kVariableDisplayCount;

    // The main window's variable displays draw pictures and colours themselves.
    void attachVariableDisplays(HWND window);
    // WM_PAINT of display `display`: true when it drew a picture or a colour.
    bool paintVariableDisplay(HWND control, int display);

private:
    std::atomic<uint64_t> itemsRun_{0};
    runner::VariableDisplays displays_;
    std::mutex shownMutex_; // the interpreter writes, the interface thread paints
    std::array<runner::VariableDisplay, kVariableDisplays> shown_;
    RunnerSession& session_;
    std::wstring itemName_;
};

} // namespace quillon::runner_ui
