// The COM radio panel: thumbwheels and channel wheel, their stops, the
// main switch and lamp, tooltips, sound and hostile frequency words.
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/sound_inspect.h"
#include "tests/host_fixture.h"

namespace {

struct At {
    int32_t x, y;
};
constexpr At kTensDown{50, 30}, kTensUp{75, 30}, kUnitsDown{100, 30}, kUnitsUp{130, 30}, kDecimalDown{155, 30},
    kDecimalUp{180, 30}, kChannelDown{205, 30}, kChannelUp{225, 30}, kMain{40, 160}, kFrequency{120, 100};
const At kWheels[] = {kTensDown, kTensUp, kUnitsDown, kUnitsUp, kDecimalDown, kDecimalUp, kChannelDown, kChannelUp};

enum : size_t { kFirstDecimal = 1, kUnits, kTens, kChannel, kSwitch, kLamp };
enum : uint32_t { kMhzUp = 65637, kMhzDown = 65636, kStepUp = 65639, kStepDown = 65638 };
constexpr uint32_t kFrequencyToken = 23;

class Com1Test : public ModuleTest {
protected:
    sim::Placement& panel(uint32_t word) {
        host.set_var_low_word(kFrequencyToken, word);
        sim::Placement& p = place("Radio_COM1");
        host.cycle();
        return p;
    }
    // The events one click sends, after the wheels have been drawn at `word`.
    std::vector<sim::KeyEvent> click(sim::Placement& p, uint32_t word, At at) {
        host.set_var_low_word(kFrequencyToken, word);
        host.cycle();
        host.clear_events();
        p.click(at.x, at.y);
        return host.events();
    }
    // The wheels' images: tens, units, first decimal, channel.
    std::vector<int> wheels(sim::Placement& p) const {
        return {p.element(kTens).image, p.element(kUnits).image, p.element(kFirstDecimal).image,
                p.element(kChannel).image};
    }
};

std::vector<sim::KeyEvent> times(uint32_t id, int n) { return std::vector<sim::KeyEvent>(n, sim::KeyEvent{id, 0}); }

}  // namespace

TEST_F(Com1Test, InstallSilencesTheNav1ToneAndTheFrequencyDecodesOntoTheWheels) {
    host.set_var_low_word(kFrequencyToken, 0x1802);
    sim::Placement& p = place("Radio_COM1");
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{65832, 0}}));
    host.cycle();
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), "Communications Radio COM1 - 118.020 MHz");
    EXPECT_EQ(p.tooltip(10, 10), "Communications Radio COM1 - 118.020 MHz");
    EXPECT_EQ(wheels(p), (std::vector<int>{1, 8, 0, 1}));
    struct {
        uint32_t word;
        const char* mhz;
        std::vector<int> wheels;
    } cases[] = {{0x3297, "132.970", {3, 2, 9, 3}}, {0x2550, "125.500", {2, 5, 5, 0}},
                 {0x3500, "135.000", {3, 5, 0, 0}}, {0x1975, "119.750", {1, 9, 7, 2}},
                 {0x2013, "120.130", {2, 0, 1, 0}}, {0x2468, "124.680", {2, 4, 6, 0}},
                 // The first word of each decade of the thousands digit.
                 {0x3000, "130.000", {3, 0, 0, 0}}, {0x2000, "120.000", {2, 0, 0, 0}},
                 {0x1800, "118.000", {1, 8, 0, 0}}};
    for (auto& c : cases) {
        host.set_var_low_word(kFrequencyToken, c.word, 0x12345678);
        host.cycle();
        EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), std::string("Communications Radio COM1 - ") + c.mhz + " MHz");
        EXPECT_EQ(wheels(p), c.wheels) << std::hex << c.word;
    }
    // The channel wheel: .x00, .x25, .x50, .x75, and image 0 for any other last digit.
    const int channel_of[] = {0, 0, 1, 0, 0, 2, 0, 3, 0, 0};
    for (uint32_t d = 0; d <= 9; ++d) {
        host.set_var_low_word(kFrequencyToken, 0x1840 | d);
        host.cycle();
        EXPECT_EQ(p.element(kChannel).image, channel_of[d]) << d;
    }
}

TEST_F(Com1Test, TensAndUnitsWheelsKeepTheWholeMegahertzWithin118And135) {
    sim::Placement& p = panel(0x2800);
    EXPECT_EQ(click(p, 0x2800, kTensDown), times(kMhzDown, 10));
    EXPECT_EQ(click(p, 0x2799, kTensDown), times(kMhzDown, 0));
    EXPECT_EQ(click(p, 0x2500, kTensUp), times(kMhzUp, 10));
    EXPECT_EQ(click(p, 0x2600, kTensUp), times(kMhzUp, 0));
    EXPECT_EQ(click(p, 0x3500, kTensDown), times(kMhzDown, 10));
    EXPECT_EQ(click(p, 0x1800, kTensUp), times(kMhzUp, 10));
    EXPECT_EQ(click(p, 0x2000, kUnitsDown), times(kMhzDown, 0));  // units digit 0
    EXPECT_EQ(click(p, 0x1800, kUnitsDown), times(kMhzDown, 0));  // the floor
    EXPECT_EQ(click(p, 0x1900, kUnitsDown), times(kMhzDown, 1));
    EXPECT_EQ(click(p, 0x2800, kUnitsUp), times(kMhzUp, 0));      // units digit 8
    EXPECT_EQ(click(p, 0x2700, kUnitsUp), times(kMhzUp, 1));
    EXPECT_EQ(click(p, 0x3400, kUnitsUp), times(kMhzUp, 1));
    EXPECT_EQ(click(p, 0x3500, kUnitsUp), times(kMhzUp, 0));      // the ceiling
    EXPECT_EQ(click(p, 0x2100, kUnitsDown), times(kMhzDown, 1));
}

// The whole-MHz wheels decide on the frequency as the click finds it in
// the simulator, not as the last cycle decoded it.
TEST_F(Com1Test, WholeMegahertzWheelsReadTheFrequencyAtTheClick) {
    sim::Placement& p = panel(0x1950);  // 119.50 drawn: units digit 9
    auto click_now = [&](uint32_t word, At at) {
        host.set_var_low_word(kFrequencyToken, word);
        host.clear_events();
        p.click(at.x, at.y);
        return host.events();
    };
    EXPECT_EQ(click_now(0x1850, kUnitsDown), times(kMhzDown, 0));  // 118: the floor
    host.set_var_low_word(kFrequencyToken, 0x3450);  // 134.50 drawn: units digit 4
    host.cycle();
    EXPECT_EQ(click_now(0x3550, kUnitsUp), times(kMhzUp, 0));  // 135: the ceiling
    host.set_var_low_word(kFrequencyToken, 0x2750);
    host.cycle();
    EXPECT_EQ(click_now(0x1850, kTensDown), times(kMhzDown, 0));
    EXPECT_EQ(click_now(0x2850, kTensDown), times(kMhzDown, 10));
    EXPECT_EQ(click_now(0x2650, kTensUp), times(kMhzUp, 0));
    EXPECT_EQ(click_now(0x2550, kTensUp), times(kMhzUp, 10));
}

TEST_F(Com1Test, UnitsWheelWaitsForItsFirstDrawing) {
    host.set_var_low_word(kFrequencyToken, 0x2500);
    sim::Placement& p = place("Radio_COM1");
    host.clear_events();
    p.click(kUnitsDown.x, kUnitsDown.y);
    EXPECT_TRUE(host.events().empty());
    host.cycle();
    host.clear_events();
    p.click(kUnitsDown.x, kUnitsDown.y);
    EXPECT_EQ(host.events(), times(kMhzDown, 1));
}

TEST_F(Com1Test, DecimalAndChannelWheelsStepAndLeaveTheWrapToTheSimulator) {
    sim::Placement& p = panel(0x1800);
    EXPECT_EQ(click(p, 0x1800, kDecimalDown), times(kStepDown, 4));
    EXPECT_EQ(click(p, 0x3597, kDecimalUp), times(kStepUp, 4));
    EXPECT_EQ(click(p, 0x1800, kChannelDown), times(kStepDown, 1));
    EXPECT_EQ(click(p, 0x3597, kChannelUp), times(kStepUp, 1));
    // The two channel areas overlap; the host takes the first, the down wheel.
    EXPECT_EQ(click(p, 0x2000, {216, 30}), times(kStepDown, 1));
    // Held wheels repeat.
    host.clear_events();
    p.hold(kChannelUp.x, kChannelUp.y, MOUSE_LEFTSINGLE, 3);
    EXPECT_EQ(host.events(), times(kStepUp, 4));
    // A click stores the decimal part at once: the channel wheel shows it
    // before the next update notice, the tooltip only after it.
    host.set_var_low_word(kFrequencyToken, 0x2075);
    p.click(kChannelUp.x, kChannelUp.y);
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), "Communications Radio COM1 - 120.000 MHz");
    p.compute_drawn();
    EXPECT_EQ(p.element(kChannel).image, 2);  // last digit 5: the .x50 channel
    // A whole MHz stored outside 118 to 135 holds the decimal wheels.
    EXPECT_EQ(click(p, 0x3600, kDecimalUp), times(kStepUp, 0));
    EXPECT_EQ(click(p, 0x3600, kChannelUp), times(kStepUp, 0));
    EXPECT_EQ(click(p, 0x1700, kDecimalDown), times(kStepDown, 0));
    EXPECT_EQ(click(p, 0x1700, kChannelDown), times(kStepDown, 0));
    for (At at : kWheels) EXPECT_EQ(p.cursor(at.x, at.y), (at.x == kTensDown.x || at.x == kUnitsDown.x ||
                                                          at.x == kDecimalDown.x || at.x == kChannelDown.x)
                                                             ? CURSOR_DOWNARROW
                                                             : CURSOR_UPARROW);
}

TEST_F(Com1Test, MainSwitchMovesOnlyItsImageAndTheLampAndClicks) {
    sim::Placement& p = panel(0x2250);
    EXPECT_EQ(p.element(kSwitch).image, 0);
    EXPECT_EQ(p.element(kLamp).image, -1);
    EXPECT_EQ(p.tooltip(kMain.x, kMain.y), "COM1 main switch (off)");
    // Off, the wheels still tune.
    EXPECT_EQ(click(p, 0x2250, kTensUp), times(kMhzUp, 10));
    host.cycles(10);
    sound_inspect::clear_played();
    host.clear_events();
    p.click(kMain.x, kMain.y);
    EXPECT_TRUE(host.events().empty());
    ASSERT_EQ(sound_inspect::played().size(), 1u);
    EXPECT_EQ(sound_inspect::played()[0].wave_id, 30u);
    host.cycle();
    EXPECT_EQ(p.element(kSwitch).image, 1);
    EXPECT_EQ(p.element(kLamp).image, 0);
    EXPECT_EQ(p.tooltip(kMain.x, kMain.y), "COM1 main switch (on)");
    EXPECT_EQ(wheels(p), (std::vector<int>{2, 2, 5, 0}));
    EXPECT_FALSE(p.element(kUnits).lit);  // the wheels are not dimmed with the power
    // The wheels are silent.
    host.cycles(10);
    sound_inspect::clear_played();
    for (At at : kWheels) p.click(at.x, at.y);
    EXPECT_TRUE(sound_inspect::played().empty());
    EXPECT_EQ(p.element(kUnits).record->failures[1].key, 9u);
    EXPECT_EQ(p.element(kLamp).record->failures[0].key, 21u);
}

TEST_F(Com1Test, HostileFrequencyWordsShowOnlyImagesTheWheelsHave) {
    sim::Placement& p = panel(0x1800);
    const uint32_t words[] = {0xFFFFFFFF, 0, 0x0FFF, 0xFFF, 0x1AAA, 0x3FFF, 0x80000000, 0xF0F0F0F0, 0x10};
    for (uint32_t w : words) {
        host.set_var_low_word(kFrequencyToken, w, ~w);
        host.cycle();
        for (At at : kWheels) p.click(at.x, at.y);
        host.cycle();
        for (size_t i : {kFirstDecimal, kUnits, kTens}) {
            EXPECT_GE(p.element(i).value, 0) << std::hex << w;
            EXPECT_LE(p.element(i).value, 9) << std::hex << w;
        }
        EXPECT_GE(p.element(kChannel).value, 0);
        EXPECT_LE(p.element(kChannel).value, 3);
        EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y).rfind("Communications Radio COM1 - ", 0), 0u);
    }
    // Digits above 9 decode by the same rule, each decade from its own
    // first word: 0x2FFF is 120 + 15 MHz and 1.65, 0x30FF 130 + 0 and 1.65.
    for (auto [word, tip] : {std::pair<uint32_t, const char*>{0x2FFF, "136.650"}, {0x30FF, "131.650"},
                             {0x1FFF, "126.650"}}) {
        host.set_var_low_word(kFrequencyToken, word);
        host.cycle();
        EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), std::string("Communications Radio COM1 - ") + tip + " MHz")
            << std::hex << word;
    }
    // A word below 0x1000 reads below 110 MHz, not round the 32-bit circle.
    host.set_var_low_word(kFrequencyToken, 0x0512);
    host.cycle();
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), "Communications Radio COM1 - 099.120 MHz");
    host.set_var(kFrequencyToken, std::numeric_limits<double>::quiet_NaN());
    host.cycle();
    EXPECT_EQ(p.tooltip(kFrequency.x, kFrequency.y), "Communications Radio COM1 - 094.000 MHz");
}
