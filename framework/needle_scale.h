// A dial needle driven straight by its variable stays on its scale: below
// the table's lowest value it rests where the lowest value points, above
// the highest where the highest points, and a reading that is not a number
// rests it on the lowest. The host would otherwise carry the end segments
// on past the dial's stops.
#pragma once

#include <cmath>

#include "framework/host_records.h"

inline double GAUGE_CALL needle_on_scale(NeedleElement* needle) {
    double value = needle->source.value;
    if (!needle->table || needle->table_entries == 0) return std::isnan(value) ? 0.0 : value;
    double low = needle->table[0].value, high = low;
    for (uint32_t i = 1; i < needle->table_entries; ++i) {
        low = std::fmin(low, needle->table[i].value);
        high = std::fmax(high, needle->table[i].value);
    }
    if (!(value > low)) return low;
    return value < high ? value : high;
}
