// The module's side of the simulator's contract, checked over every gauge of
// the loaded module as the simulator would meet it: needle tables it can
// write its angles into, shared by every placement; and the host's side:
// module faults the simulator would stop on are noted, not smoothed over.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "host/needle_rule.h"
#include "tests/host_fixture.h"

namespace {

// Every element record reachable from a gauge's top next list, in drawing
// order: the module's own records, not a placement's copies.
void collect(ElementHeader* const* list, std::vector<ElementHeader*>& out) {
    for (size_t i = 0; list && list[i]; ++i) {
        out.push_back(list[i]);
        collect(list[i]->next, out);
    }
}

std::vector<ElementHeader*> elements_of(const GaugeHeader* gauge) {
    std::vector<ElementHeader*> out;
    collect(gauge->elements, out);
    return out;
}

// The process's mappings, from /proc/self/maps: start, end, and whether
// the pages can be written.
struct Mapping {
    uintptr_t start, end;
    bool writable;
    std::string line;
};

std::vector<Mapping> mappings() {
    std::vector<Mapping> out;
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        unsigned long long start = 0, end = 0;
        char perms[8] = {};
        if (std::sscanf(line.c_str(), "%llx-%llx %7s", &start, &end, perms) != 3) continue;
        out.push_back({uintptr_t(start), uintptr_t(end), perms[1] == 'w', line});
    }
    return out;
}

// Why the bytes [at, at + size) cannot all be written, or empty if they can.
std::string unwritable(const std::vector<Mapping>& maps, const void* at, size_t size) {
    uintptr_t begin = reinterpret_cast<uintptr_t>(at), end = begin + size;
    while (begin < end) {
        const Mapping* m = nullptr;
        for (const Mapping& candidate : maps)
            if (begin >= candidate.start && begin < candidate.end) m = &candidate;
        if (!m) return "not mapped";
        if (!m->writable) return "read-only: " + m->line;
        begin = m->end;
    }
    return {};
}

using ModuleContractTest = ModuleTest;

// The simulator writes the angle it derives for every calibration point
// into the module's own table the moment it takes up a needle; a table in
// read-only data faults there and stops the panel.
TEST_F(ModuleContractTest, EveryNonlinearityTableLiesInWritableMemory) {
    std::vector<Mapping> maps = mappings();
    ASSERT_FALSE(maps.empty());
    std::set<const NonlinearityEntry*> tables;
    for (const GaugeHeader* gauge : module->gauges()) {
        for (ElementHeader* e : elements_of(gauge)) {
            if (e->kind != ELEMENT_NEEDLE) continue;
            auto* needle = reinterpret_cast<NeedleElement*>(e);
            if (!needle->table) continue;
            tables.insert(needle->table);
            EXPECT_EQ(unwritable(maps, needle->table, needle->table_entries * sizeof(NonlinearityEntry)), "")
                << gauge->name << ", needle with bitmap " << e->bitmap;
        }
    }
    // The radio altimeter's pointer and marker share one table; every other
    // needle with a table has its own.
    EXPECT_EQ(tables.size(), 44u);
}

// Each placement gets its own header, elements and mouse rectangles and
// nothing more: its needles point at the module's tables, into which the
// host has written the angles it draws by.
TEST_F(ModuleContractTest, PlacementsShareTheModulesTablesAndTheHostWritesItsAnglesThere) {
    GaugeHeader* original = module->find_gauge("Tachometer");
    ASSERT_NE(original, nullptr);
    std::vector<ElementHeader*> records = elements_of(original);
    sim::Placement& left = place("Tachometer", "1");
    sim::Placement& right = place("Tachometer", "2");
    ASSERT_EQ(left.element_count(), records.size());
    EXPECT_NE(left.header(), original);
    EXPECT_NE(left.mouse_rects(), original->mouse_rects);
    size_t needles = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_NE(left.element(i).record, records[i]);
        EXPECT_NE(left.element(i).record, right.element(i).record);
        EXPECT_EQ(left.element(i).record->failures, records[i]->failures) << i;
        if (records[i]->kind != ELEMENT_NEEDLE) continue;
        ++needles;
        auto* module_needle = reinterpret_cast<NeedleElement*>(records[i]);
        EXPECT_EQ(left.record<NeedleElement>(i)->table, module_needle->table);
        EXPECT_EQ(right.record<NeedleElement>(i)->table, module_needle->table);
        // The angles in the module's entries are the host's, and a needle
        // at an entry's value is drawn at that entry's angle.
        std::vector<double> angles = sim::table_angles(module_needle->table, module_needle->table_entries,
                                                       records[i]->x, records[i]->y);
        for (uint32_t k = 0; k < module_needle->table_entries; ++k)
            EXPECT_DOUBLE_EQ(module_needle->table[k].host_angle, angles[k]) << k;
    }
    EXPECT_GT(needles, 0u);
}

// A value the module writes over the host's angle field is what the host
// draws by, as in the simulator: the host keeps no private angles.
TEST_F(ModuleContractTest, TheHostDrawsByTheAnglesInTheModulesTable) {
    sim::Placement& dial = place("Airspeed");
    auto* needle = dial.record<NeedleElement>(1);
    ASSERT_EQ(needle->header.kind, uint32_t(ELEMENT_NEEDLE));
    NonlinearityEntry* table = needle->table;
    host.set_var(61, table[3].value);
    host.cycle();
    EXPECT_DOUBLE_EQ(dial.element(1).angle, table[3].host_angle);
    double kept = table[3].host_angle;
    table[3].host_angle = kept + 90;
    host.cycle();
    EXPECT_DOUBLE_EQ(dial.element(1).angle, kept + 90);
    table[3].host_angle = kept;
}

}  // namespace

// ------------------------------------------------------------ module faults

// A gauge with the faults the simulator would stop on, which the host
// notes instead of smoothing over.
namespace faulty {

double GAUGE_CALL image_five(IconElement*) { return 5; }
const char* GAUGE_CALL no_string(double, uint32_t, uint32_t, uint32_t, uint32_t) { return nullptr; }
const TooltipArg args[] = {{.string = no_string}};

extern GaugeHeader gauge;
IconElement icon = {.header = {.kind = ELEMENT_ICON, .bitmap = 20, .gauge = &gauge, .image_flags = 0x3},
                    .scale = 1.0, .image_count = 2, .callback = image_five};
ElementHeader* const icon_list[] = {&icon.header, nullptr};
NeedleElement needle = {.header = {.kind = ELEMENT_NEEDLE, .bitmap = 10, .x = 50, .y = 50, .gauge = &gauge,
                                   .next = icon_list, .image_flags = 0x3},
                        .table = nullptr, .table_entries = 3};
ElementHeader* const top[] = {&needle.header, nullptr};
MouseRect rects[] = {{.type = MOUSE_PARENT},
                     {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 10, .height = 10},
                     {.type = MOUSE_TOOLTIP, .arg_count = 1, .text = "Switch (%1!s!)", .args = args},
                     {.type = MOUSE_PARENT_END},
                     {.type = MOUSE_PARENT, .x = 20, .y = 0, .width = 10, .height = 10},
                     {.type = MOUSE_TOOLTIP, .arg_count = 1, .text = "Lamp (%2!s!)", .args = args},
                     {.type = MOUSE_PARENT_END},
                     {.type = MOUSE_PARENT_END},
                     {.type = MOUSE_END}};
GaugeHeader gauge = {.version = 800, .name = "Faulty", .elements = top, .width_mm = 30, .mouse_rects = rects};

}  // namespace faulty

TEST(HostFaults, WhatTheSimulatorWouldStopOnIsNotedNotSmoothedOver) {
    sim::SimHost host;
    sim::Placement* p = host.place_header(nullptr, &faulty::gauge, nullptr, nullptr);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(host.faults.size(), 1u);
    EXPECT_EQ(host.faults[0], "Faulty: needle with 3 table entries and no table");
    host.faults.clear();

    host.cycle();
    EXPECT_EQ(p->element(1).image, -1);  // no sixth bitmap to draw
    ASSERT_EQ(host.faults.size(), 1u);
    EXPECT_EQ(host.faults[0], "Faulty: icon with bitmap 20 asks for image 5.000000 of 2");
    host.faults.clear();

    p->width = p->height = 40;
    EXPECT_EQ(p->tooltip(5, 5), "Switch ()");
    EXPECT_EQ(p->tooltip(25, 5), "Lamp (%2!s!)");
    ASSERT_EQ(host.faults.size(), 2u);
    EXPECT_EQ(host.faults[0], "Faulty: tooltip \"Switch (%1!s!)\": placeholder %1: the string callback returned no string");
    EXPECT_EQ(host.faults[1], "Faulty: tooltip \"Lamp (%2!s!)\": placeholder %2: beyond the record's 1 arguments");
    host.faults.clear();

    // After the kill notice the gauge gets no call at all, not even for a
    // tooltip.
    host.kill(*p);
    EXPECT_EQ(p->tooltip(5, 5), "");
    EXPECT_TRUE(host.faults.empty());
}
