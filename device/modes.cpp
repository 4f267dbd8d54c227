#include "device/modes.h"

namespace quillon {

uint8_t openingModeOf(Program program) {
    switch (program) {
    case Program::AnalyzerEditor:
    case Program::ControlPanel:
        return command::kEnterNormalMode;
    case Program::AnalyzerRunner:
        return command::kEnterAnalysisMode;
    case Program::ShotTaker:
        return command::kEnterScreenshotMode;
    }
    return command::kEnterNormalMode;
}

uint8_t closingModeOf(Program program) {
    switch (program) {
    case Program::AnalyzerRunner:
        return command::kLeaveAnalysisMode;
    case Program::ShotTaker:
        return command::kEnterNormalMode;
    default:
        return 0;
    }
}

namespace {

// One read on the serial link: a reply whose length byte came within one
// port read (a silent machine costs the port's short time-out, not the byte
// limit); the rest of the frame follows within the byte limit. False when
// nothing came or the frame broke off; `first` is its first payload byte.
bool readSerialReplyOnce(Link& link, uint8_t& first) {
    uint8_t length = 0;
    if (link.readSerialByteOnce(length) != ByteRead::Byte || length == 0 || length > kPayloadSize) {
        return false;
    }
    for (uint8_t i = 0; i < length; ++i) {
        uint8_t byte = 0;
        if (!link.readSerialByte(byte, link_timing::kSerialByteLimitMs)) {
            return false;
        }
        if (i == 0) {
            first = byte;
        }
    }
    return true;
}

// Single reads until byte 1 is 0xFE.
bool awaitModeAcknowledgement(Link& link, int reads, uint32_t sleepMs) {
    for (int i = 0; i < reads; ++i) {
        if (i > 0) {
            link.clock().sleepMs(sleepMs);
        }
        if (link.kind() == LinkKind::Serial) {
            uint8_t first = 0;
            if (readSerialReplyOnce(link, first) && first == kModeAcknowledged) {
                return true;
            }
            continue;
        }
        link.clearReply();
        if (link.receiveReplyOnce() && link.reply()[1] == kModeAcknowledged) {
            return true;
        }
    }
    return false;
}

} // namespace

bool enterMode(Link& link, uint8_t modeCode, int location) {
    BusyLink busy(link);
    if (!link.sendCommand(modeCode)) {
        return link.fail(LinkFailure::SendFailed, "enterMode", location);
    }
    const Program program = link.program();
    const bool serial = link.kind() == LinkKind::Serial;

    if (program == Program::ShotTaker) {
        // On both links: a bounded number of single reads, so a machine that
        // never acknowledges cannot hold the tool.
        return busy.finish(awaitModeAcknowledgement(link, mode_timing::kShotModeReads,
                                                    mode_timing::kShotModeReadSleepMs)) ||
               link.fail(LinkFailure::NoAcknowledgement, "enterMode", location);
    }
    if (modeCode == command::kEnterNormalMode && !serial &&
        (program == Program::AnalyzerEditor || program == Program::ControlPanel)) {
        return busy.finish(awaitModeAcknowledgement(link, mode_timing::kNormalModeReads,
                                                    mode_timing::kNormalModeReadSleepMs)) ||
               link.fail(LinkFailure::NoAcknowledgement, "enterMode", location);
    }
    // Any reply will do (analysis mode on both links, every mode on serial).
    if (!link.receiveReply()) {
        return link.fail(LinkFailure::ReceiveFailed, "enterMode", location);
    }
    return busy.finish(true);
}

} // namespace quillon
