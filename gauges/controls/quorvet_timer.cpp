// Quorvet_Timer: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_quorvet_timer = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Quorvet_Timer",
    .width_mm = 100,
};
