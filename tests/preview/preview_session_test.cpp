// The panel session as the previewer flies it: the screen drawn from each
// gauge's kept layers matches the screen drawn from nothing, scenario mouse
// steps that hit no gauge are errors with their line, and a hold and a
// drag on one gauge in the same cycle both take effect.
#include <gtest/gtest.h>

#include <memory>

#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "host/sim_host.h"

namespace {

struct Panel {
    sim::SimHost host;
    sim::PanelLayout layout;
    sim::Scenario scenario;
    std::unique_ptr<sim::PanelSession> session;
    std::string error;

    // The built-in panel and circuit, or the given layout and scenario.
    bool open(const char* layout_text = nullptr, const char* scenario_text = nullptr) {
        for (const std::string& path : sim::default_module_paths())
            if (!host.load_module(path, &error)) return false;
        if (!sim::parse_panel_layout(layout_text ? layout_text : sim::kDefaultPanelLayout, "panel.cfg", &layout, &error))
            return false;
        if (!sim::parse_scenario(scenario_text ? scenario_text : sim::kDefaultScenario, "fly.txt", &scenario, &error))
            return false;
        session = std::make_unique<sim::PanelSession>(host, layout, sim::module_bitmap_lookup());
        return session->place_all("panel.cfg", &error);
    }
};

// Where two pictures differ, for a failure message.
std::string first_difference(const sim::Image& a, const sim::Image& b) {
    if (a.width != b.width || a.height != b.height)
        return "sizes " + std::to_string(a.width) + "x" + std::to_string(a.height) + " and " +
               std::to_string(b.width) + "x" + std::to_string(b.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (!(a.at(x, y) == b.at(x, y))) return "pixel " + std::to_string(x) + "," + std::to_string(y);
    return "";
}

TEST(PanelScreen, KeptLayersDrawTheSameScreenAsDrawingFromNothing) {
    Panel p;
    ASSERT_TRUE(p.open()) << p.error;
    const sim::RenderOptions day{}, night{.night = true};
    // In the climb; by night; and back by day.
    for (double t : {40.0}) {
        ASSERT_TRUE(p.session->run_to(p.scenario, t)) << p.session->scenario_error();
        EXPECT_EQ(first_difference(p.session->screen(day), p.session->render_full(day)), "") << "at " << t << " s";
    }
    EXPECT_EQ(first_difference(p.session->screen(night), p.session->render_full(night)), "");
    p.session->cycle();
    EXPECT_EQ(first_difference(p.session->screen(day), p.session->render_full(day)), "");
    // Every gauge's moving layers drawn again over their kept backgrounds.
    p.session->redraw_all_gauges();
    EXPECT_EQ(first_difference(p.session->screen(day), p.session->render_full(day)), "");
}

TEST(PanelScreen, AWindowShownOrHiddenRedrawsWhatItCovers) {
    Panel p;
    ASSERT_TRUE(p.open()) << p.error;
    const sim::RenderOptions day{};
    p.session->screen(day);
    uint64_t changes = p.session->screen_changes();
    p.session->screen(day);
    EXPECT_EQ(p.session->screen_changes(), changes);  // nothing moved, nothing drawn
    for (const sim::PanelWindow& w : p.layout.windows) {
        if (w.ident != 50) continue;  // the radio stack
        p.host.set_panel_visible(w.ident, false);
        EXPECT_EQ(first_difference(p.session->screen(day), p.session->render_full(day)), "") << w.section << " hidden";
        p.host.set_panel_visible(w.ident, true);
        EXPECT_EQ(first_difference(p.session->screen(day), p.session->render_full(day)), "") << w.section << " shown";
    }
    EXPECT_GT(p.session->screen_changes(), changes);
}

const char* const kQuadrantAlone =
    "[Window00]\nsize=800,1200\ngauge00=Morvane_Instr!Throttle_Quadrant, 0, 500\n";

TEST(PanelScenario, MouseStepsThatHitNoGaugeAreErrorsWithTheirLine) {
    struct {
        const char* step;
        const char* error;
    } cases[] = {
        {"at 1 click 700 100\n", "fly.txt:2: click at 700,100 hits no gauge"},
        {"at 1 hold 5 5 left 1\n", "fly.txt:2: hold at 5,5 hits no gauge"},
        {"at 1 drag 799 1199 10 600 1\n", "fly.txt:2: drag from 799,1199 hits no gauge"},
        {"at 1 click 9000 100\n", "fly.txt:2: click at 9000,100 hits no gauge"},  // off the screen
    };
    for (const auto& c : cases) {
        Panel p;
        std::string scenario = std::string("# the quadrant alone\n") + c.step + "end 3\n";
        ASSERT_TRUE(p.open(kQuadrantAlone, scenario.c_str())) << p.error;
        EXPECT_FALSE(p.session->run_to(p.scenario, 3)) << c.step;
        EXPECT_EQ(p.session->scenario_error(), c.error);
        EXPECT_LT(p.session->time(), 1.2) << "the run stops at the step";
    }
}

TEST(PanelScenario, AHoldEndingWhereADragOnTheSameGaugeBeginsLeavesBothToTakeEffect) {
    Panel p;
    // Trim nose-down held for two seconds (background point 10,50), then
    // the first throttle dragged from low on its slot to above its top.
    ASSERT_TRUE(p.open(kQuadrantAlone, "at 1 hold 10 550 left 2\nat 3 drag 130 550 130 100 1\nend 5\n")) << p.error;
    ASSERT_TRUE(p.session->run_to(p.scenario, 5)) << p.session->scenario_error();
    int trim_steps = 0, throttle_moves = 0;
    uint32_t last_throttle = 0;
    for (const sim::KeyEvent& e : p.host.events()) {
        if (e.id == 65607) ++trim_steps;
        if (e.id == 65820) ++throttle_moves, last_throttle = e.value;
    }
    // The press, then a repeat every tenth of a second from half a second
    // on: 1 + 15.
    EXPECT_GE(trim_steps, 14);
    EXPECT_LE(trim_steps, 17);
    EXPECT_GE(throttle_moves, 10);  // followed every cycle of the drag
    EXPECT_EQ(last_throttle, 16384u);  // and ended above the slot: full throttle
}

}  // namespace
