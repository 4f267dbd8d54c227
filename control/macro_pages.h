// What the macro pages' machine and file buttons do, without the windows:
// compile and store, read back and rebuild, move recorded macros between
// files and memories. Each returns the notice or the message to show.
#pragma once

#include <cstdint>
#include <string>

#include "base/local_time.h"
#include "base/status.h"
#include "control/auto_click.h"
#include "control/macro_compiler.h"
#include "control/macro_files.h"
#include "control/macro_records.h"
#include "control/recorded_macro.h"

namespace quillon::control {

constexpr const char* kSaved = "저장 완료"; // caption "알림"

// What a page button gives: the notice when ok ("저장 완료" or empty), the
// error otherwise (linkLost: the machine stopped answering, the program ends).
using PageOutcome = Status;

// What "기계에 저장하기" gives: the outcome as every page button, and when it
// is ok the header now in the memory (the page's memory list shows it).
template <class Header>
struct StoreOutcome : PageOutcome {
    Header header{};
};

// "기계에 저장하기" of the edit page: the page's code, compiled once by the
// page (a compile error is refused here too and leaves the memory
// untouched), is stored with its header.
StoreOutcome<EditMemoryHeader> storeEditMacro(MacroMemory& memory, int index, const std::string& name,
                                              uint16_t flags, const CompileResult& code,
                                              const MemoryProgress* progress = nullptr);

// "기계에 저장하기" of the combination page. The header carries the bit sets of
// the memories the macro plays.
StoreOutcome<CombinationMemoryHeader> storeCombinationMacro(MacroMemory& memory, int index, const std::string& name,
                                                            uint16_t flags, const CompileResult& code,
                                                            const MemoryProgress* progress = nullptr);

struct MachineMacro {
    std::string name;       // UTF-8
    uint16_t flags = 0;
    int referenceWidth = 0; // of the last absolute move, 0 when none
    int referenceHeight = 0;
    bool complete = true;   // the reader walked the code to its end byte
    int linesRead = 0;      // lines rebuilt before the reader stopped
};

// The screen a page's movement lines are made on: a screenshot loaded into
// the page gives the picture's size; a macro read back from the machine or
// opened from a file gives the screen its absolute moves were made on (the
// last such move's), so that its lines changed and stored again keep the
// coordinates they had. 0 x 0 when nothing set it.
struct ReferenceScreen {
    int width = 0;
    int height = 0;
    bool known() const { return width > 0 && height > 0; }
    bool operator==(const ReferenceScreen&) const = default;
};
// The screen of the document's last absolute move (kinds 28, 29); unknown
// when it has none.
ReferenceScreen referenceScreenOf(const MacroDocument& document);
inline ReferenceScreen referenceScreenOf(const MachineMacro& macro) {
    return {macro.referenceWidth, macro.referenceHeight};
}

// The notice of a memory read back only in part (a key code without a key
// row, an opcode the reader does not know): where reading stopped.
std::string partialReadNotice(int linesRead);
// Asked before such a macro goes back to the machine.
constexpr const char* kPartialStoreQuestion =
    "이 매크로는 기계에서 끝까지 읽지 못한 매크로입니다.\n"
    "저장하면 읽지 못한 뒷부분은 기계에서 지워집니다.\n\n그래도 기계에 저장하시겠습니까?";

// "기계에서 불러오기": the memory's code rebuilt into the document (which is
// emptied first). False when the memory is empty or the link failed; the
// document is then unchanged.
bool loadEditMacroFromMachine(MacroMemory& memory, int index, MacroDocument& document, TextStore& store,
                              const MacroDocument* sharing, MachineMacro& out,
                              const MemoryProgress* progress = nullptr);
bool loadCombinationMacroFromMachine(MacroMemory& memory, int index, MacroDocument& document, TextStore& store,
                                     const MacroDocument* sharing, MachineMacro& out,
                                     const MemoryProgress* progress = nullptr);

// "하드에 저장하기" of the edit page: nothing happens for a document without
// lines (ok with an empty message); the header takes the page's name and
// flags and the length of the compiled code (0 when it does not compile).
PageOutcome saveEditPageFile(const std::string& path, const std::string& name, uint16_t flags,
                             const ExtraBlock& extra, MacroDocument& document, const TextStore& store);
// "하드에 저장하기" of the combination page: the played memories are read from
// the machine and carried in the file.
PageOutcome saveCombinationPageFile(const std::string& path, const std::string& name, uint16_t flags,
                                    const ExtraBlock& extra, MacroDocument& document, const TextStore& store,
                                    MacroMemory& memory, const MemoryProgress* progress = nullptr);

// The typing texts of a loaded edit file join the store the two pages
// share: the replaced document's texts are freed (unless the other page's
// lines use them) and each text the loaded lines use gets the lowest free
// slot, their lines renumbered, so that the other page keeps its texts.
// False (the store and the lines as they were) when the store is full.
constexpr const char* kTextStoreFull =
    "문장 저장 공간이 가득 찼습니다.\n필요없는 문장출력 명령을 삭제한 후 다시 시도해주세요.";
bool adoptFileTexts(MacroDocument& loaded, const TextStore& fileStore, TextStore& shared,
                    const MacroDocument& replaced, const MacroDocument* other);

// The machine was lost while a page held lines not yet saved: the document
// is written as a macro file of the page's kind into `folder` under a dated
// name ("복구-20261208-152502.eqn1"), without the machine (a combination copy
// carries none of the memories it plays). `path` gets the file's path.
std::string recoveryFileName(bool combination, const LocalTime& time);
FileOutcome saveRecoveryCopy(const std::string& folder, bool combination, const std::string& name, uint16_t flags,
                             const LocalTime& time, MacroDocument& document, const TextStore& store,
                             std::string& path);

// Auto-click page: "기계에 저장하기" validates, generates and writes the block;
// "기계에서 불러오기" takes the settings of the machine's block ("불러오기 완료",
// or "잘못된 데이터입니다." when its record is not valid, the settings then
// unchanged).
PageOutcome storeAutoClick(MacroMemory& memory, const AutoClickSettings& settings);
PageOutcome loadAutoClickFromMachine(MacroMemory& memory, AutoClickSettings& settings);

// Recorded page, state 1 ("하드에 저장하기" of a memory): the memory's header
// with the page's name and flags, and its body, written as a file.
// `progress` (optional) follows the body as it moves.
PageOutcome saveRecordedMemoryToFile(MacroMemory& memory, int index, const RecordedPageOptions& page,
                                     const std::string& path, const MemoryProgress* progress = nullptr);
// Recorded page, state 2 ("기계에 저장하기" of a file): the file read again and
// written into the memory with the page's name and flags.
PageOutcome writeRecordedFileToMemory(const std::string& path, int index, const RecordedPageOptions& page,
                                      MacroMemory& memory, const MemoryProgress* progress = nullptr);

} // namespace quillon::control
