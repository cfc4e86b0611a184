// The aircraft's checklist against the built-in circuit: each section's
// lines turn done as the circuit flies the steps they name, none is done
// before its time, and a reset in the middle of the flight brings the
// aircraft and the panel back cold and dark, ready to fly the circuit
// again.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "aircraft/checklist.h"
#include "preview/panel_session.h"
#include "tests/preview/built_in_circuit.h"
#include "preview/preview_support.h"

namespace {

struct Circuit : BuiltInCircuit {

    // The lines of a section not done now.
    std::vector<std::string> open_lines(const char* title) {
        std::vector<std::string> open;
        for (const aircraft::ChecklistSection& s : aircraft::checklist())
            if (std::string(s.title) == title)
                for (const aircraft::ChecklistLine& l : s.lines)
                    if (!l.done(session->aircraft()->state())) open.push_back(l.text);
        return open;
    }
};

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "; ";
    return out;
}

TEST(ChecklistCircuit, EachSectionIsDoneWhenTheCircuitHasFlownIt) {
    Circuit c;
    // Cold and dark: most of the start-up is still to do.
    EXPECT_GE(c.open_lines("Start-up").size(), 12u);
    EXPECT_FALSE(c.open_lines("Before take-off").empty());
    c.fly_to(30);  // both engines started, pumps and starters off again
    EXPECT_TRUE(c.open_lines("Start-up").empty()) << joined(c.open_lines("Start-up"));
    EXPECT_FALSE(c.open_lines("Before take-off").empty()) << "the parking brake is still set";
    c.fly_to(95);  // lined up on runway 27, full throttle
    EXPECT_TRUE(c.open_lines("Before take-off").empty()) << joined(c.open_lines("Before take-off"));
    EXPECT_FALSE(c.open_lines("Approach").empty());
    c.fly_to(385);  // final, over the outer marker
    EXPECT_TRUE(c.open_lines("Approach").empty()) << joined(c.open_lines("Approach"));
    EXPECT_FALSE(c.open_lines("Shut-down").empty());
    c.fly_to(540);  // parked
    EXPECT_TRUE(c.open_lines("Shut-down").empty()) << joined(c.open_lines("Shut-down"));
}

TEST(ChecklistCircuit, EveryControlALineNamesIsOnTheBuiltInPanel) {
    Circuit c;
    for (const aircraft::ChecklistSection& s : aircraft::checklist()) {
        for (const aircraft::ChecklistLine& l : s.lines) {
            sim::PanelSession::Rect r;
            EXPECT_EQ(c.session->control_rect(l.control, &r), l.control.gauge != nullptr) << l.text;
        }
    }
    // A control of a gauge that is not on the panel has no place.
    sim::PanelSession::Rect r;
    EXPECT_FALSE(c.session->control_rect({"Radio_DME", 0, 0, 10, 10}, &r));
    // Nor has a box off the gauge's click areas.
    EXPECT_FALSE(c.session->control_rect({"Dirud_Box", 240, 330, 4, 4}, &r));
}

TEST(ChecklistCircuit, AResetInFlightBringsTheAircraftAndTheStartingBoxBackColdAndTheCircuitFliesAgain) {
    Circuit c;
    c.fly_to(150);  // climbing out, gear up
    ASSERT_FALSE(c.session->aircraft()->state().flight.on_ground);
    c.session->reset_aircraft();
    c.host.cycle();
    const aircraft::State& s = c.session->aircraft()->state();
    EXPECT_TRUE(s.flight.on_ground);
    EXPECT_TRUE(s.parking_brake);
    EXPECT_TRUE(s.gear_handle_down);
    for (const aircraft::Engine& e : s.engine) {
        EXPECT_FALSE(e.running);
        EXPECT_EQ(e.magnetos, 0);
        EXPECT_FALSE(e.tank_valve_open);
    }
    EXPECT_GE(c.open_lines("Start-up").size(), 12u);
    // The circuit again from its beginning starts both engines, which it
    // could not if the starting box's selectors had stayed at 1.2.
    c.session->restart_scenario();
    c.fly_to(30);
    EXPECT_TRUE(c.open_lines("Start-up").empty()) << joined(c.open_lines("Start-up"));
}

}  // namespace
