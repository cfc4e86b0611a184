// The session's aircraft reset and the panel places of the aircraft's
// checklist controls.
#include <algorithm>

#include "flight/flight_session.h"

namespace sim {

namespace {

// The first panel pixel whose background pixel is at or after `b`: the
// inverse of the panel-to-background rounding of FlightSession::hit.
int panel_offset(int b, int panel_size, int background_size) {
    if (background_size <= 0 || panel_size <= 0) return b;
    long long scaled = static_cast<long long>(b) * panel_size;
    long long q = scaled / background_size;
    return static_cast<int>(scaled % background_size > 0 ? q + 1 : q);
}

const PlacedGauge* find_gauge(const std::vector<PlacedGauge>& gauges, const char* name) {
    for (const PlacedGauge& g : gauges)
        if (name && g.slot.gauge == name) return &g;
    return nullptr;
}

}  // namespace

void FlightSession::reset_aircraft() {
    if (!flying_) return;
    for (ActivePress& p : presses_) p.gauge->placement->release();
    presses_.clear(), ramps_.clear(), pilot_ramps_.clear();
    aircraft_.reset();
    for (PlacedGauge& g : gauges_) host_.setup(*g.placement);
    for (const aircraft::ColdPanelClick& c : aircraft::cold_panel_clicks()) {
        for (PlacedGauge& g : gauges_) {
            if (g.slot.gauge != c.control.gauge) continue;
            for (int i = 0; i < c.clicks; ++i)
                g.placement->click(c.control.x + c.control.w / 2, c.control.y + c.control.h / 2, MOUSE_LEFTSINGLE);
        }
    }
    note_changes();
}

bool FlightSession::control_rect(const aircraft::PanelControl& control, Rect* rect) const {
    const PlacedGauge* g = find_gauge(gauges_, control.gauge);
    if (!g || control.w <= 0 || control.h <= 0) return false;
    const Placement& p = *g->placement;
    const MouseRect* area = p.hit(control.x + control.w / 2, control.y + control.h / 2, false).child;
    if (!area) return false;
    // The box within its click area, in background pixels.
    int x0 = std::max(control.x, area->x), y0 = std::max(control.y, area->y);
    int x1 = std::min(control.x + control.w, area->x + area->width), y1 = std::min(control.y + control.h, area->y + area->height);
    if (x0 >= x1 || y0 >= y1) return false;
    int bw = p.width > 0 ? p.width : g->width, bh = p.height > 0 ? p.height : g->height;
    const PanelWindow& w = *g->window;
    int ox = w.x + g->slot.x, oy = w.y + g->slot.y;
    // Every panel pixel of the rectangle falls on a background pixel of
    // the box, so a click anywhere in it lands in the click area.
    int px0 = std::max(ox + panel_offset(x0, g->width, bw), w.x), py0 = std::max(oy + panel_offset(y0, g->height, bh), w.y);
    int px1 = std::min(ox + panel_offset(x1, g->width, bw), w.x + w.width);
    int py1 = std::min(oy + panel_offset(y1, g->height, bh), w.y + w.height);
    if (px0 >= px1 || py0 >= py1) return false;
    *rect = {px0, py0, px1 - px0, py1 - py0};
    return true;
}

}  // namespace sim
