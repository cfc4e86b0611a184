// morvane-preview's FlightGear options, and the panel flown by FlightGear
// without the live page: real-time host cycles against the link, the panel
// picture rewritten once a second and the link's status in the log.
#pragma once

#include <csignal>
#include <string>

#include "flightgear/flightgear_link.h"
#include "preview/panel_session.h"

namespace sim {

struct FlightGearPanelOptions {
    bool enabled = false;
    fg::LinkOptions link;
    double seconds = 0;  // how long to fly; 0: until Ctrl-C
};

// The options' lines for the usage text.
extern const char* const kFlightGearUsage;

// Takes argv[*i] (and its value, moving *i on) when it is one of the link's
// options. False when it is not one; a bad value sets error.
bool take_flightgear_option(int argc, char** argv, int* i, FlightGearPanelOptions* options, std::string* error);

// Flies the panel against FlightGear until the time is up or Ctrl-C; writes
// the picture to png once a second and the key events and link status
// lines to log_file. 0, or 1 with error set.
int fly_with_flightgear(PanelSession& session, const fg::FlightGearLink& link, const RenderOptions& options,
                        const std::string& png, const std::string& log_file, double seconds, std::string* error);

}  // namespace sim
