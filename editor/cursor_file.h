// The cursor file of a screenshot set: where the cursor was at the capture
// and, when it was showing, its mask and colour images. The file comes from
// outside the editor, so every size in it is checked against the bytes there
// and against the room a cursor sample has.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analyzer/records.h"

namespace quillon::editor {

inline constexpr uint32_t kCursorHasMask = 1;
inline constexpr uint32_t kCursorHasColour = 2;
inline constexpr size_t kCursorImageHeaderBytes = 40;
inline constexpr size_t kCursorImageBitsCapacity = sizeof(analyzer::CursorSample::maskBits);

struct CursorImage {
    std::array<uint8_t, kCursorImageHeaderBytes> header{};
    std::vector<uint8_t> bits;
};

struct CursorCapture {
    int32_t x = 0;
    int32_t y = 0;
    // Parts present: bit 0 mask, bit 1 colour. Only the parts that were
    // read whole are set; a damaged image part is dropped.
    uint32_t parts = 0;
    CursorImage mask;
    CursorImage colour;
};

// False when not even the position is there. Image parts that are cut short,
// or larger than a cursor sample holds, are left out of `parts`.
bool parseCursorFile(const uint8_t* bytes, size_t size, CursorCapture& capture);

// Fills a cursor sample's images from a capture (name and list place are the
// caller's).
void storeCursorImages(const CursorCapture& capture, analyzer::CursorSample& sample);

} // namespace quillon::editor
