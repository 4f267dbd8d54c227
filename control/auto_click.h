// Auto-click and auto-key: the settings record, its validation, the coupled
// speed and time fields, and the short program generated for the machine's
// 512-byte auto-click block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::control {

constexpr int32_t kAutoClickMagic = 30004;
constexpr size_t kAutoClickBlockSize = 512;
constexpr size_t kAutoClickSettingsOffset = 256;
constexpr int kMaxAutoKeys = 10;

// Every field lies on its natural boundary; the asserts pin the layout.
struct AutoClickSettings {
    uint8_t keyboardLock;   // 0
    uint8_t mouseLock;      // 1
    uint8_t unused[2];      // 2
    int32_t magic;          // 4: 30004
    int32_t clickOn;        // 8
    int32_t keyOn;          // 12
    int32_t button;         // 16: 1 left, 4 middle, 2 right
    int32_t clickSpeed;     // 20: clicks per second
    int32_t clickPress;     // 24: ms
    int32_t clickRelease;   // 28: ms
    int32_t clickBurstOn;   // 32
    int32_t clickBurstCount;    // 36
    int32_t clickBurstInterval; // 40: ms
    int32_t keyCount;       // 44: 0..10
    uint8_t keyRows[16];    // 48: key table rows
    int32_t keySpeed;       // 64
    int32_t keyPress;       // 68
    int32_t keyRelease;     // 72
    int32_t keyBurstOn;     // 76
    int32_t keyBurstCount;  // 80
    int32_t keyBurstInterval; // 84
    int32_t triggerOn;      // 88
    int32_t triggerRow;     // 92
    char name[64];          // 96: CP949, at most 59 bytes
};
static_assert(sizeof(AutoClickSettings) == 160);
static_assert(offsetof(AutoClickSettings, magic) == 4);
static_assert(offsetof(AutoClickSettings, keyCount) == 44);
static_assert(offsetof(AutoClickSettings, keyRows) == 48);
static_assert(offsetof(AutoClickSettings, keySpeed) == 64);
static_assert(offsetof(AutoClickSettings, triggerRow) == 92);
static_assert(offsetof(AutoClickSettings, name) == 96);

// What the page shows the first time when the machine holds no valid record.
AutoClickSettings defaultAutoClickSettings();

// The first failing field's message (UTF-8), or empty when all are valid.
std::string validateAutoClick(const AutoClickSettings& settings);

// Coupled fields: a speed sets press and release; press and release set the speed.
struct PressRelease {
    int press;
    int release;
};
PressRelease timesForSpeed(int speed);
int speedForTimes(int press, int release);

// The machine program for the settings, ended by 238; at most 256 bytes
// (the settings are validated first).
std::vector<uint8_t> generateAutoClickCode(const AutoClickSettings& settings);

// The 512-byte block: code, then the settings at 256, the rest zero. Returns
// false when the settings are not valid or their code does not fit.
bool buildAutoClickBlock(const AutoClickSettings& settings, std::array<uint8_t, kAutoClickBlockSize>& block);

// Settings of a block or a file; false when the magic is wrong (or the size).
// Counts and rows are brought into range so that the page can show them.
bool settingsFromBlock(const uint8_t* block, size_t size, AutoClickSettings& out);
bool settingsFromFile(const uint8_t* data, size_t size, AutoClickSettings& out);

// The page's first showing: the machine's record when its block holds a
// valid one, else the defaults.
AutoClickSettings autoClickSettingsForFirstShowing(const uint8_t* block, size_t size);

// Messages of loading.
constexpr const char* kAutoClickBadDeviceRecord = "잘못된 데이터입니다.";
constexpr const char* kAutoClickLoadFailed = "불러오기 실패";
constexpr const char* kAutoClickLoaded = "불러오기 완료";

// Sets the name (UTF-8); an empty name becomes "이름 없슴".
void setAutoClickName(AutoClickSettings& settings, const std::string& utf8);
// The name as the page and the scheduling list show it (UTF-8).
std::string autoClickName(const AutoClickSettings& settings);

// The key box: adds a key row unless ten are listed or it repeats the last
// accepted key within 49 ms. Returns true when the key was added.
class AutoKeyBox {
public:
    bool keyDown(AutoClickSettings& settings, int row, int64_t nowMs);

private:
    int lastRow_ = -1;
    int64_t lastTime_ = 0;
};

} // namespace quillon::control
