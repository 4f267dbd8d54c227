#include "device/sim/action_log.h"

#include "base/byte_order.h"
#include "device/actions.h"
#include "device/key_table.h"

#include <cstdio>

namespace quillon::sim {

std::string actionName(uint8_t code) {
    using namespace action_code;
    switch (code) {
    case kKeyDown: return "keyDown";
    case kKeyUp: return "keyUp";
    case kButtonDown: return "buttonDown";
    case kButtonUp: return "buttonUp";
    case kMoveTo: return "moveTo";
    case kWheel: return "wheel";
    case kMoveBy: return "moveBy";
    case kPlayRecorded: return "playRecorded";
    case kStopMacro: return "stopMacro";
    case kPauseMacro: return "pauseMacro";
    case kResumeMacro: return "resumeMacro";
    case kPlayEdit: return "playEdit";
    case kPlayCombination: return "playCombination";
    case kRemoteCommand: return "remoteCommand";
    case kKeyboardLock: return "keyboardLock";
    case kMouseLock: return "mouseLock";
    case kRedOn: return "redLightOn";
    case kRedOff: return "redLightOff";
    case kYellowOn: return "yellowLightOn";
    case kYellowOff: return "yellowLightOff";
    case kGreenOn: return "greenLightOn";
    case kGreenOff: return "greenLightOff";
    case kComputerOff: return "computerOff";
    case kStatusRequest: return "statusRequest";
    default: return "unknown";
    }
}

std::string hexBytes(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

namespace {

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    out += "\"";
    return out;
}

} // namespace

std::string actionJson(const LoggedAction& action, int screenWidth, int screenHeight) {
    using namespace action_code;
    std::string out = "{\"time\":";
    out += std::to_string(action.time);
    out += ",\"code\":";
    out += std::to_string(action.code);
    out += ",\"action\":";
    out += jsonString(actionName(action.code));
    const auto& o = action.operands;
    auto field = [&out](const char* name, long value) {
        out += ",\"";
        out += name;
        out += "\":";
        out += std::to_string(value);
    };
    switch (action.code) {
    case kKeyDown:
    case kKeyUp:
        if (o.size() >= 1) {
            field("key", o[0]);
            out += ",\"name\":";
            out += jsonString(KeyTable().nameOfCode(o[0]));
        }
        break;
    case kButtonDown:
    case kButtonUp:
        if (o.size() >= 1) field("button", o[0]);
        break;
    case kMoveTo:
        if (o.size() >= 4) {
            const DevicePoint point{loadBe16(o.data()), loadBe16(o.data() + 2)};
            int x = 0, y = 0;
            fromDeviceScale(point, screenWidth, screenHeight, x, y);
            field("deviceX", point.x);
            field("deviceY", point.y);
            field("x", x);
            field("y", y);
        }
        break;
    case kWheel:
        if (o.size() >= 1) field("steps", static_cast<int8_t>(o[0]));
        break;
    case kMoveBy:
        if (o.size() >= 2) {
            field("dx", static_cast<int8_t>(o[0]));
            field("dy", static_cast<int8_t>(o[1]));
        }
        break;
    case kPlayRecorded:
    case kPlayEdit:
    case kPlayCombination:
        if (o.size() >= 3) {
            field("memory", o[0]);
            field("repeat", loadBe16(o.data() + 1));
        }
        break;
    case kRemoteCommand:
        if (o.size() >= 1) field("command", o[0]);
        break;
    case kKeyboardLock:
    case kMouseLock:
        if (o.size() >= 1) {
            out += ",\"lock\":";
            out += o[0] ? "true" : "false";
        }
        break;
    default:
        if (!o.empty()) {
            out += ",\"operands\":\"";
            out += hexBytes(o);
            out += "\"";
        }
        break;
    }
    out += "}";
    return out;
}

} // namespace quillon::sim
