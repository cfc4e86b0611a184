// Parking_Brake: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"
#include "framework/gauge_dispatch.h"

static const GaugeServiceOps parking_brake_ops = {};
GAUGE_CALLBACK(parking_brake_callback, parking_brake_ops)

GaugeHeader gauge_parking_brake = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Parking_Brake",
    .width_mm = 52,
    .callback = parking_brake_callback,
};
