// The aircraft's systems in time, each in a file of its own: the engines
// and propellers (engines.h), the electrics (electrics.h), the hydraulics
// (hydraulics.h); here the order they run in and the clocks.
#pragma once

#include "aircraft/aircraft_state.h"
#include "aircraft/electrics.h"
#include "aircraft/engines.h"
#include "aircraft/hydraulics.h"

namespace aircraft {

void advance_systems(State& s, double seconds);

}  // namespace aircraft
