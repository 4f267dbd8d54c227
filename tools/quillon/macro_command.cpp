// quillon macro compile|decode|show: the control program's macro files and
// byte code from the command line.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/text.h"
#include "control/auto_click.h"
#include "control/line_kinds.h"
#include "control/macro_compiler.h"
#include "control/macro_decoder.h"
#include "control/macro_files.h"
#include "control/recorded_macro.h"
#include "tools/quillon/commands.h"

namespace quillon::cli {

namespace {

using namespace quillon::control;

int usage() {
    std::fprintf(stderr, "%s", macroHelp());
    return 2;
}

enum class FileKind { Edit, Combination, Recorded, AutoClick, Unknown };

std::string lowerExtension(const std::string& path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

FileKind kindOfFile(const std::string& path) {
    std::string ext = lowerExtension(path);
    if (ext == "eqn1" || ext == "vele" || ext == "velel") return FileKind::Edit;
    if (ext == "cqn1" || ext == "velc" || ext == "velcl") return FileKind::Combination;
    if (ext == "rqn1" || ext == "velr" || ext == "velrl" || ext == "mgild") return FileKind::Recorded;
    if (ext == "aut") return FileKind::AutoClick;
    return FileKind::Unknown;
}

void printHex(const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::printf(i % 16 == 0 ? (i ? "\n%02X" : "%02X") : " %02X", bytes[i]);
    }
    std::printf("\n");
}

void printLines(const MacroDocument& document) {
    for (int i = 0; i < document.head.lineCount; ++i) {
        std::printf("%5d  %s\n", i + 1, lineDisplayText(document.lines[i]).c_str());
    }
}

std::string name(const char (&field)[42]) { return text::cp949ToUtf8(std::string(fixedText(field, 42))); }

bool parseHex(const Args& args, size_t from, std::vector<uint8_t>& out) {
    std::string digits;
    for (size_t i = from; i < args.size(); ++i) {
        for (char c : args[i]) {
            if (std::isxdigit(static_cast<unsigned char>(c))) {
                digits += c;
            } else if (!std::isspace(static_cast<unsigned char>(c)) && c != ',') {
                return false;
            }
        }
    }
    if (digits.size() % 2) return false;
    for (size_t i = 0; i < digits.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return true;
}

int compile(const std::string& path) {
    FileKind kind = kindOfFile(path);
    CompileResult result;
    if (kind == FileKind::Edit) {
        EditMacroFile file;
        FileOutcome loaded = loadEditFile(path, file);
        if (!loaded.ok) {
            std::fprintf(stderr, "quillon macro: %s: %s\n", path.c_str(), loaded.message.c_str());
            return 1;
        }
        result = compileEditMacro(*file.document, *file.store);
    } else if (kind == FileKind::Combination) {
        CombinationMacroFile file;
        FileOutcome loaded = loadCombinationFile(path, file);
        if (!loaded.ok) {
            std::fprintf(stderr, "quillon macro: %s: %s\n", path.c_str(), loaded.message.c_str());
            return 1;
        }
        auto store = newTextStore(); // combination files carry no typing texts
        result = compileCombinationMacro(*file.document, *store);
        if (result.ok()) {
            std::printf("recorded set %08X, edit set %08X\n", result->recordedSet, result->editSet);
        }
    } else {
        std::fprintf(stderr, "quillon macro: %s is not an edit or combination macro file\n", path.c_str());
        return 2;
    }
    if (!result.ok()) {
        std::fprintf(stderr, "quillon macro: %s\n", result.message.c_str());
        return 1;
    }
    printHex(result->code);
    return 0;
}

int decode(const Args& args) {
    if (args.size() < 3) return usage();
    bool combination = args[1] == "combination";
    if (!combination && args[1] != "edit") return usage();
    std::vector<uint8_t> code;
    if (args[2] == "--file") {
        if (args.size() != 4) return usage();
        auto bytes = readFile(args[3]);
        if (!bytes) {
            std::fprintf(stderr, "quillon macro: cannot read %s\n", args[3].c_str());
            return 1;
        }
        code = std::move(*bytes);
    } else if (!parseHex(args, 2, code)) {
        std::fprintf(stderr, "quillon macro: the code must be hexadecimal bytes\n");
        return 2;
    }
    auto document = newMacroDocument();
    auto store = newTextStore();
    DecodeResult result = combination ? decodeCombinationMacro(code.data(), code.size(), *document, *store)
                                      : decodeEditMacro(code.data(), code.size(), *document, *store);
    printLines(*document);
    if (!result.reachedEnd) std::printf("(stopped at address %zu without the end byte)\n", result.stoppedAt);
    return 0;
}

int show(const std::string& path) {
    switch (kindOfFile(path)) {
    case FileKind::Edit: {
        EditMacroFile file;
        FileOutcome loaded = loadEditFile(path, file);
        if (!loaded.ok) break;
        std::printf("edit macro \"%s\" flags %04X length %u lines %d%s\n", name(file.header.name).c_str(),
                    unsigned{file.header.flags}, unsigned{file.header.bodyLength}, file.document->head.lineCount,
                    file.hasTextStore ? " (with typing texts)" : "");
        printLines(*file.document);
        return 0;
    }
    case FileKind::Combination: {
        CombinationMacroFile file;
        FileOutcome loaded = loadCombinationFile(path, file);
        if (!loaded.ok) break;
        std::printf("combination macro \"%s\" flags %04X length %u recorded set %08X edit set %08X lines %d\n",
                    name(file.header.name).c_str(), unsigned{file.header.flags}, unsigned{file.header.bodyLength},
                    unsigned{file.header.recordedSet}, unsigned{file.header.editSet}, file.document->head.lineCount);
        printLines(*file.document);
        return 0;
    }
    case FileKind::Recorded: {
        auto bytes = readFile(path);
        if (!bytes) break;
        std::optional<std::vector<uint8_t>> converted;
        if (lowerExtension(path) == "mgild") {
            converted = convertMgild(*bytes);
            if (!converted) break;
            bytes = std::move(converted);
        }
        RecordedMacroFile file;
        if (!decodeRecordedFile(bytes->data(), bytes->size(), file)) break;
        RecordedPageOptions o = showRecordedHeader(file.header);
        std::printf("recorded macro \"%s\" magic %04X flags %04X\n  speed %s, %s, keyboard lock %d, mouse lock %d, "
                    "play once %d\n  length %s, size %s\n",
                    o.name.c_str(), unsigned{file.header.magic}, unsigned{file.header.flags},
                    kRecordedSpeedNames[o.speed], kRecordedModeNames[o.mode], o.keyboardLock, o.mouseLock, o.playOnce,
                    o.lengthText.c_str(), o.sizeText.c_str());
        return 0;
    }
    case FileKind::AutoClick: {
        AutoClickSettings settings{};
        if (!loadAutoClickFile(path, settings).ok) break;
        std::printf("auto-click \"%s\"\n", text::cp949ToUtf8(std::string(fixedText(settings.name, 64))).c_str());
        std::string problem = validateAutoClick(settings);
        if (!problem.empty()) std::printf("  not valid: %s\n", problem.c_str());
        std::printf("code ");
        printHex(generateAutoClickCode(settings));
        return 0;
    }
    case FileKind::Unknown:
        std::fprintf(stderr, "quillon macro: unknown file kind: %s\n", path.c_str());
        return 2;
    }
    std::fprintf(stderr, "quillon macro: cannot read %s (missing or damaged)\n", path.c_str());
    return 1;
}

} // namespace

int macroCommand(const Args& args) {
    if (args.empty()) return usage();
    if (args[0] == "compile" && args.size() == 2) return compile(args[1]);
    if (args[0] == "decode") return decode(args);
    if (args[0] == "show" && args.size() == 2) return show(args[1]);
    return usage();
}

const char* macroHelp() {
    return "  macro compile FILE               byte code (hex) of an edit (.eqn1) or combination (.cqn1) macro\n"
           "  macro decode edit|combination HEX...  lines of byte code (or --file CODE)\n"
           "  macro show FILE                  header and lines of a macro file (eqn1 cqn1 rqn1 mgild aut)\n";
}

} // namespace quillon::cli
