// Gear_Lever: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_gear_lever = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Gear_Lever",
    .width_mm = 40,
};
