// Radio_NAV2: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps radio_nav2_ops = {};
GAUGE_CALLBACK(radio_nav2_callback, radio_nav2_ops)

GaugeHeader gauge_radio_nav2 = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_NAV2",
    .width_mm = 100,
    .callback = radio_nav2_callback,
};
