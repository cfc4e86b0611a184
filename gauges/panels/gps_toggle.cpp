// GPS_Toggle: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps gps_toggle_ops = {};
GAUGE_CALLBACK(gps_toggle_callback, gps_toggle_ops)

GaugeHeader gauge_gps_toggle = {
    .version = GAUGE_HEADER_VERSION,
    .name = "GPS_Toggle",
    .width_mm = 19,
    .callback = gps_toggle_callback,
};
