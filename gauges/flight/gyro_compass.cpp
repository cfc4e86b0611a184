// Gyro_Compass: not yet built; the header stands in the gauge table.
#include "framework/gauge_list.h"

GaugeHeader gauge_gyro_compass = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Gyro_Compass",
    .width_mm = 100,
};
