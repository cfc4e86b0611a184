// Synchroscope: a bar that stands level while the two propellers turn alike
// and tilts towards INCREASE or DECREASE as their speeds drift apart, a
// quarter turn at 100 rpm of difference either way.
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/value_guards.h"

namespace {

constexpr uint32_t VAR_ENGINE1_PROP_RPM = 700;
constexpr uint32_t VAR_ENGINE2_PROP_RPM = 708;

// Stored clockwise from straight up, so the values fall along the table.
NonlinearityEntry synchroscope_table[] = {
    {100, 10, 100},
    {190, 100, 0},
    {100, 190, -100},
};
const FailureRecord synchroscope_failures[] = {{.key = 6, .action = 1}, {.key = 3, .action = 2}, {}};

// Engine 1 minus engine 2, in rpm; a speed that is not a number leaves the
// bar level.
double GAUGE_CALL synchroscope_difference(NeedleElement*) {
    double difference = host::read_var(VAR_ENGINE1_PROP_RPM) - host::read_var(VAR_ENGINE2_PROP_RPM);
    return finite_or(difference, 0.0);
}

StaticImageElement synchroscope_glass = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2490,
                                                    .gauge = &gauge_synchroscope, .image_flags = 0x3}};
ElementHeader* const synchroscope_glass_list[] = {&synchroscope_glass.header, nullptr};

NeedleElement synchroscope_bar = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2480, .x = 100, .y = 100, .offset_x = 60, .offset_y = 8,
               .gauge = &gauge_synchroscope, .next = synchroscope_glass_list,
               .failures = synchroscope_failures, .image_flags = 0x4083},
    .table = synchroscope_table,
    .table_entries = 3,
    .callback = synchroscope_difference,
};
ElementHeader* const synchroscope_bar_list[] = {&synchroscope_bar.header, nullptr};

StaticImageElement synchroscope_face = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2470,
                                                   .gauge = &gauge_synchroscope, .next = synchroscope_bar_list,
                                                   .image_flags = 0x4003}};
ElementHeader* const synchroscope_list[] = {&synchroscope_face.header, nullptr};

MouseRect synchroscope_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAD03},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

}  // namespace

GaugeHeader gauge_synchroscope = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Synchroscope",
    .elements = synchroscope_list,
    .width_mm = 100,
    .mouse_rects = synchroscope_mouse,
};
