#include "control/control_program.h"

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
