// Fuel_Quantity: a twin dial, the left tanks on the left scale (painted G)
// and the right tanks on the right scale (painted D), each graduated empty,
// 1/4, 1/2, 3/4 and full of the simulator's quantity in which 8388610 is a
// full tank.
#include "framework/gauge_list.h"
#include "framework/value_guards.h"

namespace {

constexpr uint32_t VAR_LEFT_TANKS = 291;
constexpr uint32_t VAR_RIGHT_TANKS = 297;
constexpr double FULL = 8388610;

// The right needle rises clockwise, from the bottom of its scale up.
NonlinearityEntry right_tanks_table[] = {
    {180, 216, 0},
    {170, 186, FULL / 4},
    {166, 146, FULL / 2},
    {170, 110, FULL * 3 / 4},
    {185, 76, FULL},
};
// The left needle rises counter-clockwise: its table runs from full down.
NonlinearityEntry left_tanks_table[] = {
    {120, 78, FULL},
    {133, 112, FULL * 3 / 4},
    {135, 147, FULL / 2},
    {133, 186, FULL / 4},
    {120, 216, 0},
};
const FailureRecord fuel_failures[] = {{.key = 2, .action = 0}, {.key = 20, .action = 2}, {}};

// The quantity as the simulator gives it; one that is not a number reads
// empty.
double GAUGE_CALL fuel_needle_value(NeedleElement* needle) { return finite_or(needle->source.value, 0.0); }

StaticImageElement fuel_glass = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3060,
                                            .gauge = &gauge_fuel_quantity, .image_flags = 0x3}};
ElementHeader* const fuel_glass_list[] = {&fuel_glass.header, nullptr};

NeedleElement left_tanks_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 3050, .x = 66, .y = 150, .offset_x = -3, .offset_y = 5,
               .gauge = &gauge_fuel_quantity, .next = fuel_glass_list, .failures = fuel_failures,
               .image_flags = 0x4083},
    .source = {.token = VAR_LEFT_TANKS},
    .table = left_tanks_table,
    .table_entries = 5,
    .callback = fuel_needle_value,
};
ElementHeader* const left_tanks_list[] = {&left_tanks_needle.header, nullptr};

NeedleElement right_tanks_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 3050, .x = 241, .y = 150, .offset_x = -3, .offset_y = 5,
               .gauge = &gauge_fuel_quantity, .next = left_tanks_list, .failures = fuel_failures,
               .image_flags = 0x4083},
    .source = {.token = VAR_RIGHT_TANKS},
    .table = right_tanks_table,
    .table_entries = 5,
    .callback = fuel_needle_value,
};
ElementHeader* const right_tanks_list[] = {&right_tanks_needle.header, nullptr};

StaticImageElement fuel_face = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3040,
                                           .gauge = &gauge_fuel_quantity, .next = right_tanks_list,
                                           .image_flags = 0x4003}};
ElementHeader* const fuel_list[] = {&fuel_face.header, nullptr};

// Each half of the dial carries the host's own tooltip for its tanks.
MouseRect fuel_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 150, .height = 300, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3118},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 150, .y = 0, .width = 150, .height = 300, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3119},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

}  // namespace

GaugeHeader gauge_fuel_quantity = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Fuel_Quantity",
    .elements = fuel_list,
    .width_mm = 100,
    .mouse_rects = fuel_mouse,
};
