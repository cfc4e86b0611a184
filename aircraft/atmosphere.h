// The standard atmosphere at a height above sea level: what the engines
// breathe, what the wings fly in and what the pressure instruments read.
#pragma once

#include <cmath>

namespace aircraft {

struct Air {
    double pressure_mb, density, temperature_c;
};

inline Air air_at(double altitude_m) {
    double ratio = 1 - 2.25577e-5 * altitude_m;
    return {1013.25 * std::pow(ratio, 5.25588), 1.225 * std::pow(ratio, 4.25588), 15 - 0.0065 * altitude_m};
}

constexpr double kSeaLevelDensity = 1.225;

}  // namespace aircraft
