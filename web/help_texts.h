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

}  // namespace sim
