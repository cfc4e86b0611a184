// Tachometer: engine speed of one engine, 500 to 4000 rpm. Built for
// engine 1; the placement's parameter string chooses the engine.
#include "framework/engine_instancing.h"
#include "framework/gauge_list.h"
#include "framework/needle_scale.h"

// Below 400 rpm the needle rests on the 400 point, above 4000 on the 4000
// point: the repeated points are the dial's stops.
static NonlinearityEntry tachometer_table[] = {
    {103, 260, 0}, {103, 260, 400}, {109, 40, 2000}, {212, 253, 4000}, {212, 253, 4100},
};
static const FailureRecord tachometer_needle_failures[] = {{.key = 2, .action = 0}, {.key = 20, .action = 2}, {}};

static StaticImageElement tachometer_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 260, .gauge = &gauge_tachometer, .image_flags = 0x3}};
static ElementHeader* const tachometer_glass_list[] = {&tachometer_glass.header, nullptr};

static NeedleElement tachometer_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 250, .x = 151, .y = 151, .offset_x = 45, .offset_y = 16,
               .gauge = &gauge_tachometer, .next = tachometer_glass_list, .failures = tachometer_needle_failures,
               .image_flags = 0x4083},
    .source = {.token = 390},  // engine speed, rpm
    .table = tachometer_table,
    .table_entries = sizeof tachometer_table / sizeof tachometer_table[0],
    .callback = needle_on_scale};
static ElementHeader* const tachometer_needle_list[] = {&tachometer_needle.header, nullptr};

static StaticImageElement tachometer_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 240, .gauge = &gauge_tachometer,
               .next = tachometer_needle_list, .image_flags = 0x4003}};
static ElementHeader* const tachometer_elements[] = {&tachometer_background.header, nullptr};

// The host's own tooltip for the engine's speed.
static MouseRect tachometer_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 12817},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_tachometer = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Tachometer",
    .elements = tachometer_elements,
    .width_mm = 100,
    .mouse_rects = tachometer_mouse,
    .callback = engine_gauge_callback,
};
