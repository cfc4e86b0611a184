// The hydraulic system.
//
// Each engine drives a pump that reaches the regulator's 150 bar from
// about 500 rpm; with both engines stopped the system bleeds down slowly.
// The main gear moves only under pressure, at a speed that follows it; a
// handle moved without pressure is obeyed when pressure comes. A squat
// switch on the main legs keeps the wheels down while the aircraft's
// weight is on them, whatever the handle says.
//
// Reads: each engine's rpm, the gear handle, the aircraft on its wheels.
// Writes: the hydraulic pressure, each main wheel's extension.
// Key events it gives meaning to: gear toggle (65570).
// Variables it serves: hydraulic pressure (732), the gear handle and
// wheels (331, 333, 334) and through them the gear lamps.
#include "aircraft/hydraulics.h"

#include <algorithm>

#include "aircraft/easing.h"

namespace aircraft {

namespace {

constexpr double kPumpFullRpm = 500;
constexpr double kBuildBarPerSecond = 50, kBleedBarPerSecond = 5;

}  // namespace

void advance_hydraulics(State& s, double dt) {
    double pumped = 0;
    for (const Engine& e : s.engine) pumped = std::max(pumped, kHydraulicRegulatedBar * std::min(1.0, e.rpm / kPumpFullRpm));
    double rate = pumped > s.hydraulic_bar ? kBuildBarPerSecond : kBleedBarPerSecond;
    s.hydraulic_bar = slew(s.hydraulic_bar, pumped, rate, dt);

    bool squat = s.flight.on_ground;
    double target = s.gear_handle_down || squat ? 1 : 0;
    double speed = std::clamp((s.hydraulic_bar - kGearStallBar) / (kGearFullBar - kGearStallBar), 0.0, 1.0);
    s.gear_left = slew(s.gear_left, target, speed / kGearLeftSeconds, dt);
    s.gear_right = slew(s.gear_right, target, speed / kGearRightSeconds, dt);
}

}  // namespace aircraft
