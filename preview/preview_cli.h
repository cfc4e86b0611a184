// morvane-preview's command line, as a function the program's main calls.
#pragma once

#include <string>

#include "preview/panel_session.h"

namespace sim {

// Flies the placed panel live until stopped, playing the scenario from the
// start when run_scenario is set; returns 0, or non-zero with error set. The live panel lives in a room above the previewer, so the
// program hands it in.
using LiveServe = int (*)(PanelSession& session, const Scenario& scenario, RenderOptions options, int port,
                          bool run_scenario, std::string* error);

// Parses the options and runs the previewer; the process exit status.
int run_preview_command(int argc, char** argv, LiveServe serve);

}  // namespace sim
