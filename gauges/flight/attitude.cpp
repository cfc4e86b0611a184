// Attitude: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_attitude = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Attitude",
    .width_mm = 100,
};
