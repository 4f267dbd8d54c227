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

LinkAnnouncement linkAnnouncement(const Link& link) {
    if (link.kind() == LinkKind::Serial) {
        return {"보조통신장치 정상연결 되어 있습니다.",
                withCode("%d번 통신포트로 통신을 시작합니다.", "", link.serialPortIndex() + 1)};
    }
    return {"USB가 정상 연결되었습니다.", "USB로 데이터를 주고 받습니다."};
}

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
