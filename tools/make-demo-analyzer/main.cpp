// make-demo-analyzer: writes the analyzer that the demo and the closed-loop
// test run: on the whole screen, find the first pixel of the target's button
// colour, move the mouse onto it and click, again and again.
// With --flow return it writes the analyzer of the return-link test instead:
// head item A presses "a", head item B presses "b" and returns to the
// previous item. With --flow links it writes the analyzer of the item-list
// test: A's next link goes to B, C stands alone; --items N adds N more
// plain items after them (for timing long lists).
//
//   make-demo-analyzer OUT.dat [--colour 0xRRGGBB] [--screen WxH] [--flow click|return|links] [--items N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "analyzer/analyzer_file.h"
#include "analyzer/model.h"
#include "analyzer/records.h"
#include "base/text.h"
#include "device/key_table.h"

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
    Command move = mouse(Mouse::MoveToRangeMatch); // onto the area's last match
    move.set(Mouse::area, area);
    Command click = mouse(Mouse::Click);
    click.set(Mouse::button, Mouse::Left);
    click.set(Mouse::holdMs, 30);
    addCommand(item, move);
    addCommand(item, click);
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
    if (flow != "click" && flow != "return" && flow != "links") {
        std::fprintf(stderr, "make-demo-analyzer: unknown flow %s\n", flow.c_str());
        return 2;
    }

    AnalyzerModel model;
    if (!model.valid() || !model.reset()) {
        std::fprintf(stderr, "make-demo-analyzer: out of memory\n");
        return 1;
    }
    AnalyzerImage& image = model.image();
    image.captureFullScreen = 1;
    const bool made = flow == "return"  ? addReturnFlow(model)
                      : flow == "links" ? addLinkFlow(model, more)
                                        : addClickFlow(model, colour, width, height);
    if (!made) {
        std::fprintf(stderr, "make-demo-analyzer: the items could not be made\n");
        return 1;
    }

    AnalyzerFile file("", "");
    FileResult result = file.save(model, argv[1]);
    if (!result.ok()) {
        std::fprintf(stderr, "make-demo-analyzer: %s\n", result.message.c_str());
        return 1;
    }
    std::printf("%s\n", result->c_str());
    return 0;
}
