// Moving macro memories between the programs and the machine. Every
// operation takes the memory index and a location code (chosen per call site,
// shown in the failure message), waits for the link's busy lock, and returns
// true on success. A failed exchange leaves the lock held: the program ends.
#pragma once

#include "device/link.h"
#include "device/memory_headers.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillon {

// Progress of a body transfer as the progress bar shows it: the range is set
// once per body (length / 64 + 1 reports), then the position follows the
// reports moved. An operation that moves several memories names each one
// through `setText` before its body moves.
struct MemoryProgress {
    std::function<void(int range)> setRange;
    std::function<void(int position)> setPosition;
    std::function<void(const std::string& text)> setText; // UTF-8
};

// Names the memory about to move, when there is a progress with a text line.
inline void announceMemory(const MemoryProgress* progress, const std::string& text) {
    if (progress && progress->setText) {
        progress->setText(text);
    }
}

// ---- recorded memories ------------------------------------------------------
// 0x30: acknowledgement, then the 63-byte header with magic forced to 0x6688.
bool writeRecordedHeader(Link& link, size_t index, const RecordedMemoryHeader& header, int location);
// 0x31: an empty or foreign header reads as name "비어 있슴", flags and lengths 0.
bool readRecordedHeader(Link& link, size_t index, RecordedMemoryHeader& header, int location);
// 0x32: acknowledgement, then header.length bytes of `body`.
bool writeRecordedBody(Link& link, size_t index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body,
                       int location, const MemoryProgress* progress = nullptr);
// 0x33: refused without any exchange unless the header has magic 0x6688 and a length.
bool readRecordedBody(Link& link, size_t index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body,
                      int location, const MemoryProgress* progress = nullptr);

// ---- edit memories ----------------------------------------------------------------
bool writeEditHeader(Link& link, size_t index, const EditMemoryHeader& header, int location);  // 0x38
bool readEditHeader(Link& link, size_t index, EditMemoryHeader& header, int location);         // 0x39
bool writeEditBody(Link& link, size_t index, const std::vector<uint8_t>& code, int location,   // 0x3A
                   const MemoryProgress* progress = nullptr);
// 0x3B after readEditHeader; refused unless magic 0x3377 and a length.
bool readEditBody(Link& link, size_t index, EditMemoryHeader& header, std::vector<uint8_t>& code, int location,
                  const MemoryProgress* progress = nullptr);

// ---- combination memories -----------------------------------------------------
bool writeCombinationHeader(Link& link, size_t index, const CombinationMemoryHeader& header, int location); // 0x34
bool readCombinationHeader(Link& link, size_t index, CombinationMemoryHeader& header, int location);        // 0x35
bool writeCombinationBody(Link& link, size_t index, const std::vector<uint8_t>& code, int location,         // 0x36
                          const MemoryProgress* progress = nullptr);
bool readCombinationBody(Link& link, size_t index, CombinationMemoryHeader& header, std::vector<uint8_t>& code,
                         int location, const MemoryProgress* progress = nullptr); // 0x37

// ---- headers and bodies as stored -------------------------------------------------
// The header read of each kind with every byte kept as the machine holds it
// (only the big-endian fields converted): an empty memory is not renamed, as
// files that carry the header must keep its bytes.
bool readHeaderAsStored(Link& link, size_t index, RecordedMemoryHeader& header, int location);
bool readHeaderAsStored(Link& link, size_t index, EditMemoryHeader& header, int location);
bool readHeaderAsStored(Link& link, size_t index, CombinationMemoryHeader& header, int location);
// The body a header read before announces, without reading the header again;
// refused without any exchange for an empty header.
bool readAnnouncedBody(Link& link, size_t index, const EditMemoryHeader& header, std::vector<uint8_t>& code,
                       int location, const MemoryProgress* progress = nullptr);
bool readAnnouncedBody(Link& link, size_t index, const CombinationMemoryHeader& header, std::vector<uint8_t>& code,
                       int location, const MemoryProgress* progress = nullptr);

// ---- auto-click block -----------------------------------------------------------
bool writeAutoClickBlock(Link& link, const uint8_t* block, int location); // 0x3C, 512 bytes
bool readAutoClickBlock(Link& link, uint8_t* block, int location);        // 0x3D, 512 bytes

// ---- composite operations ---------------------------------------------------------
bool storeRecorded(Link& link, size_t index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body,
                   int location, const MemoryProgress* progress = nullptr);
bool storeEdit(Link& link, size_t index, const EditMemoryHeader& header, const std::vector<uint8_t>& code,
               int location, const MemoryProgress* progress = nullptr);
bool storeCombination(Link& link, size_t index, const CombinationMemoryHeader& header,
                      const std::vector<uint8_t>& code, int location, const MemoryProgress* progress = nullptr);

} // namespace quillon
