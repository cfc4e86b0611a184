// Pitch_Trim_Indicator: the elevator trim needle on the left half of its
// dial, with the trim angle in degrees in its tooltip.
#include "framework/gauge_list.h"
#include "framework/host_services.h"

constexpr uint32_t ELEVATOR_TRIM_TOKEN = 783;  // radians

static double GAUGE_CALL pitch_trim_degrees(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return host::read_var(ELEVATOR_TRIM_TOKEN) * 180.0 / 3.141592653589793;
}

// The +-20 degree points repeat the +-12 degree ones: the needle stops there.
static NonlinearityEntry pitch_trim_table[] = {
    {87, 176, -0.3490658503988659},
    {87, 176, -0.20943951023931953},
    {26, 99, 0},
    {87, 25, 0.20943951023931953},
    {87, 25, 0.3490658503988659},
};
static const FailureRecord pitch_trim_failures[] = {{.key = 20, .action = 2}, {}};

static StaticImageElement pitch_trim_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2430, .gauge = &gauge_pitch_trim_indicator,
               .image_flags = 0x3}};
static ElementHeader* const pitch_trim_glass_list[] = {&pitch_trim_glass.header, nullptr};

static NeedleElement pitch_trim_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2420, .x = 100, .y = 100, .offset_x = 30, .offset_y = 7,
               .gauge = &gauge_pitch_trim_indicator, .next = pitch_trim_glass_list,
               .failures = pitch_trim_failures, .image_flags = 0x4083},
    .source = {.token = ELEVATOR_TRIM_TOKEN},
    .table = pitch_trim_table,
    .table_entries = 5,
};
static ElementHeader* const pitch_trim_needle_list[] = {&pitch_trim_needle.header, nullptr};

static StaticImageElement pitch_trim_face = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2410, .gauge = &gauge_pitch_trim_indicator,
               .next = pitch_trim_needle_list, .image_flags = 0x4003}};
static ElementHeader* const pitch_trim_list[] = {&pitch_trim_face.header, nullptr};

static const TooltipArg pitch_trim_tooltip_args[] = {{.number = pitch_trim_degrees}};

static MouseRect pitch_trim_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0},
    {.type = MOUSE_TOOLTIP, .arg_count = 1, .text = "Elevator (Pitch) trim indicator ( %1!4.1f!\xB0)",
     .args = pitch_trim_tooltip_args},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_pitch_trim_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Pitch_Trim_Indicator",
    .elements = pitch_trim_list,
    .width_mm = 90,
    .mouse_rects = pitch_trim_mouse,
};
