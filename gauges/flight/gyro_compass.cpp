// Gyro_Compass: a heading strip sliding behind its window, the gyro setting
// knob (drawn as a small needle) with its two key-event halves, and a flag.
// One update callback (the flag); no gauge callback, no state.
#include "framework/gauge_list.h"
#include "framework/host_services.h"

static constexpr uint32_t kHeadingToken = 84;  // degrees
static constexpr uint32_t kSettingToken = 85;
static constexpr uint32_t kFlagTokenA = 279;
static constexpr uint32_t kFlagTokenB = 288;
static constexpr uint32_t kSettingDownEvent = 65878;
static constexpr uint32_t kSettingUpEvent = 65877;

// The flag shows while either of its two variables is positive. Both are
// read every time, whatever the first one says.
static double GAUGE_CALL gyro_compass_flag(IconElement*) {
    const double a = host::read_var(kFlagTokenA);
    const double b = host::read_var(kFlagTokenB);
    return a > 0 || b > 0 ? 0.0 : -1.0;
}

// Up at 0, down at 65536 / 6: continued beyond its ends, three turns of the
// knob per 65536 units.
static NonlinearityEntry gyro_compass_knob_table[] = {
    {.x = 117, .y = 242, .value = 0},
    {.x = 117, .y = 282, .value = 10922.666666666666},
};

static const FailureRecord gyro_compass_strip_failures[] = {{.key = 4, .action = 0}, {}};

static IconElement gyro_compass_flag_icon = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = 420,
               .x = 164,
               .y = 56,
               .gauge = &gauge_gyro_compass,
               .image_flags = 0x4003},
    .source = {.token = 0},
    .switch_type = 0,
    .scale = 1.0,
    .image_count = 1,
    .offset = 0,
    .callback = gyro_compass_flag,
};
static ElementHeader* const gyro_compass_flag_list[] = {&gyro_compass_flag_icon.header, nullptr};

// The strip runs from 360 at its minimum end to 0 at its maximum end. Image
// and window are equally tall: the empty y range (360 to 360) is no travel.
static MovingImageElement gyro_compass_strip = {
    .header = {.kind = ELEMENT_MOVING_IMAGE,
               .bitmap = 410,
               .x = 45,
               .y = 55,
               .gauge = &gauge_gyro_compass,
               .next = gyro_compass_flag_list,
               .failures = gyro_compass_strip_failures,
               .image_flags = 0x4083},
    .source_x = {.token = kHeadingToken},
    .min_x = 360,
    .max_x = 0,
    .source_y = {.token = 0},
    .min_y = 360,
    .max_y = 360,
    .callback_x = nullptr,
    .callback_y = nullptr,
};
static ElementHeader* const gyro_compass_strip_list[] = {&gyro_compass_strip.header, nullptr};

static NeedleElement gyro_compass_knob = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = 430,
               .x = 117,
               .y = 262,
               .offset_x = 28,
               .offset_y = 28,
               .gauge = &gauge_gyro_compass,
               .next = gyro_compass_strip_list,
               .image_flags = 0x83},
    .source = {.token = kSettingToken},
    .table = gyro_compass_knob_table,
    .table_entries = 2,
    .max_travel = 0,
};
static ElementHeader* const gyro_compass_knob_list[] = {&gyro_compass_knob.header, nullptr};

static StaticImageElement gyro_compass_face = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                          .bitmap = 400,
                                                          .gauge = &gauge_gyro_compass,
                                                          .next = gyro_compass_knob_list,
                                                          .image_flags = 0x3}};
static ElementHeader* const gyro_compass_list[] = {&gyro_compass_face.header, nullptr};

// The knob's help area covers only its left half.
static MouseRect gyro_compass_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0},
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 231, .height = 231, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3208},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 89, .y = 234, .width = 28, .height = 56, .cursor = CURSOR_NONE, .help_id = 0xAB35},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_CHILD,
     .x = 89,
     .y = 234,
     .width = 28,
     .height = 56,
     .cursor = CURSOR_DOWNARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT,
     .event_id = kSettingDownEvent},
    {.type = MOUSE_CHILD,
     .x = 117,
     .y = 234,
     .width = 28,
     .height = 56,
     .cursor = CURSOR_UPARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT,
     .event_id = kSettingUpEvent},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_gyro_compass = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Gyro_Compass",
    .elements = gyro_compass_list,
    .width_mm = 100,
    .mouse_rects = gyro_compass_mouse,
};
