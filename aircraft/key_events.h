// The aircraft's answer to every key event the module can send: one row
// per event, with what it does to the aircraft. Events that move panel
// windows are the host's own; their rows say so and change nothing here.
#pragma once

#include <cstdint>
#include <span>

#include "aircraft/aircraft_state.h"

namespace aircraft {

struct KeyEventRow {
    uint32_t id;
    const char* name;
    const char* effect;
    // Null for events the host answers itself (panel windows).
    void (*apply)(State& state, uint32_t value);
};

std::span<const KeyEventRow> key_event_rows();
// The row of an event, or null when the aircraft has none.
const KeyEventRow* find_key_event(uint32_t id);

}  // namespace aircraft
