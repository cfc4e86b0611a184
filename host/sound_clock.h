// The host's hold on the time of the sound output. On Linux the module plays
// through our platform layer, whose clock the host runs one cycle at a time
// (so a test sees a sound end after so many cycles); on Windows the module
// plays through the system's own sound library, which keeps real time, and
// the host has nothing to drive.
#pragma once

namespace sim::sound_clock {

// A fresh sound output for a new simulator run.
void reset();
// Time goes on by one host cycle.
void advance(double seconds);

}  // namespace sim::sound_clock
