// Header caches of the macro pages and the scheduling dialog: the headers of
// one kind of memory, read in index order the first time they are needed and
// updated after every write made through them, so that the lists show names
// without asking the machine again. Also the list lines and progress texts.
#pragma once

#include "device/macro_memory.h"
#include "device/memory_headers.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

template <typename Header, size_t Count>
class MemoryHeaderCache {
public:
    static constexpr size_t kCount = Count;

    // Reads every header in index order; stops at the first failure.
    bool fill(MacroMemory& memory, int location);
    bool filled() const { return filled_; }
    // Drops the cache: the next fill asks the machine again.
    void invalidate() { filled_ = false; }

    const Header& header(size_t index) const { return headers_.at(index); }
    void update(size_t index, const Header& header) { headers_.at(index) = header; }
    bool isEmpty(size_t index) const { return isEmptyMemory(headers_.at(index)); }
    // "비어 있슴" for an empty memory; a valid one with an empty name is named
    // "새로 만든 매크로" (in the cache entry itself).
    std::string name(size_t index);

private:
    std::array<Header, Count> headers_{};
    bool filled_ = false;
};

using RecordedHeaderCache = MemoryHeaderCache<RecordedMemoryHeader, kRecordedMemoryCount>;
using EditHeaderCache = MemoryHeaderCache<EditMemoryHeader, kEditMemoryCount>;
using CombinationHeaderCache = MemoryHeaderCache<CombinationMemoryHeader, kCombinationMemoryCount>;

// ---- operations that keep a cache in step ------------------------------------------
// The cached header becomes magic 0, length 0, name "비어 있슴"; then the header
// write (the recorded one goes out with magic 0x6688 and length 0).
bool clearRecorded(MacroMemory& memory, RecordedHeaderCache& cache, size_t index, int location);
bool clearEdit(MacroMemory& memory, EditHeaderCache& cache, size_t index, int location);
bool clearCombination(MacroMemory& memory, CombinationHeaderCache& cache, size_t index, int location);
// Same memory: only the header is rewritten with the new name and flags.
// Empty source: the source header with the new name and flags goes to the
// target. Otherwise the source's header and body are read (with progress) and
// written to the target under the new name and flags.
bool copyRecorded(MacroMemory& memory, RecordedHeaderCache& cache, size_t source, size_t target, std::string_view newName,
                  uint16_t newFlags, int location, const MemoryProgress* progress = nullptr);

// ---- list lines (memory pickers) ----------------------------------------------------------
// "  %d-%d메모리---%s"
std::string memoryListLine(size_t index, std::string_view name);
// "  %d-%d메모리(%d)---%s" for a memory with a body, else the plain line.
std::string editLoadListLine(size_t index, std::string_view name, std::optional<size_t> length);
// "  %d번 메모리---%s"
std::string combinationListLine(size_t index, std::string_view name);
// Echo of a click in the dialog's text line: "%d-%d번메모리     %s", "%d번 메모리     %s".
std::string memoryEcho(size_t index, std::string_view name);
std::string combinationEcho(size_t index, std::string_view name);
// Every line of a cache, in index order (edit memories for loading with their lengths).
std::vector<std::string> listLines(RecordedHeaderCache& cache);
std::vector<std::string> listLines(EditHeaderCache& cache, bool forLoading = false);
std::vector<std::string> listLines(CombinationHeaderCache& cache);

// ---- progress texts ----------------------------------------------------------------------
inline constexpr const char* kProgressWaitText = "잠시만 기다려 주세요 ....";
std::string recordedToFileText(size_t index, std::string_view fileName);
std::string recordedAppendedToFileText(size_t index, std::string_view fileName);
std::string editAppendedToFileText(size_t index, std::string_view fileName);
std::string embeddedRecordedToMemoryText(std::string_view fileName, size_t index);
std::string embeddedEditToMemoryText(std::string_view fileName, size_t index);

} // namespace quillon
