// The cockpit clock: hands from the time of day, the chronograph's start,
// stop and reset, and the minute ring's knobs.
#include <cmath>
#include <limits>

#include "tests/host_fixture.h"

namespace {

constexpr uint32_t kTimeOfDay = 557, kClock = 604;
enum Hand { kRing = 1, kHour, kMinute, kCounter, kSeconds };

// Buttons and knobs, at the centre of their click areas.
constexpr int32_t kStartStopX = 132, kStartStopY = 284;
constexpr int32_t kResetX = 212, kResetY = 293;
constexpr int32_t kRightKnobX = 238, kKnobY = 136;
constexpr int32_t kLeftKnobX = 37;

double dial(double angle) { return std::fmod(std::fmod(angle, 360.0) + 360.0, 360.0); }

class TimerTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        timer = &place("Quorvet_Timer");
    }
    // The clock stands at t for one update cycle.
    void at(double t) {
        host.set_var(kClock, t);
        host.cycle();
    }
    void start_stop() { ASSERT_TRUE(timer->click(kStartStopX, kStartStopY)); }
    void reset() { ASSERT_TRUE(timer->click(kResetX, kResetY)); }
    double seconds_shown() const { return timer->element(kSeconds).value; }
    sim::Placement* timer = nullptr;
};

}  // namespace

TEST_F(TimerTest, HourAndMinuteHandsShowTheTimeOfDay) {
    ASSERT_EQ(timer->element_count(), 7u);
    struct Case {
        double seconds, hour, minute;
    } cases[] = {{0, 0, 0}, {3 * 3600, 90, 0}, {2 * 3600 + 1800, 75, 180}, {15 * 3600 + 900, 97.5, 90},
                 {23 * 3600 + 59 * 60, 359.5, 354}};
    for (const Case& c : cases) {
        host.set_var(kTimeOfDay, c.seconds);
        host.cycle();
        EXPECT_NEAR(dial(timer->element(kHour).angle), c.hour, 1e-9) << c.seconds;
        EXPECT_NEAR(dial(timer->element(kMinute).angle), c.minute, 1e-9) << c.seconds;
    }
}

TEST_F(TimerTest, HandsPassMidnightWithoutAJumpAndTheChronographRunsOn) {
    at(5000);
    start_stop();
    double before_hour = 0, before_minute = 0;
    for (double tod = 86390, clock = 5010; clock <= 5030; tod += 1, clock += 1) {
        host.set_var(kTimeOfDay, std::fmod(tod, 86400.0));  // the time of day wraps at midnight
        at(clock);
        double hour = dial(timer->element(kHour).angle), minute = dial(timer->element(kMinute).angle);
        if (clock > 5010) {
            // One second moves the hands a hair, across 0 as well.
            EXPECT_NEAR(dial(hour - before_hour + 180) - 180, 360.0 / 43200, 1e-6);
            EXPECT_NEAR(dial(minute - before_minute + 180) - 180, 360.0 / 3600, 1e-6);
        }
        before_hour = hour;
        before_minute = minute;
        EXPECT_EQ(seconds_shown(), clock - 5000);
    }
}

TEST_F(TimerTest, StartAndStopCountTheTimeBetweenInWholeSeconds) {
    at(900);
    at(1000.0);
    start_stop();
    at(1030.4);
    EXPECT_EQ(seconds_shown(), 30);
    at(1062.7);
    start_stop();
    EXPECT_EQ(seconds_shown(), 62);
    EXPECT_NEAR(timer->element(kSeconds).angle, 372.0, 1e-9);  // one turn done, 2 s past the top
    EXPECT_NEAR(timer->element(kCounter).angle, 62.0 / 900 * 360, 1e-9);
    at(2000);  // stopped: nothing more is counted
    EXPECT_EQ(seconds_shown(), 62);
    start_stop();  // a later start counts from then
    at(2010.5);
    EXPECT_EQ(seconds_shown(), 73);
}

TEST_F(TimerTest, ResetWorksOnlyWhileStopped) {
    at(0);
    start_stop();
    at(45);
    reset();
    at(45);
    EXPECT_EQ(seconds_shown(), 45);
    start_stop();
    reset();
    at(50);
    EXPECT_EQ(seconds_shown(), 0);
    EXPECT_EQ(timer->element(kSeconds).angle, 0.0);
    EXPECT_EQ(timer->element(kCounter).angle, 0.0);
    EXPECT_TRUE(timer->hold(kResetX, kResetY, MOUSE_LEFTSINGLE, 5));  // the button repeats while held
}

TEST_F(TimerTest, AClockSteppingBackTakesTheElapsedTimeBack) {
    at(1000);
    start_stop();
    at(1062.5);
    at(1050.25);
    EXPECT_EQ(seconds_shown(), 50);
    at(990);  // further back than the start: below zero, counter-clockwise
    EXPECT_EQ(seconds_shown(), -10);
    EXPECT_NEAR(dial(timer->element(kSeconds).angle), 300.0, 1e-9);
}

TEST_F(TimerTest, TheChronographKeepsTimeWhileNotDrawn) {
    at(100);
    start_stop();
    at(101);
    host.set_var(kClock, 4000);  // the panel was closed meanwhile
    host.cycle();
    EXPECT_EQ(seconds_shown(), 3900);
}

TEST_F(TimerTest, AllTimersShowTheOneChronograph) {
    sim::Placement& second = place("Quorvet_Timer");
    at(10);
    start_stop();
    at(25);
    EXPECT_EQ(second.element(kSeconds).value, 15);
    ASSERT_TRUE(second.click(kStartStopX, kStartStopY));
    at(40);
    EXPECT_EQ(seconds_shown(), 15);
}

TEST_F(TimerTest, HostileClockValuesAreIgnored) {
    at(10);
    start_stop();
    at(20);
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf}) {
        at(bad);
        EXPECT_EQ(seconds_shown(), 10);
        EXPECT_TRUE(std::isfinite(timer->element(kSeconds).angle));
    }
    at(25);
    EXPECT_EQ(seconds_shown(), 15);
    at(1e308);
    at(-1e308);  // a step too big to count
    EXPECT_TRUE(std::isfinite(seconds_shown()));
    host.set_var(kTimeOfDay, nan);
    host.cycle();
    start_stop();
    reset();
    at(0);
    EXPECT_EQ(seconds_shown(), 0);
}

TEST_F(TimerTest, MinuteRingTurnsSixDegreesPerStepAndComesRound) {
    const sim::DrawnElement& ring = timer->element(kRing);
    host.cycle();
    EXPECT_EQ(ring.bitmap, 2400);
    EXPECT_EQ(ring.x, 21);
    EXPECT_EQ(ring.y, 24);
    auto* sprite = timer->record<SpriteElement>(kRing);
    EXPECT_EQ(sprite->header.offset_x, 138);
    EXPECT_EQ(sprite->header.offset_y, 139);
    host.cycle();
    EXPECT_EQ(ring.rotation, 0.0);
    EXPECT_EQ(ring.dx, 0.0);
    EXPECT_EQ(ring.dy, 0.0);
    ASSERT_TRUE(timer->click(kRightKnobX, kKnobY));  // step back from 0
    host.cycle();
    EXPECT_EQ(ring.rotation, -6.0);
    ASSERT_TRUE(timer->click(kLeftKnobX, kKnobY));
    host.cycle();
    EXPECT_EQ(ring.rotation, 0.0);
    for (int i = 0; i < 59; ++i) ASSERT_TRUE(timer->click(kLeftKnobX, kKnobY));
    host.cycle();
    EXPECT_EQ(ring.rotation, 354.0);
    ASSERT_TRUE(timer->click(kLeftKnobX, kKnobY));  // the sixtieth step
    host.cycle();
    EXPECT_EQ(ring.rotation, 0.0);
    // Held knobs repeat: 1 + 64 steps back is -65 = -5 after a full turn.
    EXPECT_TRUE(timer->hold(kRightKnobX, kKnobY, MOUSE_LEFTSINGLE, 64));
    host.cycle();
    EXPECT_EQ(ring.rotation, -30.0);
    EXPECT_TRUE(ring.lit);
}

TEST_F(TimerTest, TooltipsAndCursorsOfTheCase) {
    EXPECT_EQ(timer->tooltip(140, 100), "Quorvet timer");
    EXPECT_EQ(timer->tooltip(kResetX, kResetY), "Timer reset button");
    EXPECT_EQ(timer->tooltip(kStartStopX, kStartStopY), "Timer start/stop button");
    EXPECT_EQ(timer->tooltip(kRightKnobX, kKnobY), "Turns minute ring clockwise");
    EXPECT_EQ(timer->tooltip(kLeftKnobX, kKnobY), "Turns minute ring counterclockwise");
    EXPECT_EQ(timer->tooltip(5, 350), "");
    EXPECT_EQ(timer->cursor(kStartStopX, kStartStopY), CURSOR_HAND);
    EXPECT_EQ(timer->cursor(kResetX, kResetY), CURSOR_UPARROW);
    EXPECT_EQ(timer->cursor(kRightKnobX, kKnobY), CURSOR_UPARROW);
    EXPECT_EQ(timer->cursor(kLeftKnobX, kKnobY), CURSOR_DOWNARROW);
    EXPECT_FALSE(timer->click(140, 100));
    EXPECT_TRUE(host.events().empty());  // the timer sends nothing
}
