// A panel flown in the test host, without drawing: the gauges of a layout
// placed in their windows, the simulation behind the host (the built-in
// aircraft, or whatever the program attaches), a scenario played against
// them cycle by cycle on the host's clock (variable steps and ramps,
// failures, expression answers, pilot steps, clicks, holds and drags at
// panel coordinates), panel hits and the session log. No image or font
// library: the previewer draws it, the live panel streams it, the trace
// tool traces it, on every platform the host runs on.
#pragma once

#include <functional>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "aircraft/aircraft.h"
#include "aircraft/checklist.h"
#include "flight/panel_layout.h"
#include "flight/scenario.h"
#include "host/recent_log.h"
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

class FlightSession {
public:
    // With `fly` the session's aircraft stands behind the host's variables
    // and key events (cold and dark at its parking place); without it the
    // host's own table answers, as tests of single values want.
    FlightSession(SimHost& host, PanelLayout layout, bool fly = true);
    ~FlightSession();
    FlightSession(const FlightSession&) = delete;
    FlightSession& operator=(const FlightSession&) = delete;

    // The aircraft behind the panel, or null when the session does not fly.
    aircraft::Aircraft* aircraft() { return flying_ ? &aircraft_ : nullptr; }
    // The aircraft back cold and dark at its parking place, and the panel
    // with it, as the simulator does when a flight is reset: presses,
    // ramps and pilot ramps stopped, a fresh aircraft, the set-up notice
    // again for every gauge (the radio stack starts switched off on the
    // ground), and the gauges' own stateful controls (the starting box's
    // selectors) clicked back to their cold positions. Nothing when the
    // session does not fly.
    void reset_aircraft();
    // Where a control of the aircraft's checklist is on the panel, in
    // panel (screen) pixels: the box of the placed gauge that bears its
    // name, kept within the click area found at the box's centre and
    // within the gauge's window. False when the gauge is not on the panel
    // or no click area lies there.
    struct Rect {
        int x = 0, y = 0, w = 0, h = 0;
    };
    bool control_rect(const aircraft::PanelControl& control, Rect* rect) const;

    // Places every gauge of the layout (install, then set-up), then flies
    // the first host cycle. False with the layout line and gauge in `error`
    // when a gauge cannot be placed.
    bool place_all(const std::string& layout_name, std::string* error);
    // The same without that first cycle: the scenario's first step is
    // played in the host's first cycle.
    bool place_gauges(const std::string& layout_name, std::string* error);
    const std::vector<PlacedGauge>& gauges() const { return gauges_; }
    const PanelLayout& layout() const { return layout_; }
    SimHost& host() { return host_; }

    // Plays the scenario up to time t (seconds), one host cycle at a time.
    // False when a step could not be played (a click that hits no gauge):
    // scenario_error() names the scenario file and the step's line, and the
    // run stops at that cycle.
    bool run_to(const Scenario& scenario, double t);
    // One host cycle without a scenario.
    void cycle();
    // Plays one cycle of the scenario (for a live panel).
    bool play_cycle(const Scenario& scenario) { return step_cycle(scenario); }
    // The scenario again from its beginning: its times count from now.
    void restart_scenario() {
        next_step_ = 0, ramps_.clear(), presses_.clear(), pilot_ramps_.clear(), scenario_error_.clear();
        scenario_origin_ = host_.clock();
    }
    const std::string& scenario_error() const { return scenario_error_; }
    double time() const { return host_.clock(); }

    // The mouse at panel coordinates.
    PanelHit hit(int x, int y);
    // A panel point in a gauge's background pixels (it may lie outside the
    // gauge, as while a lever is dragged).
    void gauge_point(const PlacedGauge& g, int x, int y, int* gx, int* gy) const;
    bool click(int x, int y, bool right_button);
    std::string tooltip(int x, int y);

    // Key events and panel-window changes, one line each, with their times.
    // With a sink, each finished line goes to the sink (and is not kept);
    // without one, the most recent lines are kept here. finish_log() hands over the
    // line still open (a run of repeated cycles).
    std::vector<std::string> log() const;
    void set_log_sink(std::function<void(const std::string&)> sink);
    void finish_log();

    bool window_visible(const PanelWindow& w) const { return host_.panel_visible(w.ident); }

protected:
    std::vector<PlacedGauge> gauges_;
    PanelLayout layout_;
    SimHost& host_;

private:
    bool apply(const Scenario& scenario, const ScenarioStep& step);
    bool start_press(const Scenario& scenario, const ScenarioStep& step);
    void advance_presses(double t, bool ending);
    bool step_cycle(const Scenario& scenario);
    bool step_fails(const Scenario& scenario, const ScenarioStep& step, const std::string& what);
    void note_changes();
    void add_log_line(std::string line);
    void close_repeat_line();

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

    aircraft::Aircraft aircraft_;
    bool flying_;
    std::vector<PilotRamp> pilot_ramps_;
    size_t next_step_ = 0;
    double scenario_origin_ = 0;  // host clock at the scenario's time 0
    std::vector<const ScenarioStep*> ramps_;
    std::vector<ActivePress> presses_;
    std::string scenario_error_;
    RecentLog<std::string> log_{4096};  // without a sink, the most recent lines
    std::function<void(const std::string&)> log_sink_;
    uint64_t events_seen_ = 0;
    std::string last_block_;
    size_t repeats_ = 0;
    std::string repeat_line_;  // the open line of a run of repeated cycles
    std::map<uint32_t, bool> panels_seen_;
};

}  // namespace sim
