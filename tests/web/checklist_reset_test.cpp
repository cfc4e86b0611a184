// The aircraft's checklist, its reset and the pilot's read-backs in the
// live panel, as a page uses them: GET /checklist with each line's state
// and the panel rectangle of its control; a new pilot following only the
// list (clicking the middle of each outlined control until its line is
// done) starts both engines from cold and dark; POST /reset brings the
// aircraft and the starting box back cold; Run scenario starts from a
// fresh aircraft; presses of 20, 120 and 300 ms through POST /mouse
// toggle a switch once and a 1.5 s hold repeats; every click area of the
// built-in panel answers /hover with a tooltip.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <initializer_list>
#include <utility>

#include "tests/web/live_client.h"
#include "web/help_texts.h"

namespace {

using live_test::ask;
using live_test::ServedPanel;
using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(60);  // generous: a loaded machine

json get_json(int port, const std::string& path) {
    auto r = ask(port, "GET", path);
    EXPECT_EQ(r.status, 200) << path << ": " << r.body;
    return json::parse(r.body, nullptr, false);
}

uint64_t cycles(int port) { return get_json(port, "/state").value("cycles", uint64_t(0)); }

// Waits until the host has run `n` more cycles than now.
bool wait_cycles(int port, uint64_t n) {
    uint64_t until = cycles(port) + n;
    return live_test::eventually([&] { return cycles(port) >= until; }, int(kPatience.count()));
}

bool click(int port, int x, int y) {
    auto down = ask(port, "POST", "/mouse?kind=down&x=" + std::to_string(x) + "&y=" + std::to_string(y));
    auto up = ask(port, "POST", "/mouse?kind=up");
    return down.status == 200 && up.status == 200 && down.body.find("\"taken\":true") != std::string::npos;
}

const json* find_line(const json& list, const std::string& text) {
    for (const json& section : list["sections"])
        for (const json& line : section["lines"])
            if (line["text"] == text) return &line;
    return nullptr;
}

// The built-in panel with the aircraft behind it, served.
struct BuiltInPanel : ServedPanel {
    bool ready = place(sim::kDefaultPanelLayout, "end 600\n");
};

TEST(LiveChecklist, FourSectionsEachLineWithItsStateAndTheRectangleOfItsControl) {
    BuiltInPanel panel;
    ASSERT_TRUE(panel.ready) << panel.error;
    const int port = panel.port();
    json list;
    panel.with_client([&] { list = get_json(port, "/checklist"); });
    ASSERT_TRUE(list.is_object());
    std::vector<std::string> titles;
    for (const json& s : list["sections"]) titles.push_back(s["title"]);
    EXPECT_EQ(titles, (std::vector<std::string>{"Start-up", "Before take-off", "Approach", "Shut-down"}));
    // Cold and dark: the parking brake is set, the mixtures are not rich.
    EXPECT_EQ((*find_line(list, "Parking brake: SET"))["done"], true);
    EXPECT_EQ((*find_line(list, "Mixtures: RICH"))["done"], false);
    EXPECT_EQ((*find_line(list, "Starter 1: OFF"))["done"], false) << "not before the engine runs";
    EXPECT_TRUE((*find_line(list, "Engines: both running"))["target"].is_null());
    // Every rectangle lies on the click area of the gauge its line names:
    // its middle, and each of its corners, hit that gauge and a click area.
    size_t targets = 0;
    for (const json& section : list["sections"]) {
        for (const json& line : section["lines"]) {
            if (line["target"].is_null()) continue;
            ++targets;
            int x = line["target"]["x"], y = line["target"]["y"], w = line["target"]["w"], h = line["target"]["h"];
            ASSERT_GT(w, 0);
            ASSERT_GT(h, 0);
            for (auto [px, py] : std::initializer_list<std::pair<int, int>>{{x + w / 2, y + h / 2}, {x, y}, {x + w - 1, y + h - 1}}) {
                sim::PanelHit hit = panel.session->hit(px, py);
                ASSERT_NE(hit.gauge, nullptr) << line["text"];
                EXPECT_NE(hit.gauge->placement->hit(hit.x, hit.y).child, nullptr) << line["text"] << " at " << px << "," << py;
            }
        }
    }
    EXPECT_GE(targets, 20u);
    // The starter line outlines the upper switch of the starting box,
    // engine 1: on the built-in panel its box stands at 390,940 scaled
    // 220/250, the switch at 0,79 and 40 x 67 in its own pixels.
    const json& starter = (*find_line(list, "Starter 1 (DEMARREUR): ON until engine 1 runs"))["target"];
    EXPECT_EQ(starter["x"], 390);
    EXPECT_NEAR(int(starter["y"]), 940 + 79 * 0.88, 1);
    EXPECT_NEAR(int(starter["w"]), 40 * 0.88, 1);
    EXPECT_NEAR(int(starter["h"]), 67 * 0.88, 1);
}

TEST(LiveChecklist, FollowingOnlyTheListStartsBothEnginesAndResetMakesItColdAgain) {
    BuiltInPanel panel;
    ASSERT_TRUE(panel.ready) << panel.error;
    const int port = panel.port();
    std::vector<std::string> not_done;
    panel.with_client([&] {
        json list = get_json(port, "/checklist");
        for (const json& line : list["sections"][0]["lines"]) {
            const std::string text = line["text"];
            bool done = line["done"];
            // A switch once, a selector up to five times; a line that
            // waits (the starter until the engine runs) gets its time.
            for (int clicks = 0; !done && clicks < 8; ++clicks) {
                ASSERT_FALSE(line["target"].is_null()) << text;
                const json& t = line["target"];
                ASSERT_TRUE(click(port, int(t["x"]) + int(t["w"]) / 2, int(t["y"]) + int(t["h"]) / 2)) << text;
                for (auto deadline = Clock::now() + kPatience; !done && Clock::now() < deadline;) {
                    ASSERT_TRUE(wait_cycles(port, 2));
                    done = (*find_line(get_json(port, "/checklist"), text))["done"];
                    if (text.find("until") == std::string::npos) break;  // only the starter needs waiting for
                }
            }
            if (!done) not_done.push_back(text);
        }
        json pilot = get_json(port, "/pilot");
        for (const json& r : pilot["state"])
            if (r["name"] == "rpm1" || r["name"] == "rpm2") { EXPECT_NE(r["text"], "stopped") << r.dump(); }
        // Reset: cold and dark at the parking place.
        auto reset = ask(port, "POST", "/reset");
        EXPECT_EQ(reset.status, 200);
        EXPECT_EQ(reset.body, "{}");
        ASSERT_TRUE(wait_cycles(port, 2));
        json cold = get_json(port, "/checklist");
        EXPECT_EQ((*find_line(cold, "Mixtures: RICH"))["done"], false);
        EXPECT_EQ((*find_line(cold, "Starter 1 (DEMARREUR): ON until engine 1 runs"))["done"], false);
        EXPECT_EQ((*find_line(cold, "Selector 1: up to 1.2 (tanks valve open, magnetos BOTH)"))["done"], false);
    });
    EXPECT_TRUE(not_done.empty()) << not_done.front();
    const aircraft::State& s = panel.session->aircraft()->state();
    for (const aircraft::Engine& e : s.engine) {
        EXPECT_FALSE(e.running);
        EXPECT_EQ(e.magnetos, 0);
        EXPECT_FALSE(e.tank_valve_open);
        EXPECT_EQ(e.mixture, 0);
    }
    EXPECT_TRUE(s.parking_brake);
    EXPECT_EQ(s.flight.east_m, 150);
    // The starting box's selectors are back at A with their lamps out, so
    // the next start begins from the bottom again.
    for (const sim::PlacedGauge& g : panel.session->gauges()) {
        if (g.slot.gauge != "Dirud_Box") continue;
        EXPECT_EQ(g.placement->element(3).image, 0);  // engine 2's selector
        EXPECT_EQ(g.placement->element(4).image, 0);  // engine 1's
        EXPECT_EQ(g.placement->element(1).image, -1);  // the H lamps out
        EXPECT_EQ(g.placement->element(2).image, -1);
    }
}

TEST(LiveChecklist, RunScenarioStartsFromAFreshAircraftAndResetStopsIt) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(sim::kDefaultPanelLayout, "at 0.5 pilot mixture 1\nend 600\n")) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        // The parking brake released and the throttles open by hand ...
        ASSERT_TRUE(click(port, 885, 695));
        EXPECT_EQ(ask(port, "POST", "/pilot?name=throttle&value=0.8").status, 200);
        ASSERT_TRUE(wait_cycles(port, 2));
        EXPECT_EQ((*find_line(get_json(port, "/checklist"), "Parking brake: OFF"))["done"], true);
        // ... then Run: the scenario plays on a fresh aircraft.
        EXPECT_EQ(ask(port, "POST", "/scenario?run=1").status, 200);
        ASSERT_TRUE(wait_cycles(port, 2));
        json pilot = get_json(port, "/pilot");
        for (const json& c : pilot["controls"])
            if (c["name"] == "throttle") { EXPECT_EQ(c["value"], 0) << "a fresh aircraft"; }
        EXPECT_EQ((*find_line(get_json(port, "/checklist"), "Parking brake: SET"))["done"], true);
        EXPECT_EQ(get_json(port, "/state")["running"], true);
        EXPECT_EQ(ask(port, "POST", "/reset").status, 200);
        ASSERT_TRUE(wait_cycles(port, 2));
        EXPECT_EQ(get_json(port, "/state")["running"], false) << "reset stops the scenario";
        // Changes from another site are refused, as for every change.
        auto foreign = ask(port, "POST", "/reset", "Origin: http://example.test\r\n");
        EXPECT_EQ(foreign.status, 403);
        EXPECT_EQ(ask(port, "GET", "/reset").status, 405);
        EXPECT_EQ(ask(port, "POST", "/checklist").status, 405);
    });
}

TEST(LiveChecklist, PressesOf20_120And300MsToggleOnceAndAHeldSwitchRepeats) {
    ServedPanel panel;
    // The starting box alone at its own size.
    ASSERT_TRUE(panel.place("[Window00]\nsize=250,338\ngauge00=Morvane_Instr!Dirud_Box, 0, 0, 250\n")) << panel.error;
    const int port = panel.port();
    struct Press {
        int x, y;  // a switch of the box
        int ms;
    };
    // The four switches: engine 1 lower and upper, engine 2 lower and upper.
    const Press presses[] = {{20, 230, 20}, {20, 112, 120}, {230, 230, 300}, {230, 112, 1500}};
    panel.with_client([&] {
        for (const Press& p : presses) {
            auto down = ask(port, "POST", "/mouse?kind=down&x=" + std::to_string(p.x) + "&y=" + std::to_string(p.y));
            ASSERT_NE(down.body.find("\"taken\":true"), std::string::npos) << down.body;
            // The press lasts this long on the host's own clock (18 cycles a
            // second, a part cycle counted whole), on which the click repeats:
            // a loaded machine holds it as long for the host.
            ASSERT_TRUE(wait_cycles(port, (uint64_t(p.ms) * 18 + 999) / 1000));
            ASSERT_EQ(ask(port, "POST", "/mouse?kind=up").status, 200);
            ASSERT_TRUE(wait_cycles(port, 3));
        }
    });
    auto count = [&](uint32_t id) {
        size_t n = 0;
        for (const sim::KeyEvent& e : panel.host.events()) n += e.id == id;
        return n;
    };
    EXPECT_EQ(count(66300), 1u) << "20 ms";
    EXPECT_EQ(count(66340), 1u) << "120 ms";
    EXPECT_EQ(count(66301), 1u) << "300 ms";
    EXPECT_GE(count(66341), 6u) << "1.5 s: the press and its repeats after half a second";
    const aircraft::State& s = panel.session->aircraft()->state();
    EXPECT_TRUE(s.engine[0].boost_pump);
    EXPECT_TRUE(s.engine[0].starter);
    EXPECT_TRUE(s.engine[1].boost_pump);
}

TEST(LiveChecklist, EveryClickAreaOfTheBuiltInPanelHasATooltip) {
    BuiltInPanel panel;
    ASSERT_TRUE(panel.ready) << panel.error;
    const int port = panel.port();
    // Each click area's middle on the panel, with its gauge's name.
    struct Spot {
        std::string gauge;
        int x, y;
    };
    std::vector<Spot> spots;
    for (const sim::PlacedGauge& g : panel.session->gauges()) {
        const sim::Placement& p = *g.placement;
        for (const MouseRect* r : p.children()) {
            int bx = r->x + r->width / 2, by = r->y + r->height / 2;
            if (r->width == 0 && r->height == 0) bx = p.width / 2, by = p.height / 2;
            int bw = p.width > 0 ? p.width : g.width, bh = p.height > 0 ? p.height : g.height;
            int x = g.window->x + g.slot.x + (bx * g.width + bw - 1) / bw;
            int y = g.window->y + g.slot.y + (by * g.height + bh - 1) / bh;
            sim::PanelHit hit = panel.session->hit(x, y);
            if (hit.gauge != &g) continue;  // covered by another gauge
            spots.push_back({g.slot.gauge, x, y});
        }
    }
    ASSERT_GT(spots.size(), 80u);
    std::vector<std::string> silent;
    std::string selector_text;
    panel.with_client([&] {
        for (const Spot& s : spots) {
            json hover = get_json(port, "/hover?x=" + std::to_string(s.x) + "&y=" + std::to_string(s.y));
            std::string text = hover.value("tooltip", std::string());
            if (text.empty() || text.rfind("help 0x", 0) == 0)
                silent.push_back(s.gauge + " at " + std::to_string(s.x) + "," + std::to_string(s.y));
        }
        // Engine 1's selector-up arrow on the pedestal (the box at 390,940
        // scaled 0.88; the arrow at 77,73 in its own pixels).
        selector_text = get_json(port, "/hover?x=476&y=1023").value("tooltip", std::string());
    });
    std::string named;
    for (const std::string& spot : silent) named += spot + "; ";
    EXPECT_TRUE(silent.empty()) << silent.size() << " silent: " << named;
    EXPECT_EQ(selector_text, "Engine 1 selector up: A, H, E (tanks valve), 1, 2, 1.2 (both magnetos)");
    // The starting box's rows say what the aircraft does with them.
    EXPECT_EQ(sim::panel_help_text(0xAB67), "Starter switches (DEMARREUR)");
    EXPECT_EQ(sim::panel_help_text(0xAB65), "Fuel pump switches (POMPE ESS)");
}

}  // namespace
