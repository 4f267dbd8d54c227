#include "editor/machine_macros.h"

#include <cstddef>
#include <cstring>

#include "base/text.h"
#include "base/format_text.h"

namespace quillon::editor {

namespace {

// The three header types share the name and the body length's place.
constexpr size_t kNameOffset = offsetof(RecordedMemoryHeader, name);
constexpr size_t kNameBytes = kMemoryNameField;
constexpr size_t kBodyLengthOffset = offsetof(RecordedMemoryHeader, bodyLength);
static_assert(offsetof(EditMemoryHeader, bodyLength) == kBodyLengthOffset &&
              offsetof(CombinationMemoryHeader, bodyLength) == kBodyLengthOffset);

bool validIndex(MacroKind kind, int index) { return index >= 0 && index < (kind == MacroKind::Combination ? 8 : 32); }

std::string numberOf(MacroKind kind, int index) {
    return kind == MacroKind::Combination ? formatText("[%d]", index + 1) : formatText("[%d-%d]", index / 8 + 1, index % 8 + 1);
}

const char* kindWord(MacroKind kind) {
    switch (kind) {
    case MacroKind::Recorded: return "녹화매크로";
    case MacroKind::Edit: return "편집매크로";
    case MacroKind::Combination: return "조합매크로";
    }
    return "";
}

} // namespace

std::string listedMacroName(MacroKind kind, int index, const std::vector<uint8_t>& header) {
    if (analyzer::bodyLengthOf(kind, header) == 0) {
        return numberOf(kind, index) + "빈 " + kindWord(kind);
    }
    const char* name = reinterpret_cast<const char*>(header.data() + kNameOffset);
    size_t length = strnlen(name, kNameBytes);
    if (length == 0) {
        return numberOf(kind, index) + "New " + kindWord(kind);
    }
    return text::cp949ToUtf8(std::string_view(name, length));
}

const std::string& MacroNameLists::name(MacroKind kind, int index) const {
    static const std::string none;
    if (!validIndex(kind, index)) {
        return none;
    }
    switch (kind) {
    case MacroKind::Recorded: return recorded[index];
    case MacroKind::Edit: return edit[index];
    case MacroKind::Combination: return combination[index];
    }
    return none;
}

void MacroNameLists::take(MacroKind kind, int index, std::vector<uint8_t> header) {
    if (!validIndex(kind, index) || header.size() != analyzer::headerSizeOf(kind)) {
        return;
    }
    std::string listed = listedMacroName(kind, index, header);
    // An empty memory is listed with length 0.
    if (analyzer::bodyLengthOf(kind, header) == 0) {
        size_t width = kind == MacroKind::Recorded ? 4 : 2;
        std::memset(header.data() + kBodyLengthOffset, 0, width);
    }
    switch (kind) {
    case MacroKind::Recorded:
        recorded[index] = listed;
        recordedHeaders[index] = std::move(header);
        break;
    case MacroKind::Edit:
        edit[index] = listed;
        editHeaders[index] = std::move(header);
        break;
    case MacroKind::Combination:
        combination[index] = listed;
        combinationHeaders[index] = std::move(header);
        break;
    }
}

bool readMacroNameLists(MacroMemory& memory, Clock& clock, MacroNameLists& lists, int location) {
    std::vector<uint8_t> header;
    for (int n = 0; n < 32; ++n) {
        if (!analyzer::readHeaderBytes(memory, MacroKind::Recorded, n, header, location)) {
            return false;
        }
        lists.take(MacroKind::Recorded, n, header);
        clock.sleepMs(10);
        if (!analyzer::readHeaderBytes(memory, MacroKind::Edit, n, header, location)) {
            return false;
        }
        lists.take(MacroKind::Edit, n, header);
        clock.sleepMs(10);
    }
    for (int j = 0; j < 8; ++j) {
        if (!analyzer::readHeaderBytes(memory, MacroKind::Combination, j, header, location)) {
            return false;
        }
        lists.take(MacroKind::Combination, j, header);
        clock.sleepMs(10);
    }
    return true;
}

bool EditorMachineMacros::writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) {
    // A memory that was empty when it was embedded carries nothing to install:
    // the machine's own content of that memory stays.
    if (analyzer::bodyLengthOf(kind, header) == 0) {
        return true;
    }
    if (!MemoryMacroPort::writeHeader(kind, index, header)) {
        return false;
    }
    lists_.take(kind, index, header);
    return true;
}

std::string EditorMachineMacros::listedName(MacroKind kind, int index) { return lists_.name(kind, index); }

} // namespace quillon::editor
