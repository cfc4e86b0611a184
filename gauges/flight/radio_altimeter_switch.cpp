// Radio_Altimeter_Switch: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps radio_altimeter_switch_ops = {};
GAUGE_CALLBACK(radio_altimeter_switch_callback, radio_altimeter_switch_ops)

GaugeHeader gauge_radio_altimeter_switch = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_Altimeter_Switch",
    .width_mm = 30,
    .callback = radio_altimeter_switch_callback,
};
