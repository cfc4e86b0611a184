// How the aircraft's quantities move toward where they are going, and
// angles kept within a turn.
#pragma once

#include <algorithm>
#include <cmath>

namespace aircraft {

// Toward `target` by at most `rate` × dt (gear, flaps, attitude).
inline double slew(double value, double target, double rate, double dt) {
    double step = rate * dt;
    return value + std::clamp(target - value, -step, step);
}

// A first-order approach to `target` with time constant `tau` (engine
// speed, pressures, temperatures).
inline double approach(double value, double target, double tau, double dt) {
    return target + (value - target) * std::exp(-dt / tau);
}

// Degrees within [0, 360), and within [-180, 180).
inline double wrap360(double deg) { return deg - 360.0 * std::floor(deg / 360.0); }
inline double wrap180(double deg) { return wrap360(deg + 180) - 180; }

}  // namespace aircraft
