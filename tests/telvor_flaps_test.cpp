// Telvor_Flaps, the second module, on the older gauge interface: its tables,
// the service calls its seven routines make, the knob and the click areas,
// and how the previewer draws it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "host/bitmaps.h"
#include "host/sim_host.h"

#ifdef TELVOR_MODULE_PATH

namespace {

constexpr uint32_t kFlapsPosition = 329;
constexpr uint32_t kLeftAreaEvent = 65759, kRightAreaEvent = 65758;

class TelvorFlapsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        module = host.load_module(TELVOR_MODULE_PATH, &error);  // alone: it needs nothing of Morvane_Instr
        ASSERT_NE(module, nullptr) << error;
        ASSERT_EQ(module->gauges().size(), 1u);
        gauge = module->gauges()[0];
        root = gauge->elements[0];
    }
    void TearDown() override { EXPECT_TRUE(host.faults.empty()) << host.faults.front(); }

    sim::Placement& place() {
        sim::Placement* p = host.place("telvor_flaps", nullptr);
        EXPECT_NE(p, nullptr);
        return *p;
    }
    uintptr_t word(const void* p) const { return reinterpret_cast<uintptr_t>(p); }
    sim::ServiceCall call(unsigned offset, std::vector<uintptr_t> args) const { return {offset, std::move(args)}; }
    // The calls recorded since the last look.
    std::vector<sim::ServiceCall> calls() {
        auto recorded = host.service_calls;
        host.service_calls.clear();
        return recorded;
    }
    MouseRect* registered(sim::Placement& p) const { return p.legacy_registered_rects; }

    sim::SimHost host;
    sim::LoadedModule* module = nullptr;
    GaugeHeader* gauge = nullptr;
    ElementHeader* root = nullptr;
};

void expect_calls(const std::vector<sim::ServiceCall>& actual, const std::vector<sim::ServiceCall>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("call " + std::to_string(i));
        EXPECT_EQ(actual[i].offset, expected[i].offset);
        EXPECT_EQ(actual[i].args, expected[i].args);
    }
}

}  // namespace

TEST_F(TelvorFlapsTest, TablesFollowTheOlderInterface) {
    ModuleLinkage* linkage = module->linkage();
    EXPECT_EQ(linkage->module_id, 0x13u);
    EXPECT_EQ(linkage->version, 0u);
    EXPECT_EQ(linkage->flags, 0u);
    EXPECT_EQ(linkage->priority, 0u);
    EXPECT_NE(linkage->init, nullptr);
    EXPECT_NE(linkage->deinit, nullptr);
    EXPECT_EQ(module->import_table()->entry.id, 0x0Fu);
    EXPECT_EQ(module->import_table()->entry.services, &host.services());
    EXPECT_EQ(module->import_table()->terminator.id, 0u);
    EXPECT_EQ(gauge->version, 610u);
    EXPECT_STREQ(gauge->name, "telvor_flaps");
    EXPECT_EQ(gauge->width_mm, 101u);
    for (auto routine : {reinterpret_cast<void*>(gauge->query), reinterpret_cast<void*>(gauge->install),
                         reinterpret_cast<void*>(gauge->initialize), reinterpret_cast<void*>(gauge->update),
                         reinterpret_cast<void*>(gauge->generate), reinterpret_cast<void*>(gauge->draw),
                         reinterpret_cast<void*>(gauge->kill)})
        EXPECT_NE(routine, nullptr);
    EXPECT_EQ(gauge->mouse_rects, nullptr);
    EXPECT_EQ(gauge->callback, nullptr);
    EXPECT_EQ(gauge->user_data, 0u);
    EXPECT_EQ(gauge->parameters, nullptr);
    // The knob is the older slider: per axis the variable, its callback and
    // its scale.
    ASSERT_NE(root->next, nullptr);
    auto* knob = reinterpret_cast<LegacySliderElement*>(root->next[0]);
    EXPECT_EQ(root->bitmap, 4096);
    EXPECT_EQ(root->image_flags, 0x1u);
    EXPECT_EQ(knob->header.kind, uint32_t(ELEMENT_SLIDER));
    EXPECT_EQ(knob->header.bitmap, 8192);
    EXPECT_EQ(knob->header.image_flags, 0x3u);
    EXPECT_EQ(knob->x.source.token, kFlapsPosition);
    EXPECT_EQ(knob->x.scale, 0.0177001953125);
    EXPECT_NE(knob->x.callback, nullptr);
    EXPECT_EQ(knob->y.source.token, 0u);
    EXPECT_EQ(knob->y.scale, 0.0);
    EXPECT_EQ(knob->header.failures, nullptr);
    EXPECT_EQ(knob->header.next, nullptr);
}

TEST_F(TelvorFlapsTest, PlacingRunsQueryInstallAndInitialiseInOrder) {
    sim::Placement& p = place();
    auto recorded = calls();
    ASSERT_EQ(recorded.size(), 5u);
    MouseRect* rects = registered(p);
    ASSERT_NE(rects, nullptr);
    void* size = reinterpret_cast<void*>(recorded[2].args.at(2));
    expect_calls(recorded, {call(0x60, {word(root)}),
                            call(0x64, {word(root), module->resource_handle()}),
                            call(0x80, {word(rects), word(gauge), word(size)}),
                            call(0x84, {word(rects), word(gauge)}),
                            call(0x68, {word(root)})});
    // The size handed to the mouse set-up is the background's, four bytes
    // into the image record the install service left in the root.
    unsigned char* image = nullptr;
    std::memcpy(&image, reinterpret_cast<unsigned char*>(root) + sizeof(ElementHeader), sizeof image);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(size, image + 4);
    EXPECT_EQ(static_cast<int32_t*>(size)[0], 423);
    EXPECT_EQ(static_cast<int32_t*>(size)[1], 183);
    EXPECT_EQ(p.width, 423);
    EXPECT_EQ(p.height, 183);
}

TEST_F(TelvorFlapsTest, EachCycleUpdatesGeneratesAndDraws) {
    place();
    calls();
    host.cycle();
    expect_calls(calls(), {call(0x6C, {word(root)}), call(0x70, {word(root), 0}), call(0x74, {word(root)})});
    // Each routine forwards its own argument.
    host.placements()[0]->header()->generate(7);
    EXPECT_TRUE(host.faults.size() == 1 && host.faults[0] == "service 0x70 called outside a gauge routine");
    host.faults.clear();
    expect_calls(calls(), {call(0x70, {word(root), 7})});
}

TEST_F(TelvorFlapsTest, KnobSlidesWithTheFlaps) {
    sim::Placement& p = place();
    ASSERT_EQ(p.element_count(), 2u);
    host.set_var(kFlapsPosition, 0);
    host.cycle();
    EXPECT_EQ(p.element(0).bitmap, 4096);
    const sim::DrawnElement& knob = p.element(1);
    EXPECT_EQ(knob.bitmap, 8192);
    EXPECT_EQ(knob.x, 42);
    EXPECT_EQ(knob.y, 52);
    EXPECT_EQ(knob.dx, 0.0);
    EXPECT_EQ(knob.dy, 0.0);
    host.set_var(kFlapsPosition, 8191.5);
    host.cycle();
    EXPECT_NEAR(knob.dx, 145.0, 0.05);
    EXPECT_EQ(knob.dy, 0.0);
    host.set_var(kFlapsPosition, 16382);
    host.cycle();
    EXPECT_NEAR(knob.x + knob.dx, 332.0, 0.5);  // near the right end of the 423-pixel scale
    // The pass-through callback hands over whatever the simulator says.
    host.set_var(kFlapsPosition, std::numeric_limits<double>::quiet_NaN());
    host.cycle();
    EXPECT_TRUE(std::isnan(knob.value));
}

TEST_F(TelvorFlapsTest, ClickAreasAtEitherEndSendTheFlapEvents) {
    sim::Placement& p = place();
    EXPECT_TRUE(p.click(10, 90));
    EXPECT_TRUE(p.click(400, 90));
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>{{kLeftAreaEvent, 0}, {kRightAreaEvent, 0}}));
    host.clear_events();
    for (int32_t x : {75, 200, 344}) EXPECT_FALSE(p.click(x, 90)) << x;  // between the areas
    EXPECT_FALSE(p.click(10, 180));                                         // below the areas
    EXPECT_FALSE(p.click(421, 90));
    EXPECT_TRUE(host.events().empty());
    EXPECT_TRUE(p.click(0, 0));
    EXPECT_TRUE(p.click(74, 179));
    EXPECT_TRUE(p.click(345, 0));
    EXPECT_EQ(host.events().size(), 3u);
    EXPECT_EQ(p.cursor(10, 90), CURSOR_HAND);
    EXPECT_EQ(p.cursor(400, 90), CURSOR_HAND);
    EXPECT_EQ(p.cursor(200, 90), CURSOR_NONE);
    EXPECT_FALSE(p.click(10, 90, MOUSE_RIGHTSINGLE));
}

TEST_F(TelvorFlapsTest, KillUnregistersTheRectanglesBeforeDestroyingTheElements) {
    sim::Placement& p = place();
    MouseRect* rects = registered(p);
    host.cycle();
    calls();
    host.kill(p);
    expect_calls(calls(), {call(0x88, {word(rects), word(gauge)}), call(0x7C, {word(root)})});
    EXPECT_EQ(registered(p), nullptr);
    EXPECT_TRUE(p.legacy_destroyed());
    EXPECT_FALSE(p.click(10, 90));
    host.cycle();  // nothing more for a killed gauge
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(host.events().empty());
}

// A gauge whose kill routine destroys its elements and forgets to
// unregister its rectangles first: the host reports it.
namespace {
ElementHeader* careless_root = nullptr;
void GAUGE_CALL careless_kill() {
    auto destroy = reinterpret_cast<void(GAUGE_CALL*)(ElementHeader*)>(
        sim::SimHost::current()->services().slot[host_slot(0x7C)]);
    destroy(careless_root);
}
}  // namespace

TEST_F(TelvorFlapsTest, TheHostCatchesServicesOutOfOrder) {
    // The module's own header, with its kill routine swapped for the test.
    LegacyRoutine kill = gauge->kill;
    gauge->kill = careless_kill;
    careless_root = root;
    sim::Placement& p = place();
    host.kill(p);
    gauge->kill = kill;
    ASSERT_EQ(host.faults.size(), 1u);
    EXPECT_EQ(host.faults[0], "telvor_flaps: elements destroyed while their mouse rectangles are registered");
    host.faults.clear();
    // A service called from no routine at all is reported too.
    auto update = reinterpret_cast<void(GAUGE_CALL*)(ElementHeader*)>(host.services().slot[host_slot(0x6C)]);
    update(root);
    ASSERT_EQ(host.faults.size(), 1u);
    EXPECT_EQ(host.faults[0], "service 0x6C called outside a gauge routine");
    host.faults.clear();
}

TEST_F(TelvorFlapsTest, BitmapsAreTheModulesOwn) {
    auto scale = sim::bitmap_info(*module, 4096);
    auto knob = sim::bitmap_info(*module, 8192);
    ASSERT_TRUE(scale && knob);
    EXPECT_EQ(scale->width, 423);
    EXPECT_EQ(scale->height, 183);
    EXPECT_EQ(scale->bits, 8);
    EXPECT_EQ(knob->width, 54);
    EXPECT_EQ(knob->height, 46);
    EXPECT_EQ(knob->bits, 8);
}

#endif  // TELVOR_MODULE_PATH
