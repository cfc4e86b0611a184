// The two VOR course indicators, each run through the same cases with its
// own tokens, events and NAV radio: needles, flags, course pointer, course
// digits and knob, marker lamp, tooltips and hostile values.
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "host/needle_rule.h"
#include "tests/host_fixture.h"

namespace {

struct VorCase {
    const char* gauge;
    const char* radio;
    uint32_t localizer, glide_slope, to_from, glide_slope_flag, course;
    uint32_t course_event, failure_key, deviation_help;
    std::vector<int32_t> bitmaps;  // drawing order
    size_t localizer_index, glide_slope_index, knob_index;
    bool marker;
    const char* label;
};

void PrintTo(const VorCase& c, std::ostream* os) { *os << c.gauge; }

const VorCase kVor1{"VOR1_Indicator", "Radio_NAV1", 40, 41, 43, 44, 45, 65716, 14, 0xAB72,
                    {1300, 1280, 1230, 1290, 1250, 1260, 1270, -1, 1190, 1220, 1210}, 2, 3, 10, true, "VOR1"};
const VorCase kVor2{"VOR2_Indicator", "Radio_NAV2", 50, 882, 52, 53, 54, 65717, 15, 0xAB74,
                    {1310, 1280, 1290, 1230, 1250, 1260, 1270, -1, 1200, 1210}, 3, 2, 9, false, "VOR2"};

enum : size_t { kPointer = 1, kGlideSlopeFlag = 5, kToFrom = 6, kDigits = 7, kMarker = 9 };
constexpr int32_t kKnobLeftX = 20, kKnobRightX = 60, kKnobY = 280;
constexpr uint32_t kHeading = 84, kMarkerState = 354;
constexpr int32_t kRadioMainX = 70, kRadioMainY = 75;  // the NAV panel's main switch

class VorTest : public ModuleTest, public ::testing::WithParamInterface<VorCase> {
protected:
    const VorCase& vor = GetParam();
    sim::Placement* radio = nullptr;

    sim::Placement& indicator() {
        radio = &place(vor.radio);
        sim::Placement& p = place(vor.gauge);
        host.cycle();
        return p;
    }
    void power(bool on) {
        bool now = radio->element(10).image == 1;
        if (now != on) radio->click(kRadioMainX, kRadioMainY);
        host.cycle();
    }
    std::vector<sim::KeyEvent> knob(int32_t x, uint32_t button) {
        host.clear_events();
        sim::Placement& p = *host.placements().back();
        p.click(x, kKnobY, button);
        return host.events();
    }
    std::string course_tip(sim::Placement& p) { return p.tooltip(kKnobLeftX, kKnobY); }
};

}  // namespace

TEST_P(VorTest, ElementsAreTheIndicatorsOwn) {
    sim::Placement& p = indicator();
    ASSERT_EQ(p.element_count(), vor.bitmaps.size());
    for (size_t i = 0; i < vor.bitmaps.size(); ++i) EXPECT_EQ(p.element(i).bitmap, vor.bitmaps[i]) << i;
    EXPECT_EQ(p.element(0).record->failures[0].key, vor.failure_key);
    for (size_t i : std::vector<size_t>{kPointer, vor.localizer_index, vor.glide_slope_index, kGlideSlopeFlag, kToFrom}) {
        const FailureRecord* f = p.element(i).record->failures;
        EXPECT_EQ(f[0].key, vor.failure_key);
        EXPECT_EQ(f[0].action, 2u);
        EXPECT_EQ(f[1].key, 21u);
        EXPECT_EQ(f[2].key, 20u);
        EXPECT_EQ(f[2].action, 1u);
        EXPECT_EQ(f[3].key, 0u);
    }
    const auto* digits = p.record<StringElement>(kDigits);
    EXPECT_EQ(digits->max_chars, 3u);
    EXPECT_EQ(digits->source[0].token, vor.course);
    EXPECT_EQ(digits->source[1].token, vor.course);
    EXPECT_EQ(digits->source[2].token, 0u);
    EXPECT_EQ(digits->font_weight, 700u);
    EXPECT_EQ(digits->text_colour, 0x00FFFFFFu);
}

TEST_P(VorTest, NeedlesAndFlagsRestWhileTheRadioIsOff) {
    sim::Placement& p = indicator();
    host.set_var(vor.localizer, 100);
    host.set_var(vor.glide_slope, -50);
    host.set_var(vor.glide_slope_flag, 1);
    host.set_var_low_word(vor.to_from, 1);
    host.set_var(vor.course, 123);
    host.set_var(kMarkerState, 2);
    host.cycle();
    EXPECT_EQ(p.element(vor.localizer_index).value, 0);
    EXPECT_EQ(p.element(vor.glide_slope_index).value, 0);
    EXPECT_EQ(p.element(kGlideSlopeFlag).image, 0);
    EXPECT_EQ(p.element(kToFrom).image, 0);
    EXPECT_NEAR(p.element(kPointer).angle, 90, 1e-9);
    if (vor.marker) {
        EXPECT_EQ(p.element(kMarker).image, -1);
    }
    // The digits and the knob still follow the course.
    EXPECT_EQ(p.element(kDigits).text, "123");
    EXPECT_NEAR(p.element(vor.knob_index).angle, 123 * 6.0, 1e-9);

    power(true);
    EXPECT_EQ(p.element(vor.localizer_index).value, 100);
    EXPECT_EQ(p.element(vor.glide_slope_index).value, -50);
    EXPECT_EQ(p.element(kGlideSlopeFlag).image, 1);
    EXPECT_EQ(p.element(kToFrom).image, 1);
    if (vor.marker) {
        EXPECT_EQ(p.element(kMarker).image, 0);
    }
    // TO/FROM is the integer in the low word: a high word alone is no indication.
    host.set_var_low_word(vor.to_from, 0, 0xFFFFFFFF);
    host.cycle();
    EXPECT_EQ(p.element(kToFrom).image, 0);
    power(false);
    EXPECT_EQ(p.element(vor.localizer_index).value, 0);
}

TEST_P(VorTest, DeviationNeedlesSwingOnTheirHinges) {
    sim::Placement& p = indicator();
    power(true);
    auto angle_of = [&](uint32_t token, size_t index, double v) {
        host.set_var(token, v);
        host.cycle();
        return p.element(index).angle;
    };
    // Localizer, hanging from its top pivot: full right deflection is
    // counter-clockwise of centre, the table runs from 127 down to -127.
    double right = angle_of(vor.localizer, vor.localizer_index, 127);
    double centre = angle_of(vor.localizer, vor.localizer_index, 0);
    double left = angle_of(vor.localizer, vor.localizer_index, -127);
    EXPECT_NEAR(right, sim::point_angle(158, 93, 221, 168), 1e-9);
    EXPECT_NEAR(left, sim::point_angle(158, 93, 98, 168), 1e-9);
    EXPECT_LT(right, centre);
    EXPECT_LT(centre, left);
    EXPECT_NEAR(centre, (right + left) / 2, 1e-9);
    EXPECT_NEAR(std::abs(left - 180), 38.66, 0.1);  // about 40 degrees either side of straight down
    // Glide slope, hinged at the left: up for -119, down for 119.
    double up = angle_of(vor.glide_slope, vor.glide_slope_index, -119);
    double down = angle_of(vor.glide_slope, vor.glide_slope_index, 119);
    EXPECT_NEAR(up, sim::point_angle(77, 168, 160, 107), 1e-9);
    EXPECT_NEAR(down, sim::point_angle(77, 168, 160, 230), 1e-9);
    EXPECT_NEAR(angle_of(vor.glide_slope, vor.glide_slope_index, 0), (up + down) / 2, 1e-9);
}

TEST_P(VorTest, CoursePointerTurnsWithHeadingMinusCourseUnlessAbeam) {
    sim::Placement& p = indicator();
    power(true);
    host.set_var_low_word(vor.to_from, 1);
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct {
        double heading, course, angle;
    } cases[] = {{10, 300, -290}, {100, 10, 90},   {0, 0, 0},       {45, 0, 45},     {46, 0, 90},
                 {134, 0, 90},    {135, 0, 135},   {200, 0, 200},   {0, 45, -45},    {0, 46, 90},
                 {0, 135, -135},  {0, 134, 90},    {350, 10, 340},  {nan, 0, 90},    {0, nan, 90},
                 {inf, 0, 90},    {inf, inf, 90},  {-inf, 0, 90}};
    for (auto& c : cases) {
        host.set_var(kHeading, c.heading);
        host.set_var(vor.course, c.course);
        host.cycle();
        EXPECT_NEAR(p.element(kPointer).angle, c.angle, 1e-9) << c.heading << " " << c.course;
    }
    host.set_var(kHeading, 10);
    host.set_var(vor.course, 300);
    host.set_var_low_word(vor.to_from, 0);
    host.cycle();
    EXPECT_NEAR(p.element(kPointer).angle, 90, 1e-9);
    host.set_var_low_word(vor.to_from, 2);
    power(false);
    EXPECT_NEAR(p.element(kPointer).angle, 90, 1e-9);
}

TEST_P(VorTest, CourseDigitsAndTooltip) {
    sim::Placement& p = indicator();
    const std::string tip = std::string("Selected ") + vor.label + " course (";
    struct {
        double course;
        const char* digits;
        const char* tooltip;
    } cases[] = {{5.4, "005", "5"}, {359.6, "360", "359"}, {0, "000", "0"}, {90, "090", "90"}, {99.5, "100", "99"}};
    for (auto& c : cases) {
        host.set_var(vor.course, c.course);
        host.cycle();
        EXPECT_EQ(p.element(kDigits).text, c.digits);
        EXPECT_EQ(course_tip(p), tip + c.tooltip + "\xB0)");
    }
    // The tooltip shows the course the digits last showed.
    host.set_var(vor.course, 200);
    EXPECT_EQ(course_tip(p), tip + "99\xB0)");
    // A course no simulator gives is cut to the three characters of the
    // display rather than written past it.
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct {
        double course;
        const char* digits;
        const char* tooltip;
    } hostile[] = {{-100, "-10", "-100"},       {1000, "100", "1000"},        {1e300, "100", "2147483647"},
                   {-1e300, "-10", "-2147483648"}, {nan, "nan", "0"},         {inf, "inf", "2147483647"}};
    for (auto& c : hostile) {
        host.set_var(vor.course, c.course);
        host.cycle();
        EXPECT_EQ(p.element(kDigits).text, c.digits) << c.course;
        EXPECT_EQ(course_tip(p), tip + c.tooltip + "\xB0)") << c.course;
    }
}

TEST_P(VorTest, CourseKnobStepsOneOrTenDegreesRoundTheCircle) {
    sim::Placement& p = indicator();
    struct {
        double course;
        int32_t x;
        uint32_t button;
        uint32_t sent;
    } cases[] = {
        {0, kKnobLeftX, MOUSE_LEFTSINGLE, 359},    {7, kKnobLeftX, MOUSE_RIGHTSINGLE, 357},
        {355, kKnobRightX, MOUSE_RIGHTSINGLE, 5},  {359, kKnobRightX, MOUSE_LEFTSINGLE, 0},
        {1, kKnobLeftX, MOUSE_LEFTSINGLE, 0},      {10, kKnobLeftX, MOUSE_RIGHTSINGLE, 0},
        {9.9, kKnobLeftX, MOUSE_RIGHTSINGLE, 359}, {358.9, kKnobRightX, MOUSE_LEFTSINGLE, 359},
        {349, kKnobRightX, MOUSE_RIGHTSINGLE, 359}, {350, kKnobRightX, MOUSE_RIGHTSINGLE, 0},
        {123.7, kKnobRightX, MOUSE_LEFTSINGLE, 124}, {123.7, kKnobLeftX, MOUSE_LEFTSINGLE, 122},
        // Courses no simulator gives still set a course of 0 to 359.
        {-50, kKnobRightX, MOUSE_LEFTSINGLE, 311}, {725, kKnobLeftX, MOUSE_LEFTSINGLE, 4},
        // Just below 0 the course is brought round to 359.5; a hair below
        // rounds onto 360 itself, which is 0 again.
        {-0.5, kKnobRightX, MOUSE_LEFTSINGLE, 0},  {-1e-14, kKnobRightX, MOUSE_LEFTSINGLE, 1},
        {1e300, kKnobLeftX, MOUSE_RIGHTSINGLE, 0}, {std::numeric_limits<double>::quiet_NaN(), kKnobRightX,
                                                    MOUSE_LEFTSINGLE, 1},
    };
    for (auto& c : cases) {
        host.set_var(vor.course, c.course);
        auto sent = knob(c.x, c.button);
        ASSERT_EQ(sent.size(), 1u) << c.course;
        EXPECT_EQ(sent[0].id, vor.course_event);
        if (c.course < 1e300) {
            EXPECT_EQ(sent[0].value, c.sent) << c.course;
        }
        EXPECT_LT(sent[0].value, 360u);
    }
    // A course that is no number steps from 0.
    host.set_var(vor.course, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(knob(kKnobRightX, MOUSE_LEFTSINGLE), (std::vector<sim::KeyEvent>{{vor.course_event, 1}}));
    EXPECT_EQ(knob(kKnobLeftX, MOUSE_LEFTSINGLE), (std::vector<sim::KeyEvent>{{vor.course_event, 359}}));
    // Held, the knob repeats, with the simulator taking each new course.
    host.on_event(vor.course_event, [&](uint32_t v) { host.set_var(vor.course, v); });
    host.set_var(vor.course, 3);
    host.clear_events();
    p.hold(kKnobLeftX, kKnobY, MOUSE_LEFTSINGLE, 5);
    EXPECT_EQ(host.var(vor.course), 357);
    p.hold(kKnobRightX, kKnobY, MOUSE_RIGHTSINGLE, 1);
    EXPECT_EQ(host.var(vor.course), 17);
    // A click with neither button sends nothing.
    host.clear_events();
    for (const MouseRect* child : p.children()) {
        ClickRecord click{0, 0, p.header(), const_cast<MouseRect*>(child)};
        EXPECT_EQ(child->callback(&click, MOUSE_REPEAT), 0);
    }
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(p.cursor(kKnobLeftX, kKnobY), CURSOR_DOWNARROW);
    EXPECT_EQ(p.cursor(kKnobRightX, kKnobY), CURSOR_UPARROW);
}

TEST_P(VorTest, MarkerLampAndHelpTexts) {
    sim::Placement& p = indicator();
    EXPECT_EQ(p.tooltip(150, 150), sim::SimHost::help_text(vor.deviation_help));
    if (!vor.marker) {
        EXPECT_EQ(p.tooltip(270, 40), "");
        return;
    }
    EXPECT_EQ(p.tooltip(270, 40), "[help 0xAB48]");
    power(true);
    for (auto [state, image] : {std::pair{0.0, -1}, {1.0, -1}, {2.0, 0}, {3.0, -1}, {2.5, -1},
                                {std::numeric_limits<double>::quiet_NaN(), -1}}) {
        host.set_var(kMarkerState, state);
        host.cycle();
        EXPECT_EQ(p.element(kMarker).image, image) << state;
    }
}

// Two placements of an indicator keep their own records and text; the
// other receiver's switch does not reach them.
TEST_P(VorTest, TwoPlacementsAndTheOtherReceiver) {
    sim::Placement& a = indicator();
    sim::Placement& b = place(vor.gauge);
    sim::Placement& other_radio = place(vor.radio == std::string("Radio_NAV1") ? "Radio_NAV2" : "Radio_NAV1");
    other_radio.click(kRadioMainX, kRadioMainY);
    host.set_var(vor.localizer, 60);
    host.set_var(vor.course, 42);
    host.cycle();
    EXPECT_EQ(a.element(vor.localizer_index).value, 0);
    EXPECT_EQ(b.element(vor.localizer_index).value, 0);
    power(true);
    EXPECT_EQ(a.element(vor.localizer_index).value, 60);
    EXPECT_EQ(b.element(vor.localizer_index).value, 60);
    EXPECT_EQ(a.element(kDigits).text, "042");
    EXPECT_EQ(b.element(kDigits).text, "042");
    EXPECT_NE(a.record<StringElement>(kDigits)->text, b.record<StringElement>(kDigits)->text);
    host.kill(a);
    host.set_var(vor.course, 43);
    host.cycle();
    EXPECT_EQ(b.element(kDigits).text, "043");
    EXPECT_EQ(a.element(kDigits).text, "042");
}

INSTANTIATE_TEST_SUITE_P(BothIndicators, VorTest, ::testing::Values(kVor1, kVor2),
                         [](const auto& info) { return std::string(info.param.label); });
