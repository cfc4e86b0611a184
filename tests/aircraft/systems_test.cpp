// The aircraft's systems as a pilot meets them on the panel: the gear that
// needs hydraulic pressure and stays down on the ground, the bus that
// idling engines keep up, the battery that cranks the starters until it
// sags, the starting box that connects it, the electric flaps, feathering
// and windmilling propellers, and the elevator trim.
#include "aircraft/flight_model.h"
#include "aircraft/host_numbers.h"
#include "aircraft/systems.h"
#include "aircraft/variables.h"
#include "tests/aircraft/aircraft_fixture.h"

namespace {

enum GearLamp { kRightRed = 3, kRightGreen, kLeftRed, kLeftGreen };
bool lit(const sim::Placement& p, int lamp) { return p.element(lamp).image == 0; }

constexpr int kTurnFlag = 3;  // the turn coordinator's OFF flag: -1 hidden

}  // namespace

TEST_F(AircraftTest, ParkedGearStaysDownWhenTheLeverIsRaisedAndComesUpAfterTakeOff) {
    sim::Placement& lever = place("Gear_Lever");
    sim::Placement& lamps = place("Gear_Lamps");
    engines_running();
    fly(5);
    ASSERT_GT(state().hydraulic_bar, 140);  // the pumps hold the pressure
    ASSERT_TRUE(lever.click(60, 100));
    fly(15);
    EXPECT_EQ(lever.element(1).image, 0);  // the handle is up
    EXPECT_EQ(host.var(aircraft::GEAR_LEFT), 16383);  // the squat switch holds the wheels down
    EXPECT_EQ(host.var(aircraft::GEAR_RIGHT), 16383);
    EXPECT_TRUE(lit(lamps, kLeftGreen) && lit(lamps, kRightGreen));

    // Airborne: the weight comes off the wheels and the handle is obeyed.
    state().flight.on_ground = false;
    state().flight.height_m = 30;
    state().flight.speed_ms = 45;
    state().parking_brake = false;
    fly(4);
    EXPECT_LT(host.var(aircraft::GEAR_LEFT), 16383 * 0.6);
    EXPECT_GT(host.var(aircraft::GEAR_LEFT), 0);
    fly(5);
    EXPECT_EQ(host.var(aircraft::GEAR_LEFT), 0);
    EXPECT_EQ(host.var(aircraft::GEAR_RIGHT), 0);
}

TEST_F(AircraftTest, GearLoweredWithBothEnginesStoppedWaitsForAnEngine) {
    sim::Placement& lever = place("Gear_Lever");
    sim::Placement& pressure = place("Hydraulic_Pressure");
    airborne(600, 60);
    state().gear_handle_down = false;
    state().gear_left = state().gear_right = 0;
    for (aircraft::Engine& e : state().engine) {
        e.running = false;
        e.rpm = 0;
        e.propeller = 0;  // both feathered: nothing turns the pumps
    }
    host.cycle();
    EXPECT_EQ(pressure.element(1).value, 0);
    ASSERT_TRUE(lever.click(60, 100));  // handle down
    fly(10);
    EXPECT_EQ(lever.element(1).image, 1);
    EXPECT_EQ(host.var(aircraft::GEAR_LEFT), 0);  // no pressure: the wheels stay up
    EXPECT_EQ(host.var(aircraft::GEAR_RIGHT), 0);

    // Engine 1 unfeathered and running again: pressure, then the wheels.
    state().engine[0].propeller = 1;
    state().engine[0].running = true;
    state().engine[0].rpm = 900;
    fly(12);
    EXPECT_GT(pressure.element(1).value, 140 * aircraft::kPsfPerBar);
    EXPECT_EQ(host.var(aircraft::GEAR_LEFT), 16383);
    EXPECT_EQ(host.var(aircraft::GEAR_RIGHT), 16383);
}

TEST_F(AircraftTest, GearTravelsSlowerOnLowPressure) {
    airborne(600, 60);
    state().gear_handle_down = false;
    for (aircraft::Engine& e : state().engine) e.rpm = 0, e.running = false, e.propeller = 0;
    state().hydraulic_bar = 75;  // half way between stalling and full speed
    fly(2);
    double half_speed = 1 - state().gear_left;
    state().gear_left = state().gear_right = 1;
    state().hydraulic_bar = 150;
    fly(2);
    double full_speed = 1 - state().gear_left;
    EXPECT_NEAR(full_speed, 2 / 8.0, 0.01);
    EXPECT_LT(half_speed, full_speed * 0.6);
    EXPECT_GT(half_speed, 0);
}

TEST_F(AircraftTest, ColdAndDarkUntilTheStartingBoxConnectsTheBattery) {
    sim::Placement& tc = place("Turn_Coordinator");
    sim::Placement& box = place("Dirud_Box");
    fly(2);
    EXPECT_EQ(host.var(aircraft::TURN_POWER), 0);
    EXPECT_EQ(host.var(aircraft::RADIO_POWER), 0);
    EXPECT_NE(tc.element(kTurnFlag).image, -1);  // flagged
    // The selector up from A to H: still nothing; at E the battery is on.
    box.click(98, 94);
    fly(1);
    EXPECT_EQ(host.var(aircraft::RADIO_POWER), 0);
    box.click(98, 94);
    fly(1);
    EXPECT_GT(host.var(aircraft::RADIO_POWER), 24);
    EXPECT_LT(host.var(aircraft::RADIO_POWER), 26);  // a battery, not a generator
    EXPECT_EQ(tc.element(kTurnFlag).image, -1);
}

TEST_F(AircraftTest, BothEnginesIdlingKeepTheBusUpAndTheTurnFlagHidden) {
    sim::Placement& tc = place("Turn_Coordinator");
    engines_running();
    for (aircraft::Engine& e : state().engine) e.throttle = 0;
    fly(10);
    EXPECT_NEAR(state().engine[0].rpm, aircraft::kIdleRpm, 5);
    EXPECT_GT(host.var(aircraft::TURN_POWER), 24);
    EXPECT_GT(host.var(aircraft::RADIO_POWER), 24);
    EXPECT_EQ(tc.element(kTurnFlag).image, -1);
    // The generators charge a battery the start-up drained.
    state().battery_charge = 0.5;
    fly(60);
    EXPECT_GT(state().battery_charge, 0.5);
}

TEST_F(AircraftTest, StarterCranksSlowerAsTheBatterySagsAndNotAtAllWhenFlat) {
    sim::Placement& tach = place("Tachometer", "1");
    auto crank = [&](double charge) {
        aircraft::State& s = state();
        s.battery_charge = charge;
        s.engine[0].magnetos = 3;  // the box at 1.2: the battery on, no fuel (valves shut)
        s.engine[0].starter = true;
        fly(5);
        double rpm = tach.element(1).value;
        s.engine[0].starter = false;
        fly(10);
        return rpm;
    };
    double full = crank(1.0), sagging = crank(0.3), flat = crank(0.0);
    EXPECT_NEAR(full, aircraft::kCrankRpm, 5);
    EXPECT_LT(sagging, aircraft::kCatchRpm);  // too slow to catch
    EXPECT_GT(sagging, 20);
    EXPECT_EQ(flat, 0);
    EXPECT_EQ(host.var(aircraft::RADIO_POWER), 0);
}

TEST_F(AircraftTest, FlatBatteryCannotStartAnEngineAndAFullOneCan) {
    for (double charge : {0.0, 1.0}) {
        aircraft::Engine& e = state().engine[0];
        e.admission_open = e.tank_valve_open = e.boost_pump = true;
        e.magnetos = 3;
        e.mixture = 1;
        e.running = false;
        e.rpm = 0;
        state().battery_charge = charge;
        e.starter = true;
        fly(6);
        e.starter = false;
        EXPECT_EQ(e.running, charge > 0) << charge;
    }
}

TEST_F(AircraftTest, FlapsRunOnTheBus) {
    state().flaps_detent = 2;
    fly(8);
    EXPECT_EQ(host.var(aircraft::FLAPS_POSITION), 0);  // a dead bus: the motor does not run
    state().engine[1].tank_valve_open = true;  // the starting box connects the battery
    fly(6.5);
    EXPECT_NEAR(host.var(aircraft::FLAPS_POSITION), 16382 / 2.0, 1);
}

TEST_F(AircraftTest, FeatheredEngineStopsWindmillsWhenUnfeatheredAndRestarts) {
    sim::Placement& tach = place("Tachometer", "2");
    airborne(900, 60);
    plane.set_pilot("throttle", 0.6);
    plane.set_pilot("propeller", 1);
    fly(10);
    ASSERT_GT(tach.element(1).value, 1500);
    double fuel = state().fuel_kg[1];

    state().engine[1].propeller = 0;  // feathered
    fly(15);
    EXPECT_FALSE(state().engine[1].running);
    EXPECT_LT(tach.element(1).value, 5);
    EXPECT_EQ(state().engine[1].power, 0);
    EXPECT_EQ(state().engine[1].thrust_n, 0);
    fly(20);
    EXPECT_NEAR(state().fuel_kg[1], fuel, 0.5);  // no more burnt than before it stopped

    // Unfeathered with the boost pump off: it windmills with the airspeed,
    // and drags.
    state().engine[1].propeller = 0.5;
    state().engine[1].boost_pump = false;
    state().engine[1].magnetos = 0;
    fly(10);
    EXPECT_FALSE(state().engine[1].running);
    EXPECT_NEAR(tach.element(1).value, state().flight.speed_ms * aircraft::kWindmillRpmPerMs, 30);
    EXPECT_LT(state().engine[1].thrust_n, 0);
    // Magnetos on and the pump: it catches and runs.
    state().engine[1].magnetos = 3;
    state().engine[1].boost_pump = true;
    fly(5);
    EXPECT_TRUE(state().engine[1].running);
    EXPECT_GT(state().engine[1].power, 0.2);
}

TEST_F(AircraftTest, TrimSetsThePitchHeldHandsOff) {
    sim::Placement& q = place("Throttle_Quadrant");
    airborne(900, 60);
    plane.set_pilot("throttle", 0.6);
    plane.set_pilot("pitch", 0);  // hands off
    state().flight.pitch_deg = 0;
    fly(5);
    EXPECT_NEAR(state().flight.pitch_deg, 0, 0.01);
    for (int i = 0; i < 8; ++i) q.click(10, 150);  // eight steps nose up: 2 degrees of trim
    fly(5);
    EXPECT_NEAR(host.var(aircraft::ELEVATOR_TRIM), 2 * 3.141592653589793 / 180, 1e-9);
    EXPECT_NEAR(state().flight.pitch_deg, 1.0, 0.01);  // half a degree of pitch per degree of trim
    EXPECT_NEAR(host.var(aircraft::PITCH), 1.0, 0.01);
    // The pilot's pitch is a deflection around it.
    plane.set_pilot("pitch", 2);
    fly(5);
    EXPECT_NEAR(state().flight.pitch_deg, 3.0, 0.01);
}
