// Helpers of the editor tests: records built field by field, a model with a
// few named objects, scratch folders and dialogs answered from a script.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "analyzer/model.h"
#include "base/file.h"
#include "base/text.h"
#include "base/user_dialogs.h"

namespace quillon::editor::testing {

using analyzer::AnalyzerModel;
using analyzer::Command;
using analyzer::Condition;
using analyzer::Item;
using analyzer::NextLink;

inline Condition condition(int32_t kind, std::initializer_list<std::pair<size_t, int32_t>> fields = {}) {
    Condition c{};
    c.used = 1;
    c.set(0, kind);
    for (auto [offset, value] : fields) {
        c.set(offset, value);
    }
    return c;
}

inline Command command(int32_t kind, std::initializer_list<std::pair<size_t, int32_t>> fields = {}) {
    Command c{};
    c.used = 1;
    c.set(0, kind);
    for (auto [offset, value] : fields) {
        c.set(offset, value);
    }
    return c;
}

inline void setName(char* field, size_t size, const std::string& utf8) {
    analyzer::storeFixedText(field, size, text::utf8ToCp949(utf8));
}

// Appends an item named `name` and returns its id.
inline int32_t appendItem(AnalyzerModel& model, const std::string& name, const Item* content = nullptr) {
    Item item{};
    if (content) {
        std::memcpy(&item, content, sizeof item);
    }
    setName(item.name, sizeof item.name, name);
    EXPECT_TRUE(model.insertItem(model.itemCount(), item));
    return model.item(model.itemCount() - 1).id;
}

// A recognition image on a 400 x 300 screenshot; returns its slot.
inline int addImage(AnalyzerModel& model, const std::string& name, bool pattern = false, int screenshotSlot = 0) {
    model.image().screenshotWidth = 400;
    model.image().screenshotHeight = 300;
    analyzer::NewRecognitionImage spec;
    spec.screenshotSlot = screenshotSlot;
    spec.centreX = 50;
    spec.centreY = 50;
    spec.width = 11;
    spec.height = 11;
    spec.pattern = pattern;
    spec.name = name;
    int slot = -1;
    EXPECT_TRUE(model.addRecognitionImage(spec, slot).ok);
    return slot;
}

// A scratch folder removed at the end of the test.
class ScratchFolder {
public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("quillon-editor-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                 std::to_string(counter()++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string path() const { return path_.string(); }
    // UTF-8 names joined as text: a narrow path would take them in the
    // Windows code page.
    std::string file(const std::string& name) const { return path() + "/" + name; }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

// Paths are UTF-8 (Korean names included), on Windows too.
inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(writeFileAtomic(path, bytes.data(), bytes.size())) << path;
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
    return readFile(path).value_or(std::vector<uint8_t>{});
}

inline void put32(std::vector<uint8_t>& bytes, size_t offset, int64_t value) {
    if (bytes.size() < offset + 4) {
        bytes.resize(offset + 4);
    }
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

inline void put16(std::vector<uint8_t>& bytes, size_t offset, int value) {
    if (bytes.size() < offset + 2) {
        bytes.resize(offset + 2);
    }
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

// Dialogs that answer from a script and remember what was shown.
class ScriptedDialogs final : public UserDialogs {
public:
    std::deque<bool> answers; // next answers to questions; empty: No
    struct Shown {
        std::string text;
        std::string caption;
        bool question;
    };
    std::vector<Shown> shown;

    bool ask(const std::string& text, const std::string& caption, QuestionKind) override {
        shown.push_back({text, caption, true});
        if (answers.empty()) {
            return false;
        }
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void tell(const std::string& text, const std::string& caption, MessageKind) override {
        shown.push_back({text, caption, false});
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& s : shown) {
            if (!s.question) {
                out.push_back(s.text);
            }
        }
        return out;
    }
    std::vector<std::string> questions() const {
        std::vector<std::string> out;
        for (const auto& s : shown) {
            if (s.question) {
                out.push_back(s.text);
            }
        }
        return out;
    }
};

} // namespace quillon::editor::testing
