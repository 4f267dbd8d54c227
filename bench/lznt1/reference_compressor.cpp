#include "bench/lznt1/reference_compressor.h"

#include <algorithm>

#include "base/lznt1_format.h"

namespace quillon::lznt1::reference {

namespace {

using format::kChunkSize;
using format::kMinMatch;

// Returns the compressed body, or an empty one when it would not shrink.
std::vector<uint8_t> compressChunk(const uint8_t* chunk, size_t size) {
    std::vector<uint8_t> body;
    size_t flagAt = 0;
    unsigned tokenIndex = 8;
    size_t position = 0;
    while (position < size) {
        if (tokenIndex == 8) {
            flagAt = body.size();
            body.push_back(0);
            tokenIndex = 0;
        }
        size_t bestLength = 0;
        size_t bestDisplacement = 0;
        if (position > 0 && size - position >= kMinMatch) {
            const size_t limit = std::min(format::maxMatchLength(position), size - position);
            for (size_t earlier = position; earlier-- > 0;) {
                size_t length = 0;
                while (length < limit && chunk[earlier + length] == chunk[position + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDisplacement = position - earlier;
                    if (length == limit) {
                        break;
                    }
                }
            }
        }
        if (bestLength >= kMinMatch) {
            const uint16_t token = format::matchToken(position, bestDisplacement, bestLength);
            body.push_back(static_cast<uint8_t>(token));
            body.push_back(static_cast<uint8_t>(token >> 8));
            body[flagAt] = static_cast<uint8_t>(body[flagAt] | (1u << tokenIndex));
            position += bestLength;
        } else {
            body.push_back(chunk[position++]);
        }
        ++tokenIndex;
    }
    if (body.size() >= size) {
        body.clear();
    }
    return body;
}

} // namespace

std::vector<uint8_t> compress(const uint8_t* src, size_t size) {
    std::vector<uint8_t> out;
    for (size_t offset = 0; offset < size; offset += kChunkSize) {
        const size_t chunkSize = std::min(kChunkSize, size - offset);
        std::vector<uint8_t> body = compressChunk(src + offset, chunkSize);
        const bool compressed = !body.empty();
        if (!compressed) {
            body.assign(src + offset, src + offset + chunkSize);
        }
        const uint16_t header = format::chunkHeader(body.size(), compressed);
        out.push_back(static_cast<uint8_t>(header));
        out.push_back(static_cast<uint8_t>(header >> 8));
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

} // namespace quillon::lznt1::reference
