#include "control/macro_compiler.h"

#include <cstring>

#include "base/byte_order.h"
#include "base/text.h"
#include "base/format_text.h"
#include "control/key_codes.h"
#include "control/line_kinds.h"

namespace quillon::control {

const CompileLocations kEditCompileLocations = {
    "MakLine", 32751, 32766, 32778, 32859, 32871, 33006, 33019, 33093, 33099, 33105, 33111, 33117,
};
const CompileLocations kCombinationCompileLocations = {
    "ComLine", 42751, 42766, 42778, 42859, 42871, 43006, 43019, 43093, 43099, 43105, 43111, 43117,
};

namespace {

constexpr size_t kRunawayCodeLength = 1 << 20;
constexpr const char* kUnmatched = "시작<-->끝의 짝이 맞지 않습니다.";

struct OpenBlock {
    bool open = false;
    size_t end16 = 0; // address of the block's end field
};

struct LabelAddress {
    std::string name; // the 15 name bytes as emitted
    size_t address;
};

class Compiler {
public:
    Compiler(const TextStore& store, bool combination, const CompileLocations& where)
        : store_(store), combination_(combination), where_(where) {}

    CompileResult run(const MacroDocument& document) {
        int count = document.head.lineCount;
        if (count < 0 || count > kMaxLines) {
            return fail("매크로 줄 수가 올바르지 않습니다.");
        }
        for (int i = 0; i < count; ++i) {
            if (!line(document.lines[i], i + 1)) return std::move(result_);
            // Far past the limit: no need to keep building (typing lines are large).
            if (code_.size() > kRunawayCodeLength) return fail("매크로 길이가 너무 깁니다.");
        }
        code_.push_back(kEndOfCode);
        for (const LabelAddress& jump : jumps_) {
            const LabelAddress* target = nullptr;
            for (const LabelAddress& label : labels_) {
                if (label.name == jump.name) {
                    target = &label;
                    break;
                }
            }
            if (!target) {
                std::string shown(jump.name.c_str()); // up to its NUL
                return fail(formatText("인식표 [%s]가 없습니다.", text::cp949ToUtf8(shown).c_str()));
            }
            storeBe16(&code_[jump.address], static_cast<uint16_t>(target->address));
        }
        if (buttonIf_.open) {
            return fail(formatText("버튼클릭 비교문의 %s(%s=%d)", kUnmatched, where_.page, where_.openButtonIfAtEnd));
        }
        if (keyIf_.open) {
            return fail(formatText("키입력 비교문의 %s(%s=%d)", kUnmatched, where_.page, where_.openKeyIfAtEnd));
        }
        if (repeatDepth_ > 0) {
            return fail(formatText("%s(%s=%d)", "줄에서 반복시작과 반복끝의 짝이 맞지 않습니다.", where_.page,
                                   where_.openRepeatAtEnd));
        }
        if (repeatCompare_.open) {
            return fail(formatText("%s(%s=%d)", "줄에서 반복횟수 비교의 시작과 끝이 맞지 않습니다.", where_.page,
                                   where_.openRepeatCompareAtEnd));
        }
        // An open remote-if would leave its end address 0 in the machine's code.
        if (remoteIf_.open) {
            return fail(formatText("원격명령 비교문의 %s(%s=%d)", kUnmatched, where_.page, where_.openRemoteIfAtEnd));
        }
        if (code_.size() > static_cast<size_t>(kMaxCodeLength)) {
            return fail("매크로 길이가 너무 깁니다.");
        }
        result_.ok = true;
        result_.code = std::move(code_);
        return std::move(result_);
    }

private:
    CompileResult fail(std::string message) {
        result_.ok = false;
        result_.code.clear();
        result_.message = std::move(message);
        return std::move(result_);
    }

    bool stop(std::string message) {
        result_.ok = false;
        result_.message = std::move(message);
        return false;
    }

    bool unmatched(int lineNumber, int location) {
        return stop(formatText("%s(CodeLine=%d--%s=%d)", kUnmatched, lineNumber, where_.page, location));
    }

    bool invalid(int lineNumber) { return stop(formatText("%d줄의 내용이 올바르지 않습니다.", lineNumber)); }

    void byte(int value) { code_.push_back(static_cast<uint8_t>(value)); }
    void be16(int value) {
        code_.push_back(static_cast<uint8_t>(value >> 8));
        code_.push_back(static_cast<uint8_t>(value));
    }
    size_t placeholder16() {
        size_t at = code_.size();
        be16(0);
        return at;
    }
    // The block's end field gets the address of the byte after its closer.
    void closeBlock(OpenBlock& block) {
        storeBe16(&code_[block.end16], static_cast<uint16_t>(code_.size()));
        block.open = false;
    }
    void labelName(const EditLine& line) {
        char name[15] = {};
        std::memcpy(name, line.label, std::min<size_t>(fieldLength(line.label, kLabelSize), 15));
        code_.insert(code_.end(), name, name + 15);
    }

    bool keyByte(const EditLine& line, int lineNumber) {
        auto code = keyCodeOfRow(P(line, 8));
        if (!code) return invalid(lineNumber);
        byte(*code);
        return true;
    }

    // Absolute position on the reference screen scaled to the machine's range.
    bool absolute(const EditLine& line, int lineNumber) {
        int64_t width = P(line, 32), height = P(line, 36);
        if (width <= 0 || height <= 0) return invalid(lineNumber);
        be16(static_cast<int>(P(line, 16) * int64_t{19200} / width + 1));
        be16(static_cast<int>(P(line, 20) * int64_t{12000} / height + 1));
        be16(static_cast<int>(width));
        be16(static_cast<int>(height));
        return true;
    }

    bool typing(const EditLine& line, int lineNumber) {
        int slot = P(line, 8);
        if (slot < 0 || slot >= kTextSlotCount || store_.slots[slot].inUse != 1) return invalid(lineNumber);
        const TextSlot& s = store_.slots[slot];
        if (s.keyStreamLength < 0 || s.keyStreamLength > kTextFieldSize || s.textLength < 1 ||
            s.textLength > kTextFieldSize) {
            return invalid(lineNumber);
        }
        byte(kind::kTypeText);
        byte(slot);
        be16(s.interval);
        be16(s.keyStreamLength);
        code_.insert(code_.end(), s.keyStream, s.keyStream + s.keyStreamLength);
        be16(s.speed);
        be16(s.textLength);
        code_.insert(code_.end(), s.text, s.text + s.textLength);
        code_.back() = 0; // the text always ends with its NUL
        return true;
    }

    bool line(const EditLine& line, int n) {
        const int k = line.kind;
        if (!isKnownKind(k, combination_)) return invalid(n);
        switch (k) {
        case 1: case 2: case 3: case 49:
            byte(k);
            return keyByte(line, n);
        case 64: case 65: case 66: case 67: case 68: case 69:
            if (keyIf_.open) return unmatched(n, k <= 66 ? where_.keyIfInsideKeyIf : where_.keyIfInsideKeyIfKey);
            byte(k);
            if (k >= 67 && !keyByte(line, n)) return false;
            keyIf_ = {true, placeholder16()};
            return true;
        case 96:
            if (!keyIf_.open) {
                return stop(formatText("%s(CodeLine=%d--%s%d)", kUnmatched, n, where_.page, where_.keyIfUnmatchedEnd));
            }
            byte(k);
            closeBlock(keyIf_);
            return true;
        case 97:
            if (!buttonIf_.open) return unmatched(n, where_.buttonIfUnmatchedEnd);
            byte(k);
            closeBlock(buttonIf_);
            return true;
        case 80: case 81:
            if (remoteIf_.open) return stop(formatText("%s(%d줄--%d)", kUnmatched, n, where_.remoteIfInsideRemoteIf));
            byte(k);
            if (k == 81) byte(P(line, 20));
            remoteIf_ = {true, placeholder16()};
            return true;
        case 99:
            if (!remoteIf_.open) return unmatched(n, where_.remoteIfUnmatchedEnd);
            byte(k);
            closeBlock(remoteIf_);
            return true;
        case 89: {
            if (repeatCompare_.open) return stop("반복횟수 비교문장 안에 또 다른 반복횟수 비교문장이 들어갈 수 없습니다.");
            auto nibble = [](int op) { return op >= 0 && op <= 2 ? op : 3; };
            byte(k);
            byte(P(line, 8));
            byte(nibble(P(line, 24)) | (nibble(P(line, 28)) << 4));
            be16(P(line, 20));
            be16(P(line, 32));
            repeatCompare_ = {true, placeholder16()};
            return true;
        }
        case 98:
            if (!repeatCompare_.open) return stop(formatText("%d%s", n, "줄에서 반복횟수 비교의 시작과 끝이 맞지 않습니다."));
            byte(k);
            closeBlock(repeatCompare_);
            return true;
        case 88:
            if (repeatDepth_ == kMaxNestedRepeats) return stop("반복문은 5단계까지만 중첩이 가능합니다.");
            byte(k);
            byte(P(line, 8));
            be16(P(line, 16));
            repeats_[repeatDepth_++] = placeholder16();
            return true;
        case 103: {
            if (repeatDepth_ == 0) return stop(formatText("%d%s", n, "줄에서 반복시작과 반복끝의 짝이 맞지 않습니다."));
            byte(k);
            OpenBlock block{true, repeats_[--repeatDepth_]};
            closeBlock(block);
            return true;
        }
        case 152:
            byte(k);
            labelName(line);
            labels_.push_back({std::string(reinterpret_cast<const char*>(&code_[code_.size() - 15]), 15), code_.size()});
            return true;
        case 153: {
            byte(k);
            size_t target = placeholder16();
            labelName(line);
            jumps_.push_back({std::string(reinterpret_cast<const char*>(&code_[code_.size() - 15]), 15), target});
            return true;
        }
        case 8:
            return typing(line, n);
        case 28: case 29:
            byte(k);
            return absolute(line, n);
        case 30: case 31:
            byte(k);
            be16(P(line, 16));
            be16(P(line, 20));
            be16(P(line, 32));
            be16(P(line, 36));
            return true;
        case 32: {
            int h = P(line, 12) & 0xFF, v = P(line, 16) & 0xFF;
            byte(k);
            byte(P(line, 20) == 1 ? -h : h);
            byte(P(line, 24) == 1 ? -v : v);
            return true;
        }
        case 37:
            byte(k);
            byte(P(line, 24));
            return true;
        case 38:
            byte(k);
            byte(P(line, 24));
            be16(P(line, 16));
            be16(P(line, 20));
            be16(P(line, 32));
            be16(P(line, 36));
            return true;
        case 39:
        case 40: // a random move to a remembered point has no code of its own: move there
            byte(kind::kMoveToRemembered);
            byte(P(line, 24));
            return true;
        case 41: case 42:
            byte(k);
            byte(P(line, 20));
            return true;
        case 112:
            byte(k);
            be16(P(line, 16));
            return true;
        case 113:
            byte(k);
            be16(P(line, 20));
            be16(P(line, 24));
            return true;
        case 120: case 57:
            byte(k);
            byte(P(line, 20));
            return true;
        case 208: case 209: {
            int index = P(line, 12);
            byte(k);
            byte(index);
            uint32_t bit = uint32_t{1} << (static_cast<uint32_t>(index) % 32);
            (k == 208 ? result_.recordedSet : result_.editSet) |= bit;
            return true;
        }
        default:
            break;
        }
        if (blockOpenedBy(k) == Block::ButtonIf) {
            if (buttonIf_.open) return unmatched(n, where_.buttonIfInsideButtonIf);
            byte(k);
            buttonIf_ = {true, placeholder16()};
            return true;
        }
        // One-byte kinds: buttons, waits, lights, repeat break, end, shut down.
        byte(k);
        return true;
    }

    const TextStore& store_;
    bool combination_;
    const CompileLocations& where_;
    CompileResult result_;
    std::vector<uint8_t> code_;
    OpenBlock keyIf_, buttonIf_, remoteIf_, repeatCompare_;
    size_t repeats_[kMaxNestedRepeats] = {};
    int repeatDepth_ = 0;
    std::vector<LabelAddress> labels_, jumps_;
};

} // namespace

CompileResult compileEditMacro(const MacroDocument& document, const TextStore& store) {
    return Compiler(store, false, kEditCompileLocations).run(document);
}

CompileResult compileCombinationMacro(const MacroDocument& document, const TextStore& store) {
    return Compiler(store, true, kCombinationCompileLocations).run(document);
}

} // namespace quillon::control
