// The previewer draws Telvor_Flaps through the older interface's services.
#include <gtest/gtest.h>

#include "preview/preview_support.h"
#include "preview/renderer.h"
#include "host/sim_host.h"

#ifdef TELVOR_MODULE_PATH

namespace {
constexpr uint32_t kFlapsPosition = 329;
}  // namespace

// The previewer draws the lever: the knob's white index line stands over
// the knob's centre, x 69 at flaps up and 145 pixels further at half.
TEST(PreviewTelvorFlaps, PreviewerDrawsTheKnobWhereTheFlapsAre) {
    sim::SimHost host;
    std::string error;
    ASSERT_NE(host.load_module(TELVOR_MODULE_PATH, &error), nullptr) << error;
    sim::Placement* placed = host.place("telvor_flaps", nullptr, &error);
    ASSERT_NE(placed, nullptr) << error;
    sim::Placement& p = *placed;
    sim::GaugeRenderer renderer(sim::module_bitmap_lookup());
    auto bright = [](const sim::Image& image, int x, int y) {
        const auto& px = image.at(x, y);
        return px.r > 200 && px.g > 200 && px.b > 200;
    };
    host.set_var(kFlapsPosition, 0);
    host.cycle();
    sim::Image up = renderer.render(p, {});
    ASSERT_EQ(up.width, 423);
    ASSERT_EQ(up.height, 183);
    host.set_var(kFlapsPosition, 8191.5);
    host.cycle();
    sim::Image half = renderer.render(p, {});
    EXPECT_TRUE(renderer.problems().empty());
    EXPECT_TRUE(bright(up, 69, 75));
    EXPECT_FALSE(bright(half, 69, 75));
    EXPECT_TRUE(bright(half, 214, 75));
    EXPECT_FALSE(bright(up, 214, 75));
    EXPECT_TRUE(host.faults.empty());
}

#endif  // TELVOR_MODULE_PATH
