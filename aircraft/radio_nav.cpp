#include "aircraft/radio_nav.h"

#include <algorithm>
#include <cmath>

#include "aircraft/easing.h"

namespace aircraft {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kNdbRange = 100e3, kVorRange = 150e3;
constexpr double kFullScaleDeg = 10;         // VOR needle at its stop
constexpr double kMarkerWidth = 1500;         // either side of the centre line
constexpr double kSignalTuning = 5;           // NDB heard within 0.5 kHz

const Aerodrome kAerodrome = {
    .elevation_m = 100,
    .runway_heading_deg = 270,
    .runway_length_m = 1600,
    .ndb = {"MV", 4000, 0, 3750},
    .vors = {{"MVN", -800, 600, 11370}, {"TLV", 15000, 20000, 11630}},
    .markers_east_m = {4000, 1000, 300},
};


// Bearing (degrees from north) from a point to another.
double bearing(double from_e, double from_n, double to_e, double to_n) {
    return wrap360(std::atan2(to_e - from_e, to_n - from_n) * 180 / kPi);
}

// A marker's cone widens with height.
double marker_radius(double height_m) { return 150 + 0.7 * std::max(0.0, height_m); }

}  // namespace

const Aerodrome& aerodrome() { return kAerodrome; }

NavReading read_navigation(const State& s) {
    NavReading r;
    const Flight& f = s.flight;
    const Radios& radio = s.radios;

    const Station& ndb = kAerodrome.ndb;
    double ndb_distance = std::hypot(ndb.east_m - f.east_m, ndb.north_m - f.north_m);
    if (std::abs(radio.adf_tenths_khz - ndb.frequency) <= kSignalTuning && ndb_distance < kNdbRange) {
        r.adf_signal = 255 + 200 * (1 - ndb_distance / kNdbRange);
        r.adf_bearing_deg = wrap360(bearing(f.east_m, f.north_m, ndb.east_m, ndb.north_m) - f.heading_deg);
    }

    for (int n = 0; n < 2; ++n) {
        for (const Station& vor : kAerodrome.vors) {
            if (radio.nav_hundredths[n] != vor.frequency) continue;
            if (std::hypot(vor.east_m - f.east_m, vor.north_m - f.north_m) >= kVorRange) continue;
            double radial = bearing(vor.east_m, vor.north_m, f.east_m, f.north_m);
            double course = radio.obs_deg[n];
            bool from = std::abs(wrap180(radial - course)) < 90;
            double off = from ? wrap180(course - radial) : wrap180(radial - 180 - course);
            r.to_from[n] = from ? 2 : 1;
            r.course_deviation[n] = std::clamp(off / kFullScaleDeg * 127, -127.0, 127.0);
        }
    }

    if (!f.on_ground && std::abs(f.north_m) < kMarkerWidth) {
        for (int m = 0; m < 3; ++m)
            if (std::abs(f.east_m - kAerodrome.markers_east_m[m]) < marker_radius(f.height_m)) r.marker = m + 1;
    }
    return r;
}

}  // namespace aircraft
