#include "device/memory_cache.h"

#include <cstring>

namespace quillon {

namespace {

// Builds text from pieces without "literal" + std::string chains.
std::string join(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (std::string_view piece : pieces) {
        out.append(piece.data(), piece.size());
    }
    return out;
}

std::string number(size_t value) { return std::to_string(value); }

} // namespace

template <typename Header, size_t Count>
bool MemoryHeaderCache<Header, Count>::fill(MacroMemory& memory, int location) {
    for (size_t i = 0; i < Count; ++i) {
        if (!readListedHeader(memory, i, headers_[i], location)) {
            filled_ = false;
            return false;
        }
    }
    filled_ = true;
    return true;
}

template <typename Header, size_t Count>
std::string MemoryHeaderCache<Header, Count>::name(size_t index) {
    Header& header = headers_.at(index);
    if (isEmptyMemory(header)) {
        return kEmptyMemoryName;
    }
    if (header.name[0] == '\0') {
        setMemoryName(header.name, kNewMacroName);
    }
    return memoryName(header.name);
}

template class MemoryHeaderCache<RecordedMemoryHeader, kRecordedMemoryCount>;
template class MemoryHeaderCache<EditMemoryHeader, kEditMemoryCount>;
template class MemoryHeaderCache<CombinationMemoryHeader, kCombinationMemoryCount>;

// ---- clearing and copying ---------------------------------------------------------------

bool clearRecorded(MacroMemory& memory, RecordedHeaderCache& cache, size_t index, int location) {
    if (index >= RecordedHeaderCache::kCount) return false;
    RecordedMemoryHeader header = cache.header(index);
    header.magic = 0;
    header.bodyLength = 0;
    header.recordingLength = 0;
    setMemoryName(header.name, kEmptyMemoryName);
    cache.update(index, header);
    return memory.writeHeader(index, header, location);
}

bool clearEdit(MacroMemory& memory, EditHeaderCache& cache, size_t index, int location) {
    if (index >= EditHeaderCache::kCount) return false;
    EditMemoryHeader header = cache.header(index);
    header.magic = 0;
    header.bodyLength = 0;
    setMemoryName(header.name, kEmptyMemoryName);
    cache.update(index, header);
    return memory.writeHeader(index, header, location);
}

bool clearCombination(MacroMemory& memory, CombinationHeaderCache& cache, size_t index, int location) {
    if (index >= CombinationHeaderCache::kCount) return false;
    CombinationMemoryHeader header = cache.header(index);
    header.magic = 0;
    header.bodyLength = 0;
    setMemoryName(header.name, kEmptyMemoryName);
    cache.update(index, header);
    return memory.writeHeader(index, header, location);
}

bool copyRecorded(MacroMemory& memory, RecordedHeaderCache& cache, size_t source, size_t target, std::string_view newName,
                  uint16_t newFlags, int location, const MemoryProgress* progress) {
    if (source >= RecordedHeaderCache::kCount || target >= RecordedHeaderCache::kCount) return false;
    RecordedMemoryHeader header = cache.header(source);
    if (source == target || cache.isEmpty(source)) {
        setMemoryName(header.name, newName);
        header.flags = newFlags;
        if (!memory.writeHeader(target, header, location)) {
            return false;
        }
        header.magic = kRecordedMagic; // as the machine now holds it
        cache.update(target, header);
        return true;
    }
    std::vector<uint8_t> body;
    if (!readMacro(memory, source, header, body, location, progress)) {
        return false;
    }
    cache.update(source, header);
    setMemoryName(header.name, newName);
    header.flags = newFlags;
    if (!storeMacro(memory, target, header, body, location, progress)) {
        return false;
    }
    cache.update(target, header);
    return true;
}

// ---- list lines ----------------------------------------------------------------------

std::string memoryListLine(size_t index, std::string_view name) {
    return join({"  ", number(bankOf(index)), "-", number(slotOf(index)), "메모리---", name});
}

std::string editLoadListLine(size_t index, std::string_view name, std::optional<size_t> length) {
    if (!length) {
        return memoryListLine(index, name);
    }
    return join(
        {"  ", number(bankOf(index)), "-", number(slotOf(index)), "메모리(", number(*length), ")---", name});
}

std::string combinationListLine(size_t index, std::string_view name) {
    return join({"  ", number(index + 1), "번 메모리---", name});
}

std::string memoryEcho(size_t index, std::string_view name) {
    return join({number(bankOf(index)), "-", number(slotOf(index)), "번메모리     ", name});
}

std::string combinationEcho(size_t index, std::string_view name) {
    return join({number(index + 1), "번 메모리     ", name});
}

std::vector<std::string> listLines(RecordedHeaderCache& cache) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < cache.kCount; ++i) lines.push_back(memoryListLine(i, cache.name(i)));
    return lines;
}

std::vector<std::string> listLines(EditHeaderCache& cache, bool forLoading) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < cache.kCount; ++i) {
        const std::string name = cache.name(i);
        if (forLoading) {
            const std::optional<size_t> length =
                cache.isEmpty(i) ? std::nullopt : std::optional<size_t>(cache.header(i).bodyLength);
            lines.push_back(editLoadListLine(i, name, length));
        } else {
            lines.push_back(memoryListLine(i, name));
        }
    }
    return lines;
}

std::vector<std::string> listLines(CombinationHeaderCache& cache) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < cache.kCount; ++i) lines.push_back(combinationListLine(i, cache.name(i)));
    return lines;
}

// ---- progress texts -----------------------------------------------------------------------

std::string recordedToFileText(size_t index, std::string_view fileName) {
    return join({number(bankOf(index)), "-", number(slotOf(index)), "번 메모리를 [", fileName,
                 "]파일에 저장하고 있습니다."});
}

std::string recordedAppendedToFileText(size_t index, std::string_view fileName) {
    return join({number(bankOf(index)), "-", number(slotOf(index)), "녹화메모리를 [", fileName,
                 "]파일에 추가저장하고 있습니다."});
}

std::string editAppendedToFileText(size_t index, std::string_view fileName) {
    return join({number(bankOf(index)), "-", number(slotOf(index)), "편집메모리를 [", fileName,
                 "]파일에 추가저장하고 있습니다."});
}

std::string embeddedRecordedToMemoryText(std::string_view fileName, size_t index) {
    return join({"[", fileName, "]파일에 내장된 녹화매크로를 ", number(bankOf(index)), "-", number(slotOf(index)),
                 "녹화메모리에 저장하고 있습니다."});
}

std::string embeddedEditToMemoryText(std::string_view fileName, size_t index) {
    return join({"[", fileName, "]파일에 내장된 편집매크로를 ", number(bankOf(index)), "-", number(slotOf(index)),
                 "편집메모리에 저장하고 있습니다."});
}

} // namespace quillon
