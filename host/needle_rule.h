// How the host turns a needle's value into an angle: each nonlinearity entry's
// point gives an angle about the pivot, each reached clockwise from the one
// before; the angle is linear in value between entries, and the first and
// last segments continue beyond the ends. Without entries the value is the
// angle in degrees.
#pragma once

#include <vector>

#include "framework/host_records.h"

namespace sim {

// Angle in degrees, clockwise from straight up, of the point (x, y) seen from
// the pivot (px, py); y grows downward as on the bitmap. In [0, 360).
double point_angle(double px, double py, double x, double y);

// The accumulated clockwise angle of each entry of a table.
std::vector<double> table_angles(const NonlinearityEntry* table, unsigned entries, double pivot_x, double pivot_y);

// The needle's angle for a value (degrees, clockwise from up, not wrapped).
double needle_angle(const NonlinearityEntry* table, unsigned entries, double pivot_x, double pivot_y, double value);

// What the host does with a needle's table when it takes up the needle:
// writes the accumulated angle of each entry into the entry's last field,
// in the module's own table (gauges may read it back).
void store_table_angles(NonlinearityEntry* table, unsigned entries, double pivot_x, double pivot_y);

// The needle's angle for a value, on the angles stored in the table: what
// the host draws each cycle.
double stored_needle_angle(const NonlinearityEntry* table, unsigned entries, double value);

// The angle after a travel limit of max_travel degrees per cycle (0 = none).
double limit_travel(double previous, double target, int max_travel);

}  // namespace sim
