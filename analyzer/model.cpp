#include "analyzer/model.h"

#include <cstdio>
#include <cstring>

#include "base/format_text.h"
#include "base/text.h"

namespace quillon::analyzer {

namespace {

std::string numbered(const char* pattern, int number) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, number);
    return buffer;
}

} // namespace

std::string defaultRecognitionImageName(int number) { return numbered("인식이미지-%.4d", number); }
std::string defaultAreaName(int number) { return numbered("인식범위-%d", number); }
std::string defaultNumberPackName(int number) { return numbered("숫자샘플팩-%d", number); }
std::string defaultCursorName(int number) { return numbered("커서-%.2d", number); }
std::string defaultVariableName(int number) { return numbered("변수%.3d", number); }

std::string newAnalyzerTitle(const LocalTime& local) {
    return formatText("이미지 분석기%.4d%.2d%.2d%.2d%.2d", local.year, local.month, local.day, local.hour, local.minute);
}

AnalyzerModel::AnalyzerModel()
    : recognitionImages_(new ZeroedBlock<RecognitionImage>[kRecognitionImageCapacity]),
      numberPacks_(new ZeroedBlock<NumberPack>[kNumberPackCapacity]) {
    reset();
}

RecognitionImage* AnalyzerModel::recognitionImage(int slot) {
    return slot >= 0 && slot < kRecognitionImageCapacity ? recognitionImages_[slot].get() : nullptr;
}
const RecognitionImage* AnalyzerModel::recognitionImage(int slot) const {
    return slot >= 0 && slot < kRecognitionImageCapacity ? recognitionImages_[slot].get() : nullptr;
}
NumberPack* AnalyzerModel::numberPack(int slot) {
    return slot >= 0 && slot < kNumberPackCapacity ? numberPacks_[slot].get() : nullptr;
}
const NumberPack* AnalyzerModel::numberPack(int slot) const {
    return slot >= 0 && slot < kNumberPackCapacity ? numberPacks_[slot].get() : nullptr;
}

void AnalyzerModel::freeBlocks() {
    for (int i = 0; i < kRecognitionImageCapacity; ++i) {
        recognitionImages_[i].reset();
    }
    for (int i = 0; i < kNumberPackCapacity; ++i) {
        numberPacks_[i].reset();
    }
}

bool AnalyzerModel::reset() {
    freeBlocks();
    // Fresh zero pages instead of a memset: the untouched parts of the 75 MB
    // record then cost no memory.
    image_.reset();
    sentences_.reset();
    image_ = allocateZeroed<AnalyzerImage>();
    sentences_ = allocateZeroed<SentenceTable>();
    if (!valid()) {
        return false;
    }
    AnalyzerImage& a = *image_;
    a.activeVariableCount = kVariablesAtStart;
    a.nextRecognitionImageNumber = 1;
    a.nextNumberPackNumber = 1;
    a.nextAreaNumber = 1;
    a.nextCursorNumber = 1;
    // "변수%.3d": the prefix is converted once, the digits are ASCII.
    static const std::string prefix = text::utf8ToCp949("변수");
    for (int i = 0; i < kVariableCapacity; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%.3d", i);
        storeFixedText(a.variables[i].name, prefix + digits);
    }
    return true;
}

void AnalyzerModel::swap(AnalyzerModel& other) noexcept {
    image_.swap(other.image_);
    sentences_.swap(other.sentences_);
    recognitionImages_.swap(other.recognitionImages_);
    numberPacks_.swap(other.numberPacks_);
}

bool AnalyzerModel::addVariable() {
    if (image_->activeVariableCount >= kVariableCapacity) {
        return false;
    }
    ++image_->activeVariableCount;
    return true;
}

void AnalyzerModel::adoptRecognitionImage(int slot, ZeroedBlock<RecognitionImage> block) {
    if (slot >= 0 && slot < kRecognitionImageCapacity) {
        recognitionImages_[slot] = std::move(block);
    }
}

void AnalyzerModel::adoptNumberPack(int slot, ZeroedBlock<NumberPack> block) {
    if (slot >= 0 && slot < kNumberPackCapacity) {
        numberPacks_[slot] = std::move(block);
    }
}

} // namespace quillon::analyzer
