#include "flight/flight_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "aircraft/pilot_controls.h"
#include "host/recent_log.h"

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

FlightSession::FlightSession(SimHost& host, PanelLayout layout, bool fly)
    : layout_(std::move(layout)), host_(host), flying_(fly) {
    if (flying_) host_.attach(&aircraft_);
}

FlightSession::~FlightSession() {
    if (flying_ && host_.simulation() == &aircraft_) host_.attach(nullptr);
}

bool FlightSession::place_all(const std::string& layout_name, std::string* error) {
    if (!place_gauges(layout_name, error)) return false;
    cycle();
    return true;
}

bool FlightSession::place_gauges(const std::string& layout_name, std::string* error) {
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
    return true;
}

void FlightSession::cycle() {
    host_.cycle();
    note_changes();
}

PanelHit FlightSession::hit(int x, int y) {
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

void FlightSession::gauge_point(const PlacedGauge& g, int x, int y, int* gx, int* gy) const {
    const Placement& p = *g.placement;
    int ox = g.window->x + g.slot.x, oy = g.window->y + g.slot.y;
    *gx = to_background(x - ox, g.width, p.width > 0 ? p.width : g.width);
    *gy = to_background(y - oy, g.height, p.height > 0 ? p.height : g.height);
}

bool FlightSession::click(int x, int y, bool right_button) {
    PanelHit h = hit(x, y);
    if (!h.gauge) return false;
    bool taken = h.gauge->placement->click(h.x, h.y, right_button ? MOUSE_RIGHTSINGLE : MOUSE_LEFTSINGLE);
    note_changes();
    return taken;
}

std::string FlightSession::tooltip(int x, int y) {
    PanelHit h = hit(x, y);
    return h.gauge ? h.gauge->placement->tooltip(h.x, h.y) : std::string();
}

// ------------------------------------------------------------ scenario

bool FlightSession::step_fails(const Scenario& scenario, const ScenarioStep& s, const std::string& what) {
    scenario_error_ = (scenario.file.empty() ? std::string("scenario") : scenario.file) + ":" +
                      std::to_string(s.line) + ": " + what;
    return false;
}

bool FlightSession::apply(const Scenario& scenario, const ScenarioStep& s) {
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
        if (s.duration > 0) {
            pilot_ramps_.push_back({&s, aircraft::find_pilot_control(s.text)->get(aircraft_.state())});
        } else {
            aircraft_.set_pilot(s.text, s.to);
        }
        break;
    case ScenarioStep::CLICK:
        if (!hit(s.x, s.y).gauge)
            return step_fails(scenario, s, "click at " + std::to_string(s.x) + "," + std::to_string(s.y) + " hits no gauge");
        click(s.x, s.y, s.right_button);
        break;
    case ScenarioStep::HOLD:
    case ScenarioStep::DRAG: return start_press(scenario, s);
    }
    return true;
}

// A hold or a drag: the press now, then moves every cycle until it ends
// (a held click repeats on the host's own clock, after its delay). One
// mouse: a new press on a gauge takes over from any press that is still
// going on it.
bool FlightSession::start_press(const Scenario& scenario, const ScenarioStep& s) {
    PanelHit h = hit(s.x, s.y);
    if (!h.gauge)
        return step_fails(scenario, s, std::string(s.kind == ScenarioStep::DRAG ? "drag from " : "hold at ") +
                                           std::to_string(s.x) + "," + std::to_string(s.y) + " hits no gauge");
    std::erase_if(presses_, [&](const ActivePress& p) { return p.gauge == h.gauge; });
    uint32_t button = s.right_button ? MOUSE_RIGHTSINGLE : MOUSE_LEFTSINGLE;
    if (!h.gauge->placement->press(h.x, h.y, button)) return true;  // on the gauge, off its click areas
    ActivePress press{h.gauge, s.time + s.duration, s.kind == ScenarioStep::DRAG, h.x, h.y, h.x, h.y, s.time};
    if (press.dragging) gauge_point(*h.gauge, s.x1, s.y1, &press.x1, &press.y1);
    presses_.push_back(press);
    return true;
}

// Moves the drags under way; with `ending`, only the presses whose time is
// up, which are then released. A held click repeats on the host's own
// clock (SimHost::cycle), after its delay.
void FlightSession::advance_presses(double t, bool ending) {
    for (auto it = presses_.begin(); it != presses_.end();) {
        bool ends = t >= it->until;
        if (ends != ending) {
            ++it;
            continue;
        }
        Placement& p = *it->gauge->placement;
        if (it->dragging) {
            double f = it->until > it->start ? std::clamp((t - it->start) / (it->until - it->start), 0.0, 1.0) : 1.0;
            p.press_move(static_cast<int>(std::lround(it->x0 + (it->x1 - it->x0) * f)),
                         static_cast<int>(std::lround(it->y0 + (it->y1 - it->y0) * f)));
        }
        if (ends) {
            p.release();
            it = presses_.erase(it);
        } else {
            ++it;
        }
    }
}

bool FlightSession::step_cycle(const Scenario& scenario) {
    if (!scenario_error_.empty()) return false;
    double t = host_.clock() - scenario_origin_;
    // Presses that end now are released before the steps of this cycle
    // press again: a hold that ends where a drag on the same gauge begins
    // leaves both to take effect.
    advance_presses(t, true);
    while (next_step_ < scenario.steps.size() && scenario.steps[next_step_].time <= t)
        if (!apply(scenario, scenario.steps[next_step_++])) return false;
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
    advance_presses(t, false);
    advance_presses(t, true);  // presses of no length begun this cycle
    cycle();
    return true;
}

bool FlightSession::run_to(const Scenario& scenario, double t) {
    while (host_.clock() - scenario_origin_ + 1e-9 < t)
        if (!step_cycle(scenario)) return false;
    return true;
}

void FlightSession::add_log_line(std::string line) {
    if (log_sink_) log_sink_(line);
    else log_.push_back(std::move(line));
}

void FlightSession::close_repeat_line() {
    if (!repeat_line_.empty()) add_log_line(std::move(repeat_line_));
    repeat_line_.clear();
}

void FlightSession::finish_log() { close_repeat_line(); }

void FlightSession::set_log_sink(std::function<void(const std::string&)> sink) {
    log_sink_ = std::move(sink);
    if (!log_sink_) return;
    for (const std::string& line : log_) log_sink_(line);
    log_.clear();
}

std::vector<std::string> FlightSession::log() const {
    std::vector<std::string> lines = log_.recent();
    if (!repeat_line_.empty()) lines.push_back(repeat_line_);
    return lines;
}

void FlightSession::note_changes() {
    // Gauges that keep the simulator in step send the same events every
    // cycle: a run of identical cycles is one line.
    const RecentLog<KeyEvent>& events = host_.event_log();
    std::string block;
    if (events_seen_ < events.first_kept()) {
        block += "(" + std::to_string(events.first_kept() - events_seen_) + " key events not logged); ";
        events_seen_ = events.first_kept();
    }
    for (; events_seen_ < events.total(); ++events_seen_) {
        const KeyEvent& e = events[size_t(events_seen_ - events.first_kept())];
        block += "key event " + std::to_string(e.id) + " value " + std::to_string(e.value) + "; ";
    }
    if (!block.empty() && block == last_block_) {
        ++repeats_;
        repeat_line_ = "          the same again every cycle (" + std::to_string(repeats_) + " cycles, until " +
                       time_stamp(host_.clock()) + ")";
    } else if (!block.empty()) {
        close_repeat_line();
        for (size_t from = 0, end; (end = block.find("; ", from)) != std::string::npos; from = end + 2)
            add_log_line(time_stamp(host_.clock()) + "  " + block.substr(from, end - from));
        last_block_ = block;
        repeats_ = 0;
    }
    for (auto& [id, visible] : host_.panels()) {
        auto seen = panels_seen_.find(id);
        if (seen != panels_seen_.end() && seen->second == visible) continue;
        close_repeat_line();
        add_log_line(time_stamp(host_.clock()) + "  panel window " + std::to_string(id) + (visible ? " shown" : " hidden"));
        last_block_.clear();
        repeats_ = 0;
        panels_seen_[id] = visible;
    }
}

}  // namespace sim
