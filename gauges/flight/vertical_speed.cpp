// Vertical_Speed: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_vertical_speed = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Vertical_Speed",
    .width_mm = 100,
};
