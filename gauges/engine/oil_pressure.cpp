// Oil_Pressure: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_oil_pressure = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Oil_Pressure",
    .width_mm = 100,
};
