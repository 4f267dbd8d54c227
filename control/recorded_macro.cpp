#include "control/recorded_macro.h"
#include "base/fixed_text.h"

#include <cstring>

#include "base/byte_order.h"
#include "base/text.h"
#include "base/format_text.h"
#include "control/line_kinds.h"

namespace quillon::control {

const char* const kRecordedSpeedNames[7] = {"1배속", "2배속", "4배속", "8배속", "16배속", "32배속", "64배속"};
const char* const kRecordedModeNames[3] = {"표준 모드", "FPS 모드", "좌표인식 모드"};

namespace {
constexpr uint16_t kKeyboardLock = 0x40, kMouseLock = 0x80, kNoStartDelay = 0x100, kNoEndDelay = 0x200,
                   kKeyboardOnly = 0x800, kPlayOnce = 0x4000;
}

RecordedPageOptions showRecordedHeader(const RecordedMemoryHeader& header) {
    RecordedPageOptions o;
    o.name = text::cp949ToUtf8(std::string(fixedText(header.name, sizeof(header.name))));
    o.speed = header.flags & 0x0F;
    if (o.speed > 6) o.speed = 6;
    o.mode = (header.flags >> 4) & 0x03;
    if (o.mode > 2) o.mode = 2;
    o.keyboardLock = header.flags & kKeyboardLock;
    o.mouseLockEnabled = o.mode == kRecordedModeCoordinates;
    o.mouseLock = o.mouseLockEnabled ? (header.flags & kMouseLock) != 0 : true;
    o.noStartDelay = header.flags & kNoStartDelay;
    o.noEndDelay = header.flags & kNoEndDelay;
    o.keyboardOnly = header.flags & kKeyboardOnly;
    o.playOnce = header.flags & kPlayOnce;
    const uint32_t recording = header.recordingLength;
    const uint32_t size = header.bodyLength;
    o.lengthText = formatSeconds(static_cast<int32_t>(std::min<uint32_t>(recording, INT32_MAX))) + "초";
    o.sizeText = formatText("%u바이트", size);
    return o;
}

uint16_t recordedFlags(const RecordedPageOptions& o) {
    uint16_t flags = static_cast<uint16_t>((o.speed & 0x0F) | ((o.mode & 0x03) << 4));
    if (o.keyboardLock) flags |= kKeyboardLock;
    if (o.mouseLock || o.mode != kRecordedModeCoordinates) flags |= kMouseLock;
    if (o.noStartDelay) flags |= kNoStartDelay;
    if (o.noEndDelay) flags |= kNoEndDelay;
    if (o.keyboardOnly) flags |= kKeyboardOnly;
    if (o.playOnce) flags |= kPlayOnce;
    return flags;
}

void setMacroName(char (&field)[42], const std::string& utf8, size_t maxBytes) {
    std::string cp949 = text::utf8ToCp949(utf8.empty() ? std::string("새로 만든 매크로") : utf8);
    std::memset(field, 0, sizeof(field));
    storeFixedText(field, std::min(maxBytes + 1, sizeof(field)), cp949);
}

void setRecordedName(char (&field)[42], const std::string& utf8) { setMacroName(field, utf8, 39); }

std::string currentRecordedMemoryText(int index, const std::string& utf8Name) {
    return formatText("%d-%d메모리\r\n%s", index / 8 + 1, index % 8 + 1, utf8Name.c_str());
}

size_t recordedRecordLength(uint8_t first) {
    switch (first >> 4) {
    case 0x0: return 8;
    case 0x1: return 10;
    case 0x2: case 0x3: return 6;
    case 0x4: case 0x5: case 0xB: case 0xC: case 0xD: case 0xE: return 1;
    default: return 4;
    }
}

bool walkRecordedBody(const uint8_t* body, size_t size, const std::function<void(size_t, size_t)>& visit) {
    size_t at = 0;
    while (at < size) {
        size_t length = recordedRecordLength(body[at]);
        if (length > size - at) return false;
        visit(at, length);
        at += length;
    }
    return true;
}

namespace {
constexpr size_t kMgildHeaderSize = 164;
constexpr size_t kRecordedExtraSize = 400;
} // namespace

std::optional<std::vector<uint8_t>> convertMgild(const std::vector<uint8_t>& mgild) {
    if (mgild.size() < kMgildHeaderSize) return std::nullopt;
    const uint8_t* old = mgild.data();
    uint32_t bodyLength = loadBe32(old + 113);
    if (bodyLength > mgild.size() - kMgildHeaderSize) return std::nullopt;

    RecordedMemoryHeader header{};
    header.magic = kRecordedMagic;
    header.flags = static_cast<uint16_t>(loadBe16(old + 18) & ~0x0300);
    storeFixedText(header.name, 40, fixedText(reinterpret_cast<const char*>(old + 20), 93));
    header.bodyLength = bodyLength;
    header.recordingLength = loadBe32(old + 117);
    storeBe16(header.firstDelay, static_cast<uint16_t>(loadBe16(old + 121) * 10));
    storeBe16(header.secondDelay, static_cast<uint16_t>(loadBe16(old + 123) * 10));

    std::vector<uint8_t> out(sizeof(header) + kRecordedExtraSize + bodyLength, 0);
    std::memcpy(out.data(), &header, sizeof(header));
    uint8_t* body = out.data() + sizeof(header) + kRecordedExtraSize;
    std::memcpy(body, old + kMgildHeaderSize, bodyLength);
    // Coordinate-mode recordings kept positions at a tenth of the new scale.
    if (((header.flags >> 4) & 0x03) == kRecordedModeCoordinates) {
        walkRecordedBody(body, bodyLength, [body](size_t at, size_t length) {
            if (length == 10 && (body[at] >> 4) == 0x1) {
                storeLe16(body + at + 5, static_cast<uint16_t>(loadLe16(body + at + 5) * 10));
                storeLe16(body + at + 7, static_cast<uint16_t>(loadLe16(body + at + 7) * 10));
            }
        });
    }
    return out;
}

std::string convertedRecordedPath(const std::string& recordedFolder, const std::string& mgildPath) {
    size_t slash = mgildPath.find_last_of("/\\");
    std::string base = slash == std::string::npos ? mgildPath : mgildPath.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    if (dot != std::string::npos) base.resize(dot);
    return recordedFolder + base + ".rqn1";
}

} // namespace quillon::control
