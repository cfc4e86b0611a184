// Throttle_Toggle: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps throttle_toggle_ops = {};
GAUGE_CALLBACK(throttle_toggle_callback, throttle_toggle_ops)

GaugeHeader gauge_throttle_toggle = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Throttle_Toggle",
    .width_mm = 19,
    .callback = throttle_toggle_callback,
};
