// Radio navigation following the aircraft: the ADF needle points at the
// NDB, the VOR needles and TO/FROM flags follow the radial, the marker
// lamps light over the three markers, the radio altimeter reads the height.
#include <string>

#include "aircraft/radio_nav.h"
#include "tests/aircraft/aircraft_fixture.h"

namespace {

void put(aircraft::State& s, double east, double north, double heading) {
    s.flight.east_m = east;
    s.flight.north_m = north;
    s.flight.heading_deg = heading;
}

}  // namespace

TEST_F(AircraftTest, AdfPointsAtTheNdbOnceTunedAndSwitchedOn) {
    sim::Placement& radio = place("Radio_ADF");
    sim::Placement& adf = place("ADF_Indicator");
    const aircraft::Station& ndb = aircraft::aerodrome().ndb;
    put(state(), ndb.east_m, ndb.north_m - 5000, 0);  // south of it, nose north
    host.cycle();
    EXPECT_EQ(adf.tooltip(150, 100), "ADF position (None : ADF radio off)");
    radio.click(276, 254);  // on, at 350 kHz: nothing heard
    host.cycle();
    EXPECT_EQ(adf.tooltip(150, 100), "ADF position (None : No ADF signal)");
    for (int i = 0; i < 5; ++i) radio.click(189, 254, MOUSE_RIGHTSINGLE);  // 375 kHz
    host.cycle();
    EXPECT_NEAR(adf.element(2).value, 0, 1e-6);  // dead ahead
    EXPECT_EQ(adf.tooltip(150, 100), "ADF position (0\xB0)");
    state().flight.heading_deg = 90;
    host.cycle();
    EXPECT_NEAR(adf.element(2).value, 270, 1e-6);  // now on the left
    put(state(), ndb.east_m + 3000, ndb.north_m, 0);  // east of it
    host.cycle();
    EXPECT_NEAR(adf.element(2).value, 270, 1e-6);
}

TEST_F(AircraftTest, VorNeedleAndToFromFollowTheRadial) {
    sim::Placement& nav = place("Radio_NAV1");
    sim::Placement& vor = place("VOR1_Indicator");
    const aircraft::Station& mvn = aircraft::aerodrome().vors[0];
    nav.click(72, 76);  // on
    nav.click(41, 27);  // 113.70: the aerodrome's VOR
    put(state(), mvn.east_m + 10000, mvn.north_m, 270);  // on its 090 radial, heading for it
    host.cycle();
    EXPECT_EQ(vor.element(6).image, 1);  // TO/FROM flag shows an indication
    EXPECT_EQ(aircraft::read_navigation(state()).to_from[0], 1);  // TO on course 270
    EXPECT_NEAR(vor.element(2).value, 0, 1e-6);  // centred
    put(state(), mvn.east_m + 10000, mvn.north_m - 875, 270);  // 5° south of the 090 radial
    host.cycle();
    EXPECT_NEAR(vor.element(2).value, 63.5, 1.5);  // the course line lies to the right: half out
    vor.click(20, 281, MOUSE_RIGHTSINGLE);  // course 260
    for (int i = 0; i < 8; ++i) vor.click(20, 281, MOUSE_RIGHTSINGLE);  // course 180: abeam
    vor.click(20, 281, MOUSE_RIGHTSINGLE);
    host.cycle();  // course 170
    vor.click(20, 281, MOUSE_RIGHTSINGLE);
    for (int i = 0; i < 8; ++i) vor.click(20, 281, MOUSE_RIGHTSINGLE);  // course 080
    host.cycle();
    EXPECT_EQ(vor.element(7).text, "080");
    EXPECT_EQ(aircraft::read_navigation(state()).to_from[0], 2);  // FROM: on the 095 radial
    EXPECT_EQ(vor.element(2).value, -127);  // 15° off: the course far to the left
    nav.click(41, 27);  // 114.70: nothing there
    host.cycle();
    EXPECT_EQ(vor.element(6).image, 0);
    EXPECT_EQ(vor.element(2).value, 0);
}

TEST_F(AircraftTest, MarkerLampsLightOverTheMarkersInTheAir) {
    sim::Placement& omi = place("OMI");
    const double* markers = aircraft::aerodrome().markers_east_m;
    put(state(), markers[0], 0, 270);
    host.cycle();
    EXPECT_EQ(omi.element(1).image, 0);  // on the ground: nothing
    airborne(400, 40);
    for (int m = 0; m < 3; ++m) {
        put(state(), markers[m], 0, 270);
        host.cycle();
        EXPECT_EQ(omi.element(1).image, m + 1) << m;  // outer, middle, inner lamp
    }
    put(state(), (markers[0] + markers[1]) / 2, 0, 270);  // between them
    host.cycle();
    EXPECT_EQ(omi.element(1).image, 0);
    put(state(), markers[1], 2000, 270);  // off the centre line
    host.cycle();
    EXPECT_EQ(omi.element(1).image, 0);
}

TEST_F(AircraftTest, RadioAltimeterReadsHeightAboveTheFieldToItsTop) {
    sim::Placement& sw = place("Radio_Altimeter_Switch");
    sim::Placement& ra = place("Radio_Altimeter");
    sim::Placement& altimeter = place("Altimeter");
    sw.click(20, 60);
    airborne(200, 40);
    host.cycle();
    EXPECT_NEAR(ra.element(1).value, 200, 1e-9);
    EXPECT_NEAR(altimeter.element(13).value, 300 * 3.28084, 1e-6);  // with the field's 100 m
    state().flight.height_m = 2000;
    host.cycle();
    EXPECT_NEAR(ra.element(1).value, 2500 / 3.28084, 1e-6);  // beyond its range
}
