// The aircraft's checklist: start-up, before take-off, approach and
// shut-down, the same steps the built-in circuit flies. Each line says
// what to do, names the control on the panel that does it, and knows from
// the aircraft's state whether it is done. Also the clicks that bring the
// panel's own stateful controls back to cold and dark after a reset.
#pragma once

#include <span>

#include "aircraft/aircraft_state.h"

namespace aircraft {

// A place on a gauge of the panel: the gauge by its name in the layout and
// a box in its background pixels. For a switch or a button the box is its
// whole click area; for a lever it is the part of the lever's click area
// where a click sets the value the line asks for. A null gauge: the line
// names nothing on the panel (a pilot's control or a state to wait for).
struct PanelControl {
    const char* gauge = nullptr;
    int x = 0, y = 0, w = 0, h = 0;
};

struct ChecklistLine {
    const char* text;  // Latin-1, like the module's texts
    PanelControl control;
    bool (*done)(const State& state);
};

struct ChecklistSection {
    const char* title;
    std::span<const ChecklistLine> lines;
};

std::span<const ChecklistSection> checklist();

// Clicks that return the panel's own controls to their cold positions
// after the aircraft is reset: the starting box's selectors keep their
// position in the gauges themselves, not in the aircraft, so they are
// clicked down to A (which, with the aircraft cold, sends nothing that
// changes it).
struct ColdPanelClick {
    PanelControl control;  // clicked at the box's centre
    int clicks;
};

std::span<const ColdPanelClick> cold_panel_clicks();

}  // namespace aircraft
