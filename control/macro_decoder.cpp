#include "control/macro_decoder.h"
#include "base/fixed_text.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "base/byte_order.h"
#include "control/byte_code.h"
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
        storeFixedText(line.label, kMaxLabelCharacters + 1,
                       fixedText(reinterpret_cast<const char*>(name), kLabelCodeBytes));
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
        const std::string_view text =
            fixedText(reinterpret_cast<const char*>(textBytes), static_cast<size_t>(textLength));
        std::vector<uint8_t> keys(stream, stream + streamLength);

        auto holds = [&](int candidate) {
            const TextSlot& s = store_.slots[candidate];
            return s.inUse == 1 && s.keyStreamLength == streamLength &&
                   std::memcmp(s.keyStream, stream, static_cast<size_t>(streamLength)) == 0 &&
                   fixedText(s.text, sizeof(s.text)) == text;
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

    // The operands of the line's opcode, read back into its parameter words.
    bool operands(CodeReader& r, EditLine& line) {
        const OpcodeLayout* layout = opcodeLayout(line.kind);
        if (!layout || !isKnownKind(line.kind, combination_)) return false;
        if (layout->button >= 0) P(line, 8) = layout->button;
        int scaled[2] = {};
        for (const OperandField& f : layout->operands) {
            int a = 0;
            switch (f.type) {
            case Operand::Key:
                if (!key(r, line)) return false;
                break;
            case Operand::Byte:
            case Operand::Word:
            case Operand::SignedWord:
                if (!(f.type == Operand::Byte ? r.u8(a) : f.type == Operand::Word ? r.u16(a) : r.s16(a))) return false;
                P(line, f.word) = a;
                break;
            case Operand::ScaledX:
            case Operand::ScaledY:
                if (!r.u16(scaled[f.type == Operand::ScaledY])) return false;
                break;
            case Operand::Fps:
                if (!r.u8(a)) return false;
                a = static_cast<int8_t>(a);
                P(line, f.second) = a < 0 ? 1 : 0;
                P(line, f.word) = a < 0 ? -a : a;
                break;
            case Operand::Operators:
                if (!r.u8(a)) return false;
                P(line, f.word) = (a & 0x0F) <= 2 ? (a & 0x0F) : -1;
                P(line, f.second) = (a >> 4) <= 2 ? (a >> 4) : -1;
                break;
            case Operand::End16:
            case Operand::Target16:
                if (!r.skip(2)) return false;
                break;
            case Operand::Label: {
                const uint8_t* name = r.take(kLabelCodeBytes);
                if (!name) return false;
                label(name, line);
                break;
            }
            case Operand::Typing:
                return typing(r, line);
            }
        }
        // Absolute positions, once the reference screen (which the page takes on) is read.
        for (const OperandField& f : layout->operands) {
            if (f.type != Operand::ScaledX && f.type != Operand::ScaledY) continue;
            const bool x = f.type == Operand::ScaledX;
            (x ? width_ : height_) = P(line, f.second);
            P(line, f.word) = static_cast<int>(int64_t{scaled[x ? 0 : 1]} * P(line, f.second) / (x ? 19200 : 12000));
        }
        return true;
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
