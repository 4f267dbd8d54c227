// make-demo-analyzer: writes the analyzer that the demo and the closed-loop
// test run: on the whole screen, find the first pixel of the target's button
// colour, move the mouse onto it and click, again and again.
// With --flow return it writes the analyzer of the return-link test instead:
// head item A presses "a", head item B presses "b" and returns to the
// previous item. With --flow links it writes the analyzer of the item-list
// test: A's next link goes to B, C stands alone; --items N adds N more
// plain items after them (for timing long lists). With --flow still-test it
// writes the analyzer of the editor's test on a screenshot: a screenshot of
// the screen size (a red target centred at 301, 301 on blue, kept as
// "시험 화면.bmp" beside OUT) and the item "표적 찾기" whose first range search
// finds the red target in a 400 x 400 area and whose second looks over the
// whole screen for a green one that is not there.
//
//   make-demo-analyzer OUT.dat [--colour 0xRRGGBB] [--screen WxH] [--flow click|return|links|still-test] [--items N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "analyzer/analyzer_file.h"
#include "analyzer/model.h"
#include "analyzer/records.h"
#include "base/file.h"
#include "base/text.h"
#include "device/key_table.h"
#include "screenshots/screenshot_files.h"

namespace {

using namespace quillon::analyzer;

Condition rangeSearchForColour(int areaSlot, uint32_t rgb, int similarity) {
    Condition c{};
    c.used = 1;
    using R = cond::RangeSearch;
    c.setKind(CondRangeSearch);
    c.set(R::what, CompareWithColour);
    c.set(R::area, areaSlot);
    c.set(R::whichMatch, 1); // the first match
    c.set(R::similarity, similarity);
    c.set(R::colour, static_cast<int32_t>(rgb));
    return c;
}

using Mouse = cmd::Mouse;

Command mouse(int32_t action) {
    Command c{};
    c.used = 1;
    c.setKind(CmdMouse);
    c.set(Mouse::action, action);
    return c;
}

void nameItem(Item& item, const char* utf8) {
    const std::string name = quillon::text::utf8ToCp949(utf8);
    std::memcpy(item.name, name.data(), std::min(name.size(), sizeof item.name - 1));
}

// One head item on the whole screen: find the colour, move onto it, click.
// Moves onto the area's last range-search match and clicks the left button.
void addMoveAndClick(Item& item, int area) {
    Command move = mouse(Mouse::MoveToRangeMatch);
    move.set(Mouse::area, area);
    Command click = mouse(Mouse::Click);
    click.set(Mouse::button, Mouse::Left);
    click.set(Mouse::holdMs, 30);
    addCommand(item, move);
    addCommand(item, click);
}

bool addClickFlow(AnalyzerModel& model, uint32_t colour, int width, int height) {
    AnalyzerImage& image = model.image();
    int area = -1;
    if (!model.addArea(0, 0, 0, "화면 전체", area).ok) {
        return false;
    }
    image.areas[area].left = 0;
    image.areas[area].top = 0;
    image.areas[area].width = width - 1;
    image.areas[area].height = height - 1;

    Item item{};
    nameItem(item, "버튼 누르기");
    item.head = 1;
    item.noItemDelay = 1;
    addCondition(item, rangeSearchForColour(area, colour, 95));
    addMoveAndClick(item, area);
    return model.insertItem(0, item);
}

Command pressKey(uint8_t code) {
    Command c{};
    c.used = 1;
    using Key = cmd::Key;
    c.setKind(CmdKey);
    c.set(Key::action, Key::PressAndRelease);
    c.set(Key::key, static_cast<int32_t>(*quillon::KeyTable(quillon::KeyNames::AnalyzerEditor).rowOfCode(code)));
    c.set(Key::holdMs, 20);
    return c;
}

// Head items A ("a") and B ("b"); B links back to the previous item.
bool addReturnFlow(AnalyzerModel& model) {
    Item a{};
    nameItem(a, "항목 A");
    a.head = 1;
    a.noItemDelay = 1;
    addCommand(a, pressKey(0x04));
    Item b{};
    nameItem(b, "항목 B");
    b.head = 1;
    b.noItemDelay = 1;
    addCommand(b, pressKey(0x05));
    b.nextLinks[0].targetId = kReturnToPrevious;
    b.nextLinkCount = 1;
    return model.insertItem(0, a) && model.insertItem(1, b);
}

// A links to B; C is linked by nothing; then `more` items "항목 0001" ...
bool addLinkFlow(AnalyzerModel& model, int more) {
    Item a{};
    nameItem(a, "항목 A");
    a.head = 1;
    addCommand(a, pressKey(0x04));
    Item b{};
    nameItem(b, "항목 B");
    Item c{};
    nameItem(c, "항목 C");
    if (!model.insertItem(0, a) || !model.insertItem(1, b) || !model.insertItem(2, c)) {
        return false;
    }
    model.item(0).nextLinks[0].targetId = model.item(1).id;
    model.item(0).nextLinkCount = 1;
    for (int i = 1; i <= more; ++i) {
        Item extra{};
        char name[32];
        std::snprintf(name, sizeof name, "항목 %.4d", i);
        nameItem(extra, name);
        addCommand(extra, pressKey(0x04));
        if (!model.insertItem(model.itemCount(), extra)) {
            return false;
        }
    }
    return true;
}

// The still test's target: a 23 x 23 square of `colour` with a white 5 x 5
// middle, as 0xRRGGBB at (column, row).
constexpr int kTargetSide = 23;
uint32_t targetPixel(uint32_t colour, int column, int row) {
    return column >= 9 && column < 14 && row >= 9 && row < 14 ? 0xFFFFFF : colour;
}

Condition rangeSearchForImage(int areaSlot, int imageSlot) {
    Condition c{};
    c.used = 1;
    using R = cond::RangeSearch;
    c.setKind(CondRangeSearch);
    c.set(R::what, CompareWithImage);
    c.set(R::area, areaSlot);
    c.set(R::image, imageSlot);
    c.set(R::whichMatch, 1);
    c.set(R::similarity, 95);
    return c;
}

bool addArea(AnalyzerModel& model, const char* name, int left, int top, int width, int height, int& slot) {
    if (!model.addArea(left, top, 0, name, slot).ok) return false;
    RecognitionArea& area = model.image().areas[slot];
    area.left = left;
    area.top = top;
    area.width = width;
    area.height = height;
    return true;
}

// A recognition image of the target in `colour`, said to be cut at (x, y).
bool addTarget(AnalyzerModel& model, const char* name, uint32_t colour, int x, int y, int& slot) {
    NewRecognitionImage spec;
    spec.centreX = x;
    spec.centreY = y;
    spec.width = kTargetSide;
    spec.height = kTargetSide;
    spec.name = name;
    if (!model.addRecognitionImage(spec, slot).ok) return false;
    RecognitionImage* image = model.recognitionImage(slot);
    for (int row = 0; row < kTargetSide; ++row) {
        for (int column = 0; column < kTargetSide; ++column) {
            uint8_t* cell =
                image->pixels + static_cast<size_t>(row) * kImageRowStride + static_cast<size_t>(column) * 4;
            const uint32_t rgb = targetPixel(colour, column, row);
            cell[0] = static_cast<uint8_t>(rgb);
            cell[1] = static_cast<uint8_t>(rgb >> 8);
            cell[2] = static_cast<uint8_t>(rgb >> 16);
        }
    }
    return true;
}

// The screenshot (written into `folder`), the two areas, the two images and
// the item.
bool addStillTestFlow(AnalyzerModel& model, const std::string& folder, int width, int height) {
    constexpr uint32_t kBackground = 0x3A6EA5, kRed = 0xE03030, kGreen = 0x30C030;
    constexpr int kTargetX = 301, kTargetY = 301;
    quillon::CapturedImage shot;
    shot.width = width;
    shot.height = height;
    shot.bitsPerPixel = 32;
    shot.stride = static_cast<uint32_t>(width) * 4;
    shot.imageSize = shot.stride * static_cast<uint32_t>(height);
    shot.pixels.resize(shot.imageSize);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int column = x - (kTargetX - kTargetSide / 2), row = y - (kTargetY - kTargetSide / 2);
            const bool inTarget = column >= 0 && column < kTargetSide && row >= 0 && row < kTargetSide;
            const uint32_t rgb = inTarget ? targetPixel(kRed, column, row) : kBackground;
            uint8_t* p = shot.pixels.data() + static_cast<size_t>(y) * shot.stride + static_cast<size_t>(x) * 4;
            p[0] = static_cast<uint8_t>(rgb);
            p[1] = static_cast<uint8_t>(rgb >> 8);
            p[2] = static_cast<uint8_t>(rgb >> 16);
        }
    }
    const std::vector<uint8_t> file = quillon::buildBitmapFile(shot);
    const std::string name = "시험 화면";
    const std::string path = joinPath(folder, name + ".bmp");
    if (!quillon::writeFileAtomic(path, file.data(), file.size())) {
        return false;
    }
    AnalyzerImage& image = model.image();
    image.screenshotWidth = width;
    image.screenshotHeight = height;
    image.screenshotBitsPerPixel = 32;
    NewScreenshot entry;
    entry.name = name;
    entry.fileSize = static_cast<int32_t>(file.size());
    entry.path = path;
    int shotSlot = -1, near = -1, whole = -1, red = -1, green = -1;
    if (!model.addScreenshot(entry, shotSlot).ok || shotSlot != 0 ||
        !addArea(model, "표적 범위", 150, 150, 400, 400, near) ||
        !addArea(model, "화면 전체", 0, 0, width - 1, height - 1, whole) ||
        !addTarget(model, "빨간 표적", kRed, kTargetX, kTargetY, red) ||
        !addTarget(model, "초록 표적", kGreen, kTargetX, kTargetY + 100, green)) {
        return false;
    }
    Item item{};
    nameItem(item, "표적 찾기");
    item.head = 1;
    addCondition(item, rangeSearchForImage(near, red));
    addCondition(item, rangeSearchForImage(whole, green));
    addMoveAndClick(item, near);
    return model.insertItem(0, item);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-demo-analyzer OUT.dat [--colour 0xRRGGBB] [--screen WxH]\n");
        return 2;
    }
    uint32_t colour = 0xE03030;
    int width = 1280, height = 800;
    std::string flow = "click";
    int more = 0;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--colour")) {
            colour = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 0));
        } else if (!std::strcmp(argv[i], "--screen") && std::sscanf(argv[i + 1], "%dx%d", &width, &height) != 2) {
            std::fprintf(stderr, "make-demo-analyzer: bad screen size %s\n", argv[i + 1]);
            return 2;
        } else if (!std::strcmp(argv[i], "--flow")) {
            flow = argv[i + 1];
        } else if (!std::strcmp(argv[i], "--items")) {
            more = std::atoi(argv[i + 1]);
        }
    }
    if (flow != "click" && flow != "return" && flow != "links" && flow != "still-test") {
        std::fprintf(stderr, "make-demo-analyzer: unknown flow %s\n", flow.c_str());
        return 2;
    }

    AnalyzerModel model;
    if (!model.valid() || !model.reset()) {
        std::fprintf(stderr, "make-demo-analyzer: out of memory\n");
        return 1;
    }
    AnalyzerImage& image = model.image();
    // The still test keeps the default capture of the foreground window's
    // client area: its screenshot stands for the whole window.
    image.captureFullScreen = flow == "still-test" ? 0 : 1;
    // The screenshot of the still test lies beside the analyzer file.
    std::string folder = argv[1];
    const size_t slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? "." : folder.substr(0, slash);
    const bool made = flow == "return"       ? addReturnFlow(model)
                      : flow == "links"      ? addLinkFlow(model, more)
                      : flow == "still-test" ? addStillTestFlow(model, folder, width, height)
                                             : addClickFlow(model, colour, width, height);
    if (!made) {
        std::fprintf(stderr, "make-demo-analyzer: the items could not be made\n");
        return 1;
    }

    AnalyzerFile file(folder, folder);
    FileResult result = file.save(model, argv[1]);
    if (!result.ok()) {
        std::fprintf(stderr, "make-demo-analyzer: %s\n", result.message.c_str());
        return 1;
    }
    std::printf("%s\n", result->c_str());
    return 0;
}
