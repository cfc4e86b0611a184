// Radio_XPDR: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"
#include "gauges/radio/radio_switches.h"

int32_t xpdr_power_on = 0;

static const GaugeServiceOps radio_xpdr_ops = {};
GAUGE_CALLBACK(radio_xpdr_callback, radio_xpdr_ops)

GaugeHeader gauge_radio_xpdr = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_XPDR",
    .width_mm = 100,
    .callback = radio_xpdr_callback,
};
