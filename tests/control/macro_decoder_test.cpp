#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "control/key_stream.h"
#include "control/macro_compiler.h"
#include "control/macro_decoder.h"
#include "control/macro_files.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

using testing::hex;
using testing::makeLine;
using testing::Page;

std::vector<std::string> sentences(const MacroDocument& document) {
    std::vector<std::string> out;
    for (int i = 0; i < document.head.lineCount; ++i) out.push_back(lineDisplayText(document.lines[i]));
    return out;
}

TEST(DecodeEditMacro, RebuildsLinesWithSentencesAndIndents) {
    const std::vector<uint8_t> code = {0x58, 0x00, 0x00, 0x03, 0x00, 0x0A, 0x01, 0x04, 0x70, 0x05, 0xDC,
                                       0x67, 0x1C, 0x25, 0x81, 0x17, 0x71, 0x07, 0x80, 0x04, 0x38, 0xEE};
    Page page;
    auto result = decodeEditMacro(code.data(), code.size(), *page.document, *page.store);
    EXPECT_TRUE(result.reachedEnd);
    EXPECT_EQ(result.referenceWidth, 1920);
    EXPECT_EQ(result.referenceHeight, 1080);
    EXPECT_EQ(sentences(*page.document),
              (std::vector<std::string>{"반복 [A] 시작(3회) {.", "\t[ A  ]키를 누른다.", "\t1.5초 동안 대기한다.",
                                        "} 반복 끝.", "마우스를 [X=960, Y=540]로 이동"}));
}

TEST(DecodeEditMacro, StopRules) {
    struct Case {
        std::vector<uint8_t> code;
        int lines;
        size_t stoppedAt;
    };
    const Case cases[] = {
        {{0x88, 0x00, 0x89}, 1, 1},       // a 0 ends the walk
        {{0x88, 0xEF, 0x89}, 1, 1},       // so does any byte above 238
        {{0x88, 0x89, 0xEE, 0x88}, 2, 2}, // and 238
        {{0x88, 0x01}, 1, 1},             // a line cut short by the end of the code
        {{0x88, 0x04, 0x33}, 1, 1},       // an opcode the language does not have
        {{0x88, 0x5F, 0x60}, 1, 1},       // 95 lies between the block kinds but is none
        {{0x5E, 0x00, 0x00, 0x60, 0x5F}, 2, 4}, // 94 and 96 on either side of it are
        {{0xD0, 0x01}, 0, 0},             // playing a memory is for combination macros
        {{0x01, 0x32}, 0, 0},             // a key code the table does not know
        {{0x08, 0x00, 0x00, 0x10, 0x7F, 0xFF}, 0, 0}, // a key stream longer than the code
    };
    for (const Case& c : cases) {
        Page page;
        auto result = decodeEditMacro(c.code.data(), c.code.size(), *page.document, *page.store);
        EXPECT_EQ(result.lines, c.lines) << hex(c.code);
        EXPECT_EQ(result.stoppedAt, c.stoppedAt) << hex(c.code);
    }
}

TEST(DecodeCombinationMacro, PlayLinesTakeTheIndex) {
    const std::vector<uint8_t> code = {0xD0, 0x08, 0xD1, 0x1F, 0xEE};
    Page page;
    decodeCombinationMacro(code.data(), code.size(), *page.document, *page.store);
    EXPECT_EQ(sentences(*page.document),
              (std::vector<std::string>{"2-1녹화매크로를 재생한다", "4-8편집매크로를 재생한다"}));
}

TEST(DecodeEditMacro, TextSlots) {
    Page source;
    auto a = placeTypingText(*source.store, *source.document, -1, "하나", 600);
    auto b = placeTypingText(*source.store, *source.document, -1, "둘", 600);
    source.add(makeLine(8, {{8, *b}}));
    source.add(makeLine(8, {{8, *a}}));
    source.add(makeLine(8, {{8, *b}}));
    auto compiled = compileEditMacro(*source.document, *source.store);
    ASSERT_TRUE(compiled.ok());

    // Into an empty store: the code's slots, shared lines stay shared.
    Page target;
    decodeEditMacro(compiled->code.data(), compiled->code.size(), *target.document, *target.store);
    EXPECT_EQ(P(target.document->lines[0], 8), 1);
    EXPECT_EQ(P(target.document->lines[1], 8), 0);
    EXPECT_EQ(P(target.document->lines[2], 8), 1);
    EXPECT_EQ(sentences(*target.document)[1], "문장 출력 [하나 ...]");

    // Slot 1 kept by the other page's typing line with another text: the
    // decoded text goes to the lowest free slot instead of overwriting it.
    Page other;
    Page shared;
    placeTypingText(*shared.store, *other.document, -1, "남의것", 600);
    placeTypingText(*shared.store, *other.document, -1, "남의것2", 600);
    other.add(makeLine(8, {{8, 1}}));
    decodeEditMacro(compiled->code.data(), compiled->code.size(), *shared.document, *shared.store, other.document.get());
    EXPECT_EQ(text::cp949ToUtf8(shared.store->slots[1].text), "남의것2");
    EXPECT_EQ(P(shared.document->lines[0], 8), 0);
    EXPECT_EQ(P(shared.document->lines[1], 8), 2);
    EXPECT_EQ(P(shared.document->lines[2], 8), 0);
    EXPECT_EQ(sentences(*shared.document)[2], "문장 출력 [둘 ...]");
}

// Random documents that the page could build: every leaf kind with valid
// parameters, blocks properly nested, jumps to existing labels.
class DocumentGenerator {
public:
    explicit DocumentGenerator(uint32_t seed) : random_(seed) {}

    void build(Page& page, bool combination) {
        const char* names[] = {"one", "둘", "three"};
        for (const char* name : names) page.add(testing::labelLine(152, name));
        int lines = pick(0, 120);
        for (int i = 0; i < lines; ++i) {
            if (!open_.empty() && pick(0, 5) == 0) {
                close(page);
                continue;
            }
            if (pick(0, 6) == 0 && openBlock(page)) continue;
            leaf(page, combination);
        }
        while (!open_.empty()) close(page);
        page.add(testing::labelLine(153, names[pick(0, 2)]));
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    bool openBlock(Page& page) {
        int choice = pick(0, 4);
        Block block = static_cast<Block>(choice + 1);
        for (Block b : open_) {
            if (b == block && block != Block::Repeat) return false;
        }
        if (block == Block::Repeat && std::count(open_.begin(), open_.end(), Block::Repeat) == kMaxNestedRepeats) return false;
        switch (block) {
        case Block::KeyIf: {
            int k = pick(64, 69);
            page.add(makeLine(k, {{8, k >= 67 ? pick(0, kKeyRowCount - 1) : 0}}));
            break;
        }
        case Block::ButtonIf: {
            int k = pick(0, 1) ? pick(70, 78) : pick(92, 94);
            page.add(makeLine(k, {{8, k >= 92 ? k - 92 : k >= 76 ? k - 76 : k >= 73 ? k - 73 : 0}}));
            break;
        }
        case Block::RemoteIf:
            page.add(pick(0, 1) ? makeLine(80) : makeLine(81, {{20, pick(0, 250)}}));
            break;
        case Block::Repeat:
            page.add(makeLine(88, {{8, pick(0, 4)}, {16, pick(1, 65000)}}));
            break;
        default: {
            int left = pick(-1, 2), right = left < 0 ? pick(0, 2) : pick(-1, 2);
            page.add(makeLine(89, {{8, pick(0, 4)}, {20, pick(0, 65000)}, {24, left}, {28, right}, {32, pick(0, 65000)}}));
            break;
        }
        }
        open_.push_back(block);
        return true;
    }

    void close(Page& page) {
        static const int closers[] = {0, 96, 97, 99, 103, 98};
        page.add(makeLine(closers[static_cast<int>(open_.back())]));
        open_.pop_back();
    }

    void leaf(Page& page, bool combination) {
        static const int oneByte[] = {48, 50, 51, 52, 53, 56, 105, 136, 137, 138, 139, 140, 141, 224, 225};
        switch (pick(0, combination ? 15 : 14)) {
        case 0: page.add(makeLine(pick(1, 3), {{8, pick(0, kKeyRowCount - 1)}})); break;
        case 1: page.add(makeLine(49, {{8, pick(0, kKeyRowCount - 1)}})); break;
        case 2: {
            int k = pick(16, 27);
            page.add(makeLine(k, {{8, (k - 16) % 3}}));
            break;
        }
        case 3: {
            int w = pick(1, 4000), h = pick(1, 3000);
            page.add(makeLine(pick(28, 29), {{16, pick(0, w - 1)}, {20, pick(0, h - 1)}, {32, w}, {36, h}}));
            break;
        }
        case 4:
            page.add(makeLine(pick(30, 31), {{16, pick(-32768, 32767)}, {20, pick(-32768, 32767)}, {32, pick(0, 65535)}, {36, pick(0, 65535)}}));
            break;
        case 5: page.add(makeLine(32, {{12, pick(1, 127)}, {20, pick(0, 1)}, {16, pick(1, 127)}, {24, pick(0, 1)}})); break;
        case 6: page.add(makeLine(pick(0, 1) ? 37 : 39, {{24, pick(0, 7)}})); break;
        case 7:
            page.add(makeLine(38, {{24, pick(0, 7)}, {16, pick(-32768, 32767)}, {20, pick(-32768, 32767)}, {32, pick(0, 65535)}, {36, pick(0, 65535)}}));
            break;
        case 8: page.add(makeLine(pick(41, 42), {{20, pick(1, 255)}})); break;
        case 9: page.add(makeLine(pick(0, 1) ? 57 : 120, {{20, pick(0, 250)}})); break;
        case 10: page.add(makeLine(112, {{16, pick(1, 65000)}})); break;
        case 11: page.add(makeLine(113, {{20, pick(1, 65000)}, {24, pick(1, 65000)}})); break;
        case 12: page.add(makeLine(oneByte[pick(0, 14)])); break;
        case 13: {
            std::string text;
            static const char* pieces[] = {"가", "닭", "a", "Z", "!", "\r\n", "왜", " ", "7", "값"};
            for (int i = pick(1, 12); i > 0; --i) text += pieces[pick(0, 9)];
            auto placed = placeTypingText(*page.store, *page.document, -1, text, pick(1, 2000));
            if (placed.ok()) page.add(makeLine(8, {{8, *placed}}));
            break;
        }
        case 14: {
            // Reuse an earlier typing line's slot now and then.
            for (int i = page.document->head.lineCount - 1; i >= 0; --i) {
                if (page.document->lines[i].kind == 8) {
                    page.add(page.document->lines[i]);
                    return;
                }
            }
            page.add(makeLine(224));
            break;
        }
        default: page.add(makeLine(pick(208, 209), {{12, pick(0, 31)}})); break;
        }
    }

    std::mt19937 random_;
    std::vector<Block> open_;
};

TEST(MacroRoundTrip, RandomDocumentsCompileDecodeAndCompileToTheSameBytes) {
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        bool combination = seed % 3 == 0;
        Page page;
        DocumentGenerator(seed).build(page, combination);
        auto compile = combination ? compileCombinationMacro : compileEditMacro;
        auto decode = combination ? decodeCombinationMacro : decodeEditMacro;
        auto first = compile(*page.document, *page.store);
        ASSERT_TRUE(first.ok()) << "seed " << seed << ": " << first.message;

        Page back;
        auto decoded = decode(first->code.data(), first->code.size(), *back.document, *back.store, nullptr);
        ASSERT_TRUE(decoded.reachedEnd) << "seed " << seed;
        ASSERT_EQ(decoded.stoppedAt, first->code.size() - 1);
        auto second = compile(*back.document, *back.store);
        ASSERT_TRUE(second.ok()) << "seed " << seed << ": " << second.message;
        ASSERT_EQ(hex(second->code), hex(first->code)) << "seed " << seed;
        EXPECT_EQ(second->recordedSet, first->recordedSet);
        EXPECT_EQ(second->editSet, first->editSet);

        std::vector<std::string> a, b;
        for (int i = 0; i < page.document->head.lineCount; ++i) a.push_back(page.document->lines[i].sentence);
        for (int i = 0; i < back.document->head.lineCount; ++i) b.push_back(back.document->lines[i].sentence);
        // Now and then an edit document also goes through a file and back.
        if (!combination && seed % 50 == 1) {
            EditMemoryHeader header{};
            auto bytes = encodeEditFile(header, ExtraBlock{}, *page.document, *page.store);
            EditMacroFile file;
            ASSERT_TRUE(decodeEditFile(bytes.data(), bytes.size(), file)) << "seed " << seed;
            auto fromFile = compileEditMacro(*file.document, *file.store);
            ASSERT_TRUE(fromFile.ok());
            ASSERT_EQ(fromFile->code, first->code) << "seed " << seed;
            ASSERT_EQ(encodeEditFile(file.header, file.extra, *file.document, *file.store), bytes) << "seed " << seed;
        }
        ASSERT_EQ(a.size(), b.size()) << "seed " << seed;
        for (size_t i = 0; i < a.size(); ++i) {
            ASSERT_EQ(text::cp949ToUtf8(a[i]), text::cp949ToUtf8(b[i])) << "seed " << seed << " line " << i;
        }
    }
}

} // namespace
} // namespace quillon::control
