#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "control/control_program.h"
#include "control/link_sites.h"
#include "device/link_messages.h"
#include "control/coordinate_picking.h"
#include "control/scheduling.h"

namespace quillon::control {
namespace {

TEST(Scheduling, LinesEchoesAndCommands) {
    const struct {
        ScheduleEntry entry;
        const char* line;
        const char* click;
        const char* doubleClick;
        uint8_t kind, index;
    } cases[] = {
        {{ScheduleKind::Recorded, 10, "사냥"}, "  2-3메모리---사냥", "2-3번메모리     사냥", "2-3번메모리 \"사냥\"", 1, 10},
        {{ScheduleKind::Edit, 31, "e"}, "  4-8메모리---e", "4-8번메모리     e", "4-8번메모리 \"e\"", 2, 31},
        {{ScheduleKind::Combination, 0, "c"}, "  1번메모리---c", "1번메모리     c", "1번메모리 \"c\"", 3, 0},
        {{ScheduleKind::AutoClick, 0, "연사"}, "연사", "[자동클릭]연사", "[자동클릭]연사", 2, 72},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scheduleListLine(c.entry), c.line);
        EXPECT_EQ(scheduleClickEcho(c.entry), c.click);
        EXPECT_EQ(scheduleDoubleClickEcho(c.entry), c.doubleClick);
        const ScheduleCommand command = scheduleCommandOf(c.entry);
        EXPECT_EQ(command.kind, c.kind) << c.line;
        EXPECT_EQ(command.index, c.index) << c.line;
    }
    EXPECT_EQ(scheduleQuestion("[자동클릭]연사"), "[자동클릭]연사를 실행예약 하시겠습니까?");
    EXPECT_EQ(scheduleListLines(ScheduleKind::Recorded, {"a", "b"}).back(), "  1-2메모리---b");
    // The memory pickers write the combination memory with a blank before 메모리.
    EXPECT_EQ(memoryPickerEcho(false, 0, "비어 있슴"), "1-1번메모리     비어 있슴");
    EXPECT_EQ(memoryPickerEcho(false, 31, "e"), "4-8번메모리     e");
    EXPECT_EQ(memoryPickerEcho(true, 7, "c"), "8번 메모리     c");
}

// Every place control-panel talks to the machine names itself in the message
// when the machine stops answering there: no two places share a code.
TEST(LinkSites, EachCallSiteShowsItsOwnCode) {
    std::set<int> codes;
    for (size_t i = 0; i < link_site::kSiteCount; ++i) {
        const link_site::Site& site = link_site::kSites[i];
        EXPECT_TRUE(codes.insert(site.code).second) << site.what << " shares " << site.code;
        LinkError error;
        error.failure = LinkFailure::ReceiveFailed;
        error.location = site.code;
        EXPECT_EQ(exchangeFailureNotice(Program::ControlPanel, error).text,
                  "기계와 통신이 되지 않습니다(" + std::to_string(site.code) + ")")
            << site.what;
    }
    EXPECT_EQ(codes.size(), 46u);
}

TEST(ControlProgram, StartArgumentPagesAndLinks) {
    const struct {
        const char* argument;
        ControlPage page;
    } starts[] = {{"1", ControlPage::Edit}, {"2", ControlPage::Combination}, {"", ControlPage::Options},
                  {"3", ControlPage::Options}, {"12", ControlPage::Options}};
    for (const auto& s : starts) {
        EXPECT_EQ(firstPageOf(startArgumentOf(s.argument)), s.page) << s.argument;
    }
    // A macro file opened from Explorer starts in the page of its kind.
    const struct {
        const char* argument;
        ControlPage page;
        bool carriesPath;
    } files[] = {
        {"C:\\매크로\\a.eqn1", ControlPage::Edit, true},      {"b.VELEL", ControlPage::Edit, true},
        {"c.vele", ControlPage::Edit, true},                    {"d.cqn1", ControlPage::Combination, true},
        {"e.velcL", ControlPage::Combination, true},            {"f.rqn1", ControlPage::Recorded, true},
        {"g.mgild", ControlPage::Recorded, true},               {"h.velrL", ControlPage::Recorded, true},
        {"i.aut", ControlPage::AutoClick, true},                {"j.txt", ControlPage::Options, false},
        {"eqn1", ControlPage::Options, false},                  {"2", ControlPage::Combination, false},
    };
    for (const auto& f : files) {
        const StartRequest request = startRequestOf(f.argument);
        EXPECT_EQ(request.page, f.page) << f.argument;
        EXPECT_EQ(request.path, f.carriesPath ? f.argument : "") << f.argument;
        EXPECT_EQ(request.argument, std::string(f.argument) == "2" ? 2 : 0) << f.argument;
    }
    EXPECT_EQ(mainLineTrouble(kSecondInstanceCode), "작동 중 문제가 발생했습니다(MainLine=1151)");
    EXPECT_EQ(manualPath("C:\\Quillon"), "C:\\Quillon\\Quillon.pdf");
    EXPECT_EQ(manualPath("C:\\Quillon\\"), "C:\\Quillon\\Quillon.pdf");
    for (const char* good : {"https://example.org/board", "HTTP://x.kr"}) {
        EXPECT_TRUE(isWebAddress(good)) << good;
    }
    for (const char* bad : {"", "https://", "C:\\Windows\\notepad.exe", "file:///c:/x", "https://a b",
                            "http://x\" /c calc"}) {
        EXPECT_FALSE(isWebAddress(bad)) << bad;
    }
}

// Stands in for the movement dialog: keeps what picking shows.
struct RecordingClient : PickingClient {
    std::vector<PickPoint> current, distance, chosen;
    void showCurrent(PickPoint p) override { current.push_back(p); }
    void showDistance(PickPoint p) override { distance.push_back(p); }
    void showChosen(PickPoint p) override { chosen.push_back(p); }
};

TEST(CoordinatePicking, MovesClicksCtrlAndKeysInsideThePicture) {
    CoordinatePicking picking;
    picking.setPicture(100, 50);
    RecordingClient client;
    picking.pointerMoved({5, 5});
    EXPECT_TRUE(client.current.empty()); // no client: no picking

    picking.attach(&client);
    picking.keyPressed(PickKey::Ctrl, {0, 0}); // before the first click Ctrl does nothing
    EXPECT_TRUE(picking.picking());
    picking.pointerMoved({30, 20});
    EXPECT_EQ(client.current.back(), (PickPoint{30, 20}));
    EXPECT_EQ(client.distance.back(), (PickPoint{30, 20}));
    picking.clicked({30, 20});
    EXPECT_EQ(client.chosen.back(), (PickPoint{30, 20}));
    picking.pointerMoved({25, 28});
    EXPECT_EQ(client.distance.back(), (PickPoint{-5, 8}));

    // Keys move one pixel and stop at the picture's edge.
    EXPECT_EQ(picking.keyPressed(pickKeyOfVirtualKey('D'), {98, 49}), (PickPoint{99, 49}));
    EXPECT_EQ(picking.keyPressed(pickKeyOfVirtualKey(0x27), {99, 49}), (PickPoint{99, 49}));
    EXPECT_EQ(picking.keyPressed(pickKeyOfVirtualKey('S'), {99, 49}), (PickPoint{99, 49}));
    EXPECT_EQ(picking.keyPressed(pickKeyOfVirtualKey(0x26), {0, 0}), (PickPoint{0, 0}));
    EXPECT_EQ(picking.keyPressed(pickKeyOfVirtualKey('A'), {1, 0}), (PickPoint{0, 0}));
    EXPECT_FALSE(picking.keyPressed(pickKeyOfVirtualKey('Q'), {1, 0}));

    // Ctrl after the first click: off (values stay), then on again.
    const size_t shown = client.current.size();
    picking.keyPressed(PickKey::Ctrl, {0, 0});
    EXPECT_FALSE(picking.picking());
    picking.pointerMoved({1, 1});
    picking.clicked({1, 1});
    EXPECT_FALSE(picking.keyPressed(PickKey::Left, {5, 5}));
    EXPECT_EQ(client.current.size(), shown);
    EXPECT_EQ(client.chosen.size(), 1u);
    picking.keyPressed(PickKey::Ctrl, {0, 0});
    picking.pointerMoved({1, 1});
    EXPECT_EQ(client.current.size(), shown + 1);

    // Closing the dialog ends picking.
    picking.detach(&client);
    picking.clicked({2, 2});
    EXPECT_EQ(client.chosen.size(), 1u);
}

} // namespace
} // namespace quillon::control
