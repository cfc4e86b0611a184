// Guards for values that come from the simulator. A variable may deliver
// NaN, an infinity or an absurd magnitude; the module never converts such a
// value to an integer and never hands the host a number it cannot draw.
#pragma once

#include <cmath>
#include <cstdint>

// The value itself when it is a finite number, else the fallback (a dial's
// rest reading).
inline double finite_or(double value, double fallback) { return std::isfinite(value) ? value : fallback; }

// A number for an integer tooltip placeholder ("%1!d!"): the host turns it
// into a 32-bit integer, so it is kept inside that range and NaN reads 0.
inline double tooltip_integer(double value) {
    if (std::isnan(value)) return 0.0;
    if (value > static_cast<double>(INT32_MAX)) return static_cast<double>(INT32_MAX);
    if (value < static_cast<double>(INT32_MIN)) return static_cast<double>(INT32_MIN);
    return value;
}

// An icon's image index taken from a simulator value: a value that names
// none of the icon's `images` pictures (not a number, below -1, at or past
// the last) draws nothing rather than an image the icon does not have.
inline double icon_index_or_nothing(double value, uint32_t images) {
    return value >= -1.0 && value < static_cast<double>(images) ? value : -1.0;
}
