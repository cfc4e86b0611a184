// Gear_Lamps: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_gear_lamps = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Gear_Lamps",
    .width_mm = 40,
};
