// The throttle quadrant as the pilot uses it: lever settings from clicks and
// drags, the levers drawn from the simulator's lever positions, the trim
// wheel and its marker, and the tail-wheel locking lever.
#include <climits>
#include <cmath>
#include <limits>

#include "tests/hostile_values.h"
#include "tests/host_fixture.h"

namespace {

using sim::KeyEvent;

constexpr const char* TAILWHEEL = "(A:TAILWHEEL LOCK ON,number)";

// Elements in drawing order.
enum : size_t {
    TAILWHEEL_LEVER = 1,
    TRIM_MARKER,
    TRIM_WHEEL,
    PROPELLER_1,
    PROPELLER_2,
    MIXTURE_2,
    MIXTURE_1,
    THROTTLE_2,
    THROTTLE_1,
};

struct Lever {
    size_t element;
    uint32_t token;
    double travel;  // pixels from bottom to top
    int32_t x, top;  // a point of its click area, and the area's top edge
    uint32_t event_id;
};

const Lever kLevers[] = {
    {THROTTLE_1, 392, 74, 130, 0, 65820},  {THROTTLE_2, 431, 74, 180, 0, 65821},
    {MIXTURE_1, 393, 74, 240, 0, 65919},   {MIXTURE_2, 432, 74, 280, 0, 65920},
    {PROPELLER_1, 394, 72, 50, 7, 65923},  {PROPELLER_2, 433, 72, 90, 7, 65924},
};

class ThrottleQuadrantTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        quadrant = &place("Throttle_Quadrant");
    }
    // The setting one click at y pixels below a lever area's top sends.
    uint32_t setting_at(const Lever& lever, int32_t y) {
        host.clear_events();
        EXPECT_TRUE(quadrant->click(lever.x, lever.top + y));
        EXPECT_EQ(host.events().size(), 1u);
        EXPECT_EQ(host.events().at(0).id, lever.event_id);
        return host.events().at(0).value;
    }
    const MouseRect* child_at(int32_t x, int32_t y) { return quadrant->hit(x, y).child; }
    // A lever callback called as the host would, on a click record of our own.
    void call_lever(const MouseRect* child, int32_t y, MouseRect* rect_override = nullptr) {
        MouseRect rect = *child;
        ClickRecord click{2, y, quadrant->header(), rect_override ? rect_override : &rect};
        child->callback(&click, MOUSE_LEFTSINGLE);
    }
    sim::Placement* quadrant = nullptr;
};

}  // namespace

TEST_F(ThrottleQuadrantTest, ALeverClickSendsItsPlaceInTheRectangle) {
    for (const Lever& lever : kLevers) {
        SCOPED_TRACE(lever.event_id);
        EXPECT_EQ(setting_at(lever, 0), 16384u);                // top edge
        EXPECT_EQ(setting_at(lever, 54), 8267u);                // trunc(16384 x 55/109)
        EXPECT_EQ(setting_at(lever, 108), 150u);                // last row inside
        EXPECT_EQ(quadrant->cursor(lever.x, lever.top + 50), CURSOR_HAND);
    }
}

TEST_F(ThrottleQuadrantTest, TheStripsBetweenAPairSetBothLeversEngineOneFirst) {
    struct {
        int32_t x, y;
        uint32_t first, second;
    } strips[] = {{160, 54, 65820, 65821}, {263, 54, 65919, 65920}, {69, 61, 65923, 65924}};
    for (const auto& s : strips) {
        host.clear_events();
        ASSERT_TRUE(quadrant->click(s.x, s.y));
        EXPECT_EQ(host.events(), (std::vector<KeyEvent>{{s.first, 8267}, {s.second, 8267}}));
    }
}

TEST_F(ThrottleQuadrantTest, DraggingFollowsThePointerAboveAndBelowTheRectangle) {
    for (const Lever& lever : kLevers) {
        SCOPED_TRACE(lever.event_id);
        host.clear_events();
        // From the top of the quadrant's reach to far below it, in small steps.
        ASSERT_TRUE(quadrant->drag(lever.x, lever.top + 50, lever.x, lever.top - 400, 45));
        ASSERT_TRUE(quadrant->drag(lever.x, lever.top + 1, lever.x, lever.top + 600, 120));
        const auto& events = host.events();
        ASSERT_EQ(events.size(), 46u + 121u);
        for (const KeyEvent& e : events) {
            EXPECT_EQ(e.id, lever.event_id);
            EXPECT_LE(e.value, 16384u);
        }
        EXPECT_EQ(events[45].value, 16384u);  // dragged above the rectangle
        EXPECT_EQ(events.back().value, 0u);   // dragged below it
        for (size_t i = 47; i < events.size(); ++i) EXPECT_LE(events[i].value, events[i - 1].value);
    }
}

TEST_F(ThrottleQuadrantTest, ExtremePointersAndAFlatRectangleStayInRange) {
    const MouseRect* throttle = child_at(130, 50);
    ASSERT_NE(throttle, nullptr);
    for (int32_t y : {INT_MIN, -1, 0, 1, 109, 110, INT_MAX}) {
        host.clear_events();
        call_lever(throttle, y);
        ASSERT_EQ(host.events().size(), 1u);
        uint32_t expected = y <= 0 ? 16384u : y >= 109 ? 0u : uint32_t(16384.0 * (1.0 - y / 109.0));
        EXPECT_EQ(host.events()[0].value, expected) << y;
    }
    // A rectangle without height has only its two ends.
    MouseRect flat = *throttle;
    flat.height = 0;
    MouseRect upside_down = *throttle;
    upside_down.height = -109;
    for (MouseRect* rect : {&flat, &upside_down})
        for (int32_t y : {INT_MIN, -5, 0, 5, INT_MAX}) {
            host.clear_events();
            call_lever(throttle, y, rect);
            ASSERT_EQ(host.events().size(), 1u);
            EXPECT_EQ(host.events()[0].value, y < 0 ? 16384u : 0u) << y;
        }
}

TEST_F(ThrottleQuadrantTest, ALeverClickWithoutItsRecordsDoesNothing) {
    const MouseRect* throttle = child_at(130, 50);
    throttle->callback(nullptr, MOUSE_LEFTSINGLE);
    ClickRecord no_rect{2, 50, quadrant->header(), nullptr};
    throttle->callback(&no_rect, MOUSE_LEFTSINGLE);
    EXPECT_TRUE(host.events().empty());
}

TEST_F(ThrottleQuadrantTest, LeversAreDrawnFromTheSimulatorsLeverPositions) {
    for (const Lever& lever : kLevers) {
        SCOPED_TRACE(lever.token);
        host.set_var(lever.token, 1.0);
        host.cycle();
        EXPECT_DOUBLE_EQ(quadrant->element(lever.element).dy, -lever.travel);
        host.set_var(lever.token, 0.5);
        host.cycle();
        EXPECT_DOUBLE_EQ(quadrant->element(lever.element).dy, -lever.travel / 2);
        EXPECT_EQ(quadrant->element(lever.element).dx, 0);
    }
    // A click moves nothing by itself: the lever follows its variable.
    quadrant->click(130, 0);
    quadrant->compute_drawn();
    EXPECT_DOUBLE_EQ(quadrant->element(THROTTLE_1).dy, -37);
}

TEST_F(ThrottleQuadrantTest, BrokenLeverPositionsLeaveTheLeversOnAStop) {
    for (const Lever& lever : kLevers) {
        for (double value : kHostileValues) {
            SCOPED_TRACE(testing::Message() << lever.token << " " << value);
            host.set_var(lever.token, value);
            host.cycle();
            double dy = quadrant->element(lever.element).dy;
            ASSERT_TRUE(std::isfinite(dy));
            EXPECT_TRUE(dy == 0 || dy == -lever.travel) << dy;
            if (std::isnan(value)) {
                EXPECT_EQ(dy, 0);  // closed, idle cut-off, feather
            }
        }
        host.set_var(lever.token, 7.5);
        host.cycle();
        EXPECT_EQ(quadrant->element(lever.element).dy, -lever.travel);
    }
}

TEST_F(ThrottleQuadrantTest, TheTrimWheelTurnsByFramesAndSendsTrimSteps) {
    host.cycle();
    EXPECT_EQ(quadrant->element(TRIM_WHEEL).image, 0);
    for (int i = 0; i < 5; ++i) quadrant->click(10, 150);  // nose up
    host.cycle();
    EXPECT_EQ(quadrant->element(TRIM_WHEEL).image, 1);
    EXPECT_EQ(host.events(), std::vector<KeyEvent>(5, KeyEvent{65615, 0}));

    host.clear_events();
    quadrant->hold(10, 50, MOUSE_LEFTSINGLE, 2);  // nose down, held: three steps
    host.cycle();
    EXPECT_EQ(quadrant->element(TRIM_WHEEL).image, 2);
    EXPECT_EQ(host.events(), std::vector<KeyEvent>(3, KeyEvent{65607, 0}));
    EXPECT_EQ(quadrant->cursor(10, 50), CURSOR_DOWNARROW);
    EXPECT_EQ(quadrant->cursor(10, 150), CURSOR_UPARROW);
    EXPECT_EQ(quadrant->tooltip(10, 100), "[help 0x3128]");
}

TEST_F(ThrottleQuadrantTest, OneNoseDownStepFromTheStartShowsTheLastFrame) {
    quadrant->click(10, 50);
    host.cycle();
    EXPECT_EQ(quadrant->element(TRIM_WHEEL).image, 3);
    // The frame belongs to the module: a second quadrant shows the same.
    sim::Placement& second = place("Throttle_Quadrant");
    host.cycle();
    EXPECT_EQ(second.element(TRIM_WHEEL).image, 3);
}

TEST_F(ThrottleQuadrantTest, TheTrimMarkerShowsTheElevatorTrim) {
    host.set_var(783, 0.1);
    host.cycle();
    EXPECT_NEAR(quadrant->element(TRIM_MARKER).dy, 0.1 * 255 / 3.141592653589793, 1e-9);
    host.set_var(783, -0.2);
    host.cycle();
    EXPECT_NEAR(quadrant->element(TRIM_MARKER).dy, -0.2 * 255 / 3.141592653589793, 1e-9);
    for (double value : kHostileValues) {
        SCOPED_TRACE(value);
        host.set_var(783, value);
        host.cycle();
        double dy = quadrant->element(TRIM_MARKER).dy;
        ASSERT_TRUE(std::isfinite(dy));
        EXPECT_LE(std::fabs(dy), 255 / 3.141592653589793 + 1e-9);
        EXPECT_EQ(quadrant->element(TRIM_WHEEL).image, 0);
    }
}

TEST_F(ThrottleQuadrantTest, TheTailWheelLeverShowsAndTogglesTheLock) {
    host.set_expression(TAILWHEEL, {.number = 0});
    host.cycle();
    EXPECT_EQ(quadrant->element(TAILWHEEL_LEVER).image, 0);
    EXPECT_EQ(quadrant->tooltip(220, 210), "Tail wheel locking lever (free)");
    EXPECT_EQ(host.expressions_evaluated.back(), TAILWHEEL);

    host.set_expression(TAILWHEEL, {.number = 1});
    host.cycle();
    EXPECT_EQ(quadrant->element(TAILWHEEL_LEVER).image, 1);
    EXPECT_EQ(quadrant->tooltip(220, 210), "Tail wheel locking lever (locked)");

    // Any positive answer is locked; anything else is free, picture and word alike.
    for (double answer : {0.25, 7.0, 1e300, std::numeric_limits<double>::infinity()}) {
        host.set_expression(TAILWHEEL, {.number = answer});
        host.cycle();
        EXPECT_EQ(quadrant->element(TAILWHEEL_LEVER).image, 1) << answer;
        EXPECT_EQ(quadrant->tooltip(220, 210), "Tail wheel locking lever (locked)");
    }
    for (double answer : {-1.0, std::numeric_limits<double>::quiet_NaN(), -1e300}) {
        host.set_expression(TAILWHEEL, {.number = answer});
        host.cycle();
        EXPECT_EQ(quadrant->element(TAILWHEEL_LEVER).image, 0) << answer;
        EXPECT_EQ(quadrant->tooltip(220, 210), "Tail wheel locking lever (free)");
    }

    // The tooltip reads the stored answer and evaluates nothing itself.
    uint64_t evaluated = host.expressions_evaluated.total();
    quadrant->tooltip(220, 210);
    EXPECT_EQ(host.expressions_evaluated.total(), evaluated);

    host.clear_events();
    EXPECT_TRUE(quadrant->click(220, 210));
    EXPECT_EQ(host.events(), (std::vector<KeyEvent>{{66541, 0}}));
    EXPECT_EQ(quadrant->cursor(220, 210), CURSOR_HAND);
}

TEST_F(ThrottleQuadrantTest, EachLeverRegionShowsItsHostTooltip) {
    struct {
        int32_t x, y;
        const char* tooltip;
    } regions[] = {{130, 50, "[help 0x31A1]"}, {180, 50, "[help 0x31A2]"}, {240, 50, "[help 0x3191]"},
                   {280, 50, "[help 0x3192]"}, {50, 50, "[help 0x3199]"},  {90, 50, "[help 0x319A]"}};
    for (const auto& r : regions) EXPECT_EQ(quadrant->tooltip(r.x, r.y), r.tooltip);
}
