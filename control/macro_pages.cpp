#include "control/macro_pages.h"

#include <cstring>
#include <memory>

#include "base/file.h"

#include "base/text.h"
#include "base/format_text.h"
#include "control/link_sites.h"
#include "control/memory_headers.h"
#include "control/macro_compiler.h"
#include "control/macro_decoder.h"
#include "control/memory_locations.h"
#include "control/key_stream.h"
#include "control/line_kinds.h"

#include <algorithm>
#include <iterator>

namespace quillon::control {

namespace {

constexpr const char* kTrouble = "작동 중 문제가 발생했습니다";
constexpr int kRecordedFileRead = 35201, kRecordedFileCreate = 35202;
// Location codes of the pages' machine transfers, one per call site.
using link_site::kAutoClickLoad;
using link_site::kAutoClickStore;
using link_site::kCombinationStore;
using link_site::kEditStore;
using link_site::kRecordedBodyFromFile;
using link_site::kRecordedBodyToFile;
using link_site::kRecordedHeaderFromFile;
using link_site::kRecordedHeaderToFile;
constexpr int kRecoveryWrite = 45101;

PageOutcome saved() { return {true, kSaved}; }
PageOutcome failed(std::string message) { return {false, std::move(message)}; }
// The machine stopped answering: the page shows where and the program ends.
PageOutcome linkLost(int location) { return Status::lostLink(linkFailureText(location), location); }

size_t at(int index) { return static_cast<size_t>(index); }

std::string nameOf(const char (&field)[42]) {
    return text::cp949ToUtf8(std::string(fixedText(field, sizeof(field))));
}

// Called once the whole memory was read, so that a failed read leaves the
// page as it was; the page's own head words stay.
template <typename Header>
bool rebuild(bool combination, const std::vector<uint8_t>& code, MacroDocument& document, TextStore& store,
             const MacroDocument* sharing, const Header& header, MachineMacro& out) {
    MacroDocumentHead head = document.head;
    DecodeResult result = combination ? decodeCombinationMacro(code.data(), code.size(), document, store, sharing)
                                      : decodeEditMacro(code.data(), code.size(), document, store, sharing);
    document.head.pageWindow = head.pageWindow;
    document.head.listWindow = head.listWindow;
    document.head.counterWindow = head.counterWindow;
    document.head.origin = 0;
    out.name = nameOf(header.name);
    out.flags = header.flags;
    out.referenceWidth = result.referenceWidth;
    out.referenceHeight = result.referenceHeight;
    out.complete = result.reachedEnd;
    out.linesRead = result.lines;
    return true;
}

} // namespace

ReferenceScreen referenceScreenOf(const MacroDocument& document) {
    const int count = document.head.lineCount < kMaxLines ? document.head.lineCount : kMaxLines;
    for (int i = count - 1; i >= 0; --i) {
        const EditLine& line = document.lines[i];
        if (line.kind == kind::kMoveTo || line.kind == kind::kMoveToRandom) {
            return {P(line, 32), P(line, 36)};
        }
    }
    return {};
}

std::string partialReadNotice(int linesRead) {
    return formatText("기계의 매크로를 끝까지 읽지 못했습니다.\n%d번째 줄 다음에서 읽기를 멈췄습니다"
                      "(알 수 없는 키 코드나 명령).\n\n읽은 %d줄만 표시합니다.",
                      linesRead, linesRead);
}

namespace {

template <class Header>
StoreOutcome<Header> storeOutcome(PageOutcome outcome, const Header& header = {}) {
    StoreOutcome<Header> stored;
    static_cast<PageOutcome&>(stored) = std::move(outcome);
    stored.header = header;
    return stored;
}

} // namespace

StoreOutcome<EditMemoryHeader> storeEditMacro(MacroMemory& memory, int index, const std::string& name,
                                              uint16_t flags, const CompileResult& code,
                                              const MemoryProgress* progress) {
    if (!code) return storeOutcome<EditMemoryHeader>(failed(code.message));
    const EditMemoryHeader header = makeEditMemoryHeader(name, flags, code->code.size());
    if (!storeMacro(memory, at(index), header, code->code, memory_location::kStoreEdit, progress)) {
        return storeOutcome<EditMemoryHeader>(linkLost(kEditStore));
    }
    return storeOutcome(saved(), header);
}

StoreOutcome<CombinationMemoryHeader> storeCombinationMacro(MacroMemory& memory, int index, const std::string& name,
                                                            uint16_t flags, const CompileResult& code,
                                                            const MemoryProgress* progress) {
    if (!code) return storeOutcome<CombinationMemoryHeader>(failed(code.message));
    const CombinationMemoryHeader header =
        makeCombinationMemoryHeader(name, flags, code->code.size(), code->recordedSet, code->editSet);
    if (!storeMacro(memory, at(index), header, code->code, memory_location::kStoreCombination, progress)) {
        return storeOutcome<CombinationMemoryHeader>(linkLost(kCombinationStore));
    }
    return storeOutcome(saved(), header);
}

bool loadEditMacroFromMachine(MacroMemory& memory, int index, MacroDocument& document, TextStore& store,
                              const MacroDocument* sharing, MachineMacro& out, const MemoryProgress* progress) {
    EditMemoryHeader header{};
    if (!readListedHeader(memory, at(index), header, memory_location::kReadEditHeader) ||
        header.magic != kEditMagic || header.bodyLength == 0) {
        return false;
    }
    EditMemoryHeader current{};
    std::vector<uint8_t> code;
    if (!readMacro(memory, at(index), current, code, memory_location::kReadEditBody, progress)) return false;
    return rebuild(false, code, document, store, sharing, header, out);
}

bool loadCombinationMacroFromMachine(MacroMemory& memory, int index, MacroDocument& document, TextStore& store,
                                     const MacroDocument* sharing, MachineMacro& out,
                                     const MemoryProgress* progress) {
    CombinationMemoryHeader header{};
    if (!readListedHeader(memory, at(index), header, memory_location::kReadCombinationHeader) ||
        header.magic != kCombinationMagic || header.bodyLength == 0) {
        return false;
    }
    CombinationMemoryHeader current{};
    std::vector<uint8_t> code;
    if (!readMacro(memory, at(index), current, code, memory_location::kReadCombinationBody, progress)) return false;
    return rebuild(true, code, document, store, sharing, header, out);
}

PageOutcome saveEditPageFile(const std::string& path, const std::string& name, uint16_t flags,
                             const ExtraBlock& extra, MacroDocument& document, const TextStore& store) {
    if (document.head.lineCount <= 0) return {true, {}};
    CompileResult code = compileEditMacro(document, store);
    EditMemoryHeader header = makeEditMemoryHeader(name, flags, code.ok() ? code->code.size() : 0);
    FileOutcome written = saveEditFile(path, header, extra, document, store);
    if (!written.ok) return failed(written.message);
    return saved();
}

PageOutcome saveCombinationPageFile(const std::string& path, const std::string& name, uint16_t flags,
                                    const ExtraBlock& extra, MacroDocument& document, const TextStore& store,
                                    MacroMemory& memory, const MemoryProgress* progress) {
    CompileResult code = compileCombinationMacro(document, store);
    CombinationMemoryHeader header = makeCombinationMemoryHeader(name, flags, code.ok() ? code->code.size() : 0, 0, 0);
    FileOutcome written = saveCombinationFile(path, header, extra, document, memory, progress);
    if (!written.ok) return written;
    return saved();
}

bool adoptFileTexts(MacroDocument& loaded, const TextStore& fileStore, TextStore& shared,
                    const MacroDocument& replaced, const MacroDocument* other) {
    std::vector<int> freed, taken;
    const auto undo = [&] {
        for (int slot : taken) shared.slots[slot].inUse = 0;
        for (int slot : freed) shared.slots[slot].inUse = 1;
    };
    for (int i = 0; i < replaced.head.lineCount && i < kMaxLines; ++i) {
        const EditLine& line = replaced.lines[i];
        const int slot = P(line, 8);
        if (line.kind != kind::kTypeText || slot < 0 || slot >= kTextSlotCount || !shared.slots[slot].inUse) continue;
        if (other != nullptr && linesUsingSlot(*other, slot, -1) > 0) continue;
        shared.slots[slot].inUse = 0;
        freed.push_back(slot);
    }
    int newSlot[kTextSlotCount];
    std::fill(std::begin(newSlot), std::end(newSlot), -1);
    for (int i = 0; i < loaded.head.lineCount && i < kMaxLines; ++i) {
        EditLine& line = loaded.lines[i];
        const int slot = P(line, 8);
        if (line.kind != kind::kTypeText || slot < 0 || slot >= kTextSlotCount) continue;
        if (newSlot[slot] < 0) {
            const int free = lowestFreeSlot(shared);
            if (free < 0) {
                undo();
                for (int j = 0; j < i; ++j) {
                    EditLine& done = loaded.lines[j];
                    if (done.kind != kind::kTypeText) continue;
                    for (int old = 0; old < kTextSlotCount; ++old) {
                        if (newSlot[old] >= 0 && newSlot[old] == P(done, 8)) {
                            P(done, 8) = old;
                            break;
                        }
                    }
                }
                return false;
            }
            shared.slots[free] = fileStore.slots[slot];
            shared.slots[free].inUse = 1;
            taken.push_back(free);
            newSlot[slot] = free;
        }
        P(line, 8) = newSlot[slot];
    }
    return true;
}

std::string recoveryFileName(bool combination, const LocalTime& time) {
    return formatText("복구-%04d%02d%02d-%02d%02d%02d.%s", time.year, time.month, time.day, time.hour, time.minute,
                      time.second, combination ? "cqn1" : "eqn1");
}

FileOutcome saveRecoveryCopy(const std::string& folder, bool combination, const std::string& name, uint16_t flags,
                             const LocalTime& time, MacroDocument& document, const TextStore& store,
                             std::string& path) {
    path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    path += recoveryFileName(combination, time);
    const ExtraBlock none{};
    if (!combination) {
        CompileResult code = compileEditMacro(document, store);
        return saveEditFile(path, makeEditMemoryHeader(name, flags, code.ok() ? code->code.size() : 0), none, document,
                            store);
    }
    CompileResult code = compileCombinationMacro(document, store);
    const CombinationMemoryHeader header =
        makeCombinationMemoryHeader(name, flags, code.ok() ? code->code.size() : 0, 0, 0);
    const std::vector<uint8_t> bytes = encodeCombinationDocument(header, none, document);
    if (!writeFileAtomic(path, bytes.data(), bytes.size())) return failed(formatText("%s(ComLine=%d)", kTrouble, kRecoveryWrite));
    return {true, {}};
}

PageOutcome storeAutoClick(MacroMemory& memory, const AutoClickSettings& settings) {
    std::string problem = validateAutoClick(settings);
    if (!problem.empty()) return failed(problem);
    std::array<uint8_t, kAutoClickBlockSize> block;
    if (!buildAutoClickBlock(settings, block)) return failed(kAutoClickBadDeviceRecord);
    if (!memory.writeAutoClickBlock(block.data(), memory_location::kWriteAutoClick)) return linkLost(kAutoClickStore);
    return saved();
}

PageOutcome loadAutoClickFromMachine(MacroMemory& memory, AutoClickSettings& settings) {
    std::array<uint8_t, kAutoClickBlockSize> block{};
    if (!memory.readAutoClickBlock(block.data(), memory_location::kReadAutoClick)) return linkLost(kAutoClickLoad);
    if (!settingsFromBlock(block.data(), block.size(), settings)) return failed(kAutoClickBadDeviceRecord);
    return {true, kAutoClickLoaded};
}

PageOutcome saveRecordedMemoryToFile(MacroMemory& memory, int index, const RecordedPageOptions& page,
                                     const std::string& path, const MemoryProgress* progress) {
    RecordedMacroFile file;
    if (!readListedHeader(memory, at(index), file.header, memory_location::kReadRecordedHeader)) {
        return linkLost(kRecordedHeaderToFile);
    }
    if (file.header.magic == kRecordedMagic && file.header.bodyLength != 0 &&
        !memory.readBody(at(index), file.header, file.body, memory_location::kReadRecordedBody, progress)) {
        return linkLost(kRecordedBodyToFile);
    }
    if (file.body.size() != file.header.bodyLength) file.body.clear();
    file.header.flags = recordedFlags(page);
    setRecordedName(file.header.name, page.name);
    std::memset(file.header.reserved, 0, sizeof(file.header.reserved));
    FileOutcome written = saveRecordedFile(path, file);
    if (!written.ok) return failed(formatText("%s(MakLine=%d)", kTrouble, kRecordedFileCreate));
    return saved();
}

PageOutcome writeRecordedFileToMemory(const std::string& path, int index, const RecordedPageOptions& page,
                                      MacroMemory& memory, const MemoryProgress* progress) {
    auto bytes = readFile(path);
    RecordedMacroFile file;
    if (!bytes || !decodeRecordedFile(bytes->data(), bytes->size(), file)) {
        return failed(formatText("%s(RecLine=%d)", kTrouble, kRecordedFileRead));
    }
    file.header.magic = kRecordedMagic;
    file.header.flags = recordedFlags(page);
    setRecordedName(file.header.name, page.name);
    if (!memory.writeHeader(at(index), file.header, memory_location::kWriteRecordedHeader)) {
        return linkLost(kRecordedHeaderFromFile);
    }
    if (!file.body.empty() &&
        !memory.writeBody(at(index), file.header, file.body, memory_location::kWriteRecordedBody, progress)) {
        return linkLost(kRecordedBodyFromFile);
    }
    return saved();
}

} // namespace quillon::control
