#include "control/control_program.h"

#include <cctype>

#include "base/format_text.h"
#include "device/link_messages.h"

namespace quillon::control {

std::string mainLineTrouble(int code) { return formatText("%s(MainLine=%d)", kControlTroubleText, code); }

int startArgumentOf(std::string_view argument) {
    if (argument == "1") {
        return 1;
    }
    if (argument == "2") {
        return 2;
    }
    return 0;
}

ControlPage firstPageOf(int startArgument) {
    switch (startArgument) {
    case 1:
        return ControlPage::Edit;
    case 2:
        return ControlPage::Combination;
    default:
        return ControlPage::Options;
    }
}

namespace {

bool endsWithNoCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    const std::string_view tail = text.substr(text.size() - ending.size());
    for (size_t i = 0; i < ending.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != std::tolower(static_cast<unsigned char>(ending[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

ControlPage pageOfMacroFile(std::string_view path) {
    struct Extension {
        const char* ending;
        ControlPage page;
    };
    static constexpr Extension kExtensions[] = {
        {".eqn1", ControlPage::Edit},        {".vele", ControlPage::Edit},
        {".velel", ControlPage::Edit},       {".cqn1", ControlPage::Combination},
        {".velc", ControlPage::Combination}, {".velcl", ControlPage::Combination},
        {".rqn1", ControlPage::Recorded},    {".velr", ControlPage::Recorded},
        {".velrl", ControlPage::Recorded},   {".mgild", ControlPage::Recorded},
        {".aut", ControlPage::AutoClick},
    };
    for (const Extension& extension : kExtensions) {
        if (endsWithNoCase(path, extension.ending)) {
            return extension.page;
        }
    }
    return ControlPage::None;
}

StartRequest startRequestOf(std::string_view argument) {
    StartRequest request;
    request.argument = startArgumentOf(argument);
    request.page = firstPageOf(request.argument);
    if (request.argument == 0) {
        const ControlPage page = pageOfMacroFile(argument);
        if (page != ControlPage::None) {
            request.page = page;
            request.path = std::string(argument);
        }
    }
    return request;
}

std::string manualPath(const std::string& programFolder) {
    std::string path = programFolder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    return path + kManualFileName;
}

bool isWebAddress(std::string_view address) {
    auto startsWith = [&](std::string_view prefix) {
        if (address.size() <= prefix.size()) {
            return false;
        }
        for (size_t i = 0; i < prefix.size(); ++i) {
            char c = address[i];
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
            if (c != prefix[i]) {
                return false;
            }
        }
        return true;
    };
    if (!startsWith("http://") && !startsWith("https://")) {
        return false;
    }
    for (char c : address) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '"') {
            return false;
        }
    }
    return true;
}

} // namespace quillon::control
