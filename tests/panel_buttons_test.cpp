// The ten panel-window buttons and the parameter strings that program them,
// as the host sees them: faces, help texts, tooltips, the key events and
// panel-window toggles a click causes.
#include <string>
#include <vector>

#include "tests/host_fixture.h"

namespace {

using sim::KeyEvent;

constexpr uint32_t OPEN = 66507, CLOSE = 66508, TOGGLE = 66506;
constexpr uint32_t VIEW_FORWARD = 65734, VIEW_BACK = 65735, VIEW_RESET = 65875;

struct ButtonCase {
    const char* name;
    int32_t face;
    uint32_t help_id;
    const char* tooltip;  // what the host shows over the button
    uint32_t host_event;  // 0: a programmable button
};

const ButtonCase kButtons[] = {
    {"Kneeboard_Toggle", 60, 43923, "[help 0xAB93]", 65876},
    {"ATC_Toggle", 80, 43924, "[help 0xAB94]", 65564},
    {"Map_Toggle", 70, 43919, "[help 0xAB8F]", 66432},
    {"Invisible_Toggle", 100, 0, "", 0},
    {"Close_Subpanel", 110, 0, "Close the subpanel", 0},
    {"Radios_Toggle", 120, 43910, "[help 0xAB86]", 0},
    {"Landing_View_Toggle", 130, 0, "Switch between Normal and Landing view", 0},
    {"GPS_Toggle", 140, 43911, "[help 0xAB87]", 0},
    {"Throttle_Toggle", 150, 43912, "[help 0xAB88]", 0},
    {"Compass_Toggle", 160, 43913, "[help 0xAB89]", 0},
};

class PanelButtonTest : public ModuleTest {
protected:
    // The events one click on the button's click area sends.
    std::vector<KeyEvent> click(sim::Placement& p) {
        host.clear_events();
        EXPECT_TRUE(p.click(8, 8));
        return host.events();
    }
    std::vector<KeyEvent> click_placed(const char* name, const char* parameters) {
        return click(place(name, parameters));
    }
    int32_t face(sim::Placement& p) {
        host.cycle();
        return p.element(0).bitmap;
    }
};

}  // namespace

TEST_F(PanelButtonTest, EveryButtonShowsItsFaceHelpAndHandOverTheClickArea) {
    for (const ButtonCase& b : kButtons) {
        SCOPED_TRACE(b.name);
        sim::Placement& p = place(b.name);
        ASSERT_EQ(p.element_count(), 1u);
        EXPECT_EQ(face(p), b.face);
        EXPECT_EQ(p.element(0).kind, uint32_t(ELEMENT_STATIC_IMAGE));
        EXPECT_EQ(p.element(0).image_flags, 0x3u);
        EXPECT_EQ(p.mouse_rects()[0].help_id, b.help_id);
        EXPECT_EQ(p.tooltip(8, 8), b.tooltip);
        EXPECT_EQ(p.cursor(8, 8), CURSOR_HAND);
        EXPECT_EQ(p.cursor(1, 1), CURSOR_NONE);  // outside the 13 x 13 area
        EXPECT_FALSE(p.click(1, 1));
        ASSERT_EQ(p.children().size(), 1u);
        EXPECT_EQ(p.children()[0]->mouse_flags, MOUSE_LEFTSINGLE);
    }
}

TEST_F(PanelButtonTest, WithoutParametersEachButtonDoesItsDefaultAction) {
    for (const ButtonCase& b : kButtons) {
        SCOPED_TRACE(b.name);
        host.panel_toggles.clear();
        sim::Placement& p = place(b.name);
        std::vector<KeyEvent> events = click(p);
        if (b.host_event) {
            EXPECT_EQ(events, (std::vector<KeyEvent>{{b.host_event, 0}}));
            EXPECT_TRUE(host.panel_toggles.empty());
        } else {
            EXPECT_TRUE(events.empty());
            EXPECT_EQ(host.panel_toggles, std::vector<uint32_t>{0});
        }
    }
}

TEST_F(PanelButtonTest, TwoDefaultClicksRestoreTheMainPanel) {
    host.set_panel_visible(0, true);
    sim::Placement& p = place("Landing_View_Toggle", "");
    p.click(8, 8);
    EXPECT_FALSE(host.panel_visible(0));
    p.click(8, 8);
    EXPECT_TRUE(host.panel_visible(0));
    EXPECT_EQ(host.panel_toggles, (std::vector<uint32_t>{0, 0}));
}

TEST_F(PanelButtonTest, ButtonsWithoutCallbacksIgnoreTheirParameters) {
    for (const ButtonCase& b : kButtons) {
        if (!b.host_event) continue;
        SCOPED_TRACE(b.name);
        host.clear_events();
        sim::Placement& p = place(b.name, "b120 hTOGGLE_GPS_WINDOW aGPS_PANEL oGPS_PANEL p3");
        EXPECT_TRUE(host.events().empty());
        EXPECT_EQ(face(p), b.face);
        EXPECT_EQ(p.mouse_rects()[0].help_id, b.help_id);
        EXPECT_EQ(click(p), (std::vector<KeyEvent>{{b.host_event, 0}}));
    }
}

TEST_F(PanelButtonTest, TheBKeyChoosesOneOfTheSevenFacesOrStopsTheWholeString) {
    EXPECT_EQ(face(place("Compass_Toggle", "b110")), 110);
    EXPECT_EQ(face(place("Invisible_Toggle", "b160")), 160);
    EXPECT_EQ(face(place("Compass_Toggle", "b100")), 100);
    for (const char* bad : {"b125 hTOGGLE_GPS_WINDOW", "b90 hTOGGLE_GPS_WINDOW", "b170 hTOGGLE_GPS_WINDOW",
                            "b hTOGGLE_GPS_WINDOW", "b-120 hTOGGLE_GPS_WINDOW", "b99999999999 h40960"}) {
        SCOPED_TRACE(bad);
        sim::Placement& p = place("Radios_Toggle", bad);
        EXPECT_EQ(face(p), 120);
        EXPECT_EQ(p.mouse_rects()[0].help_id, 43910u);  // h was not read
    }
    // The original record is the same for the next placement.
    EXPECT_EQ(face(place("Compass_Toggle")), 160);
}

TEST_F(PanelButtonTest, TheHKeyNamesTheWholeGaugeHelpText) {
    struct {
        const char* parameters;
        uint32_t help_id;
    } cases[] = {
        {"hTOGGLE_RADIO_WINDOW", 43910},    {"hTOGGLE_GPS_WINDOW", 43911},  {"hTOGGLE_THROTTLE_WINDOW", 43912},
        {"hTOGGLE_COMPASS_WINDOW", 43913},  {"hTOGGLE_FUEL_WINDOW", 43914}, {"hTOGGLE_COLLECTIVE_WINDOW", 43915},
        {"h40960", 40960},                  {"h500", 0},                    {"h", 0},
        {"hTOGGLE_NOTHING", 0},             {"h43920 b110", 43920},         {"# h43920", 43913},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        sim::Placement& p = place("Compass_Toggle", c.parameters);
        EXPECT_EQ(p.mouse_rects()[0].help_id, c.help_id);
    }
    EXPECT_EQ(place("Compass_Toggle", "hTOGGLE_FUEL_WINDOW").tooltip(8, 8), "[help 0xAB8A]");
}

TEST_F(PanelButtonTest, ClicksRunOpenThenCloseThenToggleThenTheViewSteps) {
    EXPECT_EQ(click_placed("Close_Subpanel", "cRADIO_STACK_PANEL"), (std::vector<KeyEvent>{{CLOSE, 50}}));
    EXPECT_EQ(click_placed("GPS_Toggle", "oGPS_PANEL tGPS_PANEL"),
              (std::vector<KeyEvent>{{OPEN, 225}, {TOGGLE, 225}}));
    EXPECT_EQ(click_placed("GPS_Toggle", "p2 t10 c20 o30 o40"),
              (std::vector<KeyEvent>{{OPEN, 30}, {OPEN, 40}, {CLOSE, 20}, {TOGGLE, 10}, {VIEW_FORWARD, 0},
                                     {VIEW_FORWARD, 0}}));
    // The same events on every click.
    sim::Placement& p = place("Close_Subpanel", "cRADIO_STACK_PANEL");
    EXPECT_EQ(click(p), click(p));
}

TEST_F(PanelButtonTest, EveryPanelNameIsRecognisedAtTheStartOfItsArgument) {
    struct {
        const char* name;
        uint32_t id;
    } panels[] = {
        {"MAIN_PANEL", 0},           {"THROTTLE_PANEL", 10},     {"RADIO_STACK_PANEL", 50},
        {"COMPASS_PANEL", 75},       {"MINI_CONTROLS_PANEL", 100}, {"ANNUNCIATOR_PANEL", 125},
        {"ANNUNCIATOR2_PANEL", 150}, {"IFR_MAIN_PANEL", 175},    {"COLLECTIVE_PANEL", 200},
        {"GPS_PANEL", 225},          {"OVERHEAD_PANEL", 250},
    };
    for (const auto& panel : panels) {
        SCOPED_TRACE(panel.name);
        std::string parameters = std::string("t") + panel.name;
        EXPECT_EQ(click_placed("Radios_Toggle", parameters.c_str()), (std::vector<KeyEvent>{{TOGGLE, panel.id}}));
    }
    // Only at the very start: a blank first makes it an unconvertible number.
    EXPECT_EQ(click_placed("Radios_Toggle", "t GPS_PANEL"), (std::vector<KeyEvent>{{TOGGLE, 0}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "tGPSPANEL"), (std::vector<KeyEvent>{{TOGGLE, 0}}));
}

TEST_F(PanelButtonTest, NumbersNameAPanelAndNegativeOnesNoneAtAll) {
    EXPECT_EQ(click_placed("Radios_Toggle", "cFOO"), (std::vector<KeyEvent>{{CLOSE, 0}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "c75"), (std::vector<KeyEvent>{{CLOSE, 75}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "c +75"), (std::vector<KeyEvent>{{CLOSE, 75}}));
    // The number may follow any of the C library's blanks.
    for (const char* spaced : {"c\t75", "c\n75", "c\v75", "c\f75", "c\r75", "c \t\r\n75"})
        EXPECT_EQ(click_placed("Radios_Toggle", spaced), (std::vector<KeyEvent>{{CLOSE, 75}})) << spaced;
    EXPECT_EQ(click_placed("Radios_Toggle", "c_75"), (std::vector<KeyEvent>{{CLOSE, 0}}));
    EXPECT_TRUE(click_placed("Radios_Toggle", "c-5").empty());
    // Past 32 bits the number stays at the limit instead of wrapping.
    EXPECT_EQ(click_placed("Radios_Toggle", "c99999999999"), (std::vector<KeyEvent>{{CLOSE, 2147483647u}}));
    EXPECT_TRUE(click_placed("Radios_Toggle", "c-99999999999").empty());
}

TEST_F(PanelButtonTest, CommentCharactersEndTheCommands) {
    EXPECT_EQ(click_placed("Radios_Toggle", "c50 # o75"), (std::vector<KeyEvent>{{CLOSE, 50}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "o10 / o20 c30"), (std::vector<KeyEvent>{{OPEN, 10}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "o10 ' p4"), (std::vector<KeyEvent>{{OPEN, 10}}));
}

TEST_F(PanelButtonTest, AStringWithNoCommandStillKeepsTheMainPanelAlone) {
    for (const char* parameters : {"# note", "x", "c50 o", "o"}) {
        SCOPED_TRACE(parameters);
        host.panel_toggles.clear();
        std::vector<KeyEvent> events = click_placed("Invisible_Toggle", parameters);
        EXPECT_TRUE(host.panel_toggles.empty());
        if (std::string(parameters) == "c50 o")
            EXPECT_EQ(events, (std::vector<KeyEvent>{{CLOSE, 50}}));  // the o at the end names nothing
        else
            EXPECT_TRUE(events.empty());
    }
}

TEST_F(PanelButtonTest, CloseSubpanelWithAPanelNeverTouchesTheMainPanel) {
    host.set_panel_visible(0, true);
    host.set_panel_visible(225, true);
    sim::Placement& p = place("Close_Subpanel", "cGPS_PANEL");
    p.click(8, 8);
    p.click(8, 8);
    EXPECT_FALSE(host.panel_visible(225));
    EXPECT_TRUE(host.panel_visible(0));
    EXPECT_TRUE(host.panel_toggles.empty());
    EXPECT_EQ(host.events(), (std::vector<KeyEvent>{{CLOSE, 225}, {CLOSE, 225}}));
}

TEST_F(PanelButtonTest, ThePKeyStepsTheViewOnlyByItsFirstCount) {
    EXPECT_EQ(click_placed("Radios_Toggle", "p-2"), (std::vector<KeyEvent>{{VIEW_BACK, 0}, {VIEW_BACK, 0}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "p"), (std::vector<KeyEvent>{{VIEW_RESET, 0}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "p0"), (std::vector<KeyEvent>{{VIEW_RESET, 0}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "pX"), (std::vector<KeyEvent>{{VIEW_RESET, 0}}));
    EXPECT_EQ(click_placed("Radios_Toggle", "p1 p5"), (std::vector<KeyEvent>{{VIEW_FORWARD, 0}}));
}

TEST_F(PanelButtonTest, AHugeViewCountSendsAtMostOneHundredSteps) {
    std::vector<KeyEvent> forward = click_placed("Radios_Toggle", "p99999999999999");
    EXPECT_EQ(forward, std::vector<KeyEvent>(100, KeyEvent{VIEW_FORWARD, 0}));
    std::vector<KeyEvent> back = click_placed("Radios_Toggle", "p-2147483648");
    EXPECT_EQ(back, std::vector<KeyEvent>(100, KeyEvent{VIEW_BACK, 0}));
    EXPECT_EQ(click_placed("Radios_Toggle", "p100").size(), 100u);
}

TEST_F(PanelButtonTest, TheAKeyClosesItsPanelOnTheFirstInstallOfEachCopyOnly) {
    sim::Placement& p = place("Throttle_Toggle", "aTHROTTLE_PANEL");
    EXPECT_EQ(host.events(), (std::vector<KeyEvent>{{CLOSE, 10}}));
    host.send(p, SERVICE_INSTALL, module->resource_handle());
    host.send(p, SERVICE_INSTALL, module->resource_handle());
    EXPECT_EQ(host.events().size(), 1u);
    // Clicks do not run it either: the button without o, c, t or p sends nothing.
    EXPECT_TRUE(click(p).empty());
    // A second placement is a copy of its own, with its own first install.
    host.clear_events();
    place("Throttle_Toggle", "aTHROTTLE_PANEL");
    EXPECT_EQ(host.events(), (std::vector<KeyEvent>{{CLOSE, 10}}));
    // Other service notices do nothing.
    host.clear_events();
    for (int32_t code : {0, 1, 6, 12, 14, 99, -1}) host.send(p, code);
    EXPECT_TRUE(host.events().empty());
}

TEST_F(PanelButtonTest, TheAKeyNeedsAPanel) {
    place("Throttle_Toggle", "a");
    place("Throttle_Toggle", "a-1");
    place("Throttle_Toggle", "# aGPS_PANEL");
    EXPECT_TRUE(host.events().empty());
    place("Throttle_Toggle", "a225 cGPS_PANEL");
    EXPECT_EQ(host.events(), (std::vector<KeyEvent>{{CLOSE, 225}}));
}

TEST_F(PanelButtonTest, ReinstallingKeepsTheFaceAndHelpText) {
    sim::Placement& p = place("Compass_Toggle", "b130 hTOGGLE_FUEL_WINDOW");
    host.send(p, SERVICE_INSTALL, module->resource_handle());
    EXPECT_EQ(face(p), 130);
    EXPECT_EQ(p.mouse_rects()[0].help_id, 43914u);
}

TEST_F(PanelButtonTest, AClickWithoutAClickRecordTogglesTheMainPanel) {
    sim::Placement& p = place("GPS_Toggle", "oGPS_PANEL");
    MouseCallback callback = p.children()[0]->callback;
    ASSERT_NE(callback, nullptr);
    EXPECT_EQ(callback(nullptr, MOUSE_LEFTSINGLE), 0);
    ClickRecord no_gauge{8, 8, nullptr, nullptr};
    EXPECT_EQ(callback(&no_gauge, MOUSE_LEFTSINGLE), 0);
    EXPECT_EQ(host.panel_toggles, (std::vector<uint32_t>{0, 0}));
    EXPECT_TRUE(host.events().empty());
}
