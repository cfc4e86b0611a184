// The mouse rectangles of the gauges as the host reads them, one table per
// gauge: the regions with what each shows (tooltip text, or the host's help
// text), the click areas in list order with their box, cursor, click kinds
// and the key event the host sends for them, and the kinds of the tooltip
// arguments. Each table is written from the gauge's own description.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/host_fixture.h"

namespace {

struct Box {
    int32_t x, y, w, h;
};

// A region and what it shows: "text:..." or "help:0x...." (a region with
// neither shows nothing and is left out).
struct Region {
    Box box;
    std::string shows;
};

struct Child {
    Box box;
    int32_t cursor;
    uint32_t flags;
    uint32_t event;  // sent by the host itself; 0 with a mouse callback
};

struct GaugeMouse {
    const char* name;
    std::vector<Region> regions;
    std::vector<Child> children;
    const char* arguments;  // N numeric, S string, per argument record
};

constexpr int32_t UP = CURSOR_UPARROW, DOWN = CURSOR_DOWNARROW, HAND = CURSOR_HAND;
constexpr uint32_t CLICK = 0x20000000, REPEAT = 0x20200000, BOTH = 0xA0200000, DRAG = 0x20800000;

std::string help(uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "help:0x%X", id);
    return text;
}
std::string text(const char* t) { return std::string("text:") + t; }

std::vector<Region> vor_regions(bool second) {
    std::vector<Region> r = {{{70, 70, 170, 170}, help(second ? 0xAB74 : 0xAB72)},
                             {{3, 244, 74, 74}, text(second ? "Selected VOR2 course (%1!d!\xB0)"
                                                            : "Selected VOR1 course (%1!d!\xB0)")}};
    if (!second) r.push_back({{253, 18, 56, 56}, help(0xAB48)});
    return r;
}
const std::vector<Child> kVorKnob = {{{3, 244, 37, 74}, DOWN, BOTH, 0}, {{40, 244, 37, 74}, UP, BOTH, 0}};

std::vector<Region> nav_regions(bool second) {
    return {{{0, 0, 240, 61}, text(second ? "Navigation Radio NAV2 - %1!07.3f! MHz" : "Navigation Radio NAV1 - %1!07.3f! MHz")},
            {{113, 64, 22, 22}, text("Tone switch (%2!s!)")},
            {{59, 61, 26, 31}, text("Main switch (%3!s!)")}};
}
const std::vector<Child> kNavChildren = {{{14, 9, 18, 36}, DOWN, REPEAT, 0},  {{32, 9, 18, 36}, UP, REPEAT, 0},
                                         {{190, 8, 18, 36}, DOWN, REPEAT, 0}, {{208, 8, 18, 36}, UP, REPEAT, 0},
                                         {{59, 61, 26, 31}, HAND, CLICK, 0},  {{113, 64, 22, 22}, HAND, CLICK, 0}};

Child lever(int32_t x, int32_t y, int32_t w) { return {{x, y, w, 109}, HAND, DRAG, 0}; }

const std::vector<GaugeMouse>& gauges() {
    static const std::vector<GaugeMouse> table = {
        {"Dirud_Box",
         {{{0, 197, 40, 67}, help(0xAB65)},
          {{210, 197, 40, 67}, help(0xAB65)},
          {{0, 79, 40, 67}, help(0xAB67)},
          {{210, 79, 40, 67}, help(0xAB67)}},
         {{{0, 197, 40, 67}, HAND, REPEAT, 0},
          {{210, 197, 40, 67}, HAND, REPEAT, 0},
          {{0, 79, 40, 67}, HAND, REPEAT, 0},
          {{210, 79, 40, 67}, HAND, REPEAT, 0},
          {{77, 73, 43, 43}, UP, CLICK, 0},
          {{77, 175, 43, 43}, DOWN, CLICK, 0},
          {{126, 73, 43, 43}, UP, CLICK, 0},
          {{126, 175, 43, 43}, DOWN, CLICK, 0}},
         ""},
        {"Quorvet_Timer",
         {{{56, 0, 162, 256}, text("Quorvet timer")},
          {{197, 273, 30, 40}, text("Timer reset button")},
          {{110, 262, 45, 45}, text("Timer start/stop button")},
          {{223, 85, 30, 103}, text("Turns minute ring clockwise")},
          {{22, 85, 30, 103}, text("Turns minute ring counterclockwise")}},
         {{{110, 262, 45, 45}, HAND, CLICK, 0},
          {{197, 273, 30, 40}, UP, REPEAT, 0},
          {{223, 85, 30, 103}, UP, REPEAT, 0},
          {{22, 85, 30, 103}, DOWN, REPEAT, 0}},
         ""},
        {"Registration", {{{0, 0, 0, 0}, text("Registration number")}}, {}, ""},
        {"Parking_Brake", {{{0, 0, 0, 0}, help(0xAB51)}}, {{{0, 0, 127, 155}, HAND, CLICK, 0}}, ""},
        {"Synchroscope", {{{0, 0, 0, 0}, help(0xAD03)}}, {}, ""},
        {"Prop_Synch_Switch",
         {{{0, 0, 0, 0}, text("Propeller synchroscope switch (%1!s!)")}},
         {{{0, 0, 36, 57}, HAND, CLICK, 0}},
         "S"},
        {"Fuel_Quantity", {{{0, 0, 150, 300}, help(12568)}, {{150, 0, 150, 300}, help(12569)}}, {}, ""},
        {"Hydraulic_Pressure", {{{0, 0, 0, 0}, text("Hydraulic pressure (%1!d! bars)")}}, {}, "N"},
        {"Suction_Indicator", {{{0, 0, 0, 0}, help(0xAB66)}}, {}, ""},
        {"OAT_Indicator", {{{0, 0, 0, 0}, text("Outside air temperature (%1!d!\xB0)")}}, {}, "N"},
        {"Tachometer", {{{0, 0, 0, 0}, help(12817)}}, {}, ""},
        {"Manifold_Pressure", {{{0, 0, 150, 300}, help(12449)}, {{150, 0, 150, 300}, help(12457)}}, {}, ""},
        {"Oil_Temperature", {{{0, 0, 150, 300}, help(12529)}, {{150, 0, 150, 300}, help(12530)}}, {}, ""},
        {"Oil_Pressure", {{{0, 0, 150, 300}, help(12553)}, {{150, 0, 150, 300}, help(12553)}}, {}, ""},
        {"OMI", {{{0, 0, 0, 0}, help(0xAB50)}}, {{{86, 64, 25, 25}, HAND, REPEAT, 0}}, ""},
        {"Airspeed", {{{0, 0, 0, 0}, help(0x3002)}}, {}, ""},
        {"Vertical_Speed", {{{0, 0, 0, 0}, help(0x3099)}}, {}, ""},
        {"Turn_Coordinator", {{{0, 0, 0, 0}, help(0x3090)}}, {}, ""},
        {"Altimeter",
         {{{0, 0, 300, 236}, help(0x3051)}, {{27, 239, 44, 44}, help(0x3054)}},
         {{{27, 239, 22, 44}, DOWN, REPEAT, 65884}, {{49, 239, 22, 44}, UP, REPEAT, 65883}},
         ""},
        {"Attitude",
         {{{0, 0, 250, 220}, help(0x3092)},
          {{111, 239, 42, 42}, text("Plane adjusting button")},
          {{213, 223, 80, 80}, text("Attitude caging button")}},
         {{{111, 239, 21, 42}, DOWN, REPEAT, 66319},
          {{132, 239, 21, 42}, UP, REPEAT, 66318},
          {{213, 223, 80, 80}, HAND, CLICK, 66373}},
         ""},
        {"Gyro_Compass",
         {{{0, 0, 231, 231}, help(0x3208)}, {{89, 234, 28, 56}, help(0xAB35)}},
         {{{89, 234, 28, 56}, DOWN, REPEAT, 65878}, {{117, 234, 28, 56}, UP, REPEAT, 65877}},
         ""},
        {"Throttle_Quadrant",
         {{{122, 0, 32, 109}, help(12705)},
          {{169, 0, 32, 109}, help(12706)},
          {{228, 0, 32, 109}, help(12689)},
          {{268, 0, 32, 109}, help(12690)},
          {{35, 7, 32, 109}, help(12697)},
          {{72, 7, 32, 109}, help(12698)},
          {{1, 35, 22, 182}, help(12584)},
          {{208, 197, 35, 33}, text("Tail wheel locking lever (%1!s!)")}},
         {lever(122, 0, 32), lever(169, 0, 32), lever(154, 0, 15), lever(228, 0, 32), lever(260, 0, 8),
          lever(268, 0, 32), lever(35, 7, 32), lever(67, 7, 5), lever(72, 7, 32),
          {{1, 35, 22, 91}, DOWN, REPEAT, 0}, {{1, 126, 22, 91}, UP, REPEAT, 0},
          {{208, 197, 35, 33}, HAND, CLICK, 66541}},
         "S"},
        {"Pitch_Trim_Indicator", {{{0, 0, 0, 0}, text("Elevator (Pitch) trim indicator ( %1!4.1f!\xB0)")}}, {}, "N"},
        {"Rudder_Trim_Indicator", {{{0, 0, 0, 0}, text("Rudder (Yaw) trim indicator ( %1!4.1f!\xB0)")}}, {}, "N"},
        {"Flaps_Indicator", {{{0, 0, 0, 0}, help(0xAB24)}}, {}, ""},
        {"Gear_Lever", {{{0, 0, 0, 0}, help(0xAB30)}}, {{{0, 0, 125, 135}, HAND, CLICK, 65570}}, ""},
        {"Gear_Lamps", {{{0, 0, 0, 0}, help(0xAB31)}}, {}, ""},
        {"Radio_Altimeter",
         {{{0, 0, 0, 0}, help(0x3009)}},
         {{{244, 254, 33, 66}, DOWN, REPEAT, 0}, {{277, 254, 33, 66}, UP, REPEAT, 0}},
         ""},
        {"Radio_Altimeter_DH_Light", {{{0, 0, 0, 0}, text("Radio-altimeter decision height light")}}, {}, ""},
        {"Radio_Altimeter_Switch",
         {{{0, 0, 0, 0}, text("Radio-altimeter switch")}},
         {{{0, 20, 40, 118}, HAND, CLICK, 0}},
         ""},
        {"VOR1_Indicator", vor_regions(false), kVorKnob, "N"},
        {"VOR2_Indicator", vor_regions(true), kVorKnob, "N"},
        {"Radio_NAV1", nav_regions(false), kNavChildren, "NSS"},
        {"Radio_NAV2", nav_regions(true), kNavChildren, "NSS"},
        {"Radio_COM1",
         {{{0, 0, 240, 143}, text("Communications Radio COM1 - %1!07.3f! MHz")},
          {{74, 143, 166, 57}, text("Communications Radio COM1 - %1!07.3f! MHz")},
          {{23, 143, 50, 50}, text("COM1 main switch (%2!s!)")}},
         {{{41, 8, 26, 52}, DOWN, REPEAT, 0},
          {{67, 8, 26, 52}, UP, REPEAT, 0},
          {{94, 8, 26, 52}, DOWN, REPEAT, 0},
          {{120, 8, 26, 52}, UP, REPEAT, 0},
          {{147, 8, 26, 52}, DOWN, REPEAT, 0},
          {{173, 8, 26, 52}, UP, REPEAT, 0},
          {{200, 8, 20, 52}, DOWN, REPEAT, 0},
          {{214, 8, 20, 52}, UP, REPEAT, 0},
          {{23, 143, 50, 50}, HAND, CLICK, 0}},
         "NS"},
        {"Radio_ADF",
         {{{0, 0, 360, 123}, text("Navigation Radio ADF - %1!07.2f! MHz")},
          {{202, 123, 158, 76}, text("Navigation Radio ADF - %1!07.2f! MHz")},
          {{25, 183, 74, 74}, text("ADF tone switch (%2!s!)")},
          {{237, 215, 78, 78}, text("Main switch (%3!s!)")},
          {{122, 209, 90, 90}, text("Tuning handle (%1!07.2f! MHz)")},
          {{126, 123, 90, 90}, text("Frequency band selector")}},
         {{{237, 215, 78, 78}, HAND, CLICK, 0},
          {{25, 183, 74, 74}, HAND, CLICK, 0},
          {{126, 123, 45, 90}, DOWN, REPEAT, 0},
          {{164, 123, 45, 90}, UP, REPEAT, 0},
          {{122, 209, 45, 90}, DOWN, BOTH, 0},
          {{167, 209, 45, 90}, UP, BOTH, 0},
          {{116, 55, 102, 67}, HAND, REPEAT, 0}},
         "NSS"},
        {"ADF_Indicator",
         {{{0, 0, 300, 241}, text("%1!s!")}, {{11, 241, 56, 56}, help(0xAB01)}},
         {{{11, 241, 28, 56}, DOWN, REPEAT, 65882}, {{39, 241, 28, 56}, UP, REPEAT, 65881}},
         "S"},
    };
    return table;
}

std::string describe(const Box& b) {
    return std::to_string(b.x) + "," + std::to_string(b.y) + "," + std::to_string(b.w) + "," + std::to_string(b.h);
}
std::string describe(const Region& r) { return describe(r.box) + " " + r.shows; }
std::string describe(const Child& c) {
    char text[96];
    std::snprintf(text, sizeof text, " cursor %d flags 0x%X event %u", c.cursor, c.flags, c.event);
    return describe(c.box) + text;
}

struct Read {
    std::vector<std::string> regions, children;
    std::string arguments;
};

// Reads a gauge's list the way the host does: each parent opens a region,
// whose tooltip record (if any) says what it shows.
Read read_mouse(const MouseRect* r, size_t argument_records) {
    Read out;
    struct Open {
        Box box;
        uint32_t help;
        std::string shows;
    };
    std::vector<Open> open;
    for (; r && r->type != MOUSE_END; ++r) {
        switch (r->type) {
        case MOUSE_PARENT: open.push_back({{r->x, r->y, r->width, r->height}, r->help_id, ""}); break;
        case MOUSE_TOOLTIP:
            if (open.empty()) break;
            if (r->text)
                open.back().shows = text(r->text);
            else if (r->help_id)
                open.back().shows = help(r->help_id);
            // The host reads as many argument records as the count says.
            EXPECT_EQ(r->arg_count, r->args ? argument_records : 0u) << (r->text ? r->text : "");
            if (r->args && out.arguments.empty())
                for (size_t i = 0; i < argument_records; ++i)
                    out.arguments += r->args[i].number ? (r->args[i].string ? '?' : 'N') : (r->args[i].string ? 'S' : '-');
            break;
        case MOUSE_PARENT_END:
            if (open.empty()) break;
            if (open.back().shows.empty() && open.back().help) open.back().shows = help(open.back().help);
            if (!open.back().shows.empty()) out.regions.push_back(describe(Region{open.back().box, open.back().shows}));
            open.pop_back();
            break;
        case MOUSE_CHILD:
            out.children.push_back(describe(
                Child{{r->x, r->y, r->width, r->height}, r->cursor, r->mouse_flags, r->callback ? 0u : r->event_id}));
            if (r->callback) { EXPECT_EQ(r->event_id, 0u) << "a click area with a callback carries an event"; }
            break;
        default: ADD_FAILURE() << "rectangle of unknown type " << r->type;
        }
    }
    EXPECT_TRUE(open.empty()) << "a region is not closed";
    return out;
}

}  // namespace

TEST_F(ModuleTest, MouseRectanglesFollowEachGaugesTable) {
    for (const GaugeMouse& g : gauges()) {
        SCOPED_TRACE(g.name);
        const GaugeHeader* header = module->find_gauge(g.name);
        ASSERT_NE(header, nullptr);
        Read got = read_mouse(header->mouse_rects, std::string(g.arguments).size());
        std::vector<std::string> regions, children;
        for (const Region& r : g.regions) regions.push_back(describe(r));
        for (const Child& c : g.children) children.push_back(describe(c));
        std::sort(regions.begin(), regions.end());
        std::sort(got.regions.begin(), got.regions.end());
        EXPECT_EQ(got.regions, regions);
        EXPECT_EQ(got.children, children);
        EXPECT_EQ(got.arguments, g.arguments);
    }
}
