// morvane-preview's FlightGear half: the link's options, the link standing
// behind the panel, and the panel flown by FlightGear without the live
// page: real-time host cycles against the link, the panel picture rewritten
// once a second and the link's status in the log.
#pragma once

#include <memory>
#include <string>

#include "flightgear/flightgear_link.h"
#include "preview/preview_cli.h"

namespace sim {

class FlightGearPanel : public OutsideSimulation {
public:
    const char* usage() const override;
    bool take_option(int argc, char** argv, int* i, std::string* error) override;
    bool chosen() const override { return enabled_; }
    Simulation* open(std::string* error) override;
    // Until the time is up (--fg-seconds) or Ctrl-C.
    int fly(PanelSession& session, const RenderOptions& options, const std::string& png,
            const std::string& log_file, std::string* error) override;

private:
    bool enabled_ = false;
    fg::LinkOptions link_options_;
    double seconds_ = 0;  // how long to fly; 0: until Ctrl-C
    std::unique_ptr<fg::FlightGearLink> link_;
};

}  // namespace sim
