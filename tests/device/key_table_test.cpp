#include "device/key_table.h"

#include <gtest/gtest.h>

#include <set>

namespace quillon {
namespace {

TEST(KeyTable, HoldsEveryRowOnceInCodeOrder) {
    KeyTable table;
    ASSERT_EQ(table.size(), 106u);
    std::set<uint8_t> codes, scans;
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_NE(table.row(i).code, 0) << i;
        EXPECT_FALSE(table.keyName(i).empty()) << i;
        if (i > 0) {
            EXPECT_LT(table.row(i - 1).code, table.row(i).code) << i;
        }
        codes.insert(table.row(i).code);
        scans.insert(table.row(i).scan);
    }
    EXPECT_EQ(codes.size(), 106u);
    EXPECT_EQ(scans.size(), 106u) << "a scan code would shadow another row";
    EXPECT_EQ(table.row(0).code, 0x04);
    EXPECT_EQ(table.row(105).code, 0xE7);
}

struct KeyCase {
    uint8_t code;
    uint8_t scan;
    const char* name;
};

TEST(KeyTable, NamedRowsCarryTheirScanCodeAndExactName) {
    const KeyCase cases[] = {
        {0x04, 0x1E, "A "},         {0x22, 0x06, "5"},           {0x27, 0x0B, "0 "},
        {0x28, 0x1C, "엔터"},       {0x31, 0x2B, "\\"},          {0x46, 0xB7, "PrintScreen"},
        {0x48, 0x45, "PAUSE"},      {0x53, 0xC5, "NUMLOCK"},     {0x58, 0x9C, "키패드 엔터"},
        {0x54, 0xB5, "키패드 /"},   {0x65, 0xDD, "목록 "},       {0x90, 0xF2, "한/영 "},
        {0x91, 0xF1, "한자 "},      {0xE3, 0xDB, "왼쪽GUI "},    {0xE4, 0x9D, "오른쪽Ctrl "},
        {0xE6, 0xB8, "오른쪽Alt "}, {0xE7, 0xDC, "오른쪽GUI "},  {0x4F, 0xCD, "→"},
        {0x50, 0xCB, "←"},          {0x51, 0xD0, "↓"},           {0x52, 0xC8, "↑"},
        {0x49, 0xD2, "INSERT"},     {0x4A, 0xC7, "HOME"},        {0x4B, 0xC9, "PAGEUP"},
        {0x4C, 0xD3, "DEL"},        {0x4D, 0xCF, "END"},         {0x4E, 0xD1, "PAGEDOWN"},
        {0x45, 0x58, "F12 "},       {0x63, 0x53, "키패드 Del"},  {0x2D, 0x0C, "_ "},
    };
    KeyTable table;
    for (const auto& c : cases) {
        auto row = table.rowOfCode(c.code);
        ASSERT_TRUE(row) << int(c.code);
        EXPECT_EQ(table.row(*row).scan, c.scan) << int(c.code);
        EXPECT_EQ(table.keyName(*row), c.name) << int(c.code);
    }
}

TEST(KeyTable, KeyMessagesFindTheirRow) {
    struct MessageCase {
        uint8_t scan;
        bool extended;
        uint8_t code;
        const char* name;
    };
    const MessageCase cases[] = {
        {0x1D, false, 0xE0, "왼쪽Ctrl "}, {0x1D, true, 0xE4, "오른쪽Ctrl "},
        {0x1C, false, 0x28, "엔터"},      {0x1C, true, 0x58, "키패드 엔터"},
        {0x38, true, 0xE6, "오른쪽Alt "}, {0x4B, true, 0x50, "←"},
        {0x4B, false, 0x5C, "키패드 4"},  {0xC5, false, 0x53, "NUMLOCK"},
    };
    KeyTable table;
    for (const auto& c : cases) {
        auto row = table.rowOfKeyMessage(c.scan, c.extended);
        ASSERT_TRUE(row) << int(c.scan);
        EXPECT_EQ(table.codeOf(*row), c.code);
        EXPECT_EQ(table.keyName(*row), c.name);
    }
    EXPECT_FALSE(table.rowOfKeyMessage(0x7F, false)); // no such key: box unchanged
}

TEST(KeyTable, CodesWithoutARowHaveNoName) {
    KeyTable table;
    for (uint8_t code : {0x00, 0x32, 0x64, 0x66, 0x8F, 0x92, 0xDF, 0xE8, 0xFF}) {
        EXPECT_FALSE(table.rowOfCode(code)) << int(code);
        EXPECT_TRUE(table.nameOfCode(code).empty()) << int(code);
    }
    EXPECT_TRUE(table.keyName(106).empty());
}

TEST(KeyTable, MinusKeyNameDependsOnTheProgram) {
    EXPECT_EQ(KeyTable(KeyNames::ControlPanel).nameOfCode(0x2D), "_ ");
    EXPECT_EQ(KeyTable(KeyNames::AnalyzerEditor).nameOfCode(0x2D), "- ");
    EXPECT_EQ(KeyTable(KeyNames::AnalyzerEditor).nameOfCode(0x2E), "= ");
}

} // namespace
} // namespace quillon
