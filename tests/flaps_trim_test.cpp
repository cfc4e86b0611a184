// The flaps needle with its lag and the two trim indicators with their
// tooltips in degrees.
#include <cmath>
#include <limits>

#include "host/needle_rule.h"
#include "tests/host_fixture.h"

namespace {

constexpr uint32_t kFlaps = 330, kElevatorTrim = 783, kRudderTrim = 787;
constexpr double kTwelveDegrees = 0.20943951023931953;

}  // namespace

TEST_F(ModuleTest, FlapsNeedleGlidesAfterTheFlapsWithoutOvershoot) {
    sim::Placement& flaps = place("Flaps_Indicator");
    ASSERT_EQ(flaps.element_count(), 3u);
    const sim::DrawnElement& needle = flaps.element(1);
    host.cycle();
    EXPECT_NEAR(needle.angle, 90.0, 1e-9);  // 3 o'clock at rest
    host.set_var(kFlaps, 16382);
    host.cycle();
    EXPECT_DOUBLE_EQ(needle.value, 2047.75);
    host.cycle();
    EXPECT_NEAR(needle.value, 3839.53, 0.005);
    double previous = needle.value;
    for (int i = 0; i < 200; ++i) {
        host.cycle();
        EXPECT_GE(needle.value, previous);
        EXPECT_LE(needle.value, 16382.0);
        previous = needle.value;
    }
    EXPECT_NEAR(needle.value, 16382.0, 0.01);
    // Full travel points about 151 degrees clockwise from straight up.
    EXPECT_NEAR(needle.angle, 150.6, 0.5);
}

TEST_F(ModuleTest, FlapsNeedleHoldsThroughValuesThatAreNotNumbers) {
    sim::Placement& flaps = place("Flaps_Indicator");
    host.set_var(kFlaps, 8191);
    host.cycles(100);
    double settled = flaps.element(1).value;
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        host.set_var(kFlaps, bad);
        host.cycles(3);
        EXPECT_EQ(flaps.element(1).value, settled);
    }
    host.set_var(kFlaps, 1e308);  // huge but finite: still a weighted mean
    host.cycles(3);
    EXPECT_TRUE(std::isfinite(flaps.element(1).value));
    double high = flaps.element(1).value;
    host.set_var(kFlaps, 0);
    host.cycle();
    EXPECT_LT(flaps.element(1).value, high);
}

TEST_F(ModuleTest, FlapsIndicatorFaceFailureAndHelp) {
    sim::Placement& flaps = place("Flaps_Indicator");
    host.active_failures.insert(20);
    host.cycle();
    EXPECT_EQ(flaps.element(0).bitmap, 3160);
    EXPECT_TRUE(flaps.element(0).lit);
    EXPECT_EQ(flaps.element(1).bitmap, 3170);
    EXPECT_EQ(flaps.element(1).failure_actions, std::vector<uint32_t>{0});
    EXPECT_EQ(flaps.element(2).bitmap, 3180);
    EXPECT_FALSE(flaps.element(2).lit);
    EXPECT_EQ(flaps.tooltip(100, 100), "[help 0xAB24]");
    EXPECT_TRUE(flaps.children().empty());
}

TEST_F(ModuleTest, PitchTrimNeedleSwingsOnTheLeftHalfAndStopsAtTwelveDegrees) {
    sim::Placement& trim = place("Pitch_Trim_Indicator");
    const sim::DrawnElement& needle = trim.element(1);
    host.cycle();
    EXPECT_EQ(needle.bitmap, 2420);
    auto angle_at = [&](double radians) {
        host.set_var(kElevatorTrim, radians);
        host.cycle();
        return std::fmod(needle.angle + 720.0, 360.0);
    };
    EXPECT_NEAR(angle_at(0), sim::point_angle(100, 100, 26, 99), 1e-9);  // 9 o'clock
    EXPECT_GT(angle_at(0.1), angle_at(0));                              // nose up: above
    EXPECT_LT(angle_at(-0.1), angle_at(0));                             // nose down: below
    EXPECT_NEAR(angle_at(-0.3), angle_at(-kTwelveDegrees), 1e-9);
    EXPECT_NEAR(angle_at(-1.0), angle_at(-kTwelveDegrees), 1e-9);
    EXPECT_NEAR(angle_at(0.3), angle_at(kTwelveDegrees), 1e-9);
    host.active_failures.insert(20);
    host.cycle();
    EXPECT_EQ(needle.failure_actions, std::vector<uint32_t>{2});
}

TEST_F(ModuleTest, PitchTrimTooltipPrintsTheTrimInDegrees) {
    sim::Placement& trim = place("Pitch_Trim_Indicator");
    host.set_var(kElevatorTrim, 0.1);
    EXPECT_EQ(trim.tooltip(100, 100), "Elevator (Pitch) trim indicator (  5.7\xB0)");
    host.set_var(kElevatorTrim, -0.3);  // beyond the needle's stop
    EXPECT_EQ(trim.tooltip(100, 100), "Elevator (Pitch) trim indicator ( -17.2\xB0)");
    host.set_var(kElevatorTrim, 0);
    EXPECT_EQ(trim.tooltip(100, 100), "Elevator (Pitch) trim indicator (  0.0\xB0)");
    EXPECT_TRUE(trim.children().empty());
}

TEST_F(ModuleTest, RudderTrimNeedleSwingsOnTheTopHalfWithItsTooltip) {
    sim::Placement& trim = place("Rudder_Trim_Indicator");
    const sim::DrawnElement& needle = trim.element(1);
    host.cycle();
    EXPECT_EQ(needle.bitmap, 2450);
    EXPECT_EQ(needle.x, 101);
    host.set_var(kRudderTrim, 0);
    host.cycle();
    EXPECT_NEAR(std::fmod(needle.angle, 360.0), 0.0, 1.0);  // 12 o'clock
    host.set_var(kRudderTrim, 0.3);
    host.cycle();
    double right_stop = needle.angle;
    host.set_var(kRudderTrim, kTwelveDegrees);
    host.cycle();
    EXPECT_NEAR(needle.angle, right_stop, 1e-9);
    host.set_var(kRudderTrim, -0.05);
    EXPECT_EQ(trim.tooltip(100, 100), "Rudder (Yaw) trim indicator ( -2.9\xB0)");
    host.set_var(kRudderTrim, 0.2);
    EXPECT_EQ(trim.tooltip(100, 100), "Rudder (Yaw) trim indicator ( 11.5\xB0)");
}

TEST_F(ModuleTest, TrimTooltipsSurviveHostileValues) {
    sim::Placement& pitch = place("Pitch_Trim_Indicator");
    sim::Placement& rudder = place("Rudder_Trim_Indicator");
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e308}) {
        host.set_var(kElevatorTrim, bad);
        host.set_var(kRudderTrim, bad);
        host.cycle();
        EXPECT_EQ(pitch.tooltip(10, 10).rfind("Elevator (Pitch) trim indicator ( ", 0), 0u);
        EXPECT_EQ(rudder.tooltip(10, 10).rfind("Rudder (Yaw) trim indicator ( ", 0), 0u);
    }
}
