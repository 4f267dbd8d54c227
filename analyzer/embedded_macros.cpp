// Section 4 of the analyzer file: copies of the machine macros the analyzer
// plays. Each is the header as held by the program, 400 reserved bytes and,
// for a macro that is not empty, its body.
#include <cstdio>

#include "analyzer/analyzer_file.h"
#include "base/byte_order.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

int kindIndex(MacroKind kind) { return static_cast<int>(kind); }

std::string bankSlotList(uint32_t mask) {
    std::string out;
    char b[16];
    for (int n = 0; n < 32; ++n) {
        if (mask & (1u << n)) {
            std::snprintf(b, sizeof b, "%d-%d ", n / 8 + 1, n % 8 + 1);
            out += b;
        }
    }
    return out;
}

std::string combinationList(uint32_t mask) {
    std::string out;
    char b[16];
    for (int j = 0; j < kCombinationMacroCount; ++j) {
        if (mask & (1u << j)) {
            std::snprintf(b, sizeof b, "%d  ", j + 1);
            out += b;
        }
    }
    return out;
}

std::string macroText(const char* pattern, const std::string& name, int n, const std::string& analyzer) {
    char b[512];
    std::snprintf(b, sizeof b, pattern, name.c_str(), n, analyzer.c_str());
    return b;
}

std::string numberText(const char* pattern, int n, const std::string& analyzer = {}) {
    char b[512];
    std::snprintf(b, sizeof b, pattern, n, analyzer.c_str());
    return b;
}

std::string fileThenMacroText(const char* pattern, const std::string& analyzer, const std::string& name, int n) {
    char b[512];
    std::snprintf(b, sizeof b, pattern, analyzer.c_str(), name.c_str(), n);
    return b;
}

} // namespace

const char* const kMissingMacrosQuestion =
    "이 분석기에는 동작에 필요한 매크로가 제대로 들어 있지 않습니다.\r\n작업을 계속하시겠습니까?\r\n"
    "(기계에 있는 매크로는 분석기를 저장할때 분석기에 저장됩니다.)";

std::string embedMacrosQuestion(const MacroMasks& masks) {
    return std::string("이 분석기파일은 기계매크로를 사용하고 있습니다.\n기계매크로를 분석기 파일에 통합해서 "
                       "저장하시겠습니까?\n(완성된 분석기의 경우에는 반드시 사용된 매크로를 함께 저장해 "
                       "주셔야 합니다.)\n\n") +
           "[사용중인 녹화매크로]\n" + bankSlotList(masks.recorded) + "\n\n" + "[사용중인 편집매크로]\n" +
           bankSlotList(masks.edit) + "\n\n" + "[사용중인 조합매크로]\n" + combinationList(masks.combination);
}

std::string installMacrosQuestion(const MacroMasks& masks) {
    return std::string("이 분석기파일에는 기계매크로가 포함되어 있습니다.\n기계매크로를 기계로 "
                       "저장하시겠습니까?\n(주의:기계로 저장을 하게 되면 기계의 기존 내용을 덮어쓰게 "
                       "됩니다.)\n\n") +
           "[녹화매크로 메모리]\n" + bankSlotList(masks.recorded) + "\n\n" + "[편집매크로 메모리]\n" +
           bankSlotList(masks.edit) + "\n\n" + "[조합매크로 메모리]\n" + combinationList(masks.combination);
}

bool AnalyzerFile::embedMacro(ByteSink& sink, MacroKind kind, int index, const std::string& analyzerName,
                              std::vector<uint8_t>& header, FileResult& result) {
    std::string name = machine_->listedName(kind, index);
    header.clear();
    bool headerRead = machine_->readHeader(kind, index, header) && header.size() == headerSizeOf(kind);
    if (!headerRead) {
        switch (kind) {
        case MacroKind::Recorded:
            result.message = macroText("%s(%d) 녹화매크로 정보를 읽어 오는 동안 오류가 발생했습니다.", name, index, "");
            break;
        case MacroKind::Edit:
            result.message = macroText("%s(%d) 편집매크로 정보를 읽어 오는 동안 오류가 발생했습니다.", name, index, "");
            break;
        case MacroKind::Combination:
            result.message = numberText("%d번 조합매크로 정보를 읽어 오는 동안 오류가 발생했습니다.", index + 1);
            break;
        }
        return false;
    }
    const auto& reserved = reserved_[kindIndex(kind)];
    if (!sink.write(header.data(), header.size()) || !sink.write(reserved.data(), reserved.size())) {
        result.message = "파일로 저장하는데 실패했습니다.";
        return false;
    }
    uint32_t length = bodyLengthOf(kind, header);
    if (length == 0) {
        return true;
    }
    std::string progress;
    switch (kind) {
    case MacroKind::Recorded:
        progress = macroText("%s(%d) 녹화매크로를 [%s]파일에 추가저장하고 있습니다.", name, index, analyzerName);
        break;
    case MacroKind::Edit:
        progress = macroText("%s(%d) 편집메모리를 [%s]파일에 추가저장하고 있습니다.", name, index, analyzerName);
        break;
    case MacroKind::Combination:
        progress = numberText("%d번 조합매크로를 [%s]파일에 저장하고 있습니다.", index + 1, analyzerName);
        break;
    }
    showProgress(progress, 0, length);
    std::vector<uint8_t> body;
    bool bodyRead = machine_->readBody(kind, index, header, body) && body.size() == length;
    showProgress(progress, length, length);
    pause(300);
    if (hooks_.progressClosed) {
        hooks_.progressClosed();
    }
    pause(300);
    if (!bodyRead) {
        switch (kind) {
        case MacroKind::Recorded:
            result.message = macroText("%s(%d) 녹화매크로 본체를 읽어 오는 동안 오류가 발생했습니다.", name, index, "");
            break;
        case MacroKind::Edit:
            result.message = macroText("%s(%d) 편집매크로 정보를 읽어 오는 동안 오류가 발생했습니다.", name, index, "");
            break;
        case MacroKind::Combination:
            result.message = numberText("%d번 조합매크로 본체를 읽어 오는 동안 오류가 발생했습니다.", index + 1);
            break;
        }
        return false;
    }
    if (!sink.write(body.data(), body.size())) {
        result.message = "파일로 저장하는데 실패했습니다.";
        return false;
    }
    return true;
}

bool AnalyzerFile::writeMacroSections(AnalyzerModel& model, ByteSink& sink, FileResult& result) {
    const MacroMasks masks = model.storedMacroMasks();
    std::string analyzerName = text::cp949ToUtf8(fixedText(model.image().name));
    std::vector<uint8_t> header;
    for (int n = 0; n < kRecordedMacroCount; ++n) {
        if ((masks.recorded & (1u << n)) && !embedMacro(sink, MacroKind::Recorded, n, analyzerName, header, result)) {
            return false;
        }
    }
    for (int n = 0; n < kEditMacroCount; ++n) {
        if ((masks.edit & (1u << n)) && !embedMacro(sink, MacroKind::Edit, n, analyzerName, header, result)) {
            return false;
        }
    }
    for (int j = 0; j < kCombinationMacroCount; ++j) {
        if (!(masks.combination & (1u << j))) {
            continue;
        }
        if (!embedMacro(sink, MacroKind::Combination, j, analyzerName, header, result)) {
            return false;
        }
        if (bodyLengthOf(MacroKind::Combination, header) == 0) {
            continue;
        }
        // The macros the combination plays that the record's masks do not
        // already carry follow it; the record's masks stay as written.
        uint32_t extraRecorded = combinationRecordedMask(header) & ~masks.recorded;
        uint32_t extraEdit = combinationEditMask(header) & ~masks.edit;
        std::vector<uint8_t> extraHeader;
        for (int n = 0; n < 32; ++n) {
            if ((extraRecorded & (1u << n)) &&
                !embedMacro(sink, MacroKind::Recorded, n, analyzerName, extraHeader, result)) {
                return false;
            }
        }
        for (int n = 0; n < 32; ++n) {
            if ((extraEdit & (1u << n)) && !embedMacro(sink, MacroKind::Edit, n, analyzerName, extraHeader, result)) {
                return false;
            }
        }
    }
    return true;
}

bool AnalyzerFile::installMacro(ByteSource& source, MacroKind kind, int index, bool install,
                                const std::string& analyzerName, std::vector<uint8_t>& header, FileResult& result) {
    header.assign(headerSizeOf(kind), 0);
    auto& reserved = reserved_[kindIndex(kind)];
    if (!source.read(header.data(), header.size()) || !source.read(reserved.data(), reserved.size())) {
        return false;
    }
    uint32_t length = bodyLengthOf(kind, header);
    if (length > source.bytesLeft() || (kind == MacroKind::Edit && length > kLargestEditBody)) {
        return false;
    }
    std::vector<uint8_t> body(length);
    if (!source.read(body.data(), body.size())) {
        return false;
    }
    // An empty memory (wrong magic or no body) is carried but never installed:
    // the machine's own content of that memory stays.
    if (!install || length == 0 || !machine_) {
        return true;
    }
    std::string name = machine_->listedName(kind, index);
    if (!machine_->writeHeader(kind, index, header)) {
        switch (kind) {
        case MacroKind::Recorded:
            result.message = macroText("%s(%d) 녹화매크로 정보를 저장하는 동안 오류가 발생했습니다.", name, index, "");
            break;
        case MacroKind::Edit:
            result.message = macroText("%s(%d) 편집매크로 정보를 저장하는 동안 오류가 발생했습니다.", name, index, "");
            break;
        case MacroKind::Combination:
            result.message = numberText("%d번 메모리에 조합매크로 정보를 기록하는 중에 오류가 발생했습니다.", index);
            break;
        }
        return false;
    }
    std::string progress;
    switch (kind) {
    case MacroKind::Recorded:
        progress = fileThenMacroText("[%s]파일에 저장된 녹화매크로를 %s(%d) 녹화메모리에 저장하고 있습니다.",
                                     analyzerName, name, index);
        break;
    case MacroKind::Edit:
        progress = fileThenMacroText("[%s]파일에 저장된 편집매크로를 %s(%d) 편집메모리에 저장하고 있습니다.",
                                     analyzerName, name, index);
        break;
    case MacroKind::Combination: {
        char b[512];
        std::snprintf(b, sizeof b, "[%s]파일에 내장된 조합매크로를 %d번 조합메모리에 저장하고 있습니다.",
                      analyzerName.c_str(), index + 1);
        progress = b;
        break;
    }
    }
    showProgress(progress, 0, length);
    bool written = machine_->writeBody(kind, index, header, body);
    showProgress(progress, length, length);
    pause(300);
    if (hooks_.progressClosed) {
        hooks_.progressClosed();
    }
    pause(300);
    if (!written) {
        if (kind == MacroKind::Recorded) {
            result.message = macroText("%s(%d) 녹화매크로 본체를 저장하는 동안 오류가 발생했습니다.", name, index, "");
        } else if (kind == MacroKind::Edit) {
            result.message = macroText("%s(%d) 편집매크로 본체를 저장하는 동안 오류가 발생했습니다.", name, index, "");
        }
        return false;
    }
    return true;
}

bool AnalyzerFile::readMacroSections(AnalyzerModel& model, ByteSource& source, bool install, FileResult& result) {
    const MacroMasks masks = model.storedMacroMasks();
    std::string analyzerName = text::cp949ToUtf8(fixedText(model.image().name));
    std::vector<uint8_t> header;
    for (int n = 0; n < kRecordedMacroCount; ++n) {
        if ((masks.recorded & (1u << n)) &&
            !installMacro(source, MacroKind::Recorded, n, install, analyzerName, header, result)) {
            return false;
        }
    }
    for (int n = 0; n < kEditMacroCount; ++n) {
        if ((masks.edit & (1u << n)) &&
            !installMacro(source, MacroKind::Edit, n, install, analyzerName, header, result)) {
            return false;
        }
    }
    for (int j = 0; j < kCombinationMacroCount; ++j) {
        if (!(masks.combination & (1u << j))) {
            continue;
        }
        if (!installMacro(source, MacroKind::Combination, j, install, analyzerName, header, result)) {
            return false;
        }
        if (bodyLengthOf(MacroKind::Combination, header) == 0) {
            continue;
        }
        uint32_t extraRecorded = combinationRecordedMask(header) & ~masks.recorded;
        uint32_t extraEdit = combinationEditMask(header) & ~masks.edit;
        std::vector<uint8_t> extraHeader;
        for (int n = 0; n < 32; ++n) {
            if ((extraRecorded & (1u << n)) &&
                !installMacro(source, MacroKind::Recorded, n, install, analyzerName, extraHeader, result)) {
                return false;
            }
        }
        for (int n = 0; n < 32; ++n) {
            if ((extraEdit & (1u << n)) &&
                !installMacro(source, MacroKind::Edit, n, install, analyzerName, extraHeader, result)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace quillon::analyzer
