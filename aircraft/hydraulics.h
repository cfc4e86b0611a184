// The hydraulic system: a pump on each engine, the pressure they hold, and
// the main gear it moves.
#pragma once

#include "aircraft/aircraft_state.h"

namespace aircraft {

// Full travel times at full pressure, seconds.
constexpr double kGearLeftSeconds = 8.0, kGearRightSeconds = 8.6;
constexpr double kHydraulicRegulatedBar = 150;
// The gear jacks stall below 30 bar and reach full speed at 120.
constexpr double kGearStallBar = 30, kGearFullBar = 120;

void advance_hydraulics(State& s, double seconds);

}  // namespace aircraft
