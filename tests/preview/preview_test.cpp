// The previewer: its layout and scenario readers, and the drawing rules.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "flight/panel_layout.h"
#include "preview/panel_session.h"
#include "preview/renderer.h"
#include "flight/scenario.h"
#include "host/sim_host.h"

namespace {

// ------------------------------------------------------------ readers

std::string layout_error(const std::string& text) {
    sim::PanelLayout layout;
    std::string error;
    EXPECT_FALSE(sim::parse_panel_layout(text, "test.cfg", &layout, &error)) << text;
    return error;
}

TEST(PanelLayoutReader, ReadsWindowsAndGauges) {
    sim::PanelLayout layout;
    std::string error;
    ASSERT_TRUE(sim::parse_panel_layout("[Window Titles]\nWindow00=Main\n\n[Window00]\nsize=800,600\n"
                                        "background_color=1,2,3\n"
                                        "gauge00=Morvane_Instr!Altimeter, 10, 20, 200, 210\n"
                                        "gauge01=Tachometer, 5, 6, , , 2 # engine two\n"
                                        "[Window01]\nsize=100,100\nposition=800,0\nident=50\nvisible=0\n",
                                        "t.cfg", &layout, &error))
        << error;
    ASSERT_EQ(layout.windows.size(), 2u);
    const auto& main = layout.windows[0];
    EXPECT_EQ(main.title, "Main");
    EXPECT_EQ(main.width, 800);
    EXPECT_EQ(main.background, (sim::Rgba{1, 2, 3, 255}));
    ASSERT_EQ(main.gauges.size(), 2u);
    EXPECT_EQ(main.gauges[0].module, "Morvane_Instr");
    EXPECT_EQ(main.gauges[0].gauge, "Altimeter");
    EXPECT_EQ(main.gauges[0].height, 210);
    EXPECT_FALSE(main.gauges[0].has_parameters);
    EXPECT_EQ(main.gauges[1].module, "");
    EXPECT_EQ(main.gauges[1].width, 0);
    EXPECT_EQ(main.gauges[1].parameters, "2 # engine two");  // comments belong to the gauge
    EXPECT_EQ(layout.windows[1].ident, 50u);
    EXPECT_FALSE(layout.windows[1].visible);
    EXPECT_EQ(layout.screen_width(), 900);
}

TEST(PanelLayoutReader, BadInputNamesFileLineAndProblem) {
    EXPECT_EQ(layout_error("[Window00]\nsize=10,10\ngauge00=Airspeed, x, 3\n"),
              "test.cfg:3: gauge position must be whole numbers from -8192 to 8192, got 'x,3'");
    EXPECT_EQ(layout_error("[Window00]\nsize=10\n"),
              "test.cfg:2: size needs two whole numbers from 1 to 8192, got '10'");
    EXPECT_EQ(layout_error("size=10,10\n"), "test.cfg:1: 'size' stands outside any [WindowNN] section");
    EXPECT_EQ(layout_error("[Window00\n"), "test.cfg:1: section header is not closed: '[Window00'");
    EXPECT_EQ(layout_error("[Panel]\n"), "test.cfg:1: unknown section '[Panel]'");
    EXPECT_EQ(layout_error("[Window00]\nsize=5,5\nfoo=1\n"), "test.cfg:3: unknown key 'foo'");
    EXPECT_EQ(layout_error("[Window00]\nsize=5,5\ngauge00=A, 1, 2, -4\n"),
              "test.cfg:3: gauge width must be a whole number from 1 to 2048, got '-4'");
    EXPECT_EQ(layout_error("[Window00]\nsize=5,5\ngauge00=A, 1\n"), "test.cfg:3: gauge needs Module!Gauge, x, y: 'A, 1'");
    EXPECT_EQ(layout_error("[Window00]\nsize=5,5\n[Window00]\n"),
              "test.cfg:3: window section [Window00] appears twice (first at line 1)");
    EXPECT_EQ(layout_error("[Window00]\nsize=99999999999999999999,5\n"),
              "test.cfg:2: size needs two whole numbers from 1 to 8192, got '99999999999999999999,5'");
    EXPECT_EQ(layout_error("\n[Window00]\n"), "test.cfg:2: [Window00] has no size=");
    EXPECT_EQ(layout_error(""), "test.cfg: whole file: no [WindowNN] section");
    EXPECT_EQ(layout_error(std::string("[Window00]\nsize=5,5\0\n", 21)), "test.cfg:2: line holds a NUL byte");
}

TEST(PanelLayoutReader, MissingFileIsNamed) {
    sim::PanelLayout layout;
    std::string error;
    EXPECT_FALSE(sim::load_panel_layout("/nonexistent/panel.cfg", &layout, &error));
    EXPECT_EQ(error, "/nonexistent/panel.cfg: cannot open the panel layout: No such file or directory");
}

TEST(PanelLayoutReader, BuiltInPanelPlacesEveryGaugeOfBothModules) {
    sim::PanelLayout layout;
    std::string error;
    ASSERT_TRUE(sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in", &layout, &error)) << error;
    std::map<std::string, int> seen;
    for (auto& w : layout.windows)
        for (auto& g : w.gauges) seen[g.gauge]++;
    EXPECT_EQ(seen.size(), 51u);  // fifty gauges and the flaps lever
    EXPECT_EQ(seen["Tachometer"], 2);
    EXPECT_EQ(seen["telvor_flaps"], 1);
}

std::string scenario_error(const std::string& text) {
    sim::Scenario s;
    std::string error;
    EXPECT_FALSE(sim::parse_scenario(text, "fly.txt", &s, &error)) << text;
    return error;
}

TEST(ScenarioReader, ReadsStepsInTimeOrder) {
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario("at 5 click 10 20 right\n# comment\nat 1 ramp 61 0 100 10\n"
                                    "at 2 setword 16 0x345\nat 3 expression \"(A:ATC ID,string)\" string F-ABCD\n"
                                    "at 4 set 65 nan\nend 30\n",
                                    "fly.txt", &s, &error))
        << error;
    ASSERT_EQ(s.steps.size(), 5u);
    EXPECT_EQ(s.steps[0].kind, sim::ScenarioStep::RAMP);
    EXPECT_EQ(s.steps[0].duration, 10);
    EXPECT_EQ(s.steps[1].word, 0x345u);
    EXPECT_EQ(s.steps[2].expression, "(A:ATC ID,string)");
    EXPECT_EQ(s.steps[2].text, "F-ABCD");
    EXPECT_TRUE(std::isnan(s.steps[3].to));
    EXPECT_TRUE(s.steps[4].right_button);
    EXPECT_EQ(s.steps[4].line, 1);
    EXPECT_EQ(s.duration, 30);
}

TEST(ScenarioReader, BadInputNamesFileLineAndProblem) {
    EXPECT_EQ(scenario_error("at 1 set 61\n"), "fly.txt:1: set: usage: set TOKEN VALUE");
    EXPECT_EQ(scenario_error("\nat x set 61 1\n"), "fly.txt:2: time must be seconds from 0 to 86400 in plain decimal, got 'x'");
    EXPECT_EQ(scenario_error("at -1 set 61 1\n"), "fly.txt:1: time must be seconds from 0 to 86400 in plain decimal, got '-1'");
    EXPECT_EQ(scenario_error("at 1 fly 61 1\n"), "fly.txt:1: unknown command 'fly'");
    EXPECT_EQ(scenario_error("set 61 1\n"), "fly.txt:1: a step starts with 'at TIME' (or 'end TIME'), got 'set'");
    EXPECT_EQ(scenario_error("at 1 set 0 1\n"), "fly.txt:1: a token is a whole decimal number from 1 up, got '0'");
    EXPECT_EQ(scenario_error("at 1 click 10 -5\n"),
              "fly.txt:1: panel coordinates are whole numbers from 0 to 16384, got '10 -5'");
    EXPECT_EQ(scenario_error("at 1 click 10 5 middle\n"), "fly.txt:1: button is 'left' or 'right', got 'middle'");
    EXPECT_EQ(scenario_error("at 1 ramp 61 0 inf 3\n"), "fly.txt:1: ramp: FROM and TO must be plain decimal numbers, got '0 inf'");
    EXPECT_EQ(scenario_error("at 1 setword 16 0x1FFFFFFFF\n"), 
              "fly.txt:1: setword: not a 32-bit word (decimal, or 0x and hex digits): '0x1FFFFFFFF'");
    EXPECT_EQ(scenario_error("at 1 expression \"(A:X\n"), "fly.txt:1: a quoted text is not closed");
    EXPECT_EQ(scenario_error("at 1 failure 3 maybe\n"), "fly.txt:1: failure: 'on' or 'off', got 'maybe'");
    EXPECT_EQ(scenario_error("end forever\n"), "fly.txt:1: end needs a time in seconds from 0 to 86400");
}

TEST(ScenarioReader, BuiltInScenarioReads) {
    sim::Scenario s;
    std::string error;
    ASSERT_TRUE(sim::parse_scenario(sim::kDefaultScenario, "built-in", &s, &error)) << error;
    EXPECT_GT(s.duration, 200);
}

// ------------------------------------------------------------ drawing

// A test gauge: a 100x100 grey face with a white needle 40 pixels long,
// drawn pointing right from its pivot (0, 2), turning about (50, 50).
NonlinearityEntry kTable[] = {{50, 10, 0, 0}, {90, 50, 10, 0}, {50, 90, 20, 0}};
extern GaugeHeader test_gauge;
StaticImageElement test_cover = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3, .x = 0, .y = 0,
                                            .gauge = &test_gauge, .image_flags = 0x3}};
ElementHeader* const test_cover_list[] = {&test_cover.header, nullptr};
NeedleElement test_needle = {.header = {.kind = ELEMENT_NEEDLE, .bitmap = 2, .x = 50, .y = 50, .offset_x = 0,
                                        .offset_y = 2, .gauge = &test_gauge, .next = test_cover_list,
                                        .image_flags = 0x3},
                             .source = {.token = 61},
                             .table = kTable,
                             .table_entries = 3};
ElementHeader* const test_needle_list[] = {&test_needle.header, nullptr};
StaticImageElement test_face = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1, .gauge = &test_gauge,
                                           .next = test_needle_list, .image_flags = 0x3}};
ElementHeader* const test_top[] = {&test_face.header, nullptr};
GaugeHeader test_gauge = {.version = GAUGE_HEADER_VERSION, .name = "Test_Dial", .elements = test_top, .width_mm = 100};

struct Pictures {
    std::map<int32_t, sim::Image> images;
    Pictures() {
        images[1] = sim::Image(100, 100, {90, 90, 90, 255});
        images[2] = sim::Image(40, 5, {255, 255, 255, 255});
        images[3] = sim::Image(100, 100, {0, 0, 0, 0});  // a clear glass
    }
    sim::BitmapLookup lookup() {
        return [this](const sim::LoadedModule*, int32_t id) -> const sim::Image* {
            auto it = images.find(id);
            return it == images.end() ? nullptr : &it->second;
        };
    }
};

bool is_needle(const sim::Image& image, int x, int y) { return image.at(x, y).r > 200; }

TEST(Renderer, NeedleLandsOnItsCalibrationPoints) {
    sim::SimHost host;
    sim::Placement* p = host.place_header(nullptr, &test_gauge, nullptr, nullptr);
    Pictures pictures;
    sim::GaugeRenderer renderer(pictures.lookup());
    struct Case {
        double value;
        int x, y;  // a pixel on the way to the calibration point
    } cases[] = {{0, 50, 20}, {10, 80, 50}, {20, 50, 80}, {5, 71, 29}};
    for (const Case& c : cases) {
        host.set_var(61, c.value);
        host.cycle();
        sim::Image image = renderer.render(*p, {});
        SCOPED_TRACE(c.value);
        EXPECT_TRUE(is_needle(image, c.x, c.y));
        EXPECT_FALSE(is_needle(image, 100 - c.x, 100 - c.y));  // not on the opposite side
        EXPECT_EQ(image.at(5, 5), (sim::Rgba{90, 90, 90, 255}));  // the face around it
    }
    EXPECT_TRUE(renderer.problems().empty());
}

TEST(Renderer, HiddenElementIsNotDrawn) {
    sim::SimHost host;
    sim::Placement* p = host.place_header(nullptr, &test_gauge, nullptr, nullptr);
    Pictures pictures;
    sim::GaugeRenderer renderer(pictures.lookup());
    host.set_var(61, 10);
    host.cycle();
    p->record<NeedleElement>(1)->header.image_flags |= IMAGE_HIDDEN;
    p->compute_drawn();
    sim::Image image = renderer.render(*p, {});
    EXPECT_FALSE(is_needle(image, 80, 50));
    EXPECT_EQ(image.at(80, 50), (sim::Rgba{90, 90, 90, 255}));
}

TEST(Renderer, NightDimsUnlitElements) {
    sim::SimHost host;
    sim::Placement* p = host.place_header(nullptr, &test_gauge, nullptr, nullptr);
    Pictures pictures;
    sim::GaugeRenderer renderer(pictures.lookup());
    host.cycle();
    p->record<NeedleElement>(1)->header.image_flags |= IMAGE_LIT;
    p->compute_drawn();
    sim::Image night = renderer.render(*p, {.night = true});
    EXPECT_LT(night.at(5, 5).r, 40);      // the unlit face is dark
    EXPECT_TRUE(is_needle(night, 50, 20));  // the lit needle stays bright
}

TEST(Renderer, MissingBitmapIsReportedWithGaugeAndIdentifier) {
    sim::SimHost host;
    sim::Placement* p = host.place_header(nullptr, &test_gauge, nullptr, nullptr);
    Pictures pictures;
    pictures.images.erase(2);
    sim::GaugeRenderer renderer(pictures.lookup());
    host.cycle();
    renderer.render(*p, {});
    renderer.render(*p, {});
    ASSERT_EQ(renderer.problems().size(), 1u);  // once, however often it is drawn
    EXPECT_EQ(renderer.problems()[0].text(), "Test_Dial: missing bitmap 2");
}

}  // namespace
