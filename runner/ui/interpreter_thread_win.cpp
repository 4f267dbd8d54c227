// The interpreter of analyzer-runner, wired to the program: the live screen,
// the status windows as its host, the machine link, and the loader of the
// run-analyzer command.
#include <windows.h>

#include "device/startup_offsets.h"
#include "runner/interpreter.h"
#include "runner/run_loader.h"
#include "runner/trace_writer.h"
#include "runner/ui/runner_host.h"
#include "runner/ui/runner_screen.h"
#include "runner/ui/runner_session.h"

namespace quillon::runner_ui {
namespace {

class FileLoader final : public runner::AnalyzerLoader {
public:
    explicit FileLoader(RunnerSession& session) : session_(session) {}
    int load(const std::string& path, analyzer::AnalyzerModel& model) override {
        std::string notice;
        int code = loadAnalyzerForRun(model, path, session_.soundFolder, &notice);
        if (code == run_load::kOk) {
            session_.analyzerPath = path;
        } else if (!notice.empty()) {
            showWarning(session_, session_.currentWindow.load(), notice);
        }
        return code;
    }

private:
    RunnerSession& session_;
};

} // namespace

RunnerSession::RunnerSession() : link(Program::AnalyzerRunner, systemClock()) {}
RunnerSession::~RunnerSession() { closeTrace(*this); }

void createInterpreter(RunnerSession& session) {
    if (!session.loader) {
        session.loader = std::make_unique<FileLoader>(session);
    }
    runner::RunSettings settings = runner::runSettingsFrom(session.data);
    // The user's folders, resolved in the user's data folder at start-up.
    settings.soundFolder = session.soundFolder;
    settings.analyzerFolder = session.analyzerFolder;
    settings.runActiveFlag = &session.runActive;
    settings.pausedFlag = &session.paused;
    settings.observer = session.trace.get();
    session.interpreter = std::make_unique<runner::Interpreter>(session.model, session.link, *session.screen,
                                                                *session.host, session.link.clock(), *session.loader,
                                                                settings);
}

void runInterpreter(RunnerSession& session) {
    if (session.interpreter && session.runActive.load()) {
        session.interpreter->run();
    }
}

void stopInterpreter(RunnerSession& session) {
    session.runActive = false;
    if (session.interpreter) {
        session.interpreter->runActive = false;
    }
}

bool closeTrace(RunnerSession& session) {
    if (!session.traceFile) return true;
    bool ok = !session.trace || session.trace->finish();
    ok = std::fclose(session.traceFile) == 0 && ok;
    session.traceFile = nullptr;
    session.trace.reset();
    return ok;
}

} // namespace quillon::runner_ui
