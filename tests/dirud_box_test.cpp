// The engine starting box as the pilot works it: the two selectors stepping
// through their six positions with the events each step sends, the H lamps,
// the switches and the INJECTION knobs.
#include <cmath>
#include <string>
#include <vector>

#include "tests/click_sounds.h"
#include "tests/host_fixture.h"
#include "tests/hostile_values.h"

namespace {

using Events = std::vector<sim::KeyEvent>;

// Drawing order of the box's elements.
enum : size_t {
    PLATE,
    ENGINE2_LAMP,
    ENGINE1_LAMP,
    ENGINE2_SELECTOR,
    ENGINE1_SELECTOR,
    ENGINE2_KNOB,
    ENGINE1_KNOB,
    ENGINE2_UPPER,
    ENGINE1_UPPER,
    ENGINE2_LOWER,
    ENGINE1_LOWER,
};

struct Half {
    int up_x, up_y, down_x, down_y;  // points inside the selector arrows
    size_t selector, lamp;
    uint32_t tanks_var, tanks_toggle, step_up, step_down, off, both;
};
const Half kEngine1 = {90, 80, 90, 200, ENGINE1_SELECTOR, ENGINE1_LAMP, 895, 66494, 66127, 66126, 65927, 65930};
const Half kEngine2 = {140, 80, 140, 200, ENGINE2_SELECTOR, ENGINE2_LAMP, 896, 66495, 66129, 66128, 65933, 65936};

class DirudBoxTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        box = &place("Dirud_Box");
        host.cycle();
    }
    // One selector click and the events it sent.
    Events step(const Half& half, bool up) {
        host.clear_events();
        EXPECT_TRUE(up ? box->click(half.up_x, half.up_y) : box->click(half.down_x, half.down_y));
        host.cycle();
        return host.events();
    }
    int image(size_t element) {
        host.cycle();
        return box->element(element).image;
    }
    sim::Placement* box = nullptr;
};

}  // namespace

TEST_F(DirudBoxTest, PlateLampsSelectorsKnobsAndSwitchesInDrawingOrder) {
    struct Layer {
        int32_t bitmap, x, y;
        uint32_t flags, images;
    };
    const Layer layers[] = {{4140, 0, 0, 3, 0},    {4210, 173, 271, 7, 1}, {4210, 52, 271, 7, 1},
                            {4200, 126, 73, 3, 6}, {4190, 77, 73, 3, 6},   {4220, 169, 38, 3, 1},
                            {4220, 46, 36, 3, 1},  {4180, 210, 79, 3, 2},  {4170, 0, 79, 3, 2},
                            {4160, 210, 197, 3, 2}, {4150, 0, 197, 3, 2}};
    ASSERT_EQ(box->element_count(), 11u);
    for (size_t i = 0; i < 11; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(box->element(i).bitmap, layers[i].bitmap);
        EXPECT_EQ(box->element(i).x, layers[i].x);
        EXPECT_EQ(box->element(i).y, layers[i].y);
        EXPECT_EQ(box->element(i).image_flags, layers[i].flags);
        if (i > 0) {
            EXPECT_EQ(box->record<IconElement>(i)->image_count, layers[i].images);
            EXPECT_EQ(box->record<IconElement>(i)->scale, 1.0);
        }
    }
    // At load: lamps out, both selectors on A, knobs not drawn, switches on A.
    EXPECT_EQ(box->element(ENGINE1_LAMP).image, -1);
    EXPECT_EQ(box->element(ENGINE2_LAMP).image, -1);
    EXPECT_EQ(box->element(ENGINE1_SELECTOR).image, 0);
    EXPECT_EQ(box->element(ENGINE2_SELECTOR).image, 0);
    EXPECT_EQ(box->element(ENGINE1_KNOB).image, -1);
    EXPECT_EQ(box->element(ENGINE2_KNOB).image, -1);
    for (size_t s : {ENGINE1_UPPER, ENGINE2_UPPER, ENGINE1_LOWER, ENGINE2_LOWER}) EXPECT_EQ(box->element(s).image, 0);
}

TEST_F(DirudBoxTest, FiveUpClicksStepEngineOneFromAToBothMagnetos) {
    host.set_var(895, 0.0);
    EXPECT_EQ(step(kEngine1, true), Events{});
    EXPECT_EQ(box->element(ENGINE1_LAMP).image, 0);  // H lamp lit
    EXPECT_EQ(step(kEngine1, true), (Events{{66494, 0}}));
    EXPECT_EQ(step(kEngine1, true), (Events{{66127, 0}}));
    EXPECT_EQ(step(kEngine1, true), (Events{{66127, 0}}));
    EXPECT_EQ(step(kEngine1, true), (Events{{65930, 0}}));
    EXPECT_EQ(box->element(ENGINE1_SELECTOR).image, 5);
    EXPECT_EQ(step(kEngine1, true), Events{});  // already at 1.2
    EXPECT_EQ(box->element(ENGINE1_SELECTOR).image, 5);
    EXPECT_EQ(box->element(ENGINE1_LAMP).image, 0);
}

TEST_F(DirudBoxTest, FuelPositionOpensOnlyAShutValve) {
    for (double v : {1.0, 0.5, -0.0, 1e-9}) {
        host.set_var(895, v);
        step(kEngine1, true);
        Events sent = step(kEngine1, true);  // into E
        bool opens = v == 0.0;
        EXPECT_EQ(sent, (opens ? Events{{66494, 0}} : Events{})) << v;
        step(kEngine1, false);
        step(kEngine1, false);
    }
}

TEST_F(DirudBoxTest, FiveDownClicksStepEngineOneBackToA) {
    for (int i = 0; i < 5; ++i) step(kEngine1, true);
    host.set_var(895, 1.0);
    EXPECT_EQ(step(kEngine1, false), (Events{{66126, 0}}));
    EXPECT_EQ(step(kEngine1, false), (Events{{66126, 0}}));
    EXPECT_EQ(step(kEngine1, false), (Events{{65927, 0}}));
    EXPECT_EQ(step(kEngine1, false), (Events{{66494, 0}}));  // valve read exactly 1.0: shut it
    EXPECT_EQ(box->element(ENGINE1_LAMP).image, 0);
    EXPECT_EQ(step(kEngine1, false), Events{});
    EXPECT_EQ(box->element(ENGINE1_LAMP).image, -1);  // H lamp out on A
    EXPECT_EQ(step(kEngine1, false), Events{});
    EXPECT_EQ(box->element(ENGINE1_SELECTOR).image, 0);
}

TEST_F(DirudBoxTest, PreparationPositionShutsOnlyAFullyOpenValve) {
    for (double v : {0.0, 0.5, 0.999999, 2.0}) {
        for (int i = 0; i < 2; ++i) step(kEngine1, true);
        host.set_var(895, v);
        EXPECT_EQ(step(kEngine1, false), Events{}) << v;
        step(kEngine1, false);
    }
}

TEST_F(DirudBoxTest, EngineTwoHalfHasItsOwnEventsAndState) {
    host.set_var(896, 0.0);
    std::vector<Events> up;
    for (int i = 0; i < 6; ++i) up.push_back(step(kEngine2, true));
    EXPECT_EQ(up, (std::vector<Events>{{}, {{66495, 0}}, {{66129, 0}}, {{66129, 0}}, {{65936, 0}}, {}}));
    EXPECT_EQ(box->element(ENGINE2_LAMP).image, 0);
    EXPECT_EQ(box->element(ENGINE2_SELECTOR).image, 5);
    // Engine 1 did not move.
    EXPECT_EQ(box->element(ENGINE1_LAMP).image, -1);
    EXPECT_EQ(box->element(ENGINE1_SELECTOR).image, 0);
    host.set_var(896, 1.0);
    std::vector<Events> down;
    for (int i = 0; i < 6; ++i) down.push_back(step(kEngine2, false));
    EXPECT_EQ(down, (std::vector<Events>{{{66128, 0}}, {{66128, 0}}, {{65933, 0}}, {{66495, 0}}, {}, {}}));
    EXPECT_EQ(box->element(ENGINE2_LAMP).image, -1);
    // And engine 1's selector leaves engine 2 alone.
    step(kEngine2, true);
    step(kEngine1, true);
    step(kEngine1, false);
    EXPECT_EQ(box->element(ENGINE2_LAMP).image, 0);
    EXPECT_EQ(box->element(ENGINE2_SELECTOR).image, 1);
    EXPECT_EQ(box->element(ENGINE1_LAMP).image, -1);
}

TEST_F(DirudBoxTest, SelectorPositionIsSharedByEveryPlacement) {
    sim::Placement& second = place("Dirud_Box");
    step(kEngine1, true);
    step(kEngine1, true);
    host.cycle();
    EXPECT_EQ(second.element(ENGINE1_SELECTOR).image, 2);
    EXPECT_EQ(second.element(ENGINE1_LAMP).image, 0);
    second.click(kEngine1.down_x, kEngine1.down_y);
    host.cycle();
    EXPECT_EQ(box->element(ENGINE1_SELECTOR).image, 1);
}

TEST_F(DirudBoxTest, SwitchesSendTheirToggleAndRepeatWhileHeld) {
    struct Switch {
        int x, y;
        uint32_t event;
    };
    const Switch switches[] = {{10, 220, 66300}, {230, 220, 66301}, {10, 100, 66340}, {230, 100, 66341}};
    for (Switch s : switches) {
        host.clear_events();
        EXPECT_TRUE(box->click(s.x, s.y));
        EXPECT_EQ(host.events(), (Events{{s.event, 0}}));
        host.clear_events();
        EXPECT_TRUE(box->hold(s.x, s.y, MOUSE_LEFTSINGLE, 3));
        EXPECT_EQ(host.events(), (Events(4, {s.event, 0})));
        EXPECT_EQ(box->cursor(s.x, s.y), CURSOR_HAND);
    }
}

TEST_F(DirudBoxTest, SelectorArrowsTakeSingleClicksWithArrowCursors) {
    EXPECT_EQ(box->cursor(kEngine1.up_x, kEngine1.up_y), CURSOR_UPARROW);
    EXPECT_EQ(box->cursor(kEngine1.down_x, kEngine1.down_y), CURSOR_DOWNARROW);
    EXPECT_EQ(box->cursor(kEngine2.up_x, kEngine2.up_y), CURSOR_UPARROW);
    EXPECT_EQ(box->cursor(kEngine2.down_x, kEngine2.down_y), CURSOR_DOWNARROW);
    // Held, an arrow still steps once.
    box->hold(kEngine1.up_x, kEngine1.up_y, MOUSE_LEFTSINGLE, 4);
    host.cycle();
    EXPECT_EQ(box->element(ENGINE1_SELECTOR).image, 1);
    // Between the arrows nothing takes the click.
    EXPECT_FALSE(box->click(98, 150));
}

TEST_F(DirudBoxTest, SwitchPicturesAndInjectionKnobsFollowTheirVariables) {
    host.set_var(891, 1);
    EXPECT_EQ(image(ENGINE1_KNOB), 0);
    EXPECT_EQ(image(ENGINE1_UPPER), 1);
    EXPECT_EQ(image(ENGINE2_KNOB), -1);
    host.set_var(892, 1);
    host.set_var(891, 0);
    EXPECT_EQ(image(ENGINE2_KNOB), 0);
    EXPECT_EQ(image(ENGINE2_UPPER), 1);
    EXPECT_EQ(image(ENGINE1_KNOB), -1);
    EXPECT_EQ(image(ENGINE1_UPPER), 0);
    host.set_var(401, 1);
    EXPECT_EQ(image(ENGINE1_LOWER), 1);
    EXPECT_EQ(image(ENGINE2_LOWER), 0);
    host.set_var(440, 1);
    EXPECT_EQ(image(ENGINE2_LOWER), 1);
}

TEST_F(DirudBoxTest, SwitchTooltipsAreTheHostsOwn) {
    EXPECT_EQ(box->tooltip(10, 220), "[help 0xAB65]");
    EXPECT_EQ(box->tooltip(240, 260), "[help 0xAB65]");
    EXPECT_EQ(box->tooltip(10, 100), "[help 0xAB67]");
    EXPECT_EQ(box->tooltip(240, 80), "[help 0xAB67]");
    EXPECT_EQ(box->tooltip(125, 150), "");
}

TEST_F(DirudBoxTest, ImpossibleVariablesDrawNothingAndSendNothingUnexpected) {
    for (double v : kHostileValues) {
        for (uint32_t token : {401u, 440u, 891u, 892u, 895u, 896u}) host.set_var(token, v);
        host.cycle();
        for (size_t e : {ENGINE1_KNOB, ENGINE2_KNOB, ENGINE1_UPPER, ENGINE2_UPPER, ENGINE1_LOWER, ENGINE2_LOWER}) {
            EXPECT_TRUE(std::isfinite(box->element(e).value)) << v;
            if (!std::isfinite(v)) {
                EXPECT_EQ(box->element(e).image, -1) << v;
            }
        }
        // Neither exactly 0.0 nor 1.0: the fuel positions leave the valve.
        EXPECT_EQ(step(kEngine1, true), Events{});
        EXPECT_EQ(step(kEngine1, true), Events{});
        EXPECT_EQ(step(kEngine1, false), Events{});  // back to H
        EXPECT_EQ(step(kEngine1, false), Events{});
        EXPECT_EQ(step(kEngine1, false), Events{});
    }
}

TEST_F(DirudBoxTest, SwitchesClickAudiblyAndTheSelectorsSilently) {
    for (auto [x, y] : {std::pair{10, 220}, {230, 220}, {10, 100}, {230, 100}}) {
        size_t before = sounds_heard();
        box->click(x, y);
        EXPECT_EQ(sounds_heard(), before + 1) << x << "," << y;
        host.cycles(2);
    }
    size_t before = sounds_heard();
    for (int i = 0; i < 5; ++i) {
        step(kEngine1, true);
        step(kEngine2, true);
        host.cycles(2);
    }
    for (int i = 0; i < 5; ++i) {
        step(kEngine1, false);
        step(kEngine2, false);
        host.cycles(2);
    }
    EXPECT_EQ(sounds_heard(), before);
    // Held, the switch repeats its event; the click sounds on as one.
    box->hold(10, 220, MOUSE_LEFTSINGLE, 3);
    EXPECT_EQ(sounds_heard(), before + 1);
    host.kill(*box);
    EXPECT_EQ(sound_inspect::live().devices, 0);
    EXPECT_EQ(sound_inspect::live().buffers, 0);
}
