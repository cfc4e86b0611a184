// Altimeter: a pointer turning once per 1000 feet, a counter of four rolling
// altitude drums with leading-zero blanks, a counter of four pressure-setting
// drums, and the setting knob with its two key-event halves. One drum
// callback serves all eight drums, each reading its own step, roll band and
// modulus from its record; no gauge callback, no state.
#include <cmath>

#include "framework/gauge_list.h"

static constexpr uint32_t kAltitudeToken = 74;  // feet
static constexpr uint32_t kPressureToken = 75;  // millibars
static constexpr uint32_t kPressureDownEvent = 65884;
static constexpr uint32_t kPressureUpEvent = 65883;

// The widest counter shows five digits. A reading past it (or an unusable
// one) would only make the drums spin to meaningless places and leave the
// floor arithmetic inexact, so the drums hold at the counter's ends instead.
static constexpr double kCounterTop = 99999.0;

static double counter_reading(double value) {
    if (std::isnan(value)) return 0;
    return std::fmax(-kCounterTop, std::fmin(kCounterTop, value));
}

static bool usable_parameter(double p) { return std::isfinite(p) && p > 0; }

// A drum stands on its digit while the remainder of its step is below
// step - band and rolls to the next digit over the last `band` units, like
// the drums of a mechanical counter. The result runs from the modulus down
// to 0 over the drum's travel (y minimum = modulus, y maximum = 0).
static double GAUGE_CALL altimeter_drum(MovingImageElement* drum) {
    const double step = drum->min_x, band = drum->max_x;
    const double modulus = std::fmax(drum->min_y, drum->max_y);
    if (!usable_parameter(step) || !usable_parameter(band) || !usable_parameter(modulus)) return 0;
    const double v = counter_reading(drum->source_y.value);
    const double base = step * std::floor(v / step);
    const double remainder = v - base;
    const double roll = (remainder - step + band) * (step / band);
    const double x = base + (roll > 0 ? roll : 0);
    const double position = x - modulus * std::floor(x / modulus);
    // Rounding can land exactly on the modulus, which is digit 0 again.
    return position >= 0 && position < modulus ? position : 0;
}

// A blank covers its drum window until the altitude reaches its threshold;
// negative altitudes (and unusable ones) keep every blank.
template <int Threshold>
static double GAUGE_CALL altimeter_blank(IconElement* blank) {
    return blank->source.value >= Threshold ? -1.0 : 0.0;
}

static const FailureRecord altimeter_failures[] = {{.key = 3, .action = 1}, {.key = 7, .action = 1}, {}};

// Straight up at 0, straight down at 500: continued beyond its ends the
// table turns the pointer 360 degrees per 1000 feet.
static NonlinearityEntry altimeter_pointer_table[] = {
    {.x = 150, .y = 100, .value = 0},
    {.x = 150, .y = 200, .value = 500},
};
// 3 o'clock at 1013, 9 o'clock at 1070: half a turn per 57 millibars.
static NonlinearityEntry altimeter_knob_table[] = {
    {.x = 71, .y = 261, .value = 1013},
    {.x = 27, .y = 261, .value = 1070},
};

static NeedleElement altimeter_knob = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = 1120,
               .x = 49,
               .y = 261,
               .offset_x = 22,
               .offset_y = 22,
               .gauge = &gauge_altimeter,
               .image_flags = 0x83},
    .source = {.token = kPressureToken},
    .table = altimeter_knob_table,
    .table_entries = 2,
};
static ElementHeader* const altimeter_knob_list[] = {&altimeter_knob.header, nullptr};

static StaticImageElement altimeter_glass = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                        .bitmap = 1130,
                                                        .gauge = &gauge_altimeter,
                                                        .next = altimeter_knob_list,
                                                        .image_flags = 0x3}};
static ElementHeader* const altimeter_glass_list[] = {&altimeter_glass.header, nullptr};

static NeedleElement altimeter_pointer = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = 1010,
               .x = 150,
               .y = 150,
               .offset_x = 10,
               .offset_y = 10,
               .gauge = &gauge_altimeter,
               .next = altimeter_glass_list,
               .failures = altimeter_failures,
               .image_flags = 0x4083},
    .source = {.token = kAltitudeToken},
    .table = altimeter_pointer_table,
    .table_entries = 2,
};
static ElementHeader* const altimeter_pointer_list[] = {&altimeter_pointer.header, nullptr};

static constexpr IconElement altimeter_blank_icon(int32_t bitmap, int32_t x, int32_t y, ElementHeader* const* next,
                                                  IconCallback callback) {
    return {.header = {.kind = ELEMENT_ICON,
                       .bitmap = bitmap,
                       .x = x,
                       .y = y,
                       .gauge = &gauge_altimeter,
                       .next = next,
                       .failures = altimeter_failures,
                       .image_flags = 0x4083},
            .source = {.token = kAltitudeToken},
            .switch_type = 0,
            .scale = 0.0,
            .image_count = 1,
            .offset = 0,
            .callback = callback};
}

// Blanks in drawing order; two share the hundreds window.
static constinit IconElement altimeter_blank_10000 =
    altimeter_blank_icon(1050, 91, 121, altimeter_pointer_list, altimeter_blank<10000>);
static ElementHeader* const altimeter_blank_10000_list[] = {&altimeter_blank_10000.header, nullptr};
static constinit IconElement altimeter_blank_1000 =
    altimeter_blank_icon(1050, 121, 121, altimeter_blank_10000_list, altimeter_blank<1000>);
static ElementHeader* const altimeter_blank_1000_list[] = {&altimeter_blank_1000.header, nullptr};
static constinit IconElement altimeter_blank_100 =
    altimeter_blank_icon(1050, 164, 121, altimeter_blank_1000_list, altimeter_blank<100>);
static ElementHeader* const altimeter_blank_100_list[] = {&altimeter_blank_100.header, nullptr};
static constinit IconElement altimeter_blank_10 =
    altimeter_blank_icon(1030, 164, 121, altimeter_blank_100_list, altimeter_blank<10>);
static ElementHeader* const altimeter_blank_10_list[] = {&altimeter_blank_10.header, nullptr};

// A drum has no x variable: its x minimum and maximum carry its step and
// roll band for the drum callback, its y minimum the modulus.
static constexpr MovingImageElement altimeter_drum_image(int32_t bitmap, int32_t x, int32_t y, uint32_t token,
                                                         double step, double band, double modulus,
                                                         ElementHeader* const* next, const FailureRecord* failures) {
    return {.header = {.kind = ELEMENT_MOVING_IMAGE,
                       .bitmap = bitmap,
                       .x = x,
                       .y = y,
                       .gauge = &gauge_altimeter,
                       .next = next,
                       .failures = failures,
                       .image_flags = 0x4083},
            .source_x = {.token = 0},
            .min_x = step,
            .max_x = band,
            .source_y = {.token = token},
            .min_y = modulus,
            .max_y = 0,
            .callback_x = nullptr,
            .callback_y = altimeter_drum};
}

static constinit MovingImageElement altimeter_ten_thousands_drum = altimeter_drum_image(
    1060, 91, 121, kAltitudeToken, 10000, 1000, 100000, altimeter_blank_10_list, altimeter_failures);
static ElementHeader* const altimeter_ten_thousands_list[] = {&altimeter_ten_thousands_drum.header, nullptr};
static constinit MovingImageElement altimeter_thousands_drum = altimeter_drum_image(
    1060, 121, 121, kAltitudeToken, 1000, 100, 10000, altimeter_ten_thousands_list, altimeter_failures);
static ElementHeader* const altimeter_thousands_list[] = {&altimeter_thousands_drum.header, nullptr};
static constinit MovingImageElement altimeter_hundreds_drum = altimeter_drum_image(
    1060, 164, 121, kAltitudeToken, 100, 10, 1000, altimeter_thousands_list, altimeter_failures);
static ElementHeader* const altimeter_hundreds_list[] = {&altimeter_hundreds_drum.header, nullptr};
static constinit MovingImageElement altimeter_tens_drum =
    altimeter_drum_image(1040, 194, 113, kAltitudeToken, 10, 1, 100, altimeter_hundreds_list, altimeter_failures);
static ElementHeader* const altimeter_tens_list[] = {&altimeter_tens_drum.header, nullptr};

static constinit MovingImageElement altimeter_pressure_thousands_drum =
    altimeter_drum_image(1020, 125, 212, kPressureToken, 1000, 1, 10000, altimeter_tens_list, nullptr);
static ElementHeader* const altimeter_pressure_thousands_list[] = {&altimeter_pressure_thousands_drum.header,
                                                                   nullptr};
static constinit MovingImageElement altimeter_pressure_hundreds_drum = altimeter_drum_image(
    1020, 137, 212, kPressureToken, 100, 1, 1000, altimeter_pressure_thousands_list, nullptr);
static ElementHeader* const altimeter_pressure_hundreds_list[] = {&altimeter_pressure_hundreds_drum.header, nullptr};
static constinit MovingImageElement altimeter_pressure_tens_drum =
    altimeter_drum_image(1020, 149, 212, kPressureToken, 10, 1, 100, altimeter_pressure_hundreds_list, nullptr);
static ElementHeader* const altimeter_pressure_tens_list[] = {&altimeter_pressure_tens_drum.header, nullptr};
static constinit MovingImageElement altimeter_pressure_units_drum =
    altimeter_drum_image(1020, 161, 212, kPressureToken, 1, 1, 10, altimeter_pressure_tens_list, nullptr);
static ElementHeader* const altimeter_pressure_units_list[] = {&altimeter_pressure_units_drum.header, nullptr};

static StaticImageElement altimeter_face = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                       .bitmap = 1000,
                                                       .gauge = &gauge_altimeter,
                                                       .next = altimeter_pressure_units_list,
                                                       .image_flags = 0x4003}};
static ElementHeader* const altimeter_list[] = {&altimeter_face.header, nullptr};

static MouseRect altimeter_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0},
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 300, .height = 236, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3051},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 27, .y = 239, .width = 44, .height = 44, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3054},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_CHILD,
     .x = 27,
     .y = 239,
     .width = 22,
     .height = 44,
     .cursor = CURSOR_DOWNARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT,
     .event_id = kPressureDownEvent},
    {.type = MOUSE_CHILD,
     .x = 49,
     .y = 239,
     .width = 22,
     .height = 44,
     .cursor = CURSOR_UPARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT,
     .event_id = kPressureUpEvent},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_altimeter = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Altimeter",
    .elements = altimeter_list,
    .width_mm = 100,
    .mouse_rects = altimeter_mouse,
};
