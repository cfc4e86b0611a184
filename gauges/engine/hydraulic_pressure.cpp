// Hydraulic_Pressure: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_hydraulic_pressure = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Hydraulic_Pressure",
    .width_mm = 100,
};
