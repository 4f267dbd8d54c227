// The machine macros an analyzer plays. At start-up the editor reads the
// header of every memory to know their names; saving with macros copies the
// used ones from the machine into the analyzer file, and opening such a file
// can write them back into the machine. The file side (the order of the
// sections, the questions and messages) lives with the analyzer file; this is
// the machine side it talks to.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analyzer/machine_macros.h"
#include "base/clock.h"
#include "device/macro_memory.h"

namespace quillon::editor {

using analyzer::MacroKind;

// The names shown for each memory (UTF-8), and the headers they came from
// (program byte order). An empty memory (wrong magic or length 0) is named
// "[%d-%d]빈 녹화매크로" etc. and listed with length 0; a valid one without a
// name is named "[%d-%d]New 녹화매크로" etc.
struct MacroNameLists {
    std::array<std::string, 32> recorded;
    std::array<std::string, 32> edit;
    std::array<std::string, 8> combination;
    std::array<std::vector<uint8_t>, 32> recordedHeaders;
    std::array<std::vector<uint8_t>, 32> editHeaders;
    std::array<std::vector<uint8_t>, 8> combinationHeaders;

    const std::string& name(MacroKind kind, int index) const;
    // Takes the name and header of one memory (after a read or a write).
    void take(MacroKind kind, int index, std::vector<uint8_t> header);
};

// The listed name of a header in program order.
std::string listedMacroName(MacroKind kind, int index, const std::vector<uint8_t>& header);

// Reads the lists: recorded n then edit n for n = 0..31, then combination
// 0..7, 10 ms apart. False at the first failed read. `location` is the
// call-site code a failed read carries.
bool readMacroNameLists(MacroMemory& memory, Clock& clock, MacroNameLists& lists, int location = 0);

// The port the analyzer file uses, over the machine's memories and the lists
// read at start-up. Headers written to the machine update the lists.
class EditorMachineMacros final : public analyzer::MemoryMacroPort {
public:
    EditorMachineMacros(MacroMemory& memory, MacroNameLists& lists, int location = 0)
        : MemoryMacroPort(memory, location), lists_(lists) {}

    bool writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) override;
    std::string listedName(MacroKind kind, int index) override;

private:
    MacroNameLists& lists_;
};

} // namespace quillon::editor
