// Rudder_Trim_Indicator: the rudder trim needle on the top half of its dial,
// with the trim angle in degrees in its tooltip.
#include "framework/gauge_list.h"
#include "framework/host_services.h"

constexpr uint32_t RUDDER_TRIM_TOKEN = 787;  // radians

static double GAUGE_CALL rudder_trim_degrees(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return host::read_var(RUDDER_TRIM_TOKEN) * 180.0 / 3.141592653589793;
}

// The +-20 degree points repeat the +-12 degree ones: the needle stops there.
static NonlinearityEntry rudder_trim_table[] = {
    {25, 87, -0.3490658503988659},
    {25, 87, -0.20943951023931953},
    {101, 27, 0},
    {176, 87, 0.20943951023931953},
    {176, 87, 0.3490658503988659},
};
static const FailureRecord rudder_trim_failures[] = {{.key = 20, .action = 2}, {}};

static StaticImageElement rudder_trim_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2460, .gauge = &gauge_rudder_trim_indicator,
               .image_flags = 0x3}};
static ElementHeader* const rudder_trim_glass_list[] = {&rudder_trim_glass.header, nullptr};

static NeedleElement rudder_trim_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2450, .x = 101, .y = 100, .offset_x = 30, .offset_y = 7,
               .gauge = &gauge_rudder_trim_indicator, .next = rudder_trim_glass_list,
               .failures = rudder_trim_failures, .image_flags = 0x4083},
    .source = {.token = RUDDER_TRIM_TOKEN},
    .table = rudder_trim_table,
    .table_entries = 5,
};
static ElementHeader* const rudder_trim_needle_list[] = {&rudder_trim_needle.header, nullptr};

static StaticImageElement rudder_trim_face = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2440, .gauge = &gauge_rudder_trim_indicator,
               .next = rudder_trim_needle_list, .image_flags = 0x4003}};
static ElementHeader* const rudder_trim_list[] = {&rudder_trim_face.header, nullptr};

static const TooltipArg rudder_trim_tooltip_args[] = {{.number = rudder_trim_degrees}};

static MouseRect rudder_trim_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB79},
    {.type = MOUSE_TOOLTIP, .arg_count = 1, .text = "Rudder (Yaw) trim indicator ( %1!4.1f!\xB0)",
     .args = rudder_trim_tooltip_args},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_rudder_trim_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Rudder_Trim_Indicator",
    .elements = rudder_trim_list,
    .width_mm = 100,
    .mouse_rects = rudder_trim_mouse,
};
