// A panel flown in the test host and drawn as the host would show it: the
// flight session (the placed layout, the simulation, the scenario played
// cycle by cycle) with the screen, the gauges' pictures and the contact
// sheet drawn over it.
#pragma once

#include <cstdint>
#include <vector>

#include "flight/flight_session.h"
#include "preview/renderer.h"

namespace sim {

class PanelSession : public FlightSession {
public:
    // With `fly` the session's aircraft stands behind the host's variables
    // and key events (cold and dark at its parking place); without it the
    // host's own table answers, as tests of single values want.
    PanelSession(SimHost& host, PanelLayout layout, BitmapLookup lookup, bool fly = true);

    // The whole screen: every visible window with its gauges. Drawn again
    // only where a gauge's picture changed since the last call, and within
    // a gauge only from its first changed layer up.
    const Image& screen(const RenderOptions& options);
    Image render(const RenderOptions& options) { return screen(options); }
    // Counts the screen() calls that changed a pixel of the screen.
    uint64_t screen_changes() const { return screen_changes_; }
    // The same screen drawn from nothing, every gauge from its background
    // up (the reference the cached screen must match).
    Image render_full(const RenderOptions& options);
    // Makes the next screen() draw every gauge's moving parts again, as if
    // all had changed (the gauges' unchanging layers stay kept).
    void redraw_all_gauges();
    // Every placed gauge at its own size with its name, in a grid.
    Image contact_sheet(const RenderOptions& options, int cell = 220);
    const std::vector<RenderProblem>& problems() const { return renderer_.problems(); }

private:
    Image render_gauge(const PlacedGauge& g, const RenderOptions& options);
    // The screen's cached drawing.
    struct GaugeCache {
        GaugeLayers layers;
        Image on_panel;  // the picture at its panel size
    };
    struct Box {
        int x0, y0, x1, y1;
    };
    void compose(Box box, const RenderOptions& options);
    Box gauge_box(const PlacedGauge& g) const;

    GaugeRenderer renderer_;
    std::vector<GaugeCache> caches_;
    Image screen_;
    bool screen_valid_ = false, screen_night_ = false;
    uint64_t screen_changes_ = 0;
    std::vector<bool> windows_shown_;
};

}  // namespace sim
