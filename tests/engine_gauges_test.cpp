// The four engine dials as the pilot reads them: where each needle points
// for a reading, its stops, the twin dials' opposite senses, and what a
// broken reading does.
#include <cmath>

#include "host/needle_rule.h"
#include "tests/hostile_values.h"
#include "tests/host_fixture.h"

namespace {

// Difference of two angles in degrees, in (-180, 180].
double angle_between(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180) d -= 360;
    if (d <= -180) d += 360;
    return d;
}

#define EXPECT_ANGLE(actual, expected) EXPECT_NEAR(angle_between(actual, expected), 0.0, 1e-6)

// The clockwise turn from one direction to another, 0 to 360.
double clockwise(double from, double to) {
    double d = std::fmod(to - from, 360.0);
    return d < 0 ? d + 360 : d;
}

class EngineDialTest : public ModuleTest {
protected:
    // The needle angle drawn for a reading.
    double angle_for(sim::Placement& p, size_t needle, uint32_t token, double value) {
        host.set_var(token, value);
        host.cycle();
        return p.element(needle).angle;
    }
};

}  // namespace

TEST_F(EngineDialTest, TachometerFollowsItsScaleBetweenTheTwoStops) {
    sim::Placement& p = place("Tachometer");
    const double low = sim::point_angle(151, 151, 103, 260);  // 400 rpm and below
    const double mid = sim::point_angle(151, 151, 109, 40);   // 2000 rpm
    const double high = sim::point_angle(151, 151, 212, 253); // 4000 rpm and above
    for (double rpm : {-500.0, 0.0, 200.0, 400.0}) {
        SCOPED_TRACE(rpm);
        EXPECT_ANGLE(angle_for(p, 1, 390, rpm), low);
    }
    for (double rpm : {4000.0, 4050.0, 4100.0, 9000.0}) {
        SCOPED_TRACE(rpm);
        EXPECT_ANGLE(angle_for(p, 1, 390, rpm), high);
    }
    EXPECT_ANGLE(angle_for(p, 1, 390, 2000), mid);
    EXPECT_ANGLE(angle_for(p, 1, 390, 1200), low + clockwise(low, mid) / 2);
    EXPECT_ANGLE(angle_for(p, 1, 390, 3500), mid + clockwise(mid, high) * 0.75);
    // The needle rises clockwise through the top of the dial.
    EXPECT_GT(clockwise(low, mid), 90);
    EXPECT_LT(clockwise(low, mid), 180);
}

TEST_F(EngineDialTest, TachometerOnEngineTwoFollowsEngineTwo) {
    sim::Placement& p = place("Tachometer", "2");
    host.set_var(390, 4000);
    EXPECT_ANGLE(angle_for(p, 1, 429, 2000), sim::point_angle(151, 151, 109, 40));
}

TEST_F(EngineDialTest, ManifoldPressurePointsAtItsMillibarMarks) {
    sim::Placement& p = place("Manifold_Pressure");
    EXPECT_ANGLE(angle_for(p, 1, 391, 2087.91), sim::point_angle(152, 153, 54, 88));      // 1000 mb
    EXPECT_ANGLE(angle_for(p, 1, 391, 2087.91 * 1.6), sim::point_angle(152, 153, 251, 103));  // 1600 mb
    EXPECT_ANGLE(angle_for(p, 1, 391, -50), sim::point_angle(152, 153, 115, 263));
    EXPECT_ANGLE(angle_for(p, 1, 391, 9000), sim::point_angle(152, 153, 215, 254));
}

TEST_F(EngineDialTest, OilTemperatureNeedlesTurnInOppositeSensesAndHoldTheirEnds) {
    sim::Placement& p = place("Oil_Temperature");
    ASSERT_EQ(p.element_count(), 4u);
    const size_t right = 1, left = 2;
    EXPECT_EQ(p.record<NeedleElement>(right)->source.token, 455u);
    EXPECT_EQ(p.record<NeedleElement>(left)->source.token, 416u);
    const double rankine_0c = 491.67, rankine_120c = 707.67;
    // Below 0 degrees C both needles hold the 0 point; above 120 the 120 point.
    for (double t : {rankine_0c, 400.0, 0.0, -1e6}) {
        SCOPED_TRACE(t);
        EXPECT_ANGLE(angle_for(p, right, 455, t), sim::point_angle(241, 150, 182, 221));
        EXPECT_ANGLE(angle_for(p, left, 416, t), sim::point_angle(66, 150, 120, 216));
    }
    for (double t : {rankine_120c, 761.67, 2000.0}) {
        SCOPED_TRACE(t);
        EXPECT_ANGLE(angle_for(p, right, 455, t), sim::point_angle(241, 150, 185, 80));
        EXPECT_ANGLE(angle_for(p, left, 416, t), sim::point_angle(66, 150, 120, 82));
    }
    // 70 degrees C: the middle marks.
    EXPECT_ANGLE(angle_for(p, right, 455, 491.67 + 1.8 * 60), sim::point_angle(241, 150, 166, 150));
    EXPECT_ANGLE(angle_for(p, left, 416, 491.67 + 1.8 * 60), sim::point_angle(66, 150, 140, 150));
    // Warming up, the right needle turns clockwise and the left one
    // counter-clockwise.
    double right_cold = angle_for(p, right, 455, 527.67), right_warm = angle_for(p, right, 455, 545.67);
    double left_cold = angle_for(p, left, 416, 527.67), left_warm = angle_for(p, left, 416, 545.67);
    EXPECT_GT(right_warm - right_cold, 0);
    EXPECT_LT(left_warm - left_cold, 0);
}

TEST_F(EngineDialTest, OilPressureReadsBarOnBothScales) {
    sim::Placement& p = place("Oil_Pressure");
    EXPECT_EQ(p.record<NeedleElement>(1)->source.token, 457u);
    EXPECT_EQ(p.record<NeedleElement>(2)->source.token, 418u);
    EXPECT_ANGLE(angle_for(p, 1, 457, 2087.91 * 6), sim::point_angle(241, 150, 166, 150));
    EXPECT_ANGLE(angle_for(p, 2, 418, 2087.91 * 6), sim::point_angle(66, 150, 140, 150));
    EXPECT_ANGLE(angle_for(p, 1, 457, -10), sim::point_angle(241, 150, 182, 221));
    EXPECT_ANGLE(angle_for(p, 2, 418, 2087.91 * 20), sim::point_angle(66, 150, 120, 82));
    EXPECT_EQ(p.tooltip(10, 10), "[help 0x3109]");
    EXPECT_EQ(p.tooltip(290, 10), "[help 0x3109]");
    sim::Placement& temperature = place("Oil_Temperature");
    EXPECT_EQ(temperature.tooltip(10, 10), "[help 0x30F1]");
    EXPECT_EQ(temperature.tooltip(290, 10), "[help 0x30F2]");
}

TEST_F(EngineDialTest, BrokenReadingsRestEveryNeedleOnAStop) {
    struct {
        const char* gauge;
        size_t needle;
        uint32_t token;
    } needles[] = {{"Tachometer", 1, 390},      {"Manifold_Pressure", 1, 391}, {"Oil_Temperature", 1, 455},
                   {"Oil_Temperature", 2, 416}, {"Oil_Pressure", 1, 457},      {"Oil_Pressure", 2, 418}};
    for (const auto& n : needles) {
        sim::Placement& p = place(n.gauge);
        const NeedleElement* needle = p.record<NeedleElement>(n.needle);
        std::vector<double> stops = sim::table_angles(needle->table, needle->table_entries, needle->header.x,
                                                      needle->header.y);
        for (double value : kHostileValues) {
            SCOPED_TRACE(testing::Message() << n.gauge << " " << n.needle << " " << value);
            double angle = angle_for(p, n.needle, n.token, value);
            ASSERT_TRUE(std::isfinite(angle));
            bool on_a_stop = std::fabs(angle_between(angle, stops.front())) < 1e-6 ||
                             std::fabs(angle_between(angle, stops.back())) < 1e-6;
            EXPECT_TRUE(on_a_stop) << angle;
        }
    }
}

TEST_F(EngineDialTest, DialsCarryTheirPicturesFlagsAndFailures) {
    struct {
        const char* gauge;
        std::vector<int32_t> bitmaps;
    } dials[] = {{"Tachometer", {240, 250, 260}},
                 {"Manifold_Pressure", {2160, 2170, 2180}},
                 {"Oil_Temperature", {2190, 2200, 2200, 2210}},
                 {"Oil_Pressure", {2220, 2230, 2230, 2240}}};
    host.active_failures = {2, 20};
    for (const auto& d : dials) {
        SCOPED_TRACE(d.gauge);
        sim::Placement& p = place(d.gauge);
        host.cycle();
        ASSERT_EQ(p.element_count(), d.bitmaps.size());
        for (size_t i = 0; i < d.bitmaps.size(); ++i) {
            EXPECT_EQ(p.element(i).bitmap, d.bitmaps[i]);
            bool needle = p.element(i).kind == ELEMENT_NEEDLE;
            bool background = i == 0;
            EXPECT_EQ(p.element(i).image_flags, needle ? 0x4083u : background ? 0x4003u : 0x3u);
            std::vector<uint32_t> actions;
            if (needle) actions = {0, 2};
            EXPECT_EQ(p.element(i).failure_actions, actions);
        }
    }
}
