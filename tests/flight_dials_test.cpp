// Airspeed, Vertical_Speed and Turn_Coordinator as the pilot and the host
// see them: needle directions on the dial marks and between them, the stops,
// the vertical-speed needle's lag, the inclinometer ball, the flag, failures
// and the help tooltips.
#include <cmath>
#include <vector>

#include "tests/flight_helpers.h"
#include "tests/host_fixture.h"

using flight_test::clockwise_between;
using flight_test::toward;
using flight_test::expect_chain;
using flight_test::Failures;

// ------------------------------------------------------------- Airspeed

TEST_F(ModuleTest, AirspeedIsAFaceANeedleAndAGlass) {
    sim::Placement& p = place("Airspeed");
    expect_chain(p, {{ELEMENT_STATIC_IMAGE, 270, 0, 0, 0x4003},
                     {ELEMENT_NEEDLE, 280, 150, 150, 0x4083, {{6, 1}, {3, 2}}},
                     {ELEMENT_STATIC_IMAGE, 290, 0, 0, 0x3}});
    auto* needle = p.record<NeedleElement>(1);
    EXPECT_EQ(needle->header.offset_x, 43);
    EXPECT_EQ(needle->header.offset_y, 28);
    EXPECT_EQ(needle->max_travel, 0);
}

TEST_F(ModuleTest, AirspeedNeedleOnEveryMarkAndBetween) {
    sim::Placement& p = place("Airspeed");
    struct Mark {
        double knots;
        int x, y;
    };
    const Mark marks[] = {{0, 103, 258}, {40, 80, 245}, {100, 86, 58}, {150, 216, 58}, {250, 218, 246}, {300, 132, 262}};
    for (const Mark& m : marks) {
        host.set_var(61, m.knots);
        host.cycle();
        SCOPED_TRACE(m.knots);
        EXPECT_POINTS(p.element(1), toward(p.element(1), m.x, m.y));
    }
    // Halfway between two marks, halfway along the clockwise arc.
    for (size_t i = 0; i + 1 < std::size(marks); ++i) {
        host.set_var(61, (marks[i].knots + marks[i + 1].knots) / 2);
        host.cycle();
        SCOPED_TRACE(marks[i].knots);
        double from = toward(p.element(1), marks[i].x, marks[i].y);
        double to = toward(p.element(1), marks[i + 1].x, marks[i + 1].y);
        EXPECT_POINTS(p.element(1), clockwise_between(from, to, 0.5));
    }
}

TEST_F(ModuleTest, AirspeedRestsOnItsStops) {
    sim::Placement& p = place("Airspeed");
    for (double knots : {-0.5, -1.0, -40.0, -1e6}) {
        host.set_var(61, knots);
        host.cycle();
        EXPECT_POINTS(p.element(1), toward(p.element(1), 103, 258)) << knots;
    }
    for (double knots : {300.5, 400.0, 500.0, 900.0, 1e6}) {
        host.set_var(61, knots);
        host.cycle();
        EXPECT_POINTS(p.element(1), toward(p.element(1), 132, 262)) << knots;
    }
}

TEST_F(ModuleTest, AirspeedFailuresReachTheNeedle) {
    sim::Placement& p = place("Airspeed");
    host.active_failures = {6};
    host.cycle();
    EXPECT_EQ(p.element(1).failure_actions, std::vector<uint32_t>{1});
    EXPECT_TRUE(p.element(0).failure_actions.empty());
}

// ------------------------------------------------------- Vertical_Speed

namespace {
// The dial mark in ft/min as the variable's unit, metres per second x 256.
double fpm(double feet_per_minute) { return feet_per_minute / 60.0 / 3.28084 * 256.0; }
}  // namespace

TEST_F(ModuleTest, VerticalSpeedRecordsAndCalibration) {
    sim::Placement& p = place("Vertical_Speed");
    expect_chain(p, {{ELEMENT_STATIC_IMAGE, 370, 0, 0, 0x4003},
                     {ELEMENT_NEEDLE, 380, 150, 150, 0x4083, {{19, 1}, {3, 2}}},
                     {ELEMENT_STATIC_IMAGE, 390, 0, 0, 0x3}});
    auto* needle = p.record<NeedleElement>(1);
    EXPECT_EQ(needle->header.offset_x, 65);
    EXPECT_EQ(needle->header.offset_y, 12);
    EXPECT_EQ(needle->max_travel, 20);
    ASSERT_EQ(needle->table_entries, 7u);
    const double marks[] = {-3000, -2500, -1000, 0, 1000, 2500, 3000};
    for (unsigned i = 0; i < 7; ++i) EXPECT_NEAR(needle->table[i].value, fpm(marks[i]), 1e-9) << marks[i];
    // The +-3000 entries sit on the +-2500 points: the stops.
    EXPECT_EQ(needle->table[0].x, 263);
    EXPECT_EQ(needle->table[0].y, 163);
    EXPECT_EQ(needle->table[6].x, needle->table[5].x);
    EXPECT_EQ(needle->table[6].y, needle->table[5].y);
}

TEST_F(ModuleTest, VerticalSpeedNeedleOnTheMarksAndItsStops) {
    struct Mark {
        double fpm;
        int x, y;
    };
    const Mark marks[] = {{-2500, 263, 163}, {-1000, 163, 269}, {0, 41, 148}, {1000, 136, 39}, {2500, 267, 143}};
    for (const Mark& m : marks) {
        // A fresh placement each time: its first drawing is not rate-limited.
        sim::SimHost fresh;
        ASSERT_NE(fresh.load_module(MORVANE_MODULE_PATH, nullptr), nullptr);
        sim::Placement& p = *fresh.place("Vertical_Speed", nullptr);
        fresh.set_var(65, fpm(m.fpm));
        fresh.cycle();
        SCOPED_TRACE(m.fpm);
        EXPECT_POINTS(p.element(1), toward(p.element(1), m.x, m.y));
        fresh.set_var(65, fpm(m.fpm) * 1.0000001);
        fresh.cycles(30);
        if (m.fpm == 2500 || m.fpm == -2500) {
            // Past the end marks the needle stays on them.
            for (double factor : {1.2, 3.0, 100.0, 1e6}) {
                fresh.set_var(65, fpm(m.fpm) * factor);
                fresh.cycles(30);
                EXPECT_POINTS(p.element(1), toward(p.element(1), m.x, m.y)) << factor;
            }
        }
    }
}

TEST_F(ModuleTest, VerticalSpeedNeedleTravelsAtMostTwentyDegreesPerCycle) {
    sim::Placement& p = place("Vertical_Speed");
    host.set_var(65, 0);
    host.cycle();
    const double level = p.element(1).angle;
    EXPECT_POINTS(p.element(1), toward(p.element(1), 41, 148));
    host.set_var(65, fpm(2500));
    const double climb_stop = toward(p.element(1), 267, 143);
    double previous = level;
    int cycles = 0;
    while (flight_test::direction_gap(p.element(1).angle, climb_stop) > 1e-6 && cycles < 50) {
        host.cycle();
        ++cycles;
        double step = p.element(1).angle - previous;
        EXPECT_GT(step, 0) << "a climb turns the needle clockwise";
        EXPECT_LE(step, 20.0 + 1e-9);
        previous = p.element(1).angle;
    }
    // From 9 o'clock over the top to the 2500 mark is more than 20 degrees.
    EXPECT_GT(cycles, 1);
    EXPECT_LT(cycles, 50);
    // And back down: counter-clockwise, again limited.
    host.set_var(65, fpm(-1000));
    host.cycle();
    EXPECT_NEAR(p.element(1).angle, previous - 20.0, 1e-9);
}

// ----------------------------------------------------- Turn_Coordinator

TEST_F(ModuleTest, TurnCoordinatorRecords) {
    sim::Placement& p = place("Turn_Coordinator");
    expect_chain(p, {{ELEMENT_STATIC_IMAGE, 440, 0, 0, 0x4003},
                     {ELEMENT_SLIDER, 460, 133, 159, 0x4083},
                     {ELEMENT_STATIC_IMAGE, 490, 118, 147, 0x3},
                     {ELEMENT_ICON, 470, 109, 76, 0x4003},
                     {ELEMENT_NEEDLE, 450, 151, 253, 0x4083, {{18, 1}, {20, 2}}},
                     {ELEMENT_STATIC_IMAGE, 480, 0, 0, 0x3}});
    auto* flag = p.record<IconElement>(3);
    EXPECT_EQ(flag->image_count, 1u);
    EXPECT_EQ(flag->switch_type, 0u);
    EXPECT_EQ(flag->scale, 1.0);
    EXPECT_EQ(flag->offset, 0);
    auto* aeroplane = p.record<NeedleElement>(4);
    EXPECT_EQ(aeroplane->header.offset_x, 24);
    EXPECT_EQ(aeroplane->header.offset_y, 14);
    EXPECT_EQ(aeroplane->max_travel, 0);
}

TEST_F(ModuleTest, TurnCoordinatorBallRidesItsCurvedTube) {
    sim::Placement& p = place("Turn_Coordinator");
    host.set_var(69, 0);
    host.cycle();
    EXPECT_EQ(p.element(1).dx, 0);
    EXPECT_EQ(p.element(1).dy, 0);
    EXPECT_EQ(p.element(1).x, 133);
    EXPECT_EQ(p.element(1).y, 159);
    for (double side : {127.0, -127.0}) {
        host.set_var(69, side);
        host.cycle();
        EXPECT_NEAR(p.element(1).dx, side * 85.0 / 128.0, 1e-12);
        EXPECT_NEAR(std::fabs(p.element(1).dx), 84.3, 0.05);
        EXPECT_NEAR(p.element(1).dy, -127.0 * 127.0 * 5.0 / 16384.0, 1e-12);
        EXPECT_NEAR(p.element(1).dy, -4.92, 0.01);
    }
    // Halfway out the ball has risen a quarter as much: a parabola.
    host.set_var(69, 63.5);
    host.cycle();
    EXPECT_NEAR(p.element(1).dy, -127.0 * 127.0 * 5.0 / 16384.0 / 4, 1e-12);
    // Past the tube's ends the ball keeps to the same parabola, its
    // position and its height moving together.
    for (double side : {128.0, 200.0, -300.0, 1e6}) {
        host.set_var(69, side);
        host.cycle();
        EXPECT_DOUBLE_EQ(p.element(1).dx, side * 0.6640625) << side;
        EXPECT_DOUBLE_EQ(p.element(1).dy, -side * side * 0.00030517578125) << side;
    }
}

TEST_F(ModuleTest, TurnCoordinatorAeroplaneShowsTheRateOfTurn) {
    sim::Placement& p = place("Turn_Coordinator");
    const sim::DrawnElement& needle = p.element(4);
    host.set_var(70, 0);
    host.cycle();
    EXPECT_POINTS(needle, 0.0);  // wings level, straight up
    host.set_var(70, 1152);
    host.cycle();
    EXPECT_POINTS(needle, toward(needle, 184, 220));
    EXPECT_POINTS(needle, 45.0);
    host.set_var(70, -1152);
    host.cycle();
    EXPECT_POINTS(needle, toward(needle, 118, 220));
    EXPECT_POINTS(needle, -45.0);
    host.set_var(70, 576);
    host.cycle();
    EXPECT_POINTS(needle, 22.5);
    for (double rate : {1280.0, 1281.0, 5000.0, 1e9}) {
        host.set_var(70, rate);
        host.cycle();
        EXPECT_POINTS(needle, 45.0) << rate;
        host.set_var(70, -rate);
        host.cycle();
        EXPECT_POINTS(needle, -45.0) << -rate;
    }
}

TEST_F(ModuleTest, TurnCoordinatorFlagShowsAtTwentyAndBelow) {
    sim::Placement& p = place("Turn_Coordinator");
    const struct {
        double value;
        int image;
    } cases[] = {{20, 0}, {0, 0}, {-5, 0}, {20.0001, -1}, {21, -1}, {1000, -1}};
    for (const auto& c : cases) {
        host.set_var(753, c.value);
        host.cycle();
        EXPECT_EQ(p.element(3).image, c.image) << c.value;
    }
}

// --------------------------------------------------------- help tooltips

TEST_F(ModuleTest, BasicDialsCarryHostHelpTooltipsAndNoClickAreas) {
    const struct {
        const char* gauge;
        uint32_t root_help;
        const char* tooltip;
    } gauges[] = {{"Airspeed", 0xAB02, "[help 0x3002]"},
                  {"Vertical_Speed", 0, "[help 0x3099]"},
                  {"Turn_Coordinator", 0, "[help 0x3090]"}};
    for (const auto& g : gauges) {
        SCOPED_TRACE(g.gauge);
        sim::Placement& p = place(g.gauge);
        const MouseRect* r = p.mouse_rects();
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r[0].type, MOUSE_PARENT);
        EXPECT_EQ(r[0].x | r[0].y | r[0].width | r[0].height, 0);
        EXPECT_EQ(r[0].help_id, g.root_help);
        EXPECT_EQ(r[1].type, MOUSE_TOOLTIP);
        EXPECT_EQ(r[1].text, nullptr);
        EXPECT_EQ(r[2].type, MOUSE_PARENT_END);
        EXPECT_EQ(r[3].type, MOUSE_END);
        EXPECT_TRUE(p.children().empty());
        for (int xy : {0, 150, 299}) {
            EXPECT_EQ(p.tooltip(xy, xy), g.tooltip);
            EXPECT_EQ(p.cursor(xy, xy), CURSOR_NONE);
            EXPECT_FALSE(p.click(xy, xy));
        }
    }
    EXPECT_TRUE(host.events().empty());
}
