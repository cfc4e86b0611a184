// The propeller synchroniser switch: its picture, its click and its tooltip.
#include "tests/click_sounds.h"
#include "tests/host_fixture.h"
#include "tests/hostile_values.h"

TEST_F(ModuleTest, SynchroniserSwitchFollowsTheSimulatorAndTogglesIt) {
    sim::Placement& p = place("Prop_Synch_Switch");
    host.cycle();
    ASSERT_EQ(p.element_count(), 2u);
    EXPECT_EQ(p.element(0).bitmap, 1480);
    EXPECT_EQ(p.element(1).bitmap, 1490);
    EXPECT_EQ(p.element(1).image, 0);  // 1490: off
    EXPECT_EQ(p.record<IconElement>(1)->image_count, 2u);
    EXPECT_EQ(p.tooltip(18, 28), "Propeller synchroscope switch (off)");
    host.set_var(788, 1);
    host.cycle();
    EXPECT_EQ(p.element(1).image, 1);  // 1491: on
    EXPECT_EQ(p.tooltip(18, 28), "Propeller synchroscope switch (on)");
    host.set_var(788, 0.25);
    EXPECT_EQ(p.tooltip(18, 28), "Propeller synchroscope switch (on)");
    host.set_var(788, -1);
    EXPECT_EQ(p.tooltip(18, 28), "Propeller synchroscope switch (off)");

    EXPECT_EQ(p.cursor(0, 0), CURSOR_HAND);
    EXPECT_EQ(p.cursor(35, 56), CURSOR_HAND);
    EXPECT_TRUE(p.click(18, 28));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{66287, 0}}));
    EXPECT_FALSE(p.click(18, 28, MOUSE_RIGHTSINGLE));
    EXPECT_EQ(host.events().size(), 1u);
}

TEST_F(ModuleTest, SynchroniserSwitchReadsOffForImpossibleStates) {
    sim::Placement& p = place("Prop_Synch_Switch");
    for (double v : kHostileValues) {
        host.set_var(788, v);
        host.cycle();
        EXPECT_EQ(p.tooltip(18, 28), v > 0 ? "Propeller synchroscope switch (on)"
                                           : "Propeller synchroscope switch (off)");
    }
}

TEST_F(ModuleTest, SynchroniserSwitchClicksOncePerClick) {
    sim::Placement& p = place("Prop_Synch_Switch");
    EXPECT_EQ(sound_inspect::live().buffers, 1);
    p.click(18, 28);
    EXPECT_EQ(sounds_heard(), 1u);
    p.click(18, 28);  // still sounding: not restarted
    EXPECT_EQ(sounds_heard(), 1u);
    host.cycles(2);
    p.click(18, 28);
    EXPECT_EQ(sounds_heard(), 2u);
    EXPECT_EQ(host.events().size(), 3u);
    host.kill(p);
    EXPECT_EQ(sound_inspect::live().devices, 0);
    EXPECT_EQ(sound_inspect::live().buffers, 0);
}
