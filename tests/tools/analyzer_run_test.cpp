// `quillon analyzer run` as a user runs it: an analyzer written by the tests'
// own writer, screenshots as BMP files, the trace read back as text; and the
// refusals, which leave no trace file behind.
#include "base/text.h"
#include "tests/analyzer/reference_writer.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace quillon::tools::testing {
namespace {

namespace fs = std::filesystem;
namespace ref = analyzer::reference;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void spill(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit bottom-up BMP, white, with `paint` choosing pixels (0xRRGGBB).
template <class Paint>
std::vector<uint8_t> bmp24(int width, int height, Paint paint) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> out(54 + static_cast<size_t>(stride) * height, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = paint(x, y);
            uint8_t* p = out.data() + 54 + static_cast<size_t>(height - 1 - y) * stride + x * 3;
            p[0] = static_cast<uint8_t>(rgb);
            p[1] = static_cast<uint8_t>(rgb >> 8);
            p[2] = static_cast<uint8_t>(rgb >> 16);
        }
    return out;
}

struct AnalyzerRun : ::testing::Test {
    fs::path dir;
    std::string out, err;

    AnalyzerRun() {
        dir = fs::temp_directory_path() /
              ("quillon-run-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "shots");
    }
    ~AnalyzerRun() override { fs::remove_all(dir); }

    int quillon(const std::string& args) {
        const std::string command = std::string(QUILLON_CLI) + " analyzer run " + args + " >" +
                                    (dir / "out").string() + " 2>" + (dir / "err").string();
        const int status = std::system(command.c_str());
        out = slurp(dir / "out");
        err = slurp(dir / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // One item "찾기": a range search for a 24 x 24 image over the screen; it
    // moves to the match and clicks.
    void writeAnalyzer() {
        ref::Analyzer a;
        a.record.put32(ref::at::kNextItemId, 2);
        a.setItemCount(1);
        a.putItem(0, 1, text::utf8ToCp949("찾기"));
        a.record.put32(ref::at::kItems + 8, 1); // a head item
        a.addRecognitionImage(0, 0, 72, 52, 24, 24, "target");
        const uint64_t area = ref::at::kAreas;
        a.record.put32(area + 0, 1);
        a.record.put32(area + 12, 199);
        a.record.put32(area + 16, 149);
        a.record.put32(ref::at::kAreaCount, 1);
        a.putCondition(0, 0, {{0, 50}, {4, 5}, {8, 0}, {16, 0}, {24, 1}, {32, 95}});
        a.putCommand(0, 0, {{0, 1}, {4, 7}, {28, 0}}); // move to the range match
        a.putCommand(0, 1, {{0, 1}, {4, 2}, {16, 1}}); // left click
        spill(dir / "find.dat", a.bytes());
    }
    static uint32_t white(int, int) { return 0xFFFFFF; }

    void expectNothingWritten() {
        EXPECT_FALSE(fs::exists(dir / "t.jsonl"));
        EXPECT_TRUE(out.empty()) << out;
    }
};

TEST_F(AnalyzerRun, TheTraceShowsTheMatchAndTheClickOnlyWhereTheImageIs) {
    writeAnalyzer();
    // The writer's image: red 0x10, green 0x20, blue 0x30 + x + y.
    spill(dir / "shots" / "1.bmp", bmp24(200, 150, [](int x, int y) -> uint32_t {
              if (x >= 60 && x < 84 && y >= 40 && y < 64) return 0x102030u + static_cast<uint32_t>(x - 60 + y - 40);
              return 0xFFFFFF;
          }));
    spill(dir / "shots" / "2.bmp", bmp24(200, 150, white));
    ASSERT_EQ(quillon((dir / "find.dat").string() + " --screens " + (dir / "shots").string() + " --trace " +
                      (dir / "t.jsonl").string()),
              0)
        << err;
    EXPECT_NE(out.find("items run: "), std::string::npos) << out;
    std::istringstream trace(slurp(dir / "t.jsonl"));
    std::string line;
    ASSERT_TRUE(std::getline(trace, line));
    EXPECT_EQ(line, R"({"trace":"quillon-run","version":1,"analyzer":"find.dat","screens":")" +
                        (dir / "shots").string() + R"(","screen_width":200,"screen_height":150})");
    int onFirst = 0, onSecond = 0;
    while (std::getline(trace, line)) {
        EXPECT_NE(line.find(R"("item":"찾기")"), std::string::npos) << line;
        const bool clicked = line.find(R"("click left")") != std::string::npos;
        if (line.find(R"("screen":"1.bmp")") != std::string::npos) {
            ++onFirst;
            EXPECT_NE(line.find(R"("held":true,"conditions":[{"kind":"range-search","held":true,"code":0,"x":72,"y":52,)"
                                R"("box":[60,40,24,24])"),
                      std::string::npos)
                << line;
            EXPECT_TRUE(clicked) << line;
            EXPECT_TRUE(std::regex_search(line, std::regex(R"("actions":\["move 72 52","click left"\])"))) << line;
        } else {
            ++onSecond;
            EXPECT_NE(line.find(R"("screen":"2.bmp")"), std::string::npos) << line;
            EXPECT_NE(line.find(R"("held":false,"conditions":[{"kind":"range-search","held":false)"), std::string::npos)
                << line;
            EXPECT_FALSE(clicked) << line;
        }
    }
    EXPECT_GT(onFirst, 0);
    EXPECT_GT(onSecond, 0);
}

TEST_F(AnalyzerRun, RefusalsSayWhyAndWriteNothing) {
    const std::string trace = " --trace " + (dir / "t.jsonl").string();
    const std::string shots = " --screens " + (dir / "shots").string();
    spill(dir / "shots" / "1.bmp", bmp24(40, 30, white));
    spill(dir / "broken.dat", std::vector<uint8_t>(300, 0x41));
    EXPECT_EQ(quillon((dir / "broken.dat").string() + shots + trace), 2);
    EXPECT_NE(err.find("cannot run this analyzer"), std::string::npos) << err;
    expectNothingWritten();
    EXPECT_EQ(quillon((dir / "missing.dat").string() + shots + trace), 2);
    expectNothingWritten();

    writeAnalyzer();
    const std::string analyzer = (dir / "find.dat").string();
    fs::remove(dir / "shots" / "1.bmp");
    spill(dir / "shots" / "damaged.bmp", std::vector<uint8_t>(100, 'B'));
    EXPECT_EQ(quillon(analyzer + shots + trace), 2);
    EXPECT_NE(err.find("no readable screenshot"), std::string::npos) << err;
    EXPECT_NE(err.find("damaged.bmp"), std::string::npos) << err;
    expectNothingWritten();
    EXPECT_EQ(quillon(analyzer + " --screens " + (dir / "nowhere").string() + trace), 2);
    expectNothingWritten();

    spill(dir / "shots" / "1.bmp", bmp24(40, 30, white));
    for (const std::string& bad : {std::string(" --hold 0"), std::string(" --hold 5x"), std::string(" --start nobody"),
                                   std::string(" --fast"), std::string(" --hold")}) {
        EXPECT_EQ(quillon(analyzer + shots + trace + bad), 2) << bad;
        EXPECT_FALSE(err.empty()) << bad;
        expectNothingWritten();
    }
    EXPECT_EQ(quillon(analyzer + trace), 2); // no --screens
    expectNothingWritten();
    // With everything right the same command runs.
    EXPECT_EQ(quillon(analyzer + shots + trace + " --hold 200 --start 찾기"), 0) << err;
    EXPECT_TRUE(fs::exists(dir / "t.jsonl"));
}

} // namespace
} // namespace quillon::tools::testing
