// Quorvet_Timer: the cockpit clock with a chronograph. Hour and minute hands
// show the time of day; a centre seconds hand and a 15-minute counter show
// the chronograph, which two buttons start, stop and reset; two knobs turn
// the minute ring a minute at a time. No events, no sound, no gauge callback.
#include <cmath>

#include "framework/gauge_list.h"

// The chronograph and the ring belong to the module: every placement of the
// timer shows the same ones, and they last as long as the module is loaded.
static int32_t timer_running = 0;
static double timer_elapsed = 0.0;    // seconds accumulated while running
static double timer_last_time = 0.0;  // the clock at the previous update
static int32_t minute_ring_position = 0;  // one-minute steps, -59 to 59

constexpr int32_t MINUTE_RING_STEPS = 60;
constexpr double MINUTE_RING_DEGREES_PER_STEP = 6.0;

// Runs for both chronograph hands each update; the second run adds nothing
// because the clock has not moved. The clock is counted from its
// differences only, so a clock that steps back takes the elapsed time back
// with it. A clock reading that is not a finite number is ignored, and so is
// a step that would leave the elapsed time infinite.
static double GAUGE_CALL timer_chronograph(NeedleElement* hand) {
    double now = hand->source.value;
    if (std::isfinite(now)) {
        if (timer_running) {
            double elapsed = timer_elapsed + (now - timer_last_time);
            if (std::isfinite(elapsed)) timer_elapsed = elapsed;
        }
        timer_last_time = now;
    }
    return std::floor(timer_elapsed);  // the hands jump in whole seconds
}

static double GAUGE_CALL timer_minute_ring(SpriteElement*) {
    return MINUTE_RING_DEGREES_PER_STEP * minute_ring_position;
}

static int32_t GAUGE_CALL timer_start_stop(ClickRecord*, uint32_t) {
    timer_running = timer_running ? 0 : 1;
    return 0;
}

// The reset button is locked while the chronograph runs.
static int32_t GAUGE_CALL timer_reset(ClickRecord*, uint32_t) {
    if (!timer_running) timer_elapsed = 0.0;
    return 0;
}

// Truncating remainders: from 0 one step back gives -1, and sixty steps in
// either direction come back to 0.
static int32_t GAUGE_CALL minute_ring_step_forward(ClickRecord*, uint32_t) {
    minute_ring_position = (minute_ring_position + 1) % MINUTE_RING_STEPS;
    return 0;
}

static int32_t GAUGE_CALL minute_ring_step_back(ClickRecord*, uint32_t) {
    minute_ring_position = (minute_ring_position - 1) % MINUTE_RING_STEPS;
    return 0;
}

// Two-point tables: the value 0 straight up from the hand's centre, the
// second value straight down; the host continues the turn in proportion, so
// a revolution is twice the second value.
static NonlinearityEntry timer_hour_table[] = {{138, 39, 0}, {138, 239, 21600}};        // 12 h a turn
static NonlinearityEntry timer_minute_table[] = {{138, 39, 0}, {138, 239, 1800}};       // 1 h a turn
static NonlinearityEntry timer_counter_table[] = {{138, 153, 0}, {138, 213, 450}};      // 15 min a turn
static NonlinearityEntry timer_seconds_table[] = {{138, 39, 0}, {138, 239, 30}};        // 1 min a turn

static StaticImageElement timer_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2390, .gauge = &gauge_quorvet_timer, .image_flags = 0x3}};
static ElementHeader* const timer_glass_list[] = {&timer_glass.header, nullptr};

static NeedleElement timer_seconds_hand = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2350, .x = 138, .y = 139, .offset_x = 8, .offset_y = 8,
               .gauge = &gauge_quorvet_timer, .next = timer_glass_list, .image_flags = 0x4083},
    .source = {.token = 604},
    .table = timer_seconds_table,
    .table_entries = 2,
    .callback = timer_chronograph,
};
static ElementHeader* const timer_seconds_hand_list[] = {&timer_seconds_hand.header, nullptr};

static NeedleElement timer_counter_hand = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2360, .x = 138, .y = 183, .offset_x = 6, .offset_y = 6,
               .gauge = &gauge_quorvet_timer, .next = timer_seconds_hand_list, .image_flags = 0x4083},
    .source = {.token = 604},
    .table = timer_counter_table,
    .table_entries = 2,
    .callback = timer_chronograph,
};
static ElementHeader* const timer_counter_hand_list[] = {&timer_counter_hand.header, nullptr};

static NeedleElement timer_minute_hand = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2370, .x = 138, .y = 139, .offset_x = 7, .offset_y = 7,
               .gauge = &gauge_quorvet_timer, .next = timer_counter_hand_list, .image_flags = 0x4083},
    .source = {.token = 557},
    .table = timer_minute_table,
    .table_entries = 2,
};
static ElementHeader* const timer_minute_hand_list[] = {&timer_minute_hand.header, nullptr};

static NeedleElement timer_hour_hand = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 2380, .x = 138, .y = 139, .offset_x = 6, .offset_y = 6,
               .gauge = &gauge_quorvet_timer, .next = timer_minute_hand_list, .image_flags = 0x4083},
    .source = {.token = 557},
    .table = timer_hour_table,
    .table_entries = 2,
};
static ElementHeader* const timer_hour_hand_list[] = {&timer_hour_hand.header, nullptr};

// The ring only turns: no x or y variable, rotation in degrees.
static SpriteElement timer_minute_ring_sprite = {
    .header = {.kind = ELEMENT_SPRITE, .bitmap = 2400, .x = 21, .y = 24, .offset_x = 138, .offset_y = 139,
               .gauge = &gauge_quorvet_timer, .next = timer_hour_hand_list, .image_flags = 0x4083},
    .scale_x = 0.0,
    .scale_y = 0.0,
    .scale_rotation = 1.0,
    .texture_scale_x = 1.0f,
    .texture_scale_y = 1.0f,
    .callback_rotation = timer_minute_ring,
};
static ElementHeader* const timer_minute_ring_list[] = {&timer_minute_ring_sprite.header, nullptr};

static StaticImageElement timer_case = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2340, .gauge = &gauge_quorvet_timer,
               .next = timer_minute_ring_list, .image_flags = 0x4003}};
static ElementHeader* const timer_list[] = {&timer_case.header, nullptr};

// The right-hand knob carries the clockwise tooltip and lowers the ring
// position; the left-hand knob raises it.
static MouseRect timer_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_PARENT, .x = 56, .y = 0, .width = 162, .height = 256, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .text = "Quorvet timer"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 197, .y = 273, .width = 30, .height = 40, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .text = "Timer reset button"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 110, .y = 262, .width = 45, .height = 45, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .text = "Timer start/stop button"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 223, .y = 85, .width = 30, .height = 103, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .text = "Turns minute ring clockwise"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 22, .y = 85, .width = 30, .height = 103, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .text = "Turns minute ring counterclockwise"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_CHILD, .x = 110, .y = 262, .width = 45, .height = 45, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .callback = timer_start_stop},
    {.type = MOUSE_CHILD, .x = 197, .y = 273, .width = 30, .height = 40, .cursor = CURSOR_UPARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT, .callback = timer_reset},
    {.type = MOUSE_CHILD, .x = 223, .y = 85, .width = 30, .height = 103, .cursor = CURSOR_UPARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT, .callback = minute_ring_step_back},
    {.type = MOUSE_CHILD, .x = 22, .y = 85, .width = 30, .height = 103, .cursor = CURSOR_DOWNARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT, .callback = minute_ring_step_forward},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_quorvet_timer = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Quorvet_Timer",
    .elements = timer_list,
    .width_mm = 100,
    .mouse_rects = timer_mouse,
};
