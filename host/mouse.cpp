// The host's side of the mouse: hit-testing a placement's rectangles,
// clicks, held buttons and drags, cursors and tooltips.
#include <algorithm>
#include <cmath>

#include "host/module_entry.h"
#include "host/placement.h"
#include "host/sim_host.h"
#include "host/tooltip_format.h"

namespace sim {

namespace {

struct Region {
    const MouseRect* rect;
    int depth;
    bool contains;
    std::string tooltip;
    bool has_tooltip;
    uint32_t help_id;
};

bool box_contains(const MouseRect& r, int32_t x, int32_t y, int32_t gauge_w, int32_t gauge_h) {
    if (r.x == 0 && r.y == 0 && r.width == 0 && r.height == 0)
        return (gauge_w <= 0 || (x >= 0 && x < gauge_w)) && (gauge_h <= 0 || (y >= 0 && y < gauge_h));
    // In 64 bits, so that no box can overflow.
    return x >= r.x && int64_t(x) < int64_t(r.x) + r.width && y >= r.y && int64_t(y) < int64_t(r.y) + r.height;
}

// The record's tooltip; a record the simulator's formatter would fault on is
// named in `problem`.
std::string tooltip_of(const MouseRect& record, bool call_arguments, std::string& problem) {
    if (record.text) {
        if (call_arguments && record.arg_count && !record.args)
            problem = std::to_string(record.arg_count) + " tooltip arguments and no argument array";
        return format_tooltip(record.text, call_arguments ? record.args : nullptr, record.arg_count, &problem);
    }
    if (record.help_id) return SimHost::help_text(record.help_id);
    return {};
}

}  // namespace

HitResult Placement::hit(int32_t x, int32_t y, bool call_arguments) const {
    HitResult result;
    // The kill notice is the last call a gauge gets: a killed placement has
    // no mouse and calls no tooltip argument callback.
    if (killed_) return result;
    std::vector<Region> stack;
    int best_depth = -1;
    for (const MouseRect* r = rect_list(); r && r->type != MOUSE_END; ++r) {
        switch (r->type) {
        case MOUSE_PARENT:
            stack.push_back({r, static_cast<int>(stack.size()), box_contains(*r, x, y, width, height),
                             r->help_id ? SimHost::help_text(r->help_id) : std::string(), r->help_id != 0, r->help_id});
            break;
        case MOUSE_TOOLTIP:
            // Only a region under the pointer has its tooltip worded.
            if (!stack.empty() && stack.back().contains) {
                // A region's own tooltip record speaks for it; an empty
                // record leaves the region's help text.
                std::string problem;
                std::string text = tooltip_of(*r, call_arguments, problem);
                if (!problem.empty()) host_.faults.push_back(name_ + ": tooltip \"" + r->text + "\": " + problem);
                if (!text.empty()) {
                    stack.back().tooltip = text;
                    stack.back().has_tooltip = true;
                    stack.back().help_id = r->text ? 0 : r->help_id;
                }
            }
            break;
        case MOUSE_PARENT_END:
            if (!stack.empty()) {
                Region region = stack.back();
                stack.pop_back();
                if (region.contains && region.has_tooltip && region.depth > best_depth) {
                    best_depth = region.depth;
                    result.tooltip = region.tooltip;
                    result.help_id = region.help_id;
                }
            }
            break;
        case MOUSE_CHILD:
            if (!result.child && box_contains(*r, x, y, width, height)) {
                result.child = r;
                result.cursor = r->cursor;
            }
            break;
        default: break;
        }
    }
    return result;
}

bool Placement::send_click(const MouseRect* child, int32_t x, int32_t y, uint32_t flags) {
    if (child->callback) {
        ClickRecord click{x - child->x, y - child->y, header_.get(), const_cast<MouseRect*>(child)};
        // Every mouse callback answers 0; the simulator gives any other
        // answer a meaning of its own, so the host reports it.
        int32_t answer = 0;
        enter_module_into(&answer, child->callback, &click, flags);
        if (answer != 0)
            host_.faults.push_back(name_ + ": mouse callback of the click area at " + std::to_string(child->x) + "," +
                                   std::to_string(child->y) + " returned " + std::to_string(answer));
    } else if (child->event_id) {
        host_.svc_trigger_key_event(child->event_id, 0);
    }
    return true;
}

bool Placement::click(int32_t x, int32_t y, uint32_t button) {
    if (killed_) return false;
    const MouseRect* child = hit(x, y).child;
    if (!child || !(child->mouse_flags & button)) return false;
    return send_click(child, x, y, button);
}

bool Placement::hold(int32_t x, int32_t y, uint32_t button, int repeats) {
    if (!click(x, y, button)) return false;
    const MouseRect* child = hit(x, y).child;
    if (child->mouse_flags & MOUSE_REPEAT)
        for (int i = 0; i < repeats; ++i) send_click(child, x, y, button);
    return true;
}

bool Placement::drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int steps) {
    if (!click(x0, y0, MOUSE_LEFTSINGLE)) return false;
    const MouseRect* child = hit(x0, y0).child;
    if (!(child->mouse_flags & MOUSE_MOVE_HELD)) return true;
    steps = std::max(steps, 1);
    for (int i = 1; i <= steps; ++i) {
        int32_t x = x0 + static_cast<int32_t>(std::lround(double(x1 - x0) * i / steps));
        int32_t y = y0 + static_cast<int32_t>(std::lround(double(y1 - y0) * i / steps));
        send_click(child, x, y, MOUSE_MOVE_HELD);
    }
    return true;
}

bool Placement::press(int32_t x, int32_t y, uint32_t button) {
    pressed_ = nullptr;
    if (!click(x, y, button)) return false;
    pressed_ = hit(x, y).child;
    pressed_button_ = button;
    pressed_x_ = x, pressed_y_ = y;
    next_repeat_ = host_.clock() + host_.mouse_repeat_delay;
    return true;
}

// Called by the host at the start of each cycle: a held click repeats once
// its delay has passed, at most once a cycle, each repeat counted from the
// last one's due time so that the rate does not drift with the cycle.
void Placement::repeat_held(double clock, double interval) {
    if (!pressed_ || killed_ || !(pressed_->mouse_flags & MOUSE_REPEAT)) return;
    // A hair of slack: the clock is a sum of cycle lengths.
    if (clock + 1e-9 < next_repeat_) return;
    send_click(pressed_, pressed_x_, pressed_y_, pressed_button_);
    next_repeat_ = std::max(next_repeat_ + std::max(interval, 1e-3), clock - 1e-9);
}

void Placement::press_repeat() {
    if (pressed_ && !killed_ && (pressed_->mouse_flags & MOUSE_REPEAT))
        send_click(pressed_, pressed_x_, pressed_y_, pressed_button_);
}

void Placement::press_move(int32_t x, int32_t y) {
    if (pressed_ && !killed_ && (pressed_->mouse_flags & MOUSE_MOVE_HELD)) send_click(pressed_, x, y, MOUSE_MOVE_HELD);
}

}  // namespace sim
