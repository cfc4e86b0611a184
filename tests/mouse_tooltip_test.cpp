// The host's side of mouse rectangles and tooltips, on test gauges made of
// data: nested regions and their tooltips, click areas with their cursors,
// held buttons, key events sent by the host, and the message-format
// placeholders of tooltip texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/sim_host.h"
#include "host/tooltip_format.h"

namespace {

struct Click {
    int32_t x, y;
    uint32_t flags;
    GaugeHeader* gauge;
    MouseRect* rect;
};
std::vector<Click> clicks;

int32_t GAUGE_CALL record_click(ClickRecord* click, uint32_t flags) {
    clicks.push_back({click->x, click->y, flags, click->gauge, click->rect});
    return 0;
}

constexpr MouseRect parent(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t help = 0) {
    MouseRect r{};
    r.type = MOUSE_PARENT;
    r.x = x, r.y = y, r.width = w, r.height = h;
    r.cursor = CURSOR_NONE;
    r.help_id = help;
    return r;
}
constexpr MouseRect end_parent() {
    MouseRect r{};
    r.type = MOUSE_PARENT_END;
    return r;
}
constexpr MouseRect end_list() { return MouseRect{}; }
MouseRect tooltip(const char* text, uint32_t arg_count = 0, const TooltipArg* args = nullptr, uint32_t help = 0) {
    MouseRect r{};
    r.type = MOUSE_TOOLTIP;
    r.help_id = help;
    r.arg_count = arg_count;
    r.text = text;
    r.args = args;
    return r;
}
MouseRect child(int32_t x, int32_t y, int32_t w, int32_t h, int32_t cursor, uint32_t flags, MouseCallback callback,
                uint32_t event = 0) {
    MouseRect r{};
    r.type = MOUSE_CHILD;
    r.x = x, r.y = y, r.width = w, r.height = h;
    r.cursor = cursor;
    r.mouse_flags = flags;
    r.event_id = event;
    r.callback = callback;
    return r;
}

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override { clicks.clear(); }
    void TearDown() override { EXPECT_TRUE(host.faults.empty()); }

    sim::Placement& place(std::vector<MouseRect>& rects, const char* name = "Test_Mouse") {
        header = GaugeHeader{};
        header.version = GAUGE_HEADER_VERSION;
        header.name = name;
        header.mouse_rects = rects.data();
        std::string error;
        sim::Placement* p = host.place_header(nullptr, &header, nullptr, &error);
        EXPECT_NE(p, nullptr) << error;
        return *p;
    }

    sim::SimHost host;
    GaugeHeader header{};
};

// A gauge shaped like the module's dials: a whole-gauge tooltip, a region
// with its own tooltip record, a region that carries only a help id, and
// click areas (never inside a region).
std::vector<MouseRect> dial_rects() {
    return {
        parent(0, 0, 0, 0),
        tooltip("Whole gauge"),
        parent(10, 10, 40, 40),
        tooltip("Upper left region"),
        end_parent(),
        parent(60, 10, 30, 30, 0xAB01),
        end_parent(),
        child(100, 100, 20, 30, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, record_click),
        child(120, 100, 20, 30, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, record_click),
        child(0, 150, 50, 20, CURSOR_HAND, MOUSE_LEFTSINGLE, record_click),
        child(60, 150, 50, 20, CURSOR_HAND, MOUSE_LEFTSINGLE | MOUSE_RIGHTSINGLE | MOUSE_REPEAT, record_click),
        child(0, 180, 30, 20, CURSOR_HAND, MOUSE_LEFTSINGLE, nullptr, 65876),
        end_parent(),
        end_list(),
    };
}

}  // namespace

TEST_F(MouseTest, TheInnermostRegionSpeaksForThePoint) {
    auto rects = dial_rects();
    sim::Placement& p = place(rects);
    EXPECT_EQ(p.tooltip(20, 20), "Upper left region");
    EXPECT_EQ(p.tooltip(10, 10), "Upper left region");  // the box includes its top-left corner
    EXPECT_EQ(p.tooltip(50, 50), "Whole gauge");        // and excludes its far edges
    EXPECT_EQ(p.tooltip(70, 20), "[help 0xAB01]");
    EXPECT_EQ(p.tooltip(5, 5), "Whole gauge");
    EXPECT_EQ(p.tooltip(110, 110), "Whole gauge");  // a click area has no tooltip of its own
}

TEST_F(MouseTest, TheWholeGaugeRegionEndsAtTheBackgroundOnceItsSizeIsKnown) {
    auto rects = dial_rects();
    sim::Placement& p = place(rects);
    p.width = 200, p.height = 220;
    EXPECT_EQ(p.tooltip(199, 219), "Whole gauge");
    EXPECT_EQ(p.tooltip(200, 10), "");
    EXPECT_EQ(p.tooltip(-1, 10), "");
}

TEST_F(MouseTest, ClickAreasShowTheirCursorAndGetThePointWithinThem) {
    auto rects = dial_rects();
    sim::Placement& p = place(rects);
    EXPECT_EQ(p.cursor(105, 110), CURSOR_DOWNARROW);
    EXPECT_EQ(p.cursor(125, 110), CURSOR_UPARROW);
    EXPECT_EQ(p.cursor(10, 160), CURSOR_HAND);
    EXPECT_EQ(p.cursor(20, 20), CURSOR_NONE);

    ASSERT_TRUE(p.click(125, 117));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].x, 5);
    EXPECT_EQ(clicks[0].y, 17);
    EXPECT_EQ(clicks[0].flags, MOUSE_LEFTSINGLE);
    EXPECT_EQ(clicks[0].gauge, p.header());  // the placement's own copy
    EXPECT_EQ(clicks[0].rect, &p.mouse_rects()[8]);
    EXPECT_EQ(clicks[0].rect->height, 30);

    EXPECT_FALSE(p.click(20, 20));  // a region, not a click area
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(MouseTest, HeldButtonsRepeatOnlyOnAreasThatRepeat) {
    auto rects = dial_rects();
    sim::Placement& p = place(rects);
    ASSERT_TRUE(p.hold(105, 110, MOUSE_LEFTSINGLE, 5));
    EXPECT_EQ(clicks.size(), 6u);
    clicks.clear();
    ASSERT_TRUE(p.hold(10, 160, MOUSE_LEFTSINGLE, 5));
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(MouseTest, RightClicksReachOnlyAreasThatTakeThem) {
    auto rects = dial_rects();
    sim::Placement& p = place(rects);
    EXPECT_FALSE(p.click(10, 160, MOUSE_RIGHTSINGLE));
    EXPECT_TRUE(clicks.empty());
    ASSERT_TRUE(p.hold(70, 160, MOUSE_RIGHTSINGLE, 2));
    ASSERT_EQ(clicks.size(), 3u);
    for (const Click& c : clicks) EXPECT_EQ(c.flags, MOUSE_RIGHTSINGLE);
    clicks.clear();
    ASSERT_TRUE(p.click(70, 160, MOUSE_LEFTSINGLE));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].flags, MOUSE_LEFTSINGLE);
}

TEST_F(MouseTest, AnAreaWithoutCallbackMakesTheHostSendItsEvent) {
    auto rects = dial_rects();
    sim::Placement& p = place(rects);
    ASSERT_TRUE(p.click(5, 185));
    ASSERT_TRUE(p.click(5, 185));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{65876, 0}, {65876, 0}}));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(MouseTest, AKilledGaugeTakesNoClicks) {
    auto rects = dial_rects();
    sim::Placement& p = place(rects);
    host.kill(p);
    EXPECT_FALSE(p.click(125, 117));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(MouseTest, HostileBoxesNeitherOverflowNorMatchWrongly) {
    std::vector<MouseRect> rects = {
        parent(0, 0, 0, 0),
        child(INT32_MAX - 5, INT32_MAX - 5, INT32_MAX, INT32_MAX, CURSOR_HAND, MOUSE_LEFTSINGLE, record_click),
        child(10, 10, -5, -5, CURSOR_HAND, MOUSE_LEFTSINGLE, record_click),
        end_parent(),
        end_list(),
    };
    sim::Placement& p = place(rects);
    EXPECT_FALSE(p.click(8, 8));
    EXPECT_FALSE(p.click(-100, -100));
    EXPECT_TRUE(p.click(INT32_MAX - 1, INT32_MAX - 1));
}

// ------------------------------------------------------------ tooltips

namespace {

double number_value = 0;
double GAUGE_CALL number_arg(double, uint32_t, uint32_t, uint32_t, uint32_t) { return number_value; }
const char* GAUGE_CALL on_arg(double, uint32_t, uint32_t, uint32_t, uint32_t) { return "on"; }
const char* GAUGE_CALL closed_arg(double, uint32_t, uint32_t, uint32_t, uint32_t) { return "closed"; }
const char* GAUGE_CALL null_arg(double, uint32_t, uint32_t, uint32_t, uint32_t) { return nullptr; }

TooltipArg numeric() {
    TooltipArg a{};
    a.number = number_arg;
    return a;
}
TooltipArg text(TooltipStringCallback callback) {
    TooltipArg a{};
    a.string = callback;
    return a;
}

std::string format(const char* t, double value = 0) {
    static const TooltipArg args[8] = {numeric(),         text(on_arg),     text(closed_arg), text(closed_arg),
                                       text(closed_arg),  text(closed_arg), text(closed_arg), text(closed_arg)};
    number_value = value;
    return sim::format_tooltip(t, args, 8);
}

}  // namespace

TEST_F(MouseTest, TooltipRecordsShowTextOrTheHostsHelpText) {
    std::vector<MouseRect> rects = {
        parent(0, 0, 0, 0),
        tooltip("Tachometer (%1!d! RPM)", 0),  // text with no arguments: as written
        parent(0, 0, 10, 10),
        tooltip(nullptr, 0, nullptr, 0x3211),
        end_parent(),
        parent(20, 0, 10, 10, 0xAB02),
        tooltip(nullptr),  // neither text nor help id: the region's help id stands
        end_parent(),
        end_parent(),
        end_list(),
    };
    sim::Placement& p = place(rects);
    EXPECT_EQ(p.tooltip(50, 50), "Tachometer (%1!d! RPM)");
    EXPECT_EQ(p.tooltip(5, 5), "[help 0x3211]");
    EXPECT_EQ(p.tooltip(25, 5), "[help 0xAB02]");
}

TEST_F(MouseTest, TooltipArgumentsFillThePlaceholdersOfTheirRecord) {
    TooltipArg args[3] = {numeric(), text(on_arg), text(closed_arg)};
    std::vector<MouseRect> rects = {
        parent(0, 0, 0, 0),
        tooltip("Tuning handle (%1!07.2f! MHz)", 3, args),
        parent(0, 0, 10, 10),
        tooltip("ADF tone switch (%2!s!)", 3, args),
        end_parent(),
        end_parent(),
        end_list(),
    };
    sim::Placement& p = place(rects);
    number_value = 351.5;
    EXPECT_EQ(p.tooltip(50, 50), "Tuning handle (0351.50 MHz)");
    EXPECT_EQ(p.tooltip(5, 5), "ADF tone switch (on)");
}

TEST(TooltipFormat, PlaceholdersFormatAsTheMessageFormatterDoes) {
    EXPECT_EQ(format("Selected VOR1 course (%1!d!\xB0)", 271.9), "Selected VOR1 course (271\xB0)");
    EXPECT_EQ(format("%1!d!", -3.7), "-3");
    EXPECT_EQ(format("Rudder (Yaw) trim indicator ( %1!4.1f!\xB0)", -2.25), "Rudder (Yaw) trim indicator ( -2.2\xB0)");
    EXPECT_EQ(format("( %1!4.1f!\xB0)", 3.14159), "(  3.1\xB0)");
    EXPECT_EQ(format("%1!07.2f!", 118.5), "0118.50");
    EXPECT_EQ(format("%1!07.2f!", -1.5), "-001.50");
    EXPECT_EQ(format("%1!07.3f! MHz", 110.9), "110.900 MHz");
    EXPECT_EQ(format("Main switch (%3!s!)"), "Main switch (closed)");
    EXPECT_EQ(format("%2!s! %8!s! %1!d!", 7), "on closed 7");
    EXPECT_EQ(format("%1!d!%% open", 50), "50% open");
}

TEST(TooltipFormat, MalformedPlaceholdersShowAsWritten) {
    for (const char* t : {"%1!d", "%!d!", "%0!d!", "%1!q!", "%1!!", "%1", "%9!s!", "%1!123.1f!", "100%",
                          "%1!s!",  // a numeric argument asked as a string
                          "%2!d!",  // a string argument asked as a number
                          "%1!c!", "%x"})
        EXPECT_EQ(format(t, 5), t) << t;
    EXPECT_EQ(format("(%1!d) %1!d!", 4), "(%1!d) 4");
    const TooltipArg none[1] = {text(null_arg)};
    EXPECT_EQ(sim::format_tooltip("%1!s!", none, 0), "%1!s!");        // beyond a count of 0
    EXPECT_EQ(sim::format_tooltip("%1!s!", nullptr, 3), "%1!s!");     // no array
    EXPECT_EQ(sim::format_tooltip("(%1!s!)", none, 1), "()");         // a null string shows nothing
    EXPECT_EQ(sim::format_tooltip(nullptr, none, 1), "");
}

TEST(TooltipFormat, HostileNumbersStaySafe) {
    EXPECT_EQ(format("%1!d!", std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(format("%1!d!", 1e300), "2147483647");
    EXPECT_EQ(format("%1!d!", -std::numeric_limits<double>::infinity()), "-2147483648");
    EXPECT_EQ(format("%1!4.1f!", std::numeric_limits<double>::infinity()), " inf");
    EXPECT_EQ(format("%1!07.2f!", 1e300).size(), 304u);
}

// The far edges one at a time: a point on the right edge (or the bottom
// edge alone) is outside the box, a point one pixel in is inside.
TEST_F(MouseTest, EachFarEdgeOfABoxIsOutsideItOnItsOwn) {
    auto rects = dial_rects();
    sim::Placement& p = place(rects);
    EXPECT_EQ(p.tooltip(49, 49), "Upper left region");
    EXPECT_EQ(p.tooltip(50, 20), "Whole gauge");
    EXPECT_EQ(p.tooltip(20, 50), "Whole gauge");
    // Click areas: 100,100 20x30 and, beside it, 120,100 20x30.
    EXPECT_EQ(p.cursor(119, 129), CURSOR_DOWNARROW);
    EXPECT_EQ(p.cursor(120, 110), CURSOR_UPARROW);
    EXPECT_EQ(p.cursor(110, 130), CURSOR_NONE);
    EXPECT_EQ(p.cursor(140, 110), CURSOR_NONE);
    EXPECT_FALSE(p.click(110, 130));
    EXPECT_TRUE(clicks.empty());
    // The whole-gauge region, once the background's size is known.
    p.width = 200, p.height = 220;
    EXPECT_EQ(p.tooltip(10, 219), "Whole gauge");
    EXPECT_EQ(p.tooltip(10, 220), "");
    EXPECT_EQ(p.tooltip(10, -1), "");
}

// Where regions overlap, the deepest one with words speaks; of two at the
// same depth, the first in the list. A region without words of its own
// leaves its parent's.
TEST_F(MouseTest, OfOverlappingRegionsTheDeepestThenTheFirstSpeaks) {
    std::vector<MouseRect> rects = {
        parent(0, 0, 0, 0),
        tooltip("Whole gauge"),
        parent(0, 0, 50, 50),
        tooltip("First"),
        end_parent(),
        parent(25, 25, 50, 50),
        tooltip("Second"),
        end_parent(),
        parent(80, 80, 20, 20),
        tooltip("Outer"),
        parent(85, 85, 5, 5),
        end_parent(),
        end_parent(),
        end_parent(),
        end_list(),
    };
    sim::Placement& p = place(rects);
    EXPECT_EQ(p.tooltip(30, 30), "First");
    EXPECT_EQ(p.tooltip(60, 60), "Second");
    EXPECT_EQ(p.tooltip(10, 10), "First");
    EXPECT_EQ(p.tooltip(86, 86), "Outer");
    EXPECT_EQ(p.tooltip(78, 10), "Whole gauge");
}
