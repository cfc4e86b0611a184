// Throttle_Quadrant: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_throttle_quadrant = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Throttle_Quadrant",
    .width_mm = 123,
};
