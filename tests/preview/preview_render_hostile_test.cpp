// Every token the default panel reads, set in turn to values a hostile
// simulator may send (NaN, infinities, the largest doubles, 2^32), each
// flown for a cycle and drawn: under the sanitizers no conversion from a
// number to a pixel position may overflow, and the screen stays the panel's.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "host/sim_host.h"

namespace {

const double kHostile[] = {
    std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(), 1e308, -1e308, 4294967296.0,
};

TEST(PreviewHostileValues, EveryTokenAtEveryHostileValueDrawsWithinThePicture) {
    sim::SimHost host;
    std::string error;
    for (const std::string& path : sim::default_module_paths()) ASSERT_TRUE(host.load_module(path, &error)) << error;
    sim::PanelLayout layout;
    ASSERT_TRUE(sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in", &layout, &error)) << error;
    sim::PanelSession session(host, layout, sim::module_bitmap_lookup());
    ASSERT_TRUE(session.place_all("built-in", &error)) << error;
    const sim::RenderOptions day{};
    session.screen(day);
    std::vector<uint32_t> tokens(host.tokens_read.begin(), host.tokens_read.end());
    ASSERT_GT(tokens.size(), 50u);
    const int width = layout.screen_width(), height = layout.screen_height();
    // Three neighbouring tokens at a time (a gauge's tokens are seldom
    // neighbours), to keep the sweep to seconds.
    constexpr size_t kTogether = 3;
    for (size_t first = 0; first < tokens.size(); first += kTogether) {
        size_t last = std::min(tokens.size(), first + kTogether);
        std::vector<double> before;
        for (size_t i = first; i < last; ++i) before.push_back(host.var(tokens[i]));
        for (double value : kHostile) {
            SCOPED_TRACE("tokens from " + std::to_string(tokens[first]) + " at " + std::to_string(value));
            for (size_t i = first; i < last; ++i) host.set_var(tokens[i], value);
            session.cycle();
            const sim::Image& screen = session.screen(day);  // the gauges these tokens moved are drawn again
            ASSERT_EQ(screen.width, width);
            ASSERT_EQ(screen.height, height);
        }
        for (size_t i = first; i < last; ++i) host.set_var(tokens[i], before[i - first]);
        session.cycle();
    }
    // Whatever the values did to the gauges' state, the kept layers still
    // draw what drawing from nothing draws.
    EXPECT_TRUE(session.screen(day).pixels == session.render_full(day).pixels);
}

}  // namespace
