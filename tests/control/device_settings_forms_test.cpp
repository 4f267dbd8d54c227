#include <gtest/gtest.h>

#include <cstring>

#include "control/forms/device_settings_forms.h"

namespace quillon::control {
namespace {

// A record as the machine holds it after its hotkey reset, every key distinct.
HotkeyForm distinctKeys() {
    HotkeyForm form;
    for (int offset = 2; offset < 28; ++offset) {
        form.keys[offset] = static_cast<uint8_t>(0x04 + offset); // A.. and on
    }
    form.keys[hotkey_offset::kPairFirst] = kNoPairKey;
    return form;
}

TEST(HotkeyForm, DuplicatesWithinAGroupOrWithTheStopKeyAreRefused) {
    const uint8_t start = distinctKeys().keys[hotkey_offset::kFunctionFirst];
    const struct {
        const char* what;
        int offset;
        uint8_t key;
        bool accepted;
        int focus;
    } cases[] = {
        {"녹화시작 = 재생시작", hotkey_offset::kFunctionFirst + 1, start, false, hotkey_offset::kFunctionFirst},
        {"녹화시작 = bank 1번", hotkey_offset::kBankFirst, start, true, 0},
        {"memory 8번 = memory 1번", hotkey_offset::kStop - 1, distinctKeys().keys[hotkey_offset::kMemoryFirst], false,
         hotkey_offset::kMemoryFirst},
        {"64배속 = stop", hotkey_offset::kScheduleLock - 1, distinctKeys().keys[hotkey_offset::kStop], false,
         hotkey_offset::kScheduleLock - 1},
        {"keyboard lock = 1배속", hotkey_offset::kSpeedFirst, distinctKeys().keys[hotkey_offset::kKeyboardLock],
         false, hotkey_offset::kKeyboardLock},
        {"pair = 녹화시작 (pair not checked)", hotkey_offset::kPairSecond, start, true, 0},
        {"two empty boxes", hotkey_offset::kBankFirst, 0, false, hotkey_offset::kBankFirst},
        {"one empty box", hotkey_offset::kMemoryFirst, 0, true, 0},
    };
    for (const auto& c : cases) {
        HotkeyForm form = distinctKeys();
        form.keys[c.offset] = c.key;
        if (c.key == 0 && c.offset == hotkey_offset::kBankFirst) {
            form.keys[hotkey_offset::kBankFirst + 1] = 0;
        }
        const BuiltHotkeys built = build(form);
        EXPECT_EQ(built.ok(), c.accepted) << c.what;
        if (!c.accepted) {
            EXPECT_EQ(built.message, kDuplicateHotkeys) << c.what;
            EXPECT_EQ(built.field, c.focus) << c.what;
        }
    }
}

TEST(HotkeyForm, RecordCarriesMagicKeysAndLockChoices) {
    HotkeyRecord read{};
    read.magic = kHotkeyRecordMagic;
    for (int i = 0; i < 30; ++i) {
        read.keys[i] = static_cast<uint8_t>(0x10 + i);
    }
    read.keys[hotkey_offset::kScheduleLock - 2] = 4;  // ScrollLock
    read.keys[hotkey_offset::kScreenshotLock - 2] = 9; // not a lock value
    HotkeyForm form = formOf(read);
    EXPECT_EQ(form.scheduleLockChoice, 2);
    EXPECT_EQ(form.screenshotLockChoice, 0);
    form.scheduleLockChoice = 1;
    const BuiltHotkeys built = build(form);
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(+built.value->magic, kHotkeyRecordMagic);
    EXPECT_EQ(built.value->keys[0], 0x10);
    EXPECT_EQ(built.value->keys[hotkey_offset::kScheduleLock - 2], 2);   // CapsLock
    EXPECT_EQ(built.value->keys[hotkey_offset::kScreenshotLock - 2], 1); // NumLock
    EXPECT_EQ(built.value->keys[29], 0x10 + 29);
}

TEST(HotkeyForm, KeyBoxTexts) {
    EXPECT_EQ(hotkeyKeyText(0x04), "A ");
    EXPECT_EQ(hotkeyKeyText(0x2D), "_ ");
    EXPECT_EQ(hotkeyKeyText(0xE6), "오른쪽Alt ");
    EXPECT_EQ(hotkeyKeyText(0xE7), "None");
    EXPECT_EQ(hotkeyKeyText(0x32), "None");
    EXPECT_EQ(hotkeyKeyText(0x00), "None");
    HotkeyForm form;
    form.keys[hotkey_offset::kPairFirst] = kNoPairKey;
    form.keys[hotkey_offset::kPairSecond] = 0x04;
    EXPECT_EQ(hotkeyPairText(form, hotkey_offset::kPairFirst), "X");
    EXPECT_EQ(hotkeyPairText(form, hotkey_offset::kPairSecond), "X");
    form.keys[hotkey_offset::kPairFirst] = 0x05;
    EXPECT_EQ(hotkeyPairText(form, hotkey_offset::kPairSecond), "A ");
}

TEST(OptionsForm, ViewAndWrittenRecord) {
    OptionRecord read{};
    read.magic = kOptionRecordMagic;
    for (size_t i = 0; i < sizeof read.deviceData; ++i) {
        read.deviceData[i] = static_cast<uint8_t>(i * 7);
    }
    read.flags = 0x8001;
    read.mouseSpeed = 33; // above 20: the system's speed is shown
    read.deviceNumber = 123456;
    read.firmwareVersion = 0x010A;
    OptionsView view = optionsViewOf(read, 10);
    EXPECT_EQ(view.version, "01.0A");
    EXPECT_EQ(view.deviceNumber, "123456");
    EXPECT_EQ(view.form.mouseSpeed, 10);
    EXPECT_FALSE(view.form.coordinateMouse);
    read.mouseSpeed = 7;
    EXPECT_EQ(optionsViewOf(read, 10).form.mouseSpeed, 7);

    view.form.mouseSpeed = 20;
    view.form.coordinateMouse = true;
    BuiltOptions built = build(view.form, read);
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(+built.value->flags, 0x8005);
    EXPECT_EQ(+built.value->mouseSpeed, 20);
    EXPECT_EQ(0, std::memcmp(built.value->deviceData, read.deviceData, sizeof read.deviceData));
    view.form.coordinateMouse = false;
    EXPECT_EQ(+build(view.form, *built.value).value->flags, 0x8001);
    for (int speed : {0, 21}) {
        view.form.mouseSpeed = speed;
        EXPECT_FALSE(build(view.form, read).ok()) << speed;
    }
}

} // namespace
} // namespace quillon::control
