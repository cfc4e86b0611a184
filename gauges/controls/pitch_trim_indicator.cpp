// Pitch_Trim_Indicator: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_pitch_trim_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Pitch_Trim_Indicator",
    .width_mm = 90,
};
