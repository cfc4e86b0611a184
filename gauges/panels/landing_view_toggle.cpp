// Landing_View_Toggle: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps landing_view_toggle_ops = {};
GAUGE_CALLBACK(landing_view_toggle_callback, landing_view_toggle_ops)

GaugeHeader gauge_landing_view_toggle = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Landing_View_Toggle",
    .width_mm = 19,
    .callback = landing_view_toggle_callback,
};
