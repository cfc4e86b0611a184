#include "preview/panel_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "aircraft/pilot_controls.h"
#include "preview/text_render.h"

namespace sim {

namespace {

std::string time_stamp(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "%8.2f s", t);
    return text;
}

int to_background(int panel_offset, int panel_size, int background_size) {
    if (panel_size <= 0) return panel_offset;
    return static_cast<int>(std::floor(double(panel_offset) * background_size / panel_size));
}

}  // namespace

PanelSession::PanelSession(SimHost& host, PanelLayout layout, BitmapLookup lookup, bool fly)
    : host_(host), flying_(fly), layout_(std::move(layout)), renderer_(std::move(lookup)) {
    if (flying_) host_.attach(&aircraft_);
}

PanelSession::~PanelSession() {
    if (flying_ && host_.simulation() == &aircraft_) host_.attach(nullptr);
}

bool PanelSession::place_all(const std::string& layout_name, std::string* error) {
    for (const PanelWindow& w : layout_.windows) host_.set_panel_visible(w.ident, w.visible);
    for (const PanelWindow& w : layout_.windows) {
        for (const GaugeSlot& slot : w.gauges) {
            std::string name = slot.module.empty() ? slot.gauge : slot.module + "!" + slot.gauge;
            std::string why;
            Placement* p = host_.place(name, slot.has_parameters ? slot.parameters.c_str() : nullptr, &why);
            if (!p) {
                if (error) *error = layout_name + ":" + std::to_string(slot.line) + ": " + why;
                return false;
            }
            PlacedGauge g{&w, slot, p, slot.width, slot.height};
            int bw = p->width, bh = p->height;
            if (g.width <= 0) g.width = bw > 0 ? bw : 100;
            if (g.height <= 0) g.height = bw > 0 && bh > 0 ? std::max(1, static_cast<int>(std::lround(double(g.width) * bh / bw))) : g.width;
            gauges_.push_back(g);
        }
    }
    for (PlacedGauge& g : gauges_) host_.setup(*g.placement);
    for (auto& [id, visible] : host_.panels()) panels_seen_[id] = visible;
    note_changes();  // what the gauges sent at install and set-up
    cycle();
    return true;
}

void PanelSession::cycle() {
    host_.cycle();
    note_changes();
}

PanelHit PanelSession::hit(int x, int y) {
    for (auto w = layout_.windows.rbegin(); w != layout_.windows.rend(); ++w) {
        if (!window_visible(*w)) continue;
        if (x < w->x || y < w->y || x >= w->x + w->width || y >= w->y + w->height) continue;
        for (auto g = gauges_.rbegin(); g != gauges_.rend(); ++g) {
            if (g->window != &*w) continue;
            int gx = w->x + g->slot.x, gy = w->y + g->slot.y;
            if (x < gx || y < gy || x >= gx + g->width || y >= gy + g->height) continue;
            Placement& p = *g->placement;
            int bw = p.width > 0 ? p.width : g->width, bh = p.height > 0 ? p.height : g->height;
            return {&*g, to_background(x - gx, g->width, bw), to_background(y - gy, g->height, bh)};
        }
        return {};  // the window covers what lies below it
    }
    return {};
}

void PanelSession::gauge_point(const PlacedGauge& g, int x, int y, int* gx, int* gy) const {
    const Placement& p = *g.placement;
    int ox = g.window->x + g.slot.x, oy = g.window->y + g.slot.y;
    *gx = to_background(x - ox, g.width, p.width > 0 ? p.width : g.width);
    *gy = to_background(y - oy, g.height, p.height > 0 ? p.height : g.height);
}

bool PanelSession::click(int x, int y, bool right_button) {
    PanelHit h = hit(x, y);
    if (!h.gauge) return false;
    bool taken = h.gauge->placement->click(h.x, h.y, right_button ? MOUSE_RIGHTSINGLE : MOUSE_LEFTSINGLE);
    note_changes();
    return taken;
}

std::string PanelSession::tooltip(int x, int y) {
    PanelHit h = hit(x, y);
    return h.gauge ? h.gauge->placement->tooltip(h.x, h.y) : std::string();
}

// ------------------------------------------------------------ scenario

void PanelSession::apply(const ScenarioStep& s) {
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
    case ScenarioStep::CLICK: click(s.x, s.y, s.right_button); break;
    case ScenarioStep::PILOT:
        if (!flying_) break;
        if (s.duration > 0) {
            pilot_ramps_.push_back({&s, aircraft::find_pilot_control(s.text)->get(aircraft_.state())});
        } else {
            aircraft_.set_pilot(s.text, s.to);
        }
        break;
    case ScenarioStep::HOLD:
    case ScenarioStep::DRAG: {
        PanelHit h = hit(s.x, s.y);
        if (!h.gauge) break;
        uint32_t button = s.right_button ? MOUSE_RIGHTSINGLE : MOUSE_LEFTSINGLE;
        if (!h.gauge->placement->press(h.x, h.y, button)) break;
        ActivePress press{h.gauge, s.time + s.duration, s.kind == ScenarioStep::DRAG, h.x, h.y, h.x, h.y, s.time};
        if (press.dragging) gauge_point(*h.gauge, s.x1, s.y1, &press.x1, &press.y1);
        presses_.push_back(press);
        break;
    }
    }
}

void PanelSession::step_cycle(const Scenario& scenario) {
    double t = host_.clock() - scenario_origin_;
    while (next_step_ < scenario.steps.size() && scenario.steps[next_step_].time <= t) apply(scenario.steps[next_step_++]);
    for (auto it = ramps_.begin(); it != ramps_.end();) {
        const ScenarioStep& r = **it;
        double f = r.duration > 0 ? std::clamp((t - r.time) / r.duration, 0.0, 1.0) : 1.0;
        host_.set_var(r.token, r.from + (r.to - r.from) * f);
        it = f >= 1.0 ? ramps_.erase(it) : it + 1;
    }
    for (auto it = pilot_ramps_.begin(); it != pilot_ramps_.end();) {
        const ScenarioStep& r = *it->step;
        double f = std::clamp((t - r.time) / r.duration, 0.0, 1.0);
        aircraft_.set_pilot(r.text, it->from + (r.to - it->from) * f);
        it = f >= 1.0 ? pilot_ramps_.erase(it) : it + 1;
    }
    for (auto it = presses_.begin(); it != presses_.end();) {
        Placement& p = *it->gauge->placement;
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
    cycle();
}

void PanelSession::run_to(const Scenario& scenario, double t) {
    while (host_.clock() - scenario_origin_ + 1e-9 < t) step_cycle(scenario);
}

void PanelSession::note_changes() {
    // Gauges that keep the simulator in step send the same events every
    // cycle: a run of identical cycles is one line.
    const auto& events = host_.events();
    std::string block;
    for (; events_seen_ < events.size(); ++events_seen_)
        block += "key event " + std::to_string(events[events_seen_].id) + " value " +
                 std::to_string(events[events_seen_].value) + "; ";
    if (!block.empty() && block == last_block_) {
        if (repeats_++ == 0) {
            log_.emplace_back();
            repeat_line_ = log_.size() - 1;
        }
        log_[repeat_line_] = "          the same again every cycle (" + std::to_string(repeats_) + " cycles, until " +
                             time_stamp(host_.clock()) + ")";
    } else if (!block.empty()) {
        for (size_t from = 0, end; (end = block.find("; ", from)) != std::string::npos; from = end + 2)
            log_.push_back(time_stamp(host_.clock()) + "  " + block.substr(from, end - from));
        last_block_ = block;
        repeats_ = 0;
    }
    for (auto& [id, visible] : host_.panels()) {
        auto seen = panels_seen_.find(id);
        if (seen != panels_seen_.end() && seen->second == visible) continue;
        log_.push_back(time_stamp(host_.clock()) + "  panel window " + std::to_string(id) + (visible ? " shown" : " hidden"));
        last_block_.clear();
        panels_seen_[id] = visible;
    }
}

// ------------------------------------------------------------ drawing

Image PanelSession::render_gauge(const PlacedGauge& g, const RenderOptions& options) {
    return renderer_.render(*g.placement, options);
}

Image PanelSession::render(const RenderOptions& options) {
    Image screen(std::max(1, layout_.screen_width()), std::max(1, layout_.screen_height()), {12, 12, 14, 255});
    for (const PanelWindow& w : layout_.windows) {
        if (!window_visible(w)) continue;
        Rgba background = w.background;
        if (options.night) background = {uint8_t(background.r / 3), uint8_t(background.g / 3), uint8_t(background.b / 3), 255};
        fill_rect(screen, w.x, w.y, w.width, w.height, background);
        for (const PlacedGauge& g : gauges_) {
            if (g.window != &w) continue;
            Image picture = render_gauge(g, options);
            double sx = double(g.width) / picture.width, sy = double(g.height) / picture.height;
            draw_scaled(screen, picture, w.x + g.slot.x, w.y + g.slot.y, sx, sy, 1.0,
                        {w.x, w.y, w.x + w.width, w.y + w.height});
        }
    }
    return screen;
}

Image PanelSession::contact_sheet(const RenderOptions& options, int cell) {
    const int label = 22, columns = 8;
    int rows = (static_cast<int>(gauges_.size()) + columns - 1) / columns;
    Image sheet(columns * cell, std::max(1, rows) * (cell + label), {32, 33, 36, 255});
    TextStyle style;
    style.pixel_height = 13;
    style.colour = {230, 230, 230, 255};
    for (size_t i = 0; i < gauges_.size(); ++i) {
        const PlacedGauge& g = gauges_[i];
        int cx = int(i % columns) * cell, cy = int(i / columns) * (cell + label);
        Image picture = render_gauge(g, options);
        double scale = std::min(double(cell - 12) / picture.width, double(cell - 12) / picture.height);
        scale = std::min(scale, 2.0);
        double w = picture.width * scale, h = picture.height * scale;
        draw_scaled(sheet, picture, cx + (cell - w) / 2, cy + (cell - h) / 2, scale, scale);
        std::string name = g.placement->name();
        if (g.slot.has_parameters && !g.slot.parameters.empty()) name += " (" + g.slot.parameters + ")";
        draw_text(sheet, name, cx, cy + cell, cell, label, style);
    }
    return sheet;
}

}  // namespace sim
