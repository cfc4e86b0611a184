// The click sounds a test has heard, through the platform's sound layer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/linux/sound_inspect.h"

// Sounds started from wave resource `wave` so far.
inline size_t sounds_heard(uint32_t wave = 10) {
    size_t n = 0;
    for (const auto& s : sound_inspect::played()) n += s.wave_id == wave && !s.looping && s.volume == 0;
    return n;
}
