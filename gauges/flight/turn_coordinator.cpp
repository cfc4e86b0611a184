// Turn_Coordinator: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_turn_coordinator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Turn_Coordinator",
    .width_mm = 100,
};
