// ATC_Toggle: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_atc_toggle = {
    .version = GAUGE_HEADER_VERSION,
    .name = "ATC_Toggle",
    .width_mm = 19,
};
