#include "host/needle_rule.h"

#include <cmath>

namespace sim {

static constexpr double kPi = 3.141592653589793;

double point_angle(double px, double py, double x, double y) {
    double degrees = std::atan2(x - px, -(y - py)) * 180.0 / kPi;
    if (degrees < 0) degrees += 360.0;
    if (degrees >= 360.0) degrees -= 360.0;
    return degrees;
}

std::vector<double> table_angles(const NonlinearityEntry* table, unsigned entries, double pivot_x, double pivot_y) {
    std::vector<double> angles;
    angles.reserve(entries);
    double previous_raw = 0;
    for (unsigned i = 0; i < entries; ++i) {
        double raw = point_angle(pivot_x, pivot_y, table[i].x, table[i].y);
        if (i == 0) {
            angles.push_back(raw);
        } else {
            double step = std::fmod(raw - previous_raw, 360.0);
            if (step < 0) step += 360.0;
            angles.push_back(angles.back() + step);
        }
        previous_raw = raw;
    }
    return angles;
}

// Angle on the segment from entry i to entry i + 1, extended linearly.
template <typename AngleOf>
static double on_segment(const NonlinearityEntry* table, AngleOf angle, unsigned i, double value) {
    double v0 = table[i].value, v1 = table[i + 1].value;
    double a0 = angle(i), a1 = angle(i + 1);
    // Two entries on one point are a hard stop for every value beyond,
    // however far (an infinite value must not turn 0 degrees into NaN).
    if (v1 == v0 || a1 == a0) return a0;
    return a0 + (value - v0) / (v1 - v0) * (a1 - a0);
}

// The needle rule on a table whose entries' angles `angle(i)` gives.
template <typename AngleOf>
static double on_table(const NonlinearityEntry* table, unsigned entries, AngleOf angle, double value) {
    if (entries == 1) return angle(0);
    for (unsigned i = 0; i + 1 < entries; ++i) {
        double lo = std::fmin(table[i].value, table[i + 1].value);
        double hi = std::fmax(table[i].value, table[i + 1].value);
        if (value >= lo && value <= hi && table[i].value != table[i + 1].value) return on_segment(table, angle, i, value);
    }
    // Outside the table: continue the first or the last segment, whichever
    // end the value lies beyond.
    bool rising = table[entries - 1].value >= table[0].value;
    bool before_first = rising ? value < table[0].value : value > table[0].value;
    unsigned segment = before_first ? 0 : entries - 2;
    return on_segment(table, angle, segment, value);
}

double needle_angle(const NonlinearityEntry* table, unsigned entries, double pivot_x, double pivot_y, double value) {
    if (entries == 0 || table == nullptr) return value;
    std::vector<double> angles = table_angles(table, entries, pivot_x, pivot_y);
    return on_table(table, entries, [&angles](unsigned i) { return angles[i]; }, value);
}

void store_table_angles(NonlinearityEntry* table, unsigned entries, double pivot_x, double pivot_y) {
    std::vector<double> angles = table_angles(table, entries, pivot_x, pivot_y);
    for (unsigned i = 0; i < entries; ++i) table[i].host_angle = angles[i];
}

// Reads only the angles: the points and the pivot no longer matter once the
// host has taken up the needle, and the cycle allocates nothing.
double stored_needle_angle(const NonlinearityEntry* table, unsigned entries, double value) {
    if (entries == 0 || table == nullptr) return value;
    return on_table(table, entries, [table](unsigned i) { return table[i].host_angle; }, value);
}

double limit_travel(double previous, double target, int max_travel) {
    if (max_travel <= 0 || std::isnan(previous)) return target;
    double step = target - previous;
    if (step > max_travel) step = max_travel;
    if (step < -max_travel) step = -max_travel;
    return previous + step;
}

}  // namespace sim
