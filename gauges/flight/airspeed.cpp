// Airspeed: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_airspeed = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Airspeed",
    .width_mm = 100,
};
