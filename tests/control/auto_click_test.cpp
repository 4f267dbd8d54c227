#include <gtest/gtest.h>

#include <cstring>

#include "control/auto_click.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

using testing::hex;
using testing::rowOf;

TEST(AutoClickCoupledFields, SpeedSetsTimesAndTimesSetSpeed) {
    const struct {
        int speed, press, release;
    } speeds[] = {{50, 10, 10}, {1, 200, 800}, {3, 166, 167}, {500, 1, 1}, {7, 71, 72}};
    for (auto c : speeds) {
        auto t = timesForSpeed(c.speed);
        EXPECT_EQ(t.press, c.press) << c.speed;
        EXPECT_EQ(t.release, c.release) << c.speed;
    }
    EXPECT_EQ(speedForTimes(30, 40), 15);
    EXPECT_EQ(speedForTimes(10, 10), 50);
    EXPECT_EQ(speedForTimes(0, 0), 0);
}

TEST(AutoClickValidation, OrderAndMessages) {
    struct Case {
        void (*change)(AutoClickSettings&);
        const char* message;
    };
    const Case cases[] = {
        {[](AutoClickSettings& s) { s.clickSpeed = 501; s.clickPress = 0; }, "정확한 자동클릭 속도를 입력해주세요(1~500)"},
        {[](AutoClickSettings& s) { s.clickPress = 65000; }, "정확한 버튼 누르고 있는 시간을 입력해주세요(1~65000)"},
        {[](AutoClickSettings& s) { s.clickRelease = 0; }, "정확한 버튼 떼고 있는 시간을 입력해주세요(1~65000)"},
        {[](AutoClickSettings& s) { s.clickBurstOn = 1; }, "정확한 점사수을 입력해주세요(1~65000)"},
        {[](AutoClickSettings& s) { s.clickBurstOn = 1; s.clickBurstCount = 3; }, "정확한 점사간격을 입력해주세요(1~65000)"},
        {[](AutoClickSettings& s) { s.keySpeed = 0; }, "정확한 자동키 속도를 입력해주세요(1~500)"},
        {[](AutoClickSettings& s) { s.keyPress = -1; }, "정확한 키를 누르고 있는 시간을 입력해주세요(1~65000)"},
        {[](AutoClickSettings& s) { s.keyRelease = 65000; }, "정확한 키를 떼고 있는 시간을 입력해주세요(1~65000)"},
        {[](AutoClickSettings& s) { s.keyBurstOn = 1; }, "정확한 키 점사수을 입력해주세요(1~65000)"},
        {[](AutoClickSettings& s) { s.keyBurstOn = 1; s.keyBurstCount = 64999; }, "정확한 키 점사간격을 입력해주세요(1~65000)"},
        {[](AutoClickSettings& s) { s.clickBurstCount = 0; s.clickPress = 64999; }, ""}, // burst off: not checked
    };
    for (const Case& c : cases) {
        AutoClickSettings s = defaultAutoClickSettings();
        c.change(s);
        EXPECT_EQ(validateAutoClick(s), c.message);
    }
}

TEST(AutoClickCode, Generation) {
    struct Case {
        const char* name;
        void (*change)(AutoClickSettings&);
        const char* code;
    };
    const Case cases[] = {
        {"LeftNoBurst", [](AutoClickSettings&) {}, "10 70 00 0A 13 70 00 0A EE"},
        {"RightWithBurst",
         [](AutoClickSettings& s) {
             s.button = 2;
             s.clickBurstOn = 1;
             s.clickBurstCount = 3;
             s.clickBurstInterval = 100;
         },
         "4B 00 16 58 00 00 03 00 00 12 70 00 0A 15 70 00 0A 67 70 00 5A 61 EE"},
        {"BurstGapNeverNegative",
         [](AutoClickSettings& s) {
             s.button = 4;
             s.clickBurstOn = 1;
             s.clickBurstCount = 1;
             s.clickBurstInterval = 5;
         },
         "4A 00 16 58 00 00 01 00 00 11 70 00 0A 14 70 00 0A 67 70 00 00 61 EE"},
        {"KeysWithTriggerAndBurst",
         [](AutoClickSettings& s) {
             s.clickOn = 0;
             s.keyOn = 1;
             s.keyCount = 2;
             s.keyRows[0] = static_cast<uint8_t>(rowOf(0x04));
             s.keyRows[1] = static_cast<uint8_t>(rowOf(0x05));
             s.triggerOn = 1;
             s.triggerRow = rowOf(0x3A);
             s.keyBurstOn = 1;
             s.keyBurstCount = 2;
             s.keyBurstInterval = 30;
         },
         "43 3A 00 23 58 00 00 02 00 00 01 04 70 00 0A 02 04 70 00 0A 01 05 70 00 0A 02 05 70 00 0A 67 70 00 14 60 EE"},
        {"KeyOnWithoutKeys", [](AutoClickSettings& s) { s.clickOn = 0; s.keyOn = 1; }, "EE"},
    };
    for (const Case& c : cases) {
        AutoClickSettings s = defaultAutoClickSettings();
        c.change(s);
        EXPECT_EQ(hex(generateAutoClickCode(s)), c.code) << c.name;
    }
}

TEST(AutoClickBlock, CodeThenSettingsAndMagicChecks) {
    AutoClickSettings s = defaultAutoClickSettings();
    setAutoClickName(s, "");
    std::array<uint8_t, kAutoClickBlockSize> block;
    block.fill(0xAA);
    ASSERT_TRUE(buildAutoClickBlock(s, block));
    EXPECT_EQ(block[8], 0xEE);
    EXPECT_EQ(block[9], 0);
    EXPECT_EQ(std::memcmp(block.data() + 256, &s, sizeof(s)), 0);
    EXPECT_EQ(block[416], 0);
    EXPECT_EQ(block[511], 0);

    AutoClickSettings back{};
    ASSERT_TRUE(settingsFromBlock(block.data(), block.size(), back));
    EXPECT_STREQ(back.name, "\xC0\xCC\xB8\xA7 \xBE\xF8\xBD\xBF"); // "이름 없슴" in CP949
    block[260] = 0;
    EXPECT_FALSE(settingsFromBlock(block.data(), block.size(), back));
    EXPECT_FALSE(settingsFromFile(reinterpret_cast<const uint8_t*>(&s), 159, back));
    AutoClickSettings wrong = s;
    wrong.magic = 30005;
    EXPECT_FALSE(settingsFromFile(reinterpret_cast<const uint8_t*>(&wrong), sizeof(wrong), back));
    AutoClickSettings many = s;
    many.keyCount = 99;
    ASSERT_TRUE(settingsFromFile(reinterpret_cast<const uint8_t*>(&many), sizeof(many), back));
    EXPECT_EQ(back.keyCount, 10);

    AutoClickSettings invalid = s;
    invalid.clickSpeed = 0;
    EXPECT_FALSE(buildAutoClickBlock(invalid, block));
}

TEST(AutoKeyBox, TenKeysAndNoQuickRepeats) {
    AutoClickSettings s = defaultAutoClickSettings();
    AutoKeyBox box;
    EXPECT_TRUE(box.keyDown(s, 0, 1000));
    EXPECT_FALSE(box.keyDown(s, 0, 1048)); // key repeat of the same key
    EXPECT_TRUE(box.keyDown(s, 0, 1049));
    EXPECT_TRUE(box.keyDown(s, 1, 1050));
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(box.keyDown(s, 2 + i, 2000 + i));
    EXPECT_EQ(s.keyCount, 10);
    EXPECT_FALSE(box.keyDown(s, 20, 5000)); // an eleventh key is not added
    EXPECT_EQ(s.keyCount, 10);
    EXPECT_FALSE(box.keyDown(s, 200, 6000)); // not a key of the table
}

} // namespace
} // namespace quillon::control
