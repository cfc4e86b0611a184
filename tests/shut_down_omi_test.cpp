// The radio stack's cold start and the marker lamps.
#include <map>
#include <string>
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

// Every one of the eight switches the shut-down owns goes off, each seen
// on its own panel: the ADF main and tone switches, the COM1 main switch,
// the NAV1 and NAV2 main and tone switches, the transponder main switch.
TEST_F(ShutDownTest, SetUpNoticeTurnsOffEachOfTheEightSwitches) {
    struct Switch {
        const char* gauge;
        int32_t x, y;    // its click area
        size_t element;  // its picture: image 1 on, 0 off
    };
    const Switch switches[] = {{"Radio_ADF", 270, 250, 9},  {"Radio_ADF", 60, 220, 7},  {"Radio_COM1", 40, 160, 5},
                               {"Radio_NAV1", 70, 75, 10},  {"Radio_NAV1", 120, 70, 9}, {"Radio_NAV2", 70, 75, 10},
                               {"Radio_NAV2", 120, 70, 9},  {"Radio_XPDR", 40, 40, 7}};
    std::map<std::string, sim::Placement*> panels;
    for (const Switch& s : switches)
        if (!panels.count(s.gauge)) panels[s.gauge] = &place(s.gauge);
    sim::Placement& shut = place("Shut_Down");
    for (const Switch& s : switches) ASSERT_TRUE(panels[s.gauge]->click(s.x, s.y)) << s.gauge << " " << s.element;
    host.cycle();
    for (const Switch& s : switches) ASSERT_EQ(panels[s.gauge]->element(s.element).image, 1) << s.gauge << " " << s.element;

    host.set_var(60, 0.5);
    host.setup(shut);
    host.cycle();
    for (const Switch& s : switches) EXPECT_EQ(panels[s.gauge]->element(s.element).image, 0) << s.gauge << " " << s.element;
}

// The switches are module-wide: a radio whose gauge is on no panel at the
// set-up notice is switched off all the same, and shows it when placed
// again (its install keeps the switches as they are).
TEST_F(ShutDownTest, RadiosOnNoPanelAreSwitchedOffToo) {
    struct Switch {
        const char* gauge;
        int32_t x, y;
        size_t element;
    };
    const Switch switches[] = {{"Radio_ADF", 270, 250, 9}, {"Radio_ADF", 60, 220, 7}, {"Radio_COM1", 40, 160, 5},
                               {"Radio_XPDR", 40, 40, 7}};
    for (const Switch& s : switches) {
        sim::Placement& p = place(s.gauge);
        ASSERT_TRUE(p.click(s.x, s.y));
        host.cycle();
        ASSERT_EQ(p.element(s.element).image, 1) << s.gauge;
        host.remove(p);
    }
    host.set_var(60, 1);
    host.setup(place("Shut_Down"));
    for (const Switch& s : switches) {
        sim::Placement& p = place(s.gauge);
        host.cycle();
        EXPECT_EQ(p.element(s.element).image, 0) << s.gauge << " " << s.element;
        host.remove(p);
    }
}

using OmiTest = ModuleTest;

// One click per press, and one more on every repeat of a held button,
// each heard once the click before it has ended.
TEST_F(OmiTest, TestButtonClicksOncePerPressAndOnEveryRepeat) {
    sim::Placement& omi = place("OMI");
    auto plays = [] { return sound_inspect::calls(sound_inspect::Step::Play); };
    auto heard = [] {
        size_t n = 0;
        for (const auto& s : sound_inspect::played()) n += s.wave_id == 10;
        return n;
    };
    auto until_quiet = [&] {
        for (int i = 0; i < 1000; ++i) {
            bool playing = false;
            for (const auto& b : sound_inspect::buffers()) playing |= b.playing;
            if (!playing) return true;
            host.cycle();
        }
        return false;
    };
    ASSERT_TRUE(until_quiet());
    unsigned before = plays();
    ASSERT_TRUE(omi.click(95, 75));
    EXPECT_EQ(plays(), before + 1);
    EXPECT_EQ(heard(), 1u);
    ASSERT_TRUE(omi.hold(95, 75, MOUSE_LEFTSINGLE, 3));
    EXPECT_EQ(plays(), before + 1 + 4);
    // A press and its repeats, each after the click before has ended.
    ASSERT_TRUE(until_quiet());
    size_t was_heard = heard();
    ASSERT_TRUE(omi.press(95, 75, MOUSE_LEFTSINGLE));
    EXPECT_EQ(heard(), was_heard + 1);
    for (int repeat = 1; repeat <= 2; ++repeat) {
        ASSERT_TRUE(until_quiet());
        omi.press_repeat();
        EXPECT_EQ(heard(), was_heard + 1 + repeat);
    }
    omi.release();
    EXPECT_EQ(plays(), before + 1 + 4 + 3);
}

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
