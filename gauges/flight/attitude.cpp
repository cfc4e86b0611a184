// Attitude: the horizon card (a sprite that slides with pitch and turns with
// bank), the bank pointer, the adjustable miniature aeroplane, and the knob
// and caging button, which act only through host key events. One update
// callback limits the card's pitch travel; no gauge callback, no state.
#include <cmath>

#include "framework/gauge_list.h"

static constexpr uint32_t kPitchToken = 78;            // degrees
static constexpr uint32_t kBankToken = 80;             // degrees
static constexpr uint32_t kAeroplaneToken = 612;       // miniature aeroplane position
static constexpr uint32_t kAeroplaneDownEvent = 66319;
static constexpr uint32_t kAeroplaneUpEvent = 66318;
static constexpr uint32_t kCageEvent = 66373;

// The card's travel ends at 40 degrees of pitch either way (52 pixels).
static constexpr double kPitchTravelEnd = 40.0;

// Pitch beyond the card's travel no longer moves it; a pitch that is not a
// number leaves the card level rather than handing the host a NaN.
static double GAUGE_CALL attitude_pitch_limit(SpriteElement* card) {
    const double pitch = card->source_y.value;
    if (std::isnan(pitch)) return 0;
    if (pitch > kPitchTravelEnd) return kPitchTravelEnd;
    if (pitch < -kPitchTravelEnd) return -kPitchTravelEnd;
    return pitch;
}

static const FailureRecord attitude_gyro_failures[] = {
    {.key = 8, .action = 0}, {.key = 2, .action = 0}, {.key = 4, .action = 0}, {}};

// 3 o'clock at bank -90, 9 o'clock at bank 90: clockwise with bank, straight
// down when level.
static NonlinearityEntry attitude_bank_table[] = {
    {.x = 177, .y = 130, .value = -90},
    {.x = 77, .y = 130, .value = 90},
};

static StaticImageElement attitude_bezel = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 340, .gauge = &gauge_attitude, .image_flags = 0x3}};
static ElementHeader* const attitude_bezel_list[] = {&attitude_bezel.header, nullptr};

static StaticImageElement attitude_mask = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                      .bitmap = 360,
                                                      .gauge = &gauge_attitude,
                                                      .next = attitude_bezel_list,
                                                      .image_flags = 0x4003}};
static ElementHeader* const attitude_mask_list[] = {&attitude_mask.header, nullptr};

// A positive position raises the aeroplane (negative y is up).
static SliderElement attitude_aeroplane = {
    .header = {.kind = ELEMENT_SLIDER,
               .bitmap = 330,
               .x = 68,
               .y = 59,
               .gauge = &gauge_attitude,
               .next = attitude_mask_list,
               .image_flags = 0x4083},
    .source_x = {.token = 0},
    .scale_x = 0,
    .source_y = {.token = kAeroplaneToken},
    .scale_y = -0.15,
    .callback_x = nullptr,
    .callback_y = nullptr,
};
static ElementHeader* const attitude_aeroplane_list[] = {&attitude_aeroplane.header, nullptr};

static NeedleElement attitude_bank_pointer = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = 320,
               .x = 127,
               .y = 130,
               .offset_x = 0,
               .offset_y = 5,
               .gauge = &gauge_attitude,
               .next = attitude_aeroplane_list,
               .failures = attitude_gyro_failures,
               .image_flags = 0x4083},
    .source = {.token = kBankToken},
    .table = attitude_bank_table,
    .table_entries = 2,
    .max_travel = 0,
};
static ElementHeader* const attitude_bank_pointer_list[] = {&attitude_bank_pointer.header, nullptr};

// Slides 1.3 pixels per degree of (limited) pitch, turns against the bank
// about the texture centre, drawn at 0.9 of its height.
static SpriteElement attitude_card = {
    .header = {.kind = ELEMENT_SPRITE,
               .bitmap = 310,
               .x = 0,
               .y = 0,
               .offset_x = 127,
               .offset_y = 130,
               .gauge = &gauge_attitude,
               .next = attitude_bank_pointer_list,
               .failures = attitude_gyro_failures,
               .image_flags = 0x4083},
    .source_x = {.token = 0},
    .scale_x = 0,
    .source_y = {.token = kPitchToken},
    .scale_y = 1.3,
    .source_rotation = {.token = kBankToken},
    .scale_rotation = -1.0,
    .texture_scale_x = 1.0f,
    .texture_scale_y = 0.9f,
    .callback_x = nullptr,
    .callback_y = attitude_pitch_limit,
    .callback_rotation = nullptr,
};
static ElementHeader* const attitude_card_list[] = {&attitude_card.header, nullptr};

static StaticImageElement attitude_face = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                      .bitmap = 300,
                                                      .gauge = &gauge_attitude,
                                                      .next = attitude_card_list,
                                                      .image_flags = 0x4003}};
static ElementHeader* const attitude_list[] = {&attitude_face.header, nullptr};

static MouseRect attitude_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0},
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 250, .height = 220, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3092},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 111, .y = 239, .width = 42, .height = 42, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .arg_count = 0, .text = "Plane adjusting button"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 213, .y = 223, .width = 80, .height = 80, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .arg_count = 0, .text = "Attitude caging button"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_CHILD,
     .x = 111,
     .y = 239,
     .width = 21,
     .height = 42,
     .cursor = CURSOR_DOWNARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT,
     .event_id = kAeroplaneDownEvent},
    {.type = MOUSE_CHILD,
     .x = 132,
     .y = 239,
     .width = 21,
     .height = 42,
     .cursor = CURSOR_UPARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT,
     .event_id = kAeroplaneUpEvent},
    {.type = MOUSE_CHILD,
     .x = 213,
     .y = 223,
     .width = 80,
     .height = 80,
     .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE,
     .event_id = kCageEvent},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_attitude = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Attitude",
    .elements = attitude_list,
    .width_mm = 100,
    .mouse_rects = attitude_mouse,
};
