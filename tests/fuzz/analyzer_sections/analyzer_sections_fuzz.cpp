// The sections of the analyzer file read on their own, each thousands of
// times a second: the first byte picks one.
//   0: a recognition image's header patched into a kept block, then its check;
//      an accepted block's pixel rectangle must lie inside the block.
//   1: one typing sentence patched into a kept sentence table, then its check;
//      an accepted sentence's key codes must lie inside the sentence.
//   2: a length-prefixed compressed block read into a destination of a
//      section's size (number pack, recognition image, sentence, small).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "analyzer/analyzer_file.h"
#include "analyzer/blocks.h"

namespace {

using namespace quillon::analyzer;

template <typename T>
T* keptBlock() {
    static T* block = static_cast<T*>(std::calloc(1, sizeof(T)));
    return block;
}

void recognitionImage(const uint8_t* data, size_t size) {
    RecognitionImage* block = keptBlock<RecognitionImage>();
    const size_t header = offsetof(RecognitionImage, pixels);
    std::memset(block, 0, header);
    std::memcpy(block, data, std::min(size, header));
    if (!checkRecognitionImage(*block)) {
        return;
    }
    const size_t lastRow = static_cast<size_t>(block->height - 1) * kImageRowStride;
    const size_t rowBytes = static_cast<size_t>(block->width) * 4;
    if (lastRow + rowBytes > sizeof block->pixels) {
        std::abort();
    }
    volatile uint8_t sink = block->pixels[lastRow + rowBytes - 1];
    (void)sink;
}

void sentence(const uint8_t* data, size_t size) {
    SentenceTable* table = keptBlock<SentenceTable>();
    if (size < 1) {
        return;
    }
    const size_t slot = data[0] % kSentenceCapacity;
    TypingSentence& s = table->sentences[slot];
    std::memset(&s, 0, sizeof s);
    std::memcpy(&s, data + 1, std::min(size - 1, sizeof s));
    const bool accepted = checkSentenceTable(*table);
    if (accepted) {
        if (s.keyCount < 0 || static_cast<size_t>(s.keyCount) > sizeof s.keyCodes) {
            std::abort();
        }
        unsigned sum = 0;
        for (int i = 0; i < s.keyCount; ++i) {
            sum += s.keyCodes[i];
        }
        volatile unsigned sink = sum;
        (void)sink;
    }
    std::memset(&s, 0, sizeof s);
}

void compressedBlock(const uint8_t* data, size_t size) {
    if (size < 1) {
        return;
    }
    static const size_t sizes[] = {sizeof(NumberPack), sizeof(RecognitionImage), sizeof(TypingSentence), 4096, 1};
    const size_t wanted = sizes[data[0] % std::size(sizes)];
    static std::vector<uint8_t> destination;
    destination.assign(wanted, 0);
    MemorySource source(data + 1, size - 1);
    const uint64_t before = source.bytesLeft();
    readBlock(source, destination.data(), destination.size());
    if (source.bytesLeft() > before) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    switch (data[0] % 3) {
    case 0:
        recognitionImage(data + 1, size - 1);
        break;
    case 1:
        sentence(data + 1, size - 1);
        break;
    default:
        compressedBlock(data + 1, size - 1);
        break;
    }
    return 0;
}
