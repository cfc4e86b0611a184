// The layout and scenario readers at their edges: comment lines that hold
// more semicolons or slashes, panel identifiers below zero, colours with one
// bad number, gauges that cover exactly the most panel allowed, the last
// second of a day, a drag's two points, the largest words and tokens, texts
// of the longest length, steps with a word too few or too many, and a
// scenario with no steps.
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

TEST(LayoutReaderEdges, ACommentLineMayHoldMoreSlashes) {
    sim::PanelLayout layout;
    std::string error;
    ASSERT_TRUE(sim::parse_panel_layout("// main panel // left half\n[Window00]\nsize=10,10\n", "c.cfg", &layout,
                                        &error))
        << error;
    EXPECT_EQ(layout.windows.size(), 1u);
}

TEST(LayoutReaderEdges, AColourWithAnyBadNumberIsRefused) {
    for (const char* colour : {"1,2", "x,2,3", "1,x,3", "1,2,x", "1,256,3", "1,2,256", "1,2,3,4"}) {
        sim::PanelLayout layout;
        std::string error;
        EXPECT_FALSE(sim::parse_panel_layout(std::string("[Window00]\nsize=10,10\nbackground_color=") + colour + "\n",
                                             "c.cfg", &layout, &error))
            << colour;
        EXPECT_EQ(error, std::string("c.cfg:3: background_color needs three numbers 0-255 (r,g,b), got '") + colour + "'");
    }
}

// Eight gauges of the largest size cover exactly the most panel a layout
// may have: accepted.
TEST(LayoutReaderEdges, GaugesMayCoverExactlyTheMostPanelAllowed) {
    std::string text = "[Window00]\nsize=100,100\n";
    for (int i = 0; i < 8; ++i) text += "gauge0" + std::to_string(i) + "=Airspeed, 0, 0, 2048, 2048\n";
    sim::PanelLayout layout;
    std::string error;
    ASSERT_TRUE(sim::parse_panel_layout(text, "big.cfg", &layout, &error)) << error;
    EXPECT_EQ(layout.windows[0].gauges.size(), 8u);
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

std::string scenario_error(const std::string& text) {
    sim::Scenario s;
    std::string error;
    EXPECT_FALSE(sim::parse_scenario(text, "edge.txt", &s, &error)) << text;
    return error;
}

TEST(ScenarioReaderEdges, TheLargestWordAndTokenAreTaken) {
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario("at 1 setword 4294967295 4294967295\nat 2 failure 4294967295 on\n", "w.txt", &s,
                                    &error))
        << error;
    EXPECT_EQ(s.steps[0].token, 4294967295u);
    EXPECT_EQ(s.steps[0].word, 4294967295u);
    EXPECT_EQ(s.steps[1].word, 4294967295u);
    EXPECT_EQ(scenario_error("at 1 setword 16 4294967296\n"),
              "edge.txt:1: setword: not a 32-bit word (decimal, or 0x and hex digits): '4294967296'");
    EXPECT_EQ(scenario_error("at 1 set 4294967296 1\n"),
              "edge.txt:1: a token is a whole decimal number from 1 up, got '4294967296'");
    EXPECT_EQ(scenario_error("at 1 failure 0 on\n"), "edge.txt:1: failure: a key is a whole number, got '0'");
}

TEST(ScenarioReaderEdges, AFailureIsTurnedOnAndOff) {
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario("at 1 failure 4 on\nat 2 failure 4 off\n", "f.txt", &s, &error)) << error;
    ASSERT_EQ(s.steps.size(), 2u);
    EXPECT_TRUE(s.steps[0].on);
    EXPECT_FALSE(s.steps[1].on);
    EXPECT_EQ(s.steps[1].word, 4u);
    EXPECT_EQ(scenario_error("at 1 failure 4 of\n"), "edge.txt:1: failure: 'on' or 'off', got 'of'");
}

TEST(ScenarioReaderEdges, ATextMayHaveTheLongestLength) {
    sim::Scenario s;
    std::string error;
    std::string longest(256, 'x');
    ASSERT_TRUE(sim::parse_scenario("at 1 expression \"" + longest + "\" number 1\n", "t.txt", &s, &error)) << error;
    EXPECT_EQ(s.steps[0].expression, longest);
    EXPECT_EQ(scenario_error("at 1 expression \"" + longest + "x\" number 1\n"),
              "edge.txt:1: expression of 257 bytes; at most 256");
}

TEST(ScenarioReaderEdges, AStepWithAWordTooFewOrTooManyShowsItsUsage) {
    EXPECT_EQ(scenario_error("at 1 set\n"), "edge.txt:1: set: usage: set TOKEN VALUE");
    EXPECT_EQ(scenario_error("at 1\n"), "edge.txt:1: 'at TIME' needs a command after it");
    EXPECT_EQ(scenario_error("at 1 drag 1 2 3\n"), "edge.txt:1: drag: usage: drag X0 Y0 X1 Y1 [SECONDS]");
    EXPECT_EQ(scenario_error("at 1 drag 1 2 3 4 5 6\n"), "edge.txt:1: drag: usage: drag X0 Y0 X1 Y1 [SECONDS]");
    EXPECT_EQ(scenario_error("at 1 pilot throttle 2\n"), "edge.txt:1: pilot: throttle takes a number from 0 to 1, got '2'");
}

TEST(ScenarioReaderEdges, AScenarioWithNoStepsLastsNoTime) {
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario("# nothing to do\n", "empty.txt", &s, &error)) << error;
    EXPECT_TRUE(s.steps.empty());
    EXPECT_EQ(s.duration, 0);
}

}  // namespace
