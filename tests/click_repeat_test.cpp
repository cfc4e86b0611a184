// A held mouse button as the host gives it: one click at the press, even
// when the button is up again before the next cycle; on a click area that
// repeats, the first repeat only after the host's delay, then at its rate;
// on one that does not, never. The starting box's fuel pump switch (a
// toggle that repeats while held) and its selector arrow (single clicks).
#include <cmath>
#include <vector>

#include "tests/host_fixture.h"

namespace {

constexpr uint32_t kPumpToggle = 66300;  // engine 1's lower switch
constexpr int kPumpX = 10, kPumpY = 220;
constexpr int kSelectorUpX = 98, kSelectorUpY = 94;

class ClickRepeatTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        box = &place("Dirud_Box");
        host.cycle();
        host.clear_events();
    }
    size_t sent(uint32_t id) const {
        size_t n = 0;
        for (const sim::KeyEvent& e : host.events()) n += e.id == id;
        return n;
    }
    // A press at (x, y) held while `cycles` host cycles run, then let go,
    // and two more cycles for anything late.
    void press_for(int x, int y, int cycles) {
        ASSERT_TRUE(box->press(x, y, MOUSE_LEFTSINGLE));
        host.cycles(cycles);
        box->release();
        host.cycles(2);
    }
    sim::Placement* box = nullptr;
};

TEST_F(ClickRepeatTest, ShortAndOrdinaryPressesToggleExactlyOnceHoweverTheCyclesFall) {
    // 20, 120 and 300 ms at 18 cycles a second: a press spans the whole
    // cycles in it, or one more, depending on where it starts.
    for (double seconds : {0.02, 0.12, 0.3}) {
        int whole = static_cast<int>(std::floor(seconds / host.seconds_per_cycle));
        for (int cycles : {whole, whole + 1}) {
            host.clear_events();
            press_for(kPumpX, kPumpY, cycles);
            EXPECT_EQ(sent(kPumpToggle), 1u) << seconds << " s over " << cycles << " cycles";
        }
    }
}

TEST_F(ClickRepeatTest, AHeldSwitchRepeatsOnlyAfterHalfASecondThenTenTimesASecond) {
    ASSERT_TRUE(box->press(kPumpX, kPumpY, MOUSE_LEFTSINGLE));
    const double pressed_at = host.clock();
    EXPECT_EQ(sent(kPumpToggle), 1u) << "the click comes with the press, not with a cycle";
    while (host.clock() - pressed_at < host.mouse_repeat_delay - 1e-6) {
        host.cycle();
        ASSERT_EQ(sent(kPumpToggle), 1u) << "repeated after " << host.clock() - pressed_at << " s";
    }
    // Held 1.5 s in all: the delay, then a repeat every tenth of a second.
    std::vector<double> repeats;
    while (host.clock() - pressed_at < 1.5 - 1e-6) {
        size_t before = sent(kPumpToggle);
        host.cycle();
        if (sent(kPumpToggle) > before) repeats.push_back(host.clock() - host.seconds_per_cycle - pressed_at);
    }
    box->release();
    host.cycles(10);
    ASSERT_GE(repeats.size(), 9u);
    ASSERT_LE(repeats.size(), 11u);
    EXPECT_NEAR(repeats.front(), 0.5, host.seconds_per_cycle);
    for (size_t i = 1; i < repeats.size(); ++i)
        EXPECT_NEAR(repeats[i] - repeats[i - 1], 0.1, host.seconds_per_cycle) << i;
    EXPECT_EQ(sent(kPumpToggle), repeats.size() + 1) << "nothing after the release";
}

TEST_F(ClickRepeatTest, AHeldSelectorArrowStepsOnce) {
    press_for(kSelectorUpX, kSelectorUpY, 30);
    host.cycle();
    EXPECT_EQ(box->element(4).image, 1) << "engine 1's selector at H after one step";
}

TEST_F(ClickRepeatTest, AFreshPressWaitsItsDelayAgain) {
    // The same rule whoever drives the host: a fresh press waits its delay
    // again, whatever the previous press did.
    press_for(kPumpX, kPumpY, 27);
    size_t first = sent(kPumpToggle);
    host.clear_events();
    press_for(kPumpX, kPumpY, 27);
    EXPECT_EQ(sent(kPumpToggle), first);
    EXPECT_GE(first, 10u);
}

}  // namespace
