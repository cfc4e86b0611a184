// Radio_Altimeter_DH_Light: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_radio_altimeter_dh_light = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_Altimeter_DH_Light",
    .width_mm = 30,
};
