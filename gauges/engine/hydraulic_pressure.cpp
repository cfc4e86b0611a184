// Hydraulic_Pressure: the hydraulic pressure on a dial painted 0 to 3 in
// hundreds of bar, resting on its zero stop below zero; the tooltip states
// the pressure in bar.
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/value_guards.h"

namespace {

constexpr uint32_t VAR_HYDRAULIC_PRESSURE = 732;  // pounds per square foot
constexpr double PSF_PER_BAR = 2087.91;

// The first two points coincide: the stop at zero.
NonlinearityEntry hydraulic_table[] = {
    {57, 102, -PSF_PER_BAR},
    {57, 102, 0},
    {193, 93, 730768.5},  // 350 bar
};
const FailureRecord hydraulic_failures[] = {{.key = 2, .action = 0}, {.key = 20, .action = 2}, {}};

StaticImageElement hydraulic_glass = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2270,
                                                 .gauge = &gauge_hydraulic_pressure, .image_flags = 0x3}};
ElementHeader* const hydraulic_glass_list[] = {&hydraulic_glass.header, nullptr};

NeedleElement hydraulic_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2260, .x = 127, .y = 190, .offset_x = 0, .offset_y = 2,
               .gauge = &gauge_hydraulic_pressure, .next = hydraulic_glass_list,
               .failures = hydraulic_failures, .image_flags = 0x4083},
    .source = {.token = VAR_HYDRAULIC_PRESSURE},
    .table = hydraulic_table,
    .table_entries = 3,
};
ElementHeader* const hydraulic_needle_list[] = {&hydraulic_needle.header, nullptr};

StaticImageElement hydraulic_face = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2250,
                                                .gauge = &gauge_hydraulic_pressure, .next = hydraulic_needle_list,
                                                .image_flags = 0x4003}};
ElementHeader* const hydraulic_list[] = {&hydraulic_face.header, nullptr};

// The pressure in bar for the "%1!d!" placeholder.
double GAUGE_CALL hydraulic_pressure_bars(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return tooltip_integer(host::read_var(VAR_HYDRAULIC_PRESSURE) / PSF_PER_BAR);
}

const TooltipArg hydraulic_tooltip_args[] = {{.number = hydraulic_pressure_bars}};

MouseRect hydraulic_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .arg_count = 1, .text = "Hydraulic pressure (%1!d! bars)",
     .args = hydraulic_tooltip_args},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

}  // namespace

GaugeHeader gauge_hydraulic_pressure = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Hydraulic_Pressure",
    .elements = hydraulic_list,
    .width_mm = 100,
    .mouse_rects = hydraulic_mouse,
};
