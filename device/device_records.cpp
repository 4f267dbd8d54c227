#include "device/device_records.h"

#include "base/byte_order.h"

#include <cstring>

namespace quillon {

OptionRecord optionRecordFromLink(const uint8_t* bytes) {
    OptionRecord record;
    std::memcpy(&record, bytes, sizeof record);
    record.magic = loadBe16(bytes + offsetof(OptionRecord, magic));
    record.flags = loadBe16(bytes + offsetof(OptionRecord, flags));
    record.deviceNumber = loadBe32(bytes + offsetof(OptionRecord, deviceNumber));
    record.firmwareVersion = loadBe16(bytes + offsetof(OptionRecord, firmwareVersion));
    return record;
}

void optionRecordToLink(const OptionRecord& record, uint8_t* bytes) {
    std::memcpy(bytes, &record, sizeof record);
    storeBe16(bytes + offsetof(OptionRecord, magic), record.magic);
    storeBe16(bytes + offsetof(OptionRecord, flags), record.flags);
    storeBe32(bytes + offsetof(OptionRecord, deviceNumber), record.deviceNumber);
    storeBe16(bytes + offsetof(OptionRecord, firmwareVersion), record.firmwareVersion);
}

HotkeyRecord hotkeyRecordFromLink(const uint8_t* bytes) {
    HotkeyRecord record;
    std::memcpy(&record, bytes, sizeof record);
    record.magic = loadBe16(bytes);
    return record;
}

void hotkeyRecordToLink(const HotkeyRecord& record, uint8_t* bytes) {
    std::memcpy(bytes, &record, sizeof record);
    storeBe16(bytes, record.magic);
}

namespace {

bool sendBareCommand(Link& link, uint8_t code) { return link.sendCommand(code); }

// A command whose reply is awaited before a block goes out.
bool writeRecordBlock(Link& link, uint8_t code, const uint8_t* bytes, size_t size) {
    return sendBareCommand(link, code) && link.receiveReply() && link.writeBlock(size, bytes);
}

bool located(Link& link, bool ok, int location) {
    return ok || link.fail(link.lastError().failure, link.lastError().operation, location);
}

} // namespace

bool readOptionRecord(Link& link, OptionRecord& record, int location) {
    BusyLink busy(link);
    uint8_t bytes[kOptionRecordSize];
    if (!located(link, sendBareCommand(link, command::kReadOptionRecord) && link.readBlock(sizeof bytes, bytes),
                 location)) {
        return false;
    }
    busy.finish(true);
    record = optionRecordFromLink(bytes);
    if (record.magic != kOptionRecordMagic) {
        return link.fail(LinkFailure::WrongMagic, "readOptionRecord", location);
    }
    return true;
}

bool writeOptionRecord(Link& link, const OptionRecord& record, int location) {
    BusyLink busy(link);
    uint8_t bytes[kOptionRecordSize];
    optionRecordToLink(record, bytes);
    return busy.finish(
        located(link, writeRecordBlock(link, command::kWriteOptionRecord, bytes, sizeof bytes), location));
}

bool readHotkeyRecord(Link& link, HotkeyRecord& record, int location) {
    BusyLink busy(link);
    uint8_t bytes[kHotkeyRecordSize];
    if (!located(link, sendBareCommand(link, command::kReadHotkeyRecord) && link.readBlock(sizeof bytes, bytes),
                 location)) {
        return false;
    }
    busy.finish(true);
    record = hotkeyRecordFromLink(bytes);
    if (record.magic != kHotkeyRecordMagic) {
        return link.fail(LinkFailure::WrongMagic, "readHotkeyRecord", location);
    }
    return true;
}

bool writeHotkeyRecord(Link& link, const HotkeyRecord& record, int location) {
    BusyLink busy(link);
    uint8_t bytes[kHotkeyRecordSize];
    hotkeyRecordToLink(record, bytes);
    return busy.finish(
        located(link, writeRecordBlock(link, command::kWriteHotkeyRecord, bytes, sizeof bytes), location));
}

bool resetHotkeys(Link& link, HotkeyRecord& record, int location) {
    {
        BusyLink busy(link);
        if (!busy.finish(located(link, sendBareCommand(link, command::kResetHotkeys) && link.receiveReply(),
                                 location))) {
            return false;
        }
    }
    return readHotkeyRecord(link, record, location);
}

bool scheduleMacro(Link& link, uint8_t kind, uint8_t memoryIndex, int location) {
    BusyLink busy(link);
    return busy.finish(located(
        link, link.sendCommand(command::kScheduleMacro, {kind, memoryIndex}) && link.receiveReply(), location));
}

bool cancelScheduledMacro(Link& link, int location) {
    BusyLink busy(link);
    return busy.finish(
        located(link, sendBareCommand(link, command::kCancelScheduledMacro) && link.receiveReply(), location));
}

bool testLink(Link& link, int location) {
    BusyLink busy(link);
    return busy.finish(located(link, sendBareCommand(link, command::kLinkTest) && link.receiveReply(), location));
}

} // namespace quillon
