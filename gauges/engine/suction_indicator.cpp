// Suction_Indicator: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_suction_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Suction_Indicator",
    .width_mm = 100,
};
