// An image cut in the editor and saved is found again by the runner's
// comparison on the same screen, after the runner has loaded the file.
#include <gtest/gtest.h>

#include <random>

#include "analyzer/analyzer_file.h"
#include "editor/recognition_capture.h"
#include "editor_fixture.h"
#include "runner/matching.h"
#include "runner/run_loader.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

TEST(MadeImage, FoundByTheRunnerOnTheSameScreen) {
    // A noisy 32-bit screen, so that only the right place matches.
    ScreenshotBitmap screen;
    screen.width = 320;
    screen.height = 200;
    screen.bitsPerPixel = 32;
    screen.stride = screen.width * 4;
    screen.pixels.resize(static_cast<size_t>(screen.stride) * screen.height);
    std::mt19937 random(11);
    for (uint8_t& byte : screen.pixels) byte = static_cast<uint8_t>(random());

    ScratchFolder scratch;
    AnalyzerModel model;
    ASSERT_TRUE(model.reset());
    model.image().screenshotWidth = screen.width;
    model.image().screenshotHeight = screen.height;
    Built<int> made = makeRecognitionImage(model, screen, 0, {"버튼", 21, 15}, 100, 80);
    ASSERT_TRUE(made.ok()) << made.message;
    // The runner runs only analyzers with items: one that looks for the image.
    Item looking{};
    ASSERT_TRUE(addCondition(looking, condition(CondImage, {{4, 5}, {12, *made.value}})).ok);
    appendItem(model, "찾기", &looking);
    AnalyzerFile file(scratch.path(), scratch.path());
    const std::string path = scratch.file("made.dat");
    ASSERT_TRUE(file.save(model, path).ok());

    AnalyzerModel loaded;
    ASSERT_EQ(quillon::loadAnalyzerForRun(loaded, path, scratch.path()), run_load::kOk);
    const RecognitionImage* image = loaded.recognitionImage(loaded.image().recognitionImageOrder[0]);
    ASSERT_NE(image, nullptr);
    const runner::ImageView view = runner::viewOf(*image);
    const runner::FrameView frame{screen.pixels.data(), screen.width, screen.height, screen.stride};
    EXPECT_EQ(runner::testImage(frame, view, runner::topLeftAround({100, 80}, view), 100, runner::CompareMode::Same),
              runner::kTestHeld);
    EXPECT_NE(runner::testImage(frame, view, runner::topLeftAround({101, 80}, view), 100, runner::CompareMode::Same),
              runner::kTestHeld);
}

} // namespace
} // namespace quillon::editor
