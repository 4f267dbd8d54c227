#include "control/auto_click.h"
#include "base/fixed_text.h"

#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "control/byte_code.h"
#include "control/key_codes.h"
#include "control/macro_records.h"

namespace quillon::control {

AutoClickSettings defaultAutoClickSettings() {
    AutoClickSettings s{};
    s.magic = kAutoClickMagic;
    s.clickOn = 1;
    s.button = 1;
    s.clickSpeed = 50;
    s.clickPress = 10;
    s.clickRelease = 10;
    s.keySpeed = 50;
    s.keyPress = 10;
    s.keyRelease = 10;
    return s;
}

namespace {
bool inRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }
} // namespace

std::string validateAutoClick(const AutoClickSettings& s) {
    // The messages name 65000, but the fields take at most 64999.
    constexpr int32_t kMaxTime = 64999;
    if (!inRange(s.clickSpeed, 1, 500)) return "정확한 자동클릭 속도를 입력해주세요(1~500)";
    if (!inRange(s.clickPress, 1, kMaxTime)) return "정확한 버튼 누르고 있는 시간을 입력해주세요(1~65000)";
    if (!inRange(s.clickRelease, 1, kMaxTime)) return "정확한 버튼 떼고 있는 시간을 입력해주세요(1~65000)";
    if (s.clickBurstOn) {
        if (!inRange(s.clickBurstCount, 1, kMaxTime)) return "정확한 점사수을 입력해주세요(1~65000)";
        if (!inRange(s.clickBurstInterval, 1, kMaxTime)) return "정확한 점사간격을 입력해주세요(1~65000)";
    }
    if (!inRange(s.keySpeed, 1, 500)) return "정확한 자동키 속도를 입력해주세요(1~500)";
    if (!inRange(s.keyPress, 1, kMaxTime)) return "정확한 키를 누르고 있는 시간을 입력해주세요(1~65000)";
    if (!inRange(s.keyRelease, 1, kMaxTime)) return "정확한 키를 떼고 있는 시간을 입력해주세요(1~65000)";
    if (s.keyBurstOn) {
        if (!inRange(s.keyBurstCount, 1, kMaxTime)) return "정확한 키 점사수을 입력해주세요(1~65000)";
        if (!inRange(s.keyBurstInterval, 1, kMaxTime)) return "정확한 키 점사간격을 입력해주세요(1~65000)";
    }
    return {};
}

PressRelease timesForSpeed(int speed) {
    if (speed <= 0) return {0, 0};
    int period = (1000 + speed / 2) / speed;
    int press = std::min(period / 2, 200);
    return {press, period - press};
}

int speedForTimes(int press, int release) {
    int period = press + release;
    if (period <= 0) return 0;
    return (1000 + period - 1) / period;
}

namespace {

int buttonIndex(int32_t button) {
    switch (button) {
    case 4: return 1;
    case 2: return 2;
    default: return 0; // 1 = left, and anything unknown clicks the left button
    }
}

int keyCode(int row) { return keyCodeOfRow(row).value_or(0); }

} // namespace

std::vector<uint8_t> generateAutoClickCode(const AutoClickSettings& s) {
    using namespace kind;
    CodeWriter w;
    // A burst is repeat A; its end address stays 0 (the machine finds its end).
    auto burstStart = [&](int count) { w.op(kRepeatStart, {0, count}); };
    auto burstEnd = [&](int interval, int release) {
        w.op(kRepeatEnd);
        w.op(kDelay, {std::max(0, interval - release)});
    };
    if (s.clickOn) {
        int b = buttonIndex(s.button);
        size_t ifEnd = 0;
        if (s.clickBurstOn) {
            ifEnd = w.op(kIfButton + b);
            burstStart(s.clickBurstCount);
        }
        w.op(kButtonDown + b);
        w.op(kDelay, {s.clickPress});
        w.op(kButtonUp + b);
        w.op(kDelay, {s.clickRelease});
        if (s.clickBurstOn) {
            burstEnd(s.clickBurstInterval, s.clickRelease);
            w.op(kEndButtonIf);
            w.pointHere(ifEnd);
        }
    }
    int keys = std::clamp(int32_t{s.keyCount}, 0, kMaxAutoKeys);
    if (s.keyOn && keys > 0) {
        size_t triggerEnd = s.triggerOn ? w.op(kIfKey, {keyCode(s.triggerRow)}) : 0;
        if (s.keyBurstOn) burstStart(s.keyBurstCount);
        for (int i = 0; i < keys; ++i) {
            w.op(kKeyDown, {keyCode(s.keyRows[i])});
            w.op(kDelay, {s.keyPress});
            w.op(kKeyUp, {keyCode(s.keyRows[i])});
            w.op(kDelay, {s.keyRelease});
        }
        if (s.keyBurstOn) burstEnd(s.keyBurstInterval, s.keyRelease);
        if (s.triggerOn) {
            w.op(kEndKeyIf);
            w.pointHere(triggerEnd);
        }
    }
    w.byte(kEndOfCode);
    return w.take();
}

bool buildAutoClickBlock(const AutoClickSettings& s, std::array<uint8_t, kAutoClickBlockSize>& block) {
    if (!validateAutoClick(s).empty()) return false;
    int keys = std::clamp(int32_t{s.keyCount}, 0, kMaxAutoKeys);
    for (int i = 0; i < keys && s.keyOn; ++i) {
        if (!keyCodeOfRow(s.keyRows[i])) return false;
    }
    if (s.keyOn && keys > 0 && s.triggerOn && !keyCodeOfRow(s.triggerRow)) return false;
    std::vector<uint8_t> code = generateAutoClickCode(s);
    if (code.size() > kAutoClickSettingsOffset) return false;
    block.fill(0);
    std::memcpy(block.data(), code.data(), code.size());
    std::memcpy(block.data() + kAutoClickSettingsOffset, &s, sizeof(s));
    return true;
}

namespace {

bool takeSettings(const uint8_t* data, AutoClickSettings& out) {
    AutoClickSettings s;
    std::memcpy(&s, data, sizeof(s));
    if (s.magic != kAutoClickMagic) return false;
    s.keyCount = std::clamp(int32_t{s.keyCount}, 0, kMaxAutoKeys);
    s.name[sizeof(s.name) - 1] = '\0';
    out = s;
    return true;
}

} // namespace

bool settingsFromBlock(const uint8_t* block, size_t size, AutoClickSettings& out) {
    if (size < kAutoClickSettingsOffset + sizeof(AutoClickSettings)) return false;
    return takeSettings(block + kAutoClickSettingsOffset, out);
}

bool settingsFromFile(const uint8_t* data, size_t size, AutoClickSettings& out) {
    if (size != sizeof(AutoClickSettings)) return false;
    return takeSettings(data, out);
}

AutoClickSettings autoClickSettingsForFirstShowing(const uint8_t* block, size_t size) {
    AutoClickSettings settings{};
    if (block && settingsFromBlock(block, size, settings)) return settings;
    return defaultAutoClickSettings();
}

void setAutoClickName(AutoClickSettings& s, const std::string& utf8) {
    std::string cp949 = text::utf8ToCp949(utf8.empty() ? std::string("이름 없슴") : utf8);
    std::memset(s.name, 0, sizeof(s.name));
    storeFixedText(s.name, 60, cp949);
}

std::string autoClickName(const AutoClickSettings& s) {
    size_t length = 0;
    while (length < sizeof(s.name) && s.name[length] != '\0') ++length;
    return text::cp949ToUtf8(std::string_view(s.name, length));
}

bool AutoKeyBox::keyDown(AutoClickSettings& settings, int row, int64_t nowMs) {
    if (!keyCodeOfRow(row)) return false;
    if (row == lastRow_ && nowMs - lastTime_ < 49) return false;
    if (settings.keyCount >= kMaxAutoKeys) return false;
    if (settings.keyCount < 0) settings.keyCount = 0;
    settings.keyRows[settings.keyCount++] = static_cast<uint8_t>(row);
    lastRow_ = row;
    lastTime_ = nowMs;
    return true;
}

} // namespace quillon::control
