// The radio altimeter, its decision-height lamp and its power switch: the
// dial, the knob, the lamp, the switch and the spoken call-outs of an
// approach.
#include <cmath>
#include <iterator>
#include <vector>

#include "platform/linux/sound_inspect.h"
#include "tests/hostile_values.h"
#include "tests/host_fixture.h"

namespace {

constexpr double kFoot = 1 / 3.28084;
enum : size_t { kPointer = 1, kMarker = 2, kKnob = 4 };
constexpr uint32_t kDhUp = 66321, kDhDown = 66322;

class RadioAltimeterTest : public ModuleTest {
protected:
    void switch_on() {
        sim::Placement& s = place("Radio_Altimeter_Switch");
        ASSERT_TRUE(s.click(20, 80));
        host.cycle();
    }
    // Vertical speed in feet per minute as the simulator gives it.
    void sink(double fpm) { host.set_var(65, fpm / 60 * 0.3048 * 256); }
    // The call-out waves heard so far, in order.
    static std::vector<uint32_t> callouts() {
        std::vector<uint32_t> waves;
        for (const auto& s : sound_inspect::played())
            if (s.wave_id >= 3290 && s.wave_id <= 3400) waves.push_back(s.wave_id);
        return waves;
    }
    // A steady descent from `from_ft` to the ground at `fpm`, `per_cycle`
    // feet per update.
    void descend(double from_ft, double fpm, double per_cycle) {
        sink(-fpm);
        for (double h = from_ft; h >= -per_cycle; h -= per_cycle) {
            host.set_var(614, std::max(h, 0.0) * kFoot);
            host.cycle();
        }
    }
    sim::Placement& altimeter(const char* params = "s1") {
        host.set_var(755, 30);
        host.set_var(614, 1200 * kFoot);
        sim::Placement& p = place("Radio_Altimeter", params);
        host.setup(p);
        sink(-700);
        host.cycles(40);  // the filter settles on the descent
        return p;
    }
};

TEST_F(RadioAltimeterTest, ApproachSpeaksEveryHeightOnceInOrderAtItsVolume) {
    switch_on();
    host.set_var(615, 250 * kFoot);
    sim::Placement& p = altimeter();
    descend(1200, 700, 2);
    const std::vector<uint32_t> expected = {3290, 3300, 3310, 3320, 3400, 3330, 3340,
                                            3350, 3360, 3370, 3380, 3390};
    EXPECT_EQ(callouts(), expected);
    for (const auto& s : sound_inspect::played())
        if (s.wave_id >= 3290) { EXPECT_EQ(s.volume, -500) << s.wave_id; }
    // On the ground with the height still 0 nothing repeats.
    host.cycles(300);
    EXPECT_EQ(callouts(), expected);
    host.kill(p);
    EXPECT_EQ(sound_inspect::live().buffers, 1);  // the switch's click alone
}

// Each call-out speaks on the first update at or below its height: the
// heights of the call-out table, and the decision height.
TEST_F(RadioAltimeterTest, EachCallOutSpeaksAsTheHeightReachesIt) {
    switch_on();
    host.set_var(615, 250 * kFoot);
    altimeter();
    const struct {
        uint32_t wave;
        double feet;
    } table[] = {{3290, 1000}, {3300, 500}, {3310, 400}, {3320, 300}, {3400, 250}, {3330, 200},
                 {3340, 100},  {3350, 50},  {3360, 40},  {3370, 30},  {3380, 20},  {3390, 10}};
    constexpr double kStep = 0.25;
    std::vector<std::pair<uint32_t, double>> heard;  // wave, height in feet
    for (double ft = 1200; ft >= 0; ft -= kStep) {
        host.set_var(614, ft * kFoot);
        host.cycle();
        std::vector<uint32_t> waves = callouts();
        for (size_t i = heard.size(); i < waves.size(); ++i) heard.push_back({waves[i], ft});
    }
    ASSERT_EQ(heard.size(), std::size(table));
    for (size_t i = 0; i < heard.size(); ++i) {
        EXPECT_EQ(heard[i].first, table[i].wave) << i;
        EXPECT_LE(heard[i].second, table[i].feet) << table[i].wave;
        EXPECT_GT(heard[i].second, table[i].feet - kStep - 1e-6) << table[i].wave;
    }
}

// Each record speaks only while the filtered sink rate is at least its
// own: 100 ft/min for 1000 ft, 50 for 500 to 100 ft and the decision
// height, 10 for 50 ft and below.
TEST_F(RadioAltimeterTest, EachCallOutNeedsItsOwnSinkRate) {
    switch_on();
    host.set_var(615, 250 * kFoot);
    altimeter();
    const struct {
        double fpm;
        std::vector<uint32_t> heard;
    } cases[] = {
        {100.5, {3290, 3300, 3310, 3320, 3400, 3330, 3340, 3350, 3360, 3370, 3380, 3390}},
        {99.5, {3300, 3310, 3320, 3400, 3330, 3340, 3350, 3360, 3370, 3380, 3390}},
        {50.5, {3300, 3310, 3320, 3400, 3330, 3340, 3350, 3360, 3370, 3380, 3390}},
        {49.5, {3350, 3360, 3370, 3380, 3390}},
        {10.5, {3350, 3360, 3370, 3380, 3390}},
        {9.5, {}},
    };
    for (const auto& c : cases) {
        host.set_var(614, 1300 * kFoot);
        sink(-c.fpm);
        host.cycles(300);  // the filter settles on the rate
        sound_inspect::clear_played();
        for (double ft = 1300; ft >= 0; ft -= 2) {
            host.set_var(614, ft * kFoot);
            host.cycle();
        }
        EXPECT_EQ(callouts(), c.heard) << c.fpm;
        host.cycles(100);  // the last recording ends
    }
}

// "s1" enables the call-outs whatever follows the 1, unless it is another
// digit (the number is then not 1).
TEST_F(RadioAltimeterTest, TheKeySFollowedByOneAloneEnablesTheCallOuts) {
    for (const char* params : {"s1", "s1a", "s1:", "s1 x", "xs1"}) {
        sim::SimHost h;
        ASSERT_NE(h.load_module(MORVANE_MODULE_PATH, nullptr), nullptr);
        // The power switch is module-wide: on whatever an earlier host left.
        sim::Placement* power = h.place("Radio_Altimeter_Switch", nullptr);
        h.cycle();
        if (power->element(1).image != 2) power->click(20, 80);
        h.set_var(755, 30);
        h.set_var(614, 1200 * kFoot);
        sim::Placement* p = h.place("Radio_Altimeter", params);
        h.setup(*p);
        h.set_var(65, -700.0 / 60 * 0.3048 * 256);
        h.cycles(40);
        sound_inspect::clear_played();
        for (double ft = 1200; ft >= 900; ft -= 5) h.set_var(614, ft * kFoot), h.cycle();
        EXPECT_EQ(callouts(), std::vector<uint32_t>{3290}) << params;
    }
}

// The recordings are loaded once, by the first placement that asks for
// them; a placement without the key loads none.
TEST_F(RadioAltimeterTest, RecordingsAreLoadedOnceAndOnlyWhenAskedFor) {
    const sound_inspect::LiveObjects before = sound_inspect::live();
    sim::Placement& quiet = place("Radio_Altimeter");
    EXPECT_EQ(sound_inspect::live(), before);
    sim::Placement& first = place("Radio_Altimeter", "s1");
    const sound_inspect::LiveObjects loaded = sound_inspect::live();
    EXPECT_EQ(loaded.devices, before.devices + 1);
    EXPECT_EQ(loaded.buffers, before.buffers + 12);
    sim::Placement& second = place("Radio_Altimeter", "s1");
    EXPECT_EQ(sound_inspect::live(), loaded);
    host.kill(second);
    host.kill(first);
    host.kill(quiet);
    EXPECT_EQ(sound_inspect::live().buffers, before.buffers);
    EXPECT_EQ(sound_inspect::live().devices, before.devices);
}

// A height held exactly on a call-out height is reached again on every
// update: the call-out speaks again once its recording has ended.
TEST_F(RadioAltimeterTest, AHeightHeldExactlyOnACallOutSpeaksAgainWhenItHasEnded) {
    switch_on();
    altimeter();
    host.set_var(614, 1000.5 * kFoot);
    host.cycle();
    host.set_var(614, 304.79999024640034);
    host.cycles(400);
    std::vector<uint32_t> heard = callouts();
    ASSERT_GE(heard.size(), 2u);
    for (uint32_t wave : heard) EXPECT_EQ(wave, 3290u);
}

TEST_F(RadioAltimeterTest, ACallOutStillSpeakingIsNotRestarted) {
    switch_on();
    altimeter();
    // Back and forth over 1000 ft within one recording.
    for (int i = 0; i < 3; ++i) {
        host.set_var(614, 1001 * kFoot);
        host.cycle();
        host.set_var(614, 999 * kFoot);
        host.cycle();
    }
    EXPECT_EQ(callouts(), std::vector<uint32_t>{3290});
}

TEST_F(RadioAltimeterTest, DecisionHeightZeroOnTheGroundDoesNotRepeat) {
    switch_on();
    host.set_var(615, 0);
    host.set_var(755, 30);
    host.set_var(614, 0);
    host.set_var(65, 0);
    sim::Placement& p = place("Radio_Altimeter", "s1");
    host.setup(p);
    host.cycles(600);
    EXPECT_TRUE(callouts().empty());
}

TEST_F(RadioAltimeterTest, SilentWithoutKeyPowerConditionOrSound) {
    for (const char* params : {"", "s0", "s=1", "s12", "s19", "s10", "/s1", "x"}) {
        sim::SimHost h;
        ASSERT_NE(h.load_module(MORVANE_MODULE_PATH, nullptr), nullptr);
        h.place("Radio_Altimeter_Switch", nullptr)->click(20, 80);
        h.set_var(755, 30);
        sim::Placement* p = h.place("Radio_Altimeter", params);
        h.setup(*p);
        h.set_var(65, -700.0 / 60 * 0.3048 * 256);
        for (double ft = 1200; ft >= 0; ft -= 5) h.set_var(614, ft * kFoot), h.cycle();
        EXPECT_TRUE(callouts().empty()) << params;
    }
    // Switched off, or the condition below 20.
    sim::Placement& p = altimeter();
    descend(1200, 700, 5);
    EXPECT_TRUE(callouts().empty());
    EXPECT_EQ(p.element(kPointer).value, 0);
}

TEST_F(RadioAltimeterTest, BelowTheConditionOrWithoutSoundNothingPlays) {
    switch_on();
    host.set_var(755, 19);
    host.set_var(614, 1200 * kFoot);
    sim::Placement& p = place("Radio_Altimeter", "s1");
    host.setup(p);
    sink(-700);
    host.cycles(40);
    descend(1200, 700, 5);
    EXPECT_TRUE(callouts().empty());
}

TEST_F(RadioAltimeterTest, NoSoundDeviceLeavesTheDialWorking) {
    sound_inspect::fail_step(sound_inspect::Step::CreateDevice);
    switch_on();
    sim::Placement& p = altimeter();
    descend(1200, 700, 5);
    EXPECT_TRUE(callouts().empty());
    host.set_var(614, 500 * kFoot);
    host.cycle();
    EXPECT_DOUBLE_EQ(p.element(kPointer).value, 500 * kFoot);
    sound_inspect::clear_failures();
}

TEST_F(RadioAltimeterTest, ClimbingThroughHeightsIsSilent) {
    switch_on();
    host.set_var(755, 30);
    host.set_var(614, 0);
    sim::Placement& p = place("Radio_Altimeter", "s1");
    host.setup(p);
    sink(1000);
    for (double ft = 0; ft <= 1500; ft += 5) host.set_var(614, ft * kFoot), host.cycle();
    EXPECT_TRUE(callouts().empty());
}

TEST_F(RadioAltimeterTest, DialMarkerAndKnob) {
    sim::Placement& p = place("Radio_Altimeter");
    host.set_var(614, 500 * kFoot);
    host.set_var(615, 200 * kFoot);
    host.cycle();
    EXPECT_EQ(p.element(kPointer).value, 0);  // off: rests at 0 ft
    double marker = p.element(kMarker).angle;
    EXPECT_NEAR(p.element(kKnob).angle, 20 * marker, 1e-6);
    host.set_var(615, 0);
    host.cycle();
    EXPECT_NEAR(p.element(kKnob).angle, 20 * p.element(kMarker).angle, 1e-6);
    host.set_var(615, 3000 * kFoot);  // beyond the stop
    host.cycle();
    EXPECT_NEAR(p.element(kKnob).angle, 20 * p.element(kMarker).angle, 1e-6);
    // Below, inside and beyond the marker's table, on and between its
    // entries: the knob keeps twenty times the marker's angle.
    for (double metres : {-5.0, -0.3047999902464003, -0.1, 0.0, 0.5, 100.0, 304.79999024640034, 500.0,
                          761.9999756160008, 1000.0, 30479.694224649786, 40000.0}) {
        host.set_var(615, metres);
        host.cycle();
        EXPECT_NEAR(p.element(kKnob).angle, 20 * p.element(kMarker).angle, 1e-6) << metres;
    }
    place("Radio_Altimeter_Switch").click(20, 80);
    host.cycle();
    EXPECT_DOUBLE_EQ(p.element(kPointer).value, 500 * kFoot);
    EXPECT_EQ(p.tooltip(10, 10), sim::SimHost::help_text(0x3009));
}

TEST_F(RadioAltimeterTest, DecisionHeightKnobSteps) {
    sim::Placement& p = place("Radio_Altimeter");
    struct Case {
        double feet;
        std::vector<sim::KeyEvent> up, down;
    };
    const Case cases[] = {
        {250, {{kDhUp, 1}}, {{kDhDown, 1}}},
        {500, {{kDhUp, 0}}, {{kDhDown, 0}}},
        {1000, {}, {{kDhDown, 0}}},
        {0, {{kDhUp, 1}}, {}},
    };
    auto check = [&](double metres, const Case& c) {
        host.set_var(615, metres);
        host.clear_events();
        p.click(290, 280);
        EXPECT_EQ(host.events(), c.up) << metres;
        host.clear_events();
        p.click(250, 280);
        EXPECT_EQ(host.events(), c.down) << metres;
    };
    for (const Case& c : cases) check(c.feet * 0.3048, c);
    // On the two steps' boundaries, as the simulator stores 300 and 1000 ft.
    check(91.4399970739201, {300, {{kDhUp, 0}}, {{kDhDown, 0}}});
    check(91.43999707392008, {300, {{kDhUp, 1}}, {{kDhDown, 1}}});
    check(304.79999024640034, {1000, {}, {{kDhDown, 0}}});
    check(304.7999902464003, {1000, {{kDhUp, 0}}, {{kDhDown, 0}}});
    check(0.001, {0, {{kDhUp, 1}}, {{kDhDown, 1}}});
}

TEST_F(RadioAltimeterTest, LampAndSwitchPictures) {
    sim::Placement& lamp = place("Radio_Altimeter_DH_Light");
    sim::Placement& sw = place("Radio_Altimeter_Switch");
    host.set_var(616, 1);
    host.set_var(60, 0);
    host.cycle();
    EXPECT_EQ(lamp.element(1).image, -1);  // off
    EXPECT_EQ(sw.element(1).image, 1);
    EXPECT_EQ(sw.tooltip(5, 5), "Radio-altimeter switch");
    EXPECT_EQ(lamp.tooltip(5, 5), "Radio-altimeter decision height light");
    sw.click(20, 80);
    host.cycle();
    EXPECT_EQ(sw.element(1).image, 2);
    EXPECT_EQ(lamp.element(1).image, 0);
    host.set_var(616, 0);
    host.cycle();
    EXPECT_EQ(lamp.element(1).image, -1);
    host.set_var(616, 1);
    host.set_var(60, 1.0);
    host.cycle();
    EXPECT_EQ(lamp.element(1).image, -1);
    size_t clicks = 0;
    for (const auto& s : sound_inspect::played()) clicks += s.wave_id == 10;
    EXPECT_EQ(clicks, 1u);
}

TEST_F(RadioAltimeterTest, HostileValuesStayDrawableAndSilent) {
    switch_on();
    sim::Placement& p = altimeter();
    sim::Placement& lamp = place("Radio_Altimeter_DH_Light");
    for (double v : kHostileValues) {
        for (uint32_t t : {614u, 615u, 616u, 65u, 60u, 755u}) host.set_var(t, v);
        host.cycles(2);
        for (size_t i : {kPointer, kKnob}) EXPECT_TRUE(std::isfinite(p.element(i).value)) << v;
        // A height that is no number, or endless, rests the pointer on 0 ft.
        if (!std::isfinite(v)) { EXPECT_EQ(p.element(kPointer).value, 0.0) << v; }
        EXPECT_GE(lamp.element(1).value, -1);
        EXPECT_LT(lamp.element(1).value, 1);
        p.click(290, 280);
        p.click(250, 280);
    }
    // The filter and the call-outs still work after the hostile values.
    host.set_var(755, 30);
    host.set_var(615, 0);
    host.set_var(614, 1200 * kFoot);
    sink(-700);
    host.cycles(60);
    size_t before = callouts().size();
    descend(1200, 700, 5);
    EXPECT_EQ(callouts().size(), before + 12);  // the heights and the decision height of 0 at touchdown
}

// ------------------------------------------------------------ call-out rules

// A placement with call-outs on, its set-up taken at `ft`, the vertical
// speed filter settled on `fpm` while the height stays there.
class CalloutTest : public RadioAltimeterTest {
protected:
    sim::Placement& settled_at(double ft, double fpm = -700) {
        host.set_var(755, 30);
        host.set_var(614, ft * kFoot);
        sim::Placement& p = place("Radio_Altimeter", "s1");
        host.setup(p);
        sink(fpm);
        host.cycles(60);
        return p;
    }
    void at(double ft) {
        host.set_var(614, ft * kFoot);
        host.cycle();
    }
};

// Only a height that came down onto or through a call-out speaks: rising
// through every height while the filter still says "sinking" is silent.
TEST_F(CalloutTest, RisingHeightWithADescendingVerticalSpeedPlaysNothing) {
    switch_on();
    settled_at(5);
    for (double ft = 5; ft <= 1500; ft += 5) at(ft);
    EXPECT_TRUE(callouts().empty());
}

// While the set is off the gauge still takes the height and filters the
// vertical speed every update, so switching on does not replay a height
// crossed while off, and a descent already under way speaks at once.
TEST_F(CalloutTest, PreviousHeightAndFilterStayCurrentWhileTheSetIsOff) {
    sim::Placement& power = place("Radio_Altimeter_Switch");
    settled_at(1200);
    for (double ft = 1200; ft >= 990; ft -= 5) at(ft);  // through 1000 ft, off
    ASSERT_TRUE(power.click(20, 80));                   // on
    at(985);
    EXPECT_TRUE(callouts().empty());

    // Climbing while on, then sinking while off: the filter follows.
    sink(700);
    at(1005);
    host.cycles(60);
    ASSERT_TRUE(power.click(20, 80));  // off
    sink(-700);
    host.cycles(60);
    ASSERT_TRUE(power.click(20, 80));  // on, and the next update crosses 1000 ft
    at(995);
    EXPECT_EQ(callouts(), std::vector<uint32_t>{3290});
}

// Two heights crossed in one update: only the first found speaks, and the
// second is not spoken later either.
TEST_F(CalloutTest, TwoHeightsCrossedInOneUpdatePlayOnlyTheFirst) {
    switch_on();
    settled_at(510);
    at(390);  // through 500 and 400
    at(385);
    EXPECT_EQ(callouts(), std::vector<uint32_t>{3300});
}

// A call-out that would speak again while its recording still plays is
// skipped, and the search goes on to the next record.
TEST_F(CalloutTest, ACallOutStillPlayingIsSkippedAndTheSearchGoesOn) {
    constexpr double k400Ft = 121.91999609856012;  // the 400-ft record's height
    switch_on();
    host.set_var(615, k400Ft);  // decision height at 400 ft
    settled_at(410);
    host.set_var(614, k400Ft);
    host.cycle();  // onto 400 ft: the decision height speaks first
    ASSERT_EQ(callouts(), std::vector<uint32_t>{3400});
    at(395);  // the decision height again, still speaking: skipped; 400 ft speaks
    EXPECT_EQ(callouts(), (std::vector<uint32_t>{3400, 3310}));
}

// The set-up notice takes the height the first update starts from.
TEST_F(CalloutTest, SetUpNoticeTakesTheFirstHeight) {
    switch_on();
    sim::Placement& p = settled_at(2000);
    host.set_var(614, 12 * kFoot);
    host.setup(p);
    at(8);  // from 12 ft down through 10 ft
    EXPECT_EQ(callouts(), std::vector<uint32_t>{3390});
}

}  // namespace
