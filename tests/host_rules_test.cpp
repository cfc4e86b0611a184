// The host's own rules, as the simulator applies them to what a module
// hands it: the needle rule on tables of one, two and many points (rising
// and falling), the angle of a point about the pivot all round the dial,
// and the tooltip formatter's placeholders (argument numbers of one to
// three digits, arguments beyond the record's count, conversions).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/needle_rule.h"
#include "host/tooltip_format.h"

namespace {

TEST(HostNeedleRule, PointAnglesRunClockwiseFromStraightUpAllRoundTheDial) {
    // y grows downward, as on the bitmap.
    EXPECT_DOUBLE_EQ(sim::point_angle(100, 100, 100, 0), 0.0);
    EXPECT_DOUBLE_EQ(sim::point_angle(100, 100, 200, 100), 90.0);
    EXPECT_DOUBLE_EQ(sim::point_angle(100, 100, 100, 200), 180.0);
    // Left of the pivot: folded into [0, 360), never negative.
    EXPECT_DOUBLE_EQ(sim::point_angle(100, 100, 0, 100), 270.0);
    EXPECT_NEAR(sim::point_angle(100, 100, 99, 0), 360.0 - std::atan2(1.0, 100.0) * 180.0 / M_PI, 1e-9);
    EXPECT_NEAR(sim::point_angle(100, 100, 0, 0), 315.0, 1e-9);
}

TEST(HostNeedleRule, AOnePointTableHoldsTheNeedleOnItsPointForEveryValue) {
    NonlinearityEntry table[] = {{200, 100, 50, 0}};  // right of the pivot: 90 degrees
    for (double v : {-1e9, -1.0, 0.0, 50.0, 51.0, 1e9})
        EXPECT_DOUBLE_EQ(sim::needle_angle(table, 1, 100, 100, v), 90.0) << v;
    sim::store_table_angles(table, 1, 100, 100);
    EXPECT_DOUBLE_EQ(table[0].host_angle, 90.0);
    for (double v : {-1e9, 0.0, 50.0, 1e9}) EXPECT_DOUBLE_EQ(sim::stored_needle_angle(table, 1, v), 90.0) << v;
}

TEST(HostNeedleRule, WithoutATableTheValueIsTheAngle) {
    EXPECT_DOUBLE_EQ(sim::needle_angle(nullptr, 0, 0, 0, 37.5), 37.5);
    EXPECT_DOUBLE_EQ(sim::stored_needle_angle(nullptr, 0, -12.0), -12.0);
}

// Four points a quarter turn apart (0, 90, 180, 270 degrees) at values
// 0, 10, 30, 60: each value between two points is on that segment alone.
TEST(HostNeedleRule, EachSegmentInterpolatesBetweenItsOwnTwoPoints) {
    NonlinearityEntry table[] = {{100, 0, 0, 0}, {200, 100, 10, 0}, {100, 200, 30, 0}, {0, 100, 60, 0}};
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 4, 100, 100, 5), 45.0);
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 4, 100, 100, 20), 135.0);
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 4, 100, 100, 45), 225.0);
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 4, 100, 100, 30), 180.0);
    // Beyond the ends the first and last segments continue.
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 4, 100, 100, -10), -90.0);
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 4, 100, 100, 90), 360.0);
    sim::store_table_angles(table, 4, 100, 100);
    std::vector<double> stored;
    for (const NonlinearityEntry& e : table) stored.push_back(e.host_angle);
    EXPECT_EQ(stored, (std::vector<double>{0, 90, 180, 270}));
    for (double v : {-10.0, 5.0, 20.0, 45.0, 90.0})
        EXPECT_DOUBLE_EQ(sim::stored_needle_angle(table, 4, v), sim::needle_angle(table, 4, 100, 100, v)) << v;
}

// A falling table (values decrease along the dial): beyond the first point
// is the larger values.
TEST(HostNeedleRule, AFallingTableContinuesItsEndsTheRightWay) {
    NonlinearityEntry table[] = {{100, 0, 100, 0}, {200, 100, 50, 0}, {100, 200, 0, 0}};
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 3, 100, 100, 75), 45.0);
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 3, 100, 100, 150), -90.0);
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 3, 100, 100, -50), 270.0);
}

// A table that turns back (out to its second point and home again): of
// the segments that hold a value, the first along the table places the
// needle.
TEST(HostNeedleRule, OnATableThatTurnsBackTheFirstSegmentHoldingTheValueWins) {
    NonlinearityEntry table[] = {{100, 0, 0, 0}, {200, 100, 10, 0}, {100, 200, 0, 0}, {0, 100, -10, 0}};
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 4, 100, 100, 5), 45.0);
    EXPECT_DOUBLE_EQ(sim::needle_angle(table, 4, 100, 100, -5), 225.0);
    sim::store_table_angles(table, 4, 100, 100);
    EXPECT_DOUBLE_EQ(sim::stored_needle_angle(table, 4, 5), 45.0);
    EXPECT_DOUBLE_EQ(sim::stored_needle_angle(table, 4, -5), 225.0);
    // Out and home to the same value: a value beyond the ends continues the
    // last segment when above them and the first when below, as for a
    // rising table.
    NonlinearityEntry home[] = {{100, 0, 0, 0}, {200, 100, 10, 0}, {100, 200, 0, 0}};
    EXPECT_DOUBLE_EQ(sim::needle_angle(home, 3, 100, 100, 15), 45.0);
    EXPECT_DOUBLE_EQ(sim::needle_angle(home, 3, 100, 100, -5), -45.0);
}

double number_arg(double, uint32_t, uint32_t, uint32_t, uint32_t) { return 42.75; }
double other_number(double, uint32_t, uint32_t, uint32_t, uint32_t) { return -7; }
const char* string_arg(double, uint32_t, uint32_t, uint32_t, uint32_t) { return "NAV1"; }
// Callbacks that show what the host passed them.
double GAUGE_CALL echo_number(double a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) { return a + b + c + d + e; }
std::string echoed;
const char* GAUGE_CALL echo_string(double a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) {
    echoed = std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," + std::to_string(d) + "," +
             std::to_string(e);
    return echoed.c_str();
}

std::vector<TooltipArg> args(size_t n) {
    std::vector<TooltipArg> a(n);
    for (TooltipArg& t : a) t.number = reinterpret_cast<TooltipNumberCallback>(&other_number);
    return a;
}

TEST(HostTooltipFormat, PlaceholdersTakeTheirNumberedArgumentsWithTheirConversions) {
    std::vector<TooltipArg> a = args(2);
    a[0].number = reinterpret_cast<TooltipNumberCallback>(&number_arg);
    a[1].string = reinterpret_cast<TooltipStringCallback>(&string_arg);
    std::string problem;
    EXPECT_EQ(sim::format_tooltip("%2!s! %1!.1f! (%1!d!) 100%%", a.data(), 2, &problem), "NAV1 42.8 (42) 100%");
    EXPECT_EQ(problem, "");
}

TEST(HostTooltipFormat, ArgumentNumbersOfTwoAndThreeDigits) {
    std::vector<TooltipArg> a = args(120);
    a[11].number = reinterpret_cast<TooltipNumberCallback>(&number_arg);
    a[109].number = reinterpret_cast<TooltipNumberCallback>(&number_arg);
    EXPECT_EQ(sim::format_tooltip("%12!d!/%110!d!/%1!d!", a.data(), 120), "42/42/-7");
    // A fourth digit is not part of the number: the placeholder is
    // malformed and stays as written.
    EXPECT_EQ(sim::format_tooltip("%1100!d!", a.data(), 120), "%1100!d!");
}

TEST(HostTooltipFormat, AnArgumentBeyondTheRecordsCountIsAFaultAndStaysAsWritten) {
    std::vector<TooltipArg> a = args(3);
    std::string problem;
    EXPECT_EQ(sim::format_tooltip("%3!d! %4!d!", a.data(), 3, &problem), "-7 %4!d!");
    EXPECT_EQ(problem, "placeholder %4: beyond the record's 3 arguments");
    problem.clear();
    EXPECT_EQ(sim::format_tooltip("%0!d!", a.data(), 3, &problem), "%0!d!");
    EXPECT_EQ(problem, "placeholder %0: beyond the record's 3 arguments");
    problem.clear();
    EXPECT_EQ(sim::format_tooltip("%1!s!", a.data(), 3, &problem), "%1!s!");
    EXPECT_EQ(problem, "placeholder %1: no string callback");
}

// Widths and precisions of up to two digits are the formatter's; a third
// digit leaves the placeholder as written.
TEST(HostTooltipFormat, WidthsAndPrecisionsOfUpToTwoDigits) {
    std::vector<TooltipArg> a = args(1);
    a[0].number = reinterpret_cast<TooltipNumberCallback>(&number_arg);
    EXPECT_EQ(sim::format_tooltip("%1!.10f!", a.data(), 1), "42.7500000000");
    EXPECT_EQ(sim::format_tooltip("%1!12.2f!", a.data(), 1), "       42.75");
    EXPECT_EQ(sim::format_tooltip("%1!10d!", a.data(), 1), "        42");
    EXPECT_EQ(sim::format_tooltip("%1!.100f!", a.data(), 1), "%1!.100f!");
    EXPECT_EQ(sim::format_tooltip("%1!100d!", a.data(), 1), "%1!100d!");
}

// The argument callbacks are called with nothing in their words: the value
// they give is theirs alone.
TEST(HostTooltipFormat, ArgumentCallbacksAreCalledWithZeros) {
    std::vector<TooltipArg> a = args(2);
    a[0].number = echo_number;
    a[1].string = echo_string;
    EXPECT_EQ(sim::format_tooltip("%1!d! %1!.1f!", a.data(), 2), "0 0.0");
    EXPECT_EQ(sim::format_tooltip("%2!s!", a.data(), 2), "0.000000,0,0,0,0");
}

}  // namespace
