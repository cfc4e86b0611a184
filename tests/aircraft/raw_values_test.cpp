// Raw values written from outside (a test, a scenario's set step, the live
// panel's raw strip): a setting goes into the aircraft; any other value is
// shown as given until the aircraft's own state moves it; tokens the
// aircraft does not know stay in the host's own table.
#include "tests/aircraft/aircraft_fixture.h"

TEST_F(AircraftTest, RawValuesHoldUntilTheAircraftMovesThem) {
    sim::Placement& airspeed = place("Airspeed");
    sim::Placement& clock = place("Quorvet_Timer");
    host.set_var(61, 150);
    fly(2);
    EXPECT_EQ(airspeed.element(1).value, 150);  // parked: the aircraft gives 0 all along
    engines_running();
    state().parking_brake = false;
    plane.set_pilot("throttle", 0.4);
    fly(5);
    EXPECT_LT(airspeed.element(1).value, 60);  // rolling: the aircraft's own speed again
    EXPECT_GT(airspeed.element(1).value, 1);

    host.set_var(557, 3600);  // the clock runs on: the next cycle moves it
    fly(1);
    EXPECT_NEAR(clock.element(2).value, 14 * 3600 + 8, 0.1);

    host.set_var(615, 91.44);  // a setting: the decision height becomes 300 ft
    EXPECT_NEAR(state().decision_height_m, 91.44, 1e-9);
    host.set_var_low_word(24, 0x1370);  // NAV1 on 113.70
    EXPECT_EQ(state().radios.nav_hundredths[0], 11370);

    host.set_var(9999, 7);  // unknown to the aircraft
    EXPECT_EQ(host.var(9999), 7);
    EXPECT_TRUE(host.has_var(9999));
}
