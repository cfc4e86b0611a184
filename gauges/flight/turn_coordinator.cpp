// Turn_Coordinator: the inclinometer ball on its curved tube, the aeroplane
// symbol showing the rate of turn, and the flag. Three small update
// callbacks; no gauge callback, no state, no mouse action.
#include <cmath>

#include "framework/gauge_list.h"

// The turn needle's table runs from -5 to 5 with stops beyond +-4.5.
static constexpr double kTurnTableEnd = 5.0;
// The flag shows while its variable is at or below this.
static constexpr double kFlagThreshold = 20.0;

// The ball rides a parabola: its height is the square of its position (the
// slider's y scale makes it rise towards the ends), for every position the
// simulator gives, so the ball keeps to its arc; only a position that is no
// number or endless leaves the ball at the bottom of the tube.
static double GAUGE_CALL turn_coordinator_ball_height(SliderElement* ball) {
    double v = ball->source_y.value;
    return std::isfinite(v) ? v * v : 0;
}

// The turn-rate variable comes in 1/256 units of the table's. Beyond the
// table's ends the needle is on its stop anyway, so the value is held there
// and the host always gets a finite angle; an unusable rate shows wings
// level.
static double GAUGE_CALL turn_coordinator_turn_needle(NeedleElement* needle) {
    double rate = needle->source.value * 0.00390625;
    if (std::isnan(rate)) return 0;
    return std::fmax(-kTurnTableEnd, std::fmin(kTurnTableEnd, rate));
}

// Image 0 (the flag) while the variable is at most 20, nothing above; a
// value that is not a number is not "above 20", so the flag shows.
static double GAUGE_CALL turn_coordinator_flag(IconElement* flag) {
    return flag->source.value > kFlagThreshold ? -1.0 : 0.0;
}

// From the pivot the end points lie 45 degrees either side of straight up.
static NonlinearityEntry turn_coordinator_table[] = {
    {.x = 118, .y = 220, .value = -5},
    {.x = 118, .y = 220, .value = -4.5},
    {.x = 184, .y = 220, .value = 4.5},
    {.x = 184, .y = 220, .value = 5},
};

static const FailureRecord turn_coordinator_needle_failures[] = {{.key = 18, .action = 1}, {.key = 20, .action = 2}, {}};

static StaticImageElement turn_coordinator_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 480, .gauge = &gauge_turn_coordinator, .image_flags = 0x3}};
static ElementHeader* const turn_coordinator_glass_list[] = {&turn_coordinator_glass.header, nullptr};

static NeedleElement turn_coordinator_aeroplane = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = 450,
               .x = 151,
               .y = 253,
               .offset_x = 24,
               .offset_y = 14,
               .gauge = &gauge_turn_coordinator,
               .next = turn_coordinator_glass_list,
               .failures = turn_coordinator_needle_failures,
               .image_flags = 0x4083},
    .source = {.token = 70},
    .table = turn_coordinator_table,
    .table_entries = sizeof turn_coordinator_table / sizeof turn_coordinator_table[0],
    .max_travel = 0,
    .callback = turn_coordinator_turn_needle,
};
static ElementHeader* const turn_coordinator_aeroplane_list[] = {&turn_coordinator_aeroplane.header, nullptr};

static IconElement turn_coordinator_flag_icon = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = 470,
               .x = 109,
               .y = 76,
               .gauge = &gauge_turn_coordinator,
               .next = turn_coordinator_aeroplane_list,
               .image_flags = 0x4003},
    .source = {.token = 753},
    .switch_type = 0,
    .scale = 1.0,
    .image_count = 1,
    .offset = 0,
    .callback = turn_coordinator_flag,
};
static ElementHeader* const turn_coordinator_flag_list[] = {&turn_coordinator_flag_icon.header, nullptr};

static StaticImageElement turn_coordinator_tube = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                              .bitmap = 490,
                                                              .x = 118,
                                                              .y = 147,
                                                              .gauge = &gauge_turn_coordinator,
                                                              .next = turn_coordinator_flag_list,
                                                              .image_flags = 0x3}};
static ElementHeader* const turn_coordinator_tube_list[] = {&turn_coordinator_tube.header, nullptr};

// 85/128 pixel per unit across; -5/16384 pixel per unit squared upward.
static SliderElement turn_coordinator_ball = {
    .header = {.kind = ELEMENT_SLIDER,
               .bitmap = 460,
               .x = 133,
               .y = 159,
               .gauge = &gauge_turn_coordinator,
               .next = turn_coordinator_tube_list,
               .image_flags = 0x4083},
    .source_x = {.token = 69},
    .scale_x = 0.6640625,
    .source_y = {.token = 69},
    .scale_y = -0.00030517578125,
    .callback_x = nullptr,
    .callback_y = turn_coordinator_ball_height,
};
static ElementHeader* const turn_coordinator_ball_list[] = {&turn_coordinator_ball.header, nullptr};

static StaticImageElement turn_coordinator_face = {.header = {.kind = ELEMENT_STATIC_IMAGE,
                                                              .bitmap = 440,
                                                              .gauge = &gauge_turn_coordinator,
                                                              .next = turn_coordinator_ball_list,
                                                              .image_flags = 0x4003}};
static ElementHeader* const turn_coordinator_list[] = {&turn_coordinator_face.header, nullptr};

static MouseRect turn_coordinator_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3090},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_turn_coordinator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Turn_Coordinator",
    .elements = turn_coordinator_list,
    .width_mm = 100,
    .mouse_rects = turn_coordinator_mouse,
};
