// Gear_Lamps: three red transit lamps above three green down-and-locked
// lamps, one column per wheel (left, tail, right). The tail wheel is fixed,
// so its column never lights. No gauge callback, no module-wide state.
#include <cmath>

#include "framework/gauge_list.h"
#include "framework/host_services.h"

// A wheel's extension: above this it is down and locked, below the other
// it is up; in between it travels.
constexpr double GEAR_LOCKED_ABOVE = 16300;
constexpr double GEAR_UP_BELOW = 50;
constexpr uint32_t GEAR_CLOCK_TOKEN = 604;  // seconds

constexpr double LAMP_LIT = 0.0;
constexpr double LAMP_DARK = -1.0;

static double GAUGE_CALL gear_lamp_dark(IconElement*) { return LAMP_DARK; }

static double GAUGE_CALL gear_lamp_locked(IconElement* icon) {
    return icon->source.value > GEAR_LOCKED_ABOVE ? LAMP_LIT : LAMP_DARK;
}

// The two sides blink at slightly different rates, so they drift in and out
// of step as real flasher relays do. A clock that is not a number gives no
// phase, and an extension that is not a number is no travel: the lamp stays
// dark.
static double transit_lamp(double extension, double period, double lit_after) {
    double phase = std::fmod(host::read_var(GEAR_CLOCK_TOKEN), period);
    double result = phase > lit_after ? LAMP_LIT : LAMP_DARK;
    if (!(extension >= GEAR_UP_BELOW && extension <= GEAR_LOCKED_ABOVE)) result = LAMP_DARK;
    return result;
}

static double GAUGE_CALL gear_lamp_transit_right(IconElement* icon) {
    return transit_lamp(icon->source.value, 0.52, 0.26);
}

static double GAUGE_CALL gear_lamp_transit_left(IconElement* icon) {
    return transit_lamp(icon->source.value, 0.51, 0.255);
}

static const FailureRecord gear_lamp_failures[] = {{.key = 20, .action = 3}, {}};

#define GEAR_LAMP(name, bitmap_id, px, py, wheel_token, lamp_callback, next_list) \
    static IconElement name = {                                                   \
        .header = {.kind = ELEMENT_ICON, .bitmap = bitmap_id, .x = px, .y = py,   \
                   .gauge = &gauge_gear_lamps, .next = next_list,                 \
                   .failures = gear_lamp_failures, .image_flags = 0x7},           \
        .source = {.token = wheel_token},                                         \
        .scale = 1.0,                                                             \
        .image_count = 1,                                                         \
        .callback = lamp_callback,                                                \
    }

constexpr int32_t LAMP_GREEN = 3120, LAMP_RED = 3130;
constexpr uint32_t TAIL_WHEEL = 332, LEFT_WHEEL = 333, RIGHT_WHEEL = 334;

// Drawn from the tail column outward: each lamp is the only member of the
// previous one's next list.
GEAR_LAMP(gear_lamp_left_locked, LAMP_GREEN, 13, 61, LEFT_WHEEL, gear_lamp_locked, nullptr);
static ElementHeader* const gear_lamp_left_locked_list[] = {&gear_lamp_left_locked.header, nullptr};
GEAR_LAMP(gear_lamp_left_transit, LAMP_RED, 15, 8, LEFT_WHEEL, gear_lamp_transit_left,
          gear_lamp_left_locked_list);
static ElementHeader* const gear_lamp_left_transit_list[] = {&gear_lamp_left_transit.header, nullptr};
GEAR_LAMP(gear_lamp_right_locked, LAMP_GREEN, 61, 61, RIGHT_WHEEL, gear_lamp_locked,
          gear_lamp_left_transit_list);
static ElementHeader* const gear_lamp_right_locked_list[] = {&gear_lamp_right_locked.header, nullptr};
GEAR_LAMP(gear_lamp_right_transit, LAMP_RED, 63, 7, RIGHT_WHEEL, gear_lamp_transit_right,
          gear_lamp_right_locked_list);
static ElementHeader* const gear_lamp_right_transit_list[] = {&gear_lamp_right_transit.header, nullptr};
GEAR_LAMP(gear_lamp_tail_locked, LAMP_GREEN, 37, 69, TAIL_WHEEL, gear_lamp_dark, gear_lamp_right_transit_list);
static ElementHeader* const gear_lamp_tail_locked_list[] = {&gear_lamp_tail_locked.header, nullptr};
GEAR_LAMP(gear_lamp_tail_transit, LAMP_RED, 39, 0, TAIL_WHEEL, gear_lamp_dark, gear_lamp_tail_locked_list);
static ElementHeader* const gear_lamp_tail_transit_list[] = {&gear_lamp_tail_transit.header, nullptr};

static StaticImageElement gear_lamps_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3110, .gauge = &gauge_gear_lamps,
               .next = gear_lamp_tail_transit_list, .image_flags = 0x3}};
static ElementHeader* const gear_lamps_list[] = {&gear_lamps_background.header, nullptr};

static MouseRect gear_lamps_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB31},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_gear_lamps = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Gear_Lamps",
    .elements = gear_lamps_list,
    .width_mm = 40,
    .mouse_rects = gear_lamps_mouse,
};
