// The dry run and its trace: the run loop's cases over still screenshots give
// the same items and actions, screenshots change with virtual time and the
// run ends after the last; the trace's text, its escaping and its bound.
#include "tests/runner/interpreter_fixture.h"

#include "base/file.h"
#include "runner/dry_run.h"
#include "runner/trace_writer.h"
#include "screenshots/screenshot_files.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>

namespace quillon::runner::testing {
namespace {

using namespace analyzer;

std::vector<std::string> linesOf(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::vector<std::string> lines;
    std::string line;
    for (int c; (c = std::fgetc(f)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    EXPECT_TRUE(line.empty()) << "a line without its end";
    return lines;
}

// A field's value as written: a string, a number or word, or an array.
std::string field(const std::string& line, const std::string& name) {
    const std::regex re("\"" + name + "\":(\"[^\"]*\"|\\[[^\\]]*\\]|[^,}\\]]+)");
    std::smatch m;
    return std::regex_search(line, m, re) ? m[1].str() : std::string("(none)");
}

struct DryRun : InterpreterFixture {
    std::vector<DryRunShot> shots;
    std::FILE* file = std::tmpfile();
    DryRunOptions options;

    ~DryRun() override { std::fclose(file); }

    void addShot(const std::string& name, std::shared_ptr<SyntheticScreen> s) {
        const Rect whole{0, 0, s->width(), s->height()};
        s->setForegroundWindow(whole, whole);
        shots.push_back({name, {s->width(), s->height()}, [s] { return s; }});
    }
    Item& named(Item& item, const char* name) {
        std::strncpy(item.name, name, sizeof item.name - 1);
        return item;
    }
    // Runs and returns the item lines of the trace.
    std::vector<std::string> trace(DryRunSummary* summary = nullptr) {
        if (shots.empty()) addShot("a.bmp", std::make_shared<SyntheticScreen>(320, 200, 0xFFFFFF));
        TraceWriter writer(file);
        writer.setScreenAt([this](uint32_t t) { return shots[shotIndexAt(shots.size(), options.holdMs, t)].name; });
        EXPECT_TRUE(writer.begin({"t.dat", std::string("shots"), shots[0].size}));
        options.observer = &writer;
        const DryRunSummary s = runDry(model, shots, options);
        if (summary) *summary = s;
        EXPECT_TRUE(writer.finish());
        auto lines = linesOf(file);
        EXPECT_FALSE(lines.empty());
        if (!lines.empty()) {
            EXPECT_EQ(lines[0], R"({"trace":"quillon-run","version":1,"analyzer":"t.dat","screens":"shots",)"
                                R"("screen_width":)" + std::to_string(shots[0].size.width) +
                                    R"(,"screen_height":)" + std::to_string(shots[0].size.height) + "}");
            lines.erase(lines.begin());
        }
        return lines;
    }
    static std::vector<std::string> column(const std::vector<std::string>& lines, const std::string& name, size_t n) {
        std::vector<std::string> out;
        for (size_t i = 0; i < lines.size() && i < n; ++i) out.push_back(field(lines[i], name));
        return out;
    }
};

Command marker(int light) { return command(CmdDevice, {{4, light}, {8, 1}}); }

TEST_F(DryRun, TheRunLoopsLinksAndIgnoreModesGiveTheSameItems) {
    // As the run loop's case: A links to C and the loop moves on to B; next
    // time round, A's slot runs C.
    Item& a = named(addItem(true), "A");
    Item& b = named(addItem(true), "B");
    Item& c = named(addItem(false), "C");
    linkTo(a, c.id);
    add(b, marker(0));
    add(c, marker(1));
    options.holdMs = 40;
    const auto lines = trace();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(column(lines, "item", 5), (std::vector<std::string>{"\"A\"", "\"B\"", "\"C\"", "\"B\"", "\"C\""}));
    EXPECT_EQ(column(lines, "position", 5), (std::vector<std::string>{"0", "1", "0", "1", "0"}));
    EXPECT_EQ(column(lines, "next", 3), (std::vector<std::string>{"\"B\"", "\"C\"", "\"B\""}));
    EXPECT_EQ(field(lines[1], "actions"), "[\"light red on\"]");

    // The ignore modes: true without commands, false following its branch.
    model.reset();
    Item& t = named(addItem(true), "T");
    Item& f = named(addItem(true), "F");
    Item& n = named(addItem(true), "N");
    Item& target = named(addItem(false), "target");
    Item& falseTarget = named(addItem(false), "else");
    t.ignoreMode = 1;
    add(t, marker(0));
    linkTo(t, target.id);
    f.ignoreMode = 2;
    add(f, marker(0));
    f.falseBranch = 1;
    f.falseBranchTarget = falseTarget.id;
    add(n, marker(2));
    add(target, marker(1));
    add(falseTarget, command(CmdDevice, {{4, 1}, {8, 0}}));
    std::fclose(file);
    file = std::tmpfile();
    options.holdMs = 100;
    const auto again = trace();
    ASSERT_GE(again.size(), 7u);
    EXPECT_EQ(column(again, "item", 7), (std::vector<std::string>{"\"T\"", "\"F\"", "\"N\"", "\"target\"", "\"else\"",
                                                                  "\"N\"", "\"target\""}));
    EXPECT_EQ(column(again, "held", 3), (std::vector<std::string>{"true", "false", "true"}));
    EXPECT_EQ(field(again[0], "actions"), "[]");
}

TEST_F(DryRun, ScreenshotsFollowVirtualTimeAndTheRunEndsAfterTheLast) {
    // A colour test at (10, 10): red on the first screenshot, blue on the second.
    auto red = std::make_shared<SyntheticScreen>(64, 48, 0xFF0000);
    auto blue = std::make_shared<SyntheticScreen>(64, 48, 0x0000FF);
    addShot("1.bmp", red);
    addShot("2.bmp", blue);
    Item& a = named(addItem(true), "red?");
    a.noItemDelay = 0;
    add(a, condition(CondImage, {{4, 4}, {8, 2}, {20, 10}, {24, 10}, {32, 100}, {40, 0xFF0000}}));
    add(a, marker(0));
    options.holdMs = 500;
    DryRunSummary summary;
    const auto lines = trace(&summary);
    ASSERT_GE(lines.size(), 10u);
    for (const std::string& line : lines) {
        const int t = std::stoi(field(line, "t_ms"));
        ASSERT_LT(t, 1000) << "the run went past the last screenshot";
        EXPECT_EQ(field(line, "screen"), t < 500 ? "\"1.bmp\"" : "\"2.bmp\"");
        EXPECT_EQ(field(line, "held"), t < 500 ? "true" : "false") << line;
    }
    // Items wait the runner's default delay of 50 ms each.
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_GE(std::stoi(field(lines[i], "t_ms")) - std::stoi(field(lines[i - 1], "t_ms")), 50);
    EXPECT_GE(summary.virtualMs, 1000u);
    EXPECT_EQ(summary.items, lines.size());
    EXPECT_EQ(summary.actions, summary.itemsHeld);
}

TEST_F(DryRun, TheStartItemTakesTheFirstSlot) {
    named(addItem(true), "A");
    named(addItem(true), "B");
    Item& c = named(addItem(false), "C");
    options.startItem = itemNamed(model, "C");
    ASSERT_EQ(options.startItem, 2);
    EXPECT_EQ(itemNamed(model, "none"), -1);
    (void)c;
    options.holdMs = 10;
    const auto lines = trace();
    EXPECT_EQ(column(lines, "item", 4), (std::vector<std::string>{"\"C\"", "\"B\"", "\"C\"", "\"B\""}));
}

TEST(DryRunFolder, ScreenshotSetsInNameOrderWithTheirCursorsAndTheUnreadableLeftOut) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("quillon-dry-run-folder-" + std::to_string(std::rand()));
    fs::create_directories(dir);
    auto put = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(writeFileAtomic((dir / name).string(), bytes.data(), bytes.size()));
    };
    // A set as shot-taker writes it: a top-down 32-bit bitmap and a cursor file.
    CapturedImage image;
    image.width = 8;
    image.height = 6;
    image.bitsPerPixel = 32;
    image.stride = 32;
    image.imageSize = 6 * 32;
    image.pixels.assign(image.imageSize, 0);
    image.pixels[(5 * 8 + 7) * 4 + 2] = 0xFF; // bottom-right pixel red
    put("20260101090001.bmp", buildBitmapFile(image));
    put("20260101090001.dat", {5, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0}); // at (5, 4), no shape recorded
    put("20260101090000.BMP", buildBitmapFile(image));
    put("broken.bmp", std::vector<uint8_t>(60, 'B'));
    put("notes.txt", {'x'});
    const ScreenshotFolder folder = screenshotsIn(dir.string());
    ASSERT_EQ(folder.shots.size(), 2u);
    EXPECT_EQ(folder.shots[0].name, "20260101090000.BMP");
    EXPECT_EQ(folder.shots[1].name, "20260101090001.bmp");
    EXPECT_EQ(folder.shots[1].size, (Size{8, 6}));
    EXPECT_EQ(folder.skipped, std::vector<std::string>{"broken.bmp"});
    const auto screen = folder.shots[1].load();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->pixel(7, 5), 0xFF0000u);
    CursorImage cursor;
    ASSERT_TRUE(screen->readCursor(cursor));
    EXPECT_EQ(cursor.position, (Point{5, 4}));
    fs::remove_all(dir);
    EXPECT_FALSE(screenshotsIn(dir.string()).folderReadable);
}

TEST(TraceWriter, EscapesTextAndStopsAtItsBound) {
    EXPECT_EQ(jsonString("a\"b\\c\n\x01"), R"("a\"b\\c\n\u0001")");
    EXPECT_EQ(jsonString("찾기"), "\"찾기\"");
    EXPECT_EQ(jsonString("x\xC3(\xED\xA0\x80y\xF4\x90\x80\x80"), R"("x\ufffd(\ufffd\ufffd\ufffdy\ufffd\ufffd\ufffd\ufffd")");

    ItemSeen item;
    item.name = "찾기";
    item.tMs = 7;
    ConditionSeen c;
    c.kind = CondRangeSearch;
    c.held = true;
    c.located = true;
    c.x = 751;
    c.y = 751;
    c.box = {739, 739, 763, 763};
    c.hasArea = true;
    c.area = {0, 0, 1919, 1079};
    c.similarity = 100;
    item.conditions.push_back(c);
    item.next = 0;
    item.nextName = "찾기";
    const std::string shot = "0002.bmp";
    EXPECT_EQ(traceItemLine(item, &shot),
              R"({"t_ms":7,"screen":"0002.bmp","item":"찾기","position":0,"held":false,"conditions":[{"kind":"range-search",)"
              R"("held":true,"code":0,"x":751,"y":751,"box":[739,739,24,24],"area":[0,0,1919,1079],"similarity":100}],)"
              R"("actions":[],"next":"찾기"})");

    // The bound: lines are written while they and the truncated line fit.
    std::FILE* f = std::tmpfile();
    const uint64_t cap = 1000;
    TraceWriter writer(f, cap);
    int stops = 0;
    writer.setOnCapped([&] { ++stops; });
    ASSERT_TRUE(writer.begin({"a.dat", std::nullopt, {640, 480}}));
    for (int i = 0; i < 100; ++i) {
        item.tMs = static_cast<uint32_t>(i);
        writer.itemSeen(item);
    }
    EXPECT_TRUE(writer.finish());
    EXPECT_TRUE(writer.capped());
    EXPECT_EQ(stops, 1);
    std::fseek(f, 0, SEEK_END);
    EXPECT_LE(static_cast<uint64_t>(std::ftell(f)), cap);
    const auto lines = linesOf(f);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(field(lines[0], "screens"), "null");
    EXPECT_EQ(lines.back(), R"({"truncated":true,"t_ms":)" + std::to_string(lines.size() - 2) + "}");
    std::fclose(f);

    // A failed write is reported.
    if (std::FILE* full = std::fopen("/dev/full", "w")) {
        TraceWriter failing(full);
        failing.begin({"a.dat", std::nullopt, {1, 1}});
        failing.itemSeen(item);
        EXPECT_FALSE(failing.finish());
        EXPECT_TRUE(failing.failed());
        std::fclose(full);
    }
}

} // namespace
} // namespace quillon::runner::testing
