// Radio_COM1: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps radio_com1_ops = {};
GAUGE_CALLBACK(radio_com1_callback, radio_com1_ops)

GaugeHeader gauge_radio_com1 = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_COM1",
    .width_mm = 100,
    .callback = radio_com1_callback,
};
