// Invisible_Toggle: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps invisible_toggle_ops = {};
GAUGE_CALLBACK(invisible_toggle_callback, invisible_toggle_ops)

GaugeHeader gauge_invisible_toggle = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Invisible_Toggle",
    .width_mm = 19,
    .callback = invisible_toggle_callback,
};
