// The two engines and their propellers: cranking, catching, governing,
// feathering, windmilling and stopping; oil, fuel burnt and the vacuum
// pump they drive.
#pragma once

#include "aircraft/aircraft_state.h"

namespace aircraft {

// Engine figures.
constexpr double kIdleRpm = 600, kCrankRpm = 180, kCatchRpm = 120;
constexpr double kGovernedRpmLow = 1500, kGovernedRpmHigh = 2600;
constexpr double kRatedManifoldMb = 1320;
constexpr double kRatedPowerW = 320e3;  // 430 hp each
// The propeller lever's travel: from the top (fine pitch, 2600 rpm
// governed) down to coarse pitch (1500 rpm) just above the feather gate;
// below the gate the blades stand edge-on to the airflow.
constexpr double kFeatherGate = 0.05;
// A propeller that is neither feathered nor driven turns with the airflow:
// rpm per m/s of airspeed.
constexpr double kWindmillRpmPerMs = 12;

// Why an engine can or cannot run, as the systems see it.
bool engine_has_fuel(const State& s, int n);
bool feathered(const Engine& e);
// How fast the starter turns its engine on the bus it has: full speed from
// 22 V, slower as the volts sag, not at all below 14 V.
double starter_rpm(const State& s);

void advance_engines(State& s, double seconds);

}  // namespace aircraft
