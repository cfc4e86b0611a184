// The two NAV radio panels, each run through the same cases with its own
// tokens and events: digit drums, knobs, switches, identification tones,
// tooltips, sounds and hostile frequency words.
#include <cmath>
#include <cstdio>
#include <ostream>
#include <limits>
#include <string>
#include <vector>

#include "platform/linux/sound_inspect.h"
#include "tests/host_fixture.h"

namespace {

struct NavCase {
    const char* gauge;
    const char* other_gauge;
    uint32_t token, other_token;
    uint32_t mhz_up, mhz_down, decimal_up, decimal_down, tone_on, tone_off;
    uint32_t failure_key;
    int32_t background;
    const char* label;  // "NAV1"
};

const NavCase kNav1{"Radio_NAV1", "Radio_NAV2", 24, 27, 65641, 65640, 65643, 65642, 65837, 65832, 14, 2090, "NAV1"};
const NavCase kNav2{"Radio_NAV2", "Radio_NAV1", 27, 24, 65645, 65644, 65647, 65646, 65838, 65833, 15, 2100, "NAV2"};

void PrintTo(const NavCase& c, std::ostream* os) { *os << c.gauge; }

struct At {
    int32_t x, y;
};
constexpr At kMhzDown{20, 20}, kMhzUp{40, 20}, kDecimalDown{195, 20}, kDecimalUp{215, 20}, kMain{70, 75},
    kTone{120, 70}, kFrequency{100, 20};

// Elements in drawing order.
enum : size_t {
    kSecondDecimal = 1, kFirstDecimal, kDecimalPoint, kUnits, kTens, kLeadingOne, kDecimalKnob, kMhzKnob,
    kToneSwitch, kMainSwitch, kLamp
};
const size_t kDisplays[] = {kSecondDecimal, kFirstDecimal, kDecimalPoint, kUnits, kTens, kLeadingOne};

class NavTest : public ModuleTest, public ::testing::WithParamInterface<NavCase> {
protected:
    const NavCase& nav = GetParam();

    sim::Placement& panel(uint32_t word) {
        host.set_var_low_word(nav.token, word);
        sim::Placement& p = place(nav.gauge);
        host.cycle();
        return p;
    }
    std::vector<uint32_t> ids() const {
        std::vector<uint32_t> v;
        for (auto& e : host.events()) v.push_back(e.id);
        return v;
    }
    std::string frequency_tip(const char* mhz) const {
        return std::string("Navigation Radio ") + nav.label + " - " + mhz + " MHz";
    }
    // The drums' values: tens, units, first and second decimal.
    std::vector<double> drums(sim::Placement& p) const {
        return {p.element(kTens).value_y, p.element(kUnits).value_y, p.element(kFirstDecimal).value_y,
                p.element(kSecondDecimal).value_y};
    }
};

}  // namespace

TEST_P(NavTest, ElementsAreThePanelsOwn) {
    sim::Placement& p = panel(0x0850);
    const int32_t bitmaps[] = {nav.background, 2010, 2010, 2070, 2010, 2020, 2030, 2000, 2000, 2050, 2040, 2060};
    ASSERT_EQ(p.element_count(), 12u);
    for (size_t i = 0; i < 12; ++i) EXPECT_EQ(p.element(i).bitmap, bitmaps[i]) << i;
    for (size_t i : {kSecondDecimal, kFirstDecimal, kDecimalPoint, kUnits, kTens, kLeadingOne, kToneSwitch, kLamp}) {
        const FailureRecord* f = p.element(i).record->failures;
        ASSERT_NE(f, nullptr) << i;
        EXPECT_EQ(f[0].key, 21u);
        EXPECT_EQ(f[0].action, 3u);
        EXPECT_EQ(f[1].key, nav.failure_key);
        EXPECT_EQ(f[1].action, 0u);
        EXPECT_EQ(f[2].key, 0u);
    }
    EXPECT_EQ(p.element(kMainSwitch).record->failures, nullptr);
    EXPECT_EQ(p.record<MovingImageElement>(kTens)->max_y, 1.0);
    EXPECT_EQ(p.record<MovingImageElement>(kUnits)->max_y, 10.0);
}

TEST_P(NavTest, FrequencyWordDecodesOntoTheDrumsKnobsAndTooltip) {
    sim::Placement& p = panel(0x0850);
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip("108.500"));
    EXPECT_EQ(drums(p), (std::vector<double>{0, 8, 5, 0}));
    EXPECT_NEAR(p.element(kMhzKnob).angle, 0, 1e-9);  // 45 degrees per MHz from 108
    EXPECT_NEAR(p.element(kDecimalKnob).angle, 180, 1e-9);  // 3.6 degrees per hundredth
    struct {
        uint32_t word;
        const char* shown;
        std::vector<double> drums;
    } cases[] = {{0x1705, "117.050", {1, 7, 0, 5}}, {0x1000, "110.000", {1, 0, 0, 0}},
                 {0x0999, "109.990", {0, 9, 9, 9}}, {0x1234, "112.340", {1, 2, 3, 4}},
                 {0x0000, "100.000", {0, 0, 0, 0}}, {0x1199, "111.990", {1, 1, 9, 9}}};
    for (auto& c : cases) {
        host.set_var_low_word(nav.token, c.word, 0xFFFFFFFF);  // the upper half is not read
        host.cycle();
        EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip(c.shown)) << c.word;
        EXPECT_EQ(drums(p), c.drums) << c.word;
    }
    // Every digit in every position.
    for (uint32_t d = 0; d <= 9; ++d) {
        host.set_var_low_word(nav.token, 0x1000 | d << 8 | d << 4 | (9 - d));
        host.cycle();
        EXPECT_EQ(drums(p), (std::vector<double>{1, double(d), double(d), double(9 - d)})) << d;
        EXPECT_NEAR(p.element(kMhzKnob).angle, (110 + d - 108) * 45.0, 1e-9);
        EXPECT_NEAR(p.element(kDecimalKnob).angle, (10 * d + 9 - d) * 3.6, 1e-9);
    }
    // The other receiver's frequency is not this panel's.
    host.set_var_low_word(nav.other_token, 0x0850);
    host.cycle();
    EXPECT_EQ(drums(p), (std::vector<double>{1, 9, 9, 0}));
}

TEST_P(NavTest, DrumsAreLitWhileOnUnlitButShownWhileOffAndBit31IsClearedEveryCycle) {
    sim::Placement& p = panel(0x1130);
    auto check = [&](bool lit) {
        for (size_t i : kDisplays) {
            p.record<ElementHeader>(i)->image_flags |= IMAGE_BIT31;
        }
        host.cycle();
        for (size_t i : kDisplays) {
            SCOPED_TRACE(i);
            EXPECT_EQ(p.element(i).lit, lit);
            EXPECT_FALSE(p.element(i).hidden);
            EXPECT_EQ(p.element(i).image_flags & IMAGE_BIT31, 0u);
            EXPECT_EQ(p.element(i).image_flags & ~IMAGE_LIT, 0x83u);
        }
        EXPECT_EQ(p.element(kDecimalPoint).image, 0);
        EXPECT_EQ(p.element(kLeadingOne).image, 0);
        EXPECT_EQ(drums(p), (std::vector<double>{1, 1, 3, 0}));
    };
    check(false);
    EXPECT_EQ(p.element(kLamp).image, -1);
    p.click(kMain.x, kMain.y);
    check(true);
    EXPECT_EQ(p.element(kLamp).image, 0);
    p.click(kMain.x, kMain.y);
    check(false);
}

TEST_P(NavTest, SwitchesKeepTheToneInStepAndInstallStartsTheSetOff) {
    sim::Placement& p = panel(0x1130);
    struct Step {
        At click;
        std::vector<uint32_t> per_cycle;
        int tone_image, main_image;
    } steps[] = {{kTone, {}, 1, 0}, {kMain, {nav.tone_on, nav.tone_on}, 1, 1}, {kTone, {nav.tone_off}, 0, 1},
                 {kMain, {nav.tone_off, nav.tone_off}, 0, 0}};
    steps[0].per_cycle = {nav.tone_off};
    for (auto& s : steps) {
        p.click(s.click.x, s.click.y);
        host.clear_events();
        host.cycle();
        EXPECT_EQ(ids(), s.per_cycle);
        EXPECT_EQ(p.element(kToneSwitch).image, s.tone_image);
        EXPECT_EQ(p.element(kMainSwitch).image, s.main_image);
    }
    EXPECT_EQ(p.tooltip(kTone.x, kTone.y), "Tone switch (off)");
    EXPECT_EQ(p.tooltip(kMain.x, kMain.y), "Main switch (off)");
    p.click(kMain.x, kMain.y);
    p.click(kTone.x, kTone.y);
    EXPECT_EQ(p.tooltip(kTone.x, kTone.y), "Tone switch (on)");
    EXPECT_EQ(p.tooltip(kMain.x, kMain.y), "Main switch (on)");

    // The other receiver's panel keeps its own switches.
    sim::Placement& other = place(nav.other_gauge);
    host.cycle();
    EXPECT_EQ(other.element(kMainSwitch).image, 0);
    EXPECT_EQ(p.element(kMainSwitch).image, 1);

    // A panel installed again starts off, and says so to the simulator.
    host.clear_events();
    sim::Placement& again = place(nav.gauge);
    EXPECT_EQ(ids(), (std::vector<uint32_t>{nav.tone_off}));
    host.cycle();
    EXPECT_EQ(again.element(kMainSwitch).image, 0);
    EXPECT_EQ(again.element(kToneSwitch).image, 0);
    EXPECT_EQ(p.element(kMainSwitch).image, 0);  // the switches are the module's, shared
}

TEST_P(NavTest, KnobsStepOnlyWhileOnAndTheWholeMegahertzStopsAt108And117) {
    sim::Placement& p = panel(0x1700);
    // Off: no knob sends anything, but each click refreshes the stored frequency.
    host.set_var_low_word(nav.token, 0x1242);
    for (At at : {kMhzUp, kMhzDown, kDecimalUp, kDecimalDown}) p.click(at.x, at.y);
    EXPECT_EQ(host.events().size(), 3u);  // only the tone-off events of install and the first cycle
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip("112.420"));

    p.click(kMain.x, kMain.y);
    struct {
        uint32_t word;
        At at;
        std::vector<uint32_t> sent;
    } cases[] = {{0x1700, kMhzUp, {}},           {0x1699, kMhzUp, {nav.mhz_up}},
                 {0x0800, kMhzDown, {}},         {0x0899, kMhzDown, {}},
                 {0x0900, kMhzDown, {nav.mhz_down}}, {0x1000, kMhzDown, {nav.mhz_down}},
                 {0x0999, kMhzUp, {nav.mhz_up}}, {0x1795, kDecimalUp, {nav.decimal_up}},
                 {0x1700, kDecimalDown, {nav.decimal_down}}, {0x0800, kDecimalDown, {nav.decimal_down}},
                 {0x1799, kDecimalUp, {nav.decimal_up}}};
    for (auto& c : cases) {
        host.set_var_low_word(nav.token, c.word);
        host.clear_events();
        p.click(c.at.x, c.at.y);
        EXPECT_EQ(ids(), c.sent) << std::hex << c.word;
        for (auto& e : host.events()) EXPECT_EQ(e.value, 0u);
    }
    // Held knobs repeat.
    host.set_var_low_word(nav.token, 0x1000);
    host.clear_events();
    p.hold(kDecimalUp.x, kDecimalUp.y, MOUSE_LEFTSINGLE, 4);
    EXPECT_EQ(ids(), std::vector<uint32_t>(5, nav.decimal_up));
    host.clear_events();
    p.hold(kMhzUp.x, kMhzUp.y, MOUSE_LEFTSINGLE, 2);
    EXPECT_EQ(ids(), std::vector<uint32_t>(3, nav.mhz_up));
    EXPECT_EQ(p.cursor(kMhzUp.x, kMhzUp.y), CURSOR_UPARROW);
    EXPECT_EQ(p.cursor(kDecimalDown.x, kDecimalDown.y), CURSOR_DOWNARROW);
    EXPECT_EQ(p.cursor(kMain.x, kMain.y), CURSOR_HAND);
}

// The simulator tunes and wraps the decimal part; a held whole-MHz knob
// runs to its stop and no further.
// A knob click reads the frequency again before it steps, even with the
// set off: the tooltip shows the new part at once, before the next cycle.
TEST_P(NavTest, KnobClicksRefreshTheStoredFrequencyEvenWhileOff) {
    sim::Placement& p = panel(0x0850);
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip("108.500"));
    host.set_var_low_word(nav.token, 0x1275);
    host.clear_events();
    p.click(kDecimalUp.x, kDecimalUp.y);
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip("108.750"));
    p.click(kMhzUp.x, kMhzUp.y);
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip("112.750"));
    host.set_var_low_word(nav.token, 0x0925);
    p.click(kDecimalDown.x, kDecimalDown.y);
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip("112.250"));
    p.click(kMhzDown.x, kMhzDown.y);
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip("109.250"));
    for (auto& e : host.events()) EXPECT_EQ(e.id, nav.tone_off);  // the set is off: no step
}

TEST_P(NavTest, HeldWholeMegahertzKnobRunsToItsStopsWithTheSimulator) {
    int mhz = 112;
    auto write = [&] {
        uint32_t tens = mhz >= 110 ? 1 : 0;
        host.set_var_low_word(nav.token, tens << 12 | uint32_t(mhz % 10) << 8 | 0x25);
    };
    host.on_event(nav.mhz_up, [&](uint32_t) { ++mhz, write(); });
    host.on_event(nav.mhz_down, [&](uint32_t) { --mhz, write(); });
    write();
    sim::Placement& p = place(nav.gauge);
    p.click(kMain.x, kMain.y);
    p.hold(kMhzUp.x, kMhzUp.y, MOUSE_LEFTSINGLE, 20);
    EXPECT_EQ(mhz, 117);
    host.cycle();
    EXPECT_EQ(drums(p), (std::vector<double>{1, 7, 2, 5}));
    p.hold(kMhzDown.x, kMhzDown.y, MOUSE_LEFTSINGLE, 20);
    EXPECT_EQ(mhz, 108);
    host.cycle();
    EXPECT_EQ(drums(p), (std::vector<double>{0, 8, 2, 5}));
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), frequency_tip("108.250"));
}

TEST_P(NavTest, SwitchClicksPlayWaveThirtyAndKnobsAreSilent) {
    sim::Placement& p = panel(0x1000);
    auto plays = [&](At at) {
        host.cycles(10);
        sound_inspect::clear_played();
        p.click(at.x, at.y);
        for (auto& s : sound_inspect::played()) EXPECT_EQ(s.wave_id, 30u);
        return sound_inspect::played().size();
    };
    EXPECT_EQ(plays(kMain), 1u);
    EXPECT_EQ(plays(kTone), 1u);
    for (At at : {kMhzUp, kMhzDown, kDecimalUp, kDecimalDown}) EXPECT_EQ(plays(at), 0u);
    EXPECT_EQ(plays(kMain), 1u);
    EXPECT_EQ(plays(kTone), 1u);
}

// Two placements of one panel share the module's switches and click, and
// removing one leaves the other working.
TEST_P(NavTest, TwoPlacementsOfOnePanel) {
    sim::Placement& a = panel(0x1100);
    sim::Placement& b = place(nav.gauge);
    sim::Placement& other = place(nav.other_gauge);
    a.click(kMain.x, kMain.y);
    host.cycle();
    EXPECT_TRUE(a.element(kUnits).lit);
    EXPECT_TRUE(b.element(kUnits).lit);
    EXPECT_FALSE(other.element(kUnits).lit);
    // Each placement's flags are its own record's.
    b.record<ElementHeader>(kUnits)->image_flags |= IMAGE_HIDDEN;
    host.cycle();
    EXPECT_FALSE(a.element(kUnits).hidden);
    host.kill(a);
    host.cycles(10);
    sound_inspect::clear_played();
    b.click(kTone.x, kTone.y);
    EXPECT_EQ(sound_inspect::played().size(), 1u);
    host.cycle();
    EXPECT_EQ(b.element(kToneSwitch).image, 1);
    EXPECT_EQ(other.element(kToneSwitch).image, 0);
    EXPECT_TRUE(sound_inspect::misuse().empty());
}

TEST_P(NavTest, HostileFrequencyWordsKeepTheDrumsOnTheirStrips) {
    sim::Placement& p = panel(0x1000);
    p.click(kMain.x, kMain.y);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const uint32_t words[] = {0xFFFFFFFF, 0xFFFF, 0xAAAA, 0x1FFF, 0x0FFF, 0x80000000, 0xF0F0F0F0, 0x9AFB};
    for (uint32_t w : words) {
        host.set_var_low_word(nav.token, w, w);
        host.cycle();
        for (At at : {kMhzUp, kMhzDown, kDecimalUp, kDecimalDown}) p.click(at.x, at.y);
        host.cycle();
        for (size_t i : {kSecondDecimal, kFirstDecimal, kUnits}) {
            EXPECT_GE(p.element(i).value_y, 0) << std::hex << w;
            EXPECT_LE(p.element(i).value_y, 10) << std::hex << w;
        }
        EXPECT_GE(p.element(kTens).value_y, 0);
        EXPECT_LE(p.element(kTens).value_y, 1);
        EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y).rfind("Navigation Radio ", 0), 0u);
    }
    host.set_var(nav.token, nan);
    host.cycle();
    EXPECT_EQ(drums(p), (std::vector<double>{0, 0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(BothReceivers, NavTest, ::testing::Values(kNav1, kNav2),
                         [](const auto& info) { return std::string(info.param.label); });
