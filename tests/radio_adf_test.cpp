// The ADF radio panel and the ADF bearing indicator, as the pilot and the
// simulator see them: tuning, bands, switches, readout, tone events,
// tooltips and the bearing pointer.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "gauges/radio/bcd.h"
#include "platform/linux/sound_inspect.h"
#include "tests/host_fixture.h"

namespace {

// Points inside the panel's click areas and tooltip regions.
struct At {
    int32_t x, y;
};
constexpr At kMainSwitch{270, 250}, kToneSwitch{60, 220}, kBandDown{140, 160}, kBandUp{200, 160},
    kTuneDown{140, 250}, kTuneUp{190, 250}, kWindow{160, 80}, kFrequencyRegion{300, 150};
constexpr At kDial{150, 120}, kCardKnobLeft{20, 260}, kCardKnobRight{60, 260};

enum : uint32_t { kToneOn = 65841, kToneOff = 65836, kSet = 66122 };
enum : size_t { kDisc = 1, kReadout = 3, kHandle = 4, kBandKnob = 5, kDrum = 6, kTone = 7, kLamp = 8, kMain = 9 };
enum : size_t { kPointer = 2, kCardKnob = 4 };

// The simulator's ADF receiver: the frequency in tenths of kHz, written to
// variables 16 and 18 as the simulator does, and moved by the ADF events.
struct AdfReceiver {
    sim::SimHost& host;
    int tenths = 0;

    void tune(double khz) {
        tenths = static_cast<int>(std::lround(khz * 10));
        write();
    }
    double khz() const { return tenths / 10.0; }
    void write() {
        int k = tenths / 10;
        uint32_t digits = uint32_t((k / 100) % 10) << 8 | uint32_t((k / 10) % 10) << 4 | uint32_t(k % 10);
        host.set_var_low_word(16, digits);
        host.set_var_low_word(18, (k >= 1000 ? 256 : 0) + tenths % 10);
    }
    void listen() {
        host.on_event(66542, [this](uint32_t) { tenths += 10, write(); });
        host.on_event(66543, [this](uint32_t) { tenths -= 10, write(); });
        host.on_event(66462, [this](uint32_t) { tenths += 1, write(); });
        host.on_event(66461, [this](uint32_t) { tenths -= 1, write(); });
        host.on_event(kSet, [this](uint32_t bcd) {
            int n = 0;
            for (int shift = 28; shift >= 0; shift -= 4) n = n * 10 + int((bcd >> shift) & 0xF);
            tenths = n;
            write();
        });
    }
};

class AdfTest : public ModuleTest {
protected:
    AdfReceiver receiver{host};

    sim::Placement& panel(double khz) {
        receiver.tune(khz);
        receiver.listen();
        sim::Placement& p = place("Radio_ADF");
        host.cycle();
        return p;
    }
    // Clicks, then lets the simulator's change reach the panel.
    void click(sim::Placement& p, At at, uint32_t button = MOUSE_LEFTSINGLE) {
        p.click(at.x, at.y, button);
        host.cycle();
    }
    size_t count(uint32_t event) const {
        size_t n = 0;
        for (auto& e : host.events()) n += e.id == event;
        return n;
    }
    std::vector<uint32_t> event_ids() const {
        std::vector<uint32_t> ids;
        for (auto& e : host.events()) ids.push_back(e.id);
        return ids;
    }
    std::string frequency_tip(sim::Placement& p) { return p.tooltip(kFrequencyRegion.x, kFrequencyRegion.y); }
};

std::string tip_of_khz(double khz) {
    char text[64];
    std::snprintf(text, sizeof text, "Navigation Radio ADF - %07.2f MHz", khz);
    return text;
}

}  // namespace

// ------------------------------------------------------------ the road of one click

TEST_F(AdfTest, RoadOfOneClickFromMainSwitchToIndicatorTooltip) {
    sim::Placement& radio = panel(350);
    sim::Placement& indicator = place("ADF_Indicator");
    host.set_var(39, 123.4);
    host.set_var(20, 100);
    host.cycle();
    EXPECT_EQ(radio.element(kLamp).image, -1);
    EXPECT_NEAR(indicator.element(kPointer).angle, 90, 1e-9);
    EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), "ADF position (None : ADF radio off)");
    EXPECT_EQ(radio.tooltip(kMainSwitch.x, kMainSwitch.y), "Main switch (off)");

    sound_inspect::clear_played();
    ASSERT_TRUE(radio.click(kMainSwitch.x, kMainSwitch.y));
    ASSERT_EQ(sound_inspect::played().size(), 1u);
    EXPECT_EQ(sound_inspect::played()[0].wave_id, 30u);
    EXPECT_EQ(radio.tooltip(kMainSwitch.x, kMainSwitch.y), "Main switch (on)");
    host.clear_events();
    host.cycle();
    EXPECT_EQ(radio.element(kLamp).image, 0);
    EXPECT_EQ(radio.element(kMain).image, 1);
    // Tone switch off: the tone stays off.
    EXPECT_EQ(event_ids(), (std::vector<uint32_t>{kToneOff}));
    EXPECT_NEAR(indicator.element(kPointer).angle, 123.4, 1e-9);
    EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), "ADF position (None : No ADF signal)");
    host.set_var(20, 255);
    EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), "ADF position (123\xB0)");

    // With the tone switch on as well, both switches ask for the tone.
    radio.click(kToneSwitch.x, kToneSwitch.y);
    host.clear_events();
    host.cycle();
    EXPECT_EQ(event_ids(), (std::vector<uint32_t>{kToneOn, kToneOn}));

    radio.click(kMainSwitch.x, kMainSwitch.y);
    host.cycle();
    EXPECT_NEAR(indicator.element(kPointer).angle, 90, 1e-9);
    EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), "ADF position (None : ADF radio off)");
}

TEST_F(AdfTest, ToneEventGoesOutOnlyWhileTheSetIsOn) {
    sim::Placement& p = panel(300);
    struct Case {
        bool power, tone;
        std::vector<uint32_t> events;
    } cases[] = {{false, false, {kToneOff, kToneOff}},
                 {false, true, {kToneOff}},
                 {true, false, {kToneOff}},
                 {true, true, {kToneOn, kToneOn}}};
    bool power = false, tone = false;
    for (const Case& c : cases) {
        if (c.power != power) p.click(kMainSwitch.x, kMainSwitch.y), power = c.power;
        if (c.tone != tone) p.click(kToneSwitch.x, kToneSwitch.y), tone = c.tone;
        host.clear_events();
        host.cycles(2);
        SCOPED_TRACE(std::to_string(c.power) + std::to_string(c.tone));
        std::vector<uint32_t> twice = c.events;
        twice.insert(twice.end(), c.events.begin(), c.events.end());
        EXPECT_EQ(event_ids(), twice);
        EXPECT_EQ(p.element(kTone).image, c.tone ? 1 : 0);
        EXPECT_EQ(p.element(kMain).image, c.power ? 1 : 0);
        EXPECT_EQ(p.element(kLamp).image, c.power ? 0 : -1);
        for (auto& e : host.events()) EXPECT_EQ(e.value, 0u);
    }
}

TEST_F(AdfTest, SwitchTooltipsFollowTheSimulatorToneAndTheMainSwitch) {
    sim::Placement& p = panel(300);
    for (auto [value, word] : {std::pair{1.0, "on"}, {0.0, "off"}, {0.5, "off"}, {2.0, "off"},
                               {std::numeric_limits<double>::quiet_NaN(), "off"}}) {
        host.set_var(880, value);
        EXPECT_EQ(p.tooltip(kToneSwitch.x, kToneSwitch.y), std::string("ADF tone switch (") + word + ")");
    }
    EXPECT_EQ(p.tooltip(kBandDown.x, kBandDown.y), "Frequency band selector");
    EXPECT_EQ(p.tooltip(kTuneDown.x, kTuneDown.y), "Tuning handle (0300.00 MHz)");
    EXPECT_EQ(p.tooltip(kWindow.x, kWindow.y), "Navigation Radio ADF - 0300.00 MHz");
    EXPECT_EQ(frequency_tip(p), "Navigation Radio ADF - 0300.00 MHz");
    EXPECT_EQ(p.cursor(kMainSwitch.x, kMainSwitch.y), CURSOR_HAND);
    EXPECT_EQ(p.cursor(kTuneUp.x, kTuneUp.y), CURSOR_UPARROW);
    EXPECT_EQ(p.cursor(kTuneDown.x, kTuneDown.y), CURSOR_DOWNARROW);
    EXPECT_EQ(p.cursor(kBandUp.x, kBandUp.y), CURSOR_UPARROW);
    EXPECT_EQ(p.cursor(kWindow.x, kWindow.y), CURSOR_HAND);
}

// ------------------------------------------------------------ frequency

TEST_F(AdfTest, FrequencyDecodesFromEveryDigitPosition) {
    sim::Placement& p = panel(0);
    EXPECT_EQ(frequency_tip(p), "Navigation Radio ADF - 0000.00 MHz");
    for (uint32_t d = 0; d <= 9; ++d) {
        SCOPED_TRACE(d);
        struct {
            uint32_t digits, extension;
            double khz;
        } positions[] = {
            {d << 8, 0, 100.0 * d},      // hundreds
            {d << 4, 0, 10.0 * d},       // tens
            {d, 0, 1.0 * d},             // units
            {0, d, d / 10.0},            // tenths
            {0, 256 + d, 1000 + d / 10.0},  // thousands and tenths
        };
        for (auto& pos : positions) {
            host.set_var_low_word(16, pos.digits, 0xDEADBEEF);  // the upper half is not read
            host.set_var_low_word(18, pos.extension);
            host.cycle();
            EXPECT_EQ(frequency_tip(p), tip_of_khz(pos.khz));
        }
    }
    host.set_var_low_word(16, 0x234);
    host.set_var_low_word(18, 261);
    host.cycle();
    EXPECT_EQ(frequency_tip(p), "Navigation Radio ADF - 1234.50 MHz");
    host.set_var_low_word(18, 5);
    host.cycle();
    EXPECT_EQ(frequency_tip(p), "Navigation Radio ADF - 0234.50 MHz");
}

TEST_F(AdfTest, SetFrequencyValuesAreTheBcdOfTenthsOfKilohertz) {
    // Worked by hand: each decimal digit of the tenths becomes one hex digit.
    struct {
        uint32_t tenths, bcd;
    } cases[] = {{0, 0x0},          {5, 0x5},          {2000, 0x2000},        {3505, 0x3505},
                 {4100, 0x4100},    {8500, 0x8500},    {12345, 0x12345},      {17500, 0x17500},
                 {9999, 0x9999},    {10000, 0x10000},  {99999999, 0x99999999}, {100000000, 0x0},
                 {123456789, 0x23456789}};
    for (auto& c : cases) EXPECT_EQ(radio::bcd_encode(c.tenths), c.bcd) << c.tenths;
    EXPECT_EQ(radio::bcd_encode(4100), 16640u);
    EXPECT_EQ(radio::bcd_encode(8500), 34048u);
    EXPECT_EQ(radio::bcd_byte(0x97), 97);
    EXPECT_EQ(radio::bcd_byte(0x1705), 5);
    EXPECT_EQ(radio::bcd_byte(0xA5), 105);
}

// ------------------------------------------------------------ bands

TEST_F(AdfTest, BandFollowsTheFrequencyAtInstall) {
    struct {
        double khz, band_knob, disc;
    } cases[] = {{200, 180, 0},     {350, 180, 75},   {410.0, 180, 105}, {410.1, 360, 0.04},
                 {850.0, 360, 176}, {850.1, 540, 0.03}, {1750, 540, 270}};
    // Each new placement's install derives the band again.
    for (auto& c : cases) {
        receiver.tune(c.khz);
        sim::Placement& p = place("Radio_ADF");
        host.cycle();
        SCOPED_TRACE(c.khz);
        EXPECT_NEAR(p.element(kBandKnob).angle, c.band_knob, 1e-6);
        // The disc stays at its install angle while the set is off.
        EXPECT_NEAR(p.element(kDisc).angle, c.disc, 1e-6);
        EXPECT_NEAR(p.element(kDrum).rotation, (1 - c.band_knob / 180) * 90, 1e-9);
    }
}

TEST_F(AdfTest, BandSelectorRetunesToTheSharedBoundary) {
    sim::Placement& p = panel(300);
    click(p, kBandUp);  // set off: nothing
    EXPECT_EQ(count(kSet), 0u);
    EXPECT_NEAR(p.element(kBandKnob).angle, 180, 1e-9);
    click(p, kMainSwitch);
    EXPECT_NEAR(p.element(kDisc).angle, 50, 1e-9);
    host.clear_events();

    p.click(kBandUp.x, kBandUp.y);
    EXPECT_EQ(host.events().at(0), (sim::KeyEvent{kSet, 16640}));
    host.cycle();
    EXPECT_DOUBLE_EQ(receiver.khz(), 410.0);
    EXPECT_NEAR(p.element(kBandKnob).angle, 360, 1e-9);
    EXPECT_NEAR(p.element(kDrum).rotation, -90, 1e-9);
    EXPECT_NEAR(p.element(kDisc).angle, 0, 1e-9);
    EXPECT_EQ(frequency_tip(p), "Navigation Radio ADF - 0410.00 MHz");

    host.clear_events();
    p.click(kBandUp.x, kBandUp.y);
    EXPECT_EQ(host.events().at(0), (sim::KeyEvent{kSet, 34048}));
    host.cycle();
    EXPECT_DOUBLE_EQ(receiver.khz(), 850.0);
    EXPECT_NEAR(p.element(kDrum).rotation, -180, 1e-9);
    EXPECT_NEAR(p.element(kBandKnob).angle, 540, 1e-9);

    host.clear_events();
    click(p, kBandUp);  // already at band 3
    EXPECT_EQ(count(kSet), 0u);
    EXPECT_NEAR(p.element(kBandKnob).angle, 540, 1e-9);

    receiver.tune(1200);
    host.cycle();
    host.clear_events();
    p.click(kBandDown.x, kBandDown.y);
    EXPECT_EQ(host.events().at(0), (sim::KeyEvent{kSet, 34048}));
    host.cycle();
    EXPECT_NEAR(p.element(kDisc).angle, 176, 1e-9);
    host.clear_events();
    p.click(kBandDown.x, kBandDown.y);
    EXPECT_EQ(host.events().at(0), (sim::KeyEvent{kSet, 16640}));
    host.cycle();
    EXPECT_NEAR(p.element(kDisc).angle, 105, 1e-9);
    EXPECT_NEAR(p.element(kBandKnob).angle, 180, 1e-9);
    host.clear_events();
    click(p, kBandDown);  // already at band 1
    EXPECT_EQ(count(kSet), 0u);
}

TEST_F(AdfTest, DiscStaysWhereItWasWhileTheSetIsOff) {
    sim::Placement& p = panel(300);
    click(p, kMainSwitch);
    EXPECT_NEAR(p.element(kDisc).angle, 50, 1e-9);
    click(p, kMainSwitch);
    receiver.tune(400);
    host.cycle();
    EXPECT_NEAR(p.element(kDisc).angle, 50, 1e-9);
    EXPECT_EQ(frequency_tip(p), "Navigation Radio ADF - 0400.00 MHz");  // the tooltip still follows
    click(p, kMainSwitch);
    EXPECT_NEAR(p.element(kDisc).angle, 100, 1e-9);
    // Retuned from outside the band: the disc turns on past its arc.
    receiver.tune(1000);
    host.cycle();
    EXPECT_NEAR(p.element(kDisc).angle, 400, 1e-9);
}

// A band change sets the disc to the new band's end of its arc at once:
// switched off before the next cycle, the set keeps the disc there.
TEST_F(AdfTest, BandChangeSetsTheDiscToTheEndOfTheNewBandsArc) {
    sim::Placement& p = panel(300);
    click(p, kMainSwitch);
    auto band_then_off = [&](At band) {
        p.click(band.x, band.y);
        p.click(kMainSwitch.x, kMainSwitch.y);
        host.cycle();
        double parked = p.element(kDisc).angle;
        click(p, kMainSwitch);
        return parked;
    };
    EXPECT_NEAR(band_then_off(kBandUp), 0, 1e-9);  // band 2 from its bottom
    receiver.tune(600);
    host.cycle();
    EXPECT_NEAR(p.element(kDisc).angle, 76, 1e-9);
    EXPECT_NEAR(band_then_off(kBandDown), 105, 1e-9);  // band 1 at its top
    EXPECT_NEAR(band_then_off(kBandUp), 0, 1e-9);
    EXPECT_NEAR(band_then_off(kBandUp), 0, 1e-9);  // band 3 from its bottom
    receiver.tune(1500);
    host.cycle();
    EXPECT_NEAR(p.element(kDisc).angle, 195, 1e-9);
    EXPECT_NEAR(band_then_off(kBandDown), 176, 1e-9);  // band 2 at its top
}

// ------------------------------------------------------------ tuning

// Tunes each band from its bottom to its top and back with the coarse
// steps, then the fine steps, checking that each edge stops the handle.
TEST_F(AdfTest, TuningStopsAtEveryBandEdgeWithBothButtons) {
    sim::Placement& p = panel(200);
    click(p, kMainSwitch);
    struct Band {
        double lowest, highest;
    } bands[] = {{200, 410}, {410, 850}, {850, 1750}};
    for (int b = 0; b < 3; ++b) {
        SCOPED_TRACE(b + 1);
        const Band& band = bands[b];
        ASSERT_DOUBLE_EQ(receiver.khz(), band.lowest);
        // Nothing below the bottom, with either button.
        host.clear_events();
        click(p, kTuneDown, MOUSE_RIGHTSINGLE);
        click(p, kTuneDown, MOUSE_LEFTSINGLE);
        EXPECT_DOUBLE_EQ(receiver.khz(), band.lowest);

        // Coarse up to the top: 5 kHz per click, 15 degrees of handle.
        int clicks = 0;
        while (clicks < 1000) {
            int before = receiver.tenths;
            double handle = p.element(kHandle).angle;
            click(p, kTuneUp, MOUSE_RIGHTSINGLE);
            if (receiver.tenths == before) break;
            EXPECT_EQ(receiver.tenths - before, 50);
            EXPECT_NEAR(p.element(kHandle).angle - handle, 15, 1e-9);
            ++clicks;
        }
        EXPECT_DOUBLE_EQ(receiver.khz(), band.highest);
        EXPECT_EQ(clicks, int((band.highest - band.lowest) / 5));
        click(p, kTuneUp, MOUSE_LEFTSINGLE);
        EXPECT_DOUBLE_EQ(receiver.khz(), band.highest);

        // Coarse down to the bottom.
        while (receiver.khz() > band.lowest && clicks-- > 0) click(p, kTuneDown, MOUSE_RIGHTSINGLE);
        EXPECT_DOUBLE_EQ(receiver.khz(), band.lowest);

        // Fine steps: 0.5 kHz and 3 degrees a click, up to the top edge.
        receiver.tune(band.highest - 2);
        host.cycle();
        for (int i = 0; i < 4; ++i) {
            double handle = p.element(kHandle).angle;
            click(p, kTuneUp, MOUSE_LEFTSINGLE);
            EXPECT_NEAR(p.element(kHandle).angle - handle, 3, 1e-9);
        }
        EXPECT_DOUBLE_EQ(receiver.khz(), band.highest);
        host.clear_events();
        click(p, kTuneUp, MOUSE_LEFTSINGLE);
        click(p, kTuneUp, MOUSE_RIGHTSINGLE);
        EXPECT_EQ(count(66462) + count(66542), 0u);

        // And down to the bottom edge.
        receiver.tune(band.lowest + 1);
        host.cycle();
        click(p, kTuneDown, MOUSE_LEFTSINGLE);
        click(p, kTuneDown, MOUSE_LEFTSINGLE);
        EXPECT_DOUBLE_EQ(receiver.khz(), band.lowest);
        host.clear_events();
        click(p, kTuneDown, MOUSE_LEFTSINGLE);
        EXPECT_EQ(count(66461), 0u);

        if (b < 2) click(p, kBandUp);
    }
}

TEST_F(AdfTest, CoarseStepNeedsRoomForFiveKilohertz) {
    sim::Placement& p = panel(406);
    click(p, kMainSwitch);
    host.clear_events();
    click(p, kTuneUp, MOUSE_RIGHTSINGLE);
    EXPECT_EQ(count(66542), 0u);
    // The fine steps still go to 410.0 and stop there.
    for (int i = 0; i < 12; ++i) click(p, kTuneUp, MOUSE_LEFTSINGLE);
    EXPECT_DOUBLE_EQ(receiver.khz(), 410.0);
    EXPECT_EQ(count(66462), 8u * 5);
    receiver.tune(409.6);
    host.cycle();
    host.clear_events();
    click(p, kTuneUp, MOUSE_LEFTSINGLE);
    EXPECT_EQ(count(66462), 0u);

    // In band 2 at its bottom, neither button goes lower.
    click(p, kBandUp);
    ASSERT_DOUBLE_EQ(receiver.khz(), 410.0);
    host.clear_events();
    click(p, kTuneDown, MOUSE_LEFTSINGLE);
    click(p, kTuneDown, MOUSE_RIGHTSINGLE);
    EXPECT_EQ(count(66461) + count(66543), 0u);
}

// The tuning limits take the frequency decoded at the last update notice:
// a frequency the simulator has moved since then is not read by the click.
TEST_F(AdfTest, TuningLimitsUseTheFrequencyOfTheLastUpdateNotice) {
    sim::Placement& p = panel(405);
    click(p, kMainSwitch);
    struct Case {
        double decoded, now;
        At at;
        uint32_t button, event;
    } cases[] = {{405, 409.6, kTuneUp, MOUSE_RIGHTSINGLE, 66542},   // room for 5 kHz at 405, none at 409.6
                 {400, 409.8, kTuneUp, MOUSE_LEFTSINGLE, 66462},    // room for 0.5 kHz at 400, none at 409.8
                 {205, 201, kTuneDown, MOUSE_RIGHTSINGLE, 66543},   // room below 205, none below 201
                 {409.6, 405, kTuneUp, MOUSE_RIGHTSINGLE, 66542}};  // none at 409.6, though 405 has room
    for (const Case& c : cases) {
        SCOPED_TRACE(c.decoded);
        receiver.tune(c.decoded);
        host.cycle();
        receiver.tune(c.now);
        host.clear_events();
        p.click(c.at.x, c.at.y, c.button);
        EXPECT_EQ(count(c.event), c.decoded == 409.6 ? 0u : 5u);
    }
}

TEST_F(AdfTest, HeldHandleRepeatsAndTuningIsOnlyForASetThatIsOn) {
    sim::Placement& p = panel(300);
    host.clear_events();
    p.hold(kTuneUp.x, kTuneUp.y, MOUSE_RIGHTSINGLE, 5);
    p.hold(kTuneDown.x, kTuneDown.y, MOUSE_LEFTSINGLE, 5);
    EXPECT_TRUE(host.events().empty());
    click(p, kMainSwitch);

    host.clear_events();
    ASSERT_TRUE(p.hold(kTuneUp.x, kTuneUp.y, MOUSE_RIGHTSINGLE, 3));
    EXPECT_EQ(count(66542), 4u * 5);
    for (auto& e : host.events()) EXPECT_EQ(e.value, 0u);
    host.cycle();
    EXPECT_DOUBLE_EQ(receiver.khz(), 320);
    EXPECT_NEAR(p.element(kHandle).angle, 60 * 3 + 20 * 3, 1e-9);  // handle value 80

    host.clear_events();
    ASSERT_TRUE(p.hold(kTuneDown.x, kTuneDown.y, MOUSE_LEFTSINGLE, 9));
    EXPECT_EQ(count(66461), 10u * 5);
    host.cycle();
    EXPECT_DOUBLE_EQ(receiver.khz(), 315);
    // A held handle steps until the band edge stops it.
    receiver.tune(402);
    host.cycle();
    for (int i = 0; i < 10; ++i) {
        p.hold(kTuneUp.x, kTuneUp.y, MOUSE_RIGHTSINGLE, 0);
        host.cycle();
    }
    EXPECT_DOUBLE_EQ(receiver.khz(), 407);  // one coarse step, then no room for another
    for (int i = 0; i < 30; ++i) {
        p.hold(kTuneUp.x, kTuneUp.y, MOUSE_LEFTSINGLE, 0);
        host.cycle();
    }
    EXPECT_DOUBLE_EQ(receiver.khz(), 410);
}

// ------------------------------------------------------------ sound

// Which clicks play the panel's click, wave 30: every click that changes a
// switch, the band or shows the readout; never the tuning handle, nor a
// click that changes nothing.
TEST_F(AdfTest, SwitchBandAndWindowClicksPlayWaveThirtyAndTuningIsSilent) {
    sim::Placement& p = panel(300);
    auto plays = [&](At at, uint32_t button = MOUSE_LEFTSINGLE) {
        host.cycles(10);  // let the previous click finish
        sound_inspect::clear_played();
        p.click(at.x, at.y, button);
        size_t n = sound_inspect::played().size();
        for (auto& s : sound_inspect::played()) EXPECT_EQ(s.wave_id, 30u);
        return n;
    };
    EXPECT_EQ(plays(kBandUp), 0u);  // set off
    EXPECT_EQ(plays(kWindow), 0u);  // set off
    EXPECT_EQ(plays(kMainSwitch), 1u);
    EXPECT_EQ(plays(kToneSwitch), 1u);
    EXPECT_EQ(plays(kTuneUp), 0u);
    EXPECT_EQ(plays(kTuneUp, MOUSE_RIGHTSINGLE), 0u);
    EXPECT_EQ(plays(kTuneDown), 0u);
    EXPECT_EQ(plays(kTuneDown, MOUSE_RIGHTSINGLE), 0u);
    EXPECT_EQ(plays(kWindow), 1u);
    EXPECT_EQ(plays(kBandDown), 0u);  // already at band 1
    EXPECT_EQ(plays(kBandUp), 1u);
    EXPECT_EQ(plays(kBandDown), 1u);
    EXPECT_EQ(plays(kToneSwitch), 1u);
    EXPECT_EQ(plays(kMainSwitch), 1u);
    EXPECT_TRUE(sound_inspect::misuse().empty());
}

// A second placement shares the panel's click: removing either one leaves
// the other clicking, and the last one releases the sound.
TEST_F(AdfTest, TwoPlacementsShareOneClickSoundUntilTheLastGoes) {
    sim::Placement& first = panel(300);
    sim::Placement& second = place("Radio_ADF");
    EXPECT_EQ(sound_inspect::live().buffers, 1);
    host.kill(first);
    host.cycles(10);
    sound_inspect::clear_played();
    second.click(kMainSwitch.x, kMainSwitch.y);
    ASSERT_EQ(sound_inspect::played().size(), 1u);
    EXPECT_EQ(sound_inspect::played()[0].wave_id, 30u);
    host.kill(second);
    EXPECT_EQ(sound_inspect::live().buffers, 0);
    EXPECT_EQ(sound_inspect::live().devices, 0);
    sim::Placement& third = place("Radio_ADF");
    host.cycles(10);
    sound_inspect::clear_played();
    third.click(kToneSwitch.x, kToneSwitch.y);
    EXPECT_EQ(sound_inspect::played().size(), 1u);
    EXPECT_TRUE(sound_inspect::misuse().empty());
}

// ------------------------------------------------------------ readout

TEST_F(AdfTest, ReadoutShowsForSixtyCyclesOfPowerAfterAWindowClick) {
    sim::Placement& p = panel(350);
    EXPECT_TRUE(p.element(kReadout).hidden);
    EXPECT_EQ(p.element(kReadout).text, " 350.00");
    p.click(kWindow.x, kWindow.y);  // set off: nothing
    host.cycle();
    EXPECT_TRUE(p.element(kReadout).hidden);
    click(p, kMainSwitch);
    p.click(kWindow.x, kWindow.y);
    for (int i = 0; i < 20; ++i) {
        host.cycle();
        EXPECT_FALSE(p.element(kReadout).hidden) << i;
    }
    click(p, kMainSwitch);  // off: hidden, the count kept
    host.cycles(10);
    EXPECT_TRUE(p.element(kReadout).hidden);
    click(p, kMainSwitch);  // this cycle shows the 21st frame
    for (int i = 1; i < 40; ++i) {
        host.cycle();
        EXPECT_FALSE(p.element(kReadout).hidden) << i;
    }
    host.cycle();
    EXPECT_TRUE(p.element(kReadout).hidden);
    receiver.tune(1750);
    host.cycle();
    EXPECT_EQ(p.element(kReadout).text, "1750.00");
    const auto* s = p.record<StringElement>(kReadout);
    EXPECT_EQ(s->max_chars, 7u);
    EXPECT_STREQ(s->font_name, "Arial");
    EXPECT_EQ(s->text_colour, 0x0000FAFAu);
    EXPECT_EQ(s->highlight_colour, 0x0000FFFFu);
}

// ------------------------------------------------------------ hostile values

TEST_F(AdfTest, MalformedFrequencyWordsStaySafeAndTheReadoutFitsItsSevenCharacters) {
    sim::Placement& p = panel(300);
    sim::Placement& indicator = place("ADF_Indicator");
    const uint32_t patterns[] = {0xFFFFFFFF, 0xFFFF, 0xAAA, 0xFFF, 0x80000000, 0x7FFFFFFF, 0x1FF, 0x10000, 0xF0F0F0F0};
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    click(p, kMainSwitch);
    click(p, kToneSwitch);
    for (uint32_t a : patterns) {
        for (uint32_t b : patterns) {
            host.set_var_low_word(16, a, a);
            host.set_var_low_word(18, b, ~b);
            host.cycle();
            p.click(kWindow.x, kWindow.y);
            for (At at : {kTuneUp, kTuneDown})
                for (uint32_t button : {MOUSE_LEFTSINGLE, MOUSE_RIGHTSINGLE}) p.click(at.x, at.y, button);
            host.cycle();
            EXPECT_LE(p.element(kReadout).text.size(), 7u);
            EXPECT_FALSE(frequency_tip(p).empty());
        }
    }
    // Not a number or infinite, as the whole value field.
    for (double v : {nan, inf, -inf, 1e300, -1e300}) {
        host.set_var(16, v);
        host.set_var(18, v);
        host.set_var(880, v);
        host.set_var(39, v);
        host.set_var(20, v);
        host.set_var(22, v);
        host.cycle();
        p.tooltip(kToneSwitch.x, kToneSwitch.y);
        EXPECT_LE(p.element(kReadout).text.size(), 7u);
        EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y).substr(0, 14), "ADF position (");
    }
    // Band changes from a garbled frequency still land on the boundaries.
    for (int i = 0; i < 3; ++i) p.click(kBandUp.x, kBandUp.y);
    for (int i = 0; i < 3; ++i) p.click(kBandDown.x, kBandDown.y);
    for (auto& e : host.events()) {
        if (e.id != kSet) continue;
        EXPECT_TRUE(e.value == 16640 || e.value == 34048);
    }
}

// ------------------------------------------------------------ indicator

TEST_F(AdfTest, IndicatorTooltipWordsTheStoredBearing) {
    sim::Placement& radio = panel(300);
    sim::Placement& indicator = place("ADF_Indicator");
    click(radio, kMainSwitch);
    host.set_var(20, 300);
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct {
        double bearing;
        const char* shown;
    } cases[] = {{7.9, "7"},     {0.4, "0"},     {-0.5, "359"}, {-400, "320"}, {360, "360"},  {99.99, "99"},
                 {100, "100"},   {10, "10"},     {-360, "0"},   {-720, "0"},    {-1000, ""},   {999.9, "999"},
                 {1000, ""},     {1e300, ""},    {-1e300, ""},  {nan, ""},     {inf, ""},     {-inf, ""}};
    for (auto& c : cases) {
        host.set_var(39, c.bearing);
        host.cycle();
        EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), std::string("ADF position (") + c.shown + "\xB0)")
            << c.bearing;
    }
    // The tooltip uses the bearing of the latest pointer update.
    host.set_var(39, 45);
    host.cycle();
    host.set_var(39, 200);
    EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), "ADF position (45\xB0)");
    // A signal just too weak.
    host.set_var(20, 254);
    EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), "ADF position (None : No ADF signal)");
    host.cycle();
    EXPECT_NEAR(indicator.element(kPointer).angle, 200, 1e-9);
    // The bearing is stored while the set is off too.
    click(radio, kMainSwitch);
    host.set_var(39, 12);
    host.cycle();
    EXPECT_NEAR(indicator.element(kPointer).angle, 90, 1e-9);
    EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), "ADF position (None : ADF radio off)");
    click(radio, kMainSwitch);
    host.set_var(20, 255);
    EXPECT_EQ(indicator.tooltip(kDial.x, kDial.y), "ADF position (12\xB0)");
}

TEST_F(AdfTest, IndicatorCardAndKnobFollowTheCardHeading) {
    sim::Placement& indicator = place("ADF_Indicator");
    host.set_var(22, 30);
    host.cycle();
    EXPECT_NEAR(indicator.element(1).rotation, 30, 1e-9);
    EXPECT_NEAR(indicator.element(kCardKnob).angle, 270, 1e-9);  // 9 degrees per degree
    EXPECT_EQ(indicator.tooltip(kCardKnobLeft.x, kCardKnobLeft.y), "[help 0xAB01]");
    EXPECT_EQ(indicator.cursor(kCardKnobLeft.x, kCardKnobLeft.y), CURSOR_DOWNARROW);
    EXPECT_EQ(indicator.cursor(kCardKnobRight.x, kCardKnobRight.y), CURSOR_UPARROW);
    host.clear_events();
    indicator.hold(kCardKnobLeft.x, kCardKnobLeft.y, MOUSE_LEFTSINGLE, 2);
    indicator.click(kCardKnobRight.x, kCardKnobRight.y);
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{65882, 0}, {65882, 0}, {65882, 0}, {65881, 0}}));
    host.active_failures = {20, 21};
    host.cycle();
    EXPECT_EQ(indicator.element(kPointer).failure_actions, (std::vector<uint32_t>{2, 1}));
}
