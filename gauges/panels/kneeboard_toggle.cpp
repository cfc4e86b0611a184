// Kneeboard_Toggle: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_kneeboard_toggle = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Kneeboard_Toggle",
    .width_mm = 19,
};
