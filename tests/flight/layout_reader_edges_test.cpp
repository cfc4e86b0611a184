// The layout and scenario readers at their edges: comment lines that hold
// more semicolons, panel identifiers below zero, the last second of a day,
// a drag's two points.
#include <gtest/gtest.h>

#include <string>

#include "flight/panel_layout.h"
#include "flight/scenario.h"

namespace {

TEST(LayoutReaderEdges, ACommentLineMayHoldMoreSemicolons) {
    sim::PanelLayout layout;
    std::string error;
    ASSERT_TRUE(sim::parse_panel_layout("; main panel ; left half\n[Window00]\nsize=10,10\n"
                                        "// right ; spare\nident=3 ; the main one\n",
                                        "c.cfg", &layout, &error))
        << error;
    ASSERT_EQ(layout.windows.size(), 1u);
    EXPECT_EQ(layout.windows[0].ident, 3u);
}

TEST(LayoutReaderEdges, APanelIdentifierBelowZeroIsRefusedAtItsLine) {
    sim::PanelLayout layout;
    std::string error;
    EXPECT_FALSE(sim::parse_panel_layout("[Window00]\nsize=10,10\nident=-1\n", "i.cfg", &layout, &error));
    EXPECT_EQ(error.rfind("i.cfg:3: ident must be a panel identifier, got ", 0), 0u) << error;
    EXPECT_TRUE(sim::parse_panel_layout("[Window00]\nsize=10,10\nident=0\n", "i.cfg", &layout, &error)) << error;
}

}  // namespace

namespace {

TEST(ScenarioReaderEdges, TimesRunToTheLastSecondOfADayInclusive) {
    sim::Scenario s;
    std::string error;
    EXPECT_TRUE(sim::parse_scenario("at 86400 set 61 1\n", "day.txt", &s, &error)) << error;
    EXPECT_EQ(s.duration, 86400);
    EXPECT_FALSE(sim::parse_scenario("at 86400.5 set 61 1\n", "day.txt", &s, &error));
    EXPECT_EQ(error.rfind("day.txt:1: time must be seconds from 0 to ", 0), 0u) << error;
}

TEST(ScenarioReaderEdges, ADragGoesFromItsFirstPointToItsSecond) {
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario("at 1 drag 300 500 320 420 2\n", "drag.txt", &s, &error)) << error;
    ASSERT_EQ(s.steps.size(), 1u);
    const sim::ScenarioStep& d = s.steps[0];
    EXPECT_EQ(d.kind, sim::ScenarioStep::DRAG);
    EXPECT_EQ(d.x, 300);
    EXPECT_EQ(d.y, 500);
    EXPECT_EQ(d.x1, 320);
    EXPECT_EQ(d.y1, 420);
    EXPECT_EQ(d.duration, 2);
}

}  // namespace
