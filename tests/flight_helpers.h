// Small helpers for the flight-instrument tests: needle angles as the pilot
// sees them, compared against the points of the calibration tables.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "host/needle_rule.h"
#include "host/placement.h"

namespace flight_test {

inline double wrap360(double degrees) {
    double a = std::fmod(degrees, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// Smallest difference between two directions, in degrees.
inline double direction_gap(double a, double b) {
    double d = wrap360(a - b);
    return d > 180.0 ? 360.0 - d : d;
}

// Direction from the needle's pivot toward a point of the background.
inline double toward(const sim::DrawnElement& needle, double x, double y) {
    return sim::point_angle(needle.x, needle.y, x, y);
}

// A direction `fraction` of the way clockwise from `from` to `to`.
inline double clockwise_between(double from, double to, double fraction) {
    return from + fraction * wrap360(to - from);
}

}  // namespace flight_test

// The needle points in the given direction (any whole number of turns).
#define EXPECT_POINTS(needle, direction) \
    EXPECT_LT(flight_test::direction_gap((needle).angle, (direction)), 1e-6) << "angle " << (needle).angle
