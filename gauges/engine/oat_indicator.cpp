// OAT_Indicator: the outside air temperature, -70 to 50 °C; the tooltip
// states the temperature the needle last read.
#include "framework/gauge_list.h"
#include "framework/value_guards.h"

namespace {

constexpr uint32_t VAR_OUTSIDE_AIR_CELSIUS = 341;

NonlinearityEntry oat_table[] = {
    {51, 122, -70}, {74, 110, -50}, {84, 97, -40}, {100, 91, -30}, {119, 84, -20}, {142, 80, -10},
    {167, 84, 0},   {192, 85, 10},  {214, 92, 20}, {231, 103, 30}, {246, 112, 40}, {257, 123, 50},
};

// The temperature as the needle last read it, for the tooltip; 0 until the
// first update.
double oat_display_value = 0.0;

// A temperature that is not a number reads 0 °C, on the needle and in the
// tooltip alike.
double GAUGE_CALL oat_needle_value(NeedleElement* needle) {
    oat_display_value = finite_or(needle->source.value, 0.0);
    return oat_display_value;
}

double GAUGE_CALL oat_tooltip_degrees(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return tooltip_integer(oat_display_value);
}

StaticImageElement oat_glass = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2300,
                                           .gauge = &gauge_oat_indicator, .image_flags = 0x3}};
ElementHeader* const oat_glass_list[] = {&oat_glass.header, nullptr};

NeedleElement oat_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2290, .x = 154, .y = 222, .offset_x = 0, .offset_y = 4,
               .gauge = &gauge_oat_indicator, .next = oat_glass_list, .image_flags = 0x4083},
    .source = {.token = VAR_OUTSIDE_AIR_CELSIUS},
    .table = oat_table,
    .table_entries = 12,
    .callback = oat_needle_value,
};
ElementHeader* const oat_needle_list[] = {&oat_needle.header, nullptr};

StaticImageElement oat_face = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2280,
                                          .gauge = &gauge_oat_indicator, .next = oat_needle_list,
                                          .image_flags = 0x4003}};
ElementHeader* const oat_list[] = {&oat_face.header, nullptr};

const TooltipArg oat_tooltip_args[] = {{.number = oat_tooltip_degrees}};

MouseRect oat_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB39},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .arg_count = 1, .text = "Outside air temperature (%1!d!\xB0)",
     .args = oat_tooltip_args},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

}  // namespace

GaugeHeader gauge_oat_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "OAT_Indicator",
    .elements = oat_list,
    .width_mm = 100,
    .mouse_rects = oat_mouse,
};
