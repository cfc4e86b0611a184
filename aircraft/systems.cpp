// The systems in the order a host cycle runs them, and the clocks.
//
// The engines run first on the bus volts the last cycle left (the
// starter's speed); the electrics then take this cycle's engine speeds
// (the generators) and starters (their draw); the hydraulics take the
// engine speeds for their pumps.
//
// Reads and writes: everything engines.cpp, electrics.cpp and
// hydraulics.cpp list; here also the clock and the time of day.
// Variables it serves: the time of day (557) and the chronograph's clock
// (604).
#include "aircraft/systems.h"

#include <cmath>

namespace aircraft {

void advance_systems(State& s, double dt) {
    s.clock_s += dt;
    s.time_of_day_s = std::fmod(s.time_of_day_s + dt, 86400.0);
    advance_engines(s, dt);
    advance_electrics(s, dt);
    advance_hydraulics(s, dt);
}

}  // namespace aircraft
