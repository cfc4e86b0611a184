// Tachometer: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps tachometer_ops = {};
GAUGE_CALLBACK(tachometer_callback, tachometer_ops)

GaugeHeader gauge_tachometer = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Tachometer",
    .width_mm = 100,
    .callback = tachometer_callback,
};
