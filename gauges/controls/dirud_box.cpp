// Dirud_Box: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps dirud_box_ops = {};
GAUGE_CALLBACK(dirud_box_callback, dirud_box_ops)

GaugeHeader gauge_dirud_box = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Dirud_Box",
    .width_mm = 100,
    .callback = dirud_box_callback,
};
