// Flaps_Indicator: the flap position needle, smoothed so that it glides
// after the flaps instead of jumping. No callback of the gauge, no clicks.
#include <cmath>

#include "framework/gauge_list.h"

// The smoothed flap position the needle last showed (0 at module load).
static double flaps_needle_value = 0;

// A first-order lag: each update the needle covers an eighth of the way to
// the flap position. A reading that is not a finite number is skipped, so
// one bad value cannot poison the lag for the rest of the flight.
static double GAUGE_CALL flaps_needle_smoothing(NeedleElement* needle) {
    double position = needle->source.value;
    if (std::isfinite(position)) flaps_needle_value = 0.125 * position + 0.875 * flaps_needle_value;
    return flaps_needle_value;
}

static NonlinearityEntry flaps_table[] = {
    {166, 65, 0},      // 3 o'clock from the pivot
    {152, 109, 8191},
    {119, 143, 16382},
};
static const FailureRecord flaps_failures[] = {{.key = 20, .action = 0}, {}};

static StaticImageElement flaps_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3180, .gauge = &gauge_flaps_indicator, .image_flags = 0x3}};
static ElementHeader* const flaps_glass_list[] = {&flaps_glass.header, nullptr};

static NeedleElement flaps_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 3170, .x = 75, .y = 65, .offset_x = 0, .offset_y = 6,
               .gauge = &gauge_flaps_indicator, .next = flaps_glass_list, .failures = flaps_failures,
               .image_flags = 0x4083},
    .source = {.token = 330},
    .table = flaps_table,
    .table_entries = 3,
    .callback = flaps_needle_smoothing,
};
static ElementHeader* const flaps_needle_list[] = {&flaps_needle.header, nullptr};

static StaticImageElement flaps_face = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3160, .gauge = &gauge_flaps_indicator,
               .next = flaps_needle_list, .image_flags = 0x4003}};
static ElementHeader* const flaps_list[] = {&flaps_face.header, nullptr};

static MouseRect flaps_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB24},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_flaps_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Flaps_Indicator",
    .elements = flaps_list,
    .width_mm = 100,
    .mouse_rects = flaps_mouse,
};
