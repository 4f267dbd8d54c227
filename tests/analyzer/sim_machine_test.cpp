// Embedded machine macros through the real memory transfer and the simulated
// machine: what one machine carries into a file, another receives on open.
// Built once the machine's memory transfer is part of the device library.
#if __has_include("device/memory_transfer.h")

#include <gtest/gtest.h>

#include <cstring>

#include "analyzer/analyzer_file.h"
#include "device/macro_memory.h"
#include "device/memory_transfer.h"
#include "file_fixtures.h"
#include "tests/device/sim_link_fixture.h"

namespace quillon::analyzer {
namespace {

constexpr int kLocation = 700;

std::vector<uint8_t> pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 13 + i / 7);
    }
    return bytes;
}

Command macroCommand(int action, int number) {
    Command c{};
    c.used = 1;
    c.set(0, CmdMacro);
    c.set(4, action);
    c.set(8, 1);
    c.set(12, number);
    return c;
}

TEST(EmbeddedMacrosOnTheSimulatedMachine, WhatOneMachineCarriesAnotherReceives) {
    testing::TempFolders folders;
    quillon::testing::SimLink source(LinkKind::Hid, Program::AnalyzerEditor, false);
    RecordedMemoryHeader recorded{};
    recorded.magic = kRecordedMagic;
    recorded.flags = 0x0203;
    std::memcpy(recorded.name, "walk", 4);
    recorded.bodyLength = 300;
    recorded.recordingLength = 4567;
    recorded.firstDelay[0] = 0x12;
    recorded.firstDelay[1] = 0x34;
    ASSERT_TRUE(storeRecorded(source.link, 9, recorded, pattern(300, 1), kLocation));
    RecordedMemoryHeader extra = recorded;
    extra.bodyLength = 70;
    ASSERT_TRUE(storeRecorded(source.link, 4, extra, pattern(70, 2), kLocation));
    EditMemoryHeader edit{};
    edit.magic = kEditMagic;
    std::memcpy(edit.name, "jump", 4);
    edit.bodyLength = 129;
    ASSERT_TRUE(storeEdit(source.link, 3, edit, pattern(129, 3), kLocation));
    CombinationMemoryHeader combination{};
    combination.magic = kCombinationMagic;
    combination.bodyLength = 20;
    combination.recordedSet = (1u << 4) | (1u << 9); // 9 is carried by the record already
    ASSERT_TRUE(storeCombination(source.link, 1, combination, pattern(20, 4), kLocation));

    LinkMacroMemory sourceMemory(source.link);
    MemoryMacroPort sourcePort(sourceMemory, kLocation);
    AnalyzerFile file(folders.image(), folders.sound());
    file.setMachine(&sourcePort);
    file.hooks().askEmbedMacros = [](const std::string&) { return true; };
    AnalyzerModel model;
    Item item{};
    ASSERT_TRUE(addCommand(item, macroCommand(cmd::Macro::PlayRecorded, 9)));
    ASSERT_TRUE(addCommand(item, macroCommand(cmd::Macro::PlayEdit, 3)));
    ASSERT_TRUE(addCommand(item, macroCommand(cmd::Macro::PlayCombination, 1)));
    ASSERT_TRUE(model.insertItem(0, item));
    FileResult saved = file.save(model, folders.save("macros.dat"));
    ASSERT_TRUE(saved.ok()) << saved.message;

    quillon::testing::SimLink target(LinkKind::Hid, Program::AnalyzerEditor, false);
    LinkMacroMemory targetMemory(target.link);
    MemoryMacroPort targetPort(targetMemory, kLocation);
    AnalyzerFile reader(folders.image(), folders.sound());
    reader.setMachine(&targetPort);
    reader.hooks().askInstallMacros = [](const std::string&) { return true; };
    AnalyzerModel opened;
    FileResult r = reader.open(opened, *saved);
    ASSERT_TRUE(r.ok()) << r.message;
    for (size_t n : {9u, 4u}) {
        EXPECT_EQ(target.machine.recordedMemory(n).header, source.machine.recordedMemory(n).header) << n;
        EXPECT_EQ(target.machine.recordedMemory(n).body, source.machine.recordedMemory(n).body) << n;
    }
    EXPECT_EQ(target.machine.editMemory(3).body, source.machine.editMemory(3).body);
    EXPECT_EQ(target.machine.editMemory(3).header, source.machine.editMemory(3).header);
    EXPECT_EQ(target.machine.combinationMemory(1).body, source.machine.combinationMemory(1).body);
    EXPECT_EQ(target.machine.combinationMemory(1).header, source.machine.combinationMemory(1).header);
    EXPECT_TRUE(target.machine.recordedMemory(0).body.empty());
}

} // namespace
} // namespace quillon::analyzer

#endif
