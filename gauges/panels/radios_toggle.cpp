// Radios_Toggle: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps radios_toggle_ops = {};
GAUGE_CALLBACK(radios_toggle_callback, radios_toggle_ops)

GaugeHeader gauge_radios_toggle = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radios_Toggle",
    .width_mm = 19,
    .callback = radios_toggle_callback,
};
