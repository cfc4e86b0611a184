// Oil_Pressure: twin dial, engine 1 on the left scale and engine 2 on the
// right, 0 to 12 bar. Pounds per square foot, 2087.91 per bar.
#include "framework/gauge_list.h"
#include "framework/needle_scale.h"

// Engine 2, right scale, rising clockwise: 0, 2, 3 ... 12 bar, and a stop at
// 15 bar on the 12 point.
static NonlinearityEntry oil_pressure_right_table[] = {
    {182, 221, 0},        {174, 205, 4175.82},  {173, 193, 6263.73},  {166, 182, 8351.64},  {164, 167, 10439.55},
    {166, 150, 12527.46}, {164, 134, 14615.37}, {166, 119, 16703.28}, {172, 107, 18791.19}, {174, 94, 20879.1},
    {178, 85, 22967.01},  {185, 80, 25054.92},  {185, 80, 31318.65},
};
// Engine 1, left scale, rising counter-clockwise: stored from the top down.
static NonlinearityEntry oil_pressure_left_table[] = {
    {120, 82, 31318.65},  {120, 82, 25054.92},  {127, 87, 22967.01},  {131, 95, 20879.1},   {133, 107, 18791.19},
    {137, 121, 16703.28}, {138, 135, 14615.37}, {140, 150, 12527.46}, {138, 165, 10439.55}, {138, 180, 8351.64},
    {133, 191, 6263.73},  {130, 203, 4175.82},  {120, 216, 0},
};
static const FailureRecord oil_pressure_needle_failures[] = {{.key = 2, .action = 0}, {.key = 20, .action = 2}, {}};

static StaticImageElement oil_pressure_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2240, .gauge = &gauge_oil_pressure, .image_flags = 0x3}};
static ElementHeader* const oil_pressure_glass_list[] = {&oil_pressure_glass.header, nullptr};

static NeedleElement oil_pressure_left_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2230, .x = 66, .y = 150, .offset_x = 0, .offset_y = 2,
               .gauge = &gauge_oil_pressure, .next = oil_pressure_glass_list,
               .failures = oil_pressure_needle_failures, .image_flags = 0x4083},
    .source = {.token = 418},  // engine 1 oil pressure
    .table = oil_pressure_left_table,
    .table_entries = sizeof oil_pressure_left_table / sizeof oil_pressure_left_table[0],
    .callback = needle_on_scale};
static ElementHeader* const oil_pressure_left_list[] = {&oil_pressure_left_needle.header, nullptr};

static NeedleElement oil_pressure_right_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2230, .x = 241, .y = 150, .offset_x = 0, .offset_y = 2,
               .gauge = &gauge_oil_pressure, .next = oil_pressure_left_list,
               .failures = oil_pressure_needle_failures, .image_flags = 0x4083},
    .source = {.token = 457},  // engine 2 oil pressure
    .table = oil_pressure_right_table,
    .table_entries = sizeof oil_pressure_right_table / sizeof oil_pressure_right_table[0],
    .callback = needle_on_scale};
static ElementHeader* const oil_pressure_right_list[] = {&oil_pressure_right_needle.header, nullptr};

static StaticImageElement oil_pressure_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2220, .gauge = &gauge_oil_pressure,
               .next = oil_pressure_right_list, .image_flags = 0x4003}};
static ElementHeader* const oil_pressure_elements[] = {&oil_pressure_background.header, nullptr};

// The host's own tooltip, the same over both halves.
static MouseRect oil_pressure_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 150, .height = 300, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 12553},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 150, .y = 0, .width = 150, .height = 300, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 12553},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_oil_pressure = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Oil_Pressure",
    .elements = oil_pressure_elements,
    .width_mm = 100,
    .mouse_rects = oil_pressure_mouse,
};
