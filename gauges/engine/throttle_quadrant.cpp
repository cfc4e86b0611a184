// Throttle_Quadrant: the pedestal. Propeller, throttle and mixture levers of
// both engines, the elevator-trim wheel with its position marker, and the
// tail-wheel locking lever. Levers follow the simulator's lever variables
// and are set by clicking or dragging in their rectangles.
#include <cmath>

#include "framework/gauge_list.h"
#include "framework/host_services.h"

// --------------------------------------------------------------- state

// Frame of the trim-wheel picture, 0 to 3; only the trim rectangles turn it.
static int32_t trim_wheel_frame = 0;
// Last answer of the tail-wheel lock expression: 0 free, above 0 locked.
static double tailwheel_lock_state = 0.0;

// --------------------------------------------------------------- levers

// The setting events take 0 (bottom: closed, idle cut-off, feather) to
// this value (top: open, rich, full).
constexpr double LEVER_FULL_SETTING = 16384;

// A lever rectangle sets one lever, or both levers of a pair (engine 1
// first); 0 stands for no second lever.
struct LeverRect {
    uint32_t event_id;
    uint32_t second_event_id;
};

enum : uint32_t {
    THROTTLE_1 = 65820,
    THROTTLE_2 = 65821,
    MIXTURE_1 = 65919,
    MIXTURE_2 = 65920,
    PROPELLER_1 = 65923,
    PROPELLER_2 = 65924,
};

// In the order of the click areas.
static const LeverRect throttle_quadrant_levers[] = {
    {THROTTLE_1, 0},          {THROTTLE_2, 0},  {THROTTLE_1, THROTTLE_2},
    {MIXTURE_1, 0},           {MIXTURE_1, MIXTURE_2}, {MIXTURE_2, 0},
    {PROPELLER_1, 0},         {PROPELLER_1, PROPELLER_2}, {PROPELLER_2, 0},
};

// The setting for a pointer y pixels below the top of a rectangle h pixels
// high: the top edge and above give full, the bottom edge and below 0. A
// rectangle without height has only the two ends.
static uint32_t lever_setting(int32_t y, int32_t h) {
    double f = h > 0 ? 1.0 - double(y) / double(h) : (y < 0 ? 1.0 : 0.0);
    if (!(f > 0))
        f = 0;
    else if (!(f < 1))
        f = 1;
    return static_cast<uint32_t>(f * LEVER_FULL_SETTING);
}

template <unsigned Lever>
static int32_t GAUGE_CALL lever_click(ClickRecord* click, uint32_t) {
    if (!click || !click->rect) return 0;
    const LeverRect& lever = throttle_quadrant_levers[Lever];
    uint32_t setting = lever_setting(click->y, click->rect->height);
    host::trigger_key_event(lever.event_id, setting);
    if (lever.second_event_id) host::trigger_key_event(lever.second_event_id, setting);
    return 0;
}

// A lever variable is a fraction from 0 to 1; anything else (a broken or
// not-a-number value) draws the lever on the nearer stop, NaN at the bottom.
static double GAUGE_CALL lever_position(SliderElement* lever) {
    double f = lever->source_y.value;
    if (!(f > 0)) return 0;
    return f < 1 ? f : 1;
}

// --------------------------------------------------------------- trim

constexpr uint32_t EVENT_TRIM_NOSE_DOWN = 65607;
constexpr uint32_t EVENT_TRIM_NOSE_UP = 65615;
constexpr int32_t TRIM_WHEEL_FRAMES = 4;
// Far beyond any trim the aircraft has; keeps a broken value on the wheel.
constexpr double TRIM_MARKER_LIMIT = 1.0;  // radians

static int32_t GAUGE_CALL trim_nose_down_click(ClickRecord*, uint32_t) {
    host::trigger_key_event(EVENT_TRIM_NOSE_DOWN, 0);
    trim_wheel_frame = (trim_wheel_frame + TRIM_WHEEL_FRAMES - 1) % TRIM_WHEEL_FRAMES;
    return 0;
}

static int32_t GAUGE_CALL trim_nose_up_click(ClickRecord*, uint32_t) {
    host::trigger_key_event(EVENT_TRIM_NOSE_UP, 0);
    trim_wheel_frame = (trim_wheel_frame + 1) % TRIM_WHEEL_FRAMES;
    return 0;
}

static double GAUGE_CALL trim_wheel_image(IconElement*) { return trim_wheel_frame; }

static double GAUGE_CALL trim_marker_position(SliderElement* marker) {
    double trim = marker->source_y.value;
    if (std::isnan(trim)) return 0;
    return std::fmax(-TRIM_MARKER_LIMIT, std::fmin(TRIM_MARKER_LIMIT, trim));
}

// --------------------------------------------------------------- tail wheel

// The lever picture and the tooltip word both follow "above 0 is locked".
static double GAUGE_CALL tailwheel_lock_image(IconElement*) {
    double answer = 0.0;
    host::execute_calculator_code("(A:TAILWHEEL LOCK ON,number)", &answer, nullptr, nullptr);
    tailwheel_lock_state = answer;
    return tailwheel_lock_state > 0 ? 1.0 : 0.0;
}

static const char* GAUGE_CALL tailwheel_lock_word(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return tailwheel_lock_state > 0 ? "locked" : "free";
}

static const TooltipArg throttle_quadrant_tooltip_args[] = {{.string = tailwheel_lock_word}};

// --------------------------------------------------------------- elements

// A lever slider: bitmap and rest position, lever variable, pixels per unit.
#define LEVER_SLIDER(name, bitmap_id, px, py, next_list, var_token, scale)                                      \
    static SliderElement name = {                                                                           \
        .header = {.kind = ELEMENT_SLIDER, .bitmap = bitmap_id, .x = px, .y = py,                           \
                   .gauge = &gauge_throttle_quadrant, .next = next_list, .image_flags = 0x3},               \
        .source_y = {.token = var_token},                                                                     \
        .scale_y = scale,                                                                                   \
        .callback_y = lever_position};                                                                      \
    static ElementHeader* const name##_list[] = {&name.header, nullptr};

LEVER_SLIDER(throttle_1_lever, 4030, 122, 74, nullptr, 392, -74)
LEVER_SLIDER(throttle_2_lever, 4040, 157, 74, throttle_1_lever_list, 431, -74)
LEVER_SLIDER(mixture_1_lever, 4050, 200, 74, throttle_2_lever_list, 393, -74)
LEVER_SLIDER(mixture_2_lever, 4060, 221, 74, mixture_1_lever_list, 432, -74)
LEVER_SLIDER(propeller_2_lever, 4020, 71, 79, mixture_2_lever_list, 433, -72)
LEVER_SLIDER(propeller_1_lever, 4010, 35, 79, propeller_2_lever_list, 394, -72)
#undef LEVER_SLIDER

static IconElement trim_wheel = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 4080, .x = 1, .y = 35, .gauge = &gauge_throttle_quadrant,
               .next = propeller_1_lever_list, .image_flags = 0x3},
    .source = {.token = 783},
    .scale = 1.0,
    .image_count = TRIM_WHEEL_FRAMES,
    .callback = trim_wheel_image};
static ElementHeader* const trim_wheel_list[] = {&trim_wheel.header, nullptr};

// 255/pi pixels per radian of elevator trim, downwards for positive trim.
static SliderElement trim_marker = {
    .header = {.kind = ELEMENT_SLIDER, .bitmap = 4070, .x = 38, .y = 110, .gauge = &gauge_throttle_quadrant,
               .next = trim_wheel_list, .image_flags = 0x3},
    .scale_x = 1.0,
    .source_y = {.token = 783},
    .scale_y = 81.16902097686663,
    .callback_y = trim_marker_position};
static ElementHeader* const trim_marker_list[] = {&trim_marker.header, nullptr};

// Image 4090 free, 4091 locked.
static IconElement tailwheel_lock_lever = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 4090, .x = 208, .y = 197, .gauge = &gauge_throttle_quadrant,
               .next = trim_marker_list, .image_flags = 0x3},
    .scale = 1.0,
    .image_count = 2,
    .callback = tailwheel_lock_image};
static ElementHeader* const tailwheel_lock_lever_list[] = {&tailwheel_lock_lever.header, nullptr};

static StaticImageElement throttle_quadrant_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 4000, .gauge = &gauge_throttle_quadrant,
               .next = tailwheel_lock_lever_list, .image_flags = 0x3}};
static ElementHeader* const throttle_quadrant_elements[] = {&throttle_quadrant_background.header, nullptr};

// --------------------------------------------------------------- mouse

constexpr uint32_t LEVER_FLAGS = MOUSE_LEFTSINGLE | MOUSE_MOVE_HELD;
constexpr uint32_t TRIM_FLAGS = MOUSE_LEFTSINGLE | MOUSE_REPEAT;
constexpr uint32_t EVENT_TAILWHEEL_LOCK_TOGGLE = 66541;

// A region showing one of the host's own tooltips.
#define HOST_TOOLTIP_REGION(bx, by, bw, bh, help)                                                    \
    {.type = MOUSE_PARENT, .x = bx, .y = by, .width = bw, .height = bh, .cursor = CURSOR_NONE},     \
        {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = help}, {.type = MOUSE_PARENT_END}

#define LEVER_AREA(bx, by, bw, lever)                                                                  \
    {.type = MOUSE_CHILD, .x = bx, .y = by, .width = bw, .height = 109, .cursor = CURSOR_HAND,        \
     .mouse_flags = LEVER_FLAGS, .callback = lever_click<lever>}

static MouseRect throttle_quadrant_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    HOST_TOOLTIP_REGION(122, 0, 32, 109, 12705),  // throttle 1
    HOST_TOOLTIP_REGION(169, 0, 32, 109, 12706),  // throttle 2
    HOST_TOOLTIP_REGION(228, 0, 32, 109, 12689),  // mixture 1
    HOST_TOOLTIP_REGION(268, 0, 32, 109, 12690),  // mixture 2
    HOST_TOOLTIP_REGION(35, 7, 32, 109, 12697),   // propeller 1
    HOST_TOOLTIP_REGION(72, 7, 32, 109, 12698),   // propeller 2
    HOST_TOOLTIP_REGION(1, 35, 22, 182, 12584),   // trim wheel
    {.type = MOUSE_PARENT, .x = 208, .y = 197, .width = 35, .height = 33, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .arg_count = 1, .text = "Tail wheel locking lever (%1!s!)",
     .args = throttle_quadrant_tooltip_args},
    {.type = MOUSE_PARENT_END},
    LEVER_AREA(122, 0, 32, 0),  // throttle 1
    LEVER_AREA(169, 0, 32, 1),  // throttle 2
    LEVER_AREA(154, 0, 15, 2),  // both throttles
    LEVER_AREA(228, 0, 32, 3),  // mixture 1
    LEVER_AREA(260, 0, 8, 4),   // both mixtures
    LEVER_AREA(268, 0, 32, 5),  // mixture 2
    LEVER_AREA(35, 7, 32, 6),   // propeller 1
    LEVER_AREA(67, 7, 5, 7),    // both propellers
    LEVER_AREA(72, 7, 32, 8),   // propeller 2
    {.type = MOUSE_CHILD, .x = 1, .y = 35, .width = 22, .height = 91, .cursor = CURSOR_DOWNARROW,
     .mouse_flags = TRIM_FLAGS, .callback = trim_nose_down_click},
    {.type = MOUSE_CHILD, .x = 1, .y = 126, .width = 22, .height = 91, .cursor = CURSOR_UPARROW,
     .mouse_flags = TRIM_FLAGS, .callback = trim_nose_up_click},
    {.type = MOUSE_CHILD, .x = 208, .y = 197, .width = 35, .height = 33, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .event_id = EVENT_TAILWHEEL_LOCK_TOGGLE},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};
#undef HOST_TOOLTIP_REGION
#undef LEVER_AREA

GaugeHeader gauge_throttle_quadrant = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Throttle_Quadrant",
    .elements = throttle_quadrant_elements,
    .width_mm = 123,
    .mouse_rects = throttle_quadrant_mouse,
};
