// Every key event the modules can send has an answer in the aircraft's
// table. A sweep places every gauge of both modules (the programmable
// buttons also with their open, close, toggle, count and install keys),
// clicks every click area of every gauge with either button, again and
// again, in both orders, so that state-dependent events come out too, drags every lever
// from top to bottom, and sends every service notice; every event it
// collects must have a row, and every row must be an event the modules
// send.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "aircraft/aircraft.h"
#include "aircraft/key_events.h"
#include "host/sim_host.h"

namespace {

// Placements beyond one of each gauge: the panel commands of the
// programmable buttons.
const std::pair<const char*, const char*> kCommandButtons[] = {
    {"Close_Subpanel", "oRADIO_STACK_PANEL cRADIO_STACK_PANEL tRADIO_STACK_PANEL p2 aGPS_PANEL"},
    {"Compass_Toggle", "p-1"},
    {"GPS_Toggle", "p"},
    {"Radio_Altimeter", "s1"},
};

// Clicks on each area: odd first, so that a switch ends the other way,
// then even, so that it stays there for the areas after it.
constexpr int kClicksPerArea[2] = {7, 8};

std::set<uint32_t> sweep_every_gauge() {
    sim::SimHost host;
    aircraft::Aircraft plane;
    host.attach(&plane);
    std::string error;
    std::vector<sim::LoadedModule*> modules = {host.load_module(MORVANE_MODULE_PATH, &error)};
    EXPECT_NE(modules[0], nullptr) << error;
#ifdef TELVOR_MODULE_PATH
    modules.push_back(host.load_module(TELVOR_MODULE_PATH, &error));
    EXPECT_NE(modules.back(), nullptr) << error;
#endif
    for (sim::LoadedModule* m : modules)
        for (GaugeHeader* g : m->gauges()) host.place_header(m, g, nullptr, &error);
    for (auto [name, parameters] : kCommandButtons) EXPECT_NE(host.place(name, parameters, &error), nullptr) << error;
    for (int code = 0; code < 16; ++code)
        if (code != SERVICE_KILL && code != SERVICE_INSTALL)
            for (auto& p : host.placements()) host.send(*p, code);
    host.cycles(2);

    // Forward, then backward: a knob that only moves once another has
    // moved (tuning within a band) is reached one way or the other.
    for (int pass = 0; pass < 2; ++pass) {
        for (auto& p : host.placements()) {
            std::vector<const MouseRect*> children = p->children();
            if (pass == 1) std::reverse(children.begin(), children.end());
            for (const MouseRect* child : children) {
                int x = child->x + child->width / 2, y = child->y + child->height / 2;
                for (uint32_t button : {MOUSE_LEFTSINGLE, MOUSE_RIGHTSINGLE}) {
                    // The clicked gauge's own cycle between clicks: what it
                    // decodes at its update notice is current for the next.
                    for (int i = 0; i < kClicksPerArea[pass]; ++i) {
                        p->click(x, y, button);
                        p->update_cycle();
                    }
                }
                if (child->mouse_flags & MOUSE_MOVE_HELD) {
                    p->drag(x, child->y, x, child->y + child->height, 8);
                    p->update_cycle();
                }
            }
        }
    }
    host.kill_all();
    std::set<uint32_t> sent;
    for (const sim::KeyEvent& e : host.events()) sent.insert(e.id);
    EXPECT_TRUE(plane.unanswered_events().empty()) << *plane.unanswered_events().begin();
    host.attach(nullptr);
    return sent;
}

TEST(EveryKeyEvent, EachEventTheModulesSendHasARowAndEachRowIsSent) {
    std::set<uint32_t> sent = sweep_every_gauge();
    EXPECT_GT(sent.size(), 80u);  // the sweep reached the whole panel
    for (uint32_t id : sent) EXPECT_NE(aircraft::find_key_event(id), nullptr) << "no row for key event " << id;
    for (const aircraft::KeyEventRow& row : aircraft::key_event_rows())
        EXPECT_TRUE(sent.count(row.id)) << "row " << row.id << " (" << row.name << ") is never sent";
}

TEST(EveryKeyEvent, OneRowPerEventWithANameAndAnEffect) {
    std::set<uint32_t> ids;
    for (const aircraft::KeyEventRow& row : aircraft::key_event_rows()) {
        EXPECT_TRUE(ids.insert(row.id).second) << "two rows for " << row.id;
        EXPECT_GE(row.id, 65536u);
        EXPECT_TRUE(row.name && *row.name && row.effect && *row.effect) << row.id;
    }
}

}  // namespace
