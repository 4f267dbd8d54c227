// The analyzer file (*.dat): the record, the screenshot bitmaps, the sentence
// table, the machine macros (not in the autosave file), the sound files, the
// recognition images and the number packs, in that order, as LZNT1 blocks.
// There is no header and no directory: the record decides how the rest is
// read, so every count and size in it is checked before it is used.
#pragma once

#include "base/path.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "analyzer/file_stream.h"
#include "analyzer/machine_macros.h"
#include "analyzer/model.h"
#include "base/clock.h"

namespace quillon::analyzer {

struct FileHooks {
    // The progress window: a text and a position in a range; `closed` when
    // the window goes away. Unset: nothing is shown.
    std::function<void(const std::string& text, uint64_t done, uint64_t total)> progress;
    std::function<void()> progressClosed;
    // Questions (UTF-8 text). Unset: embedding and installing macros are
    // declined, opening an analyzer whose macros are missing goes on.
    std::function<bool(const std::string& question)> askEmbedMacros;
    std::function<bool(const std::string& question)> askContinueWithMissingMacros;
    std::function<bool(const std::string& question)> askInstallMacros;
    // Where restored screenshots and sounds go (file name inside the folder,
    // bytes). Unset: written into the Image and Sound folders.
    std::function<bool(const std::string& fileName, const uint8_t* data, size_t size)> restoreScreenshot;
    std::function<bool(const std::string& fileName, const uint8_t* data, size_t size)> restoreSound;
};

// The path of the file read or written, or the message (UTF-8, for a message
// box) that refuses it; `cancelled` when the user stopped it.
using FileResult = Built<std::string>;

// "C:\\a\\My.v2.txt" gives the path "C:\\a\\My.dat" and the name "My".
struct SavePath {
    std::string path;
    std::string name;
};
SavePath savePathFor(const std::string& chosen);

// Joins a folder and a file name with the folder's own separator.
using quillon::joinPath;

class AnalyzerFile {
public:
    AnalyzerFile(std::string imageFolder, std::string soundFolder);

    void setMachine(MachineMacroPort* machine) { machine_ = machine; }
    // Pauses that let the progress window repaint; none without a clock.
    void setClock(Clock* clock) { clock_ = clock; }
    FileHooks& hooks() { return hooks_; }

    // The file dialog's name is cut at its first "." and ".dat" appended.
    FileResult save(AnalyzerModel& model, const std::string& chosenPath);
    FileResult saveAutosave(AnalyzerModel& model, const std::string& path);
    // Opening resets the model first; any failure leaves it reset. (The
    // editor reads into a model of its own and swaps it in on success.)
    FileResult open(AnalyzerModel& model, const std::string& path);
    FileResult restoreAutosave(AnalyzerModel& model, const std::string& path);

    // The same without the file system around the analyzer file itself.
    FileResult write(AnalyzerModel& model, ByteSink& sink, bool autosave);
    FileResult read(AnalyzerModel& model, ByteSource& source, bool autosave);

    const std::string& imageFolder() const { return imageFolder_; }
    const std::string& soundFolder() const { return soundFolder_; }

private:
    FileResult prepare(AnalyzerModel& model, bool autosave);
    FileResult readSections(AnalyzerModel& model, ByteSource& source, bool autosave);
    bool writeMacroSections(AnalyzerModel& model, ByteSink& sink, FileResult& result);
    bool readMacroSections(AnalyzerModel& model, ByteSource& source, bool install, FileResult& result);
    bool embedMacro(ByteSink& sink, MacroKind kind, int index, const std::string& analyzerName,
                    std::vector<uint8_t>& header, FileResult& result);
    bool installMacro(ByteSource& source, MacroKind kind, int index, bool install, const std::string& analyzerName,
                      std::vector<uint8_t>& header, FileResult& result);
    void pause(uint32_t ms);
    void showProgress(const std::string& text, uint64_t done, uint64_t total);

    std::string imageFolder_;
    std::string soundFolder_;
    MachineMacroPort* machine_ = nullptr;
    Clock* clock_ = nullptr;
    FileHooks hooks_;
    // The 400 reserved bytes behind each macro header, per kind: written back
    // as last read from a file.
    std::array<std::array<uint8_t, kMacroReservedBytes>, 3> reserved_{};
};

// Texts of the macro questions (UTF-8).
std::string embedMacrosQuestion(const MacroMasks& masks);
std::string installMacrosQuestion(const MacroMasks& masks);
extern const char* const kMissingMacrosQuestion;

// Checks every count, order entry and slot number of a record read from a
// file against the capacities. False: the file is refused.
bool checkRecord(const AnalyzerImage& image);
bool checkRecognitionImage(const RecognitionImage& block);
bool checkSentenceTable(const SentenceTable& table);

} // namespace quillon::analyzer
