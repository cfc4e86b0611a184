// The flight session without any drawing: a layout placed in the test host,
// the built-in aircraft behind it or none, a scenario played cycle by cycle
// on the host's clock, panel hits, the misses that stop a scenario, and
// the session log.
#include <gtest/gtest.h>

#include <string>

#include "flight/flight_session.h"
#include "flight/panel_layout.h"
#include "flight/scenario.h"
#include "host/sim_host.h"

namespace {

// Two windows: the attitude indicator and, on a window placed over part of
// it, a smaller one.
const char* const kLayout =
    "[Window00]\nsize=400,300\nposition=0,0\nident=0\n"
    "gauge00=Morvane_Instr!Attitude, 0, 0, 200\n"
    "[Window01]\nsize=150,150\nposition=150,150\nident=7\n"
    "gauge00=Morvane_Instr!Attitude, 0, 0, 100\n";

class FlightSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_NE(host.load_module(MORVANE_MODULE_PATH, &error), nullptr) << error;
        ASSERT_TRUE(sim::parse_panel_layout(kLayout, "two.cfg", &layout, &error)) << error;
    }
    sim::Scenario scenario(const std::string& text) {
        sim::Scenario s;
        std::string error;
        EXPECT_TRUE(sim::parse_scenario(text, "flight.txt", &s, &error)) << error;
        return s;
    }
    // One window with the throttle quadrant 500 px down it.
    sim::PanelLayout quadrant_layout() {
        sim::PanelLayout quadrant;
        std::string error;
        EXPECT_TRUE(sim::parse_panel_layout(
            "[Window00]\nsize=800,1200\ngauge00=Morvane_Instr!Throttle_Quadrant, 0, 500\n", "quadrant.cfg", &quadrant,
            &error))
            << error;
        return quadrant;
    }
    sim::SimHost host;
    sim::PanelLayout layout;
};

TEST_F(FlightSessionTest, PlacingTheGaugesFliesNoCycleAndPlacingAllFliesOne) {
    {
        sim::FlightSession session(host, layout, /*fly=*/false);
        std::string error;
        ASSERT_TRUE(session.place_gauges("two.cfg", &error)) << error;
        EXPECT_EQ(session.gauges().size(), 2u);
        EXPECT_EQ(session.time(), 0.0);
        EXPECT_EQ(session.aircraft(), nullptr);
        EXPECT_EQ(host.simulation(), nullptr);
    }
    sim::SimHost second;
    std::string error;
    ASSERT_NE(second.load_module(MORVANE_MODULE_PATH, &error), nullptr) << error;
    sim::FlightSession session(second, layout);
    ASSERT_TRUE(session.place_all("two.cfg", &error)) << error;
    EXPECT_DOUBLE_EQ(session.time(), second.seconds_per_cycle);
    ASSERT_NE(session.aircraft(), nullptr);
    EXPECT_EQ(second.simulation(), session.aircraft());
}

TEST_F(FlightSessionTest, TheAircraftIsDetachedWhenTheSessionEnds) {
    {
        sim::FlightSession session(host, layout);
        EXPECT_NE(host.simulation(), nullptr);
    }
    EXPECT_EQ(host.simulation(), nullptr);
}

// A session detaches only its own aircraft: whatever the program attached
// behind the host (the FlightGear link, say: here another aircraft) stays
// attached while the session is placed and flown and when it ends.
TEST_F(FlightSessionTest, ASessionLeavesTheProgramsOwnSimulationAttached) {
    aircraft::Aircraft other;
    host.attach(&other);
    {
        sim::FlightSession session(host, layout, /*fly=*/false);
        std::string error;
        ASSERT_TRUE(session.place_all("two.cfg", &error)) << error;
        EXPECT_EQ(host.simulation(), &other);
    }
    EXPECT_EQ(host.simulation(), &other);
    // A session that flies but whose program has since put another
    // simulation behind the host leaves that one too.
    {
        sim::FlightSession session(host, layout);
        EXPECT_EQ(host.simulation(), session.aircraft());
        host.attach(&other);
    }
    EXPECT_EQ(host.simulation(), &other);
    host.attach(nullptr);
}

TEST_F(FlightSessionTest, PanelHitsFindTheTopWindowsGaugeInItsBackgroundPixels) {
    sim::FlightSession session(host, layout, false);
    std::string error;
    ASSERT_TRUE(session.place_all("two.cfg", &error)) << error;
    const sim::PlacedGauge& big = session.gauges()[0];
    const sim::PlacedGauge& small = session.gauges()[1];
    ASSERT_GT(big.placement->width, 0);
    // Under the second window: its gauge, even over the first one.
    sim::PanelHit h = session.hit(160, 160);
    ASSERT_EQ(h.gauge, &small);
    EXPECT_EQ(h.x, 10 * small.placement->width / small.width);
    // Beside it: the first window's gauge, scaled to its background.
    h = session.hit(100, 50);
    ASSERT_EQ(h.gauge, &big);
    EXPECT_EQ(h.x, 100 * big.placement->width / big.width);
    EXPECT_EQ(h.y, 50 * big.placement->height / big.height);
    // A gauge's first column and row are its own; its last ones too.
    h = session.hit(150, 150);
    ASSERT_EQ(h.gauge, &small);
    EXPECT_EQ(h.x, 0);
    EXPECT_EQ(h.y, 0);
    EXPECT_EQ(session.hit(150 + small.width - 1, 150 + small.height - 1).gauge, &small);
    EXPECT_EQ(session.hit(0, 0).gauge, &big);
    // On a window's background beside its gauges: nothing.
    EXPECT_EQ(session.hit(290, 160).gauge, nullptr);
    EXPECT_EQ(session.hit(399, 10).gauge, nullptr);
    // Off every window: nothing.
    EXPECT_EQ(session.hit(500, 10).gauge, nullptr);
    // A hidden window lets the pointer through to the one below.
    host.set_panel_visible(7, false);
    EXPECT_EQ(session.hit(160, 160).gauge, &big);
}

TEST_F(FlightSessionTest, StepsArePlayedOnTheHostsClockAndRampsReachTheirEnds) {
    sim::FlightSession session(host, layout, false);
    std::string error;
    ASSERT_TRUE(session.place_gauges("two.cfg", &error)) << error;
    sim::Scenario s = scenario("at 1 set 700 5\nat 2 ramp 701 0 100 2\nat 3 failure 4 on\nend 6\n");
    ASSERT_TRUE(session.run_to(s, 0.9));
    EXPECT_NE(host.var(700), 5.0);
    ASSERT_TRUE(session.run_to(s, 1.1));
    EXPECT_EQ(host.var(700), 5.0);
    ASSERT_TRUE(session.run_to(s, 2.95));
    EXPECT_FALSE(host.active_failures.count(4));
    // The last cycle began within one cycle before 2.95 s: the ramp was
    // set a little less than half way.
    EXPECT_GT(host.var(701), (2.95 - 1.0 / 18 - 2) / 2 * 100 - 1e-9);
    EXPECT_LT(host.var(701), 50.0);
    ASSERT_TRUE(session.run_to(s, 3.1));
    EXPECT_TRUE(host.active_failures.count(4));
    ASSERT_TRUE(session.run_to(s, 5.0));
    EXPECT_EQ(host.var(701), 100.0);
    // From the start again: times count from now.
    double now = session.time();
    session.restart_scenario();
    host.set_var(700, 0);
    ASSERT_TRUE(session.run_to(s, 0.9));
    EXPECT_EQ(host.var(700), 0.0);
    ASSERT_TRUE(session.run_to(s, 1.1));
    EXPECT_EQ(host.var(700), 5.0);
    EXPECT_NEAR(session.time(), now + 1.1, 1.0 / 18);
}

// A ramp of no length sets its end value at once, and a drag of no length
// moves straight to its end point.
TEST_F(FlightSessionTest, RampsAndDragsOfNoLengthGoStraightToTheirEnds) {
    sim::PanelLayout quadrant = quadrant_layout();
    std::string error;
    sim::FlightSession session(host, quadrant, false);
    ASSERT_TRUE(session.place_gauges("quadrant.cfg", &error)) << error;
    // The first throttle dragged from low on its slot to above its top.
    sim::Scenario s = scenario("at 1 ramp 700 4 10 0\nat 1 drag 130 550 130 100\nend 2\n");
    ASSERT_TRUE(session.run_to(s, 1.1)) << session.scenario_error();
    EXPECT_EQ(host.var(700), 10.0);
    uint32_t last_throttle = 0;
    for (const sim::KeyEvent& e : host.events())
        if (e.id == 65820) last_throttle = e.value;
    EXPECT_EQ(last_throttle, 16384u);  // full throttle
}

// What a click sends is in the log at once, with the click's time, before
// any cycle (the live panel shows it as the pilot clicks).
TEST_F(FlightSessionTest, WhatAClickSendsIsLoggedAtOnce) {
    sim::PanelLayout quadrant = quadrant_layout();
    std::string error;
    sim::FlightSession session(host, quadrant, false);
    ASSERT_TRUE(session.place_all("quadrant.cfg", &error)) << error;
    size_t before = session.log().size();
    ASSERT_TRUE(session.click(10, 550, false));  // elevator trim, nose down
    std::vector<std::string> log = session.log();
    ASSERT_GT(log.size(), before);
    EXPECT_EQ(log.back(), "    0.06 s  key event 65607 value 0");
}

// Without a sink the log keeps no fewer than its last 4096 lines, however
// long the panel runs (and never grows without bound).
TEST_F(FlightSessionTest, TheLogKeepsItsLast4096LinesAtLeast) {
    sim::PanelLayout quadrant = quadrant_layout();
    std::string error;
    sim::FlightSession session(host, quadrant, false);
    ASSERT_TRUE(session.place_all("quadrant.cfg", &error)) << error;
    // Nose down and nose up in turn: a line each.
    size_t smallest = SIZE_MAX, largest = 0;
    for (int i = 0; i < 8400; ++i) {
        ASSERT_TRUE(session.click(10, i % 2 ? 650 : 550, false));
        if (i < 8000) continue;
        size_t n = session.log().size();
        smallest = std::min(smallest, n), largest = std::max(largest, n);
    }
    EXPECT_GE(smallest, 4096u);
    EXPECT_LE(largest, 2 * 4096u);
    const std::string last = session.log().back();  // the last click: nose up
    EXPECT_EQ(last.substr(last.size() - 23), "key event 65615 value 0") << last;
}

TEST_F(FlightSessionTest, AClickThatHitsNoGaugeStopsTheScenarioAtItsLine) {
    sim::FlightSession session(host, layout, false);
    std::string error;
    ASSERT_TRUE(session.place_gauges("two.cfg", &error)) << error;
    sim::Scenario s = scenario("at 0.5 set 700 1\nat 1 click 390 290 left\nat 1 set 701 3\nat 2 set 700 2\nend 3\n");
    EXPECT_FALSE(session.run_to(s, 3));
    EXPECT_EQ(session.scenario_error(), "flight.txt:2: click at 390,290 hits no gauge");
    EXPECT_EQ(host.var(700), 1.0);
    EXPECT_NE(host.var(701), 3.0);  // not even the steps of the same second
    double stopped = session.time();
    EXPECT_LT(stopped, 1.1);
    EXPECT_FALSE(session.play_cycle(s));
    EXPECT_EQ(session.time(), stopped);
}

TEST_F(FlightSessionTest, PilotStepsMoveTheAircraftOnlyWhenTheSessionFlies) {
    sim::Scenario s = scenario("at 0.2 pilot throttle 0.4\nat 0.5 pilot pitch 10 1\nend 2\n");
    {
        sim::FlightSession session(host, layout, false);
        std::string error;
        ASSERT_TRUE(session.place_gauges("two.cfg", &error)) << error;
        EXPECT_TRUE(session.run_to(s, 2));
    }
    sim::FlightSession session(host, layout);
    std::string error;
    ASSERT_TRUE(session.place_gauges("two.cfg", &error)) << error;
    session.restart_scenario();
    const aircraft::State& state = session.aircraft()->state();
    ASSERT_TRUE(session.run_to(s, 1.0));
    EXPECT_EQ(state.engine[0].throttle, 0.4);
    EXPECT_NEAR(state.pilot.pitch_deg, 5, 0.6);
    ASSERT_TRUE(session.run_to(s, 2));
    EXPECT_EQ(state.pilot.pitch_deg, 10);
}

TEST_F(FlightSessionTest, TheLogHasEveryPanelWindowChangeWithItsTime) {
    sim::FlightSession session(host, layout, false);
    std::string error;
    ASSERT_TRUE(session.place_all("two.cfg", &error)) << error;
    host.set_panel_visible(7, false);
    session.cycle();
    host.set_panel_visible(7, true);
    session.cycle();
    std::vector<std::string> lines;
    session.set_log_sink([&](const std::string& line) { lines.push_back(line); });
    session.finish_log();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "    0.11 s  panel window 7 hidden");
    EXPECT_EQ(lines[1], "    0.17 s  panel window 7 shown");
}

}  // namespace
