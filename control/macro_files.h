// Macro files: edit macros (".eqn1", also ".vele" and ".veleL"), combination
// macros (".cqn1", ".velc", ".velcL") with the memories they play, recorded
// macros (".rqn1", ".velr", ".velrL", converted ".mgild"), auto-click
// settings (".aut") and the working copy "tmp.tmp".
//
// Readers check every length against the bytes present and decode into fresh
// records; a page takes them only when the whole file was read. Writers build
// the whole file and replace the old one in one step.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "control/auto_click.h"
#include "control/macro_records.h"
#include "device/macro_memory.h"

namespace quillon::control {

constexpr size_t kExtraBlockSize = 400;
using ExtraBlock = std::array<uint8_t, kExtraBlockSize>;

// What a file operation gives: success, or the message shown with the
// caption "오류" (linkLost: a machine transfer failed and the program ends).
using FileOutcome = Status;

// "%s(%d)" with "기계와 통신이 되지 않습니다" and the call site's location code.
std::string linkFailureText(int location);

// ---- edit macro files ----------------------------------------------------

struct EditMacroFile {
    EditMemoryHeader header{};
    ExtraBlock extra{};
    ZeroedPtr<MacroDocument> document = newMacroDocument();
    ZeroedPtr<TextStore> store = newTextStore();
    bool hasTextStore = false;
};

// The four blocks; marks the document's head so that the store is read back.
std::vector<uint8_t> encodeEditFile(const EditMemoryHeader& header, const ExtraBlock& extra, MacroDocument& document,
                                    const TextStore& store);
// `workingCopy`: the "tmp.tmp" form (no store; stops after the header when
// its length is 0).
bool decodeEditFile(const uint8_t* data, size_t size, EditMacroFile& out, bool workingCopy = false);

FileOutcome saveEditFile(const std::string& path, const EditMemoryHeader& header, const ExtraBlock& extra,
                         MacroDocument& document, const TextStore& store);
FileOutcome loadEditFile(const std::string& path, EditMacroFile& out);

// ---- combination macro files ---------------------------------------------

struct CombinationMacroFile {
    CombinationMemoryHeader header{};
    ExtraBlock extra{};
    ZeroedPtr<MacroDocument> document = newMacroDocument();
};

// The last part of a path ("a.cqn1" of "C:\\macros\\a.cqn1"), as progress texts name files.
std::string fileNameOf(const std::string& path);

// Bit sets of the memories the lines play (kind 208: recorded, 209: edit).
uint32_t recordedSetOfLines(const MacroDocument& document);
uint32_t editSetOfLines(const MacroDocument& document);

// The three compressed blocks, then for each set bit the memory read from the
// machine. The header's bit sets are rebuilt from the lines. False when a
// memory cannot be read. Each body read is named on `progress`
// ("1-2녹화메모리를 [fileName]파일에 추가저장하고 있습니다.").
bool encodeCombinationFile(CombinationMemoryHeader header, const ExtraBlock& extra, MacroDocument& document,
                           MacroMemory& memory, std::vector<uint8_t>& out, const MemoryProgress* progress = nullptr,
                           const std::string& fileName = {});
bool decodeCombinationFile(const uint8_t* data, size_t size, CombinationMacroFile& out, bool workingCopy = false);

// The three compressed blocks alone, with the header's bit sets as given (a
// copy written without the machine carries none of the memories it plays).
std::vector<uint8_t> encodeCombinationDocument(const CombinationMemoryHeader& header, const ExtraBlock& extra,
                                               MacroDocument& document);

FileOutcome saveCombinationFile(const std::string& path, const CombinationMemoryHeader& header,
                                const ExtraBlock& extra, MacroDocument& document, MacroMemory& memory,
                                const MemoryProgress* progress = nullptr);
FileOutcome loadCombinationFile(const std::string& path, CombinationMacroFile& out);

// The question asked before the macros a loaded combination file carries are
// written into the machine.
std::string embeddedMacroQuestion(uint32_t recordedSet, uint32_t editSet);

// Writes the recorded and edit macros carried by a combination file into the
// memories of the same numbers, in ascending order. Each memory written is
// named on `progress` ("[fileName]파일에 내장된 녹화매크로를 2-1녹화메모리에
// 저장하고 있습니다.").
FileOutcome storeEmbeddedMacros(const uint8_t* data, size_t size, MacroMemory& memory,
                                const MemoryProgress* progress = nullptr, const std::string& fileName = {});
FileOutcome storeEmbeddedMacros(const std::string& path, MacroMemory& memory,
                                const MemoryProgress* progress = nullptr);

// ---- working copy --------------------------------------------------------

constexpr const char* kWorkingCopyName = "tmp.tmp";
FileOutcome loadWorkingCopy(const std::string& path, int argument, EditMacroFile& edit, CombinationMacroFile& combination);

// ---- recorded macro files ------------------------------------------------

struct RecordedMacroFile {
    RecordedMemoryHeader header{};
    ExtraBlock extra{};
    std::vector<uint8_t> body;
};

std::vector<uint8_t> encodeRecordedFile(const RecordedMacroFile& file);
// `headerOnly`: only the 63-byte header, what the page shows; the block and
// the body are neither read nor checked (extra and body come back empty).
bool decodeRecordedFile(const uint8_t* data, size_t size, RecordedMacroFile& out, bool headerOnly = false);

FileOutcome saveRecordedFile(const std::string& path, const RecordedMacroFile& file);
// Reads the header of a recorded macro file by its extension: ".mgild" files
// are converted into "<recordedFolder><base name>.rqn1" first, whose header is
// then read; `loadedPath` gets the path of the file that was read. A body cut
// short is found only when the file is written to the machine or saved.
FileOutcome loadRecordedFile(const std::string& path, const std::string& recordedFolder, RecordedMacroFile& out,
                             std::string& loadedPath);

// ---- auto-click files ----------------------------------------------------

FileOutcome saveAutoClickFile(const std::string& path, const AutoClickSettings& settings);
FileOutcome loadAutoClickFile(const std::string& path, AutoClickSettings& settings);

// ---- pages ----------------------------------------------------------------

// Copies a loaded document into the page's record: the page's own head words
// (window handles) stay, the origin becomes a file with `path`, the document's
// current line is kept when it is inside the document, else 0.
void takeLoadedDocument(MacroDocument& page, const MacroDocument& loaded, const std::string& pathCp949);

} // namespace quillon::control
