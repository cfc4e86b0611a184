// The aerodrome and its radio aids, and what the receivers make of them
// from where the aircraft is: a runway heading 270 with its threshold at
// the origin, an NDB at the outer marker, two VORs, the three markers of
// the approach from the east, and the radio altimeter.
#pragma once

#include <span>

#include "aircraft/aircraft_state.h"

namespace aircraft {

struct Station {
    const char* ident;
    double east_m, north_m;
    int frequency;  // NDB: tenths of kHz; VOR: hundredths of MHz
};

struct Aerodrome {
    double elevation_m;
    double runway_heading_deg;
    double runway_length_m;
    Station ndb;
    Station vors[2];
    double markers_east_m[3];  // outer, middle, inner, on the extended centre line
};

const Aerodrome& aerodrome();

struct NavReading {
    double adf_bearing_deg = 90;  // relative to the nose; 90 without a signal
    double adf_signal = 0;        // 255 and above: usable
    double course_deviation[2] = {0, 0};  // -127 to 127, positive: course to the right
    int to_from[2] = {0, 0};              // 0 none, 1 TO, 2 FROM
    int marker = 0;                       // 0 none, 1 outer, 2 middle, 3 inner
};

NavReading read_navigation(const State& state);

}  // namespace aircraft
