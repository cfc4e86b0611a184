// Registration: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps registration_ops = {};
GAUGE_CALLBACK(registration_callback, registration_ops)

GaugeHeader gauge_registration = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Registration",
    .width_mm = 150,
    .callback = registration_callback,
};
