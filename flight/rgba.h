// A colour as the panel's files give it (a window's background) and as the
// previewer draws it: red, green, blue and opacity, a byte each.
#pragma once

#include <cstdint>

namespace sim {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba&) const = default;
};

}  // namespace sim
