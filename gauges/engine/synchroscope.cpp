// Synchroscope: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_synchroscope = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Synchroscope",
    .width_mm = 100,
};
