#include "control/macro_files.h"
#include "base/fixed_text.h"

#include <cstring>

#include "base/byte_order.h"
#include "base/file.h"
#include "base/lznt1.h"
#include "base/format_text.h"
#include "control/line_kinds.h"
#include "control/memory_locations.h"
#include "control/recorded_macro.h"

namespace quillon::control {

namespace {

constexpr const char* kTrouble = "작동 중 문제가 발생했습니다";
constexpr const char* kDamaged = "파일이 손상되어 불러올 수 없습니다.";
constexpr const char* kLoadFailed = "불러오기 실패";
constexpr const char* kSaveFailed = "저장 실패";

// Location codes of the file operations.
constexpr int kEditOpenFailed = 35001, kEditCreateFailed = 35002, kEditDamaged = 35003;
constexpr int kRecordedOpenFailed = 35101, kRecordedCreateFailed = 35102, kRecordedDamaged = 35103,
              kRecordedConvertFailed = 35104;
constexpr int kEmbeddedOpenFailed = 45001;
constexpr int kCarriedMemoryRead = 45002, kEmbeddedRecordedHeader = 45003, kEmbeddedRecordedBody = 45004,
              kEmbeddedEditHeader = 45005, kEmbeddedEdit = 45006;

FileOutcome failure(const char* text, const char* page, int location) {
    return {false, formatText("%s(%s=%d)", text, page, location)};
}
FileOutcome failure(const char* text) { return {false, text}; }
FileOutcome success() { return {true, {}}; }
FileOutcome linkLost(int location) { return Status::lostLink(linkFailureText(location), location); }

void appendRaw(std::vector<uint8_t>& out, const void* data, size_t length) {
    if (length == 0) return;
    size_t at = out.size();
    out.resize(at + length);
    std::memcpy(out.data() + at, data, length);
}

// Compressed block: [u32 stored length n][n bytes of LZNT1].
void appendBlock(std::vector<uint8_t>& out, const void* content, size_t length) {
    std::vector<uint8_t> packed(lznt1::compressBound(length));
    size_t n = lznt1::compress(static_cast<const uint8_t*>(content), length, packed.data(), packed.size());
    uint8_t size[4];
    storeLe32(size, static_cast<uint32_t>(n));
    appendRaw(out, size, 4);
    appendRaw(out, packed.data(), n);
}


class FileReader {
public:
    FileReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Decompresses the next block into exactly `length` bytes. The big
    // records may come back shorter (the rest stays zero) but never longer.
    bool block(void* target, size_t length, size_t minimum) {
        if (size_ - at_ < 4) return false;
        uint32_t n = loadLe32(data_ + at_);
        at_ += 4;
        if (n > size_ - at_) return false;
        size_t produced = 0;
        bool ok = lznt1::decompress(data_ + at_, n, static_cast<uint8_t*>(target), length, produced);
        if (produced < length) std::memset(static_cast<uint8_t*>(target) + produced, 0, length - produced);
        at_ += n;
        return ok && produced >= minimum && produced <= length;
    }
    bool skipBlock() {
        if (size_ - at_ < 4) return false;
        uint32_t n = loadLe32(data_ + at_);
        at_ += 4;
        if (n > size_ - at_) return false;
        at_ += n;
        return true;
    }
    bool raw(void* target, size_t length) {
        if (size_ - at_ < length) return false;
        std::memcpy(target, data_ + at_, length);
        at_ += length;
        return true;
    }
    const uint8_t* take(size_t length) {
        if (size_ - at_ < length) return nullptr;
        const uint8_t* p = data_ + at_;
        at_ += length;
        return p;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

void terminate(char* field, size_t size) { field[size - 1] = '\0'; }

// Checks a document read from a file and makes its text fields safe to use.
bool checkDocument(MacroDocument& document) {
    MacroDocumentHead& head = document.head;
    if (head.lineCount < 0 || head.lineCount > kMaxLines) return false;
    if (head.copiedLineCount < 0 || head.copiedLineCount > kMaxCopiedLines) return false;
    if (head.currentLine < 0 || head.currentLine >= head.lineCount) head.currentLine = 0;
    head.pageWindow = head.listWindow = head.counterWindow = 0;
    terminate(head.path, sizeof(head.path));
    auto fix = [](EditLine& line) {
        terminate(line.sentence, sizeof(line.sentence));
        terminate(line.memo, sizeof(line.memo));
        terminate(line.label, sizeof(line.label));
        line.sentenceLength = static_cast<int32_t>(std::strlen(line.sentence));
        if (line.memoLength != 0) line.memoLength = static_cast<int32_t>(std::strlen(line.memo));
        if (line.indent < 0) line.indent = 0;
    };
    for (int i = 0; i < head.lineCount; ++i) fix(document.lines[i]);
    for (int i = 0; i < head.copiedLineCount; ++i) fix(document.copied[i]);
    return true;
}

bool checkStore(TextStore& store) {
    for (TextSlot& slot : store.slots) {
        if (slot.inUse != 1) {
            slot.inUse = 0;
            continue;
        }
        if (slot.textLength < 1 || slot.textLength > kTextFieldSize || slot.keyStreamLength < 0 ||
            slot.keyStreamLength > kTextFieldSize) {
            return false;
        }
        terminate(slot.text, sizeof(slot.text));
    }
    return true;
}

} // namespace

// ---- edit macro files ------------------------------------------------------

std::vector<uint8_t> encodeEditFile(const EditMemoryHeader& header, const ExtraBlock& extra, MacroDocument& document,
                                    const TextStore& store) {
    document.head.textStoreFollows = 1; // the reader looks for the store only when this is positive
    std::vector<uint8_t> out;
    appendBlock(out, &header, sizeof(header));
    appendBlock(out, extra.data(), extra.size());
    appendBlock(out, &document, sizeof(document));
    appendBlock(out, &store, sizeof(store));
    return out;
}

bool decodeEditFile(const uint8_t* data, size_t size, EditMacroFile& out, bool workingCopy) {
    FileReader reader(data, size);
    if (!reader.block(&out.header, sizeof(out.header), sizeof(out.header))) return false;
    terminate(out.header.name, sizeof(out.header.name));
    if (workingCopy && out.header.bodyLength == 0) return true;
    if (!reader.block(out.extra.data(), out.extra.size(), out.extra.size())) return false;
    if (!reader.block(out.document.get(), sizeof(MacroDocument), sizeof(MacroDocumentHead))) return false;
    if (!checkDocument(*out.document)) return false;
    out.hasTextStore = !workingCopy && out.document->head.textStoreFollows > 0;
    if (out.hasTextStore) {
        if (!reader.block(out.store.get(), sizeof(TextStore), sizeof(TextStore))) return false;
        if (!checkStore(*out.store)) return false;
    }
    return true;
}

FileOutcome saveEditFile(const std::string& path, const EditMemoryHeader& header, const ExtraBlock& extra,
                         MacroDocument& document, const TextStore& store) {
    std::vector<uint8_t> bytes = encodeEditFile(header, extra, document, store);
    if (!writeFileAtomic(path, bytes.data(), bytes.size())) return failure(kTrouble, "MakLine", kEditCreateFailed);
    return success();
}

FileOutcome loadEditFile(const std::string& path, EditMacroFile& out) {
    auto bytes = readFile(path);
    if (!bytes) return failure(kTrouble, "MakLine", kEditOpenFailed);
    if (!decodeEditFile(bytes->data(), bytes->size(), out)) return failure(kDamaged, "MakLine", kEditDamaged);
    return success();
}

// ---- combination macro files -------------------------------------------------

namespace {

uint32_t setOfLines(const MacroDocument& document, int kindOfLine) {
    uint32_t set = 0;
    int count = document.head.lineCount;
    for (int i = 0; i < count && i < kMaxLines; ++i) {
        const EditLine& line = document.lines[i];
        int index = P(line, 12);
        if (line.kind == kindOfLine && index >= 0 && index < 32) set |= uint32_t{1} << index;
    }
    return set;
}

} // namespace

std::string linkFailureText(int location) { return formatText("%s(%d)", "기계와 통신이 되지 않습니다", location); }

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

uint32_t recordedSetOfLines(const MacroDocument& document) { return setOfLines(document, kind::kPlayRecorded); }
uint32_t editSetOfLines(const MacroDocument& document) { return setOfLines(document, kind::kPlayEdit); }

bool encodeCombinationFile(CombinationMemoryHeader header, const ExtraBlock& extra, MacroDocument& document,
                           MacroMemory& memory, std::vector<uint8_t>& out, const MemoryProgress* progress,
                           const std::string& fileName) {
    header.recordedSet = recordedSetOfLines(document);
    header.editSet = editSetOfLines(document);
    document.head.textStoreFollows = 0; // combination files carry no text store
    out.clear();
    appendBlock(out, &header, sizeof(header));
    appendBlock(out, extra.data(), extra.size());
    appendBlock(out, &document, sizeof(document));
    const ExtraBlock none{};
    for (int n = 0; n < 32; ++n) {
        if (!(header.recordedSet >> n & 1)) continue;
        RecordedMemoryHeader memoryHeader{};
        if (!readListedHeader(memory, n, memoryHeader, memory_location::kReadRecordedHeader)) return false;
        appendRaw(out, &memoryHeader, sizeof(memoryHeader));
        appendRaw(out, none.data(), none.size());
        if (memoryHeader.magic == kRecordedMagic && memoryHeader.bodyLength != 0) {
            announceMemory(progress, formatText("%d-%d녹화메모리를 [%s]파일에 추가저장하고 있습니다.", n / 8 + 1,
                                                n % 8 + 1, fileName.c_str()));
            std::vector<uint8_t> body;
            if (!memory.readBody(n, memoryHeader, body, memory_location::kReadRecordedBody, progress) ||
                body.size() != memoryHeader.bodyLength) {
                return false;
            }
            appendRaw(out, body.data(), body.size());
        }
    }
    for (int n = 0; n < 32; ++n) {
        if (!(header.editSet >> n & 1)) continue;
        EditMemoryHeader memoryHeader{};
        if (!readListedHeader(memory, n, memoryHeader, memory_location::kReadEditHeader)) return false;
        appendRaw(out, &memoryHeader, sizeof(memoryHeader));
        appendRaw(out, none.data(), none.size());
        if (memoryHeader.magic == kEditMagic && memoryHeader.bodyLength != 0) {
            announceMemory(progress, formatText("%d-%d편집메모리를 [%s]파일에 추가저장하고 있습니다.", n / 8 + 1,
                                                n % 8 + 1, fileName.c_str()));
            EditMemoryHeader current{};
            std::vector<uint8_t> body;
            if (!readMacro(memory, n, current, body, memory_location::kReadEditBody, progress) ||
                body.size() != memoryHeader.bodyLength) {
                return false;
            }
            appendRaw(out, body.data(), body.size());
        }
    }
    return true;
}

std::vector<uint8_t> encodeCombinationDocument(const CombinationMemoryHeader& header, const ExtraBlock& extra,
                                               MacroDocument& document) {
    document.head.textStoreFollows = 0;
    std::vector<uint8_t> out;
    appendBlock(out, &header, sizeof(header));
    appendBlock(out, extra.data(), extra.size());
    appendBlock(out, &document, sizeof(document));
    return out;
}

bool decodeCombinationFile(const uint8_t* data, size_t size, CombinationMacroFile& out, bool workingCopy) {
    FileReader reader(data, size);
    if (!reader.block(&out.header, sizeof(out.header), sizeof(out.header))) return false;
    terminate(out.header.name, sizeof(out.header.name));
    if (workingCopy && out.header.bodyLength == 0) return true;
    if (!reader.block(out.extra.data(), out.extra.size(), out.extra.size())) return false;
    if (!reader.block(out.document.get(), sizeof(MacroDocument), sizeof(MacroDocumentHead))) return false;
    return checkDocument(*out.document);
}

FileOutcome saveCombinationFile(const std::string& path, const CombinationMemoryHeader& header,
                                const ExtraBlock& extra, MacroDocument& document, MacroMemory& memory,
                                const MemoryProgress* progress) {
    std::vector<uint8_t> bytes;
    // A memory that cannot be read leaves the previous file as it was.
    if (!encodeCombinationFile(header, extra, document, memory, bytes, progress, fileNameOf(path))) {
        return linkLost(kCarriedMemoryRead);
    }
    if (!writeFileAtomic(path, bytes.data(), bytes.size())) return failure(kSaveFailed);
    return success();
}

FileOutcome loadCombinationFile(const std::string& path, CombinationMacroFile& out) {
    auto bytes = readFile(path);
    if (!bytes || !decodeCombinationFile(bytes->data(), bytes->size(), out)) return failure(kLoadFailed);
    return success();
}

std::string embeddedMacroQuestion(uint32_t recordedSet, uint32_t editSet) {
    std::string text =
        "이 조합매크로에는 녹화/편집매크로가 포함되어 있습니다.\n녹화/편집매크로도 기계로 저장하시겠습니까?\n"
        "(주의:기계로 저장을 하게 되면 이전 매크로들을 덮어쓰게 됩니다.)\n\n";
    auto list = [&text](uint32_t set, const char* tail) {
        if (!set) return;
        for (int n = 0; n < 32; ++n) {
            if (set >> n & 1) text += formatText("%d-%d ", n / 8 + 1, n % 8 + 1);
        }
        text += tail;
    };
    list(recordedSet, "녹화메모리 사용 중.\n");
    list(editSet, "편집메모리 사용 중.\n");
    text += "\n예: 사용된 매크로를 기계에 저장합니다\n";
    text += "아니오: 사용된 매크로를 기계에 저장하지 않습니다.(조합매크로 코드만 저장)\n";
    return text;
}

FileOutcome storeEmbeddedMacros(const uint8_t* data, size_t size, MacroMemory& memory,
                                const MemoryProgress* progress, const std::string& fileName) {
    FileReader reader(data, size);
    CombinationMemoryHeader header{};
    if (!reader.block(&header, sizeof(header), sizeof(header)) || !reader.skipBlock() || !reader.skipBlock()) {
        return failure(kTrouble, "ComLine", kEmbeddedOpenFailed);
    }
    for (int n = 0; n < 32; ++n) {
        if (!(header.recordedSet >> n & 1)) continue;
        RecordedMemoryHeader memoryHeader{};
        if (!reader.raw(&memoryHeader, sizeof(memoryHeader)) || !reader.take(kExtraBlockSize)) {
            return failure(kTrouble, "ComLine", kEmbeddedOpenFailed);
        }
        if (memoryHeader.magic != kRecordedMagic) continue;
        const uint8_t* body = memoryHeader.bodyLength ? reader.take(memoryHeader.bodyLength) : nullptr;
        if (memoryHeader.bodyLength && !body) return failure(kTrouble, "ComLine", kEmbeddedOpenFailed);
        announceMemory(progress, formatText("[%s]파일에 내장된 녹화매크로를 %d-%d녹화메모리에 저장하고 있습니다.",
                                            fileName.c_str(), n / 8 + 1, n % 8 + 1));
        if (!memory.writeHeader(n, memoryHeader, memory_location::kWriteRecordedHeader)) {
            return linkLost(kEmbeddedRecordedHeader);
        }
        if (body && !memory.writeBody(n, memoryHeader, std::vector<uint8_t>(body, body + memoryHeader.bodyLength),
                                      memory_location::kWriteRecordedBody, progress)) {
            return linkLost(kEmbeddedRecordedBody);
        }
    }
    for (int n = 0; n < 32; ++n) {
        if (!(header.editSet >> n & 1)) continue;
        EditMemoryHeader memoryHeader{};
        if (!reader.raw(&memoryHeader, sizeof(memoryHeader)) || !reader.take(kExtraBlockSize)) {
            return failure(kTrouble, "ComLine", kEmbeddedOpenFailed);
        }
        if (memoryHeader.magic != kEditMagic) continue;
        const uint8_t* body = memoryHeader.bodyLength ? reader.take(memoryHeader.bodyLength) : nullptr;
        if (memoryHeader.bodyLength && !body) return failure(kTrouble, "ComLine", kEmbeddedOpenFailed);
        announceMemory(progress, formatText("[%s]파일에 내장된 편집매크로를 %d-%d편집메모리에 저장하고 있습니다.",
                                            fileName.c_str(), n / 8 + 1, n % 8 + 1));
        // A macro without a body gets its header only: no empty body goes out.
        if (!body) {
            if (!memory.writeHeader(n, memoryHeader, memory_location::kWriteEditHeader)) {
                return linkLost(kEmbeddedEditHeader);
            }
            continue;
        }
        if (!storeMacro(memory, n, memoryHeader, std::vector<uint8_t>(body, body + memoryHeader.bodyLength),
                        memory_location::kStoreEdit, progress)) {
            return linkLost(kEmbeddedEdit);
        }
    }
    return success();
}

FileOutcome storeEmbeddedMacros(const std::string& path, MacroMemory& memory, const MemoryProgress* progress) {
    auto bytes = readFile(path);
    if (!bytes) return failure(kTrouble, "ComLine", kEmbeddedOpenFailed);
    return storeEmbeddedMacros(bytes->data(), bytes->size(), memory, progress, fileNameOf(path));
}

// ---- working copy ------------------------------------------------------------

FileOutcome loadWorkingCopy(const std::string& path, int argument, EditMacroFile& edit,
                            CombinationMacroFile& combination) {
    auto bytes = readFile(path);
    if (!bytes) return failure(kTrouble, "MakLine", kEditOpenFailed);
    bool ok = argument == 1   ? decodeEditFile(bytes->data(), bytes->size(), edit, true)
              : argument == 2 ? decodeCombinationFile(bytes->data(), bytes->size(), combination, true)
                              : false;
    if (!ok) return failure(kDamaged, "MakLine", kEditDamaged);
    return success();
}

// ---- recorded macro files ------------------------------------------------------

std::vector<uint8_t> encodeRecordedFile(const RecordedMacroFile& file) {
    RecordedMemoryHeader header = file.header;
    header.bodyLength = static_cast<uint32_t>(file.body.size());
    std::vector<uint8_t> out;
    appendRaw(out, &header, sizeof(header));
    appendRaw(out, file.extra.data(), file.extra.size());
    appendRaw(out, file.body.data(), file.body.size());
    return out;
}

bool decodeRecordedFile(const uint8_t* data, size_t size, RecordedMacroFile& out, bool headerOnly) {
    FileReader reader(data, size);
    if (!reader.raw(&out.header, sizeof(out.header))) return false;
    terminate(out.header.name, sizeof(out.header.name));
    out.extra.fill(0);
    out.body.clear();
    if (headerOnly) return true;
    if (!reader.raw(out.extra.data(), out.extra.size())) return false;
    const uint8_t* body = reader.take(out.header.bodyLength);
    if (!body) return false;
    out.body.assign(body, body + out.header.bodyLength);
    return true;
}

FileOutcome saveRecordedFile(const std::string& path, const RecordedMacroFile& file) {
    std::vector<uint8_t> bytes = encodeRecordedFile(file);
    if (!writeFileAtomic(path, bytes.data(), bytes.size())) return failure(kTrouble, "MakLine", kRecordedCreateFailed);
    return success();
}

FileOutcome loadRecordedFile(const std::string& path, const std::string& recordedFolder, RecordedMacroFile& out,
                             std::string& loadedPath) {
    auto bytes = readFile(path);
    if (!bytes) return failure(kTrouble, "RecLine", kRecordedOpenFailed);
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("/\\");
    bool older = dot != std::string::npos && (slash == std::string::npos || dot > slash) && dot + 1 < path.size() &&
                 (path[dot + 1] == 'm' || path[dot + 1] == 'M');
    loadedPath = path;
    if (older) {
        auto converted = convertMgild(*bytes);
        if (!converted) return failure(kTrouble, "RecLine", kRecordedDamaged);
        loadedPath = convertedRecordedPath(recordedFolder, path);
        if (!writeFileAtomic(loadedPath, converted->data(), converted->size())) {
            return failure(kTrouble, "RecLine", kRecordedConvertFailed);
        }
        bytes = std::move(converted);
    }
    // The page shows the header only; the block and the body are read again
    // when the file is written to the machine or saved.
    if (!decodeRecordedFile(bytes->data(), bytes->size(), out, true)) {
        return failure(kTrouble, "RecLine", kRecordedDamaged);
    }
    return success();
}

// ---- auto-click files ----------------------------------------------------------

FileOutcome saveAutoClickFile(const std::string& path, const AutoClickSettings& settings) {
    if (!writeFileAtomic(path, reinterpret_cast<const uint8_t*>(&settings), sizeof(settings))) {
        return failure(kSaveFailed);
    }
    return success();
}

FileOutcome loadAutoClickFile(const std::string& path, AutoClickSettings& settings) {
    auto bytes = readFile(path);
    if (!bytes || !settingsFromFile(bytes->data(), bytes->size(), settings)) return failure(kAutoClickLoadFailed);
    return success();
}

// ---- pages ---------------------------------------------------------------------

void takeLoadedDocument(MacroDocument& page, const MacroDocument& loaded, const std::string& pathCp949) {
    MacroDocumentHead own = page.head;
    std::memcpy(&page, &loaded, sizeof(MacroDocument));
    page.head.pageWindow = own.pageWindow;
    page.head.listWindow = own.listWindow;
    page.head.counterWindow = own.counterWindow;
    page.head.origin = kOriginFile;
    std::memset(page.head.path, 0, sizeof(page.head.path));
    storeFixedText(page.head.path, sizeof(page.head.path), pathCp949);
    if (page.head.currentLine < 0 || page.head.currentLine >= page.head.lineCount) page.head.currentLine = 0;
}

} // namespace quillon::control
