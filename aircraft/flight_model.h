// A piston twin in the air and on its wheels: thrust from each engine's
// power, lift and drag from the wing with gear and flaps, weight; the
// attitude follows the pitch the elevator trim holds hands off plus the
// pilot's deflection around it, and the pilot's bank; speed, path, heading and
// position are integrated plainly at the host rate, so that the same
// inputs always give the same flight.
#pragma once

#include "aircraft/aircraft_state.h"

namespace aircraft {

struct Airframe {
    // A vintage airliner's big, lightly loaded wing: it stalls near the
    // bottom of the dial's green arc clean and in the white arc with flaps.
    double mass_kg = 4500;
    double wing_area_m2 = 75;
    double lift_at_zero = 0.25, lift_slope = 4.8;  // per radian
    double max_lift_clean = 1.7, flaps_lift = 0.45, flaps_max_lift = 0.6;
    double drag_clean = 0.030, drag_gear = 0.012, drag_flaps = 0.045, induced = 0.05;
    double propeller_efficiency = 0.80;
    double static_thrust_n = 6200;   // each engine at rated power
    double three_point_pitch_deg = 10;
    double tail_lift_kmh = 65;
    double rolling_friction = 0.04, braking_friction = 0.35, parking_friction = 0.6;
};

const Airframe& airframe();

// The indicated airspeed in km/h (the dial's unit).
double indicated_kmh(const State& s);
// The indicated airspeed at which the wing stalls in level flight with the
// present flaps.
double stall_kmh(const State& s);

// The pitch the aircraft holds hands off with the present elevator trim,
// and with the pilot's pitch deflection added to it.
double trimmed_pitch_deg(const State& s);
double held_pitch_deg(const State& s);

void advance_flight(State& s, double seconds);

}  // namespace aircraft
