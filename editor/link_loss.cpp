#include "editor/link_loss.h"

#include "device/link_messages.h"

namespace quillon::editor {

bool analyzerHasWork(const analyzer::AnalyzerModel& model) {
    const analyzer::AnalyzerImage& a = model.image();
    return a.itemCount > 0 || a.screenshotCount > 0 || a.recognitionImageCount > 0 || a.areaCount > 0 ||
           a.numberPackCount > 0 || a.cursorCount > 0;
}

LinkLossClosing closeOnLinkLoss(analyzer::AnalyzerModel& model, analyzer::AnalyzerFile& file,
                                const std::string& autosavePath, const LinkError& error) {
    LinkLossClosing closing;
    closing.message = exchangeFailureNotice(Program::AnalyzerEditor, error).text;
    if (analyzerHasWork(model)) {
        // The autosave writer asks nothing of the machine.
        closing.saved = file.saveAutosave(model, autosavePath).ok();
    }
    if (closing.saved) {
        closing.message += "\n\n";
        closing.message += kLinkLossSavedSentence;
    }
    return closing;
}

} // namespace quillon::editor
