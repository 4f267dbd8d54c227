// The options page without its window: the machine's option record and
// hotkey record as the page shows and edits them. Each form is a plain struct
// of the page's fields; `build` makes the record that goes back to the
// machine, or refuses with the page's message and the box to focus.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/form_result.h"
#include "device/device_records.h"

namespace quillon::control {

// ---- option record ------------------------------------------------------------------
constexpr int kMouseSpeedMin = 1;
constexpr int kMouseSpeedMax = 20;
constexpr const char* kSettingsSaved = "정보를 저장했습니다."; // caption "알림"

struct OptionsForm {
    int mouseSpeed = kMouseSpeedMin; // the slider, 1..20
    bool coordinateMouse = false;    // "좌표인식 마우스"; else "표준모드 마우스"
};

// What the page shows of a record read from the machine. A stored speed
// outside the slider's range is replaced by the system's mouse speed.
struct OptionsView {
    std::string version;      // "%.2X.%.2X"
    std::string deviceNumber; // decimal
    OptionsForm form;
};
OptionsView optionsViewOf(const OptionRecord& record, int systemMouseSpeed);

enum class OptionsField { None, MouseSpeed };
using BuiltOptions = FormBuilt<OptionRecord, OptionsField>;

// The record read from the machine with the page's speed and mouse mode; every
// other byte goes back as it was read.
BuiltOptions build(const OptionsForm& form, const OptionRecord& read);

// ---- hotkey record ------------------------------------------------------------------
// Offsets of the 32-byte record (the magic takes 0 and 1).
namespace hotkey_offset {
constexpr int kFunctionFirst = 2; // 녹화시작, 재생시작, 동작편집 매크로 시작, 조합매크로 시작
constexpr int kBankFirst = 6;     // 1번..4번
constexpr int kMemoryFirst = 10;  // 1번..8번
constexpr int kStop = 18;         // 매크로 종료
constexpr int kKeyboardLock = 19;
constexpr int kMouseLock = 20;
constexpr int kSpeedFirst = 21;   // 1배속..64배속
constexpr int kScheduleLock = 28; // 예약실행/종료 chooser
constexpr int kScreenshotLock = 29;
constexpr int kPairFirst = 30;    // 광클+광키
constexpr int kPairSecond = 31;
} // namespace hotkey_offset

constexpr uint8_t kNoPairKey = 0xFF; // offset 30: no pair, shown as "X"
constexpr const char* kDuplicateHotkeys = "겹치는 단축키가 있습니다.수정해주세요.";

// The lock-key choosers list "NumLock", "CapsLock", "ScrollLock"; the
// record holds 1, 2 and 4.
extern const char* const kLockKeyChoices[3];

struct HotkeyForm {
    // Key codes by record offset; 0 and 1 (the magic) are not used.
    std::array<uint8_t, kHotkeyRecordSize> keys{};
    int scheduleLockChoice = 0;   // 0..2
    int screenshotLockChoice = 0; // 0..2
};

HotkeyForm formOf(const HotkeyRecord& record);

// The refusal focuses the first box whose key repeats another of its group or
// the stop key; `field` is that record offset.
using BuiltHotkeys = FormBuilt<HotkeyRecord, int>;
BuiltHotkeys build(const HotkeyForm& form);

// What a key box shows for a code: the key's name, or "None" for a code
// without a row and for 0xE7 (the table's last row).
std::string hotkeyKeyText(uint8_t code);
// The pair boxes: "X" when offset 30 holds no pair.
std::string hotkeyPairText(const HotkeyForm& form, int offset);

} // namespace quillon::control
