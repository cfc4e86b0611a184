// One engine gauge definition serving every engine: the placement's
// parameter string names the engine ("1" to "4"), and at the install notice
// the placement's copy of the records is moved from the engine-1 variables,
// key events and help texts to that engine's, which the host numbers at
// fixed distances after engine 1's.
#pragma once

#include <cstdint>

#include "framework/host_records.h"

// The engine a parameter string names: the first of the digits 1, 2, 3, 4
// (tested in that order) that the key finder sees; 1 without any.
int engine_index(const char* parameters);

// An engine-1 identifier moved to an engine (1 to 4); identifiers with no
// engine-2 counterpart, and token 0, stay as they are.
uint32_t engine_token(uint32_t token, int engine);
uint32_t engine_event(uint32_t event_id, int engine);
uint32_t engine_help_id(uint32_t help_id, int engine);

// Moves every element reachable from a next list, and every tooltip record
// and click area of a mouse rectangle list, to an engine.
void rebind_elements(ElementHeader* const* list, int engine);
void rebind_mouse_rects(MouseRect* rects, int engine);

// The gauge callback of the engine gauges: at the install notice, rebinds
// the header copy to the engine its parameter string names. A copy is
// rebound once, even if the host repeats the notice.
void GAUGE_CALL engine_gauge_callback(GaugeHeader* gauge, int32_t service, HostWord extra);
