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
template <typename Angles>
static double on_segment(const NonlinearityEntry* table, const Angles& angles, unsigned i, double value) {
    double v0 = table[i].value, v1 = table[i + 1].value;
    // Two entries on one point are a hard stop for every value beyond,
    // however far (an infinite value must not turn 0 degrees into NaN).
    if (v1 == v0 || angles[i + 1] == angles[i]) return angles[i];
    return angles[i] + (value - v0) / (v1 - v0) * (angles[i + 1] - angles[i]);
}

double needle_angle(const NonlinearityEntry* table, unsigned entries, double pivot_x, double pivot_y, double value) {
    if (entries == 0 || table == nullptr) return value;
    // Tables are short; the accumulated angles fit on the stack, so the
    // host's cycle allocates nothing.
    constexpr unsigned kMax = 64;
    double stack_angles[kMax];
    std::vector<double> heap_angles;
    double* angles = stack_angles;
    if (entries > kMax) {
        heap_angles = table_angles(table, entries, pivot_x, pivot_y);
        angles = heap_angles.data();
    } else {
        double previous_raw = 0;
        for (unsigned i = 0; i < entries; ++i) {
            double raw = point_angle(pivot_x, pivot_y, table[i].x, table[i].y);
            double step = i == 0 ? raw : std::fmod(raw - previous_raw, 360.0);
            if (step < 0) step += 360.0;
            angles[i] = i == 0 ? raw : angles[i - 1] + step;
            previous_raw = raw;
        }
    }
    if (entries == 1) return angles[0];
    for (unsigned i = 0; i + 1 < entries; ++i) {
        double lo = std::fmin(table[i].value, table[i + 1].value);
        double hi = std::fmax(table[i].value, table[i + 1].value);
        if (value >= lo && value <= hi && table[i].value != table[i + 1].value) return on_segment(table, angles, i, value);
    }
    // Outside the table: continue the first or the last segment, whichever
    // end the value lies beyond.
    bool rising = table[entries - 1].value >= table[0].value;
    bool before_first = rising ? value < table[0].value : value > table[0].value;
    unsigned segment = before_first ? 0 : entries - 2;
    return on_segment(table, angles, segment, value);
}

double limit_travel(double previous, double target, int max_travel) {
    if (max_travel <= 0 || std::isnan(previous)) return target;
    double step = target - previous;
    if (step > max_travel) step = max_travel;
    if (step < -max_travel) step = -max_travel;
    return previous + step;
}

}  // namespace sim
