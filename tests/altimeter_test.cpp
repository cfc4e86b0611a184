// Altimeter as the pilot sees it: the pointer, the rolling altitude and
// pressure drums with leading-zero blanks, the setting knob and its key
// events, and the help tooltips.
#include <cmath>
#include <vector>

#include "tests/flight_helpers.h"
#include "tests/host_fixture.h"

using flight_test::toward;

namespace {

// Drawing order of the gauge's elements.
enum : size_t {
    kFace,
    kPressureUnits,
    kPressureTens,
    kPressureHundreds,
    kPressureThousands,
    kAltTens,
    kAltHundreds,
    kAltThousands,
    kAltTenThousands,
    kBlank10,
    kBlank100,
    kBlank1000,
    kBlank10000,
    kPointer,
    kGlass,
    kKnob,
    kElementCount
};

class AltimeterTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        p = &place("Altimeter");
    }
    void show(double altitude, double pressure = 1013) {
        host.set_var(74, altitude);
        host.set_var(75, pressure);
        host.cycle();
    }
    // The digit a drum shows: its position in units of its step.
    double digit(size_t drum) const {
        auto* m = p->record<MovingImageElement>(drum);
        return p->element(drum).dy / m->min_x;
    }
    sim::Placement* p = nullptr;
};

}  // namespace

TEST_F(AltimeterTest, RecordsInDrawingOrder) {
    // Failures 3 and 7 darken everything that shows the altitude.
    const flight_test::Failures alt = {{3, 1}, {7, 1}};
    flight_test::expect_chain(*p, {{ELEMENT_STATIC_IMAGE, 1000, 0, 0, 0x4003},
                                   {ELEMENT_MOVING_IMAGE, 1020, 161, 212, 0x4083},
                                   {ELEMENT_MOVING_IMAGE, 1020, 149, 212, 0x4083},
                                   {ELEMENT_MOVING_IMAGE, 1020, 137, 212, 0x4083},
                                   {ELEMENT_MOVING_IMAGE, 1020, 125, 212, 0x4083},
                                   {ELEMENT_MOVING_IMAGE, 1040, 194, 113, 0x4083, alt},
                                   {ELEMENT_MOVING_IMAGE, 1060, 164, 121, 0x4083, alt},
                                   {ELEMENT_MOVING_IMAGE, 1060, 121, 121, 0x4083, alt},
                                   {ELEMENT_MOVING_IMAGE, 1060, 91, 121, 0x4083, alt},
                                   {ELEMENT_ICON, 1030, 164, 121, 0x4083, alt},
                                   {ELEMENT_ICON, 1050, 164, 121, 0x4083, alt},
                                   {ELEMENT_ICON, 1050, 121, 121, 0x4083, alt},
                                   {ELEMENT_ICON, 1050, 91, 121, 0x4083, alt},
                                   {ELEMENT_NEEDLE, 1010, 150, 150, 0x4083, alt},
                                   {ELEMENT_STATIC_IMAGE, 1130, 0, 0, 0x3},
                                   {ELEMENT_NEEDLE, 1120, 49, 261, 0x83}});
    // Each drum's step, roll band and modulus, which its digits depend on.
    const struct {
        size_t drum;
        double step, band, modulus;
    } drums[] = {{kPressureUnits, 1, 1, 10},         {kPressureTens, 10, 1, 100},    {kPressureHundreds, 100, 1, 1000},
                 {kPressureThousands, 1000, 1, 10000}, {kAltTens, 10, 1, 100},        {kAltHundreds, 100, 10, 1000},
                 {kAltThousands, 1000, 100, 10000},    {kAltTenThousands, 10000, 1000, 100000}};
    for (const auto& d : drums) {
        auto* m = p->record<MovingImageElement>(d.drum);
        EXPECT_EQ(m->source_x.token, 0u) << d.drum;
        EXPECT_EQ(m->min_x, d.step) << d.drum;
        EXPECT_EQ(m->max_x, d.band) << d.drum;
        EXPECT_EQ(m->min_y, d.modulus) << d.drum;
        EXPECT_EQ(m->max_y, 0.0) << d.drum;
    }
    for (size_t i = kBlank10; i <= kBlank10000; ++i) {
        auto* icon = p->record<IconElement>(i);
        EXPECT_EQ(icon->image_count, 1u);
        EXPECT_EQ(icon->scale, 0.0);
    }
    EXPECT_EQ(p->record<NeedleElement>(kPointer)->header.offset_x, 10);
    EXPECT_EQ(p->record<NeedleElement>(kPointer)->header.offset_y, 10);
    EXPECT_EQ(p->record<NeedleElement>(kKnob)->header.offset_x, 22);
    EXPECT_EQ(p->record<NeedleElement>(kKnob)->header.offset_y, 22);
}

TEST_F(AltimeterTest, PointerTurnsOncePerThousandFeet) {
    const sim::DrawnElement& pointer = p->element(kPointer);
    const struct {
        double feet, direction;
    } cases[] = {{0, 0}, {250, 90}, {500, 180}, {1000, 0}, {1500, 180}, {2000, 0}, {-250, 270}, {12345, 124.2}};
    for (const auto& c : cases) {
        show(c.feet);
        EXPECT_POINTS(pointer, c.direction) << c.feet;
    }
    show(1500);
    EXPECT_POINTS(pointer, toward(pointer, 150, 200));
    show(2000);
    EXPECT_POINTS(pointer, toward(pointer, 150, 100));
    // Continuous, not wrapped: 2000 ft is two whole turns.
    EXPECT_NEAR(p->element(kPointer).angle, 720.0, 1e-9);
}

TEST_F(AltimeterTest, AltitudeDrumsRollOverTheLastPartOfEachStep) {
    // The hundreds drum (step 100, band 10) at rest, halfway, arrived, wrapped.
    const struct {
        double feet, hundreds;
    } cases[] = {{1234.5, 2}, {1295, 2.5}, {1300, 3}, {-50, 9}, {1290, 2}, {1299, 2.9}};
    for (const auto& c : cases) {
        show(c.feet);
        EXPECT_NEAR(digit(kAltHundreds), c.hundreds, 1e-9) << c.feet;
    }
    show(1234.5);
    EXPECT_DOUBLE_EQ(p->element(kAltHundreds).dy, 200);
    EXPECT_NEAR(digit(kAltTens), 3, 1e-9);
    EXPECT_NEAR(digit(kAltThousands), 1, 1e-9);
    EXPECT_NEAR(digit(kAltTenThousands), 0, 1e-9);
    // The tens drum rolls over the last foot of ten.
    show(1239.5);
    EXPECT_NEAR(digit(kAltTens), 3.5, 1e-9);
    // 9999.5: every drum on its way to the next digit, the ten-thousands
    // one 99.95 % of the way to 1.
    show(9999.5);
    EXPECT_NEAR(p->element(kAltTenThousands).dy, 9995, 1e-9);
    show(10000);
    EXPECT_NEAR(p->element(kAltTenThousands).dy, 10000, 1e-9);
    EXPECT_NEAR(digit(kAltTenThousands), 1, 1e-12);
    EXPECT_NEAR(digit(kAltThousands), 0, 1e-12);
    EXPECT_NEAR(digit(kAltHundreds), 0, 1e-12);
    EXPECT_NEAR(digit(kAltTens), 0, 1e-12);
}

TEST_F(AltimeterTest, LeadingZerosAreBlankedUntilEachThresholdIsReached) {
    const size_t blanks[] = {kBlank10, kBlank100, kBlank1000, kBlank10000};
    const struct {
        double feet;
        int shown[4];  // image of each blank: 0 drawn, -1 gone
    } cases[] = {
        {5, {0, 0, 0, 0}},          {9.99, {0, 0, 0, 0}},          {10, {-1, 0, 0, 0}},     {99, {-1, 0, 0, 0}},
        {100, {-1, -1, 0, 0}},      {999, {-1, -1, 0, 0}},         {1000, {-1, -1, -1, 0}}, {9999.5, {-1, -1, -1, 0}},
        {10000, {-1, -1, -1, -1}},  {35000, {-1, -1, -1, -1}},     {-1, {0, 0, 0, 0}},      {-5000, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        show(c.feet);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(p->element(blanks[i]).image, c.shown[i]) << c.feet << " blank " << i;
    }
    // Two blanks share the hundreds window; the ten-thousands one covers
    // its drum at 9999.5 while that drum is nearly at 1.
    EXPECT_EQ(p->element(kBlank10).x, p->element(kBlank100).x);
    EXPECT_EQ(p->element(kBlank10000).x, p->element(kAltTenThousands).x);
}

TEST_F(AltimeterTest, PressureDrumsShowTheSetting) {
    show(0, 1013.0);
    EXPECT_NEAR(digit(kPressureThousands), 1, 1e-12);
    EXPECT_NEAR(digit(kPressureHundreds), 0, 1e-12);
    EXPECT_NEAR(digit(kPressureTens), 1, 1e-12);
    EXPECT_NEAR(digit(kPressureUnits), 3, 1e-12);
    // The tens drum rolls halfway from 1 to 2 over the last millibar.
    show(0, 1019.5);
    EXPECT_NEAR(digit(kPressureTens), 1.5, 1e-12);
    EXPECT_NEAR(digit(kPressureUnits), 9.5, 1e-12);
    // The units drum follows the setting continuously.
    for (double mb : {1013.25, 998.75, 1070.0}) {
        show(0, mb);
        EXPECT_NEAR(p->element(kPressureUnits).dy, std::fmod(mb, 10.0), 1e-9) << mb;
    }
    show(0, 998.75);
    EXPECT_NEAR(digit(kPressureThousands), 0, 1e-12);
    EXPECT_NEAR(digit(kPressureHundreds), 9, 1e-12);
    EXPECT_NEAR(digit(kPressureTens), 9, 1e-12);
    // A hair below zero rounds onto the drum's full turn: that is digit 0
    // again, not a digit past 9.
    show(0, -1e-16);
    EXPECT_EQ(p->element(kPressureUnits).value_y, 0.0);
}

TEST_F(AltimeterTest, SettingKnobTurnsHalfATurnPerFiftySevenMillibars) {
    const sim::DrawnElement& knob = p->element(kKnob);
    show(0, 1013);
    EXPECT_POINTS(knob, toward(knob, 71, 261));
    EXPECT_POINTS(knob, 90);
    show(0, 1070);
    EXPECT_POINTS(knob, toward(knob, 27, 261));
    EXPECT_POINTS(knob, 270);
    show(0, 1041.5);
    EXPECT_POINTS(knob, 180);
    // And on at the same rate outside the range.
    show(0, 1013 - 57);
    EXPECT_POINTS(knob, 270);
    show(0, 1013 - 28.5);
    EXPECT_POINTS(knob, 0);
}

TEST_F(AltimeterTest, KnobHalvesSendThePressureSettingEvents) {
    EXPECT_EQ(p->cursor(30, 250), CURSOR_DOWNARROW);
    EXPECT_EQ(p->cursor(60, 250), CURSOR_UPARROW);
    EXPECT_EQ(p->cursor(150, 100), CURSOR_NONE);
    EXPECT_TRUE(p->click(30, 250));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{65884, 0}}));
    host.clear_events();
    EXPECT_TRUE(p->click(60, 250));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{65883, 0}}));
    host.clear_events();
    // Held, both halves repeat at the host's rate.
    EXPECT_TRUE(p->hold(27, 239, MOUSE_LEFTSINGLE, 4));
    EXPECT_EQ(host.events(), std::vector<sim::KeyEvent>(5, {65884, 0}));
    host.clear_events();
    EXPECT_TRUE(p->hold(70, 282, MOUSE_LEFTSINGLE, 2));
    EXPECT_EQ(host.events(), std::vector<sim::KeyEvent>(3, {65883, 0}));
    host.clear_events();
    // Only the left button, and nothing outside the knob.
    EXPECT_FALSE(p->click(30, 250, MOUSE_RIGHTSINGLE));
    EXPECT_FALSE(p->click(150, 100));
    EXPECT_FALSE(p->click(71, 250));
    EXPECT_TRUE(host.events().empty());
    for (const MouseRect* child : p->children()) {
        EXPECT_EQ(child->mouse_flags, 0x20200000u);
        EXPECT_EQ(child->callback, nullptr);
    }
    EXPECT_EQ(p->children().size(), 2u);
}

TEST_F(AltimeterTest, TooltipsAreTheHostsHelpStrings) {
    EXPECT_EQ(p->tooltip(150, 100), "[help 0x3051]");
    EXPECT_EQ(p->tooltip(299, 235), "[help 0x3051]");
    EXPECT_EQ(p->tooltip(30, 250), "[help 0x3054]");
    EXPECT_EQ(p->tooltip(70, 282), "[help 0x3054]");
    // Below the dial and beside the knob the gauge has no tooltip.
    EXPECT_EQ(p->tooltip(200, 260), "");
    EXPECT_EQ(p->tooltip(10, 237), "");
}
