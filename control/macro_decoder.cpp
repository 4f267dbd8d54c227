#include "control/macro_decoder.h"
#include "base/fixed_text.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "base/byte_order.h"
#include "control/key_codes.h"
#include "control/key_stream.h"
#include "control/line_kinds.h"
#include "control/macro_line_editor.h"

namespace quillon::control {

namespace {

// Bounds-checked reader over the code.
class CodeReader {
public:
    CodeReader(const uint8_t* code, size_t size) : code_(code), size_(size) {}
    size_t position() const { return at_; }
    bool left(size_t n) const { return size_ - at_ >= n; }
    bool u8(int& out) {
        if (!left(1)) return false;
        out = code_[at_++];
        return true;
    }
    bool u16(int& out) {
        if (!left(2)) return false;
        out = loadBe16(code_ + at_);
        at_ += 2;
        return true;
    }
    bool s16(int& out) {
        if (!u16(out)) return false;
        out = static_cast<int16_t>(out);
        return true;
    }
    bool skip(size_t n) {
        if (!left(n)) return false;
        at_ += n;
        return true;
    }
    const uint8_t* take(size_t n) {
        if (!left(n)) return nullptr;
        const uint8_t* p = code_ + at_;
        at_ += n;
        return p;
    }

private:
    const uint8_t* code_;
    size_t size_;
    size_t at_ = 0;
};

class Decoder {
public:
    Decoder(MacroDocument& document, TextStore& store, const MacroDocument* sharing, bool combination)
        : document_(document), store_(store), sharing_(sharing), combination_(combination) {}

    DecodeResult run(const uint8_t* code, size_t size) {
        std::vector<bool> keep(kTextSlotCount, false);
        if (sharing_) {
            for (int slot = 0; slot < kTextSlotCount; ++slot) keep[slot] = linesUsingSlot(*sharing_, slot, -1) > 0;
        }
        for (int slot = 0; slot < kTextSlotCount; ++slot) {
            if (!keep[slot]) store_.slots[slot].inUse = 0;
        }
        int used = document_.head.lineCount;
        used = used < 0 || used > kMaxLines ? kMaxLines : used; // lines past the count are already zero
        std::memset(document_.lines, 0, sizeof(EditLine) * static_cast<size_t>(used));
        document_.head.lineCount = 0;
        document_.head.currentLine = 0;

        CodeReader reader(code, size);
        DecodeResult result;
        for (;;) {
            size_t start = reader.position();
            int opcode = 0;
            if (!reader.u8(opcode) || opcode == 0 || opcode > kEndOfCode || opcode == kEndOfCode) {
                result.reachedEnd = opcode == kEndOfCode;
                result.stoppedAt = start;
                break;
            }
            EditLine line{};
            line.kind = opcode;
            if (!operands(reader, line) || document_.head.lineCount >= kMaxLines) {
                result.stoppedAt = start;
                break;
            }
            // Lines are added as the page adds them: appended, indented automatically.
            int position = document_.head.lineCount;
            line.indent = automaticIndent(document_, position, line.kind);
            rebuildSentence(line, store_);
            document_.lines[position] = line;
            document_.head.lineCount = position + 1;
            document_.head.currentLine = position;
        }
        result.lines = document_.head.lineCount;
        result.referenceWidth = width_;
        result.referenceHeight = height_;
        return result;
    }

private:
    bool key(CodeReader& r, EditLine& line) {
        int code = 0;
        if (!r.u8(code)) return false;
        auto row = rowOfKeyCode(static_cast<uint8_t>(code));
        if (!row) return false; // a key the table does not know cannot be shown or compiled again
        P(line, 8) = *row;
        return true;
    }

    void label(const uint8_t* name, EditLine& line) {
        std::memset(line.label, 0, sizeof(line.label));
        storeFixedText(line.label, kMaxLabelCharacters + 1, fixedText(reinterpret_cast<const char*>(name), 15));
    }

    bool typing(CodeReader& r, EditLine& line) {
        int slot = 0, interval = 0, streamLength = 0, speed = 0, textLength = 0;
        if (!r.u8(slot) || !r.u16(interval) || !r.u16(streamLength)) return false;
        const uint8_t* stream = r.take(static_cast<size_t>(streamLength));
        if (!stream || !r.u16(speed) || !r.u16(textLength)) return false;
        const uint8_t* textBytes = r.take(static_cast<size_t>(textLength));
        if (!textBytes || slot >= kTextSlotCount || textLength < 1 || textLength > kTextFieldSize ||
            streamLength > kTextFieldSize) {
            return false;
        }
        std::string_view text(reinterpret_cast<const char*>(textBytes),
                              fieldLength(reinterpret_cast<const char*>(textBytes), static_cast<size_t>(textLength)));
        std::vector<uint8_t> keys(stream, stream + streamLength);

        auto holds = [&](int candidate) {
            const TextSlot& s = store_.slots[candidate];
            return s.inUse == 1 && s.keyStreamLength == streamLength &&
                   std::memcmp(s.keyStream, stream, static_cast<size_t>(streamLength)) == 0 &&
                   std::string_view(s.text, fieldLength(s.text, sizeof(s.text))) == text;
        };
        // A slot the code names twice was moved once already: follow it.
        int target = movedSlot_[slot] >= 0 ? movedSlot_[slot] : slot;
        if (store_.slots[target].inUse == 1 && !holds(target)) {
            target = lowestFreeSlot(store_);
            if (target < 0) return false;
            movedSlot_[slot] = target;
        }
        if (store_.slots[target].inUse != 1) {
            fillTextSlot(store_.slots[target], text, keys, speed);
            store_.slots[target].interval = interval;
            store_.slots[target].textLength = textLength; // as the code carries it
        }
        P(line, 8) = target;
        return true;
    }

    bool operands(CodeReader& r, EditLine& line) {
        const int k = line.kind;
        int a = 0, b = 0, c = 0, d = 0;
        switch (k) {
        case 1: case 2: case 3: case 49:
            return key(r, line);
        case 64: case 65: case 66:
            return r.skip(2);
        case 67: case 68: case 69:
            return key(r, line) && r.skip(2);
        case 70: case 71: case 72: case 80:
            return r.skip(2);
        case 81:
            if (!r.u8(a) || !r.skip(2)) return false;
            P(line, 20) = a;
            return true;
        case 89:
            if (!r.u8(a) || !r.u8(b) || !r.u16(c) || !r.u16(d) || !r.skip(2)) return false;
            P(line, 8) = a;
            P(line, 24) = (b & 0x0F) <= 2 ? (b & 0x0F) : -1;
            P(line, 28) = (b >> 4) <= 2 ? (b >> 4) : -1;
            P(line, 20) = c;
            P(line, 32) = d;
            return true;
        case 88:
            if (!r.u8(a) || !r.u16(b) || !r.skip(2)) return false;
            P(line, 8) = a;
            P(line, 16) = b;
            return true;
        case 152: {
            const uint8_t* name = r.take(15);
            if (!name) return false;
            label(name, line);
            return true;
        }
        case 153: {
            if (!r.skip(2)) return false;
            const uint8_t* name = r.take(15);
            if (!name) return false;
            label(name, line);
            return true;
        }
        case 8:
            return typing(r, line);
        case 28: case 29:
            if (!r.u16(a) || !r.u16(b) || !r.u16(c) || !r.u16(d)) return false;
            P(line, 16) = static_cast<int>(int64_t{a} * c / 19200);
            P(line, 20) = static_cast<int>(int64_t{b} * d / 12000);
            P(line, 32) = width_ = c;
            P(line, 36) = height_ = d;
            return true;
        case 30: case 31:
            if (!r.s16(a) || !r.s16(b) || !r.u16(c) || !r.u16(d)) return false;
            P(line, 16) = a;
            P(line, 20) = b;
            P(line, 32) = c;
            P(line, 36) = d;
            return true;
        case 32:
            if (!r.u8(a) || !r.u8(b)) return false;
            a = static_cast<int8_t>(a);
            b = static_cast<int8_t>(b);
            P(line, 20) = a < 0 ? 1 : 0;
            P(line, 12) = a < 0 ? -a : a;
            P(line, 24) = b < 0 ? 1 : 0;
            P(line, 16) = b < 0 ? -b : b;
            return true;
        case 37: case 39:
            if (!r.u8(a)) return false;
            P(line, 24) = a;
            return true;
        case 38:
            if (!r.u8(a) || !r.s16(b) || !r.s16(c) || !r.u16(d)) return false;
            P(line, 24) = a;
            P(line, 16) = b;
            P(line, 20) = c;
            P(line, 32) = d;
            if (!r.u16(a)) return false;
            P(line, 36) = a;
            return true;
        case 41: case 42: case 120: case 57:
            if (!r.u8(a)) return false;
            P(line, 20) = a;
            return true;
        case 112:
            if (!r.u16(a)) return false;
            P(line, 16) = a;
            return true;
        case 113:
            if (!r.u16(a) || !r.u16(b)) return false;
            P(line, 20) = a;
            P(line, 24) = b;
            return true;
        case 208: case 209:
            if (!combination_ || !r.u8(a)) return false;
            P(line, 12) = a;
            return true;
        default:
            break;
        }
        if (blockOpenedBy(k) == Block::ButtonIf) {
            if (!r.skip(2)) return false;
            P(line, 8) = k >= 92 ? k - 92 : k >= 76 ? k - 76 : k >= 73 ? k - 73 : 0;
            return true;
        }
        if (k >= 16 && k <= 27) {
            P(line, 8) = (k - 16) % 3;
            return true;
        }
        if (k >= 51 && k <= 53) {
            P(line, 8) = k - 51;
            return true;
        }
        // Remaining one-byte kinds; anything else cannot be walked further.
        return isKnownKind(k, combination_) && k != kind::kMoveToRememberedRandom;
    }

    MacroDocument& document_;
    TextStore& store_;
    const MacroDocument* sharing_;
    bool combination_;
    int width_ = 0, height_ = 0;
    std::vector<int> movedSlot_ = std::vector<int>(kTextSlotCount, -1);
};

} // namespace

DecodeResult decodeEditMacro(const uint8_t* code, size_t size, MacroDocument& document, TextStore& store,
                             const MacroDocument* sharing) {
    return Decoder(document, store, sharing, false).run(code, size);
}

DecodeResult decodeCombinationMacro(const uint8_t* code, size_t size, MacroDocument& document, TextStore& store,
                                    const MacroDocument* sharing) {
    return Decoder(document, store, sharing, true).run(code, size);
}

} // namespace quillon::control
