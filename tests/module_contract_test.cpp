// The module's side of the simulator's contract, checked over every gauge of
// the loaded module as the simulator would meet it: needle tables it can
// write its angles into, shared by every placement; headers whose
// host-owned fields are free for the host; mouse lists built by the nesting
// rules the host reads them with. And the host's side: module faults the
// simulator would stop on are noted, not smoothed over.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
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

// ------------------------------------------------------------ headers

TEST_F(ModuleContractTest, EveryHeaderLeavesTheHostsFieldsZero) {
    std::vector<GaugeHeader*> gauges = module->gauges();
    ASSERT_EQ(gauges.size(), 50u);
    for (const GaugeHeader* g : gauges) {
        SCOPED_TRACE(g->name ? g->name : "(unnamed)");
        EXPECT_EQ(g->version, 800u);
        EXPECT_NE(g->elements, nullptr);
        EXPECT_EQ(g->query, nullptr);
        EXPECT_EQ(g->install, nullptr);
        EXPECT_EQ(g->initialize, nullptr);
        EXPECT_EQ(g->update, nullptr);
        EXPECT_EQ(g->generate, nullptr);
        EXPECT_EQ(g->draw, nullptr);
        EXPECT_EQ(g->kill, nullptr);
        EXPECT_EQ(g->host_a, 0u);
        for (uint32_t word : g->host_b) EXPECT_EQ(word, 0u);
        EXPECT_EQ(g->user_data, 0u);
        EXPECT_EQ(g->parameters, nullptr);
        // The elements' host fields too: the host fills them as it draws.
        for (const ElementHeader* e : elements_of(g)) {
            EXPECT_EQ(e->host_previous_x, 0);
            EXPECT_EQ(e->host_previous_y, 0);
            EXPECT_EQ(e->host_previous, nullptr);
            EXPECT_EQ(e->special_instrumentation, 0u);
            EXPECT_EQ(e->reserved, 0u);
            EXPECT_EQ(e->gauge, g) << "element with bitmap " << e->bitmap;
        }
    }
}

// ------------------------------------------------------------ mouse lists

// Checks one gauge's list against the nesting rules the host reads it by;
// returns the breaks found, each naming the record's index.
std::vector<std::string> mouse_list_breaks(const MouseRect* list) {
    std::vector<std::string> breaks;
    auto note = [&](size_t i, const std::string& what) { breaks.push_back("record " + std::to_string(i) + ": " + what); };
    auto help_in = [](uint32_t id, bool tooltip_record) {
        return (id >= 0xAB01 && id <= 0xAD03) || (tooltip_record && id >= 0x3002 && id <= 0x3211);
    };
    const std::set<uint32_t> child_flags = {0x20000000, 0x20200000, 0x20800000, 0xA0200000};
    const std::set<int32_t> cursors = {CURSOR_NONE, CURSOR_UPARROW, CURSOR_DOWNARROW, CURSOR_HAND};
    if (!list) return {"no mouse list"};
    const MouseRect& root = list[0];
    if (root.type != MOUSE_PARENT || root.x || root.y || root.width || root.height)
        note(0, "the list does not open with a parent over the whole gauge");
    if (root.help_id && !help_in(root.help_id, false)) note(0, "help id outside the parents' range");
    struct Region {
        size_t at;
        bool help;
        int tooltips = 0, members = 0;
    };
    std::vector<Region> open = {{0, root.help_id != 0}};
    size_t i = 1;
    for (; list[i].type != MOUSE_END && i < 1000; ++i) {
        const MouseRect& r = list[i];
        if (open.empty()) {
            note(i, "a record after the root region closed");
            break;
        }
        if (r.type != MOUSE_CHILD && r.mouse_flags) note(i, "mouse flags on a record that is no click area");
        if (r.type != MOUSE_TOOLTIP && r.args) note(i, "an argument array on a record that is no tooltip record");
        switch (r.type) {
        case MOUSE_PARENT:
            if (open.size() >= 2) note(i, "nested more than two deep");
            if (r.help_id && !help_in(r.help_id, false)) note(i, "help id outside the parents' range");
            ++open.back().members;
            open.push_back({i, r.help_id != 0});
            break;
        case MOUSE_PARENT_END: {
            Region region = open.back();
            open.pop_back();
            if (!open.empty()) {
                // A nested region holds exactly one tooltip record, or
                // carries a help id and holds nothing.
                bool one_tooltip = !region.help && region.tooltips == 1 && region.members == 1;
                bool help_alone = region.help && region.members == 0;
                if (!one_tooltip && !help_alone)
                    note(region.at, "a nested region neither holds one tooltip record nor carries a help id alone");
            }
            break;
        }
        case MOUSE_TOOLTIP:
            ++open.back().tooltips, ++open.back().members;
            if (open.size() == 1 && open.back().tooltips > 1) note(i, "a second tooltip record for the whole gauge");
            if (!r.text && !r.help_id) note(i, "a tooltip record with neither text nor help id");
            if (r.help_id && !help_in(r.help_id, true)) note(i, "help id outside the tooltip records' range");
            if (r.arg_count && (!r.text || !r.args)) note(i, "tooltip arguments without a text or an array");
            break;
        case MOUSE_CHILD:
            ++open.back().members;
            if (open.size() != 1) note(i, "a click area inside a nested region");
            if (!child_flags.count(r.mouse_flags)) note(i, "mouse flags of no click kind the module uses");
            if (!cursors.count(r.cursor)) note(i, "a cursor the module does not use");
            if (r.help_id) note(i, "a help id on a click area");
            if (!r.callback && r.event_id < 65536) note(i, "a click area with neither a callback nor a key event");
            if (r.event_id && r.event_id < 65536) note(i, "a key event below 65536");
            break;
        default: note(i, "record of unknown type " + std::to_string(r.type));
        }
    }
    if (list[i].type != MOUSE_END) note(i, "the list has no end record");
    if (!open.empty()) note(i, "the root region is not closed before the end record");
    return breaks;
}

TEST_F(ModuleContractTest, EveryMouseListFollowsTheNestingRules) {
    for (const GaugeHeader* g : module->gauges()) {
        std::vector<std::string> breaks = mouse_list_breaks(g->mouse_rects);
        std::ostringstream all;
        for (const std::string& b : breaks) all << "\n  " << b;
        EXPECT_TRUE(breaks.empty()) << g->name << all.str();
    }
}

// The checker itself: each rule it holds a list to is broken once.
TEST(MouseListRules, EachBrokenRuleIsFound) {
    auto rect = [](uint32_t type) {
        MouseRect r{};
        r.type = type;
        return r;
    };
    MouseRect child = rect(MOUSE_CHILD);
    child.mouse_flags = MOUSE_LEFTSINGLE;
    child.cursor = CURSOR_HAND;
    child.event_id = 65570;
    MouseRect tip = rect(MOUSE_TOOLTIP);
    tip.text = "Gear";
    const std::vector<MouseRect> good = {rect(MOUSE_PARENT), tip, rect(MOUSE_PARENT), tip, rect(MOUSE_PARENT_END),
                                         child, rect(MOUSE_PARENT_END), rect(MOUSE_END)};
    EXPECT_TRUE(mouse_list_breaks(good.data()).empty());

    auto broken = [&](std::vector<MouseRect> list) { return !mouse_list_breaks(list.data()).empty(); };
    MouseRect boxed = rect(MOUSE_PARENT);
    boxed.width = 10;
    EXPECT_TRUE(broken({boxed, child, rect(MOUSE_PARENT_END), rect(MOUSE_END)}));            // root not whole gauge
    EXPECT_TRUE(broken({rect(MOUSE_PARENT), tip, tip, rect(MOUSE_PARENT_END), rect(MOUSE_END)}));  // two gauge tips
    EXPECT_TRUE(broken({rect(MOUSE_PARENT), rect(MOUSE_PARENT), child, rect(MOUSE_PARENT_END),
                        rect(MOUSE_PARENT_END), rect(MOUSE_END)}));                           // child in a region
    EXPECT_TRUE(broken({rect(MOUSE_PARENT), rect(MOUSE_PARENT), rect(MOUSE_PARENT_END), rect(MOUSE_PARENT_END),
                        rect(MOUSE_END)}));                                                   // empty region
    EXPECT_TRUE(broken({rect(MOUSE_PARENT), rect(MOUSE_PARENT), rect(MOUSE_PARENT), tip, rect(MOUSE_PARENT_END),
                        rect(MOUSE_PARENT_END), rect(MOUSE_PARENT_END), rect(MOUSE_END)}));   // three deep
    EXPECT_TRUE(broken({rect(MOUSE_PARENT), child, rect(MOUSE_END)}));                        // root not closed
    MouseRect repeat_only = child;
    repeat_only.mouse_flags = MOUSE_REPEAT;
    EXPECT_TRUE(broken({rect(MOUSE_PARENT), repeat_only, rect(MOUSE_PARENT_END), rect(MOUSE_END)}));
    MouseRect silent = child;
    silent.event_id = 0;
    EXPECT_TRUE(broken({rect(MOUSE_PARENT), silent, rect(MOUSE_PARENT_END), rect(MOUSE_END)}));
    EXPECT_TRUE(broken({rect(MOUSE_PARENT), rect(MOUSE_TOOLTIP), rect(MOUSE_PARENT_END), rect(MOUSE_END)}));
}

}  // namespace

// ------------------------------------------------------------ module faults

// A gauge with the faults the simulator would stop on, which the host
// notes instead of smoothing over.
namespace faulty {

double GAUGE_CALL image_five(IconElement*) { return 5; }
// Reads a word that belongs to the host, as if the module had left it zero.
double GAUGE_CALL image_from_host_word(IconElement* icon) { return icon->host_b; }
const char* GAUGE_CALL no_string(double, uint32_t, uint32_t, uint32_t, uint32_t) { return nullptr; }
const TooltipArg args[] = {{.string = no_string}};

extern GaugeHeader gauge;
IconElement host_word_icon = {.header = {.kind = ELEMENT_ICON, .bitmap = 30, .gauge = &gauge, .image_flags = 0x3},
                              .scale = 1.0, .image_count = 2, .callback = image_from_host_word};
ElementHeader* const host_word_list[] = {&host_word_icon.header, nullptr};
IconElement icon = {.header = {.kind = ELEMENT_ICON, .bitmap = 20, .gauge = &gauge, .next = host_word_list,
                               .image_flags = 0x3},
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
    // The host's own words in the placement's records are never the zeros
    // the module left there.
    EXPECT_EQ(p->element(2).image, -1);
    ASSERT_EQ(host.faults.size(), 2u);
    EXPECT_EQ(host.faults[0], "Faulty: icon with bitmap 20 asks for image 5.000000 of 2");
    EXPECT_EQ(host.faults[1].rfind("Faulty: icon with bitmap 30 asks for image ", 0), 0u) << host.faults[1];
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
