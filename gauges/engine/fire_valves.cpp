// Fire_Valves: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps fire_valves_ops = {};
GAUGE_CALLBACK(fire_valves_callback, fire_valves_ops)

GaugeHeader gauge_fire_valves = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Fire_Valves",
    .width_mm = 30,
    .callback = fire_valves_callback,
};
