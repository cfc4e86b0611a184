// Values a simulator variable may deliver that no instrument can show.
#pragma once

#include <limits>

inline constexpr double kHostileValues[] = {
    std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    1e300,
    -1e300,
};
