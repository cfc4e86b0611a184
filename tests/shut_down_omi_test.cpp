// The radio stack's cold start and the marker lamps.
#include <vector>

#include "platform/linux/sound_inspect.h"
#include "tests/hostile_values.h"
#include "tests/host_fixture.h"

namespace {

using ShutDownTest = ModuleTest;

TEST_F(ShutDownTest, SetUpNoticeSwitchesTheStackOffWhenAsked) {
    sim::Placement& adf = place("Radio_ADF");
    sim::Placement& shut = place("Shut_Down");
    auto adf_on = [&] {
        adf.click(270, 250);  // main switch
        host.cycle();
        return adf.element(8).image == 0;  // power lamp lit
    };
    ASSERT_TRUE(adf_on());
    for (double v : {0.0, -1.0, kHostileValues[0]}) {
        host.set_var(60, v);
        host.clear_events();
        host.setup(shut);
        EXPECT_TRUE(host.events().empty()) << v;
        host.cycle();
        EXPECT_EQ(adf.element(8).image, 0) << v;
    }
    for (int again = 0; again < 2; ++again) {
        host.set_var(60, 1);
        host.clear_events();
        host.setup(shut);
        const std::vector<sim::KeyEvent> tones_off = {{65836, 0}, {65832, 0}, {65833, 0}};
        EXPECT_EQ(host.events(), tones_off);
        host.cycle();
        EXPECT_EQ(adf.element(8).image, -1);
        EXPECT_EQ(adf.tooltip(270, 250), "Main switch (off)");
        ASSERT_TRUE(adf_on());  // the pilot switches on again; the next set-up repeats
    }
    host.clear_events();
    host.send(shut, SERVICE_UPDATE);
    host.send(shut, SERVICE_INSTALL);
    EXPECT_TRUE(host.events().empty());
}

using OmiTest = ModuleTest;

TEST_F(OmiTest, LampsFollowTheMarkerAndTheTestButton) {
    sim::Placement& omi = place("OMI");
    for (double state : {0.0, 1.0, 2.0, 3.0}) {
        host.set_var(354, state);
        host.cycle();
        EXPECT_EQ(omi.element(1).image, int(state));
    }
    host.set_var(354, 1);
    ASSERT_TRUE(omi.click(95, 75));
    for (int i = 0; i < 17; ++i) {
        host.cycle();
        EXPECT_EQ(omi.element(1).image, 4) << i;
    }
    host.cycle();
    EXPECT_EQ(omi.element(1).image, 1);
    // Holding the button restarts the test and clicks on every repeat.
    ASSERT_TRUE(omi.hold(95, 75, MOUSE_LEFTSINGLE, 2));
    size_t clicks = 0;
    for (const auto& s : sound_inspect::played()) clicks += s.wave_id == 10;
    EXPECT_GE(clicks, 1u);
    host.cycles(17);
    EXPECT_EQ(omi.element(1).image, 4);
    host.cycle();
    EXPECT_EQ(omi.element(1).image, 1);
    EXPECT_EQ(omi.tooltip(5, 5), sim::SimHost::help_text(0xAB50));
    for (double v : kHostileValues) {
        host.set_var(354, v);
        host.cycle();
        EXPECT_EQ(omi.element(1).image, -1) << v;
    }
}

}  // namespace
