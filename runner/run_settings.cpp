#include "device/startup_offsets.h"
#include "runner/interpreter.h"

#include <algorithm>

namespace quillon::runner {

RunSettings runSettingsFrom(const StartupData& data) {
    RunSettings s;
    auto hotkey = [&](size_t offset) { return static_cast<uint8_t>(data.setting(offset) & 0xFF); };
    s.startHotkey = hotkey(setting_offset::kStartHotkey);
    s.stopHotkey = hotkey(setting_offset::kStopHotkey);
    s.switchHotkey = hotkey(setting_offset::kWindowSwitchHotkey);
    s.itemDelayMain = static_cast<uint32_t>(std::max(0, data.setting(setting_offset::kItemDelayMain)));
    s.itemDelayMini = static_cast<uint32_t>(std::max(0, data.setting(setting_offset::kItemDelayMini)));
    s.soundFolder = data.name(name_offset::kSoundFolder);
    s.analyzerFolder = data.name(name_offset::kAnalyzerFolder);
    const std::string text = data.text(text_offset::kRunnerAnalyzerNotLoadable);
    if (!text.empty()) s.loadFailureText = text;
    return s;
}

} // namespace quillon::runner
