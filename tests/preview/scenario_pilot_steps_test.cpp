// Pilot steps in scenarios: a control of the aircraft by its table's name,
// set at once or moved over some seconds, with bad names and values
// refused at their line.
#include <gtest/gtest.h>

#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "flight/scenario.h"

namespace {

std::string scenario_error(const std::string& text) {
    sim::Scenario s;
    std::string error;
    EXPECT_FALSE(sim::parse_scenario(text, "fly.txt", &s, &error)) << text;
    return error;
}

TEST(ScenarioPilotSteps, ReadControlValueAndSeconds) {
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario("at 3 pilot pitch 8 2.5\nat 1 pilot throttle 1\n", "fly.txt", &s, &error)) << error;
    ASSERT_EQ(s.steps.size(), 2u);
    EXPECT_EQ(s.steps[0].kind, sim::ScenarioStep::PILOT);
    EXPECT_EQ(s.steps[0].text, "throttle");
    EXPECT_EQ(s.steps[0].to, 1);
    EXPECT_EQ(s.steps[0].duration, 0);
    EXPECT_EQ(s.steps[1].text, "pitch");
    EXPECT_EQ(s.steps[1].duration, 2.5);
    EXPECT_EQ(s.duration, 5.5);
}

TEST(ScenarioPilotSteps, BadStepsNameTheLineAndWhatIsWrong) {
    EXPECT_EQ(scenario_error("\nat 1 pilot rudder 3\n"),
              "fly.txt:2: pilot: unknown control 'rudder' (throttle, throttle1, throttle2, propeller, mixture, pitch, bank, brakes, steer)");
    EXPECT_EQ(scenario_error("at 1 pilot throttle 1.2\n"), "fly.txt:1: pilot: throttle takes a number from 0 to 1, got '1.2'");
    EXPECT_EQ(scenario_error("at 1 pilot bank nan\n"), "fly.txt:1: pilot: bank takes a number from -45 to 45, got 'nan'");
    EXPECT_EQ(scenario_error("at 1 pilot pitch\n"), "fly.txt:1: pilot: usage: pilot CONTROL VALUE [SECONDS]");
    EXPECT_EQ(scenario_error("at 1 pilot pitch 3 -1\n"), "fly.txt:1: a duration is seconds from 0 to 86400, got '-1'");
}

TEST(ScenarioPilotSteps, ThePanelSessionMovesTheAircraftsControls) {
    sim::SimHost host;
    std::string error;
    ASSERT_NE(host.load_module(MORVANE_MODULE_PATH, &error), nullptr) << error;
    sim::PanelLayout layout;
    ASSERT_TRUE(sim::parse_panel_layout("[Window00]\nsize=100,100\ngauge00=Morvane_Instr!Attitude, 0, 0, 100\n",
                                        "p.cfg", &layout, &error));
    sim::Scenario scenario;
    ASSERT_TRUE(sim::parse_scenario("at 1 pilot throttle 0.5\nat 2 pilot pitch 10 4\nend 8\n", "p.txt", &scenario, &error));
    sim::PanelSession session(host, layout, sim::module_bitmap_lookup());
    ASSERT_TRUE(session.place_all("p.cfg", &error)) << error;
    const aircraft::State& s = session.aircraft()->state();
    session.run_to(scenario, 1.5);
    EXPECT_EQ(s.engine[0].throttle, 0.5);
    EXPECT_EQ(s.engine[1].throttle, 0.5);
    session.run_to(scenario, 4);
    EXPECT_NEAR(s.pilot.pitch_deg, 5, 0.3);  // half way through the move
    session.run_to(scenario, 7);
    EXPECT_EQ(s.pilot.pitch_deg, 10);
}

}  // namespace
