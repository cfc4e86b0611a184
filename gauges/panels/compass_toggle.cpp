// Compass_Toggle: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps compass_toggle_ops = {};
GAUGE_CALLBACK(compass_toggle_callback, compass_toggle_ops)

GaugeHeader gauge_compass_toggle = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Compass_Toggle",
    .width_mm = 19,
    .callback = compass_toggle_callback,
};
