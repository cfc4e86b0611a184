// A gauge module of the tests' own that calls a service slot no host offers,
// with four argument words, from its gauge callback, its mouse callback and
// a tooltip argument callback, and counts how far each callback got. With
// the stray calls switched off it is an ordinary, well-behaved module.
#include "framework/host_records.h"
#include "tests/data/stray_counts.h"

namespace {

using StrayService = void(GAUGE_CALL*)(uint32_t, uint32_t, uint32_t, uint32_t);

}  // namespace

MODULE_EXPORT ModuleImportTable ImportTable;
ModuleImportTable ImportTable = {{IMPORT_HOST_SERVICES, nullptr}, {0, nullptr}};

MODULE_EXPORT StrayCounts stray_counts;
StrayCounts stray_counts = {};

namespace {

// Several live values on either side of the call, so that a stack the call
// left unbalanced would show in what the callback computes afterwards.
__attribute__((noinline)) unsigned call_stray(unsigned seed) {
    volatile unsigned before[4] = {seed, seed + 1, seed + 2, seed + 3};
    if (stray_counts.slot && ImportTable.entry.services) {
        auto stray = reinterpret_cast<StrayService>(ImportTable.entry.services->slot[stray_counts.slot]);
        stray(before[0], before[1], before[2], before[3]);
    }
    return before[0] + before[1] + before[2] + before[3];
}

void GAUGE_CALL gauge_callback(GaugeHeader*, int32_t service, HostWord) {
    if (service == SERVICE_UPDATE) {
        ++stray_counts.updates_begun;
        if (call_stray(10) == 46) ++stray_counts.updates_finished;
    } else if (service == SERVICE_KILL) {
        ++stray_counts.kills;
    }
}

int32_t GAUGE_CALL mouse_callback(ClickRecord*, uint32_t) {
    ++stray_counts.clicks_begun;
    if (call_stray(20) == 86) ++stray_counts.clicks_finished;
    return 0;
}

double GAUGE_CALL tooltip_number(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    ++stray_counts.tooltips_begun;
    double value = call_stray(30);
    ++stray_counts.tooltips_finished;
    return value;
}

const TooltipArg tooltip_args[] = {{.zero_a = {}, .number = &tooltip_number, .zero_b = 0, .string = nullptr}};

MouseRect mouse_rects[] = {
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 100, .height = 100},
    {.type = MOUSE_TOOLTIP, .arg_count = 1, .text = "Stray %1!d!", .args = tooltip_args},
    {.type = MOUSE_CHILD, .x = 0, .y = 0, .width = 100, .height = 100, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .callback = &mouse_callback},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader stray_gauge = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Stray",
    .width_mm = 100,
    .mouse_rects = mouse_rects,
    .callback = &gauge_callback,
};

}  // namespace

MODULE_EXPORT ModuleLinkageOf<2> Linkage;
ModuleLinkageOf<2> Linkage = {
    .module_id = 0x7E57,
    .init = nullptr,
    .deinit = nullptr,
    .flags = 0,
    .priority = 0,
    .version = 0x900,
    .gauges = {&stray_gauge, nullptr},
};
