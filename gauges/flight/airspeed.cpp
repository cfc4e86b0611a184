// Airspeed: a single needle driven straight from the airspeed variable
// through its calibration table; no callbacks, no state, no mouse action.
#include "framework/gauge_list.h"

// Both ends repeat their point so the needle rests on the zero stop for
// every value up to 0 and on the 300 mark for everything above.
static NonlinearityEntry airspeed_table[] = {
    {.x = 103, .y = 258, .value = -1},  {.x = 103, .y = 258, .value = 0},  {.x = 80, .y = 245, .value = 40},
    {.x = 86, .y = 58, .value = 100},   {.x = 216, .y = 58, .value = 150}, {.x = 218, .y = 246, .value = 250},
    {.x = 132, .y = 262, .value = 300}, {.x = 132, .y = 262, .value = 500},
};

static const FailureRecord airspeed_needle_failures[] = {{.key = 6, .action = 1}, {.key = 3, .action = 2}, {}};

static StaticImageElement airspeed_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 290, .gauge = &gauge_airspeed, .image_flags = 0x3}};
static ElementHeader* const airspeed_glass_list[] = {&airspeed_glass.header, nullptr};

static NeedleElement airspeed_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = 280,
               .x = 150,
               .y = 150,
               .offset_x = 43,
               .offset_y = 28,
               .gauge = &gauge_airspeed,
               .next = airspeed_glass_list,
               .failures = airspeed_needle_failures,
               .image_flags = 0x4083},
    .source = {.token = 61},
    .table = airspeed_table,
    .table_entries = sizeof airspeed_table / sizeof airspeed_table[0],
    .max_travel = 0,
};
static ElementHeader* const airspeed_needle_list[] = {&airspeed_needle.header, nullptr};

static StaticImageElement airspeed_face = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                      .bitmap = 270,
                                                      .gauge = &gauge_airspeed,
                                                      .next = airspeed_needle_list,
                                                      .image_flags = 0x4003}};
static ElementHeader* const airspeed_list[] = {&airspeed_face.header, nullptr};

static MouseRect airspeed_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB02},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3002},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_airspeed = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Airspeed",
    .elements = airspeed_list,
    .width_mm = 100,
    .mouse_rects = airspeed_mouse,
};
