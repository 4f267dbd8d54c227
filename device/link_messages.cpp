#include "device/link_messages.h"

namespace quillon {

namespace {

std::string withCode(const char* format, const char* text, int code) {
    std::string out;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out += text;
            ++p;
        } else if (p[0] == '%' && p[1] == 'd') {
            out += std::to_string(code);
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

LinkFailureNotice fromTextBlock(FailureReaction reaction) { return {"", true, reaction}; }

} // namespace

LinkFailureNotice startupFailureNotice(Program program, const LinkError& error) {
    const bool noAcknowledgement = error.failure == LinkFailure::NoAcknowledgement;
    switch (program) {
    case Program::AnalyzerEditor:
        if (noAcknowledgement) {
            return {"", false, FailureReaction::BeepTwiceAndEnd};
        }
        if (error.failure == LinkFailure::NoDevice) {
            return {kEditorLinkLostText, false, FailureReaction::EndProgram};
        }
        return exchangeFailureNotice(program, error);
    case Program::ControlPanel:
        if (noAcknowledgement) {
            return {"", false, FailureReaction::BeepTwiceAndEnd};
        }
        if (error.failure == LinkFailure::NoDevice) {
            return {withCode("%s(MainLine=%d)", kControlLinkLostText, kControlNoDeviceCode), false,
                    FailureReaction::EndProgram};
        }
        return exchangeFailureNotice(program, error);
    case Program::AnalyzerRunner:
    case Program::ShotTaker:
        return fromTextBlock(FailureReaction::EndProgram);
    }
    return {};
}

LinkFailureNotice exchangeFailureNotice(Program program, const LinkError& error) {
    switch (program) {
    case Program::AnalyzerEditor: {
        const int code = error.failure == LinkFailure::SendFailed ? kEditorSendFailedCode : kEditorReceiveFailedCode;
        return {withCode("%s(%d)", kEditorLinkLostText, code), false, FailureReaction::CloseMainWindow};
    }
    case Program::ControlPanel:
        return {withCode("%s(%d)", kControlLinkLostText, error.location), false, FailureReaction::CloseMainWindow};
    case Program::AnalyzerRunner:
    case Program::ShotTaker:
        return fromTextBlock(FailureReaction::GiveUpOperation);
    }
    return {};
}

LinkFailureNotice optionRecordFailureNotice(Program program, const LinkError& error) {
    switch (program) {
    case Program::AnalyzerEditor:
        return {kEditorLinkLostText, false, FailureReaction::EndProgram};
    case Program::ControlPanel:
        return {withCode("%s(SYS--ConfigLine=%d)", kControlTroubleText,
                         error.location ? error.location : kControlOptionRecordCode),
                false, FailureReaction::CloseMainWindow};
    case Program::AnalyzerRunner:
    case Program::ShotTaker:
        return fromTextBlock(FailureReaction::EndProgram);
    }
    return {};
}

LinkFailureNotice hotkeyRecordFailureNotice(const LinkError& error) {
    return {withCode("%s(HK--%d)", kControlTroubleText, error.location ? error.location : kControlHotkeyRecordCode),
            false, FailureReaction::CloseMainWindow};
}

} // namespace quillon
