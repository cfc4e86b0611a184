// The host asks an attached simulation for every variable and hands it
// every key event; what the simulation does not know, the host's own table
// answers.
#include <map>
#include <vector>

#include "tests/host_fixture.h"

namespace {

constexpr uint32_t kGearHandle = 331, kEventGearToggle = 65570;

// A stand-in simulation: a gear handle that the toggle event moves and one
// variable it takes when set from outside.
class GearOnly : public sim::Simulation {
public:
    bool read(uint32_t token, double* value) override {
        if (token != kGearHandle) return false;
        *value = handle;
        return true;
    }
    bool write(uint32_t token, double value) override {
        if (token != kGearHandle) return false;
        handle = value;
        return true;
    }
    void key_event(uint32_t id, uint32_t value) override {
        events.push_back({id, value});
        if (id == kEventGearToggle) handle = handle > 8000 ? 0 : 16383;
    }
    void advance(double seconds) override { elapsed += seconds; }

    double handle = 0, elapsed = 0;
    std::vector<sim::KeyEvent> events;
};

}  // namespace

TEST_F(ModuleTest, AttachedSimulationAnswersVariablesAndKeyEventsMoveIt) {
    GearOnly aircraft;
    host.attach(&aircraft);
    sim::Placement& lever = place("Gear_Lever");
    host.cycle();
    EXPECT_EQ(lever.element(1).image, 0);  // handle up
    ASSERT_TRUE(lever.click(60, 100));
    ASSERT_EQ(aircraft.events.size(), 1u);
    EXPECT_EQ(aircraft.events[0].id, kEventGearToggle);
    host.cycle();
    EXPECT_EQ(lever.element(1).image, 1);  // the simulation put the handle down
    EXPECT_NEAR(aircraft.elapsed, 2 * host.seconds_per_cycle, 1e-12);

    // A raw value goes to the simulation when it takes it; the host's own
    // table keeps the rest.
    host.set_var(kGearHandle, 0);
    EXPECT_EQ(aircraft.handle, 0);
    host.set_var(12345, 7);
    EXPECT_EQ(host.var(12345), 7);
    EXPECT_FALSE(host.has_var(kGearHandle));
    host.attach(nullptr);
}
