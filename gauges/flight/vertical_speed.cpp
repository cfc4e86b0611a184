// Vertical_Speed: a needle driven straight from the vertical-speed variable
// (metres per second x 256) through its calibration table, with the host
// limiting its travel per cycle; no callbacks, no state, no mouse action.
#include "framework/gauge_list.h"

// The dial is marked in feet per minute; each value is the mark as
// ft/min / 60 / 3.28084 x 256. The +-3000 entries repeat the +-2500 points,
// so the needle stops at the ends of the scale. (The descent end once sat
// three pixels off, at (266,163), which left the first segment a slope of
// 0.17 degrees: a steep enough descent walked the needle off its stop and,
// far enough, round the dial.)
static NonlinearityEntry vertical_speed_table[] = {
    {.x = 263, .y = 163, .value = -3901.4398751539243}, {.x = 263, .y = 163, .value = -3251.1998959616035},
    {.x = 163, .y = 269, .value = -1300.4799583846413}, {.x = 41, .y = 148, .value = 0},
    {.x = 136, .y = 39, .value = 1300.4799583846413},   {.x = 267, .y = 143, .value = 3251.1998959616035},
    {.x = 267, .y = 143, .value = 3901.4398751539243},
};

static const FailureRecord vertical_speed_needle_failures[] = {{.key = 19, .action = 1}, {.key = 3, .action = 2}, {}};

static StaticImageElement vertical_speed_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 390, .gauge = &gauge_vertical_speed, .image_flags = 0x3}};
static ElementHeader* const vertical_speed_glass_list[] = {&vertical_speed_glass.header, nullptr};

static NeedleElement vertical_speed_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = 380,
               .x = 150,
               .y = 150,
               .offset_x = 65,
               .offset_y = 12,
               .gauge = &gauge_vertical_speed,
               .next = vertical_speed_glass_list,
               .failures = vertical_speed_needle_failures,
               .image_flags = 0x4083},
    .source = {.token = 65},
    .table = vertical_speed_table,
    .table_entries = sizeof vertical_speed_table / sizeof vertical_speed_table[0],
    .max_travel = 20,  // degrees per host cycle: the needle lags like a real instrument
};
static ElementHeader* const vertical_speed_needle_list[] = {&vertical_speed_needle.header, nullptr};

static StaticImageElement vertical_speed_face = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                            .bitmap = 370,
                                                            .gauge = &gauge_vertical_speed,
                                                            .next = vertical_speed_needle_list,
                                                            .image_flags = 0x4003}};
static ElementHeader* const vertical_speed_list[] = {&vertical_speed_face.header, nullptr};

static MouseRect vertical_speed_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3099},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_vertical_speed = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Vertical_Speed",
    .elements = vertical_speed_list,
    .width_mm = 100,
    .mouse_rects = vertical_speed_mouse,
};
