// Opening an analyzer: the record first, checked as a whole, then every
// section it announces. Any failure leaves a freshly reset model.
#include <cstring>

#include "analyzer/analyzer_file.h"
#include "analyzer/blocks.h"
#include "analyzer/limits.h"
#include "base/format_text.h"
#include "base/file.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

bool qualifies(const ScreenshotEntry& s) { return s.used == 1 && s.erased == 0 && s.fileSize != 0; }

void keepCurrentInList(int32_t& current, int32_t count) {
    if (current < 0 || current >= count) {
        current = 0;
    }
}

// Reads a block whose size comes from the record into a new buffer.
bool readSizedBlock(ByteSource& source, int32_t size, std::vector<uint8_t>& out) {
    if (size < 0 || static_cast<uint64_t>(size) > kLargestEmbeddedFile) {
        return false;
    }
    // The length word must announce enough data before the buffer is made.
    out.clear();
    if (source.bytesLeft() < 4 || (size > 0 && largestExpansion(source.bytesLeft()) < static_cast<uint64_t>(size))) {
        return false;
    }
    out.resize(static_cast<size_t>(size));
    return readBlock(source, out.data(), out.size());
}

} // namespace

FileResult AnalyzerFile::read(AnalyzerModel& model, ByteSource& source, bool autosave) {
    // The reserved bytes of a file that is refused are not kept: the next
    // save writes back those of the last file that opened.
    const auto reservedBefore = reserved_;
    FileResult result = readSections(model, source, autosave);
    if (!result.ok()) {
        reserved_ = reservedBefore;
    }
    return result;
}

FileResult AnalyzerFile::readSections(AnalyzerModel& model, ByteSource& source, bool autosave) {
    FileResult result;
    auto fail = [&](const char* text) {
        model.reset();
        result.value.reset();
        result.message = text;
        return result;
    };
    if (!model.reset()) {
        return fail(message::kOpenFailed);
    }
    AnalyzerImage& a = model.image();
    if (!readBlock(source, &a, sizeof a)) {
        return fail(autosave ? message::kNotAnAnalyzerFile : message::kOpenFailed);
    }
    if (autosave && a.formatMarker != kFormatMarker) {
        return fail(message::kNotAnAnalyzerFile);
    }
    if (!checkRecord(a)) {
        return fail(message::kOpenFailed);
    }
    std::memset(a.recognitionImageAddresses, 0, sizeof a.recognitionImageAddresses);
    std::memset(a.numberPackAddresses, 0, sizeof a.numberPackAddresses);
    keepCurrentInList(a.currentScreenshot, a.screenshotCount);
    keepCurrentInList(a.currentRecognitionImage, a.recognitionImageCount);
    keepCurrentInList(a.currentNumberPack, a.numberPackCount);
    keepCurrentInList(a.currentArea, a.areaCount);
    keepCurrentInList(a.currentCursor, a.cursorCount);
    keepCurrentInList(a.currentItem, a.itemCount);
    for (int i = 0; i < a.itemCount; ++i) {
        Item& item = a.items[i];
        keepCurrentInList(item.currentCondition, item.conditionCount);
        keepCurrentInList(item.currentCommand, item.commandCount);
        keepCurrentInList(item.currentNextLink, item.nextLinkCount);
    }

    const MacroMasks stored = model.storedMacroMasks();
    if (!autosave && model.macroMasksFromItems() != stored && hooks_.askContinueWithMissingMacros &&
        !hooks_.askContinueWithMissingMacros(kMissingMacrosQuestion)) {
        model.reset();
        result.cancelled = true;
        return result;
    }

    std::vector<uint8_t> bytes;
    for (ScreenshotEntry& s : a.screenshots) {
        if (!qualifies(s)) {
            continue;
        }
        std::string fileName = text::cp949ToUtf8(fixedText(s.name)) + ".bmp";
        if (!isSafeFileName(fileName) || !readSizedBlock(source, s.fileSize, bytes)) {
            return fail(message::kOpenFailed);
        }
        std::string path = joinPath(imageFolder_, fileName);
        std::string pathCp949 = text::utf8ToCp949(path);
        bool stored = hooks_.restoreScreenshot ? hooks_.restoreScreenshot(fileName, bytes.data(), bytes.size())
                                               : writeWholeFile(path, bytes.data(), bytes.size());
        if (!stored || pathCp949.size() >= sizeof s.path) {
            return fail(message::kOpenFailed);
        }
        storeFixedText(s.path, pathCp949);
    }

    if (!readBlock(source, &model.sentenceTable(), sizeof(SentenceTable)) ||
        !checkSentenceTable(model.sentenceTable())) {
        return fail(message::kOpenFailed);
    }

    if (!autosave && stored.any()) {
        bool install = machine_ && hooks_.askInstallMacros && hooks_.askInstallMacros(installMacrosQuestion(stored));
        if (!readMacroSections(model, source, install, result)) {
            std::string text = result.message.empty() ? message::kOpenFailed : result.message;
            model.reset();
            result.message = text;
            return result;
        }
    }

    for (int i = 0; i < a.soundCount; ++i) {
        std::string fileName = text::cp949ToUtf8(fixedText(a.sounds[i].fileName));
        if (!isSafeFileName(fileName) || !readSizedBlock(source, a.sounds[i].fileSize, bytes)) {
            return fail(message::kOpenFailed);
        }
        showProgress(formatText("사운드파일 [%s]를 불러 오고 있습니다.", fileName.c_str()), i,
                     static_cast<uint64_t>(a.soundCount));
        bool stored = hooks_.restoreSound ? hooks_.restoreSound(fileName, bytes.data(), bytes.size())
                                          : writeWholeFile(joinPath(soundFolder_, fileName), bytes.data(), bytes.size());
        if (!stored) {
            return fail(message::kSoundRestoreFailed);
        }
        pause(100);
    }
    if (a.soundCount > 0 && hooks_.progressClosed) {
        hooks_.progressClosed();
    }
    bytes = {};

    for (int i = 0; i < a.recognitionImageCount; ++i) {
        if (source.bytesLeft() < 4) {
            return fail(message::kOpenFailed);
        }
        auto block = allocateZeroed<RecognitionImage>();
        if (!block) {
            return fail(message::kImageAllocationFailed);
        }
        if (!readBlock(source, block.get(), sizeof(RecognitionImage)) || !checkRecognitionImage(*block)) {
            return fail(message::kOpenFailed);
        }
        model.adoptRecognitionImage(a.recognitionImageOrder[i], std::move(block));
    }
    for (int i = 0; i < a.numberPackCount; ++i) {
        if (source.bytesLeft() < 4) {
            return fail(message::kOpenFailed);
        }
        auto block = allocateZeroed<NumberPack>();
        if (!block) {
            return fail(message::kAllocationFailed);
        }
        if (!readBlock(source, block.get(), sizeof(NumberPack))) {
            return fail(message::kOpenFailed);
        }
        model.adoptNumberPack(a.numberPackOrder[i], std::move(block));
    }
    result.value.emplace();
    return result;
}

FileResult AnalyzerFile::open(AnalyzerModel& model, const std::string& path) {
    FileSource source;
    if (!source.open(path)) {
        model.reset();
        return FileResult::refused(message::kOpenFailed);
    }
    FileResult result = read(model, source, false);
    if (result) result.value = path;
    return result;
}

FileResult AnalyzerFile::restoreAutosave(AnalyzerModel& model, const std::string& path) {
    FileSource source;
    if (!source.open(path)) {
        model.reset();
        return FileResult::refused(message::kOpenFailed);
    }
    FileResult result = read(model, source, true);
    if (result) result.value = path;
    return result;
}

} // namespace quillon::analyzer
