// Opening an analyzer file, or restoring the autosave file, without losing
// the analyzer that is open. The file is read into a model of its own while
// its screenshots and sounds go to a staging folder under the data folder.
// Only a file read and checked to its end replaces anything: the Image
// folder's bitmaps are then exchanged for the staged ones, the staged sounds
// join the Sound folder and the new model takes the open one's place. A
// damaged file, a question answered Cancel or an exchange that fails leave
// the open analyzer and its Image folder as they were.
#pragma once

#include <string>

#include "analyzer/analyzer_file.h"
#include "analyzer/model.h"
#include "editor/folders.h"

namespace quillon::editor {

// The staging folder's name inside the data folder; emptied before and
// removed after every load.
inline constexpr const char* kStagingFolderName = "Opening.tmp";

enum class LoadKind { Open, RestoreAutosave };

analyzer::FileResult loadAnalyzer(analyzer::AnalyzerFile& file, analyzer::AnalyzerModel& model,
                                  const EditorFolders& folders, const std::string& path, LoadKind kind);

} // namespace quillon::editor
