// The parking brake handle: its picture, its toggle and its clank.
#include "platform/linux/sound_inspect.h"
#include "tests/hostile_values.h"
#include "tests/host_fixture.h"

namespace {

constexpr uint32_t kBrake = 323, kToggle = 65752, kClankWave = 20;

}  // namespace

TEST_F(ModuleTest, ParkingBrakeShowsSetOnlyAboveItsThreshold) {
    sim::Placement& brake = place("Parking_Brake");
    ASSERT_EQ(brake.element_count(), 2u);
    host.cycle();
    EXPECT_EQ(brake.element(0).bitmap, 3140);
    EXPECT_EQ(brake.element(1).bitmap, 3150);
    for (auto [value, image] : {std::pair{0.0, 0}, {32500.0, 0}, {32500.5, 1}, {32767.0, 1}}) {
        host.set_var(kBrake, value);
        host.cycle();
        EXPECT_EQ(brake.element(1).image, image) << value;
    }
    for (double bad : kHostileValues) {
        host.set_var(kBrake, bad);
        host.cycle();
        EXPECT_TRUE(brake.element(1).image == 0 || brake.element(1).image == 1) << bad;
    }
}

TEST_F(ModuleTest, ParkingBrakeClickTogglesAndClanks) {
    sim::Placement& brake = place("Parking_Brake");
    // The simulator sets and releases the brake on the toggle.
    host.on_event(kToggle, [&](uint32_t) { host.set_var(kBrake, host.var(kBrake) > 32500 ? 0 : 32767); });
    host.cycle();
    EXPECT_EQ(brake.element(1).image, 0);
    EXPECT_EQ(brake.tooltip(60, 60), "[help 0xAB51]");
    EXPECT_EQ(brake.cursor(60, 60), CURSOR_HAND);
    ASSERT_TRUE(brake.click(60, 60));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{kToggle, 0}}));
    EXPECT_EQ(brake.element(1).image, 0);  // the picture follows the simulator, next cycle
    host.cycle();
    EXPECT_EQ(brake.element(1).image, 1);
    ASSERT_EQ(sound_inspect::played().size(), 1u);
    EXPECT_EQ(sound_inspect::played()[0].wave_id, kClankWave);
    EXPECT_FALSE(sound_inspect::played()[0].looping);
    host.cycles(40);  // the clank has died away
    ASSERT_TRUE(brake.click(126, 154));
    host.cycle();
    EXPECT_EQ(brake.element(1).image, 0);
    EXPECT_EQ(host.events().size(), 2u);
    EXPECT_EQ(sound_inspect::played().size(), 2u);
    EXPECT_FALSE(brake.click(127, 155));  // just outside the handle
}

TEST_F(ModuleTest, ParkingBrakeReleasesItsSoundAtKill) {
    sim::Placement& brake = place("Parking_Brake");
    EXPECT_EQ(sound_inspect::live().devices, 1);
    EXPECT_EQ(sound_inspect::live().buffers, 1);
    host.kill(brake);
    EXPECT_EQ(sound_inspect::live().devices, 0);
    EXPECT_EQ(sound_inspect::live().buffers, 0);
    using E = sound_inspect::ObjectEvent;
    const auto& events = sound_inspect::object_events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[2].kind, E::BUFFER_RELEASED);  // the buffer before its device
    EXPECT_EQ(events[3].kind, E::DEVICE_RELEASED);
    EXPECT_TRUE(sound_inspect::misuse().empty());
}

TEST_F(ModuleTest, ParkingBrakeWorksSilentlyWithoutSound) {
    sound_inspect::fail_step(sound_inspect::Step::CreateDevice);
    sim::Placement& brake = place("Parking_Brake");
    ASSERT_TRUE(brake.click(60, 60));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{kToggle, 0}}));
    EXPECT_TRUE(sound_inspect::played().empty());
    host.kill(brake);
    EXPECT_TRUE(sound_inspect::misuse().empty());
}
