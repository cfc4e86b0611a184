// Radio_ADF: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps radio_adf_ops = {};
GAUGE_CALLBACK(radio_adf_callback, radio_adf_ops)

GaugeHeader gauge_radio_adf = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_ADF",
    .width_mm = 100,
    .callback = radio_adf_callback,
};
