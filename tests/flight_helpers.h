// Small helpers for the flight-instrument tests: needle angles as the pilot
// sees them, compared against the points of the calibration tables.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

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

using Failures = std::vector<std::pair<uint32_t, uint32_t>>;

inline Failures failures_of(const ElementHeader* e) {
    Failures result;
    for (const FailureRecord* f = e->failures; f && f->key; ++f) result.emplace_back(f->key, f->action);
    return result;
}

// What the host reads from each element of a chain, in drawing order.
struct ChainEntry {
    uint32_t kind;
    int32_t bitmap, x, y;
    uint32_t image_flags;
    Failures failures = {};
};

inline void expect_chain(sim::Placement& p, const std::vector<ChainEntry>& chain) {
    ASSERT_EQ(p.element_count(), chain.size());
    for (size_t i = 0; i < chain.size(); ++i) {
        SCOPED_TRACE("element " + std::to_string(i));
        const ElementHeader* e = p.element(i).record;
        EXPECT_EQ(e->kind, chain[i].kind);
        EXPECT_EQ(e->bitmap, chain[i].bitmap);
        EXPECT_EQ(e->x, chain[i].x);
        EXPECT_EQ(e->y, chain[i].y);
        EXPECT_EQ(e->image_flags, chain[i].image_flags);
        EXPECT_EQ(failures_of(e), chain[i].failures);
        EXPECT_EQ(e->special_instrumentation, 0u);
        EXPECT_EQ(e->reserved, 0u);
        EXPECT_EQ(e->gauge, p.header());
    }
    // The chain ends at its last element.
    EXPECT_TRUE(p.element(chain.size() - 1).record->next == nullptr ||
                p.element(chain.size() - 1).record->next[0] == nullptr);
}

}  // namespace flight_test

// The needle points in the given direction (any whole number of turns).
#define EXPECT_POINTS(needle, direction) \
    EXPECT_LT(flight_test::direction_gap((needle).angle, (direction)), 1e-6) << "angle " << (needle).angle
