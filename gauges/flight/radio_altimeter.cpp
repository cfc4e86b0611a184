// Radio_Altimeter: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps radio_altimeter_ops = {};
GAUGE_CALLBACK(radio_altimeter_callback, radio_altimeter_ops)

GaugeHeader gauge_radio_altimeter = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_Altimeter",
    .width_mm = 100,
    .callback = radio_altimeter_callback,
};
