// Suction_Indicator: the vacuum (painted DEPRESSION), 0 to 10, held on the
// 10 stop above the scale.
#include "framework/gauge_list.h"

namespace {

constexpr uint32_t VAR_SUCTION = 353;

// The last two points coincide: the stop above 10.
NonlinearityEntry suction_table[] = {
    {92, 240, 0},
    {150, 55, 5},
    {206, 238, 10},
    {206, 238, 15},
};
const FailureRecord suction_failures[] = {{.key = 2, .action = 0}, {.key = 4, .action = 0}, {}};

StaticImageElement suction_glass = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2320,
                                               .gauge = &gauge_suction_indicator, .image_flags = 0x3}};
ElementHeader* const suction_glass_list[] = {&suction_glass.header, nullptr};

NeedleElement suction_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2330, .x = 150, .y = 150, .offset_x = 12, .offset_y = 9,
               .gauge = &gauge_suction_indicator, .next = suction_glass_list, .failures = suction_failures,
               .image_flags = 0x4083},
    .source = {.token = VAR_SUCTION},
    .table = suction_table,
    .table_entries = 4,
};
ElementHeader* const suction_needle_list[] = {&suction_needle.header, nullptr};

StaticImageElement suction_face = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2310,
                                              .gauge = &gauge_suction_indicator, .next = suction_needle_list,
                                              .image_flags = 0x4003}};
ElementHeader* const suction_list[] = {&suction_face.header, nullptr};

MouseRect suction_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB66},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

}  // namespace

GaugeHeader gauge_suction_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Suction_Indicator",
    .elements = suction_list,
    .width_mm = 100,
    .mouse_rects = suction_mouse,
};
