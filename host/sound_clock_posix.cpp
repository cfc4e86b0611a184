// The platform layer's sound clock, run by the host cycle by cycle.
#include "host/sound_clock.h"

#include "platform/linux/sound_inspect.h"

namespace sim::sound_clock {

void reset() { sound_inspect::reset(); }
void advance(double seconds) { sound_inspect::advance_clock(seconds); }

}  // namespace sim::sound_clock
