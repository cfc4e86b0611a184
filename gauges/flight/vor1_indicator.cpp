// VOR1_Indicator: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_vor1_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "VOR1_Indicator",
    .width_mm = 100,
};
