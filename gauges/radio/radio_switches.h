// The radio stack's switches: module-wide, shared by every placement of
// their radio panel. Each radio panel owns and defines its own switches; the
// indicators read the main switches to park their needles, and the stack's
// shut-down gauge turns them all off. 0 is off, 1 is on.
#pragma once

#include <cstdint>

// Radio_ADF (radio_adf.cpp)
extern int32_t adf_power_on;
extern int32_t adf_tone_on;

// Radio_COM1 (radio_com1.cpp)
extern int32_t com1_power_on;

// Radio_NAV1 and Radio_NAV2 (nav_radio.cpp)
extern int32_t nav1_power_on;
extern int32_t nav1_tone_on;
extern int32_t nav2_power_on;
extern int32_t nav2_tone_on;

// Radio_XPDR (radio_xpdr.cpp)
extern int32_t xpdr_power_on;
