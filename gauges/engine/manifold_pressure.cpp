// Manifold_Pressure: absolute manifold pressure of one engine, 600 to 2000
// millibar. Built for engine 1; the placement's parameter string chooses
// the engine.
#include "framework/engine_instancing.h"
#include "framework/gauge_list.h"
#include "framework/needle_scale.h"

// Pounds per square foot, 2087.91 to 1000 millibar: the marks 500, 800,
// 1000, 1400, 1600, 1800 and 2000 millibar with stops at both ends.
static NonlinearityEntry manifold_pressure_table[] = {
    {115, 263, -2.08791},  {115, 263, 0},         {81, 249, 1043.955},  {30, 158, 1670.328}, {54, 88, 2087.91},
    {194, 48, 2923.074},   {251, 103, 3340.656},  {264, 183, 3758.238}, {215, 254, 4175.82}, {215, 254, 5219.775},
};
static const FailureRecord manifold_pressure_needle_failures[] = {
    {.key = 2, .action = 0}, {.key = 20, .action = 2}, {}};

static StaticImageElement manifold_pressure_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2180, .gauge = &gauge_manifold_pressure, .image_flags = 0x3}};
static ElementHeader* const manifold_pressure_glass_list[] = {&manifold_pressure_glass.header, nullptr};

static NeedleElement manifold_pressure_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2170, .x = 152, .y = 153, .offset_x = 42, .offset_y = 21,
               .gauge = &gauge_manifold_pressure, .next = manifold_pressure_glass_list,
               .failures = manifold_pressure_needle_failures, .image_flags = 0x4083},
    .source = {.token = 391},  // manifold pressure, psf
    .table = manifold_pressure_table,
    .table_entries = sizeof manifold_pressure_table / sizeof manifold_pressure_table[0],
    .callback = needle_on_scale};
static ElementHeader* const manifold_pressure_needle_list[] = {&manifold_pressure_needle.header, nullptr};

static StaticImageElement manifold_pressure_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2160, .gauge = &gauge_manifold_pressure,
               .next = manifold_pressure_needle_list, .image_flags = 0x4003}};
static ElementHeader* const manifold_pressure_elements[] = {&manifold_pressure_background.header, nullptr};

// The host's own tooltips, one for each half of the dial.
static MouseRect manifold_pressure_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 150, .height = 300, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 12449},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 150, .y = 0, .width = 150, .height = 300, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 12457},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_manifold_pressure = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Manifold_Pressure",
    .elements = manifold_pressure_elements,
    .width_mm = 100,
    .mouse_rects = manifold_pressure_mouse,
    .callback = engine_gauge_callback,
};
