#include "control/forms/device_settings_forms.h"

#include <string_view>

#include "base/format_text.h"
#include "device/key_table.h"

namespace quillon::control {

const char* const kLockKeyChoices[3] = {"NumLock", "CapsLock", "ScrollLock"};

namespace {

constexpr uint8_t kLockValues[3] = {1, 2, 4};

int lockChoiceOf(uint8_t value) {
    for (int i = 0; i < 3; ++i) {
        if (kLockValues[i] == value) {
            return i;
        }
    }
    return 0;
}

uint8_t lockValueOf(int choice) { return kLockValues[choice >= 0 && choice < 3 ? choice : 0]; }

// The groups whose keys must differ from each other and from the stop key.
struct HotkeyGroup {
    int first;
    int last; // inclusive
};
constexpr HotkeyGroup kHotkeyGroups[] = {
    {hotkey_offset::kFunctionFirst, hotkey_offset::kBankFirst - 1},
    {hotkey_offset::kBankFirst, hotkey_offset::kMemoryFirst - 1},
    {hotkey_offset::kMemoryFirst, hotkey_offset::kStop - 1},
    {hotkey_offset::kKeyboardLock, hotkey_offset::kScheduleLock - 1},
};

} // namespace

OptionsView optionsViewOf(const OptionRecord& record, int systemMouseSpeed) {
    OptionsView view;
    view.version = formatText("%.2X.%.2X", (record.firmwareVersion >> 8) & 0xFF, record.firmwareVersion & 0xFF);
    view.deviceNumber = formatText("%u", static_cast<unsigned>(record.deviceNumber));
    int speed = record.mouseSpeed;
    if (speed > kMouseSpeedMax) {
        speed = systemMouseSpeed;
    }
    if (speed < kMouseSpeedMin) {
        speed = kMouseSpeedMin;
    } else if (speed > kMouseSpeedMax) {
        speed = kMouseSpeedMax;
    }
    view.form.mouseSpeed = speed;
    view.form.coordinateMouse = (record.flags & kOptionCoordinateMouse) != 0;
    return view;
}

BuiltOptions build(const OptionsForm& form, const OptionRecord& read) {
    static const FormCheck<OptionsField> kSpeedOutOfRange{"mouse-speed", OptionsField::MouseSpeed, ""};
    if (form.mouseSpeed < kMouseSpeedMin || form.mouseSpeed > kMouseSpeedMax) {
        return BuiltOptions::refused(kSpeedOutOfRange);
    }
    OptionRecord record = read;
    record.mouseSpeed = static_cast<uint8_t>(form.mouseSpeed);
    if (form.coordinateMouse) {
        record.flags |= kOptionCoordinateMouse;
    } else {
        record.flags &= static_cast<uint16_t>(~kOptionCoordinateMouse);
    }
    return BuiltOptions::of(record);
}

HotkeyForm formOf(const HotkeyRecord& record) {
    HotkeyForm form;
    for (int offset = 2; offset < static_cast<int>(kHotkeyRecordSize); ++offset) {
        form.keys[offset] = record.keys[offset - 2];
    }
    form.scheduleLockChoice = lockChoiceOf(form.keys[hotkey_offset::kScheduleLock]);
    form.screenshotLockChoice = lockChoiceOf(form.keys[hotkey_offset::kScreenshotLock]);
    return form;
}

BuiltHotkeys build(const HotkeyForm& form) {
    const uint8_t stop = form.keys[hotkey_offset::kStop];
    for (const HotkeyGroup& group : kHotkeyGroups) {
        for (int i = group.first; i <= group.last; ++i) {
            // Two boxes without a key (0) repeat each other like any two keys.
            const uint8_t key = form.keys[i];
            bool repeated = key == stop;
            for (int j = group.first; j <= group.last && !repeated; ++j) {
                repeated = j != i && form.keys[j] == key;
            }
            if (repeated) {
                const FormCheck<int> check{"duplicate", i, kDuplicateHotkeys};
                return BuiltHotkeys::refused(check);
            }
        }
    }
    HotkeyRecord record{};
    record.magic = kHotkeyRecordMagic;
    for (int offset = 2; offset < static_cast<int>(kHotkeyRecordSize); ++offset) {
        record.keys[offset - 2] = form.keys[offset];
    }
    record.keys[hotkey_offset::kScheduleLock - 2] = lockValueOf(form.scheduleLockChoice);
    record.keys[hotkey_offset::kScreenshotLock - 2] = lockValueOf(form.screenshotLockChoice);
    return BuiltHotkeys::of(record);
}

std::string hotkeyKeyText(uint8_t code) {
    static const KeyTable table(KeyNames::ControlPanel);
    const std::string_view name = code == 0xE7 ? std::string_view() : table.nameOfCode(code);
    return name.empty() ? std::string("None") : std::string(name);
}

std::string hotkeyPairText(const HotkeyForm& form, int offset) {
    if (form.keys[hotkey_offset::kPairFirst] == kNoPairKey) {
        return "X";
    }
    return hotkeyKeyText(form.keys[offset]);
}

} // namespace quillon::control
