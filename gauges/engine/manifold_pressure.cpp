// Manifold_Pressure: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps manifold_pressure_ops = {};
GAUGE_CALLBACK(manifold_pressure_callback, manifold_pressure_ops)

GaugeHeader gauge_manifold_pressure = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Manifold_Pressure",
    .width_mm = 100,
    .callback = manifold_pressure_callback,
};
