// Engines started and stopped from the starting box as the pilot does it:
// admission valve open, selector up through H and E (tanks valve) to both
// magnetos, fuel pump (POMPE ESS), starter with its injection (DEMARREUR); the tachometer, manifold
// pressure, oil and suction follow; idle cut-off and the magnetos stop it.
#include "aircraft/variables.h"
#include "tests/aircraft/aircraft_fixture.h"

namespace {

struct At {
    int x, y;
};
// The upper switch stands under DEMARREUR, the lower under POMPE ESS.
constexpr At kSelector1Up{98, 94}, kSelector1Down{98, 196}, kStarter1{20, 112}, kPump1{20, 230};
constexpr At kLeftAdmission{22, 57};

}  // namespace

TEST_F(AircraftTest, StartingBoxStartsEngineOneAndIdleCutOffStopsIt) {
    sim::Placement& box = place("Dirud_Box");
    sim::Placement& valves = place("Fire_Valves");
    sim::Placement& tach = place("Tachometer", "1");
    sim::Placement& manifold = place("Manifold_Pressure", "1");
    sim::Placement& oil = place("Oil_Temperature");
    sim::Placement& suction = place("Suction_Indicator");
    plane.set_pilot("mixture", 1);
    plane.set_pilot("throttle", 0.1);
    host.cycle();
    // Cold: stopped, the manifold at the field's air pressure, oil at 15 °C.
    EXPECT_EQ(tach.element(1).value, 0);
    EXPECT_NEAR(manifold.element(1).value / aircraft::kPsfPerBar * 1000, 1001.3, 0.5);
    EXPECT_NEAR(oil.element(2).value, 491.67 + 1.8 * 14.35, 0.1);  // engine 1, left scale, Rankine

    valves.click(kLeftAdmission.x, kLeftAdmission.y);
    for (int i = 0; i < 5; ++i) box.click(kSelector1Up.x, kSelector1Up.y);
    EXPECT_EQ(state().engine[0].magnetos, 3);
    EXPECT_TRUE(state().engine[0].tank_valve_open);  // opened on the way through E

    // The starter alone cranks, but without the fuel pump's pressure it
    // does not catch.
    box.click(kStarter1.x, kStarter1.y);
    host.cycle();
    EXPECT_EQ(box.element(6).image, 0);  // the INJECTION knob drawn active while it cranks
    fly(4);
    EXPECT_NEAR(tach.element(1).value, 180, 5);
    EXPECT_FALSE(state().engine[0].running);
    box.click(kPump1.x, kPump1.y);
    fly(4);
    EXPECT_TRUE(state().engine[0].running);
    box.click(kStarter1.x, kStarter1.y);
    box.click(kPump1.x, kPump1.y);
    fly(6);
    EXPECT_NEAR(tach.element(1).value, 840, 5);  // idle with the throttle cracked
    double idle_mp = manifold.element(1).value / aircraft::kPsfPerBar * 1000;
    EXPECT_NEAR(idle_mp, 1001.3 * 0.445, 2);
    EXPECT_GT(suction.element(1).value, 4);  // the vacuum pump turns

    plane.set_pilot("throttle", 1);
    fly(8);
    EXPECT_NEAR(tach.element(1).value, 2600, 5);  // on the governor
    EXPECT_GT(manifold.element(1).value / aircraft::kPsfPerBar * 1000, 1000);
    fly(120);
    EXPECT_GT(oil.element(2).value, 491.67 + 1.8 * 60);  // warmed up

    // Idle cut-off: it stops and runs down; the manifold goes back to the air.
    plane.set_pilot("mixture", 0);
    fly(20);
    EXPECT_FALSE(state().engine[0].running);
    EXPECT_LT(tach.element(1).value, 5);
    EXPECT_NEAR(manifold.element(1).value / aircraft::kPsfPerBar * 1000, 1001.3, 1);

    // Selector back down: magnetos off, tanks valve shut, H lamp out.
    for (int i = 0; i < 5; ++i) box.click(kSelector1Down.x, kSelector1Down.y);
    host.cycle();
    EXPECT_EQ(state().engine[0].magnetos, 0);
    EXPECT_FALSE(state().engine[0].tank_valve_open);
    EXPECT_EQ(box.element(2).image, -1);
}

TEST_F(AircraftTest, MagnetosOffStopAnEngineAndOneMagnetoLosesALittle) {
    sim::Placement& box = place("Dirud_Box");
    sim::Placement& tach = place("Tachometer", "1");
    engines_running();
    for (int i = 0; i < 5; ++i) box.click(kSelector1Up.x, kSelector1Up.y);  // the box's own position: both
    plane.set_pilot("throttle", 0.5);
    plane.set_pilot("propeller", 1);
    fly(8);
    double both = tach.element(1).value;
    box.click(kSelector1Down.x, kSelector1Down.y);  // one step down: a single magneto
    fly(8);
    EXPECT_LT(tach.element(1).value, both - 10);
    EXPECT_TRUE(state().engine[0].running);
    box.click(kSelector1Down.x, kSelector1Down.y);
    box.click(kSelector1Down.x, kSelector1Down.y);  // magnetos off
    fly(15);
    EXPECT_FALSE(state().engine[0].running);
    EXPECT_LT(tach.element(1).value, 5);
}
