// Hostile layout and scenario files, and what the readers must answer: an
// error naming the file and its line (or "whole file"), input quoted with
// its control bytes escaped and cut short, sizes within their bounds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "flight/input_text.h"
#include "flight/panel_layout.h"
#include "flight/scenario.h"

namespace {

using namespace std::string_literals;

std::string layout_error(const std::string& text) {
    sim::PanelLayout layout;
    std::string error;
    EXPECT_FALSE(sim::parse_panel_layout(text, "hostile.cfg", &layout, &error)) << text.substr(0, 200);
    return error;
}

std::string scenario_error(const std::string& text) {
    sim::Scenario s;
    std::string error;
    EXPECT_FALSE(sim::parse_scenario(text, "hostile.txt", &s, &error)) << text.substr(0, 200);
    return error;
}

std::string many_gauges(int n) {
    std::string text = "[Window00]\nsize=4000,4000\n";
    for (int i = 0; i < n; ++i)
        text += "gauge" + std::to_string(i % 1000) + (i >= 1000 ? "x" : "") + "=Airspeed, 0, 0, 10, 10\n";
    return text;
}

TEST(HostileLayout, SizesBeyondTheBoundsAreRefusedAtTheirLine) {
    // 94 bytes that asked for a 32768 x 32768 screen.
    EXPECT_EQ(layout_error("[Window00]\nsize=16384,16384\nposition=16384,16384\n"),
              "hostile.cfg:2: size needs two whole numbers from 1 to 8192, got '16384,16384'");
    EXPECT_EQ(layout_error("[Window00]\nsize=100,100\n\n[Window01]\nsize=8192,8192\nposition=10,10\n"),
              "hostile.cfg:4: [Window01] makes the screen 8202 x 8202 pixels; the screen is at most 16777216 "
              "pixels (4096 x 4096)");
    // The contact sheet's size follows the number of gauges.
    std::string five_thousand = many_gauges(5000);
    EXPECT_EQ(layout_error(five_thousand), "hostile.cfg:259: more than 256 gauges; a layout places at most that many");
    EXPECT_EQ(layout_error("[Window00]\nsize=100,100\ngauge00=Airspeed, 0, 0, 4096\n"),
              "hostile.cfg:3: gauge width must be a whole number from 1 to 2048, got '4096'");
    std::string wide = "[Window00]\nsize=100,100\n";
    for (int i = 0; i < 9; ++i) wide += "gauge0" + std::to_string(i) + "=Airspeed, 0, 0, 2048, 2048\n";
    EXPECT_EQ(layout_error(wide), "hostile.cfg:11: the gauges so far cover 37748736 pixels of panel; at most 33554432 "
                                  "(give widths and heights to count less)");
}

TEST(HostileLayout, LongTextIsRefusedBeforeAnyWorkIsDoneOnIt) {
    // A 10 MB parameter string took a minute to label on the contact sheet.
    std::string huge = "[Window00]\nsize=100,100\ngauge00=Airspeed, 0, 0, 50, 50, " + std::string(10 << 20, 'p') + "\n";
    EXPECT_EQ(layout_error(huge), "hostile.cfg: whole file: larger than 1048576 bytes");
    std::string long_line = "[Window00]\nsize=100,100\ngauge00=Airspeed, 0, 0, 50, 50, " + std::string(5000, 'p') + "\n";
    EXPECT_EQ(layout_error(long_line), "hostile.cfg:3: line of 5032 bytes; a line is at most 4096");
    std::string long_parameters = "[Window00]\nsize=100,100\ngauge00=Airspeed, 0, 0, 50, 50, " + std::string(2000, 'p') + "\n";
    EXPECT_EQ(layout_error(long_parameters), "hostile.cfg:3: parameter string of 2000 bytes; at most 1024");
}

TEST(HostileLayout, EveryErrorHasALineOrSaysWholeFile) {
    EXPECT_EQ(layout_error("; nothing\n"), "hostile.cfg: whole file: no [WindowNN] section");
    EXPECT_EQ(layout_error("[Window00]\nsize=10,10\n\n[Window01]\nposition=5,5\n"),
              "hostile.cfg:4: [Window01] has no size=");
    EXPECT_EQ(layout_error("[Window00]\nsize=10,10\ngauge07=Airspeed, 0, 0\ngauge07=Altimeter, 5, 5\n"),
              "hostile.cfg:4: 'gauge07' is given twice in [Window00] (first at line 3)");
    EXPECT_EQ(layout_error("[Window00]\nsize=10,10\nsize_mm=20,20\n"),
              "hostile.cfg:3: 'size_mm' is given twice in [Window00] (first at line 2)");
    EXPECT_EQ(layout_error("[Window Titles]\nWindow00=A\nwindow00=B\n"), "hostile.cfg:3: title 'window00' is given twice");
    EXPECT_EQ(layout_error("[Window00]\nsize=0x10,10\n"),
              "hostile.cfg:2: size needs two whole numbers from 1 to 8192, got '0x10,10'");
}

TEST(HostileLayout, ControlBytesAreEscapedAndLongInputCutInMessages) {
    // An escape sequence in a file must not reach the terminal.
    EXPECT_EQ(layout_error("[Window00]\nsize=10,10\n\x1b[2Jkey=1\n"), "hostile.cfg:3: unknown key '\\x1B[2jkey'");
    std::string long_key = "[Window00]\nsize=10,10\n" + std::string(3000, 'k') + "=1\n";
    EXPECT_EQ(layout_error(long_key), "hostile.cfg:3: unknown key '" + std::string(60, 'k') + "...'");
}

TEST(HostileLayout, AByteOrderMarkIsAccepted) {
    sim::PanelLayout layout;
    std::string error;
    ASSERT_TRUE(sim::parse_panel_layout("\xEF\xBB\xBF[Window00]\r\nsize=10,20\r\n", "bom.cfg", &layout, &error)) << error;
    EXPECT_EQ(layout.windows.at(0).height, 20);
}

TEST(HostileScenario, NumbersArePlainDecimal) {
    EXPECT_EQ(scenario_error("at 0x10 set 61 1\n"),
              "hostile.txt:1: time must be seconds from 0 to 86400 in plain decimal, got '0x10'");
    EXPECT_EQ(scenario_error("at 1e1 set 61 0x1p4\n"),
              "hostile.txt:1: set: not a plain decimal number (or nan, inf, -inf): '0x1p4'");
    EXPECT_EQ(scenario_error("at 1 click 0x10 5\n"),
              "hostile.txt:1: panel coordinates are whole numbers from 0 to 16384, got '0x10 5'");
    EXPECT_EQ(scenario_error("at 1 set 061x 1\n"), "hostile.txt:1: a token is a whole decimal number from 1 up, got '061x'");
    EXPECT_EQ(scenario_error("at 1 set 61 1e400\n"),
              "hostile.txt:1: set: not a plain decimal number (or nan, inf, -inf): '1e400'");
    EXPECT_EQ(scenario_error("at infinity set 61 1\n"),
              "hostile.txt:1: time must be seconds from 0 to 86400 in plain decimal, got 'infinity'");
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario("at 1.5 set 61 -inf\nat 2 setword 16 0x0345\nat 3 set 61 1e308\n", "ok.txt", &s, &error))
        << error;
    EXPECT_EQ(s.steps[1].word, 0x345u);
    EXPECT_EQ(s.steps[2].to, 1e308);
}

TEST(HostileScenario, EndEndsTheRun) {
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario("at 0 ramp 61 0 100 5000\nat 1 hold 10 10 left 9000\nend 10\n", "f.txt", &s, &error))
        << error;
    EXPECT_EQ(s.duration, 10);
    EXPECT_TRUE(s.has_end);
    EXPECT_EQ(scenario_error("end 10\nat 11 set 61 1\n"),
              "hostile.txt:2: the step at 11 s comes after the scenario's end (end 10 at line 1)");
    EXPECT_EQ(scenario_error("end 10\nend 20\n"), "hostile.txt:2: a second 'end' (the first is at line 1)");
}

TEST(HostileScenario, TextIsBoundedAndQuotedSafely) {
    EXPECT_EQ(scenario_error("at 1 \x1b]0;owned\x07 1\n"), "hostile.txt:1: unknown command '\\x1B]0;owned\\x07'");
    std::string fifty_megabytes(50 << 20, 'a');
    std::string error = scenario_error(fifty_megabytes);
    EXPECT_EQ(error, "hostile.txt: whole file: larger than 4194304 bytes");
    std::string long_line = "at 1 set 61 " + std::string(5000, '1') + "\n";
    EXPECT_EQ(scenario_error(long_line), "hostile.txt:1: line of 5012 bytes; a line is at most 4096");
    std::string expression = "at 1 expression \"" + std::string(300, 'x') + "\" number 1\n";
    EXPECT_EQ(scenario_error(expression), "hostile.txt:1: expression of 300 bytes; at most 256");
    EXPECT_EQ(scenario_error("at 1 set 61 1\0\n"s), "hostile.txt:1: line holds a NUL byte");
}

class HostileFiles : public testing::Test {
protected:
    void SetUp() override {
        dir_ = testing::TempDir() + "hostile_files_" + std::to_string(::getpid());
        ::mkdir(dir_.c_str(), 0755);
    }
    void TearDown() override { std::remove(dir_.c_str()); }
    std::string dir_;
};

TEST_F(HostileFiles, DirectoriesAndDevicesAreRefusedByName) {
    sim::PanelLayout layout;
    sim::Scenario scenario;
    std::string error;
    EXPECT_FALSE(sim::load_scenario(dir_, &scenario, &error));
    EXPECT_EQ(error, dir_ + ": whole file: is a directory, not a scenario");
    EXPECT_FALSE(sim::load_panel_layout(dir_, &layout, &error));
    EXPECT_EQ(error, dir_ + ": whole file: is a directory, not a panel layout");
    EXPECT_FALSE(sim::load_panel_layout("/dev/zero", &layout, &error));
    EXPECT_EQ(error, "/dev/zero: whole file: is a device, pipe or socket, not a panel layout file");
    EXPECT_FALSE(sim::load_scenario("/dev/null", &scenario, &error));
    EXPECT_EQ(error, "/dev/null: whole file: is a device, pipe or socket, not a scenario file");
}

TEST_F(HostileFiles, AFileBeyondItsBoundIsNotReadWhole) {
    std::string path = dir_ + "/big.txt";
    {
        std::ofstream out(path);
        out << std::string(5 << 20, '#');
    }
    sim::Scenario scenario;
    std::string error;
    EXPECT_FALSE(sim::load_scenario(path, &scenario, &error));
    EXPECT_EQ(error, path + ": whole file: 5242880 bytes; a scenario is at most 4 MiB");
    std::remove(path.c_str());
}

}  // namespace
