// Fire_Valves as the pilot works it: the eight handles, what each click
// sends, the pictures and the tooltip of every handle.
#include <cmath>
#include <string>
#include <vector>

#include "tests/click_sounds.h"
#include "tests/host_fixture.h"
#include "tests/hostile_values.h"

namespace {

// The handles from left to right: click box, drawn element, tooltip.
struct Handle {
    int x, width;
    size_t element;  // index in drawing order
    int32_t bitmap;
    const char* tooltip_prefix;
};
const Handle kLeftAdmission = {15, 14, 8, 4240, "Left engine admission valve ("};
const Handle kLeftTanks = {32, 23, 7, 4260, "Left tanks fuel valve ("};
const Handle kLeftOil = {63, 19, 6, 4280, "Left engine oil valve ("};
const Handle kLeftDump = {87, 17, 5, 4300, "Left tanks fuel dump valve ("};
const Handle kRightDump = {125, 17, 4, 4310, "Right tanks fuel dump valve ("};
const Handle kRightOil = {147, 19, 3, 4290, "Right engine oil valve ("};
const Handle kRightTanks = {174, 23, 2, 4270, "Right tanks fuel valve ("};
const Handle kRightAdmission = {201, 14, 1, 4250, "Right engine admission valve ("};
const Handle kHandles[] = {kLeftAdmission, kLeftTanks, kLeftOil,   kLeftDump,
                           kRightDump,     kRightOil,  kRightTanks, kRightAdmission};

class FireValvesTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        valves = &place("Fire_Valves");
        host.cycle();
    }
    bool click(const Handle& h) { return valves->click(h.x + h.width / 2, 60); }
    std::string tooltip(const Handle& h) { return valves->tooltip(h.x + h.width / 2, 60); }
    std::string expected_tooltip(const Handle& h, const char* state) {
        return std::string(h.tooltip_prefix) + state + ")";
    }
    int image(const Handle& h) {
        host.cycle();
        return valves->element(h.element).image;
    }
    sim::Placement* valves = nullptr;
};

}  // namespace

TEST_F(FireValvesTest, RowOfEightHandlesOverThePlate) {
    EXPECT_EQ(valves->element_count(), 9u);
    EXPECT_EQ(valves->element(0).bitmap, 4230);
    for (const Handle& h : kHandles) {
        SCOPED_TRACE(h.tooltip_prefix);
        const sim::DrawnElement& e = valves->element(h.element);
        EXPECT_EQ(e.kind, ELEMENT_ICON);
        EXPECT_EQ(e.bitmap, h.bitmap);
        EXPECT_EQ(e.x, h.x);
        EXPECT_EQ(e.y, 0);
        EXPECT_EQ(e.image_flags, 0x3u);
        EXPECT_EQ(valves->record<IconElement>(h.element)->image_count, 2u);
        EXPECT_EQ(valves->record<IconElement>(h.element)->scale, 1.0);
        EXPECT_EQ(valves->cursor(h.x, 0), CURSOR_HAND);
        EXPECT_EQ(valves->cursor(h.x + h.width - 1, 114), CURSOR_HAND);
    }
    EXPECT_EQ(valves->cursor(5, 60), CURSOR_NONE);
    EXPECT_EQ(valves->tooltip(110, 60), "");
    EXPECT_FALSE(valves->click(110, 60));
}

TEST_F(FireValvesTest, AtLoadOilValvesAreOnAndDumpValvesInactiveAllDrawnUp) {
    EXPECT_EQ(tooltip(kLeftOil), expected_tooltip(kLeftOil, "on"));
    EXPECT_EQ(tooltip(kRightOil), expected_tooltip(kRightOil, "on"));
    EXPECT_EQ(tooltip(kLeftDump), expected_tooltip(kLeftDump, "inactive"));
    EXPECT_EQ(tooltip(kRightDump), expected_tooltip(kRightDump, "inactive"));
    EXPECT_EQ(image(kLeftOil), 1);  // oil handles: image 1 is up
    EXPECT_EQ(image(kRightOil), 1);
    EXPECT_EQ(image(kLeftDump), 0);  // dump handles: image 0 is up
    EXPECT_EQ(image(kRightDump), 0);
    // With the simulator's valves shut, their handles are down.
    EXPECT_EQ(tooltip(kLeftAdmission), expected_tooltip(kLeftAdmission, "shut"));
    EXPECT_EQ(tooltip(kRightAdmission), expected_tooltip(kRightAdmission, "shut"));
    EXPECT_EQ(tooltip(kLeftTanks), expected_tooltip(kLeftTanks, "shut"));
    EXPECT_EQ(tooltip(kRightTanks), expected_tooltip(kRightTanks, "shut"));
    for (const Handle* h : {&kLeftAdmission, &kRightAdmission, &kLeftTanks, &kRightTanks}) EXPECT_EQ(image(*h), 0);
}

TEST_F(FireValvesTest, OilAndDumpHandlesToggleTheirOwnFlagOnly) {
    struct Case {
        Handle h;
        const char* first;
        const char* second;
        int first_image, second_image;
    };
    const Case cases[] = {{kLeftOil, "off", "on", 0, 1},
                          {kRightOil, "off", "on", 0, 1},
                          {kLeftDump, "active", "inactive", 1, 0},
                          {kRightDump, "active", "inactive", 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.h.tooltip_prefix);
        EXPECT_TRUE(click(c.h));
        EXPECT_EQ(tooltip(c.h), expected_tooltip(c.h, c.first));
        EXPECT_EQ(image(c.h), c.first_image);
        EXPECT_TRUE(click(c.h));
        EXPECT_EQ(tooltip(c.h), expected_tooltip(c.h, c.second));
        EXPECT_EQ(image(c.h), c.second_image);
    }
    // No effect on the simulation.
    EXPECT_TRUE(host.events().empty());
}

TEST_F(FireValvesTest, OilAndDumpFlagsAreSharedByEveryPlacement) {
    sim::Placement& second = place("Fire_Valves");
    click(kLeftOil);
    click(kRightDump);
    host.cycle();
    EXPECT_EQ(second.element(kLeftOil.element).image, 0);
    EXPECT_EQ(second.element(kRightDump.element).image, 1);
    EXPECT_EQ(second.tooltip(70, 10), "Left engine oil valve (off)");
    EXPECT_EQ(second.tooltip(130, 10), "Right tanks fuel dump valve (active)");
}

TEST_F(FireValvesTest, AdmissionValvesReadTheLowWordAsAnInteger) {
    struct Valve {
        Handle h;
        uint32_t token, open_event, shut_event;
    };
    for (const Valve& v : {Valve{kLeftAdmission, 422, 65956, 65955}, Valve{kRightAdmission, 461, 66517, 66516}}) {
        SCOPED_TRACE(v.token);
        // Shut: the low word is 0, whatever the high word holds.
        host.set_var_low_word(v.token, 0, 0xDEADBEEF);
        EXPECT_EQ(tooltip(v.h), expected_tooltip(v.h, "shut"));
        EXPECT_EQ(image(v.h), 0);
        host.clear_events();
        click(v.h);
        EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{v.open_event, 0}}));
        // Open: the low word is 1.
        host.set_var_low_word(v.token, 1, 0x7FF80000);
        EXPECT_EQ(tooltip(v.h), expected_tooltip(v.h, "open"));
        EXPECT_EQ(image(v.h), 1);
        host.clear_events();
        click(v.h);
        EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{v.shut_event, 0}}));
        // The double 1.0 has a zero low word: the valve reads shut.
        host.set_var(v.token, 1.0);
        EXPECT_EQ(tooltip(v.h), expected_tooltip(v.h, "shut"));
        EXPECT_EQ(image(v.h), 0);
        host.clear_events();
        click(v.h);
        EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{v.open_event, 0}}));
        // Neither 0 nor 1: drawn and worded open, but a click does nothing.
        host.set_var_low_word(v.token, 2, 0);
        EXPECT_EQ(tooltip(v.h), expected_tooltip(v.h, "open"));
        EXPECT_EQ(image(v.h), 1);
        host.clear_events();
        EXPECT_TRUE(click(v.h));
        EXPECT_TRUE(host.events().empty());
    }
}

TEST_F(FireValvesTest, TanksHandlesAlwaysSendTheirToggle) {
    for (double v : {0.0, 1.0, 0.5, -3.0}) {
        host.set_var(895, v);
        host.set_var(896, v);
        host.clear_events();
        click(kLeftTanks);
        click(kRightTanks);
        EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{66494, 0}, {66495, 0}})) << v;
    }
}

TEST_F(FireValvesTest, TanksTooltipsAgreeOnlyForZeroAndOne) {
    // The left handle reads open above zero, the right one only at 1.0.
    host.set_var(895, 0.5);
    host.set_var(896, 0.5);
    EXPECT_EQ(tooltip(kLeftTanks), "Left tanks fuel valve (open)");
    EXPECT_EQ(tooltip(kRightTanks), "Right tanks fuel valve (shut)");
    host.set_var(895, 1.0);
    host.set_var(896, 1.0);
    EXPECT_EQ(tooltip(kLeftTanks), "Left tanks fuel valve (open)");
    EXPECT_EQ(tooltip(kRightTanks), "Right tanks fuel valve (open)");
    EXPECT_EQ(image(kLeftTanks), 1);
    EXPECT_EQ(image(kRightTanks), 1);
    host.set_var(895, 0.0);
    host.set_var(896, 0.0);
    EXPECT_EQ(tooltip(kLeftTanks), "Left tanks fuel valve (shut)");
    EXPECT_EQ(tooltip(kRightTanks), "Right tanks fuel valve (shut)");
}

TEST_F(FireValvesTest, ImpossibleValveVariablesGiveAPlainWord) {
    for (double v : kHostileValues) {
        for (uint32_t token : {422u, 461u, 895u, 896u}) host.set_var(token, v);
        host.cycle();
        for (const Handle& h : kHandles) {
            std::string text = tooltip(h);
            bool plain = false;
            for (const char* word : {"open", "shut", "on", "off", "active", "inactive"})
                plain = plain || text == expected_tooltip(h, word);
            EXPECT_TRUE(plain) << text << " for " << v;
            click(h);
        }
    }
    host.set_var(895, NAN);
    host.set_var(896, NAN);
    EXPECT_EQ(tooltip(kLeftTanks), "Left tanks fuel valve (shut)");
    EXPECT_EQ(tooltip(kRightTanks), "Right tanks fuel valve (shut)");
}

// ------------------------------------------------------------ sound

TEST_F(FireValvesTest, EveryHandleThatMovesClicksOnce) {
    host.set_var_low_word(422, 0, 0);
    host.set_var_low_word(461, 1, 0);
    size_t heard = 0;
    for (const Handle& h : kHandles) {
        SCOPED_TRACE(h.tooltip_prefix);
        click(h);
        EXPECT_EQ(sounds_heard(), ++heard);
        host.cycles(2);  // let the click die away before the next
    }
    // An admission valve that reads neither 0 nor 1 stays silent.
    host.set_var_low_word(422, 7, 0);
    click(kLeftAdmission);
    host.cycles(2);
    EXPECT_EQ(sounds_heard(), heard);
    // A second click while the first still sounds does not restart it.
    click(kLeftOil);
    click(kLeftOil);
    EXPECT_EQ(sounds_heard(), heard + 1);
}

TEST_F(FireValvesTest, SoundDeviceAndBufferLiveFromInstallToKill) {
    EXPECT_EQ(sound_inspect::live().devices, 1);
    EXPECT_EQ(sound_inspect::live().buffers, 1);
    host.kill(*valves);
    EXPECT_EQ(sound_inspect::live().devices, 0);
    EXPECT_EQ(sound_inspect::live().buffers, 0);
    EXPECT_EQ(sound_inspect::object_events(),
              (std::vector<sound_inspect::ObjectEvent>{{sound_inspect::ObjectEvent::DEVICE_CREATED, 1},
                                                       {sound_inspect::ObjectEvent::BUFFER_CREATED, 1},
                                                       {sound_inspect::ObjectEvent::BUFFER_RELEASED, 1},
                                                       {sound_inspect::ObjectEvent::DEVICE_RELEASED, 1}}));
}

TEST(FireValvesWithoutSound, HandlesStillWorkSilently) {
    sim::SimHost host;
    std::string error;
    ASSERT_NE(host.load_module(MORVANE_MODULE_PATH, &error), nullptr) << error;
    sound_inspect::fail_step(sound_inspect::Step::CreateDevice);
    sim::Placement* valves = host.place("Fire_Valves", nullptr, &error);
    ASSERT_NE(valves, nullptr) << error;
    unsigned system_calls = sound_inspect::system_calls();
    valves->click(40, 60);
    valves->click(70, 60);
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{66494, 0}}));
    EXPECT_EQ(valves->tooltip(70, 60), "Left engine oil valve (off)");
    EXPECT_TRUE(sound_inspect::played().empty());
    EXPECT_EQ(sound_inspect::system_calls(), system_calls);  // nothing more asked of the sound system
    host.kill(*valves);
    EXPECT_TRUE(host.faults.empty());
}
