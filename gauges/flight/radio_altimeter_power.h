// The radio altimeter's power switch: module-wide, owned by
// Radio_Altimeter_Switch (the only writer) and read by the dial, its
// call-outs and the decision-height lamp. 0 is off.
#pragma once

#include <cstdint>

extern int32_t radio_altimeter_power_on;
