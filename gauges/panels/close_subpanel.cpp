// Close_Subpanel: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps close_subpanel_ops = {};
GAUGE_CALLBACK(close_subpanel_callback, close_subpanel_ops)

GaugeHeader gauge_close_subpanel = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Close_Subpanel",
    .width_mm = 19,
    .callback = close_subpanel_callback,
};
