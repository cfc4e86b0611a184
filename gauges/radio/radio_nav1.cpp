// Radio_NAV1: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps radio_nav1_ops = {};
GAUGE_CALLBACK(radio_nav1_callback, radio_nav1_ops)

GaugeHeader gauge_radio_nav1 = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_NAV1",
    .width_mm = 100,
    .callback = radio_nav1_callback,
};
