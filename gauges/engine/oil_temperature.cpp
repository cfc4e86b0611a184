// Oil_Temperature: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_oil_temperature = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Oil_Temperature",
    .width_mm = 100,
};
