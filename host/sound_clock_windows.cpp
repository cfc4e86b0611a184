// The system's sound library plays in real time: nothing for the host to run.
#include "host/sound_clock.h"

namespace sim::sound_clock {

void reset() {}
void advance(double) {}

}  // namespace sim::sound_clock
