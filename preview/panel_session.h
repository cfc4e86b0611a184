// A panel flown in the test host: the gauges of a layout placed in their
// windows, a scenario played against them cycle by cycle, and the panel
// drawn as the host would show it.
#pragma once

#include <functional>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "aircraft/aircraft.h"
#include "preview/panel_layout.h"
#include "preview/renderer.h"
#include "preview/scenario.h"
#include "host/sim_host.h"

namespace sim {

struct PlacedGauge {
    const PanelWindow* window = nullptr;
    GaugeSlot slot;
    Placement* placement = nullptr;
    int width = 0, height = 0;  // on the panel, in pixels
};

// Where a panel point falls: the gauge and the point in its background
// pixels.
struct PanelHit {
    PlacedGauge* gauge = nullptr;
    int x = 0, y = 0;
};

class PanelSession {
public:
    // With `fly` the session's aircraft stands behind the host's variables
    // and key events (cold and dark at its parking place); without it the
    // host's own table answers, as tests of single values want.
    PanelSession(SimHost& host, PanelLayout layout, BitmapLookup lookup, bool fly = true);
    ~PanelSession();
    PanelSession(const PanelSession&) = delete;
    PanelSession& operator=(const PanelSession&) = delete;

    // The aircraft behind the panel, or null when the session does not fly.
    aircraft::Aircraft* aircraft() { return flying_ ? &aircraft_ : nullptr; }

    // Places every gauge of the layout (install, then set-up). False with
    // the layout line and gauge in `error` when a gauge cannot be placed.
    bool place_all(const std::string& layout_name, std::string* error);
    const std::vector<PlacedGauge>& gauges() const { return gauges_; }
    const PanelLayout& layout() const { return layout_; }
    SimHost& host() { return host_; }

    // Plays the scenario up to time t (seconds), one host cycle at a time.
    void run_to(const Scenario& scenario, double t);
    // One host cycle without a scenario.
    void cycle();
    // Plays one cycle of the scenario (for a live panel).
    void play_cycle(const Scenario& scenario) { step_cycle(scenario); }
    // The scenario again from its beginning: its times count from now.
    void restart_scenario() {
        next_step_ = 0, ramps_.clear(), presses_.clear(), pilot_ramps_.clear();
        scenario_origin_ = host_.clock();
    }
    double time() const { return host_.clock(); }

    // The mouse at panel coordinates.
    PanelHit hit(int x, int y);
    // A panel point in a gauge's background pixels (it may lie outside the
    // gauge, as while a lever is dragged).
    void gauge_point(const PlacedGauge& g, int x, int y, int* gx, int* gy) const;
    bool click(int x, int y, bool right_button);
    std::string tooltip(int x, int y);

    // The whole screen: every visible window with its gauges.
    Image render(const RenderOptions& options);
    // Every placed gauge at its own size with its name, in a grid.
    Image contact_sheet(const RenderOptions& options, int cell = 220);
    const std::vector<RenderProblem>& problems() const { return renderer_.problems(); }

    // Key events and panel-window changes, one line each, with their times.
    const std::vector<std::string>& log() const { return log_; }

    bool window_visible(const PanelWindow& w) const { return host_.panel_visible(w.ident); }

private:
    void apply(const ScenarioStep& step);
    void step_cycle(const Scenario& scenario);
    void note_changes();
    Image render_gauge(const PlacedGauge& g, const RenderOptions& options);

    struct PilotRamp {
        const ScenarioStep* step;
        double from;
    };

    struct ActivePress {
        PlacedGauge* gauge;
        double until;
        bool dragging;
        int x0, y0, x1, y1;  // background pixels
        double start;
    };

    SimHost& host_;
    aircraft::Aircraft aircraft_;
    bool flying_;
    std::vector<PilotRamp> pilot_ramps_;
    PanelLayout layout_;
    GaugeRenderer renderer_;
    std::vector<PlacedGauge> gauges_;
    size_t next_step_ = 0;
    double scenario_origin_ = 0;  // host clock at the scenario's time 0
    std::vector<const ScenarioStep*> ramps_;
    std::vector<ActivePress> presses_;
    std::vector<std::string> log_;
    size_t events_seen_ = 0;
    std::string last_block_;
    size_t repeats_ = 0, repeat_line_ = 0;
    std::map<uint32_t, bool> panels_seen_;
};

}  // namespace sim
