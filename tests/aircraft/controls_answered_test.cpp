// The aircraft's answers to the cockpit controls, seen on the gauges: the
// gear travels in the air and its lamps blink, the flaps move on the bus and their needle lags,
// the brake, the engine levers and the trim, the tail-wheel lock, the
// synchroniser, the valves, the simulator windows and views.
#include <string>

#include "aircraft/key_events.h"
#include "tests/aircraft/aircraft_fixture.h"

namespace {

enum GearLamp { kRightRed = 3, kRightGreen, kLeftRed, kLeftGreen };

bool lit(const sim::Placement& p, int lamp) { return p.element(lamp).image == 0; }

}  // namespace

TEST_F(AircraftTest, GearLeverMovesTheWheelsAtTheirRatesAndTheRedLampsBlinkInTransit) {
    sim::Placement& lever = place("Gear_Lever");
    sim::Placement& lamps = place("Gear_Lamps");
    airborne(300, 50);  // off the squat switch, the pumps turning
    fly(4);
    ASSERT_GE(state().hydraulic_bar, 150);
    EXPECT_EQ(lever.element(1).image, 1);  // handle down
    EXPECT_TRUE(lit(lamps, kLeftGreen) && lit(lamps, kRightGreen));

    ASSERT_TRUE(lever.click(60, 100));
    host.cycle();
    EXPECT_EQ(lever.element(1).image, 0);  // handle up at once
    bool left_red_on = false, left_red_off = false;
    for (int i = 0; i < 36; ++i) {  // two seconds of transit
        host.cycle();
        (lit(lamps, kLeftRed) ? left_red_on : left_red_off) = true;
        EXPECT_FALSE(lit(lamps, kLeftGreen) || lit(lamps, kRightGreen));
    }
    EXPECT_TRUE(left_red_on && left_red_off);  // blinking
    fly(6.4);  // 8.4 s: the left wheel is up, the right still travels
    EXPECT_EQ(host.var(333), 0);
    EXPECT_GT(host.var(334), 50);
    fly(0.4);
    EXPECT_EQ(host.var(334), 0);
    fly(1);
    for (int lamp : {kRightRed, kRightGreen, kLeftRed, kLeftGreen}) EXPECT_FALSE(lit(lamps, lamp)) << lamp;

    lever.click(60, 100);
    fly(9);
    EXPECT_TRUE(lit(lamps, kLeftGreen) && lit(lamps, kRightGreen));
    EXPECT_EQ(host.var(332), 16383);  // the tail wheel is fixed
}

#ifdef TELVOR_MODULE_PATH
TEST_F(AircraftTest, FlapsLeverStepsTheHandleTheFlapsFollowAndTheNeedleLags) {
    std::string error;
    ASSERT_NE(host.load_module(TELVOR_MODULE_PATH, &error), nullptr) << error;
    sim::Placement& lever = place("telvor_flaps");
    sim::Placement& needle = place("Flaps_Indicator");
    state().engine[0].tank_valve_open = true;  // the starting box at E: the battery on the bus
    host.cycle();
    ASSERT_TRUE(lever.click(400, 90));  // a notch down
    host.cycles(2);
    EXPECT_NEAR(host.var(329), 16382 / 4.0, 0.01);  // the handle at once
    double flaps = host.var(330);
    EXPECT_GT(flaps, 0);
    EXPECT_LT(flaps, 16382 / 4.0);               // the flaps on their way (12 s full travel)
    EXPECT_LT(needle.element(1).value, flaps);   // and the needle behind them
    fly(6);
    EXPECT_NEAR(host.var(330), 16382 / 4.0, 0.01);
    EXPECT_NEAR(needle.element(1).value, 16382 / 4.0, 10);  // caught up
    EXPECT_GT(lever.element(1).dx, 70);  // the knob went right with the handle
    for (int i = 0; i < 4; ++i) lever.click(400, 90);
    fly(12.5);
    EXPECT_NEAR(host.var(330), 16382, 0.01);  // four notches is full
    lever.click(10, 90);
    fly(4.5);
    EXPECT_NEAR(host.var(330), 3 * 16382 / 4.0, 0.01);
}
#endif

TEST_F(AircraftTest, ParkingBrakeClickSetsAndReleasesTheBrake) {
    sim::Placement& brake = place("Parking_Brake");
    host.cycle();
    EXPECT_EQ(brake.element(1).image, 1);  // parked with the brake set
    ASSERT_TRUE(brake.click(60, 70));
    host.cycle();
    EXPECT_EQ(brake.element(1).image, 0);
    EXPECT_FALSE(state().parking_brake);
    brake.click(60, 70);
    host.cycle();
    EXPECT_EQ(brake.element(1).image, 1);
}

TEST_F(AircraftTest, QuadrantLeversSetTheEngineLeversTrimAndTailWheelLock) {
    sim::Placement& q = place("Throttle_Quadrant");
    host.cycle();
    // Throttle 1 dragged from the bottom to y 54: 8267 of 16384.
    ASSERT_TRUE(q.drag(130, 108, 130, 54, 4));
    host.cycle();
    EXPECT_NEAR(state().engine[0].throttle, 8267 / 16384.0, 1e-12);
    EXPECT_NEAR(q.element(9).dy, -74 * 8267 / 16384.0, 1e-9);  // the lever drawn where the aircraft holds it
    EXPECT_EQ(state().engine[1].throttle, 0);
    // The strip between the mixtures moves both.
    q.click(263, 0);
    host.cycle();
    EXPECT_EQ(state().engine[0].mixture, 1);
    EXPECT_EQ(state().engine[1].mixture, 1);
    // Propeller 2 to the bottom: feathered.
    q.drag(80, 10, 80, 130, 3);
    EXPECT_EQ(state().engine[1].propeller, 0);
    // Two nose-up steps and one down: a quarter degree up, marker moved.
    q.click(10, 150);
    q.click(10, 150);
    q.click(10, 60);
    host.cycle();
    EXPECT_NEAR(host.var(783), 0.25 * 3.141592653589793 / 180, 1e-12);
    EXPECT_GT(q.element(2).dy, 0);
    // The tail-wheel lever: the aircraft answers the host's expression.
    EXPECT_EQ(q.element(1).image, 0);
    ASSERT_TRUE(q.click(220, 210));
    host.cycle();
    EXPECT_EQ(q.element(1).image, 1);
    EXPECT_EQ(q.tooltip(220, 210), "Tail wheel locking lever (locked)");
}

TEST_F(AircraftTest, SynchroniserMakesEngineTwoFollowEngineOne) {
    sim::Placement& sw = place("Prop_Synch_Switch");
    sim::Placement& scope = place("Synchroscope");
    engines_running();
    state().engine[0].propeller = 0.9;  // governed at 2490 rpm
    state().engine[1].propeller = 1.0;  // 2600
    plane.set_pilot("throttle", 1);
    fly(10);
    EXPECT_NEAR(scope.element(1).value, -110, 2);
    ASSERT_TRUE(sw.click(18, 28));
    fly(10);
    EXPECT_EQ(sw.element(1).image, 1);
    EXPECT_NEAR(scope.element(1).value, 0, 1);  // level: the propellers turn alike
}

TEST_F(AircraftTest, FuelValvesFeedTheEnginesAndShuttingOneStarvesIt) {
    sim::Placement& valves = place("Fire_Valves");
    sim::Placement& tach = place("Tachometer", "2");
    engines_running();
    fly(3);
    EXPECT_NEAR(tach.element(1).value, 600, 1);  // idle, throttles closed
    EXPECT_EQ(valves.element(1).image, 1);  // right admission open
    ASSERT_TRUE(valves.click(208, 57));     // shut it
    host.cycle();
    EXPECT_EQ(valves.element(1).image, 0);
    fly(10);
    EXPECT_LT(tach.element(1).value, 50);  // the engine stopped and ran down
    // The tanks valves toggle both ways, whatever the starting box did.
    ASSERT_TRUE(valves.click(43, 57));
    host.cycle();
    EXPECT_EQ(valves.element(7).image, 0);
    valves.click(43, 57);
    host.cycle();
    EXPECT_EQ(valves.element(7).image, 1);
}

TEST_F(AircraftTest, PanelButtonsOpenSimulatorWindowsAndStepTheView) {
    sim::Placement& kneeboard = place("Kneeboard_Toggle");
    sim::Placement& atc = place("ATC_Toggle");
    sim::Placement& map = place("Map_Toggle");
    sim::Placement& views = place("GPS_Toggle", "p2");
    sim::Placement& back = place("Compass_Toggle", "p-1");
    sim::Placement& forward = place("Throttle_Toggle", "p");
    for (sim::Placement* p : {&kneeboard, &atc, &map, &views, &views, &back}) ASSERT_TRUE(p->click(9, 9));
    EXPECT_TRUE(state().kneeboard_shown && state().atc_shown && state().map_shown);
    EXPECT_EQ(state().view, 3);  // two and two forward, one back
    forward.click(9, 9);
    EXPECT_EQ(state().view, 0);
    kneeboard.click(9, 9);
    EXPECT_FALSE(state().kneeboard_shown);
}
