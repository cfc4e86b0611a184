// Shut_Down: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps shut_down_ops = {};
GAUGE_CALLBACK(shut_down_callback, shut_down_ops)

GaugeHeader gauge_shut_down = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Shut_Down",
    .width_mm = 30,
    .callback = shut_down_callback,
};
