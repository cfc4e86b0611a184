// A panel flown without drawing: the gauges of a layout placed in the test
// host, and a scenario played against them one host cycle at a time (its
// variable steps and ramps, failures, expression answers, and its clicks,
// holds and drags at panel coordinates, and its pilot's inputs to the
// simulated aircraft behind the host). The same flight on every platform
// the host runs on, so that what the gauges draw can be compared.
#pragma once

#include <string>
#include <vector>

#include "aircraft/aircraft.h"
#include "host/sim_host.h"
#include "preview/panel_layout.h"
#include "preview/scenario.h"

namespace trace {

struct PlacedGauge {
    const sim::PanelWindow* window = nullptr;
    sim::GaugeSlot slot;
    sim::Placement* placement = nullptr;
    int width = 0, height = 0;  // on the panel, in pixels
};

class PanelFlight {
public:
    // With `fly` the simulated aircraft answers the host's variables and
    // key events (cold and dark at its parking place), as in the
    // previewer; without it the host's own table answers.
    PanelFlight(sim::SimHost& host, sim::PanelLayout layout, bool fly);
    ~PanelFlight();
    PanelFlight(const PanelFlight&) = delete;
    PanelFlight& operator=(const PanelFlight&) = delete;

    // Places every gauge of the layout and sends the install and set-up
    // notices. False with the layout line in `error` when a gauge cannot be
    // placed.
    bool place_all(const std::string& layout_name, std::string* error);
    const std::vector<PlacedGauge>& gauges() const { return gauges_; }

    // One host cycle of the scenario: the steps due by the host clock, the
    // ramps, the held buttons, then the cycle itself.
    void step(const sim::Scenario& scenario);

    // A scenario click that hits no gauge, as "line N: ..." (empty when
    // every one hit).
    const std::vector<std::string>& misses() const { return misses_; }

private:
    struct Hit {
        PlacedGauge* gauge = nullptr;
        int x = 0, y = 0;  // in the gauge's background pixels
    };
    struct PilotRamp {
        const sim::ScenarioStep* step;
        double from;
    };
    struct ActivePress {
        PlacedGauge* gauge;
        double start, until;
        bool dragging;
        int x0, y0, x1, y1;
    };

    void apply(const sim::ScenarioStep& step);
    Hit hit(int x, int y);
    void gauge_point(const PlacedGauge& g, int x, int y, int* gx, int* gy) const;

    sim::SimHost& host_;
    aircraft::Aircraft aircraft_;
    bool flying_;
    std::vector<PilotRamp> pilot_ramps_;
    sim::PanelLayout layout_;
    std::vector<PlacedGauge> gauges_;
    size_t next_step_ = 0;
    std::vector<const sim::ScenarioStep*> ramps_;
    std::vector<ActivePress> presses_;
    std::vector<std::string> misses_;
};

}  // namespace trace
