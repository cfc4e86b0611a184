// What a pilot holds and sees: the controls a scenario, the live panel's
// strip and its keyboard keys move (both engines' levers together or each
// throttle alone, pitch and bank, brakes and tail-wheel steering), and the
// figures read back, each also in words and units.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "aircraft/aircraft_state.h"

namespace aircraft {

struct PilotControl {
    const char* name;
    const char* label;
    const char* unit;
    double min, max, step;
    // Keyboard keys (browser key names) that step the control up and down;
    // empty for a control with no key of its own.
    const char* key_up;
    const char* key_down;
    double (*get)(const State& state);
    void (*set)(State& state, double value);  // value within [min, max]
};

std::span<const PilotControl> pilot_controls();
const PilotControl* find_pilot_control(std::string_view name);

struct PilotReadout {
    const char* name;
    const char* label;
    const char* unit;
    double (*get)(const State& state);
    // The reading as a pilot says it ("gear down and locked", "182 km/h");
    // empty when there is nothing to say (the runway once airborne).
    // Latin-1, like the module's own texts (the degree sign is 0xB0).
    std::string (*text)(const State& state);
};

std::span<const PilotReadout> pilot_readouts();

}  // namespace aircraft
