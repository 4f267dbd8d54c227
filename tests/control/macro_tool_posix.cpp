// `quillon macro` on files this test writes (skipped when the tool is not built).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "control/memory_headers.h"
#include "control/macro_files.h"
#include "tests/control/control_test_support.h"
#include "tests/device/fake_macro_memory.h"

namespace quillon::control {
namespace {

std::string run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof(buffer), pipe)) output.append(buffer, n);
    pclose(pipe);
    return output;
}

TEST(QuillonMacroTool, CompilesFilesAndDecodesCode) {
    const std::string tool = std::string(QUILLON_BINARY_DIR) + "/bin/quillon";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "quillon is not built";
    const std::string folder = std::string(QUILLON_BINARY_DIR) + "/control-test-files/";
    std::filesystem::create_directories(folder);

    testing::Page edit;
    edit.add(testing::makeLine(88, {{8, 0}, {16, 3}}));
    edit.add(testing::makeLine(1, {{8, testing::rowOf(0x04)}}));
    edit.add(testing::makeLine(103));
    ASSERT_TRUE(saveEditFile(folder + "tool.eqn1", makeEditMemoryHeader("t", 0, 0), ExtraBlock{}, *edit.document,
                             *edit.store)
                    .ok);
    EXPECT_EQ(run(tool + " macro compile " + folder + "tool.eqn1"), "58 00 00 03 00 09 01 04 67 EE\n");

    testing::Page combination;
    combination.add(testing::makeLine(208, {{12, 8}}));
    combination.add(testing::makeLine(209, {{12, 31}}));
    quillon::testing::FakeMacroMemory memory;
    ASSERT_TRUE(saveCombinationFile(folder + "tool.cqn1", makeCombinationMemoryHeader("c", 0, 0, 0, 0), ExtraBlock{},
                                    *combination.document, memory)
                    .ok);
    EXPECT_EQ(run(tool + " macro compile " + folder + "tool.cqn1"),
              "recorded set 00000100, edit set 80000000\nD0 08 D1 1F EE\n");

    EXPECT_EQ(run(tool + " macro decode edit 58 00 00 03 00 09 01 04 67 EE"),
              "    1  반복 [A] 시작(3회) {.\n    2  \t[ A  ]키를 누른다.\n    3  } 반복 끝.\n");
}

} // namespace
} // namespace quillon::control
