// The twin's flight as a pilot would time and read it: a take-off run and
// lift-off speed, a climb of about 1000 ft/min, a cruise below the yellow
// arc, stall speeds where the airspeed dial's arcs put them, turns on the
// turn coordinator's marks, and the same flight on every run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

#include "aircraft/aircraft.h"
#include "aircraft/flight_model.h"
#include "tests/aircraft/aircraft_fixture.h"

namespace {

using aircraft_test::kStep;
using aircraft_test::lined_up;
using aircraft_test::run;
constexpr double kFeet = 3.28084;

struct TakeOff {
    double run_m, lift_off_kmh, seconds;
};

// Flaps 1, full power, rotate to 8° at 90 km/h.
TakeOff take_off(aircraft::Aircraft& a) {
    aircraft::State& s = a.state();
    s.flaps_detent = 1;
    s.flaps = 0.25;
    a.set_pilot("throttle", 1);
    double start = s.flight.east_m, t = 0;
    while (s.flight.on_ground && t < 120) {
        if (aircraft::indicated_kmh(s) >= 90) a.set_pilot("pitch", 8);
        a.advance(kStep);
        t += kStep;
    }
    return {start - s.flight.east_m, aircraft::indicated_kmh(s), t};
}

}  // namespace

TEST(FlightModel, TakeOffRunAndLiftOffSpeed) {
    aircraft::Aircraft a = lined_up();
    TakeOff t = take_off(a);
    EXPECT_FALSE(a.state().flight.on_ground);
    EXPECT_GT(t.run_m, 180);  // a big, lightly loaded wing: a short run
    EXPECT_LT(t.run_m, 450);
    EXPECT_GT(t.lift_off_kmh, 100);
    EXPECT_LT(t.lift_off_kmh, 130);
    RecordProperty("take_off_run_m", std::to_string(t.run_m));
    RecordProperty("lift_off_kmh", std::to_string(t.lift_off_kmh));
    RecordProperty("lift_off_s", std::to_string(t.seconds));
}

TEST(FlightModel, ClimbsAtAboutAThousandFeetAMinuteAndCruisesBelowTheYellowArc) {
    aircraft::Aircraft a = lined_up();
    take_off(a);
    aircraft::State& s = a.state();
    s.gear_handle_down = false;
    s.flaps_detent = 0;
    run(a, 40);
    double h0 = s.flight.height_m;
    run(a, 60);
    double climb = (s.flight.height_m - h0) * kFeet;  // feet in a minute
    EXPECT_GT(climb, 850);
    EXPECT_LT(climb, 1250);
    double climb_speed = aircraft::indicated_kmh(s);
    EXPECT_GT(climb_speed, 140);
    EXPECT_LT(climb_speed, 190);

    // Cruise: 65 % throttle, levelled off.
    a.set_pilot("throttle", 0.65);
    a.set_pilot("pitch", 0.5);
    run(a, 120);
    EXPECT_LT(std::abs(s.flight.vertical_ms * kFeet * 60), 150);
    double cruise = aircraft::indicated_kmh(s);
    EXPECT_GT(cruise, 190);
    EXPECT_LT(cruise, 250);  // the yellow arc starts at 250 km/h
    RecordProperty("climb_ft_per_min", std::to_string(climb));
    RecordProperty("cruise_kmh", std::to_string(cruise));
}

TEST(FlightModel, StallsNearTheBottomOfTheGreenArcCleanAndInTheWhiteArcWithFlaps) {
    aircraft::Aircraft a;
    aircraft::State& s = a.state();
    double clean = aircraft::stall_kmh(s);
    EXPECT_GT(clean, 75);
    EXPECT_LT(clean, 95);
    s.flaps = 0.75;
    double landing = aircraft::stall_kmh(s);
    EXPECT_LT(landing, clean - 5);
    EXPECT_GT(landing, 60);

    // Pulled up to 25° with the engines idle, the wing stalls and the
    // lift falls away.
    aircraft::Aircraft b = lined_up();
    take_off(b);
    b.state().gear_handle_down = false;
    run(b, 20);
    b.set_pilot("throttle", 0);
    b.set_pilot("pitch", 20);
    bool stalled = false;
    for (int i = 0; i < 18 * 40 && !stalled; ++i) {
        b.advance(kStep);
        stalled = b.state().flight.stalled;
    }
    EXPECT_TRUE(stalled);
    EXPECT_LT(aircraft::indicated_kmh(b.state()), 100);
}

TEST(FlightModel, SameInputsGiveTheSameFlight) {
    auto fly = [] {
        aircraft::Aircraft a = lined_up();
        take_off(a);
        a.set_pilot("bank", -20);
        run(a, 30);
        a.set_pilot("bank", 0);
        a.set_pilot("throttle", 0.55);
        run(a, 30);
        return a.state().flight;
    };
    // Field by field: the record's padding bytes are no part of the flight.
    auto fields = [](const aircraft::Flight& f) {
        return std::make_tuple(f.east_m, f.north_m, f.height_m, f.speed_ms, f.path_deg, f.heading_deg, f.pitch_deg,
                               f.bank_deg, f.turn_rate_dps, f.vertical_ms, f.slip, f.alpha_deg, f.on_ground, f.stalled);
    };
    aircraft::Flight first = fly(), second = fly();
    EXPECT_TRUE(fields(first) == fields(second));
    EXPECT_GT(first.height_m, 50) << "the flight compared is a flight";
}

TEST_F(AircraftTest, TurnCoordinatorShowsTheTurnAndTheBallTheThrustDifference) {
    sim::Placement& tc = place("Turn_Coordinator");
    sim::Placement& gyro = place("Gyro_Compass");
    airborne(300, 45, 90);
    plane.set_pilot("throttle", 0.6);
    plane.set_pilot("bank", 15);
    fly(10);
    double rate = state().flight.turn_rate_dps;
    EXPECT_GT(rate, 2.5);  // about a two-minute turn to the right
    EXPECT_LT(rate, 4.5);
    EXPECT_NEAR(tc.element(4).value, rate * 1.5, 0.01);  // 4.5 in the needle's table, the 2-minute mark, is 3°/s
    EXPECT_EQ(tc.element(3).image, -1);  // powered: no flag
    double heading = gyro.element(2).value;
    fly(5);
    EXPECT_NEAR(gyro.element(2).value - heading, 5 * rate, 2);
    EXPECT_NEAR(tc.element(1).value, 0, 1e-9);  // balanced
    state().engine[1].mixture = 0;  // engine 2 cut: the ball goes to the live side
    fly(5);
    EXPECT_LT(tc.element(1).value, -20);
}
