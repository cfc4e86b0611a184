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

// A simulation the program stands behind the panel instead of the built-in
// aircraft (FlightGear's link, assembled with the program), with options of
// its own and its own way of flying the panel when there is no live page.
class OutsideSimulation {
public:
    virtual ~OutsideSimulation() = default;
    // Its lines of the usage text.
    virtual const char* usage() const = 0;
    // Takes argv[*i] (and its value, moving *i on) when it is one of its
    // options. False when it is not one; a bad value sets error.
    virtual bool take_option(int argc, char** argv, int* i, std::string* error) = 0;
    // Whether the command line chose it.
    virtual bool chosen() const = 0;
    // Opens it, before any gauge is placed: what the host attaches, or null
    // with error set.
    virtual Simulation* open(std::string* error) = 0;
    // Flies the placed panel without the live page: 0, or 1 with error set.
    virtual int fly(PanelSession& session, const RenderOptions& options, const std::string& png,
                    const std::string& log_file, std::string* error) = 0;
};

// Parses the options and runs the previewer; the process exit status.
// Without an outside simulation the built-in aircraft flies every panel.
int run_preview_command(int argc, char** argv, LiveServe serve, OutsideSimulation* outside = nullptr);

}  // namespace sim
