// The landing gear handle and the gear lamps, as the pilot sees them.
#include <cmath>
#include <limits>

#include "tests/host_fixture.h"

namespace {

constexpr uint32_t kGearHandle = 331, kTailWheel = 332, kLeftWheel = 333, kRightWheel = 334, kClock = 604;

// Drawing order of Gear_Lamps: background, then tail red and green, right
// red and green, left red and green.
enum Lamp { kTailRed = 1, kTailGreen, kRightRed, kRightGreen, kLeftRed, kLeftGreen };

bool lit(const sim::Placement& p, Lamp lamp) { return p.element(lamp).image == 0; }

}  // namespace

TEST_F(ModuleTest, GearLeverShowsTheHandleUpBelowHalfTravelAndDownFromIt) {
    sim::Placement& lever = place("Gear_Lever");
    ASSERT_EQ(lever.element_count(), 2u);
    host.cycle();
    EXPECT_EQ(lever.element(0).bitmap, 3070);
    EXPECT_EQ(lever.element(1).bitmap, 3080);
    EXPECT_EQ(lever.element(1).x, 0);
    EXPECT_EQ(lever.element(1).y, 38);
    for (auto [handle, image] : {std::pair{0.0, 0}, {7999.0, 0}, {8000.0, 1}, {16383.0, 1}, {-1e300, 0}}) {
        host.set_var(kGearHandle, handle);
        host.cycle();
        EXPECT_EQ(lever.element(1).image, image) << handle;
    }
    // A hostile value still draws one of the two pictures.
    host.set_var(kGearHandle, std::numeric_limits<double>::quiet_NaN());
    host.cycle();
    EXPECT_TRUE(lever.element(1).image == 0 || lever.element(1).image == 1);
}

TEST_F(ModuleTest, GearLeverClickMakesTheHostSendTheGearToggle) {
    sim::Placement& lever = place("Gear_Lever");
    EXPECT_EQ(lever.tooltip(60, 100), "[help 0xAB30]");
    EXPECT_EQ(lever.cursor(10, 10), CURSOR_HAND);
    EXPECT_TRUE(lever.click(124, 134));
    EXPECT_TRUE(lever.click(0, 0));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{65570, 0}, {65570, 0}}));
    host.clear_events();
    EXPECT_FALSE(lever.click(130, 150));  // below and right of the handle
    EXPECT_FALSE(lever.click(60, 100, MOUSE_RIGHTSINGLE));
    EXPECT_TRUE(host.events().empty());
}

TEST_F(ModuleTest, GearLampsGreenOnlyAboveLockedAndRedBlinksInTransit) {
    sim::Placement& lamps = place("Gear_Lamps");
    ASSERT_EQ(lamps.element_count(), 7u);
    host.cycle();
    EXPECT_EQ(lamps.element(kLeftRed).bitmap, 3130);
    EXPECT_EQ(lamps.element(kLeftGreen).bitmap, 3120);
    host.set_var(kClock, 0.3);  // in the lit phase of both flashers
    struct Case {
        double extension;
        bool red, green;
    } cases[] = {{0, false, false},     {49, false, false},     {50, true, false},
                 {8000, true, false},   {16300, true, false},   {16300.5, false, true},
                 {16383, false, true}};
    for (const Case& c : cases) {
        host.set_var(kLeftWheel, c.extension);
        host.set_var(kRightWheel, c.extension);
        host.cycle();
        EXPECT_EQ(lit(lamps, kLeftRed), c.red) << c.extension;
        EXPECT_EQ(lit(lamps, kRightRed), c.red) << c.extension;
        EXPECT_EQ(lit(lamps, kLeftGreen), c.green) << c.extension;
        EXPECT_EQ(lit(lamps, kRightGreen), c.green) << c.extension;
    }
}

TEST_F(ModuleTest, GearLampsTransitLampsBlinkAtTheirOwnRatesOverTime) {
    sim::Placement& lamps = place("Gear_Lamps");
    host.set_var(kLeftWheel, 8000);
    host.set_var(kRightWheel, 8000);
    int left_lit = 0, right_lit = 0, differ = 0;
    const int steps = 5200;  // 52 s in 10 ms steps
    for (int i = 0; i < steps; ++i) {
        double t = i * 0.01 + 0.005;
        host.set_var(kClock, t);
        host.cycle();
        bool left = lit(lamps, kLeftRed), right = lit(lamps, kRightRed);
        EXPECT_EQ(left, std::fmod(t, 0.51) > 0.255) << t;
        EXPECT_EQ(right, std::fmod(t, 0.52) > 0.26) << t;
        left_lit += left;
        right_lit += right;
        differ += left != right;
    }
    // Lit for just under half of each period, and the two sides drift in
    // and out of step.
    EXPECT_NEAR(double(left_lit) / steps, 0.5, 0.02);
    EXPECT_NEAR(double(right_lit) / steps, 0.5, 0.02);
    EXPECT_GT(differ, steps / 10);
}

TEST_F(ModuleTest, GearLampsTailColumnNeverLightsAndBadValuesStayDark) {
    sim::Placement& lamps = place("Gear_Lamps");
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    host.set_var(kClock, 0.3);
    for (double v : {0.0, 8000.0, 16383.0, nan, inf, -inf, 1e308}) {
        host.set_var(kTailWheel, v);
        host.cycle();
        EXPECT_FALSE(lit(lamps, kTailRed)) << v;
        EXPECT_FALSE(lit(lamps, kTailGreen)) << v;
    }
    host.set_var(kLeftWheel, nan);
    host.cycle();
    EXPECT_FALSE(lit(lamps, kLeftRed));
    EXPECT_FALSE(lit(lamps, kLeftGreen));
    // A clock that is not a number gives no blinking phase.
    host.set_var(kLeftWheel, 8000);
    for (double clock : {nan, inf, -inf}) {
        host.set_var(kClock, clock);
        host.cycle();
        EXPECT_FALSE(lit(lamps, kLeftRed)) << clock;
    }
}

TEST_F(ModuleTest, GearLampsCarryTheirFailureAndHelpText) {
    sim::Placement& lamps = place("Gear_Lamps");
    host.active_failures.insert(20);
    host.cycle();
    for (int i = kTailRed; i <= kLeftGreen; ++i) {
        EXPECT_EQ(lamps.element(i).failure_actions, std::vector<uint32_t>{3});
        EXPECT_EQ(lamps.element(i).image_flags, 0x7u);
    }
    EXPECT_EQ(lamps.tooltip(50, 50), "[help 0xAB31]");
    EXPECT_TRUE(lamps.children().empty());
}

// Each side's lamps follow their own wheel: with one wheel locked down and
// the other in transit, the locked side shows green and the travelling side
// red, then the other way round.
TEST_F(ModuleTest, GearLampsEachSideFollowsItsOwnWheel) {
    sim::Placement& lamps = place("Gear_Lamps");
    host.set_var(kClock, 0.3);  // in the lit phase of both flashers
    host.set_var(kTailWheel, 16383);
    host.set_var(kLeftWheel, 16383);
    host.set_var(kRightWheel, 8000);
    host.cycle();
    EXPECT_TRUE(lit(lamps, kLeftGreen));
    EXPECT_FALSE(lit(lamps, kLeftRed));
    EXPECT_TRUE(lit(lamps, kRightRed));
    EXPECT_FALSE(lit(lamps, kRightGreen));
    host.set_var(kLeftWheel, 8000);
    host.set_var(kRightWheel, 16383);
    host.cycle();
    EXPECT_TRUE(lit(lamps, kLeftRed));
    EXPECT_FALSE(lit(lamps, kLeftGreen));
    EXPECT_TRUE(lit(lamps, kRightGreen));
    EXPECT_FALSE(lit(lamps, kRightRed));
    // One wheel up, the other down.
    host.set_var(kLeftWheel, 0);
    host.cycle();
    EXPECT_FALSE(lit(lamps, kLeftRed));
    EXPECT_FALSE(lit(lamps, kLeftGreen));
    EXPECT_TRUE(lit(lamps, kRightGreen));
}
