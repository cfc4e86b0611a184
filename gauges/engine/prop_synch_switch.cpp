// Prop_Synch_Switch: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps prop_synch_switch_ops = {};
GAUGE_CALLBACK(prop_synch_switch_callback, prop_synch_switch_ops)

GaugeHeader gauge_prop_synch_switch = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Prop_Synch_Switch",
    .width_mm = 30,
    .callback = prop_synch_switch_callback,
};
