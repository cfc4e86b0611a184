// The aircraft's clocks run with simulated time (the panel clock's hands,
// its chronograph, the gear lamps' blinking), and each quantity reaches
// the gauges in the unit they read: pounds per square foot, Rankine,
// degrees Celsius, fractions of a full tank.
#include "aircraft/variables.h"
#include "tests/aircraft/aircraft_fixture.h"

TEST_F(AircraftTest, ClockShowsTheTimeOfDayAndTheChronographRuns) {
    sim::Placement& timer = place("Quorvet_Timer");
    host.cycle();
    EXPECT_NEAR(timer.element(2).value, 14 * 3600.0, 0.1);  // hour hand: two in the afternoon
    ASSERT_TRUE(timer.click(132, 284));                    // start
    fly(10);
    EXPECT_NEAR(timer.element(2).value, 14 * 3600.0 + 10, 0.1);
    EXPECT_EQ(timer.element(5).value, 9);  // whole seconds of the chronograph (started one cycle in)
    timer.click(132, 284);                 // stop
    fly(5);
    EXPECT_EQ(timer.element(5).value, 9);
}

TEST_F(AircraftTest, QuantitiesReachTheGaugesInTheirUnits) {
    sim::Placement& hydraulic = place("Hydraulic_Pressure");
    sim::Placement& oil_pressure = place("Oil_Pressure");
    sim::Placement& fuel = place("Fuel_Quantity");
    sim::Placement& oat = place("OAT_Indicator");
    host.cycle();
    EXPECT_EQ(hydraulic.element(1).value, 0);  // no engine, no pump
    EXPECT_NEAR(fuel.element(1).value, 340 / 450.0 * 8388610, 1);
    EXPECT_NEAR(oat.element(1).value, 14.35, 0.01);  // °C at the field's 100 m
    engines_running();
    plane.set_pilot("throttle", 0.5);
    fly(30);
    EXPECT_NEAR(hydraulic.element(1).value, 150 * aircraft::kPsfPerBar, 1);
    EXPECT_EQ(hydraulic.tooltip(100, 100), "Hydraulic pressure (150 bars)");
    double bar = oil_pressure.element(1).value / aircraft::kPsfPerBar;
    EXPECT_GT(bar, 4);
    EXPECT_LT(bar, 6);
    fly(60);
    EXPECT_LT(fuel.element(1).value, 340 / 450.0 * 8388610 - 1000);  // burning
}
