#include "control/macro_compiler.h"

#include <cstring>

#include "base/text.h"
#include "base/format_text.h"
#include "control/byte_code.h"
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
            if (!line(document.lines[i], i + 1)) return CompileResult::refused(std::move(message_));
            // Far past the limit: no need to keep building (typing lines are large).
            if (code_.size() > kRunawayCodeLength) return fail("매크로 길이가 너무 깁니다.");
        }
        code_.byte(kEndOfCode);
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
            code_.storeAt(jump.address, target->address);
        }
        if (block(Block::ButtonIf).open) {
            return fail(formatText("버튼클릭 비교문의 %s(%s=%d)", kUnmatched, where_.page, where_.openButtonIfAtEnd));
        }
        if (block(Block::KeyIf).open) {
            return fail(formatText("키입력 비교문의 %s(%s=%d)", kUnmatched, where_.page, where_.openKeyIfAtEnd));
        }
        if (repeatDepth_ > 0) {
            return fail(formatText("%s(%s=%d)", "줄에서 반복시작과 반복끝의 짝이 맞지 않습니다.", where_.page,
                                   where_.openRepeatAtEnd));
        }
        if (block(Block::RepeatCompare).open) {
            return fail(formatText("%s(%s=%d)", "줄에서 반복횟수 비교의 시작과 끝이 맞지 않습니다.", where_.page,
                                   where_.openRepeatCompareAtEnd));
        }
        // An open remote-if would leave its end address 0 in the machine's code.
        if (block(Block::RemoteIf).open) {
            return fail(formatText("원격명령 비교문의 %s(%s=%d)", kUnmatched, where_.page, where_.openRemoteIfAtEnd));
        }
        if (code_.size() > static_cast<size_t>(kMaxCodeLength)) {
            return fail("매크로 길이가 너무 깁니다.");
        }
        made_.code = code_.take();
        return CompileResult::of(std::move(made_));
    }

private:
    CompileResult fail(std::string message) { return CompileResult::refused(std::move(message)); }

    bool stop(std::string message) {
        message_ = std::move(message);
        return false;
    }

    bool unmatched(int lineNumber, int location) {
        return stop(formatText("%s(CodeLine=%d--%s=%d)", kUnmatched, lineNumber, where_.page, location));
    }

    bool invalid(int lineNumber) { return stop(formatText("%d줄의 내용이 올바르지 않습니다.", lineNumber)); }

    OpenBlock& block(Block kind) { return blocks_[static_cast<int>(kind)]; }

    bool typing(const EditLine& line, int lineNumber) {
        int slot = P(line, 8);
        if (slot < 0 || slot >= kTextSlotCount || store_.slots[slot].inUse != 1) return invalid(lineNumber);
        const TextSlot& s = store_.slots[slot];
        if (s.keyStreamLength < 0 || s.keyStreamLength > kTextFieldSize || s.textLength < 1 ||
            s.textLength > kTextFieldSize) {
            return invalid(lineNumber);
        }
        code_.byte(kind::kTypeText);
        code_.byte(slot);
        code_.be16(s.interval);
        code_.be16(s.keyStreamLength);
        code_.bytes(s.keyStream, static_cast<size_t>(s.keyStreamLength));
        code_.be16(s.speed);
        code_.be16(s.textLength);
        code_.bytes(reinterpret_cast<const uint8_t*>(s.text), static_cast<size_t>(s.textLength));
        code_.back() = 0; // the text always ends with its NUL
        return true;
    }

    // The operand values of a line as the table lays them out; false when a
    // key or the reference screen cannot be coded.
    static bool operandValues(const OpcodeLayout& layout, const EditLine& line, std::vector<int>& values) {
        auto nibble = [](int op) { return op >= 0 && op <= 2 ? op : 3; };
        for (const OperandField& f : layout.operands) {
            const int value = f.word ? P(line, f.word) : 0;
            switch (f.type) {
            case Operand::Key: {
                auto code = keyCodeOfRow(value);
                if (!code) return false;
                values.push_back(*code);
                break;
            }
            case Operand::ScaledX:
            case Operand::ScaledY: {
                int64_t size = P(line, f.second);
                if (size <= 0) return false;
                values.push_back(static_cast<int>(value * int64_t{f.type == Operand::ScaledX ? 19200 : 12000} / size + 1));
                break;
            }
            case Operand::Fps:
                values.push_back(P(line, f.second) == 1 ? -(value & 0xFF) : value & 0xFF);
                break;
            case Operand::Operators: values.push_back(nibble(value) | (nibble(P(line, f.second)) << 4)); break;
            case Operand::End16: case Operand::Target16: case Operand::Label: case Operand::Typing: break;
            default: values.push_back(value); break;
            }
        }
        return true;
    }

    // Refuses a block line that does not fit the blocks open before it.
    bool blocksAllow(int k, int n) {
        switch (blockOpenedBy(k)) {
        case Block::KeyIf:
            return !block(Block::KeyIf).open || unmatched(n, k < kind::kIfKey ? where_.keyIfInsideKeyIf : where_.keyIfInsideKeyIfKey);
        case Block::ButtonIf: return !block(Block::ButtonIf).open || unmatched(n, where_.buttonIfInsideButtonIf);
        case Block::RemoteIf:
            return !block(Block::RemoteIf).open || stop(formatText("%s(%d줄--%d)", kUnmatched, n, where_.remoteIfInsideRemoteIf));
        case Block::RepeatCompare:
            return !block(Block::RepeatCompare).open || stop("반복횟수 비교문장 안에 또 다른 반복횟수 비교문장이 들어갈 수 없습니다.");
        case Block::Repeat: return repeatDepth_ < kMaxNestedRepeats || stop("반복문은 5단계까지만 중첩이 가능합니다.");
        case Block::None: break;
        }
        switch (blockClosedBy(k)) {
        case Block::KeyIf:
            return block(Block::KeyIf).open ||
                   stop(formatText("%s(CodeLine=%d--%s%d)", kUnmatched, n, where_.page, where_.keyIfUnmatchedEnd));
        case Block::ButtonIf: return block(Block::ButtonIf).open || unmatched(n, where_.buttonIfUnmatchedEnd);
        case Block::RemoteIf: return block(Block::RemoteIf).open || unmatched(n, where_.remoteIfUnmatchedEnd);
        case Block::RepeatCompare:
            return block(Block::RepeatCompare).open || stop(formatText("%d%s", n, "줄에서 반복횟수 비교의 시작과 끝이 맞지 않습니다."));
        case Block::Repeat:
            return repeatDepth_ > 0 || stop(formatText("%d%s", n, "줄에서 반복시작과 반복끝의 짝이 맞지 않습니다."));
        case Block::None: break;
        }
        return true;
    }

    bool line(const EditLine& line, int n) {
        const int k = line.kind;
        if (!isKnownKind(k, combination_)) return invalid(n);
        if (!blocksAllow(k, n)) return false;
        if (k == kind::kTypeText) return typing(line, n);
        // A random move to a remembered point has no code of its own: move there.
        const OpcodeLayout& layout = *opcodeLayout(k == kind::kMoveToRememberedRandom ? kind::kMoveToRemembered : k);
        std::vector<int> values;
        if (!operandValues(layout, line, values)) return invalid(n);
        uint8_t name[kLabelCodeBytes] = {};
        std::memcpy(name, line.label, std::min<size_t>(fixedText(line.label, kLabelSize).size(), kLabelCodeBytes));
        const size_t placeholder = code_.op(layout.opcode, values, name);
        const std::string nameBytes(reinterpret_cast<const char*>(name), kLabelCodeBytes);
        // The block's end field gets the address of the byte after its closer.
        if (const Block opened = blockOpenedBy(k); opened == Block::Repeat) {
            repeats_[repeatDepth_++] = placeholder;
        } else if (opened != Block::None) {
            block(opened) = {true, placeholder};
        }
        if (const Block closed = blockClosedBy(k); closed == Block::Repeat) {
            code_.pointHere(repeats_[--repeatDepth_]);
        } else if (closed != Block::None) {
            code_.pointHere(block(closed).end16);
            block(closed).open = false;
        }
        if (k == kind::kLabel) labels_.push_back({nameBytes, code_.size()});
        if (k == kind::kJump) jumps_.push_back({nameBytes, placeholder});
        if (k == kind::kPlayRecorded || k == kind::kPlayEdit) {
            uint32_t bit = uint32_t{1} << (static_cast<uint32_t>(P(line, 12)) % 32);
            (k == kind::kPlayRecorded ? made_.recordedSet : made_.editSet) |= bit;
        }
        return true;
    }

    const TextStore& store_;
    bool combination_;
    const CompileLocations& where_;
    CompiledMacro made_;
    std::string message_; // why the line at hand stopped the compiler
    CodeWriter code_;
    OpenBlock blocks_[6];
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
