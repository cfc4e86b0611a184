// Altimeter: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_altimeter = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Altimeter",
    .width_mm = 100,
};
