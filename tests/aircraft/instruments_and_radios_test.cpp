// The instrument knobs and the radios, answered by the aircraft: each
// click changes what the aircraft holds, and the gauge shows it back
// (frequencies and the code as the BCD words the panels decode).
#include <string>

#include "tests/aircraft/aircraft_fixture.h"

namespace {

constexpr double kFeetPerMetre = 3.28084;

}  // namespace

TEST_F(AircraftTest, InstrumentKnobsSetTheAltimeterGyroCardBarAndCage) {
    sim::Placement& altimeter = place("Altimeter");
    sim::Placement& gyro = place("Gyro_Compass");
    sim::Placement& adf = place("ADF_Indicator");
    sim::Placement& attitude = place("Attitude");
    host.cycle();
    double altitude = altimeter.element(13).value;
    EXPECT_NEAR(altitude, 100 * kFeetPerMetre, 0.01);  // the field's elevation at standard pressure
    for (int i = 0; i < 3; ++i) altimeter.click(60, 260);
    host.cycle();
    EXPECT_NEAR(altimeter.element(15).value, 1016.25, 1e-9);  // setting knob
    EXPECT_NEAR(altimeter.element(13).value - altitude, 3 * 27.3, 1e-6);

    gyro.click(130, 262);
    gyro.click(130, 262);
    host.cycle();
    EXPECT_NEAR(gyro.element(2).value, 2, 1e-9);  // heading strip: the gyro reads 2° more than the aircraft's 0
    EXPECT_NEAR(gyro.element(1).value, 2 * 65536 / 360.0, 1e-6);

    adf.click(20, 269);  // card one degree back
    host.cycle();
    EXPECT_NEAR(adf.element(4).value, 359, 1e-9);

    attitude.click(142, 260);
    host.cycle();
    EXPECT_EQ(attitude.element(3).dy, 4 * -0.15);  // the miniature aeroplane raised
    state().flight.bank_deg = 20;  // right wing down: the host counts it as -20
    host.cycle();
    EXPECT_EQ(attitude.element(1).value_rotation, -20);
    EXPECT_EQ(attitude.element(2).value, -20);  // the bank pointer towards 3 o'clock
    attitude.click(250, 260);  // caged
    host.cycle();
    EXPECT_EQ(attitude.element(1).value_rotation, 0);
    EXPECT_EQ(attitude.element(2).value, 0);
}

TEST_F(AircraftTest, DecisionHeightKnobStepsAndTheLampLightsBelowItInTheAir) {
    sim::Placement& ra = place("Radio_Altimeter");
    sim::Placement& sw = place("Radio_Altimeter_Switch");
    sim::Placement& lamp = place("Radio_Altimeter_DH_Light");
    host.cycle();
    EXPECT_NEAR(ra.element(2).value, 200 / kFeetPerMetre, 0.01);  // the decision height set: 200 ft
    ra.click(293, 287);
    host.cycle();
    EXPECT_NEAR(ra.element(2).value, 210 / kFeetPerMetre, 0.01);  // 10 ft steps below 300 ft
    for (int i = 0; i < 15; ++i) ra.click(293, 287);
    host.cycle();
    EXPECT_NEAR(ra.element(2).value, 600 / kFeetPerMetre, 0.01);  // to 300 ft, then 50 ft steps
    for (int i = 0; i < 4; ++i) ra.click(260, 287);
    host.cycle();
    EXPECT_NEAR(ra.element(2).value, 400 / kFeetPerMetre, 0.01);

    sw.click(20, 60);  // set on
    host.cycle();
    EXPECT_EQ(lamp.element(1).image, -1);  // on the ground: dark
    airborne(150, 40);
    host.cycle();
    EXPECT_EQ(lamp.element(1).image, -1);  // above
    EXPECT_NEAR(ra.element(1).value, 150, 0.5);
    state().flight.height_m = 100;
    host.cycle();
    EXPECT_EQ(lamp.element(1).image, 0);  // below 400 ft
}

TEST_F(AircraftTest, VorCourseKnobSetsTheCourse) {
    sim::Placement& vor = place("VOR1_Indicator");
    host.cycle();
    EXPECT_EQ(vor.element(7).text, "270");
    vor.click(58, 281);
    host.cycle();
    EXPECT_EQ(vor.element(7).text, "271");
    vor.click(20, 281, MOUSE_RIGHTSINGLE);
    vor.click(20, 281, MOUSE_RIGHTSINGLE);
    host.cycle();
    EXPECT_EQ(vor.element(7).text, "251");
}

TEST_F(AircraftTest, ComWheelsTuneTheAircraftsComFrequency) {
    sim::Placement& com = place("Radio_COM1");
    host.cycle();
    EXPECT_EQ(com.tooltip(100, 100), "Communications Radio COM1 - 118.000 MHz");
    com.click(80, 34);  // tens up: ten whole MHz
    host.cycle();
    com.click(186, 34);  // decimal up: a tenth
    host.cycle();
    com.click(226, 34);  // channel up: 25 kHz
    host.cycle();
    EXPECT_EQ(com.tooltip(100, 100), "Communications Radio COM1 - 128.120 MHz");  // the wheel shows .125 as .12
    EXPECT_EQ(state().radios.com1_khz, 128125);
    EXPECT_EQ(com.element(4).image, 1);  // channel wheel at 25
}

TEST_F(AircraftTest, NavKnobsTuneWhileTheSetIsOnAndTheToneFollowsItsSwitch) {
    sim::Placement& nav = place("Radio_NAV1");
    host.cycle();
    EXPECT_EQ(nav.tooltip(100, 30), "Navigation Radio NAV1 - 112.700 MHz");
    nav.click(41, 27);  // off: nothing
    host.cycle();
    EXPECT_EQ(nav.tooltip(100, 30), "Navigation Radio NAV1 - 112.700 MHz");
    nav.click(72, 76);  // main switch on
    nav.click(41, 27);
    host.cycle();
    nav.click(217, 26);
    host.cycle();
    EXPECT_EQ(nav.tooltip(100, 30), "Navigation Radio NAV1 - 113.750 MHz");
    EXPECT_EQ(nav.element(4).value_y, 3);  // units drum
    EXPECT_FALSE(state().radios.nav_tone[0]);
    nav.click(124, 75);  // tone switch
    host.cycle();
    EXPECT_TRUE(state().radios.nav_tone[0]);
    nav.click(72, 76);  // set off: the tone goes off with it
    host.cycle();
    EXPECT_FALSE(state().radios.nav_tone[0]);
}

TEST_F(AircraftTest, TransponderDigitsStepAndWrapInOctal) {
    sim::Placement& xpdr = place("Radio_XPDR");
    host.cycle();
    EXPECT_EQ(xpdr.element(4).value_y, 1);  // code 1200: thousands drum
    xpdr.click(41, 42);  // on
    xpdr.click(122, 51);
    for (int i = 0; i < 6; ++i) xpdr.click(191, 83);  // units down from 0: 7, 6, ... 2
    host.cycle();
    EXPECT_EQ(xpdr.element(4).value_y, 2);
    EXPECT_EQ(xpdr.element(1).value_y, 2);
    EXPECT_EQ(state().radios.xpdr_digits[0] * 1000 + state().radios.xpdr_digits[3], 2002);
}

TEST_F(AircraftTest, AdfTuningBandsAndToneAnsweredInItsBcdWords) {
    sim::Placement& adf = place("Radio_ADF");
    host.cycle();
    EXPECT_EQ(adf.tooltip(100, 60), "Navigation Radio ADF - 0350.00 MHz");
    adf.click(276, 254);  // on
    adf.click(189, 254, MOUSE_RIGHTSINGLE);  // 5 kHz up
    adf.click(189, 254);                     // 0.5 kHz up
    host.cycle();
    EXPECT_EQ(adf.tooltip(100, 60), "Navigation Radio ADF - 0355.50 MHz");
    adf.click(186, 168);  // band up: 410.0 kHz
    host.cycle();
    adf.click(186, 168);  // band 3: 850.0 kHz
    host.cycle();
    for (int i = 0; i < 31; ++i) adf.click(189, 254, MOUSE_RIGHTSINGLE);  // up to 1005
    host.cycle();
    EXPECT_EQ(adf.tooltip(100, 60), "Navigation Radio ADF - 1005.00 MHz");  // the thousands in the extension word
    EXPECT_EQ(host.var(880), 0);
    adf.click(62, 220);  // tone switch
    host.cycle();
    EXPECT_EQ(host.var(880), 1);
    EXPECT_EQ(adf.tooltip(62, 220), "ADF tone switch (on)");
}
