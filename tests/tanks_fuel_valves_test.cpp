// The tanks fuel valves are worked from two gauges, the fire valves row and
// the engine starting box. The simulator toggles each valve on its event;
// whichever gauge moved it last, both show and act on the simulator's state.
#include <ostream>
#include <string>

#include "tests/host_fixture.h"

namespace {

struct Side {
    uint32_t var, toggle;
    int handle_x;          // fire valves handle
    size_t handle_element;  // its icon in drawing order
    const char* tooltip_prefix;
    int selector_x;  // starting box selector column
    int up_y = 80, down_y = 200;
};
void PrintTo(const Side& side, std::ostream* os) { *os << "tanks valve variable " << side.var; }

const Side kLeft = {895, 66494, 40, 7, "Left tanks fuel valve (", 90};
const Side kRight = {896, 66495, 180, 2, "Right tanks fuel valve (", 140};

class TanksFuelValvesTest : public ModuleTest, public ::testing::WithParamInterface<Side> {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        valves = &place("Fire_Valves");
        box = &place("Dirud_Box");
        const Side side = GetParam();
        // The simulator's valve: 0.0 shut, 1.0 open, toggled by its event.
        host.set_var(side.var, 0.0);
        host.on_event(side.toggle, [this, side](uint32_t) {
            host.set_var(side.var, host.var(side.var) == 1.0 ? 0.0 : 1.0);
        });
        host.cycle();
    }
    // What the fire valves row shows for this side: tooltip word and image.
    void expect_valve(bool open) {
        const Side& side = GetParam();
        host.cycle();
        EXPECT_EQ(valves->tooltip(side.handle_x, 60), std::string(side.tooltip_prefix) + (open ? "open)" : "shut)"));
        EXPECT_EQ(valves->element(side.handle_element).image, open ? 1 : 0);
        EXPECT_EQ(host.var(side.var), open ? 1.0 : 0.0);
    }
    void handle_click() { valves->click(GetParam().handle_x, 60); }
    void selector(bool up) { box->click(GetParam().selector_x, up ? GetParam().up_y : GetParam().down_y); }
    size_t toggles() const {
        size_t n = 0;
        for (auto& e : host.events()) n += e.id == GetParam().toggle;
        return n;
    }
    sim::Placement* valves = nullptr;
    sim::Placement* box = nullptr;
};

}  // namespace

TEST_P(TanksFuelValvesTest, BothGaugesFollowTheSimulatorWhicheverMovedTheValve) {
    expect_valve(false);
    selector(true);  // H
    selector(true);  // E: the box opens the shut valve
    expect_valve(true);
    EXPECT_EQ(toggles(), 1u);
    handle_click();  // the pilot shuts it on the fire valves row
    expect_valve(false);
    selector(false);  // back to H: the valve already reads shut, nothing sent
    EXPECT_EQ(toggles(), 2u);
    expect_valve(false);
    handle_click();  // opened again from the row
    expect_valve(true);
    selector(true);  // E: already open, nothing sent
    EXPECT_EQ(toggles(), 3u);
    expect_valve(true);
    selector(false);  // H: the box shuts the open valve
    expect_valve(false);
    EXPECT_EQ(toggles(), 4u);
    selector(true);  // and E opens it once more
    expect_valve(true);
    handle_click();
    expect_valve(false);
    EXPECT_EQ(toggles(), 6u);
}

INSTANTIATE_TEST_SUITE_P(EachSide, TanksFuelValvesTest, ::testing::Values(kLeft, kRight),
                         [](const auto& info) { return info.param.var == 895 ? "Left" : "Right"; });
