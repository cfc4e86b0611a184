// Attitude and Gyro_Compass as the pilot sees them: the horizon card, bank
// pointer and miniature aeroplane with their knob and caging button; the
// heading strip, setting knob, flag and their key events; the tooltips.
#include <cmath>
#include <vector>

#include "tests/flight_helpers.h"
#include "tests/host_fixture.h"

using flight_test::expect_chain;
using flight_test::toward;

namespace {

enum : size_t { kFace, kCard, kBankPointer, kAeroplane, kMask, kBezel };

}  // namespace

// ------------------------------------------------------------- Attitude

TEST_F(ModuleTest, AttitudeRecordsInDrawingOrder) {
    sim::Placement& p = place("Attitude");
    const flight_test::Failures gyro = {{8, 0}, {2, 0}, {4, 0}};
    expect_chain(p, {{ELEMENT_STATIC_IMAGE, 300, 0, 0, 0x4003},
                     {ELEMENT_SPRITE, 310, 0, 0, 0x4083, gyro},
                     {ELEMENT_NEEDLE, 320, 127, 130, 0x4083, gyro},
                     {ELEMENT_SLIDER, 330, 68, 59, 0x4083},
                     {ELEMENT_STATIC_IMAGE, 360, 0, 0, 0x4003},
                     {ELEMENT_STATIC_IMAGE, 340, 0, 0, 0x3}});
    // The card turns about its texture centre and is drawn at 0.9 height.
    auto* card = p.record<SpriteElement>(kCard);
    EXPECT_EQ(card->header.offset_x, 127);
    EXPECT_EQ(card->header.offset_y, 130);
    EXPECT_EQ(card->texture_scale_x, 1.0f);
    EXPECT_EQ(card->texture_scale_y, 0.9f);
    EXPECT_EQ(p.record<NeedleElement>(kBankPointer)->header.offset_x, 0);
    EXPECT_EQ(p.record<NeedleElement>(kBankPointer)->header.offset_y, 5);
}

TEST_F(ModuleTest, AttitudeCardSlidesWithPitchUpToFortyDegrees) {
    sim::Placement& p = place("Attitude");
    const struct {
        double pitch, fed, pixels;
    } cases[] = {{0, 0, 0}, {10, 10, 13}, {-12.5, -12.5, -16.25}, {40, 40, 52}, {40.5, 40, 52},
                 {-40, -40, -52}, {-90, -40, -52}, {90, 40, 52}};
    for (const auto& c : cases) {
        host.set_var(78, c.pitch);
        host.cycle();
        EXPECT_EQ(p.element(kCard).value_y, c.fed) << c.pitch;
        EXPECT_NEAR(p.element(kCard).dy, c.pixels, 1e-12) << c.pitch;
        EXPECT_EQ(p.element(kCard).dx, 0);
    }
}

TEST_F(ModuleTest, AttitudeCardAndPointerShowTheBank) {
    sim::Placement& p = place("Attitude");
    const sim::DrawnElement& pointer = p.element(kBankPointer);
    host.set_var(80, 0);
    host.cycle();
    EXPECT_POINTS(pointer, 180);  // level: straight down
    EXPECT_EQ(p.element(kCard).rotation, 0);
    host.set_var(80, 90);
    host.cycle();
    EXPECT_POINTS(pointer, toward(pointer, 77, 130));
    EXPECT_POINTS(pointer, 270);
    EXPECT_EQ(p.element(kCard).rotation, -90);
    host.set_var(80, -90);
    host.cycle();
    EXPECT_POINTS(pointer, toward(pointer, 177, 130));
    EXPECT_EQ(p.element(kCard).rotation, 90);
    host.set_var(80, 30);
    host.cycle();
    EXPECT_POINTS(pointer, 210);
    EXPECT_EQ(p.element(kCard).rotation, -30);
}

TEST_F(ModuleTest, AttitudeMiniatureAeroplaneRisesWithItsPosition) {
    sim::Placement& p = place("Attitude");
    host.set_var(612, 100);
    host.cycle();
    EXPECT_NEAR(p.element(kAeroplane).dy, -15, 1e-12);
    EXPECT_EQ(p.element(kAeroplane).dx, 0);
    host.set_var(612, -20);
    host.cycle();
    EXPECT_NEAR(p.element(kAeroplane).dy, 3, 1e-12);
}

TEST_F(ModuleTest, AttitudeKnobAndCagingButtonSendTheirEvents) {
    sim::Placement& p = place("Attitude");
    EXPECT_EQ(p.cursor(115, 250), CURSOR_DOWNARROW);
    EXPECT_EQ(p.cursor(140, 250), CURSOR_UPARROW);
    EXPECT_EQ(p.cursor(250, 260), CURSOR_HAND);
    EXPECT_EQ(p.cursor(100, 100), CURSOR_NONE);
    EXPECT_TRUE(p.hold(115, 250, MOUSE_LEFTSINGLE, 3));
    EXPECT_EQ(host.events(), std::vector<sim::KeyEvent>(4, {66319, 0}));
    host.clear_events();
    EXPECT_TRUE(p.hold(152, 280, MOUSE_LEFTSINGLE, 1));
    EXPECT_EQ(host.events(), std::vector<sim::KeyEvent>(2, {66318, 0}));
    host.clear_events();
    // The caging button takes one click per press, however long it is held.
    EXPECT_TRUE(p.hold(250, 260, MOUSE_LEFTSINGLE, 5));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{66373, 0}}));
    host.clear_events();
    EXPECT_FALSE(p.click(250, 260, MOUSE_RIGHTSINGLE));
    EXPECT_FALSE(p.click(100, 100));
    EXPECT_TRUE(host.events().empty());
    ASSERT_EQ(p.children().size(), 3u);
    for (const MouseRect* child : p.children()) EXPECT_EQ(child->callback, nullptr);
}

TEST_F(ModuleTest, AttitudeTooltips) {
    sim::Placement& p = place("Attitude");
    EXPECT_EQ(p.tooltip(100, 100), "[help 0x3092]");
    EXPECT_EQ(p.tooltip(115, 250), "Plane adjusting button");
    EXPECT_EQ(p.tooltip(152, 280), "Plane adjusting button");
    EXPECT_EQ(p.tooltip(250, 260), "Attitude caging button");
    EXPECT_EQ(p.tooltip(292, 302), "Attitude caging button");
    EXPECT_EQ(p.tooltip(50, 270), "");
}

// --------------------------------------------------------- Gyro_Compass

namespace {
enum : size_t { kCompassFace, kSettingKnob, kStrip, kFlag };

// Where the strip stands in its 1082-pixel travel for a heading, from its
// record's x range (minimum end 360, maximum end 0).
double strip_travel(const MovingImageElement& strip, double heading) {
    return 1082.0 * (heading - strip.min_x) / (strip.max_x - strip.min_x);
}
}  // namespace

TEST_F(ModuleTest, GyroCompassRecordsInDrawingOrder) {
    sim::Placement& p = place("Gyro_Compass");
    expect_chain(p, {{ELEMENT_STATIC_IMAGE, 400, 0, 0, 0x3},
                     {ELEMENT_NEEDLE, 430, 117, 262, 0x83},
                     {ELEMENT_MOVING_IMAGE, 410, 45, 55, 0x4083, {{4, 0}}},
                     {ELEMENT_ICON, 420, 164, 56, 0x4003}});
    auto* knob = p.record<NeedleElement>(kSettingKnob);
    EXPECT_EQ(knob->header.offset_x, 28);
    EXPECT_EQ(knob->header.offset_y, 28);
    // No vertical travel: an empty y range.
    auto* strip = p.record<MovingImageElement>(kStrip);
    EXPECT_EQ(strip->source_y.token, 0u);
    EXPECT_EQ(strip->min_y, 360.0);
    EXPECT_EQ(strip->max_y, 360.0);
    EXPECT_EQ(p.record<IconElement>(kFlag)->source.token, 0u);
}

TEST_F(ModuleTest, GyroCompassStripFollowsTheHeading) {
    sim::Placement& p = place("Gyro_Compass");
    auto* strip = p.record<MovingImageElement>(kStrip);
    host.set_var(84, 0);
    host.cycle();
    EXPECT_EQ(p.element(kStrip).dx, 0);
    EXPECT_EQ(p.element(kStrip).dy, 0);
    EXPECT_DOUBLE_EQ(strip_travel(*strip, p.element(kStrip).dx), 1082.0);
    host.set_var(84, 360);
    host.cycle();
    EXPECT_DOUBLE_EQ(strip_travel(*strip, p.element(kStrip).dx), 0.0);
    // About three pixels per degree.
    host.set_var(84, 90);
    host.cycle();
    EXPECT_DOUBLE_EQ(strip_travel(*strip, p.element(kStrip).dx), 811.5);
    host.set_var(84, 91);
    host.cycle();
    EXPECT_NEAR(811.5 - strip_travel(*strip, p.element(kStrip).dx), 3.0, 0.01);
}

TEST_F(ModuleTest, GyroCompassSettingKnobTurnsThreeTimesPerFullRange) {
    sim::Placement& p = place("Gyro_Compass");
    const sim::DrawnElement& knob = p.element(kSettingKnob);
    host.set_var(85, 0);
    host.cycle();
    EXPECT_POINTS(knob, toward(knob, 117, 242));
    host.set_var(85, 65536.0 / 6);
    host.cycle();
    EXPECT_POINTS(knob, toward(knob, 117, 282));
    EXPECT_POINTS(knob, 180);
    host.set_var(85, 21845.33);
    host.cycle();
    EXPECT_NEAR(knob.angle, 360.0, 0.01);
    host.set_var(85, 65536);
    host.cycle();
    EXPECT_NEAR(knob.angle, 1080.0, 1e-9);
}

TEST_F(ModuleTest, GyroCompassFlagShowsWhileEitherVariableIsPositive) {
    sim::Placement& p = place("Gyro_Compass");
    const struct {
        double a, b;
        int image;
    } cases[] = {{0, 0, -1}, {0.1, 0, 0}, {0, 0.1, 0}, {1, 1, 0}, {-1, -1, -1}, {-5, 0.1, 0}};
    for (const auto& c : cases) {
        host.set_var(279, c.a);
        host.set_var(288, c.b);
        host.tokens_read.clear();
        host.cycle();
        EXPECT_EQ(p.element(kFlag).image, c.image) << c.a << " " << c.b;
        // Both variables are read every time.
        EXPECT_EQ(host.tokens_read.count(279), 1u);
        EXPECT_EQ(host.tokens_read.count(288), 1u);
    }
}

TEST_F(ModuleTest, GyroCompassKnobSendsTheSettingEvents) {
    sim::Placement& p = place("Gyro_Compass");
    EXPECT_EQ(p.cursor(100, 250), CURSOR_DOWNARROW);
    EXPECT_EQ(p.cursor(130, 250), CURSOR_UPARROW);
    EXPECT_TRUE(p.hold(100, 250, MOUSE_LEFTSINGLE, 2));
    EXPECT_EQ(host.events(), std::vector<sim::KeyEvent>(3, {65878, 0}));
    host.clear_events();
    EXPECT_TRUE(p.hold(144, 289, MOUSE_LEFTSINGLE, 1));
    EXPECT_EQ(host.events(), std::vector<sim::KeyEvent>(2, {65877, 0}));
    host.clear_events();
    EXPECT_FALSE(p.click(100, 250, MOUSE_RIGHTSINGLE));
    EXPECT_FALSE(p.click(100, 100));
    EXPECT_TRUE(host.events().empty());
}

TEST_F(ModuleTest, GyroCompassTooltips) {
    sim::Placement& p = place("Gyro_Compass");
    EXPECT_EQ(p.tooltip(100, 100), "[help 0x3208]");
    // The knob's help covers its left half only.
    EXPECT_EQ(p.tooltip(100, 250), "[help 0xAB35]");
    EXPECT_EQ(p.tooltip(130, 250), "");
    EXPECT_EQ(p.tooltip(250, 250), "");
}
