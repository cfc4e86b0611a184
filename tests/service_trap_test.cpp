// A module that calls a service slot the host does not offer: the host
// records the fault once per call, takes control back where it entered the
// module, and goes on; the module's other callbacks keep running.
#include <gtest/gtest.h>

#include <string>

#include "framework/host_records.h"
#include "host/module_loader.h"
#include "host/sim_host.h"
#include "tests/data/stray_counts.h"

namespace {

class ServiceTrapTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        sim::LoadedModule* module = host.load_module(STRAY_SERVICE_MODULE_PATH, &error);
        ASSERT_NE(module, nullptr) << error;
        counts = static_cast<StrayCounts*>(sim::module_loader::symbol(module->dl_handle(), "stray_counts"));
        ASSERT_NE(counts, nullptr);
        *counts = {};
        gauge = host.place("Stray", nullptr, &error);
        ASSERT_NE(gauge, nullptr) << error;
    }

    sim::SimHost host;
    StrayCounts* counts = nullptr;
    sim::Placement* gauge = nullptr;
};

}  // namespace

TEST_F(ServiceTrapTest, WellBehavedModuleRunsEveryCallbackToItsEnd) {
    host.cycles(3);
    EXPECT_TRUE(gauge->click(50, 50, MOUSE_LEFTSINGLE));
    EXPECT_EQ(gauge->tooltip(50, 50), "Stray 126");
    EXPECT_EQ(counts->updates_finished, 3u);
    EXPECT_EQ(counts->clicks_finished, 1u);
    // Hit-testing the click words the tooltip as well.
    EXPECT_EQ(counts->tooltips_finished, 2u);
    EXPECT_TRUE(host.faults.empty());
}

TEST_F(ServiceTrapTest, StrayCallFromEachCallbackIsRecordedAndTheHostGoesOn) {
    counts->slot = 12;
    host.cycles(5);
    EXPECT_TRUE(gauge->click(50, 50, MOUSE_LEFTSINGLE));
    // The tooltip's argument was abandoned: the placeholder cannot be filled.
    EXPECT_EQ(gauge->tooltip(50, 50), "Stray %1!d!");

    // Every callback began, none got past the stray call.
    EXPECT_EQ(counts->updates_begun, 5u);
    EXPECT_EQ(counts->updates_finished, 0u);
    EXPECT_EQ(counts->clicks_begun, 1u);
    EXPECT_EQ(counts->clicks_finished, 0u);
    EXPECT_EQ(counts->tooltips_begun, 2u);  // the click's hit-test and the tooltip
    EXPECT_EQ(counts->tooltips_finished, 0u);
    unsigned stray_faults = 0;
    for (const std::string& fault : host.faults.recent())
        if (fault == "unexpected service slot 12") ++stray_faults;
    EXPECT_EQ(stray_faults, 8u);

    // The module, once it stops calling the slot, is served as before: its
    // callbacks return normally with what they computed on their own stack.
    counts->slot = 0;
    host.faults.clear();
    host.cycles(2);
    EXPECT_EQ(counts->updates_finished, 2u);
    EXPECT_TRUE(gauge->click(50, 50, MOUSE_LEFTSINGLE));
    EXPECT_EQ(counts->clicks_finished, 1u);
    EXPECT_EQ(gauge->tooltip(50, 50), "Stray 126");
    host.kill(*gauge);
    EXPECT_EQ(counts->kills, 1u);
    EXPECT_TRUE(host.faults.empty());
}

TEST_F(ServiceTrapTest, EveryUnofferedSlotIsTrappedAndNoOfferedOneIs) {
    const unsigned offered[] = {0x60, 0x64, 0x68, 0x6C, 0x70, 0x74, 0x7C, 0x80, 0x84, 0x88, 0x8C, 0x90, 0xA0, 0x114};
    // Slot 0 is the module's "call none".
    for (unsigned slot = 1; slot < HOST_SERVICE_SLOTS; ++slot) {
        bool is_offered = false;
        for (unsigned offset : offered) is_offered |= host_slot(offset) == slot;
        if (is_offered) continue;
        SCOPED_TRACE(slot);
        counts->slot = slot;
        unsigned before = counts->updates_begun;
        host.faults.clear();
        host.cycle();
        EXPECT_EQ(counts->updates_begun, before + 1);
        EXPECT_EQ(counts->updates_finished, 0u);
        ASSERT_EQ(host.faults.size(), 1u);
        EXPECT_EQ(host.faults.recent()[0], "unexpected service slot " + std::to_string(slot));
    }
    counts->slot = 0;
}
