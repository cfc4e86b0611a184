// The aircraft's systems in time: gear and flaps travelling, engines
// cranking, catching, spooling and stopping, oil, fuel, hydraulics,
// suction and the electrical bus, and the clocks.
#pragma once

#include "aircraft/aircraft_state.h"

namespace aircraft {

// Full travel times, seconds.
constexpr double kGearLeftSeconds = 8.0, kGearRightSeconds = 8.6;
constexpr double kFlapsSeconds = 12.0;
constexpr int kFlapsNotches = 4;  // up, 1, 2, 3, full
constexpr double kFlapsFullDegrees = 40;

// Engine figures.
constexpr double kIdleRpm = 600, kCrankRpm = 180, kCatchRpm = 120;
constexpr double kGovernedRpmLow = 1500, kGovernedRpmHigh = 2600;
constexpr double kRatedManifoldMb = 1320;
constexpr double kRatedPowerW = 320e3;  // 430 hp each

// Why an engine can or cannot run, as the systems see it.
bool engine_has_fuel(const State& s, int n);

void advance_systems(State& s, double seconds);

}  // namespace aircraft
