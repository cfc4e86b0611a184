// The live panel's own short texts for the host help ids the modules use
// as tooltips (the simulator shows its own text for these; the test host
// shows the bare id).
#pragma once

#include <cstdint>
#include <string>

namespace sim {

// Our text for a help id; the id itself ("help 0xAB02") when we have none.
std::string panel_help_text(uint32_t help_id);
// True when the table has a text for the id.
bool has_panel_help_text(uint32_t help_id);

// Our own tooltip for a place on a gauge that the module gives none (the
// starting box's selectors, lamps and injection knobs, the flaps lever):
// by the gauge's name and a point in its background pixels; empty when we
// have none there.
std::string panel_area_text(const std::string& gauge, int x, int y);

}  // namespace sim
