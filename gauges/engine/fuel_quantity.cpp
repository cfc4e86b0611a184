// Fuel_Quantity: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_fuel_quantity = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Fuel_Quantity",
    .width_mm = 100,
};
