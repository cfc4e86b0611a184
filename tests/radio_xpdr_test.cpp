// The transponder as the pilot works it: the code on its four drums, lit
// only while the set is on, the digit clicks that send their events only
// then, the main switch with its lamp, click and tooltip.
#include <cmath>

#include "tests/click_sounds.h"
#include "tests/host_fixture.h"

namespace {

constexpr uint32_t CODE = 38;
// Drawing order: background, units, tens, hundreds, thousands, ident, lamp, switch.
constexpr size_t UNITS = 1, TENS = 2, HUNDREDS = 3, THOUSANDS = 4, IDENT = 5, LAMP = 6, SWITCH = 7;

class TransponderTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        xpdr();
    }
    sim::Placement& xpdr() {
        if (!p) p = &place("Radio_XPDR");
        return *p;
    }
    std::vector<double> digits() {
        return {xpdr().element(THOUSANDS).value_y, xpdr().element(HUNDREDS).value_y, xpdr().element(TENS).value_y,
                xpdr().element(UNITS).value_y};
    }
    void switch_on() { xpdr().click(40, 40); }
    sim::Placement* p = nullptr;
};

TEST_F(TransponderTest, DrumsShowTheCodeAndLightOnlyWhileOn) {
    host.set_var_low_word(CODE, 0x1200);
    host.cycle();
    EXPECT_EQ(digits(), (std::vector<double>{1, 2, 0, 0}));
    for (size_t d : {UNITS, TENS, HUNDREDS, THOUSANDS}) {
        EXPECT_FALSE(xpdr().element(d).lit);
        EXPECT_FALSE(xpdr().element(d).hidden);  // shown, unlit, while off
    }
    EXPECT_EQ(xpdr().element(LAMP).image, -1);
    EXPECT_EQ(xpdr().element(SWITCH).image, 0);
    EXPECT_EQ(xpdr().element(IDENT).image, 0);

    switch_on();
    host.set_var_low_word(CODE, 0x7777, 0xDEADBEEF);  // the high half is not the code's
    xpdr().record<MovingImageElement>(UNITS)->header.image_flags |= IMAGE_BIT31;
    host.cycle();
    EXPECT_EQ(digits(), (std::vector<double>{7, 7, 7, 7}));
    for (size_t d : {UNITS, TENS, HUNDREDS, THOUSANDS}) EXPECT_TRUE(xpdr().element(d).lit);
    EXPECT_EQ(xpdr().element(UNITS).image_flags & IMAGE_BIT31, 0u);
    EXPECT_EQ(xpdr().element(LAMP).image, 0);
    EXPECT_EQ(xpdr().element(SWITCH).image, 1);
}

// The identification switch is drawn and does nothing: no callback, no
// variable, image 0 whatever the set, the code or a failure. The gauge's
// update callbacks are the four drums', the lamp's and the main switch's.
TEST_F(TransponderTest, IdentificationSwitchAlwaysShowsItsFirstImage) {
    auto* ident = xpdr().record<IconElement>(IDENT);
    EXPECT_EQ(ident->header.bitmap, 2140);
    EXPECT_EQ(ident->callback, nullptr);
    EXPECT_EQ(ident->source.token, 0u);
    size_t callbacks = 0;
    for (size_t i = 0; i < xpdr().element_count(); ++i) {
        const ElementHeader* e = xpdr().element(i).record;
        if (e->kind == ELEMENT_ICON) callbacks += reinterpret_cast<const IconElement*>(e)->callback != nullptr;
        if (e->kind == ELEMENT_MOVING_IMAGE) {
            auto* m = reinterpret_cast<const MovingImageElement*>(e);
            callbacks += (m->callback_x != nullptr) + (m->callback_y != nullptr);
        }
    }
    EXPECT_EQ(callbacks, 6u);
    for (uint32_t word : {0x0000u, 0x7777u, 0xFFFFu}) {
        for (int click = 0; click < 2; ++click) {
            switch_on();
            host.set_var_low_word(CODE, word);
            host.cycle();
            EXPECT_EQ(xpdr().element(IDENT).image, 0) << std::hex << word;
        }
    }
    host.active_failures = {17, 20, 21};
    host.cycle();
    EXPECT_EQ(xpdr().element(IDENT).image, 0);
}

// Each drum decodes variable 38 itself whenever the host calls it, not only
// at the update notice: drawn again after the code changed, without a new
// notice, all four show the new code.
TEST_F(TransponderTest, EachDrumDecodesTheCodeAtEachCall) {
    switch_on();
    host.set_var_low_word(CODE, 0x1200);
    host.cycle();
    ASSERT_EQ(digits(), (std::vector<double>{1, 2, 0, 0}));
    host.set_var_low_word(CODE, 0x4567);
    xpdr().compute_drawn();
    EXPECT_EQ(digits(), (std::vector<double>{4, 5, 6, 7}));
}

TEST_F(TransponderTest, DigitClicksSendTheirEventsOnlyWhileOn) {
    host.cycle();
    for (int x : {115, 138, 161, 184})
        for (int y : {50, 80}) xpdr().click(x, y);
    EXPECT_TRUE(host.events().empty());

    switch_on();
    struct Click {
        int x, y;
        uint32_t event;
    } clicks[] = {{115, 50, 65651}, {115, 80, 66455}, {138, 50, 65652}, {138, 80, 66456},
                  {161, 50, 65653}, {161, 80, 66457}, {184, 50, 65654}, {184, 80, 66458}};
    host.set_var_low_word(CODE, 0x7777);
    for (const Click& c : clicks) {
        host.clear_events();
        EXPECT_TRUE(xpdr().click(c.x, c.y));
        ASSERT_EQ(host.events().size(), 1u);
        EXPECT_EQ(host.events()[0], (sim::KeyEvent{c.event, 0}));  // 7777 up still sends: the simulator wraps
    }
    host.clear_events();
    xpdr().hold(184, 50, MOUSE_LEFTSINGLE, 4);
    EXPECT_EQ(host.events().size(), 5u);
    EXPECT_EQ(xpdr().cursor(184, 50), CURSOR_UPARROW);
    EXPECT_EQ(xpdr().cursor(184, 80), CURSOR_DOWNARROW);
}

TEST_F(TransponderTest, MainSwitchClicksAndWordsItsTooltip) {
    host.cycle();
    EXPECT_EQ(xpdr().tooltip(40, 40), "Main switch (off)");
    EXPECT_EQ(xpdr().tooltip(150, 20), "[help 0x3180]");
    switch_on();
    EXPECT_EQ(sounds_heard(30), 1u);
    EXPECT_EQ(xpdr().tooltip(40, 40), "Main switch (on)");
    EXPECT_EQ(xpdr().cursor(40, 40), CURSOR_HAND);
    host.kill_all();
    EXPECT_EQ(sound_inspect::live().buffers, 0);
}

TEST_F(TransponderTest, MalformedCodeWordsKeepTheDrumsOnTheirStrips) {
    switch_on();
    for (uint32_t word : {0xFFFFFFFFu, 0x0000FFFFu, 0x9999u, 0xABCDu, 0x80000000u}) {
        host.set_var_low_word(CODE, word, word);
        host.cycle();
        for (double d : digits()) {
            EXPECT_GE(d, 0) << std::hex << word;
            EXPECT_LE(d, 9) << std::hex << word;
        }
    }
    for (double v : {std::nan(""), double(INFINITY), -1e300}) {
        host.set_var(CODE, v);
        host.cycle();
        for (double d : digits()) EXPECT_TRUE(d >= 0 && d <= 9);
    }
}

}  // namespace
