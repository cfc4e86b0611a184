#include "tools/trace/panel_flight.h"

#include <algorithm>
#include <cmath>

#include "aircraft/pilot_controls.h"

namespace trace {

namespace {

int to_background(int panel_offset, int panel_size, int background_size) {
    if (panel_size <= 0) return panel_offset;
    return static_cast<int>(std::floor(double(panel_offset) * background_size / panel_size));
}

}  // namespace

PanelFlight::PanelFlight(sim::SimHost& host, sim::PanelLayout layout, bool fly)
    : host_(host), flying_(fly), layout_(std::move(layout)) {
    if (flying_) host_.attach(&aircraft_);
}

PanelFlight::~PanelFlight() {
    if (flying_ && host_.simulation() == &aircraft_) host_.attach(nullptr);
}

bool PanelFlight::place_all(const std::string& layout_name, std::string* error) {
    for (const sim::PanelWindow& w : layout_.windows) host_.set_panel_visible(w.ident, w.visible);
    for (const sim::PanelWindow& w : layout_.windows) {
        for (const sim::GaugeSlot& slot : w.gauges) {
            std::string name = slot.module.empty() ? slot.gauge : slot.module + "!" + slot.gauge;
            std::string why;
            sim::Placement* p = host_.place(name, slot.has_parameters ? slot.parameters.c_str() : nullptr, &why);
            if (!p) {
                if (error) *error = layout_name + ":" + std::to_string(slot.line) + ": " + why;
                return false;
            }
            PlacedGauge g{&w, slot, p, slot.width, slot.height};
            int bw = p->width, bh = p->height;
            if (g.width <= 0) g.width = bw > 0 ? bw : 100;
            if (g.height <= 0)
                g.height = bw > 0 && bh > 0 ? std::max(1, static_cast<int>(std::lround(double(g.width) * bh / bw)))
                                            : g.width;
            gauges_.push_back(g);
        }
    }
    for (PlacedGauge& g : gauges_) host_.setup(*g.placement);
    return true;
}

PanelFlight::Hit PanelFlight::hit(int x, int y) {
    for (auto w = layout_.windows.rbegin(); w != layout_.windows.rend(); ++w) {
        if (!host_.panel_visible(w->ident)) continue;
        if (x < w->x || y < w->y || x >= w->x + w->width || y >= w->y + w->height) continue;
        for (auto g = gauges_.rbegin(); g != gauges_.rend(); ++g) {
            if (g->window != &*w) continue;
            int gx = w->x + g->slot.x, gy = w->y + g->slot.y;
            if (x < gx || y < gy || x >= gx + g->width || y >= gy + g->height) continue;
            sim::Placement& p = *g->placement;
            int bw = p.width > 0 ? p.width : g->width, bh = p.height > 0 ? p.height : g->height;
            return {&*g, to_background(x - gx, g->width, bw), to_background(y - gy, g->height, bh)};
        }
        return {};  // the window covers what lies below it
    }
    return {};
}

void PanelFlight::gauge_point(const PlacedGauge& g, int x, int y, int* gx, int* gy) const {
    const sim::Placement& p = *g.placement;
    int ox = g.window->x + g.slot.x, oy = g.window->y + g.slot.y;
    *gx = to_background(x - ox, g.width, p.width > 0 ? p.width : g.width);
    *gy = to_background(y - oy, g.height, p.height > 0 ? p.height : g.height);
}

void PanelFlight::apply(const sim::ScenarioStep& s) {
    using sim::ScenarioStep;
    switch (s.kind) {
    case ScenarioStep::SET: host_.set_var(s.token, s.to); break;
    case ScenarioStep::SET_WORD: host_.set_var_low_word(s.token, s.word); break;
    case ScenarioStep::RAMP: ramps_.push_back(&s); break;
    case ScenarioStep::FAILURE:
        if (s.on) host_.active_failures.insert(s.word);
        else host_.active_failures.erase(s.word);
        break;
    case ScenarioStep::EXPRESSION_NUMBER: host_.set_expression(s.expression, {.number = s.to}); break;
    case ScenarioStep::EXPRESSION_STRING: host_.set_expression(s.expression, {.string = s.text}); break;
    case ScenarioStep::PILOT:
        if (!flying_) break;
        if (s.duration > 0)
            pilot_ramps_.push_back({&s, aircraft::find_pilot_control(s.text)->get(aircraft_.state())});
        else
            aircraft_.set_pilot(s.text, s.to);
        break;
    case ScenarioStep::CLICK:
    case ScenarioStep::HOLD:
    case ScenarioStep::DRAG: {
        Hit h = hit(s.x, s.y);
        if (!h.gauge) {
            misses_.push_back("line " + std::to_string(s.line) + ": no gauge at " + std::to_string(s.x) + "," +
                              std::to_string(s.y));
            break;
        }
        uint32_t button = s.right_button ? MOUSE_RIGHTSINGLE : MOUSE_LEFTSINGLE;
        if (s.kind == ScenarioStep::CLICK) {
            h.gauge->placement->click(h.x, h.y, button);
            break;
        }
        if (!h.gauge->placement->press(h.x, h.y, button)) break;
        ActivePress press{h.gauge, s.time, s.time + s.duration, s.kind == ScenarioStep::DRAG, h.x, h.y, h.x, h.y};
        if (press.dragging) gauge_point(*h.gauge, s.x1, s.y1, &press.x1, &press.y1);
        presses_.push_back(press);
        break;
    }
    }
}

void PanelFlight::step(const sim::Scenario& scenario) {
    double t = host_.clock();
    while (next_step_ < scenario.steps.size() && scenario.steps[next_step_].time <= t)
        apply(scenario.steps[next_step_++]);
    for (auto it = ramps_.begin(); it != ramps_.end();) {
        const sim::ScenarioStep& r = **it;
        double f = r.duration > 0 ? std::clamp((t - r.time) / r.duration, 0.0, 1.0) : 1.0;
        host_.set_var(r.token, r.from + (r.to - r.from) * f);
        it = f >= 1.0 ? ramps_.erase(it) : it + 1;
    }
    for (auto it = pilot_ramps_.begin(); it != pilot_ramps_.end();) {
        const sim::ScenarioStep& r = *it->step;
        double f = std::clamp((t - r.time) / r.duration, 0.0, 1.0);
        aircraft_.set_pilot(r.text, it->from + (r.to - it->from) * f);
        it = f >= 1.0 ? pilot_ramps_.erase(it) : it + 1;
    }
    for (auto it = presses_.begin(); it != presses_.end();) {
        sim::Placement& p = *it->gauge->placement;
        if (it->dragging) {
            double f = it->until > it->start ? std::clamp((t - it->start) / (it->until - it->start), 0.0, 1.0) : 1.0;
            p.press_move(static_cast<int>(std::lround(it->x0 + (it->x1 - it->x0) * f)),
                         static_cast<int>(std::lround(it->y0 + (it->y1 - it->y0) * f)));
        } else {
            p.press_repeat();
        }
        if (t >= it->until) {
            p.release();
            it = presses_.erase(it);
        } else {
            ++it;
        }
    }
    host_.cycle();
}

}  // namespace trace
