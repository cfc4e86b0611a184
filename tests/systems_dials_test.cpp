// The systems dials as the pilot sees them: needle angles against their
// dial points, tooltips, failures, and values the simulator should never
// deliver.
#include <cmath>
#include <string>
#include <vector>

#include "host/needle_rule.h"
#include "tests/host_fixture.h"
#include "tests/hostile_values.h"

namespace {

// Two needle angles point the same way (the host does not wrap them).
::testing::AssertionResult same_direction(double drawn, double expected) {
    double difference = std::fmod(drawn - expected, 360.0);
    if (difference < 0) difference += 360.0;
    if (difference < 1e-6 || difference > 360.0 - 1e-6) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "needle at " << drawn << "°, expected " << expected << "° (mod 360)";
}

struct DialPoint {
    double value;
    int x, y;  // the background point the needle should point to
};

struct DrawnLayer {
    uint32_t kind;
    int32_t bitmap;
    uint32_t image_flags;
};

void expect_layers(sim::Placement& p, const std::vector<DrawnLayer>& layers) {
    p.compute_drawn();
    ASSERT_EQ(p.element_count(), layers.size());
    for (size_t i = 0; i < layers.size(); ++i) {
        SCOPED_TRACE("element " + std::to_string(i));
        EXPECT_EQ(p.element(i).kind, layers[i].kind);
        EXPECT_EQ(p.element(i).bitmap, layers[i].bitmap);
        EXPECT_EQ(p.element(i).image_flags, layers[i].image_flags);
    }
}

class SystemsDialTest : public ModuleTest {
protected:
    // Sets the variable, runs a cycle and checks the needle against each
    // dial point.
    void expect_points(sim::Placement& p, size_t needle, uint32_t token, const std::vector<DialPoint>& points) {
        const sim::DrawnElement& e = p.element(needle);
        for (const DialPoint& point : points) {
            SCOPED_TRACE("value " + std::to_string(point.value));
            host.set_var(token, point.value);
            host.cycle();
            EXPECT_TRUE(same_direction(p.element(needle).angle, sim::point_angle(e.x, e.y, point.x, point.y)));
        }
    }
    double angle_for(sim::Placement& p, size_t needle, uint32_t token, double value) {
        host.set_var(token, value);
        host.cycle();
        return p.element(needle).angle;
    }
};

constexpr double kFull = 8388610;

}  // namespace

// ----------------------------------------------------------- Synchroscope

TEST_F(SystemsDialTest, SynchroscopeBarTiltsWithThePropellerSpeedDifference) {
    sim::Placement& p = place("Synchroscope");
    expect_layers(p, {{ELEMENT_STATIC_IMAGE, 2470, 0x4003}, {ELEMENT_NEEDLE, 2480, 0x4083},
                      {ELEMENT_STATIC_IMAGE, 2490, 0x3}});
    const double level = sim::point_angle(100, 100, 190, 100);
    const double up = sim::point_angle(100, 100, 100, 10);
    const double down = sim::point_angle(100, 100, 100, 190);
    auto bar_at = [&](double rpm1, double rpm2) {
        host.set_var(700, rpm1);
        host.set_var(708, rpm2);
        host.cycle();
        return p.element(1).angle;
    };
    EXPECT_TRUE(same_direction(bar_at(2200, 2200), level));
    EXPECT_EQ(p.element(1).value, 0.0);
    EXPECT_TRUE(same_direction(bar_at(2100, 2050), (level + up) / 2));
    EXPECT_EQ(p.element(1).value, 50.0);
    EXPECT_TRUE(same_direction(bar_at(2100, 2000), up));
    EXPECT_TRUE(same_direction(bar_at(2000, 2100), down));
    // Beyond 100 rpm the end segment goes on: a half turn from level at 200.
    EXPECT_TRUE(same_direction(bar_at(2200, 2000), level + 180));
    EXPECT_TRUE(same_direction(bar_at(2000, 2200), level + 180));
    EXPECT_EQ(p.record<NeedleElement>(1)->source.token, 0u);
    EXPECT_EQ(p.record<NeedleElement>(1)->header.offset_x, 60);
    EXPECT_EQ(p.record<NeedleElement>(1)->header.offset_y, 8);
}

TEST_F(SystemsDialTest, SynchroscopeFailuresAndTooltip) {
    sim::Placement& p = place("Synchroscope");
    host.active_failures = {3, 6};
    host.cycle();
    EXPECT_EQ(p.element(1).failure_actions, (std::vector<uint32_t>{1, 2}));
    EXPECT_TRUE(p.element(0).failure_actions.empty());
    EXPECT_EQ(p.tooltip(100, 100), "[help 0xAD03]");
    EXPECT_TRUE(p.children().empty());
}

TEST_F(SystemsDialTest, SynchroscopeKeepsAFiniteBarForImpossibleSpeeds) {
    sim::Placement& p = place("Synchroscope");
    for (double a : kHostileValues)
        for (double b : kHostileValues) {
            host.set_var(700, a);
            host.set_var(708, b);
            host.cycle();
            EXPECT_TRUE(std::isfinite(p.element(1).value)) << a << " - " << b;
        }
    host.set_var(700, NAN);
    host.set_var(708, 2000);
    host.cycle();
    EXPECT_EQ(p.element(1).value, 0.0);  // no reading: level
}

// ---------------------------------------------------------- Fuel_Quantity

TEST_F(SystemsDialTest, FuelNeedlesPointAtTheirGraduations) {
    sim::Placement& p = place("Fuel_Quantity");
    expect_layers(p, {{ELEMENT_STATIC_IMAGE, 3040, 0x4003}, {ELEMENT_NEEDLE, 3050, 0x4083},
                      {ELEMENT_NEEDLE, 3050, 0x4083}, {ELEMENT_STATIC_IMAGE, 3060, 0x3}});
    // Right tanks: element 1, pivot 241,150; left tanks: element 2, 66,150.
    EXPECT_EQ(p.element(1).x, 241);
    EXPECT_EQ(p.element(2).x, 66);
    expect_points(p, 1, 297,
                  {{0, 180, 216}, {kFull / 4, 170, 186}, {kFull / 2, 166, 146}, {kFull * 3 / 4, 170, 110},
                   {kFull, 185, 76}});
    expect_points(p, 2, 291,
                  {{0, 120, 216}, {kFull / 4, 133, 186}, {kFull / 2, 135, 147}, {kFull * 3 / 4, 133, 112},
                   {kFull, 120, 78}});
}

TEST_F(SystemsDialTest, FuelNeedlesRiseTowardsTheTopOfEachScale) {
    sim::Placement& p = place("Fuel_Quantity");
    // The right needle turns clockwise as the tanks fill, the left one
    // counter-clockwise: both climb from the bottom of the dial.
    double right_low = angle_for(p, 1, 297, kFull / 8), right_high = angle_for(p, 1, 297, kFull * 7 / 8);
    double left_low = angle_for(p, 2, 291, kFull / 8), left_high = angle_for(p, 2, 291, kFull * 7 / 8);
    EXPECT_GT(right_high, right_low);
    EXPECT_LT(left_high, left_low);
    // Half tanks on both sides: each needle on its 1/2 mark.
    host.set_var(291, 4194305);
    host.set_var(297, 4194305);
    host.cycle();
    EXPECT_TRUE(same_direction(p.element(1).angle, sim::point_angle(241, 150, 166, 146)));
    EXPECT_TRUE(same_direction(p.element(2).angle, sim::point_angle(66, 150, 135, 147)));
    EXPECT_EQ(p.record<NeedleElement>(1)->header.offset_x, -3);
    EXPECT_EQ(p.record<NeedleElement>(2)->header.offset_y, 5);
}

TEST_F(SystemsDialTest, FuelHalvesCarryTheHostTooltipsAndFailures) {
    sim::Placement& p = place("Fuel_Quantity");
    EXPECT_EQ(p.tooltip(10, 150), "[help 0x3118]");
    EXPECT_EQ(p.tooltip(149, 10), "[help 0x3118]");
    EXPECT_EQ(p.tooltip(150, 150), "[help 0x3119]");
    EXPECT_EQ(p.tooltip(299, 299), "[help 0x3119]");
    host.active_failures = {2, 20};
    host.cycle();
    EXPECT_EQ(p.element(1).failure_actions, (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(p.element(2).failure_actions, (std::vector<uint32_t>{0, 2}));
}

TEST_F(SystemsDialTest, FuelNeedlesReadEmptyWhenTheQuantityIsNoNumber) {
    sim::Placement& p = place("Fuel_Quantity");
    for (double v : kHostileValues) {
        host.set_var(291, v);
        host.set_var(297, v);
        host.cycle();
        EXPECT_TRUE(std::isfinite(p.element(1).value)) << v;
        EXPECT_TRUE(std::isfinite(p.element(2).value)) << v;
        if (!std::isfinite(v)) {
            EXPECT_TRUE(same_direction(p.element(1).angle, sim::point_angle(241, 150, 180, 216)));
            EXPECT_TRUE(same_direction(p.element(2).angle, sim::point_angle(66, 150, 120, 216)));
        }
    }
}

// ----------------------------------------------------- Hydraulic_Pressure

TEST_F(SystemsDialTest, HydraulicNeedleRestsOnItsZeroStopAndReads350Bar) {
    sim::Placement& p = place("Hydraulic_Pressure");
    expect_layers(p, {{ELEMENT_STATIC_IMAGE, 2250, 0x4003}, {ELEMENT_NEEDLE, 2260, 0x4083},
                      {ELEMENT_STATIC_IMAGE, 2270, 0x3}});
    expect_points(p, 1, 732, {{0, 57, 102}, {-2087.91, 57, 102}, {-50000, 57, 102}, {730768.5, 193, 93}});
    const double zero = sim::point_angle(127, 190, 57, 102);
    double half = angle_for(p, 1, 732, 730768.5 / 2);
    double full = angle_for(p, 1, 732, 730768.5);
    EXPECT_NEAR(half, (zero + full) / 2, 1e-9);  // linear in pressure
}

TEST_F(SystemsDialTest, HydraulicTooltipStatesWholeBars) {
    sim::Placement& p = place("Hydraulic_Pressure");
    host.set_var(732, 2087.91 * 150);
    EXPECT_EQ(p.tooltip(125, 125), "Hydraulic pressure (150 bars)");
    host.set_var(732, 0);
    EXPECT_EQ(p.tooltip(125, 125), "Hydraulic pressure (0 bars)");
    host.set_var(732, 2087.91 * 212.7);
    EXPECT_EQ(p.tooltip(125, 125), "Hydraulic pressure (212 bars)");
    host.active_failures = {2, 20};
    host.cycle();
    EXPECT_EQ(p.element(1).failure_actions, (std::vector<uint32_t>{0, 2}));
}

TEST_F(SystemsDialTest, HydraulicTooltipStaysInRangeForImpossiblePressures) {
    sim::Placement& p = place("Hydraulic_Pressure");
    const std::pair<double, const char*> cases[] = {
        {NAN, "Hydraulic pressure (0 bars)"},
        {INFINITY, "Hydraulic pressure (2147483647 bars)"},
        {-INFINITY, "Hydraulic pressure (-2147483648 bars)"},
        {1e300, "Hydraulic pressure (2147483647 bars)"},
        {-1e300, "Hydraulic pressure (-2147483648 bars)"},
    };
    for (auto& [value, text] : cases) {
        host.set_var(732, value);
        host.cycle();
        EXPECT_EQ(p.tooltip(125, 125), text) << value;
    }
}

// ------------------------------------------------------ Suction_Indicator

TEST_F(SystemsDialTest, SuctionNeedleHoldsOnTheTenStopAboveItsScale) {
    sim::Placement& p = place("Suction_Indicator");
    expect_layers(p, {{ELEMENT_STATIC_IMAGE, 2310, 0x4003}, {ELEMENT_NEEDLE, 2330, 0x4083},
                      {ELEMENT_STATIC_IMAGE, 2320, 0x3}});
    expect_points(p, 1, 353, {{0, 92, 240}, {5, 150, 55}, {10, 206, 238}, {12, 206, 238}, {15, 206, 238},
                              {400, 206, 238}});
    EXPECT_EQ(p.record<NeedleElement>(1)->header.offset_x, 12);
    EXPECT_EQ(p.record<NeedleElement>(1)->header.offset_y, 9);
    EXPECT_EQ(p.tooltip(150, 150), "[help 0xAB66]");
    host.active_failures = {2, 4};
    host.cycle();
    EXPECT_EQ(p.element(1).failure_actions, (std::vector<uint32_t>{0, 0}));
}

// ---------------------------------------------------------- OAT_Indicator

TEST_F(SystemsDialTest, AirTemperatureNeedleFollowsItsScale) {
    sim::Placement& p = place("OAT_Indicator");
    expect_layers(p, {{ELEMENT_STATIC_IMAGE, 2280, 0x4003}, {ELEMENT_NEEDLE, 2290, 0x4083},
                      {ELEMENT_STATIC_IMAGE, 2300, 0x3}});
    expect_points(p, 1, 341,
                  {{-70, 51, 122}, {-50, 74, 110}, {-40, 84, 97}, {-30, 100, 91}, {-20, 119, 84}, {-10, 142, 80},
                   {0, 167, 84}, {10, 192, 85}, {20, 214, 92}, {30, 231, 103}, {40, 246, 112}, {50, 257, 123}});
    host.active_failures = {2, 3, 4, 20};
    host.cycle();
    EXPECT_TRUE(p.element(1).failure_actions.empty());
}

TEST_F(SystemsDialTest, AirTemperatureTooltipShowsWhatTheNeedleLastRead) {
    sim::Placement& p = place("OAT_Indicator");
    host.set_var(341, -23.6);
    EXPECT_EQ(p.tooltip(157, 157), "Outside air temperature (0\xB0)");  // not updated yet
    host.cycle();
    EXPECT_EQ(p.tooltip(157, 157), "Outside air temperature (-23\xB0)");
    host.set_var(341, 18);
    EXPECT_EQ(p.tooltip(157, 157), "Outside air temperature (-23\xB0)");
    host.cycle();
    EXPECT_EQ(p.tooltip(157, 157), "Outside air temperature (18\xB0)");
}

TEST_F(SystemsDialTest, AirTemperatureReadsZeroWhenTheSimulatorGivesNoNumber) {
    sim::Placement& p = place("OAT_Indicator");
    for (double v : kHostileValues) {
        host.set_var(341, v);
        host.cycle();
        EXPECT_TRUE(std::isfinite(p.element(1).value)) << v;
        std::string text = p.tooltip(157, 157);
        if (std::isfinite(v))
            EXPECT_EQ(text, v > 0 ? "Outside air temperature (2147483647\xB0)"
                                  : "Outside air temperature (-2147483648\xB0)");
        else
            EXPECT_EQ(text, "Outside air temperature (0\xB0)") << v;
    }
}
