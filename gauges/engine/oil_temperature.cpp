// Oil_Temperature: twin dial, engine 1 on the left scale and engine 2 on the
// right, 0 to 120 degrees C. Degrees Rankine, 491.67 + 1.8 t for t degrees C.
#include "framework/gauge_list.h"
#include "framework/needle_scale.h"

// Engine 2, right scale, rising clockwise: 0, 20, 30 ... 120, and a stop at
// 150 degrees C on the 120 point.
static NonlinearityEntry oil_temperature_right_table[] = {
    {182, 221, 491.67}, {174, 205, 527.67}, {173, 193, 545.67}, {166, 182, 563.67}, {164, 167, 581.67},
    {166, 150, 599.67}, {164, 134, 617.67}, {166, 119, 635.67}, {172, 107, 653.67}, {174, 94, 671.67},
    {178, 85, 689.67},  {185, 80, 707.67},  {185, 80, 761.67},
};
// Engine 1, left scale, rising counter-clockwise: stored from the top down.
static NonlinearityEntry oil_temperature_left_table[] = {
    {120, 82, 761.67},  {120, 82, 707.67},  {127, 87, 689.67},  {131, 95, 671.67},  {133, 107, 653.67},
    {137, 121, 635.67}, {138, 135, 617.67}, {140, 150, 599.67}, {138, 165, 581.67}, {138, 180, 563.67},
    {133, 191, 545.67}, {130, 203, 527.67}, {120, 216, 491.67},
};
static const FailureRecord oil_temperature_needle_failures[] = {{.key = 2, .action = 0}, {.key = 20, .action = 2}, {}};

static StaticImageElement oil_temperature_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2210, .gauge = &gauge_oil_temperature, .image_flags = 0x3}};
static ElementHeader* const oil_temperature_glass_list[] = {&oil_temperature_glass.header, nullptr};

static NeedleElement oil_temperature_left_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2200, .x = 66, .y = 150, .offset_x = 0, .offset_y = 2,
               .gauge = &gauge_oil_temperature, .next = oil_temperature_glass_list,
               .failures = oil_temperature_needle_failures, .image_flags = 0x4083},
    .source = {.token = 416},  // engine 1 oil temperature
    .table = oil_temperature_left_table,
    .table_entries = sizeof oil_temperature_left_table / sizeof oil_temperature_left_table[0],
    .callback = needle_on_scale};
static ElementHeader* const oil_temperature_left_list[] = {&oil_temperature_left_needle.header, nullptr};

static NeedleElement oil_temperature_right_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2200, .x = 241, .y = 150, .offset_x = 0, .offset_y = 2,
               .gauge = &gauge_oil_temperature, .next = oil_temperature_left_list,
               .failures = oil_temperature_needle_failures, .image_flags = 0x4083},
    .source = {.token = 455},  // engine 2 oil temperature
    .table = oil_temperature_right_table,
    .table_entries = sizeof oil_temperature_right_table / sizeof oil_temperature_right_table[0],
    .callback = needle_on_scale};
static ElementHeader* const oil_temperature_right_list[] = {&oil_temperature_right_needle.header, nullptr};

static StaticImageElement oil_temperature_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2190, .gauge = &gauge_oil_temperature,
               .next = oil_temperature_right_list, .image_flags = 0x4003}};
static ElementHeader* const oil_temperature_elements[] = {&oil_temperature_background.header, nullptr};

// The host's own tooltips: engine 1 over the left half, engine 2 the right.
static MouseRect oil_temperature_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 150, .height = 300, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 12529},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 150, .y = 0, .width = 150, .height = 300, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 12530},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_oil_temperature = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Oil_Temperature",
    .elements = oil_temperature_elements,
    .width_mm = 100,
    .mouse_rects = oil_temperature_mouse,
};
