// OMI: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps omi_ops = {};
GAUGE_CALLBACK(omi_callback, omi_ops)

GaugeHeader gauge_omi = {
    .version = GAUGE_HEADER_VERSION,
    .name = "OMI",
    .width_mm = 100,
    .callback = omi_callback,
};
