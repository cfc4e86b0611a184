// morvane-preview's command line, as a function the program's main calls.
#pragma once

#include <string>

#include "preview/panel_session.h"

namespace sim {

// Where the live panel listens (--serve [ADDR:]PORT), and its access keys.
struct ServeOptions {
    std::string address = "127.0.0.1";  // an address of this machine; 0.0.0.0 or :: for all
    int port = -1;                      // 0: any free port
    std::string key_file;               // keeps the keys across starts (made when missing)
    bool view_only = false;             // the network may watch, never click
};

// Flies the placed panel live until stopped, playing the scenario from the
// start when run_scenario is set; returns 0, or non-zero with error set. The live panel lives in a room above the previewer, so the
// program hands it in.
using LiveServe = int (*)(PanelSession& session, const Scenario& scenario, RenderOptions options,
                          const ServeOptions& where, bool run_scenario, std::string* error);

// Parses the options and runs the previewer; the process exit status.
int run_preview_command(int argc, char** argv, LiveServe serve);

}  // namespace sim
