// Saving an analyzer: refresh what is derived from the items, then write the
// sections into a temporary file that replaces the target only when complete.
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

std::string screenshotFileName(const ScreenshotEntry& s) { return text::cp949ToUtf8(fixedText(s.name)) + ".bmp"; }

} // namespace

SavePath savePathFor(const std::string& chosen) {
    size_t nameStart = chosen.find_last_of("\\/");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = chosen.find('.', nameStart);
    std::string stem = chosen.substr(0, dot);
    return {stem + ".dat", stem.substr(nameStart)};
}

AnalyzerFile::AnalyzerFile(std::string imageFolder, std::string soundFolder)
    : imageFolder_(std::move(imageFolder)), soundFolder_(std::move(soundFolder)) {}

void AnalyzerFile::pause(uint32_t ms) {
    if (clock_) {
        clock_->sleepMs(ms);
    }
}

void AnalyzerFile::showProgress(const std::string& text, uint64_t done, uint64_t total) {
    if (hooks_.progress) {
        hooks_.progress(text, done, total);
    }
}

FileResult AnalyzerFile::prepare(AnalyzerModel& model, bool autosave) {
    FileResult result;
    AnalyzerImage& a = model.image();
    std::string analyzerName = text::cp949ToUtf8(fixedText(a.name));
    model.refreshBeforeSave();
    if (!model.rebuildSoundList()) {
        result.message = message::kSaveFailed;
        return result;
    }
    MacroMasks masks = model.macroMasksFromItems();
    if (autosave) {
        // The autosave file carries no macro sections, so its record says
        // so: read as an ordinary analyzer file it then ends where it should.
        masks = {};
    } else if (masks.any()) {
        bool embed = machine_ && hooks_.askEmbedMacros && hooks_.askEmbedMacros(embedMacrosQuestion(masks));
        if (!embed) {
            masks = {};
        }
    }
    model.storeMacroMasks(masks);
    a.formatMarker = kFormatMarker;
    // The record goes first and tells the reader every size, so the sizes of
    // the files behind it are taken now. A file that is missing fails the
    // save instead of producing a file without the block the reader expects.
    for (ScreenshotEntry& s : a.screenshots) {
        if (!qualifies(s)) {
            continue;
        }
        std::string fileName = screenshotFileName(s);
        int64_t size = isSafeFileName(fileName) ? fileSizeOf(joinPath(imageFolder_, fileName)) : -1;
        if (size <= 0 || size > static_cast<int64_t>(kLargestEmbeddedFile)) {
            result.message = message::kSaveFailed;
            return result;
        }
        s.fileSize = static_cast<int32_t>(size);
        // The path the bitmap is read from now, as a load would write it.
        std::string pathCp949 = text::utf8ToCp949(joinPath(imageFolder_, fileName));
        if (pathCp949.size() < sizeof s.path) {
            storeFixedText(s.path, pathCp949);
        }
    }
    for (int i = 0; i < a.soundCount; ++i) {
        SoundEntry& e = a.sounds[i];
        std::string fileName = text::cp949ToUtf8(fixedText(e.fileName));
        int64_t size = isSafeFileName(fileName) ? fileSizeOf(joinPath(soundFolder_, fileName)) : -1;
        if (size < 0 || size > static_cast<int64_t>(kLargestEmbeddedFile)) {
            result.message = formatText(message::kSoundSaveFailed, fileName.c_str(), analyzerName.c_str());
            return result;
        }
        e.fileSize = static_cast<int32_t>(size);
    }
    // Fields the file format keeps at zero are written as zero, whatever an
    // opened file carried there.
    a.reserved0 = 0;
    a.reserved74848620 = 0;
    std::memset(a.reserved74848636, 0, sizeof a.reserved74848636);
    // Addresses mean nothing in a file.
    std::memset(a.recognitionImageAddresses, 0, sizeof a.recognitionImageAddresses);
    std::memset(a.numberPackAddresses, 0, sizeof a.numberPackAddresses);
    result.value.emplace();
    return result;
}

FileResult AnalyzerFile::write(AnalyzerModel& model, ByteSink& sink, bool autosave) {
    FileResult result = prepare(model, autosave);
    if (!result.ok()) {
        return result;
    }
    result.value.reset();
    AnalyzerImage& a = model.image();
    std::string analyzerName = text::cp949ToUtf8(fixedText(a.name));
    const std::string failed = message::kSaveFailed;
    if (!writeBlock(sink, &a, sizeof a)) {
        result.message = failed;
        return result;
    }
    for (const ScreenshotEntry& s : a.screenshots) {
        if (!qualifies(s)) {
            continue;
        }
        auto bytes = readFile(joinPath(imageFolder_, screenshotFileName(s)));
        if (!bytes || bytes->size() != static_cast<size_t>(s.fileSize) ||
            !writeBlock(sink, bytes->data(), bytes->size())) {
            result.message = failed;
            return result;
        }
    }
    if (!writeBlock(sink, &model.sentenceTable(), sizeof(SentenceTable))) {
        result.message = failed;
        return result;
    }
    if (!autosave && model.storedMacroMasks().any() && !writeMacroSections(model, sink, result)) {
        return result;
    }
    for (int i = 0; i < a.soundCount; ++i) {
        std::string fileName = text::cp949ToUtf8(fixedText(a.sounds[i].fileName));
        showProgress(formatText("사운드파일 [%s]를 [%s]분석기에 저장하고 있습니다.", fileName.c_str(), analyzerName.c_str()), i,
                     static_cast<uint64_t>(a.soundCount));
        auto bytes = readFile(joinPath(soundFolder_, fileName));
        if (!bytes || bytes->size() != static_cast<size_t>(a.sounds[i].fileSize) ||
            !writeBlock(sink, bytes->data(), bytes->size())) {
            result.message = formatText(message::kSoundSaveFailed, fileName.c_str(), analyzerName.c_str());
            return result;
        }
        pause(100);
    }
    if (a.soundCount > 0 && hooks_.progressClosed) {
        hooks_.progressClosed();
    }
    for (int i = 0; i < a.recognitionImageCount; ++i) {
        const RecognitionImage* block = model.recognitionImage(a.recognitionImageOrder[i]);
        if (!block || !writeBlock(sink, block, sizeof(RecognitionImage))) {
            result.message = failed;
            return result;
        }
    }
    for (int i = 0; i < a.numberPackCount; ++i) {
        const NumberPack* block = model.numberPack(a.numberPackOrder[i]);
        if (!block || !writeBlock(sink, block, sizeof(NumberPack))) {
            result.message = failed;
            return result;
        }
    }
    result.value.emplace();
    return result;
}

FileResult AnalyzerFile::save(AnalyzerModel& model, const std::string& chosenPath) {
    SavePath target = savePathFor(chosenPath);
    storeFixedText(model.image().name, text::utf8ToCp949(target.name));
    AtomicFileSink sink;
    if (!sink.open(target.path)) {
        return FileResult::refused(message::kSaveFailed);
    }
    FileResult result = write(model, sink, false);
    if (result) result.value = target.path;
    // A failed save leaves the previous file as it was: only the temporary
    // file is removed.
    if (result.ok() && !sink.commit()) {
        return FileResult::refused(message::kSaveFailed);
    }
    return result;
}

FileResult AnalyzerFile::saveAutosave(AnalyzerModel& model, const std::string& path) {
    AtomicFileSink sink;
    if (!sink.open(path)) {
        return FileResult::refused(message::kSaveFailed);
    }
    FileResult result = write(model, sink, true);
    if (result) result.value = path;
    if (result.ok() && !sink.commit()) {
        return FileResult::refused(message::kSaveFailed);
    }
    return result;
}

} // namespace quillon::analyzer
